#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "support/work_dir.h"

using namespace saldorama;
using Kind = ScriptedDialogs::Kind;

namespace {

std::vector<std::string> settingsLines() {
    return {"Muster GmbH", "Hauptstr. 1", "12345 Musterstadt", "4711", "10000000", "Musterbank",
            "Anna", "Bert", "true", "19", "false", "false", "2024", "Eins", "Zwei", "Drei", "Vier", "2"};
}

struct StartUp : ::testing::Test {
    test::WorkDir dir;
    ScriptedDialogs dialogs;
    TForm1 form{dialogs};

    void writeExercises() const {
        for (int n = 1; n <= 8; ++n)
            dir.writeLines("Aufgabe" + std::to_string(n) + ".txt", {"Titel " + std::to_string(n), "Punkt"});
    }
    void writeAll(std::vector<std::string> settings = settingsLines()) const {
        dir.writeLines("einstellungen.txt", settings);
        writeExercises();
        dir.write("Wichtiger Hinweis.rtf", "{\\rtf1 Hallo}");
    }
    void start() { form.run([&] { form.FormCreate(); }); }
};

} // namespace

TEST_F(StartUp, FullStartReadsEverythingAndShowsTheStartPage) {
    writeAll();
    start();
    EXPECT_TRUE(dialogs.log.empty());
    EXPECT_EQ(form.company.Edit1.text, "Muster GmbH");
    EXPECT_EQ(form.state.bookingYear, 2024);
    EXPECT_EQ(form.state.currentChart, 3);
    EXPECT_EQ(form.settings.RadioGroup1.itemIndex, 2);
    EXPECT_EQ(form.chart.Label16.text, "Drei");
    EXPECT_EQ(form.chart.StringGrid1.cell(3, 0), "Akt./Pass. bzw. Soll/Haben");
    EXPECT_EQ(form.chart.StringGrid1.cell(5, 0), "Nr.");
    EXPECT_EQ(form.opening.StringGrid2.cell(1, 0), "Er\xF6" "ffnungsbetrag");
    EXPECT_EQ(form.exercises.titles[7].text, "Titel 8");
    EXPECT_TRUE(dir.exists("buchungen.dat"));
    EXPECT_EQ(form.booking.Label45.text, "0/0");
    EXPECT_FALSE(form.booking.Label45.visible);
    EXPECT_EQ(form.activePage(), Page::TabSheet1);
    ASSERT_EQ(form.start.RichEdit1.document.paragraphs.size(), 1u);
    EXPECT_EQ(cp1252_to_utf8(form.titleText()), "Muster GmbH – Drei – Saldorama");
}

TEST_F(StartUp, TitleNamesOnlyWhatIsKnown) {
    EXPECT_EQ(form.titleText(), "Saldorama");
    form.company.Edit1.text = "Muster GmbH";
    EXPECT_EQ(cp1252_to_utf8(form.titleText()), "Muster GmbH – Saldorama");
    form.state.currentChart = 2;  // a chart without a name is named by its number
    EXPECT_EQ(cp1252_to_utf8(form.titleText()), "Muster GmbH – Kontenplan 2 – Saldorama");
    form.company.Edit1.text.clear();
    EXPECT_EQ(cp1252_to_utf8(form.titleText()), "Kontenplan 2 – Saldorama");
}

TEST_F(StartUp, MissingSettingsFileStopsOnTheBookingPage) {
    writeExercises();
    start();
    EXPECT_EQ(dialogs.last(Kind::Failure), "Datei nicht gefunden (einstellungen.txt).");
    EXPECT_EQ(form.activePage(), Page::TabSheet4);
    EXPECT_EQ(form.chart.StringGrid1.cell(0, 0), "");  // headers not written
    EXPECT_TRUE(form.exercises.titles.empty());  // not listed yet
    EXPECT_FALSE(dir.exists("buchungen.dat"));
    EXPECT_EQ(form.state.bookingCount, 0);
}

TEST_F(StartUp, BadYearStopsAfterTheLinesBeforeIt) {
    auto lines = settingsLines();
    lines[12] = "20x4";
    lines[11] = "true";
    writeAll(lines);
    start();
    EXPECT_EQ(dialogs.last(Kind::Failure), "einstellungen.txt, Zeile 13: '20x4' ist kein g\xFCltiger Integerwert.");
    EXPECT_EQ(form.company.Edit8.text, "Bert");
    EXPECT_TRUE(form.settings.CheckBox3.checked());
    EXPECT_EQ(form.settings.Edit28.text, "20x4");
    EXPECT_EQ(form.settings.Edit9.text, "");  // line 14 never read
    EXPECT_EQ(form.state.currentChart, 0);
    EXPECT_FALSE(dir.exists("buchungen.dat"));
}

