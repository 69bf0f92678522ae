#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "base/file.h"
#include "base/text_file.h"
#include "bookings/bookings_file.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "support/work_dir.h"

namespace saldorama {
namespace {

using Kind = ScriptedDialogs::Kind;

std::vector<std::string> chart_of(int accounts, const std::string& prefix = "Konto") {
    std::vector<std::string> lines;
    for (int i = 1; i <= accounts; ++i) lines.push_back(prefix + " " + std::to_string(i) + "<B> A  B");
    return lines;
}

std::string settings_line_18(const test::WorkDir& dir) {
    return split_lines(dir.read("einstellungen.txt"), LineEnds::CrLfLfOrCr).at(17);
}

// A started window in a directory with settings, charts 1 to 3 and two bookings.
struct ChartFixture : ::testing::Test {
    test::WorkDir dir;
    ScriptedDialogs dialogs;
    TForm1 form{dialogs};

    void start(int chartIndex) {
        dir.writeSettings(chartIndex);
        dir.writeLines("Kontenplan1.txt", {"Kasse<B> A  B", "Bank<B> A  N", "Mieten<S> A  B",
                                           "Zinsertraege<H> E  N", "Sonder<V> A  B"});
        dir.writeLines("Kontenplan2.txt", chart_of(99));
        dir.writeLines("Kontenplan3.txt", chart_of(3, "Drei"));
        BookingRecord r;
        r.account[0] = "Kasse";
        r.debit[0] = 10;
        File::create("buchungen.dat").close();
        bookings_append(r);
        bookings_append(r);
        ASSERT_TRUE(form.run([&] { form.FormCreate(StartupOptions{.readExercises = false, .showStartPage = false}); }));
        ASSERT_EQ(form.state.bookingCount, 2);
    }
};

TEST(ChartPageLayout, StartsWithItsCaptionsAndEmptyGrid) {
    ScriptedDialogs dialogs;
    TForm1 form{dialogs};
    const ChartPage& p = form.chart;
    EXPECT_EQ(p.Label12.text, cp("Kontenplan bitte auswählen:"));
    EXPECT_EQ(p.SpeedButton10.text, "1");
    EXPECT_EQ(p.SpeedButton11.text, "2");
    EXPECT_EQ(p.SpeedButton12.text, "3");
    EXPECT_EQ(p.SpeedButton13.text, "4");
    EXPECT_EQ(p.Label14.text, "Einfach");
    EXPECT_EQ(p.Label15.text, "Umfangreich");
    EXPECT_EQ(p.Label16.text, "Handel");
    EXPECT_EQ(p.Label17.text, "Industrie");
    EXPECT_EQ(p.Label24.text, cp("z.Zt. ausgewählt: 0"));
    EXPECT_EQ(p.StringGrid1.colCount(), 6);
    EXPECT_EQ(p.StringGrid1.rowCount(), 100);
    EXPECT_EQ(p.StringGrid1.colWidths, (std::vector<int>{204, 67, 57, 64, 58, 40}));
}

TEST_F(ChartFixture, KontenplanEmptiesBookingsAndShowsTheCurrentChart) {
    start(0);
    dialogs.clear();
    ASSERT_TRUE(form.run([&] { form.SpeedButton23Click(); }));
    EXPECT_EQ(dialogs.texts(Kind::Question),
              (std::vector<std::string>{
                  cp("Neuer Kontenplan bedeutet, dass alle Buchungen gelöscht werden! Wollen Sie weiter?"),
                  cp("Die Buchungssätze werden jetzt gelöscht!")}));
    EXPECT_EQ(dir.read("buchungen.dat"), "");
    EXPECT_EQ(form.state.bookingCount, 0);
    EXPECT_EQ(form.state.bookingPosition, 0);
    EXPECT_EQ(form.booking.Label45.text, "0/0");
    EXPECT_EQ(form.activePage(), Page::TabSheet9);
    // The show handler chose chart 1 again.
    EXPECT_EQ(form.chart.Label24.text, "Aktuell: 1");
    EXPECT_EQ(form.chart.StringGrid1.cell(0, 1), "Kasse");
    EXPECT_EQ(form.chart.StringGrid1.cell(0, 0), "Bezeichnung");
}

TEST_F(ChartFixture, NoToTheFirstQuestionChangesNothing) {
    start(0);
    const std::string before = dir.read("buchungen.dat");
    dialogs.clear();
    dialogs.answers = {false};
    ASSERT_TRUE(form.run([&] { form.SpeedButton23Click(); }));
    EXPECT_EQ(dialogs.texts(Kind::Question).size(), 1u);
    EXPECT_EQ(dir.read("buchungen.dat"), before);
    EXPECT_EQ(form.state.bookingCount, 2);
    EXPECT_EQ(form.state.bookingPosition, 2);
    EXPECT_EQ(form.booking.Label45.text, "2/2");
    EXPECT_EQ(form.activePage(), Page::TabSheet4);
}

TEST_F(ChartFixture, NoToTheSecondQuestionChangesNothing) {
    start(0);
    const std::string before = dir.read("buchungen.dat");
    dialogs.clear();
    dialogs.answers = {true, false};
    ASSERT_TRUE(form.run([&] { form.SpeedButton23Click(); }));
    EXPECT_EQ(dialogs.texts(Kind::Question).size(), 2u);
    EXPECT_EQ(dir.read("buchungen.dat"), before);
    EXPECT_EQ(form.state.bookingCount, 2);
    EXPECT_EQ(form.booking.Label45.text, "2/2");
    EXPECT_EQ(form.activePage(), Page::TabSheet4);
}

TEST_F(ChartFixture, BothQuestionsPreselectNo) {
    start(0);
    dialogs.clear();
    ASSERT_TRUE(form.run([&] { form.SpeedButton23Click(); }));
    ASSERT_EQ(dialogs.log.size(), 2u);
    EXPECT_EQ(dialogs.log[0].preset, Preset::No);
    EXPECT_EQ(dialogs.log[1].preset, Preset::No);
}

// "Kontenplan ansehen" on the T-account page: the chart, and nothing changes.
TEST_F(ChartFixture, TheReadOnlyViewListsTheChartAndDeletesNothing) {
    start(2);
    const std::string bookings = dir.read("buchungen.dat");
    const std::string settings = dir.read("einstellungen.txt");
    form.SpeedButton6Click();
    dialogs.clear();
    ASSERT_TRUE(form.run([&] { form.SpeedButton37Click(); }));
    EXPECT_TRUE(dialogs.log.empty());
    EXPECT_EQ(form.activePage(), Page::TabSheet9);
    EXPECT_EQ(form.chart.StringGrid1.cell(0, 3), "Drei 3");
    EXPECT_EQ(form.chart.Label24.text, "Aktuell: 3");
    EXPECT_EQ(form.chart.Label12.text, "Aktueller Kontenplan (nur ansehen):");
    for (const Button* b : {&form.chart.SpeedButton10, &form.chart.SpeedButton11, &form.chart.SpeedButton12,
                            &form.chart.SpeedButton13})
        EXPECT_FALSE(b->enabled);
    // A choice button pressed anyway chooses nothing.
    ASSERT_TRUE(form.run([&] { form.chart.SpeedButton10Click(); }));
    EXPECT_EQ(form.state.currentChart, 3);
    EXPECT_EQ(dir.read("buchungen.dat"), bookings);
    EXPECT_EQ(dir.read("einstellungen.txt"), settings);
    EXPECT_EQ(form.state.bookingCount, 2);
    // "Kontenplan" makes the page choosable again.
    ASSERT_TRUE(form.run([&] { form.SpeedButton23Click(); }));
    EXPECT_TRUE(form.chart.SpeedButton10.enabled);
    EXPECT_EQ(form.chart.Label12.text, cp("Kontenplan bitte auswählen:"));
}

TEST_F(ChartFixture, TheReadOnlyViewWithoutAChartSaysSo) {
    start(-1);
    form.SpeedButton6Click();
    dialogs.clear();
    ASSERT_TRUE(form.run([&] { form.SpeedButton37Click(); }));
    EXPECT_EQ(dialogs.texts(Kind::Notice), std::vector<std::string>{cp("Du hast keinen Kontenplan ausgewählt!")});
    EXPECT_EQ(form.activePage(), Page::TabSheet10);
}

TEST_F(ChartFixture, AFailedEmptyingKeepsCountersAndPage) {
    start(0);
    const std::string before = dir.read("buchungen.dat");
    fault::fail_nth_operation(1, EIO);
    EXPECT_FALSE(form.run([&] { form.SpeedButton23Click(); }));
    fault::clear();
    // The first write is the undo copy taken before the books are emptied.
    EXPECT_TRUE(dialogs.last(Kind::Failure).starts_with("Lese- oder Schreibfehler bei ")) << dialogs.last(Kind::Failure);
    EXPECT_EQ(dir.read("buchungen.dat"), before);
    EXPECT_EQ(form.state.bookingCount, 2);
    EXPECT_EQ(form.booking.Label45.text, "2/2");
    EXPECT_EQ(form.activePage(), Page::TabSheet4);
}

TEST_F(ChartFixture, WithNoChartChosenThePageStaysEmpty) {
    start(-1);
    ASSERT_EQ(form.state.currentChart, 0);
    const std::string settingsBefore = dir.read("einstellungen.txt");
    ASSERT_TRUE(form.run([&] { form.SpeedButton23Click(); }));
    EXPECT_EQ(form.activePage(), Page::TabSheet9);
    EXPECT_EQ(form.chart.Label24.text, cp("z.Zt. ausgewählt: 0"));
    EXPECT_EQ(form.chart.StringGrid1.cell(0, 1), "");
    EXPECT_EQ(dir.read("einstellungen.txt"), settingsBefore);
    EXPECT_EQ(dir.read("buchungen.dat"), "");
}

TEST_F(ChartFixture, ChoosingAChartWritesTheSettingsAndSurvivesARestart) {
    start(0);
    form.company.Edit1.text = "Neue Firma";  // unsaved edits are stored with the choice
    ASSERT_TRUE(form.run([&] { form.chart.SpeedButton12Click(); }));
    EXPECT_EQ(form.state.currentChart, 3);
    EXPECT_EQ(form.settings.RadioGroup1.itemIndex, 2);
    EXPECT_EQ(form.chart.Label24.text, "Aktuell: 3");
    EXPECT_EQ(settings_line_18(dir), "2");
    EXPECT_EQ(split_lines(dir.read("einstellungen.txt"), LineEnds::CrLfLfOrCr).at(0), "Neue Firma");
    EXPECT_EQ(form.chart.StringGrid1.cell(0, 3), "Drei 3");

    ScriptedDialogs dialogs2;
    TForm1 again{dialogs2};
    ASSERT_TRUE(again.run([&] { again.FormCreate(StartupOptions{.readExercises = false, .showStartPage = false}); }));
    EXPECT_EQ(again.state.currentChart, 3);
}

TEST_F(ChartFixture, EachButtonChoosesItsChart) {
    start(0);
    dir.writeLines("Kontenplan4.txt", chart_of(1, "Vier"));
    const std::pair<void (ChartPage::*)(), int> buttons[] = {
        {&ChartPage::SpeedButton10Click, 1}, {&ChartPage::SpeedButton11Click, 2},
        {&ChartPage::SpeedButton12Click, 3}, {&ChartPage::SpeedButton13Click, 4}};
    for (const auto& [click, n] : buttons) {
        const auto method = click;  // clang 14 captures no structured binding
        ASSERT_TRUE(form.run([&] { (form.chart.*method)(); }));
        EXPECT_EQ(form.state.currentChart, n);
        EXPECT_EQ(form.settings.RadioGroup1.itemIndex, n - 1);
        EXPECT_EQ(settings_line_18(dir), std::to_string(n - 1));
        EXPECT_EQ(form.chart.Label24.text, "Aktuell: " + std::to_string(n));
    }
    EXPECT_EQ(form.chart.StringGrid1.cell(0, 1), "Vier 1");
}

TEST_F(ChartFixture, GridShowsTheFiveFieldsOfEveryLine) {
    start(0);
    ASSERT_TRUE(form.run([&] { form.chart.SpeedButton10Click(); }));
    const StringGrid& g = form.chart.StringGrid1;
    const std::vector<std::vector<std::string>> expected = {
        {"Kasse", "*", "", "A", ""},
        {"Bank", "*", "", "A", "Fehler!"},
        {"Mieten", "", "*", "S", "B"},
        {"Zinsertraege", "", "*", "H", "N"},
        {"Sonder", "***", "***", "H", "N"},
    };
    for (int row = 1; row <= 5; ++row)
        for (int col = 0; col < 5; ++col)
            EXPECT_EQ(g.cell(col, row), expected[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col)])
                << "row " << row << " col " << col;
    EXPECT_EQ(g.cell(0, 6), "");
}

TEST_F(ChartFixture, AShorterChartLeavesTheRowsBelowItEmpty) {
    start(1);
    ASSERT_TRUE(form.run([&] { form.chart.SpeedButton11Click(); }));
    const StringGrid& g = form.chart.StringGrid1;
    EXPECT_EQ(g.cell(0, 99), "Konto 99");
    EXPECT_EQ(g.cell(4, 99), "");
    EXPECT_EQ(g.cell(1, 99), "*");
    ASSERT_TRUE(form.run([&] { form.chart.SpeedButton12Click(); }));
    EXPECT_EQ(g.rowCount(), 100);
    EXPECT_EQ(g.cell(0, 3), "Drei 3");
    for (int row = 4; row <= 99; ++row)
        for (int col = 0; col < 5; ++col) EXPECT_EQ(g.cell(col, row), "") << row;
    EXPECT_EQ(g.cell(3, 0), "Akt./Pass. bzw. Soll/Haben");
}

TEST_F(ChartFixture, AChartOfMoreThanNinetyNineLinesIsListedWhole) {
    start(0);
    dir.writeLines("Kontenplan4.txt", chart_of(120));
    ASSERT_TRUE(form.run([&] { form.chart.SpeedButton13Click(); }));
    StringGrid& g = form.chart.StringGrid1;
    EXPECT_EQ(g.rowCount(), 121);
    EXPECT_EQ(g.cell(0, 120), "Konto 120");
    // Back to a short chart: the grid returns to its 99 account rows.
    ASSERT_TRUE(form.run([&] { form.chart.SpeedButton12Click(); }));
    EXPECT_EQ(g.rowCount(), 100);
    EXPECT_EQ(g.cell(0, 99), "");
}

TEST_F(ChartFixture, MissingChartFileFailsAfterTheSettingsAreWritten) {
    start(0);
    ASSERT_TRUE(form.run([&] { form.chart.SpeedButton10Click(); }));
    dialogs.clear();
    EXPECT_FALSE(form.run([&] { form.chart.SpeedButton13Click(); }));
    EXPECT_EQ(dialogs.last(Kind::Failure), "Datei nicht gefunden (Kontenplan4.txt).");
    EXPECT_EQ(form.state.currentChart, 4);
    EXPECT_EQ(form.settings.RadioGroup1.itemIndex, 3);
    EXPECT_EQ(settings_line_18(dir), "3");
    EXPECT_EQ(form.chart.Label24.text, "Aktuell: 1");
    EXPECT_EQ(form.chart.StringGrid1.cell(0, 1), "Kasse");
}

TEST_F(ChartFixture, ShowingThePageAgainChoosesTheChartAgain) {
    start(2);
    ASSERT_TRUE(form.run([&] { form.SpeedButton23Click(); }));
    ASSERT_EQ(form.chart.Label24.text, "Aktuell: 3");
    form.settings.Edit28.text = "2030";  // stored by the next choice
    form.chart.StringGrid1.cell(0, 1) = "verändert";
    // Pressing the button of the shown page runs no show handler.
    ASSERT_TRUE(form.run([&] { form.SpeedButton23Click(); }));
    EXPECT_EQ(form.chart.StringGrid1.cell(0, 1), "verändert");
    ASSERT_TRUE(form.run([&] { form.SpeedButton35Click(); }));
    ASSERT_TRUE(form.run([&] { form.SpeedButton23Click(); }));
    EXPECT_EQ(form.chart.StringGrid1.cell(0, 1), "Drei 1");
    EXPECT_EQ(split_lines(dir.read("einstellungen.txt"), LineEnds::CrLfLfOrCr).at(12), "2030");
}

} // namespace
} // namespace saldorama
