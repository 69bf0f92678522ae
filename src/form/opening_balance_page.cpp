#include "form/opening_balance_page.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "accounts/chart_file.h"
#include "base/cp1252.h"
#include "base/folder_lock.h"
#include "base/numbers.h"
#include "bookings/bookings_file.h"
#include "bookings/checks.h"
#include "undo/undo_copies.h"

namespace saldorama {

namespace {

constexpr int kVisibleAccountRows = 99;

// For every account name: the amount of the "Eröffnungsbilanzkonto" line of
// the last booking that has such a line and also a line on that name. One
// pass gives what a pass per chart line would: later bookings overwrite.
std::map<std::string, double> opening_amounts() {
    std::map<std::string, double> amounts;
    const std::string& opening = opening_account_name();
    bookings_scan_views([&](const RecordView& r) {
        std::optional<double> amount;
        for (std::size_t i = 0; i < kBookingLines; ++i)
            if (r.account(i) == opening) amount = r.debit(i) + r.credit(i);
        if (!amount) return;
        for (std::size_t i = 0; i < kBookingLines; ++i) amounts[std::string(r.account(i))] = *amount;
    });
    return amounts;
}

} // namespace

OpeningBalancePage::OpeningBalancePage(PageContext& context) : context_(context) {
    Label48.text = cp("Geben Sie den Anfangsbestand und das Datum der Eröffnungsbilanz an!");
    Label35.text = cp("Datum der Eröffnungsbilanz:");
    SpeedButton7.text = "OK";
    StringGrid2.colWidths = {220, 220};
}

void OpeningBalancePage::ensureRows(int accountRows) {
    if (accountRows > kVisibleAccountRows && StringGrid2.rowCount() < accountRows + 1)
        StringGrid2.setRowCount(accountRows + 1);
}

void OpeningBalancePage::TabSheet3Show() {
    if (context_.state.currentChart == 0) {
        context_.dialogs.notice(no_chart_message());
        return;
    }
    const std::vector<AccountRecord> accounts = read_chart(context_.state.currentChart);
    ensureRows(static_cast<int>(accounts.size()));
    StringGrid2.clearRows(1, StringGrid2.rowCount() - 1);
    // The bookings are read when the first account needs them, as a pass per
    // line would: an empty chart never touches the bookings file.
    std::optional<std::map<std::string, double>> amounts;
    int row = 1;
    for (const auto& account : accounts) {
        StringGrid2.cell(0, row) = account.name;
        if (!amounts) amounts = opening_amounts();
        if (const auto it = amounts->find(account.name); it != amounts->end())
            StringGrid2.cell(1, row) = amount_text(it->second);
        ++row;
    }
    for (int r = 1; r < StringGrid2.rowCount(); ++r)
        if (is_auxiliary_account(StringGrid2.cell(0, r))) StringGrid2.cell(1, r).clear();
}

bool OpeningBalancePage::checkDate(std::string& date) {
    // An empty field books the opening without a date, marked as such.
    if (Edit27.text.empty()) {
        date = "00.00.0000";
        return true;
    }
    const std::optional<std::string> typed = typed_date(Edit27.text, context_.state.bookingYear);
    if (!typed) {
        context_.dialogs.notice(date_refusal(Edit27.text));
        return false;
    }
    date = cut(*typed, kDateMax);
    return true;
}

namespace {

bool blank(const std::string& cell) { return cell.find_first_not_of(' ') == std::string::npos; }

// A cell's amount as "OK" books it, rounded to cents by checkmoney; 0 for a
// blank cell. Only for cells checkAmounts has let through.
double cell_amount(const std::string& cell) {
    return blank(cell) ? 0.0 : text_to_float(checkmoney(typed_amount(cell).value_or("0")));
}

} // namespace

bool OpeningBalancePage::checkAmounts(const std::vector<AccountRecord>& accounts) {
    ensureRows(static_cast<int>(accounts.size()));
    int row = 1;
    // Every cell is read before anything is deleted: a cell that cannot be
    // read must never count as empty and lose that account's opening.
    for (const auto& account : accounts) {
        const std::string& cell = StringGrid2.cell(1, row++);
        if (blank(cell)) continue;
        const std::optional<std::string> plain = typed_amount(cell);
        double amount = 0;
        // Digits with one comma at most are a number, only too large for binary64.
        const bool huge = !plain && cell.find_first_not_of("0123456789,") == std::string::npos &&
                          std::count(cell.begin(), cell.end(), ',') <= 1 &&
                          cell.find_first_of("0123456789") != std::string::npos;
        // An opening amount is never negative.
        if ((!plain && !huge) || (plain && (!parse_float(*plain, amount) || std::signbit(amount)))) {
            context_.dialogs.notice(amount_unreadable(cell, account.name));
            return false;
        }
        if (huge) amount = HUGE_VAL;
        // As "OK" books it: rounded to cents by checkmoney.
        if (amount_in_range(amount)) amount = text_to_float(checkmoney(*plain));
        if (!amount_in_range(amount)) {
            context_.dialogs.notice(amount_refusal(cp("Der Eröffnungsbetrag von \"") + account.name + "\""));
            return false;
        }
    }
    return true;
}

void OpeningBalancePage::SpeedButton7Click() {
    std::string date;
    if (!checkDate(date)) return;
    if (context_.state.currentChart != 0 && !checkAmounts(read_chart(context_.state.currentChart))) return;
    if (!context_.dialogs.question(cp("Achtung! Es werden alle bisherigen Buchungen gelöscht und nur diese "
                                      "Anfangsbestände gebucht! Fortfahren?"),
                                   Preset::No))
        return;
    AppState& st = context_.state;
    // The new file is built aside and replaces the old one in one step, so an
    // interruption leaves either every old booking or every opening booking.
    std::vector<BookingRecord> records;
    if (st.currentChart != 0) {
        const std::vector<AccountRecord> accounts = read_chart(st.currentChart);
        ensureRows(static_cast<int>(accounts.size()));
        int row = 1;
        for (const auto& account : accounts) {
            const bool debitSide = account.side == "A" || account.side == "S";
            const double amount = cell_amount(StringGrid2.cell(1, row));

            BookingRecord r;
            r.number = static_cast<std::int32_t>(records.size());
            r.date = date;
            r.person = "selbst";
            r.reason = cp("Eröffnungsbuchung");
            r.account[0] = debitSide ? account.name : opening_account_name();
            r.account[1] = debitSide ? opening_account_name() : account.name;
            r.debit[0] = amount;
            r.credit[1] = amount;
            if (amount > 0) records.push_back(std::move(r));
            ++row;
        }
    }
    {
        FolderLock lock(working_folder(st));
        UndoCopy copy(working_folder(st), cp("Das Buchen der Eröffnungsbilanz"));
        bookings_replace_all(records);
        copy.done(static_cast<int>(records.size()));
    }
    st.bookingCount = static_cast<int>(records.size());
    st.bookingPosition = st.bookingCount;
    st.bookingShown = false;
    context_.writePositionIndicator();
    st.status = cp("Eröffnungsbilanz gebucht: ") + std::to_string(st.bookingCount) + " Buchungen.";
    // Without a chart the bookings are emptied all the same, as the question said.
    if (st.currentChart == 0) context_.dialogs.notice(no_chart_message());
}

} // namespace saldorama
