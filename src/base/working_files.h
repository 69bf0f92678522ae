#pragma once
#include <string>
#include <vector>

namespace saldorama {

// The user guide, supplied beside the exercises; "Hilfe" opens it.
inline constexpr const char* kManualFileName = "Anleitung.pdf";

// The files of the working folder the program itself reads and writes:
// bookings, settings, the four charts, the exercises and their solutions,
// the notice, the start picture, the manual and the program's own intent file.
[[nodiscard]] std::vector<std::string> working_file_names();

// Empty when a file the user chose may be written at `target`; otherwise the
// German notice why not. A target is refused when it is one of the working
// folder's files, found by name in `folder` (whatever the case, after
// resolving links and "..") or by being the very same file on disk. Every
// export (backup, PDF, ...) asks here before writing.
[[nodiscard]] std::string refuse_export_target(const std::string& target, const std::string& folder);

} // namespace saldorama
