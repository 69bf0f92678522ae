#include "bookings/checks.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>

#include "base/bits.h"
#include "base/cp1252.h"
#include "base/failure.h"
#include "base/numbers.h"

namespace saldorama {

// Sums of amounts are added in double precision, each step rounded to
// binary64; 32-bit x87 code (FLT_EVAL_METHOD 2) would keep extra bits and
// give other totals, so such a build stops here.
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

// ---- exact cent rounding (see checks.h) ----

__extension__ typedef unsigned __int128 Wide;

// The binary64 value nearest 0.01 is kCentSignificand * 2^kCentExponent.
constexpr std::uint64_t kCentSignificand = 0x147AE147AE147B;
constexpr int kCentExponent = -59;
constexpr int kExtendedDigits = 64;  // significand bits of the extended format
constexpr int kDoubleDigits = 53;

// A finite, non-zero |x| as significand * 2^exponent, 2^52 <= significand < 2^53.
struct Binary {
    std::uint64_t significand;
    int exponent;
};
Binary binary(double x) {
    const std::uint64_t bits = double_bits(x) & ~(std::uint64_t{1} << 63);
    const auto biased = static_cast<int>(bits >> 52);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0) {  // subnormal: move the top bit up to bit 52
        const int shift = std::countl_zero(fraction) - 11;
        return {fraction << shift, -1074 - shift};
    }
    return {fraction | (std::uint64_t{1} << 52), biased - 1075};
}

int bit_width(Wide v) {
    const auto high = static_cast<std::uint64_t>(v >> 64);
    return high != 0 ? 64 + static_cast<int>(std::bit_width(high))
                     : static_cast<int>(std::bit_width(static_cast<std::uint64_t>(v)));
}

// v / 2^shift rounded to the nearest integer, ties to even (0 < shift < 128).
Wide shift_to_even(Wide v, int shift) {
    const Wide one = 1;
    Wide q = v >> shift;
    const Wide rest = v & ((one << shift) - 1);
    const Wide half = one << (shift - 1);
    if (rest > half || (rest == half && (q & 1) != 0)) ++q;
    return q;
}

// v * 2^exponent rounded to `digits` significant bits, ties to even; v > 0.
void round_to_digits(Wide& v, int& exponent, int digits) {
    const int excess = bit_width(v) - digits;
    if (excess <= 0) return;
    v = shift_to_even(v, excess);
    exponent += excess;
    if (bit_width(v) > digits) {  // carried up to a power of two
        v >>= 1;
        ++exponent;
    }
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
    const double fraction = x - whole;  // exact in binary64
    int cents = 0;
    if (std::isnan(fraction)) {
        cents = std::numeric_limits<int>::min();  // what the processor's conversion gives for NaN
    } else if (fraction != 0) {
        // |fraction| * 100 = significand * 100 * 2^exponent exactly in 64 bits;
        // below 2^-11 the product stays under a twentieth and rounds to 0.
        const Binary f = binary(fraction);
        const int shift = -f.exponent;
        if (shift < 64) {
            const Wide rounded = shift_to_even(Wide{f.significand} * 100, shift);
            cents = static_cast<int>(rounded);
            if (fraction < 0) cents = -cents;
        }
    }
    if (cents >= 100) {
        whole += 1;
        cents = 0;
    }
    return {whole, cents};
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
    if (!std::isfinite(amount) || amount == 0) return amount;  // NaN, infinities and zeros stay
    const Binary a = binary(amount);
    // The quotient a.significand / kCentSignificand lies in (1/2, 2); taken
    // to 64 bits with its remainder, the rounding to 64 bits is exact.
    const int up = a.significand >= kCentSignificand ? kExtendedDigits - 1 : kExtendedDigits;
    const Wide numerator = Wide{a.significand} << up;
    Wide quotient = numerator / kCentSignificand;
    int exponent = a.exponent - kCentExponent - up;
    const Wide twiceRest = 2 * (numerator % kCentSignificand);
    if (twiceRest > kCentSignificand || (twiceRest == kCentSignificand && (quotient & 1) != 0)) ++quotient;
    round_to_digits(quotient, exponent, kExtendedDigits);

    // The whole number of cents k, then k * 0.01 exactly as a 117-bit product.
    Wide product = 0;
    if (exponent >= 0) {  // the quotient is whole already
        product = quotient * kCentSignificand;
        exponent += kCentExponent;
    } else {
        const Wide k = exponent < -kExtendedDigits ? 0 : shift_to_even(quotient, -exponent);
        if (k == 0) return std::signbit(amount) ? -0.0 : 0.0;
        product = k * kCentSignificand;
        exponent = kCentExponent;
    }
    // Rounded to 64 bits, then that to 53: both roundings, as the x87 does them.
    round_to_digits(product, exponent, kExtendedDigits);
    round_to_digits(product, exponent, kDoubleDigits);
    const double magnitude = std::ldexp(static_cast<double>(product), exponent);  // beyond the range: infinity
    return std::signbit(amount) ? -magnitude : magnitude;
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
