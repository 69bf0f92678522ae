#pragma once
#include "app/controls.h"

namespace saldorama {

class TForm1;

// TabSheet9: choosing the chart of accounts and listing it.
class ChartPage {
public:
    explicit ChartPage(TForm1& form);

    Label Label12;  // "Kontenplan bitte auswählen:"
    Button SpeedButton10, SpeedButton11, SpeedButton12, SpeedButton13;  // "1".."4"
    Label Label14, Label15, Label16, Label17;  // chart names
    Label Label24;  // "z.Zt. ausgewählt: 0" / "Aktuell: N"
    StringGrid StringGrid1{5, 100};

    void TabSheet9Show();
    void SpeedButton10Click();
    void SpeedButton11Click();
    void SpeedButton12Click();
    void SpeedButton13Click();
    void kontenplan_auswahl();

private:
    void choose(int chart);
    TForm1& form_;
};

} // namespace saldorama
