#include <gtest/gtest.h>

#include <cstdio>

#include "base/cp1252.h"
#include "base/numbers.h"
#include "bookings/bookings_file.h"
#include "bookings/checks.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "support/sample_booking.h"
#include "support/work_dir.h"

using namespace saldorama;
using Kind = ScriptedDialogs::Kind;

namespace {

const std::string kOpening = cp("Eröffnungsbilanzkonto");

// Rows: 1 Kasse, 2 Bank, 3 Darlehen, 4 Eigenkapital, 5 Mieten,
// 6 Umsatzerloese, 7 Eröffnungsbilanzkonto.
std::vector<std::string> chartLines() {
    return {"Kasse<B> A  B",        "Bank<B> A  B",   "Darlehen<B> P  B",
            "Eigenkapital<B> P  B", "Mieten<E> A  B", "Umsatzerloese<E> E  B",
            kOpening + "<V> P  N"};
}

BookingRecord anyBooking(int number) {
    return test::transfer(number, "Bank", "Umsatzerloese", 99, "01.02.2026", "Kunde", "Rechnung");
}

struct OpeningBalance : ::testing::Test {
    test::WorkDir dir;
    ScriptedDialogs dialogs;
    TForm1 form{dialogs};
    OpeningBalancePage& page = form.opening;
    StringGrid& grid = form.opening.StringGrid2;

    void start(const std::vector<BookingRecord>& existing = {}, int chartIndex = 0,
               const std::vector<std::string>& chart = chartLines()) {
        dir.writeSettings(chartIndex, "2026");
        dir.writeLines("Kontenplan1.txt", chart);
        if (!existing.empty()) bookings_replace_all(existing);
        ASSERT_TRUE(form.run([&] {
            form.FormCreate({.readExercises = false, .createBookingsFile = true, .showStartPage = false});
        }));
    }
    // Through the navigation, as the "Eröffnungsbuchungen" button does it.
    void show() {
        form.showPage(Page::TabSheet2);
        form.run([&] { form.SpeedButton2Click(); });
    }
    bool ok() { return form.run([&] { page.SpeedButton7Click(); }); }
    [[nodiscard]] static std::vector<BookingRecord> records() { return bookings_read_all(); }
    [[nodiscard]] std::vector<std::string> amountColumn(int rows) const {
        std::vector<std::string> out;
        for (int r = 1; r <= rows; ++r) out.push_back(grid.cell(1, r));
        return out;
    }
};

} // namespace

TEST_F(OpeningBalance, ConstructorSetsCaptionsAndGrid) {
    EXPECT_EQ(page.Label48.text, cp("Geben Sie den Anfangsbestand und das Datum der Eröffnungsbilanz an!"));
    EXPECT_EQ(page.Label35.text, cp("Datum der Eröffnungsbilanz:"));
    EXPECT_EQ(page.SpeedButton7.text, "OK");
    EXPECT_EQ(page.Edit27.text, "");
    EXPECT_EQ(grid.colCount(), 2);
    EXPECT_EQ(grid.rowCount(), 100);
    EXPECT_EQ(grid.colWidths, (std::vector<int>{220, 220}));
}

// ---- "OK" -----------------------------------------------------------------

TEST_F(OpeningBalance, TwoAmountsGiveTwoOpeningBookings) {
    start({anyBooking(0), anyBooking(1), anyBooking(2)});
    show();
    grid.cell(1, 1) = "500";
    grid.cell(1, 3) = "300,5";
    page.Edit27.text = "01.01.2026";
    ASSERT_TRUE(ok());
    EXPECT_EQ(dialogs.texts(Kind::Question),
              std::vector<std::string>{cp("Achtung! Es werden alle bisherigen Buchungen gelöscht und nur diese "
                                          "Anfangsbestände gebucht! Fortfahren?")});
    EXPECT_EQ(dialogs.log.at(0).preset, Preset::No);  // it deletes: Return answers No
    EXPECT_TRUE(dialogs.texts(Kind::Notice).empty());

    const auto all = records();
    ASSERT_EQ(all.size(), 2u);
    BookingRecord first;
    first.number = 0;
    first.date = "01.01.2026";
    first.person = "selbst";
    first.reason = cp("Eröffnungsbuchung");
    first.account[0] = "Kasse";
    first.account[1] = kOpening;
    first.debit[0] = 500;
    first.credit[1] = 500;
    EXPECT_EQ(all[0], first);

    BookingRecord second = first;
    second.number = 1;
    second.account[0] = kOpening;
    second.account[1] = "Darlehen";
    second.debit[0] = 300.5;
    second.credit[1] = 300.5;
    EXPECT_EQ(all[1], second);

    EXPECT_EQ(form.state.bookingCount, 2);
    EXPECT_EQ(form.state.bookingPosition, 2);
    EXPECT_EQ(form.booking.Label45.text, "2/2");
    EXPECT_EQ(form.state.status, cp("Eröffnungsbilanz gebucht: 2 Buchungen."));
    EXPECT_EQ(grid.cell(1, 3), "300,5");  // the cell keeps what was typed
}

