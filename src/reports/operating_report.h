#pragma once
#include <string>
#include <vector>

#include "accounts/account_record.h"
#include "bookings/booking_record.h"
#include "reports/account_balances.h"
#include "reports/report_text.h"

namespace saldorama {

// Credits minus debits of all operating (neutral) booking lines: a profit is
// positive, a loss negative.
[[nodiscard]] double BerechneGewinn(const std::vector<AccountRecord>& chart, const std::vector<BookingRecord>& bookings);
[[nodiscard]] double BerechneNeutral(const std::vector<AccountRecord>& chart, const std::vector<BookingRecord>& bookings);

// "Betriebsergebnis der ...", street and town.
[[nodiscard]] std::vector<std::string> operating_title(const CompanyTexts& company);

// Both halves and the signature lines.
[[nodiscard]] std::vector<std::string> operating_body(const std::vector<AccountRecord>& chart,
                                                      const AccountBalances& balances, double operatingResult,
                                                      double neutralResult, const CompanyTexts& company,
                                                      bool showZeroAccounts);

[[nodiscard]] std::vector<std::string> operating_report(const std::vector<AccountRecord>& chart,
                                                        const std::vector<BookingRecord>& bookings,
                                                        const CompanyTexts& company, bool showZeroAccounts);

} // namespace saldorama
