#include "reports/pdf_target.h"

#include <algorithm>
#include <filesystem>

#include "base/cp1252.h"

namespace saldorama {

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    });
    return text;
}

bool is_data_file_name(const std::string& fileName) {
    const std::string name = lower(fileName);
    static const char* const fixed[] = {"buchungen.dat", "einstellungen.txt", "temp.dat", "wichtiger hinweis.rtf"};
    for (const char* f : fixed)
        if (name == f) return true;
    const auto starts = [&](const char* prefix, const char* suffix) {
        const std::string p = prefix, s = suffix;
        // Something between: "Kontenplan1.txt", "Aufgabe8.txt", not "Kontenplan.txt".
        return name.size() > p.size() + s.size() && name.starts_with(p) && name.ends_with(s);
    };
    return starts("kontenplan", ".txt") || starts("aufgabe", ".txt") || starts("loesung", ".txt") ||
           starts("lösung", ".txt");
}

bool same_folder(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    const bool same = std::filesystem::equivalent(a, b, ec);
    return !ec && same;
}

} // namespace

std::string pdf_target_refusal(const std::string& path, const std::string& workingDirectory) {
    if (path.empty()) return cp("Der Dateiname für das PDF ist leer.");
    const std::filesystem::path target(path);
    std::error_code ec;
    if (std::filesystem::is_directory(target, ec))
        return cp("„") + utf8_to_cp1252(path) + cp("“ ist ein Ordner. Gib einen Dateinamen für das PDF an.");
    const std::string fileName = target.filename().string();
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    if (is_data_file_name(fileName) && same_folder(folder, workingDirectory))
        return cp("„") + utf8_to_cp1252(fileName) +
               cp("“ ist eine Datei deiner Buchführung und wird nicht überschrieben. "
                  "Wähle einen anderen Namen für das PDF.");
    return {};
}

} // namespace saldorama
