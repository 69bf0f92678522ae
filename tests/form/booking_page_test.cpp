#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

#include "base/cp1252.h"
#include "base/file.h"
#include "base/numbers.h"
#include "bookings/bookings_file.h"
#include "bookings/checks.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "support/work_dir.h"

using namespace saldorama;
using Kind = ScriptedDialogs::Kind;

namespace {

std::vector<std::string> chartLines() {
    return {"Kasse<B> A  B",         "Bank<B> A  B",          "Darlehen<B> P  B",
            "Eigenkapital<B> P  B",  "Mieten<E> A  B",        "Umsatzerloese<E> E  B",
            cp("Eröffnungsbilanzkonto<V> P  N")};
}

BookingRecord stored(int number, const std::string& person, double amount) {
    BookingRecord r;
    r.number = number;
    r.date = "01.02.2026";
    r.person = person;
    r.reason = "Grund " + person;
    r.account[0] = "Kasse";
    r.account[1] = "Bank";
    r.debit[0] = amount;
    r.credit[1] = amount;
    return r;
}

std::vector<BookingRecord> fiveBookings() {
    std::vector<BookingRecord> all;
    for (int i = 0; i < 5; ++i) all.push_back(stored(i, "P" + std::to_string(i + 1), 10.0 * (i + 1)));
    return all;
}

struct BookingStory : ::testing::Test {
    test::WorkDir dir;
    ScriptedDialogs dialogs;
    TForm1 form{dialogs};
    BookingPage& page = form.booking;

    ~BookingStory() override { fault::clear(); }

    // Settings naming chart 1 (index 0), or none (index -1), and the chart.
    void start(const std::vector<BookingRecord>& existing = {}, int chartIndex = 0) {
        dir.writeSettings(chartIndex, "2026");
        dir.writeLines("Kontenplan1.txt", chartLines());
        if (!existing.empty()) bookings_replace_all(existing);
        ASSERT_TRUE(form.run([&] {
            form.FormCreate({.readExercises = false, .createBookingsFile = true, .showStartPage = false});
        }));
    }
    // Through the navigation, as the "Buchungen" button does it.
    void show() {
        form.showPage(Page::TabSheet2);
        form.run([&] { form.SpeedButton3Click(); });
    }
    void line(int i, const std::string& account, const std::string& debit, const std::string& credit) {
        page.accountBox(i).text = account;
        page.debitField(i).text = debit;
        page.creditField(i).text = credit;
    }
    void enter(const std::string& date, const std::string& person, const std::string& reason) {
        form.run([&] { page.SpeedButton8Click(); });
        page.Edit14.text = date;
        page.Edit15.text = person;
        page.Edit16.text = reason;
    }
    bool book() { return form.run([&] { page.SpeedButton29Click(); }); }
    bool change() { return form.run([&] { page.SpeedButton28Click(); }); }
    bool remove() { return form.run([&] { page.SpeedButton36Click(); }); }
    // Books one line of `debit` against `credit` right after "&Neu"; the
    // fields are taken as typed, without their exit handlers.
    void bookAmounts(const std::string& debit, const std::string& credit) {
        enter("0102", "X", "Y");
        line(0, "Kasse", debit, "");
        line(1, "Bank", "", credit);
        book();
    }
    [[nodiscard]] static std::vector<BookingRecord> records() { return bookings_read_all(); }
    [[nodiscard]] std::string lastBookedDebit() const { return float_to_text(bookings_read_all().back().debit[0]); }
};

} // namespace

// ---- Construction and showing ---------------------------------------------

TEST_F(BookingStory, ConstructorSetsCaptionsAndViewingMode) {
    EXPECT_EQ(page.SpeedButton8.text, "&Neu");
    EXPECT_EQ(page.SpeedButton9.text, "|<");
    EXPECT_EQ(page.SpeedButton25.text, "<");
    EXPECT_EQ(page.SpeedButton26.text, ">");
    EXPECT_EQ(page.SpeedButton27.text, ">|");
    EXPECT_EQ(page.SpeedButton28.text, "\xC4ndern");
    EXPECT_EQ(page.SpeedButton36.text, "L\xF6schen");
    EXPECT_EQ(page.SpeedButton29.text, "&Buchen");
    EXPECT_EQ(page.Label25.text, "Buchungs-Nummer:");
    EXPECT_EQ(page.Label26.text, "0");
    EXPECT_EQ(page.Label27.text, "Buchungsdatum:");
    EXPECT_EQ(page.Label50.text, "(Format: TT.MM.JJJJ, TT.MM.JJ, TTMMJJ oder TTMM; auch 5.1.26)");
    EXPECT_EQ(page.Label28.text, "Einzahler/Empf\xE4nger:");
    EXPECT_EQ(page.Label29.text, "Zahlungsgrund:");
    EXPECT_EQ(page.Label30.text, "Betrag:");
    EXPECT_EQ(page.Label31.text, "0,00");
    EXPECT_EQ(page.Label32.text, "Konto:");
    EXPECT_EQ(page.Label33.text, "Sollbetrag:");
    EXPECT_EQ(page.Label34.text, "Habenbetrag:");
    EXPECT_EQ(page.Label44.text, "Buchung:");
    EXPECT_FALSE(page.Label44.visible);
    EXPECT_FALSE(page.Label45.visible);
    EXPECT_TRUE(page.SpeedButton28.enabled);
    EXPECT_TRUE(page.SpeedButton36.enabled);
    EXPECT_FALSE(page.SpeedButton29.enabled);
}

