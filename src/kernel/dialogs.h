#pragma once
#include <optional>
#include <string>

namespace saldorama {

struct FileDialogSpec {
    std::string title;       // CP1252
    std::string fileName;    // offered name (native path)
    std::string filterName;  // "Kontrex-Dateien (*.qrx)"
    std::string pattern;     // "*.qrx"
    std::string defaultExtension;  // "qrx", appended when the name has none
};

// The button a question preselects (Return answers it). A question that
// deletes or replaces data preselects No.
enum class Preset { Yes, No };

// The answer to a question with a cancel button.
enum class Answer { Yes, No, Cancel };

// Everything the page logic says to the user goes through here: the window
// shows boxes, tests and the command-line tool answer on their own.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // "Saldorama", OK button.
    virtual void notice(const std::string& text) = 0;
    // "Bestätigung", question icon, "&Ja"/"&Nein"; true on Yes. Escape and
    // closing the box answer No.
    virtual bool question(const std::string& text, Preset preset) = 0;
    // "Bestätigung", question icon, "&Ja"/"&Nein"/"Abbrechen", Yes preselected;
    // Escape and closing the box answer Cancel.
    virtual Answer questionWithCancel(const std::string& text) = 0;
    // "Saldorama", error icon; the text already ends in a full stop.
    virtual void failure(const std::string& text) = 0;
    // The chosen path (native encoding), or nothing when cancelled.
    virtual std::optional<std::string> saveFile(const FileDialogSpec& request) = 0;
    virtual std::optional<std::string> openFile(const FileDialogSpec& request) = 0;
    // Opens a document (the manual, a PDF) with the desktop's viewer; false
    // when no viewer could be started.
    virtual bool openDocument(const std::string& path) = 0;
    // Opens the user guide at `chapter` (a heading of its outline, UTF-8);
    // without a viewer of its own a front end opens the document as it is.
    virtual bool openManual(const std::string& path, const std::string& /*chapter*/) { return openDocument(path); }
};

} // namespace saldorama
