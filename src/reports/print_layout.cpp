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

void for_each_line(const PrintJob& job, const PrintLineSink& sink) {
    if (job.stream) {
        job.stream(sink);
        return;
    }
    for (const PrintLine& line : job.lines) sink(line);
}

PageFiller::PageFiller(int rowsPerPage, std::size_t repeatedLines, PageSink page)
    : rows_(static_cast<std::size_t>(std::max(rowsPerPage, 2))), repeatedLines_(repeatedLines), page_(std::move(page)) {}

std::size_t PageFiller::repeatedOnNext() const {
    return pages_ == 0 || repeatedLines_ + 2 > rows_ ? 0 : std::min(repeatedLines_, begin_);
}

void PageFiller::add(PrintLine line) {
    if (head_.size() < repeatedLines_) head_.push_back(line);
    pending_.push_back(std::move(line));
    // More lines than the page holds: the page is full, and its end is known.
    for (std::size_t capacity = rows_ - repeatedOnNext(); pending_.size() > capacity;
         capacity = rows_ - repeatedOnNext()) {
        std::size_t cut = capacity;
        while (cut > 0 && pending_[cut - 1].keepWithNext) --cut;
        closePage(cut > 0 ? cut : capacity);  // else the headings alone fill the page
    }
}

void PageFiller::finish() {
    if (!pending_.empty() || pages_ == 0) closePage(pending_.size());
}

void PageFiller::closePage(std::size_t count) {
    const std::size_t repeated = repeatedOnNext();
    page_(std::span<const PrintLine>(head_).first(repeated), std::span<const PrintLine>(pending_).first(count));
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count));
    begin_ += count;
    ++pages_;
}

void wrap_line(const PrintLine& line, int maxColumns, const PrintLineSink& sink) {
    const std::size_t width = static_cast<std::size_t>(std::max(maxColumns, 1));
    if (line.text.size() <= width) {
        sink(line);
        return;
    }
    for (std::size_t at = 0; at < line.text.size(); at += width) {
        PrintLine piece = at == 0 ? line : PrintLine{};
        piece.text = line.text.substr(at, width);
        const bool last = at + width >= line.text.size();
        piece.keepWithNext = last ? line.keepWithNext : true;
        sink(piece);
    }
}

std::vector<PrintLine> wrap_lines(const std::vector<PrintLine>& lines, int maxColumns) {
    std::vector<PrintLine> out;
    out.reserve(lines.size());
    for (const PrintLine& line : lines) wrap_line(line, maxColumns, [&out](const PrintLine& piece) { out.push_back(piece); });
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
