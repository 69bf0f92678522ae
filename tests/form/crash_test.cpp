// Each writing action runs in a child process that is killed (SIGKILL) at
// its first, second, ... write, sync, truncate, rename or removal, until one
// run gets through. After every kill the next start runs in this process and
// the files must hold either all their old or all their new content, with no
// temporary file or intent note left over.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "base/file.h"
#include "bookings/bookings_file.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "settings/backup.h"
#include "support/sample_booking.h"
#include "support/work_dir.h"

using namespace saldorama;

namespace {

using Files = std::map<std::string, std::string>;

struct Crash : ::testing::Test {
    test::WorkDir dir;
    int killPoints = 0;
    // A step made after seeding, for the cases that take a step back.
    std::function<void(TForm1&)> prepare;

    void seed() const {
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) std::filesystem::remove_all(e.path());
        dir.writeSettings(0, "2026");
        dir.writeLines("Kontenplan1.txt",
                       {"Kasse<B> A  B", "Bank<B> A  B", "Darlehen<B> P  B", cp("Eröffnungsbilanzkonto<B> P  B")});
        std::vector<BookingRecord> records;
        for (int i = 0; i < 4; ++i) records.push_back(test::two_line_booking(i, 10.0 * (i + 1)));
        bookings_replace_all(records);
        // A backup of another company with other bookings, for the restore.
        Backup other;
        other.company = {"Andere AG", "Weg 2", "54321 Anderswo", "1", "2", "Bank", "C", "D"};
        other.chart = 1;
        for (int i = 0; i < 2; ++i) other.bookings.push_back(test::two_line_booking(i, 7.0));
        dir.write("andere.qrx", backup_text(other));
        if (prepare) {
            ScriptedDialogs d;
            d.fileAnswers = {"andere.qrx"};
            TForm1 form(d);
            ASSERT_TRUE(form.run([&] { form.FormCreate({.readExercises = false, .showStartPage = false}); }));
            ASSERT_TRUE(form.run([&] { prepare(form); }));
        }
    }

    [[nodiscard]] Files files() const {
        Files all;
        // The hidden area's undo copies are checked by their own cases.
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (!e.is_directory()) all[e.path().filename().string()] = dir.read(e.path().filename().string());
        return all;
    }

    // Runs `act` on a started form in a child killed at write operation n
    // (0: never). Returns whether the child was killed.
    static bool run_child(const std::function<void(TForm1&)>& act, int n) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ScriptedDialogs d;
            TForm1 form(d);
            if (!form.run([&] { form.FormCreate({.readExercises = false, .showStartPage = false}); })) ::_exit(3);
            fault::kill_at_nth_operation(n);
            const bool ok = form.run([&] { act(form); });
            ::_exit(ok && d.texts(ScriptedDialogs::Kind::Notice).empty() ? 0 : 4);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (WIFSIGNALED(status)) {
            EXPECT_EQ(WTERMSIG(status), SIGKILL);
            return true;
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        return false;
    }

    // `sameGroup` names files that must change together.
    void check(const std::function<void(TForm1&)>& act, const std::vector<std::string>& watched,
               const std::vector<std::string>& sameGroup = {}) {
        seed();
        const Files before = files();
        ASSERT_FALSE(run_child(act, 0));
        const Files after = files();
        for (int n = 1;; ++n) {
            seed();
            if (!run_child(act, n)) break;
            ++killPoints;
            SCOPED_TRACE("killed at write operation " + std::to_string(n));
            {
                // The next start.
                ScriptedDialogs d;
                TForm1 form(d);
                ASSERT_TRUE(form.run([&] { form.FormCreate({.readExercises = false, .showStartPage = false}); }));
                EXPECT_EQ(form.state.bookingCount, bookings_count());
            }
            const Files now = files();
            EXPECT_TRUE(temporary_files(dir.path()).empty());
            EXPECT_FALSE(dir.exists(kIntentFileName));
            int newOnes = 0;
            for (const auto& name : watched) {
                const auto at = now.find(name);
                const std::string content = at == now.end() ? "<none>" : at->second;
                const auto old = before.find(name);
                const auto neu = after.find(name);
                const bool isOld = old == before.end() ? at == now.end() : content == old->second;
                const bool isNew = neu == after.end() ? at == now.end() : content == neu->second;
                EXPECT_TRUE(isOld || isNew) << name << " is mixed: " << content.size() << " bytes";
                if (std::find(sameGroup.begin(), sameGroup.end(), name) != sameGroup.end() && isNew && !isOld)
                    ++newOnes;
            }
            if (newOnes != 0) {
                EXPECT_EQ(newOnes, static_cast<int>(sameGroup.size())) << "half a restore";
            }
            for (const auto& [name, bytes] : now)
                EXPECT_TRUE(before.contains(name) || after.contains(name)) << "left over: " << name;
        }
        EXPECT_GT(killPoints, 0);
    }
};

