#include "reports/account_balances.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "accounts/chart_file.h"
#include "base/bits.h"

namespace saldorama {

namespace {

std::uint64_t load_word(const char* p) noexcept {
    std::uint64_t w = 0;
    std::memcpy(&w, p, 8);
    return w;
}

// The bytes of a loaded word that belong to a name with `n` of its bytes in
// the word (0 to 8), in memory order.
constexpr std::array<std::uint64_t, 9> kKeep = [] {
    std::array<std::uint64_t, 9> keep{};
    for (int n = 0; n <= 8; ++n) {
        std::uint64_t m = 0;
        for (int b = 0; b < n; ++b) {
            const int shift = std::endian::native == std::endian::little ? 8 * b : 8 * (7 - b);
            m |= std::uint64_t{0xFF} << shift;
        }
        keep[static_cast<std::size_t>(n)] = m;
    }
    return keep;
}();

std::size_t bytes_in_word(std::size_t length, std::size_t word) noexcept {
    const std::size_t before = 8 * word;
    const std::size_t rest = length > before ? length - before : 0;
    return rest < 8 ? rest : 8;
}

// `yes ? a : b` through the bits, so the compiler does not branch on `yes`.
double pick(bool yes, double a, double b) noexcept {
    const std::uint64_t keep = 0 - static_cast<std::uint64_t>(yes);
    return bits_double((double_bits(a) & keep) | (double_bits(b) & ~keep));
}

} // namespace

AccountBalances::Key AccountBalances::keyOf(std::string_view name) noexcept {
    char head[24] = {};
    std::memcpy(head, name.data(), name.size() < 24 ? name.size() : 24);
    return {{load_word(head), load_word(head + 8), load_word(head + 16)}, name.size()};
}

AccountBalances::Key AccountBalances::keyOfField(const char* field, std::size_t length) noexcept {
    static_assert(kAccountMax >= 24);
    Key key{{}, length};
    for (std::size_t w = 0; w < 3; ++w) key.word[w] = load_word(field + 8 * w) & kKeep[bytes_in_word(length, w)];
    return key;
}

inline std::size_t AccountBalances::homeSlot(const Key& key) const noexcept {
    // Multiplying moves every bit of the key into the high bits that number the slot.
    const std::uint64_t mixed = key.word[0] ^ std::rotl(key.word[1], 21) ^ std::rotl(key.word[2], 42) ^ key.length;
    return static_cast<std::size_t>((mixed * 0x9E3779B97F4A7C15ULL) >> shift_);
}

inline std::size_t AccountBalances::find(const Key& key, const char* name) const noexcept {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t s = homeSlot(key);; s = (s + 1) & mask) {
        const int index = slots_[s];
        if (index < 0) return kNone;
        const Account& a = accounts_[static_cast<std::size_t>(index)];
        const std::uint64_t differ = (a.key.word[0] ^ key.word[0]) | (a.key.word[1] ^ key.word[1]) |
                                     (a.key.word[2] ^ key.word[2]) | (a.key.length ^ key.length);
        if (differ == 0 && (key.length <= 24 || std::memcmp(a.name.data() + 24, name + 24,
                                                            static_cast<std::size_t>(key.length - 24)) == 0))
            return static_cast<std::size_t>(index);
    }
}

std::size_t AccountBalances::findOrAdd(const std::string& name) {
    if (const std::size_t found = find(name); found != kNone) return found;
    const Key key = keyOf(name);
    const std::size_t mask = slots_.size() - 1;
    std::size_t s = homeSlot(key);
    while (slots_[s] >= 0) s = (s + 1) & mask;
    slots_[s] = static_cast<int>(accounts_.size());
    accounts_.push_back({name, key});
    return accounts_.size() - 1;
}

AccountBalances::AccountBalances(const std::vector<AccountRecord>& chart) {
    // At most a quarter of the slots are taken, so searches are short and
    // every one ends at an empty slot.
    std::size_t size = 16;
    shift_ = 60;
    while (size < 8 * (chart.size() + 1)) {
        size *= 2;
        --shift_;
    }
    slots_.assign(size, -1);
    accounts_.reserve(chart.size() + 1);
    for (const auto& record : chart) {
        Account& a = accounts_[findOrAdd(record.name)];
        if (record.name.empty()) emptyName_ = true;
        // The opening and closing accounts belong to no result: a closing
        // books every result account against them.
        if (is_auxiliary_account(record.name)) continue;
        if (record.resultClass == "B") a.operating = true;
        if (record.resultClass == "N") a.neutral = true;
    }
    // Lines on accounts outside the chart, and empty lines, go to an account
    // nobody asks for and that counts for no class: a line costs the same
    // whatever it names, without a branch on it.
    sink_ = emptyName_ ? accounts_.size() : findOrAdd("");
    if (emptyName_) accounts_.push_back({});
}

void AccountBalances::add(const BookingRecord& record) {
    double operating = operating_;
    double neutral = neutral_;
    for (std::size_t i = 0; i < kBookingLines; ++i) {
        const std::string& name = record.account[i];
        addLine(find(keyOf(name), name.data()), record.debit[i], record.credit[i], operating, neutral);
    }
    operating_ = operating;
    neutral_ = neutral;
}

void AccountBalances::add(const RecordView& record) {
    double operating = operating_;
    double neutral = neutral_;
    for (std::size_t i = 0; i < kBookingLines; ++i) {
        if (record.account(i).empty() && !emptyName_) continue;
        const char* field = record.accountField(i);
        addLine(find(keyOfField(field, record.account(i).size()), field), record.debit(i), record.credit(i),
                operating, neutral);
    }
    operating_ = operating;
    neutral_ = neutral;
}

void AccountBalances::addLine(std::size_t found, double debit, double credit, double& operating,
                              double& neutral) noexcept {
    Account& a = accounts_[found == kNone ? sink_ : found];
    a.balance += debit;
    a.balance -= credit;
    // Subtracting +0 and adding -0 leave every double as it is (-0 too), so
    // both results take every line without a branch the data decides.
    operating -= pick(a.operating, debit, 0.0);
    operating += pick(a.operating, credit, -0.0);
    neutral -= pick(a.neutral, debit, 0.0);
    neutral += pick(a.neutral, credit, -0.0);
}

void AccountBalances::addAll(const std::vector<BookingRecord>& records) {
    for (const auto& r : records) add(r);
}

double AccountBalances::balance(const std::string& name) const {
    const std::size_t found = find(name);
    return found == kNone || found == sink_ ? 0.0 : accounts_[found].balance;
}

double AccountBalances::shownAmount(const AccountRecord& account) const {
    const double amount = balance(account.name);
    // 0 - 0 is +0, so an account without lines never shows "-0".
    return credit_side(account.side) ? 0.0 - amount : amount;
}

} // namespace saldorama
