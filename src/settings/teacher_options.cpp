#include "settings/teacher_options.h"

#include "base/cp1252.h"
#include "base/file.h"
#include "base/text_file.h"

namespace saldorama {

namespace {

const std::string& exam_key() {
    static const std::string key = cp("Prüfungsmodus: ");
    return key;
}
const std::string& folder_key() {
    static const std::string key = cp("Lösungen: ");
    return key;
}

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

} // namespace

TeacherOptions parse_teacher_options(const std::vector<std::string>& lines) {
    TeacherOptions options;
    for (const std::string& line : lines) {
        if (line.starts_with(exam_key())) options.examMode = trimmed(line.substr(exam_key().size())) == "an";
        if (line.starts_with(folder_key())) options.solutionsFolder = trimmed(line.substr(folder_key().size()));
    }
    return options;
}

std::vector<std::string> teacher_options_lines(const TeacherOptions& options) {
    return {exam_key() + (options.examMode ? "an" : "aus"), folder_key() + options.solutionsFolder};
}

TeacherOptions read_teacher_options() {
    const std::string name = resolve_name(kTeacherOptionsFileName);
    if (!file_exists(name)) return {};
    return parse_teacher_options(read_text_lines(name, LineEnds::CrLfLfOrCr));
}

void write_teacher_options(const TeacherOptions& options) {
    write_file_atomic(resolve_name(kTeacherOptionsFileName), join_crlf(teacher_options_lines(options)));
}

} // namespace saldorama
