#pragma once
#include <string>
#include <string_view>

namespace saldorama {

// Column helpers of every report. Both fill a column of width + 1 characters
// (CP1252, one byte a character); a longer text keeps its first width - 2
// characters and gets "...".
// Left-aligned: pads on the right.
[[nodiscard]] std::string printr(std::string_view text, int width);
// Right-aligned: pads on the left. A cut text is left-aligned like printr's.
// Call it qualified (saldorama::printf) where <cstdio> is in sight.
[[nodiscard]] std::string printf(std::string_view text, int width);

// The same columns appended to `out`, for lines built piece by piece.
void append_printr(std::string& out, std::string_view text, int width);
void append_printf(std::string& out, std::string_view text, int width);

// The same columns written at `at`, for lines built in a buffer of their
// own; gives the end of the column. column_size() is how long it is.
[[nodiscard]] std::size_t column_size(std::string_view text, int width) noexcept;
char* put_printr(char* at, std::string_view text, int width) noexcept;
char* put_printf(char* at, std::string_view text, int width) noexcept;

} // namespace saldorama
