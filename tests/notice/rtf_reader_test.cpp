#include "notice/rtf_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace saldorama;

namespace {

std::string text_of(const RtfParagraph& p) {
    std::string s;
    for (const RtfRun& r : p.runs) s += r.text;
    return s;
}

std::vector<std::string> paragraphs(const RtfDocument& doc) {
    std::vector<std::string> out;
    for (const RtfParagraph& p : doc.paragraphs) out.push_back(text_of(p));
    return out;
}

// The whole text, paragraphs separated by '|'.
std::string flat(const RtfDocument& doc) {
    std::string s;
    for (std::size_t i = 0; i < doc.paragraphs.size(); ++i) s += (i ? "|" : "") + text_of(doc.paragraphs[i]);
    return s;
}

std::string flat(std::string_view rtf) { return flat(read_rtf(rtf)); }

} // namespace

TEST(ReadRtf, FormattingWordsStartNewRuns) {
    const RtfDocument doc = read_rtf(R"({\rtf1 a\b b\i c\b0 d\i0\ul e\ulnone f\ul g\ul0 h\b\fs40 i})");
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    const auto& r = doc.paragraphs[0].runs;
    ASSERT_EQ(r.size(), 9u);
    EXPECT_EQ(text_of(doc.paragraphs[0]), "abcdefghi");
    EXPECT_FALSE(r[0].bold || r[0].italic || r[0].underline);
    EXPECT_TRUE(r[1].bold && !r[1].italic);
    EXPECT_TRUE(r[2].bold && r[2].italic);
    EXPECT_TRUE(!r[3].bold && r[3].italic);
    EXPECT_TRUE(r[4].underline && !r[4].italic);
    EXPECT_FALSE(r[5].underline);
    EXPECT_TRUE(r[6].underline);
    EXPECT_FALSE(r[7].underline);
    EXPECT_EQ(r[7].fontSizeHalfPoints, 24);
    EXPECT_TRUE(r[8].bold);
    EXPECT_EQ(r[8].fontSizeHalfPoints, 40);
}

TEST(ReadRtf, GroupEndRestoresFormatting) {
    const RtfDocument doc =
        read_rtf(R"({\rtf1{\colortbl;\red255\green0\blue0;}a{\b\i\ul\fs40\cf1 b{\b0\fs20 c}d}e})");
    const auto& r = doc.paragraphs.at(0).runs;
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(text_of(doc.paragraphs[0]), "abcde");
    EXPECT_TRUE(r[1].bold && r[1].italic && r[1].underline && r[1].hasColor);
    EXPECT_EQ(r[1].fontSizeHalfPoints, 40);
    EXPECT_TRUE(!r[2].bold && r[2].italic && r[2].hasColor);
    EXPECT_EQ(r[2].fontSizeHalfPoints, 20);
    EXPECT_TRUE(r[3].bold && r[3].italic && r[3].hasColor);
    EXPECT_EQ(r[3].fontSizeHalfPoints, 40);
    EXPECT_TRUE(!r[4].bold && !r[4].italic && !r[4].underline && !r[4].hasColor);
    EXPECT_EQ(r[4].fontSizeHalfPoints, 24);
}

TEST(ReadRtf, PlainResetsCharacterFormattingButNotAlignment) {
    const RtfDocument doc =
        read_rtf(R"({\rtf1\deff0{\fonttbl{\f0 Arial;}{\f1 Courier New;}}\qc\f1\b\i\ul\fs40 x\plain y})");
    const auto& r = doc.paragraphs.at(0).runs;
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].fontName, "Courier New");
    EXPECT_EQ(r[1].text, "y");
    EXPECT_EQ(r[1].fontName, "Arial");  // \plain goes back to the default font
    EXPECT_FALSE(r[1].bold || r[1].italic || r[1].underline);
    EXPECT_EQ(r[1].fontSizeHalfPoints, 24);
    EXPECT_EQ(doc.paragraphs[0].align, RtfAlign::Center);
}