TEST_F(BookingStory, ShowFillsEveryAccountListAndOpensOnTheLastBooking) {
    start(fiveBookings());
    show();
    EXPECT_TRUE(dialogs.log.empty());
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(page.accountBox(i).items.size(), 7u);
        EXPECT_EQ(page.accountBox(i).items.front(), "Kasse");
        EXPECT_EQ(page.accountBox(i).items.back(), cp("Eröffnungsbilanzkonto"));
    }
    EXPECT_EQ(page.Label26.text, "5");
    EXPECT_EQ(page.Edit15.text, "P5");
    EXPECT_EQ(page.Edit16.text, "Grund P5");
    EXPECT_EQ(page.Edit14.text, "01.02.2026");
    EXPECT_EQ(page.ComboBox1.text, "Kasse");
    EXPECT_EQ(page.ComboBox2.text, "Bank");
    EXPECT_EQ(page.ComboBox3.text, "");
    EXPECT_EQ(page.Edit17.text, "50,00");
    EXPECT_EQ(page.Edit18.text, "0,00");
    EXPECT_EQ(page.Edit20.text, "50,00");
    EXPECT_EQ(page.Edit26.text, "0,00");
    EXPECT_FALSE(page.SpeedButton29.enabled);  // "&Neu" first
    EXPECT_EQ(page.Label45.text, "5/5");
}

TEST_F(BookingStory, ShowingAgainDoesNotDoubleTheListsAndReplacesUnbookedTexts) {
    start(fiveBookings());
    show();
    page.Edit15.text = "getippt";
    show();
    EXPECT_EQ(page.ComboBox5.items.size(), 7u);
    EXPECT_EQ(page.Edit15.text, "P5");
}

TEST_F(BookingStory, ShowKeepsTheEnteringMode) {
    start(fiveBookings());
    show();
    form.run([&] { page.SpeedButton8Click(); });
    show();
    EXPECT_TRUE(page.SpeedButton29.enabled);
    EXPECT_FALSE(page.SpeedButton28.enabled);
}

TEST_F(BookingStory, ShowWithAnEmptyFileShowsTheCountAndNoBooking) {
    start();
    show();
    EXPECT_TRUE(dialogs.log.empty());
    EXPECT_EQ(page.Label26.text, "0");
    EXPECT_EQ(page.Edit17.text, "");
}

TEST_F(BookingStory, ShowWithoutChartGivesTheNoticeAndLeavesTheLists) {
    start(fiveBookings(), -1);
    page.ComboBox1.items = {"alt"};
    show();
    EXPECT_EQ(dialogs.texts(Kind::Notice), std::vector<std::string>{cp("Du hast keinen Kontenplan ausgewählt!")});
    EXPECT_EQ(page.ComboBox1.items, std::vector<std::string>{"alt"});
    EXPECT_EQ(page.Label26.text, "5");  // the count is written before the check
    EXPECT_EQ(page.Edit15.text, "");
}

TEST_F(BookingStory, ShowWithAMissingChartFileFailsAndWritesNothing) {
    start(fiveBookings());
    std::remove("Kontenplan1.txt");
    const std::string before = dir.read("buchungen.dat");
    show();
    EXPECT_EQ(dialogs.last(Kind::Failure), "Datei nicht gefunden (Kontenplan1.txt).");
    EXPECT_EQ(dir.read("buchungen.dat"), before);
}

// ---- Entering and booking -------------------------------------------------

TEST_F(BookingStory, NewEmptiesTheFormAndSwitchesToEntering) {
    start(fiveBookings());
    show();
    form.state.bookingPosition = 2;
    form.run([&] { page.SpeedButton8Click(); });
    EXPECT_EQ(page.Label26.text, "wird automatisch eingetragen");
    EXPECT_EQ(page.Edit14.text, "");
    EXPECT_EQ(page.Edit15.text, "");
    EXPECT_EQ(page.ComboBox1.text, "");
    EXPECT_EQ(page.ComboBox1.items.size(), 7u);  // the lists stay
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(page.debitField(i).text, "0,00");
        EXPECT_EQ(page.creditField(i).text, "0,00");
    }
    EXPECT_TRUE(page.SpeedButton29.enabled);
    EXPECT_FALSE(page.SpeedButton28.enabled);
    EXPECT_FALSE(page.SpeedButton36.enabled);
    EXPECT_EQ(form.state.bookingPosition, 2);
}

