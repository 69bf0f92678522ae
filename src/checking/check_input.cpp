#include "checking/check_input.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "base/cp1252.h"
#include "base/failure.h"
#include "bookings/checks.h"
#include "reports/report_text.h"

namespace saldorama::checking {

namespace {

// "-1234,50" as the money texts are written, in cents.
Cents parse_money(const std::string& text) {
    // Below 10^15 euros, so that summing the lines of a booking cannot overflow.
    constexpr Cents limit = 100'000'000'000'000'000;
    Cents value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') continue;
        value = value * 10 + (c - '0');
        if (value >= limit) fail(cp("Der Betrag ") + text + cp(" ist zu groß für die Prüfung"));
    }
    return !text.empty() && text[0] == '-' ? -value : value;
}

std::vector<BookingLine> summed(const std::vector<BookingLine>& lines) {
    std::vector<BookingLine> out;
    out.reserve(lines.size());
    for (const BookingLine& line : lines) {
        auto same = std::find_if(out.begin(), out.end(), [&](const BookingLine& o) {
            return o.account == line.account && o.side == line.side;
        });
        if (same == out.end())
            out.push_back(line);
        else
            same->cents += line.cents;
    }
    std::erase_if(out, [](const BookingLine& l) { return l.cents == 0; });
    return out;
}

} // namespace

Cents cents_of(double amount) { return parse_money(report_amount_text(amount)); }

Cents cents_of_text(std::string_view text) { return parse_money(checkmoney(text)); }

std::string cents_text(Cents cents) {
    // Through unsigned so that the most negative value has a magnitude too.
    const unsigned long long magnitude =
        cents < 0 ? 0ULL - static_cast<unsigned long long>(cents) : static_cast<unsigned long long>(cents);
    const unsigned long long rest = magnitude % 100;
    std::string out = cents < 0 ? "-" : "";
    out += std::to_string(magnitude / 100);
    out += ',';
    out += static_cast<char>('0' + rest / 10);
    out += static_cast<char>('0' + rest % 10);
    return out;
}

