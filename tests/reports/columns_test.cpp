#include "reports/columns.h"

#include <gtest/gtest.h>

#include "base/cp1252.h"

namespace saldorama {
namespace {

TEST(Printr, PadsShortTextOnTheRight) {
    EXPECT_EQ(printr("Datum", 9), "Datum     ");
    EXPECT_EQ(printr("", 4), "     ");
}

TEST(Printf, PadsShortTextOnTheLeft) {
    EXPECT_EQ(saldorama::printf("Betrag", 10), "     Betrag");
    EXPECT_EQ(saldorama::printf("", 4), "     ");
}

TEST(Columns, TextOfExactWidthGetsOneSpace) {
    EXPECT_EQ(printr("Grund", 5), "Grund ");
    EXPECT_EQ(saldorama::printf("Grund", 5), " Grund");
}

TEST(Columns, LongTextKeepsItsBeginningAndGetsDots) {
    EXPECT_EQ(printr("123456789012", 10), "12345678...");
    EXPECT_EQ(saldorama::printf("123456789012", 10), "12345678...");
}

TEST(Columns, TextOneLongerThanWidthIsAlsoCut) {
    EXPECT_EQ(printr("12345678901", 10), "12345678...");
    EXPECT_EQ(saldorama::printf("10000000,00", 10), "10000000...");
}

TEST(Columns, WidthBelowTwoLeavesOnlyDots) {
    EXPECT_EQ(printr("abc", 1), "...");
    EXPECT_EQ(saldorama::printf("abc", 0), "...");
    EXPECT_EQ(printr("abc", -3), "...");
}

TEST(Columns, UmlautCountsAsOneCharacter) {
    const std::string text = cp("Gebühr");
    EXPECT_EQ(printr(text, 6), text + " ");
    EXPECT_EQ(saldorama::printf(text, 8), "   " + text);
}

TEST(Columns, ColumnIsAlwaysOneWiderThanWidth) {
    for (int width : {4, 9, 20, 25, 10, 22, 30, 36, 37})
        for (std::size_t len : {0u, 3u, 9u, 20u, 40u}) {
            const std::string text(len, 'x');
            EXPECT_EQ(printr(text, width).size(), static_cast<std::size_t>(width + 1));
            EXPECT_EQ(saldorama::printf(text, width).size(), static_cast<std::size_t>(width + 1));
        }
}

} // namespace
} // namespace saldorama
