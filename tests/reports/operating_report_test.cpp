#include "reports/operating_report.h"

#include <gtest/gtest.h>

#include "report_fixtures.h"

namespace saldorama {
namespace {

using test::chart_of;
using test::expect_golden;
using test::transfer;

std::vector<std::string> standard_operating(const std::vector<BookingRecord>& bookings, bool showZero = false) {
    return operating_report(chart_of(test::standard_chart_lines()), bookings, test::muster_company(), showZero);
}

std::vector<BookingRecord> profit_bookings() {
    return {transfer(0, "Mieten", "Kasse", 300), transfer(1, "Bank", "Umsatzerloese", 500),
            transfer(2, "Zinsaufwand", "Bank", 20), transfer(3, "Kasse", "Zinsertraege", 70)};
}

std::vector<BookingRecord> loss_bookings() {
    return {transfer(0, "Mieten", "Kasse", 500), transfer(1, "Kasse", "Umsatzerloese", 300),
            transfer(2, "Zinsaufwand", "Bank", 80), transfer(3, "Bank", "Zinsertraege", 30),
            transfer(4, "Sonstiges", "Sonstiges2", 999)};
}

TEST(OperatingReport, NoBookingsShowsBothHalvesWithZeroSums) {
    expect_golden("operating_no_bookings.txt", standard_operating({}));
}

TEST(OperatingReport, ZeroAccountsAreListedWithTheOption) {
    expect_golden("operating_zero_shown.txt", standard_operating({}, true));
}

TEST(OperatingReport, ProfitStandsOnTheSollSideOfEachHalf) {
    expect_golden("operating_profit_200.txt", standard_operating(profit_bookings()));
}

TEST(OperatingReport, LossStandsOnTheHabenSideAndUnknownAccountsCountNowhere) {
    expect_golden("operating_loss_200.txt", standard_operating(loss_bookings()));
}

TEST(BerechneGewinn, CreditsMinusDebitsOfOperatingLinesOnly) {
    const auto chart = chart_of(test::standard_chart_lines());
    EXPECT_EQ(BerechneGewinn(chart, profit_bookings()), 200.0);
    EXPECT_EQ(BerechneNeutral(chart, profit_bookings()), 50.0);
    EXPECT_EQ(BerechneGewinn(chart, loss_bookings()), -200.0);
    EXPECT_EQ(BerechneNeutral(chart, loss_bookings()), -50.0);
}

TEST(BerechneNeutral, SpecialAndOddlyMarkedBalanceAccountsAreNeutral) {
    // "Privat" (V) and "Kasse" with a blank class letter both read as neutral.
    const auto chart = chart_of({"Kasse<B> A   ", "Privat<V> H  N", "Mieten<G> A  B"});
    const std::vector<BookingRecord> bookings = {transfer(0, "Privat", "Kasse", 40), transfer(1, "Mieten", "Kasse", 5)};
    EXPECT_EQ(BerechneNeutral(chart, bookings), 5.0);  // -40 + 40 + 5
    EXPECT_EQ(BerechneGewinn(chart, bookings), -5.0);
}

TEST(BerechneGewinn, NameListedTwiceWithBothClassesCountsForBoth) {
    const auto chart = chart_of({"Doppelt<G> A  B", "Doppelt<G> A  N"});
    const std::vector<BookingRecord> bookings = {transfer(0, "Doppelt", "Kasse", 12)};
    EXPECT_EQ(BerechneGewinn(chart, bookings), -12.0);
    EXPECT_EQ(BerechneNeutral(chart, bookings), -12.0);
}

TEST(BerechneGewinn, EmptyAccountSlotsAndUnknownNamesCountNothing) {
    const auto chart = chart_of(test::standard_chart_lines());
    BookingRecord r = transfer(0, "mieten", "Mieten ", 100);  // case and trailing blank differ
    EXPECT_EQ(BerechneGewinn(chart, {r}), 0.0);
    EXPECT_EQ(BerechneNeutral(chart, {r}), 0.0);
}

} // namespace
} // namespace saldorama