TEST_F(BookingStory, BookAppendsTheFormAndMovesToIt) {
    start();
    show();
    enter("2412", std::string(60, 'p'), "Einlage");
    line(0, "Kasse", "100", "");
    line(1, "Eigenkapital", "", "60");
    line(2, "Bank", "", "40,00");
    ASSERT_TRUE(book());
    EXPECT_TRUE(dialogs.log.empty());
    const auto all = records();
    ASSERT_EQ(all.size(), 1u);
    const BookingRecord& r = all[0];
    EXPECT_EQ(r.number, 0);
    EXPECT_EQ(r.date, "24.12.2026");
    EXPECT_EQ(r.person, std::string(50, 'p'));
    EXPECT_EQ(r.reason, "Einlage");
    EXPECT_EQ(r.account[0], "Kasse");
    EXPECT_EQ(r.account[1], "Eigenkapital");
    EXPECT_EQ(r.account[2], "Bank");
    EXPECT_EQ(r.account[3], "");
    EXPECT_EQ(r.debit[0], 100.0);
    EXPECT_EQ(r.credit[1], 60.0);
    EXPECT_EQ(r.credit[2], 40.0);
    EXPECT_EQ(r.debit[1] + r.debit[2] + r.credit[0], 0.0);
    EXPECT_EQ(form.state.bookingCount, 1);
    EXPECT_EQ(form.state.bookingPosition, 1);
    EXPECT_EQ(page.Label45.text, "1/1");
    EXPECT_FALSE(page.SpeedButton29.enabled);
    EXPECT_TRUE(page.SpeedButton28.enabled);
    EXPECT_TRUE(page.SpeedButton36.enabled);
    // The form keeps what was typed and shows the number the booking got.
    EXPECT_EQ(page.Edit14.text, "2412");
    EXPECT_EQ(page.Edit17.text, "100");
    EXPECT_EQ(page.Label26.text, "1");
    EXPECT_EQ(form.state.status, "Buchung Nr. 1 gebucht.");
}

TEST_F(BookingStory, BookedRecordIsShownWithItsNumberAfterShowingAgain) {
    start(fiveBookings());
    show();
    enter("24.12.26", "Kunde", "Rechnung");
    line(0, "Bank", "12,5", "");
    line(1, "Umsatzerloese", "", "12,50");
    ASSERT_TRUE(book());
    show();
    EXPECT_EQ(page.Label26.text, "6");
    EXPECT_EQ(page.Edit14.text, "24.12.2026");
    EXPECT_EQ(page.Edit17.text, "12,50");
    EXPECT_EQ(page.Edit20.text, "12,50");
}

// ---- Refusals of a take-over: nothing is booked ------------------------------

TEST_F(BookingStory, AnUnknownAccountOrAnAmountWithoutAccountIsRefused) {
    start(fiveBookings());
    show();
    const std::pair<const char*, const char*> lines[] = {{"Gibtsnicht", "50"}, {"kasse", "50"}, {"", "50"}};
    for (const auto& [account, amount] : lines) {
        dialogs.clear();
        enter("0102", "X", "Y");
        line(0, account, amount, "");
        line(1, "Bank", "", "50");
        ASSERT_TRUE(book());
        EXPECT_EQ(dialogs.texts(Kind::Notice), std::vector<std::string>{"Konto nicht gefunden!"}) << account;
        EXPECT_EQ(records(), fiveBookings());
        EXPECT_TRUE(page.SpeedButton29.enabled);
    }
    // "Ändern" refuses the same and leaves the booking shown as stored.
    form.run([&] { page.SpeedButton27Click(); });
    page.ComboBox2.text = "Bnak";
    dialogs.clear();
    ASSERT_TRUE(change());
    EXPECT_EQ(dialogs.last(Kind::Notice), "Konto nicht gefunden!");
    EXPECT_EQ(records(), fiveBookings());
    // An account without an amount is no fault.
    enter("0102", "X", "Y");
    line(0, "Kasse", "50", "");
    line(1, "Bank", "", "50");
    line(2, "Mieten", "", "");
    ASSERT_TRUE(book());
    EXPECT_EQ(records().size(), 6u);
}

TEST_F(BookingStory, ADateThatDoesNotExistOrCannotBeReadIsRefused) {
    start();
    show();
    for (const char* typed : {"31.13.2023", "31.02.2026", "991399", "ab.12.2026", "1.1.2026x", "5.1."}) {
        dialogs.clear();
        enter(typed, "X", "Y");
        line(0, "Kasse", "5", "");
        line(1, "Bank", "", "5");
        ASSERT_TRUE(book());
        EXPECT_EQ(dialogs.texts(Kind::Notice), std::vector<std::string>{date_refusal(typed)}) << typed;
        EXPECT_TRUE(records().empty());
        EXPECT_EQ(form.state.bookingPosition, 0);
        EXPECT_EQ(page.Edit14.text, typed);
    }
    EXPECT_NE(date_refusal("x").find("TT.MM.JJJJ, TT.MM.JJ, TTMMJJ und TTMM"), std::string::npos);
}

TEST_F(BookingStory, SingleDigitDatesAreBookedAndAnEmptyDateBooksNone) {
    start();
    show();
    for (const char* typed : {"5.1.2026", "5.1.26", ""}) {
        enter(typed, "X", "Y");
        line(0, "Kasse", "5", "");
        line(1, "Bank", "", "5");
        ASSERT_TRUE(book());
    }
    EXPECT_TRUE(dialogs.log.empty());
    const auto all = records();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].date, "05.01.2026");
    EXPECT_EQ(all[1].date, "05.01.2026");
    EXPECT_EQ(all[2].date, "00.00.0000");
}

TEST_F(BookingStory, ABarInPayerOrReasonIsRefused) {
    start();
    show();
    enter("0102", "Max|Muster", "Miete");
    line(0, "Kasse", "5", "");
    line(1, "Bank", "", "5");
    ASSERT_TRUE(book());
    EXPECT_EQ(dialogs.last(Kind::Notice), bar_refusal(cp("Einzahler/Empfänger")));
    page.Edit15.text = "Max";
    page.Edit16.text = "Miete | Mai";
    ASSERT_TRUE(book());
    EXPECT_EQ(dialogs.last(Kind::Notice), bar_refusal("Zahlungsgrund"));
    EXPECT_TRUE(records().empty());
}

