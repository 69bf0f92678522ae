#include "ui/memo_view.h"

#include <QAction>
#include <QAbstractItemDelegate>
#include <QClipboard>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <functional>
#include <string_view>

#include "base/cp1252.h"
#include "ui/ui_text.h"

namespace saldorama::ui {

namespace {

// Left margin of the text, as a text memo keeps it off the frame.
constexpr int kTextMargin = 4;

// Sums up every line and its length, so that a change of any byte or of
// the splitting into lines changes the sum (but for a chance of 2^-64).
std::uint64_t fingerprint(const std::vector<std::string>& lines) {
    std::uint64_t sum = lines.size();
    for (const auto& l : lines) {
        sum = (sum ^ std::hash<std::string_view>{}(l)) * 0x9E3779B97F4A7C15ULL;
        sum ^= l.size() + (sum >> 29);
    }
    return sum;
}

} // namespace

int MemoModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lineCount());
}

QVariant MemoModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    return qs(line(static_cast<std::size_t>(index.row())));
}

Qt::ItemFlags MemoModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}

void MemoModel::setSource(const std::vector<std::string>* lines) {
    beginResetModel();
    lines_ = lines;
    rows_ = 0;
    longest_ = 0;
    fingerprint_ = 0;
    endResetModel();
    sync();
}

void MemoModel::sync() {
    const std::size_t rows = lines_ ? lines_->size() : 0;
    const std::uint64_t sum = lines_ ? fingerprint(*lines_) : 0;
    if (rows == rows_ && sum == fingerprint_) return;
    beginResetModel();
    rows_ = rows;
    fingerprint_ = sum;
    longest_ = 0;
    if (lines_)
        for (const auto& l : *lines_) longest_ = std::max(longest_, l.size());
    endResetModel();
}

namespace {

// Draws a line as plain text: no focus frame, no eliding, no padding above
// or below. Every row is as wide as the longest line, so the horizontal
// scroll bar reaches its end.
class MemoLineDelegate : public QAbstractItemDelegate {
public:
    using QAbstractItemDelegate::QAbstractItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const QPalette::ColorGroup group =
            option.state.testFlag(QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
        if (selected) painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
        painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(option.font);
        const QPointF origin(option.rect.left() + kTextMargin, option.rect.top() + option.fontMetrics.ascent());
        painter->drawText(origin, index.data(Qt::DisplayRole).toString());
    }

    // Asked once per layout: the view has uniform item sizes.
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const auto* model = dynamic_cast<const MemoModel*>(index.model());
        const std::size_t chars = model ? model->longestLine() : 0;
        // A fixed-pitch font: every character has the same advance.
        const qreal advance = QFontMetricsF(option.font).horizontalAdvance(QLatin1Char('M'));
        const int width = static_cast<int>(std::ceil(advance * static_cast<qreal>(chars))) + 2 * kTextMargin;
        return {width, option.fontMetrics.height()};
    }
};

} // namespace

MemoView::MemoView(QWidget* parent, const QFont& font) : QListView(parent), model_(new MemoModel(this)) {
    setFont(font);
    setModel(model_);
    setItemDelegate(new MemoLineDelegate(this));
    setUniformItemSizes(true);
    setLayoutMode(QListView::SinglePass);
    setViewMode(QListView::ListMode);
    setFlow(QListView::TopToBottom);
    setWrapping(false);
    setWordWrap(false);
    setSpacing(0);
    setAlternatingRowColors(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setDragEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Plain text paper in the theme's colours, never the list's alternating rows.
    setAlternatingRowColors(false);

    // The context menu of a text memo.
    auto* copyAction = new QAction(QStringLiteral("&Kopieren"), this);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setShortcutContext(Qt::WidgetShortcut);
    connect(copyAction, &QAction::triggered, this, [this] { copy(); });
    auto* selectAllAction = new QAction(QStringLiteral("Alles &markieren"), this);
    selectAllAction->setShortcut(QKeySequence::SelectAll);
    selectAllAction->setShortcutContext(Qt::WidgetShortcut);
    connect(selectAllAction, &QAction::triggered, this, [this] { selectAll(); });
    addAction(copyAction);
    addAction(selectAllAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

QStringList MemoView::lines() const {
    QStringList out;
    const int rows = model_->rowCount();
    out.reserve(rows);
    for (int row = 0; row < rows; ++row) out << model_->index(row).data(Qt::DisplayRole).toString();
    return out;
}

QString MemoView::selectedText() const {
    std::vector<int> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::string text;
    bool first = true;
    for (int row : rows) {
        if (row < 0 || static_cast<std::size_t>(row) >= model_->lineCount()) continue;
        if (!first) text += '\n';
        first = false;
        text += cp1252_to_utf8(model_->line(static_cast<std::size_t>(row)));
    }
    return QString::fromStdString(text);
}

void MemoView::copy() const {
    if (!selectionModel()->hasSelection()) return;
    QGuiApplication::clipboard()->setText(selectedText());
}

void MemoView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copy();
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void MemoView::keyboardSearch(const QString&) {
    // Typing jumps nowhere in a memo (and would convert every line to search).
}

MemoView* bind_report_memo(QWidget* parent, Bindings& b, const char* name, const Memo& control, const QFont& font) {
    auto* view = new MemoView(parent, font);
    view->setObjectName(QString::fromLatin1(name));
    view->setSource(&control.lines);
    b.add([view] { view->sync(); });
    return view;
}

} // namespace saldorama::ui
