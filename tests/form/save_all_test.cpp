#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "base/cp1252.h"
#include "base/file.h"
#include "base/hidden_area.h"
#include "bookings/bookings_file.h"
#include "bookings/checks.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "settings/backup.h"
#include "support/sample_booking.h"
#include "support/work_dir.h"

namespace saldorama {
namespace {

using Kind = ScriptedDialogs::Kind;
using test::two_line_booking;
const std::string& kHeader = test::kBackupHeader;

// The folder's files; the hidden area (undo copies) has cases of its own.
std::vector<std::string> files_in(const std::string& dir) {
    std::vector<std::string> names;
    // The hidden area is the program's own, no file of the folder.
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().filename() != kHiddenAreaName) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A started window with settings (chart 2), and three bookings.
struct BackupFixture : ::testing::Test {
    test::WorkDir dir;
    ScriptedDialogs dialogs;
    TForm1 form{dialogs};

    void SetUp() override {
        dir.writeSettings(1);
        ASSERT_TRUE(form.run([&] { form.FormCreate(StartupOptions{.readExercises = false, .showStartPage = false}); }));
        BookingRecord a = two_line_booking(0, round_to_cents(1234.56));
        a.person = cp("Jörg Übel");
        BookingRecord b = two_line_booking(1, round_to_cents(0.1));
        b.reason = std::string(50, 'r');
        b.account[2] = std::string(64, 'k');
        b.debit[2] = round_to_cents(19.99);
        b.credit[2] = round_to_cents(19.99);
        BookingRecord c = two_line_booking(2, round_to_cents(99999.99));
        for (const auto& r : {a, b, c}) bookings_append(r);
        form.state.bookingCount = form.state.bookingPosition = 3;
        form.writePositionIndicator();
        dialogs.clear();
    }

    void TearDown() override { fault::clear(); }

