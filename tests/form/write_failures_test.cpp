// Every write of every operation is made to fail in turn. Afterwards the
// failure box shows the system's text, the program goes on, the files hold
// either their old or their new content, and the counters agree with the file.
#include <cerrno>
#include <functional>

#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "base/file.h"
#include "bookings/bookings_file.h"
#include "form/form_fixtures.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "support/sample_booking.h"
#include "support/work_dir.h"

using namespace saldorama;
using Kind = ScriptedDialogs::Kind;

namespace {

BookingRecord booking(int number, double amount) {
    return test::transfer(number, "Kasse", "Bank", amount, "01.02.2026", "P" + std::to_string(number), "Grund");
}

struct WriteFailures : ::testing::Test {
    test::WorkDir dir;

    ~WriteFailures() override { fault::clear(); }

    void seed() const {
        dir.writeSettings(0, "2026");
        dir.writeLines("Kontenplan1.txt", {"Kasse<B> A  B", "Bank<B> A  B", "Darlehen<B> P  B",
                                           cp("Eröffnungsbilanzkonto<B> P  B")});
        bookings_replace_all({booking(0, 10), booking(1, 20), booking(2, 30)});
    }

    struct Outcome {
        std::string bookings, settings;
    };

    // Runs `act` on a freshly started form once with no failure (the new
    // state) and then once for each of its writes failing; `act` answers
    // whether it ran without a failure box.
    void check(const std::function<bool(TForm1&)>& act, int errorNumber, const std::string& text) {
        seed();
        const Outcome before{dir.read("buchungen.dat"), dir.read("einstellungen.txt")};
        Outcome after;
        {
            ScriptedDialogs d;
            TForm1 form(d);
            ASSERT_TRUE(form.run([&] { form.FormCreate({.readExercises = false, .showStartPage = false}); }));
            fault::fail_nth_operation(0, 0);
            ASSERT_TRUE(act(form)) << d.last(Kind::Failure);
            ASSERT_GT(fault::operations_seen(), 0) << "the operation wrote nothing";
            after = {dir.read("buchungen.dat"), dir.read("einstellungen.txt")};
        }
        for (int n = 1;; ++n) {
            seed();
            ScriptedDialogs d;
            TForm1 form(d);
            ASSERT_TRUE(form.run([&] { form.FormCreate({.readExercises = false, .showStartPage = false}); }));
            fault::fail_nth_operation(n, errorNumber);
            const bool ok = act(form);
            const bool hit = fault::operations_seen() >= n;
            fault::clear();
            if (!hit) {
                EXPECT_TRUE(ok);
                break;
            }
            SCOPED_TRACE("failing write " + std::to_string(n));
            EXPECT_FALSE(ok);
            // The text names whichever file the failing step wrote.
            // (or the undo copy that steps which overwrite the books take first)
            const std::string failure = d.last(Kind::Failure);
            EXPECT_TRUE(failure.starts_with(text) || failure.find("/.saldorama/undo/") != std::string::npos) << failure;
            const std::string bookings = dir.read("buchungen.dat");
            const std::string settings = dir.read("einstellungen.txt");
            const bool bookingsOk = bookings == before.bookings || bookings == after.bookings;
            EXPECT_TRUE(bookingsOk) << "buchungen.dat holds " << bookings.size() << " bytes";
            EXPECT_TRUE(settings == before.settings || settings == after.settings);
            EXPECT_EQ(form.state.bookingCount, bookings_count());
            EXPECT_LE(form.state.bookingPosition, form.state.bookingCount);
            EXPECT_EQ(form.booking.Label45.text, std::to_string(form.state.bookingPosition) + "/" +
                                                     std::to_string(form.state.bookingCount));
            // The program goes on: the same action works once the disk is fine again.
            EXPECT_TRUE(form.run([&] { form.showPage(Page::TabSheet6); }));
        }
    }
};

bool showBookingPage(TForm1& f) { return f.run([&] { f.showPage(Page::TabSheet4); }); }

} // namespace

TEST_F(WriteFailures, SavingTheSettings) {
    check([](TForm1& f) {
        f.company.Edit1.text = "Neue Firma";
        return f.run([&] { f.company.SpeedButton32Click(); });
    }, ENOSPC, "Zu wenig Speicherplatz");
}

TEST_F(WriteFailures, AppendingABooking) {
    check([](TForm1& f) {
        if (!showBookingPage(f)) return false;
        return test::book_two_lines(f, "01.03.2026", "Kasse", "Bank", "5");
    }, ENOSPC, "Zu wenig Speicherplatz");
}

TEST_F(WriteFailures, ChangingABooking) {
    check([](TForm1& f) {
        if (!showBookingPage(f)) return false;
        f.run([&] { f.booking.SpeedButton9Click(); });
        f.booking.Edit15.text = "Anders";
        return f.run([&] { f.booking.SpeedButton28Click(); });
    }, EACCES, "Keine Berechtigung f\xFCr buchungen.dat");
}

TEST_F(WriteFailures, DeletingABooking) {
    check([](TForm1& f) {
        if (!showBookingPage(f)) return false;
        f.run([&] { f.booking.SpeedButton25Click(); });
        return f.run([&] { f.booking.SpeedButton36Click(); });
    }, ENOSPC, "Zu wenig Speicherplatz");
}

TEST_F(WriteFailures, EmptyingTheBookingsForANewChart) {
    check([](TForm1& f) { return f.run([&] { f.SpeedButton23Click(); }); }, EACCES, "Keine Berechtigung f\xFCr ");
}

TEST_F(WriteFailures, TheOpeningBalance) {
    check(
        [](TForm1& f) {
            if (!f.run([&] { f.showPage(Page::TabSheet3); })) return false;
            f.opening.StringGrid2.cell(1, 1) = "500";
            f.opening.StringGrid2.cell(1, 3) = "300,5";
            f.opening.Edit27.text = "01.01.2026";
            return f.run([&] { f.opening.SpeedButton7Click(); });
        },
        ENOSPC, "Zu wenig Speicherplatz");
}
