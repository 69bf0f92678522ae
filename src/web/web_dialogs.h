#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "kernel/dialogs.h"

namespace saldorama {

// The boxes of the browser page. Notices and failures are collected and
// shown by the page after the handler; a question must be answered before
// the handler goes on, so it is asked through `ask` (the browser's own
// confirmation box). Files: a backup is written into `downloadFolder` and
// handed to the browser as a download; a backup to load is put into the
// file system by the page before "Sicherung laden!" runs.
class WebDialogs : public Dialogs {
public:
    struct Message {
        std::string kind;  // "notice" or "failure"
        std::string text;  // UTF-8
    };

    // Asks a UTF-8 question; true on Yes.
    std::function<bool(const std::string&)> ask;
    std::string downloadFolder = "/download";

    void notice(const std::string& text) override;
    bool question(const std::string& text, Preset preset) override;
    Answer questionWithCancel(const std::string& text) override;
    void failure(const std::string& text) override;
    std::optional<std::string> saveFile(const FileDialogSpec& request) override;
    std::optional<std::string> openFile(const FileDialogSpec& request) override;
    bool openDocument(const std::string& path) override;

    std::vector<Message> messages;
    // The path the last save dialog answered, for the page to download.
    std::string download;
    // The file the page has put aside for the next open dialog; used once.
    std::string upload;
    bool manualRequested = false;

    // Forgets what the last handler left.
    void clear();
};

} // namespace saldorama
