// Faults from outside the program: a write-protected folder, missing files,
// big files and texts at and beyond their limits. Each gives a German message
// where one is due and the program goes on.
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "base/file.h"
#include "bookings/bookings_file.h"
#include "bookings/checks.h"
#include "form/form_fixtures.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "support/work_dir.h"

using namespace saldorama;
using Kind = ScriptedDialogs::Kind;

namespace {

struct OutsideFaults : ::testing::Test {
    test::WorkDir dir;
    ScriptedDialogs dialogs;
    TForm1 form{dialogs};

    ~OutsideFaults() override {
        fault::clear();
        ::chmod(dir.path().c_str(), 0755);
    }
    void start(int chartIndex = 0) {
        dir.writeSettings(chartIndex, "2026");
        ASSERT_TRUE(form.run([&] { form.FormCreate({.readExercises = false, .showStartPage = false}); }));
        dialogs.clear();
    }
    // As a button does it: the page's show handler runs even if it was shown.
    bool show(Page page) {
        form.showPage(Page::TabSheet2);
        return form.run([&] { form.showPage(page); });
    }
    void chart(const std::vector<std::string>& lines) const { dir.writeLines("Kontenplan1.txt", lines); }
    bool book(const std::string& debitAccount, const std::string& creditAccount, const std::string& amount) {
        return test::book_two_lines(form, "0102", debitAccount, creditAccount, amount);
    }
};

} // namespace

TEST_F(OutsideFaults, WriteProtectedFolderKeepsTheSettingsAndSaysSo) {
    chart({"Kasse<B> A  B", "Bank<B> A  B"});
    start();
    const std::string before = dir.read("einstellungen.txt");
    form.company.Edit1.text = "Neu";
    if (::geteuid() != 0) {
        ::chmod(dir.path().c_str(), 0555);
    } else {
        fault::fail_nth_operation(1, EROFS);  // root writes anywhere; the disk says no instead
    }
    EXPECT_FALSE(form.run([&] { form.company.SpeedButton32Click(); }));
    EXPECT_EQ(dialogs.last(Kind::Failure), ::geteuid() != 0 ? cp("Keine Berechtigung für einstellungen.txt.")
                                                            : cp("Der Datenträger ist schreibgeschützt (einstellungen.txt)."));
    EXPECT_EQ(dir.read("einstellungen.txt"), before);
    // The program goes on: the bookings file itself is still writable.
    fault::clear();
    show(Page::TabSheet4);
    EXPECT_TRUE(book("Kasse", "Bank", "5"));
    EXPECT_EQ(form.state.bookingCount, 1);
}

TEST_F(OutsideFaults, MissingChartFileStopsEachPageWithItsMessage) {
    start(1);  // chart 2, whose file is missing
    for (Page page : {Page::TabSheet3, Page::TabSheet5, Page::TabSheet11, Page::TabSheet10}) {
        dialogs.clear();
        EXPECT_FALSE(form.run([&] { form.showPage(page); }));
        EXPECT_EQ(dialogs.last(Kind::Failure), "Datei nicht gefunden (Kontenplan2.txt).");
    }
    // Leaving an account box: the check cannot read the chart either.
    show(Page::TabSheet4);
    form.booking.ComboBox1.text = "Kasse";
    EXPECT_FALSE(form.run([&] { form.booking.ComboBox1Exit(); }));
    // The report pages keep their title lines.
    show(Page::TabSheet5);
    EXPECT_EQ(form.balance.Memo1.lines.at(0), "Bilanz der Muster GmbH");
}

TEST_F(OutsideFaults, AHundredThousandBookingsAreCountedShownAndReported) {
    chart({"Kasse<B> A  B", "Bank<B> A  B", "Umsatz<G> E  B"});
    std::vector<BookingRecord> all(100000);
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i].number = static_cast<std::int32_t>(i);
        all[i].date = "01.02.2026";
        all[i].account = {"Kasse", "Umsatz", "", "", ""};
        all[i].debit[0] = 1.25;
        all[i].credit[1] = 1.25;
    }
    bookings_replace_all(all);
    start();
    EXPECT_EQ(form.state.bookingCount, 100000);
    show(Page::TabSheet4);
    EXPECT_EQ(form.booking.Label26.text, "100000");
    form.run([&] { form.booking.SpeedButton9Click(); });
    EXPECT_EQ(form.booking.Label26.text, "1");
    show(Page::TabSheet5);
    const auto& lines = form.balance.Memo1.lines;
    EXPECT_NE(std::find(lines.begin(), lines.end(), std::string("Kasse") + std::string(31, ' ') + "125000,00"), lines.end());
    EXPECT_TRUE(dialogs.log.empty());
}

