// Plays the supplied exercises the way a learner does: the company data, the
// chart, the opening balance and every business transaction are read from the
// exercise texts and typed into the pages; afterwards the reports must show the
// control values the texts state. A mismatch means either the program or the
// exercise text is wrong, so each failure names the exercise and the value.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "support/work_dir.h"

using namespace saldorama;
using Kind = ScriptedDialogs::Kind;

namespace {

using Lines = std::vector<std::string>;

// An amount as the exercises print it ("1.200,00", "800,00") -> cents.
const char* const kAmount = R"((\d{1,3}(?:\.\d{3})+,\d\d|\d+,\d\d))";

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

std::string rtrim(const std::string& s) {
    const auto last = s.find_last_not_of(" \t");
    return last == std::string::npos ? "" : s.substr(0, last + 1);
}

long long cents(const std::string& amount) {
    long long value = 0;
    for (const char c : amount)
        if (c >= '0' && c <= '9') value = value * 10 + (c - '0');
    return value;  // always two decimals in the texts
}

// How the learner types an amount: no thousands separator, decimal comma.
std::string typed(long long c) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld,%02lld", c / 100, c % 100);
    return buf;
}

std::string signedText(long long c) { return (c < 0 ? "-" : "") + typed(c < 0 ? -c : c); }

std::string normalised(const std::string& amount) { return typed(cents(amount)); }

std::vector<std::string> allMatches(const std::string& text, const std::regex& re, int group = 1) {
    std::vector<std::string> out;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
        out.push_back((*it)[group].str());
    return out;
}

std::vector<std::string> quotedNames(const std::string& text) { return allMatches(text, std::regex("\"([^\"]+)\"")); }

std::vector<std::string> amountsIn(const std::string& text) { return allMatches(text, std::regex(kAmount)); }

int numeral(const std::string& word) {
    static const std::map<std::string, int> words = {
        {"eine", 1}, {"eins", 1}, {"zwei", 2},  {"drei", 3}, {cp("fünf"), 5}, {"vier", 4},
        {"sechs", 6}, {"sieben", 7}, {"acht", 8}, {"neun", 9}, {"zehn", 10},
    };
    const auto it = words.find(word);
    if (it != words.end()) return it->second;
    if (!word.empty() && std::isdigit(static_cast<unsigned char>(word[0]))) return std::stoi(word);
    return -1;
}

