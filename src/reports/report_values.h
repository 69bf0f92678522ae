#pragma once
#include <string>
#include <utility>
#include <vector>

#include "accounts/account_record.h"
#include "bookings/booking_record.h"
#include "reports/account_balances.h"

namespace saldorama {

// The figures the balance and operating reports print, as numbers, for those
// that compare books rather than show them. Each is the very double the
// report formats, so a value and its printed text always agree.
struct ReportValues {
    // Every chart account in chart order with its balance on its own side:
    // debit minus credit on sides A and S, credit minus debit on P and H (a
    // withdrawal on Privat is negative). The opening and closing accounts too.
    std::vector<std::pair<std::string, double>> balances;
    double balanceSheetTotal = 0;  // the sum of the Aktiva side
    double yearResult = 0;         // this year's result: a profit above 0, a loss below
    double operatingResult = 0;    // profit above 0
    double neutralResult = 0;      // profit above 0
};

[[nodiscard]] ReportValues report_values(const std::vector<AccountRecord>& chart, const AccountBalances& balances);
[[nodiscard]] ReportValues report_values(const std::vector<AccountRecord>& chart,
                                         const std::vector<BookingRecord>& bookings);

} // namespace saldorama
