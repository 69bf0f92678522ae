#include "ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QListWidget>
#include <QToolButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/ui_text.h"

namespace saldorama::ui {

namespace {

constexpr int kOuterWidth = 869;
constexpr int kOuterHeight = 635;
constexpr int kTopPanelHeight = 145;
constexpr int kTopButtonsWidth = 216;
constexpr int kLeftPanelWidth = 129;

QFrame* panel(const char* name, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return frame;
}

} // namespace

PageView::PageView(MainWindow& window, Page page)
    : window_(window), form_(window.form()), page_(page) {
    setObjectName(QStringLiteral("TabSheet%1").arg(static_cast<int>(page)));
}

MainWindow::MainWindow(TForm1& form) : form_(form) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(qs(form_.Caption));
    // System menu and minimise button, no maximise button; the size is fixed.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(kOuterWidth, kOuterHeight);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    QFrame* top = panel("Panel2", this);
    top->setFixedHeight(kTopPanelHeight);
    outer->addWidget(top);
    auto* lower = new QHBoxLayout;
    lower->setContentsMargins(0, 0, 0, 0);
    lower->setSpacing(0);
    outer->addLayout(lower, 1);
    QFrame* left = panel("Panel1", this);
    left->setFixedWidth(kLeftPanelWidth);
    lower->addWidget(left);
    pages_ = new QStackedWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    lower->addWidget(pages_, 1);

    buildPanels(top, left);

    for (PageView* view : {make_start_page(*this), make_company_page(*this), make_opening_page(*this),
                           make_booking_page(*this), make_balance_page(*this), make_journal_page(*this),
                           make_settings_page(*this), make_exercise_page(*this), make_chart_page(*this),
                           make_account_sheet_page(*this), make_operating_page(*this)}) {
        views_[view->page()] = view;
        pages_->addWidget(view);
    }
    pages_->setCurrentWidget(views_.at(form_.activePage()));
}

MainWindow::~MainWindow() {
    // The pages go while this is still a MainWindow: a field losing the focus
    // as it is destroyed finds the window closing and runs no handler.
    closing_ = true;
    syncing_ = true;
    for (auto& entry : views_) delete entry.second;
    views_.clear();
    delete checkList_;
    checkList_ = nullptr;
}

void MainWindow::buildPanels(QWidget* top, QWidget* left) {
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(1, 1, 1, 1);
    topLayout->setSpacing(1);
    QFrame* buttons = panel("Panel3", top);
    buttons->setFixedWidth(kTopButtonsWidth);
    topLayout->addWidget(buttons);
    auto* grid = new QGridLayout(buttons);
    grid->setContentsMargins(1, 1, 1, 1);
    grid->setSpacing(1);
    auto place = [&](QToolButton* b, int row, int col, int span) {
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
        if (span == 1) {  // three captions side by side in 216 pixels
            QFont small = b->font();
            small.setPixelSize(11);
            b->setFont(small);
        }
        grid->addWidget(b, row, col, 1, span);
    };
    place(bind_nav_button(*this, buttons, panelBindings_, "SpeedButton22", form_.SpeedButton22, {}, Page::TabSheet8,
                          [this] { form_.SpeedButton22Click(); }),
          0, 0, 1);
    place(bind_button(*this, buttons, panelBindings_, "SpeedButton23", form_.SpeedButton23, {},
                      [this] { form_.SpeedButton23Click(); }),
          0, 1, 1);
    place(bind_button(*this, buttons, panelBindings_, "SpeedButton24", form_.SpeedButton24, {},
                      [this] { form_.SpeedButton24Click(); }),
          0, 2, 1);
    place(bind_nav_button(*this, buttons, panelBindings_, "SpeedButton35", form_.SpeedButton35, {}, Page::TabSheet2,
                          [this] { form_.SpeedButton35Click(); }),
          1, 0, 3);
    grid->setRowStretch(0, 3);
    grid->setRowStretch(1, 2);

    checkList_ = new QListWidget(top);
    checkList_->setObjectName(QStringLiteral("CheckListBox1"));
    checkList_->setFont(fixed_font(QStringLiteral("Courier New"), 13, false));
    checkList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    checkList_->setFocusPolicy(Qt::ClickFocus);
    topLayout->addWidget(checkList_, 1);
    connect(checkList_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (syncing_) return;
        auto& list = form_.exercises.CheckListBox1;
        const int row = checkList_->row(item);
        if (row >= 0 && static_cast<std::size_t>(row) < list.checked.size())
            list.checked[static_cast<std::size_t>(row)] = item->checkState() == Qt::Checked;
    });

    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(2, 2, 2, 2);
    leftLayout->setSpacing(2);
    struct Nav {
        const char* name;
        Button& control;
        Page target;  // TabSheet1: the button shows no page of its own
        std::function<void()> handler;
    };
    TForm1& f = form_;
    const Nav nav[] = {
        {"SpeedButton2", f.SpeedButton2, Page::TabSheet3, [&f] { f.SpeedButton2Click(); }},
        {"SpeedButton3", f.SpeedButton3, Page::TabSheet4, [&f] { f.SpeedButton3Click(); }},
        {"SpeedButton4", f.SpeedButton4, Page::TabSheet5, [&f] { f.SpeedButton4Click(); }},
        {"SpeedButton1", f.SpeedButton1, Page::TabSheet11, [&f] { f.SpeedButton1Click(); }},
        {"SpeedButton5", f.SpeedButton5, Page::TabSheet6, [&f] { f.SpeedButton5Click(); }},
        {"SpeedButton6", f.SpeedButton6, Page::TabSheet10, [&f] { f.SpeedButton6Click(); }},
        {"SpeedButton30", f.SpeedButton30, Page::TabSheet1, [&f] { f.SpeedButton30Click(); }},
        {"SpeedButton31", f.SpeedButton31, Page::TabSheet1, [&f] { f.SpeedButton31Click(); }},
        {"SpeedButton33", f.SpeedButton33, Page::TabSheet1, [&f] { f.SpeedButton33Click(); }},
        {"SpeedButton34", f.SpeedButton34, Page::TabSheet1, [&f] { f.SpeedButton34Click(); }},
    };
    for (const Nav& n : nav) {
        QToolButton* b = n.target == Page::TabSheet1
                             ? bind_button(*this, left, panelBindings_, n.name, n.control, {}, n.handler)
                             : bind_nav_button(*this, left, panelBindings_, n.name, n.control, {}, n.target, n.handler);
        b->setFixedHeight(40);
        leftLayout->addWidget(b);
    }
    leftLayout->addStretch(1);
}

