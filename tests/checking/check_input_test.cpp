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

TEST(LearnerBookings, GiveBackEachBookingAsAddedAcrossBlocks) {
    const std::vector<LearnerBooking> kinds = {
        {1, "15.03.2026", {{"Bank", Side::Soll, 50000}, {"Kasse", Side::Haben, 50000}}},
        {7, "", {}},
        {2147483648LL, "31.12.9999", {{"Kasse", Side::Soll, -5}, {"Miete", Side::Haben, 99999999999999999}}},
        {-3, "01.01.0000", {{cp("Büro"), Side::Haben, INT64_MIN}, {"Bank", Side::Soll, INT64_MAX}}},
        {INT64_MIN, "1.3.2026", {{"", Side::Soll, 1}}},
        {INT64_MAX, "00.01.2026", {}},
        {6, "15.13.2026", {{"Bank", Side::Soll, 1}, {"Bank", Side::Soll, 2}, {"Bank", Side::Haben, 0}}},
        {8, "15-03-2026", {}},
        {9, "31.02.2026", {}},
    };
    LearnerBookings books;
    const std::size_t count = 70001;  // more than one block
    for (std::size_t j = 0; j < count; ++j) books.push_back(kinds[j % kinds.size()]);
    ASSERT_EQ(books.size(), count);
    for (std::size_t j : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{4}, std::size_t{5},
                          std::size_t{6}, std::size_t{7}, std::size_t{8}, std::size_t{65535}, std::size_t{65536}, count - 1}) {
        EXPECT_EQ(books[j], kinds[j % kinds.size()]) << j;
        EXPECT_EQ(books.number(j), kinds[j % kinds.size()].number) << j;
    }
    // A date's code is the same exactly where the text is.
    for (std::size_t a = 0; a < kinds.size(); ++a) {
        EXPECT_EQ(books.code_of_date(kinds[a].date), books.date_code(a)) << a;
        for (std::size_t b = 0; b < kinds.size(); ++b)
            EXPECT_EQ(books.date_code(a) == books.date_code(b + 65536 - 65536 % kinds.size()), a == b) << a << " " << b;
    }
    EXPECT_EQ(books.code_of_date("2.3.2026"), std::nullopt);  // no booking carries it
}

} // namespace
} // namespace saldorama::checking
