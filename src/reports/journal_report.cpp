#include "reports/journal_report.h"

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
    Fields f{r.number, r.date, r.person, r.reason, {}, r.debit, r.credit};
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

// Built by appending into one string, reused from line to line: the journal
// is the longest report.
const std::string& journal_line(std::string& line, const Fields& r, std::size_t i, const char* mark, double amount) {
    line.clear();
    append_printr(line, int_to_text(static_cast<long long>(r.number) + 1), 4);
    line += ' ';
    line += r.date;
    line += ' ';
    append_printr(line, r.account[i], 20);
    line += mark;
    append_printr(line, r.person, 25);
    line += ' ';
    append_printr(line, r.reason, 25);
    append_printf(line, report_amount_text(amount), 10);
    return line;
}

void lines_of(const Fields& f, const LineSink& sink) {
    std::string line;
    line.reserve(112);
    for (std::size_t i = 0; i < kBookingLines; ++i)
        if (f.debit[i] != 0) sink(journal_line(line, f, i, " S  ", f.debit[i]));
    for (std::size_t i = 0; i < kBookingLines; ++i)
        if (f.credit[i] != 0) sink(journal_line(line, f, i, " H  ", f.credit[i]));
}

} // namespace

void journal_lines(const BookingRecord& record, const LineSink& sink) { lines_of(fields_of(record), sink); }
void journal_lines(const RecordView& record, const LineSink& sink) { lines_of(fields_of(record), sink); }

void append_journal_lines(std::vector<std::string>& out, const BookingRecord& record) {
    journal_lines(record, [&out](const std::string& line) { out.push_back(line); });
}

std::vector<std::string> journal_report(const std::vector<BookingRecord>& bookings) {
    std::vector<std::string> out = {journal_heading()};
    for (const auto& r : bookings) append_journal_lines(out, r);
    return out;
}

} // namespace saldorama
