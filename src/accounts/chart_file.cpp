#include "accounts/chart_file.h"

#include "base/cp1252.h"
#include "base/text_file.h"

namespace saldorama {

std::string chart_file_name(int chart) { return "Kontenplan" + std::to_string(chart) + ".txt"; }

std::vector<AccountRecord> read_chart(int chart) {
    std::vector<AccountRecord> accounts;
    for (const auto& line : read_text_lines(chart_file_name(chart), LineEnds::CrLfOrLf))
        if (is_chart_line(line)) accounts.push_back(werte_aus(line));
    return accounts;
}

const std::string& opening_account_name() {
    static const std::string name = cp("Eröffnungsbilanzkonto");
    return name;
}

const std::string& pl_closing_account_name() {
    static const std::string name = "GuV-Konto";
    return name;
}

const std::string& balance_closing_account_name() {
    static const std::string name = "Schlussbilanzkonto";
    return name;
}

bool is_auxiliary_account(const std::string& name) {
    return name == opening_account_name() || name == pl_closing_account_name() ||
           name == balance_closing_account_name();
}

const std::string& no_chart_message() {
    static const std::string text = cp("Du hast keinen Kontenplan ausgewählt!");
    return text;
}

} // namespace saldorama
