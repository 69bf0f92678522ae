#include "form/page_context.h"

#include "base/file.h"

namespace saldorama {

std::string working_folder(const AppState& state) {
    return state.startDirectory.empty() ? current_directory() : state.startDirectory;
}

} // namespace saldorama
