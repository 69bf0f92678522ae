#pragma once
#include <functional>
#include <map>
#include <string>
#include <variant>

#include "form/tform1.h"
#include "web/web_dialogs.h"

namespace saldorama {

// The form as the browser page reaches it: every control by its name, every
// handler by its name, the state of the form as one JSON text. Texts cross
// here in UTF-8; inside they stay CP1252. The page decides nothing: it
// writes what was typed, runs the handler and shows the form afresh.
class WebForm {
public:
    WebForm();
    WebForm(const WebForm&) = delete;
    WebForm& operator=(const WebForm&) = delete;

    WebDialogs dialogs;
    TForm1 form;

    // Start-up in the working directory, as the window starts: the chart
    // page, or the booking page when start-up stopped early.
    void start();

    // False when no control of that name and kind exists; a change of a
    // check box runs its click handler as the window's does.
    bool setText(const std::string& name, const std::string& utf8);
    bool setChecked(const std::string& name, bool checked);
    bool setCell(const std::string& name, int col, int row, const std::string& utf8);
    bool setIndex(const std::string& name, int index);
    bool setTick(const std::string& name, int index, bool ticked);

    // Runs a handler by name inside the form's runner ("ExerciseButton<n>Click"
    // for exercise n); false when there is no such handler. The boxes of the last call stay until the next one.
    bool call(const std::string& handler);

    // The form as the page shows it: active page, title, status, the boxes
    // of the last call, and every control (memos only of the page on show,
    // a report's only with the count of its lines).
    [[nodiscard]] std::string view() const;

    // A memo's lines in UTF-8, each ended by "\n"; "" for no such memo.
    [[nodiscard]] std::string memoText(const std::string& name) const;

    // The report on show as the printer gets it, in the textbook form where
    // it has one: company, report name, date and the lines with their marks.
    // "" on a page without a report. May throw a Failure.
    [[nodiscard]] std::string printJob(const std::string& printDate) const;

private:
    using Control = std::variant<TextControl*, CheckBox*, ComboBox*, RadioGroup*, StringGrid*, Memo*, ListBox*,
                                 CheckListBox*>;
    std::map<std::string, Control> controls_;
    std::map<std::string, std::function<void()>> handlers_;
    // The page whose memos the view holds.
    std::map<const Memo*, Page> memoPages_;
    // n for "ExerciseButton<n>Click" of a listed exercise, else 0.
    [[nodiscard]] int exercise_button(const std::string& handler) const;
    template <class T> T* find(const std::string& name) const;
    void registerControls();
    void registerHandlers();
};

// A UTF-8 text as a JSON string literal.
[[nodiscard]] std::string json_string(const std::string& utf8);

} // namespace saldorama
