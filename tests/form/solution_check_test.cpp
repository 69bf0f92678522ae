// "loesung N" and the check of exercise N, for every supplied exercise: the
// solved books earn full points, and each kind of mistake put into them is
// named as such. Then the "Prüfen" handler of the exercise page.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "accounts/chart_file.h"
#include "base/cp1252.h"
#include "base/file.h"
#include "bookings/bookings_file.h"
#include "checking/check_text.h"
#include "exercises/solution_file.h"
#include "form/form_fixtures.h"
#include "form/solution_books.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "marking/learner_check.h"
#include "support/work_dir.h"

using namespace saldorama;
using Kind = ScriptedDialogs::Kind;
namespace ck = saldorama::checking;

namespace {

struct SolutionCheck : ::testing::Test {
    test::WorkDir dir;
    ScriptedDialogs dialogs;
    TForm1 form{dialogs};

    void SetUp() override {
        test::copy_supplied_files(dir);
        ASSERT_TRUE(form.run([&] {
            form.FormCreate({.readExercises = true, .createBookingsFile = true, .showStartPage = false});
        }));
    }

    void solve(int n) {
        dialogs.clear();
        ASSERT_TRUE(form.run([&] { loesung_buchen(form, n); })) << dialogs.last(Kind::Failure);
        EXPECT_TRUE(dialogs.texts(Kind::Notice).empty());
    }

    [[nodiscard]] Marked checked(int n) const { return check_working_folder(n, form.state.currentChart); }

    // Every file of the folder with its bytes.
    [[nodiscard]] std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> all;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (!e.is_directory()) all[e.path().filename()] = read_file(e.path());
        return all;
    }
};

std::string all_lines(const ck::CheckResult& result) {
    std::string out;
    for (const auto& l : ck::check_lines(result)) out += cp1252_to_utf8(l) + "\n";
    return out;
}

// The learner's books with one mistake in the last booking.
enum class Mistake { Delete, Add, Swap, Amount, Account };

void put_mistake(Mistake mistake) {
    std::vector<BookingRecord> books = bookings_read_all();
    BookingRecord& last = books.back();
    switch (mistake) {
    case Mistake::Delete: books.pop_back(); break;
    case Mistake::Add: books.push_back(last); books.back().number = static_cast<int>(books.size()) - 1; break;
    case Mistake::Swap: std::swap(last.debit, last.credit); break;
    case Mistake::Amount:
        for (auto& d : last.debit) d *= 2;
        for (auto& c : last.credit) c *= 2;
        break;
    case Mistake::Account: last.account[0] = "Sonstige Forderungen"; break;
    }
    bookings_replace_all(books);
}

} // namespace

TEST_F(SolutionCheck, EverySolvedExerciseEarnsFullPointsAndEachMistakeIsNamed) {
    struct Case {
        Mistake mistake;
        ck::Finding finding;
        const char* text;  // in the command line's lines
    };
    const Case cases[] = {
        {Mistake::Delete, ck::Finding::Missing, " fehlt: "},
        {Mistake::Add, ck::Finding::Extra, "Zu viel gebucht: "},
        {Mistake::Swap, ck::Finding::Swapped, ": Soll und Haben vertauscht"},
        {Mistake::Amount, ck::Finding::WrongAmount, ": falscher Betrag"},
        {Mistake::Account, ck::Finding::WrongAccount, ": falsches Konto – du hast Sonstige Forderungen statt "},
    };
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE("Aufgabe " + std::to_string(n));
        solve(n);
        const Marked solved = checked(n);
        ASSERT_TRUE(solved.result.all_right()) << all_lines(solved.result);
        EXPECT_EQ(solved.result.points, solved.result.maxPoints);
        EXPECT_EQ(all_lines(solved.result), cp1252_to_utf8(ck::points_text(solved.result.maxPoints, solved.result.maxPoints)) + "\n");
        if (solved.solution.bookings.empty()) continue;  // exercise 1: company data and chart only
        EXPECT_GT(solved.result.maxPoints, 0);
        const std::vector<BookingRecord> right = bookings_read_all();
        for (const Case& c : cases) {
            SCOPED_TRACE(c.text);
            put_mistake(c.mistake);
            const Marked m = checked(n);
            EXPECT_FALSE(m.result.all_right());
            EXPECT_LT(m.result.points, m.result.maxPoints);
            const auto& rows = m.result.rows;
            const bool named = std::any_of(rows.begin(), rows.end(), [&](const ck::CheckRow& r) {
                return r.finding == c.finding && !r.earlier;
            });
            EXPECT_TRUE(named) << all_lines(m.result);
            EXPECT_NE(all_lines(m.result).find(c.text), std::string::npos) << all_lines(m.result);
            bookings_replace_all(right);
        }
    }
}

