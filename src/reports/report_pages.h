#pragma once
#include "app/controls.h"
#include "reports/report_text.h"

namespace saldorama {

class TForm1;

// Edit1, Edit2, Edit3, Edit7 and Edit8 of the company-data page as they are now.
[[nodiscard]] CompanyTexts company_texts(const TForm1& form);

// TabSheet5: balance sheet and profit and loss account.
class BalancePage {
public:
    explicit BalancePage(TForm1& form);
    Memo Memo1;
    void TabSheet5Show();

private:
    TForm1& form_;
};

// TabSheet11: operating and neutral result.
class OperatingResultPage {
public:
    explicit OperatingResultPage(TForm1& form);
    Memo Memo4;
    void TabSheet11Show();

private:
    TForm1& form_;
};

// TabSheet6: the journal.
class JournalPage {
public:
    explicit JournalPage(TForm1& form);
    Memo Memo2;
    void TabSheet6Show();

private:
    TForm1& form_;
};

// TabSheet10: T-accounts.
class AccountSheetPage {
public:
    explicit AccountSheetPage(TForm1& form);
    ListBox ListBox1;
    Label Label51;  // "Konto" / "Konto: <name>"
    Label Label52;  // "Soll"
    Label Label53;  // "Haben"
    StringGrid StringGrid3{3, 100};  // grows when a side has more than 99 lines
    void TabSheet10Show();
    void ListBox1Click();

private:
    TForm1& form_;
};

} // namespace saldorama