TEST_F(BookingStory, AmountsAndTotalsOutOfRangeAreRefused) {
    start();
    show();
    struct Case {
        const char* debit1;
        const char* debit2;
        const char* credit;
        std::string message;
    };
    const Case cases[] = {
        {"2147483648", "", "2147483648", amount_refusal("Der Sollbetrag in Zeile 1")},
        {"1e308", "", "1e308", amount_refusal("Der Sollbetrag in Zeile 1")},
        {"-99999999999999999", "", "-99999999999999999", amount_refusal("Der Sollbetrag in Zeile 1")},
        {"2000000000", "2000000000", "", amount_refusal(cp("Die Summe der Sollbeträge"))},
    };
    for (const Case& c : cases) {
        dialogs.clear();
        enter("0102", "X", "Y");
        line(0, "Kasse", c.debit1, "");
        line(1, "Bank", c.debit2, c.credit);
        ASSERT_TRUE(book());
        EXPECT_EQ(dialogs.texts(Kind::Notice), std::vector<std::string>{c.message}) << c.debit1;
    }
    EXPECT_TRUE(records().empty());
    EXPECT_NE(amount_refusal("X").find("2147483648 Euro"), std::string::npos);
    // The largest amount in range is booked.
    enter("0102", "X", "Y");
    line(0, "Kasse", "2147483647,99", "");
    line(1, "Bank", "", "2147483647,99");
    ASSERT_TRUE(book());
    EXPECT_EQ(records().size(), 1u);
}

// ---- Rounding to cents ----------------------------------------------------

TEST_F(BookingStory, ExactHalfCentBookedStraightAwayGoesTowardZero) {
    start();
    show();
    bookAmounts("10,125", "10,125");
    EXPECT_EQ(lastBookedDebit(), "10,12");
    bookAmounts("10,375", "10,375");
    EXPECT_EQ(lastBookedDebit(), "10,37");
    EXPECT_EQ(float_to_text(records().back().credit[1]), "10,37");
}

TEST_F(BookingStory, LeavingTheFieldFirstRoundsTheHalfToTheEvenCent) {
    start();
    show();
    enter("0102", "X", "Y");
    line(0, "Kasse", "10,375", "");
    line(1, "Bank", "", "10,375");
    form.run([&] { page.Edit17Exit(); });
    form.run([&] { page.Edit20Exit(); });
    EXPECT_EQ(page.Edit17.text, "10,38");
    ASSERT_TRUE(book());
    EXPECT_EQ(lastBookedDebit(), "10,38");

    enter("0102", "X", "Y");
    line(0, "Kasse", "10,125", "");
    line(1, "Bank", "", "10,12");
    form.run([&] { page.Edit17Exit(); });
    EXPECT_EQ(page.Edit17.text, "10,12");
    ASSERT_TRUE(book());
    EXPECT_EQ(lastBookedDebit(), "10,12");
}

TEST_F(BookingStory, AmountsJustAboveTheHalfRoundUp) {
    start();
    show();
    bookAmounts("12,345", "12,345");
    EXPECT_EQ(lastBookedDebit(), "12,35");
    bookAmounts("99,995", "100");
    EXPECT_EQ(lastBookedDebit(), "100");
    EXPECT_TRUE(dialogs.log.empty());
}

TEST_F(BookingStory, StoredAmountsAreWholeCents) {
    start();
    show();
    bookAmounts("1234,567", "1234,57");
    EXPECT_EQ(records().back().debit[0], records().back().credit[1]);
    EXPECT_EQ(lastBookedDebit(), "1234,57");
}

// ---- Balance check --------------------------------------------------------

TEST_F(BookingStory, TotalsAreComparedAsFifteenDigitTexts) {
    start();
    show();
    enter("0102", "X", "Y");
    line(0, "Kasse", "0,10", "");
    line(1, "Bank", "0,20", "");
    line(2, "Eigenkapital", "", "0,30");
    ASSERT_TRUE(book());
    EXPECT_TRUE(dialogs.log.empty());
    EXPECT_EQ(records().size(), 1u);
}

TEST_F(BookingStory, UnequalTotalsAreRefusedAndNothingIsWritten) {
    start();
    show();
    bookAmounts("100,00", "99,99");
    EXPECT_EQ(dialogs.texts(Kind::Notice), std::vector<std::string>{cp("Soll und Haben muss stets gleich groß sein!")});
    EXPECT_TRUE(records().empty());
    EXPECT_EQ(form.state.bookingCount, 0);
    EXPECT_TRUE(page.SpeedButton29.enabled);  // still entering
    EXPECT_EQ(page.Edit17.text, "100,00");    // the form keeps its contents
}

TEST_F(BookingStory, ZeroBookingIsRefused) {
    start();
    show();
    enter("0102", "X", "Y");  // every amount field "0,00"
    book();
    EXPECT_EQ(dialogs.texts(Kind::Notice), std::vector<std::string>{"Null Euro werden nicht gebucht!"});
    EXPECT_TRUE(records().empty());
    bookAmounts("", "");
    EXPECT_EQ(dialogs.last(Kind::Notice), "Null Euro werden nicht gebucht!");
    EXPECT_TRUE(records().empty());
}

