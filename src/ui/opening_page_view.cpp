// TabSheet3: the opening balance.
#include <QAbstractItemDelegate>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QResizeEvent>
#include <QTableView>
#include <QTimer>
#include <algorithm>

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
        setMinimumSize(470, 260);

        // Only the amounts take input: the cursor never rests on a name, so a
        // typed digit always lands in an amount. Tab and Shift+Tab go from
        // amount to amount, Return goes down.
        grid_->setTabKeyNavigation(true);
        grid_->installEventFilter(this);
        connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this](const QModelIndex& current) {
                    if (current.isValid() && current.column() == 0)
                        QTimer::singleShot(0, this, [this, row = current.row()] { moveTo(row); });
                });
        // An open cell editor ends with Tab, Shift+Tab or Return: go on from there.
        connect(grid_->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
                [this](QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
                    const int row = grid_->indexAt(editor->geometry().center()).row();
                    if (row < 0) return;
                    // After the view has closed the editor.
                    QTimer::singleShot(0, this, [this, row, hint] {
                        if (hint == QAbstractItemDelegate::EditNextItem) moveTo(row + 1, true);
                        else if (hint == QAbstractItemDelegate::EditPreviousItem) moveTo(row - 1, true);
                        else if (hint == QAbstractItemDelegate::SubmitModelCache) moveTo(row + 1, false);
                    });
                });
    }

    ~OpeningPageView() override {
        grid_->removeEventFilter(this);
        grid_->selectionModel()->disconnect(this);
        grid_->itemDelegate()->disconnect(this);
    }
    OpeningPageView(const OpeningPageView&) = delete;
    OpeningPageView& operator=(const OpeningPageView&) = delete;

    bool eventFilter(QObject* object, QEvent* event) override {
        // Keys of an open cell editor come here too; the editor's own end handles those.
        if (object == grid_ && event->type() == QEvent::KeyPress && QApplication::focusWidget() == grid_) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const int row = grid_->currentIndex().row();
            if (key == Qt::Key_Tab) return moveTo(row + 1, false), true;
            if (key == Qt::Key_Backtab) return moveTo(row - 1, false), true;
            if (key == Qt::Key_Return || key == Qt::Key_Enter) return moveTo(row + 1, false), true;
        }
        return PageView::eventFilter(object, event);
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
    // Makes the amount cell of the row current (the row kept within the grid).
    void moveTo(int row, bool edit = false) {
        const int rows = grid_->model()->rowCount();
        if (rows == 0) return;
        row = std::clamp(row, 0, rows - 1);
        const QModelIndex amount = grid_->model()->index(row, 1);
        if (grid_->currentIndex() != amount) grid_->setCurrentIndex(amount);
        if (edit) grid_->edit(amount);
    }

    QTableView* grid_;
    QLabel* instruction_;
    QLabel* dateLabel_;
    QLineEdit* date_;
    QToolButton* ok_;
};

} // namespace

PageView* make_opening_page(MainWindow& w) { return new OpeningPageView(w); }

} // namespace saldorama::ui
