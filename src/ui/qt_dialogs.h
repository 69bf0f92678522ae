#pragma once
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

#include "kernel/dialogs.h"

namespace saldorama::ui {

// What a box or file dialog would have shown, for the test hook.
struct BoxCall {
    enum class Kind { Notice, Question, Failure, SaveFile, OpenFile, OpenDocument };
    Kind kind = Kind::Notice;
    QString title;
    QString text;              // message, empty for file dialogs
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString fileName;          // offered name (file dialogs), the document (OpenDocument)
    QString filter;            // "Saldorama-Sicherung (*.qrx)"
    QString defaultSuffix;
    QString directory;         // where a file dialog starts; empty: the working directory
    Preset preset = Preset::Yes;  // questions: the preselected button
    bool withCancel = false;      // questions: "Abbrechen" as well
};

struct BoxAnswer {
    bool yes = true;                 // questions; OpenDocument: a viewer was found
    bool cancel = false;             // questions with "Abbrechen"
    std::optional<QString> file;     // file dialogs; nothing = cancelled
};

// The window's boxes: Qt message boxes and file dialogs. While a hook is set,
// every box goes to the hook instead and no window pops up (for tests).
class QtDialogs : public Dialogs {
public:
    using Hook = std::function<BoxAnswer(const BoxCall&)>;
    static void setHook(Hook hook);
    // For boxes of the window's own (not of the core): whether a hook takes
    // them, and handing one to it.
    [[nodiscard]] static bool hooked();
    static BoxAnswer callHook(const BoxCall& call);

    // The window the boxes belong to (centred over it, modal to it).
    void setParent(QWidget* parent) { parent_ = parent; }
    // Where the file dialogs start when the offered name has no folder.
    void setStartFolder(const QString& folder) { startFolder_ = folder; }

    void notice(const std::string& text) override;
    bool question(const std::string& text, Preset preset) override;
    Answer questionWithCancel(const std::string& text) override;
    void failure(const std::string& text) override;
    std::optional<std::string> saveFile(const FileDialogSpec& request) override;
    std::optional<std::string> openFile(const FileDialogSpec& request) override;
    bool openDocument(const std::string& path) override;
    // The guide in a window of the program; the desktop's viewer only when
    // the file is no PDF that window can read.
    bool openManual(const std::string& path, const std::string& chapter) override;

private:
    std::optional<std::string> fileDialog(const FileDialogSpec& request, bool save);
    QPointer<QWidget> parent_;
    QString startFolder_;
};

} // namespace saldorama::ui
