#include "base/io_error.h"

#include <cerrno>

#include "base/cp1252.h"
#include "base/failure.h"

namespace saldorama {
namespace {

// Texts that say all without the name; a front end adds it from Failure::file.
bool names_file_apart(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
    case ENOSPC:
    case EDQUOT:
    case ENOMEM:
    case EROFS:
        return true;
    default:
        return false;
    }
}

} // namespace

std::string io_error_text(int errorNumber, const std::string& file, Access access) {
    const std::string name = utf8_to_cp1252(file);
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return "Datei nicht gefunden";
    case ENOSPC:
    case EDQUOT:
    case ENOMEM:
        return "Zu wenig Speicherplatz.";
    case EROFS:
        return cp("Der Datenträger ist schreibgeschützt.");
    case EACCES:
    case EPERM:
        return name.empty() ? std::string("Keine Berechtigung.") : cp("Keine Berechtigung für ") + name + ".";
    case EIO:
        return name.empty() ? std::string("Lese- oder Schreibfehler.") : "Lese- oder Schreibfehler bei " + name + ".";
    default:
        return (name.empty() ? std::string("Die Datei") : "Die Datei " + name) +
               (access == Access::Write ? " kann nicht geschrieben werden." : " kann nicht gelesen werden.");
    }
}

void throw_io_error(int errorNumber) { fail(io_error_text(errorNumber)); }

void throw_io_error(int errorNumber, const std::string& file, Access access) {
    if (names_file_apart(errorNumber)) throw Failure(io_error_text(errorNumber)).about(file);
    fail(io_error_text(errorNumber, file, access));
}

void throw_read_past_end() { fail("Versuch hinter dem Dateiende zu lesen"); }

void throw_not_regular(const std::string& file) {
    fail(cp("„") + utf8_to_cp1252(file) +
         cp("“ ist keine gewöhnliche Datei (sondern ein Ordner, ein Gerät oder eine Pipe) und wird nicht geöffnet. "
            "Ersetze sie durch eine Datei oder wähle eine andere."));
}

} // namespace saldorama
