#pragma once
#include <cstring>
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
// A text longer than its column, cut.
char* put_cut_column(char* at, std::string_view text, int width) noexcept;
// Inline, so that a column of a fixed width is filled without a call.
inline char* put_printr(char* at, std::string_view text, int width) noexcept {
    if (width < 0 || text.size() > static_cast<std::size_t>(width)) return put_cut_column(at, text, width);
    const std::size_t size = static_cast<std::size_t>(width) + 1;
    std::memset(at, ' ', size);
    if (!text.empty()) std::memcpy(at, text.data(), text.size());
    return at + size;
}
inline char* put_printf(char* at, std::string_view text, int width) noexcept {
    if (width < 0 || text.size() > static_cast<std::size_t>(width)) return put_cut_column(at, text, width);
    const std::size_t size = static_cast<std::size_t>(width) + 1;
    std::memset(at, ' ', size);
    if (!text.empty()) std::memcpy(at + size - text.size(), text.data(), text.size());
    return at + size;
}

} // namespace saldorama
