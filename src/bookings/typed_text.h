#pragma once
#include <string>

namespace saldorama {

// Why `text` may not be taken into the field named `field`, or "" when it
// may: a "|" would shift the fields of every backup, and a line break or
// any other control character would break the files' lines and reach
// terminals. The German notice names the field.
[[nodiscard]] std::string typed_text_refusal(const std::string& text, const std::string& field);

} // namespace saldorama
