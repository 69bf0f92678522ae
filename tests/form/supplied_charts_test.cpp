// Checks the charts of accounts, the settings file and the exercises that an
// installation supplies in data/. The reports rely on the section order of a
// chart, the opening balance on the opening-balance account, and the
// exercises tell learners to type account names exactly as a chart spells them.

#include "accounts/account_record.h"
#include "base/working_files.h"
#include "exercises/solution_file.h"
#include "support/work_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#ifndef SALDORAMA_DATA_DIR
#error "SALDORAMA_DATA_DIR must name the data directory"
#endif

namespace {

// CP1252 bytes; split so that the hex escape stops after \xF6.
const std::string kOpeningAccount = "Er\xF6" "ffnungsbilanzkonto";

const std::set<std::string>& auxiliary_names()
{
    static const std::set<std::string> names = {kOpeningAccount, "GuV-Konto", "Schlussbilanzkonto"};
    return names;
}

std::string data_path(const std::string& file)
{
    return std::string(SALDORAMA_DATA_DIR) + "/" + file;
}

std::string chart_file(int n)
{
    return "Kontenplan" + std::to_string(n) + ".txt";
}

std::string exercise_file(int n)
{
    return "Aufgabe" + std::to_string(n) + ".txt";
}

// Reads a text file and splits it into lines. Every line, the last one
// included, must end in CR LF; a lone CR or LF is reported as a failure.
std::vector<std::string> crlf_lines(const std::string& file)
{
    std::ifstream in(data_path(file), std::ios::binary);
    if (!in) {
        ADD_FAILURE() << file << " cannot be opened";
        return {};
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            lines.push_back(current);
            current.clear();
            ++i;
        } else if (c == '\r' || c == '\n') {
            ADD_FAILURE() << file << " line " << lines.size() + 1 << " has a lone CR or LF";
            lines.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        ADD_FAILURE() << file << ": last line is not ended by CR LF";
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

// The exercise list shows this many characters of a line without wrapping.
constexpr std::size_t kExerciseLineMax = 72;

struct ChartLine {
    std::string text;
    saldorama::AccountRecord record;
};

std::vector<ChartLine> read_chart(int n)
{
    std::vector<ChartLine> chart;
    for (const std::string& line : crlf_lines(chart_file(n)))
        chart.push_back({line, saldorama::werte_aus(line)});
    return chart;
}

// Position of a side in the order a chart must follow.
int section_rank(const std::string& side)
{
    if (side == "A") return 0;
    if (side == "P") return 1;
    if (side == "S") return 2;
    if (side == "H") return 3;
    return -1;
}

std::set<std::string> account_names(int chart)
{
    std::set<std::string> names;
    for (const ChartLine& line : read_chart(chart))
        names.insert(line.record.name);
    return names;
}

// The chart numbers an exercise names as "Kontenplan N".
std::vector<int> named_charts(const std::vector<std::string>& lines)
{
    const std::string key = "Kontenplan ";
    std::vector<int> charts;
    for (const std::string& line : lines) {
        for (std::size_t at = line.find(key); at != std::string::npos; at = line.find(key, at + 1)) {
            const std::size_t digit = at + key.size();
            if (digit < line.size() && std::isdigit(static_cast<unsigned char>(line[digit])))
                charts.push_back(line[digit] - '0');
        }
    }
    return charts;
}

}  // namespace

TEST(SuppliedCharts, EveryLineParsesIntoAUsableAccount)
{
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(chart_file(n));
        const std::vector<ChartLine> chart = read_chart(n);
        ASSERT_GE(chart.size(), 1u);
        EXPECT_LE(chart.size(), 99u) << "the chart grids have 99 rows";
        for (const ChartLine& line : chart) {
            SCOPED_TRACE(line.text);
            const saldorama::AccountRecord& r = line.record;
            EXPECT_FALSE(r.name.empty());
            EXPECT_LE(r.name.size(), 64u);
            EXPECT_EQ(r.name.find('<'), std::string::npos);
            EXPECT_NE(line.text.find('<'), std::string::npos);
            EXPECT_GE(line.text.size(), line.text.find('>') + 6) << "class letter missing";
            const bool balance = r.balanceMark == "*";
            const bool profitLoss = r.plMark == "*";
            const bool special = r.balanceMark == "***";
            EXPECT_EQ(special, auxiliary_names().count(r.name) == 1) << "only the auxiliary accounts are special";
            EXPECT_EQ(int(balance) + int(profitLoss) + int(special), 1) << "no kind of account";
            if (balance) {
                EXPECT_TRUE(r.side == "A" || r.side == "P") << "side " << r.side;
                EXPECT_EQ(r.resultClass, "");
            }
            if (profitLoss) {
                EXPECT_TRUE(r.side == "S" || r.side == "H") << "side " << r.side;
                EXPECT_TRUE(r.resultClass == "B" || r.resultClass == "N") << r.resultClass;
            }
            EXPECT_NE(r.resultClass, "Fehler!");
        }
    }
}

TEST(SuppliedCharts, SectionsRunAssetsLiabilitiesExpensesIncome)
{
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(chart_file(n));
        int previous = 0;
        std::set<int> seen;
        for (const ChartLine& line : read_chart(n)) {
            const int rank = section_rank(line.record.side);
            // Reported once where the order breaks, not for every line after it.
            EXPECT_GE(rank, previous) << line.text << " stands after a later section";
            previous = rank;
            seen.insert(rank);
        }
        EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 3})) << "a section is missing";
    }
}

