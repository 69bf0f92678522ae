#pragma once
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/bits.h"

namespace saldorama {

inline constexpr std::size_t kRecordSize = 528;
inline constexpr int kBookingLines = 5;
inline constexpr std::size_t kDateMax = 10;
inline constexpr std::size_t kPersonMax = 50;
inline constexpr std::size_t kReasonMax = 50;
inline constexpr std::size_t kAccountMax = 64;

// One booking as stored in "buchungen.dat". Texts are CP1252 and never longer
// than their field (the setters of the codec cut them).
struct BookingRecord {
    std::int32_t number = 0;  // place in the file counted from 0
    std::string date;
    std::string person;
    std::string reason;
    std::array<std::string, kBookingLines> account{};
    std::array<double, kBookingLines> debit{};
    std::array<double, kBookingLines> credit{};
    bool operator==(const BookingRecord&) const = default;
};

using RecordBytes = std::array<unsigned char, kRecordSize>;

// Byte layout, little-endian:
//   0 number (int32), 4 date (len + 10), 15 person (len + 50),
//   66 reason (len + 50), 117 five accounts (len + 64 each),
//   442 six zero bytes, 448 five debits, 488 five credits (binary64).
// Texts longer than their field are cut; bytes after a text are zero.
[[nodiscard]] RecordBytes encode_record(const BookingRecord& record);
// A length byte above its field's maximum is read as the maximum.
[[nodiscard]] BookingRecord decode_record(const unsigned char* bytes);

// A stored record read in place, for passes that need only a few of its
// fields: each field reads as decode_record would give it, without copying.
class RecordView {
public:
    explicit RecordView(const unsigned char* bytes) noexcept : b_(bytes) {}
    [[nodiscard]] std::int32_t number() const noexcept {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(b_[i]) << (8 * i);
        return static_cast<std::int32_t>(v);
    }
    [[nodiscard]] std::string_view date() const noexcept { return text(kDateAt, kDateMax); }
    [[nodiscard]] std::string_view person() const noexcept { return text(kPersonAt, kPersonMax); }
    [[nodiscard]] std::string_view reason() const noexcept { return text(kReasonAt, kReasonMax); }
    [[nodiscard]] std::string_view account(std::size_t line) const noexcept {
        return text(kAccountAt + line * (kAccountMax + 1), kAccountMax);
    }
    // The whole field of a line's account: kAccountMax bytes, of which the
    // name is the first account(line).size(); the rest may be anything.
    [[nodiscard]] const char* accountField(std::size_t line) const noexcept {
        return reinterpret_cast<const char*>(b_ + kAccountAt + line * (kAccountMax + 1) + 1);
    }
    [[nodiscard]] double debit(std::size_t line) const noexcept { return amount(kDebitAt + line * 8); }
    [[nodiscard]] double credit(std::size_t line) const noexcept { return amount(kCreditAt + line * 8); }
    [[nodiscard]] BookingRecord record() const { return decode_record(b_); }

    // The offsets of the layout above.
    static constexpr std::size_t kDateAt = 4;
    static constexpr std::size_t kPersonAt = 15;
    static constexpr std::size_t kReasonAt = 66;
    static constexpr std::size_t kAccountAt = 117;
    static constexpr std::size_t kDebitAt = 448;
    static constexpr std::size_t kCreditAt = 488;

private:
    [[nodiscard]] std::string_view text(std::size_t at, std::size_t max) const noexcept {
        const std::size_t len = b_[at] < max ? b_[at] : max;
        return {reinterpret_cast<const char*>(b_ + at + 1), len};
    }
    [[nodiscard]] double amount(std::size_t at) const noexcept {
        std::uint64_t bits = 0;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&bits, b_ + at, 8);  // one load where the compiler would not merge the bytes
        } else {
            for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(b_[at + static_cast<std::size_t>(i)]) << (8 * i);
        }
        return bits_double(bits);
    }
    const unsigned char* b_;
};

// Cuts a text to a field's maximum.
[[nodiscard]] std::string cut(std::string_view text, std::size_t max);

} // namespace saldorama