TEST(ReadRtf, ParEndsParagraphAndTrailingEmptyOnesAreDropped) {
    EXPECT_EQ(paragraphs(read_rtf(R"({\rtf1 one\par two\par\par four\par\par})")),
              (std::vector<std::string>{"one", "two", "", "four"}));
    EXPECT_EQ(paragraphs(read_rtf(R"({\rtf1 a\tab b\line c})")), (std::vector<std::string>{"a\tb\nc"}));
}

TEST(ReadRtf, AlignmentInForceAtParBelongsToParagraph) {
    const RtfDocument doc = read_rtf(
        R"({\rtf1\qc centre\par right\qr\par\pard left\par\qj just\par\pard{\qr inner}\par\qr last})");
    ASSERT_EQ(doc.paragraphs.size(), 6u);
    EXPECT_EQ(doc.paragraphs[0].align, RtfAlign::Center);
    EXPECT_EQ(doc.paragraphs[1].align, RtfAlign::Right);
    EXPECT_EQ(doc.paragraphs[2].align, RtfAlign::Left);
    EXPECT_EQ(doc.paragraphs[3].align, RtfAlign::Justify);
    EXPECT_EQ(doc.paragraphs[4].align, RtfAlign::Left);  // the group ended before \par
    EXPECT_EQ(doc.paragraphs[5].align, RtfAlign::Right);
}

TEST(ReadRtf, HexEscapesAreCp1252Bytes) {
    EXPECT_EQ(flat(R"({\rtf1 M\'e4rz \'C4\'80})"), "M\xE4rz \xC4\x80");
}

TEST(ReadRtf, UnicodeSkipsItsFallback) {
    EXPECT_EQ(flat(R"({\rtf1 M\u228?rz})"), "M\xE4rz");
    EXPECT_EQ(flat(R"({\rtf1 M\u228\'e4rz})"), "M\xE4rz");  // a \'hh counts as one character
    EXPECT_EQ(flat(R"({\rtf1\uc2 M\u228 aerz})"), "M\xE4rz");
    EXPECT_EQ(flat(R"({\rtf1\uc0 M\u228 rz})"), "M\xE4rz");
    EXPECT_EQ(flat(R"({\rtf1{\uc0\u228}\u252?x})"), "\xE4\xFCx");  // \uc ends with its group
    EXPECT_EQ(flat(R"({\rtf1{\u228}x})"), "\xE4x");                // the skip stops at a brace
}

TEST(ReadRtf, UnicodeOutsideCp1252) {
    EXPECT_EQ(flat(R"({\rtf1\u8364?\u8222?\u8482?})"), "\x80\x84\x99");
    EXPECT_EQ(flat(R"({\rtf1 a\u1071?b\u20013?c\u150?})"), "a?b?c?");
    // Negative numbers are the upper half of 16 bits: one emoji as a surrogate pair gives one '?'.
    EXPECT_EQ(flat(R"({\rtf1\u-10179?\u-8704?x})"), "?x");
}

TEST(ReadRtf, ControlSymbolsAndCharacterWords) {
    EXPECT_EQ(flat(R"({\rtf1 \\\{\}\~a\-b\_\emdash\bullet\ldblquote\rdblquote})"),
              "\\{}\xA0" "ab-\x97\x95\x93\x94");
}

TEST(ReadRtf, FontTableNamesRuns) {
    const RtfDocument doc = read_rtf(
        R"({\rtf1{\fonttbl{\f0\froman\fcharset0 Times New Roman;})"
        R"({\f1\fswiss{\*\panose 020b0604020202020204}Arial{\*\falt Helvetica};}\f2 Courier;{\f3 Symbol}})"
        R"(\f1 a\f0 b\f7 c\f2 d\f3 e})");
    const auto& r = doc.paragraphs.at(0).runs;
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(text_of(doc.paragraphs[0]), "abcde");
    EXPECT_EQ(r[0].fontName, "Arial");
    EXPECT_EQ(r[1].fontName, "Times New Roman");
    EXPECT_EQ(r[2].fontName, "");
    EXPECT_EQ(r[3].fontName, "Courier");
    EXPECT_EQ(r[4].fontName, "Symbol");  // the closing ';' may be missing
}

