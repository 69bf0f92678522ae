#include "web/web_dialogs.h"

#include "base/cp1252.h"

namespace saldorama {

void WebDialogs::notice(const std::string& text) { messages.push_back({"notice", cp1252_to_utf8(text)}); }

void WebDialogs::failure(const std::string& text) { messages.push_back({"failure", cp1252_to_utf8(text)}); }

bool WebDialogs::question(const std::string& text, Preset /*preset*/) {
    // No one to ask means No: nothing is deleted or replaced unasked.
    return ask && ask(cp1252_to_utf8(text));
}

Answer WebDialogs::questionWithCancel(const std::string& text) {
    // The browser's box has two buttons: its "Abbrechen" cancels.
    return question(text, Preset::Yes) ? Answer::Yes : Answer::Cancel;
}

std::optional<std::string> WebDialogs::saveFile(const FileDialogSpec& request) {
    // The browser asks where to keep the download; here only its name counts.
    std::string name = request.fileName;
    if (const auto slash = name.rfind('/'); slash != std::string::npos) name.erase(0, slash + 1);
    if (name.empty()) name = "sicherung";
    // As a save dialog does: the file type's extension where the name has none.
    if (name.find('.') == std::string::npos && !request.defaultExtension.empty()) name += "." + request.defaultExtension;
    download = downloadFolder + "/" + name;
    return download;
}

std::optional<std::string> WebDialogs::openFile(const FileDialogSpec& /*request*/) {
    if (upload.empty()) return std::nullopt;
    std::string chosen;
    chosen.swap(upload);
    return chosen;
}

bool WebDialogs::openDocument(const std::string& /*path*/) {
    manualRequested = true;
    return true;
}

void WebDialogs::clear() {
    messages.clear();
    download.clear();
    manualRequested = false;
}

} // namespace saldorama
