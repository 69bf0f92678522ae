#include "base/hidden_area.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>

#include <random>

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/io_error.h"

namespace saldorama {

std::string hidden_area(const std::string& folder) { return folder + "/" + kHiddenAreaName; }

std::string make_hidden_area(const std::string& folder) {
    const std::string area = hidden_area(folder);
    if (::mkdir(area.c_str(), 0777) != 0 && errno != EEXIST) throw_io_error(errno, area, Access::Write);
    struct stat st {};
    if (::lstat(area.c_str(), &st) != 0) throw_io_error(errno, area, Access::Write);
    if (!S_ISDIR(st.st_mode))
        fail(cp("„") + utf8_to_cp1252(area) +
             cp("“ ist kein Ordner. Saldorama braucht diesen Namen für seine eigenen Dateien; benenne die Datei um."));
    return area;
}

std::string hidden_file_name(const std::string& folder, std::string_view stem, std::string_view suffix) {
    static std::mt19937_64 random{std::random_device{}() ^ static_cast<unsigned long>(::getpid())};
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = hidden_area(folder) + "/" + std::string(stem) + "-" + std::to_string(::getpid()) + "-";
    for (int i = 0; i < 8; ++i) name += digits[random() % 36];
    return name + std::string(suffix);
}

long hidden_name_owner(std::string_view name, std::string_view stem) {
    if (!name.starts_with(stem) || name.size() <= stem.size() + 1 || name[stem.size()] != '-') return 0;
    const std::string rest(name.substr(stem.size() + 1));
    char* end = nullptr;
    const long pid = std::strtol(rest.c_str(), &end, 10);
    return end != rest.c_str() && *end == '-' ? pid : 0;
}

bool process_alive(long pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

} // namespace saldorama
