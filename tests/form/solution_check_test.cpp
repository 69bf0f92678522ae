// "loesung N" and the check of exercise N, for every supplied exercise: the
// solved books earn full points, and each kind of mistake put into them is
// named as such. Then the "Prüfen" handler of the exercise page.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "accounts/chart_file.h"
#include "base/cp1252.h"
#include "base/file.h"
#include "base/hidden_area.h"
#include "bookings/bookings_file.h"
#include "bookings/checks.h"
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
        // The solutions leave the bookkeeper's name to the learner ("*").
        form.company.field(kCompanyBookkeeper).text = "Anna Lernt";
        ASSERT_TRUE(form.run([&] { form.company.SpeedButton32Click(); })) << dialogs.last(Kind::Failure);
    }

    [[nodiscard]] Marked checked(int n) const { return check_working_folder(n, form.state.currentChart); }

    // Every file of the folder with its bytes.
    [[nodiscard]] std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> all;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (e.path().filename() != kHiddenAreaName) all[e.path().filename()] = read_file(e.path());
        return all;
    }
};

std::string all_lines(const Marked& m) {
    std::string out;
    for (const auto& l : ck::check_lines(m.result, m.solution, m.learner)) out += cp1252_to_utf8(l) + "\n";
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
        {Mistake::Delete, ck::Finding::Missing, " fehlt"},
        {Mistake::Add, ck::Finding::Extra, "Zu viel gebucht: "},
        {Mistake::Swap, ck::Finding::Swapped, ": Soll und Haben vertauscht"},
        {Mistake::Amount, ck::Finding::WrongAmount, ": falscher Betrag"},
        {Mistake::Account, ck::Finding::WrongAccount, ": falsches Konto – du hast Sonstige Forderungen statt "},
    };
    for (int n = 1; n <= test::supplied_exercise_count(); ++n) {
        SCOPED_TRACE("Aufgabe " + std::to_string(n));
        solve(n);
        const Marked solved = checked(n);
        ASSERT_TRUE(solved.result.all_right()) << all_lines(solved);
        EXPECT_EQ(solved.result.points, solved.result.maxPoints);
        EXPECT_EQ(all_lines(solved), cp1252_to_utf8(ck::points_text(solved.result.maxPoints, solved.result.maxPoints)) + "\n");
        const auto& own = solved.solution.cases;
        if (std::all_of(own.begin(), own.end(), [](const ck::ExpectedCase& k) { return k.later; }))
            continue;  // exercise 1: company data and chart only
        EXPECT_GT(solved.result.maxPoints, 0);
        const std::vector<BookingRecord> right = bookings_read_all();
        for (const Case& c : cases) {
            SCOPED_TRACE(c.text);
            put_mistake(c.mistake);
            const Marked m = checked(n);
            EXPECT_FALSE(m.result.all_right());
            EXPECT_LT(m.result.points, m.result.maxPoints);
            bool named = false;
            for (std::size_t i = 0; i < m.result.row_count(); ++i) {
                const ck::CheckRow r = m.result.row(i);
                named = named || (r.finding == c.finding && !r.earlier);
            }
            EXPECT_TRUE(named) << all_lines(m);
            EXPECT_NE(all_lines(m).find(c.text), std::string::npos) << all_lines(m);
            bookings_replace_all(right);
        }
    }
}

