#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace saldorama {

// Integer text as the settings file and dates hold it: leading blanks, an
// optional sign, decimal digits ("$" or "0x" for hexadecimal). Anything else,
// the empty text and values beyond 32 bits fail with
// "'%s' ist kein gültiger Integerwert".
[[nodiscard]] std::int32_t text_to_int(std::string_view text);

// Decimal text with the comma as separator: optional blanks, sign, digits with
// at most one comma, an optional exponent, optional blanks. Anything else fails
// with "'%s' ist kein gültiger Gleitkommawert". Correctly rounded to binary64.
[[nodiscard]] double text_to_float(std::string_view text);
// The same check without the failure.
[[nodiscard]] bool parse_float(std::string_view text, double& value);

// A value as decimal text in the shortest general form with at most 15
// significant digits and the comma as separator; trailing zeros and a bare
// comma dropped; exponent form ("1E20", "1E-6") only for very large or very
// small values. 100 gives "100", 12.5 gives "12,5", 0 gives "0".
[[nodiscard]] std::string float_to_text(double value);

[[nodiscard]] std::string int_to_text(long long value);
// The decimal digits of `value` written backwards from `end` (at most 20 of
// them); gives where they begin. For text built in a buffer, as the
// journal's numbers and amounts are.
char* put_digits_before(char* end, std::uint64_t value) noexcept;

} // namespace saldorama
