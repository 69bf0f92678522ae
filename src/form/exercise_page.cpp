#include "form/exercise_page.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>

#include "base/cp1252.h"
#include "base/file.h"
#include "base/folder_lock.h"
#include "base/hidden_area.h"
#include "base/text_file.h"
#include "checking/check_text.h"
#include "exercises/exercise_file.h"
#include "form/page_context.h"
#include "undo/undo_copies.h"

namespace saldorama {

namespace {

namespace ck = checking;

// The row as the list shows it: right or wrong, then what it is about.
// In exam mode a case is only named, a control value only numbered.
std::string row_item(const Marked& m, const ck::CheckRow& row, bool exam) {
    std::string what;
    switch (row.kind) {
    case ck::RowKind::Case: {
        const ck::ExpectedCase& k = m.solution.cases[row.expected];
        what = ck::case_reference(m.solution, k);
        // A wrong one is only named: the list must not give the solution away.
        if (row.right() && !exam) what += ": " + ck::case_text(m.solution, k);
        break;
    }
    case ck::RowKind::ControlValue:
        what = exam ? ck::exam_control_name(row) : ck::control_name(m.solution.controls[row.control]);
        break;
    case ck::RowKind::CompanyField:
        what = "Firmendaten: " + row.field;
        break;
    case ck::RowKind::ExtraBooking:
        return "zu viel   deine Buchung " + std::to_string(m.learner.bookings[row.learner].number) + ": " +
               ck::booking_text(m.learner.bookings[row.learner].lines);
    case ck::RowKind::OtherChart:
        return "falsch    Kontenplan";
    }
    return (row.right() ? "richtig   " : "falsch    ") + what;
}

// The finding as the window shows it: a missing booking is only named, as
// "Lösung zeigen" shows it whole.
std::string window_finding(const Marked& m, const ck::CheckRow& row, bool exam) {
    if (!exam && row.finding == ck::Finding::Missing && row.kind == ck::RowKind::Case && row.learners.empty())
        return ck::case_reference(m.solution, m.solution.cases[row.expected]) +
               cp(" fehlt. Mit \"Lösung zeigen\" siehst du, wie er gebucht wird.");
    std::string text = ck::row_text(row, m.result, m.solution, m.learner);
    if (row.earlier && !row.right()) text += cp(" Sie gehört zu einer früheren Aufgabe und kostet keinen Punkt.");
    return text;
}

} // namespace

ExercisePage::ExercisePage(PageContext& context) : context_(context) {
    Label13.text = cp("Bitte wähle eine Aufgabe aus!");
    CheckCaption.text = cp("Aufgabe prüfen:");
    CheckButton.text = cp("Prüfen");
    SolutionButton.text = cp("Lösung zeigen");
    SolutionButton.enabled = false;
}

void ExercisePage::list(int count) {
    const auto n = static_cast<std::size_t>(std::max(count, 0));
    buttons.assign(n, Button{});
    titles.assign(n, Label{});
    CheckExercise.items.clear();
    for (std::size_t i = 0; i < n; ++i) {
        buttons[i].text = std::to_string(i + 1);
        CheckExercise.items.push_back(std::to_string(i + 1));
    }
}


namespace {

// The ticks of exercise n in this working folder: the numbers of the ticked
// lines, one a line.
std::string tick_file(const std::string& folder, int n) {
    return hidden_area(folder) + "/haken-aufgabe" + std::to_string(n) + ".txt";
}

} // namespace

bool ExercisePage::isTaskLine(const std::string& line) {
    std::size_t digits = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
    return digits > 0 && digits + 1 < line.size() && line[digits] == '.' && line[digits + 1] == ' ';
}

void ExercisePage::ExerciseButtonClick(int n) {
    CheckListBox1.clear();
    for (auto& line : read_exercise(n)) CheckListBox1.add(std::move(line));
    CheckExercise.text = std::to_string(n);
    loaded_ = n;
    const std::string ticks = tick_file(working_folder(context_.state), n);
    if (!file_exists(ticks)) return;
    // Ticks that no longer fit the text (a changed exercise) are passed over.
    for (const std::string& line : read_text_lines(ticks, LineEnds::CrLfLfOrCr)) {
        const std::size_t item = std::strtoul(line.c_str(), nullptr, 10);
        if (item < CheckListBox1.items.size() && isTaskLine(CheckListBox1.items[item])) CheckListBox1.checked[item] = true;
    }
}

void ExercisePage::CheckListBox1ClickCheck(std::size_t item, bool ticked) {
    if (item >= CheckListBox1.items.size() || !isTaskLine(CheckListBox1.items[item]) || loaded_ == 0) return;
    CheckListBox1.checked[item] = ticked;
    std::string text;
    for (std::size_t i = 0; i < CheckListBox1.checked.size(); ++i)
        if (CheckListBox1.checked[i]) text += std::to_string(i) + "\r\n";
    const std::string folder = working_folder(context_.state);
    FolderLock lock(folder);
    std::error_code ignored;
    std::filesystem::create_directories(hidden_area(folder), ignored);
    write_file_atomic(tick_file(folder, loaded_), text);
}

void ExercisePage::clearCheck() {
    marked_ = {};
    shownRows_.clear();
    CheckPoints.text.clear();
    CheckRows.items.clear();
    CheckRows.itemIndex = -1;
    CheckFinding.lines.clear();
    SolutionButton.enabled = false;
}

void ExercisePage::followExamMode() {
    if (context_.state.examMode && !exam_) clearCheck();
    SolutionButton.visible = !exam_ && !context_.state.examMode;
}

void ExercisePage::CheckButtonClick() {
    clearCheck();
    const std::string& text = CheckExercise.text;
    int n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (!context_.state.startDirectory.empty()) change_directory(context_.state.startDirectory);
    const int count = exercise_count();
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || n < 1 || n > count) {
        context_.dialogs.notice(count < 1 ? cp("In diesem Ordner gibt es keine Aufgabe zum Prüfen.")
                                          : cp("Wähle die Aufgabe, die du prüfen willst: 1 bis ") +
                                                std::to_string(count) + ".");
        return;
    }
    const TeacherOptions options = read_teacher_options();
    {
        const ReadingLock lock(context_.state);
        marked_ = check_working_folder(n, context_.state.currentChart, learner_solutions_folder(options));
    }
    exam_ = options.examMode;
    context_.state.examMode = exam_;
    SolutionButton.visible = !exam_;
    if (exam_) hide_solution(marked_);
    const ck::CheckResult& result = marked_.result;
    CheckPoints.text = ck::points_text(result.points, result.maxPoints);
    // This exercise's rows first, those of the exercises it builds on after them.
    for (const bool earlier : {false, true})
        for (std::size_t i = 0; i < result.row_count(); ++i) {
            const ck::CheckRow row = result.row(i);
            if (row.earlier == earlier) {
                shownRows_.push_back(i);
                CheckRows.items.push_back(row_item(marked_, row, exam_));
            }
        }
    if (result.row_count() == 0)
        CheckFinding.lines = {cp("Zu dieser Aufgabe gibt es nichts zu buchen; geprüft wird nur der Kontenplan.")};
    // Only now, once the learner has answered them.
    showAnswers();
}

