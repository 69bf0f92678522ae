#pragma once
#include <array>
#include <string>
#include <vector>

#include "base/working_files.h"

namespace saldorama {

// The company data as Edit1..Edit8 of the company page hold it: the first
// eight lines of the settings file and the first eight fields of a backup.
enum CompanyField : std::size_t {
    kCompanyName,         // Edit1; "Mentor" here opens the settings page
    kCompanyStreet,       // Edit2: street and number
    kCompanyTown,         // Edit3: postcode and town
    kCompanyBankAccount,  // Edit4
    kCompanyBankCode,     // Edit5
    kCompanyBankName,     // Edit6
    kCompanyBookkeeper,   // Edit7: responsible for the bookkeeping
    kCompanyResponsible,  // Edit8: responsible for the company
};
inline constexpr std::size_t kCompanyFields = 8;
using CompanyFields = std::array<std::string, kCompanyFields>;
// The caption of a field on the company page (CP1252), as solution files name it.
[[nodiscard]] std::string company_caption(CompanyField field);

// The 18 values of "einstellungen.txt". Texts are CP1252.
struct Settings {
    CompanyFields company;    // lines 1..8
    bool withVat = true;      // line 9, "true"/"false"
    std::string vatRate;      // line 10
    bool showZeroAccounts = false;  // line 11
    bool manualMode = false;  // line 12
    std::string yearText;     // line 13, an integer
    std::array<std::string, kChartCount> chartNames;  // lines 14..17
    int chartIndex = -1;      // line 18, -1..3 after clamping
    bool operator==(const Settings&) const = default;
};

inline constexpr std::size_t kSettingsLines = 18;
inline constexpr const char* kSettingsFileName = "einstellungen.txt";

// A yes/no line is yes exactly when it is "true".
[[nodiscard]] bool settings_flag(const std::string& line);
// Line 18 as an index clamped to -1..3 (fails like any integer line).
[[nodiscard]] int settings_chart_index(const std::string& line);

// 18 lines into a record, in file order: missing lines read as empty; lines
// 13 and 18 must be integers ("'%s' ist kein gültiger Integerwert"
// otherwise). A failing line leaves the fields before it filled in (and the
// year's text, when the year fails); the later ones keep what they held.
void read_settings_into(const std::vector<std::string>& lines, Settings& into);
// What a damaged file still says: every line taken as far as it reads; a
// number that does not read leaves what `into` held.
void read_settings_leniently(const std::vector<std::string>& lines, Settings& into);
// A record to its 18 lines.
[[nodiscard]] std::vector<std::string> settings_to_lines(const Settings& settings);

// Reads the 18 lines of the settings file (fewer lines come back as they are).
[[nodiscard]] std::vector<std::string> read_settings_lines();
// Writes the settings file atomically, CP1252 with CR LF.
void write_settings_file(const Settings& settings);

} // namespace saldorama
