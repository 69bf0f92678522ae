#include "ui/main_window.h"

#include <QApplication>
#include <algorithm>
#include <cstring>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/about_box.h"
#include "ui/ui_text.h"
#include "ui/wrapping_delegate.h"

namespace saldorama::ui {

namespace {

// The outer size the window opens at: the journal with its amount column,
// every column of the chart list and ten rows of the check results fit. A
// screen smaller than kRoomyScreen gets a maximised window instead.
constexpr int kOuterWidth = 1280;
constexpr int kOuterHeight = 720;
constexpr int kRoomyScreenWidth = 1366;
constexpr int kRoomyScreenHeight = 768;
// On a larger screen the window takes this share of it, so that the pages
// have room without covering the whole desktop.
constexpr double kShareOfLargeScreen = 0.85;
// Where the window's place is kept between starts.
const char* const kSettingsOrganisation = "saldorama";
const char* const kSettingsFile = "fenster";
const char* const kGeometryKey = "geometrie";
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
    setWindowTitle(qs(form_.titleText()));
    // A normal window: it can be resized and maximised; pages that do not fit scroll.
    resize(kOuterWidth, kOuterHeight);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    // The learner may draw the exercise list taller at the cost of the page.
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setObjectName(QStringLiteral("Splitter1"));
    split->setChildrenCollapsible(false);
    outer->addWidget(split, 1);
    QFrame* top = panel("Panel2", split);
    top->setMinimumHeight(kTopPanelHeight);
    split->addWidget(top);
    auto* lowerWidget = new QWidget(split);
    split->addWidget(lowerWidget);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({kTopPanelHeight, kOuterHeight - kTopPanelHeight});
    auto* lower = new QHBoxLayout(lowerWidget);
    lower->setContentsMargins(0, 0, 0, 0);
    lower->setSpacing(0);
    QFrame* left = panel("Panel1", lowerWidget);
    left->setFixedWidth(kLeftPanelWidth);
    lower->addWidget(left);
    pages_ = new QStackedWidget(lowerWidget);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    lower->addWidget(pages_, 1);

    statusLine_ = new QLabel(this);
    statusLine_->setObjectName(QStringLiteral("StatusLine"));
    statusLine_->setTextFormat(Qt::PlainText);
    statusLine_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusLine_->setContentsMargins(4, 1, 4, 1);
    outer->addWidget(statusLine_);

    buildPanels(top, left);