void show_bookings(TForm1& f) { f.showPage(Page::TabSheet4); }

} // namespace

TEST_F(Crash, TheOpeningBalance) {
    check(
        [](TForm1& f) {
            f.showPage(Page::TabSheet3);
            f.opening.StringGrid2.cell(1, 1) = "500";
            f.opening.StringGrid2.cell(1, 3) = "300,5";
            f.opening.Edit27.text = "01.01.2026";
            f.opening.SpeedButton7Click();
        },
        {"buchungen.dat"});
    std::cout << "[ figures  ] opening balance: " << killPoints << " kill points\n";
}

TEST_F(Crash, DeletingABooking) {
    check(
        [](TForm1& f) {
            show_bookings(f);
            f.booking.SpeedButton9Click();
            f.booking.SpeedButton36Click();
        },
        {"buchungen.dat"});
    std::cout << "[ figures  ] delete: " << killPoints << " kill points\n";
}

TEST_F(Crash, EmptyingTheBookingsForANewChart) {
    check([](TForm1& f) { f.SpeedButton23Click(); }, {"buchungen.dat"});
    std::cout << "[ figures  ] new chart: " << killPoints << " kill points\n";
}

TEST_F(Crash, RestoringABackup) {
    check(
        [](TForm1& f) {
            auto& d = static_cast<ScriptedDialogs&>(f.dialogs);
            d.fileAnswers = {"andere.qrx"};
            f.SpeedButton33Click();
        },
        {"buchungen.dat", "einstellungen.txt"}, {"buchungen.dat", "einstellungen.txt"});
    std::cout << "[ figures  ] restore: " << killPoints << " kill points\n";
}

TEST_F(Crash, SaveAll) {
    check(
        [](TForm1& f) {
            auto& d = static_cast<ScriptedDialogs&>(f.dialogs);
            d.fileAnswers = {"andere.qrx"};
            f.SpeedButton30Click();
        },
        {"andere.qrx", "buchungen.dat"});
    std::cout << "[ figures  ] Save All: " << killPoints << " kill points\n";
}

TEST_F(Crash, BookingAndChanging) {
    check(
        [](TForm1& f) {
            show_bookings(f);
            f.booking.SpeedButton8Click();
            f.booking.Edit14.text = "01.03.2026";
            f.booking.ComboBox1.text = "Kasse";
            f.booking.Edit17.text = "5";
            f.booking.ComboBox2.text = "Bank";
            f.booking.Edit20.text = "5";
            f.booking.SpeedButton29Click();
        },
        {"buchungen.dat"});
    std::cout << "[ figures  ] booking: " << killPoints << " kill points\n";
}

// Taking a restore back replaces both files again, as one.
TEST_F(Crash, UndoingARestore) {
    prepare = [](TForm1& f) { f.SpeedButton33Click(); };
    check([](TForm1& f) { f.SpeedButtonUndoClick(); }, {"buchungen.dat", "einstellungen.txt"},
          {"buchungen.dat", "einstellungen.txt"});
    std::cout << "[ figures  ] undo: " << killPoints << " kill points\n";
}
