#pragma once
#include <string>
#include <vector>

#include "accounts/account_record.h"
#include "form/page_context.h"
#include "kernel/controls.h"

namespace saldorama {

// TabSheet3: the opening balance.
class OpeningBalancePage {
public:
    explicit OpeningBalancePage(PageContext& context);

    StringGrid StringGrid2{2, 100};  // "Konto", "Eröffnungsbetrag"; column 1 editable; grows past 99 accounts
    Label Label48;  // instruction
    Label Label35;  // "Datum der Eröffnungsbilanz:"
    Edit Edit27;    // the date of the opening bookings
    Button SpeedButton7;  // "OK"

    void TabSheet3Show();
    void SpeedButton7Click();

private:
    // A chart longer than 99 lines grows the grid so every account has a row.
    void ensureRows(int accountRows);
    // Refusals checked before anything is deleted; each shows its notice.
    // The date: empty, or one typed_date accepts (set into `date`).
    [[nodiscard]] bool checkDate(std::string& date);
    [[nodiscard]] bool checkAmounts(const std::vector<AccountRecord>& accounts);
    PageContext& context_;
};

} // namespace saldorama
