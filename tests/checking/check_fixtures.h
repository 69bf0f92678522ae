#pragma once
#include <string>
#include <vector>

#include "checking/check_result.h"

namespace saldorama::test {

using namespace saldorama::checking;

// Lines in textbook form, UTF-8: "Bank 300, Kasse 200 an Eigenkapital 500";
// an account may hold blanks, its amount is the last word ("12,50").
[[nodiscard]] std::vector<BookingLine> lines(const std::string& utf8);

[[nodiscard]] ExpectedBooking expected(int number, const std::string& utf8, int exercise = 1,
                                       const std::string& date = "",
                                       const std::vector<std::string>& alternatives = {});
// The cases of a solution from its bookings: consecutive bookings of the same
// number are one case "Buchung N", any other booking a case of its own; a
// booking of an exercise above the solution's is a later case.
void add_cases(Solution& solution);

[[nodiscard]] LearnerBooking mine(int number, const std::string& utf8, const std::string& date = "01.03.2026");

// A compact account of a result for tables, one item a row: "B3 vertauscht L4",
// "B1 richtig L2+L3" (several bookings),
// "B2 fehlt", "L5 zu viel", "K1 Wert", "Kontenplan"; rows of earlier
// exercises start with "früher "; the points come last as "n/m".
[[nodiscard]] std::string summary(const CheckResult& result, const Solution& solution, const LearnerBooks& learner);

// Compares UTF-8 lines with tests/golden/<file> (UTF-8, LF) and prints a diff.
void expect_golden_utf8(const std::string& file, const std::vector<std::string>& actual);

} // namespace saldorama::test
