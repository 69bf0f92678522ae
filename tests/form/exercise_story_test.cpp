// Plays every supplied exercise from its solution file the way a learner
// works: the company data as the exercise text gives them, the chart,
// the opening balance on its page (or booked by hand in manual mode) and every
// expected booking typed into the booking page. After each control block of a
// solution file, the values it states must be what the pages show. A mismatch
// means that the program, the exercise text or the solution file is wrong, so
// each failure names the file and the value. An exercise that builds on an
// earlier one than the one before it (a closing tried out and then undone)
// starts from the backup the learner saved after that earlier exercise.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "accounts/chart_file.h"
#include "base/cp1252.h"
#include "base/text_file.h"
#include "exercises/exercise_file.h"
#include "exercises/solution_file.h"
#include "form/form_fixtures.h"
#include "form/solution_books.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "support/work_dir.h"

using namespace saldorama;
using Kind = ScriptedDialogs::Kind;

namespace {

using Lines = std::vector<std::string>;

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// "1.200,00" or "1200,00" -> cents.
Cents cents_of(const std::string& amount) {
    Cents value = 0;
    for (const char c : amount)
        if (c >= '0' && c <= '9') value = value * 10 + (c - '0');
    return amount.starts_with("-") ? -value : value;
}

// The amount at the end of a report line: "Summe:      123,00" -> 12300.
Cents tail_amount(const std::string& line) {
    const std::string t = trim(line);
    return cents_of(t.substr(t.find_last_of(' ') + 1));
}

// A report section's profit: "Gewinn:" positive, "Verlust:" negative, else 0.
Cents result_of(const Lines& section) {
    for (const auto& l : section) {
        if (l.starts_with("Gewinn:")) return tail_amount(l);
        if (l.starts_with("Verlust:")) return -tail_amount(l);
    }
    return 0;
}

// Net effect of bookings on every account, debit positive.
std::map<std::string, Cents> net_effect(const std::vector<const SolutionBooking*>& bookings) {
    std::map<std::string, Cents> net;
    for (const auto* b : bookings)
        for (const auto& e : b->entries) net[e.account] += e.side == EntrySide::Debit ? e.amount : -e.amount;
    std::erase_if(net, [](const auto& kv) { return kv.second == 0; });
    return net;
}

// What a solution opens with: its [Eröffnung], or the accounts of the
// bookings on the opening-balance account (manual mode).
std::map<std::string, Cents> opening_of(const Solution& s) {
    std::map<std::string, Cents> out;
    if (s.opening) {
        for (const auto& a : s.opening->amounts) out[a.account] = a.amount;
        return out;
    }
    for (const auto& b : s.bookings) {
        bool opening = false;
        for (const auto& e : b.entries) opening = opening || e.account == opening_account_name();
        if (!opening) continue;
        for (const auto& e : b.entries)
            if (e.account != opening_account_name()) out[e.account] += e.amount;
    }
    return out;
}

struct ExerciseStory : ::testing::Test {
    test::WorkDir dir;
    ScriptedDialogs dialogs;
    TForm1 form{dialogs};
    int checked = 0;  // control values compared

    void SetUp() override {
        test::copy_supplied_files(dir);
        ASSERT_TRUE(form.run([&] {
            form.FormCreate({.readExercises = true, .createBookingsFile = true, .showStartPage = false});
        }));
    }

    void expectNoBoxes(const std::string& where) {
        for (const auto kind : {Kind::Notice, Kind::Failure})
            for (const auto& t : dialogs.texts(kind)) ADD_FAILURE() << where << ": box " << cp1252_to_utf8(t);
        dialogs.clear();
    }

    // The company data as the exercise text lists them ("Firmen-Name:   ...").
    void enterCompany(const Solution& s, const Lines& exercise) {
        form.run([&] { form.SpeedButton35Click(); });
        CompanyPage& c = form.company;
        Edit* edits[] = {&c.Edit1, &c.Edit2, &c.Edit3, &c.Edit4, &c.Edit5, &c.Edit6, &c.Edit7, &c.Edit8};
        for (std::size_t k = 0; k < c.captions.size(); ++k) {
            std::string field = c.captions[k].text;
            if (field.ends_with(":")) field.pop_back();
            std::string fromText;
            for (const auto& l : exercise)
                if (trim(l).starts_with(field + ": ")) fromText = trim(trim(l).substr(field.size() + 1));
            std::string expected;
            for (const auto& f : s.company)
                if (f.caption == field) expected = f.value;
            EXPECT_FALSE(fromText.empty()) << s.fileName << ": exercise text lacks " << cp1252_to_utf8(field);
            if (expected != "*") {
                EXPECT_EQ(fromText, expected) << s.fileName << ": " << cp1252_to_utf8(field);
            }
            // "dein Vor- und Nachname": the learner types their own name.
            edits[k]->text = expected == "*" ? "Lea Lernwig" : fromText;
        }
        ASSERT_TRUE(form.run([&] { c.SpeedButton32Click(); }));
        const Lines stored = read_text_lines("einstellungen.txt", LineEnds::CrLfLfOrCr);
        ASSERT_GE(stored.size(), 8u);
        for (std::size_t k = 0; k < 8; ++k) EXPECT_EQ(stored[k], edits[k]->text) << s.fileName;
    }

