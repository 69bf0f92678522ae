#include "checking/check_input.h"

#include <algorithm>

#include "base/cp1252.h"
#include "base/failure.h"
#include "bookings/checks.h"
#include "reports/report_text.h"

namespace saldorama::checking {

namespace {

// "-1234,50" as the money texts are written, in cents.
Cents parse_money(const std::string& text) {
    // Below 10^15 euros, so that summing the lines of a booking cannot overflow.
    constexpr Cents limit = 100'000'000'000'000'000;
    Cents value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') continue;
        value = value * 10 + (c - '0');
        if (value >= limit) fail(cp("Der Betrag ") + text + cp(" ist zu groß für die Prüfung"));
    }
    return !text.empty() && text[0] == '-' ? -value : value;
}

std::vector<BookingLine> summed(const std::vector<BookingLine>& lines) {
    std::vector<BookingLine> out;
    out.reserve(lines.size());
    for (const BookingLine& line : lines) {
        auto same = std::find_if(out.begin(), out.end(), [&](const BookingLine& o) {
            return o.account == line.account && o.side == line.side;
        });
        if (same == out.end())
            out.push_back(line);
        else
            same->cents += line.cents;
    }
    std::erase_if(out, [](const BookingLine& l) { return l.cents == 0; });
    return out;
}

} // namespace

Cents cents_of(double amount) { return parse_money(report_amount_text(amount)); }

Cents cents_of_text(std::string_view text) { return parse_money(checkmoney(text)); }

std::string cents_text(Cents cents) {
    // Through unsigned so that the most negative value has a magnitude too.
    const unsigned long long magnitude =
        cents < 0 ? 0ULL - static_cast<unsigned long long>(cents) : static_cast<unsigned long long>(cents);
    const unsigned long long rest = magnitude % 100;
    std::string out = cents < 0 ? "-" : "";
    out += std::to_string(magnitude / 100);
    out += ',';
    out += static_cast<char>('0' + rest / 10);
    out += static_cast<char>('0' + rest % 10);
    return out;
}

std::vector<BookingLine> normal_form(const std::vector<BookingLine>& lines) {
    std::vector<BookingLine> out = summed(lines);
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<BookingLine> summed_in_order(const std::vector<BookingLine>& lines) { return summed(lines); }

Cents computed_value(const ComputedValues& values, const ExpectedControl& control) {
    switch (control.kind) {
    case ControlKind::AccountBalance:
        for (const auto& [account, cents] : values.balances)
            if (account == control.account) return cents;
        return 0;
    case ControlKind::BalanceSheetTotal:
        return values.balanceSheetTotal;
    case ControlKind::ProfitOrLoss:
        return values.profitOrLoss;
    case ControlKind::OperatingResult:
        return values.operatingResult;
    case ControlKind::NeutralResult:
        return values.neutralResult;
    }
    return 0;
}

LearnerBooking learner_booking(const BookingRecord& record) {
    LearnerBooking out;
    out.number = static_cast<std::int64_t>(record.number) + 1;
    out.date = record.date;
    for (int i = 0; i < kBookingLines; ++i) {
        const std::size_t at = static_cast<std::size_t>(i);
        const Cents debit = cents_of(record.debit[at]);
        const Cents credit = cents_of(record.credit[at]);
        if (debit != 0) out.lines.push_back({record.account[at], Side::Soll, debit});
        if (credit != 0) out.lines.push_back({record.account[at], Side::Haben, credit});
    }
    return out;
}

} // namespace saldorama::checking
