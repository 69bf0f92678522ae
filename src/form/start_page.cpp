#include "form/start_page.h"

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/file.h"

namespace saldorama {

StartPage::StartPage() {
    Label1.text = cp("Software  zum Lernen und Üben der Buchführung");
    Label47.text = "Version 1.2 BETA Nr. 1.000";
}

void StartPage::TabSheet1Show() {
    RichEdit1.document = {};
    const std::string name = resolve_name("Wichtiger Hinweis.rtf");
    std::string bytes;
    try {
        bytes = read_file(name);
    } catch (const Failure& f) {
        fail("Datei " + utf8_to_cp1252(full_path(name)) + cp(" kann nicht geöffnet werden. ") + f.text());
    }
    RichEdit1.document = read_rtf(bytes);
}

} // namespace saldorama