void ExercisePage::showAnswers() {
    const std::vector<std::string> answers = ck::answer_lines(marked_.answers);
    if (!answers.empty() && !CheckFinding.lines.empty()) CheckFinding.lines.push_back("");
    CheckFinding.lines.insert(CheckFinding.lines.end(), answers.begin(), answers.end());
}

void ExercisePage::CheckRowsClick() {
    CheckFinding.lines.clear();
    SolutionButton.enabled = false;
    const int i = CheckRows.itemIndex;
    if (i < 0 || static_cast<std::size_t>(i) >= shownRows_.size()) return;
    const ck::CheckRow row = marked_.result.row(shownRows_[static_cast<std::size_t>(i)]);
    CheckFinding.lines = {window_finding(marked_, row, exam_)};
    // The answers stay in view below each finding.
    showAnswers();
    SolutionButton.visible = !exam_ && !context_.state.examMode;
    SolutionButton.enabled = SolutionButton.visible && (row.kind == ck::RowKind::Case || row.kind == ck::RowKind::ControlValue ||
                                        row.kind == ck::RowKind::CompanyField);
}

void ExercisePage::SolutionButtonClick() {
    CheckRowsClick();
    if (!SolutionButton.enabled) return;
    const ck::CheckRow row = marked_.result.row(shownRows_[static_cast<std::size_t>(CheckRows.itemIndex)]);
    const std::vector<std::string> lines =
        row.kind == ck::RowKind::Case           ? ck::solution_lines(marked_.solution, marked_.solution.cases[row.expected])
        : row.kind == ck::RowKind::CompanyField ? ck::company_solution_lines(row)
                                                : ck::solution_lines(marked_.solution.controls[row.control]);
    // Right below the finding, above the answers.
    const auto below = CheckFinding.lines.insert(CheckFinding.lines.begin() + 1, "");
    CheckFinding.lines.insert(below + 1, lines.begin(), lines.end());
}

} // namespace saldorama