void MainWindow::run(const std::function<void()>& handler) {
    if (closing_) return;
    form_.run(handler);
    refresh();
}

void MainWindow::navigate(Page target, const std::function<void()>& handler) {
    if (target != form_.activePage()) {
        QWidget* focus = QApplication::focusWidget();
        PageView* shown = shownPageView();
        if (focus && shown && shown->isAncestorOf(focus)) focus->clearFocus();
    }
    run(handler);
}

void MainWindow::refresh() {
    if (refreshing_) {
        refreshAgain_ = true;  // a handler ran while the widgets were being filled
        return;
    }
    refreshing_ = true;
    do {
        refreshAgain_ = false;
        refreshOnce();
    } while (refreshAgain_);
    refreshing_ = false;
    if (form_.closeRequested && !closing_) close();
}

void MainWindow::refreshOnce() {
    syncing_ = true;
    PageView* target = views_.at(form_.activePage());
    if (pages_->currentWidget() != target) pages_->setCurrentWidget(target);
    panelBindings_.sync();
    syncCheckList();
    target->refresh();
    syncing_ = false;
}

void MainWindow::syncCheckList() {
    const auto& list = form_.exercises.CheckListBox1;
    if (shownExerciseItems_ != list.items || checkList_->count() != static_cast<int>(list.items.size())) {
        shownExerciseItems_ = list.items;
        checkList_->clear();
        for (const auto& text : list.items) {
            auto* item = new QListWidgetItem(qs(text), checkList_);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
    }
    for (int i = 0; i < checkList_->count(); ++i) {
        const bool on = static_cast<std::size_t>(i) < list.checked.size() && list.checked[static_cast<std::size_t>(i)];
        QListWidgetItem* item = checkList_->item(i);
        const Qt::CheckState state = on ? Qt::Checked : Qt::Unchecked;
        if (item->checkState() != state) item->setCheckState(state);
    }
}

void MainWindow::startUp(const StartupOptions& options) {
    form_.run([&] { form_.FormCreate(options); });
    // Start-up that stopped early leaves the booking page active: it is the
    // page the window opens on, and its show handler runs as it is displayed.
    if (form_.activePage() == Page::TabSheet4) form_.run([this] { form_.booking.TabSheet4Show(); });
    refresh();
}

void MainWindow::fitOuterSize() {
    const int frameWidth = frameGeometry().width() - width();
    const int frameHeight = frameGeometry().height() - height();
    setFixedSize(kOuterWidth - frameWidth, kOuterHeight - frameHeight);
    if (QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        move(area.x() + (area.width() - kOuterWidth) / 2, area.y() + (area.height() - kOuterHeight) / 2);
    }
}

PageView* MainWindow::pageView(Page page) const { return views_.at(page); }

PageView* MainWindow::shownPageView() const { return static_cast<PageView*>(pages_->currentWidget()); }

void MainWindow::closeEvent(QCloseEvent* event) {
    // The title bar ends the program at once; fields left now run no handler.
    closing_ = true;
    event->accept();
}

} // namespace saldorama::ui
