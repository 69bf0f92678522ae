#include "base/working_files.h"

#include <strings.h>
#include <sys/stat.h>
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "base/cp1252.h"
#include "base/file.h"
#include "base/hidden_area.h"

namespace saldorama {
namespace {

// The path with links and ".." resolved; a file not there yet is resolved
// through its folder.
std::string resolved(const std::string& path) {
    char buf[PATH_MAX];
    if (::realpath(path.c_str(), buf) != nullptr) return buf;
    const auto slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (::realpath(dir.c_str(), buf) == nullptr) return path;
    return std::string(buf) + "/" + name;
}

bool same_file(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace

std::vector<std::string> working_file_names() {
    // The names as the subsystems above spell them; kept here so that every
    // layer that exports a file can ask.
    std::vector<std::string> names = {"buchungen.dat", "einstellungen.txt", "temp.dat", "Wichtiger Hinweis.rtf",
                                      "startbild.png", kManualFileName, kIntentFileName, kHiddenAreaName,
                                      kTeacherOptionsFileName};
    for (int c = 1; c <= kChartCount; ++c) names.push_back("Kontenplan" + std::to_string(c) + ".txt");
    return names;
}

bool is_exercise_file_name(const std::string& name) {
    for (const std::string prefix : {"aufgabe", "loesung"}) {
        const std::string suffix = ".txt";
        if (name.size() <= prefix.size() + suffix.size()) continue;
        if (::strncasecmp(name.c_str(), prefix.c_str(), prefix.size()) != 0) continue;
        if (::strcasecmp(name.c_str() + name.size() - suffix.size(), suffix.c_str()) != 0) continue;
        const std::string number = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
        if (number[0] != '0' && std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return true;
    }
    return false;
}

std::string refuse_export_target(const std::string& target, const std::string& folder) {
    const std::string path = resolved(full_path(target));
    const std::string folderPath = resolved(folder);
    const auto slash = path.rfind('/');
    const bool inFolder = path.substr(0, slash) == folderPath;
    std::vector<std::string> names = working_file_names();
    // A file named like an exercise or solution is the folder's own too.
    if (inFolder && is_exercise_file_name(path.substr(slash + 1))) names.push_back(path.substr(slash + 1));
    for (const std::string& name : names) {
        const std::string own = folderPath + "/" + name;
        const bool sameName = inFolder && ::strcasecmp(path.c_str() + slash + 1, name.c_str()) == 0;
        if (sameName || same_file(path, own))
            return cp("Die Datei „") + name +
                   cp("“ gehört zum Arbeitsordner und wird nicht überschrieben. Wähle einen anderen Dateinamen.");
    }
    return {};
}

} // namespace saldorama
