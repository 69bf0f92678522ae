#include "form/report_pages.h"

#include <gtest/gtest.h>

#include <sstream>

#include "base/cp1252.h"
#include "bookings/bookings_file.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "reports/report_fixtures.h"
#include "support/work_dir.h"

namespace saldorama {
namespace {

using Kind = ScriptedDialogs::Kind;
using test::transfer;

class ReportPages : public ::testing::Test {
protected:
    ReportPages() {
        const CompanyTexts c = test::muster_company();
        form.company.Edit1.text = c.name;
        form.company.Edit2.text = c.street;
        form.company.Edit3.text = c.town;
        form.company.Edit7.text = c.bookkeeper;
        form.company.Edit8.text = c.responsible;
    }

    void writeStandardChart(int chart = 1) const {
        std::vector<std::string> lines;
        for (const auto& l : test::standard_chart_lines()) lines.push_back(cp(l));
        dir.writeLines("Kontenplan" + std::to_string(chart) + ".txt", lines);
    }

    static void writeBookings(const std::vector<BookingRecord>& bookings) {
        bookings_empty();
        for (const auto& b : bookings) bookings_append(b);
    }

    static std::vector<BookingRecord> profit250() {
        return {transfer(0, "Kasse", "Eröffnungsbilanzkonto", 1000), transfer(1, "Eröffnungsbilanzkonto", "Eigenkapital", 1000),
                transfer(2, "Bank", "Umsatzerloese", 500), transfer(3, "Mieten", "Kasse", 250)};
    }

    [[nodiscard]] std::vector<std::string> sheetRows() const {
        const StringGrid& g = form.accountSheet.StringGrid3;
        std::vector<std::string> soll;
        std::vector<std::string> haben;
        int last = -1;
        for (int r = 0; r < g.rowCount(); ++r)
            if (!g.cell(0, r).empty() || !g.cell(2, r).empty()) last = r;
        for (int r = 0; r <= last; ++r) {
            soll.push_back(g.cell(0, r));
            haben.push_back(g.cell(2, r));
        }
        return test::render_t_account(soll, haben);
    }

    void choose(const std::string& name) {
        auto& list = form.accountSheet.ListBox1;
        const auto it = std::find(list.items.begin(), list.items.end(), cp(name));
        ASSERT_NE(it, list.items.end()) << name;
        list.itemIndex = static_cast<int>(it - list.items.begin());
        form.run([&] { form.accountSheet.ListBox1Click(); });
    }

