#include "form/booking_page.h"

#include <algorithm>

#include "accounts/account_tests.h"
#include "accounts/chart_file.h"
#include "base/cp1252.h"
#include "base/failure.h"
#include "base/folder_lock.h"
#include "base/numbers.h"
#include "bookings/bookings_file.h"
#include "bookings/checks.h"
#include "bookings/typed_text.h"
#include "undo/undo_copies.h"

namespace saldorama {

BookingPage::BookingPage(PageContext& context) : context_(context) {
    SpeedButton8.text = "&Neu";
    SpeedButton9.text = "|<";
    SpeedButton25.text = "<";
    SpeedButton26.text = ">";
    SpeedButton27.text = ">|";
    SpeedButton28.text = cp("Ändern");
    SpeedButton36.text = cp("Löschen");
    SpeedButton29.text = "&Buchen";
    Label25.text = "Buchungs-Nummer:";
    Label26.text = "0";
    Label27.text = "Buchungsdatum:";
    Label50.text = "(Format: TT.MM.JJJJ, TT.MM.JJ, TTMMJJ oder TTMM; auch 5.1.26)";
    Label28.text = cp("Einzahler/Empfänger:");
    Label29.text = "Zahlungsgrund:";
    Label30.text = "Betrag:";
    Label31.text = "0,00";
    Label32.text = "Konto:";
    Label33.text = "Sollbetrag:";
    Label34.text = "Habenbetrag:";
    Label44.text = "Buchung:";
    Label44.visible = false;
    Label45.visible = false;
    // The page opens in viewing mode: a new booking needs "&Neu" first.
    SpeedButton29.enabled = false;
    setChangeEnabled(true);
}

ComboBox& BookingPage::accountBox(int line) {
    ComboBox* boxes[] = {&ComboBox1, &ComboBox2, &ComboBox3, &ComboBox4, &ComboBox5};
    return *boxes[line];
}

Edit& BookingPage::debitField(int line) {
    Edit* fields[] = {&Edit17, &Edit19, &Edit21, &Edit23, &Edit25};
    return *fields[line];
}

Edit& BookingPage::creditField(int line) {
    Edit* fields[] = {&Edit18, &Edit20, &Edit22, &Edit24, &Edit26};
    return *fields[line];
}

void BookingPage::setChangeEnabled(bool enabled) {
    SpeedButton28.enabled = enabled;
    SpeedButton36.enabled = enabled;
}

void BookingPage::TabSheet4Show() {
    // A booking being typed ("&Buchen" enabled) stays as it was typed: the
    // learner may only have gone to look an account up.
    const bool entering = SpeedButton29.enabled;
    if (!entering) Label26.text = std::to_string(bookings_count());
    if (context_.state.currentChart == 0) {
        context_.dialogs.notice(no_chart_message());
        return;
    }
    for (int i = 0; i < kBookingLines; ++i) accountBox(i).items.clear();
    const std::vector<AccountRecord> accounts = read_chart(context_.state.currentChart);
    for (int i = 0; i < kBookingLines; ++i)
        for (const auto& account : accounts) accountBox(i).items.push_back(account_label(account));
    if (!entering) buchung_anzeigen(context_.state.bookingPosition);
}

void BookingPage::buchungsformular_loeschen() {
    Label26.text = "wird automatisch eingetragen";
    Edit14.text.clear();
    Edit15.text.clear();
    Edit16.text.clear();
    for (int i = 0; i < kBookingLines; ++i) {
        debitField(i).text = "0,00";
        creditField(i).text = "0,00";
        accountBox(i).text.clear();
    }
    shownDate_.reset();
}

void BookingPage::buchung_anzeigen(int n) {
    if (n < 1) return;
    context_.state.currentBooking = bookings_read(n);
    context_.state.shownBooking = context_.state.currentBooking;
    context_.state.bookingShown = true;
    const BookingRecord& r = context_.state.currentBooking;
    buchungsformular_loeschen();
    Label26.text = std::to_string(static_cast<long long>(r.number) + 1);
    Edit14.text = r.date;
    shownDate_ = r.date;
    for (std::size_t i = 0; i < kBookingLines; ++i) accountBox(static_cast<int>(i)).text = r.account[i];
    Edit15.text = r.person;
    Edit16.text = r.reason;
    for (std::size_t i = 0; i < kBookingLines; ++i) debitField(static_cast<int>(i)).text = amount_text(r.debit[i]);
    for (std::size_t i = 0; i < kBookingLines; ++i) creditField(static_cast<int>(i)).text = amount_text(r.credit[i]);
}

bool BookingPage::takeOverDate(BookingRecord& r, bool changing) {
    const std::string& typed = Edit14.text;
    if (changing && shownDate_ && typed == *shownDate_) {
        // Untouched on "Ändern": the stored date stays, whatever form it has.
        r.date = *shownDate_;
        return true;
    }
    // An empty field books no date, marked as such.
    if (typed.empty()) {
        r.date = "00.00.0000";
        return true;
    }
    const std::optional<std::string> date = typed_date(typed, context_.state.bookingYear);
    if (!date) {
        context_.dialogs.notice(date_refusal(typed));
        return false;
    }
    r.date = cut(*date, kDateMax);
    return true;
}

bool BookingPage::checkAccounts(const BookingRecord& r) {
    for (std::size_t i = 0; i < kBookingLines; ++i) {
        const bool known = r.account[i].empty()
                               ? r.debit[i] == 0 && r.credit[i] == 0
                               : ist_konto(context_.state.currentChart, context_.dialogs, r.account[i]);
        if (!known) {
            context_.dialogs.notice("Konto nicht gefunden!");
            return false;
        }
    }
    return true;
}

bool BookingPage::checkAmounts(const BookingRecord& r, double debitTotal, double creditTotal) {
    for (std::size_t i = 0; i < kBookingLines; ++i) {
        const std::string line = std::to_string(i + 1);
        if (!amount_in_range(r.debit[i])) {
            context_.dialogs.notice(amount_refusal("Der Sollbetrag in Zeile " + line));
            return false;
        }
        if (!amount_in_range(r.credit[i])) {
            context_.dialogs.notice(amount_refusal("Der Habenbetrag in Zeile " + line));
            return false;
        }
    }
    if (!amount_in_range(debitTotal)) {
        context_.dialogs.notice(amount_refusal(cp("Die Summe der Sollbeträge")));
        return false;
    }
    if (!amount_in_range(creditTotal)) {
        context_.dialogs.notice(amount_refusal(cp("Die Summe der Habenbeträge")));
        return false;
    }
    return true;
}

bool BookingPage::buchungssatz_uebernehmen(bool changing) {
    // Assembled apart so that a conversion failure half way leaves the buffer whole.
    BookingRecord r;
    r.number = context_.state.bookingCount;
    if (!takeOverDate(r, changing)) return false;
    // A "|" would shift the fields of every backup holding this booking, a
    // control character break its lines.
    for (const auto& [text, field] : {std::pair{&Edit15.text, cp("Einzahler/Empfänger")},
                                      std::pair{&Edit16.text, std::string("Zahlungsgrund")}}) {
        const std::string refusal = typed_text_refusal(*text, field);
        if (refusal.empty()) continue;
        context_.dialogs.notice(refusal);
        return false;
    }
    r.person = cut(Edit15.text, kPersonMax);
    r.reason = cut(Edit16.text, kReasonMax);
    for (std::size_t i = 0; i < kBookingLines; ++i)
        r.account[i] = cut(entryName(accountBox(static_cast<int>(i)).text), kAccountMax);
    // A refused name stays in its box for mending; it is never booked.
    for (const std::string& account : r.account) {
        if (account.empty() || ist_konto(context_.state.currentChart, context_.dialogs, account)) continue;
        context_.dialogs.notice("Konto nicht gefunden!");
        return false;
    }
    // The fields are read as they stand: the one typed last has not been
    // normalised, so its rounding is the booking's own, not checkmoney's.
    for (int i = 0; i < kBookingLines; ++i) {
        const auto index = static_cast<std::size_t>(i);
        if (!readAmount(debitField(i), r.debit[index]) || !readAmount(creditField(i), r.credit[index])) return false;
    }
    // An account box booked straight away has not been checked on leaving it.
    if (!checkAccounts(r)) return false;
    context_.state.currentBooking = r;

    double debitTotal = 0;
    double creditTotal = 0;
    for (std::size_t i = 0; i < kBookingLines; ++i) debitTotal += r.debit[i];
    for (std::size_t i = 0; i < kBookingLines; ++i) creditTotal += r.credit[i];
    if (!checkAmounts(r, debitTotal, creditTotal)) return false;
    // Compared as 15-digit texts, so 0,10 + 0,20 agrees with 0,30.
    if (float_to_text(debitTotal) != float_to_text(creditTotal)) {
        context_.dialogs.notice(cp("Soll und Haben muss stets gleich groß sein!"));
        return false;
    }
    if (debitTotal == 0) {
        context_.dialogs.notice("Null Euro werden nicht gebucht!");
        return false;
    }
    return true;
}

void BookingPage::SpeedButton8Click() {
    buchungsformular_loeschen();
    SpeedButton29.enabled = true;
    setChangeEnabled(false);
}

void BookingPage::SpeedButton29Click() {
    if (!buchungssatz_uebernehmen()) return;
    AppState& st = context_.state;
    {
        FolderLock lock(working_folder(st));
        // Another program may have booked meanwhile: this booking takes the next place.
        st.bookingCount = bookings_count();
        st.currentBooking.number = st.bookingCount;
        bookings_append(st.currentBooking);
    }
    ++st.bookingCount;
    st.bookingPosition = st.bookingCount;
    st.shownBooking = st.currentBooking;
    st.bookingShown = true;
    context_.writePositionIndicator();
    // The number the booking was given, so the learner sees it was booked.
    Label26.text = std::to_string(st.bookingCount);
    st.status = "Buchung Nr. " + std::to_string(st.bookingCount) + " gebucht.";
    SpeedButton29.enabled = false;
    setChangeEnabled(true);
}

bool BookingPage::changedMeanwhile() const {
    const AppState& st = context_.state;
    if (bookings_count() != st.bookingCount) return true;
    if (!st.bookingShown || st.bookingPosition < 1) return false;
    return encode_record(bookings_read(st.bookingPosition)) != encode_record(st.shownBooking);
}

void BookingPage::showAfresh() {
    context_.dialogs.notice(
        cp("Die Buchungen wurden inzwischen von einem anderen Programm geändert. "
           "Die Buchung wird neu angezeigt; prüfe sie und versuche es noch einmal."));
    AppState& st = context_.state;
    st.status.clear();  // nothing was done
    st.bookingCount = bookings_count();
    st.bookingPosition = std::min(st.bookingPosition, st.bookingCount);
    if (st.bookingPosition < 1) st.bookingPosition = st.bookingCount;
    st.bookingShown = false;
    if (st.bookingPosition >= 1) {
        buchung_anzeigen(st.bookingPosition);
    } else {
        buchungsformular_loeschen();
        Label26.text = std::to_string(st.bookingCount);
    }
    context_.writePositionIndicator();
}

void BookingPage::SpeedButton28Click() {
    if (!context_.dialogs.question(cp("Möchtest du den Buchungssatz wirklich ändern?"), Preset::No)) return;
    if (!buchungssatz_uebernehmen(true)) return;
    AppState& st = context_.state;
    st.currentBooking.number = st.bookingPosition - 1;
    {
        FolderLock lock(working_folder(st));
        if (!changedMeanwhile()) {
            if (st.bookingPosition >= 1) {
                UndoCopy copy(working_folder(st), cp("Das Ändern von Buchung ") + std::to_string(st.bookingPosition));
                bookings_overwrite(st.bookingPosition, st.currentBooking);
                copy.done(st.bookingCount);
            }
            st.shownBooking = st.currentBooking;
            context_.writePositionIndicator();
            st.status = "Buchung Nr. " + std::to_string(st.bookingPosition) + cp(" geändert.");
            return;
        }
    }
    showAfresh();
}

void BookingPage::SpeedButton36Click() {
    // Only a booking on show can be deleted; while entering, none is.
    if (!SpeedButton36.enabled) return;
    AppState& st = context_.state;
    if (st.bookingPosition < 1 || st.bookingPosition > st.bookingCount) {
        context_.dialogs.notice(cp("Keine Buchung zum Löschen vorhanden!"));
        return;
    }
    if (!context_.dialogs.question(cp("Möchtest du den Buchungssatz wirklich löschen?"), Preset::No)) return;
    bool changed = false;
    {
        FolderLock lock(working_folder(st));
        changed = changedMeanwhile();
        // Atomic: on failure the file and the counters stay as they were.
        if (!changed) {
            UndoCopy copy(working_folder(st), cp("Das Löschen von Buchung ") + std::to_string(st.bookingPosition));
            st.bookingCount = loesche_buchung(st.bookingPosition);
            copy.done(st.bookingCount);
        }
    }
    if (changed) {
        showAfresh();
        return;
    }
    st.status = "Buchung Nr. " + std::to_string(st.bookingPosition) + cp(" gelöscht.");
    st.bookingPosition = std::min(st.bookingPosition, st.bookingCount);
    st.bookingShown = false;
    context_.writePositionIndicator();
    // The deletion is made; showing the next booking must not report it failed.
    try {
        if (st.bookingPosition >= 1) {
            buchung_anzeigen(st.bookingPosition);
            return;
        }
    } catch (const Failure&) {}
    buchungsformular_loeschen();
    Label26.text = std::to_string(st.bookingCount);
}

void BookingPage::showPosition() {
    buchung_anzeigen(context_.state.bookingPosition);
    context_.writePositionIndicator();
    SpeedButton29.enabled = false;
    setChangeEnabled(true);
}

void BookingPage::SpeedButton9Click() {
    if (context_.state.bookingPosition > 0) context_.state.bookingPosition = 1;
    showPosition();
}

void BookingPage::SpeedButton25Click() {
    if (context_.state.bookingPosition > 1) --context_.state.bookingPosition;
    showPosition();
}

void BookingPage::SpeedButton26Click() {
    if (context_.state.bookingPosition < context_.state.bookingCount) ++context_.state.bookingPosition;
    showPosition();
}

void BookingPage::SpeedButton27Click() {
    context_.state.bookingPosition = context_.state.bookingCount;
    showPosition();
}

// The date stays as typed until a booking takes it over.
void BookingPage::Edit14Exit() {}

std::string BookingPage::amountFieldName(const Edit& field) {
    for (int i = 0; i < kBookingLines; ++i) {
        if (&field == &debitField(i)) return "Sollbetrag, Zeile " + std::to_string(i + 1);
        if (&field == &creditField(i)) return "Habenbetrag, Zeile " + std::to_string(i + 1);
    }
    return "Betrag";
}

bool BookingPage::readAmount(const Edit& field, double& amount) {
    amount = 0;
    if (field.text.empty()) return true;
    const std::optional<std::string> plain = typed_amount(field.text);
    if (!plain) {
        context_.dialogs.notice(amount_unreadable(field.text, amountFieldName(field)));
        return false;
    }
    amount = field_amount(*plain);
    return true;
}

void BookingPage::amountExit(Edit& field) {
    // An unreadable amount stays as typed, for mending; booking refuses it.
    const std::optional<std::string> plain = field.text.empty() ? std::string() : typed_amount(field.text);
    if (!plain) {
        context_.dialogs.notice(amount_unreadable(field.text, amountFieldName(field)));
        return;
    }
    field.text = checkmoney(*plain);
}

void BookingPage::Edit17Exit() { amountExit(Edit17); }
void BookingPage::Edit18Exit() { amountExit(Edit18); }
void BookingPage::Edit19Exit() { amountExit(Edit19); }
void BookingPage::Edit20Exit() { amountExit(Edit20); }
void BookingPage::Edit21Exit() { amountExit(Edit21); }
void BookingPage::Edit22Exit() { amountExit(Edit22); }
void BookingPage::Edit23Exit() { amountExit(Edit23); }
void BookingPage::Edit24Exit() { amountExit(Edit24); }
void BookingPage::Edit25Exit() { amountExit(Edit25); }
void BookingPage::Edit26Exit() { amountExit(Edit26); }

std::string BookingPage::entryName(const std::string& typed) const {
    if (context_.state.currentChart == 0 || typed.empty()) return typed;
    const std::vector<AccountRecord> accounts = read_chart(context_.state.currentChart);
    const AccountRecord* account = find_account_entry(accounts, typed);
    return account ? account->name : typed;
}

void BookingPage::accountExit(ComboBox& box, bool alsoWhenEmpty) {
    rejectedAccountLine = -1;
    if (box.text.empty() && !alsoWhenEmpty) return;
    if (!box.text.empty() && box.text[0] >= 'a' && box.text[0] <= 'z')
        box.text[0] = static_cast<char>(box.text[0] - 'a' + 'A');
    // A chosen "2800 Bank" or a typed "2800" stands for the account "Bank".
    box.text = entryName(box.text);
    if (!ist_konto(context_.state.currentChart, context_.dialogs, box.text)) {
        // The typed name stays so that a typo can be mended in place.
        for (int i = 0; i < kBookingLines; ++i)
            if (&accountBox(i) == &box) rejectedAccountLine = i;
        context_.dialogs.notice("Konto nicht gefunden!");
    }
}

std::string BookingPage::browsingText() const {
    const AppState& st = context_.state;
    // "Buchen" enabled: the form is for a new booking.
    if (SpeedButton29.enabled || !st.bookingShown || st.bookingPosition < 1) return {};
    return "Buchung " + std::to_string(st.bookingPosition) + " von " + std::to_string(st.bookingCount);
}

std::string BookingPage::totalsText() const {
    const Edit* debits[] = {&Edit17, &Edit19, &Edit21, &Edit23, &Edit25};
    const Edit* credits[] = {&Edit18, &Edit20, &Edit22, &Edit24, &Edit26};
    double debit = 0;
    double credit = 0;
    for (int i = 0; i < kBookingLines; ++i) {
        for (const Edit* field : {debits[i], credits[i]}) {
            double value = 0;
            const std::optional<std::string> plain = typed_amount(field->text);
            if (!field->text.empty() && (!plain || !parse_float(*plain, value)))
                return "Zeile " + std::to_string(i + 1) + ": \"" + field->text + cp("\" ist kein Betrag.");
            (field == debits[i] ? debit : credit) += round_to_cents(value);
        }
    }
    return "Summe Soll: " + amount_text(debit) + "   Summe Haben: " + amount_text(credit) +
           "   Differenz: " + amount_text(debit - credit);
}

void BookingPage::ComboBox1Exit() { accountExit(ComboBox1, true); }
void BookingPage::ComboBox2Exit() { accountExit(ComboBox2, true); }
void BookingPage::ComboBox3Exit() { accountExit(ComboBox3, false); }
void BookingPage::ComboBox4Exit() { accountExit(ComboBox4, false); }
void BookingPage::ComboBox5Exit() { accountExit(ComboBox5, false); }

} // namespace saldorama
