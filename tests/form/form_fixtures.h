#pragma once
#include <string>

#include "accounts/chart_file.h"
#include "exercises/solution_file.h"
#include "form/tform1.h"
#include "support/work_dir.h"

namespace saldorama::test {

// As a learner books on the booking page: "&Neu", the date, `debitAccount`
// and `creditAccount` on lines 1 and 2 with `amount` as typed, "&Buchen".
// True when no failure box came.
inline bool book_two_lines(TForm1& form, const std::string& date, const std::string& debitAccount,
                           const std::string& creditAccount, const std::string& amount) {
    form.run([&] { form.booking.SpeedButton8Click(); });
    form.booking.Edit14.text = date;
    form.booking.ComboBox1.text = debitAccount;
    form.booking.Edit17.text = amount;
    form.booking.ComboBox2.text = creditAccount;
    form.booking.Edit20.text = amount;
    return form.run([&] { form.booking.SpeedButton29Click(); });
}

// The supplied settings, charts, exercises and solutions, copied into `dir`.
inline void copy_supplied_files(WorkDir& dir) {
    dir.copyFromData("einstellungen.txt");
    for (int i = 1; i <= kChartCount; ++i) dir.copyFromData(chart_file_name(i));
    for (int i = 1; i <= supplied_exercise_count(); ++i) {
        dir.copyFromData("Aufgabe" + std::to_string(i) + ".txt");
        dir.copyFromData(solution_file_name(i));
    }
}

} // namespace saldorama::test
