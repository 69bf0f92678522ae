#pragma once
#include <string>

#include "form/tform1.h"

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

} // namespace saldorama::test
