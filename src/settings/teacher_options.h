#pragma once
#include <string>
#include <vector>

#include "base/working_files.h"

namespace saldorama {

// The teacher's settings for tests, kept in a small file of their own
// ("pruefungsmodus.txt", CP1252) so that the settings file keeps its lines and
// a version that knows nothing of them neither reads nor drops them. Backups
// do not carry them: loading a backup keeps them.
struct TeacherOptions {
    bool examMode = false;        // "Prüfungsmodus": no solution shown, findings name only case and kind
    std::string solutionsFolder;  // where the solution files are read, CP1252; "" the working folder
    bool operator==(const TeacherOptions&) const = default;
};

// "Prüfungsmodus: an|aus" and "Lösungen: FOLDER"; unknown lines are ignored,
// a missing file reads as the defaults.
[[nodiscard]] TeacherOptions parse_teacher_options(const std::vector<std::string>& lines);
[[nodiscard]] std::vector<std::string> teacher_options_lines(const TeacherOptions& options);

// From and to the working folder; the write is all-or-nothing. Something
// other than a regular file in its place is refused with the German text.
[[nodiscard]] TeacherOptions read_teacher_options();
void write_teacher_options(const TeacherOptions& options);

} // namespace saldorama