    void setManualMode(bool on) {
        form.settings.CheckBox3.setChecked(on);
        ASSERT_TRUE(form.run([&] { form.settings.Button2Click(); }));
        EXPECT_EQ(form.SpeedButton2.enabled, !on);
    }

    void chooseChart(int chart) {
        dialogs.answers = {true, true};
        ASSERT_TRUE(form.run([&] { form.SpeedButton23Click(); }));
        ASSERT_EQ(form.activePage(), Page::TabSheet9);
        ChartPage& page = form.chart;
        ASSERT_TRUE(form.run([&] {
            switch (chart) {
            case 1: page.SpeedButton10Click(); break;
            case 2: page.SpeedButton11Click(); break;
            case 3: page.SpeedButton12Click(); break;
            default: page.SpeedButton13Click(); break;
            }
        }));
        EXPECT_EQ(form.state.currentChart, chart);
        EXPECT_EQ(form.state.bookingCount, 0);
    }

    void enterOpening(const Solution& s) {
        form.showPage(Page::TabSheet2);
        ASSERT_TRUE(form.run([&] { form.SpeedButton2Click(); }));
        StringGrid& grid = form.opening.StringGrid2;
        for (const auto& a : s.opening->amounts) {
            int row = -1;
            for (int r = 1; r < grid.rowCount(); ++r)
                if (grid.cell(0, r) == a.account) row = r;
            ASSERT_NE(row, -1) << s.fileName << ": no row for " << cp1252_to_utf8(a.account);
            grid.cell(1, row) = cents_text(a.amount);
        }
        form.opening.Edit27.text = date_in_year(s.opening->date, form.state.bookingYear);
        ASSERT_TRUE(form.run([&] { form.opening.SpeedButton7Click(); }));
        EXPECT_EQ(form.state.bookingCount, static_cast<int>(s.opening->amounts.size())) << s.fileName;
    }

    void book(const Solution& s, const SolutionBooking& b) {
        form.showPage(Page::TabSheet2);
        ASSERT_TRUE(form.run([&] { form.SpeedButton3Click(); }));
        BookingPage& page = form.booking;
        const int before = form.state.bookingCount;
        ASSERT_TRUE(form.run([&] { page.SpeedButton8Click(); }));
        type_solution_booking(page, b);
        EXPECT_TRUE(form.run([&] { page.SpeedButton29Click(); }));
        EXPECT_EQ(form.state.bookingCount, before + 1)
            << s.fileName << " Buchung " << b.number << " was not booked: "
            << cp1252_to_utf8(dialogs.last(Kind::Failure) + dialogs.last(Kind::Notice));
    }

    Lines show(Page page, Memo& memo) {
        form.showPage(Page::TabSheet2);
        EXPECT_TRUE(form.run([&] { form.showPage(page); }));
        return memo.lines;
    }

    struct TAccount {
        Cents debitBalance = 0;  // the closing balance on the Haben side, minus one on the Soll side
        std::string sumSoll, sumHaben;
    };

    TAccount tAccount(const std::string& account) {
        form.showPage(Page::TabSheet2);
        EXPECT_TRUE(form.run([&] { form.SpeedButton6Click(); }));
        AccountSheetPage& page = form.accountSheet;
        page.ListBox1.itemIndex = -1;
        for (std::size_t k = 0; k < page.accountNames.size(); ++k)
            if (page.accountNames[k] == account) page.ListBox1.itemIndex = static_cast<int>(k);
        EXPECT_NE(page.ListBox1.itemIndex, -1) << "no account sheet for " << cp1252_to_utf8(account);
        EXPECT_TRUE(form.run([&] { page.ListBox1Click(); }));
        TAccount t;
        const StringGrid& g = page.StringGrid3;
        for (int r = 1; r < g.rowCount(); ++r) {
            const std::string soll = trim(g.cell(0, r)), haben = trim(g.cell(2, r));
            if (soll.starts_with("Summe:")) t.sumSoll = soll.substr(soll.find_last_of(' ') + 1);
            if (haben.starts_with("Summe:")) t.sumHaben = haben.substr(haben.find_last_of(' ') + 1);
            if (soll.find("Schlussbestand") != std::string::npos) t.debitBalance -= tail_amount(soll);
            if (haben.find("Schlussbestand") != std::string::npos) t.debitBalance += tail_amount(haben);
        }
        EXPECT_EQ(t.sumSoll, t.sumHaben) << cp1252_to_utf8(account) << ": the T-account does not balance";
        return t;
    }

