#pragma once
#include <string>
#include <vector>

#include "accounts/account_record.h"
#include "bookings/booking_record.h"
#include "reports/account_balances.h"
#include "reports/print_layout.h"
#include "reports/report_text.h"

namespace saldorama {

// One entry of a side of a T: for statements the account and its amount,
// for a T-account the date, the contra account and the amount. CP1252.
struct TEntry {
    std::string date;
    std::string text;
    double amount = 0;
    bool operator==(const TEntry&) const = default;
};

// A two-sided statement or T-account as a textbook draws it: a title, the
// headings of both sides, the entries of each side (the closing line that
// evens them included) and the equal sum of both sides.
struct TForm {
    std::string title;
    std::string leftHeading, rightHeading;
    std::vector<TEntry> left, right;
    double leftSum = 0, rightSum = 0;
};

// The balance sheet dated 31.12. of the bookkeeping year: assets (side "A")
// left under "Aktiva", liabilities and equity (side "P") right under
// "Passiva", amounts as the balance page shows them; this year's result
// stands last under Passiva as "Jahresüberschuss" or, negative,
// "Jahresfehlbetrag", as on the balance page.
[[nodiscard]] TForm textbook_balance_sheet(const std::vector<AccountRecord>& chart, const AccountBalances& balances,
                                           int year, bool showZeroAccounts);

// The profit and loss account: expenses (side "S") left under "Soll", income
// and other credit-side accounts (side "H") right under "Haben"; the year's
// result evens the sides as "Gewinn" on the left or "Verlust" on the right.
// The opening and closing accounts are left out of both forms, as on the
// balance page.
[[nodiscard]] TForm textbook_profit_and_loss(const std::vector<AccountRecord>& chart,
                                             const AccountBalances& balances, int year, bool showZeroAccounts);

// The word for the contra account of a line booked against several accounts.
[[nodiscard]] const std::string& several_contra_accounts();

// Collects the lines of one account (exact name) with their date and contra
// account in one pass over the bookings. The contra account of a debit line
// is the account of the booking's credit lines (other lines than this one),
// of a credit line that of its debit lines: one name when all are the same
// account, "Diverse" when they differ, empty when there is none.
class TextbookAccountBuilder {
public:
    explicit TextbookAccountBuilder(std::string name);
    void add(const BookingRecord& record);
    // Soll left, Haben right, "Schlussbestand" on the smaller side.
    [[nodiscard]] TForm build() const;

private:
    std::string name_;
    TForm form_;
};

[[nodiscard]] TForm textbook_account(const std::string& name, const std::vector<BookingRecord>& bookings);

// A form as printed lines in a fixed-pitch font: the title, the headings over
// the T's horizontal bar, the entries side by side with the vertical bar
// between them, and both sums on one row, ruled above and double-underlined.
// With dates (T-accounts) each entry reads date, contra account, amount.
[[nodiscard]] std::vector<PrintLine> textbook_lines(const TForm& form);

// "f.d.R.: ..." and "verantw.:..." below a statement, as on the balance page.
[[nodiscard]] std::vector<PrintLine> signature_lines(const CompanyTexts& company);

} // namespace saldorama