TEST_F(BookingStory, AmountThatIsNoNumberStopsTheBooking) {
    start();
    show();
    bookAmounts(cp("12,50 €"), "12,50");
    EXPECT_EQ(dialogs.last(Kind::Notice),
              cp("„12,50 €“ ist kein Betrag (Sollbetrag, Zeile 1). So schreiben: 1200,00 oder 1.200,00."));
    EXPECT_TRUE(dialogs.texts(Kind::Failure).empty());
    EXPECT_TRUE(records().empty());
    EXPECT_EQ(form.state.bookingCount, 0);
    EXPECT_EQ(page.Label45.text, "0/0");
}

TEST_F(BookingStory, FailedAppendLeavesTheCounters) {
    start(fiveBookings());
    show();
    enter("0102", "X", "Y");
    line(0, "Kasse", "5", "5");
    fault::fail_nth_operation(1, ENOSPC);
    book();
    fault::clear();
    EXPECT_EQ(dialogs.last(Kind::Failure), "Zu wenig Speicherplatz (buchungen.dat).");
    EXPECT_EQ(form.state.bookingCount, 5);
    EXPECT_EQ(form.state.bookingPosition, 5);
    EXPECT_EQ(page.Label45.text, "5/5");
    EXPECT_TRUE(page.SpeedButton29.enabled);
}

// ---- Moving ---------------------------------------------------------------

TEST_F(BookingStory, MovingButtonsWalkThroughTheBookings) {
    start(fiveBookings());
    show();
    form.run([&] { page.SpeedButton9Click(); });
    EXPECT_EQ(form.state.bookingPosition, 1);
    EXPECT_EQ(page.Edit15.text, "P1");
    EXPECT_EQ(page.Label26.text, "1");
    EXPECT_EQ(page.Label45.text, "1/5");
    form.run([&] { page.SpeedButton26Click(); });
    form.run([&] { page.SpeedButton26Click(); });
    EXPECT_EQ(page.Edit15.text, "P3");
    EXPECT_EQ(page.Edit17.text, "30,00");
    form.run([&] { page.SpeedButton25Click(); });
    EXPECT_EQ(page.Edit15.text, "P2");
    EXPECT_EQ(page.Label45.text, "2/5");
    EXPECT_EQ(page.browsingText(), "Buchung 2 von 5");
    form.run([&] { page.SpeedButton27Click(); });
    EXPECT_EQ(page.Edit15.text, "P5");
    EXPECT_EQ(page.Label45.text, "5/5");
    EXPECT_EQ(page.browsingText(), "Buchung 5 von 5");
    form.run([&] { page.SpeedButton8Click(); });
    EXPECT_EQ(page.browsingText(), "");  // a new booking is typed
    form.run([&] { page.SpeedButton27Click(); });
    EXPECT_TRUE(dialogs.log.empty());
}

TEST_F(BookingStory, MovingBeyondEitherEndReloadsTheBookingShown) {
    start(fiveBookings());
    show();
    form.run([&] { page.SpeedButton9Click(); });
    page.Edit15.text = "verändert";
    form.run([&] { page.SpeedButton25Click(); });
    EXPECT_EQ(form.state.bookingPosition, 1);
    EXPECT_EQ(page.Edit15.text, "P1");
    form.run([&] { page.SpeedButton27Click(); });
    page.Edit15.text = "verändert";
    form.run([&] { page.SpeedButton26Click(); });
    EXPECT_EQ(form.state.bookingPosition, 5);
    EXPECT_EQ(page.Edit15.text, "P5");
}

TEST_F(BookingStory, MovingReturnsToViewingMode) {
    start(fiveBookings());
    show();
    form.run([&] { page.SpeedButton8Click(); });
    form.run([&] { page.SpeedButton25Click(); });
    EXPECT_FALSE(page.SpeedButton29.enabled);
    EXPECT_TRUE(page.SpeedButton28.enabled);
    EXPECT_TRUE(page.SpeedButton36.enabled);
    EXPECT_EQ(page.Edit15.text, "P4");
}

TEST_F(BookingStory, MovingInAnEmptyFileShowsNothing) {
    start();
    show();
    form.run([&] { page.SpeedButton9Click(); });
    form.run([&] { page.SpeedButton25Click(); });
    form.run([&] { page.SpeedButton26Click(); });
    EXPECT_EQ(form.state.bookingPosition, 0);
    form.run([&] { page.SpeedButton27Click(); });
    EXPECT_EQ(form.state.bookingPosition, 0);
    EXPECT_TRUE(dialogs.log.empty());
    EXPECT_EQ(page.Label45.text, "0/0");
}

// ---- Changing -------------------------------------------------------------

TEST_F(BookingStory, NewAfterMovingAppendsAndChangeThenOverwritesTheNewBooking) {
    start(fiveBookings());
    show();
    form.run([&] { page.SpeedButton9Click(); });
    form.run([&] { page.SpeedButton26Click(); });
    enter("0303", "Neu", "Sechs");
    line(0, "Mieten", "700", "");
    line(1, "Bank", "", "700");
    ASSERT_TRUE(book());
    EXPECT_EQ(form.state.bookingPosition, 6);
    EXPECT_EQ(records().at(5).number, 5);

    page.Edit15.text = "Neu geaendert";
    ASSERT_TRUE(change());
    EXPECT_EQ(dialogs.texts(Kind::Question),
              std::vector<std::string>{cp("Möchtest du den Buchungssatz wirklich ändern?")});
    const auto all = records();
    ASSERT_EQ(all.size(), 6u);
    EXPECT_EQ(all[5].person, "Neu geaendert");
    EXPECT_EQ(all[5].number, 5);
    EXPECT_EQ(all[1].person, "P2");
}

