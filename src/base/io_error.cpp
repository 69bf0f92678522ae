#include "base/io_error.h"

#include <cerrno>

#include "base/cp1252.h"
#include "base/failure.h"

namespace saldorama {

std::string io_error_text(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return "Datei nicht gefunden";
    case EACCES:
    case EPERM:
    case EROFS:
        return "Dateizugriff verweigert";
    case EMFILE:
    case ENFILE:
        return cp("Zu viele geöffnete Dateien");
    case ENAMETOOLONG:
    case EINVAL:
        return cp("Ungültiger Dateiname");
    case ENOSPC:
    case ENOMEM:
    case EDQUOT:
        return "Zu wenig Speicherplatz";
    default:
        return "E/A-Fehler " + std::to_string(errorNumber);
    }
}

void throw_io_error(int errorNumber) { fail(io_error_text(errorNumber)); }

void throw_io_error(int errorNumber, const std::string& file) { throw Failure(io_error_text(errorNumber)).about(file); }

void throw_read_past_end() { fail("Versuch hinter dem Dateiende zu lesen"); }

} // namespace saldorama
