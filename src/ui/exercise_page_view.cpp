// TabSheet8: the exercises of the working folder in a list that scrolls and,
// below them, the check of the books; the exercise's check list itself is in
// the top panel.
#include <algorithm>
#include <utility>
#include <vector>

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include "ui/main_window.h"
#include "ui/ui_text.h"

namespace saldorama::ui {

namespace {

class ExercisePageView : public PageView {
public:
    explicit ExercisePageView(MainWindow& w) : PageView(w, Page::TabSheet8) {
        ExercisePage& page = form_.exercises;
        QLabel* prompt = bind_label(this, bindings_, "Label13", page.Label13, QRect(32, 16, 400, 24));
        QFont bold = prompt->font();
        bold.setBold(true);
        bold.setPixelSize(15);
        prompt->setFont(bold);
        exerciseArea_ = new QScrollArea(this);
        exerciseArea_->setObjectName(QStringLiteral("ExerciseList"));
        exerciseArea_->setFrameShape(QFrame::NoFrame);
        exerciseArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        exerciseArea_->setGeometry(24, kListTop, 700, kCheckTop - kListTop - 12);
        bindings_.add([this] { syncExercises(); });
        bindCheck(page);
        setMinimumSize(740, kLowestCheckTop + 30 + 94 + 8);
    }

protected:
    // The result list and the finding take the room the window gives them;
    // on a short page the exercise list gives up rows for ten results.
    void resizeEvent(QResizeEvent* event) override {
        PageView::resizeEvent(event);
        const int resultRow = std::max(rows_->fontMetrics().height(), rows_->sizeHintForRow(0));
        const int tenResults = kShownResults * resultRow + 2 * rows_->frameWidth() +
                               rows_->horizontalScrollBar()->sizeHint().height();
        const int checkTop = std::clamp(height() - 8 - tenResults - 30, kLowestCheckTop, kCheckTop);
        exerciseArea_->setGeometry(24, kListTop, 700, checkTop - kListTop - 12);
        for (const auto& [w, offset] : checkRow_) w->move(w->x(), checkTop + offset);
        const int top = checkTop + 30;
        const int h = std::max(94, height() - top - 8);
        const int listWidth = std::max(440, (width() - 40) * 3 / 5);
        rows_->setGeometry(32, top, listWidth, h);
        finding_->setGeometry(32 + listWidth + 8, top, std::max(250, width() - listWidth - 48), h);
    }

private:
    static constexpr int kListTop = 48;
    static constexpr int kRowHeight = 36;
    static constexpr int kCheckTop = 340;
    static constexpr int kLowestCheckTop = kListTop + 2 * kRowHeight + 12;  // two exercises stay in view
    static constexpr int kShownResults = 10;
    // The caption, box, buttons and points over the results, each with its
    // distance from the row's top.
    std::vector<std::pair<QWidget*, int>> checkRow_;
    QScrollArea* exerciseArea_ = nullptr;
    Bindings exerciseBindings_;
    std::size_t listed_ = 0;
    QListWidget* rows_ = nullptr;
    QPlainTextEdit* finding_ = nullptr;
    std::vector<std::string> shownRows_;
    std::vector<std::string> shownFinding_;

    // One row per exercise, made anew when the number of exercises changes;
    // the widgets are named after the exercise's number.
    void syncExercises() {
        const ExercisePage& page = form_.exercises;
        if (listed_ != page.buttons.size() || !exerciseArea_->widget()) {
            listed_ = page.buttons.size();
            exerciseBindings_ = Bindings{};
            auto* list = new QWidget;
            for (std::size_t i = 0; i < listed_; ++i) {
                const int y = 4 + kRowHeight * static_cast<int>(i);
                const int n = static_cast<int>(i + 1);
                bind_button(window_, list, exerciseBindings_, ("ExerciseButton" + std::to_string(n)).c_str(),
                            page.buttons[i], QRect(8, y, 30, 30), [this, n] { form_.exercises.ExerciseButtonClick(n); });
                bind_label(list, exerciseBindings_, ("ExerciseTitle" + std::to_string(n)).c_str(), page.titles[i],
                           QRect(52, y + 6, 620, 18));
            }
            list->setFixedSize(680, 8 + kRowHeight * static_cast<int>(listed_));
            exerciseArea_->setWidget(list);  // deletes the list shown before
        }
        exerciseBindings_.sync();
    }

    void bindCheck(ExercisePage& page) {
        // Under the exercises, in the room the page has left.
        const int y = kCheckTop;
        const std::vector<QWidget*> controls = {
            bind_label(this, bindings_, "CheckCaption", page.CheckCaption, QRect(32, y + 3, 110, 20)),
            bind_combo(window_, this, bindings_, "CheckExercise", page.CheckExercise, QRect(144, y, 52, 24)),
            bind_button(window_, this, bindings_, "CheckButton", page.CheckButton, QRect(204, y, 80, 24),
                        [this] { form_.exercises.CheckButtonClick(); }),
            bind_label(this, bindings_, "CheckPoints", page.CheckPoints, QRect(296, y + 3, 200, 20)),
            bind_button(window_, this, bindings_, "SolutionButton", page.SolutionButton, QRect(592, y, 110, 24),
                        [this] { form_.exercises.SolutionButtonClick(); })};
        for (QWidget* w : controls) checkRow_.emplace_back(w, w->y() - y);

        rows_ = new QListWidget(this);
        rows_->setObjectName(QStringLiteral("CheckRows"));
        rows_->setGeometry(32, y + 30, 440, 94);
        connect(rows_, &QListWidget::currentRowChanged, this, [this](int row) {
            if (window_.syncing()) return;
            form_.exercises.CheckRows.itemIndex = row;
            window_.run([this] { form_.exercises.CheckRowsClick(); });
        });
        finding_ = new QPlainTextEdit(this);
        finding_->setObjectName(QStringLiteral("CheckFinding"));
        finding_->setReadOnly(true);
        finding_->setTabChangesFocus(true);  // Tab goes on to the next button
        finding_->setGeometry(480, y + 30, 250, 94);
        bindings_.add([this] { syncCheck(); });
    }

    void syncCheck() {
        const ExercisePage& page = form_.exercises;
        if (shownRows_ != page.CheckRows.items || rows_->count() != static_cast<int>(page.CheckRows.items.size())) {
            shownRows_ = page.CheckRows.items;
            rows_->clear();
            for (const auto& item : page.CheckRows.items) rows_->addItem(qs(item));
        }
        if (rows_->currentRow() != page.CheckRows.itemIndex) rows_->setCurrentRow(page.CheckRows.itemIndex);
        if (shownFinding_ != page.CheckFinding.lines) {
            shownFinding_ = page.CheckFinding.lines;
            QStringList lines;
            for (const auto& line : page.CheckFinding.lines) lines.append(qs(line));
            finding_->setPlainText(lines.join(QLatin1Char('\n')));
        }
    }
};

} // namespace

PageView* make_exercise_page(MainWindow& w) { return new ExercisePageView(w); }

} // namespace saldorama::ui