std::vector<BookingLine> normal_form(const std::vector<BookingLine>& lines) {
    std::vector<BookingLine> out = summed(lines);
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<BookingLine> summed_in_order(const std::vector<BookingLine>& lines) { return summed(lines); }

Cents computed_value(const ComputedValues& values, const ExpectedControl& control) {
    switch (control.kind) {
    case ControlKind::AccountBalance:
        for (const auto& [account, cents] : values.balances)
            if (account == control.account) return cents;
        return 0;
    case ControlKind::BalanceSheetTotal:
        return values.balanceSheetTotal;
    case ControlKind::ProfitOrLoss:
        return values.profitOrLoss;
    case ControlKind::OperatingResult:
        return values.operatingResult;
    case ControlKind::NeutralResult:
        return values.neutralResult;
    }
    return 0;
}

LearnerBooking learner_booking(const BookingRecord& record) {
    LearnerBooking out;
    out.number = static_cast<std::int64_t>(record.number) + 1;
    out.date = record.date;
    for (int i = 0; i < kBookingLines; ++i) {
        const std::size_t at = static_cast<std::size_t>(i);
        const Cents debit = cents_of(record.debit[at]);
        const Cents credit = cents_of(record.credit[at]);
        if (debit != 0) out.lines.push_back({record.account[at], Side::Soll, debit});
        if (credit != 0) out.lines.push_back({record.account[at], Side::Haben, credit});
    }
    return out;
}

namespace {

// Bookings per block of LearnerBookings: a block's bytes stay far below
// 4 GiB, so a booking's start within it fits 32 bits.
constexpr std::size_t kBlockShift = 16;

std::uint64_t zigzag(std::int64_t v) {
    return (static_cast<std::uint64_t>(v) << 1) ^ (v < 0 ? ~std::uint64_t{0} : 0);
}

std::int64_t unzigzag(std::uint64_t u) {
    return static_cast<std::int64_t>(u >> 1) ^ -static_cast<std::int64_t>(u & 1);
}

void put(std::vector<unsigned char>& bytes, std::uint64_t v) {
    while (v >= 0x80) {
        bytes.push_back(static_cast<unsigned char>(v | 0x80));
        v >>= 7;
    }
    bytes.push_back(static_cast<unsigned char>(v));
}

// A date "TT.MM.JJJJ" as an odd number, or nothing for any other text.
std::optional<std::uint32_t> packed_date(const std::string& d) {
    if (d.size() != 10 || d[2] != '.' || d[5] != '.') return std::nullopt;
    std::uint32_t digits[8];
    const int at[8] = {0, 1, 3, 4, 6, 7, 8, 9};
    for (int k = 0; k < 8; ++k) {
        const char c = d[static_cast<std::size_t>(at[k])];
        if (c < '0' || c > '9') return std::nullopt;
        digits[k] = static_cast<std::uint32_t>(c - '0');
    }
    const std::uint32_t day = digits[0] * 10 + digits[1], month = digits[2] * 10 + digits[3];
    const std::uint32_t year = ((digits[4] * 10 + digits[5]) * 10 + digits[6]) * 10 + digits[7];
    if (day < 1 || day > 31 || month < 1 || month > 12) return std::nullopt;
    return 2 * (year * 372 + (month - 1) * 31 + (day - 1)) + 1;
}

} // namespace

struct LearnerBookings::Reader {
    const unsigned char* at;
    const unsigned char* end;  // of the booking
    std::uint64_t next() {
        std::uint64_t v = 0;
        for (int shift = 0;; shift += 7) {
            const unsigned char b = *at++;
            v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
            if (b < 0x80) return v;
        }
    }
};

LearnerBookings::LearnerBookings(std::initializer_list<LearnerBooking> bookings) {
    for (const LearnerBooking& b : bookings) push_back(b);
}

LearnerBookings::LearnerBookings(const std::vector<LearnerBooking>& bookings) {
    for (const LearnerBooking& b : bookings) push_back(b);
}

void LearnerBookings::push_back(const LearnerBooking& booking) {
    constexpr std::size_t kLimit = std::numeric_limits<std::uint32_t>::max();
    if (count_ >= kLimit) fail(cp("Das sind zu viele Buchungen für die Prüfung."));
    if ((count_ >> kBlockShift) == blocks_.size()) {
        if (!blocks_.empty()) blocks_.back().bytes.shrink_to_fit();
        blocks_.emplace_back();
        blocks_.back().at.reserve(std::size_t{1} << kBlockShift);
    }
    std::vector<unsigned char>& bytes = blocks_.back().bytes;
    if (bytes.size() >= kLimit) fail(cp("Das sind zu viele Buchungen für die Prüfung."));
    blocks_.back().at.push_back(static_cast<std::uint32_t>(bytes.size()));
    // Mostly 0: a booking's number is its place. Unsigned, so that no number wraps.
    put(bytes, zigzag(static_cast<std::int64_t>(static_cast<std::uint64_t>(booking.number) - count_ - 1)));
    std::optional<std::uint32_t> date = packed_date(booking.date);
    if (!date) {
        const auto [it, added] = otherDateIds_.try_emplace(booking.date, static_cast<std::uint32_t>(otherDates_.size()));
        if (added) otherDates_.push_back(booking.date);
        date = 2 * it->second;
    }
    put(bytes, *date);
    for (const BookingLine& l : booking.lines) {
        const auto [it, added] = accountIds_.try_emplace(l.account, static_cast<std::uint32_t>(accounts_.size()));
        if (added) accounts_.push_back(l.account);
        put(bytes, std::uint64_t{it->second} * 2 + (l.side == Side::Haben ? 1 : 0));
        put(bytes, zigzag(l.cents));
    }
    ++count_;
}

LearnerBookings::Reader LearnerBookings::reader(std::size_t j) const {
    const Block& block = blocks_.at(j >> kBlockShift);
    const std::size_t k = j & ((std::size_t{1} << kBlockShift) - 1);
    const unsigned char* data = block.bytes.data();
    return {data + block.at.at(k), data + (k + 1 < block.at.size() ? block.at[k + 1] : block.bytes.size())};
}

const LearnerBooking LearnerBookings::operator[](std::size_t j) const {
    LearnerBooking out;
    out.number = number(j);
    out.date = date_of_code(date_code(j));
    std::vector<Line> found;
    lines(j, found);
    for (const Line& l : found) out.lines.push_back({accounts_[l.account], l.side, l.cents});
    return out;
}

std::int64_t LearnerBookings::number(std::size_t j) const {
    Reader r = reader(j);
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(unzigzag(r.next())) + j + 1);
}

std::uint32_t LearnerBookings::date_code(std::size_t j) const {
    Reader r = reader(j);
    r.next();
    return static_cast<std::uint32_t>(r.next());
}

std::optional<std::uint32_t> LearnerBookings::code_of_date(const std::string& date) const {
    if (const auto packed = packed_date(date)) return packed;
    const auto found = otherDateIds_.find(date);
    if (found == otherDateIds_.end()) return std::nullopt;
    return 2 * found->second;
}

std::string LearnerBookings::date_of_code(std::uint32_t code) const {
    if (code % 2 == 0) return otherDates_.at(code / 2);
    const std::uint32_t packed = code / 2;
    char text[16];
    std::snprintf(text, sizeof text, "%02u.%02u.%04u", packed % 372 % 31 + 1, packed % 372 / 31 + 1, packed / 372);
    return text;
}

void LearnerBookings::lines(std::size_t j, std::vector<Line>& out) const {
    out.clear();
    Reader r = reader(j);
    r.next();
    r.next();
    while (r.at < r.end) {
        const std::uint64_t account = r.next();
        out.push_back({static_cast<std::uint32_t>(account / 2), account % 2 ? Side::Haben : Side::Soll, unzigzag(r.next())});
    }
}

} // namespace saldorama::checking
