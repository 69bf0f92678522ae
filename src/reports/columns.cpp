#include "reports/columns.h"

#include <algorithm>
#include <cstring>

namespace saldorama {

namespace {

bool fits(std::string_view text, int width) noexcept {
    return width >= 0 && text.size() <= static_cast<std::size_t>(width);
}

// An empty view may have no data at all, which memcpy must not be given.
void copy_text(char* at, std::string_view text, std::size_t count) noexcept {
    if (count != 0) std::memcpy(at, text.data(), count);
}

} // namespace

// The cut keeps the beginning; with a width below 2 nothing of the text is left.
char* put_cut_column(char* at, std::string_view text, int width) noexcept {
    const std::size_t keep = std::min(text.size(), static_cast<std::size_t>(std::max(0, width - 2)));
    copy_text(at, text, keep);
    std::memcpy(at + keep, "...", 3);
    return at + keep + 3;
}

namespace {

void append_column(std::string& out, std::string_view text, int width, char* (*put)(char*, std::string_view, int)) {
    const std::size_t at = out.size();
    out.resize(at + column_size(text, width));
    put(out.data() + at, text, width);
}

} // namespace

std::size_t column_size(std::string_view text, int width) noexcept {
    if (fits(text, width)) return static_cast<std::size_t>(width) + 1;
    return std::min(text.size(), static_cast<std::size_t>(std::max(0, width - 2))) + 3;
}

void append_printr(std::string& out, std::string_view text, int width) { append_column(out, text, width, put_printr); }
void append_printf(std::string& out, std::string_view text, int width) { append_column(out, text, width, put_printf); }

std::string printr(std::string_view text, int width) {
    std::string out;
    append_printr(out, text, width);
    return out;
}

std::string printf(std::string_view text, int width) {
    std::string out;
    append_printf(out, text, width);
    return out;
}

} // namespace saldorama