    bool saveAll(const std::optional<std::string>& answer) {
        dialogs.fileAnswers = {answer};
        return form.run([&] { form.SpeedButton30Click(); });
    }
    bool restore(const std::optional<std::string>& answer, bool yes = true) {
        dialogs.fileAnswers = {answer};
        dialogs.answers = {yes};
        return form.run([&] { form.SpeedButton33Click(); });
    }
};

TEST_F(BackupFixture, SaveAllOffersItsDialogAndWritesTheBackup) {
    ASSERT_TRUE(saveAll("stand"));
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    const FileDialogSpec& offered = dialogs.fileDialogs[0];
    EXPECT_EQ(offered.title, "Aktuellen Stand zwischenspeichern");
    EXPECT_TRUE(offered.fileName.starts_with(form.offeredBackupName("")));
    EXPECT_EQ(offered.filterName, "Saldorama-Sicherung (*.qrx)");
    EXPECT_EQ(offered.pattern, "*.qrx");
    EXPECT_EQ(offered.defaultExtension, "qrx");
    EXPECT_EQ(dir.read("stand.qrx"),
              kHeader + "2\n|" +
                  "0|24.12.2023|" + cp("Jörg Übel") + "|Miete|Kasse|1234,56|0|Bank|0|1234,56||0|0||0|0||0|0|\n" +
                  "1|24.12.2023|Max|" + std::string(50, 'r') + "|Kasse|0,1|0|Bank|0|0,1|" + std::string(64, 'k') +
                  "|19,99|19,99||0|0||0|0|\n" +
                  "2|24.12.2023|Max|Miete|Kasse|99999,99|0|Bank|0|99999,99||0|0||0|0||0|0|\r\n");
    // No message; the chosen name is offered next time.
    EXPECT_EQ(dialogs.log.size(), 1u);
    EXPECT_EQ(form.state.status, cp("Alles gespeichert in „stand.qrx“."));
    EXPECT_EQ(form.lastBackupName, "stand.qrx");
    ASSERT_TRUE(saveAll(std::nullopt));
    EXPECT_EQ(dialogs.fileDialogs.back().fileName, "stand.qrx");
}

TEST_F(BackupFixture, SaveAllOffersANameThatTellsTheBackupApartInAClass) {
    const struct {
        const char* bookkeeper;
        int exercise;
        const char* offered;
    } cases[] = {
        {"Anna Buch", 7, "Anna_Buch_Aufgabe-7_2026-03-12"},
        {"Jörg/Ü: \"X\"", 0, "Jörg_Ü___X__2026-03-12"},
        {"", 2, "Aufgabe-2_2026-03-12"},
        {"", 0, "Sicherung_2026-03-12"},
    };
    for (const auto& c : cases) {
        for (int n = 1; n <= 8; ++n) dir.write("Aufgabe" + std::to_string(n) + ".txt", "Titel\r\n");
        ScriptedDialogs d;
        TForm1 f(d);
        f.company.Edit7.text = cp(c.bookkeeper);
        if (c.exercise != 0) f.exercises.ExerciseButtonClick(c.exercise);
        EXPECT_EQ(f.offeredBackupName("2026-03-12"), cp(c.offered));
    }
}

TEST_F(BackupFixture, SaveAllTakesTheCompanyFieldsAsTheyStandNow) {
    form.company.Edit1.text = "A B";
    form.company.Edit8.text = "";
    form.state.currentChart = 0;
    form.emptyBookings();
    ASSERT_TRUE(saveAll("x.qrx"));
    EXPECT_EQ(dir.read("x.qrx"), "A B|Hauptstr. 1|12345 Musterstadt|4711|10000000|Musterbank|Anna Buch||0\n|\r\n");
}

TEST_F(BackupFixture, SaveAllWritesTheSavedCompanyNameInsteadOfTheAccessWord) {
    form.company.Edit1.text = "Mentor";
    ASSERT_TRUE(saveAll("x.qrx"));
    EXPECT_EQ(dir.read("x.qrx").substr(0, kHeader.size()), kHeader);
}

// Saving never writes a backup that restoring would refuse.
TEST_F(BackupFixture, SaveAllRefusesABarBeforeWritingAnything) {
    dir.write("x.qrx", "alt");
    form.company.Edit7.text = "Anna | Buch";
    ASSERT_TRUE(saveAll("x.qrx"));
    EXPECT_EQ(dialogs.last(Kind::Notice), cp("Das Zeichen \"|\" ist im Feld \"Verantwortlich für die Buchhaltung\" "
                                             "nicht erlaubt. Bitte entferne es. Die Sicherung wurde nicht geschrieben."));
    form.company.Edit7.text = "Anna Buch";
    BookingRecord r = two_line_booking(3, 5);
    r.person = "A|B";  // stored before the booking page refused it
    bookings_append(r);
    ASSERT_TRUE(saveAll("x.qrx"));
    EXPECT_EQ(dialogs.last(Kind::Notice), cp("Das Zeichen \"|\" im Feld \"Einzahler/Empfänger\" der Buchung 4 "
                                             "lässt sich nicht sichern. Die Sicherung wurde nicht geschrieben."));
    EXPECT_EQ(dir.read("x.qrx"), "alt");
    // "Ende" keeps the window open when its Save All was refused.
    dialogs.answers = {true};
    dialogs.fileAnswers = {std::string("x.qrx")};
    ASSERT_TRUE(form.run([&] { form.SpeedButton31Click(); }));
    EXPECT_FALSE(form.closeRequested);
}

// Written in one pass, a backup is still refused as the whole text would be:
// a bar in any booking first, else the first line restoring would refuse.
TEST_F(BackupFixture, SaveAllRefusesInTheOrderOfTheWholeBackup) {
    dir.write("x.qrx", "alt");
    BookingRecord unbalanced = two_line_booking(3, 5);
    unbalanced.credit[1] = 4;
    bookings_append(unbalanced);
    BookingRecord barred = two_line_booking(4, 1);
    barred.reason = "a|b";
    bookings_append(barred);
    const auto whole = [&] {
        Backup b;
        b.company = form.company.texts();
        b.chart = form.state.currentChart;
        b.bookings = bookings_read_all();
        return backup_refusal(b);
    };
    const std::vector<std::string> expected = {
        cp("Das Zeichen \"|\" im Feld \"Zahlungsgrund\" der Buchung 5 lässt sich nicht sichern. Die Sicherung "
           "wurde nicht geschrieben."),
        cp("Die Sicherung ist fehlerhaft (Zeile 5, Felder 6 bis 19): Soll (5) und Haben (4) sind nicht gleich groß. "
           "Die Sicherung wurde nicht geschrieben.")};
    for (const std::string& refusal : expected) {
        EXPECT_EQ(whole(), refusal);
        ASSERT_TRUE(saveAll("x.qrx"));
        EXPECT_EQ(dialogs.last(Kind::Notice), refusal);
        EXPECT_EQ(dir.read("x.qrx"), "alt");
        EXPECT_TRUE(temporary_files(dir.path()).empty());
        (void)loesche_buchung(5);
    }
    // A line end inside a text moves every later line: named as the whole text names it.
    BookingRecord broken = two_line_booking(3, 5);
    broken.person = "A\nB";
    bookings_overwrite(4, broken);
    ASSERT_FALSE(whole().empty());
    ASSERT_TRUE(saveAll("x.qrx"));
    EXPECT_EQ(dialogs.last(Kind::Notice), whole());
    EXPECT_EQ(dir.read("x.qrx"), "alt");
}

TEST_F(BackupFixture, SaveAllKeepsAGivenExtension) {
    ASSERT_TRUE(saveAll("stand.txt"));
    EXPECT_TRUE(dir.exists("stand.txt"));
    EXPECT_FALSE(dir.exists("stand.txt.qrx"));
}

TEST_F(BackupFixture, CancellingSaveAllWritesNothing) {
    const auto before = files_in(dir.path());
    ASSERT_TRUE(saveAll(std::nullopt));
    EXPECT_EQ(files_in(dir.path()), before);
    EXPECT_EQ(current_directory(), dir.path());
    EXPECT_EQ(form.lastBackupName, "sicherung");
}

TEST_F(BackupFixture, SaveAllIntoAnotherDirectoryReturnsToTheStartDirectory) {
    std::filesystem::create_directory(dir.path() + "/anderswo");
    change_directory(dir.path() + "/anderswo");  // as the dialog may leave it
    ASSERT_TRUE(saveAll("stand"));
    EXPECT_EQ(current_directory(), dir.path());
    EXPECT_TRUE(dir.exists("anderswo/stand.qrx"));
    EXPECT_EQ(dir.read("anderswo/stand.qrx").substr(0, kHeader.size()), kHeader);
}

TEST_F(BackupFixture, SaveAllWithoutBookingsFileWritesNoBackup) {
    std::filesystem::remove(dir.path() + "/buchungen.dat");
    EXPECT_FALSE(saveAll("stand"));
    EXPECT_EQ(dialogs.last(Kind::Failure), "Datei nicht gefunden (buchungen.dat).");
    EXPECT_FALSE(dir.exists("stand.qrx"));
}

TEST_F(BackupFixture, AFailedSaveAllLeavesTheOldBackupWhole) {
    dir.write("stand.qrx", "alt");
    for (int n = 1; n <= 5; ++n) {
        SCOPED_TRACE(n);
        fault::fail_nth_operation(n, ENOSPC);
        EXPECT_FALSE(saveAll("stand.qrx"));
        fault::clear();
        EXPECT_EQ(dialogs.last(Kind::Failure), "Zu wenig Speicherplatz (" + dir.path() + "/stand.qrx).");
        EXPECT_EQ(dir.read("stand.qrx"), "alt");
    }
    EXPECT_EQ(files_in(dir.path()), (std::vector<std::string>{"buchungen.dat", "einstellungen.txt", "stand.qrx"}));
}

TEST_F(BackupFixture, SaveAllRefusesAWriteProtectedBackup) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write anything";
    dir.write("stand.qrx", "alt");
    std::filesystem::permissions(dir.path() + "/stand.qrx", std::filesystem::perms::owner_read);
    EXPECT_FALSE(saveAll("stand.qrx"));
    EXPECT_EQ(dialogs.last(Kind::Failure), "Keine Berechtigung f\xFCr " + dir.path() + "/stand.qrx.");
    EXPECT_EQ(dir.read("stand.qrx"), "alt");
}

TEST_F(BackupFixture, EndeAnsweredYesSavesFirst) {
    dialogs.answers = {true};
    dialogs.fileAnswers = {std::string("ende")};
    ASSERT_TRUE(form.run([&] { form.SpeedButton31Click(); }));
    EXPECT_TRUE(dir.exists("ende.qrx"));
    EXPECT_TRUE(form.closeRequested);
}

TEST_F(BackupFixture, RestoreGivesBackTheSavedBookingsAndSettings) {
    form.company.Edit3.text = "99999 Anderswo";
    form.einstellungen_sichern();
    ASSERT_TRUE(saveAll("stand"));
    const std::string bookings = dir.read("buchungen.dat");
    const std::string settings = dir.read("einstellungen.txt");

    // Everything the restore replaces is changed in between.
    form.emptyBookings();
    bookings_append(two_line_booking(0, 1));
    form.state.bookingCount = form.state.bookingPosition = 1;
    form.company.Edit1.text = "Andere";
    form.company.Edit3.text = "";
    form.state.currentChart = 4;
    form.settings.RadioGroup1.itemIndex = 3;
    form.einstellungen_sichern();
    dialogs.clear();
    dialogs.fileDialogs.clear();

    ASSERT_TRUE(restore("stand"));
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].title, "Sicherung laden");
    EXPECT_EQ(dialogs.fileDialogs[0].filterName, "Saldorama-Sicherung (*.qrx)");
    EXPECT_EQ(dialogs.fileDialogs[0].pattern, "*.qrx");
    EXPECT_EQ(dialogs.texts(Kind::Question),
              std::vector<std::string>{
                  "Alle Buchungen und die Firmendaten werden durch die Sicherung ersetzt! Fortfahren?"});
    EXPECT_TRUE(dialogs.texts(Kind::Notice).empty());
    EXPECT_EQ(dir.read("buchungen.dat"), bookings);
    EXPECT_EQ(dir.read("einstellungen.txt"), settings);
    EXPECT_EQ(form.company.Edit1.text, "Muster GmbH");
    EXPECT_EQ(form.company.Edit3.text, "99999 Anderswo");
    EXPECT_EQ(form.state.currentChart, 2);
    EXPECT_EQ(form.settings.RadioGroup1.itemIndex, 1);
    EXPECT_EQ(form.state.bookingCount, 3);
    EXPECT_EQ(form.state.bookingPosition, 3);
    EXPECT_EQ(form.booking.Label45.text, "3/3");
    EXPECT_EQ(form.state.status, cp("Sicherung „stand.qrx“ geladen: 3 Buchungen."));
    EXPECT_EQ(files_in(dir.path()),
              (std::vector<std::string>{"buchungen.dat", "einstellungen.txt", "stand.qrx"}));
}

