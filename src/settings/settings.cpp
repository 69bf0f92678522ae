#include "settings/settings.h"

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/file.h"
#include "base/numbers.h"
#include "base/text_file.h"

namespace saldorama {

bool settings_flag(const std::string& line) { return line == "true"; }

int settings_chart_index(const std::string& line) {
    const int index = text_to_int(line);
    if (index < -1) return -1;
    if (index > 3) return 3;
    return index;
}

// Where each value stands in the file, 0-based; the one place of the layout.
namespace line {
constexpr std::size_t kCompany = 0;  // kCompanyFields lines
constexpr std::size_t kWithVat = 8;
constexpr std::size_t kVatRate = 9;
constexpr std::size_t kShowZeroAccounts = 10;
constexpr std::size_t kManualMode = 11;
constexpr std::size_t kYear = 12;
constexpr std::size_t kChartNames = 13;  // kChartCount lines
constexpr std::size_t kChartIndex = kChartNames + kChartCount;
static_assert(kChartIndex + 1 == kSettingsLines);
}  // namespace line

namespace {
// A broken number names the file and its line: the learner can mend it there.
template <typename Read>
auto numbered(std::size_t at, Read read) {
    try {
        return read();
    } catch (const Failure& f) {
        fail(std::string(kSettingsFileName) + ", Zeile " + std::to_string(at + 1) + ": " + f.text());
    }
}

// The lines before the year: company data, switches and rate, taken as they are.
std::vector<std::string> read_text_settings(const std::vector<std::string>& in, Settings& s) {
    std::vector<std::string> l = in;
    l.resize(kSettingsLines);
    for (std::size_t i = 0; i < kCompanyFields; ++i) s.company[i] = l[line::kCompany + i];
    s.withVat = settings_flag(l[line::kWithVat]);
    s.vatRate = l[line::kVatRate];
    s.showZeroAccounts = settings_flag(l[line::kShowZeroAccounts]);
    s.manualMode = settings_flag(l[line::kManualMode]);
    return l;
}

} // namespace

void read_settings_into(const std::vector<std::string>& in, Settings& s) {
    const std::vector<std::string> l = read_text_settings(in, s);
    s.yearText = l[line::kYear];
    (void)numbered(line::kYear, [&] { return text_to_int(s.yearText); });
    for (std::size_t i = 0; i < s.chartNames.size(); ++i) s.chartNames[i] = l[line::kChartNames + i];
    s.chartIndex = numbered(line::kChartIndex, [&] { return settings_chart_index(l[line::kChartIndex]); });
}

void read_settings_leniently(const std::vector<std::string>& in, Settings& s) {
    const std::vector<std::string> l = read_text_settings(in, s);
    try {
        (void)text_to_int(l[line::kYear]);
        s.yearText = l[line::kYear];
    } catch (const Failure&) {
    }
    for (std::size_t i = 0; i < s.chartNames.size(); ++i) s.chartNames[i] = l[line::kChartNames + i];
    try {
        s.chartIndex = settings_chart_index(l[line::kChartIndex]);
    } catch (const Failure&) {
    }
}

std::vector<std::string> settings_to_lines(const Settings& s) {
    const auto flag = [](bool b) { return std::string(b ? "true" : "false"); };
    std::vector<std::string> l(kSettingsLines);
    for (std::size_t i = 0; i < kCompanyFields; ++i) l[line::kCompany + i] = s.company[i];
    l[line::kWithVat] = flag(s.withVat);
    l[line::kVatRate] = s.vatRate;
    l[line::kShowZeroAccounts] = flag(s.showZeroAccounts);
    l[line::kManualMode] = flag(s.manualMode);
    l[line::kYear] = s.yearText;
    for (std::size_t i = 0; i < s.chartNames.size(); ++i) l[line::kChartNames + i] = s.chartNames[i];
    l[line::kChartIndex] = std::to_string(s.chartIndex);
    return l;
}

std::string company_caption(CompanyField field) {
    static const char* const names[kCompanyFields] = {"Firmen-Name", "Straße und Nr.", "PLZ und Ort", "Konto-Nr.", "BLZ",
                                                      "Name des Instituts", "Verantwortlich für die Buchhaltung",
                                                      "Verantwortlich für das Unternehmen"};
    return cp(names[field]);
}

std::vector<std::string> read_settings_lines() {
    return read_text_lines(kSettingsFileName, LineEnds::CrLfLfOrCr);
}

void write_settings_file(const Settings& settings) {
    write_file_atomic(resolve_name(kSettingsFileName), join_crlf(settings_to_lines(settings)));
}

} // namespace saldorama
