#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "accounts/account_record.h"
#include "bookings/booking_record.h"

namespace saldorama {

// What the balance and operating reports need from the bookings, gathered in
// one pass with one lookup per booking line:
// - the debit balance of every account of the chart. Per account the
//   additions run in the order of a separate pass for that account alone
//   (records in file order, lines 1 to 5, the debit added and then the credit
//   subtracted), so every sum is bit for bit the same;
// - the operating and the neutral result: for every line whose account the
//   chart knows with class "B" (respectively "N"; any chart line of that name
//   will do), the debit subtracted and then the credit added, in file order.
//   The opening and closing accounts count for neither class.
class AccountBalances {
public:
    explicit AccountBalances(const std::vector<AccountRecord>& chart);

    void add(const BookingRecord& record);
    void add(const RecordView& record);
    void addAll(const std::vector<BookingRecord>& records);

    // 0 for a name without booking lines.
    [[nodiscard]] double balance(const std::string& name) const;
    // The amount a report shows for the account: its balance, turned positive
    // when negative on a credit side (P or H).
    [[nodiscard]] double shownAmount(const AccountRecord& account) const;
    [[nodiscard]] double operatingResult() const noexcept { return operating_; }
    [[nodiscard]] double neutralResult() const noexcept { return neutral_; }

private:
    struct Account {
        std::string name;
        double balance = 0;
        bool operating = false;
        bool neutral = false;
    };
    template <typename Record>
    void addLines(const Record& record);
    // The chart's accounts in an open-addressed table of its own, looked up
    // by the name as it stands in the record, without a copy: this lookup is
    // most of the work of every report.
    [[nodiscard]] const Account* find(std::string_view name) const noexcept;
    Account& findOrAdd(const std::string& name);
    std::vector<Account> accounts_;
    std::vector<int> slots_;  // index into accounts_, -1 for an empty slot
    bool emptyName_ = false;
    double operating_ = 0;
    double neutral_ = 0;
};

} // namespace saldorama
