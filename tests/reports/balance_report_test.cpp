#include "reports/balance_report.h"

#include "base/cp1252.h"
#include "reports/account_sheet.h"
#include "reports/operating_report.h"
#include "reports/report_values.h"
#include "reports/textbook_form.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "report_fixtures.h"

namespace saldorama {
namespace {

using test::booking;
using test::chart_of;
using test::expect_golden;
using test::transfer;

bool starts(const std::string& line, const std::string& head) { return line.rfind(head, 0) == 0; }

// The report, after checking that the values handed over and the textbook
// form carry its figures: the balance total, this year's result under its
// name, and the P&L's "Gewinn:" or "Verlust:". Every golden balance goes
// through here.
std::vector<std::string> agreed(const std::vector<AccountRecord>& chart, const std::vector<BookingRecord>& bookings,
                                BalanceOptions options = {}) {
    const auto lines = balance_report(chart, bookings, test::muster_company(), options);
    AccountBalances balances(chart);
    balances.addAll(bookings);
    const ReportValues values = report_values(chart, balances);
    const auto firstSum = std::find_if(lines.begin(), lines.end(), [](const auto& l) { return starts(l, "Summe:"); });
    EXPECT_EQ(*firstSum, sum_line(values.balanceSheetTotal));
    EXPECT_NE(std::find(lines.begin(), lines.end(), year_result_line(values.yearResult)), lines.end());

    const TForm sheet = textbook_balance_sheet(chart, balances, 2026, options.showZeroAccounts);
    const TForm pl = textbook_profit_and_loss(chart, balances, 2026, options.showZeroAccounts);
    EXPECT_EQ(report_amount_text(sheet.leftSum), report_amount_text(values.balanceSheetTotal));
    std::vector<std::string> fromForm, fromReport;
    for (const TEntry& e : sheet.right)
        if (starts(e.text, "Jahres")) fromForm.push_back(year_result_line(e.amount));
    if (!shows_as_zero(values.yearResult)) fromReport.push_back(year_result_line(values.yearResult));
    for (const TEntry& e : pl.left)
        if (e.text == "Gewinn") fromForm.push_back(amount_label_line("Gewinn:", e.amount, 37));
    for (const TEntry& e : pl.right)
        if (e.text == "Verlust") fromForm.push_back(amount_label_line("Verlust:", e.amount, 36));
    for (const auto& l : lines)
        if (starts(l, "Gewinn:") || starts(l, "Verlust:")) fromReport.push_back(l);
    EXPECT_EQ(fromForm, fromReport);
    return lines;
}

std::vector<std::string> standard_balance(const std::vector<BookingRecord>& bookings, BalanceOptions options = {}) {
    return agreed(chart_of(test::standard_chart_lines()), bookings, options);
}

// The supplied chart 1, as a teacher's folder holds it.
std::vector<AccountRecord> chart_one() {
    std::ifstream in(std::string(SALDORAMA_DATA_DIR) + "/Kontenplan1.txt", std::ios::binary);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        if (!l.empty()) lines.push_back(cp1252_to_utf8(l));
    }
    return chart_of(lines);
}

// Textbook exercises on chart 1: a balance on the other side shows negative
// on its own side, Privat lowers the equity, and both statements balance.
TEST(BalanceReport, ChartOneGivesTheTextbookFigures) {
    const std::string ebk = "Eröffnungsbilanzkonto";
    const struct {
        const char* name;
        std::vector<BookingRecord> bookings;
        std::vector<std::string> shown;  // lines the report holds
        double total;                    // both sides of the balance sheet
    } cases[] = {
        {"refund claim left on Umsatzsteuer",
         {booking(0, "", "", "", {{"Fuhrpark", 15900, 0}, {"Vorsteuer", 3021, 0}, {"Verbindlichkeiten", 0, 18921}}),
          booking(1, "", "", "", {{"Forderungen", 2856, 0}, {"Umsatzerlöse", 0, 2400}, {"Umsatzsteuer", 0, 456}}),
          transfer(2, "Umsatzsteuer", "Vorsteuer", 3021)},
         {account_line("Umsatzsteuer", -2565), year_result_line(2400), amount_label_line("Gewinn:", 2400, 37)},
         18756},
        {"withdrawals under Passiva",
         {transfer(0, "Bank", ebk, 520000), transfer(1, ebk, "Eigenkapital", 520000), transfer(2, "Privat", "Bank", 5000),
          transfer(3, "Privat", "Bank", 1000), transfer(4, "Privat", "Bank", 2800), transfer(5, "Bank", "Privat", 4200),
          transfer(6, "Bank", "Umsatzerlöse", 350000), transfer(7, "Löhne und Gehälter", "Bank", 280000)},
         {account_line("Privat", -4600), year_result_line(70000)},
         585400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto lines = agreed(chart_one(), c.bookings);
        for (const auto& l : c.shown) EXPECT_NE(std::find(lines.begin(), lines.end(), l), lines.end()) << l;
        std::vector<std::string> sums;
        for (const auto& l : lines)
            if (starts(l, "Summe:")) sums.push_back(l);
        ASSERT_EQ(sums.size(), 4u);
        EXPECT_EQ(sums[0], sum_line(c.total));
        EXPECT_EQ(sums[1], sums[0]);
        EXPECT_EQ(sums[3], sums[2]);  // the P&L balances too
    }
}

// Binary residues that print as 0,00 are zero: no account line, no "Gewinn:"
// or "Verlust:" line and no closing line of a T-account.
TEST(BalanceReport, WhatPrintsAsZeroIsHiddenLikeZero) {
    const std::vector<BookingRecord> bookings = {
        transfer(0, "Kasse", "Eigenkapital", 100), transfer(1, "Bank", "Kasse", 0.1), transfer(2, "Bank", "Kasse", 0.2),
        transfer(3, "Kasse", "Bank", 0.3), transfer(4, "Mieten", "Kasse", 0.1), transfer(5, "Mieten", "Kasse", 0.2),
        transfer(6, "Kasse", "Umsatzerloese", 0.3)};
    ASSERT_NE(bookings[1].debit[0] + bookings[2].debit[0] - bookings[3].credit[1], 0.0);
    const auto lines = standard_balance(bookings);
    for (const auto& l : lines) {
        EXPECT_FALSE(starts(l, "Bank") || starts(l, "Gewinn:") || starts(l, "Verlust:")) << l;
    }
    const TAccount bank = account_sheet("Bank", bookings);
    for (const auto* side : {&bank.soll, &bank.haben})
        for (const auto& cell : *side) EXPECT_EQ(cell.find("Schlussbestand"), std::string::npos) << cell;
    const TForm t = textbook_account("Bank", bookings);
    for (const auto* side : {&t.left, &t.right})
        for (const auto& e : *side) EXPECT_NE(e.text, "Schlussbestand");
}

std::vector<BookingRecord> opening_1000() {
    return {transfer(0, "Kasse", "Eröffnungsbilanzkonto", 1000), transfer(1, "Eröffnungsbilanzkonto", "Eigenkapital", 1000)};
}

TEST(BalanceReport, NoBookingsShowsHeadingsAndZeroSums) {
    expect_golden("balance_no_bookings.txt", standard_balance({}));
}

TEST(BalanceReport, ProfitIsCarriedToLiabilitiesAndSollSide) {
    auto bookings = opening_1000();
    bookings.push_back(transfer(2, "Bank", "Umsatzerloese", 500));
    bookings.push_back(transfer(3, "Mieten", "Kasse", 250));
    expect_golden("balance_profit_250.txt", standard_balance(bookings));
}

TEST(BalanceReport, LossIsCarriedNegativeAndClosesHabenSide) {
    auto bookings = opening_1000();
    bookings.push_back(transfer(2, "Bank", "Umsatzerloese", 250));
    bookings.push_back(transfer(3, "Mieten", "Kasse", 500));
    expect_golden("balance_loss_250.txt", standard_balance(bookings));
}

TEST(BalanceReport, ManualModeChangesOnlyTheTitle) {
    auto bookings = opening_1000();
    bookings.push_back(transfer(2, "Bank", "Umsatzerloese", 500));
    bookings.push_back(transfer(3, "Mieten", "Kasse", 250));
    expect_golden("balance_manual_mode.txt", standard_balance(bookings, {.showZeroAccounts = false, .manualMode = true}));
}

std::vector<BookingRecord> cancelling_bank() {
    return {transfer(0, "Kasse", "Eigenkapital", 100), transfer(1, "Bank", "Kasse", 40), transfer(2, "Kasse", "Bank", 40)};
}

TEST(BalanceReport, ZeroBalancesAreHiddenWithoutTheOption) {
    expect_golden("balance_zero_hidden.txt", standard_balance(cancelling_bank()));
}

TEST(BalanceReport, ZeroBalancesAreListedWithTheOption) {
    expect_golden("balance_zero_shown.txt", standard_balance(cancelling_bank(), {.showZeroAccounts = true}));
}

TEST(BalanceReport, LiabilityWithDebitBalanceShowsNegativeOnItsSide) {
    expect_golden("balance_liability_debit_balance.txt",
                  standard_balance({transfer(0, "Kasse", "Eigenkapital", 500), transfer(1, "Darlehen", "Kasse", 100)}));
}

TEST(BalanceReport, AssetWithCreditBalanceShowsNegative) {
    expect_golden("balance_asset_credit_balance.txt",
                  standard_balance({transfer(0, "Kasse", "Eigenkapital", 200), transfer(1, "Kasse", "Bank", 50)}));
}

TEST(BalanceReport, SpecialAccountsFollowSectionRulesAndOpeningAccountIsLeftOut) {
    const auto chart = chart_of({"Kasse<B> A  B", "Eröffnungsbilanzkonto<V> H  N", "Eigenkapital<B> P  B",
                                 "Mieten<G> A  B", "Umsatzerloese<G> E  B", "Privat<V> H  N"});
    const std::vector<BookingRecord> bookings = {
        transfer(0, "Kasse", "Eröffnungsbilanzkonto", 1000), transfer(1, "Eröffnungsbilanzkonto", "Eigenkapital", 1000),
        transfer(2, "Kasse", "Umsatzerloese", 300), transfer(3, "Privat", "Kasse", 50)};
    expect_golden("balance_special_accounts.txt", agreed(chart, bookings));
}

TEST(BalanceReport, LongNamesAreNotCut) {
    const auto chart = chart_of({"Forderungen aus Lieferungen und Leistungen<B> A  B",
                                 "Verbindlichkeiten gegenueber Banken<B> P  B", "Mieten<G> A  B",
                                 "Umsatzerloese<G> E  B"});
    const std::vector<BookingRecord> bookings = {
        transfer(0, "Forderungen aus Lieferungen und Leistungen", "Umsatzerloese", 1190),
        transfer(1, "Mieten", "Verbindlichkeiten gegenueber Banken", 400)};
    expect_golden("balance_long_names.txt", agreed(chart, bookings));
}

// The carried difference is ((12345678.9 + 1e7) - 1e7) - 12345678.9 = -1.86e-9
// in binary64: a balance difference below 0 that prints as 0,00, and with it a
// "Verlust:" line of 0,00.
TEST(BalanceReport, AmountsOfTenMillionWidenTheLine) {
    expect_golden("balance_ten_million.txt", standard_balance({transfer(0, "Kasse", "Eigenkapital", 12345678.9),
                                                               transfer(1, "Bank", "Darlehen", 10000000)}));
}

TEST(BalanceReport, OpeningAccountNeverCountsWhateverItsBalance) {
    // A one-sided opening leaves the opening account with a credit balance of 1000.
    const auto lines = standard_balance({transfer(0, "Kasse", "Eröffnungsbilanzkonto", 1000)});
    for (const auto& line : lines) EXPECT_EQ(line.find("ffnungsbilanzkonto"), std::string::npos) << line;
    auto has = [&](const std::string& text) { return std::find(lines.begin(), lines.end(), text) != lines.end(); };
    // Only Kasse counts: the carried difference is the full 1000 and the
    // Haben side of the P&L stays empty.
    EXPECT_TRUE(has(cp("Jahresüberschuss") + std::string(22, ' ') + "1000,00"));
    EXPECT_TRUE(has("Gewinn:" + std::string(31, ' ') + "1000,00"));
    EXPECT_EQ(lines[lines.size() - 7], "Summe: " + std::string(34, ' ') + "0,00");
}

// After a manual closing every account stands at 0,00, while the two closing
// accounts carry the totals; like the opening account they are listed nowhere
// and count for no result, so the reports look as before the closing.
TEST(BalanceReport, ClosingAccountsAreListedNowhereAndCountForNoResult) {
    std::vector<std::string> lines = test::standard_chart_lines();
    lines.push_back("GuV-Konto<V> H  N");
    lines.push_back("Schlussbilanzkonto<V> H  N");
    const auto chart = chart_of(lines);
    const std::vector<BookingRecord> closed = {
        transfer(0, "Kasse", "Eröffnungsbilanzkonto", 1000), transfer(1, "Eröffnungsbilanzkonto", "Eigenkapital", 1000),
        transfer(2, "Kasse", "Umsatzerloese", 300), transfer(3, "Umsatzerloese", "GuV-Konto", 300),
        transfer(4, "GuV-Konto", "Eigenkapital", 300), transfer(5, "Schlussbilanzkonto", "Kasse", 1300),
        transfer(6, "Eigenkapital", "Schlussbilanzkonto", 1300)};
    AccountBalances balances(chart);
    balances.addAll(closed);
    EXPECT_EQ(balances.operatingResult(), 0.0);
    EXPECT_EQ(balances.neutralResult(), 0.0);
    // Half-way through the closing the neutral half is untouched.
    EXPECT_EQ(BerechneNeutral(chart, {closed.begin(), closed.begin() + 4}), 0.0);
    EXPECT_EQ(BerechneGewinn(chart, {closed.begin(), closed.begin() + 4}), 0.0);
    const std::vector<std::string> none;
    const auto zeroShown = [&](const std::vector<AccountRecord>& c, const std::vector<BookingRecord>& b) {
        auto out = balance_report(c, b, test::muster_company(), {.showZeroAccounts = true});
        const auto op = operating_report(c, b, test::muster_company(), true);
        out.insert(out.end(), op.begin(), op.end());
        return out;
    };
    EXPECT_EQ(zeroShown(chart, closed), zeroShown(chart_of(test::standard_chart_lines()), {}));
}

// The literal rule: one pass over all bookings for each account.
double per_account_sum(const std::string& name, const std::vector<BookingRecord>& bookings) {
    double amount = 0;
    for (const auto& r : bookings)
        for (std::size_t i = 0; i < kBookingLines; ++i)
            if (r.account[i] == name) {
                amount += r.debit[i];
                amount -= r.credit[i];
            }
    return amount;
}

TEST(AccountBalances, OnePassGivesTheSameBitsAsPerAccountPasses) {
    const auto chart = chart_of(test::standard_chart_lines());
    std::mt19937 rng(7);
    // chart.size() = an unknown account, chart.size() + 1 = an empty line
    std::uniform_int_distribution<std::size_t> pick(0, chart.size() + 1);
    std::uniform_real_distribution<double> money(0.0, 1e6);
    std::vector<BookingRecord> bookings;
    for (int n = 0; n < 2000; ++n) {
        BookingRecord r;
        for (std::size_t i = 0; i < kBookingLines; ++i) {
            const std::size_t k = pick(rng);
            r.account[i] = k < chart.size() ? chart[k].name : k == chart.size() ? "Sonstiges" : "";
            r.debit[i] = (rng() % 2) ? money(rng) / 7.0 : 0.0;
            r.credit[i] = (rng() % 3) ? money(rng) / 3.0 : 0.0;
        }
        bookings.push_back(r);
    }
    AccountBalances balances(chart);
    balances.addAll(bookings);
    for (const auto& account : chart) {
        const double expected = per_account_sum(account.name, bookings);
        const double actual = balances.balance(account.name);
        std::uint64_t e = 0;
        std::uint64_t a = 0;
        std::memcpy(&e, &expected, sizeof e);
        std::memcpy(&a, &actual, sizeof a);
        EXPECT_EQ(a, e) << account.name;
    }
    // The results, with the chart asked for every booking line; the opening
    // account belongs to no result.
    auto has_class = [&](const std::string& name, const char* cls) {
        return name != cp("Eröffnungsbilanzkonto") && std::any_of(chart.begin(), chart.end(),
                           [&](const AccountRecord& a) { return a.name == name && a.resultClass == cls; });
    };
    double operating = 0;
    double neutral = 0;
    for (const auto& r : bookings)
        for (std::size_t i = 0; i < kBookingLines; ++i) {
            if (has_class(r.account[i], "B")) {
                operating -= r.debit[i];
                operating += r.credit[i];
            }
            if (has_class(r.account[i], "N")) {
                neutral -= r.debit[i];
                neutral += r.credit[i];
            }
        }
    EXPECT_EQ(balances.operatingResult(), operating);
    EXPECT_EQ(balances.neutralResult(), neutral);

    // Records read in place give the very same sums, whatever a foreign
    // writer left in the account fields after the names.
    AccountBalances viewed(chart);
    for (const auto& r : bookings) {
        RecordBytes bytes = encode_record(r);
        for (std::size_t i = 0; i < kBookingLines; ++i) {
            const std::size_t field = RecordView::kAccountAt + i * (kAccountMax + 1);
            std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(field + 1 + r.account[i].size()),
                      bytes.begin() + static_cast<std::ptrdiff_t>(field + 1 + kAccountMax), 0xA5);
        }
        viewed.add(RecordView(bytes.data()));
    }
    for (const auto& account : chart) EXPECT_EQ(viewed.balance(account.name), balances.balance(account.name));
    EXPECT_EQ(viewed.operatingResult(), operating);
    EXPECT_EQ(viewed.neutralResult(), neutral);
}

TEST(AccountBalances, TellsApartManyNamesThatDifferInOneCharacter) {
    std::vector<std::string> lines;
    for (int n = 0; n < 300; ++n) lines.push_back("Konto " + std::to_string(n) + "<B> A  B");
    lines.push_back(std::string(64, 'k') + "<B> A  B");
    lines.push_back(std::string(63, 'k') + "l<B> A  B");
    const auto chart = chart_of(lines);
    AccountBalances balances(chart);
    BookingRecord r;
    for (std::size_t k = 0; k < chart.size(); ++k) {
        r.account[0] = chart[k].name;
        r.debit[0] = static_cast<double>(k + 1);
        balances.add(r);
    }
    for (std::size_t k = 0; k < chart.size(); ++k)
        EXPECT_EQ(balances.balance(chart[k].name), static_cast<double>(k + 1)) << chart[k].name;
    EXPECT_EQ(balances.balance("Konto 300"), 0.0);
    EXPECT_EQ(balances.balance(""), 0.0);
}

TEST(AccountBalances, AnAccountWithoutANameTakesTheEmptyLines) {
    const auto chart = chart_of({"Kasse<B> A  B", "<G> A  N"});
    BookingRecord r;
    r.account[0] = "Kasse";
    r.debit[0] = 5;
    r.credit[1] = 2;  // on the line without an account
    AccountBalances balances(chart);
    balances.add(r);
    balances.add(RecordView(encode_record(r).data()));
    EXPECT_EQ(balances.balance("Kasse"), 10.0);
    EXPECT_EQ(balances.balance(""), -4.0);
    EXPECT_EQ(balances.neutralResult(), 4.0);
}

} // namespace
} // namespace saldorama
