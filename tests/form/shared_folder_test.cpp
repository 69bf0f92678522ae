// The window's writers next to other programs on the same folder: they wait
// for the folder's lock, take the next free booking number, refuse to change
// or delete a booking that changed since it was shown, and never report a
// change that was made as failed.
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "base/file.h"
#include "base/folder_lock.h"
#include "bookings/bookings_file.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "settings/backup.h"
#include "support/sample_booking.h"
#include "support/work_dir.h"

using namespace saldorama;
using Kind = ScriptedDialogs::Kind;

namespace {

const std::string kChanged =
    "Die Buchungen wurden inzwischen von einem anderen Programm geändert. "
    "Die Buchung wird neu angezeigt; prüfe sie und versuche es noch einmal.";

struct SharedFolder : ::testing::Test {
    test::WorkDir dir;
    ScriptedDialogs d;
    TForm1 form{d};

    void SetUp() override {
        dir.writeSettings(0, "2026");
        dir.writeLines("Kontenplan1.txt",
                       {"Kasse<B> A  B", "Bank<B> A  B", "Darlehen<B> P  B", cp("Eröffnungsbilanzkonto<B> P  B")});
        std::vector<BookingRecord> records;
        for (int i = 0; i < 4; ++i) records.push_back(test::two_line_booking(i, 10.0 * (i + 1)));
        bookings_replace_all(records);
        ASSERT_TRUE(form.run([&] { form.FormCreate({.readExercises = false, .showStartPage = false}); }));
        ASSERT_TRUE(form.run([&] { form.showPage(Page::TabSheet4); }));
        d.clear();
    }
    void TearDown() override {
        fault::set_lock_wait(FolderLock::kWait);
        fault::clear();
    }

    // Another program's booking, written straight to the file.
    static void other_program_books(const std::string& reason) {
        BookingRecord r = test::two_line_booking(bookings_count(), 1);
        r.reason = reason;
        bookings_append(r);
    }

    bool book(const std::string& reason) {
        BookingPage& p = form.booking;
        form.run([&] { p.SpeedButton8Click(); });
        p.Edit14.text = "03.01.2026";
        p.Edit16.text = reason;
        p.ComboBox1.text = "Kasse";
        p.Edit17.text = "3";
        p.ComboBox2.text = "Bank";
        p.Edit20.text = "3";
        return form.run([&] { p.SpeedButton29Click(); });
    }
};

} // namespace

TEST_F(SharedFolder, ABookingTakesTheNextFreeNumberAfterAnotherProgramsBooking) {
    other_program_books("fremd");
    ASSERT_TRUE(book("eigen"));
    const auto all = bookings_read_all();
    ASSERT_EQ(all.size(), 6u);
    EXPECT_EQ(all[4].reason, "fremd");
    EXPECT_EQ(all[5].reason, "eigen");
    EXPECT_EQ(all[5].number, 5);
    EXPECT_EQ(form.state.bookingCount, 6);
    EXPECT_EQ(form.booking.Label45.text, "6/6");
}

TEST_F(SharedFolder, ChangingABookingThatChangedMeanwhileIsRefusedAndShownAfresh) {
    form.run([&] { form.booking.SpeedButton9Click(); });
    BookingRecord changed = bookings_read(1);
    changed.person = "Anderswo";
    bookings_overwrite(1, changed);
    form.booking.Edit15.text = "Meine Aenderung";
    ASSERT_TRUE(form.run([&] { form.booking.SpeedButton28Click(); }));
    EXPECT_EQ(d.last(Kind::Notice), cp(kChanged));
    EXPECT_EQ(bookings_read(1).person, "Anderswo");
    EXPECT_EQ(form.booking.Edit15.text, "Anderswo");
    // Now shown as stored, the change goes through.
    form.booking.Edit15.text = "Meine Aenderung";
    d.clear();
    ASSERT_TRUE(form.run([&] { form.booking.SpeedButton28Click(); }));
    EXPECT_TRUE(d.texts(Kind::Notice).empty());
    EXPECT_EQ(bookings_read(1).person, "Meine Aenderung");
}

TEST_F(SharedFolder, DeletingAfterAnotherProgramBookedIsRefusedAndShownAfresh) {
    form.run([&] { form.booking.SpeedButton27Click(); });
    other_program_books("fremd");
    ASSERT_TRUE(form.run([&] { form.booking.SpeedButton36Click(); }));
    EXPECT_EQ(d.last(Kind::Notice), cp(kChanged));
    EXPECT_EQ(bookings_count(), 5);
    EXPECT_EQ(form.state.bookingCount, 5);
    EXPECT_EQ(form.booking.Label45.text, "4/5");
    d.clear();
    ASSERT_TRUE(form.run([&] { form.booking.SpeedButton36Click(); }));
    EXPECT_TRUE(d.texts(Kind::Notice).empty());
    const auto all = bookings_read_all();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[3].reason, "fremd");
    EXPECT_EQ(all[3].number, 3);
}