Lines readExercise(int n) {
    std::ifstream in(std::string(SALDORAMA_DATA_DIR) + "/Aufgabe" + std::to_string(n) + ".txt", std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    Lines lines;
    std::string line;
    std::istringstream stream(all.str());
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

struct EntryLine {
    std::string account;
    std::string debit;   // as typed; empty = left empty
    std::string credit;
};

struct Case {
    int number = 0;
    std::string description, date, person, reason;
    Lines accounts;  // "Konten:" without a table
    std::vector<EntryLine> lines;
    std::string irregular;  // why this case cannot be played, if it cannot
};

struct Exercise {
    int number = 0;
    Lines lines;
    int chart = 0;
    std::vector<std::pair<std::string, std::string>> fields;  // "Label:   value" lines
    std::vector<std::pair<std::string, std::string>> opening;  // account, amount as typed
    std::string openingDate;
    std::vector<Case> cases;
    std::string questions;                      // unconsumed text before "Lösungen", joined
    std::map<int, std::string> numbered;        // question number -> text
    std::map<int, std::string> solutions;       // solution number -> text
    std::string solutionText;
};

// Splits "Datum: x   Einzahler/Empfänger: y   Zahlungsgrund: z" into the case.
void readLabels(const std::string& line, Case& c) {
    const std::vector<std::pair<std::string, std::string*>> labels = {
        {"Datum:", &c.date}, {cp("Einzahler/Empfänger:"), &c.person}, {"Zahlungsgrund:", &c.reason}};
    for (const auto& [label, target] : labels) {
        const auto at = line.find(label);
        if (at == std::string::npos) continue;
        auto end = std::string::npos;
        for (const auto& [other, unused] : labels) {
            const auto o = line.find(other, at + label.size());
            if (o != std::string::npos && o < end) end = o;
        }
        const auto from = at + label.size();
        *target = trim(line.substr(from, end == std::string::npos ? std::string::npos : end - from));
    }
}

// The booking a learner forms from a case without a table, with the rules the
// exercises teach: accounts are named debit side first; with three accounts a
// sale ("Umsatzsteuer" last) puts the gross amount in the debit, every other
// case puts the two parts in the debit and their sum in the credit. A missing
// tax amount is the stated rate of the net amount.
void derive(Case& c) {
    std::vector<long long> parts;
    for (const auto& a : allMatches(c.description, std::regex(std::string(kAmount) + " \x80"))) parts.push_back(cents(a));
    std::smatch rate;
    if (c.accounts.size() == 3 && parts.size() == 1 && std::regex_search(c.description, rate, std::regex(R"((\d+) % USt)")))
        parts.push_back((parts[0] * std::stoll(rate[1].str()) + 50) / 100);
    if (c.accounts.size() == 2 && parts.size() == 1) {
        c.lines = {{c.accounts[0], typed(parts[0]), ""}, {c.accounts[1], "", typed(parts[0])}};
    } else if (c.accounts.size() == 3 && parts.size() == 2) {
        const std::string total = typed(parts[0] + parts[1]);
        if (c.accounts[2] == "Umsatzsteuer")
            c.lines = {{c.accounts[0], total, ""}, {c.accounts[1], "", typed(parts[0])}, {c.accounts[2], "", typed(parts[1])}};
        else
            c.lines = {{c.accounts[0], typed(parts[0]), ""}, {c.accounts[1], typed(parts[1]), ""}, {c.accounts[2], "", total}};
    } else {
        c.irregular = "cannot derive the booking from " + std::to_string(c.accounts.size()) + " accounts and " +
                      std::to_string(parts.size()) + " amounts";
    }
}

Exercise parse(int n) {
    Exercise ex;
    ex.number = n;
    ex.lines = readExercise(n);
    const auto& L = ex.lines;
    std::vector<bool> used(L.size(), false);
    const std::regex caseStart(R"(^\((\d+)\)\s+(.*)$)");
    const std::regex quotedLine("^\\s+\"([^\"]+)\"\\s.*\\s" + std::string(kAmount) + "$");
    const std::regex field(R"(^\s{3,}([^:"]+):\s{2,}(\S.*)$)");

    for (std::size_t i = 0; i < L.size(); ++i) {
        std::smatch m;
        if (!std::regex_match(L[i], m, caseStart)) continue;
        Case c;
        c.number = std::stoi(m[1].str());
        c.description = trim(m[2].str());
        used[i] = true;
        std::size_t sollEnd = 0, habenEnd = 0;
        bool haveDate = false;
        std::size_t j = i + 1;
        for (; j < L.size() && !L[j].empty() && L[j][0] == ' ' && !std::regex_match(L[j], caseStart); ++j) {
            used[j] = true;
            const std::string t = trim(L[j]);
            const std::string where = "Aufgabe" + std::to_string(n) + ".txt line " + std::to_string(j + 1);
            if (t.rfind("Datum:", 0) == 0) {
                readLabels(t, c);
                haveDate = true;
            } else if (t.rfind("Zahlungsgrund:", 0) == 0) {
                readLabels(t, c);
            } else if (t.rfind("Konten:", 0) == 0) {
                c.accounts = quotedNames(t);
            } else if (t.rfind("Konto ", 0) == 0 && t.find("Soll") != std::string::npos) {
                sollEnd = L[j].find("Soll") + 4;
                habenEnd = L[j].find("Haben") + 5;
            } else if (sollEnd != 0 && t.front() == '"') {
                std::smatch row;
                const std::string r = rtrim(L[j]);
                if (!std::regex_match(r, row, std::regex("^\\s+\"([^\"]+)\"\\s+" + std::string(kAmount) + "$"))) {
                    c.irregular = where + ": table line not \"Account\" amount";
                } else if (r.size() == sollEnd) {
                    c.lines.push_back({row[1].str(), row[2].str(), ""});
                } else if (r.size() == habenEnd) {
                    c.lines.push_back({row[1].str(), "", row[2].str()});
                } else {
                    c.irregular = where + ": amount ends in column " + std::to_string(r.size()) +
                                  ", neither under \"Soll\" (" + std::to_string(sollEnd) + ") nor under \"Haben\" (" +
                                  std::to_string(habenEnd) + ")";
                }
            } else if (!haveDate) {
                c.description += " " + t;
            } else {
                c.irregular = where + ": unexpected line in a transaction";
            }
        }
        i = j - 1;
        if (c.date.empty() && c.irregular.empty()) c.irregular = "no \"Datum:\" line";
        if (c.lines.empty() && c.irregular.empty()) derive(c);
        ex.cases.push_back(c);
    }

    // Opening amounts: a quoted account with an amount outside every case; the
    // last amount of the line is the one to type ("eingeben als").
    for (std::size_t i = 0; i < L.size(); ++i) {
        std::smatch m;
        const std::string r = rtrim(L[i]);
        if (used[i] || !std::regex_match(r, m, quotedLine)) continue;
        ex.opening.emplace_back(m[1].str(), m[2].str());
        used[i] = true;
    }
    for (std::size_t i = 0; i < L.size(); ++i) {
        std::smatch m;
        if (!ex.openingDate.empty() || L[i].find(cp("Eröffnung")) == std::string::npos) continue;
        if (std::regex_search(L[i], m, std::regex(R"(\d\d\.\d\d\.\d{4})"))) ex.openingDate = m[0].str();
    }
    for (std::size_t i = 0; i < L.size(); ++i) {
        std::smatch m;
        const std::string r = rtrim(L[i]);
        if (!used[i] && std::regex_match(r, m, field)) ex.fields.emplace_back(trim(m[1].str()), trim(m[2].str()));
    }
    std::smatch chart;
    for (const auto& l : L)
        if (ex.chart == 0 && std::regex_search(l, chart, std::regex(R"(Kontenplan (\d))"))) ex.chart = std::stoi(chart[1].str());

    // Questions (numbered lines plus their indented continuation) and the
    // numbered items of the "Lösungen" block.
    bool inSolutions = false;
    int current = 0;
    for (std::size_t i = 0; i < L.size(); ++i) {
        if (L[i].rfind(cp("Lösungen"), 0) == 0) inSolutions = true;
        if (used[i]) {
            current = 0;
            continue;
        }
        const std::string t = trim(L[i]);
        if (inSolutions) {
            ex.solutionText += " " + t;
            continue;
        }
        ex.questions += " " + t;
        std::smatch m;
        if (std::regex_match(L[i], m, std::regex(R"(^(\d+)\.\s+(.*)$)"))) {
            current = std::stoi(m[1].str());
            ex.numbered[current] = trim(m[2].str());
        } else if (current != 0 && !L[i].empty() && L[i][0] == ' ') {
            ex.numbered[current] += " " + t;
        } else {
            current = 0;
        }
    }
    const std::regex item(R"((?:^|; |: )(\d+)\.\s+)");
    std::vector<std::pair<int, std::pair<std::size_t, std::size_t>>> items;
    for (auto it = std::sregex_iterator(ex.solutionText.begin(), ex.solutionText.end(), item); it != std::sregex_iterator(); ++it)
        items.push_back({std::stoi((*it)[1].str()), {static_cast<std::size_t>(it->position(0)),
                                                      static_cast<std::size_t>(it->position(0) + it->length(0))}});
    for (std::size_t k = 0; k < items.size(); ++k) {
        const std::size_t end = k + 1 < items.size() ? items[k + 1].second.first : ex.solutionText.size();
        ex.solutions[items[k].first] = trim(ex.solutionText.substr(items[k].second.second, end - items[k].second.second));
    }
    return ex;
}

