#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

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
    [[nodiscard]] std::int32_t number() const noexcept;
    [[nodiscard]] std::string_view reason() const noexcept;
    [[nodiscard]] std::string_view account(std::size_t line) const noexcept;
    [[nodiscard]] double debit(std::size_t line) const noexcept;
    [[nodiscard]] double credit(std::size_t line) const noexcept;
    [[nodiscard]] BookingRecord record() const { return decode_record(b_); }

private:
    const unsigned char* b_;
};

// Cuts a text to a field's maximum.
[[nodiscard]] std::string cut(std::string_view text, std::size_t max);

} // namespace saldorama
