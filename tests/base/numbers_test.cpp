#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/numbers.h"
#include "support/failure_text.h"

namespace saldorama {
namespace {

using test::failure_text;

TEST(TextToInt, ReadsDecimalWithBlanksAndSign) {
    EXPECT_EQ(text_to_int("0"), 0);
    EXPECT_EQ(text_to_int("2023"), 2023);
    EXPECT_EQ(text_to_int("  7"), 7);
    EXPECT_EQ(text_to_int("+3"), 3);
    EXPECT_EQ(text_to_int("-1"), -1);
    EXPECT_EQ(text_to_int(" -7"), -7);
    EXPECT_EQ(text_to_int("007"), 7);
}

TEST(TextToInt, ReadsHexadecimalAfterDollarOrZeroX) {
    EXPECT_EQ(text_to_int("$1F"), 31);
    EXPECT_EQ(text_to_int("0x10"), 16);
    EXPECT_EQ(text_to_int("-$10"), -16);
    EXPECT_EQ(text_to_int("$ff"), 255);
}

TEST(TextToInt, KeepsToTheSigned32BitRange) {
    EXPECT_EQ(text_to_int("2147483647"), 2147483647);
    EXPECT_EQ(text_to_int("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(failure_text([] { (void)text_to_int("2147483648"); }),
              cp("'2147483648' ist kein gültiger Integerwert"));
    EXPECT_EQ(failure_text([] { (void)text_to_int("99999999999999999999"); }),
              cp("'99999999999999999999' ist kein gültiger Integerwert"));
}

TEST(TextToInt, AnythingElseFailsNamingTheText) {
    for (const char* text : {"", " ", "3 ", "1,5", "abc", "+", "-", "$", "0x", "1e3", "$G", "12a"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(failure_text([&] { (void)text_to_int(text); }),
                  "'" + std::string(text) + cp("' ist kein gültiger Integerwert"));
    }
}

TEST(TextToFloat, ReadsCommaDecimals) {
    EXPECT_EQ(text_to_float("12,5"), 12.5);
    EXPECT_EQ(text_to_float(" -0,05 "), -0.05);
    EXPECT_EQ(text_to_float("+7"), 7.0);
    EXPECT_EQ(text_to_float("1,5E3"), 1500.0);
    EXPECT_EQ(text_to_float("1e-2"), 0.01);
    EXPECT_EQ(text_to_float(",25"), 0.25);
    EXPECT_EQ(text_to_float("3,"), 3.0);
    EXPECT_EQ(text_to_float("2,675"), 2.675);  // correctly rounded: the same binary value
}

TEST(TextToFloat, AnythingElseFailsNamingTheText) {
    for (const char* text : {"", " ", "1.5", "1,2,3", "12,50 \x80", "e5", ",", "1e", "1e+", "--1", "1 2", "INF",
                             "1e400"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(failure_text([&] { (void)text_to_float(text); }),
                  "'" + std::string(text) + cp("' ist kein gültiger Gleitkommawert"));
    }
}

TEST(TextToFloat, ParseFloatAnswersWithoutFailing) {
    double v = 42;
    EXPECT_FALSE(parse_float("x", v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(parse_float("1,25", v));
    EXPECT_EQ(v, 1.25);
}

TEST(FloatToText, WritesTheShortestFormWithAComma) {
    EXPECT_EQ(float_to_text(100), "100");
    EXPECT_EQ(float_to_text(12.5), "12,5");
    EXPECT_EQ(float_to_text(0.05), "0,05");
    EXPECT_EQ(float_to_text(0), "0");
    EXPECT_EQ(float_to_text(-0.0), "0");
    EXPECT_EQ(float_to_text(-12.34), "-12,34");
    EXPECT_EQ(float_to_text(1234.56), "1234,56");
    EXPECT_EQ(float_to_text(0.00001), "0,00001");
}

TEST(FloatToText, RoundsToFifteenSignificantDigits) {
    EXPECT_EQ(float_to_text(0.1 + 0.2), "0,3");
    EXPECT_EQ(float_to_text(2.675), "2,675");
    EXPECT_EQ(float_to_text(1.0 / 3.0), "0,333333333333333");
    EXPECT_EQ(float_to_text(999999999999999.0), "999999999999999");
    EXPECT_EQ(float_to_text(12345678901234.56), "12345678901234,6");
}

TEST(FloatToText, UsesAnExponentForVeryLargeAndSmallValues) {
    EXPECT_EQ(float_to_text(1e15), "1E15");
    EXPECT_EQ(float_to_text(1e20), "1E20");
    EXPECT_EQ(float_to_text(1.5e-6), "1,5E-6");
    EXPECT_EQ(float_to_text(-2.5e16), "-2,5E16");
}

TEST(FloatToText, ReadsBackToTheSameCents) {
    for (double v : {0.01, 19.99, 1234.56, 99999.99, 0.3, 2147483647.99}) {
        SCOPED_TRACE(v);
        EXPECT_EQ(text_to_float(float_to_text(v)), v);
    }
}

// Thousands dots only where they group the whole euros by three.
TEST(TypedAmount, AcceptsDotsThatGroupAndRefusesAllOthers) {
    const struct {
        const char* text;
        const char* plain;  // nullptr: refused
    } cases[] = {{"1.200,00", "1200,00"}, {"12.000", "12000"}, {"1.234.567,89", "1234567,89"},
                 {"-1.200,5", "-1200,5"}, {"123.456", "123456"}, {"1200,00", "1200,00"}, {"12,5", "12,5"},
                 {"1.20", nullptr}, {"12.00,5", nullptr}, {".500", nullptr}, {"1234.567", nullptr},
                 {"1.2345", nullptr}, {"1,200.00", nullptr}, {"1.200,0.0", nullptr}, {"1.200,00 \x80", nullptr},
                 {"1 200,00", nullptr}, {"1..200", nullptr}, {"zehn", nullptr}, {"", nullptr}};
    for (const auto& c : cases) {
        const auto plain = typed_amount(c.text);
        EXPECT_EQ(plain.has_value(), c.plain != nullptr) << c.text;
        if (plain && c.plain) {
            EXPECT_EQ(*plain, c.plain) << c.text;
        }
    }
    EXPECT_EQ(amount_unreadable("1.20", "Kasse"), cp("„1.20“ ist kein Betrag (Kasse). So schreiben: 1200,00 oder 1.200,00."));
}

} // namespace
} // namespace saldorama

TEST(PutDigitsBefore, WritesWhatToStringWrites) {
    for (const std::uint64_t value : {0ULL, 7ULL, 10ULL, 99ULL, 100ULL, 101ULL, 999ULL, 1000ULL, 123456789ULL,
                                      18446744073709551615ULL}) {
        char buffer[24];
        char* const end = buffer + sizeof buffer;
        char* begin = saldorama::put_digits_before(end, value);
        EXPECT_EQ(std::string(begin, end), std::to_string(value));
    }
}