TEST_F(BookingStory, ChangeStoresNumberFromThePosition) {
    auto five = fiveBookings();
    five[3].number = 77;  // whatever the record held before
    start(five);
    show();
    form.run([&] { page.SpeedButton9Click(); });
    for (int i = 0; i < 3; ++i) form.run([&] { page.SpeedButton26Click(); });
    page.Edit17.text = "44";
    page.Edit20.text = "44";
    ASSERT_TRUE(change());
    const BookingRecord r = records().at(3);
    EXPECT_EQ(r.number, 3);
    EXPECT_EQ(r.debit[0], 44.0);
    EXPECT_EQ(page.Label45.text, "4/5");
    EXPECT_FALSE(page.SpeedButton29.enabled);
    EXPECT_EQ(form.state.bookingCount, 5);
}

TEST_F(BookingStory, ChangeDeclinedWritesNothing) {
    start(fiveBookings());
    show();
    page.Edit15.text = "anders";
    dialogs.answers = {false};
    change();
    EXPECT_EQ(records(), fiveBookings());
    EXPECT_TRUE(dialogs.texts(Kind::Notice).empty());
}

TEST_F(BookingStory, ChangeRefusedByTheBalanceCheckWritesNothing) {
    start(fiveBookings());
    show();
    page.Edit17.text = "51";
    change();
    EXPECT_EQ(dialogs.last(Kind::Notice), cp("Soll und Haben muss stets gleich groß sein!"));
    EXPECT_EQ(records(), fiveBookings());
}

TEST_F(BookingStory, ChangeWithAnEmptyFileAsksChecksAndWritesNothing) {
    start();
    show();
    line(0, "Kasse", "5", "5");
    ASSERT_TRUE(change());
    EXPECT_EQ(dialogs.texts(Kind::Question).size(), 1u);
    EXPECT_TRUE(records().empty());
    EXPECT_EQ(form.state.bookingCount, 0);
    EXPECT_EQ(page.Label45.text, "0/0");

    line(0, "Kasse", "5", "4");
    change();
    EXPECT_EQ(dialogs.last(Kind::Notice), cp("Soll und Haben muss stets gleich groß sein!"));
}

TEST_F(BookingStory, ChangeWithoutTouchingTheDateKeepsTheStoredDate) {
    auto five = fiveBookings();
    five[3].date = "00.00.0000";
    five[4].date = "99.13.2099";  // from a time such dates were taken
    start(five);
    show();
    ASSERT_TRUE(change());
    form.run([&] { page.SpeedButton25Click(); });
    page.Edit16.text = "Neu";
    ASSERT_TRUE(change());
    auto expected = five;
    expected[3].reason = "Neu";
    EXPECT_EQ(records(), expected);
    EXPECT_TRUE(dialogs.texts(Kind::Notice).empty());
    // A date typed anew is checked like any other.
    page.Edit14.text = "31.02.2026";
    ASSERT_TRUE(change());
    EXPECT_EQ(dialogs.last(Kind::Notice), date_refusal("31.02.2026"));
    page.Edit14.text = "3.3.26";
    ASSERT_TRUE(change());
    expected[3].date = "03.03.2026";
    EXPECT_EQ(records(), expected);
}

TEST_F(BookingStory, ChangeAndDeleteAskWithNoPreselected) {
    start(fiveBookings());
    show();
    ASSERT_TRUE(change());
    ASSERT_TRUE(remove());
    std::vector<ScriptedDialogs::Entry> questions;
    for (const auto& e : dialogs.log)
        if (e.kind == Kind::Question) questions.push_back(e);
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0].preset, Preset::No);
    EXPECT_EQ(questions[1].preset, Preset::No);
}

// ---- Deleting -------------------------------------------------------------

TEST_F(BookingStory, DeleteRemovesTheBookingShownAndShowsItsSuccessor) {
    start(fiveBookings());
    show();
    form.run([&] { page.SpeedButton9Click(); });
    form.run([&] { page.SpeedButton26Click(); });
    ASSERT_TRUE(remove());
    EXPECT_EQ(dialogs.texts(Kind::Question),
              std::vector<std::string>{cp("Möchtest du den Buchungssatz wirklich löschen?")});
    const auto all = records();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0].person, "P1");
    EXPECT_EQ(all[1].person, "P3");
    EXPECT_EQ(all[1].number, 1);
    EXPECT_EQ(all[3].person, "P5");
    EXPECT_EQ(all[3].number, 3);
    EXPECT_EQ(form.state.bookingCount, 4);
    EXPECT_EQ(form.state.bookingPosition, 2);
    EXPECT_EQ(page.Edit15.text, "P3");
    EXPECT_EQ(page.Label26.text, "2");
    EXPECT_EQ(page.Label45.text, "2/4");
    EXPECT_TRUE(page.SpeedButton36.enabled);
}

