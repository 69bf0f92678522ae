#pragma once
#include <string>

namespace saldorama {

// Whether the failing operation read or wrote; it chooses the words.
enum class Access { Read, Write };

// German text of a system error number, naming `file` (UTF-8 path, may be
// empty) where the text has room for it: "Keine Berechtigung für …",
// "Die Datei … kann nicht gelesen werden", never a bare number. The texts
// without the name ("Datei nicht gefunden", "Zu wenig Speicherplatz.") get it
// from the failure's file instead (see throw_io_error).
[[nodiscard]] std::string io_error_text(int errorNumber, const std::string& file = {}, Access access = Access::Read);
[[noreturn]] void throw_io_error(int errorNumber);
// The same, naming the file it concerns: in the text or as Failure::file.
[[noreturn]] void throw_io_error(int errorNumber, const std::string& file, Access access = Access::Read);
// A read that found fewer bytes than a whole record or line needs.
[[noreturn]] void throw_read_past_end();
// A FIFO, device, socket or folder where a file is expected.
[[noreturn]] void throw_not_regular(const std::string& file);

} // namespace saldorama
