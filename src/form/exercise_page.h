#pragma once
#include <string>
#include <vector>

#include "kernel/controls.h"
#include "marking/learner_check.h"

namespace saldorama {

struct PageContext;

// TabSheet8 and the check list in the top panel; below the exercises, the
// check of the learner's books against an exercise's solution.
class ExercisePage {
public:
    explicit ExercisePage(PageContext& context);

    Label Label13;  // "Bitte wähle eine Aufgabe aus!"
    // One button ("1", "2", ...) and one title per exercise of the working
    // folder, as many as list() was given.
    std::vector<Button> buttons;
    std::vector<Label> titles;
    CheckListBox CheckListBox1;

    // The check: the exercise to check (its number, the one on show by
    // default), "Prüfen", the points, one row per expected booking and
    // control value and per extra booking, the selected row's finding and
    // "Lösung zeigen".
    Label CheckCaption;      // "Aufgabe prüfen:"
    ComboBox CheckExercise;
    Button CheckButton;      // "Prüfen"
    Label CheckPoints;       // "3 von 5 Punkten"
    ListBox CheckRows;
    Memo CheckFinding;
    Button SolutionButton;   // "Lösung zeigen"

    // Lists exercises 1 to `count`: a button and an empty title each, and
    // the numbers to check.
    void list(int count);
    // The button of exercise n: exercise n into the check list, with the
    // ticks last set in this working folder; it becomes the exercise to check.
    void ExerciseButtonClick(int n);
    // A tick set or taken away in the list; only task lines take one, and
    // it is kept for the next start.
    void CheckListBox1ClickCheck(std::size_t item, bool ticked);
    // A line that is a step of the exercise ("3. Klicke auf ..."): its
    // number and a full stop at the start. Headings, indented or wrapped
    // continuation lines and blank lines are none.
    [[nodiscard]] static bool isTaskLine(const std::string& line);
    // The exercise in the check list; 0 before one was chosen.
    [[nodiscard]] int loadedExercise() const noexcept { return loaded_; }

    // Checks the working folder's books against the chosen exercise's
    // solution, then shows the answers to its questions. Reads files only.
    // In exam mode (see TeacherOptions) "Lösung zeigen" is hidden and the
    // findings name only case and kind of mistake.
    void CheckButtonClick();
    // Shows the finding of the selected row.
    void CheckRowsClick();
    // On showing the page: a check made before exam mode was switched on
    // leaves it, since its findings and answers show more than exam mode allows.
    void followExamMode();
    // Adds the expected booking (or value) of the selected row and its explanation.
    void SolutionButtonClick();

    // The last check, for the rows' details; the list shows the rows of
    // this exercise first, then those about earlier exercises.
    [[nodiscard]] const Marked& marked() const noexcept { return marked_; }
    // The result row list item i shows.
    [[nodiscard]] std::size_t shownRow(std::size_t i) const { return shownRows_.at(i); }

private:
    PageContext& context_;
    int loaded_ = 0;  // the exercise in the check list
    Marked marked_;
    bool exam_ = false;  // the last check was in exam mode
    std::vector<std::size_t> shownRows_;  // the result row of each list item
    void clearCheck();
    void showAnswers();  // below what the finding box holds
};

} // namespace saldorama
