#pragma once
#include <QAbstractListModel>
#include <QListView>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/controls.h"
#include "ui/binding.h"

class QFont;

namespace saldorama::ui {

// The lines of a report memo for a view. Holds its own copy of the CP1252
// lines, packed into one buffer (no allocation per line), and converts a line
// only when the view asks for it, so that filling costs nothing per line
// beyond copying its bytes, however long the report is.
class MemoModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;
    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

    void setLines(const std::vector<std::string>& lines);
    [[nodiscard]] bool hasLines(const std::vector<std::string>& lines) const noexcept;
    [[nodiscard]] std::size_t lineCount() const noexcept { return starts_.size() - 1; }
    [[nodiscard]] std::string_view line(std::size_t n) const noexcept {
        return {text_.data() + starts_[n], starts_[n + 1] - starts_[n]};
    }
    // Characters of the longest line (one byte, one character).
    [[nodiscard]] std::size_t longestLine() const noexcept { return longest_; }

private:
    std::string text_;                      // all lines, back to back
    std::vector<std::size_t> starts_{0};    // line n is text_[starts_[n], starts_[n + 1])
    std::size_t longest_ = 0;
};

// A read-only text memo over a long report: one row a line, all rows of the
// same height, drawn as plain text in a fixed-pitch font without grid,
// focus frame or wrapping. Whole lines are selected with the mouse and the
// keyboard; Ctrl+C copies them, Ctrl+A selects all.
class MemoView : public QListView {
public:
    MemoView(QWidget* parent, const QFont& font);

    // Shows these lines instead of the present ones.
    void setLines(const std::vector<std::string>& lines) { model_->setLines(lines); }
    [[nodiscard]] bool showsLines(const std::vector<std::string>& lines) const noexcept {
        return model_->hasLines(lines);
    }
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

// The report memo bound to its control: refilled only when the lines differ
// from those on show.
MemoView* bind_report_memo(QWidget* parent, Bindings& b, const char* name, const Memo& control, const QFont& font);

} // namespace saldorama::ui