TEST_F(SolutionCheck, SolvingReplacesTheBooksAndSettingsAsAWholeAndKeepsTheLearnersName) {
    solve(8);
    EXPECT_EQ(form.state.currentChart, 3);
    const std::string learner = form.company.Edit7.text;
    solve(15);
    EXPECT_EQ(form.state.currentChart, 4);
    EXPECT_TRUE(form.settings.CheckBox3.checked());  // exercise 15 opens and closes by hand
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
    ASSERT_TRUE(form.run([&] { page.ExerciseButtonClick(3); }));
    EXPECT_EQ(page.CheckExercise.text, "3");
    const auto before = files();
    ASSERT_TRUE(form.run([&] { page.CheckButtonClick(); }));
    EXPECT_TRUE(files() == before) << "checking writes nothing";

    const Marked& m = page.marked();
    ASSERT_EQ(page.CheckRows.items.size(), m.result.row_count());
    EXPECT_EQ(page.CheckPoints.text, ck::points_text(m.result.points, m.result.maxPoints));
    EXPECT_LT(m.result.points, m.result.maxPoints);
    // Exercise 3's cases and values come first, the last case missing; the
    // opening of exercise 2 after them.
    std::size_t missing = 0;
    while (m.solution.cases[missing].label != "Fall (7)") ++missing;
    std::size_t item = 0;
    while (page.shownRow(item) != missing) ++item;
    EXPECT_EQ(item, 6u);
    EXPECT_EQ(cp1252_to_utf8(page.CheckRows.items[0]).substr(0, 31), "richtig   Aufgabe 3, Fall (1): ");
    // A wrong row names the case only; its lines would give the solution away.
    EXPECT_EQ(cp1252_to_utf8(page.CheckRows.items[item]), "falsch    Aufgabe 3, Fall (7)");
    EXPECT_EQ(cp1252_to_utf8(page.CheckRows.items.back()).substr(0, 33), "richtig   Aufgabe 2, Eröffnung: ");
    EXPECT_EQ(page.shownRow(page.CheckRows.items.size() - 1), 0u);
    EXPECT_FALSE(page.SolutionButton.enabled);

    page.CheckRows.itemIndex = static_cast<int>(item);
    ASSERT_TRUE(form.run([&] { page.CheckRowsClick(); }));
    ASSERT_GE(page.CheckFinding.lines.size(), 3u);
    EXPECT_EQ(page.CheckFinding.lines[0], cp("Aufgabe 3, Fall (7) fehlt. Mit \"Lösung zeigen\" siehst du, wie er gebucht wird."));
    EXPECT_EQ(page.CheckFinding.lines[2], "Antworten zu den Fragen:");  // still in view
    const ck::ExpectedBooking& last = m.solution.bookings[m.solution.cases[missing].bookings.front()];
    ASSERT_TRUE(page.SolutionButton.enabled);
    ASSERT_TRUE(form.run([&] { page.SolutionButtonClick(); }));
    const auto& lines = page.CheckFinding.lines;
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "Aufgabe 3, Fall (7):");
    EXPECT_EQ(lines[3], ck::booking_text(last.lines));
    EXPECT_EQ(lines.back().empty(), false);  // the explanation
    EXPECT_NE(std::find(lines.begin(), lines.end(), last.explanation.substr(0, last.explanation.find('\n'))), lines.end());

    // Another exercise can be chosen; a choice that is no exercise is refused.
    page.CheckExercise.text = "2";
    ASSERT_TRUE(form.run([&] { page.CheckButtonClick(); }));
    EXPECT_EQ(m.result.exercise, 2);
    const std::string count = std::to_string(test::supplied_exercise_count());
    page.CheckExercise.text = std::to_string(test::supplied_exercise_count() + 1);
    ASSERT_TRUE(form.run([&] { page.CheckButtonClick(); }));
    EXPECT_EQ(dialogs.last(Kind::Notice), cp("Wähle die Aufgabe, die du prüfen willst: 1 bis ") + count + ".");
    EXPECT_TRUE(page.CheckRows.items.empty());
    EXPECT_TRUE(page.CheckPoints.text.empty());
}

TEST_F(SolutionCheck, ExamModeSwitchedOnTakesAShownCheckFromThePage) {
    ExercisePage& page = form.exercises;
    solve(3);
    put_mistake(Mistake::Delete);
    page.CheckExercise.text = "3";
    ASSERT_TRUE(form.run([&] { page.CheckButtonClick(); }));
    ASSERT_FALSE(page.CheckRows.items.empty());
    form.SpeedButton2Click();  // away from the exercises, to the settings and back
    form.settings.examMode.setChecked(true);
    ASSERT_TRUE(form.run([&] { form.settings.Button2Click(); }));
    form.SpeedButton22Click();
    EXPECT_TRUE(page.CheckRows.items.empty());
    EXPECT_TRUE(page.CheckFinding.lines.empty());  // no finding, no answers
    EXPECT_TRUE(page.CheckPoints.text.empty());
    EXPECT_FALSE(page.SolutionButton.visible);
}