TEST_F(SolutionCheck, SolvingReplacesTheBooksAndSettingsAsAWholeAndKeepsTheLearnersName) {
    solve(7);
    EXPECT_EQ(form.state.currentChart, 3);
    const std::string learner = form.company.Edit7.text;
    solve(8);
    EXPECT_EQ(form.state.currentChart, 4);
    EXPECT_TRUE(form.settings.CheckBox3.checked());  // exercise 8 opens and closes by hand
    EXPECT_EQ(form.company.Edit7.text, learner) << "the solution leaves the name to the learner";
    EXPECT_EQ(form.state.bookingCount, bookings_count());

    // A booking on an account outside the chart, or an unbalanced one, stops
    // it before anything is written.
    const std::string solution3 = dir.read("Loesung3.txt");
    const std::size_t haben = solution3.find("Haben: ");
    const std::string unbalanced = solution3.substr(0, haben) + "Haben: Bank 1,00" + solution3.substr(solution3.find('\r', haben));
    const std::string unknown = std::string(solution3).replace(solution3.find("Soll: "), 6, "Soll: Luftschloss ");
    for (const std::string& broken : {unknown, unbalanced}) {
        dir.write("Loesung3.txt", broken);
        const auto before = files();
        dialogs.clear();
        EXPECT_FALSE(form.run([&] { loesung_buchen(form, 3); }));
        const std::string failure = dialogs.last(Kind::Failure);
        EXPECT_TRUE(failure.starts_with("Loesung3.txt, ")) << cp1252_to_utf8(failure);
        if (&broken == &unknown) {
            EXPECT_EQ(failure, "Loesung3.txt, Buchung 1: Das Konto Luftschloss Kasse steht nicht im Kontenplan 1.");
        }
        EXPECT_TRUE(files() == before);
    }
    const auto before = files();

    // Answered No, nothing happens either.
    dialogs.answers = {false};
    EXPECT_TRUE(form.run([&] { loesung_buchen(form, 2); }));
    EXPECT_TRUE(files() == before);
}

TEST_F(SolutionCheck, ThePageChecksTheExerciseOnShowAndShowsFindingAndSolution) {
    ExercisePage& page = form.exercises;
    solve(3);
    put_mistake(Mistake::Delete);
    ASSERT_TRUE(form.run([&] { page.SpeedButton16Click(); }));
    EXPECT_EQ(page.CheckExercise.text, "3");
    const auto before = files();
    ASSERT_TRUE(form.run([&] { page.CheckButtonClick(); }));
    EXPECT_TRUE(files() == before) << "checking writes nothing";

    const Marked& m = page.marked();
    ASSERT_EQ(page.CheckRows.items.size(), m.result.rows.size());
    EXPECT_EQ(page.CheckPoints.text, ck::points_text(m.result.points, m.result.maxPoints));
    EXPECT_LT(m.result.points, m.result.maxPoints);
    // Exercise 3's bookings and values come first, the last booking missing;
    // the opening of exercise 2 after them.
    const std::size_t missing = m.solution.bookings.size() - 1;
    std::size_t item = 0;
    while (page.shownRow(item) != missing) ++item;
    EXPECT_EQ(item, 6u);
    EXPECT_EQ(cp1252_to_utf8(page.CheckRows.items[0]).substr(0, 22), "richtig   Buchung 10: ");
    // A wrong row names the booking only; its lines would give the solution away.
    EXPECT_EQ(cp1252_to_utf8(page.CheckRows.items[item]), "falsch    Buchung 16");
    EXPECT_EQ(cp1252_to_utf8(page.CheckRows.items.back()).substr(0, 32), "richtig   Buchung 9 (Aufgabe 2):");
    EXPECT_EQ(page.shownRow(page.CheckRows.items.size() - 1), 8u);
    EXPECT_FALSE(page.SolutionButton.enabled);

    page.CheckRows.itemIndex = static_cast<int>(item);
    ASSERT_TRUE(form.run([&] { page.CheckRowsClick(); }));
    const std::string number = std::to_string(m.solution.bookings[missing].number);
    EXPECT_EQ(page.CheckFinding.lines,
              std::vector<std::string>{"Buchung " + number + cp(" fehlt. Mit \"Lösung zeigen\" siehst du, wie sie lautet.")});
    ASSERT_TRUE(page.SolutionButton.enabled);
    ASSERT_TRUE(form.run([&] { page.SolutionButtonClick(); }));
    const auto& lines = page.CheckFinding.lines;
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "Buchung " + number + ": " + ck::booking_text(m.solution.bookings[missing].lines));
    EXPECT_EQ(lines.back().empty(), false);  // the explanation
    EXPECT_NE(std::find(lines.begin(), lines.end(), m.solution.bookings[missing].explanation.substr(0, m.solution.bookings[missing].explanation.find('\n'))), lines.end());

    // Another exercise can be chosen; a choice that is no exercise is refused.
    page.CheckExercise.text = "2";
    ASSERT_TRUE(form.run([&] { page.CheckButtonClick(); }));
    EXPECT_EQ(m.result.exercise, 2);
    page.CheckExercise.text = "9";
    ASSERT_TRUE(form.run([&] { page.CheckButtonClick(); }));
    EXPECT_EQ(dialogs.last(Kind::Notice), cp("Wähle die Aufgabe, die du prüfen willst: 1 bis 8."));
    EXPECT_TRUE(page.CheckRows.items.empty());
    EXPECT_TRUE(page.CheckPoints.text.empty());
}
