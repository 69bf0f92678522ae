#pragma once
#include "app/controls.h"

namespace saldorama {

class TForm1;

// TabSheet3: the opening balance.
class OpeningBalancePage {
public:
    explicit OpeningBalancePage(TForm1& form);

    StringGrid StringGrid2{2, 100};  // "Konto", "Eröffnungsbetrag"; column 1 editable; grows past 99 accounts
    Label Label48;  // instruction
    Label Label35;  // "Datum der Eröffnungsbilanz:"
    Edit Edit27;    // date
    Button SpeedButton7;  // "OK"

    void TabSheet3Show();
    void SpeedButton7Click();

private:
    // A chart longer than 99 lines grows the grid so every account has a row.
    void ensureRows(int accountRows);
    TForm1& form_;
};

} // namespace saldorama