// ---------------------------------------------------------------------------

// The amount at the end of the first line that starts with `name` + blank.
std::string valueOf(const Lines& memo, const std::string& name) {
    for (const auto& l : memo) {
        if (l.rfind(name, 0) != 0 || l.size() <= name.size() || l[name.size()] != ' ') continue;
        const std::string r = rtrim(l);
        return r.substr(r.find_last_of(' ') + 1);
    }
    return "(no line \"" + name + "\")";
}

Lines summeValues(const Lines& memo) {
    Lines out;
    for (const auto& l : memo)
        if (l.rfind("Summe:", 0) == 0) out.push_back(trim(l.substr(6)));
    return out;
}

// The profit of a report section as a signed amount text: "Gewinn:" or -"Verlust:".
long long resultOf(const Lines& section) {
    for (const auto& l : section) {
        if (l.rfind("Gewinn:", 0) == 0) return cents(trim(l.substr(7)));
        if (l.rfind("Verlust:", 0) == 0) return -cents(trim(l.substr(8)));
    }
    return 0;
}

struct ExerciseStory : ::testing::Test {
    test::WorkDir dir;
    ScriptedDialogs dialogs;
    TForm1 form{dialogs};
    int journalAmounts = 0;  // non-zero amounts booked since the last chart change
    Lines statedChecks;      // what the texts stated and the run compared

