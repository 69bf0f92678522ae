#include "kernel/dialogs.h"

#include "base/cp1252.h"

namespace saldorama {

void Dialogs::failureAbout(const std::string& text, const std::string& file) {
    std::string named = text;
    if (!named.empty() && named.back() == '.') named.pop_back();
    failure(named + " (" + utf8_to_cp1252(file) + ").");
}

} // namespace saldorama