    void expectValue(const Solution& s, const ControlValue& v, const std::string& what, Cents actual) {
        ++checked;
        EXPECT_EQ(cents_text(actual), cents_text(v.amount))
            << s.fileName << ", Zeile " << v.line << ": " << cp1252_to_utf8(what);
    }

    void check(const Solution& s, const ControlBlock& block) {
        const Lines balance = show(Page::TabSheet5, form.balance.Memo1);
        Lines sums, operating, neutral;
        for (const auto& l : balance)
            if (l.starts_with("Summe:")) sums.push_back(l);
        ASSERT_GE(sums.size(), 2u) << s.fileName;
        EXPECT_EQ(sums[0], sums[1]) << s.fileName << ": balance sheet sides differ";
        const Cents profit = result_of(balance);
        int resultLines = 0;
        for (const auto& l : balance)
            if (l.starts_with(utf8_to_cp1252("Jahresüberschuss")) || l.starts_with("Jahresfehlbetrag")) {
                ++resultLines;
                EXPECT_EQ(tail_amount(l), profit) << s.fileName;
            }
        EXPECT_EQ(resultLines, 1) << s.fileName << ": the balance sheet names the year's result once";
        bool neutralHalf = false;
        for (const auto& l : show(Page::TabSheet11, form.operating.Memo4)) {
            if (l.find("Neutrales Ergebnis") != std::string::npos) neutralHalf = true;
            (neutralHalf ? neutral : operating).push_back(l);
        }
        const std::vector<AccountRecord> chart = read_chart(s.chart);
        for (const auto& v : block.values) {
            switch (v.kind) {
            case ControlKind::AccountBalance: {
                std::string side;
                for (const auto& a : chart)
                    if (a.name == v.account) side = a.side;
                ASSERT_FALSE(side.empty()) << s.fileName << ": no account " << cp1252_to_utf8(v.account);
                const Cents debit = tAccount(v.account).debitBalance;
                expectValue(s, v, "Saldo " + v.account, side == "A" || side == "S" ? debit : -debit);
                break;
            }
            case ControlKind::BalanceSheetTotal: expectValue(s, v, "Bilanzsumme", tail_amount(sums[0])); break;
            case ControlKind::Profit: expectValue(s, v, "Gewinn", profit); break;
            case ControlKind::OperatingResult: expectValue(s, v, "Betriebsergebnis", result_of(operating)); break;
            case ControlKind::NeutralResult: expectValue(s, v, "Neutrales Ergebnis", result_of(neutral)); break;
            }
        }
        expectNoBoxes(s.fileName + " Kontrolle " + std::to_string(block.number));
    }

