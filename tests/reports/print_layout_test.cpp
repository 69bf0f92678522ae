#include "reports/print_layout.h"

#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "report_fixtures.h"
#include "reports/balance_report.h"

namespace saldorama {
namespace {

std::vector<PrintLine> lines_of(const std::string& marks) {
    // 'h' a heading, '.' a plain line.
    std::vector<PrintLine> lines;
    for (std::size_t i = 0; i < marks.size(); ++i) lines.push_back(print_line(std::to_string(i), marks[i] == 'h'));
    return lines;
}

// Every line once, in order; no page ends on a heading unless headings fill it.
void expect_sound(const std::vector<PrintLine>& lines, const std::vector<PageRange>& pages, int rows,
                  std::size_t repeat) {
    std::size_t next = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const PageRange& page = pages[p];
        EXPECT_EQ(page.begin, next);
        EXPECT_GT(page.end, page.begin);
        EXPECT_LE(page.end - page.begin + page.repeated, static_cast<std::size_t>(rows));
        EXPECT_EQ(page.repeated, p > 0 ? repeat : 0);
        bool allHeadings = true;
        for (std::size_t i = page.begin; i < page.end; ++i) allHeadings = allHeadings && lines[i].keepWithNext;
        if (page.end < lines.size() && !allHeadings) {
            EXPECT_FALSE(lines[page.end - 1].keepWithNext) << "page " << p + 1 << " ends on a heading";
        }
        next = page.end;
    }
    EXPECT_EQ(next, lines.size());
}

TEST(Paginate, HeadingMovesToTheNextPageWithItsFirstLine) {
    const auto lines = lines_of("...h.....");
    const auto pages = paginate(lines, 4, 0);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0], (PageRange{0, 3, 0}));
    EXPECT_EQ(pages[1], (PageRange{3, 7, 0}));
    EXPECT_EQ(pages[2], (PageRange{7, 9, 0}));
}

TEST(Paginate, AChainOfHeadingsMovesWhole) {
    const auto pages = paginate(lines_of("..hhh..."), 4, 0);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0], (PageRange{0, 2, 0}));
    EXPECT_EQ(pages[1], (PageRange{2, 6, 0}));
    EXPECT_EQ(pages[2], (PageRange{6, 8, 0}));
}

TEST(Paginate, HeadingsThatFillAPageAreCutRatherThanLooping) {
    const auto lines = lines_of("hhhhhh.");
    const auto pages = paginate(lines, 3, 0);
    expect_sound(lines, pages, 3, 0);
    EXPECT_EQ(pages.size(), 3u);
}

TEST(Paginate, FirstLinesRepeatOnEveryFurtherPage) {
    const auto lines = lines_of("h.........");  // heading and nine lines
    const auto pages = paginate(lines, 4, 1);
    // Page 1: heading + 3 lines; then 3 lines under the repeated heading each.
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0], (PageRange{0, 4, 0}));
    EXPECT_EQ(pages[1], (PageRange{4, 7, 1}));
    EXPECT_EQ(pages[2], (PageRange{7, 10, 1}));

    const auto twoLines = lines_of("hh..........");
    for (int rows = 4; rows <= 8; ++rows) expect_sound(twoLines, paginate(twoLines, rows, 2), rows, 2);
    // A head that leaves less than two rows is not repeated.
    const auto tooBig = paginate(twoLines, 3, 2);
    EXPECT_EQ(tooBig[1].repeated, 0u);
}

TEST(Paginate, NoLinesIsOneEmptyPage) {
    const auto pages = paginate({}, 10, 0);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].begin, pages[0].end);
}

TEST(Paginate, BalanceReportNeverLeavesAHeadingAtAPageFoot) {
    const auto chart = test::chart_of(test::standard_chart_lines());
    const std::vector<BookingRecord> bookings = {test::transfer(0, "Kasse", "Eigenkapital", 100),
                                                 test::transfer(1, "Mieten", "Bank", 30),
                                                 test::transfer(2, "Bank", "Umsatzerloese", 70)};
    const auto lines = statement_print_lines(balance_report(chart, bookings, test::muster_company(), {}));
    for (int rows = 3; rows <= static_cast<int>(lines.size()) + 1; ++rows) {
        SCOPED_TRACE(rows);
        expect_sound(lines, paginate(lines, rows, 0), rows, 0);
    }
}

