#include "checking/check_text.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "check_fixtures.h"

namespace saldorama::checking {
namespace {

using test::expected;
using test::mine;

void append_utf8(std::vector<std::string>& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) out.push_back(cp1252_to_utf8(line));
}

// Exercise 3 on top of 1 and 2, one booking or value for every kind of finding.
Solution exercise_3() {
    Solution s{.exercise = 3, .chart = 1, .chartName = "Einfach", .bookings = {}, .cases = {}, .controls = {}};
    s.bookings = {
        expected(1, "Kasse 1000, Bank 4000 an Eigenkapital 5000", 1),
        expected(2, "Wareneingang 300 an Bank 300", 2),
        expected(3, "Bank 500 an Kasse 500", 3),
        expected(4, "Miete 800 an Bank 800", 3, "01.03.2026"),
        expected(5, "Bank 1190 an Umsatzerlöse 1000, Umsatzsteuer 190", 3),
        expected(6, "Privatentnahmen 200 an Kasse 200", 3),
        expected(7, "Darlehen 1000 an Bank 1000", 3, "", {"Darlehen 1000 an Kasse 1000"}),
    };
    s.bookings[6].explanation = cp("Die Tilgung mindert die Schuld: Darlehen im Soll.\nBezahlt wird vom Bankkonto.");
    s.controls = {{ControlKind::AccountBalance, cp("Bank"), 339000, 3},
                  {ControlKind::ProfitOrLoss, "", 19000, 3},
                  {ControlKind::NeutralResult, "", 0, 2}};
    test::add_cases(s);
    return s;
}

LearnerBooks learner_3() {
    LearnerBooks l{.chart = 1, .bookings = {}, .values = {}, .valuesOf = {}};
    l.bookings = {
        mine(1, "Bank 4000, Kasse 1000 an Eigenkapital 5000"),
        mine(2, "Kasse 500 an Bank 500"),
        mine(3, "Miete 800 an Bank 800", "02.03.2026"),
        mine(4, "Bank 119 an Umsatzerlöse 100, Umsatzsteuer 19"),
        mine(5, "Löhne 200 an Kasse 200"),
        mine(6, "Darlehen 1000 an Bank 1000"),
        mine(7, "Kasse 50 an Umsatzerlöse 50"),
    };
    l.values.balances = {{cp("Bank"), 339000}};
    l.values.profitOrLoss = -75000;
    l.values.neutralResult = 1250;
    return l;
}

TEST(CheckText, FindingsSolutionsAndClassCheckLines) {
    const Solution solution = exercise_3();
    const LearnerBooks learner = learner_3();
    const CheckResult result = check(solution, learner);
    std::vector<std::string> out{"# pruefen 3"};
    append_utf8(out, check_lines(result, solution, learner));
    out.push_back("# Lösung zeigen");
    append_utf8(out, solution_lines(solution, solution.cases[6]));
    append_utf8(out, solution_lines(solution, solution.cases[3]));
    append_utf8(out, solution_lines(solution.controls[1]));
    out.push_back("# Klasse");
    append_utf8(out, {class_check_line(cp("anna.qrx"), cp("Anna Müller"), result)});
    append_utf8(out, {class_check_line(cp("ohne.qrx"), "", result)});
    append_utf8(out, {class_check_failure_line(cp("kaputt.qrx"), cp("Die Sicherung ist beschädigt."))});
    append_utf8(out, {csv_row(class_check_header())});
    append_utf8(out, {csv_row(class_check_fields(cp("anna.qrx"), cp("Anna \"Nina\" Müller; 9b"), result))});
    append_utf8(out, {csv_row(class_check_failure_fields(cp("kaputt.qrx"), cp("Die Sicherung ist beschädigt.")))});
    out.push_back("# anderer Kontenplan");
    LearnerBooks otherChart = learner;
    otherChart.chart = 2;
    append_utf8(out, check_lines(check(solution, otherChart), solution, otherChart));
    otherChart.chart = 0;
    append_utf8(out, check_lines(check(solution, otherChart), solution, otherChart));
    test::expect_golden_utf8("check_findings.txt", out);
}

// An extra booking's finding is made when shown, in the form the result is in.
TEST(CheckText, ExtraBookingTextFollowsExamForm) {
    const Solution solution = exercise_3();
    const LearnerBooks learner = learner_3();
    CheckResult result = check(solution, learner);
    ASSERT_EQ(result.extra.size(), 1u);
    const CheckRow extra = result.row(result.extraAt);
    ASSERT_EQ(extra.kind, RowKind::ExtraBooking);
    const std::string full = cp("Zu viel gebucht: deine Buchung 7, Kasse 50,00 an Umsatzerlöse 50,00.");
    const std::string exam = "Zu viel gebucht: deine Buchung 7.";
    for (const bool examForm : {false, true}) {
        result.exam = examForm;
        const std::string want = examForm ? exam : full;
        EXPECT_EQ(row_text(extra, result, solution, learner), want);
        const std::vector<std::string> lines = check_lines(result, solution, learner);
        EXPECT_NE(std::find(lines.begin(), lines.end(), want), lines.end());
    }
}

TEST(CheckText, RightRowsAndTheOnePointWording) {
    Solution solution{.exercise = 1, .chart = 1, .chartName = "", .bookings = {expected(4, "Bank 500 an Kasse 500")},
                      .cases = {}, .controls = {}};
    test::add_cases(solution);
    LearnerBooks learner{.chart = 1, .bookings = {mine(9, "Bank 200, Bank 300 an Kasse 500")}, .values = {}, .valuesOf = {}};
    const CheckResult result = check(solution, learner);
    ASSERT_EQ(result.rows.size(), 1u);
    EXPECT_EQ(result.rows[0].text, "Aufgabe 1, Buchung 4 ist richtig (deine Buchung 9).");
    EXPECT_EQ(check_lines(result, solution, learner), std::vector<std::string>{"1 von 1 Punkt"});
    EXPECT_EQ(points_text(0, 12), "0 von 12 Punkten");
    solution.bookings[0].date = "15.03.2026";
    test::add_cases(solution);
    learner.bookings = {mine(9, "Bank 200, Bank 300 an Kasse 500", "")};
    EXPECT_EQ(check(solution, learner).rows[0].text,
              cp("Aufgabe 1, Buchung 4: falsches Datum – richtig ist der 15.03.2026, du hast keines eingetragen (deine Buchung 9)."));
}

TEST(CheckText, BookingInTextbookForm) {
    EXPECT_EQ(booking_text(test::lines("Bank 300, Kasse 200,5 an Eigenkapital 500,50")),
              "Bank 300,00, Kasse 200,50 an Eigenkapital 500,50");
    // Same account and side summed where it first appears; an empty side said so.
    EXPECT_EQ(booking_text(test::lines("Kasse 1, Bank 2, Kasse 3")), "Kasse 4,00, Bank 2,00 an (nichts)");
    EXPECT_EQ(booking_text({}), "(nichts) an (nichts)");
}

} // namespace
} // namespace saldorama::checking
