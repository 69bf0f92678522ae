#include "checking/check_input.h"

#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "check_fixtures.h"
#include "support/failure_text.h"

namespace saldorama::checking {
namespace {

TEST(Cents, StoredAmountsRoundAsTheProgramShowsThem) {
    EXPECT_EQ(cents_of(1234.5), 123450);
    EXPECT_EQ(cents_of(0.1 + 0.2), 30);
    EXPECT_EQ(cents_of(-0.05), -5);
    EXPECT_EQ(cents_of(0.004), 0);
    EXPECT_EQ(cents_of(10.375), 1038);  // 10,375 is stored just above the half
    EXPECT_EQ(cents_of(1e13), 1000000000000000);
    EXPECT_EQ(cents_of_text("12,5"), 1250);
    EXPECT_EQ(cents_of_text(""), 0);
    EXPECT_EQ(test::failure_text([] { (void)cents_of_text(cp("zwölf")); }),
              cp("'zwölf' ist kein gültiger Gleitkommawert"));
    EXPECT_EQ(cents_of(999999999999999.0), 99999999999999900);
    EXPECT_EQ(test::failure_text([] { (void)cents_of(1e15); }),
              cp("Der Betrag 1000000000000000,00 ist zu groß für die Prüfung"));
    EXPECT_EQ(test::failure_text([] { (void)cents_of(-1e300); }).substr(0, 11), "Der Betrag ");
}

TEST(Cents, WrittenWithCommaAndTwoDigits) {
    EXPECT_EQ(cents_text(123450), "1234,50");
    EXPECT_EQ(cents_text(-5), "-0,05");
    EXPECT_EQ(cents_text(0), "0,00");
    EXPECT_EQ(cents_text(INT64_MIN), "-92233720368547758,08");
}

TEST(NormalForm, SumsSameAccountAndSideDropsZeroAndSorts) {
    const std::vector<BookingLine> lines = {{"Kasse", Side::Soll, 200},  {"Bank", Side::Haben, 500},
                                            {"Kasse", Side::Soll, 300},  {"Kasse", Side::Haben, 100},
                                            {"Zinsen", Side::Soll, 40},  {"Zinsen", Side::Soll, -40}};
    const std::vector<BookingLine> want = {{"Bank", Side::Haben, 500}, {"Kasse", Side::Soll, 500},
                                           {"Kasse", Side::Haben, 100}};
    EXPECT_EQ(normal_form(lines), want);
    const std::vector<BookingLine> inOrder = {{"Kasse", Side::Soll, 500}, {"Bank", Side::Haben, 500},
                                              {"Kasse", Side::Haben, 100}};
    EXPECT_EQ(summed_in_order(lines), inOrder);
}

TEST(LearnerBookingOf, StoredRecordGivesNumberDateAndLinesNotZero) {
    BookingRecord r;
    r.number = 6;
    r.date = "15.03.2026";
    r.account = {"Bank", "Kasse", "Miete", "", ""};
    r.debit = {500.0, 0, 0.001, 0, 0};
    r.credit = {0, 499.995, 20.0, 0, 0};
    const LearnerBooking b = learner_booking(r);
    EXPECT_EQ(b.number, 7);
    EXPECT_EQ(b.date, "15.03.2026");
    const std::vector<BookingLine> want = {{"Bank", Side::Soll, 50000}, {"Kasse", Side::Haben, 50000},
                                           {"Miete", Side::Haben, 2000}};
    EXPECT_EQ(b.lines, want);
    r.number = INT32_MAX;  // a damaged file's number does not overflow
    EXPECT_EQ(learner_booking(r).number, 2147483648LL);
}

} // namespace
} // namespace saldorama::checking
