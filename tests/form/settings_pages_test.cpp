#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "base/file.h"
#include "form/page_context.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"

#include <cerrno>
#include <filesystem>
#include "support/work_dir.h"

using namespace saldorama;
using Kind = ScriptedDialogs::Kind;

namespace {

struct Pages : ::testing::Test {
    test::WorkDir dir;
    ScriptedDialogs dialogs;
    TForm1 form{dialogs};

    Pages() {
        dir.writeSettings(0, "2024");
        form.run([&] { form.FormCreate({.readExercises = false, .showStartPage = false}); });
        dialogs.clear();
    }
};

// The lines of the settings file as stored.
std::vector<std::string> settings_lines(const test::WorkDir& dir) {
    std::vector<std::string> lines;
    const std::string bytes = dir.read("einstellungen.txt");
    for (std::size_t at = 0, end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(bytes.substr(at, end - at));
    return lines;
}

} // namespace

TEST_F(Pages, AccessWordOpensTheSettingsPage) {
    form.company.Edit1.text = "Mentor";
    form.SpeedButton24Click();
    EXPECT_EQ(form.activePage(), Page::TabSheet7);
    EXPECT_TRUE(dialogs.log.empty());
}

TEST_F(Pages, AccessWordIsCaseSensitiveAndWhole) {
    for (const char* name : {"mentor", "Mentor ", " Mentor", "MENTOR", ""}) {
        form.company.Edit1.text = name;
        form.SpeedButton24Click();
        EXPECT_EQ(form.activePage(), Page::TabSheet4) << name;
        EXPECT_EQ(dialogs.last(Kind::Notice), "Sie haben keine Berechtigung f\xFCr diesen Men\xFCpunkt!");
    }
}

TEST_F(Pages, RestoreDefaultsSetsControlsAndCaptionsButSavesNothing) {
    const std::string before = dir.read("einstellungen.txt");
    form.settings.CheckBox1.setChecked(false);
    form.settings.CheckBox3.setChecked(true);
    form.settings.Edit9.text = "Anders";
    form.settings.Button1Click();
    EXPECT_TRUE(form.settings.CheckBox1.checked());
    EXPECT_TRUE(form.settings.Edit13.enabled);
    EXPECT_FALSE(form.settings.CheckBox3.checked());
    EXPECT_TRUE(form.SpeedButton2.enabled);
    EXPECT_EQ(form.settings.Edit28.text, "2007");
    EXPECT_EQ(form.settings.Edit13.text, "0");
    EXPECT_EQ(form.chart.Label14.text, "Einfach");
    EXPECT_EQ(form.chart.Label15.text, "Umfangreicher");
    EXPECT_EQ(form.chart.Label17.text, "Industrie");
    EXPECT_EQ(form.company.Edit1.text, "Muster GmbH");
    EXPECT_EQ(form.state.bookingYear, 2024);
    EXPECT_EQ(dir.read("einstellungen.txt"), before);
}

TEST_F(Pages, VatSwitchGreysTheRateButKeepsAndSavesIt) {
    form.settings.Edit13.text = "16";
    form.settings.CheckBox1.setChecked(false);
    EXPECT_FALSE(form.settings.Label22.enabled);
    EXPECT_FALSE(form.settings.Edit13.enabled);
    EXPECT_FALSE(form.settings.Label23.enabled);
    form.settings.Button2Click();
    const std::string bytes = dir.read("einstellungen.txt");
    EXPECT_NE(bytes.find("\r\nfalse\r\n16\r\n"), std::string::npos);
}

TEST_F(Pages, SaveCopiesTheChartNamesIntoTheCaptions) {
    form.settings.Edit11.text = "Gro\xDF" "handel";
    EXPECT_EQ(form.chart.Label16.text, "Handel");  // typing alone changes nothing
    form.settings.Button2Click();
    EXPECT_EQ(form.chart.Label16.text, "Gro\xDF" "handel");
    EXPECT_EQ(form.state.status, "Einstellungen gespeichert.");
}

TEST_F(Pages, NewYearIsSavedButTakesEffectOnlyAtTheNextStart) {
    form.settings.Edit28.text = "2025";
    form.settings.Button2Click();
    EXPECT_NE(dir.read("einstellungen.txt").find("\r\n2025\r\n"), std::string::npos);
    EXPECT_EQ(form.state.bookingYear, 2024);
}

TEST_F(Pages, CompanyOkStoresUnsavedEditsOfBothPages) {
    form.company.Edit2.text = "Neue Str. 5";
    form.settings.CheckBox2.setChecked(true);
    form.company.SpeedButton32Click();
    const std::string bytes = dir.read("einstellungen.txt");
    EXPECT_NE(bytes.find("Neue Str. 5\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\n19\r\ntrue\r\n"), std::string::npos);
    EXPECT_TRUE(dialogs.log.empty());
    EXPECT_EQ(form.state.status, "Firmendaten gespeichert.");
}

TEST_F(Pages, SaveWithNoChartWritesMinusOne) {
    form.settings.RadioGroup1.itemIndex = -1;
    form.einstellungen_sichern();
    const std::string bytes = dir.read("einstellungen.txt");
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "-1\r\n");
}

