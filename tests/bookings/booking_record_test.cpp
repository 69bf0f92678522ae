#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "bookings/booking_record.h"

namespace saldorama {
namespace {

void put_text(RecordBytes& b, std::size_t at, unsigned char length, const std::string& chars) {
    b[at] = length;
    std::memcpy(b.data() + at + 1, chars.data(), chars.size());
}

void put_le(RecordBytes& b, std::size_t at, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
}

// 12.5 = 0x4029000000000000, -0.01 = 0xBF847AE147AE147B, 1234.56 = 0x40934A3D70A3D70A
constexpr std::uint64_t k12_5 = 0x4029000000000000ULL;
constexpr std::uint64_t kMinusCent = 0xBF847AE147AE147BULL;
constexpr std::uint64_t k1234_56 = 0x40934A3D70A3D70AULL;

TEST(BookingRecordCodec, DecodesEveryFieldAtItsOffset) {
    RecordBytes b;
    b.fill(0xCC);  // whatever a buffer held before: only the lengths say what counts
    put_le(b, 0, 0xFFFFFFFE, 4);  // -2
    put_text(b, 4, 10, "24.12.2023");
    put_text(b, 15, 3, "Max");
    put_text(b, 66, 5, "Miete");
    const std::string longAccount(64, 'Z');
    put_text(b, 117, 5, "Kasse");
    put_text(b, 117 + 65, 4, "Bank");
    put_text(b, 117 + 130, 0, "");
    put_text(b, 117 + 195, 5, "Miete");
    put_text(b, 117 + 260, 64, longAccount);
    for (int i = 0; i < 5; ++i) {
        put_le(b, 448 + 8 * static_cast<std::size_t>(i), i == 0 ? k12_5 : 0, 8);
        put_le(b, 488 + 8 * static_cast<std::size_t>(i), i == 1 ? k1234_56 : (i == 4 ? kMinusCent : 0), 8);
    }
    const BookingRecord r = decode_record(b.data());
    EXPECT_EQ(r.number, -2);
    EXPECT_EQ(r.date, "24.12.2023");
    EXPECT_EQ(r.person, "Max");
    EXPECT_EQ(r.reason, "Miete");
    EXPECT_EQ(r.account[0], "Kasse");
    EXPECT_EQ(r.account[1], "Bank");
    EXPECT_EQ(r.account[2], "");
    EXPECT_EQ(r.account[3], "Miete");
    EXPECT_EQ(r.account[4], longAccount);
    EXPECT_EQ(r.debit[0], 12.5);
    for (int i = 1; i < 5; ++i) EXPECT_EQ(r.debit[static_cast<std::size_t>(i)], 0.0);
    EXPECT_EQ(r.credit[0], 0.0);
    EXPECT_EQ(r.credit[1], 1234.56);
    EXPECT_EQ(r.credit[4], -0.01);
}

TEST(BookingRecordCodec, ALengthAboveTheFieldMaximumReadsAsTheMaximum) {
    RecordBytes b;
    b.fill('x');
    b[4] = 200;
    b[15] = 51;
    b[66] = 255;
    for (int i = 0; i < 5; ++i) b[117 + 65 * static_cast<std::size_t>(i)] = static_cast<unsigned char>(65 + i);
    for (std::size_t at = 448; at < 528; ++at) b[at] = 0;
    const BookingRecord r = decode_record(b.data());
    EXPECT_EQ(r.date, std::string(10, 'x'));
    EXPECT_EQ(r.person, std::string(50, 'x'));
    EXPECT_EQ(r.reason, std::string(50, 'x'));
    for (const auto& account : r.account) EXPECT_EQ(account, std::string(64, 'x'));

    // Read in place, every field reads as decoded.
    b[448] = 0x40;
    const RecordView view(b.data());
    EXPECT_EQ(view.number(), r.number);
    EXPECT_EQ(view.date(), r.date);
    EXPECT_EQ(view.person(), r.person);
    EXPECT_EQ(view.reason(), r.reason);
    for (std::size_t i = 0; i < kBookingLines; ++i) {
        EXPECT_EQ(view.account(i), r.account[i]);
        EXPECT_EQ(view.debit(i), decode_record(b.data()).debit[i]);
        EXPECT_EQ(view.credit(i), r.credit[i]);
    }
    EXPECT_EQ(view.record(), decode_record(b.data()));
}

TEST(BookingRecordCodec, EncodesToTheExpectedBytes) {
    BookingRecord r;
    r.number = 258;  // 0x102
    r.date = "01.05.2023";
    r.person = "Anna";
    r.reason = cut("Wareneinkauf", 50);
    r.account = {"Wareneingang", "Bank", "", "", ""};
    r.debit = {12.5, 0, 0, 0, 0};
    r.credit = {0, 12.5, 0, 0, 0};

    RecordBytes expected{};
    put_le(expected, 0, 258, 4);
    put_text(expected, 4, 10, "01.05.2023");
    put_text(expected, 15, 4, "Anna");
    put_text(expected, 66, 12, "Wareneinkauf");
    put_text(expected, 117, 12, "Wareneingang");
    put_text(expected, 182, 4, "Bank");
    put_le(expected, 448, k12_5, 8);
    put_le(expected, 496, k12_5, 8);
    EXPECT_EQ(encode_record(r), expected);
    EXPECT_EQ(expected.size(), 528u);
}

TEST(BookingRecordCodec, CutsTextsLongerThanTheirField) {
    BookingRecord r;
    r.date = "24.12.2023 und mehr";
    r.person = std::string(60, 'p');
    r.reason = std::string(51, 'g');
    r.account[2] = std::string(70, 'k');
    const RecordBytes b = encode_record(r);
    EXPECT_EQ(b[4], 10);
    EXPECT_EQ(b[15], 50);
    EXPECT_EQ(b[66], 50);
    EXPECT_EQ(b[117 + 130], 64);
    EXPECT_EQ(b[442], 0);  // nothing spills into the gap before the amounts
    const BookingRecord back = decode_record(b.data());
    EXPECT_EQ(back.date, "24.12.2023");
    EXPECT_EQ(back.person, std::string(50, 'p'));
    EXPECT_EQ(back.reason, std::string(50, 'g'));
    EXPECT_EQ(back.account[2], std::string(64, 'k'));
}

TEST(BookingRecordCodec, RoundTripsEveryField) {
    BookingRecord r;
    r.number = 41;
    r.date = "31.12.2099";
    r.person = "\xC4rzte GmbH";  // CP1252 "Ärzte"
    r.reason = "Honorar";
    r.account = {"A", "B", "C", "D", "E"};
    r.debit = {1, 2.5, 0.01, 1e9, -3};
    r.credit = {0.1, 0.2, 99999.99, 0, 7};
    EXPECT_EQ(decode_record(encode_record(r).data()), r);
}

TEST(BookingRecordCodec, CutKeepsShortTexts) {
    EXPECT_EQ(cut("Kasse", 64), "Kasse");
    EXPECT_EQ(cut("abcdef", 3), "abc");
    EXPECT_EQ(cut("", 10), "");
}

} // namespace
} // namespace saldorama
