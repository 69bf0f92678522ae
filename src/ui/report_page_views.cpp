// The report pages: balance sheet (TabSheet5), journal (TabSheet6),
// operating result (TabSheet11) and the T-accounts (TabSheet10).
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QKeySequence>
#include <QShortcut>
#include <algorithm>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

#include "form/print_jobs.h"
#include "print/report_printer.h"
#include "ui/main_window.h"
#include "ui/memo_view.h"
#include "ui/print_actions.h"
#include "ui/ui_text.h"
#include "ui/wrapping_delegate.h"

namespace saldorama::ui {

namespace {

// The textbook form on screen: the same lines, bars, rules and diagonals as
// the print, in the report font and the text colour of the theme.
class TFormView : public QWidget {
public:
    explicit TFormView(const QFont& font, QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("TextbookView"));
        setFont(font);
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Base);
    }
    void setLines(std::vector<PrintLine> lines) {
        lines_ = std::move(lines);
        const print::LineGeometry g = print::screen_geometry(font(), *this).line;
        int widest = 0;
        for (const auto& l : lines_) widest = std::max(widest, static_cast<int>(l.text.size()));
        setMinimumSize(static_cast<int>((widest + 4) * g.charWidth),
                       static_cast<int>((static_cast<double>(lines_.size()) + 2) * g.lineHeight));
        update();
    }
    [[nodiscard]] const std::vector<PrintLine>& lines() const noexcept { return lines_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setFont(font());
        p.setPen(QPen(palette().color(QPalette::Text), 1));
        const print::PageGeometry g = print::screen_geometry(font(), *this);
        double y = g.top;
        for (const auto& line : lines_) {
            print::paint_print_line(p, g.line, line, y);
            y += g.line.lineHeight;
        }
    }

private:
    std::vector<PrintLine> lines_;
};

class MemoPageView : public PageView {
public:
    MemoPageView(MainWindow& w, Page page, const char* name, const Memo& memo, const QFont& font,
                 PrintedReport report)
        : PageView(w, page), report_(report) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        QWidget* bar = make_print_bar(w, this, report, QBoxLayout::LeftToRight);
        layout->addWidget(bar);
        memo_ = bind_report_memo(this, bindings_, name, memo, font);
        layout->addWidget(memo_);
        if (report != PrintedReport::Balance) return;
        // "Lehrbuchform" shows the balance sheet and the P&L in T-form here too.
        textbook_ = bar->findChild<QCheckBox*>(QStringLiteral("TextbookBox"));
        tform_ = new TFormView(font, this);
        auto* scroll = new QScrollArea(this);
        scroll->setObjectName(QStringLiteral("TextbookScroll"));
        scroll->setWidget(tform_);
        scroll->setWidgetResizable(true);
        scroll->hide();
        layout->addWidget(scroll);
        scroll_ = scroll;
        if (textbook_) {
            textbook_->setToolTip(QStringLiteral("Zeigt und druckt Bilanz und GuV in T-Form wie im Lehrbuch"));
            connect(textbook_, &QCheckBox::toggled, this, [this] { refresh(); });
        }
    }

    void refresh() override {
        PageView::refresh();
        if (!tform_) return;
        const bool on = textbook_ && textbook_->isChecked() && form_.state.currentChart != 0;
        if (on) {
            std::vector<PrintLine> lines;
            // A failure (an unreadable chart) shows its box; the memo stays.
            const bool made = form_.run([&] { lines = print_job(form_, report_, true, {}).lines; });
            if (made) tform_->setLines(std::move(lines));
            showTextbook(made);
            return;
        }
        showTextbook(false);
    }

private:
    void showTextbook(bool on) {
        if (memo_->isHidden() != on) memo_->setHidden(on);
        if (scroll_->isHidden() == on) scroll_->setHidden(!on);
    }

    PrintedReport report_;
    QWidget* memo_ = nullptr;
    QCheckBox* textbook_ = nullptr;
    TFormView* tform_ = nullptr;
    QWidget* scroll_ = nullptr;
};

constexpr int kSollWidth = 284;
constexpr int kGapWidth = 3;
constexpr int kHabenWidth = 276;
constexpr int kListMinWidth = 140;  // the account list beside the T-account
constexpr int kBar = 3;
// The T-account's font at the first size; on a wide page the whole T grows
// with it, up to twice as large, so the room beside it stays with the list.
constexpr int kSheetFontPx = 11;
constexpr double kSheetMaxScale = 2.0;

