#include "cli/cli_dialogs.h"

#include "base/cp1252.h"
#include "cli/terminal_text.h"

namespace saldorama::cli {

CliDialogs::CliDialogs(std::ostream& err) : err_(err) { defaultAnswer = true; }

void CliDialogs::notice(const std::string& text) {
    ScriptedDialogs::notice(text);
    write(text);
}

void CliDialogs::failure(const std::string& text) {
    ScriptedDialogs::failure(text);
    write(text);
}

void CliDialogs::write(const std::string& text) {
    ++boxes_;
    // One box, one line: a line break inside a message would split it.
    std::string line;
    for (const char c : text) {
        if (c == '\r') continue;
        line += c == '\n' ? ' ' : c;
    }
    err_ << cp1252_to_utf8(without_controls(line)) << '\n' << std::flush;
}

} // namespace saldorama::cli
