#pragma once
#include <QAbstractTableModel>
#include <QObject>
#include <QRect>
#include <QStyledItemDelegate>
#include <functional>
#include <string>
#include <vector>

#include "form/tform1.h"
#include "kernel/controls.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;
class QTableView;
class QWidget;

namespace saldorama::ui {

class MainWindow;

// The refresh steps of one panel or page: each re-reads one control into its widget.
class Bindings {
public:
    void add(std::function<void()> sync) { syncs_.push_back(std::move(sync)); }
    void sync() const {
        for (const auto& s : syncs_) s();
    }

private:
    std::vector<std::function<void()>> syncs_;
};

// Widgets bound to controls. Each widget gets the control's name as object
// name, takes its content from the control on every sync and writes every
// edit straight back into the control.
QLabel* bind_label(QWidget* parent, Bindings& b, const char* name, const Label& control, QRect geometry);
// A speed button: never takes the focus; a click runs the handler.
QToolButton* bind_button(MainWindow& w, QWidget* parent, Bindings& b, const char* name, const Button& control,
                         QRect geometry, std::function<void()> click);
// A button that shows a page: the field in use on the page being left loses
// the focus before the handler runs.
QToolButton* bind_nav_button(MainWindow& w, QWidget* parent, Bindings& b, const char* name, const Button& control,
                             QRect geometry, Page target, std::function<void()> click);
// An edit field; `exit` runs when it really loses the input focus.
QLineEdit* bind_edit(MainWindow& w, QWidget* parent, Bindings& b, const char* name, Edit& control, QRect geometry,
                     std::function<void()> exit = {});
QComboBox* bind_combo(MainWindow& w, QWidget* parent, Bindings& b, const char* name, ComboBox& control,
                      QRect geometry, std::function<void()> exit = {});
QCheckBox* bind_check(MainWindow& w, QWidget* parent, Bindings& b, const char* name, CheckBox& control,
                      QRect geometry);

// Runs `exit` when the watched widget loses the focus to another widget of
// the window (not when the window itself is left or a drop-down opens).
class ExitWatcher : public QObject {
public:
    ExitWatcher(MainWindow& w, QWidget* watched, std::function<void()> exit);
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    MainWindow& window_;
    QWidget* watched_;
    std::function<void()> exit_;
};

// A string grid as a table model: row 0 of the grid is the header, the other
// rows are the table's rows. Cells of editable columns are written into the
// grid as they are typed.
class GridModel : public QAbstractTableModel {
public:
    GridModel(StringGrid& grid, std::vector<bool> editableColumns, int fixedColumns, QObject* parent);
    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // Re-reads the grid after a handler.
    void sync();
    void setHeaderFont(const QFont& font) { headerFont_ = font; hasHeaderFont_ = true; }

private:
    StringGrid& grid_;
    std::vector<bool> editable_;
    int fixedColumns_;
    int shownRows_;
    QFont headerFont_;
    bool hasHeaderFont_ = false;
};

// Commits every keystroke of a cell editor, as the grid keeps typed text in its cell.
class LiveCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
};

// Table view over a grid: fixed row heights, column widths from the grid
// (`defaultWidths` while the grid names none).
QTableView* bind_grid(QWidget* parent, Bindings& b, const char* name, StringGrid& grid, std::vector<bool> editable,
                      int fixedColumns, std::vector<int> defaultWidths);

} // namespace saldorama::ui