    // What the exercise text states must be what its solution books.
    static void expectTextMatchesSolution(const Solution& s, const Lines& exercise) {
        std::map<std::string, Cents> listed;
        const std::regex amountLine(R"re(^\s+"([^"]+)"\s+([\d.]+,\d\d)( .)?$)re");  // " €" may follow
        std::smatch m;
        for (const auto& l : exercise)
            if (std::regex_match(l, m, amountLine)) listed[m[1].str()] = cents_of(m[2].str());
        EXPECT_EQ(listed, opening_of(s)) << s.fileName << ": opening amounts of the exercise text";
        std::multiset<std::string> dates, booked;
        const std::regex date(R"(Datum: (\d\d\.\d\d\.(\d{4})?))");
        for (const auto& l : exercise)
            if (std::regex_search(l, m, date)) dates.insert(m[1].str());
        for (const auto& b : s.bookings)
            if (!b.date.empty()) booked.insert(b.date);
        if (s.opening) booked.insert(s.opening->date);
        for (const auto& d : dates) EXPECT_EQ(booked.count(d) > 0, true) << s.fileName << ": no booking dated " << d;
    }

    // "Alles Speichern" after exercise n, "Sicherung laden!" before one that
    // builds on it.
    static std::string backupName(int n) { return "aufgabe" + std::to_string(n) + ".qrx"; }
    void saveBackup(int n) {
        dialogs.fileAnswers = {backupName(n)};
        ASSERT_TRUE(form.run([&] { form.SpeedButton30Click(); }));
        dialogs.clear();
    }
    void loadBackup(int n) {
        dialogs.fileAnswers = {backupName(n)};
        dialogs.answers = {true};
        ASSERT_TRUE(form.run([&] { form.SpeedButton33Click(); }));
        expectNoBoxes("Sicherung " + backupName(n));
    }
};

} // namespace

TEST_F(ExerciseStory, EveryExerciseBookedFromItsSolutionShowsTheStatedControlValues) {
    std::map<int, int> chartOf;  // of each exercise played
    Solution s;
    const int count = test::supplied_exercise_count();
    for (int n = 1; n <= count; ++n) {
        s = read_solution(solution_file_name(n));
        ASSERT_EQ(s.exercise, n) << s.fileName;
        const Lines exercise = read_text_lines("Aufgabe" + std::to_string(n) + ".txt", LineEnds::CrLfLfOrCr);
        expectTextMatchesSolution(s, exercise);

        if (s.buildsOn) {
            // The books of exercise N continue those of an earlier one.
            ASSERT_TRUE(chartOf.contains(*s.buildsOn)) << s.fileName;
            EXPECT_EQ(s.chart, chartOf[*s.buildsOn]) << s.fileName;
            EXPECT_TRUE(s.company.empty()) << s.fileName;
            if (*s.buildsOn != n - 1) loadBackup(*s.buildsOn);
        } else {
            ASSERT_FALSE(s.company.empty()) << s.fileName << ": a new company names its data";
            enterCompany(s, exercise);
            setManualMode(s.manualMode);
            chooseChart(s.chart);
        }
        chartOf[n] = s.chart;
        if (s.opening) enterOpening(s);

        std::size_t next = 0;
        for (const auto& block : s.controls) {
            for (; next < static_cast<std::size_t>(block.afterBookings); ++next) book(s, s.bookings[next]);
            check(s, block);
        }
        for (; next < s.bookings.size(); ++next) book(s, s.bookings[next]);
        expectNoBoxes(s.fileName);
        saveBackup(n);

        // An alternative a teacher accepts books the same amounts as the
        // bookings it replaces, and leaves every account they share as they
        // do; only an account one of them alone uses may differ (a purchase
        // on the stock account instead of the expense account).
        for (const auto& alt : s.alternatives) {
            std::vector<const SolutionBooking*> replaced;
            for (const int k : alt.replaces) replaced.push_back(&s.bookings[static_cast<std::size_t>(k - 1)]);
            const auto debits = [](const std::vector<const SolutionBooking*>& bookings) {
                Cents total = 0;
                for (const auto* b : bookings)
                    for (const auto& e : b->entries) total += e.side == EntrySide::Debit ? e.amount : 0;
                return total;
            };
            const std::string where = s.fileName + " Alternative " + std::to_string(alt.booking.number);
            EXPECT_EQ(debits({&alt.booking}), debits(replaced)) << where;
            const auto mine = net_effect({&alt.booking}), theirs = net_effect(replaced);
            int shared = 0;
            for (const auto& [account, cents] : mine) {
                if (!theirs.contains(account)) continue;
                ++shared;
                EXPECT_EQ(cents, theirs.at(account)) << where << ": " << cp1252_to_utf8(account);
            }
            EXPECT_GE(shared, 1) << where << ": shares no account with what it replaces";
        }
    }
    EXPECT_GE(checked, 100);

    // Exercise 8 ends with a complete closing by hand: every account of the
    // chart stands at 0,00 and both closing accounts' T-accounts balance
    // (tAccount checks that) over what the solution books on their Soll side.
    ASSERT_TRUE(s.manualMode);
    const std::vector<AccountRecord> chart = read_chart(form.state.currentChart);
    for (const auto& a : chart) EXPECT_EQ(tAccount(a.name).debitBalance, 0) << cp1252_to_utf8(a.name);
    for (const std::string& closing : {pl_closing_account_name(), balance_closing_account_name()}) {
        Cents debit = 0;
        for (const auto& b : s.bookings)
            for (const auto& e : b.entries)
                if (e.account == closing && e.side == EntrySide::Debit) debit += e.amount;
        EXPECT_GT(debit, 0) << closing;
        EXPECT_EQ(tAccount(closing).sumSoll, cents_text(debit)) << closing;
    }
    const Lines balance = show(Page::TabSheet5, form.balance.Memo1);
    ASSERT_FALSE(balance.empty());
    EXPECT_TRUE(balance[0].starts_with(cp("Saldenmitteilung für die ")));
}
