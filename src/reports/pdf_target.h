#pragma once
#include <string>

namespace saldorama {

// Why a PDF may not be written to `path` (German, CP1252), or "" when it may.
// Refused: an empty name, a folder, and every file of the working folder
// that any export refuses (refuse_export_target). Relative paths count from
// the current directory.
[[nodiscard]] std::string pdf_target_refusal(const std::string& path, const std::string& workingDirectory);

} // namespace saldorama
