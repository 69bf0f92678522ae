#include "base/io_error.h"

#include <cerrno>

#include "base/cp1252.h"
#include "base/failure.h"

namespace saldorama {

std::string io_error_text(int error_number) {
    switch (error_number) {
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
        return "E/A-Fehler " + std::to_string(error_number);
    }
}

void throw_io_error(int error_number) { fail(io_error_text(error_number)); }

void throw_read_past_end() { fail("Versuch hinter dem Dateiende zu lesen"); }

} // namespace saldorama
