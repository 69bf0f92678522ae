#pragma once
#include <string>
#include <vector>

#include "accounts/account_record.h"
#include "bookings/booking_record.h"
#include "reports/account_balances.h"
#include "reports/report_text.h"

namespace saldorama {

struct BalanceOptions {
    bool showZeroAccounts = false;  // CheckBox2
    bool manualMode = false;        // CheckBox3: the title becomes "Saldenmitteilung für die ..."
};

// Title, street and town: the lines that stand even when no chart is chosen.
[[nodiscard]] std::vector<std::string> balance_title(const CompanyTexts& company, bool manualMode);

// Everything after the title: the balance sheet, the profit and loss account
// and the signature lines, the sections following the order of the chart.
[[nodiscard]] std::vector<std::string> balance_body(const std::vector<AccountRecord>& chart,
                                                    const AccountBalances& balances,
                                                    const CompanyTexts& company, bool showZeroAccounts);

// The figures of the balance sheet as balance_body computes them: the sum of
// the Aktiva side and this year's result, the line that evens the sheet (a
// profit above 0, a loss below).
struct BalanceFigures {
    double balanceSheetTotal = 0;
    double yearResult = 0;
};
[[nodiscard]] BalanceFigures balance_figures(const std::vector<AccountRecord>& chart, const AccountBalances& balances);

// The whole report from a chart and the bookings.
[[nodiscard]] std::vector<std::string> balance_report(const std::vector<AccountRecord>& chart,
                                                      const std::vector<BookingRecord>& bookings,
                                                      const CompanyTexts& company, const BalanceOptions& options);

} // namespace saldorama
