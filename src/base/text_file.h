#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace saldorama {

enum class LineEnds {
    CrLfOrLf,     // charts: CR LF or a lone LF ends a line; a lone CR is text
    CrLfLfOrCr,   // exercises, settings: CR LF, LF or a lone CR
};

// Splits text into lines. A last line without a line end is a line; a file
// ending in a line end yields no extra empty line.
[[nodiscard]] std::vector<std::string> split_lines(std::string_view bytes, LineEnds ends);
// Reads a text file given by bare name (found without regard to case).
[[nodiscard]] std::vector<std::string> read_text_lines(const std::string& bareName, LineEnds ends);
// Each line followed by CR LF.
[[nodiscard]] std::string join_crlf(const std::vector<std::string>& lines);

} // namespace saldorama
