#pragma once
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace saldorama {

// Character columns [begin, end) of a line.
struct Span {
    int begin = 0;
    int end = 0;
    bool operator==(const Span&) const = default;
};

// One printed line of a report in a fixed-pitch font, with the few marks the
// painter draws besides the text. Columns count characters (CP1252 bytes).
struct PrintLine {
    std::string text;           // CP1252
    bool keepWithNext = false;  // a heading: never the last line of a page
    int tBar = -1;              // the T's vertical bar runs through the middle of this column
    int tRuleEnd = 0;           // > 0: the T's horizontal bar under this line, columns [0, tRuleEnd)
    std::vector<Span> sums;     // equal sums: a rule above and a double rule below each span
    // The diagonal that closes the shorter side of a T ("Buchhalternase"):
    // from column nose.begin at the top of this line to column nose.end at
    // the bottom of the noseRows-th line from here, through empty rows only.
    Span nose;
    int noseRows = 0;
    bool operator==(const PrintLine&) const = default;
};

// A line of text alone; a heading keeps with the next line.
[[nodiscard]] PrintLine print_line(std::string text, bool keepWithNext = false);

// Lines handed over one at a time.
using PrintLineSink = std::function<void(const PrintLine&)>;

// Everything one print or PDF needs: plain data, no toolkit.
struct PrintJob {
    std::string company;     // CP1252, header left
    std::string reportName;  // CP1252, header middle
    std::string printDate;   // "TT.MM.JJJJ", header right
    std::vector<PrintLine> lines;
    // When set, the lines come from here instead, anew at every pass of the
    // painter (it takes three), so that a report of any length is printed
    // without being held.
    std::function<void(const PrintLineSink&)> stream;
    // The first lines again on top of every further page: the journal's
    // column heading, the head of a T-account.
    std::size_t repeatedLines = 0;
};

// Lines [begin, end) of `lines` on one page; `repeated` of the first lines
// stand above them again.
struct PageRange {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t repeated = 0;
    bool operator==(const PageRange&) const = default;
};

// Fills pages of `rowsPerPage` lines in order. A page never ends on a line
// marked keepWithNext: such lines move to the next page with the line they
// head, unless the chain of headings alone fills a page. Pages after the
// first begin with the first `repeatedLines` lines again (unless they would
// leave less than two rows). At least one page, also for no lines.
[[nodiscard]] std::vector<PageRange> paginate(const std::vector<PrintLine>& lines, int rowsPerPage,
                                              std::size_t repeatedLines);

// The job's lines in order, from `stream` when it has one.
void for_each_line(const PrintJob& job, const PrintLineSink& sink);

// Fills pages exactly as paginate() does from lines handed over one at a
// time, holding no more than a page of them.
class PageFiller {
public:
    // One page: the repeated lines on top (none on the first page), then its own.
    using PageSink = std::function<void(std::span<const PrintLine> repeated, std::span<const PrintLine> lines)>;
    PageFiller(int rowsPerPage, std::size_t repeatedLines, PageSink page);
    void add(PrintLine line);
    // Hands over the last page; one empty page when no line came.
    void finish();
    [[nodiscard]] int pages() const noexcept { return pages_; }

private:
    [[nodiscard]] std::size_t repeatedOnNext() const;
    void closePage(std::size_t count);
    std::size_t rows_;
    std::size_t repeatedLines_;
    PageSink page_;
    std::vector<PrintLine> head_;     // the report's first repeatedLines lines
    std::vector<PrintLine> pending_;  // handed over, not yet on a page
    std::size_t begin_ = 0;           // the place of pending_'s first line in the report
    int pages_ = 0;
};

// A line longer than `maxColumns` becomes several lines of at most that many
// characters; all but the last keep with the next one. Marks stay on the
// first piece.
[[nodiscard]] std::vector<PrintLine> wrap_lines(const std::vector<PrintLine>& lines, int maxColumns);
// The same for one line, its pieces into `sink`.
void wrap_line(const PrintLine& line, int maxColumns, const PrintLineSink& sink);

// The report text of the balance or operating page for print: a line that
// does not end in an amount (titles, "Aktiva", "Soll:", separators, blank
// lines) belongs to the line after it and so keeps with it.
[[nodiscard]] std::vector<PrintLine> statement_print_lines(const std::vector<std::string>& lines);

// The journal: its first line is the column heading.
[[nodiscard]] std::vector<PrintLine> journal_print_lines(const std::vector<std::string>& lines);

// The T-account as the page shows it: heading "Konto: NAME", the captions
// "Soll" and "Haben", then the grid rows side by side, the T drawn between
// them and under the heading row.
[[nodiscard]] std::vector<PrintLine> account_sheet_print_lines(const std::string& heading,
                                                               const std::vector<std::string>& soll,
                                                               const std::vector<std::string>& haben);

// The longest line in characters.
[[nodiscard]] int widest_line(const std::vector<PrintLine>& lines);

} // namespace saldorama
