#pragma once
#include <string>
#include <vector>

#include "bookings/booking_record.h"

namespace saldorama::test {

struct Line {
    std::string account;
    double debit = 0;
    double credit = 0;
};
// A booking with texts given in UTF-8.
[[nodiscard]] BookingRecord booking(int number, const std::string& date, const std::string& person,
                                    const std::string& reason, const std::vector<Line>& lines);
// A two-line booking: `debitAccount` debit, `creditAccount` credit, both `amount`.
[[nodiscard]] BookingRecord transfer(int number, const std::string& debitAccount, const std::string& creditAccount,
                                     double amount, const std::string& date = "01.01.2026",
                                     const std::string& person = "Muster", const std::string& reason = "Buchung");

// The eight company fields of a backup's first line, each closed by "|".
inline const std::string kBackupHeader =
    "Muster GmbH|Hauptstr. 1|12345 Musterstadt|4711|10000000|Musterbank|Anna Buch|Bert Chef|";

// Kasse debit, Bank credit, both `amount`; 24.12.2023, "Max", "Miete".
[[nodiscard]] inline BookingRecord two_line_booking(int number, double amount) {
    return transfer(number, "Kasse", "Bank", amount, "24.12.2023", "Max", "Miete");
}

} // namespace saldorama::test