TEST_F(OpeningBalance, ShowingAgainReadsTheAmountsBack) {
    start();
    show();
    grid.cell(1, 1) = "500";
    grid.cell(1, 3) = "300,5";
    ASSERT_TRUE(ok());
    grid.cell(1, 2) = "typed, not booked";
    show();
    EXPECT_EQ(amountColumn(8), (std::vector<std::string>{"500,00", "", "300,50", "", "", "", "", ""}));
    EXPECT_EQ(grid.cell(0, 1), "Kasse");
    EXPECT_EQ(grid.cell(0, 7), kOpening);
    EXPECT_EQ(grid.cell(0, 8), "");
    EXPECT_EQ(grid.cell(1, 0), cp("Eröffnungsbetrag"));  // header stays
}

TEST_F(OpeningBalance, SideDecidesWhichLineNamesTheAccount) {
    start();
    show();
    grid.cell(1, 5) = "100";  // Mieten, debit side
    grid.cell(1, 6) = "200";  // Umsatzerloese, credit side
    ASSERT_TRUE(ok());
    const auto all = records();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].account[0], "Mieten");
    EXPECT_EQ(all[0].account[1], kOpening);
    EXPECT_EQ(all[1].account[0], kOpening);
    EXPECT_EQ(all[1].account[1], "Umsatzerloese");
    EXPECT_EQ(all[1].number, 1);
}

TEST_F(OpeningBalance, AmountInTheOpeningAccountRowIsBookedAgainstItself) {
    start();
    show();
    grid.cell(1, 7) = "10";
    ASSERT_TRUE(ok());
    const auto all = records();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].account[0], kOpening);
    EXPECT_EQ(all[0].account[1], kOpening);
    EXPECT_EQ(all[0].debit[0], 10.0);
}

TEST_F(OpeningBalance, AmountsAreRoundedToCents) {
    start();
    show();
    grid.cell(1, 1) = "0,004";
    grid.cell(1, 2) = "0,006";
    grid.cell(1, 4) = "12,345";
    ASSERT_TRUE(ok());
    const auto all = records();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].account[0], "Bank");
    EXPECT_EQ(all[0].number, 0);  // the zero row used no number
    EXPECT_EQ(all[0].debit[0], 0.01);
    EXPECT_EQ(all[1].credit[1], 12.35);
}

// A cell that cannot be read never counts as empty: "OK" refuses it, naming
// the account, and every booking stays; dotted amounts are read as written.
TEST_F(OpeningBalance, CellsThatCannotBeReadAreRefusedAndDottedOnesBooked) {
    const struct {
        const char* cell;
        bool booked;
    } cases[] = {{"-100", false}, {"1.20", false}, {"abc", false}, {"1 200,00", false},
                 {"1.200,00 €", false}, {"1.000", true}, {"12.000,50", true}};
    start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell);
        bookings_replace_all({anyBooking(0)});
        show();
        dialogs.clear();
        grid.cell(1, 1) = "50";
        grid.cell(1, 2) = cp(c.cell);
        ok();
        if (c.booked) {
            EXPECT_TRUE(dialogs.texts(Kind::Notice).empty());
            ASSERT_EQ(records().size(), 2u);
            EXPECT_EQ(records()[1].debit[0], text_to_float(*typed_amount(c.cell)));
            continue;
        }
        EXPECT_EQ(dialogs.last(Kind::Notice), cp("„") + cp(c.cell) + cp("“ ist kein Betrag (") + grid.cell(0, 2) +
                                                  "). So schreiben: 1200,00 oder 1.200,00.");
        EXPECT_EQ(records(), std::vector<BookingRecord>{anyBooking(0)});
    }
}

TEST_F(OpeningBalance, AllCellsEmptyLeaveAnEmptyFile) {
    start({anyBooking(0)});
    show();
    ASSERT_TRUE(ok());
    EXPECT_EQ(dir.read("buchungen.dat"), "");
    EXPECT_EQ(form.state.bookingCount, 0);
    EXPECT_EQ(form.booking.Label45.text, "0/0");
}

