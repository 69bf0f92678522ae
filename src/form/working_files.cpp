#include "form/working_files.h"

#include <strings.h>
#include <sys/stat.h>
#include <climits>
#include <cstdlib>

#include "accounts/chart_file.h"
#include "base/cp1252.h"
#include "base/file.h"
#include "bookings/bookings_file.h"
#include "exercises/exercise_file.h"
#include "settings/settings.h"

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
    std::vector<std::string> names = {"buchungen.dat", kSettingsFileName, "Wichtiger Hinweis.rtf", kIntentFileName};
    for (int c = 1; c <= 4; ++c) names.push_back(chart_file_name(c));
    for (int n = 1; n <= 8; ++n) names.push_back(exercise_file_name(n));
    return names;
}

std::string refuse_export_target(const std::string& target, const std::string& folder) {
    const std::string path = resolved(full_path(target));
    const std::string folderPath = resolved(folder);
    const auto slash = path.rfind('/');
    const bool inFolder = path.substr(0, slash) == folderPath;
    for (const std::string& name : working_file_names()) {
        const std::string own = folderPath + "/" + name;
        const bool sameName = inFolder && ::strcasecmp(path.c_str() + slash + 1, name.c_str()) == 0;
        if (sameName || same_file(path, own))
            return cp("Die Sicherung würde die Datei „") + name +
                   cp("“ des Arbeitsordners überschreiben. Wähle einen anderen Dateinamen.");
    }
    return {};
}

} // namespace saldorama
