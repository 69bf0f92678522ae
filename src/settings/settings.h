#pragma once
#include <array>
#include <string>
#include <vector>

namespace saldorama {

// The 18 values of "einstellungen.txt", in file order. Texts are CP1252.
struct Settings {
    std::string companyName, street, postcodeTown, bankAccount, bankCode, bankName,
        responsibleBookkeeping, responsibleCompany;
    bool withVat = true;
    std::string vatRate;
    bool showZeroAccounts = false;
    bool manualMode = false;
    std::string yearText;
    std::array<std::string, 4> chartNames;
    int chartIndex = -1;  // -1..3 after clamping
    bool operator==(const Settings&) const = default;
};

inline constexpr int kSettingsLines = 18;
inline constexpr const char* kSettingsFileName = "einstellungen.txt";

// A yes/no line is yes exactly when it is "true".
[[nodiscard]] bool settings_flag(const std::string& line);
// Line 18 as an index clamped to -1..3 (fails like any integer line).
[[nodiscard]] int settings_chart_index(const std::string& line);

// 18 lines to a record: missing lines read as empty; lines 13 and 18 must be
// integers ("'%s' ist kein gültiger Integerwert" otherwise).
[[nodiscard]] Settings settings_from_lines(const std::vector<std::string>& lines);
// A record to its 18 lines.
[[nodiscard]] std::vector<std::string> settings_to_lines(const Settings& settings);

// Reads the 18 lines of the settings file (fewer lines come back as they are).
[[nodiscard]] std::vector<std::string> read_settings_lines();
// Writes the settings file atomically, CP1252 with CR LF.
void write_settings_file(const Settings& settings);

} // namespace saldorama