TEST_F(OutsideFaults, ChartsLongerThan99LinesAreListedWhole) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 150; ++i) lines.push_back("Konto " + std::to_string(i) + "<B> A  B");
    chart(lines);
    start();
    form.run([&] { form.chart.SpeedButton10Click(); });
    EXPECT_EQ(form.chart.StringGrid1.rowCount(), 151);
    EXPECT_EQ(form.chart.StringGrid1.cell(0, 150), "Konto 150");
    form.run([&] { form.showPage(Page::TabSheet3); });
    EXPECT_EQ(form.opening.StringGrid2.cell(0, 150), "Konto 150");
    show(Page::TabSheet4);
    EXPECT_EQ(form.booking.ComboBox5.items.size(), 150u);
    form.run([&] { form.showPage(Page::TabSheet10); });
    EXPECT_EQ(form.accountSheet.ListBox1.items.size(), 150u);
    EXPECT_TRUE(dialogs.log.empty());
}

TEST_F(OutsideFaults, TextsAreCutAtTheirLimitsAndNamesMatchAfterTheCut) {
    const std::string name64(64, 'K');
    chart({name64 + "xyz<B> A  B", "Bank<B> A  B"});
    start();
    show(Page::TabSheet4);
    ASSERT_EQ(form.booking.ComboBox1.items.at(0), name64);
    form.run([&] { form.booking.SpeedButton8Click(); });
    form.booking.Edit14.text = "01.02.2026";
    form.booking.Edit15.text = std::string(50, 'p') + "zu viel";
    form.booking.Edit16.text = std::string(51, 'r');
    form.booking.ComboBox1.text = name64 + "xyz";
    form.booking.Edit17.text = "1";
    form.booking.ComboBox2.text = "Bank";
    form.booking.Edit20.text = "1";
    ASSERT_TRUE(form.run([&] { form.booking.SpeedButton29Click(); }));
    const BookingRecord stored = bookings_read(1);
    EXPECT_EQ(stored.person, std::string(50, 'p'));
    EXPECT_EQ(stored.reason, std::string(50, 'r'));
    EXPECT_EQ(stored.account[0], name64);
    // The cut name is the account's name: its balance shows in the report.
    show(Page::TabSheet5);
    const auto& lines = form.balance.Memo1.lines;
    EXPECT_NE(std::find(lines.begin(), lines.end(), name64 + "      1,00"), lines.end());
}

TEST_F(OutsideFaults, DateOfElevenCharactersIsNotAccepted) {
    chart({"Kasse<B> A  B", "Bank<B> A  B"});
    start();
    show(Page::TabSheet4);
    form.run([&] { form.booking.SpeedButton8Click(); });
    form.booking.Edit14.text = "01.02.20261";
    form.booking.ComboBox1.text = "Kasse";
    form.booking.Edit17.text = "1";
    form.booking.ComboBox2.text = "Bank";
    form.booking.Edit20.text = "1";
    ASSERT_TRUE(form.run([&] { form.booking.SpeedButton29Click(); }));
    EXPECT_EQ(dialogs.last(Kind::Notice), date_refusal("01.02.20261"));
    EXPECT_EQ(bookings_count(), 0);
}

TEST_F(OutsideFaults, TrailingFragmentIsNeitherCountedNorReportedAndIsOverwritten) {
    chart({"Kasse<B> A  B", "Bank<B> A  B"});
    BookingRecord r;
    r.account = {"Kasse", "Bank", "", "", ""};
    r.debit[0] = 7;
    r.credit[1] = 7;
    bookings_replace_all({r});
    dir.write("buchungen.dat", dir.read("buchungen.dat") + std::string(44, '\x7f'));
    start();
    EXPECT_EQ(form.state.bookingCount, 1);
    form.run([&] { form.showPage(Page::TabSheet6); });
    EXPECT_EQ(form.journal.Memo2.lines.size(), 3u);  // heading, one debit, one credit line
    show(Page::TabSheet4);
    ASSERT_TRUE(book("Kasse", "Bank", "2"));
    EXPECT_EQ(dir.read("buchungen.dat").size(), 2 * kRecordSize);
    EXPECT_EQ(bookings_read(2).debit[0], 2.0);
}
