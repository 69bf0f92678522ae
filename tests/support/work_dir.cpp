#include "support/work_dir.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace saldorama::test {

namespace fs = std::filesystem;

WorkDir::WorkDir() : previous_(fs::current_path().string()) {
    std::string tmpl = (fs::temp_directory_path() / "saldorama-test-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
    fs::current_path(path_);
}

WorkDir::~WorkDir() {
    std::error_code ec;
    fs::current_path(previous_, ec);
    // Tests may leave read-only files and folders behind; make them removable.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator(); ++it)
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

void WorkDir::write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(fs::path(path_) / name, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + name);
}

void WorkDir::writeLines(const std::string& name, const std::vector<std::string>& lines) const {
    std::string bytes;
    for (const auto& l : lines) bytes += l + "\r\n";
    write(name, bytes);
}

std::string WorkDir::read(const std::string& name) const {
    std::ifstream in(fs::path(path_) / name, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + name);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool WorkDir::exists(const std::string& name) const { return fs::exists(fs::path(path_) / name); }

int supplied_exercise_count() {
    int n = 0;
    while (fs::exists(fs::path(SALDORAMA_DATA_DIR) / ("Aufgabe" + std::to_string(n + 1) + ".txt"))) ++n;
    return n;
}

void WorkDir::copyFromData(const std::string& name) const {
    fs::copy_file(fs::path(SALDORAMA_DATA_DIR) / name, fs::path(path_) / name,
                  fs::copy_options::overwrite_existing);
}

void WorkDir::writeSettings(int chartIndex, const std::string& year) const {
    writeLines("einstellungen.txt",
               {"Muster GmbH", "Hauptstr. 1", "12345 Musterstadt", "4711", "10000000", "Musterbank",
                "Anna Buch", "Bert Chef", "true", "19", "false", "false", year, "Einfach",
                "Umfangreicher", "Handel", "Industrie", std::to_string(chartIndex)});
}

} // namespace saldorama::test
