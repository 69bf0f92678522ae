#include "check_fixtures.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "base/cp1252.h"

namespace saldorama::test {

using namespace saldorama::checking;

namespace {

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

void add_side(std::vector<BookingLine>& out, const std::string& text, Side side) {
    // Lines are separated by ", "; "300,50" holds no blank after its comma.
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(", ", start);
        if (end == std::string::npos) end = text.size();
        const std::string part = trimmed(text.substr(start, end - start));
        start = end + 2;
        if (part.empty()) continue;
        const auto blank = part.rfind(' ');
        out.push_back({cp(part.substr(0, blank)), side, cents_of_text(part.substr(blank + 1))});
    }
}

const char* finding_word(Finding f) {
    switch (f) {
    case Finding::Right: return "richtig";
    case Finding::Missing: return "fehlt";
    case Finding::Extra: return "zu viel";
    case Finding::Swapped: return "vertauscht";
    case Finding::WrongAmount: return "Betrag";
    case Finding::WrongAccount: return "Konto";
    case Finding::WrongDate: return "Datum";
    case Finding::WrongValue: return "Wert";
    case Finding::OtherChart: return "Kontenplan";
    }
    return "?";
}

} // namespace

std::vector<BookingLine> lines(const std::string& utf8) {
    const auto an = utf8.find(" an ");
    std::vector<BookingLine> out;
    add_side(out, utf8.substr(0, an), Side::Soll);
    if (an != std::string::npos) add_side(out, utf8.substr(an + 4), Side::Haben);
    return out;
}

ExpectedBooking expected(int number, const std::string& utf8, int exercise, const std::string& date,
                         const std::vector<std::string>& alternatives) {
    ExpectedBooking b;
    b.number = number;
    b.exercise = exercise;
    b.lines = lines(utf8);
    b.date = date;
    for (const std::string& a : alternatives) b.alternatives.push_back(lines(a));
    return b;
}

void add_cases(Solution& solution) {
    solution.cases.clear();
    for (std::size_t i = 0; i < solution.bookings.size(); ++i) {
        const ExpectedBooking& b = solution.bookings[i];
        if (i > 0 && solution.bookings[i - 1].number == b.number) {
            ExpectedCase& k = solution.cases.back();
            k.bookings.push_back(i);
            std::vector<BookingLine> all = k.effects.front();
            all.insert(all.end(), b.lines.begin(), b.lines.end());
            k.effects = {normal_form(all)};
            k.parts.push_back(normal_form(b.lines));
            continue;
        }
        ExpectedCase k;
        k.label = "Buchung " + std::to_string(b.number);
        k.exercise = b.exercise;
        k.later = b.exercise > solution.exercise;
        k.bookings = {i};
        k.date = b.date;
        k.effects = {normal_form(b.lines)};
        for (const auto& a : b.alternatives) k.effects.push_back(normal_form(a));
        k.parts = {normal_form(b.lines)};
        solution.cases.push_back(std::move(k));
    }
}

LearnerBooking mine(int number, const std::string& utf8, const std::string& date) {
    return {number, date, lines(utf8)};
}

std::string summary(const CheckResult& result, const Solution& solution, const LearnerBooks& learner) {
    std::string out;
    for (std::size_t i = 0; i < result.row_count(); ++i) {
        const CheckRow row = result.row(i);
        if (!out.empty()) out += ", ";
        if (row.earlier) out += "früher ";
        switch (row.kind) {
        case RowKind::Case:
            out += "B" + std::to_string(solution.bookings[solution.cases[row.expected].bookings.front()].number) + " " +
                   finding_word(row.finding);
            for (std::size_t k = 0; k < row.learners.size(); ++k)
                out += (k == 0 ? " L" : "+L") + std::to_string(learner.bookings[row.learners[k]].number);
            break;
        case RowKind::ControlValue:
            out += "K" + std::to_string(row.control + 1) + " " + finding_word(row.finding);
            break;
        case RowKind::ExtraBooking:
            out += "L" + std::to_string(learner.bookings[row.learner].number) + " zu viel";
            break;
        case RowKind::OtherChart:
            out += "Kontenplan";
            break;
        case RowKind::CompanyField:
            out += "F " + row.field;
            break;
        }
    }
    return out + (out.empty() ? "" : ", ") + std::to_string(result.points) + "/" + std::to_string(result.maxPoints);
}

void expect_golden_utf8(const std::string& file, const std::vector<std::string>& actual) {
    std::ifstream in(std::string(SALDORAMA_GOLDEN_DIR) + "/" + file, std::ios::binary);
    ASSERT_TRUE(in) << "golden file missing: " << file;
    std::vector<std::string> expected;
    for (std::string line; std::getline(in, line);) expected.push_back(line);
    if (expected == actual) return;
    std::ostringstream diff;
    diff << file << " differs (- expected, + actual):\n";
    for (std::size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        const bool same = i < expected.size() && i < actual.size() && expected[i] == actual[i];
        if (same) {
            diff << "  " << expected[i] << "\n";
            continue;
        }
        if (i < expected.size()) diff << "- " << expected[i] << "\n";
        if (i < actual.size()) diff << "+ " << actual[i] << "\n";
    }
    ADD_FAILURE() << diff.str();
}

} // namespace saldorama::test
