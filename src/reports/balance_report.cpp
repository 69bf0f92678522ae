#include "reports/balance_report.h"

#include "accounts/chart_file.h"
#include "base/cp1252.h"

namespace saldorama {

namespace {

enum class Side { Left, Right };

// Only P, S and H move the statement side; A never does.
Side next_side(Side current, const std::string& side) {
    if (current == Side::Left && (side == "P" || side == "H")) return Side::Right;
    if (current == Side::Right && side == "S") return Side::Left;
    return current;
}

} // namespace

std::vector<std::string> balance_title(const CompanyTexts& company, bool manualMode) {
    const std::string title = manualMode ? cp("Saldenmitteilung für die ") : std::string("Bilanz der ");
    return {title + company.name, company.street, company.town};
}

namespace {

// The report's lines, and its figures in `figures`: one walk for both, so
// that they cannot differ.
std::vector<std::string> balance_walk(const std::vector<AccountRecord>& chart, const AccountBalances& balances,
                                      const CompanyTexts& company, bool showZeroAccounts, BalanceFigures& figures) {
    const std::string& sep = report_separator();
    std::vector<std::string> out = {"", sep, "                   Bilanz ", sep, "Aktiva", sep};

    Side statementSide = Side::Left;
    bool inProfitAndLoss = false;
    double sectionTotal = 0;
    double balanceDifference = 0;
    double carriedResult = 0;
    bool aktivaSummed = false;

    for (const auto& account : chart) {
        const Side newSide = next_side(statementSide, account.side);
        if (newSide != statementSide) {
            if (account.side == "S") {
                out.push_back(year_result_line(balanceDifference));
                sectionTotal += balanceDifference;
                carriedResult = balanceDifference;
                figures.yearResult = carriedResult;
            }
            if (account.side == "H" && carriedResult > 0 && !shows_as_zero(carriedResult)) {
                out.push_back(amount_label_line("Gewinn:", carriedResult, 37));
                sectionTotal += carriedResult;
            }
            out.push_back(sep);
            out.push_back(sum_line(sectionTotal));
            if (!aktivaSummed) figures.balanceSheetTotal = sectionTotal;
            aktivaSummed = true;
            out.push_back(sep);
            if (account.side == "P") out.push_back("Passiva:");
            if (account.side == "H") out.push_back("Haben:");
            sectionTotal = 0;
            statementSide = newSide;
        }
        if (account.plMark == "*" && !inProfitAndLoss) {
            inProfitAndLoss = true;
            out.push_back(" ");
            out.push_back("                     GuV                     ");
            out.push_back(sep);
            out.push_back("Soll:");
        }

        const double amount = balances.shownAmount(account);
        if (is_auxiliary_account(account.name)) continue;

        sectionTotal += amount;
        if (credit_side(account.side)) {
            balanceDifference -= amount;
        } else {
            balanceDifference += amount;
        }
        if (!shows_as_zero(amount) || showZeroAccounts) out.push_back(account_line(account.name, amount));
    }

    if (!aktivaSummed) figures.balanceSheetTotal = sectionTotal;
    if (carriedResult < 0 && !shows_as_zero(carriedResult)) {
        carriedResult = -carriedResult;
        out.push_back(amount_label_line("Verlust:", carriedResult, 36));
        sectionTotal += carriedResult;
    }
    out.insert(out.end(), {sep, sum_line(sectionTotal), sep, "", "", "f.d.R.: " + company.bookkeeper, "",
                           "verantw.:" + company.responsible});
    return out;
}

} // namespace

std::vector<std::string> balance_body(const std::vector<AccountRecord>& chart, const AccountBalances& balances,
                                      const CompanyTexts& company, bool showZeroAccounts) {
    BalanceFigures figures;
    return balance_walk(chart, balances, company, showZeroAccounts, figures);
}

BalanceFigures balance_figures(const std::vector<AccountRecord>& chart, const AccountBalances& balances) {
    BalanceFigures figures;
    (void)balance_walk(chart, balances, CompanyTexts{}, false, figures);
    return figures;
}

std::vector<std::string> balance_report(const std::vector<AccountRecord>& chart,
                                        const std::vector<BookingRecord>& bookings, const CompanyTexts& company,
                                        const BalanceOptions& options) {
    AccountBalances balances(chart);
    balances.addAll(bookings);
    std::vector<std::string> lines = balance_title(company, options.manualMode);
    const auto body = balance_body(chart, balances, company, options.showZeroAccounts);
    lines.insert(lines.end(), body.begin(), body.end());
    return lines;
}

} // namespace saldorama
