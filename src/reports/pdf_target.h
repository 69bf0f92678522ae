#pragma once
#include <string>

namespace saldorama {

// Why a PDF may not be written to `path` (German, CP1252), or "" when it may.
// Refused: an empty name, a folder, and every data file of the working
// folder (bookings, settings, charts, exercises, solutions, the notice),
// matched without regard to case as the program opens them. Relative paths
// count from the current directory.
[[nodiscard]] std::string pdf_target_refusal(const std::string& path, const std::string& workingDirectory);

} // namespace saldorama