    // A value an exercise states, against what the program shows.
    void expectStated(const std::string& what, const std::string& actual, const std::string& expected) {
        statedChecks.push_back(what + " = " + expected);
        EXPECT_EQ(actual, expected) << cp1252_to_utf8(what);
    }

    void SetUp() override {
        for (const char* f : {"einstellungen.txt", "Kontenplan1.txt", "Kontenplan3.txt"}) dir.copyFromData(f);
        for (int i = 1; i <= 8; ++i) dir.copyFromData("Aufgabe" + std::to_string(i) + ".txt");
        ASSERT_TRUE(form.run([&] { form.FormCreate({.readExercises = true, .createBookingsFile = true, .showStartPage = false}); }));
    }

    void expectNoBoxes(const Exercise& ex) {
        for (const auto kind : {Kind::Notice, Kind::Failure})
            for (const auto& t : dialogs.texts(kind)) ADD_FAILURE() << "Aufgabe" << ex.number << ": box " << cp1252_to_utf8(t);
        dialogs.clear();
    }

    void enterCompany(const Exercise& ex) {
        form.run([&] { form.SpeedButton35Click(); });
        CompanyPage& c = form.company;
        Edit* edits[] = {&c.Edit1, &c.Edit2, &c.Edit3, &c.Edit4, &c.Edit5, &c.Edit6, &c.Edit7, &c.Edit8};
        int filled = 0;
        for (const auto& [label, value] : ex.fields)
            for (std::size_t k = 0; k < c.captions.size(); ++k) {
                std::string caption = c.captions[k].text;
                if (!caption.empty() && caption.back() == ':') caption.pop_back();
                if (caption != label) continue;
                // "dein Vor- und Nachname": the learner types their own name.
                edits[k]->text = value.rfind("dein ", 0) == 0 ? "Lea Lernwig" : value;
                ++filled;
            }
        EXPECT_EQ(filled, 8) << "Aufgabe" << ex.number << ": company fields found";
        ASSERT_TRUE(form.run([&] { c.SpeedButton32Click(); }));
    }

    void chooseChart(const Exercise& ex) {
        ASSERT_GE(ex.chart, 1);
        ASSERT_LE(ex.chart, 4);
        dialogs.answers = {true, true};
        ASSERT_TRUE(form.run([&] { form.SpeedButton23Click(); }));
        ASSERT_EQ(form.activePage(), Page::TabSheet9);
        ChartPage& chart = form.chart;
        ASSERT_TRUE(form.run([&] {
            switch (ex.chart) {
            case 1: chart.SpeedButton10Click(); break;
            case 2: chart.SpeedButton11Click(); break;
            case 3: chart.SpeedButton12Click(); break;
            default: chart.SpeedButton13Click(); break;
            }
        }));
        EXPECT_EQ(form.state.currentChart, ex.chart);
        journalAmounts = 0;
    }

    void enterOpening(const Exercise& ex) {
        ASSERT_FALSE(ex.opening.empty()) << "Aufgabe" << ex.number;
        form.showPage(Page::TabSheet2);
        ASSERT_TRUE(form.run([&] { form.SpeedButton2Click(); }));
        StringGrid& grid = form.opening.StringGrid2;
        for (const auto& [account, amount] : ex.opening) {
            int row = -1;
            for (int r = 1; r < grid.rowCount(); ++r)
                if (grid.cell(0, r) == account) row = r;
            ASSERT_NE(row, -1) << "Aufgabe" << ex.number << ": no row for " << cp1252_to_utf8(account);
            grid.cell(1, row) = amount;
        }
        ASSERT_FALSE(ex.openingDate.empty());
        form.opening.Edit27.text = ex.openingDate;
        ASSERT_TRUE(form.run([&] { form.opening.SpeedButton7Click(); }));
        EXPECT_EQ(form.state.bookingCount, static_cast<int>(ex.opening.size())) << "Aufgabe" << ex.number;
        journalAmounts = 2 * static_cast<int>(ex.opening.size());
    }

