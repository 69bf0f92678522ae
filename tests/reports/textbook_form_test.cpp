#include "reports/textbook_form.h"

#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "report_fixtures.h"

namespace saldorama {
namespace {

using test::booking;
using test::chart_of;
using test::expect_golden;
using test::transfer;

// The printed lines with their marks made visible: "|" for the T's vertical
// bar, a line of "-" for its horizontal bar, a line of "=" under the sums.
std::vector<std::string> drawn(const std::vector<PrintLine>& lines) {
    std::vector<std::string> out;
    for (const auto& line : lines) {
        std::string text = line.text;
        if (line.tBar >= 0) {
            if (text.size() <= static_cast<std::size_t>(line.tBar)) text.resize(static_cast<std::size_t>(line.tBar) + 1, ' ');
            EXPECT_EQ(text[static_cast<std::size_t>(line.tBar)], ' ') << "the bar would cross text: " << line.text;
            text[static_cast<std::size_t>(line.tBar)] = '|';
        }
        out.push_back(text);
        if (line.tRuleEnd > 0) out.push_back(std::string(static_cast<std::size_t>(line.tRuleEnd), '-'));
        if (!line.sums.empty()) {
            std::string rule;
            for (const Span& s : line.sums) {
                rule.resize(static_cast<std::size_t>(s.begin), ' ');
                rule.append(static_cast<std::size_t>(s.end - s.begin), '=');
            }
            out.push_back(rule);
        }
    }
    return out;
}

struct Books {
    std::vector<AccountRecord> chart;
    AccountBalances balances;
};

Books books_of(const std::vector<BookingRecord>& bookings) {
    Books b{chart_of(test::standard_chart_lines()), AccountBalances({})};
    b.balances = AccountBalances(b.chart);
    b.balances.addAll(bookings);
    return b;
}

std::vector<BookingRecord> opening_1000() {
    return {transfer(0, "Kasse", "Eröffnungsbilanzkonto", 1000),
            transfer(1, "Eröffnungsbilanzkonto", "Eigenkapital", 1000)};
}

TEST(TextbookStatements, ProfitClosesPassivaAndSollWithEqualSums) {
    auto bookings = opening_1000();
    bookings.push_back(transfer(2, "Bank", "Umsatzerloese", 500));
    bookings.push_back(transfer(3, "Mieten", "Kasse", 250));
    const Books b = books_of(bookings);
    const TForm sheet = textbook_balance_sheet(b.chart, b.balances, 2026, false);
    EXPECT_EQ(sheet.leftSum, 1250);
    EXPECT_EQ(sheet.rightSum, 1250);
    const TForm pl = textbook_profit_and_loss(b.chart, b.balances, 2026, false);
    EXPECT_EQ(pl.leftSum, 500);
    EXPECT_EQ(pl.rightSum, 500);
    auto lines = drawn(textbook_lines(sheet));
    const auto more = drawn(textbook_lines(pl));
    lines.insert(lines.end(), more.begin(), more.end());
    expect_golden("textbook_profit_250.txt", lines);
}

TEST(TextbookStatements, LossStandsNegativeOnPassivaAndOnHabenAndZeroAccountsFollowTheOption) {
    auto bookings = opening_1000();
    bookings.push_back(transfer(2, "Mieten", "Bank", 300));
    bookings.push_back(transfer(3, "Kasse", "Umsatzerloese", 100));
    const Books b = books_of(bookings);
    const TForm sheet = textbook_balance_sheet(b.chart, b.balances, 2027, true);
    const TForm pl = textbook_profit_and_loss(b.chart, b.balances, 2027, true);
    EXPECT_EQ(sheet.leftSum, sheet.rightSum);
    EXPECT_EQ(pl.leftSum, 300);
    EXPECT_EQ(pl.rightSum, 300);
    auto lines = drawn(textbook_lines(sheet));
    const auto more = drawn(textbook_lines(pl));
    lines.insert(lines.end(), more.begin(), more.end());
    expect_golden("textbook_loss_200_zero_shown.txt", lines);
}

TEST(TextbookStatements, NoResultGivesNoResultLine) {
    const Books b = books_of(opening_1000());
    const TForm sheet = textbook_balance_sheet(b.chart, b.balances, 2026, false);
    ASSERT_EQ(sheet.left.size(), 1u);
    ASSERT_EQ(sheet.right.size(), 1u);
    EXPECT_EQ(sheet.right[0].text, "Eigenkapital");
    EXPECT_EQ(sheet.leftSum, 1000);
    EXPECT_EQ(sheet.rightSum, 1000);
}

TEST(TextbookAccount, LinesShowDateContraAccountAndAmount) {
    const std::vector<BookingRecord> bookings = {
        booking(0, "01.01.2026", "selbst", "Einlage", {{"Kasse", 1000, 0}, {"Eigenkapital", 0, 1000}}),
        // Two other credit lines: "Diverse".
        booking(1, "03.01.2026", "Kunde", "Verkauf", {{"Kasse", 700, 0}, {"Umsatzerloese", 0, 600}, {"Zinsertraege", 0, 100}}),
        // Two credit lines of the same account: that account.
        booking(2, "04.01.2026", "Kunde", "Verkauf", {{"Kasse", 50, 0}, {"Bank", 0, 20}, {"Bank", 0, 30}}),
        booking(3, "05.01.2026", "Vermieter", "Miete", {{"Mieten", 300, 0}, {"Kasse", 0, 300}}),
        // A line with both amounts and nothing else: no contra account.
        booking(4, "06.01.2026", "selbst", "Umbuchung", {{"Kasse", 5, 5}}),
        // Other case is another account and does not count.
        booking(5, "07.01.2026", "selbst", "Fremd", {{"kasse", 9, 0}, {"Bank", 0, 9}}),
    };
    const TForm t = textbook_account("Kasse", bookings);
    EXPECT_EQ(t.leftSum, 1755);
    EXPECT_EQ(t.rightSum, 1755);
    ASSERT_EQ(t.left.size(), 4u);
    EXPECT_EQ(t.left[1].text, several_contra_accounts());
    EXPECT_EQ(t.left[2].text, "Bank");
    expect_golden("textbook_account_kasse.txt", drawn(textbook_lines(t)));
}

TEST(TextbookAccount, CreditBalanceClosesOnTheSollSideAndLongNamesAreCut) {
    const std::string longName = "Forderungen aus Lieferungen und Leistungen Inland";
    const TForm t = textbook_account(
        "Bank", {booking(0, "01.02.2026", "X", "Y", {{longName, 12345678.9, 0}, {"Bank", 0, 12345678.9}})});
    ASSERT_EQ(t.left.size(), 1u);
    EXPECT_EQ(t.left[0].text, "Schlussbestand");
    EXPECT_EQ(t.left[0].amount, 12345678.9);
    expect_golden("textbook_account_long_name.txt", drawn(textbook_lines(t)));
}

TEST(TextbookLines, SumsStandOnOneRowUnderTheLongerSideAndKeepWithIt) {
    TForm t;
    t.title = "Test";
    t.leftHeading = "Soll";
    t.rightHeading = "Haben";
    t.left = {{"", "A", 1}, {"", "B", 2}, {"", "C", 3}};
    t.right = {{"", "D", 6}};
    t.leftSum = t.rightSum = 6;
    const auto lines = textbook_lines(t);
    ASSERT_EQ(lines.size(), 2u + 3u + 1u);  // title, headings, three rows, sums
    EXPECT_TRUE(lines[0].keepWithNext);
    EXPECT_TRUE(lines[1].keepWithNext);
    EXPECT_GT(lines[1].tRuleEnd, 0);
    EXPECT_TRUE(lines[4].keepWithNext) << "the last entry keeps with the sums";
    const PrintLine& sums = lines.back();
    ASSERT_EQ(sums.sums.size(), 2u);
    for (const Span& s : sums.sums)
        EXPECT_EQ(sums.text.substr(static_cast<std::size_t>(s.begin), static_cast<std::size_t>(s.end - s.begin)), "6,00");
}

// The shorter side is closed by one diagonal through its empty rows, inside
// its own half, never across a digit; equal sides have none.
TEST(TextbookLines, TheShorterSideIsClosedByADiagonalThroughItsEmptyRows) {
    const struct {
        std::size_t left, right;
        int noseRow;  // -1: none
        int rows;
        bool leftSide;
    } cases[] = {{3, 1, 3, 2, false}, {1, 3, 3, 2, true}, {2, 2, -1, 0, false}, {0, 2, 2, 2, true}};
    for (const auto& c : cases) {
        TForm t;
        t.title = "Test";
        t.leftHeading = "Soll";
        t.rightHeading = "Haben";
        for (std::size_t i = 0; i < c.left; ++i) t.left.push_back({"", "Links", 1});
        for (std::size_t i = 0; i < c.right; ++i) t.right.push_back({"", "Rechts", 1});
        t.leftSum = t.rightSum = 3;
        const auto lines = textbook_lines(t);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const PrintLine& line = lines[i];
            SCOPED_TRACE(std::to_string(c.left) + ":" + std::to_string(c.right) + " line " + std::to_string(i));
            if (static_cast<int>(i) != c.noseRow) {
                EXPECT_EQ(line.noseRows, 0);
                continue;
            }
            EXPECT_EQ(line.noseRows, c.rows);
            EXPECT_EQ(line.nose.begin == 0, c.leftSide);
            EXPECT_LT(line.nose.begin, line.nose.end);
            // Every row it runs through is empty on its side and keeps with the sums.
            for (std::size_t r = i; r < i + static_cast<std::size_t>(c.rows); ++r) {
                const std::string& text = lines[r].text;
                const std::size_t from = static_cast<std::size_t>(line.nose.begin);
                const std::string side = text.size() > from ? text.substr(from, static_cast<std::size_t>(line.nose.end) - from) : "";
                EXPECT_EQ(side.find_first_not_of(' '), std::string::npos) << text;
                EXPECT_TRUE(lines[r].keepWithNext);
            }
            EXPECT_FALSE(lines[i + static_cast<std::size_t>(c.rows)].sums.empty()) << "it ends at the sums";
        }
    }
}

} // namespace
} // namespace saldorama
