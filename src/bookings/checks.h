#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace saldorama {

// Date text DD.MM.YYYY from the four typed forms (TTMM, TT.MM.JJ,
// TT.MM.JJJJ, TTMMJJ), or "00.00.0000" when not accepted. A non-digit where a
// digit is expected fails with "'x' ist kein gültiger Integerwert".
[[nodiscard]] std::string checkdate(std::string_view text, int bookingYear);

// A typed date as a booking or the opening balance takes it over: the forms
// of checkdate, where day and month may also have one digit (5.1.2026,
// 5.1.26; a two-digit year means 20JJ) and the date must exist (day within
// its month, leap years counted, month 1..12, year from 1900). The date text
// DD.MM.YYYY, or nothing for a text that is no such date.
[[nodiscard]] std::optional<std::string> typed_date(std::string_view text, int bookingYear);

// The notice for a date typed_date refuses; it names the accepted forms.
[[nodiscard]] std::string date_refusal(std::string_view text);

// Amount text: whole euros, ',', two-digit cents, '-' for a negative amount.
// The empty text gives "0,00"; a text that is no number fails with
// "'%s' ist kein gültiger Gleitkommawert". Cents are taken from the binary64
// value exactly, an exact half going to the even cent.
[[nodiscard]] std::string checkmoney(std::string_view text);

// checkmoney's one rounding step: a non-negative x as its whole part and its
// cents (0..99), the fraction times 100 rounded to the nearest, ties to even.
//
// Both cent roundings here (this one and round_to_cents) give, bit for bit,
// what the x87's 64-bit extended format gives, on every processor. They are
// computed on integers, and that is exact: a binary64 is an integer
// significand below 2^53 times a power of two, so the fraction times 100 is a
// product below 2^60, the quotient by 0.01 a 128-bit division whose remainder
// decides its rounding to 64 bits, and k times 0.01 a product below 2^117.
// Each rounding (to 64 bits, to an integer, to 53 bits) is then a shift that
// looks at the bits shifted out, ties going to even as the processor does.
struct MoneyParts {
    double whole;
    int cents;
};
[[nodiscard]] MoneyParts money_parts(double x);

// The text itself when it holds only digits and commas, otherwise "0,00".
[[nodiscard]] std::string ist_betrag(std::string_view text);

// A stored amount or total as the program shows it: written with at most 15
// significant digits, then through checkmoney. 1234.5 gives "1234,50".
[[nodiscard]] std::string amount_text(double amount);

// A typed amount rounded to cents as a booking stores it: the binary64 value
// divided by the binary64 value nearest 0.01 with the quotient rounded to a
// 64-bit significand, rounded to the nearest integer (ties to even),
// multiplied back with the product rounded to a 64-bit significand, then to
// binary64. NaN, infinities and zeros come back as they are.
[[nodiscard]] double round_to_cents(double amount);

// An amount field's text as a booking stores it: empty gives 0, otherwise the
// number rounded to cents.
[[nodiscard]] double field_amount(std::string_view text);

// Amounts and totals the program holds: finite and below 2,147,483,648 euros
// in magnitude (the whole euros fit a signed 32-bit integer).
inline constexpr double kAmountLimit = 2147483648.0;
[[nodiscard]] bool amount_in_range(double amount);

// The notice for a text field holding "|", which the backup file uses as its
// separator; `field` is the field's German name.
[[nodiscard]] std::string bar_refusal(const std::string& field);

// The notice for an amount or total out of range; `what` names it.
[[nodiscard]] std::string amount_refusal(const std::string& what);

} // namespace saldorama