    void book(const Exercise& ex) {
        form.showPage(Page::TabSheet2);
        ASSERT_TRUE(form.run([&] { form.SpeedButton3Click(); }));
        BookingPage& page = form.booking;
        for (const auto& c : ex.cases) {
            if (!c.irregular.empty()) {
                ADD_FAILURE() << "Aufgabe" << ex.number << " (" << c.number << "): " << cp1252_to_utf8(c.irregular);
                continue;
            }
            ASSERT_LE(c.lines.size(), 5u);
            const int before = form.state.bookingCount;
            ASSERT_TRUE(form.run([&] { page.SpeedButton8Click(); }));
            page.Edit14.text = c.date;
            page.Edit15.text = c.person;
            page.Edit16.text = c.reason;
            for (std::size_t k = 0; k < c.lines.size(); ++k) {
                const int i = static_cast<int>(k);
                page.accountBox(i).text = c.lines[k].account;
                page.debitField(i).text = c.lines[k].debit;
                page.creditField(i).text = c.lines[k].credit;
                journalAmounts += 1;
            }
            EXPECT_TRUE(form.run([&] { page.SpeedButton29Click(); }));
            EXPECT_EQ(form.state.bookingCount, before + 1)
                << "Aufgabe" << ex.number << " (" << c.number << ") was not booked: "
                << cp1252_to_utf8(dialogs.last(Kind::Failure) + dialogs.last(Kind::Notice));
        }
    }

    Lines show(Page page, Memo& memo) {
        form.showPage(Page::TabSheet2);
        EXPECT_TRUE(form.run([&] { form.showPage(page); }));
        return memo.lines;
    }

    // Everything the exercise states about the reports.
    void check(const Exercise& ex) {
        const std::string tag = "Aufgabe" + std::to_string(ex.number);
        const std::size_t checksBefore = statedChecks.size();
        const Lines balance = show(Page::TabSheet5, form.balance.Memo1);
        const Lines sums = summeValues(balance);
        ASSERT_GE(sums.size(), 2u) << tag;
        EXPECT_EQ(sums[0], sums[1]) << tag << ": balance sheet sides differ";
        const long long profit = resultOf(balance);
        if (profit >= 0) {
            EXPECT_EQ(valueOf(balance, "Gewinn-/Verlustvortrag"), typed(profit)) << tag;
        }

        const std::string all = ex.questions + " " + ex.solutionText;
        // "Die „Summe:“ der Aktiva ... beträgt X".
        for (const auto& v : allMatches(all, std::regex(cp("„Summe:“") + "[^\\d]*" + kAmount))) {
            expectStated(tag + ": Summe (Aktiva)", sums[0], normalised(v));
            expectStated(tag + ": Summe (Passiva)", sums[1], normalised(v));
        }
        for (const auto& v : allMatches(all, std::regex(cp("„Gewinn-/Verlustvortrag“ ist ") + kAmount)))
            expectStated(tag + ": Gewinn-/Verlustvortrag", valueOf(balance, "Gewinn-/Verlustvortrag"), normalised(v));
        for (const auto& v : allMatches(all, std::regex(cp("Gewinn beträgt ") + kAmount)))
            expectStated(tag + ": Gewinn", typed(profit), normalised(v));

        // An account named with an amount right after it ("Forderungen" 1700,00,
        // "Darlehen" hat jetzt einen Bestand von 98500,00): its report line.
        // Booking solutions ("(6) "Wareneinkauf" 250,00 und ...") are no balances.
        const std::string noBookingSolutions = std::regex_replace(all, std::regex("\\(\\d+\\) \"[^;]*;"), ";");
        const std::regex named("\"([^\"]+)\"[^\"\\d]*" + std::string(kAmount));
        int namedChecks = 0;
        for (auto it = std::sregex_iterator(noBookingSolutions.begin(), noBookingSolutions.end(), named);
             it != std::sregex_iterator(); ++it, ++namedChecks)
            expectStated(tag + ": " + (*it)[1].str(), valueOf(balance, (*it)[1].str()), normalised((*it)[2].str()));

        for (const auto& [q, text] : ex.numbered) {
            const auto sol = ex.solutions.find(q);
            const std::string where = tag + " question " + std::to_string(q);
            // A control step may state its value itself ("Sein Schlussbestand beträgt 14800,00").
            if (sol == ex.solutions.end()) {
                checkAccountSheet(text, text, where);
                checkJournal(text, text, where);
                continue;
            }
            const std::string& s = sol->second;
            const Lines amounts = amountsIn(s);
            if (text.find("Bilanzsumme?") != std::string::npos && !amounts.empty()) {
                expectStated(where + ": Bilanzsumme", sums[0], normalised(amounts[0]));
            }
            if (text.find("Wie hoch ist der Gewinn?") != std::string::npos) {
                const auto v = allMatches(s, std::regex(std::string("^(?:Gewinn )?") + kAmount));
                ASSERT_FALSE(v.empty()) << where;
                expectStated(where + ": Gewinn", typed(profit), normalised(v[0]));
            }
            if (text.find("Gewinn der GuV") != std::string::npos && !amounts.empty()) {
                expectStated(where + ": Gewinn der GuV", typed(profit), normalised(amounts.back()));
            }
            checkOperating(text, s, where);
            checkFormula(balance, text, s, where);
            checkAccountSheet(text, s, where);
            checkJournal(text, s, where);
            if (text.find(cp("Eröffnungsbuchungen sind entstanden")) != std::string::npos) {
                std::smatch m;
                ASSERT_TRUE(std::regex_search(s, m, std::regex(R"(^(\S+) Buchungen)"))) << where;
                expectStated(where + ": opening bookings", std::to_string(form.state.bookingCount), std::to_string(numeral(m[1].str())));
            }
        }
        // A text whose control values no longer parse must not pass silently.
        EXPECT_GT(statedChecks.size(), checksBefore) << tag << ": no control value found in the text";
        expectNoBoxes(ex);
    }

