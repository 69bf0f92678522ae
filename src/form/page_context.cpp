#include "form/page_context.h"

#include "base/cp1252.h"

#include "base/file.h"

namespace saldorama {

std::string working_folder(const AppState& state) {
    return state.startDirectory.empty() ? current_directory() : state.startDirectory;
}

std::string status_line(const AppState& state) {
    if (!state.examMode) return state.status;
    return cp("Prüfungsmodus") + (state.status.empty() ? "" : cp(" – ") + state.status);
}

} // namespace saldorama