TEST_F(Pages, FailedSaveLeavesTheOldFileWhole) {
    const std::string before = dir.read("einstellungen.txt");
    form.company.Edit1.text = "Neu";
    for (int step = 1; step <= 5; ++step) {
        fault::fail_nth_operation(step, EACCES);
        EXPECT_FALSE(form.run([&] { form.company.SpeedButton32Click(); })) << step;
        fault::clear();
        EXPECT_EQ(dialogs.last(Kind::Failure), "Keine Berechtigung f\xFCr einstellungen.txt.");
        EXPECT_EQ(dir.read("einstellungen.txt"), before) << step;
    }
    form.company.SpeedButton32Click();
    EXPECT_EQ(dir.read("einstellungen.txt").substr(0, 5), "Neu\r\n");
}

TEST_F(Pages, ShowingTheActivePageAgainRunsNoHandler) {
    form.SpeedButton35Click();
    EXPECT_EQ(form.activePage(), Page::TabSheet2);
    form.SpeedButton35Click();
    EXPECT_EQ(form.activePage(), Page::TabSheet2);
    form.SpeedButton22Click();
    EXPECT_EQ(form.activePage(), Page::TabSheet8);
}

TEST_F(Pages, EndAnsweredNoWritesNothingAndCloses) {
    dialogs.answers = {false};
    form.SpeedButton31Click();
    EXPECT_TRUE(form.closeRequested);
    EXPECT_EQ(dialogs.last(Kind::Question), "Vor dem Beenden speichern?");
    EXPECT_TRUE(dialogs.texts(Kind::SaveFile).empty());
}

TEST_F(Pages, EndAnsweredYesOffersSaveAllAndClosesAfterCancel) {
    dialogs.answers = {true};
    dialogs.fileAnswers = {std::nullopt};
    form.SpeedButton31Click();
    EXPECT_TRUE(form.closeRequested);
    EXPECT_EQ(dialogs.texts(Kind::SaveFile).size(), 1u);
}

TEST_F(Pages, EndCancelledKeepsTheWindowOpenAndWritesNothing) {
    dialogs.choices = {Answer::Cancel};
    form.SpeedButton31Click();
    EXPECT_FALSE(form.closeRequested);
    ASSERT_EQ(dialogs.log.size(), 1u);
    EXPECT_TRUE(dialogs.log[0].withCancel);
    EXPECT_EQ(dialogs.log[0].preset, Preset::Yes);
    EXPECT_TRUE(dialogs.texts(Kind::SaveFile).empty());
}

