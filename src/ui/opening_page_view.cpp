// TabSheet3: the opening balance.
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QResizeEvent>
#include <QTableView>

#include "ui/main_window.h"

namespace saldorama::ui {

namespace {

class OpeningPageView : public PageView {
public:
    explicit OpeningPageView(MainWindow& w) : PageView(w, Page::TabSheet3) {
        OpeningBalancePage& page = form_.opening;
        // Column 0 is fixed; only the amounts in column 1 take input.
        grid_ = bind_grid(this, bindings_, "StringGrid2", page.StringGrid2, {false, true}, 1, {220, 220});
        instruction_ = bind_label(this, bindings_, "Label48", page.Label48, QRect(16, 0, 600, 18));
        dateLabel_ = bind_label(this, bindings_, "Label35", page.Label35, QRect(16, 0, 180, 18));
        date_ = bind_edit(window_, this, bindings_, "Edit27", page.Edit27, QRect(200, 0, 121, 22));
        ok_ = bind_button(window_, this, bindings_, "SpeedButton7", page.SpeedButton7, QRect(340, 0, 89, 28),
                          [this] { form_.opening.SpeedButton7Click(); });
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        PageView::resizeEvent(event);
        const int bottom = height();
        grid_->setGeometry(16, 8, 2 * 220 + 2 * grid_->frameWidth() + 18, bottom - 92);
        instruction_->move(16, bottom - 76);
        dateLabel_->move(16, bottom - 44);
        date_->move(200, bottom - 47);
        ok_->move(340, bottom - 50);
    }

private:
    QTableView* grid_;
    QLabel* instruction_;
    QLabel* dateLabel_;
    QLineEdit* date_;
    QToolButton* ok_;
};

} // namespace

PageView* make_opening_page(MainWindow& w) { return new OpeningPageView(w); }

} // namespace saldorama::ui
