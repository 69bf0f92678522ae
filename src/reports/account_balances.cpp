#include "reports/account_balances.h"

#include "accounts/chart_file.h"

namespace saldorama {

AccountBalances::AccountBalances(const std::vector<AccountRecord>& chart) {
    // Accounts outside the chart are never asked for and count for no class.
    accounts_.reserve(chart.size());
    for (const auto& record : chart) {
        Account& a = accounts_[record.name];
        // The opening and closing accounts belong to no result: a closing
        // books every result account against them.
        if (is_auxiliary_account(record.name)) continue;
        if (record.resultClass == "B") a.operating = true;
        if (record.resultClass == "N") a.neutral = true;
    }
}

void AccountBalances::add(const BookingRecord& record) {
    for (std::size_t i = 0; i < kBookingLines; ++i) {
        const auto it = accounts_.find(record.account[i]);
        if (it == accounts_.end()) continue;
        Account& a = it->second;
        const double debit = record.debit[i];
        const double credit = record.credit[i];
        a.balance += debit;
        a.balance -= credit;
        if (a.operating) {
            operating_ -= debit;
            operating_ += credit;
        }
        if (a.neutral) {
            neutral_ -= debit;
            neutral_ += credit;
        }
    }
}

void AccountBalances::addAll(const std::vector<BookingRecord>& records) {
    for (const auto& r : records) add(r);
}

double AccountBalances::balance(const std::string& name) const {
    const auto it = accounts_.find(name);
    return it == accounts_.end() ? 0.0 : it->second.balance;
}

double AccountBalances::shownAmount(const AccountRecord& account) const {
    const double amount = balance(account.name);
    return amount < 0 && credit_side(account.side) ? -amount : amount;
}

} // namespace saldorama