// The access word opens the settings but is never stored as company name.
TEST_F(Pages, AccessWordIsNeverStoredAndGivesWayOnLeavingTheSettings) {
    const std::string before = dir.read("einstellungen.txt");
    form.company.Edit1.text = "Mentor";
    form.company.SpeedButton32Click();  // company page "OK"
    EXPECT_EQ(dir.read("einstellungen.txt"), before);
    form.SpeedButton24Click();
    ASSERT_EQ(form.activePage(), Page::TabSheet7);
    form.settings.Edit28.text = "2030";
    form.settings.Button2Click();  // "Speichern"
    const auto lines = settings_lines(dir);
    EXPECT_EQ(lines.at(0), "Muster GmbH");
    EXPECT_EQ(lines.at(12), "2030");
    form.context.einstellungen_sichern();  // as every chart choice saves
    EXPECT_EQ(settings_lines(dir).at(0), "Muster GmbH");
    // Still on the settings page the field keeps the word; leaving puts the name back.
    EXPECT_EQ(form.company.Edit1.text, "Mentor");
    form.SpeedButton35Click();
    EXPECT_EQ(form.company.Edit1.text, "Muster GmbH");
    // A new name saved while the word is not in the field is the one kept.
    form.company.Edit1.text = "Neu AG";
    form.company.SpeedButton32Click();
    form.company.Edit1.text = "Mentor";
    form.SpeedButton24Click();
    form.SpeedButton22Click();
    EXPECT_EQ(form.company.Edit1.text, "Neu AG");
    EXPECT_EQ(settings_lines(dir).at(0), "Neu AG");
}

TEST_F(Pages, AccessWordStoredByMistakeIsNotKeptAsName) {
    auto lines = settings_lines(dir);
    ASSERT_EQ(lines.size(), 18u);
    lines[0] = "Mentor";
    dir.writeLines("einstellungen.txt", lines);
    TForm1 other{dialogs};
    other.run([&] { other.FormCreate({.readExercises = false, .showStartPage = false}); });
    EXPECT_EQ(other.company.Edit1.text, "Mentor");
    other.einstellungen_sichern();
    EXPECT_EQ(settings_lines(dir).at(0), "");
}

TEST_F(Pages, CompanyOkRefusesABarNamingTheField) {
    const std::string before = dir.read("einstellungen.txt");
    form.company.Edit3.text = "12345 | Ort";
    form.company.SpeedButton32Click();
    EXPECT_EQ(dialogs.last(Kind::Notice),
              "Das Zeichen \"|\" ist im Feld \"PLZ und Ort\" nicht erlaubt. Bitte entferne es.");
    EXPECT_EQ(dir.read("einstellungen.txt"), before);
}

// "Hilfe": the notice comes first; the manual opens after it, from the
// working folder before the installed one, at the chapter of the page on
// show; without a manual the notice says where it belongs.
TEST_F(Pages, HelpShowsItsNoticeThenOpensTheManualWhereThereIsOne) {
    test::WorkDir installed;
    const std::string supplied = installed.path();
    form.state.suppliedFolder = supplied;

    form.SpeedButton34Click();
    ASSERT_EQ(dialogs.log.size(), 1u);
    EXPECT_EQ(dialogs.log[0].kind, Kind::Notice);
    EXPECT_EQ(cp1252_to_utf8(dialogs.log[0].text).rfind("Die Anleitung (Anleitung.pdf) ist weder", 0), 0u);

    installed.write("Anleitung.pdf", "%PDF-1.4 installed");
    dialogs.clear();
    dialogs.viewerFound = false;  // no viewer: a notice says where the manual is
    form.SpeedButton34Click();
    ASSERT_EQ(dialogs.log.size(), 3u);
    EXPECT_EQ(dialogs.log[0].kind, Kind::Notice);
    EXPECT_EQ(cp1252_to_utf8(dialogs.log[0].text).rfind("Die Anleitung öffnet sich in einem Fenster des Programms", 0), 0u);
    EXPECT_EQ(dialogs.log[1].kind, Kind::OpenDocument);
    EXPECT_EQ(dialogs.log[1].text, supplied + "/Anleitung.pdf");
    EXPECT_EQ(dialogs.log[2].text, cp("Kein Programm konnte die Anleitung öffnen. Öffne sie selbst mit einem "
                                      "PDF-Betrachter: „") + supplied + cp("/Anleitung.pdf“."));

    dir.write("Anleitung.pdf", "%PDF-1.4 working folder");
    dialogs.clear();
    form.SpeedButton34Click();
    ASSERT_EQ(dialogs.texts(Kind::OpenDocument).size(), 1u);
    EXPECT_EQ(dialogs.last(Kind::OpenDocument), form.state.startDirectory + "/Anleitung.pdf");
    EXPECT_EQ(dialogs.log.front().kind, Kind::Notice);
    form.showPage(Page::TabSheet2);
    form.SpeedButton34Click();
    EXPECT_EQ(dialogs.manualChapter, "2. Die Firmendaten");
}

