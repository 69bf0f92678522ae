#pragma once
#include <QAbstractListModel>
#include <QListView>
#include <QStringList>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/controls.h"
#include "ui/binding.h"

class QFont;

namespace saldorama::ui {

// The lines of a report memo for a view, read in place from the memo
// control: the report's text is held once, by the page that built it. A line
// is converted only when the view asks for it, so that showing costs nothing
// per line however long the report is.
class MemoModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;
    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Reads these lines from now on; they must outlive the model.
    void setSource(const std::vector<std::string>* lines);
    // Tells the view of a change of the lines: resets it only when they
    // differ from those it was last given (the selection stays otherwise).
    void sync();
    [[nodiscard]] std::size_t lineCount() const noexcept { return rows_; }
    // Line n as shown; empty for a line the source no longer has (the source
    // may change before the next sync).
    [[nodiscard]] std::string_view line(std::size_t n) const noexcept {
        return lines_ && n < rows_ && n < lines_->size() ? std::string_view((*lines_)[n]) : std::string_view();
    }
    // Characters of the longest line (one byte, one character).
    [[nodiscard]] std::size_t longestLine() const noexcept { return longest_; }

private:
    const std::vector<std::string>* lines_ = nullptr;
    std::size_t rows_ = 0; // lines the view was last given
    std::size_t longest_ = 0;
    std::uint64_t fingerprint_ = 0; // of the lines the view was last given
};

// A read-only text memo over a long report: one row a line, all rows of the
// same height, drawn as plain text in a fixed-pitch font without grid,
// focus frame or wrapping. Whole lines are selected with the mouse and the
// keyboard; Ctrl+C copies them, Ctrl+A selects all.
class MemoView : public QListView {
public:
    MemoView(QWidget* parent, const QFont& font);

    // Shows these lines, read in place; they must outlive the view.
    void setSource(const std::vector<std::string>* lines) { model_->setSource(lines); }
    // Shows the lines anew where they changed.
    void sync() { model_->sync(); }
    // Every line as the view shows it.
    [[nodiscard]] QStringList lines() const;
    // The selected lines in order, joined by line feeds.
    [[nodiscard]] QString selectedText() const;
    void copy() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyboardSearch(const QString& search) override;

private:
    MemoModel* model_;
};

// The report memo bound to its control, whose lines it reads in place: the
// view is reset only when the lines differ from those it was last given.
MemoView* bind_report_memo(QWidget* parent, Bindings& b, const char* name, const Memo& control, const QFont& font);

} // namespace saldorama::ui
