#include "ui/binding.h"

#include <QApplication>
#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QScrollBar>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QTableView>
#include <algorithm>
#include <memory>

#include "base/cp1252.h"
#include "ui/main_window.h"
#include "ui/ui_text.h"

namespace saldorama::ui {

namespace {

void sync_text_control(QWidget* widget, const TextControl& control) {
    if (widget->isEnabled() != control.enabled) widget->setEnabled(control.enabled);
    // Visibility only for widgets the core hides; the page decides the rest.
    if (widget->isVisibleTo(widget->parentWidget()) != control.visible) widget->setVisible(control.visible);
}

} // namespace

QLabel* bind_label(QWidget* parent, Bindings& b, const char* name, const Label& control, QRect geometry) {
    auto* label = new QLabel(qs(control.text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    b.add([label, &control] {
        const QString text = qs(control.text);
        if (label->text() != text) label->setText(text);
        sync_text_control(label, control);
    });
    return label;
}

namespace {

QToolButton* speed_button(QWidget* parent, Bindings& b, const char* name, const Button& control, QRect geometry) {
    auto* button = new QToolButton(parent);
    button->setText(qs(control.text));
    button->setObjectName(QString::fromLatin1(name));
    // A click leaves the focus in the field being typed in (its exit handler
    // does not run); Tab still reaches every button, and Space presses it.
    button->setFocusPolicy(Qt::TabFocus);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    if (geometry.isValid()) button->setGeometry(geometry);
    b.add([button, &control] {
        const QString text = qs(control.text);
        if (button->text() != text) button->setText(text);
        sync_text_control(button, control);
    });
    return button;
}

} // namespace

QToolButton* bind_button(MainWindow& w, QWidget* parent, Bindings& b, const char* name, const Button& control,
                         QRect geometry, std::function<void()> click) {
    QToolButton* button = speed_button(parent, b, name, control, geometry);
    QObject::connect(button, &QToolButton::clicked, button, [&w, click = std::move(click)] { w.run(click); });
    return button;
}

QToolButton* bind_nav_button(MainWindow& w, QWidget* parent, Bindings& b, const char* name, const Button& control,
                             QRect geometry, Page target, std::function<void()> click) {
    QToolButton* button = speed_button(parent, b, name, control, geometry);
    QObject::connect(button, &QToolButton::clicked, button,
                     [&w, target, click = std::move(click)] { w.navigate(target, click); });
    return button;
}

QLineEdit* bind_edit(MainWindow& w, QWidget* parent, Bindings& b, const char* name, Edit& control, QRect geometry,
                     std::function<void()> exit) {
    auto* edit = new QLineEdit(qs(control.text), parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (geometry.isValid()) edit->setGeometry(geometry);
    QObject::connect(edit, &QLineEdit::textChanged, edit, [&w, &control](const QString& text) {
        if (!w.syncing()) control.text = core_text(text);
    });
    if (exit) edit->installEventFilter(new ExitWatcher(w, edit, std::move(exit)));
    b.add([edit, &control] {
        const QString text = qs(control.text);
        if (edit->text() != text) edit->setText(text);
        sync_text_control(edit, control);
    });
    return edit;
}

QComboBox* bind_combo(MainWindow& w, QWidget* parent, Bindings& b, const char* name, ComboBox& control,
                      QRect geometry, std::function<void()> exit) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(16);
    if (geometry.isValid()) combo->setGeometry(geometry);
    // Typing, completing and choosing from the list all end up in the edit text.
    QObject::connect(combo->lineEdit(), &QLineEdit::textChanged, combo, [&w, &control](const QString& text) {
        if (!w.syncing()) control.text = core_text(text);
    });
    if (exit) combo->installEventFilter(new ExitWatcher(w, combo, std::move(exit)));
    auto shownItems = std::make_shared<std::vector<std::string>>();
    b.add([combo, &control, shownItems] {
        if (*shownItems != control.items) {
            *shownItems = control.items;
            combo->clear();
            QStringList items;
            items.reserve(static_cast<qsizetype>(control.items.size()));
            for (const auto& item : control.items) items.append(qs(item));
            combo->addItems(items);
            // The list is as wide as its longest name, however narrow the box.
            QAbstractItemView* list = combo->view();
            list->setMinimumWidth(list->sizeHintForColumn(0) + list->verticalScrollBar()->sizeHint().width() + 8);
        }
        const QString text = qs(control.text);
        if (combo->currentText() != text) combo->setEditText(text);
        if (combo->isEnabled() != control.enabled) combo->setEnabled(control.enabled);
    });
    return combo;
}

QCheckBox* bind_check(MainWindow& w, QWidget* parent, Bindings& b, const char* name, CheckBox& control,
                      QRect geometry) {
    auto* box = new QCheckBox(qs(control.caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    if (geometry.isValid()) box->setGeometry(geometry);
    // The control runs its click handler when its state changes.
    QObject::connect(box, &QCheckBox::clicked, box,
                     [&w, &control](bool on) { w.run([&control, on] { control.setChecked(on); }); });
    b.add([box, &control] {
        const QString caption = qs(control.caption);
        if (box->text() != caption) box->setText(caption);
        if (box->isChecked() != control.checked()) box->setChecked(control.checked());
        if (box->isEnabled() != control.enabled) box->setEnabled(control.enabled);
    });
    return box;
}

ExitWatcher::ExitWatcher(MainWindow& w, QWidget* watched, std::function<void()> exit)
    : QObject(watched), window_(w), watched_(watched), exit_(std::move(exit)) {}

bool ExitWatcher::eventFilter(QObject* object, QEvent* event) {
    if (object != watched_ || event->type() != QEvent::FocusOut || window_.closing()) return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    // Leaving the window or opening the drop-down list is no exit from the field.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
    QWidget* now = QApplication::focusWidget();
    if (now && (now == watched_ || watched_->isAncestorOf(now))) return false;
    // A combo box's own drop-down list taking the focus is no exit either.
    if (auto* combo = qobject_cast<QComboBox*>(watched_)) {
        QWidget* popup = combo->view()->window();
        if (popup->isVisible() || (now && popup->isAncestorOf(now))) return false;
    }
    window_.run(exit_);
    return false;
}

GridModel::GridModel(StringGrid& grid, std::vector<bool> editableColumns, int fixedColumns, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), editable_(std::move(editableColumns)), fixedColumns_(fixedColumns),
      shownRows_(grid.rowCount() > 0 ? grid.rowCount() - 1 : 0) {
    editable_.resize(static_cast<std::size_t>(grid.colCount()), false);
}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownRows_; }
int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : grid_.colCount(); }

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() + 1 >= grid_.rowCount()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) return qs(grid_.cell(index.column(), index.row() + 1));
    if (role == Qt::BackgroundRole && index.column() < fixedColumns_) return QApplication::palette().button();
    return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= grid_.colCount() || grid_.rowCount() == 0)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) return qs(grid_.cell(section, 0));
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    if (role == Qt::FontRole && hasHeaderFont_) return headerFont_;
    return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable_[static_cast<std::size_t>(index.column())]) f |= Qt::ItemIsEditable;
    return f;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !editable_[static_cast<std::size_t>(index.column())] ||
        index.row() + 1 >= grid_.rowCount())
        return false;
    grid_.cell(index.column(), index.row() + 1) = core_text(value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

void GridModel::sync() {
    const int rows = grid_.rowCount() > 0 ? grid_.rowCount() - 1 : 0;
    if (rows != shownRows_) {
        beginResetModel();
        shownRows_ = rows;
        endResetModel();
        return;
    }
    if (shownRows_ > 0)
        emit dataChanged(index(0, 0), index(shownRows_ - 1, grid_.colCount() - 1), {Qt::DisplayRole, Qt::EditRole});
    emit headerDataChanged(Qt::Horizontal, 0, grid_.colCount() - 1);
}

QWidget* LiveCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        auto* self = const_cast<LiveCellDelegate*>(this);
        QObject::connect(line, &QLineEdit::textEdited, self, [self, line] { emit self->commitData(line); });
    }
    return editor;
}

void LiveCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        const QString text = index.data(Qt::EditRole).toString();
        if (line->text() != text) line->setText(text);  // keeps the cursor while typing
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

QTableView* bind_grid(QWidget* parent, Bindings& b, const char* name, StringGrid& grid, std::vector<bool> editable,
                      int fixedColumns, std::vector<int> defaultWidths) {
    auto* view = new QTableView(parent);
    view->setObjectName(QString::fromLatin1(name));
    const bool anyEditable = std::find(editable.begin(), editable.end(), true) != editable.end();
    auto* model = new GridModel(grid, std::move(editable), fixedColumns, view);
    view->setModel(model);
    view->setItemDelegate(new LiveCellDelegate(view));
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setMinimumSectionSize(grid.defaultRowHeight);
    view->verticalHeader()->setDefaultSectionSize(grid.defaultRowHeight);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setMinimumSectionSize(1);
    view->horizontalHeader()->setStretchLastSection(false);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    // Typing starts editing a cell, as do a double click, F2 and a click on the chosen cell.
    view->setEditTriggers(anyEditable ? QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                                            QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed
                                      : QAbstractItemView::NoEditTriggers);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setWordWrap(false);
    auto widths = [view, &grid, defaultWidths = std::move(defaultWidths)] {
        const std::vector<int>& w = grid.colWidths.empty() ? defaultWidths : grid.colWidths;
        for (int c = 0; c < grid.colCount() && static_cast<std::size_t>(c) < w.size(); ++c) {
            const int width = w[static_cast<std::size_t>(c)];
            if (view->horizontalHeader()->sectionSize(c) != width) view->horizontalHeader()->resizeSection(c, width);
        }
    };
    widths();
    b.add([view, model, widths] {
        model->sync();
        widths();
        // An open cell editor shows the cell as the handler left it.
        if (view->currentIndex().isValid())
            emit model->dataChanged(view->currentIndex(), view->currentIndex());
    });
    return view;
}

} // namespace saldorama::ui
