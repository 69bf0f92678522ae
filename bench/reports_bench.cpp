// Times the four reports on a generated practice company and checks their
// text against the per-account algorithm, which is implemented here only.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "accounts/account_tests.h"
#include "accounts/chart_file.h"
#include "base/cp1252.h"
#include "base/file.h"
#include "base/numbers.h"
#include "bookings/bookings_file.h"
#include "bookings/checks.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "reports/columns.h"

namespace fs = std::filesystem;
using namespace saldorama;  // no <cstdio> printf is called unqualified below
using Lines = std::vector<std::string>;

namespace {

// ---------------------------------------------------------------- data

Lines chart_lines() {
    Lines lines;
    char buf[96];
    lines.push_back(cp("Kasse<B> A  B"));
    lines.push_back("Bank<B> A  B");
    for (int i = 3; i <= 30; ++i) {
        std::snprintf(buf, sizeof buf, "Anlage %02d<B> A  B", i);
        lines.push_back(buf);
    }
    lines.push_back("Eigenkapital<B> P  B");
    for (int i = 2; i <= 20; ++i) {
        std::snprintf(buf, sizeof buf, "Verbindlichkeit %02d<B> P  B", i);
        lines.push_back(buf);
    }
    for (int i = 1; i <= 25; ++i) {
        std::snprintf(buf, sizeof buf, "Aufwand %02d B\xFCro<G> A  %c", i, i % 3 == 0 ? 'N' : 'B');
        lines.push_back(buf);
    }
    for (int i = 1; i <= 23; ++i) {
        std::snprintf(buf, sizeof buf, "Ertrag %02d<G> E  %c", i, i % 4 == 0 ? 'N' : 'B');
        lines.push_back(buf);
    }
    lines.push_back(cp("Eröffnungsbilanzkonto<V> H  N"));
    return lines;  // 99 lines
}

std::vector<BookingRecord> make_bookings(int count, const std::vector<AccountRecord>& chart) {
    std::mt19937 rng(4711);
    std::uniform_int_distribution<int> lines(2, 5);
    std::uniform_int_distribution<std::size_t> account(0, chart.size() - 1);
    std::uniform_int_distribution<int> cents(1, 500000);
    std::vector<BookingRecord> out;
    out.reserve(static_cast<std::size_t>(count));
    for (int n = 0; n < count; ++n) {
        BookingRecord r;
        r.number = n;
        r.date = "15.03.2026";
        r.person = "Kunde " + std::to_string(n % 977);
        r.reason = "Rechnung " + std::to_string(n);
        const int k = lines(rng);
        double total = 0;
        for (int i = 1; i < k; ++i) {
            const auto s = static_cast<std::size_t>(i);
            r.account[s] = chart[account(rng)].name;
            r.credit[s] = cents(rng) / 100.0;
            total += r.credit[s];
            if (rng() % 17 == 0) {  // now and then a line with both amounts
                r.debit[s] = cents(rng) / 100.0;
                total -= r.debit[s];
            }
        }
        r.account[0] = chart[account(rng)].name;
        r.debit[0] = total;
        out.push_back(std::move(r));
    }
    return out;
}

// ------------------------------------------------- per-account algorithms

const std::string kSep(45, '-');

std::string amount_col(double amount) {
    std::string t = amount_text(amount);
    if (t.size() < 10) t.insert(0, 10 - t.size(), ' ');
    return t;
}
std::string name_col(std::string n) {
    if (n.size() < 35) n.append(35 - n.size(), ' ');
    return n;
}

// A fresh pass over the bookings file for one account.
double literal_amount(const std::string& name) {
    double amount = 0;
    bookings_scan([&](const BookingRecord& r) {
        for (std::size_t i = 0; i < kBookingLines; ++i)
            if (r.account[i] == name) {
                amount += r.debit[i];
                amount -= r.credit[i];
            }
    });
    return amount;
}

Lines literal_balance(int chartNo, const Lines& company) {
    Lines memo = {"Bilanz der " + company[0], company[1], company[2]};
    const auto chart = read_chart(chartNo);
    memo.insert(memo.end(), {"", kSep, "                   Bilanz ", kSep, "Aktiva", kSep});
    bool right = false, guv = false;
    double section = 0, diff = 0, carried = 0;
    for (const auto& a : chart) {
        bool newRight = right;
        if (a.side == "P" && !right) newRight = true;
        if (a.side == "S" && right) newRight = false;
        if (a.side == "H" && !right) newRight = true;
        if (newRight != right) {
            if (a.side == "S") {
                memo.push_back("Gewinn-/Verlustvortrag" + saldorama::printf(amount_text(diff), 22));
                section += diff;
                carried = diff;
            }
            if (a.side == "H" && carried > 0) {
                memo.push_back("Gewinn:" + saldorama::printf(amount_text(carried), 37));
                section += carried;
            }
            memo.push_back(kSep);
            memo.push_back("Summe: " + saldorama::printf(amount_text(section), 37));
            memo.push_back(kSep);
            if (a.side == "P") memo.push_back("Passiva:");
            if (a.side == "H") memo.push_back("Haben:");
            section = 0;
            right = newRight;
        }
        if (a.plMark == "*" && !guv) {
            guv = true;
            memo.insert(memo.end(), {" ", "                     GuV                     ", kSep, "Soll:"});
        }
        double amount = literal_amount(a.name);
        if (amount < 0 && (a.side == "P" || a.side == "H")) amount = -amount;
        if (a.name == opening_account_name()) continue;
        section += amount;
        if (a.side == "P" || a.side == "H") diff -= amount; else diff += amount;
        if (amount != 0 || false) memo.push_back(name_col(a.name) + amount_col(amount));
    }
    if (carried < 0) {
        carried = -carried;
        memo.push_back("Verlust:" + saldorama::printf(amount_text(carried), 36));
        section += carried;
    }
    memo.insert(memo.end(), {kSep, "Summe: " + saldorama::printf(amount_text(section), 37), kSep, "", "",
                             "f.d.R.: " + company[3], "", "verantw.:" + company[4]});
    return memo;
}

// Asks the chart file for every booking line, as the per-line lookup does.
double literal_result(int chartNo, bool operating) {
    double result = 0;
    bookings_scan([&](const BookingRecord& r) {
        for (std::size_t i = 0; i < kBookingLines; ++i) {
            // The opening and closing accounts belong to no result.
            const bool counts = !is_auxiliary_account(r.account[i]) &&
                                (operating ? IstBetrieblich(chartNo, r.account[i]) : IstNeutral(chartNo, r.account[i]));
            if (counts) {
                result -= r.debit[i];
                result += r.credit[i];
            }
        }
    });
    return result;
}

void literal_half(Lines& memo, int chartNo, const std::string& cls, double result) {
    bool right = false;
    double section = 0;
    for (const auto& a : read_chart(chartNo)) {
        if (a.resultClass != cls) continue;
        if (a.side == "H" && !right) {
            if (result > 0) {
                memo.push_back("Gewinn:" + saldorama::printf(amount_text(result), 37));
                section += result;
            }
            memo.insert(memo.end(), {kSep, "Summe: " + saldorama::printf(amount_text(section), 37), kSep, "Haben:"});
            section = 0;
            right = true;
        }
        double amount = literal_amount(a.name);
        if (amount < 0 && (a.side == "P" || a.side == "H")) amount = -amount;
        if (a.name == opening_account_name()) continue;
        section += amount;
        if (amount != 0) memo.push_back(name_col(a.name) + amount_col(amount));
    }
    if (result < 0) {
        result = -result;
        memo.push_back("Verlust:" + saldorama::printf(amount_text(result), 36));
        section += result;
    }
    memo.insert(memo.end(), {kSep, "Summe: " + saldorama::printf(amount_text(section), 37), kSep, "", ""});
}

Lines literal_operating(int chartNo, const Lines& company) {
    Lines memo = {"Betriebsergebnis der " + company[0], company[1], company[2]};
    const double gewinn = literal_result(chartNo, true);
    memo.insert(memo.end(), {"", kSep, "               Betriebsergebnis ", kSep, "Soll", kSep});
    literal_half(memo, chartNo, "B", gewinn);
    memo.push_back("");
    const double neutral = literal_result(chartNo, false);
    memo.insert(memo.end(), {"", kSep, "            Neutrales Ergebnis ", kSep, "Soll", kSep});
    literal_half(memo, chartNo, "N", neutral);
    memo.insert(memo.end(), {"f.d.R.: " + company[3], "", "verantw.:" + company[4]});
    return memo;
}

Lines literal_journal() {
    Lines memo = {"Nr.   " + printr("Datum", 9) + " " + printr("Konto", 20) + "S/H" + " " + printr("Person", 25) + " " +
                  printr("Grund", 25) + saldorama::printf("Betrag", 10)};
    bookings_scan([&](const BookingRecord& r) {
        auto line = [&](std::size_t i, const char* mark, double amount) {
            memo.push_back(printr(std::to_string(static_cast<long long>(r.number) + 1), 4) + " " + r.date + " " +
                           printr(r.account[i], 20) + mark + printr(r.person, 25) + " " + printr(r.reason, 25) +
                           saldorama::printf(amount_text(amount), 10));
        };
        for (std::size_t i = 0; i < kBookingLines; ++i)
            if (r.debit[i] != 0) line(i, " S  ", r.debit[i]);
        for (std::size_t i = 0; i < kBookingLines; ++i)
            if (r.credit[i] != 0) line(i, " H  ", r.credit[i]);
    });
    return memo;
}

// Three passes: totals, Soll entries, Haben entries. Cells as (col, row).
std::vector<std::pair<std::string, std::string>> literal_t_account(const std::string& name) {
    std::vector<std::pair<std::string, std::string>> grid(100);
    auto cell = [&](int col, int row) -> std::string& {
        if (static_cast<std::size_t>(row) >= grid.size()) grid.resize(static_cast<std::size_t>(row) + 1);
        return col == 0 ? grid[static_cast<std::size_t>(row)].first : grid[static_cast<std::size_t>(row)].second;
    };
    double debit = 0, credit = 0;
    int sollEnd = 1, habenEnd = 1;
    bookings_scan([&](const BookingRecord& r) {
        for (std::size_t i = 0; i < kBookingLines; ++i)
            if (r.account[i] == name) {
                if (r.debit[i] != 0) { debit += r.debit[i]; ++sollEnd; }
                if (r.credit[i] != 0) { credit += r.credit[i]; ++habenEnd; }
            }
    });
    const double balance = debit - credit;
    cell(0, 0) = "Nr.  " + printr("Grund", 20) + saldorama::printf("Betrag", 10);
    int row = 1;
    bookings_scan([&](const BookingRecord& r) {
        for (std::size_t i = 0; i < kBookingLines; ++i)
            if (r.account[i] == name && r.debit[i] != 0)
                cell(0, row++) = printr(std::to_string(r.number + 1), 4) + printr(r.reason, 20) +
                                 saldorama::printf(amount_text(r.debit[i]), 10);
    });
    if (balance < 0) {
        ++sollEnd;
        cell(0, row++) = "     " + printr("Schlussbestand", 20) + saldorama::printf(amount_text(-balance), 10);
        debit += -balance;
    } else if (balance > 0) {
        ++habenEnd;
    }
    cell(0, std::max(row, habenEnd)) = "Summe:" + saldorama::printf(amount_text(debit), 30);
    cell(2, 0) = "Nr. " + printr("Grund", 20) + saldorama::printf("Betrag", 10);
    row = 1;
    bookings_scan([&](const BookingRecord& r) {
        for (std::size_t i = 0; i < kBookingLines; ++i)
            if (r.account[i] == name && r.credit[i] != 0)
                cell(2, row++) = printr(std::to_string(r.number + 1), 4) + " " + printr(r.reason, 20) +
                                 saldorama::printf(amount_text(r.credit[i]), 10);
    });
    if (balance > 0) {
        cell(2, row++) = "      " + printr("Schlussbestand", 20) + saldorama::printf(amount_text(balance), 10);
        credit += balance;
    }
    cell(2, std::max(row, sollEnd)) = "Summe: " + saldorama::printf(amount_text(credit), 30);
    return grid;
}

// ---------------------------------------------------------------- timing

double seconds(const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double best_of(int runs, const std::function<void()>& f) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) best = std::min(best, seconds(f));
    return best;
}