class AccountSheetView : public PageView {
public:
    explicit AccountSheetView(MainWindow& w) : PageView(w, Page::TabSheet10) {
        AccountSheetPage& page = form_.accountSheet;
        heading_ = bind_label(this, bindings_, "Label51", page.Label51, QRect(8, 6, 420, 20));
        QFont bold = heading_->font();
        bold.setBold(true);
        bold.setPixelSize(14);
        heading_->setFont(bold);
        soll_ = bind_label(this, bindings_, "Label52", page.Label52, QRect(8, 30, 100, 18));
        haben_ = bind_label(this, bindings_, "Label53", page.Label53, QRect(8, 30, 100, 18));
        soll_->setFont(bold);
        haben_->setFont(bold);

        grid_ = bind_grid(this, bindings_, "StringGrid3", page.StringGrid3, {}, 0,
                          {kSollWidth, kGapWidth, kHabenWidth});
        grid_->setShowGrid(false);
        grid_->setSelectionMode(QAbstractItemView::NoSelection);
        grid_->setFocusPolicy(Qt::NoFocus);
        grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        setSheetFont(kSheetFontPx);
        // The grid's own binding sets the columns at the first size; the
        // scaled ones follow it.
        bindings_.add([this] { applyColumns(); });

        // The two bars that draw the "T" over the grid, in the text colour.
        auto bar = [this](const char* name) {
            auto* frame = new QFrame(this);
            frame->setObjectName(QString::fromLatin1(name));
            frame->setAutoFillBackground(true);
            frame->setBackgroundRole(QPalette::Text);
            frame->setForegroundRole(QPalette::Base);  // it stands on the grid's paper
            return frame;
        };
        vertical_ = bar("Panel6");
        horizontal_ = bar("Panel7");

        panel4_ = new QFrame(this);
        panel4_->setObjectName(QStringLiteral("Panel4"));
        auto* panelLayout = new QVBoxLayout(panel4_);
        panelLayout->setContentsMargins(2, 2, 2, 2);
        list_ = new QListWidget(panel4_);
        list_->setObjectName(QStringLiteral("ListBox1"));
        // Where the room beside the T-account is narrow, long names wrap,
        // each inside its own entry: rules between entries, rows alternating.
        list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list_->setWordWrap(true);
        list_->setResizeMode(QListView::Adjust);
        list_->setAlternatingRowColors(true);
        list_->setItemDelegate(new WrappingDelegate(list_, true));
        panelLayout->addWidget(list_, 1);  // the list takes the height the buttons leave
        QToolButton* chartButton = bind_nav_button(window_, panel4_, bindings_, "SpeedButton37", page.SpeedButton37, {},
                                                   Page::TabSheet9, [this] { form_.SpeedButton37Click(); });
        chartButton->setFixedHeight(30);
        panelLayout->addWidget(chartButton);
        panelLayout->addWidget(make_print_bar(w, panel4_, PrintedReport::AccountSheet, QBoxLayout::TopToBottom));
        connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
            if (window_.syncing()) return;
            form_.accountSheet.ListBox1.itemIndex = row;
            window_.run([this] { form_.accountSheet.ListBox1Click(); });
        });
        bindings_.add([this] { syncList(); });

        // Ctrl+C copies the whole T-account as text.
        auto* copy = new QShortcut(QKeySequence::Copy, this);
        copy->setObjectName(QStringLiteral("CopyTAccount"));
        copy->setContext(Qt::WindowShortcut);
        connect(copy, &QShortcut::activated, this, [this] {
            QGuiApplication::clipboard()->setText(qs(form_.accountSheet.sheetText()));
        });
        setMinimumSize(740, 260);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        PageView::resizeEvent(event);
        const int frame = grid_->frameWidth();
        const int extra = 2 * frame + grid_->verticalScrollBar()->sizeHint().width();
        const int baseWidth = kSollWidth + kGapWidth + kHabenWidth + extra;
        // Wide enough for the longest account name where there is room, but
        // never over the T-account: in a narrower list long names wrap.
        int widest = 0;
        for (int i = 0; i < list_->count(); ++i)
            widest = std::max(widest, list_->fontMetrics().horizontalAdvance(list_->item(i)->text()));
        const int wanted = widest + 2 * list_->frameWidth() + list_->verticalScrollBar()->sizeHint().width() + 24;
        int listWidth = std::max(kListMinWidth, std::min(wanted, width() - (8 + baseWidth + 4)));
        // The T takes the room left beside the list; the list whatever it leaves.
        const double scale = std::clamp(static_cast<double>(width() - 12 - listWidth - extra) /
                                            (kSollWidth + kGapWidth + kHabenWidth), 1.0, kSheetMaxScale);
        setSheetFont(static_cast<int>(kSheetFontPx * scale));
        applyColumns();
        const int sollWidth = scaled(kSollWidth);
        const int tWidth = sollWidth + kGapWidth + scaled(kHabenWidth);
        const int gridWidth = tWidth + extra;
        listWidth = std::max(listWidth, width() - (8 + gridWidth + 4));
        panel4_->setGeometry(width() - listWidth, 0, listWidth, height());
        const int headerHeight = grid_->horizontalHeader()->height();
        const int top = 30 + soll_->height() + 2;
        grid_->setGeometry(8, top, gridWidth, height() - top - 8);
        soll_->move(8 + frame + 2, 30);
        haben_->move(8 + frame + sollWidth + kGapWidth + 2, 30);
        vertical_->setGeometry(8 + frame + sollWidth, top + frame, kBar, height() - top - 8 - 2 * frame);
        horizontal_->setGeometry(8 + frame, top + frame + headerHeight - 1, tWidth, kBar);
        vertical_->raise();
        horizontal_->raise();
    }

