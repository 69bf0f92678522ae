#include "support/sample_booking.h"

#include "base/cp1252.h"

namespace saldorama::test {

BookingRecord booking(int number, const std::string& date, const std::string& person, const std::string& reason,
                      const std::vector<Line>& lines) {
    BookingRecord r;
    r.number = number;
    r.date = cp(date);
    r.person = cp(person);
    r.reason = cp(reason);
    for (std::size_t i = 0; i < lines.size() && i < kBookingLines; ++i) {
        r.account[i] = cp(lines[i].account);
        r.debit[i] = lines[i].debit;
        r.credit[i] = lines[i].credit;
    }
    return r;
}

BookingRecord transfer(int number, const std::string& debitAccount, const std::string& creditAccount, double amount,
                       const std::string& date, const std::string& person, const std::string& reason) {
    return booking(number, date, person, reason, {{debitAccount, amount, 0}, {creditAccount, 0, amount}});
}

} // namespace saldorama::test
