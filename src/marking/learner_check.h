#pragma once
#include <optional>
#include <string>
#include <vector>

#include "accounts/account_record.h"
#include "bookings/booking_record.h"
#include "checking/check_result.h"
#include "marking/expected_books.h"
#include "settings/backup.h"

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
struct Marked {
    checking::Solution solution;  // the expected books the rows refer to
    checking::LearnerBooks learner;
    checking::CheckResult result;
};
[[nodiscard]] Marked mark(const ExpectedBooks& expected, checking::LearnerBooks learner);

// Everything for checking exercise N read from the working folder: the
// solution files (those of N's chain and of the exercises built on N), the
// chart names and the booking year of the settings, and the chart.
[[nodiscard]] ExpectedBooks expected_books_for(int exercise);

// Exercise N against the working folder's books ("buchungen.dat") on chart
// `chartNumber` (the current one). Reads only.
[[nodiscard]] Marked check_working_folder(int exercise, int chartNumber);
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