private:
    [[nodiscard]] int scaled(int width) const { return width * fontPx_ / kSheetFontPx; }

    // The grid's text, its header and its rows in a font of `px` pixels.
    void setSheetFont(int px) {
        if (px == fontPx_) return;
        fontPx_ = px;
        const QFont fixed = fixed_font(QStringLiteral("Courier New"), px, false);
        const int rowHeight = scaled(form_.accountSheet.StringGrid3.defaultRowHeight);
        grid_->setFont(fixed);
        grid_->horizontalHeader()->setFont(fixed);
        grid_->horizontalHeader()->setFixedHeight(rowHeight + 2);
        grid_->verticalHeader()->setMinimumSectionSize(rowHeight);
        grid_->verticalHeader()->setDefaultSectionSize(rowHeight);
        if (auto* model = dynamic_cast<GridModel*>(grid_->model())) model->setHeaderFont(fixed);
        QFont bold = soll_->font();
        bold.setPixelSize(std::max(14, px + 3));
        soll_->setFont(bold);
        haben_->setFont(bold);
        const QSize label(scaled(100), std::max(18, QFontMetrics(bold).height() + 2));
        soll_->resize(label);
        haben_->resize(label);
    }

    // Soll and Haben grow with the font; the gap under the bar stays.
    void applyColumns() {
        QHeaderView* header = grid_->horizontalHeader();
        const int widths[] = {scaled(kSollWidth), kGapWidth, scaled(kHabenWidth)};
        for (int c = 0; c < std::min(3, header->count()); ++c)
            if (header->sectionSize(c) != widths[c]) header->resizeSection(c, widths[c]);
    }

    void syncList() {
        const ListBox& control = form_.accountSheet.ListBox1;
        if (shownItems_ != control.items || list_->count() != static_cast<int>(control.items.size())) {
            shownItems_ = control.items;
            list_->clear();
            for (const auto& item : control.items) list_->addItem(qs(item));
            resizeEvent(nullptr);
        }
        if (list_->currentRow() != control.itemIndex) list_->setCurrentRow(control.itemIndex);
    }

    QLabel* heading_;
    QLabel* soll_;
    QLabel* haben_;
    QTableView* grid_;
    QFrame* vertical_;
    QFrame* horizontal_;
    QFrame* panel4_;
    QListWidget* list_;
    std::vector<std::string> shownItems_;
    int fontPx_ = 0;
};

} // namespace

PageView* make_balance_page(MainWindow& w) {
    return new MemoPageView(w, Page::TabSheet5, "Memo1", w.form().balance.Memo1,
                            fixed_font(QStringLiteral("Courier"), 16, true), PrintedReport::Balance);
}

PageView* make_operating_page(MainWindow& w) {
    return new MemoPageView(w, Page::TabSheet11, "Memo4", w.form().operating.Memo4,
                            fixed_font(QStringLiteral("Courier New"), 16, true), PrintedReport::Operating);
}

PageView* make_journal_page(MainWindow& w) {
    return new MemoPageView(w, Page::TabSheet6, "Memo2", w.form().journal.Memo2,
                            fixed_font(QStringLiteral("Courier New"), 13, false), PrintedReport::Journal);
}

PageView* make_account_sheet_page(MainWindow& w) { return new AccountSheetView(w); }

} // namespace saldorama::ui
