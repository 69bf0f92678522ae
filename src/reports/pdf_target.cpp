#include "reports/pdf_target.h"

#include <filesystem>

#include "base/cp1252.h"
#include "base/working_files.h"

namespace saldorama {

std::string pdf_target_refusal(const std::string& path, const std::string& workingDirectory) {
    if (path.empty()) return cp("Der Dateiname für das PDF ist leer.");
    const std::filesystem::path target(path);
    std::error_code ec;
    if (std::filesystem::is_directory(target, ec))
        return cp("„") + utf8_to_cp1252(path) + cp("“ ist ein Ordner. Gib einen Dateinamen für das PDF an.");
    // A device or pipe would be replaced by a file (as root even /dev/null).
    if (std::filesystem::exists(target, ec) && !std::filesystem::is_regular_file(target, ec))
        return cp("„") + utf8_to_cp1252(path) +
               cp("“ ist keine gewöhnliche Datei. Gib einen Dateinamen für das PDF an, oder „-“ für die Standardausgabe.");
    return refuse_export_target(path, workingDirectory);
}

} // namespace saldorama