TEST_F(BackupFixture, RestoreOfABackupWithoutChartOrBookings) {
    dir.write("leer.qrx", "a|b|c|d|e|f|g|h|0\r\n|");
    ASSERT_TRUE(restore("leer.qrx"));
    EXPECT_EQ(dir.read("buchungen.dat"), "");
    EXPECT_EQ(form.state.currentChart, 0);
    EXPECT_EQ(form.settings.RadioGroup1.itemIndex, -1);
    EXPECT_EQ(form.booking.Label45.text, "0/0");
    EXPECT_EQ(form.company.Edit8.text, "h");
}

TEST_F(BackupFixture, RestoreReturnsToTheStartDirectory) {
    ASSERT_TRUE(saveAll(dir.path() + "/stand.qrx"));
    const std::string bookings = dir.read("buchungen.dat");
    form.emptyBookings();
    std::filesystem::create_directory(dir.path() + "/anderswo");
    change_directory(dir.path() + "/anderswo");
    ASSERT_TRUE(restore("../stand.qrx"));
    EXPECT_EQ(current_directory(), dir.path());
    EXPECT_EQ(dir.read("buchungen.dat"), bookings);
    EXPECT_FALSE(dir.exists("anderswo/buchungen.dat"));
}

struct Unchanged {
    std::string bookings, settings, edit1;
    int count, chart;
};