TEST(SuppliedCharts, ExpensesAndIncomeHaveOperatingAndNeutralAccounts)
{
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(chart_file(n));
        std::set<std::string> expense;
        std::set<std::string> income;
        for (const ChartLine& line : read_chart(n)) {
            if (line.record.side == "S") expense.insert(line.record.resultClass);
            if (line.record.side == "H") income.insert(line.record.resultClass);
        }
        EXPECT_EQ(expense, (std::set<std::string>{"B", "N"}));
        EXPECT_EQ(income, (std::set<std::string>{"B", "N"}));
    }
}

// The opening-balance account and the two closing accounts stand last: as
// credit-side special accounts after the income they change no report section.
TEST(SuppliedCharts, AuxiliaryAccountsCloseTheChart)
{
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(chart_file(n));
        const std::vector<ChartLine> chart = read_chart(n);
        ASSERT_GE(chart.size(), 3u);
        std::set<std::string> last;
        for (std::size_t i = chart.size() - 3; i < chart.size(); ++i) {
            last.insert(chart[i].record.name);
            EXPECT_EQ(chart[i].record.balanceMark, "***") << chart[i].text;
        }
        EXPECT_EQ(last, auxiliary_names());
    }
}

TEST(SuppliedCharts, AccountNamesAreUnique)
{
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(chart_file(n));
        std::set<std::string> names;
        for (const ChartLine& line : read_chart(n))
            EXPECT_TRUE(names.insert(line.record.name).second) << "twice: " << line.record.name;
    }
}

TEST(SuppliedCharts, EveryChartHasInputAndOutputTax)
{
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(chart_file(n));
        std::string vorsteuer;
        std::string umsatzsteuer;
        for (const ChartLine& line : read_chart(n)) {
            if (line.record.name == "Vorsteuer") vorsteuer = line.record.side;
            if (line.record.name == "Umsatzsteuer") umsatzsteuer = line.record.side;
        }
        EXPECT_EQ(vorsteuer, "A");
        EXPECT_EQ(umsatzsteuer, "P");
    }
}

