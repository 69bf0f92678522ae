#include "kernel/handler_runner.h"

#include <exception>
#include <new>

#include "base/cp1252.h"
#include "base/failure.h"

namespace saldorama {

std::string failure_box_text(const std::string& text) {
    if (!text.empty() && text.back() == '.') return text;
    return text + ".";
}

std::string failure_box_text(const std::string& text, const std::string& file) {
    std::string named = text;
    if (!named.empty() && named.back() == '.') named.pop_back();
    return named + " (" + utf8_to_cp1252(file) + ").";
}

bool run_handler(Dialogs& dialogs, const std::function<void()>& handler) noexcept {
    try {
        try {
            handler();
            return true;
        } catch (const Failure& f) {
            dialogs.failure(f.file().empty() ? failure_box_text(f.text()) : failure_box_text(f.text(), f.file()));
        } catch (const std::bad_alloc&) {
            dialogs.failure(failure_box_text("Zu wenig Speicherplatz"));
        } catch (const std::exception& e) {
            // Not expected from the core; still never the end of the program.
            dialogs.failure(failure_box_text(cp("Interner Fehler: ") + e.what()));
        } catch (...) {
            dialogs.failure(failure_box_text("Interner Fehler"));
        }
    } catch (...) {
        // The box itself failed; nothing more can be said.
    }
    return false;
}

} // namespace saldorama
