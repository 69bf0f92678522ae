#include "reports/account_balances.h"

#include <cstdint>
#include <cstring>

#include "accounts/chart_file.h"

namespace saldorama {

namespace {

// The length and the first and last eight bytes: enough to tell a chart's names apart.
std::size_t name_hash(std::string_view name) noexcept {
    std::uint64_t head = 0;
    std::uint64_t tail = 0;
    const std::size_t n = name.size();
    if (n >= 8) {
        std::memcpy(&head, name.data(), 8);
        std::memcpy(&tail, name.data() + n - 8, 8);
    } else {
        std::memcpy(&head, name.data(), n);
    }
    // Mixed so that every input bit reaches the low bits the table uses.
    std::uint64_t h = head ^ (tail * 0x9E3779B97F4A7C15ULL) ^ n;
    h ^= h >> 32;
    h *= 0xC2B2AE3D27D4EB4FULL;
    h ^= h >> 29;
    h *= 0x165667B19E3779F9ULL;
    h ^= h >> 32;
    return static_cast<std::size_t>(h);
}

} // namespace

const AccountBalances::Account* AccountBalances::find(std::string_view name) const noexcept {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t s = name_hash(name) & mask;; s = (s + 1) & mask) {
        const int index = slots_[s];
        if (index < 0) return nullptr;
        const Account& a = accounts_[static_cast<std::size_t>(index)];
        if (a.name == name) return &a;
    }
}

AccountBalances::Account& AccountBalances::findOrAdd(const std::string& name) {
    if (const Account* a = find(name)) return accounts_[static_cast<std::size_t>(a - accounts_.data())];
    const std::size_t mask = slots_.size() - 1;
    std::size_t s = name_hash(name) & mask;
    while (slots_[s] >= 0) s = (s + 1) & mask;
    slots_[s] = static_cast<int>(accounts_.size());
    accounts_.push_back({name});
    return accounts_.back();
}

AccountBalances::AccountBalances(const std::vector<AccountRecord>& chart) {
    // Accounts outside the chart are never asked for and count for no class.
    // At most a quarter of the slots are taken, so searches are short and
    // every one ends at an empty slot.
    std::size_t size = 16;
    while (size < 4 * chart.size() + 2) size *= 2;
    slots_.assign(size, -1);
    accounts_.reserve(chart.size());
    for (const auto& record : chart) {
        Account& a = findOrAdd(record.name);
        if (record.name.empty()) emptyName_ = true;
        // The opening and closing accounts belong to no result: a closing
        // books every result account against them.
        if (is_auxiliary_account(record.name)) continue;
        if (record.resultClass == "B") a.operating = true;
        if (record.resultClass == "N") a.neutral = true;
    }
}

namespace {
std::string_view account_of(const BookingRecord& r, std::size_t i) { return r.account[i]; }
double debit_of(const BookingRecord& r, std::size_t i) { return r.debit[i]; }
double credit_of(const BookingRecord& r, std::size_t i) { return r.credit[i]; }
std::string_view account_of(const RecordView& r, std::size_t i) { return r.account(i); }
double debit_of(const RecordView& r, std::size_t i) { return r.debit(i); }
double credit_of(const RecordView& r, std::size_t i) { return r.credit(i); }
} // namespace

void AccountBalances::add(const BookingRecord& record) { addLines(record); }
void AccountBalances::add(const RecordView& record) { addLines(record); }

template <typename Record>
void AccountBalances::addLines(const Record& record) {
    for (std::size_t i = 0; i < kBookingLines; ++i) {
        const std::string_view name = account_of(record, i);
        // An empty line names no account (unless the chart has one without a name).
        if (name.empty() && !emptyName_) continue;
        const Account* found = find(name);
        if (found == nullptr) continue;
        Account& a = accounts_[static_cast<std::size_t>(found - accounts_.data())];
        const double debit = debit_of(record, i);
        const double credit = credit_of(record, i);
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
    const Account* a = find(name);
    return a == nullptr ? 0.0 : a->balance;
}

double AccountBalances::shownAmount(const AccountRecord& account) const {
    const double amount = balance(account.name);
    return amount < 0 && credit_side(account.side) ? -amount : amount;
}

} // namespace saldorama