Unchanged snapshot(const test::WorkDir& dir, const TForm1& form) {
    return {dir.read("buchungen.dat"), dir.read("einstellungen.txt"), form.company.Edit1.text,
            form.state.bookingCount, form.state.currentChart};
}

void expect_unchanged(const Unchanged& before, const test::WorkDir& dir, const TForm1& form) {
    EXPECT_EQ(dir.read("buchungen.dat"), before.bookings);
    EXPECT_EQ(dir.read("einstellungen.txt"), before.settings);
    EXPECT_EQ(form.company.Edit1.text, before.edit1);
    EXPECT_EQ(form.state.bookingCount, before.count);
    EXPECT_EQ(form.state.bookingPosition, before.count);
    EXPECT_EQ(form.state.currentChart, before.chart);
    EXPECT_EQ(form.booking.Label45.text, std::to_string(before.count) + "/" + std::to_string(before.count));
}

TEST_F(BackupFixture, RestoreRefusesABarInACompanyName) {
    dir.write("stand.qrx", "Meier | Co|" + kHeader.substr(kHeader.find('|') + 1) + "2\r\n|");
    form.company.Edit1.text = "Meier";
    form.emptyBookings();
    const Unchanged before = snapshot(dir, form);
    ASSERT_TRUE(restore("stand.qrx"));
    EXPECT_EQ(dialogs.last(Kind::Notice), "Die Sicherung ist fehlerhaft (Zeile 1): 10 statt 9 Felder.");
    expect_unchanged(before, dir, form);
}

