#include "reports/account_sheet.h"

#include <gtest/gtest.h>

#include "report_fixtures.h"

namespace saldorama {
namespace {

using test::booking;
using test::expect_golden;

std::vector<std::string> render(const TAccount& t) { return test::render_t_account(t.soll, t.haben); }

BookingRecord one(int number, const std::string& reason, std::vector<test::Line> lines) {
    return booking(number, "01.01.2026", "Muster", reason, lines);
}

TEST(AccountSheet, AccountWithoutBookingsHasSumsInRowOne) {
    const TAccount t = account_sheet("Kasse", {one(0, "Fremd", {{"Bank", 5, 0}, {"Mieten", 0, 5}})});
    expect_golden("taccount_no_bookings.txt", render(t));
}

TEST(AccountSheet, ClosingBalanceOnHabenSideWhenDebitsAreLarger) {
    const TAccount t = account_sheet("Kasse", {
        one(0, "Einlage", {{"Kasse", 100, 0}, {"Eigenkapital", 0, 100}}),
        one(1, "Verkauf", {{"Umsatzerloese", 0, 50}, {"Kasse", 50, 0}}),
        one(2, "Porto", {{"Mieten", 30, 0}, {"Kasse", 0, 30}}),
        // Other case and a trailing blank are other accounts.
        one(3, "Fremd", {{"kasse", 7, 0}, {"Kasse ", 0, 7}}),
    });
    expect_golden("taccount_debit_side_longer.txt", render(t));
}

TEST(AccountSheet, ClosingBalanceOnSollSideWhenCreditsAreLarger) {
    const TAccount t = account_sheet("Kasse", {
        one(0, "Einlage", {{"Kasse", 40, 0}, {"Eigenkapital", 0, 40}}),
        one(1, "Miete", {{"Mieten", 100, 0}, {"Kasse", 0, 100}}),
        one(2, "Porto", {{"Mieten", 20, 0}, {"Kasse", 0, 20}}),
    });
    expect_golden("taccount_credit_side_longer.txt", render(t));
}

TEST(AccountSheet, EqualSidesHaveNoClosingBalance) {
    const TAccount t = account_sheet("Kasse", {
        one(0, "Einlage", {{"Kasse", 70, 0}, {"Eigenkapital", 0, 70}}),
        one(1, "Miete", {{"Mieten", 30, 0}, {"Kasse", 0, 30}}),
        one(2, "Porto", {{"Mieten", 40, 0}, {"Kasse", 0, 40}}),
    });
    expect_golden("taccount_equal_sides.txt", render(t));
}

TEST(AccountSheet, LineWithBothAmountsShowsOnBothSides) {
    const TAccount t = account_sheet("Kasse", {one(0, "Umbuchung", {{"Kasse", 25, 10}, {"Bank", 0, 15}})});
    expect_golden("taccount_both_amounts.txt", render(t));
}

TEST(AccountSheet, LongNumberReasonAndAmountAreCut) {
    const TAccount t = account_sheet("Kasse", {one(12344, "Rechnung Nummer 4711 vom Januar",
                                                   {{"Kasse", 12e6, 0}, {"Eigenkapital", 0, 12e6}})});
    expect_golden("taccount_long_values.txt", render(t));
}

TEST(AccountSheet, ManyLinesGoBeyondRowNinetyNine) {
    std::vector<BookingRecord> bookings;
    for (int n = 0; n < 120; ++n) bookings.push_back(one(n, "Einnahme", {{"Kasse", 1, 0}, {"Umsatzerloese", 0, 1}}));
    const TAccount t = account_sheet("Kasse", bookings);
    ASSERT_EQ(t.soll.size(), 122u);
    EXPECT_EQ(t.soll[120].substr(0, 5), "120  ");
    EXPECT_EQ(t.haben[1].substr(0, 6), "      ");  // closing balance of 120 in row 1
    EXPECT_EQ(t.soll[121], "Summe:" + std::string(25, ' ') + "120,00");
    EXPECT_EQ(t.haben[121], "Summe: " + std::string(25, ' ') + "120,00");
}

} // namespace
} // namespace saldorama