    test::WorkDir dir;
    ScriptedDialogs dialogs;
    TForm1 form{dialogs};
};

TEST_F(ReportPages, DesignTimeContents) {
    EXPECT_EQ(form.balance.Memo1.lines, std::vector<std::string>{"Bilanz"});
    EXPECT_EQ(form.journal.Memo2.lines, std::vector<std::string>{"Memo2"});
    EXPECT_EQ(form.operating.Memo4.lines, std::vector<std::string>{"Memo4"});
    const auto& sheet = form.accountSheet;
    EXPECT_EQ(sheet.Label51.text, "Konto");
    EXPECT_EQ(sheet.Label52.text, "Soll");
    EXPECT_EQ(sheet.Label53.text, "Haben");
    EXPECT_EQ(sheet.StringGrid3.colCount(), 3);
    EXPECT_EQ(sheet.StringGrid3.rowCount(), 100);
    EXPECT_EQ(sheet.StringGrid3.colWidths, (std::vector<int>{284, 3, 276}));
}

TEST_F(ReportPages, BalanceWithoutChartKeepsTitleLinesAndSaysSo) {
    form.state.currentChart = 0;
    form.run([&] { form.balance.TabSheet5Show(); });
    EXPECT_EQ(dialogs.last(Kind::Notice), cp("Du hast keinen Kontenplan ausgewählt!"));
    EXPECT_EQ(form.balance.Memo1.lines,
              (std::vector<std::string>{"Bilanz der Muster GmbH", "Hauptstr. 1", "12345 Musterstadt"}));
}

TEST_F(ReportPages, BalanceIsBuiltFromTheFilesAndTheControls) {
    writeStandardChart(3);
    writeBookings(profit250());
    form.state.currentChart = 3;
    form.run([&] { form.balance.TabSheet5Show(); });
    EXPECT_TRUE(dialogs.log.empty());
    test::expect_golden("balance_profit_250.txt", form.balance.Memo1.lines);

    form.settings.CheckBox3.setChecked(true);
    form.run([&] { form.balance.TabSheet5Show(); });
    test::expect_golden("balance_manual_mode.txt", form.balance.Memo1.lines);

    // Every showing reads the files afresh.
    bookings_empty();
    form.settings.CheckBox3.setChecked(false);
    form.run([&] { form.balance.TabSheet5Show(); });
    test::expect_golden("balance_no_bookings.txt", form.balance.Memo1.lines);
}

TEST_F(ReportPages, BalanceZeroOptionComesFromCheckBox2) {
    writeStandardChart();
    writeBookings({transfer(0, "Kasse", "Eigenkapital", 100), transfer(1, "Bank", "Kasse", 40),
                   transfer(2, "Kasse", "Bank", 40)});
    form.state.currentChart = 1;
    form.settings.CheckBox2.setChecked(true);
    form.run([&] { form.balance.TabSheet5Show(); });
    test::expect_golden("balance_zero_shown.txt", form.balance.Memo1.lines);
}

TEST_F(ReportPages, BalanceWithMissingChartFileFailsAfterTheTitle) {
    writeBookings({});
    form.state.currentChart = 2;
    form.run([&] { form.balance.TabSheet5Show(); });
    EXPECT_EQ(dialogs.last(Kind::Failure), "Datei nicht gefunden (Kontenplan2.txt).");
    EXPECT_EQ(form.balance.Memo1.lines.size(), 3u);
}

TEST_F(ReportPages, BalanceWithMissingBookingsFileFailsAfterTheTitle) {
    writeStandardChart();
    form.state.currentChart = 1;
    form.run([&] { form.balance.TabSheet5Show(); });
    EXPECT_EQ(dialogs.last(Kind::Failure), "Datei nicht gefunden (buchungen.dat).");
    EXPECT_EQ(form.balance.Memo1.lines.size(), 3u);
}

TEST_F(ReportPages, OperatingResultWithoutChartKeepsTitleLines) {
    form.state.currentChart = 0;
    form.run([&] { form.operating.TabSheet11Show(); });
    EXPECT_EQ(dialogs.last(Kind::Notice), cp("Du hast keinen Kontenplan ausgewählt!"));
    EXPECT_EQ(form.operating.Memo4.lines,
              (std::vector<std::string>{"Betriebsergebnis der Muster GmbH", "Hauptstr. 1", "12345 Musterstadt"}));
}

TEST_F(ReportPages, OperatingResultIsBuiltFromTheFiles) {
    writeStandardChart();
    writeBookings({transfer(0, "Mieten", "Kasse", 300), transfer(1, "Bank", "Umsatzerloese", 500),
                   transfer(2, "Zinsaufwand", "Bank", 20), transfer(3, "Kasse", "Zinsertraege", 70)});
    form.state.currentChart = 1;
    form.settings.CheckBox3.setChecked(true);  // plays no part here
    form.run([&] { form.operating.TabSheet11Show(); });
    EXPECT_TRUE(dialogs.log.empty());
    test::expect_golden("operating_profit_200.txt", form.operating.Memo4.lines);
}

TEST_F(ReportPages, JournalIsBuiltFromTheBookingsFile) {
    writeBookings({test::booking(0, "02.01.2026", "Hans Meier", "Einlage", {{"Kasse", 100, 0}, {"Bank", 0, 100}})});
    form.run([&] { form.journal.TabSheet6Show(); });
    const auto expected = test::golden_lines("journal_bookings.txt");
    EXPECT_EQ(form.journal.Memo2.lines, (std::vector<std::string>(expected.begin(), expected.begin() + 3)));
}

TEST_F(ReportPages, JournalWithoutBookingsFileKeepsWhatItShowed) {
    form.run([&] { form.journal.TabSheet6Show(); });
    EXPECT_EQ(dialogs.last(Kind::Failure), "Datei nicht gefunden (buchungen.dat).");
    EXPECT_EQ(form.journal.Memo2.lines, std::vector<std::string>{"Memo2"});
}

TEST_F(ReportPages, AccountSheetWithoutChartLeavesTheListEmpty) {
    form.accountSheet.StringGrid3.cell(0, 5) = "alt";
    form.accountSheet.ListBox1.items = {"alt"};
    form.state.currentChart = 0;
    form.run([&] { form.accountSheet.TabSheet10Show(); });
    EXPECT_EQ(dialogs.last(Kind::Notice), cp("Du hast keinen Kontenplan ausgewählt!"));
    EXPECT_TRUE(form.accountSheet.ListBox1.items.empty());
    EXPECT_EQ(form.accountSheet.StringGrid3.cell(0, 5), "");
}

TEST_F(ReportPages, AccountSheetListsTheChartAndShowsTheChosenAccount) {
    writeStandardChart();
    writeBookings({test::booking(0, "01.01.2026", "M", "Einlage", {{"Kasse", 100, 0}, {"Eigenkapital", 0, 100}}),
                   test::booking(1, "01.01.2026", "M", "Verkauf", {{"Umsatzerloese", 0, 50}, {"Kasse", 50, 0}}),
                   test::booking(2, "01.01.2026", "M", "Porto", {{"Mieten", 30, 0}, {"Kasse", 0, 30}})});
    form.state.currentChart = 1;
    form.run([&] { form.accountSheet.TabSheet10Show(); });
    std::vector<std::string> names;
    for (const auto& l : test::standard_chart_lines()) names.push_back(cp(l.substr(0, l.find('<'))));
    EXPECT_EQ(form.accountSheet.ListBox1.items, names);

    choose("Kasse");
    EXPECT_TRUE(dialogs.log.empty());
    EXPECT_EQ(form.accountSheet.Label51.text, "Konto: Kasse");
    test::expect_golden("taccount_debit_side_longer.txt", sheetRows());
    // What Ctrl+C copies: the heading, the two sides, the rows up to the last one used.
    std::vector<std::string> copied;
    std::istringstream text(form.accountSheet.sheetText());
    for (std::string l; std::getline(text, l);) copied.push_back(l);
    test::expect_golden("taccount_copied.txt", copied);

    // Showing the page again empties the T-account, and its heading names no account.
    form.run([&] { form.accountSheet.TabSheet10Show(); });
    EXPECT_TRUE(sheetRows().empty());
    EXPECT_EQ(form.accountSheet.Label51.text, "Konto");

    choose("Darlehen");
    test::expect_golden("taccount_no_bookings.txt", sheetRows());
}

// Account numbers only label the lists: a chart with them gives every report
// byte for byte as the same chart without them, and the T-account list shows
// "2880 Kasse" while it still looks the account up by its name.
TEST_F(ReportPages, NumberedChartGivesTheSameReportsAsTheChartWithoutNumbers) {
    writeStandardChart(1);
    std::vector<std::string> numbered;
    int number = 1000;
    for (const auto& l : test::standard_chart_lines()) numbered.push_back(cp(l) + " " + std::to_string(number += 10));
    dir.writeLines("Kontenplan2.txt", numbered);
    std::vector<BookingRecord> bookings = profit250();
    bookings.push_back(transfer(4, "Zinsaufwand", "Bank", 20));
    bookings.push_back(transfer(5, "Kasse", "Zinsertraege", 70));
    writeBookings(bookings);

    struct Shown {
        std::vector<std::string> balance, operating, journal, sheets, list;
    };
    const auto show = [&](int chart) {
        form.state.currentChart = chart;
        Shown s;
        form.run([&] { form.balance.TabSheet5Show(); });
        s.balance = form.balance.Memo1.lines;
        form.run([&] { form.operating.TabSheet11Show(); });
        s.operating = form.operating.Memo4.lines;
        form.run([&] { form.journal.TabSheet6Show(); });
        s.journal = form.journal.Memo2.lines;
        form.run([&] { form.accountSheet.TabSheet10Show(); });
        s.list = form.accountSheet.ListBox1.items;
        for (std::size_t i = 0; i < s.list.size(); ++i) {
            form.accountSheet.ListBox1.itemIndex = static_cast<int>(i);
            form.run([&] { form.accountSheet.ListBox1Click(); });
            s.sheets.push_back(form.accountSheet.sheetText());
        }
        return s;
    };
    const Shown plain = show(1);
    const Shown withNumbers = show(2);
    EXPECT_TRUE(dialogs.log.empty());
    EXPECT_EQ(withNumbers.balance, plain.balance);
    EXPECT_EQ(withNumbers.operating, plain.operating);
    EXPECT_EQ(withNumbers.journal, plain.journal);
    EXPECT_EQ(withNumbers.sheets, plain.sheets);
    ASSERT_EQ(withNumbers.list.size(), plain.list.size());
    EXPECT_EQ(withNumbers.list.front(), "1010 Kasse");
    EXPECT_EQ(plain.list.front(), "Kasse");
}

TEST_F(ReportPages, AccountSheetGridGrowsForLongSidesAndShrinksBack) {
    writeStandardChart();
    std::vector<BookingRecord> bookings;
    for (int n = 0; n < 150; ++n) bookings.push_back(transfer(n, "Kasse", "Umsatzerloese", 2));
    writeBookings(bookings);
    form.state.currentChart = 1;
    form.run([&] { form.accountSheet.TabSheet10Show(); });
    choose("Kasse");
    const StringGrid& g = form.accountSheet.StringGrid3;
    ASSERT_EQ(g.rowCount(), 152);
    EXPECT_EQ(g.cell(0, 150).substr(0, 5), "150  ");
    EXPECT_EQ(g.cell(0, 151), "Summe:" + std::string(25, ' ') + "300,00");
    EXPECT_EQ(g.cell(2, 151), "Summe: " + std::string(25, ' ') + "300,00");

    choose("Bank");
    EXPECT_EQ(g.rowCount(), 100);
    EXPECT_EQ(g.cell(0, 99), "");
}

TEST_F(ReportPages, AccountSheetWithoutBookingsFileFailsAfterTheHeading) {
    writeStandardChart();
    form.state.currentChart = 1;
    form.run([&] { form.accountSheet.TabSheet10Show(); });
    form.accountSheet.StringGrid3.cell(0, 3) = "alt";
    choose("Bank");
    EXPECT_EQ(dialogs.last(Kind::Failure), "Datei nicht gefunden (buchungen.dat).");
    EXPECT_EQ(form.accountSheet.Label51.text, "Konto: Bank");
    EXPECT_EQ(form.accountSheet.StringGrid3.cell(0, 3), "");
}

} // namespace
} // namespace saldorama
