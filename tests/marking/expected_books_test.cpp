// The expected books built from solution files and the learner's books
// checked against them: openings as the opening page books them, chains of
// "Baut auf", alternatives for one and for several bookings, and the
// control values that hold at the end.
#include <gtest/gtest.h>

#include "accounts/chart_file.h"
#include "base/cp1252.h"
#include "base/failure.h"
#include "checking/check_text.h"
#include "marking/learner_check.h"
#include "support/failure_text.h"
#include "support/work_dir.h"

namespace saldorama {
namespace {

namespace ck = checking;

std::vector<AccountRecord> chart() {
    return {{"Bank", "*", "", "A", "", ""},          {"Kasse", "*", "", "A", "", ""},
            {"Eigenkapital", "*", "", "P", "", ""},  {"Darlehen", "*", "", "P", "", ""},
            {"Miete", "", "*", "S", "B", ""},        {"Zinsaufwendungen", "", "*", "S", "N", ""},
            {cp("Umsatzerlöse"), "", "*", "H", "B", ""}, {opening_account_name(), "***", "***", "A", "", ""}};
}

Solution solution(const std::string& name, const std::vector<std::string>& utf8) {
    std::vector<std::string> lines;
    for (const auto& l : utf8) lines.push_back(utf8_to_cp1252(l));
    return parse_solution(name, lines);
}

std::vector<std::string> texts(const ck::Solution& s) {
    std::vector<std::string> out;
    for (const auto& b : s.bookings)
        out.push_back(std::to_string(b.exercise) + " " + cp1252_to_utf8(ck::booking_text(b.lines)) +
                      (b.date.empty() ? "" : " " + b.date));
    return out;
}

const std::vector<std::string> kFirst = {
    "[Aufgabe 1]", "Kontenplan: 1", "Baut auf: keine",
    "[Eröffnung]", "Datum: 02.01.2026", "Bestand: Eigenkapital 500,00", "Bestand: Kasse 500,00",
    "[Kontrolle 1]", "Bilanzsumme: 500,00"};
const std::vector<std::string> kSecond = {
    "[Aufgabe 2]", "Kontenplan: 1", "Baut auf: 1",
    "[Buchung 1]", "Datum: 03.01.2026", "Soll: Bank 200,00", "Haben: Kasse 200,00",
    "[Kontrolle 1]", "Saldo: Kasse 300,00",
    "[Buchung 2]", "Soll: Darlehen 100,00", "Haben: Bank 100,00",
    "[Buchung 3]", "Soll: Zinsaufwendungen 10,00", "Haben: Bank 10,00",
    "[Alternative 1]", "Ersetzt: 1", "Soll: Bank 200,00", "Haben: Eigenkapital 200,00",
    "[Alternative 2]", "Ersetzt: 2 3", "Soll: Darlehen 100,00", "Soll: Zinsaufwendungen 10,00",
    "Haben: Bank 110,00", "Erklärung: Zusammengefasst.",
    "[Kontrolle 2]", "Saldo: Bank 90,00", "Neutrales Ergebnis: -10,00"};

TEST(ExpectedBooks, OpeningChainAlternativesAndFinalControls) {
    const ExpectedBooks e = expected_books({solution("L1", kFirst), solution("L2", kSecond)}, chart(), "Einfach");
    // The opening in chart order, left-side accounts in the Soll; then the bookings.
    EXPECT_EQ(texts(e.books), (std::vector<std::string>{
                                  "1 Kasse 500,00 an Eröffnungsbilanzkonto 500,00 02.01.2026",
                                  "1 Eröffnungsbilanzkonto 500,00 an Eigenkapital 500,00 02.01.2026",
                                  "2 Bank 200,00 an Kasse 200,00 03.01.2026", "2 Darlehen 100,00 an Bank 100,00",
                                  "2 Zinsaufwendungen 10,00 an Bank 10,00"}));
    EXPECT_EQ(e.books.bookings[4].number, 5);
    EXPECT_EQ(e.books.exercise, 2);
    EXPECT_EQ(e.books.chartName, "Einfach");
    ASSERT_EQ(e.books.bookings[2].alternatives.size(), 1u);
    ASSERT_EQ(e.compounds.size(), 1u);
    EXPECT_EQ(e.compounds[0].replaces, (std::vector<std::size_t>{3, 4}));
    EXPECT_EQ(e.compounds[0].booking.number, 4);
    EXPECT_EQ(e.compounds[0].booking.explanation, "Zusammengefasst.");
    // Only the block after the last booking of exercise 2 holds at the end.
    ASSERT_EQ(e.books.controls.size(), 2u);
    EXPECT_EQ(e.books.controls[0].account, "Bank");
    EXPECT_EQ(e.books.controls[1].cents, -1000);
    EXPECT_EQ(e.books.controls[1].exercise, 2);

    // A later opening empties what came before, as the opening page does.
    const ExpectedBooks again = expected_books({solution("L1", kFirst), solution("L2", kFirst)}, chart(), "");
    EXPECT_EQ(again.books.bookings.size(), 2u);
}

TEST(ExpectedBooks, CasesTheirLabelsEffectsDatesAndLaterExercises) {
    const std::vector<std::string> third = {
        "[Aufgabe 3]", "Kontenplan: 1", "Baut auf: 2",
        "[Buchung 1]", "Fall: (1)", "Datum: 14.04.", "Soll: Darlehen 100,00", "Haben: Bank 100,00",
        "[Buchung 2]", "Fall: (1)", "Datum: 14.04.", "Soll: Zinsaufwendungen 10,00", "Haben: Bank 10,00",
        "[Alternative 1]", "Ersetzt: 2", "Soll: Miete 10,00", "Haben: Bank 10,00"};
    const ExpectedBooks e =
        expected_books({solution("L1", kFirst), solution("L2", kSecond)}, chart(), "", 2027, {solution("L3", third)});
    std::vector<std::string> cases;
    for (const auto& k : e.books.cases) {
        std::string effects;
        for (const auto& effect : k.effects) effects += " | " + cp1252_to_utf8(ck::booking_text(effect));
        cases.push_back(std::to_string(k.exercise) + (k.later ? " später " : " ") + cp1252_to_utf8(k.label) + " " +
                        std::to_string(k.bookings.size()) + " " + k.date + effects);
    }
    EXPECT_EQ(cases, (std::vector<std::string>{
                         "1 Eröffnung 2 02.01.2026 | Eröffnungsbilanzkonto 500,00, Kasse 500,00 an Eigenkapital 500,00, "
                         "Eröffnungsbilanzkonto 500,00",
                         "2 Buchung 1 1 03.01.2026 | Bank 200,00 an Kasse 200,00 | Bank 200,00 an Eigenkapital 200,00",
                         "2 Buchung 2 1  | Darlehen 100,00 an Bank 100,00",
                         "2 Buchung 3 1  | Zinsaufwendungen 10,00 an Bank 10,00",
                         "3 später Fall (1) 2 14.04.2027 | Darlehen 100,00, Zinsaufwendungen 10,00 an Bank 110,00 | "
                         "Darlehen 100,00, Miete 10,00 an Bank 110,00"}));
    EXPECT_EQ(e.compounds.front().cases, (std::vector<std::size_t>{2, 3}));
}

TEST(ExpectedBooks, AnOpeningAccountOutsideTheChartFails) {
    std::vector<std::string> lines = kFirst;
    lines[5] = "Bestand: Tresor 500,00";
    EXPECT_EQ(test::failure_text([&] { (void)expected_books({solution("L1", lines)}, chart(), ""); }),
              cp("L1: Das Konto Tresor der Eröffnung steht nicht im Kontenplan 1"));
}

BookingRecord record(int number, const std::string& debitAccount, const std::string& creditAccount, double amount) {
    BookingRecord r;
    r.number = number;
    r.account[0] = debitAccount;
    r.debit[0] = amount;
    r.account[1] = creditAccount;
    r.credit[1] = amount;
    return r;
}

ck::LearnerBooks learner(const std::vector<BookingRecord>& records) {
    ck::LearnerBooks l;
    l.chart = 1;
    for (const auto& r : records) l.bookings.push_back(ck::learner_booking(r));
    l.values = computed_values(chart(), records);
    return l;
}

TEST(ExpectedBooks, TheCompoundAlternativeEarnsThePointsOfTheBookingsItReplaces) {
    const ExpectedBooks e = expected_books({solution("L1", kFirst), solution("L2", kSecond)}, chart(), "");
    std::vector<BookingRecord> books = {record(0, "Kasse", opening_account_name(), 500),
                                        record(1, opening_account_name(), "Eigenkapital", 500),
                                        record(2, "Bank", "Eigenkapital", 200)};
    books[0].date = books[1].date = "02.01.2026";
    books[2].date = "03.01.2026";
    BookingRecord compound;
    compound.number = 3;
    compound.account = {"Darlehen", "Zinsaufwendungen", "Bank", "", ""};
    compound.debit = {100, 10, 0, 0, 0};
    compound.credit = {0, 0, 110, 0, 0};
    books.push_back(compound);
    const Marked m = mark(e, learner(books));
    EXPECT_TRUE(m.result.all_right()) << cp1252_to_utf8(ck::check_lines(m.result, m.solution, m.learner).front());
    EXPECT_EQ(m.result.points, 5);  // bookings 3, 4 and 5, both control values
    EXPECT_EQ(m.result.maxPoints, 5);
    EXPECT_EQ(m.solution.cases.size(), 3u);  // the opening, booking 3, and bookings 4 and 5 joined

    // Booked as the two bookings it stands for, the books are right too.
    books.pop_back();
    books.push_back(record(3, "Darlehen", "Bank", 100));
    books.push_back(record(4, "Zinsaufwendungen", "Bank", 10));
    const Marked apart = mark(e, learner(books));
    EXPECT_TRUE(apart.result.all_right());
    EXPECT_EQ(apart.result.points, 5);
    EXPECT_EQ(apart.solution.cases.size(), 4u);
}

TEST(ExpectedBooks, ComputedValuesFollowTheReports) {
    // Kasse 500 opened against capital; rent 80 paid in cash; interest 10 by bank.
    const std::vector<BookingRecord> books = {record(0, "Kasse", "Eigenkapital", 500), record(1, "Miete", "Kasse", 80),
                                              record(2, "Bank", "Darlehen", 300),
                                              record(3, "Zinsaufwendungen", "Bank", 10)};
    const ck::ComputedValues v = computed_values(chart(), books);
    auto balance = [&](const std::string& name) {
        for (const auto& [account, cents] : v.balances)
            if (account == name) return cents;
        return ck::Cents{-1};
    };
    EXPECT_EQ(balance("Kasse"), 42000);
    EXPECT_EQ(balance("Eigenkapital"), 50000);  // on its own side
    EXPECT_EQ(balance("Darlehen"), 30000);
    EXPECT_EQ(v.balanceSheetTotal, 71000);       // Kasse 420 + Bank 290
    EXPECT_EQ(v.profitOrLoss, -9000);
    EXPECT_EQ(v.operatingResult, -8000);
    EXPECT_EQ(v.neutralResult, -1000);
}

TEST(ExpectedBooks, AChainStaysOnOneChart) {
    test::WorkDir dir;
    auto write = [&](const std::string& name, std::vector<std::string> lines) {
        std::string text;
        for (const auto& l : lines) text += utf8_to_cp1252(l) + "\r\n";
        dir.write(name, text);
    };
    write("Loesung1.txt", kFirst);
    std::vector<std::string> second = kSecond;
    write("Loesung2.txt", second);
    EXPECT_EQ(solution_chain(2).size(), 2u);
    second[1] = "Kontenplan: 2";
    write("Loesung2.txt", second);
    EXPECT_EQ(test::failure_text([] { (void)solution_chain(2); }),
              "Loesung2.txt baut auf Aufgabe 1 auf, die einen anderen Kontenplan hat");
}

} // namespace
} // namespace saldorama
