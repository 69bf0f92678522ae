#pragma once
#include <string>
#include <vector>

namespace saldorama {

// The charts of accounts a working folder holds: "Kontenplan1.txt" up to
// this number. Every chart range of the program is taken from here.
inline constexpr int kChartCount = 4;

// The user guide, supplied beside the exercises; "Hilfe" opens it.
inline constexpr const char* kManualFileName = "Anleitung.pdf";

// The teacher's settings for tests (exam mode, the solutions' folder), a
// file of their own so that the settings file keeps its lines.
inline constexpr const char* kTeacherOptionsFileName = "pruefungsmodus.txt";

// The files of the working folder the program itself reads and writes:
// bookings, settings, the charts, the notice, the start picture, the manual
// and the program's own intent file. The exercises and their solutions
// ("AufgabeN.txt", "LoesungN.txt") are as many as the folder holds; see
// is_exercise_file_name.
[[nodiscard]] std::vector<std::string> working_file_names();

// True for "AufgabeN.txt" and "LoesungN.txt" with any number N from 1 up,
// whatever the case of the letters.
[[nodiscard]] bool is_exercise_file_name(const std::string& name);

// Empty when a file the user chose may be written at `target`; otherwise the
// German notice why not. A target is refused when it is one of the working
// folder's files, found by name in `folder` (whatever the case, after
// resolving links and "..") or by being the very same file on disk. Every
// export (backup, PDF, ...) asks here before writing.
[[nodiscard]] std::string refuse_export_target(const std::string& target, const std::string& folder);

} // namespace saldorama