TEST_F(StartUp, ShortSettingsFileFailsWithAnEmptyText) {
    writeAll({"nur eine Zeile"});
    start();
    EXPECT_EQ(dialogs.last(Kind::Failure), "einstellungen.txt, Zeile 13: '' ist kein g\xFCltiger Integerwert.");
}

TEST_F(StartUp, BadChartIndexLineStopsThere) {
    auto lines = settingsLines();
    lines[17] = "2 ";
    writeAll(lines);
    start();
    EXPECT_EQ(dialogs.last(Kind::Failure), "einstellungen.txt, Zeile 18: '2 ' ist kein g\xFCltiger Integerwert.");
    EXPECT_EQ(form.chart.Label17.text, "Vier");
    EXPECT_EQ(form.state.currentChart, 0);
}

TEST_F(StartUp, ChartIndexIsClampedIntoRange) {
    auto lines = settingsLines();
    for (const auto& [text, chart] : std::vector<std::pair<std::string, int>>{{"0", 1}, {"3", 4}, {"9", 4}, {"-1", 0}, {"-7", 0}}) {
        lines[17] = text;
        writeAll(lines);
        ScriptedDialogs d;
        TForm1 f{d};
        f.run([&] { f.FormCreate(); });
        EXPECT_EQ(f.state.currentChart, chart) << text;
    }
}

TEST_F(StartUp, MissingExerciseStopsAtThatExercise) {
    writeAll();
    std::remove("Aufgabe3.txt");
    start();
    EXPECT_EQ(dialogs.last(Kind::Failure), "Datei nicht gefunden (Aufgabe3.txt).");
    EXPECT_EQ(form.exercises.titles[1].text, "Titel 2");
    EXPECT_EQ(form.exercises.titles.size(), 8u);  // as many as the highest number
    EXPECT_EQ(form.exercises.titles[2].text, "");
    EXPECT_FALSE(dir.exists("buchungen.dat"));
    EXPECT_NE(form.activePage(), Page::TabSheet1);
}

TEST_F(StartUp, BookingsAreCountedInWholeRecords) {
    writeAll();
    dir.write("buchungen.dat", std::string(1000, '\0'));
    start();
    EXPECT_EQ(form.state.bookingCount, 1);
    EXPECT_EQ(form.state.bookingPosition, 1);
    EXPECT_EQ(form.booking.Label45.text, "1/1");
}

TEST_F(StartUp, MissingNoticeNamesTheFileAndGoesOn) {
    writeAll();
    std::remove("Wichtiger Hinweis.rtf");
    start();
    const std::string text = dialogs.last(Kind::Failure);
    EXPECT_NE(text.find("Wichtiger Hinweis.rtf kann nicht ge\xF6" "ffnet werden. Datei nicht gefunden."), std::string::npos) << text;
    EXPECT_EQ(text.rfind("Datei /", 0), 0u);
    EXPECT_EQ(form.activePage(), Page::TabSheet1);
    EXPECT_TRUE(form.start.RichEdit1.document.paragraphs.empty());
}

TEST_F(StartUp, ManualModeFromTheFileChangesTheNavigation) {
    auto lines = settingsLines();
    lines[11] = "true";
    writeAll(lines);
    start();
    EXPECT_FALSE(form.SpeedButton2.enabled);
    EXPECT_EQ(form.SpeedButton4.text, "Salden\xFC" "berpr\xFC" "fung");
    form.settings.CheckBox3.setChecked(false);
    EXPECT_TRUE(form.SpeedButton2.enabled);
    EXPECT_EQ(form.SpeedButton4.text, "Bilanz und GuV");
}

TEST_F(StartUp, VatFlagOfTrueWithTrailingBlankLeavesTheBoxUnchecked) {
    auto lines = settingsLines();
    lines[8] = "true ";
    writeAll(lines);
    start();
    EXPECT_FALSE(form.settings.CheckBox1.checked());
    EXPECT_FALSE(form.settings.Edit13.enabled);
    EXPECT_EQ(form.settings.Edit13.text, "19");
}

TEST_F(StartUp, LinesAfterTheEighteenthAreIgnoredAndDropped) {
    auto lines = settingsLines();
    lines.push_back("neunzehn");
    writeAll(lines);
    start();
    form.einstellungen_sichern();
    EXPECT_EQ(dir.read("einstellungen.txt").find("neunzehn"), std::string::npos);
}

TEST_F(StartUp, SavedSettingsComeBackLineForLine) {
    writeAll();
    start();
    const std::string before = dir.read("einstellungen.txt");
    form.einstellungen_sichern();
    EXPECT_EQ(dir.read("einstellungen.txt"), before);
}
