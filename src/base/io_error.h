#pragma once
#include <string>

namespace saldorama {

// German text of a system error number, as the failure box shows it:
// "Datei nicht gefunden", "Dateizugriff verweigert", ... or "E/A-Fehler %d".
[[nodiscard]] std::string io_error_text(int errorNumber);
[[noreturn]] void throw_io_error(int errorNumber);
// The same, naming the file it concerns (see Failure::file).
[[noreturn]] void throw_io_error(int errorNumber, const std::string& file);
// A read that found fewer bytes than a whole record or line needs.
[[noreturn]] void throw_read_past_end();

} // namespace saldorama
