#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace saldorama {

// One chart line, parsed. Texts are CP1252, each at most 64 characters.
struct AccountRecord {
    std::string name;
    std::string balanceMark;  // "*" balance sheet, "***" special, "" profit and loss
    std::string plMark;       // "*" profit and loss, "***" special, "" balance sheet
    std::string side;         // "A", "P", "S" or "H"
    std::string resultClass;  // "B", "N", "Fehler!" or ""
    // The account's number in the industrial chart of accounts ("2800"), or
    // "" when its line gives none. Bookings never store it: the name stays
    // the account's identity.
    std::string number;
    bool operator==(const AccountRecord&) const = default;
};

inline constexpr std::size_t kShortStringMax = 64;

// Parses one chart line. Never reads past the line: a missing '<' or '>' or a
// line too short leaves the missing pieces empty (blank letters).
[[nodiscard]] AccountRecord werte_aus(std::string_view line);

// The account as lists show it: "2800 Bank", or the name alone without a number.
[[nodiscard]] std::string account_label(const AccountRecord& account);

// The account a learner means by what they typed or chose: its exact name
// first, else its label ("2800 Bank"), else its number ("2800"). Null when
// none fits.
[[nodiscard]] const AccountRecord* find_account_entry(const std::vector<AccountRecord>& chart, std::string_view typed);

// A line with '<', a '>' after it and a character at position 5 from that '>'.
// The supplied charts hold only such lines; readers skip any other line.
[[nodiscard]] bool is_chart_line(std::string_view line);

// P (liabilities) and H (income) keep their balance on the credit side.
[[nodiscard]] bool credit_side(std::string_view side) noexcept;

} // namespace saldorama