    void TearDown() override {
        if (std::getenv("SALDORAMA_STORY_LOG") == nullptr) return;
        for (const auto& c : statedChecks) std::printf("%s\n", cp1252_to_utf8(c).c_str());
    }

    // "Gewinn von X" / "Verlust von Y" for the operating and the neutral result.
    void checkOperating(const std::string& question, const std::string& solution, const std::string& where) {
        const bool operating = question.find("Betriebsergebnis") != std::string::npos;
        const bool neutral = question.find("neutrale Ergebnis") != std::string::npos;
        if (!operating && !neutral) return;
        std::vector<long long> stated;
        const std::regex re(std::string("(Gewinn|Verlust) von ") + kAmount);
        for (auto it = std::sregex_iterator(solution.begin(), solution.end(), re); it != std::sregex_iterator(); ++it)
            stated.push_back((*it)[1].str() == "Gewinn" ? cents((*it)[2].str()) : -cents((*it)[2].str()));
        if (stated.empty()) return;
        const Lines memo = show(Page::TabSheet11, form.operating.Memo4);
        Lines before, after;
        bool neutralPart = false;
        for (const auto& l : memo) {
            if (l.find("Neutrales Ergebnis") != std::string::npos) neutralPart = true;
            (neutralPart ? after : before).push_back(l);
        }
        std::size_t k = 0;
        if (operating) {
            expectStated(where + ": operating result", signedText(resultOf(before)), signedText(stated[k++]));
        }
        if (neutral && k < stated.size()) {
            expectStated(where + ": neutral result", signedText(resultOf(after)), signedText(stated[k]));
        }
    }

    // ("A" minus "B" minus "C") / "A" plus Gewinn minus "B": computed from the
    // balance sheet and GuV lines; the last amount of the solution is the result,
    // any earlier ones are the account values in the order named.
    void checkFormula(const Lines& balance, const std::string& question, const std::string& solution,
                      const std::string& where) {
        const std::string term = "(\"[^\"]+\"|Gewinn)";
        std::smatch m;
        if (!std::regex_search(question, m, std::regex("\"[^\"]+\"(?: (?:plus|minus) " + term + ")+"))) return;
        const std::string formula = m[0].str();
        const Lines amounts = amountsIn(solution);
        if (amounts.empty()) return;
        long long result = 0;
        std::size_t named = 0;
        const std::regex part("(^|plus |minus )" + term);
        for (auto it = std::sregex_iterator(formula.begin(), formula.end(), part); it != std::sregex_iterator(); ++it) {
            const std::string t = (*it)[2].str();
            const long long v = t == "Gewinn" ? resultOf(balance) : cents(valueOf(balance, t.substr(1, t.size() - 2)));
            if (t != "Gewinn" && named + 1 < amounts.size()) {
                expectStated(where + ": " + t, valueOf(balance, t.substr(1, t.size() - 2)), normalised(amounts[named++]));
            }
            result += (*it)[1].str() == "minus " ? -v : v;
        }
        expectStated(where + ": " + formula, typed(result), normalised(amounts.back()));
    }

