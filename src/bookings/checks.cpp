#include "bookings/checks.h"

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/numbers.h"

namespace saldorama {

// The arithmetic of amounts rests on two facts of x86-64; a build where
// either fails would compute other cents, so it stops here.
// The cent rounding needs a 64-bit significand; binary64 alone rounds the
// quotient of 10,375 up to the half and gives the wrong cent.
static_assert(std::numeric_limits<long double>::digits == 64,
              "Saldorama needs long double to be the x87 80-bit extended type (x86 or x86-64); "
              "on this processor the cent rounding would give other cents");
// Sums of amounts are added in double precision, each step rounded to
// binary64; 32-bit x87 code (FLT_EVAL_METHOD 2) would keep extra bits.
static_assert(FLT_EVAL_METHOD == 0,
              "Saldorama needs doubles evaluated in double precision (FLT_EVAL_METHOD 0, e.g. x86-64 with SSE2); "
              "this target would add amounts with extra precision and give other totals");

namespace {

int digit(std::string_view s, std::size_t i) {
    const char c = s[i];
    if (c < '0' || c > '9') fail("'" + std::string(1, c) + cp("' ist kein gültiger Integerwert"));
    return c - '0';
}

std::string two_digits(int v) {
    std::string s = std::to_string(v);
    return s.size() == 1 ? "0" + s : s;
}

} // namespace

std::string checkdate(std::string_view s, int bookingYear) {
    const std::size_t len = s.size();
    // Digits are read strictly left to right (each in its own statement), so
    // that the conversion failure names the first bad character.
    const auto two = [&](std::size_t at) {
        const int tens = digit(s, at);
        return 10 * tens + digit(s, at + 1);
    };
    int day = 0, month = 0, year = 0;
    bool accepted = false;
    if (len == 4) {
        day = two(0);
        month = two(2);
        year = bookingYear;
        accepted = true;
    } else if ((len == 6 || len == 8 || len == 10) && s[2] == '.' && s[5] == '.') {
        day = two(0);
        month = two(3);
        if (len == 10) {
            const int high = two(6);
            year = 100 * high + two(8);
        } else if (len == 8) {
            year = 2000 + two(6);
        }
        accepted = day <= 31 && month <= 12 && year >= 1900;
    } else if (len == 6) {
        day = two(0);
        month = two(2);
        year = 2000 + two(4);
        accepted = true;
    }
    if (!accepted) return "00.00.0000";
    return two_digits(day) + "." + two_digits(month) + "." + std::to_string(year).substr(0, 4);
}

namespace {

bool all_digits(std::string_view s) {
    if (s.empty()) return false;
    for (const char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

int small_number(std::string_view s) {
    int v = 0;
    for (const char c : s) v = 10 * v + (c - '0');
    return v;
}

int days_in_month(int month, int year) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

} // namespace

std::optional<std::string> typed_date(std::string_view s, int bookingYear) {
    std::string_view dayText, monthText, yearText;
    int year = 0;
    if (s.find('.') != std::string_view::npos) {
        // T.M.JJ up to TT.MM.JJJJ: three parts between two dots.
        const std::size_t first = s.find('.');
        const std::size_t second = s.find('.', first + 1);
        if (second == std::string_view::npos || s.find('.', second + 1) != std::string_view::npos) return {};
        dayText = s.substr(0, first);
        monthText = s.substr(first + 1, second - first - 1);
        yearText = s.substr(second + 1);
        if (dayText.size() > 2 || monthText.size() > 2 || (yearText.size() != 2 && yearText.size() != 4)) return {};
        if (!all_digits(dayText) || !all_digits(monthText) || !all_digits(yearText)) return {};
        year = small_number(yearText) + (yearText.size() == 2 ? 2000 : 0);
    } else if (s.size() == 4 && all_digits(s)) {  // TTMM in the bookkeeping year
        dayText = s.substr(0, 2);
        monthText = s.substr(2, 2);
        year = bookingYear;
    } else if (s.size() == 6 && all_digits(s)) {  // TTMMJJ
        dayText = s.substr(0, 2);
        monthText = s.substr(2, 2);
        year = 2000 + small_number(s.substr(4, 2));
    } else {
        return {};
    }
    const int day = small_number(dayText);
    const int month = small_number(monthText);
    if (year < 1900 || year > 9999 || month < 1 || month > 12) return {};
    if (day < 1 || day > days_in_month(month, year)) return {};
    return two_digits(day) + "." + two_digits(month) + "." + std::to_string(year);
}

std::string date_refusal(std::string_view text) {
    return cp("Das Datum \"") + std::string(text) +
           cp("\" gibt es nicht oder es ist nicht lesbar. Erlaubt sind TT.MM.JJJJ, TT.MM.JJ, TTMMJJ und TTMM; "
              "Tag und Monat dürfen einstellig sein (z. B. 5.1.2026 oder 5.1.26). Es wurde nichts gebucht.");
}

MoneyParts money_parts(double x) {
    double whole = std::trunc(x);
    // x - whole is exact in binary64 and times 100 is exact in the 64-bit
    // significand, so the only rounding is the one to the nearest cent.
    const long double fraction = static_cast<long double>(x - whole) * 100.0L;
    long double cents = std::nearbyint(fraction);  // default mode: ties to even
    if (cents >= 100.0L) {
        whole += 1;
        cents = 0;
    }
    return {whole, static_cast<int>(cents)};
}

std::string checkmoney(std::string_view text) {
    double x = 0;
    if (!text.empty()) x = text_to_float(text);
    const bool negative = x < 0;
    if (negative) x = -x;
    const MoneyParts parts = money_parts(x);
    char wholeText[400];
    std::snprintf(wholeText, sizeof wholeText, "%.0f", parts.whole);
    std::string out = (negative && (parts.whole != 0 || parts.cents != 0)) ? "-" : "";
    out += wholeText;
    out += ",";
    out += two_digits(parts.cents);
    return out;
}

std::string ist_betrag(std::string_view text) {
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == ',')) return "0,00";
    return std::string(text);
}

std::string amount_text(double amount) { return checkmoney(float_to_text(amount)); }

double round_to_cents(double amount) {
    const long double divisor = static_cast<long double>(0.01);
    const long double k = std::nearbyint(static_cast<long double>(amount) / divisor);
    return static_cast<double>(k * divisor);
}

bool amount_in_range(double amount) { return std::isfinite(amount) && std::fabs(amount) < kAmountLimit; }

std::string bar_refusal(const std::string& field) {
    return cp("Das Zeichen \"|\" ist im Feld \"") + field + cp("\" nicht erlaubt. Bitte entferne es.");
}

std::string amount_refusal(const std::string& what) {
    return what + cp(" liegt außerhalb des erlaubten Bereichs: Beträge und Summen müssen kleiner als "
                     "2147483648 Euro sein.");
}

double field_amount(std::string_view text) {
    if (text.empty()) return 0.0;
    return round_to_cents(text_to_float(text));
}

} // namespace saldorama
