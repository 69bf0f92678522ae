#pragma once
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "kernel/dialogs.h"

namespace saldorama {

// Dialogs without a window: answers come from a script, every box is logged.
// Used by the tests and by the command-line tool.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Notice, Question, Failure, SaveFile, OpenFile, OpenDocument };
    struct Entry {
        Kind kind;
        std::string text;  // message text, the dialog title, or the document's path
        Preset preset = Preset::Yes;  // questions: the preselected button
        bool withCancel = false;      // questions: an "Abbrechen" button too
    };

    void notice(const std::string& text) override;
    bool question(const std::string& text, Preset preset) override;
    Answer questionWithCancel(const std::string& text) override;
    void failure(const std::string& text) override;
    std::optional<std::string> saveFile(const FileDialogSpec& request) override;
    std::optional<std::string> openFile(const FileDialogSpec& request) override;
    bool openDocument(const std::string& path) override;
    bool openManual(const std::string& path, const std::string& chapter) override;

    // Answers used in order; when none is queued, `defaultAnswer` is used.
    std::deque<bool> answers;
    bool defaultAnswer = true;
    // For questions with a cancel button; when none is queued, `answers` is
    // used (true = Yes, false = No).
    std::deque<Answer> choices;
    std::deque<std::optional<std::string>> fileAnswers;  // empty optional = cancel
    std::vector<FileDialogSpec> fileDialogs;              // what was offered
    bool viewerFound = true;  // what openDocument answers
    std::string manualChapter;  // where openManual was asked to open the guide

    std::vector<Entry> log;
    [[nodiscard]] std::vector<std::string> texts(Kind kind) const;
    [[nodiscard]] std::string last(Kind kind) const;  // empty when none
    void clear() { log.clear(); }

private:
    // Both file dialogs: logged under their kind, answered from fileAnswers.
    std::optional<std::string> fileDialog(Kind kind, const FileDialogSpec& request);
};

} // namespace saldorama
