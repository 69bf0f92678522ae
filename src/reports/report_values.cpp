#include "reports/report_values.h"

#include "reports/balance_report.h"

namespace saldorama {

ReportValues report_values(const std::vector<AccountRecord>& chart, const AccountBalances& balances) {
    ReportValues values;
    values.balances.reserve(chart.size());
    for (const AccountRecord& account : chart) {
        const double debit = balances.balance(account.name);
        values.balances.emplace_back(account.name, credit_side(account.side) ? 0.0 - debit : debit);
    }
    const BalanceFigures figures = balance_figures(chart, balances);
    values.balanceSheetTotal = figures.balanceSheetTotal;
    values.yearResult = figures.yearResult;
    values.operatingResult = balances.operatingResult();
    values.neutralResult = balances.neutralResult();
    return values;
}

ReportValues report_values(const std::vector<AccountRecord>& chart, const std::vector<BookingRecord>& bookings) {
    AccountBalances balances(chart);
    balances.addAll(bookings);
    return report_values(chart, balances);
}

} // namespace saldorama
