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

double field_amount(std::string_view text) {
    if (text.empty()) return 0.0;
    return round_to_cents(text_to_float(text));
}

} // namespace saldorama
