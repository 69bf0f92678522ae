#pragma once
#include <cstdint>
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
    // The amount a report shows for the account on its own side: debit minus
    // credit on A and S, credit minus debit on P and H, whatever the sign (a
    // refund claim left on a liability shows negative under Passiva).
    [[nodiscard]] double shownAmount(const AccountRecord& account) const;
    [[nodiscard]] double operatingResult() const noexcept { return operating_; }
    [[nodiscard]] double neutralResult() const noexcept { return neutral_; }

private:
    // A name as the lookup compares it: its length and its first 24 bytes,
    // zero after the name. Longer names compare the rest through `name`.
    struct Key {
        std::uint64_t word[3] = {};
        std::uint64_t length = 0;
    };
    struct Account {
        std::string name;
        Key key;
        double balance = 0;
        bool operating = false;
        bool neutral = false;
    };
    // The results are the caller's locals, kept in registers over a record.
    void addLine(std::size_t found, double debit, double credit, double& operating, double& neutral) noexcept;
    [[nodiscard]] static Key keyOf(std::string_view name) noexcept;
    // The key of a name standing in a stored record's account field, which
    // may be read in whole words: no copy, no branch on the name's length.
    [[nodiscard]] static Key keyOfField(const char* field, std::size_t length) noexcept;
    // The chart's accounts in an open-addressed table of their own: this
    // lookup is most of the work of every report. Gives an index into
    // accounts_, kNone for a name the table lacks.
    static constexpr std::size_t kNone = ~std::size_t{0};
    [[nodiscard]] std::size_t homeSlot(const Key& key) const noexcept;
    [[nodiscard]] std::size_t find(const Key& key, const char* name) const noexcept;
    [[nodiscard]] std::size_t find(std::string_view name) const noexcept { return find(keyOf(name), name.data()); }
    std::size_t findOrAdd(const std::string& name);
    std::vector<Account> accounts_;
    std::vector<int> slots_;  // index into accounts_, -1 for an empty slot
    int shift_ = 0;           // 64 minus the bits of a slot number
    std::size_t sink_ = 0;    // where lines without a chart account go
    bool emptyName_ = false;  // the chart has an account without a name
    double operating_ = 0;
    double neutral_ = 0;
};

} // namespace saldorama
