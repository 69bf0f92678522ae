#pragma once
#include <string>
#include <vector>

#include "accounts/account_record.h"
#include "bookings/booking_record.h"
#include "reports/report_text.h"
#include "support/sample_booking.h"

namespace saldorama::test {

// Chart lines as a teacher writes them ("Kasse<B> A  B"), UTF-8 in the test.
[[nodiscard]] std::vector<AccountRecord> chart_of(const std::vector<std::string>& utf8Lines);
// Assets Kasse, Bank; liabilities Darlehen, Eigenkapital; expenses Mieten (B),
// Zinsaufwand (N); income Umsatzerloese (B), Zinsertraege (N); the opening
// account as a special account at the end.
[[nodiscard]] const std::vector<std::string>& standard_chart_lines();

// Muster GmbH, Hauptstr. 1, 12345 Musterstadt, Anna Buch, Bert Chef.
[[nodiscard]] CompanyTexts muster_company();

// A T-account as text, one line a grid row: the Soll cell padded to 37,
// " | ", the Haben cell; blanks at the end dropped.
[[nodiscard]] std::vector<std::string> render_t_account(const std::vector<std::string>& soll,
                                                        const std::vector<std::string>& haben);

// Compares a report with tests/golden/<file> (CP1252, LF or CR LF) line by
// line; a mismatch fails the test with a readable diff.
void expect_golden(const std::string& file, const std::vector<std::string>& actual);
[[nodiscard]] std::vector<std::string> golden_lines(const std::string& file);

} // namespace saldorama::test
