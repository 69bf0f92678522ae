#include "reports/report_text.h"

#include <cmath>

#include "base/cp1252.h"
#include "base/numbers.h"
#include "bookings/checks.h"
#include "reports/columns.h"

namespace saldorama {

ReportAmount::ReportAmount(double amount) {
    const double x = std::fabs(amount);
    const long long k = x < 1e13 ? std::llround(x * 100.0) : 0;
    // Division of two exact doubles is correctly rounded: this is the double
    // nearest k/100, and k/100 has at most 15 significant digits. Any x at
    // most one unit in the last place from it (such as the amounts
    // round_to_cents stores, k times 0.01 in extended precision) lies nearer to k/100
    // than to any other 15-digit decimal, so writing x with 15 digits gives
    // k/100 and reading that back gives the nearest double again.
    const double nearest = static_cast<double>(k) / 100.0;
    if (!(x < 1e13) || (nearest != x && std::nextafter(nearest, x) != x)) {
        other_ = amount_text(amount);
        text_ = other_;
        return;
    }

    // For such an x the text round trip is the identity: format x as checkmoney
    // does. Its rounding step (money_parts) gives k / 100 and k % 100 here, as
    // x lies within a tenth of a cent of k/100.
    const auto cents = static_cast<std::uint64_t>(k);
    char* const end = digits_ + sizeof digits_;
    char* p = put_digits_before(end, cents % 100);
    if (p != end - 2) *--p = '0';  // one digit of cents
    *--p = ',';
    p = put_digits_before(p, cents / 100);
    if (amount < 0 && k != 0) *--p = '-';
    text_ = std::string_view(p, static_cast<std::size_t>(end - p));
}

std::string report_amount_text(double amount) { return std::string(ReportAmount(amount).text()); }

bool shows_as_zero(double amount) { return ReportAmount(amount).text() == "0,00"; }

std::string year_result_name(double result) {
    return ReportAmount(result).text().starts_with("-") ? std::string("Jahresfehlbetrag") : cp("Jahresüberschuss");
}

std::string year_result_line(double result) { return amount_label_line(year_result_name(result), result, 28); }

const std::string& report_separator() {
    static const std::string line(45, '-');
    return line;
}

std::string account_line(const std::string& name, double amount) {
    std::string line = name;
    if (line.size() < 35) line.append(35 - line.size(), ' ');
    const std::string text = report_amount_text(amount);
    if (text.size() < 10) line.append(10 - text.size(), ' ');
    return line + text;
}

std::string amount_label_line(const std::string& label, double amount, int width) {
    return label + saldorama::printf(report_amount_text(amount), width);
}

std::string sum_line(double amount) { return amount_label_line("Summe: ", amount, 37); }

} // namespace saldorama
