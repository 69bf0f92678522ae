#pragma once
#include <string>
#include <vector>

#include "accounts/account_record.h"

namespace saldorama {

// "Kontenplan1.txt", "Kontenplan2.txt", ...
[[nodiscard]] std::string chart_file_name(int chart);

// Reads the chart file of `chart` (1..kChartCount) afresh, skipping lines that are no
// chart lines. Throws the I/O failure ("Datei nicht gefunden") when it cannot
// be read.
[[nodiscard]] std::vector<AccountRecord> read_chart(int chart);

// "Eröffnungsbilanzkonto" as CP1252.
[[nodiscard]] const std::string& opening_account_name();
// "GuV-Konto" and "Schlussbilanzkonto" as CP1252: the accounts a manual
// closing books against.
[[nodiscard]] const std::string& pl_closing_account_name();
[[nodiscard]] const std::string& balance_closing_account_name();
// The opening-balance account and the two closing accounts. They only carry
// the opening and the closing, so no report lists them nor counts them for a
// result class, and the opening page offers no amount for them.
[[nodiscard]] bool is_auxiliary_account(const std::string& name);
// "Du hast keinen Kontenplan ausgewählt!" as CP1252.
[[nodiscard]] const std::string& no_chart_message();

} // namespace saldorama
