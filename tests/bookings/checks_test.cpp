#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

#include "base/cp1252.h"
#include "base/failure.h"
#include "bookings/checks.h"
#include "support/failure_text.h"

namespace saldorama {
namespace {

using test::failure_text;

std::string integer_failure(const std::string& bad) { return "'" + bad + cp("' ist kein gültiger Integerwert"); }

TEST(Checkdate, GivesTheWorkedExamples) {
    const std::pair<const char*, const char*> table[] = {
        {"24.12.2023", "24.12.2023"}, {"24.12.23", "24.12.2023"},   {"241223", "24.12.2023"},
        {"2412", "24.12.2023"},       {"0105", "01.05.2023"},       {"31.02.2023", "31.02.2023"},
        {"00.00.2023", "00.00.2023"}, {"991399", "99.13.2099"},     {"32.01.2023", "00.00.0000"},
        {"15.13.23", "00.00.0000"},   {"15.06.1899", "00.00.0000"}, {"15.06.", "00.00.0000"},
        {"1.1.2023", "00.00.0000"},   {"24-12-2023", "00.00.0000"}, {"", "00.00.0000"},
    };
    for (const auto& [typed, result] : table) EXPECT_EQ(checkdate(typed, 2023), result) << typed;
}

TEST(Checkdate, FourCharactersTakeTheBookingYear) {
    EXPECT_EQ(checkdate("2412", 2024), "24.12.2024");
    EXPECT_EQ(checkdate("9999", 2024), "99.99.2024");  // no range check in this form
    EXPECT_EQ(checkdate("0101", 123456), "01.01.1234");  // year cut to four characters
    EXPECT_EQ(checkdate("0101", 7), "01.01.7");
}

TEST(Checkdate, SixDigitsAreAcceptedWithoutRangeCheck) {
    EXPECT_EQ(checkdate("010100", 2023), "01.01.2000");
    EXPECT_EQ(checkdate("999999", 2023), "99.99.2099");
    EXPECT_EQ(checkdate("000000", 2023), "00.00.2000");
}

TEST(Checkdate, DottedFormsAreRangeChecked) {
    EXPECT_EQ(checkdate("99.99.99", 2023), "00.00.0000");
    EXPECT_EQ(checkdate("31.12.1900", 2023), "31.12.1900");
    EXPECT_EQ(checkdate("00.00.00", 2023), "00.00.2000");
    EXPECT_EQ(checkdate("31.12.99", 2023), "31.12.2099");
    EXPECT_EQ(checkdate("01.01.9999", 2023), "01.01.9999");
    EXPECT_EQ(checkdate("12.10.12", 2023), "12.10.2012");
}

TEST(Checkdate, OtherLengthsAndMisplacedDotsAreRejected) {
    for (const char* typed : {"1", "123", "12345", "1234567", "123456789", "12345678901", "24.122023", "2412.2023",
                              "24122023", "2412202300"})
        EXPECT_EQ(checkdate(typed, 2023), "00.00.0000") << typed;
}

TEST(Checkdate, ANonDigitNamesTheFirstBadCharacter) {
    EXPECT_EQ(failure_text([] { (void)checkdate("ab.12.2023", 2023); }), integer_failure("a"));
    EXPECT_EQ(failure_text([] { (void)checkdate("24.12.20x3", 2023); }), integer_failure("x"));
    EXPECT_EQ(failure_text([] { (void)checkdate(" 1.01.23", 2023); }), integer_failure(" "));
    EXPECT_EQ(failure_text([] { (void)checkdate("2x1y", 2023); }), integer_failure("x"));
    EXPECT_EQ(failure_text([] { (void)checkdate("12.ab.2023", 2023); }), integer_failure("a"));
    EXPECT_EQ(failure_text([] { (void)checkdate("24.12.yz23", 2023); }), integer_failure("y"));
    EXPECT_EQ(failure_text([] { (void)checkdate("1.0623", 2023); }), integer_failure("."));
    // The six-character dotted form fails on its digits before it is rejected.
    EXPECT_EQ(failure_text([] { (void)checkdate("1a.06.", 2023); }), integer_failure("a"));
}

TEST(TypedDate, AcceptsTheFormsALearnerTypes) {
    const std::pair<const char*, const char*> table[] = {
        {"24.12.2026", "24.12.2026"}, {"24.12.26", "24.12.2026"}, {"241226", "24.12.2026"}, {"2412", "24.12.2023"},
        {"5.1.2026", "05.01.2026"},   {"5.1.26", "05.01.2026"},   {"05.1.26", "05.01.2026"}, {"5.01.2026", "05.01.2026"},
        {"29.02.2024", "29.02.2024"}, {"31.12.1900", "31.12.1900"}, {"0105", "01.05.2023"}};
    for (const auto& [typed, date] : table) EXPECT_EQ(typed_date(typed, 2023).value_or("none"), date) << typed;
    EXPECT_EQ(typed_date("2902", 2024).value_or("none"), "29.02.2024");
}

TEST(TypedDate, RefusesDatesThatDoNotExistOrCannotBeRead) {
    for (const char* typed : {"31.02.2026", "29.02.2023", "991399", "31.04.26", "00.01.2026", "1.0.2026", "32.1.26",
                              "1.13.26", "15.06.1899", "15.06.", "1.1.", "1.1.202", "1..26", "1.1.2026.", "123.1.26",
                              "ab.12.2023", "24.12.20x3", " 1.01.23", "24-12-2023", "01012026", "121", "+1.1.26", ""})
        EXPECT_FALSE(typed_date(typed, 2023).has_value()) << typed;
    EXPECT_FALSE(typed_date("2902", 2023).has_value());  // 29 February in a year that has none
    EXPECT_FALSE(typed_date("0101", 1899).has_value());
}

TEST(AmountRange, EndsBelowTwoToTheThirtyFirstEuros) {
    EXPECT_TRUE(amount_in_range(2147483647.99));
    EXPECT_TRUE(amount_in_range(-2147483647.99));
    EXPECT_FALSE(amount_in_range(2147483648.0));
    EXPECT_FALSE(amount_in_range(-2147483648.0));
    EXPECT_FALSE(amount_in_range(1e308));
    EXPECT_FALSE(amount_in_range(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(amount_in_range(std::numeric_limits<double>::quiet_NaN()));
}

TEST(Checkmoney, GivesTheWorkedExamples) {
    const std::pair<const char*, const char*> table[] = {
        {"", "0,00"},          {"0", "0,00"},         {"5", "5,00"},        {"5,5", "5,50"},
        {"5,05", "5,05"},      {"1234,567", "1234,57"}, {"1,999", "2,00"},   {"0,125", "0,12"},
        {"0,375", "0,38"},     {"2,675", "2,67"},     {"12,345", "12,35"},  {"99,995", "100,00"},
        {"-5", "-5,00"},       {"-12,34", "-12,34"},  {"-0,001", "0,00"},
    };
    for (const auto& [text, result] : table) EXPECT_EQ(checkmoney(text), result) << text;
}

TEST(Checkmoney, RoundsByTheBinaryValueNotTheDecimalText) {
    EXPECT_EQ(checkmoney("0,995"), "0,99");
    EXPECT_EQ(checkmoney("1,005"), "1,00");
    EXPECT_EQ(checkmoney("0,005"), "0,01");
    EXPECT_EQ(checkmoney("10,375"), "10,38");  // exact half, to the even cent
    EXPECT_EQ(checkmoney("10,385"), "10,38");  // binary value just below
    EXPECT_EQ(checkmoney("-2,675"), "-2,67");
    EXPECT_EQ(checkmoney("-0,005"), "-0,01");
}

TEST(Checkmoney, AcceptsBlanksSignsAndExponents) {
    EXPECT_EQ(checkmoney(" 5 "), "5,00");
    EXPECT_EQ(checkmoney("+5"), "5,00");
    EXPECT_EQ(checkmoney("1,5E3"), "1500,00");
    EXPECT_EQ(checkmoney("25e-1"), "2,50");
    EXPECT_EQ(checkmoney(",5"), "0,50");
    EXPECT_EQ(checkmoney("5,"), "5,00");
    EXPECT_EQ(checkmoney("1234,5"), "1234,50");
    EXPECT_EQ(checkmoney("2147483647,99"), "2147483647,99");
}

TEST(Checkmoney, ATextThatIsNoNumberFailsNamingTheWholeText) {
    const auto expect_float_failure = [](const std::string& text) {
        EXPECT_EQ(failure_text([&] { (void)checkmoney(text); }), "'" + text + cp("' ist kein gültiger Gleitkommawert"));
    };
    expect_float_failure(cp("12,50 €"));
    expect_float_failure("1.250,00");
    expect_float_failure("1,2,3");
    expect_float_failure("abc");
    expect_float_failure(" ");
    expect_float_failure("-");
    expect_float_failure("1e");
}

TEST(IstBetrag, KeepsTextsOfDigitsAndCommasOnly) {
    EXPECT_EQ(ist_betrag("1250,00"), "1250,00");
    EXPECT_EQ(ist_betrag("1.250,00"), "0,00");
    EXPECT_EQ(ist_betrag("-5"), "0,00");
    EXPECT_EQ(ist_betrag("1,2,3"), "1,2,3");
    EXPECT_EQ(ist_betrag(""), "");
    EXPECT_EQ(ist_betrag(" 5"), "0,00");
    EXPECT_EQ(ist_betrag(",,"), ",,");
}

TEST(AmountText, WritesStoredAmountsWithTwoCents) {
    EXPECT_EQ(amount_text(1234.5), "1234,50");
    EXPECT_EQ(amount_text(0), "0,00");
    EXPECT_EQ(amount_text(-12.34), "-12,34");
    // 0.1 + 0.2 is written with 15 digits first, so it shows as 0,30.
    EXPECT_EQ(amount_text(0.1 + 0.2), "0,30");
}

TEST(RoundToCents, GivesWholeCents) {
    EXPECT_EQ(round_to_cents(2.671), 2.67);
    EXPECT_EQ(round_to_cents(0.125), 0.12);
    EXPECT_EQ(round_to_cents(1234.5678), 1234.57);
    EXPECT_EQ(round_to_cents(12.5), 12.5);
    EXPECT_EQ(round_to_cents(-1.234), -1.23);
    EXPECT_EQ(round_to_cents(round_to_cents(19.99)), round_to_cents(19.99));
}

TEST(FieldAmount, EmptyIsZeroAndNumbersAreRoundedToCents) {
    EXPECT_EQ(field_amount(""), 0.0);
    EXPECT_EQ(field_amount("12,345"), 12.35);
    EXPECT_EQ(field_amount("5"), 5.0);
    EXPECT_THROW((void)field_amount("x"), Failure);
}

} // namespace
} // namespace saldorama
