// TabSheet9: choosing the chart of accounts and the chart as a table.
#include <QHeaderView>
#include <QLabel>
#include <QToolButton>
#include <QResizeEvent>
#include <QTableView>

#include "ui/main_window.h"

namespace saldorama::ui {

namespace {

class ChartPageView : public PageView {
public:
    explicit ChartPageView(MainWindow& w) : PageView(w, Page::TabSheet9) {
        ChartPage& page = form_.chart;
        QLabel* prompt = bind_label(this, bindings_, "Label12", page.Label12, QRect(16, 12, 220, 22));
        QFont bold = prompt->font();
        bold.setBold(true);
        prompt->setFont(bold);
        Button* buttons[] = {&page.SpeedButton10, &page.SpeedButton11, &page.SpeedButton12, &page.SpeedButton13};
        Label* names[] = {&page.Label14, &page.Label15, &page.Label16, &page.Label17};
        void (ChartPage::*handlers[])() = {&ChartPage::SpeedButton10Click, &ChartPage::SpeedButton11Click,
                                          &ChartPage::SpeedButton12Click, &ChartPage::SpeedButton13Click};
        for (std::size_t i = 0; i < std::size(buttons); ++i) {
            const int y = 44 + 36 * static_cast<int>(i);
            const auto handler = handlers[i];
            bind_button(window_, this, bindings_, ("SpeedButton" + std::to_string(10 + i)).c_str(), *buttons[i],
                        QRect(16, y, 30, 30), [this, handler] { (form_.chart.*handler)(); });
            bind_label(this, bindings_, ("Label" + std::to_string(14 + i)).c_str(), *names[i],
                       QRect(56, y + 6, 180, 18));
        }
        bind_label(this, bindings_, "Label24", page.Label24, QRect(16, 196, 220, 18));
        grid_ = bind_grid(this, bindings_, "StringGrid1", page.StringGrid1, {}, 0, {204, 67, 57, 64, 58, 40});
        // Headers are never cut: a column is at least as wide as its header text.
        bindings_.add([this] {
            QHeaderView* header = grid_->horizontalHeader();
            for (int c = 0; c < header->count(); ++c) {
                const QString text = grid_->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
                const int needed = header->fontMetrics().horizontalAdvance(text) + 16;
                if (header->sectionSize(c) < needed) header->resizeSection(c, needed);
            }
        });
        setMinimumSize(560, 300);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        PageView::resizeEvent(event);
        grid_->setGeometry(240, 8, width() - 248, height() - 16);
    }

private:
    QTableView* grid_;
};

} // namespace

PageView* make_chart_page(MainWindow& w) { return new ChartPageView(w); }

} // namespace saldorama::ui