    // The T-account of the account the question names.
    void checkAccountSheet(const std::string& question, const std::string& solution, const std::string& where) {
        const Lines names = quotedNames(question);
        const bool closing = question.find("Schlussbestand") != std::string::npos;
        const bool equal = question.find("Soll und Haben gleich") != std::string::npos;
        const bool counts = question.find("Wie viele Buchungen stehen im Soll") != std::string::npos;
        if (names.size() != 1 || (!closing && !equal && !counts)) return;
        form.showPage(Page::TabSheet2);
        ASSERT_TRUE(form.run([&] { form.SpeedButton6Click(); }));
        AccountSheetPage& page = form.accountSheet;
        page.ListBox1.itemIndex = -1;
        for (std::size_t k = 0; k < page.ListBox1.items.size(); ++k)
            if (page.ListBox1.items[k] == names[0]) page.ListBox1.itemIndex = static_cast<int>(k);
        ASSERT_NE(page.ListBox1.itemIndex, -1) << where;
        ASSERT_TRUE(form.run([&] { page.ListBox1Click(); }));
        const StringGrid& g = page.StringGrid3;
        std::string sumSoll, sumHaben, closingSoll, closingHaben;
        int sollRows = 0, habenRows = 0;
        for (int r = 1; r < g.rowCount(); ++r) {
            const std::string s = rtrim(g.cell(0, r)), h = rtrim(g.cell(2, r));
            const auto last = [](const std::string& x) { return x.substr(x.find_last_of(' ') + 1); };
            if (s.rfind("Summe:", 0) == 0) sumSoll = last(s);
            else if (s.find("Schlussbestand") != std::string::npos) closingSoll = last(s);
            else if (!s.empty()) ++sollRows;
            if (h.rfind("Summe:", 0) == 0) sumHaben = last(h);
            else if (h.find("Schlussbestand") != std::string::npos) closingHaben = last(h);
            else if (!h.empty()) ++habenRows;
        }
        EXPECT_FALSE(sumSoll.empty()) << where;
        EXPECT_EQ(sumSoll, sumHaben) << where << ": T-account sums";
        const Lines amounts = amountsIn(solution);
        if (equal && !amounts.empty()) {
            expectStated(where + ": T-account sums of " + names[0], sumSoll, normalised(amounts.back()));
        }
        if (closing && !amounts.empty()) {
            expectStated(where + ": Schlussbestand " + names[0], closingSoll.empty() ? closingHaben : closingSoll, normalised(amounts[0]));
            if (solution.find("im Haben") != std::string::npos) {
                EXPECT_TRUE(closingSoll.empty()) << where;
            }
            if (solution.find("im Soll") != std::string::npos) {
                EXPECT_TRUE(closingHaben.empty()) << where;
            }
        }
        std::smatch m;
        if (counts && std::regex_search(solution, m, std::regex(R"((\S+) im Soll, (\S+) im Haben)"))) {
            expectStated(where + ": debit lines of " + names[0], std::to_string(sollRows), std::to_string(numeral(m[1].str())));
            expectStated(where + ": credit lines of " + names[0], std::to_string(habenRows), std::to_string(numeral(m[2].str())));
        }
    }

    void checkJournal(const std::string& question, const std::string& solution, const std::string& where) {
        std::smatch date;
        // "Sieh dir im „Journal“ die Buchung 19 an: Warum hat sie vier Zeilen?"
        if (std::regex_search(question, date, std::regex(R"(Buchung (\d+) an: Warum hat sie (\S+) Zeilen)"))) {
            const Lines memo = show(Page::TabSheet6, form.journal.Memo2);
            int lines = 0;
            for (const auto& l : memo)
                if (l.rfind(date[1].str() + " ", 0) == 0) ++lines;
            expectStated(where + ": journal lines of booking " + date[1].str(), std::to_string(lines), std::to_string(numeral(date[2].str())));
            return;
        }
        if (question.find("Journal") == std::string::npos && question.find("Einzahler") == std::string::npos) return;
        if (!std::regex_search(question, date, std::regex(R"(\d\d\.\d\d\.\d{4})"))) return;
        const Lines memo = show(Page::TabSheet6, form.journal.Memo2);
        Lines ofDate;
        for (const auto& l : memo)
            if (l.find(" " + date[0].str() + " ") != std::string::npos) ofDate.push_back(l);
        ASSERT_FALSE(ofDate.empty()) << where;
        std::smatch m;
        if (question.find("Wie viele Zeilen") != std::string::npos &&
            std::regex_search(solution, m, std::regex(R"(^(\S+) Zeilen)"))) {
            expectStated(where + ": journal lines of " + date[0].str(), std::to_string(ofDate.size()), std::to_string(numeral(m[1].str())));
        }
        if (question.find(cp("Wie heißt der Einzahler")) != std::string::npos) {
            std::string person = solution;
            while (!person.empty() && (person.back() == ';' || person.back() == '.')) person.pop_back();
            std::size_t naming = 0;
            for (const auto& l : ofDate) naming += l.find(person) != std::string::npos ? 1 : 0;
            expectStated(where + ": journal lines of " + date[0].str() + " naming " + person, std::to_string(naming),
                         std::to_string(ofDate.size()));
        }
    }

