// TabSheet8: the eight exercises; the check list itself is in the top panel.
#include <QLabel>
#include <QToolButton>

#include "ui/main_window.h"

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
        void (ExercisePage::*handlers[])() = {
            &ExercisePage::SpeedButton14Click, &ExercisePage::SpeedButton15Click, &ExercisePage::SpeedButton16Click,
            &ExercisePage::SpeedButton17Click, &ExercisePage::SpeedButton18Click, &ExercisePage::SpeedButton19Click,
            &ExercisePage::SpeedButton20Click, &ExercisePage::SpeedButton21Click};
        for (std::size_t i = 0; i < 8; ++i) {
            const int y = 52 + 36 * static_cast<int>(i);
            const auto handler = handlers[i];
            bind_button(window_, this, bindings_, ("SpeedButton" + std::to_string(14 + i)).c_str(), page.buttons[i],
                        QRect(32, y, 30, 30), [this, handler] { (form_.exercises.*handler)(); });
            bind_label(this, bindings_, ("Label" + std::to_string(36 + i)).c_str(), page.titles[i],
                       QRect(76, y + 6, 620, 18));
        }
    }
};

} // namespace

PageView* make_exercise_page(MainWindow& w) { return new ExercisePageView(w); }

} // namespace saldorama::ui
