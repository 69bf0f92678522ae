// "Rückgängig" after each step that deletes or overwrites the books: the
// question names the step and the bookings lost with it, and the books come
// back byte for byte, step by step.
#include <gtest/gtest.h>

#include <functional>

#include "base/cp1252.h"
#include "base/file.h"
#include "bookings/bookings_file.h"
#include "form/form_fixtures.h"
#include "form/solution_books.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "settings/backup.h"
#include "support/sample_booking.h"
#include "support/work_dir.h"
#include "undo/undo_copies.h"

using namespace saldorama;
using Kind = ScriptedDialogs::Kind;

namespace {

struct Undo : ::testing::Test {
    test::WorkDir dir;
    ScriptedDialogs dialogs;
    TForm1 form{dialogs};

    void SetUp() override {
        test::copy_supplied_files(dir);
        Backup other;
        other.company = {"Andere AG", "Weg 2", "54321 Anderswo", "1", "2", "Bank", "C", "D"};
        other.chart = 1;
        for (int i = 0; i < 3; ++i) other.bookings.push_back(test::transfer(i, "Kasse", "Bank", 7.0));
        dir.write("andere.qrx", backup_text(other));
        ASSERT_TRUE(form.run([&] { form.FormCreate({.readExercises = false, .showStartPage = false}); }));
        ASSERT_TRUE(form.run([&] { loesung_buchen(form, 4); }));
    }

    [[nodiscard]] std::pair<std::string, std::string> books() const {
        return {dir.read("buchungen.dat"), dir.read("einstellungen.txt")};
    }

    // Answers the question Yes and returns its text.
    std::string undo() {
        dialogs.clear();
        EXPECT_TRUE(form.run([&] { form.SpeedButtonUndoClick(); })) << dialogs.last(Kind::Failure);
        return cp1252_to_utf8(dialogs.last(Kind::Question));
    }
};

void show_first_booking(TForm1& f) {
    f.showPage(Page::TabSheet4);
    f.booking.SpeedButton9Click();
}

struct Step {
    const char* label;
    std::function<void(TForm1&, ScriptedDialogs&)> act;
};

const Step kSteps[] = {
    {"Das Leeren der Buchungen für einen neuen Kontenplan", [](TForm1& f, ScriptedDialogs&) { f.SpeedButton23Click(); }},
    {"Das Buchen der Eröffnungsbilanz",
     [](TForm1& f, ScriptedDialogs&) {
         f.showPage(Page::TabSheet3);
         f.opening.StringGrid2.cell(1, 1) = "100";
         f.opening.Edit27.text = "01.01.2026";
         f.opening.SpeedButton7Click();
     }},
    {"Das Ändern von Buchung 1",
     [](TForm1& f, ScriptedDialogs&) {
         show_first_booking(f);
         f.booking.Edit16.text = "anders";
         f.booking.SpeedButton28Click();
     }},
    {"Das Löschen von Buchung 1",
     [](TForm1& f, ScriptedDialogs&) {
         show_first_booking(f);
         f.booking.SpeedButton36Click();
     }},
    {"Das Laden der Sicherung „andere.qrx“",
     [](TForm1& f, ScriptedDialogs& d) {
         d.fileAnswers = {"andere.qrx"};
         f.SpeedButton33Click();
     }},
    {"Das Buchen der Lösung von Aufgabe 2", [](TForm1& f, ScriptedDialogs&) { loesung_buchen(f, 2); }},
};

} // namespace

TEST_F(Undo, EveryStepComesBackWithTheBookingsMadeSinceNamed) {
    for (const Step& step : kSteps) {
        SCOPED_TRACE(step.label);
        const auto before = books();
        const int countBefore = form.state.bookingCount;
        ASSERT_TRUE(form.run([&] { step.act(form, dialogs); })) << dialogs.last(Kind::Failure);
        ASSERT_NE(books(), before);
        ASSERT_TRUE(test::book_two_lines(form, "02.01.2026", "Kasse", "Bank", "5"));
        EXPECT_EQ(undo(), std::string(step.label) +
                              " rückgängig machen? Die eine Buchung, die du seitdem gemacht hast, geht dabei verloren.");
        EXPECT_EQ(books(), before);
        EXPECT_EQ(form.state.bookingCount, countBefore);
        EXPECT_EQ(cp1252_to_utf8(form.state.status), std::string(step.label) + " ist rückgängig gemacht.");
    }
}

TEST_F(Undo, GoesBackStepByStepAndSaysWhenNothingIsLeft) {
    const auto solved = books();
    show_first_booking(form);
    ASSERT_TRUE(form.run([&] { form.booking.SpeedButton36Click(); }));
    const auto deleted = books();
    ASSERT_TRUE(form.run([&] { form.SpeedButton23Click(); }));
    EXPECT_EQ(undo(), "Das Leeren der Buchungen für einen neuen Kontenplan rückgängig machen?");
    EXPECT_EQ(books(), deleted);
    undo();
    EXPECT_EQ(books(), solved);
    // A "No" keeps everything as it is.
    dialogs.answers = {false};
    EXPECT_EQ(undo(), "Das Buchen der Lösung von Aufgabe 4 rückgängig machen?");
    EXPECT_EQ(books(), solved);
    undo();
    EXPECT_EQ(form.state.bookingCount, 0);
    EXPECT_EQ(undo(), "");
    EXPECT_EQ(cp1252_to_utf8(dialogs.last(Kind::Notice)), "Es gibt keinen Schritt, den du rückgängig machen kannst.");
}

TEST_F(Undo, AStepThatFailsKeepsNoCopy) {
    // A backup that cannot be read replaces nothing, so there is nothing to take back.
    dir.write("kaputt.qrx", "nur Unsinn\r\n");
    const auto step = last_undo_step(dir.path());
    ASSERT_TRUE(step);
    dialogs.fileAnswers = {"kaputt.qrx"};
    form.run([&] { form.SpeedButton33Click(); });
    ASSERT_FALSE(dialogs.texts(Kind::Notice).empty());
    EXPECT_EQ(last_undo_step(dir.path())->copyPath, step->copyPath);
}