// Every account carries its number of the industrial chart of accounts
// (IKR), once per chart, in the class its kind of account belongs to.
TEST(SuppliedCharts, EveryAccountHasAnIkrNumberOfItsClass)
{
    const std::map<std::string, std::string> classes = {
        {"A", "012"}, {"P", "34"}, {"S", "567"}, {"H", "5"}};
    const std::map<std::string, std::string> fixed = {
        {"Bestandsmehrungen", "5201"}, {"Bestandsminderungen", "5202"}, {"Bank", "2800"},
        {"Eigenkapital", "3000"}, {"Privat", "3001"}, {kOpeningAccount, "8000"},
        {"Schlussbilanzkonto", "8010"}, {"GuV-Konto", "8020"}};
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(chart_file(n));
        std::set<std::string> numbers;
        for (const ChartLine& line : read_chart(n)) {
            SCOPED_TRACE(line.text);
            const saldorama::AccountRecord& r = line.record;
            ASSERT_EQ(r.number.size(), 4u) << "no number";
            EXPECT_TRUE(numbers.insert(r.number).second) << "number twice";
            const bool special = r.balanceMark == "***";
            const std::string allowed = special ? "8" : classes.at(r.side);
            EXPECT_NE(allowed.find(r.number[0]), std::string::npos) << "class " << r.number[0];
            if (fixed.count(r.name)) {
                EXPECT_EQ(r.number, fixed.at(r.name));
            }
        }
    }
}

// Privat is a sub-account of equity: on the liability side, right after it.
TEST(SuppliedCharts, PrivatFollowsEquityOnTheLiabilitySide)
{
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(chart_file(n));
        const std::vector<ChartLine> chart = read_chart(n);
        std::size_t equity = chart.size();
        for (std::size_t i = 0; i < chart.size(); ++i)
            if (chart[i].record.name == "Eigenkapital") equity = i;
        ASSERT_LT(equity + 1, chart.size());
        EXPECT_EQ(chart[equity + 1].record.name, "Privat");
        EXPECT_EQ(chart[equity + 1].record.side, "P");
    }
}

