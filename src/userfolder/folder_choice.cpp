#include "userfolder/folder_choice.h"

#include <cstdlib>
#include <filesystem>

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/file.h"
#include "userfolder/folder_error.h"
#include "userfolder/user_folder.h"

namespace saldorama {
namespace {

namespace fs = std::filesystem;

std::string quoted(const std::string& path) { return "„" + path + "“"; }

void change_into(const std::string& folder) {
    try {
        change_directory(folder);
    } catch (const Failure& f) {
        throw FolderError("Der Ordner " + quoted(folder) + " kann nicht geöffnet werden: " +
                          cp1252_to_utf8(f.text()) + ".");
    }
}

} // namespace

FolderChoice parse_folder_options(const std::vector<std::string>& args) {
    FolderChoice choice;
    const auto choose = [&](FolderChoice::Where where) {
        if (choice.where != FolderChoice::Where::Current)
            throw FolderError("Es darf nur ein Ordner angegeben werden (-C/--ordner oder --benutzerordner).");
        choice.where = where;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-C" || arg == "--ordner") {
            if (i + 1 >= args.size()) throw FolderError("Nach " + arg + " fehlt der Ordner.");
            choose(FolderChoice::Where::Given);
            choice.directory = args[++i];
            if (choice.directory.empty()) throw FolderError("Der Ordnername nach " + arg + " ist leer.");
        } else if (arg == "--benutzerordner") {
            choose(FolderChoice::Where::User);
        } else if (arg == "--help") {
            choice.help = true;
        } else {
            throw FolderError("Unbekannte Angabe " + quoted(arg) + ".");
        }
    }
    return choice;
}

const char* window_usage_text() noexcept {
    return "Aufruf: saldorama [-C ORDNER | --ordner ORDNER | --benutzerordner]\n"
           "  ohne Angabe          arbeitet im aktuellen Verzeichnis.\n"
           "  -C, --ordner ORDNER  arbeitet im Ordner ORDNER.\n"
           "  --benutzerordner     arbeitet in deinem eigenen Ordner\n"
           "                       (~/.local/share/saldorama); beim ersten Start wird er\n"
           "                       mit den mitgelieferten Dateien angelegt.\n"
           "  --help               zeigt diese Hilfe.\n";
}

std::string user_folder_path(const char* xdgDataHome, const char* home) {
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/') return std::string(xdgDataHome) + "/saldorama";
    if (home != nullptr && home[0] != '\0') return std::string(home) + "/.local/share/saldorama";
    throw FolderError("Dein eigener Ordner kann nicht bestimmt werden: HOME ist nicht gesetzt.");
}

std::string supplied_folder_path(const std::string& executable) {
    return (fs::path(executable).parent_path().parent_path() / "share" / "saldorama").lexically_normal().string();
}

std::string executable_path() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.string();
}

std::string enter_folder(const FolderChoice& choice, const std::string& version) {
    switch (choice.where) {
    case FolderChoice::Where::Current:
        return current_directory();
    case FolderChoice::Where::Given: {
        std::error_code ec;
        const auto status = fs::status(choice.directory, ec);
        if (!fs::exists(status)) throw FolderError("Den Ordner " + quoted(choice.directory) + " gibt es nicht.");
        if (!fs::is_directory(status)) throw FolderError(quoted(choice.directory) + " ist kein Ordner.");
        change_into(choice.directory);
        return current_directory();
    }
    case FolderChoice::Where::User: {
        const std::string supplied = supplied_folder_path(executable_path());
        std::error_code ec;
        if (!fs::is_directory(supplied, ec))
            throw FolderError("Die mitgelieferten Dateien fehlen: Den Ordner " + quoted(supplied) +
                              " gibt es nicht. Ist Saldorama vollständig installiert?");
        const std::string folder = user_folder_path(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
        prepare_user_folder(supplied, folder, version);
        change_into(folder);
        return folder;
    }
    }
    return current_directory();
}

} // namespace saldorama
