#pragma once
#include <ostream>
#include <string>

#include "kernel/scripted_dialogs.h"

namespace saldorama::cli {

// The boxes of the window, without a window: every question is answered Yes,
// files come from `fileAnswers`, and each notice or failure is written to the
// error stream as one UTF-8 line the moment it is shown.
class CliDialogs : public ScriptedDialogs {
public:
    explicit CliDialogs(std::ostream& err);

    void notice(const std::string& text) override;
    void failure(const std::string& text) override;

    // A notice or a failure has been shown: the command ends with status 1.
    [[nodiscard]] bool refused() const noexcept { return boxes_ > 0; }

private:
    void write(const std::string& text);
    std::ostream& err_;
    int boxes_ = 0;
};

} // namespace saldorama::cli