TEST(ReadRtf, ColorTableGivesRgbAndAutoEntry) {
    const RtfDocument doc = read_rtf(
        R"({\rtf1{\colortbl;\red255\green0\blue0;\red0\green128\blue255;}\cf1 r\cf2 g\cf0 a\cf9 x})");
    const auto& r = doc.paragraphs.at(0).runs;
    ASSERT_EQ(r.size(), 3u);  // "a" and "x" both have no colour
    EXPECT_TRUE(r[0].hasColor);
    EXPECT_EQ(r[0].color, 0xFF0000u);
    EXPECT_EQ(r[1].color, 0x0080FFu);
    EXPECT_FALSE(r[2].hasColor);
    EXPECT_EQ(r[2].text, "ax");
}

TEST(ReadRtf, DestinationsWithoutShownTextAreSkipped) {
    EXPECT_EQ(flat(R"({\rtf1{\*\generator Writer 1.0;}{\info{\title T}{\author A}})"
                   R"({\stylesheet{\s0 Normal;}}{\header H\par}{\footer F}{\*\unknown U}Before )"
                   R"({\pict\pngblip 89504e47}{\object{\*\objdata 01}}{\pict\bin4 }}{{})"
                   R"({\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}} after})"),
              "Before link after");
}

TEST(ReadRtf, UnknownWordsAndSourceLineBreaksAreIgnored) {
    EXPECT_EQ(flat(R"({\rtf1 a\foo b\bar-12 c\verylongcontrolwordthatgoesonandonandonforever d\b  e})"),
              "abcd e");
    EXPECT_EQ(flat("{\\rtf1 ab\r\ncd\ne\\fs20\r\nf}"), "abcdef");
    EXPECT_EQ(flat("{\\rtf1 a\\\r\nb}"), "a|b");  // backslash before a line break is \par
}

TEST(ReadRtf, InputThatIsNotRtfIsPlainText) {
    const RtfDocument doc = read_rtf("Zeile 1\r\nZ\xE4ile {\\b 2}\n\nZeile 4\rZeile 5\r\n\r\n");
    EXPECT_EQ(paragraphs(doc),
              (std::vector<std::string>{"Zeile 1", "Z\xE4ile {\\b 2}", "", "Zeile 4", "Zeile 5"}));
    EXPECT_FALSE(doc.paragraphs[0].runs[0].bold);
    EXPECT_TRUE(read_rtf("").paragraphs.empty());
}

TEST(ReadRtf, TruncatedInputKeepsTextReadSoFar) {
    const RtfDocument doc = read_rtf(R"({\rtf1 Hallo {\b Welt)");
    EXPECT_EQ(flat(doc), "Hallo Welt");
    EXPECT_TRUE(doc.paragraphs[0].runs.back().bold);
    EXPECT_EQ(flat(R"({\rtf1 abc\')"), "abc");
    EXPECT_EQ(flat(R"({\rtf1 abc\'4)"), "abc");
    EXPECT_EQ(flat(R"({\rtf1 a\'zzb})"), "azzb");
    EXPECT_EQ(flat(R"({\rtf1 abc\u)"), "abc");
    EXPECT_EQ(flat(R"({\rtf1 a\u b})"), "ab");
    EXPECT_EQ(flat(R"({\rtf1 abc\)"), "abc");
    EXPECT_EQ(flat(R"({\rtf1 a\pict)"), "a");
    EXPECT_TRUE(read_rtf("{\\rtf").paragraphs.empty());
}