TEST_F(SharedFolder, AWriterWaitsForTheLockThenRefusesAndChangesNothing) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        FolderLock lock(dir.path());
        [[maybe_unused]] const auto put = ::write(ready[1], "x", 1);
        ::sleep(3);
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    fault::set_lock_wait(std::chrono::milliseconds(200));
    const std::string before = dir.read("buchungen.dat");
    EXPECT_FALSE(book("wartet"));
    EXPECT_EQ(d.last(Kind::Failure), "Der Arbeitsordner wird gerade von einem anderen Programm benutzt.");
    EXPECT_EQ(dir.read("buchungen.dat"), before);
    EXPECT_EQ(form.state.bookingCount, 4);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    // The lock died with its holder.
    EXPECT_TRUE(book("danach"));
    EXPECT_EQ(bookings_count(), 5);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST_F(SharedFolder, ARestoreIsWholeAtEveryFailingStep) {
    Backup other;
    other.company = {"Andere AG", "", "", "", "", "", "", ""};
    other.chart = 1;
    other.bookings.push_back(test::two_line_booking(0, 7));
    dir.write("andere.qrx", backup_text(other));
    for (int n = 1;; ++n) {
        std::vector<BookingRecord> records;
        for (int i = 0; i < 4; ++i) records.push_back(test::two_line_booking(i, 10.0 * (i + 1)));
        bookings_replace_all(records);
        dir.writeSettings(0, "2026");
        const std::string oldBookings = dir.read("buchungen.dat");
        d.fileAnswers = {"andere.qrx"};
        fault::fail_nth_operation(n, ENOSPC);
        const bool ok = form.run([&] { form.SpeedButton33Click(); });
        const bool hit = fault::operations_seen() >= n;
        fault::clear();
        const bool newBookings = dir.read("buchungen.dat") != oldBookings;
        const bool newSettings = dir.read("einstellungen.txt").starts_with("Andere AG");
        EXPECT_EQ(newBookings, newSettings) << "failing write " << n;
        // Made is made: a restore that took place reports no failure.
        EXPECT_EQ(ok, newBookings) << "failing write " << n;
        EXPECT_TRUE(temporary_files(dir.path()).empty());
        // A note left by a failed removal is gone after the next start.
        recover_folder(dir.path());
        EXPECT_FALSE(dir.exists(kIntentFileName));
        if (!hit) break;
    }
}

namespace {

// The text a page shows, as the learner reads it.
std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    return text;
}

// What `show` gives while another program holds the folder's lock and
// changes the books under it (a restore halfway); the lock is let go only
// after the change.
std::string shown_while_other_writes(const std::string& folder, const std::function<void()>& change,
                                     const std::function<std::string()>& show) {
    int ready[2];
    if (::pipe(ready) != 0) return "no pipe";
    const pid_t writer = ::fork();
    if (writer == 0) {
        FolderLock lock(folder);
        [[maybe_unused]] const auto put = ::write(ready[1], "x", 1);
        ::usleep(300 * 1000);
        change();
        ::_exit(0);
    }
    char c = 0;
    const bool started = ::read(ready[0], &c, 1) == 1;
    std::string text = show();
    ::waitpid(writer, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    return started ? text : "writer did not start";
}

} // namespace

// A report page reads the chart and the bookings under the readers' share of
// the lock: it waits for a writer that is halfway, so it never shows the old
// chart beside the new bookings.
TEST_F(SharedFolder, AReportPageWaitsForAWriterAndShowsOneStateOfTheBooks) {
    dir.writeLines("Aufgabe1.txt", {"Aufgabe 1: Miete", "1. Buche die Miete."});
    dir.writeLines("Loesung1.txt", {"[Aufgabe 1]", "Kontenplan: 1", "[Buchung 1]", "Soll: Mietaufwand 777,00",
                                    "Haben: Bank 777,00"});
    const auto change = [&] {
        dir.writeLines("Kontenplan1.txt", {"Kasse<B> A  B", "Bank<B> A  B", "Darlehen<B> P  B",
                                           cp("Eröffnungsbilanzkonto<B> P  B"), "Mietaufwand<G> A  B"});
        BookingRecord r = test::transfer(bookings_count(), "Mietaufwand", "Bank", 777);
        bookings_append(r);
    };
    const auto showing = [&](Page page, const auto& text) {
        return [&, page, text] {
            form.run([&] { form.showPage(Page::TabSheet4); });
            form.run([&] { form.showPage(page); });
            return text();
        };
    };
    const std::vector<std::pair<const char*, std::function<std::string()>>> pages = {
        {"Bilanz und GuV", showing(Page::TabSheet5, [&] { return joined(form.balance.Memo1.lines); })},
        {"Betriebsergebnis", showing(Page::TabSheet11, [&] { return joined(form.operating.Memo4.lines); })},
        {"Journal", showing(Page::TabSheet6, [&] { return joined(form.journal.Memo2.lines); })},
        {"Kontenblatt Bank", showing(Page::TabSheet10, [&] {
             form.accountSheet.ListBox1.itemIndex = 1;
             form.run([&] { form.accountSheet.ListBox1Click(); });
             return form.accountSheet.sheetText();
         })},
        {"Prüfen", [&] {
             form.exercises.CheckExercise.text = "1";
             form.run([&] { form.exercises.CheckButtonClick(); });
             return form.exercises.CheckPoints.text + "\n" + joined(form.exercises.CheckRows.items);
         }},
    };
    const std::string chart = dir.read("Kontenplan1.txt");
    const std::string bookings = dir.read("buchungen.dat");
    for (const auto& [name, show] : pages) {
        dir.write("Kontenplan1.txt", chart);
        dir.write("buchungen.dat", bookings);
        const std::string before = show();
        const std::string during = shown_while_other_writes(dir.path(), change, show);
        EXPECT_NE(during, before) << name;
        EXPECT_EQ(during, show()) << name;
        EXPECT_TRUE(d.texts(Kind::Failure).empty()) << name << ": " << d.last(Kind::Failure);
    }
}