// All or nothing: a cell that is no number leaves every old booking in place.
TEST_F(OpeningBalance, CellThatIsNoNumberChangesNoBooking) {
    start({anyBooking(0)});
    show();
    grid.cell(1, 1) = "500";
    grid.cell(1, 3) = "1,2,3";
    grid.cell(1, 4) = "700";
    ok();
    EXPECT_EQ(dialogs.last(Kind::Notice),
              cp("„1,2,3“ ist kein Betrag (") + grid.cell(0, 3) + "). So schreiben: 1200,00 oder 1.200,00.");
    EXPECT_EQ(records(), std::vector<BookingRecord>{anyBooking(0)});
    EXPECT_EQ(form.state.bookingCount, 1);
    EXPECT_EQ(form.booking.Label45.text, "1/1");
}

TEST_F(OpeningBalance, DateIsNormalisedOrZeroWhenEmpty) {
    start();
    show();
    grid.cell(1, 1) = "1";
    grid.cell(1, 2) = "2";
    page.Edit27.text = "2412";
    ASSERT_TRUE(ok());
    EXPECT_EQ(records().at(0).date, "24.12.2026");
    EXPECT_EQ(records().at(1).date, "24.12.2026");
    page.Edit27.text = "1.1.26";
    ASSERT_TRUE(ok());
    EXPECT_EQ(records().at(1).date, "01.01.2026");
    page.Edit27.text = "";
    ASSERT_TRUE(ok());
    EXPECT_EQ(records().at(0).date, "00.00.0000");
    EXPECT_TRUE(dialogs.texts(Kind::Notice).empty());
}

TEST_F(OpeningBalance, ADateThatDoesNotExistOrCannotBeReadDeletesNothing) {
    start({anyBooking(0)});
    show();
    grid.cell(1, 2) = "100";
    for (const char* typed : {"32.01.2026", "29.02.2026", "24.12.20x6", "991399"}) {
        dialogs.clear();
        page.Edit27.text = typed;
        ASSERT_TRUE(ok());
        EXPECT_EQ(dialogs.texts(Kind::Notice), std::vector<std::string>{date_refusal(typed)});
        EXPECT_TRUE(dialogs.texts(Kind::Question).empty());
        EXPECT_EQ(records(), std::vector<BookingRecord>{anyBooking(0)});
        EXPECT_EQ(form.state.bookingCount, 1);
    }
}

TEST_F(OpeningBalance, AnAmountOutOfRangeDeletesNothing) {
    start({anyBooking(0)});
    show();
    grid.cell(1, 1) = "100";
    grid.cell(1, 2) = "2147483648";
    ASSERT_TRUE(ok());
    EXPECT_EQ(dialogs.texts(Kind::Notice),
              std::vector<std::string>{amount_refusal(cp("Der Eröffnungsbetrag von \"Bank\""))});
    // Rounded to cents as "OK" books it, 2147483647,999 is out of range too.
    grid.cell(1, 2) = "2147483647,999";
    ASSERT_TRUE(ok());
    grid.cell(1, 2) = std::string(400, '9');
    ASSERT_TRUE(ok());
    EXPECT_EQ(dialogs.texts(Kind::Notice).size(), 3u);
    EXPECT_TRUE(dialogs.texts(Kind::Question).empty());
    EXPECT_EQ(records(), std::vector<BookingRecord>{anyBooking(0)});
    grid.cell(1, 2) = "2147483647,99";
    ASSERT_TRUE(ok());
    EXPECT_EQ(records().size(), 2u);
}

TEST_F(OpeningBalance, DeclinedQuestionChangesNothing) {
    start({anyBooking(0)});
    show();
    grid.cell(1, 1) = "abc";
    dialogs.answers = {false};
    ok();
    EXPECT_EQ(records(), std::vector<BookingRecord>{anyBooking(0)});
    EXPECT_EQ(form.state.bookingCount, 1);
    EXPECT_EQ(grid.cell(1, 1), "abc");
}

TEST_F(OpeningBalance, WithoutChartShowKeepsTheGridAndOkDeletesAll) {
    start({anyBooking(0)}, -1);
    grid.cell(0, 1) = "alt";
    show();
    EXPECT_EQ(dialogs.texts(Kind::Notice), std::vector<std::string>{cp("Du hast keinen Kontenplan ausgewählt!")});
    EXPECT_EQ(grid.cell(0, 1), "alt");
    ok();
    EXPECT_EQ(dialogs.last(Kind::Notice), cp("Du hast keinen Kontenplan ausgewählt!"));
    EXPECT_TRUE(records().empty());
    EXPECT_EQ(form.state.bookingCount, 0);
}

TEST_F(OpeningBalance, MissingChartFileFailsAndOkDeletesNothing) {
    start({anyBooking(0)});
    std::remove("Kontenplan1.txt");
    grid.cell(0, 1) = "alt";
    show();
    EXPECT_EQ(dialogs.last(Kind::Failure), "Datei nicht gefunden (Kontenplan1.txt).");
    EXPECT_EQ(grid.cell(0, 1), "alt");
    dialogs.clear();
    ok();
    EXPECT_EQ(dialogs.last(Kind::Failure), "Datei nicht gefunden (Kontenplan1.txt).");
    EXPECT_EQ(records(), std::vector<BookingRecord>{anyBooking(0)});
}

