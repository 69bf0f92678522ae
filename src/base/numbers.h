#pragma once
#include <cstdint>
#include <optional>
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

// An amount as a learner or teacher types it: what parse_float reads, where
// the whole euros may also be grouped by German thousands dots ("1.200,00",
// "12.000", "-1.234.567,89"). Gives the text without its dots, which every
// conversion of amounts reads; nothing for a text that is no amount, a dot
// anywhere else ("1.20", "12.00,5", "1.200,00 €") included. Every typed
// amount goes through here, so all places accept the same texts.
[[nodiscard]] std::optional<std::string> typed_amount(std::string_view text);

// The notice for a text typed_amount refuses; `where` names the field
// ("Sollbetrag, Zeile 2") or the account.
[[nodiscard]] std::string amount_unreadable(std::string_view text, const std::string& where);

} // namespace saldorama
