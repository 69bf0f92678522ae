#include "base/numbers.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "base/cp1252.h"
#include "base/failure.h"

namespace saldorama {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

[[noreturn]] void integer_failure(std::string_view text) {
    fail("'" + std::string(text) + cp("' ist kein gültiger Integerwert"));
}

} // namespace

std::int32_t text_to_int(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) integer_failure(text);
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = base == 16 ? hex_value(text[i]) : (is_digit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0) integer_failure(text);
        value = value * base + digit;
        if (value > std::int64_t{1} << 32) integer_failure(text);
    }
    if (negative) value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        integer_failure(text);
    return static_cast<std::int32_t>(value);
}

bool parse_float(std::string_view text, double& value) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    std::string normal;  // rewritten for from_chars: [-]digits[.digits][e[-]digits]
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') normal += '-';
        ++i;
    }
    std::size_t digits = 0;
    bool comma = false;
    for (; i < n; ++i) {
        if (is_digit(text[i])) {
            normal += text[i];
            ++digits;
        } else if (text[i] == ',' && !comma) {
            comma = true;
            normal += '.';
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    if (normal.back() == '.') normal.pop_back();
    if (normal.front() == '.' || (normal.size() > 1 && normal[0] == '-' && normal[1] == '.'))
        normal.insert(normal[0] == '-' ? 1 : 0, "0");
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        normal += 'e';
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            if (text[i] == '-') normal += '-';
            ++i;
        }
        std::size_t expDigits = 0;
        for (; i < n && is_digit(text[i]); ++i, ++expDigits) normal += text[i];
        if (expDigits == 0) return false;
    }
    while (i < n && text[i] == ' ') ++i;
    if (i != n) return false;
    double result = 0;
#if defined(__cpp_lib_to_chars)
    const auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), result);
    if (end != normal.data() + normal.size()) return false;
    if (ec == std::errc::result_out_of_range) {
        // Too small a value is zero; too large a one is no number the program can hold.
        if (normal.find("e-") == std::string::npos) return false;
        result = normal[0] == '-' ? -0.0 : 0.0;
    } else if (ec != std::errc()) {
        return false;
    }
#else
    // Libraries without a floating-point from_chars: strtod rounds correctly
    // too (glibc, musl); it reads the locale's decimal point, and gives zero
    // for too small a value and infinity for too large a one.
    const char point = *std::localeconv()->decimal_point;
    for (char& c : normal)
        if (c == '.') c = point;
    char* end = nullptr;
    result = std::strtod(normal.c_str(), &end);
    if (end != normal.c_str() + normal.size() || std::isinf(result)) return false;
#endif
    value = result;
    return true;
}

double text_to_float(std::string_view text) {
    double value = 0;
    if (!parse_float(text, value)) fail("'" + std::string(text) + cp("' ist kein gültiger Gleitkommawert"));
    return value;
}

std::string float_to_text(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    // buf: d.ddddddddddddddde[+-]XX
    std::string digits;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (is_digit(*p)) digits += *p;
    const int exponent = std::atoi(p + 1) + 1;  // value = 0.digits × 10^exponent
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const int n = static_cast<int>(digits.size());
    std::string out = value < 0 ? "-" : "";
    if (exponent > 15 || exponent < -4) {
        out += digits[0];
        if (n > 1) out += "," + digits.substr(1);
        out += "E" + std::to_string(exponent - 1);
    } else if (exponent <= 0) {
        out += "0," + std::string(static_cast<std::size_t>(-exponent), '0') + digits;
    } else if (exponent >= n) {
        out += digits + std::string(static_cast<std::size_t>(exponent - n), '0');
    } else {
        out += digits.substr(0, static_cast<std::size_t>(exponent)) + "," +
               digits.substr(static_cast<std::size_t>(exponent));
    }
    return out;
}

std::string int_to_text(long long value) { return std::to_string(value); }

char* put_digits_before(char* end, std::uint64_t value) noexcept {
    // Two digits a step halve the chain of divisions.
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    while (value >= 100) {
        const std::size_t pair = static_cast<std::size_t>(value % 100) * 2;
        value /= 100;
        end -= 2;
        end[0] = kPairs[pair];
        end[1] = kPairs[pair + 1];
    }
    if (value >= 10) {
        end -= 2;
        end[0] = kPairs[value * 2];
        end[1] = kPairs[value * 2 + 1];
    } else {
        *--end = static_cast<char>('0' + value);
    }
    return end;
}

std::optional<std::string> typed_amount(std::string_view text) {
    std::string plain;
    const std::size_t firstDot = text.find('.');
    if (firstDot == std::string_view::npos) {
        plain = text;
    } else {
        // A sign, then groups of three digits after a first group of one to
        // three, parted by dots; after the comma only digits.
        const std::size_t begin = !text.empty() && text[0] == '-' ? 1 : 0;
        const std::size_t comma = std::min(text.find(',', begin), text.size());
        if (firstDot < begin + 1 || firstDot > begin + 3 || firstDot > comma) return {};
        if ((comma - firstDot) % 4 != 0) return {};
        plain = text.substr(0, begin);
        for (std::size_t i = begin; i < comma; ++i) {
            const bool dotPlace = i >= firstDot && (i - firstDot) % 4 == 0;
            const char c = text[i];
            if (dotPlace ? c != '.' : (c < '0' || c > '9')) return {};
            if (!dotPlace) plain += c;
        }
        for (std::size_t i = comma + 1; i < text.size(); ++i)
            if (text[i] < '0' || text[i] > '9') return {};
        plain += text.substr(comma);
    }
    double value = 0;
    if (!parse_float(plain, value)) return {};
    return plain;
}

std::string amount_unreadable(std::string_view text, const std::string& where) {
    return cp("„") + std::string(text) + cp("“ ist kein Betrag (") + where + "). So schreiben: 1200,00 oder 1.200,00.";
}

} // namespace saldorama
