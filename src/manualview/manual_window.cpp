#include "manualview/manual_window.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPdfBookmarkModel>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfView>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace saldorama::manualview {

namespace {

QPointer<ManualWindow>& the_window() {
    static QPointer<ManualWindow> window;
    return window;
}

// The size the window opens at, outer, where the screen has room.
constexpr int kWidth = 1000;
constexpr int kHeight = 760;
constexpr int kOutlineWidth = 260;
constexpr int kFrameRoom = 40;  // a title bar and borders

// Letters and digits alone: text read from the pages may differ from the
// heading in its quotation marks and spaces.
QString letters(const QString& text) {
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_C))
        if (c.isLetterOrNumber()) out += c;
    return out;
}

// How far below its page's top an outline entry leads, in points; 0 for the top.
double below_top(const QModelIndex& index) {
    const QVariant location = index.data(static_cast<int>(QPdfBookmarkModel::Role::Location));
    return location.isValid() ? std::max(0.0, location.toPointF().y()) : 0.0;
}

} // namespace

ManualWindow::ManualWindow() : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("ManualWindow"));
    setWindowTitle(QStringLiteral("Anleitung – Saldorama"));
    setAttribute(Qt::WA_DeleteOnClose);
    document_ = new QPdfDocument(this);
    outline_ = new QPdfBookmarkModel(this);
    outline_->setDocument(document_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* split = new QSplitter(Qt::Horizontal, this);
    layout->addWidget(split);
    tree_ = new QTreeView(split);
    tree_->setObjectName(QStringLiteral("ManualOutline"));
    tree_->setModel(outline_);
    tree_->setHeaderHidden(true);
    tree_->header()->setStretchLastSection(true);
    pages_ = new QPdfView(split);
    pages_->setObjectName(QStringLiteral("ManualPages"));
    pages_->setDocument(document_);
    pages_->setPageMode(QPdfView::PageMode::MultiPage);
    pages_->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    split->addWidget(tree_);
    split->addWidget(pages_);
    split->setStretchFactor(1, 1);
    split->setSizes({kOutlineWidth, kWidth - kOutlineWidth});
    // A chapter picked in the outline is shown at once (mouse or keyboard).
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& index) {
        const QVariant page = index.data(static_cast<int>(QPdfBookmarkModel::Role::Page));
        if (page.isValid()) scrollTo(page.toInt(), below_top(index));
    });
    // A new width means a new zoom: the page read stays on show.
    pages_->installEventFilter(this);
    resize(kWidth, kHeight);
}

bool ManualWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pages_ && event->type() == QEvent::Resize) {
        const bool kept = shownPage_ >= 0 && pages_->verticalScrollBar()->value() == shownValue_;
        const int page = kept ? shownPage_ : pages_->pageNavigator()->currentPage();
        const double below = kept ? shownBelow_ : 0;
        QTimer::singleShot(0, this, [this, page, below] { scrollTo(page, below); });
    }
    return QWidget::eventFilter(watched, event);
}

// The view scrolls to a page only when the navigator's page changes, so a
// page shown before the view had its size is shown anew by a step away and back.
void ManualWindow::scrollTo(int page, double below) {
    QPdfPageNavigator* navigator = pages_->pageNavigator();
    if (document_->pageCount() < 2) return;
    navigator->jump(page == 0 ? 1 : 0, {}, 0);
    navigator->jump(page, {}, 0);
    shownPage_ = page;
    shownBelow_ = below;
    // The view only scrolls to a page's top; the heading further down on it
    // is reached through the page's scale, which fits it to the width.
    QScrollBar* bar = pages_->verticalScrollBar();
    const double pageWidth = document_->pagePointSize(page).width();
    if (below > 0 && pageWidth > 0) {
        const QMargins margins = pages_->documentMargins();
        const double perPoint = (pages_->viewport()->width() - margins.left() - margins.right()) / pageWidth;
        bar->setValue(bar->value() + qRound(below * perPoint));
    }
    shownValue_ = bar->value();
}

bool ManualWindow::load(const QString& path) {
    if (path == path_ && document_->status() == QPdfDocument::Status::Ready) return true;
    if (document_->load(path) != QPdfDocument::Error::None) return false;
    path_ = path;
    tree_->expandToDepth(0);
    return true;
}

int ManualWindow::chapterPage(const QString& chapter) const {
    for (int row = 0; row < outline_->rowCount(); ++row) {
        const QModelIndex index = outline_->index(row, 0);
        if (index.data(static_cast<int>(QPdfBookmarkModel::Role::Title)).toString().trimmed() == chapter)
            return index.data(static_cast<int>(QPdfBookmarkModel::Role::Page)).toInt();
    }
    // A guide without an outline: the last page that has the heading as a
    // line of its own (the table of contents comes first).
    int found = -1;
    for (int page = 0; page < document_->pageCount(); ++page) {
        const QStringList lines = document_->getAllText(page).text().split(QLatin1Char('\n'));
        for (const QString& line : lines)
            if (letters(line) == letters(chapter)) found = page;
    }
    return found;
}

void ManualWindow::showChapter(const QString& chapter) {
    double below = 0;
    for (int row = 0; row < outline_->rowCount(); ++row) {
        const QModelIndex index = outline_->index(row, 0);
        if (index.data(static_cast<int>(QPdfBookmarkModel::Role::Title)).toString().trimmed() == chapter) {
            below = below_top(index);
            const QSignalBlocker quiet(tree_->selectionModel());
            tree_->setCurrentIndex(index);
        }
    }
    scrollTo(std::max(chapterPage(chapter), 0), below);
}

// The view's own page is the one filling most of it; a heading low on its
// page put at the top leaves its page the one on show until the reader scrolls.
int ManualWindow::currentPage() const {
    if (shownPage_ >= 0 && pages_->verticalScrollBar()->value() == shownValue_) return shownPage_;
    return pages_->pageNavigator()->currentPage();
}

bool ManualWindow::open(const QString& path, const QString& chapter) {
    QPointer<ManualWindow>& window = the_window();
    const bool made = !window;
    if (made) {
        window = new ManualWindow();
        // Where the screen has no room for it beside the frame, it fills the screen.
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen && (screen->availableGeometry().width() < kWidth + kFrameRoom ||
                       screen->availableGeometry().height() < kHeight + kFrameRoom))
            window->setWindowState(Qt::WindowMaximized);
    }
    if (!window->load(path)) {
        if (made) delete window;
        return false;
    }
    window->show();
    window->raise();
    window->activateWindow();
    window->showChapter(chapter);
    // Once the view has its size it scrolls to the page; until then it cannot.
    QTimer::singleShot(0, window, [target = window.data(), chapter] { target->showChapter(chapter); });
    return true;
}

ManualWindow* ManualWindow::shown() { return the_window(); }

} // namespace saldorama::manualview