    for (PageView* view : {make_start_page(*this), make_company_page(*this), make_opening_page(*this),
                           make_booking_page(*this), make_balance_page(*this), make_journal_page(*this),
                           make_settings_page(*this), make_exercise_page(*this), make_chart_page(*this),
                           make_account_sheet_page(*this), make_operating_page(*this)}) {
        views_[view->page()] = view;
        // Pages laid out at fixed places keep their size and scroll when the
        // window is smaller, and stand centred where it is wider; the others
        // set their own minimum and grow with the window.
        auto* scroll = new QScrollArea(pages_);
        if (view->minimumSize().isNull()) {
            const QPoint corner = view->childrenRect().bottomRight();
            view->setMinimumSize(corner.x() + 8, corner.y() + 8);
            if (!view->layout()) {
                view->setMaximumWidth(view->minimumWidth());
                scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            }
        }
        scroll->setObjectName(view->objectName() + QStringLiteral("Scroll"));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setWidget(view);
        scrolls_[view->page()] = scroll;
        pages_->addWidget(scroll);
    }
    pages_->setCurrentWidget(scrolls_.at(form_.activePage()));
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

void MainWindow::syncNavigationMarks() {
    for (auto& [button, target] : navButtons_) {
        const bool on = target == form_.activePage();
        if (button->isChecked() != on) button->setChecked(on);
        if (button->font().bold() != on) {
            QFont font = button->font();
            font.setBold(on);
            button->setFont(font);
        }
    }
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
    QToolButton* exercises = bind_nav_button(*this, buttons, panelBindings_, "SpeedButton22", form_.SpeedButton22, {},
                                             Page::TabSheet8, [this] { form_.SpeedButton22Click(); });
    navButtons_.emplace_back(exercises, Page::TabSheet8);
    place(exercises, 0, 0, 1);
    QToolButton* chart = bind_button(*this, buttons, panelBindings_, "SpeedButton23", form_.SpeedButton23, {},
                                     [this] { form_.SpeedButton23Click(); });
    navButtons_.emplace_back(chart, Page::TabSheet9);
    place(chart, 0, 1, 1);
    QToolButton* settings = bind_button(*this, buttons, panelBindings_, "SpeedButton24", form_.SpeedButton24, {},
                                        [this] { form_.SpeedButton24Click(); });
    navButtons_.emplace_back(settings, Page::TabSheet7);
    place(settings, 0, 2, 1);
    QToolButton* company = bind_nav_button(*this, buttons, panelBindings_, "SpeedButton35", form_.SpeedButton35, {},
                                           Page::TabSheet2, [this] { form_.SpeedButton35Click(); });
    navButtons_.emplace_back(company, Page::TabSheet2);
    place(company, 1, 0, 3);
    grid->setRowStretch(0, 3);
    grid->setRowStretch(1, 2);
    // The page on show has a bold caption: the three small buttons are wide
    // enough for the widest of theirs in bold.
    {
        QFont bold = exercises->font();
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        int widest = 0;
        for (const QToolButton* b : {exercises, chart, settings})
            widest = std::max(widest, metrics.horizontalAdvance(b->text()));
        const int perButton = widest + 2 * (style()->pixelMetric(QStyle::PM_ButtonMargin) + 1);
        const QMargins m = grid->contentsMargins();
        buttons->setFixedWidth(std::max(kTopButtonsWidth, 3 * perButton + 2 * grid->spacing() + m.left() + m.right()));
    }

    checkList_ = new QListWidget(top);
    checkList_->setObjectName(QStringLiteral("CheckListBox1"));
    checkList_->setFont(fixed_font(QStringLiteral("Courier New"), 13, false));
    // Long lines wrap within the list's width instead of scrolling sideways.
    checkList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    checkList_->setWordWrap(true);
    checkList_->setResizeMode(QListView::Adjust);
    checkList_->setItemDelegate(new WrappingDelegate(checkList_));
    checkList_->setFocusPolicy(Qt::ClickFocus);
    topLayout->addWidget(checkList_, 1);
    connect(checkList_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (syncing_) return;
        const int row = checkList_->row(item);
        if (row < 0) return;
        const bool ticked = item->checkState() == Qt::Checked;
        run([this, row, ticked] { form_.exercises.CheckListBox1ClickCheck(static_cast<std::size_t>(row), ticked); });
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
        {"SpeedButtonUndo", f.SpeedButtonUndo, Page::TabSheet1, [&f] { f.SpeedButtonUndoClick(); }},
        {"SpeedButton34", f.SpeedButton34, Page::TabSheet1, [&f] { f.SpeedButton34Click(); }},
    };
    for (const Nav& n : nav) {
        QToolButton* b = n.target == Page::TabSheet1
                             ? bind_button(*this, left, panelBindings_, n.name, n.control, {}, n.handler)
                             : bind_nav_button(*this, left, panelBindings_, n.name, n.control, {}, n.target, n.handler);
        // 40 pixels high where there is room, lower on a small screen.
        b->setMinimumHeight(24);
        b->setMaximumHeight(40);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        leftLayout->addWidget(b);
        if (n.target != Page::TabSheet1) navButtons_.emplace_back(b, n.target);
        // The keys a user expects of a program that keeps files.
        const std::pair<const char*, const char*> keysOf[] = {
            {"SpeedButton30", "Ctrl+S"}, {"SpeedButtonUndo", "Ctrl+Z"}, {"SpeedButton34", "F1"}};
        for (const auto& [name, key] : keysOf) {
            if (std::strcmp(name, n.name) != 0) continue;
            const QKeySequence sequence(QString::fromLatin1(key));
            b->setToolTip(sequence.toString(QKeySequence::NativeText));
            auto* shortcut = new QShortcut(sequence, this);
            shortcut->setContext(Qt::WindowShortcut);
            connect(shortcut, &QShortcut::activated, b, [b] { b->click(); });
        }
    }
    // The page on show has a bold caption: the panel is wide enough for the
    // widest caption in bold, also the one manual mode gives "Bilanz und GuV".
    {
        QFont bold = f.SpeedButton2.text.empty() ? font() : leftLayout->itemAt(0)->widget()->font();
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        int widest = metrics.horizontalAdvance(QString::fromUtf8("Saldenüberprüfung"));
        for (int i = 0; i < leftLayout->count(); ++i)
            if (auto* b = qobject_cast<QToolButton*>(leftLayout->itemAt(i)->widget()))
                widest = std::max(widest, metrics.horizontalAdvance(b->text()));
        const int room = 2 * (leftLayout->contentsMargins().left() + style()->pixelMetric(QStyle::PM_ButtonMargin) + 4);
        left->setFixedWidth(std::max(kLeftPanelWidth, widest + room));
    }
    leftLayout->addStretch(1);
    auto* about = new QToolButton(left);
    about->setObjectName(QStringLiteral("AboutButton"));
    about->setText(QString::fromUtf8("Über Saldorama"));
    about->setFocusPolicy(Qt::TabFocus);
    about->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    about->setMinimumHeight(22);
    connect(about, &QToolButton::clicked, this, [this] { show_about_box(this); });
    leftLayout->addWidget(about);

    // The pages on show are marked; Ctrl+1 to Ctrl+9 reach them from the
    // keyboard (the pages' own keys are Alt+letter, Ctrl+P is for printing).
    const std::pair<const char*, Page> keys[] = {
        {"Ctrl+1", Page::TabSheet3}, {"Ctrl+2", Page::TabSheet4},  {"Ctrl+3", Page::TabSheet5},
        {"Ctrl+4", Page::TabSheet11}, {"Ctrl+5", Page::TabSheet6}, {"Ctrl+6", Page::TabSheet10},
        {"Ctrl+7", Page::TabSheet8}, {"Ctrl+8", Page::TabSheet2},  {"Ctrl+9", Page::TabSheet7},
    };
    for (auto& [button, target] : navButtons_) {
        button->setCheckable(true);
        for (const auto& [key, page] : keys) {
            if (page != target) continue;
            const QKeySequence sequence(QString::fromLatin1(key));
            button->setToolTip(sequence.toString(QKeySequence::NativeText));
            auto* shortcut = new QShortcut(sequence, this);
            shortcut->setContext(Qt::WindowShortcut);
            connect(shortcut, &QShortcut::activated, button, [button] { button->click(); });
        }
    }
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
    QScrollArea* target = scrolls_.at(form_.activePage());
    if (pages_->currentWidget() != target) pages_->setCurrentWidget(target);
    panelBindings_.sync();
    syncNavigationMarks();
    syncCheckList();
    views_.at(form_.activePage())->refresh();
    const QString title = qs(form_.titleText());
    if (windowTitle() != title) setWindowTitle(title);
    const QString status = qs(status_line(form_.state));
    if (statusLine_->text() != status) statusLine_->setText(status);
    syncing_ = false;
}

void MainWindow::syncCheckList() {
    const auto& list = form_.exercises.CheckListBox1;
    if (shownExerciseItems_ != list.items || checkList_->count() != static_cast<int>(list.items.size())) {
        shownExerciseItems_ = list.items;
        checkList_->clear();
        for (const auto& text : list.items) {
            auto* item = new QListWidgetItem(qs(text), checkList_);
            // Only a step of the exercise has a tick box; headings and the
            // lines that go on with a step are text.
            if (!ExercisePage::isTaskLine(text)) {
                item->setFlags(qs(text).trimmed().isEmpty() ? Qt::NoItemFlags : Qt::ItemIsEnabled);
                continue;
            }
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
    }
    for (int i = 0; i < checkList_->count(); ++i) {
        const bool on = static_cast<std::size_t>(i) < list.checked.size() && list.checked[static_cast<std::size_t>(i)];
        QListWidgetItem* item = checkList_->item(i);
        if (!(item->flags() & Qt::ItemIsUserCheckable)) continue;
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

QRect opening_geometry(const QRect& screen, const QRect& available) {
    if (screen.width() < kRoomyScreenWidth || screen.height() < kRoomyScreenHeight) return {};
    const auto share = [](int length) { return static_cast<int>(length * kShareOfLargeScreen); };
    const int width = std::min(std::max(kOuterWidth, share(available.width())), available.width());
    const int height = std::min(std::max(kOuterHeight, share(available.height())), available.height());
    return {available.x() + (available.width() - width) / 2, available.y() + (available.height() - height) / 2, width,
            height};
}

void MainWindow::showPlaced() {
    const QSettings kept(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kSettingsOrganisation),
                         QString::fromLatin1(kSettingsFile));
    placedAsLastTime_ = restoreGeometry(kept.value(QString::fromLatin1(kGeometryKey)).toByteArray());
    if (!placedAsLastTime_) {
        const QScreen* s = screen();
        const QRect room = s ? opening_geometry(s->geometry(), s->availableGeometry()) : QRect();
        if (!room.isValid()) {
            showMaximized();
            return;
        }
        setGeometry(room);
    }
    show();
}

void MainWindow::fitOuterSize() {
    if (placedAsLastTime_ || isMaximized() || isFullScreen()) return;
    const QScreen* s = screen();
    if (!s) return;
    const QRect room = opening_geometry(s->geometry(), s->availableGeometry());
    if (!room.isValid()) return;
    const int frameWidth = frameGeometry().width() - width();
    const int frameHeight = frameGeometry().height() - height();
    resize(room.width() - frameWidth, room.height() - frameHeight);
    move(room.topLeft());
}

PageView* MainWindow::pageView(Page page) const { return views_.at(page); }

PageView* MainWindow::shownPageView() const {
    for (const auto& [page, scroll] : scrolls_)
        if (scroll == pages_->currentWidget()) return views_.at(page);
    return nullptr;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Input not yet saved is saved, dropped or kept as the learner answers.
    bool leave = true;
    if (!closing_) form_.run([&] { leave = form_.FormCloseQuery(); });
    if (!leave) {
        event->ignore();
        form_.closeRequested = false;
        refresh();
        return;
    }
    // Fields left from now on run no handler.
    closing_ = true;
    QSettings kept(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kSettingsOrganisation),
                   QString::fromLatin1(kSettingsFile));
    kept.setValue(QString::fromLatin1(kGeometryKey), saveGeometry());
    event->accept();
}

} // namespace saldorama::ui
