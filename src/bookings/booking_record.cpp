#include "bookings/booking_record.h"

#include <cstring>

namespace saldorama {
namespace {

constexpr std::size_t kDateAt = RecordView::kDateAt;
constexpr std::size_t kPersonAt = RecordView::kPersonAt;
constexpr std::size_t kReasonAt = RecordView::kReasonAt;
constexpr std::size_t kAccountAt = RecordView::kAccountAt;
constexpr std::size_t kDebitAt = RecordView::kDebitAt;
constexpr std::size_t kCreditAt = RecordView::kCreditAt;

void put_u32(unsigned char* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::uint32_t get_u32(const unsigned char* at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(at[i]) << (8 * i);
    return v;
}

void put_double(unsigned char* at, double d) {
    const auto bits = double_bits(d);
    for (int i = 0; i < 8; ++i) at[i] = static_cast<unsigned char>(bits >> (8 * i));
}

double get_double(const unsigned char* at) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(at[i]) << (8 * i);
    return bits_double(bits);
}

void put_short_string(unsigned char* at, std::string_view text, std::size_t max) {
    const std::size_t len = text.size() < max ? text.size() : max;
    at[0] = static_cast<unsigned char>(len);
    std::memcpy(at + 1, text.data(), len);
}

std::string get_short_string(const unsigned char* at, std::size_t max) {
    std::size_t len = at[0];
    if (len > max) len = max;
    return std::string(reinterpret_cast<const char*>(at + 1), len);
}

} // namespace

std::string cut(std::string_view text, std::size_t max) {
    return std::string(text.substr(0, max));
}

RecordBytes encode_record(const BookingRecord& r) {
    RecordBytes b{};
    put_u32(b.data(), static_cast<std::uint32_t>(r.number));
    put_short_string(b.data() + kDateAt, r.date, kDateMax);
    put_short_string(b.data() + kPersonAt, r.person, kPersonMax);
    put_short_string(b.data() + kReasonAt, r.reason, kReasonMax);
    for (std::size_t i = 0; i < kBookingLines; ++i) {
        put_short_string(b.data() + kAccountAt + i * (kAccountMax + 1), r.account[i], kAccountMax);
        put_double(b.data() + kDebitAt + i * 8, r.debit[i]);
        put_double(b.data() + kCreditAt + i * 8, r.credit[i]);
    }
    return b;
}

BookingRecord decode_record(const unsigned char* b) {
    BookingRecord r;
    r.number = static_cast<std::int32_t>(get_u32(b));
    r.date = get_short_string(b + kDateAt, kDateMax);
    r.person = get_short_string(b + kPersonAt, kPersonMax);
    r.reason = get_short_string(b + kReasonAt, kReasonMax);
    for (std::size_t i = 0; i < kBookingLines; ++i) {
        r.account[i] = get_short_string(b + kAccountAt + i * (kAccountMax + 1), kAccountMax);
        r.debit[i] = get_double(b + kDebitAt + i * 8);
        r.credit[i] = get_double(b + kCreditAt + i * 8);
    }
    return r;
}

} // namespace saldorama
