#include "checking/check_result.h"

#include <gtest/gtest.h>

#include "check_fixtures.h"

namespace saldorama::checking {
namespace {

using test::expected;
using test::mine;

struct Case {
    const char* name;
    std::vector<ExpectedBooking> solution;
    std::vector<LearnerBooking> learner;
    std::string want;  // see test::summary
    int exercise = 1;
    int learnerChart = 1;
};

const std::vector<Case>& cases() {
    static const std::vector<Case> all = {
        {"right in any order of bookings and lines",
         {expected(1, "Bank 500 an Kasse 500"), expected(2, "Wareneingang 200, Vorsteuer 38 an Verbindlichkeiten 238")},
         {mine(1, "Vorsteuer 38, Wareneingang 200 an Verbindlichkeiten 238"), mine(2, "Bank 500 an Kasse 500")},
         "B1 richtig L2, B2 richtig L1, 2/2"},
        {"split line counts as its sum",
         {expected(1, "Bank 500 an Kasse 500")},
         {mine(1, "Bank 200, Bank 300 an Kasse 500")},
         "B1 richtig L1, 1/1"},
        {"swapped", {expected(1, "Bank 500 an Kasse 500")}, {mine(1, "Kasse 500 an Bank 500")}, "B1 vertauscht L1, 0/1"},
        {"wrong amount", {expected(1, "Bank 500 an Kasse 500")}, {mine(1, "Bank 50 an Kasse 50")}, "B1 Betrag L1, 0/1"},
        {"wrong amount in a split booking",
         {expected(1, "Bank 500 an Kasse 300, Darlehen 200")},
         {mine(1, "Bank 500 an Kasse 250, Darlehen 250")},
         "B1 Betrag L1, 0/1"},
        {"wrong account",
         {expected(1, "Bank 500 an Kasse 500")},
         {mine(1, "Bank 500 an Eigenkapital 500")},
         "B1 Konto L1, 0/1"},
        {"wrong account and amount is missing and extra",
         {expected(1, "Bank 500 an Kasse 500")},
         {mine(1, "Bank 400 an Eigenkapital 400")},
         "B1 fehlt, L1 zu viel, 0/1"},
        {"no shared account is missing and extra",
         {expected(1, "Bank 500 an Kasse 500")},
         {mine(1, "Miete 500 an Eigenkapital 500")},
         "B1 fehlt, L1 zu viel, 0/1"},
        {"alternative",
         {expected(1, "Wareneingang 100, Vorsteuer 19 an Bank 119", 1, "", {"Wareneingang 119 an Bank 119"})},
         {mine(1, "Wareneingang 119 an Bank 119")},
         "B1 richtig L1, 1/1"},
        {"alternative lets both bookings be right",
         {expected(1, "Bank 100 an Kasse 100", 1, "", {"Bank 100 an Eigenkapital 100"}),
          expected(2, "Bank 100 an Kasse 100")},
         {mine(1, "Bank 100 an Kasse 100"), mine(2, "Bank 100 an Eigenkapital 100")},
         "B1 richtig L2, B2 richtig L1, 2/2"},
        {"missing",
         {expected(1, "Bank 500 an Kasse 500"), expected(2, "Miete 800 an Bank 800")},
         {mine(1, "Bank 500 an Kasse 500")},
         "B1 richtig L1, B2 fehlt, 1/2"},
        {"extra", {expected(1, "Bank 500 an Kasse 500"), expected(2, "Miete 800 an Bank 800")},
         {mine(1, "Bank 500 an Kasse 500"), mine(2, "Miete 800 an Bank 800"), mine(3, "Kasse 50 an Bank 50")},
         "B1 richtig L1, B2 richtig L2, L3 zu viel, 1/2"},
        {"extra bookings never take the points below 0",
         {expected(1, "Bank 500 an Kasse 500")},
         {mine(1, "Bank 500 an Kasse 500"), mine(2, "Kasse 1 an Bank 1"), mine(3, "Kasse 2 an Bank 2")},
         "B1 richtig L1, L2 zu viel, L3 zu viel, 0/1"},
        {"duplicate booked once",
         {expected(1, "Bank 500 an Kasse 500"), expected(2, "Bank 500 an Kasse 500")},
         {mine(1, "Bank 500 an Kasse 500")},
         "B1 richtig L1, B2 fehlt, 1/2"},
        {"duplicate booked three times",
         {expected(1, "Bank 500 an Kasse 500"), expected(2, "Bank 500 an Kasse 500")},
         {mine(1, "Bank 500 an Kasse 500"), mine(2, "Bank 500 an Kasse 500"), mine(3, "Bank 500 an Kasse 500")},
         "B1 richtig L1, B2 richtig L2, L3 zu viel, 1/2"},
        {"earlier exercise is listed apart and costs nothing",
         {expected(1, "Kasse 1000 an Eigenkapital 1000", 1), expected(2, "Bank 500 an Kasse 500", 2)},
         {mine(1, "Bank 500 an Kasse 500")},
         "früher B1 fehlt, B2 richtig L1, 1/1", 2},
        {"another chart is one finding",
         {expected(1, "Bank 500 an Kasse 500"), expected(2, "Miete 800 an Bank 800")},
         {mine(1, "Bank 500 an Kasse 500")},
         "Kontenplan, 0/2", 1, 3},
        {"no chart chosen is another chart",
         {expected(1, "Bank 500 an Kasse 500")}, {}, "Kontenplan, 0/1", 1, 0},
        {"date not named: any date will do",
         {expected(1, "Bank 500 an Kasse 500")},
         {mine(1, "Bank 500 an Kasse 500", "31.12.2026")},
         "B1 richtig L1, 1/1"},
        {"date named and booked",
         {expected(1, "Bank 500 an Kasse 500", 1, "15.03.2026")},
         {mine(1, "Bank 500 an Kasse 500", "15.03.2026")},
         "B1 richtig L1, 1/1"},
        {"date named, another booked",
         {expected(1, "Bank 500 an Kasse 500", 1, "15.03.2026")},
         {mine(1, "Bank 500 an Kasse 500", "16.03.2026")},
         "B1 Datum L1, 0/1"},
        {"date named: the booking with that date is the right one",
         {expected(1, "Bank 500 an Kasse 500", 1, "15.03.2026")},
         {mine(1, "Bank 500 an Kasse 500", "01.03.2026"), mine(2, "Bank 500 an Kasse 500", "15.03.2026")},
         "B1 richtig L2, L1 zu viel, 0/1"},
        {"a pair without a name leaves the learner booking to later ones",
         {expected(1, "Bank 500 an Kasse 500"), expected(2, "Bank 300 an Darlehen 300")},
         {mine(1, "Bank 900 an Darlehen 900")},
         "B1 fehlt, B2 Betrag L1, 0/2"},
        {"a wrong amount in every line is named though a smaller booking is nearer",
         {expected(1, "Bank 1190 an Umsatzerlöse 1000, Umsatzsteuer 190")},
         {mine(1, "Kasse 50 an Umsatzerlöse 50"), mine(2, "Bank 119 an Umsatzerlöse 100, Umsatzsteuer 19")},
         "B1 Betrag L2, L1 zu viel, 0/1"},
        {"closest booking, the earliest on a tie",
         {expected(1, "Bank 500 an Kasse 500")},
         {mine(1, "Bank 40 an Kasse 40"), mine(2, "Bank 500 an Kasse 50"), mine(3, "Bank 50 an Kasse 500")},
         "B1 Betrag L2, L1 zu viel, L3 zu viel, 0/1"},
        {"solution order decides who gets a near miss",
         {expected(1, "Bank 500 an Kasse 500"), expected(2, "Bank 500 an Kasse 600")},
         {mine(1, "Bank 500 an Kasse 550")},
         "B1 Betrag L1, B2 fehlt, 0/2"},
        // Cases answered by several bookings; bookings of the same number form one case.
        {"a compound entry split into simple bookings",
         {expected(1, "Wareneingang 200, Vorsteuer 38 an Verbindlichkeiten 238")},
         {mine(1, "Vorsteuer 38 an Verbindlichkeiten 38"), mine(2, "Wareneingang 200 an Verbindlichkeiten 200")},
         "B1 richtig L1+L2, 1/1"},
        {"an opening of one booking per account",
         {expected(1, "Kasse 1000, Bank 4000 an Eigenkapital 5000")},
         {mine(1, "Kasse 1000 an Eigenkapital 1000"), mine(2, "Bank 4000 an Eigenkapital 4000")},
         "B1 richtig L1+L2, 1/1"},
        {"a case of two bookings booked as one compound entry",
         {expected(1, "Darlehen 1500 an Bank 1500"), expected(1, "Zinsen 450 an Bank 450")},
         {mine(1, "Darlehen 1500, Zinsen 450 an Bank 1950")},
         "B1 richtig L1, 1/1"},
        {"a group never takes a booking that a later case answers alone",
         {expected(1, "Bank 100 an Kasse 100"), expected(2, "Bank 60 an Kasse 60"), expected(3, "Bank 40 an Kasse 40")},
         {mine(1, "Bank 60 an Kasse 60"), mine(2, "Bank 40 an Kasse 40")},
         "B1 fehlt, B2 richtig L1, B3 richtig L2, 2/3"},
        {"a group is the earliest in file order",
         {expected(1, "Bank 100 an Kasse 100")},
         {mine(1, "Bank 60 an Kasse 60"), mine(2, "Bank 40 an Kasse 40"), mine(3, "Bank 40 an Kasse 40")},
         "B1 richtig L1+L2, L3 zu viel, 0/1"},
        {"a line above the case's amount is no part of it",
         {expected(1, "Bank 100 an Kasse 100")},
         {mine(1, "Bank 150 an Kasse 150"), mine(2, "Kasse 50 an Bank 50")},
         "B1 Betrag L1, L2 zu viel, 0/1"},
        {"a split compound with a wrong amount",
         {expected(1, "Wareneingang 200, Vorsteuer 38 an Verbindlichkeiten 238")},
         {mine(1, "Wareneingang 200 an Verbindlichkeiten 200"), mine(2, "Vorsteuer 83 an Verbindlichkeiten 83")},
         "B1 Betrag L1+L2, 0/1"},
        {"one booking of a case swapped, the other right",
         {expected(1, "Darlehen 1500 an Bank 1500"), expected(1, "Zinsen 450 an Bank 450")},
         {mine(1, "Darlehen 1500 an Bank 1500"), mine(2, "Bank 450 an Zinsen 450")},
         "B1 vertauscht L1+L2, 0/1"},
        {"a case only partly booked",
         {expected(1, "Darlehen 1500 an Bank 1500"), expected(1, "Zinsen 450 an Bank 450")},
         {mine(1, "Darlehen 1500 an Bank 1500")},
         "B1 fehlt L1, 0/1"},
        {"a wrong booking and its reverse cost nothing",
         {expected(1, "Bank 500 an Kasse 500")},
         {mine(1, "Bank 50 an Kasse 50"), mine(2, "Kasse 50 an Bank 50"), mine(3, "Bank 500 an Kasse 500")},
         "B1 richtig L3, 1/1"},
        {"a right booking undone and booked again",
         {expected(1, "Bank 500 an Kasse 500")},
         {mine(1, "Bank 500 an Kasse 500"), mine(2, "Kasse 500 an Bank 500"), mine(3, "Bank 500 an Kasse 500")},
         "B1 richtig L1, 1/1"},
        {"only an exact reverse cancels",
         {expected(1, "Bank 500 an Kasse 500")},
         {mine(1, "Bank 50 an Kasse 50"), mine(2, "Kasse 40 an Bank 40"), mine(3, "Bank 500 an Kasse 500")},
         "B1 richtig L3, L1 zu viel, L2 zu viel, 0/1"},
        {"reverses on accounts no case books pair earliest first",
         {expected(1, "Bank 500 an Kasse 500")},
         {mine(1, "Miete 50 an Zinsen 50"), mine(2, "Miete 50 an Zinsen 50"), mine(3, "Zinsen 50 an Miete 50"),
          mine(4, "Bank 500 an Kasse 500"), mine(5, "Zinsen 20 an Miete 20"), mine(6, "Miete 20 an Zinsen 20")},
         "B1 richtig L4, L2 zu viel, 0/1"},
        {"reverses on the case's accounts pair earliest first",
         {expected(1, "Bank 500 an Kasse 500")},
         {mine(1, "Bank 50 an Kasse 50"), mine(2, "Bank 50 an Kasse 50"), mine(3, "Kasse 50 an Bank 50"),
          mine(4, "Kasse 50 an Bank 50"), mine(5, "Kasse 50 an Bank 50"), mine(6, "Bank 500 an Kasse 500")},
         "B1 richtig L6, L5 zu viel, 0/1"},
        {"a later exercise's booking is recognised and left out",
         {expected(1, "Bank 500 an Kasse 500"), expected(2, "Miete 800 an Bank 800", 2)},
         {mine(1, "Miete 800 an Bank 800"), mine(2, "Bank 500 an Kasse 500")},
         "B1 richtig L2, 1/1"},
    };
    return all;
}

TEST(Check, MatchingRules) {
    for (const Case& c : cases()) {
        Solution solution{.exercise = c.exercise, .chart = 1, .chartName = "", .bookings = c.solution, .cases = {}, .controls = {}};
        test::add_cases(solution);
        LearnerBooks learner{.chart = c.learnerChart, .bookings = c.learner, .values = {}, .valuesOf = {}};
        const CheckResult result = check(solution, learner);
        EXPECT_EQ(test::summary(result, solution, learner), c.want) << c.name;
    }
}

TEST(Check, AllRightOnlyWithoutAnyFindingEarlierOnesIncluded) {
    Solution solution{.exercise = 2, .chart = 1, .chartName = "",
                      .bookings = {expected(1, "Kasse 100 an Eigenkapital 100", 1), expected(2, "Bank 50 an Kasse 50", 2)},
                      .cases = {}, .controls = {}};
    test::add_cases(solution);
    LearnerBooks learner{.chart = 1, .bookings = {mine(1, "Kasse 100 an Eigenkapital 100"), mine(2, "Bank 50 an Kasse 50")},
                         .values = {}, .valuesOf = {}};
    EXPECT_TRUE(check(solution, learner).all_right());
    learner.bookings = {mine(2, "Bank 50 an Kasse 50")};
    const CheckResult result = check(solution, learner);
    EXPECT_EQ(result.points, result.maxPoints);
    EXPECT_FALSE(result.all_right());
}

TEST(Check, ControlValuesEarnPointsAndEarlierOnesCostNothing) {
    Solution solution{.exercise = 2, .chart = 1, .chartName = "", .bookings = {expected(1, "Bank 500 an Kasse 500", 2)},
                      .cases = {}, .controls = {{ControlKind::AccountBalance, "Bank", 50000, 2},
                                   {ControlKind::BalanceSheetTotal, "", 100000, 2},
                                   {ControlKind::OperatingResult, "", -2000, 1},
                                   {ControlKind::AccountBalance, "Kasse", 0, 2}}};
    test::add_cases(solution);
    LearnerBooks learner{.chart = 1, .bookings = {mine(1, "Bank 500 an Kasse 500")}, .values = {}, .valuesOf = {}};
    learner.values.balances = {{"Bank", 50000}};
    learner.values.balanceSheetTotal = 90000;
    learner.values.operatingResult = -2500;
    const CheckResult result = check(solution, learner);
    // Kasse has no balance line: it counts as 0 and is right.
    EXPECT_EQ(test::summary(result, solution, learner),
              "B1 richtig L1, K1 richtig, K2 Wert, früher K3 Wert, K4 richtig, 3/4");
    EXPECT_EQ(result.rows[2].computed, 90000);
    EXPECT_FALSE(result.all_right());
}

} // namespace
} // namespace saldorama::checking
