#include "cli/terminal_text.h"

#include <algorithm>

namespace saldorama::cli {
namespace {
bool control(char c) noexcept {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t') || byte == 0x7F;
}
} // namespace

bool has_control(std::string_view text) noexcept { return std::any_of(text.begin(), text.end(), control); }

std::string without_controls(std::string_view text) {
    std::string out(text);
    std::replace_if(out.begin(), out.end(), control, '?');
    return out;
}

} // namespace saldorama::cli
