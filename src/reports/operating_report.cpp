#include "reports/operating_report.h"

#include "accounts/chart_file.h"

namespace saldorama {

double BerechneGewinn(const std::vector<AccountRecord>& chart, const std::vector<BookingRecord>& bookings) {
    AccountBalances totals(chart);
    totals.addAll(bookings);
    return totals.operatingResult();
}

double BerechneNeutral(const std::vector<AccountRecord>& chart, const std::vector<BookingRecord>& bookings) {
    AccountBalances totals(chart);
    totals.addAll(bookings);
    return totals.neutralResult();
}

std::vector<std::string> operating_title(const CompanyTexts& company) {
    return {"Betriebsergebnis der " + company.name, company.street, company.town};
}

namespace {

// One half: the accounts of one class as a small profit and loss account.
// The side changes only at the first income account of the class.
void append_half(std::vector<std::string>& out, const std::vector<AccountRecord>& chart,
                 const AccountBalances& balances, const std::string& resultClass, double result,
                 bool showZeroAccounts) {
    const std::string& sep = report_separator();
    bool right = false;
    double sectionTotal = 0;
    for (const auto& account : chart) {
        if (account.resultClass != resultClass) continue;
        if (account.side == "H" && !right) {
            if (result > 0 && !shows_as_zero(result)) {
                out.push_back(amount_label_line("Gewinn:", result, 37));
                sectionTotal += result;
            }
            out.insert(out.end(), {sep, sum_line(sectionTotal), sep, "Haben:"});
            sectionTotal = 0;
            right = true;
        }
        const double amount = balances.shownAmount(account);
        if (is_auxiliary_account(account.name)) continue;
        sectionTotal += amount;
        if (!shows_as_zero(amount) || showZeroAccounts) out.push_back(account_line(account.name, amount));
    }
    if (result < 0 && !shows_as_zero(result)) {
        result = -result;
        out.push_back(amount_label_line("Verlust:", result, 36));
        sectionTotal += result;
    }
    out.insert(out.end(), {sep, sum_line(sectionTotal), sep, "", ""});
}

} // namespace

std::vector<std::string> operating_body(const std::vector<AccountRecord>& chart, const AccountBalances& balances,
                                        double operatingResult, double neutralResult, const CompanyTexts& company,
                                        bool showZeroAccounts) {
    const std::string& sep = report_separator();
    std::vector<std::string> out = {"", sep, "               Betriebsergebnis ", sep, "Soll", sep};
    append_half(out, chart, balances, "B", operatingResult, showZeroAccounts);
    out.insert(out.end(), {"", "", sep, "            Neutrales Ergebnis ", sep, "Soll", sep});
    append_half(out, chart, balances, "N", neutralResult, showZeroAccounts);
    out.insert(out.end(), {"f.d.R.: " + company.bookkeeper, "", "verantw.:" + company.responsible});
    return out;
}

std::vector<std::string> operating_report(const std::vector<AccountRecord>& chart,
                                          const std::vector<BookingRecord>& bookings, const CompanyTexts& company,
                                          bool showZeroAccounts) {
    AccountBalances balances(chart);
    balances.addAll(bookings);
    std::vector<std::string> lines = operating_title(company);
    const auto body = operating_body(chart, balances, balances.operatingResult(), balances.neutralResult(),
                                     company, showZeroAccounts);
    lines.insert(lines.end(), body.begin(), body.end());
    return lines;
}

} // namespace saldorama