// Lines handed over one at a time give the very pages of the whole list:
// what each page holds and repeats.
TEST(Paginate, LinesHandedOverOneByOneGiveTheSamePages) {
    struct Case {
        const char* marks;
        int rows;
        std::size_t repeat;
    };
    const Case cases[] = {{"", 10, 0},         {"...h.....", 4, 0}, {"..hhh...", 4, 0},  {"hhhhhh.", 3, 0},
                          {"h.........", 4, 1}, {"hh..........", 3, 2}, {"hh..........", 5, 2}, {"h..h..h..h..hh", 4, 1},
                          {"h", 2, 1},          {"....", 4, 0},      {".....", 2, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.marks) + " rows " + std::to_string(c.rows));
        const auto lines = lines_of(c.marks);
        std::vector<std::string> whole;
        for (const PageRange& page : paginate(lines, c.rows, c.repeat)) {
            std::string text;
            for (std::size_t i = 0; i < page.repeated; ++i) text += lines[i].text + "|";
            text += "/";
            for (std::size_t i = page.begin; i < page.end; ++i) text += lines[i].text + "|";
            whole.push_back(text);
        }
        std::vector<std::string> handed;
        PageFiller filler(c.rows, c.repeat, [&](std::span<const PrintLine> repeated, std::span<const PrintLine> own) {
            std::string text;
            for (const PrintLine& l : repeated) text += l.text + "|";
            text += "/";
            for (const PrintLine& l : own) text += l.text + "|";
            handed.push_back(text);
        });
        for (const PrintLine& line : lines) filler.add(line);
        filler.finish();
        EXPECT_EQ(handed, whole);
        EXPECT_EQ(filler.pages(), static_cast<int>(whole.size()));
    }
}

TEST(StatementPrintLines, LinesWithoutAnAmountHeadWhatFollows) {
    const auto lines = statement_print_lines({"Aktiva", "-----", "Kasse       100,00", "Summe:   100,00", "",
                                              "Zehn Millionen 12345678...", "f.d.R.: Anna Buch", "verantw.:Bert"});
    const std::vector<bool> heads = {true, true, false, false, true, false, true, true};
    for (std::size_t i = 0; i < heads.size(); ++i) EXPECT_EQ(lines[i].keepWithNext, heads[i]) << lines[i].text;
}

TEST(WrapLines, LongLinesGoOnInPiecesThatKeepTogether) {
    PrintLine marked = print_line("abcdefghij", false);
    marked.tBar = 2;
    const auto lines = wrap_lines({marked, print_line("xyz", true)}, 4);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].text, "abcd");
    EXPECT_EQ(lines[0].tBar, 2);
    EXPECT_TRUE(lines[0].keepWithNext);
    EXPECT_EQ(lines[1].text, "efgh");
    EXPECT_EQ(lines[1].tBar, -1);
    EXPECT_EQ(lines[2].text, "ij");
    EXPECT_FALSE(lines[2].keepWithNext);
    EXPECT_EQ(lines[3].text, "xyz");
    EXPECT_TRUE(lines[3].keepWithNext);
}

TEST(AccountSheetPrintLines, SidesStandApartWithTheTBetweenThem) {
    const auto lines = account_sheet_print_lines("Konto: Kasse", {"Nr.  Grund", "1    Einlage  100,00", "Summe: 100,00"},
                                                 {"Nr. Grund", "", "Summe: 100,00"});
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].text, "Konto: Kasse");
    // The Soll side is 20 wide, then a gap of 3 with the bar in its middle.
    EXPECT_EQ(lines[1].text, "Soll" + std::string(19, ' ') + "Haben");
    EXPECT_EQ(lines[2].text, "Nr.  Grund" + std::string(13, ' ') + "Nr. Grund");
    EXPECT_EQ(lines[2].tRuleEnd, 20 + 3 + 13);
    EXPECT_EQ(lines[3].text, "1    Einlage  100,00");
    EXPECT_EQ(lines[4].text, "Summe: 100,00" + std::string(10, ' ') + "Summe: 100,00");
    for (std::size_t i = 2; i < lines.size(); ++i) EXPECT_EQ(lines[i].tBar, 21);
    EXPECT_TRUE(lines[0].keepWithNext && lines[1].keepWithNext && lines[2].keepWithNext);
}

} // namespace
} // namespace saldorama
