#pragma once
#include "form/page_context.h"
#include "kernel/controls.h"

namespace saldorama {

// TabSheet9: choosing the chart of accounts and listing it.
class ChartPage {
public:
    // currentChartGroup: the settings page's RadioGroup1 ("Aktuell"), kept in step.
    ChartPage(PageContext& context, RadioGroup& currentChartGroup);

    Label Label12;  // "Kontenplan bitte auswählen:"
    Button SpeedButton10, SpeedButton11, SpeedButton12, SpeedButton13;  // "1".."4"
    Label Label14, Label15, Label16, Label17;  // chart names
    Label Label24;  // "z.Zt. ausgewählt: 0" / "Aktuell: N"
    StringGrid StringGrid1{6, 100};  // the five fields, then the number

    void TabSheet9Show();
    void SpeedButton10Click();
    void SpeedButton11Click();
    void SpeedButton12Click();
    void SpeedButton13Click();
    void kontenplan_auswahl();
    // Read-only: the page lists the current chart and its four choice
    // buttons are disabled, so looking deletes and changes nothing. Reached
    // from the T-account page; "Kontenplan" makes the page choosable again.
    void setReadOnly(bool readOnly);
    [[nodiscard]] bool readOnly() const noexcept { return !SpeedButton10.enabled; }

private:
    void choose(int chart);
    PageContext& context_;
    RadioGroup& currentChartGroup_;
};

} // namespace saldorama