TEST_F(BackupFixture, RestoreRefusesAnUnbalancedBookingAndAsksWithNoPreselected) {
    dir.write("schief.qrx", kHeader + "2\r\n|0|24.12.2023|Max|Miete|Kasse|5|0|Bank|0|4||0|0||0|0||0|0|\r\n");
    const Unchanged before = snapshot(dir, form);
    ASSERT_TRUE(restore("schief.qrx"));
    EXPECT_EQ(dialogs.last(Kind::Notice), cp("Die Sicherung ist fehlerhaft (Zeile 2, Felder 6 bis 19): Soll (5) und "
                                             "Haben (4) sind nicht gleich groß."));
    expect_unchanged(before, dir, form);
    EXPECT_EQ(dialogs.log.at(1).preset, Preset::No);
}

TEST_F(BackupFixture, RestoreRefusesAShortLine) {
    dir.write("kurz.qrx", kHeader + "3\r\n|0|24.12.2023|Max|Miete|Kasse|5|0|Bank|0|5||0|0||0|0||0|0|\r\n1|01.01.2024|Max|\r\n");
    const Unchanged before = snapshot(dir, form);
    ASSERT_TRUE(restore("kurz.qrx"));
    EXPECT_EQ(dialogs.last(Kind::Notice), "Die Sicherung ist fehlerhaft (Zeile 3): 3 statt 19 Felder.");
    expect_unchanged(before, dir, form);
}

TEST_F(BackupFixture, RestoreAnsweredNoOrCancelledChangesNothing) {
    ASSERT_TRUE(saveAll("stand"));
    form.emptyBookings();
    form.company.Edit1.text = "Andere";
    const Unchanged before = snapshot(dir, form);
    ASSERT_TRUE(restore("stand.qrx", false));
    expect_unchanged(before, dir, form);
    dialogs.clear();
    ASSERT_TRUE(restore(std::nullopt));
    EXPECT_TRUE(dialogs.texts(Kind::Question).empty());
    expect_unchanged(before, dir, form);
}

TEST_F(BackupFixture, RestoreOfAMissingFileFails) {
    const Unchanged before = snapshot(dir, form);
    EXPECT_FALSE(restore("fehlt.qrx"));
    EXPECT_EQ(dialogs.last(Kind::Failure), "Datei nicht gefunden (" + dir.path() + "/fehlt.qrx).");
    expect_unchanged(before, dir, form);
}

TEST_F(BackupFixture, AWriteFailureDuringRestoreLeavesTheBookingsWhole) {
    ASSERT_TRUE(saveAll("stand"));
    form.emptyBookings();
    bookings_append(two_line_booking(0, 7));
    form.state.bookingCount = form.state.bookingPosition = 1;
    form.writePositionIndicator();
    form.company.Edit1.text = "Andere";
    form.einstellungen_sichern();
    const Unchanged before = snapshot(dir, form);
    // Temporary file created, written, synced, closed, renamed: each may fail.
    for (int n = 1; n <= 5; ++n) {
        SCOPED_TRACE(n);
        dialogs.clear();
        fault::fail_nth_operation(n, ENOSPC);
        EXPECT_FALSE(restore("stand.qrx"));
        fault::clear();
        EXPECT_EQ(dialogs.last(Kind::Failure), "Zu wenig Speicherplatz (" + (n == 1 ? std::string("buchungen.dat") : dir.path() + "/.saldorama/undo/00000001.kopie") + ").");
        expect_unchanged(before, dir, form);
        EXPECT_EQ(files_in(dir.path()),
                  (std::vector<std::string>{"buchungen.dat", "einstellungen.txt", "stand.qrx"}));
    }
}

} // namespace
} // namespace saldorama