// Closing with company data typed but not saved asks; the answer decides
// whether it is saved, dropped, or the window stays open.
TEST_F(Pages, ClosingWithUnsavedInputAsksYesNoCancel) {
    EXPECT_TRUE(form.FormCloseQuery());
    EXPECT_TRUE(dialogs.log.empty());  // nothing typed: no question

    const std::string stored = dir.read("einstellungen.txt");
    const struct {
        Answer answer;
        bool closes;
        bool saved;
    } cases[] = {{Answer::Cancel, false, false}, {Answer::No, true, false}, {Answer::Yes, true, true}};
    for (const auto& c : cases) {
        dir.write("einstellungen.txt", stored);
        form.company.Edit2.text = "Neuer Weg 5";
        dialogs.clear();
        dialogs.choices = {c.answer};
        EXPECT_EQ(form.FormCloseQuery(), c.closes);
        ASSERT_EQ(dialogs.texts(Kind::Question).size(), 1u);
        EXPECT_EQ(settings_lines(dir)[1] == "Neuer Weg 5", c.saved);
    }
    // A "|" is refused as "OK" refuses it, and the window stays open for mending.
    form.company.Edit2.text = "Weg|5";
    dialogs.clear();
    dialogs.choices = {Answer::Yes};
    EXPECT_FALSE(form.FormCloseQuery());
    EXPECT_EQ(dialogs.texts(Kind::Notice).size(), 1u);
}

// "Prüfungsmodus" and the solutions' folder go into a file of their own; the
// settings file keeps its 18 lines. The status line says it while it is on,
// and the next start hides "Lösung zeigen".
TEST_F(Pages, ExamModeIsSavedApartAndShownInTheStatusLine) {
    const std::string folder = dir.path() + "/loesungen";
    std::filesystem::create_directory(folder);
    const struct {
        bool on;
        std::string folder;
        std::string file;
        std::string status;
        std::string notice;
    } steps[] = {
        {true, folder, "Pr\xFC" "fungsmodus: an\r\nL\xF6sungen: " + folder + "\r\n",
         "Pr\xFC" "fungsmodus \x96 Einstellungen gespeichert.", ""},
        // A folder that is not there is named, and nothing is saved.
        {false, folder + "x", "Pr\xFC" "fungsmodus: an\r\nL\xF6sungen: " + folder + "\r\n",
         "Pr\xFC" "fungsmodus \x96 Einstellungen gespeichert.",
         "Den Ordner der L\xF6sungen " + folder + "x gibt es nicht. Trag einen vorhandenen Ordner ein oder lass das Feld leer."},
        {false, "", "Pr\xFC" "fungsmodus: aus\r\nL\xF6sungen: \r\n", "Einstellungen gespeichert.", ""},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.folder);
        dialogs.clear();
        form.settings.examMode.setChecked(s.on);
        form.settings.solutionsFolder.text = s.folder;
        ASSERT_TRUE(form.run([&] { form.settings.Button2Click(); }));
        EXPECT_EQ(dialogs.last(Kind::Notice), s.notice);
        EXPECT_EQ(dir.read("pruefungsmodus.txt"), s.file);
        EXPECT_EQ(settings_lines(dir).size(), 18u);
        EXPECT_EQ(status_line(form.state), s.status);

        ScriptedDialogs d;
        TForm1 next{d};
        ASSERT_TRUE(next.run([&] { next.FormCreate({.readExercises = false, .showStartPage = false}); }));
        const bool on = s.file.find(": an") != std::string::npos;
        EXPECT_EQ(next.exercises.SolutionButton.visible, !on);
        next.settings.TabSheet7Show();
        EXPECT_EQ(next.settings.examMode.checked(), on);
        EXPECT_EQ(next.settings.solutionsFolder.text, s.notice.empty() ? s.folder : folder);
    }
}