TEST_F(BookingStory, DeletingTheLastBookingMovesToTheNewLast) {
    start(fiveBookings());
    show();
    ASSERT_TRUE(remove());
    EXPECT_EQ(records().size(), 4u);
    EXPECT_EQ(form.state.bookingPosition, 4);
    EXPECT_EQ(page.Edit15.text, "P4");
    EXPECT_EQ(page.Label45.text, "4/4");
}

TEST_F(BookingStory, DeletingTheOnlyBookingLeavesAnEmptyForm) {
    start({stored(0, "Einzig", 5)});
    show();
    ASSERT_TRUE(remove());
    EXPECT_TRUE(records().empty());
    EXPECT_EQ(form.state.bookingCount, 0);
    EXPECT_EQ(form.state.bookingPosition, 0);
    EXPECT_EQ(page.Label45.text, "0/0");
    EXPECT_EQ(page.Edit15.text, "");
    EXPECT_EQ(page.Edit17.text, "0,00");
    EXPECT_EQ(page.Label26.text, "0");
    // A new booking after that gets number 0 again.
    enter("0102", "Neu", "Y");
    line(0, "Kasse", "1", "1");
    ASSERT_TRUE(book());
    EXPECT_EQ(records().at(0).number, 0);
}

TEST_F(BookingStory, DeleteDeclinedChangesNothing) {
    start(fiveBookings());
    show();
    dialogs.answers = {false};
    remove();
    EXPECT_EQ(records(), fiveBookings());
    EXPECT_EQ(form.state.bookingCount, 5);
    EXPECT_EQ(form.state.bookingPosition, 5);
}

TEST_F(BookingStory, DeleteWithNoBookingShownOnlySaysSo) {
    start();
    show();
    remove();
    EXPECT_TRUE(dialogs.texts(Kind::Question).empty());
    EXPECT_EQ(dialogs.texts(Kind::Notice), std::vector<std::string>{cp("Keine Buchung zum Löschen vorhanden!")});
    EXPECT_TRUE(records().empty());
}

TEST_F(BookingStory, DeleteIsOffWhileEntering) {
    start(fiveBookings());
    show();
    form.run([&] { page.SpeedButton8Click(); });
    remove();
    EXPECT_TRUE(dialogs.log.empty());
    EXPECT_EQ(records().size(), 5u);
}

TEST_F(BookingStory, FailedDeleteLeavesFileAndCounters) {
    start(fiveBookings());
    show();
    const std::string before = dir.read("buchungen.dat");
    fault::fail_nth_operation(1, ENOSPC);
    remove();
    fault::clear();
    EXPECT_EQ(dialogs.last(Kind::Failure), "Zu wenig Speicherplatz (" + dir.path() + "/.saldorama/undo/00000001.kopie).");
    EXPECT_EQ(dir.read("buchungen.dat"), before);
    EXPECT_EQ(form.state.bookingCount, 5);
    EXPECT_EQ(form.state.bookingPosition, 5);
}

// ---- Exit handlers --------------------------------------------------------

TEST_F(BookingStory, LeavingAnAmountFieldNormalisesIt) {
    start();
    show();
    page.Edit19.text = "5,5";
    page.Edit26.text = "";
    page.Edit18.text = "1234,567";
    form.run([&] { page.Edit19Exit(); });
    form.run([&] { page.Edit26Exit(); });
    form.run([&] { page.Edit18Exit(); });
    EXPECT_EQ(page.Edit19.text, "5,50");
    EXPECT_EQ(page.Edit26.text, "0,00");
    EXPECT_EQ(page.Edit18.text, "1234,57");
}

TEST_F(BookingStory, LeavingAnAmountFieldWithNoNumberKeepsTheText) {
    start();
    show();
    page.Edit21.text = "zehn";
    form.run([&] { page.Edit21Exit(); });
    EXPECT_EQ(dialogs.last(Kind::Notice),
              cp("„zehn“ ist kein Betrag (Sollbetrag, Zeile 3). So schreiben: 1200,00 oder 1.200,00."));
    EXPECT_EQ(page.Edit21.text, "zehn");
}

TEST_F(BookingStory, LeavingTheDateFieldKeepsTheText) {
    start();
    show();
    page.Edit14.text = "2412";
    form.run([&] { page.Edit14Exit(); });
    EXPECT_EQ(page.Edit14.text, "2412");
}

