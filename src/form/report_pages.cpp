#include "form/report_pages.h"

#include <algorithm>

#include "accounts/chart_file.h"
#include "bookings/bookings_file.h"
#include "reports/account_balances.h"
#include "reports/account_sheet.h"
#include "reports/balance_report.h"
#include "reports/journal_report.h"
#include "reports/operating_report.h"

namespace saldorama {

namespace {

constexpr int kSheetRows = 100;

void append(std::vector<std::string>& to, const std::vector<std::string>& lines) {
    to.insert(to.end(), lines.begin(), lines.end());
}

// The current chart and the balances of its accounts, each file read once.
struct Books {
    std::vector<AccountRecord> chart;
    AccountBalances balances;
};

Books read_books(int chart) {
    Books books{read_chart(chart), AccountBalances({})};
    books.balances = AccountBalances(books.chart);
    bookings_scan_views([&](const RecordView& r) { books.balances.add(r); });
    return books;
}

} // namespace

CompanyTexts company_texts(const CompanyPage& c) {
    return {c.field(kCompanyName).text, c.field(kCompanyStreet).text, c.field(kCompanyTown).text,
            c.field(kCompanyBookkeeper).text, c.field(kCompanyResponsible).text};
}

BalancePage::BalancePage(PageContext& context, const CompanyPage& company, const SettingsPage& settings)
    : context_(context), company_(company), settings_(settings) { Memo1.lines = {"Bilanz"}; }

void BalancePage::TabSheet5Show() {
    const CompanyTexts company = company_texts(company_);
    Memo1.lines = balance_title(company, settings_.CheckBox3.checked());
    reportShown = true;
    if (context_.state.currentChart == 0) {
        context_.dialogs.notice(no_chart_message());
        return;
    }
    // A failure while reading leaves the title lines.
    const ReadingLock lock(context_.state);
    const Books books = read_books(context_.state.currentChart);
    append(Memo1.lines, balance_body(books.chart, books.balances, company, settings_.CheckBox2.checked()));
}

OperatingResultPage::OperatingResultPage(PageContext& context, const CompanyPage& company, const SettingsPage& settings)
    : context_(context), company_(company), settings_(settings) { Memo4.lines = {"Memo4"}; }

void OperatingResultPage::TabSheet11Show() {
    const CompanyTexts company = company_texts(company_);
    Memo4.lines = operating_title(company);
    reportShown = true;
    if (context_.state.currentChart == 0) {
        context_.dialogs.notice(no_chart_message());
        return;
    }
    const ReadingLock lock(context_.state);
    const Books books = read_books(context_.state.currentChart);
    const AccountBalances& b = books.balances;
    append(Memo4.lines, operating_body(books.chart, b, b.operatingResult(), b.neutralResult(), company,
                                       settings_.CheckBox2.checked()));
}

JournalPage::JournalPage(PageContext& context) : context_(context) { Memo2.lines = {"Memo2"}; }

void JournalPage::writeJournal(const LineSink& sink) const {
    // The heading follows the opening of the file, so a missing file writes nothing.
    bool headed = false;
    bookings_scan_views([&](const RecordView& r) {
        if (!headed) sink(journal_heading());
        headed = true;
        journal_lines(r, sink);
    });
    if (!headed) sink(journal_heading());
}

void JournalPage::TabSheet6Show() {
    // Built aside and then put on show: a bookings file that cannot be read
    // leaves the memo as it was.
    std::vector<std::string> lines;
    const ReadingLock lock(context_.state);
    writeJournal([&lines](std::string_view line) { lines.emplace_back(line); });
    Memo2.lines = std::move(lines);
}

AccountSheetPage::AccountSheetPage(PageContext& context) : context_(context) {
    Label51.text = "Konto";
    Label52.text = "Soll";
    Label53.text = "Haben";
    StringGrid3.colWidths = {284, 3, 276};
    SpeedButton37.text = "Kontenplan ansehen";
}

void AccountSheetPage::TabSheet10Show() {
    ListBox1.items.clear();
    accountNames.clear();
    ListBox1.itemIndex = -1;
    // No account is chosen any more, so the heading names none.
    Label51.text = "Konto";
    StringGrid3.clearRows(0, StringGrid3.rowCount() - 1);
    StringGrid3.setRowCount(kSheetRows);
    if (context_.state.currentChart == 0) {
        context_.dialogs.notice(no_chart_message());
        return;
    }
    const ReadingLock lock(context_.state);
    for (const auto& account : read_chart(context_.state.currentChart)) {
        ListBox1.items.push_back(account_label(account));
        accountNames.push_back(account.name);
    }
}

void AccountSheetPage::ListBox1Click() {
    const int index = ListBox1.itemIndex;
    if (index < 0 || index >= static_cast<int>(accountNames.size())) return;
    StringGrid3.clearRows(0, StringGrid3.rowCount() - 1);
    StringGrid3.setRowCount(kSheetRows);
    const std::string name = accountNames[static_cast<std::size_t>(index)];
    Label51.text = "Konto: " + name;

    TAccountBuilder builder(name);
    const ReadingLock lock(context_.state);
    bookings_scan_views([&](const RecordView& r) { builder.add(r); });
    const TAccount sheet = builder.build();
    const int rows = static_cast<int>(sheet.soll.size());
    if (rows > StringGrid3.rowCount()) StringGrid3.setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        StringGrid3.cell(0, row) = sheet.soll[static_cast<std::size_t>(row)];
        StringGrid3.cell(2, row) = sheet.haben[static_cast<std::size_t>(row)];
    }
}

std::string AccountSheetPage::sheetText() const {
    int last = -1;  // the last row with text on either side
    std::size_t width = Label52.text.size();
    for (int row = 0; row < StringGrid3.rowCount(); ++row) {
        if (StringGrid3.cell(0, row).empty() && StringGrid3.cell(2, row).empty()) continue;
        last = row;
        width = std::max(width, StringGrid3.cell(0, row).size());
    }
    auto line = [width](const std::string& soll, const std::string& haben) {
        std::string text = soll + std::string(width - soll.size(), ' ') + " | " + haben;
        while (!text.empty() && text.back() == ' ') text.pop_back();
        return text + "\n";
    };
    std::string text = Label51.text + "\n" + line(Label52.text, Label53.text);
    text += std::string(width + 1, '-') + "+" + std::string(width + 1, '-') + "\n";
    for (int row = 0; row <= last; ++row) text += line(StringGrid3.cell(0, row), StringGrid3.cell(2, row));
    return text;
}

} // namespace saldorama
