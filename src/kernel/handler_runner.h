#pragma once
#include <functional>
#include <string>

#include "kernel/dialogs.h"

namespace saldorama {

// The failure box text: the failure's text with a full stop where it has none.
[[nodiscard]] std::string failure_box_text(const std::string& text);
// The same naming the file it concerns (UTF-8 path), as every front end
// shows it: "Datei nicht gefunden (buchungen.dat)."
[[nodiscard]] std::string failure_box_text(const std::string& text, const std::string& file);

// Runs one handler. Any failure ends the handler where it happened and shows
// the failure box; the program goes on. Returns false when it failed.
bool run_handler(Dialogs& dialogs, const std::function<void()>& handler) noexcept;

} // namespace saldorama
