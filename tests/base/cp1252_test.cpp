#include "base/cp1252.h"

#include <gtest/gtest.h>

using namespace saldorama;

TEST(Cp1252, UmlautsAreSingleBytes) {
    EXPECT_EQ(utf8_to_cp1252("Eröffnung"), "Er\xF6" "ffnung");
    EXPECT_EQ(utf8_to_cp1252("ÄÖÜäöüß"), "\xC4\xD6\xDC\xE4\xF6\xFC\xDF");
}

TEST(Cp1252, HighControlRangeMapsToTypographicCharacters) {
    EXPECT_EQ(utf8_to_cp1252("€„“–"), "\x80\x84\x93\x96");
    EXPECT_EQ(cp1252_to_utf8("\x80\x84\x93\x96"), "€„“–");
}

TEST(Cp1252, RoundTripOfEveryAssignedByte) {
    for (int b = 1; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        if (cp1252_code_point(static_cast<unsigned char>(b)) == 0) continue;
        EXPECT_EQ(utf8_to_cp1252(cp1252_to_utf8(one)), one) << "byte " << b;
    }
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(utf8_to_cp1252("a€b✓c😀d"), "a\x80" "b?c?d");
    EXPECT_EQ(utf8_to_cp1252("Ω"), "?");
}

TEST(Cp1252, MalformedUtf8NeverReadsPastTheText) {
    EXPECT_EQ(utf8_to_cp1252("\xC3"), "?");
    EXPECT_EQ(utf8_to_cp1252("a\xE2\x82"), "a??");
    EXPECT_EQ(utf8_to_cp1252("\xFF" "x"), "?x");
}

TEST(Cp1252, UnassignedBytesShowAsQuestionMarks) {
    EXPECT_EQ(cp1252_to_utf8("\x81\x8D"), "??");
}

TEST(Cp1252, LongTextsConvertAsTheirSingleBytesDo) {
    // Every byte at every place of a word, with ASCII before and after it.
    for (int b = 0; b < 256; ++b)
        for (std::size_t at = 0; at < 17; ++at) {
            std::string text = "Konto 1234567890 Kasse";
            text[at] = static_cast<char>(b);
            std::string expected;
            for (const char c : text) expected += cp1252_to_utf8(std::string(1, c));
            ASSERT_EQ(cp1252_to_utf8(text), expected) << "byte " << b << " at " << at;
        }
}
