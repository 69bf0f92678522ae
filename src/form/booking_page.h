#pragma once
#include <array>
#include <optional>
#include <string>

#include "form/page_context.h"
#include "kernel/controls.h"

namespace saldorama {

// TabSheet4: entering, browsing, changing and deleting bookings.
class BookingPage {
public:
    explicit BookingPage(PageContext& context);

    Button SpeedButton8;   // "&Neu"
    Button SpeedButton9;   // "|<"
    Button SpeedButton25;  // "<"
    Button SpeedButton26;  // ">"
    Button SpeedButton27;  // ">|"
    Button SpeedButton28;  // "Ändern"
    Button SpeedButton36;  // "Löschen"
    Button SpeedButton29;  // "&Buchen"
    Label Label25, Label26;  // "Buchungs-Nummer:", number
    Label Label27;  // "Buchungsdatum:"
    Edit Edit14;    // date
    Label Label50;  // date format hint
    Label Label28;  // "Einzahler/Empfänger:"
    Edit Edit15;    // payer or payee
    Label Label29;  // "Zahlungsgrund:"
    Edit Edit16;    // reason for the payment
    Label Label30, Label31;  // "Betrag:", "0,00"
    Label Label32, Label33, Label34;  // column heads
    ComboBox ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5;
    // Lines 1..5: ComboBox1..5 the account, Edit17/Edit18 the debit/credit of
    // line 1, Edit19/Edit20 of line 2, ... Edit25/Edit26 of line 5; reach them
    // by line with accountBox, debitField and creditField.
    Edit Edit17, Edit18, Edit19, Edit20, Edit21, Edit22, Edit23, Edit24, Edit25, Edit26;
    Label Label44, Label45;  // hidden: "Buchung:" and the position indicator
    // The account box (0..4) whose name the last exit refused, -1 for none:
    // the window keeps the input focus there so that the name can be mended.
    int rejectedAccountLine = -1;

    // Running debit and credit totals of the ten amount fields as typed, and
    // their difference, rounded to cents as "&Buchen" rounds them.
    [[nodiscard]] std::string totalsText() const;
    // While a stored booking is on show, where it stands: "Buchung 3 von 16";
    // empty while a new one is typed.
    [[nodiscard]] std::string browsingText() const;

    // Line i (0..4): account box, debit field, credit field.
    [[nodiscard]] ComboBox& accountBox(int line);
    [[nodiscard]] Edit& debitField(int line);
    [[nodiscard]] Edit& creditField(int line);

    void TabSheet4Show();
    void buchungsformular_loeschen();
    void buchung_anzeigen(int n);
    // `changing`: for "Ändern", where a date field still showing the stored
    // date keeps that date as it is.
    [[nodiscard]] bool buchungssatz_uebernehmen(bool changing = false);
    void SpeedButton8Click();
    void SpeedButton29Click();
    void SpeedButton28Click();
    void SpeedButton36Click();
    void SpeedButton9Click();
    void SpeedButton25Click();
    void SpeedButton26Click();
    void SpeedButton27Click();

    void Edit14Exit();
    void Edit17Exit();
    void Edit18Exit();
    void Edit19Exit();
    void Edit20Exit();
    void Edit21Exit();
    void Edit22Exit();
    void Edit23Exit();
    void Edit24Exit();
    void Edit25Exit();
    void Edit26Exit();
    void ComboBox1Exit();
    void ComboBox2Exit();
    void ComboBox3Exit();
    void ComboBox4Exit();
    void ComboBox5Exit();

private:
    void amountExit(Edit& field);
    // "Sollbetrag, Zeile 2" and the like, for the notice on an unreadable amount.
    [[nodiscard]] std::string amountFieldName(const Edit& field);
    // An amount field as a booking stores it (empty: 0); an unreadable one
    // is refused with its notice.
    [[nodiscard]] bool readAmount(const Edit& field, double& amount);
    void accountExit(ComboBox& box, bool alsoWhenEmpty);
    // The name of the account an entry in an account box means (see
    // find_account_entry); the entry itself when no account fits.
    [[nodiscard]] std::string entryName(const std::string& typed) const;
    // After a move: show the booking at the position, back to viewing mode.
    void showPosition();
    // Under the lock: whether the file no longer holds what the page showed.
    [[nodiscard]] bool changedMeanwhile() const;
    // Says so and shows the booking at the position as the file holds it now.
    void showAfresh();
    // "Ändern" and "Löschen" are enabled together.
    void setChangeEnabled(bool enabled);
    // The refusals of a take-over; each shows its notice and answers false.
    [[nodiscard]] bool takeOverDate(BookingRecord& r, bool changing);
    [[nodiscard]] bool checkAccounts(const BookingRecord& r);
    [[nodiscard]] bool checkAmounts(const BookingRecord& r, double debitTotal, double creditTotal);
    PageContext& context_;
    // The date of the booking on show, as stored; none while entering.
    std::optional<std::string> shownDate_;
};

} // namespace saldorama
