#include "form/manual_chapters.h"

namespace saldorama {

std::string manual_chapter(Page page) {
    switch (page) {
    case Page::TabSheet1: return "1. Das Fenster im Überblick";
    case Page::TabSheet2: return "2. Die Firmendaten";
    case Page::TabSheet8: return "3. Die Aufgaben und „Prüfen“";
    case Page::TabSheet3: return "4. Die Eröffnungsbilanz";
    case Page::TabSheet4: return "5. Buchen und Korrigieren";
    case Page::TabSheet5:
    case Page::TabSheet6:
    case Page::TabSheet11: return "6. Die Berichte";
    case Page::TabSheet9:
    case Page::TabSheet10: return "7. Die T-Konten und der Kontenplan";
    case Page::TabSheet7: return "11. Für Lehrkräfte";
    }
    return "1. Das Fenster im Überblick";
}

} // namespace saldorama
