#include "settings/settings.h"

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

Settings settings_from_lines(const std::vector<std::string>& in) {
    std::vector<std::string> l = in;
    l.resize(kSettingsLines);
    Settings s;
    s.companyName = l[0];
    s.street = l[1];
    s.postcodeTown = l[2];
    s.bankAccount = l[3];
    s.bankCode = l[4];
    s.bankName = l[5];
    s.responsibleBookkeeping = l[6];
    s.responsibleCompany = l[7];
    s.withVat = settings_flag(l[8]);
    s.vatRate = l[9];
    s.showZeroAccounts = settings_flag(l[10]);
    s.manualMode = settings_flag(l[11]);
    s.yearText = l[12];
    (void)text_to_int(s.yearText);
    for (int i = 0; i < 4; ++i) s.chartNames[static_cast<std::size_t>(i)] = l[static_cast<std::size_t>(13 + i)];
    s.chartIndex = settings_chart_index(l[17]);
    return s;
}

std::vector<std::string> settings_to_lines(const Settings& s) {
    const auto flag = [](bool b) { return std::string(b ? "true" : "false"); };
    return {s.companyName, s.street, s.postcodeTown, s.bankAccount, s.bankCode, s.bankName,
            s.responsibleBookkeeping, s.responsibleCompany, flag(s.withVat), s.vatRate,
            flag(s.showZeroAccounts), flag(s.manualMode), s.yearText, s.chartNames[0],
            s.chartNames[1], s.chartNames[2], s.chartNames[3], std::to_string(s.chartIndex)};
}

std::vector<std::string> read_settings_lines() {
    return read_text_lines(kSettingsFileName, LineEnds::CrLfLfOrCr);
}

void write_settings_file(const Settings& settings) {
    write_file_atomic(resolve_name(kSettingsFileName), join_crlf(settings_to_lines(settings)));
}

} // namespace saldorama