bool mismatch = false;

// The floor is the record scan every report needs: one sequential read of
// "buchungen.dat" that decodes each record. The raw byte read is shown beside it.
void report(const char* what, double build, double scanFloor, double rawRead, double literal, bool same, bool checkTarget) {
    if (!same) mismatch = true;
    const double ratio = build / scanFloor;
    std::printf("  %-16s build %9.2f ms  floor %8.2f ms (raw read %7.2f ms)  build/floor %5.2f%s  literal %10.1f ms  %s\n",
                what, build * 1e3, scanFloor * 1e3, rawRead * 1e3, ratio,
                checkTarget ? (ratio <= 3.0 ? " (<= 3)" : " (> 3!)") : "", literal * 1e3, same ? "OK" : "MISMATCH");
}

void run_size(int count) {
    ScriptedDialogs dialogs;
    TForm1 form(dialogs);
    const Lines company = {"Muster GmbH", "Hauptstr. 1", "12345 Musterstadt", "Anna Buch", "Bert Chef"};
    form.company.Edit1.text = company[0];
    form.company.Edit2.text = company[1];
    form.company.Edit3.text = company[2];
    form.company.Edit7.text = company[3];
    form.company.Edit8.text = company[4];
    form.state.currentChart = 1;

    const Lines chartText = chart_lines();
    std::string chartBytes;
    for (const auto& l : chartText) chartBytes += l + "\r\n";
    write_file_atomic("Kontenplan1.txt", chartBytes);
    const auto chart = read_chart(1);
    bookings_replace_all(make_bookings(count, chart));

    std::printf("%d bookings (%lld bytes), chart of %zu lines\n", count,
                static_cast<long long>(fs::file_size("buchungen.dat")), chart.size());
    const bool big = count >= 100000;
    const int runs = big ? 3 : 5;
    const double rawFloor = best_of(runs, [] { (void)read_file("buchungen.dat"); });
    const double scanFloor = best_of(runs, [] { bookings_scan([](const BookingRecord&) {}); });

    {
        const double t = best_of(runs, [&] { form.balance.TabSheet5Show(); });
        Lines literal;
        const double l = seconds([&] { literal = literal_balance(1, company); });
        report("Bilanz und GuV", t, scanFloor, rawFloor, l, literal == form.balance.Memo1.lines, big);
    }
    {
        const double t = best_of(runs, [&] { form.operating.TabSheet11Show(); });
        Lines literal;
        const double l = seconds([&] { literal = literal_operating(1, company); });
        report("Betriebsergebnis", t, scanFloor, rawFloor, l, literal == form.operating.Memo4.lines, big);
    }
    {
        const double t = best_of(runs, [&] { form.journal.TabSheet6Show(); });
        Lines literal;
        const double l = seconds([&] { literal = literal_journal(); });
        report("Journal", t, scanFloor, rawFloor, l, literal == form.journal.Memo2.lines, big);
    }
    {
        form.accountSheet.TabSheet10Show();
        form.accountSheet.ListBox1.itemIndex = 0;  // Kasse
        const double t = best_of(runs, [&] { form.accountSheet.ListBox1Click(); });
        std::vector<std::pair<std::string, std::string>> literal;
        const double l = seconds([&] { literal = literal_t_account(form.accountSheet.ListBox1.items[0]); });
        const StringGrid& g = form.accountSheet.StringGrid3;
        bool same = static_cast<int>(literal.size()) == g.rowCount();
        for (int r = 0; same && r < g.rowCount(); ++r) {
            const auto& [soll, haben] = literal[static_cast<std::size_t>(r)];
            same = soll == g.cell(0, r) && haben == g.cell(2, r) && g.cell(1, r).empty();
        }
        report("Kontenblatt", t, scanFloor, rawFloor, l, same, big);
    }
    if (!dialogs.log.empty()) {
        std::printf("  unexpected box: %s\n", cp1252_to_utf8(dialogs.log.front().text).c_str());
        mismatch = true;
    }
}

} // namespace

int main(int argc, char** argv) {
    const bool quick = argc > 1 && std::string(argv[1]) == "--quick";
    std::string tmpl = (fs::temp_directory_path() / "saldorama-bench-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) return 2;
    const fs::path previous = fs::current_path();
    fs::current_path(tmpl);
    int status = 0;
    try {
        for (int count : {1000, 10000, 100000}) {
            if (quick && count > 10000) break;
            run_size(count);
        }
    } catch (const std::exception& e) {
        std::printf("failed: %s\n", cp1252_to_utf8(e.what()).c_str());
        status = 2;
    }
    fs::current_path(previous);
    fs::remove_all(tmpl);
    if (status == 0 && mismatch) status = 1;
    std::printf("%s\n", status == 0 ? "all reports identical to the per-account algorithm" : "FAILED");
    return status;
}
