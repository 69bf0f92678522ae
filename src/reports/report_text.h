#pragma once
#include <string>
#include <string_view>

namespace saldorama {

// The company texts a report prints, taken from the company-data page.
struct CompanyTexts {
    std::string name;         // Edit1
    std::string street;       // Edit2
    std::string town;         // Edit3
    std::string bookkeeper;   // Edit7, "f.d.R.: "
    std::string responsible;  // Edit8, "verantw.:"
};

// amount_text(amount), the same text always. Amounts that are whole cents
// (the nearest double to k/100 with |k| < 10^15, which is all that bookings
// store) skip the round trip through 15-digit text: for them that trip gives
// the amount back unchanged. Anything else goes through amount_text.
[[nodiscard]] std::string report_amount_text(double amount);

// The same text kept in place, without a string where the amount is whole
// cents: the journal writes one for every booking line.
class ReportAmount {
public:
    explicit ReportAmount(double amount);
    ReportAmount(const ReportAmount&) = delete;
    ReportAmount& operator=(const ReportAmount&) = delete;
    [[nodiscard]] std::string_view text() const noexcept { return text_; }

private:
    char digits_[32];
    std::string other_;  // the text of an amount that is not whole cents
    std::string_view text_;
};

// Whether the amount prints as "0,00": residues such as 0,10 + 0,20 - 0,30
// are zero to the reader, so the reports hide or omit them like zero.
[[nodiscard]] bool shows_as_zero(double amount);

// The line that evens the balance sheet: this year's result under its name,
// "Jahresfehlbetrag" for a loss (its text starts with "-") and otherwise
// "Jahresüberschuss", the amount with its sign in a column of 29.
[[nodiscard]] std::string year_result_line(double result);
// The name alone, as the textbook form writes it.
[[nodiscard]] std::string year_result_name(double result);

// 45 hyphens: the width of the balance and operating reports.
[[nodiscard]] const std::string& report_separator();

// Name padded to 35, amount text padded in front to 10; neither is cut.
[[nodiscard]] std::string account_line(const std::string& name, double amount);

// A label followed by the amount right-aligned by printf(amount, width).
[[nodiscard]] std::string amount_label_line(const std::string& label, double amount, int width);

// "Summe: " with the amount in a column of 38.
[[nodiscard]] std::string sum_line(double amount);

} // namespace saldorama