// Exercise 1 on the page: a point per company field, a wrong one named in
// the list, its solution shown with "Lösung zeigen"; the answers last.
TEST_F(SolutionCheck, ThePageCountsTheCompanyDataAPointPerField) {
    ExercisePage& page = form.exercises;
    solve(1);
    const struct {
        CompanyField field;
        const char* text;
        const char* points;
        const char* wrongItem;  // "" none
    } steps[] = {
        {kCompanyBankCode, "6805 0000", "7 von 8 Punkten", "falsch    Firmendaten: BLZ"},
        {kCompanyBankCode, "  68050000 ", "8 von 8 Punkten", ""},
        {kCompanyBookkeeper, " ", "7 von 8 Punkten", "falsch    Firmendaten: Verantwortlich für die Buchhaltung"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.text);
        form.company.field(s.field).text = s.text;
        ASSERT_TRUE(form.run([&] { form.company.SpeedButton32Click(); })) << dialogs.last(Kind::Failure);
        page.CheckExercise.text = "1";
        ASSERT_TRUE(form.run([&] { page.CheckButtonClick(); }));
        EXPECT_EQ(page.CheckPoints.text, s.points);
        const auto& items = page.CheckRows.items;
        const auto wrong = std::find_if(items.begin(), items.end(), [](const std::string& i) { return i.starts_with("falsch"); });
        EXPECT_EQ(wrong == items.end() ? "" : cp1252_to_utf8(*wrong), s.wrongItem);
        EXPECT_EQ(page.CheckFinding.lines.at(0), "Antworten zu den Fragen:");
        if (wrong == items.end()) continue;
        page.CheckRows.itemIndex = static_cast<int>(wrong - items.begin());
        ASSERT_TRUE(form.run([&] { page.SolutionButtonClick(); }));
        EXPECT_EQ(page.CheckFinding.lines.at(3), "");
        EXPECT_EQ(page.CheckFinding.lines.at(4), "Antworten zu den Fragen:");
    }
    EXPECT_EQ(cp1252_to_utf8(page.CheckFinding.lines.at(2)),
              "Verantwortlich für die Buchhaltung: ein beliebiger Eintrag, zum Beispiel dein Name");
}

