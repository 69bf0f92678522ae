#include "reports/columns.h"

#include <algorithm>

namespace saldorama {

namespace {

bool fits(std::string_view text, int width) {
    return width >= 0 && text.size() <= static_cast<std::size_t>(width);
}

// The cut keeps the beginning; with a width below 2 nothing of the text is left.
void append_cut(std::string& out, std::string_view text, int width) {
    out.append(text.substr(0, static_cast<std::size_t>(std::max(0, width - 2))));
    out.append("...");
}

std::size_t padding(std::string_view text, int width) { return static_cast<std::size_t>(width) - text.size() + 1; }

} // namespace

void append_printr(std::string& out, std::string_view text, int width) {
    if (!fits(text, width)) return append_cut(out, text, width);
    out.append(text);
    out.append(padding(text, width), ' ');
}

void append_printf(std::string& out, std::string_view text, int width) {
    if (!fits(text, width)) return append_cut(out, text, width);
    out.append(padding(text, width), ' ');
    out.append(text);
}

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
