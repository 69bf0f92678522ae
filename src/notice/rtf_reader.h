#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace saldorama {

// A small reader for the rich-text notice on the start page. It keeps only
// what the notice needs to look right: character formatting, fonts, colours,
// paragraphs and their alignment. The window turns the result into its own
// document type.

enum class RtfAlign { Left, Center, Right, Justify };

struct RtfRun {
    std::string text;        // CP1252 bytes; '\t' for \tab, '\n' for \line
    bool bold = false, italic = false, underline = false;
    int fontSizeHalfPoints = 24;   // \fsN, at most 3276 (1638 pt)
    std::string fontName;          // from \fonttbl via \fN, empty if unknown
    bool hasColor = false; std::uint32_t color = 0; // 0xRRGGBB from \colortbl via \cfN

    // Same formatting, text aside: two such runs side by side could be one.
    [[nodiscard]] bool sameFormat(const RtfRun& other) const noexcept;
};

struct RtfParagraph {
    std::vector<RtfRun> runs;
    RtfAlign align = RtfAlign::Left;
    int leftIndentTwips = 0;   // \liN
    int firstIndentTwips = 0;  // \fiN, relative to the left indent (negative: hanging)
    std::vector<int> tabStopsTwips;  // \txN
};
struct RtfDocument { std::vector<RtfParagraph> paragraphs; };

// Reads RTF bytes (the text is taken as CP1252, whatever \ansicpg says).
// Never throws on malformed input; returns what it could read:
// - input not starting with "{\rtf" (after leading white space) is plain text,
//   one paragraph a line (lines end in CR LF, LF or a lone CR);
// - empty paragraphs at the end of the document are dropped, so the usual
//   closing "\par }" leaves no blank paragraph behind;
// - reading stops when the outermost group closes or the input ends;
// - groups nested deeper than 1000 are read with the formatting of the
//   deepest kept group, which is restored when that group closes.
[[nodiscard]] RtfDocument read_rtf(std::string_view bytes);

} // namespace saldorama
