#include "bookings/typed_text.h"

#include "base/cp1252.h"
#include "bookings/checks.h"

namespace saldorama {

std::string typed_text_refusal(const std::string& text, const std::string& field) {
    if (text.find('|') != std::string::npos) return bar_refusal(field);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return cp("Im Feld \"") + field +
                   cp("\" sind Zeilenumbrüche und andere Steuerzeichen nicht erlaubt. Bitte entferne sie.");
    }
    return {};
}

} // namespace saldorama
