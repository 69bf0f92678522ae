#include "reports/account_sheet.h"

#include <algorithm>

#include "base/numbers.h"
#include "reports/columns.h"
#include "reports/report_text.h"

namespace saldorama {

TAccountBuilder::TAccountBuilder(std::string name) : name_(std::move(name)) {}

void TAccountBuilder::add(const BookingRecord& record) {
    for (std::size_t i = 0; i < kBookingLines; ++i) {
        if (record.account[i] != name_) continue;
        entries_.push_back({static_cast<long long>(record.number) + 1, record.reason, record.debit[i],
                            record.credit[i]});
    }
}

void TAccountBuilder::add(const RecordView& record) {
    for (std::size_t i = 0; i < kBookingLines; ++i) {
        if (record.account(i) != name_) continue;
        entries_.push_back({static_cast<long long>(record.number()) + 1, std::string(record.reason()), record.debit(i),
                            record.credit(i)});
    }
}

namespace {

void put(std::vector<std::string>& column, std::size_t row, std::string text) {
    if (column.size() <= row) column.resize(row + 1);
    column[row] = std::move(text);
}

std::string amount_column(double amount) { return saldorama::printf(report_amount_text(amount), 10); }

} // namespace

TAccount TAccountBuilder::build() const {
    double debitTotal = 0;
    double creditTotal = 0;
    std::size_t sollEnd = 1;
    std::size_t habenEnd = 1;
    for (const auto& e : entries_) {
        if (e.debit != 0) {
            debitTotal += e.debit;
            ++sollEnd;
        }
        if (e.credit != 0) {
            creditTotal += e.credit;
            ++habenEnd;
        }
    }
    // A residue that prints as 0,00 closes nothing.
    const double difference = debitTotal - creditTotal;
    const double balance = shows_as_zero(difference) ? 0.0 : difference;

    TAccount t;
    put(t.soll, 0, "Nr.  " + printr("Grund", 20) + saldorama::printf("Betrag", 10));
    std::size_t row = 1;
    for (const auto& e : entries_)
        if (e.debit != 0) put(t.soll, row++, printr(int_to_text(e.shownNumber), 4) + printr(e.reason, 20) + amount_column(e.debit));
    if (balance < 0) {
        ++sollEnd;
        put(t.soll, row++, "     " + printr("Schlussbestand", 20) + amount_column(-balance));
        debitTotal += -balance;
    } else if (balance > 0) {
        ++habenEnd;
    }
    const std::size_t sumRow = std::max(row, habenEnd);
    put(t.soll, sumRow, "Summe:" + saldorama::printf(report_amount_text(debitTotal), 30));

    put(t.haben, 0, "Nr. " + printr("Grund", 20) + saldorama::printf("Betrag", 10));
    row = 1;
    for (const auto& e : entries_)
        if (e.credit != 0)
            put(t.haben, row++, printr(int_to_text(e.shownNumber), 4) + " " + printr(e.reason, 20) + amount_column(e.credit));
    if (balance > 0) {
        put(t.haben, row++, "      " + printr("Schlussbestand", 20) + amount_column(balance));
        creditTotal += balance;
    }
    put(t.haben, std::max(row, sollEnd), "Summe: " + saldorama::printf(report_amount_text(creditTotal), 30));

    const std::size_t rows = std::max(t.soll.size(), t.haben.size());
    t.soll.resize(rows);
    t.haben.resize(rows);
    return t;
}

TAccount account_sheet(const std::string& name, const std::vector<BookingRecord>& bookings) {
    TAccountBuilder builder(name);
    for (const auto& r : bookings) builder.add(r);
    return builder.build();
}

} // namespace saldorama