TEST(ReadRtf, UnbalancedBracesAndHugeNumbers) {
    EXPECT_EQ(flat(R"({\rtf1 a}} b}}})"), "a");  // the document ends with its outer group
    const RtfDocument doc =
        read_rtf(R"({\rtf1\fs99999999999999999999 a\f-99999999999 b\u99999999999?c\cf2147483648 d})");
    EXPECT_EQ(flat(doc), "ab?cd");
    EXPECT_EQ(doc.paragraphs[0].runs[0].fontSizeHalfPoints, 3276);
    EXPECT_EQ(flat(R"({\rtf1 a\uc999999999\u228 bcd}e\bin999999999 x})"), "a\xE4");
    EXPECT_EQ(flat(R"({\rtf1 a\bin-5 b})"), "ab");
}

TEST(ReadRtf, DeepNestingIsCappedAndStaysBalanced) {
    const std::string open(100000, '{'), close(100000, '}');
    EXPECT_EQ(flat("{\\rtf1 " + open + "deep"), "deep");
    EXPECT_EQ(flat("{\\rtf1 " + open + "deep" + close + "x}"), "deepx");
    // Groups past the cap still count, so formatting returns at the right brace.
    const RtfDocument doc = read_rtf("{\\rtf1{\\b " + std::string(5000, '{') + "x" +
                                     std::string(5000, '}') + "y}z}");
    const auto& r = doc.paragraphs.at(0).runs;
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].text, "xy");
    EXPECT_TRUE(r[0].bold);
    EXPECT_FALSE(r[1].bold);
}

TEST(ReadRtf, EveryPrefixReadsAPrefixOfTheText) {
    const std::string rtf =
        R"({\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}{\colortbl;\red1\green2\blue3;})"
        R"({\*\generator x;}\qc{\b Wichtiger} Hinweis\par\pard M\'e4rz \u228?\~\{x\}\tab y\line)"
        R"({\field{\*\fldinst HYPERLINK}{\fldrslt link}}\par\cf1 Ende\par})";
    const std::string full = flat(rtf);
    ASSERT_EQ(full, "Wichtiger Hinweis|M\xE4rz \xE4\xA0{x}\ty\nlink|Ende");
    for (std::size_t n = 5; n <= rtf.size(); ++n) {  // shorter ones are not RTF yet
        const std::string part = flat(std::string_view(rtf).substr(0, n));
        EXPECT_EQ(full.substr(0, part.size()), part) << "prefix of " << n << " bytes";
    }
}

TEST(ReadRtf, DamagedBytesNeverGrowTheText) {
    const std::string sample =
        R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red9;}\b\u228?{\*\x}\'e4\par\bin2 {}{\pict 00}z})";
    std::uint32_t seed = 12345;
    for (int round = 0; round < 3000; ++round) {
        std::string s = sample;
        for (int k = 0; k < 4; ++k) {
            seed = seed * 1103515245u + 12345u;
            s[(seed >> 8) % s.size()] = "{}\\'0u-9 ;a"[(seed >> 20) % 11];
        }
        std::size_t total = 0;
        for (const RtfParagraph& p : read_rtf(s).paragraphs) total += text_of(p).size();
        EXPECT_LE(total, s.size()) << s;
    }
}

TEST(ReadRtf, IndentsAndTabStopsBelongToTheParagraphUntilPard) {
    const auto doc = saldorama::read_rtf(
        "{\\rtf1 \\pard\\fi-284\\li284\\tx284 \\'95\\tab eins\\par zwei\\par\\pard drei\\par}");
    ASSERT_EQ(doc.paragraphs.size(), 3u);
    EXPECT_EQ(doc.paragraphs[0].leftIndentTwips, 284);
    EXPECT_EQ(doc.paragraphs[0].firstIndentTwips, -284);
    EXPECT_EQ(doc.paragraphs[0].tabStopsTwips, std::vector<int>{284});
    EXPECT_EQ(doc.paragraphs[0].runs.at(0).text, "\x95\teins");
    EXPECT_EQ(doc.paragraphs[1].leftIndentTwips, 284);
    EXPECT_EQ(doc.paragraphs[2].leftIndentTwips, 0);
    EXPECT_TRUE(doc.paragraphs[2].tabStopsTwips.empty());
}
