#pragma once
#include "form/page_context.h"
#include "form/settings_pages.h"
#include "kernel/controls.h"
#include "reports/journal_report.h"
#include "reports/report_text.h"

namespace saldorama {

// Edit1, Edit2, Edit3, Edit7 and Edit8 of the company-data page as they are now.
[[nodiscard]] CompanyTexts company_texts(const CompanyPage& company);

// TabSheet5: balance sheet and profit and loss account.
class BalancePage {
public:
    // The company data and the settings (CheckBox2, CheckBox3) as they are when shown.
    BalancePage(PageContext& context, const CompanyPage& company, const SettingsPage& settings);
    Memo Memo1;
    // Whether the memo holds a report (or its start) rather than its design text.
    bool reportShown = false;
    void TabSheet5Show();

private:
    PageContext& context_;
    const CompanyPage& company_;
    const SettingsPage& settings_;
};

// TabSheet11: operating and neutral result.
class OperatingResultPage {
public:
    // The company data and the settings (CheckBox2, CheckBox3) as they are when shown.
    OperatingResultPage(PageContext& context, const CompanyPage& company, const SettingsPage& settings);
    Memo Memo4;
    // Whether the memo holds a report (or its start) rather than its design text.
    bool reportShown = false;
    void TabSheet11Show();

private:
    PageContext& context_;
    const CompanyPage& company_;
    const SettingsPage& settings_;
};

// TabSheet6: the journal.
class JournalPage {
public:
    explicit JournalPage(PageContext& context);
    Memo Memo2;
    void TabSheet6Show();
    // The page's text line by line into `sink` (heading first), the bookings
    // file read once and nothing held: the command line prints the journal
    // of any size this way. A file that cannot be opened gives no line.
    void writeJournal(const LineSink& sink) const;

private:
    PageContext& context_;
};

// TabSheet10: T-accounts.
class AccountSheetPage {
public:
    explicit AccountSheetPage(PageContext& context);
    ListBox ListBox1;  // the accounts as "2800 Bank"
    // The names behind ListBox1's items, in the same order: a T-account is
    // looked up by name.
    std::vector<std::string> accountNames;
    Label Label51;  // "Konto" / "Konto: <name>"
    Label Label52;  // "Soll"
    Label Label53;  // "Haben"
    StringGrid StringGrid3{3, 100};  // grows when a side has more than 99 lines
    Button SpeedButton37;  // "Kontenplan ansehen": the form shows the chart read-only
    void TabSheet10Show();
    void ListBox1Click();
    // The T-account shown as plain text for the clipboard: the heading, then
    // the Soll and Haben sides line by line, parted by " | ".
    [[nodiscard]] std::string sheetText() const;

private:
    PageContext& context_;
};

} // namespace saldorama
