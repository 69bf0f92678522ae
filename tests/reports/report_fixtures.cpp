#include "report_fixtures.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "base/cp1252.h"

namespace saldorama::test {

std::vector<AccountRecord> chart_of(const std::vector<std::string>& utf8Lines) {
    std::vector<AccountRecord> chart;
    for (const auto& line : utf8Lines) chart.push_back(werte_aus(cp(line)));
    return chart;
}

const std::vector<std::string>& standard_chart_lines() {
    static const std::vector<std::string> lines = {
        "Kasse<B> A  B",         "Bank<B> A  B",          "Darlehen<B> P  B",
        "Eigenkapital<B> P  B",  "Mieten<G> A  B",        "Zinsaufwand<G> A  N",
        "Umsatzerloese<G> E  B", "Zinsertraege<G> E  N",  "Eröffnungsbilanzkonto<V> H  N",
    };
    return lines;
}

CompanyTexts muster_company() {
    return {"Muster GmbH", "Hauptstr. 1", "12345 Musterstadt", "Anna Buch", "Bert Chef"};
}

std::vector<std::string> render_t_account(const std::vector<std::string>& soll,
                                          const std::vector<std::string>& haben) {
    std::vector<std::string> rows;
    for (std::size_t r = 0; r < soll.size() && r < haben.size(); ++r) {
        std::string row = soll[r];
        if (row.size() < 37) row.append(37 - row.size(), ' ');
        row += " | " + haben[r];
        while (!row.empty() && row.back() == ' ') row.pop_back();
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> golden_lines(const std::string& file) {
    std::ifstream in(std::string(SALDORAMA_GOLDEN_DIR) + "/" + file, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "golden file missing: " << file;
        return {};
    }
    std::ostringstream s;
    s << in.rdbuf();
    const std::string bytes = s.str();
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

namespace {

// UTF-8 for the terminal, with the line's end made visible.
std::string shown(const std::string& line) { return "\"" + cp1252_to_utf8(line) + "\""; }

} // namespace

void expect_golden(const std::string& file, const std::vector<std::string>& actual) {
    const std::vector<std::string> expected = golden_lines(file);
    if (expected == actual) return;
    std::ostringstream diff;
    diff << file << " differs (- expected, + actual):\n";
    const std::size_t n = std::max(expected.size(), actual.size());
    for (std::size_t i = 0; i < n; ++i) {
        const bool hasE = i < expected.size();
        const bool hasA = i < actual.size();
        if (hasE && hasA && expected[i] == actual[i]) {
            diff << "  " << i + 1 << "  " << shown(expected[i]) << "\n";
            continue;
        }
        if (hasE) diff << "- " << i + 1 << "  " << shown(expected[i]) << "\n";
        if (hasA) diff << "+ " << i + 1 << "  " << shown(actual[i]) << "\n";
    }
    ADD_FAILURE() << diff.str();
}

} // namespace saldorama::test
