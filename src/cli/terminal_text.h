#pragma once
#include <string>
#include <string_view>

namespace saldorama::cli {

// Whether `text` holds a control character other than a tab: an escape
// sequence from a file would otherwise reach the terminal and act there.
[[nodiscard]] bool has_control(std::string_view text) noexcept;
// The text with every such character shown as "?".
[[nodiscard]] std::string without_controls(std::string_view text);

} // namespace saldorama::cli
