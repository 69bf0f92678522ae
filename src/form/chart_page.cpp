#include "form/chart_page.h"

#include <algorithm>
#include <string>

#include "accounts/chart_file.h"
#include "base/cp1252.h"
#include "base/working_files.h"

namespace saldorama {
namespace {

// Rows of the grid below its header row as the page is laid out; a longer
// chart makes the grid grow so that no account is left out.
constexpr int kChartRows = 99;

} // namespace

ChartPage::ChartPage(PageContext& context, RadioGroup& currentChartGroup)
    : context_(context), currentChartGroup_(currentChartGroup) {
    Label12.text = cp("Kontenplan bitte auswählen:");
    SpeedButton10.text = "1";
    SpeedButton11.text = "2";
    SpeedButton12.text = "3";
    SpeedButton13.text = "4";
    Label14.text = "Einfach";
    Label15.text = "Umfangreich";
    Label16.text = "Handel";
    Label17.text = "Industrie";
    Label24.text = cp("z.Zt. ausgewählt: 0");
    [[maybe_unused]] const Button* choices[] = {&SpeedButton10, &SpeedButton11, &SpeedButton12, &SpeedButton13};
    static_assert(std::size(choices) == kChartCount, "one choice button per chart");
    StringGrid1.colWidths = {204, 67, 57, 64, 58, 40};
}

void ChartPage::setReadOnly(bool readOnly) {
    for (Button* b : {&SpeedButton10, &SpeedButton11, &SpeedButton12, &SpeedButton13}) b->enabled = !readOnly;
    Label12.text = readOnly ? cp("Aktueller Kontenplan (nur ansehen):") : cp("Kontenplan bitte auswählen:");
}

void ChartPage::TabSheet9Show() {
    const int chart = context_.state.currentChart;
    if (chart < 1 || chart > kChartCount) return;
    if (readOnly()) {
        // Only the list: the settings file stays as it is.
        kontenplan_auswahl();
        Label24.text = "Aktuell: " + std::to_string(chart);
        return;
    }
    // The choice runs again in full: settings written, grid refilled, label set.
    choose(chart);
}

// A disabled button chooses nothing, however it is pressed.
void ChartPage::SpeedButton10Click() { if (!readOnly()) choose(1); }
void ChartPage::SpeedButton11Click() { if (!readOnly()) choose(2); }
void ChartPage::SpeedButton12Click() { if (!readOnly()) choose(3); }
void ChartPage::SpeedButton13Click() { if (!readOnly()) choose(4); }

void ChartPage::choose(int chart) {
    context_.state.currentChart = chart;
    currentChartGroup_.itemIndex = chart - 1;
    context_.einstellungen_sichern();
    kontenplan_auswahl();
    Label24.text = "Aktuell: " + std::to_string(chart);
}

void ChartPage::kontenplan_auswahl() {
    // Read first: a missing file leaves the grid as it was.
    const std::vector<AccountRecord> accounts = read_chart(context_.state.currentChart);
    const int rows = std::max(kChartRows, static_cast<int>(accounts.size()));
    StringGrid1.clearRows(1, StringGrid1.rowCount() - 1);
    StringGrid1.setRowCount(rows + 1);
    int row = 1;
    for (const AccountRecord& a : accounts) {
        StringGrid1.cell(0, row) = a.name;
        StringGrid1.cell(1, row) = a.balanceMark;
        StringGrid1.cell(2, row) = a.plMark;
        StringGrid1.cell(3, row) = a.side;
        StringGrid1.cell(4, row) = a.resultClass;
        StringGrid1.cell(5, row) = a.number;
        ++row;
    }
}

} // namespace saldorama