// A teacher adds an exercise by dropping two files with the next free number
// beside the supplied ones: after a restart the page lists it, its button
// loads it, and its solution books and checks like a supplied one.
TEST_F(SolutionCheck, AnExerciseDroppedWithTheNextFreeNumberIsListedSolvedAndChecked) {
    const int n = test::supplied_exercise_count() + 1;
    const std::string number = std::to_string(n);
    dir.writeLines("Aufgabe" + number + ".txt", {"Aufgabe " + number + ": Eigene Aufgabe", "(1) Bareinzahlung"});
    dir.writeLines("Loesung" + number + ".txt",
                   {"[Aufgabe " + number + "]", "Kontenplan: 1", "Baut auf: keine", "[Firmendaten]",
                    "Firmen-Name: Lehrerfirma e. K.", cp("[Eröffnung]"), "Datum: 01.01.", "Bestand: Kasse 1000,00",
                    "Bestand: Eigenkapital 1000,00", "[Buchung 1]", "Fall: (1)", "Datum: 05.01.",
                    "Soll: Bank 400,00", "Haben: Kasse 400,00", "[Kontrolle 1]", "Saldo: Bank 400,00"});
    ScriptedDialogs d;
    TForm1 restarted{d};
    ASSERT_TRUE(restarted.run([&] { restarted.FormCreate({.showStartPage = false}); })) << d.last(Kind::Failure);
    ExercisePage& page = restarted.exercises;
    ASSERT_EQ(page.titles.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(page.titles.back().text, "Aufgabe " + number + ": Eigene Aufgabe");
    EXPECT_EQ(page.buttons.back().text, number);
    EXPECT_EQ(page.CheckExercise.items.back(), number);
    ASSERT_TRUE(restarted.run([&] { page.ExerciseButtonClick(n); }));
    EXPECT_EQ(page.CheckListBox1.items.size(), 2u);

    d.answers = {true};
    ASSERT_TRUE(restarted.run([&] { loesung_buchen(restarted, n); })) << d.last(Kind::Failure);
    ASSERT_TRUE(restarted.run([&] { page.CheckButtonClick(); })) << d.last(Kind::Failure);
    EXPECT_EQ(page.CheckPoints.text, "4 von 4 Punkten");  // the company name, the opening, one case, one value
    // One number further there is no exercise: a failure, never points.
    page.CheckExercise.text = std::to_string(n + 1);
    ASSERT_TRUE(restarted.run([&] { page.CheckButtonClick(); }));
    EXPECT_EQ(d.last(Kind::Notice), cp("Wähle die Aufgabe, die du prüfen willst: 1 bis ") + number + ".");
    EXPECT_TRUE(page.CheckPoints.text.empty());
}

namespace {

// The stored books rewritten as another learner would have typed them.
using Rewrite = void (*)(std::vector<BookingRecord>&);

// Every booking of more than two lines as two-line bookings with the same
// sums per account and side: each Soll line paired off against the Haben
// lines in turn.
void split_compounds(std::vector<BookingRecord>& books) {
    std::vector<BookingRecord> out;
    for (const BookingRecord& r : books) {
        struct Line { std::string account; double amount; };
        std::vector<Line> soll, haben;
        for (std::size_t k = 0; k < r.account.size(); ++k) {
            if (r.debit[k] != 0) soll.push_back({r.account[k], r.debit[k]});
            if (r.credit[k] != 0) haben.push_back({r.account[k], r.credit[k]});
        }
        if (soll.size() + haben.size() <= 2) {
            out.push_back(r);
            continue;
        }
        std::size_t s = 0, h = 0;
        while (s < soll.size() && h < haben.size()) {
            const double amount = std::min(soll[s].amount, haben[h].amount);
            BookingRecord part = r;
            part.account = {soll[s].account, haben[h].account, "", "", ""};
            part.debit = {amount, 0, 0, 0, 0};
            part.credit = {0, amount, 0, 0, 0};
            out.push_back(part);
            soll[s].amount = round_to_cents(soll[s].amount - amount);
            haben[h].amount = round_to_cents(haben[h].amount - amount);
            if (soll[s].amount == 0) ++s;
            if (haben[h].amount == 0) ++h;
        }
    }
    books = out;
}

void reverse_order(std::vector<BookingRecord>& books) { std::reverse(books.begin(), books.end()); }

// A booking and its exact reverse put in the middle of the books.
void booking_and_reverse(std::vector<BookingRecord>& books) {
    BookingRecord wrong = books.front();
    wrong.account = {"Kasse", "Bank", "", "", ""};
    wrong.debit = {77.7, 0, 0, 0, 0};
    wrong.credit = {0, 77.7, 0, 0, 0};
    BookingRecord reverse = wrong;
    std::swap(reverse.debit, reverse.credit);
    const auto middle = books.begin() + static_cast<std::ptrdiff_t>(books.size() / 2);
    books.insert(books.insert(middle, wrong) + 1, reverse);
}

void renumber(std::vector<BookingRecord>& books) {
    for (std::size_t i = 0; i < books.size(); ++i) books[i].number = static_cast<int>(i);
}

} // namespace

// Every supplied solution booked as given, with its compound bookings split
// into two-line bookings, in reverse order of cases, and with a booking and
// its reverse added: full points each time.
TEST_F(SolutionCheck, EverySolutionInEveryFormEarnsFullPoints) {
    const struct {
        const char* name;
        Rewrite rewrite;
    } forms[] = {{"as given", nullptr},
                 {"compounds split", split_compounds},
                 {"cases reversed", reverse_order},
                 {"booking and reverse", booking_and_reverse}};
    for (int n = 2; n <= 8; ++n) {
        solve(n);
        const std::vector<BookingRecord> given = bookings_read_all();
        for (const auto& f : forms) {
            SCOPED_TRACE("Aufgabe " + std::to_string(n) + ", " + f.name);
            std::vector<BookingRecord> books = given;
            if (f.rewrite) f.rewrite(books);
            renumber(books);
            bookings_replace_all(books);
            const Marked m = checked(n);
            EXPECT_TRUE(m.result.all_right()) << all_lines(m);
            EXPECT_EQ(m.result.points, m.result.maxPoints) << all_lines(m);
        }
        bookings_replace_all(given);
    }
}

// Exercises built on each other: checking N after a later exercise was booked
// gives full points; a mistake in the first booking of an earlier exercise is
// listed there and costs N nothing; a mistake in N is named with its case.
TEST_F(SolutionCheck, EarlierAndLaterExercisesNeitherSpoilNorCostTwice) {
    solve(7);  // 2, 3, 4, 6 and 7 build on each other (5 closes the books aside)
    const std::vector<BookingRecord> all = bookings_read_all();
    const int chain[] = {2, 3, 4, 6, 7};
    for (const int n : chain) {
        SCOPED_TRACE("Aufgabe " + std::to_string(n));
        const Marked m = checked(n);
        EXPECT_TRUE(m.result.all_right()) << all_lines(m);
        EXPECT_EQ(m.result.points, m.result.maxPoints) << all_lines(m);
    }
    std::vector<BookingRecord> typo = all;
    typo.front().debit[0] *= 2;
    typo.front().credit[1] *= 2;
    bookings_replace_all(typo);
    for (const int n : chain) {
        if (n == 2) continue;
        SCOPED_TRACE("Aufgabe " + std::to_string(n) + " after a typo in exercise 2");
        const Marked m = checked(n);
        EXPECT_EQ(m.result.points, m.result.maxPoints) << all_lines(m);
        EXPECT_NE(all_lines(m).find("Aus früheren Aufgaben (kostet keine Punkte):\nAufgabe 2, Eröffnung: falscher Betrag"),
                  std::string::npos)
            << all_lines(m);
    }
    bookings_replace_all(all);
}