    void expectJournalLinesPerAmount(const std::string& tag) {
        const Lines memo = show(Page::TabSheet6, form.journal.Memo2);
        EXPECT_EQ(static_cast<int>(memo.size()) - 1, journalAmounts) << tag << ": one journal line per amount";
    }
};

} // namespace

TEST_F(ExerciseStory, BikeShopThenWholesalerBalanceAsTheExercisesState) {
    std::vector<Exercise> ex;
    for (int n = 1; n <= 8; ++n) ex.push_back(parse(n));

    // Exercise 1: company data and chart.
    enterCompany(ex[0]);
    chooseChart(ex[0]);
    expectNoBoxes(ex[0]);

    // Exercise 2: opening balance; exercises 3 to 6: bookings. The solutions
    // of booked cases ("(6) "A" 250,00 und "B" 47,50 an "C" 297,50") must be
    // what the learner books.
    ASSERT_FALSE(ex[1].opening.empty()) << "opening table of Aufgabe2.txt";
    enterOpening(ex[1]);
    check(ex[1]);
    for (int n = 3; n <= 6; ++n) {
        Exercise& e = ex[static_cast<std::size_t>(n - 1)];
        EXPECT_FALSE(e.cases.empty()) << "Aufgabe" << n;
        EXPECT_TRUE(e.opening.empty()) << "Aufgabe" << n << ": quoted amount outside a transaction";
        const std::regex bookingSolution("\\((\\d+)\\) (\"[^;]*);");
        for (auto it = std::sregex_iterator(e.solutionText.begin(), e.solutionText.end(), bookingSolution);
             it != std::sregex_iterator(); ++it) {
            const int number = std::stoi((*it)[1].str());
            std::vector<EntryLine> solution;
            bool credit = false;
            const std::string text = (*it)[2].str();
            const std::regex token("(an )?\"([^\"]+)\" " + std::string(kAmount));
            for (auto t = std::sregex_iterator(text.begin(), text.end(), token); t != std::sregex_iterator(); ++t) {
                credit = credit || (*t)[1].matched;
                const std::string a = normalised((*t)[3].str());
                solution.push_back({(*t)[2].str(), credit ? "" : a, credit ? a : ""});
            }
            for (const auto& c : e.cases) {
                if (c.number != number) continue;
                ASSERT_EQ(c.lines.size(), solution.size()) << "Aufgabe" << n << " (" << number << ")";
                for (std::size_t k = 0; k < solution.size(); ++k) {
                    const auto booked = [](const EntryLine& l) { return l.account + " S " + l.debit + " H " + l.credit; };
                    expectStated("Aufgabe" + std::to_string(n) + " (" + std::to_string(number) + ") line " +
                                     std::to_string(k + 1) + " as booked",
                                 booked(c.lines[k]), booked(solution[k]));
                }
            }
        }
        book(e);
        check(e);
    }
    expectJournalLinesPerAmount("Aufgabe6");

    // Exercise 7: the wholesaler on chart 3, then the read-only exercise 8.
    enterCompany(ex[6]);
    chooseChart(ex[6]);
    ASSERT_FALSE(ex[6].opening.empty()) << "opening list of Aufgabe7.txt";
    enterOpening(ex[6]);
    book(ex[6]);
    check(ex[6]);
    check(ex[7]);
    expectJournalLinesPerAmount("Aufgabe8");

    // The report carries the company data typed in exercise 7.
    const Lines balance = show(Page::TabSheet5, form.balance.Memo1);
    ASSERT_FALSE(balance.empty());
    for (const auto& [label, value] : ex[6].fields) {
        if (label != "Firmen-Name") continue;
        EXPECT_EQ(balance[0], "Bilanz der " + value);
    }
}
