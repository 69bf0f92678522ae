#pragma once
#include <optional>
#include <string>
#include <vector>

#include "accounts/account_record.h"
#include "bookings/booking_record.h"
#include "checking/check_result.h"
#include "marking/expected_books.h"
#include "settings/backup.h"
#include "settings/teacher_options.h"

namespace saldorama {

// The control values of the learner's books, as values of the reports the
// pages show: account balances on each account's own side, the balance sheet
// total and the profit (negative: loss) of "Bilanz und GuV", the operating
// and the neutral result.
[[nodiscard]] checking::ComputedValues computed_values(const std::vector<AccountRecord>& chart,
                                                       const std::vector<BookingRecord>& bookings);

// The learner's books on chart `chartNumber` (0: none chosen; its chart file
// is read from the working folder), with the values of any set of lines on
// that chart (valuesOf; `values` stays empty, the check asks for what it needs).
[[nodiscard]] checking::LearnerBooks learner_books(int chartNumber, const std::vector<BookingRecord>& bookings);

// Checks the learner's books against the expected ones. Where the learner
// booked an alternative that stands for the bookings of several cases, the
// books are also checked with those cases joined into one that it answers,
// and the better result is kept; the joined case counts as many points as
// the cases it joins.
//
// The company data of the solution is checked field by field, one point
// each, after trimming and collapsing blanks; "*" takes any text. Its rows
// come after the others.
struct Marked {
    checking::Solution solution;  // the expected books the rows refer to
    checking::LearnerBooks learner;
    checking::CheckResult result;
    std::vector<std::string> answers;  // the answers to the exercise's questions
};
[[nodiscard]] Marked mark(const ExpectedBooks& expected, checking::LearnerBooks learner,
                          const CompanyFields& company = {});

// The same, for exam mode: each finding names only the case and the kind of
// mistake, and the answers are gone.
void hide_solution(Marked& marked);

// The folder the solutions of a learner's check are read from (CP1252, ""
// the working folder): `given`, else the teacher's. In exam mode only the
// teacher's counts: without one the check is refused, and a `given` one too.
[[nodiscard]] std::string learner_solutions_folder(const TeacherOptions& options, const std::string& given = {});
// Refuses solution work ("Lösung zeigen", booking a solution) in exam mode.
void refuse_in_exam_mode(const TeacherOptions& options);

// Everything for checking exercise N read from the working folder: the
// solution files (those of N's chain and of the exercises built on N), the
// chart names and the booking year of the settings, and the chart.
[[nodiscard]] ExpectedBooks expected_books_for(int exercise, const std::string& solutionsFolder = {});

// Exercise N against the working folder's books ("buchungen.dat") on chart
// `chartNumber` (the current one). Reads only.
// The company data is that of the settings file.
[[nodiscard]] Marked check_working_folder(int exercise, int chartNumber, const std::string& solutionsFolder = {});
// Exercise N against a backup's books.
[[nodiscard]] Marked check_backup(const ExpectedBooks& expected, const Backup& backup);
// The same, read from a backup file as it is checked, one booking at a time
// and without the texts: memory stays small whatever the file's size. On a
// file that cannot be read (check.error) nothing is marked.
struct BackupCheck {
    std::string error;
    std::string responsible;  // "Verantwortlich für die Buchhaltung"
    bool completenessChecked = false;
};
[[nodiscard]] std::optional<Marked> check_backup_file(const ExpectedBooks& expected, const std::string& path,
                                                      const std::string& shownName, BackupCheck& check);

} // namespace saldorama