// ---- Showing --------------------------------------------------------------

TEST_F(OpeningBalance, ShowTakesAmountsFromEveryBookingOnTheOpeningAccount) {
    BookingRecord typed = anyBooking(0);  // typed on the booking page
    typed.account = {"Kasse", "Bank", kOpening, "", ""};
    typed.debit = {40, 60, 0, 0, 0};
    typed.credit = {0, 0, 100, 0, 0};
    start({typed, anyBooking(1)});
    show();
    EXPECT_TRUE(dialogs.log.empty());
    // Both accounts show the amount of the opening-account line;
    // Umsatzerloese only appears in a booking without one.
    EXPECT_EQ(amountColumn(7), (std::vector<std::string>{"100,00", "100,00", "", "", "", "", ""}));
}

// A manual closing books "Schlussbilanzkonto" against the opening accounts'
// opposite sides; the page offers no amount for the two closing accounts.
TEST_F(OpeningBalance, ClosingAccountsGetNoAmountLikeTheOpeningAccount) {
    BookingRecord closing = anyBooking(1);
    closing.account = {"Schlussbilanzkonto", "Kasse", "GuV-Konto", kOpening, ""};
    closing.debit = {70, 0, 30, 0, 0};
    closing.credit = {0, 70, 0, 30, 0};
    std::vector<std::string> chart = chartLines();
    chart.push_back("GuV-Konto<V> H  N");
    chart.push_back("Schlussbilanzkonto<V> H  N");
    start({closing}, 0, chart);
    show();
    EXPECT_EQ(amountColumn(9), (std::vector<std::string>{"30,00", "", "", "", "", "", "", "", ""}));
}

TEST_F(OpeningBalance, LastMatchingBookingWinsAndLastOpeningLineCounts) {
    BookingRecord early = anyBooking(0);
    early.account = {"Kasse", kOpening, "", "", ""};
    early.debit = {5, 0, 0, 0, 0};
    early.credit = {0, 5, 0, 0, 0};
    BookingRecord late = anyBooking(1);
    late.account = {kOpening, "Kasse", kOpening, "", ""};
    late.debit = {1, 0, 7, 0, 0};
    late.credit = {0, 8, 0.25, 0, 0};
    start({early, late, anyBooking(2)});
    show();
    EXPECT_EQ(grid.cell(1, 1), "7,25");
    EXPECT_EQ(grid.cell(1, 7), "");  // the opening account's own row stays empty
}

TEST_F(OpeningBalance, ShorterChartEmptiesTheRowsBelow) {
    std::vector<std::string> longChart = chartLines();
    for (int i = 0; i < 20; ++i) longChart.push_back("Konto" + std::to_string(i) + "<B> A  B");
    start({}, 0, longChart);
    show();
    EXPECT_EQ(grid.cell(0, 27), "Konto19");
    dir.writeLines("Kontenplan1.txt", chartLines());
    show();
    EXPECT_EQ(grid.cell(0, 8), "");
    EXPECT_EQ(grid.cell(0, 27), "");
}

TEST_F(OpeningBalance, EmptyChartNeverReadsTheBookings) {
    start({}, 0, {});
    std::remove("buchungen.dat");
    show();
    EXPECT_TRUE(dialogs.log.empty());
    EXPECT_EQ(grid.cell(0, 1), "");
}

TEST_F(OpeningBalance, MissingBookingsFileFailsAfterTheFirstName) {
    start();
    std::remove("buchungen.dat");
    show();
    EXPECT_EQ(dialogs.last(Kind::Failure), "Datei nicht gefunden (buchungen.dat).");
    EXPECT_EQ(grid.cell(0, 1), "Kasse");
    EXPECT_EQ(grid.cell(0, 2), "");
}

TEST_F(OpeningBalance, ChartBeyondNinetyNineLinesGrowsTheGrid) {
    std::vector<std::string> chart = chartLines();
    for (int i = 8; i <= 120; ++i) chart.push_back("Konto" + std::to_string(i) + "<B> A  B");
    start({}, 0, chart);
    show();
    ASSERT_EQ(grid.rowCount(), 121);
    EXPECT_EQ(grid.cell(0, 120), "Konto120");
    grid.cell(1, 120) = "12";
    ASSERT_TRUE(ok());
    const auto all = records();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].account[0], "Konto120");
    show();
    EXPECT_EQ(grid.cell(1, 120), "12,00");
}