// With numbers in the chart the lists show "2880 Kasse"; leaving a box turns
// a chosen item or a typed number into the name, and a booking stores names.
TEST_F(BookingStory, AccountBoxTakesTheNumberOrTheListedItemForTheName) {
    start(fiveBookings());
    dir.writeLines("Kontenplan1.txt", {"Kasse<B> A  B 2880", "Bank<B> A  B 2800", "Mieten<E> A  B 6700"});
    show();
    EXPECT_EQ(page.ComboBox3.items, (std::vector<std::string>{"2880 Kasse", "2800 Bank", "6700 Mieten"}));
    const struct {
        const char* typed;
        const char* left;
        bool known;
    } rows[] = {{"2880", "Kasse", true},    {"2800 Bank", "Bank", true}, {"Mieten", "Mieten", true},
                {"2880 Bank", "2880 Bank", false}, {"288", "288", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        dialogs.clear();
        page.ComboBox1.text = row.typed;
        form.run([&] { page.ComboBox1Exit(); });
        EXPECT_EQ(page.ComboBox1.text, row.left);
        EXPECT_EQ(dialogs.texts(Kind::Notice).empty(), row.known);
    }
    // Booked straight away, without leaving the boxes.
    enter("0102", "X", "Y");
    line(0, "6700 Mieten", "50", "");
    line(1, "2880", "", "50");
    ASSERT_TRUE(book());
    ASSERT_EQ(records().size(), 6u);
    EXPECT_EQ(records().back().account[0], "Mieten");
    EXPECT_EQ(records().back().account[1], "Kasse");
}

TEST_F(BookingStory, AccountBoxCapitalisesTheFirstLetterBeforeTheLookup) {
    start();
    show();
    page.ComboBox1.text = "kasse";
    form.run([&] { page.ComboBox1Exit(); });
    EXPECT_EQ(page.ComboBox1.text, "Kasse");
    EXPECT_TRUE(dialogs.log.empty());
}

TEST_F(BookingStory, UnknownAccountStaysForMendingWithANotice) {
    start();
    show();
    page.ComboBox2.text = "kasse ";  // trailing blank: no account
    form.run([&] { page.ComboBox2Exit(); });
    EXPECT_EQ(page.ComboBox2.text, "Kasse ");
    EXPECT_EQ(page.rejectedAccountLine, 1);
    EXPECT_EQ(dialogs.texts(Kind::Notice), std::vector<std::string>{"Konto nicht gefunden!"});

    page.ComboBox3.text = cp("ärger");  // umlauts stay as they are
    form.run([&] { page.ComboBox3Exit(); });
    EXPECT_EQ(page.ComboBox3.text, cp("ärger"));
    EXPECT_EQ(page.rejectedAccountLine, 2);
    EXPECT_EQ(dialogs.texts(Kind::Notice).size(), 2u);

    page.ComboBox3.text = "Bank";
    form.run([&] { page.ComboBox3Exit(); });
    EXPECT_EQ(page.rejectedAccountLine, -1);
    EXPECT_EQ(dialogs.texts(Kind::Notice).size(), 2u);
}

TEST_F(BookingStory, BookRefusesAnAccountNameThatNoExitChecked) {
    start();
    show();
    enter("2412", "Kunde", "Einlage");
    line(0, "Kasse", "100", "");
    line(2, "Bnak", "", "100");  // typed, then "&Buchen" pressed at once
    ASSERT_TRUE(book());
    EXPECT_EQ(dialogs.texts(Kind::Notice), std::vector<std::string>{"Konto nicht gefunden!"});
    EXPECT_TRUE(records().empty());
    EXPECT_EQ(page.ComboBox3.text, "Bnak");
}

TEST_F(BookingStory, TotalsFollowTheAmountFieldsAsTyped) {
    start();
    show();
    form.run([&] { page.SpeedButton8Click(); });
    EXPECT_EQ(page.totalsText(), "Summe Soll: 0,00   Summe Haben: 0,00   Differenz: 0,00");
    page.Edit17.text = "100,005";  // rounded to cents as a booking is
    page.Edit19.text = "0,1";
    page.Edit20.text = "";
    page.Edit22.text = "0,2";
    page.Edit24.text = "-5";
    EXPECT_EQ(page.totalsText(), "Summe Soll: 100,10   Summe Haben: -4,80   Differenz: 104,90");
    page.Edit26.text = "1O";
    EXPECT_EQ(page.totalsText(), "Zeile 5: \"1O\" ist kein Betrag.");
}

TEST_F(BookingStory, FirstTwoAccountBoxesAreCheckedAlsoWhenEmpty) {
    start();
    show();
    form.run([&] { page.ComboBox1Exit(); });
    form.run([&] { page.ComboBox2Exit(); });
    EXPECT_EQ(dialogs.texts(Kind::Notice).size(), 2u);
    dialogs.clear();
    page.ComboBox3.text = "Unsinn";
    form.run([&] { page.ComboBox4Exit(); });
    form.run([&] { page.ComboBox5Exit(); });
    EXPECT_TRUE(dialogs.log.empty());
    EXPECT_EQ(page.ComboBox3.text, "Unsinn");
}

TEST_F(BookingStory, AccountCheckWithoutChartGivesBothNotices) {
    start({}, -1);
    page.ComboBox4.text = "Kasse";
    form.run([&] { page.ComboBox4Exit(); });
    EXPECT_EQ(dialogs.texts(Kind::Notice),
              (std::vector<std::string>{cp("Du hast keinen Kontenplan ausgewählt!"), "Konto nicht gefunden!"}));
    EXPECT_EQ(page.ComboBox4.text, "Kasse");
}

// After "Ändern" and "Löschen" the status line says what was done, never the
// last "gebucht." of before.
TEST_F(BookingStory, TheStatusLineSaysWhatChangeAndDeleteDid) {
    start(fiveBookings());
    show();
    bookAmounts("5", "5");
    ASSERT_EQ(form.state.status, "Buchung Nr. 6 gebucht.");
    form.run([&] { page.SpeedButton9Click(); });
    ASSERT_TRUE(change());
    EXPECT_EQ(form.state.status, cp("Buchung Nr. 1 geändert."));
    ASSERT_TRUE(remove());
    EXPECT_EQ(form.state.status, cp("Buchung Nr. 1 gelöscht."));
}
