#include "reports/journal_report.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "base/numbers.h"
#include "reports/columns.h"
#include "reports/report_text.h"

namespace saldorama {

std::string journal_heading() {
    return "Nr.   " + printr("Datum", 9) + " " + printr("Konto", 20) + "S/H" + " " + printr("Person", 25) + " " +
           printr("Grund", 25) + saldorama::printf("Betrag", 10);
}

namespace {

// The fields a journal line takes, from a decoded record or one read in place.
struct Fields {
    std::int32_t number;
    std::string_view date, person, reason;
    std::array<std::string_view, kBookingLines> account;
    std::array<double, kBookingLines> debit, credit;
};

Fields fields_of(const BookingRecord& r) {
    // A stored date is never longer than its field; the line's buffer counts on it.
    Fields f{r.number, std::string_view(r.date).substr(0, kDateMax), r.person, r.reason, {}, r.debit, r.credit};
    for (std::size_t i = 0; i < kBookingLines; ++i) f.account[i] = r.account[i];
    return f;
}

Fields fields_of(const RecordView& r) {
    Fields f{r.number(), r.date(), r.person(), r.reason(), {}, {}, {}};
    for (std::size_t i = 0; i < kBookingLines; ++i) {
        f.account[i] = r.account(i);
        f.debit[i] = r.debit(i);
        f.credit[i] = r.credit(i);
    }
    return f;
}

// The longest line: number 5, a blank, date, a blank, account 21, mark 4,
// person 26, a blank, reason 26, amount 11 (columns are width + 1).
constexpr std::size_t kLineMax = 5 + 1 + kDateMax + 1 + 21 + 4 + 26 + 1 + 26 + 11;

// Written into a buffer of its own, column by column: the journal is the
// longest report.
std::size_t journal_line(char (&line)[kLineMax], const Fields& r, std::size_t i, const char* mark, double amount) {
    char number[24];
    char* const numberEnd = number + sizeof number;
    const long long n = static_cast<long long>(r.number) + 1;
    char* p = put_digits_before(numberEnd, n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n));
    if (n < 0) *--p = '-';
    p = put_printr(line, std::string_view(p, static_cast<std::size_t>(numberEnd - p)), 4);
    *p++ = ' ';
    p = std::copy(r.date.begin(), r.date.end(), p);
    *p++ = ' ';
    p = put_printr(p, r.account[i], 20);
    p = std::copy(mark, mark + 4, p);
    p = put_printr(p, r.person, 25);
    *p++ = ' ';
    p = put_printr(p, r.reason, 25);
    p = put_printf(p, ReportAmount(amount).text(), 10);
    return static_cast<std::size_t>(p - line);
}

void lines_of(const Fields& f, const LineSink& sink) {
    char line[kLineMax];
    for (std::size_t i = 0; i < kBookingLines; ++i)
        if (f.debit[i] != 0) sink({line, journal_line(line, f, i, " S  ", f.debit[i])});
    for (std::size_t i = 0; i < kBookingLines; ++i)
        if (f.credit[i] != 0) sink({line, journal_line(line, f, i, " H  ", f.credit[i])});
}

} // namespace

void journal_lines(const BookingRecord& record, const LineSink& sink) { lines_of(fields_of(record), sink); }
void journal_lines(const RecordView& record, const LineSink& sink) { lines_of(fields_of(record), sink); }

void append_journal_lines(std::vector<std::string>& out, const BookingRecord& record) {
    journal_lines(record, [&out](std::string_view line) { out.emplace_back(line); });
}

std::vector<std::string> journal_report(const std::vector<BookingRecord>& bookings) {
    std::vector<std::string> out = {journal_heading()};
    for (const auto& r : bookings) append_journal_lines(out, r);
    return out;
}

} // namespace saldorama
