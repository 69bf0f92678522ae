#include "reports/print_layout.h"

#include <algorithm>

namespace saldorama {

PrintLine print_line(std::string text, bool keepWithNext) {
    PrintLine line;
    line.text = std::move(text);
    line.keepWithNext = keepWithNext;
    return line;
}

std::vector<PageRange> paginate(const std::vector<PrintLine>& lines, int rowsPerPage, std::size_t repeatedLines) {
    const std::size_t rows = static_cast<std::size_t>(std::max(rowsPerPage, 2));
    std::vector<PageRange> pages;
    std::size_t begin = 0;
    const std::size_t n = lines.size();
    while (begin < n || pages.empty()) {
        const std::size_t repeated =
            pages.empty() || repeatedLines + 2 > rows ? 0 : std::min(repeatedLines, begin);
        const std::size_t capacity = rows - repeated;
        std::size_t end = std::min(n, begin + capacity);
        if (end < n) {
            std::size_t cut = end;
            while (cut > begin && lines[cut - 1].keepWithNext) --cut;
            if (cut > begin) end = cut;  // else the headings alone fill the page
        }
        pages.push_back({begin, end, repeated});
        if (end == begin) break;  // no lines at all
        begin = end;
    }
    return pages;
}

std::vector<PrintLine> wrap_lines(const std::vector<PrintLine>& lines, int maxColumns) {
    const std::size_t width = static_cast<std::size_t>(std::max(maxColumns, 1));
    std::vector<PrintLine> out;
    out.reserve(lines.size());
    for (const PrintLine& line : lines) {
        if (line.text.size() <= width) {
            out.push_back(line);
            continue;
        }
        for (std::size_t at = 0; at < line.text.size(); at += width) {
            PrintLine piece = at == 0 ? line : PrintLine{};
            piece.text = line.text.substr(at, width);
            const bool last = at + width >= line.text.size();
            piece.keepWithNext = last ? line.keepWithNext : true;
            out.push_back(std::move(piece));
        }
    }
    return out;
}

namespace {

bool ends_in_amount(const std::string& line) {
    const auto last = line.find_last_not_of(' ');
    if (last == std::string::npos) return false;
    const char c = line[last];
    // An amount cut by printf ends in "...".
    return (c >= '0' && c <= '9') || line.compare(last >= 2 ? last - 2 : 0, 3, "...") == 0;
}

} // namespace

std::vector<PrintLine> statement_print_lines(const std::vector<std::string>& lines) {
    std::vector<PrintLine> out;
    out.reserve(lines.size());
    for (const auto& text : lines) out.push_back(print_line(text, !ends_in_amount(text)));
    return out;
}

std::vector<PrintLine> journal_print_lines(const std::vector<std::string>& lines) {
    std::vector<PrintLine> out;
    out.reserve(lines.size());
    for (const auto& text : lines) out.push_back(print_line(text));
    if (!out.empty()) out.front().keepWithNext = true;
    return out;
}

std::vector<PrintLine> account_sheet_print_lines(const std::string& heading, const std::vector<std::string>& soll,
                                                 const std::vector<std::string>& haben) {
    std::size_t width = 0;
    for (const auto& cell : soll) width = std::max(width, cell.size());
    const int gap = static_cast<int>(width);  // the gap is columns width .. width + 2
    std::vector<PrintLine> out;
    out.push_back(print_line(heading, true));
    out.push_back(print_line("Soll" + std::string(width - std::min<std::size_t>(width, 4) + 3, ' ') + "Haben", true));
    const std::size_t rows = std::max(soll.size(), haben.size());
    std::size_t right = 0;
    for (const auto& cell : haben) right = std::max(right, cell.size());
    for (std::size_t row = 0; row < rows; ++row) {
        std::string text = row < soll.size() ? soll[row] : std::string();
        const std::string h = row < haben.size() ? haben[row] : std::string();
        if (!h.empty()) text += std::string(width - text.size() + 3, ' ') + h;
        while (!text.empty() && text.back() == ' ') text.pop_back();
        PrintLine line = print_line(text, row == 0);
        line.tBar = gap + 1;
        if (row == 0) line.tRuleEnd = static_cast<int>(width + 3 + right);
        out.push_back(std::move(line));
    }
    return out;
}

int widest_line(const std::vector<PrintLine>& lines) {
    std::size_t widest = 0;
    for (const auto& line : lines) widest = std::max(widest, line.text.size());
    return static_cast<int>(widest);
}

} // namespace saldorama
