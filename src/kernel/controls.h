#pragma once
#include <functional>
#include <string>
#include <vector>

namespace saldorama {

// Plain stand-ins for the window's controls. The page logic reads and writes
// these; the Qt layer mirrors them into widgets and edits back into them.
// All texts are CP1252.

struct TextControl {  // labels, edit fields, buttons (text = caption)
    std::string text;
    bool enabled = true;
    bool visible = true;
};
using Label = TextControl;
using Edit = TextControl;
using Button = TextControl;

class CheckBox {
public:
    std::string caption;
    bool enabled = true;
    std::function<void()> onClick;  // runs whenever the state changes, also from code

    [[nodiscard]] bool checked() const noexcept { return checked_; }
    void setChecked(bool value);

private:
    bool checked_ = false;
};

struct ComboBox {
    std::string text;
    std::vector<std::string> items;
    bool enabled = true;
};

struct RadioGroup {
    std::string caption;
    std::vector<std::string> items;
    int itemIndex = -1;
    bool enabled = true;
};

class StringGrid {
public:
    StringGrid(int colCount, int rowCount);

    [[nodiscard]] int colCount() const noexcept { return cols_; }
    [[nodiscard]] int rowCount() const noexcept { return rows_; }
    // Growing keeps the cells; shrinking drops the rows below.
    void setRowCount(int rows);
    [[nodiscard]] std::string& cell(int col, int row);
    [[nodiscard]] const std::string& cell(int col, int row) const;
    // Empties every cell of rows first..last (inclusive) in all columns.
    void clearRows(int first, int last);

    std::vector<int> colWidths;  // pixels, for the window
    int defaultRowHeight = 15;

private:
    int cols_;
    int rows_;
    std::vector<std::string> cells_;
};

struct Memo {
    std::vector<std::string> lines;
};

struct ListBox {
    std::vector<std::string> items;
    int itemIndex = -1;
};

struct CheckListBox {
    std::vector<std::string> items;
    std::vector<bool> checked;
    void clear() {
        items.clear();
        checked.clear();
    }
    void add(std::string item) {
        items.push_back(std::move(item));
        checked.push_back(false);
    }
};

} // namespace saldorama