TEST(SuppliedSettings, StartsAtOnceWithChartOne)
{
    const std::vector<std::string> lines = crlf_lines("einstellungen.txt");
    ASSERT_EQ(lines.size(), 18u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(lines[i], "") << "company line " << i + 1;
    EXPECT_EQ(lines[8], "true");
    EXPECT_EQ(lines[9], "19");
    EXPECT_EQ(lines[10], "false");
    EXPECT_EQ(lines[11], "false");
    EXPECT_EQ(lines[12], "2026");
    EXPECT_EQ(lines[13], "Einfach");
    EXPECT_EQ(lines[14], "Umfangreich");
    EXPECT_EQ(lines[15], "Handel");
    EXPECT_EQ(lines[16], "Industrie");
    EXPECT_EQ(lines[17], "0");
}

TEST(SuppliedExercises, TitleFitsAndOneChartIsNamed)
{
    const int count = saldorama::test::supplied_exercise_count();
    EXPECT_GE(count, 15) << "the supplied exercises";
    for (int n = 1; n <= count; ++n) {
        SCOPED_TRACE(exercise_file(n));
        const std::vector<std::string> lines = crlf_lines(exercise_file(n));
        ASSERT_FALSE(lines.empty());
        EXPECT_FALSE(lines.front().empty());
        EXPECT_LE(lines.front().size(), 60u) << "title: " << lines.front();
        for (const std::string& line : lines) {
            EXPECT_LE(line.size(), kExerciseLineMax) << line;
            EXPECT_EQ(line.find('\t'), std::string::npos) << line;
        }
        const std::vector<int> charts = named_charts(lines);
        ASSERT_EQ(charts.size(), 1u) << "\"Kontenplan N\" must occur exactly once";
        EXPECT_GE(charts.front(), 1);
        EXPECT_LE(charts.front(), saldorama::kChartCount);
    }
}

// The learner types account names exactly as a chart spells them, and the
// self-check compares them so: every account an exercise quotes or its
// solution file names must be an account of the chart the solution uses, and
// the exercise must name that chart.
TEST(SuppliedExercises, AccountsOfExerciseAndSolutionExistInTheChartTheyUse)
{
    for (int n = 1; n <= saldorama::test::supplied_exercise_count(); ++n) {
        SCOPED_TRACE(exercise_file(n));
        const saldorama::Solution solution =
            saldorama::parse_solution(saldorama::solution_file_name(n), crlf_lines(saldorama::solution_file_name(n)));
        const std::vector<std::string> lines = crlf_lines(exercise_file(n));
        EXPECT_EQ(named_charts(lines), std::vector<int>{solution.chart});
        const std::set<std::string> names = account_names(solution.chart);
        std::vector<std::string> named;
        for (const std::string& line : lines) {
            EXPECT_EQ(std::count(line.begin(), line.end(), '"') % 2, 0) << "unbalanced quote: " << line;
            for (std::size_t open = line.find('"'); open != std::string::npos;) {
                const std::size_t close = line.find('"', open + 1);
                if (close == std::string::npos) break;
                named.push_back(line.substr(open + 1, close - open - 1));
                open = line.find('"', close + 1);
            }
        }
        if (solution.opening)
            for (const auto& a : solution.opening->amounts) named.push_back(a.account);
        std::vector<const saldorama::SolutionBooking*> bookings;
        for (const auto& b : solution.bookings) bookings.push_back(&b);
        for (const auto& a : solution.alternatives) bookings.push_back(&a.booking);
        for (const auto* b : bookings)
            for (const auto& e : b->entries) named.push_back(e.account);
        for (const auto& block : solution.controls)
            for (const auto& v : block.values)
                if (v.kind == saldorama::ControlKind::AccountBalance) named.push_back(v.account);
        for (const std::string& name : named)
            EXPECT_EQ(names.count(name), 1u) << "not an account of chart " << solution.chart << ": " << name;
    }
}

// Every exercise ends by sending the learner to the check, and names the
// pages as the window shows them.
TEST(SuppliedExercises, EndWithTheCheckAndNameThePagesAsShown)
{
    const std::string check = "Pr\xFC" "fe jetzt unter \x84" "Aufgaben\x93 mit \x84Pr\xFC" "fen\x93, bevor du weiterarbeitest.";
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(exercise_file(n));
        const std::vector<std::string> lines = crlf_lines(exercise_file(n));
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), check);
        std::string text;  // the lines joined, so that a sentence may wrap
        for (const std::string& line : lines) {
            // The report's title says "Saldenmitteilung"; a text means the list of balances.
            EXPECT_EQ(line.find("Saldenmitteilung"), std::string::npos) << line;
            text += " " + line.substr(std::min(line.find_first_not_of(' '), line.size()));
        }
        // Amounts are taken with thousands dots: no text may say otherwise.
        for (std::size_t at = text.find("Tausenderpunkt"); at != std::string::npos; at = text.find("Tausenderpunkt", at + 1))
            EXPECT_EQ(text.substr(at >= 14 ? at - 14 : 0, 13), "mit oder ohne") << text.substr(at >= 40 ? at - 40 : 0, 60);
    }
}

// The start page shows the notice to every learner: it must not give away the
// teacher's access word (the README keeps it).
TEST(SuppliedNotice, DoesNotShowTheAccessWord)
{
    std::ifstream in(data_path("Wichtiger Hinweis.rtf"), std::ios::binary);
    ASSERT_TRUE(in);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(bytes.find("Mentor"), std::string::npos);
    EXPECT_NE(bytes.find("Umsatzsteuer"), std::string::npos) << "the notice says how VAT is booked";
    for (const char* topic : {"Tausenderpunkt", "Kontenplan ansehen", "Pr\\'fcfen", "Loesung1.txt"})
        EXPECT_NE(bytes.find(topic), std::string::npos) << "the notice speaks of " << topic;
}
