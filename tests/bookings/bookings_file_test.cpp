#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <filesystem>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/file.h"
#include "bookings/bookings_file.h"
#include "support/work_dir.h"
#include "support/failure_text.h"

namespace saldorama {
namespace {

BookingRecord booking(int number, const std::string& reason, double amount = 10) {
    BookingRecord r;
    r.number = number;
    r.date = "01.02.2026";
    r.reason = reason;
    r.account = {"Kasse", "Bank", "", "", ""};
    r.debit[0] = amount;
    r.credit[1] = amount;
    return r;
}

std::string record_bytes(const BookingRecord& r) {
    const RecordBytes b = encode_record(r);
    return std::string(reinterpret_cast<const char*>(b.data()), b.size());
}

std::vector<std::string> files_in(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

using test::failure_text;

struct FaultGuard {
    ~FaultGuard() { fault::clear(); }
};

TEST(BookingsFile, CountsWholeRecordsOnly) {
    test::WorkDir dir;
    dir.write("buchungen.dat", "");
    EXPECT_EQ(bookings_count(), 0);
    dir.write("buchungen.dat", std::string(528, 'a'));
    EXPECT_EQ(bookings_count(), 1);
    dir.write("buchungen.dat", std::string(1000, 'a'));
    EXPECT_EQ(bookings_count(), 1);
    dir.write("buchungen.dat", std::string(1100, 'a'));
    EXPECT_EQ(bookings_count(), 2);
}

TEST(BookingsFile, CreatesAMissingFileEmptyAndLeavesAnExistingOne) {
    test::WorkDir dir;
    EXPECT_EQ(bookings_create_if_missing(), 0);
    EXPECT_EQ(dir.read("buchungen.dat"), "");
    const std::string two = record_bytes(booking(0, "a")) + record_bytes(booking(1, "b"));
    dir.write("buchungen.dat", two);
    EXPECT_EQ(bookings_create_if_missing(), 2);
    EXPECT_EQ(dir.read("buchungen.dat"), two);
}

TEST(BookingsFile, MissingFileFailsWithFileNotFound) {
    test::WorkDir dir;
    EXPECT_EQ(failure_text([] { (void)bookings_count(); }), "Datei nicht gefunden");
    EXPECT_EQ(failure_text([] { bookings_scan([](const BookingRecord&) {}); }), "Datei nicht gefunden");
    EXPECT_EQ(failure_text([] { bookings_append(BookingRecord{}); }), "Datei nicht gefunden");
    EXPECT_FALSE(dir.exists("buchungen.dat"));
}

TEST(BookingsFile, ReadsRecordNAtItsPlace) {
    test::WorkDir dir;
    dir.write("buchungen.dat", record_bytes(booking(0, "eins")) + record_bytes(booking(1, "zwei")) +
                                   record_bytes(booking(2, "drei")));
    EXPECT_EQ(bookings_read(1).reason, "eins");
    EXPECT_EQ(bookings_read(3).reason, "drei");
    EXPECT_EQ(bookings_read(2), booking(1, "zwei"));
    EXPECT_EQ(failure_text([] { (void)bookings_read(4); }), "Versuch hinter dem Dateiende zu lesen");
}

TEST(BookingsFile, NeverReadsATrailingFragment) {
    test::WorkDir dir;
    dir.write("buchungen.dat", record_bytes(booking(0, "eins")) + record_bytes(booking(1, "zwei")) +
                                   std::string(44, 'f'));
    EXPECT_EQ(bookings_count(), 2);
    EXPECT_EQ(failure_text([] { (void)bookings_read(3); }), "Versuch hinter dem Dateiende zu lesen");
    const auto all = bookings_read_all();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].reason, "zwei");
}

TEST(BookingsFile, AppendWritesOverATrailingFragment) {
    test::WorkDir dir;
    const std::string two = record_bytes(booking(0, "eins")) + record_bytes(booking(1, "zwei"));
    dir.write("buchungen.dat", two + std::string(44, 'f'));
    bookings_append(booking(2, "drei"));
    EXPECT_EQ(dir.read("buchungen.dat"), two + record_bytes(booking(2, "drei")));
    EXPECT_EQ(bookings_count(), 3);
}

TEST(BookingsFile, AppendToAnEmptyFile) {
    test::WorkDir dir;
    dir.write("buchungen.dat", "");
    bookings_append(booking(0, "eins"));
    EXPECT_EQ(dir.read("buchungen.dat"), record_bytes(booking(0, "eins")));
}

TEST(BookingsFile, OverwriteChangesOnlyItsRecord) {
    test::WorkDir dir;
    const std::string a = record_bytes(booking(0, "eins"));
    const std::string b = record_bytes(booking(1, "zwei"));
    const std::string c = record_bytes(booking(2, "drei"));
    dir.write("buchungen.dat", a + b + c);
    bookings_overwrite(2, booking(1, "neu", 99.5));
    EXPECT_EQ(dir.read("buchungen.dat"), a + record_bytes(booking(1, "neu", 99.5)) + c);
}

TEST(BookingsFile, OverwriteOfPlaceZeroOrBelowWritesNothing) {
    test::WorkDir dir;
    const std::string a = record_bytes(booking(0, "eins"));
    dir.write("buchungen.dat", a);
    bookings_overwrite(0, booking(5, "nein"));
    bookings_overwrite(-1, booking(5, "nein"));
    EXPECT_EQ(dir.read("buchungen.dat"), a);
}

TEST(BookingsFile, EmptyLeavesAFileOfLengthZero) {
    test::WorkDir dir;
    dir.write("buchungen.dat", record_bytes(booking(0, "eins")) + "xyz");
    bookings_empty();
    EXPECT_TRUE(dir.exists("buchungen.dat"));
    EXPECT_EQ(dir.read("buchungen.dat"), "");
}

TEST(BookingsFile, ScanVisitsEveryRecordInOrder) {
    test::WorkDir dir;
    std::string bytes;
    for (int i = 0; i < 600; ++i) bytes += record_bytes(booking(i, "r" + std::to_string(i)));
    dir.write("buchungen.dat", bytes + std::string(100, 'f'));
    int expected = 0;
    bookings_scan([&](const BookingRecord& r) {
        EXPECT_EQ(r.number, expected);
        EXPECT_EQ(r.reason, "r" + std::to_string(expected));
        ++expected;
    });
    EXPECT_EQ(expected, 600);
}

TEST(BookingsFile, ScanOfAnEmptyFileVisitsNothing) {
    test::WorkDir dir;
    dir.write("buchungen.dat", std::string(527, 'f'));
    int visits = 0;
    bookings_scan([&](const BookingRecord&) { ++visits; });
    EXPECT_EQ(visits, 0);
}

TEST(BookingsFile, FoundWithoutRegardToCase) {
    test::WorkDir dir;
    dir.write("Buchungen.DAT", record_bytes(booking(0, "eins")));
    EXPECT_EQ(bookings_count(), 1);
    bookings_append(booking(1, "zwei"));
    EXPECT_EQ(bookings_read(2).reason, "zwei");
    EXPECT_FALSE(dir.exists("buchungen.dat"));
}

TEST(BookingsFile, FailedAppendLeavesTheFileAsItWas) {
    test::WorkDir dir;
    const std::string a = record_bytes(booking(0, "eins"));
    dir.write("buchungen.dat", a);
    FaultGuard guard;
    fault::fail_nth_operation(1, ENOSPC);
    EXPECT_EQ(failure_text([] { bookings_append(booking(1, "zwei")); }), "Zu wenig Speicherplatz");
    fault::clear();
    EXPECT_EQ(dir.read("buchungen.dat"), a);
}

TEST(BookingsFile, ReplaceAllWritesEveryRecord) {
    test::WorkDir dir;
    dir.write("buchungen.dat", record_bytes(booking(0, "alt")));
    bookings_replace_all({booking(0, "eins"), booking(1, "zwei")});
    EXPECT_EQ(dir.read("buchungen.dat"), record_bytes(booking(0, "eins")) + record_bytes(booking(1, "zwei")));
    EXPECT_EQ(files_in(dir.path()), std::vector<std::string>{"buchungen.dat"});
}

TEST(LoescheBuchung, LaterRecordsMoveUpAndAreRenumbered) {
    test::WorkDir dir;
    dir.write("buchungen.dat", record_bytes(booking(0, "eins")) + record_bytes(booking(1, "zwei")) +
                                   record_bytes(booking(2, "drei")) + record_bytes(booking(3, "vier")));
    EXPECT_EQ(loesche_buchung(2), 3);
    EXPECT_EQ(dir.read("buchungen.dat"), record_bytes(booking(0, "eins")) + record_bytes(booking(1, "drei")) +
                                             record_bytes(booking(2, "vier")));
    EXPECT_EQ(files_in(dir.path()), std::vector<std::string>{"buchungen.dat"});
}

TEST(LoescheBuchung, WritesEachRecordAsItsDecodingEncodesAcrossManyBlocks) {
    test::WorkDir dir;
    // Over two megabytes, and a record whose stored bytes are not the ones it encodes to.
    std::string bytes;
    for (int n = 0; n < 4100; ++n) bytes += record_bytes(booking(n, "Nr. " + std::to_string(n), n + 0.5));
    bytes[3 * kRecordSize + 4] = static_cast<char>(200);  // a date length above its maximum
    bytes[3 * kRecordSize + 442] = 'x';                     // a byte of the unused gap
    dir.write("buchungen.dat", bytes);
    std::string expected;
    for (int n = 0; n < 4100; ++n) {
        if (n == 1) continue;
        BookingRecord r = decode_record(reinterpret_cast<const unsigned char*>(bytes.data()) + n * kRecordSize);
        r.number = n < 1 ? n : n - 1;
        expected += record_bytes(r);
    }
    EXPECT_EQ(loesche_buchung(2), 4099);
    EXPECT_TRUE(dir.read("buchungen.dat") == expected);
    EXPECT_EQ(files_in(dir.path()), std::vector<std::string>{"buchungen.dat"});
}

TEST(LoescheBuchung, FirstAndLastRecord) {
    test::WorkDir dir;
    dir.write("buchungen.dat", record_bytes(booking(0, "eins")) + record_bytes(booking(1, "zwei")) +
                                   record_bytes(booking(2, "drei")));
    EXPECT_EQ(loesche_buchung(3), 2);
    EXPECT_EQ(loesche_buchung(1), 1);
    EXPECT_EQ(dir.read("buchungen.dat"), record_bytes(booking(0, "zwei")));
    EXPECT_EQ(loesche_buchung(1), 0);
    EXPECT_EQ(dir.read("buchungen.dat"), "");
}

TEST(LoescheBuchung, APlaceOutsideTheFileChangesNothing) {
    test::WorkDir dir;
    const std::string bytes = record_bytes(booking(0, "eins")) + record_bytes(booking(1, "zwei"));
    dir.write("buchungen.dat", bytes);
    EXPECT_EQ(loesche_buchung(0), 2);
    EXPECT_EQ(loesche_buchung(3), 2);
    EXPECT_EQ(dir.read("buchungen.dat"), bytes);
}

TEST(LoescheBuchung, DropsATrailingFragment) {
    test::WorkDir dir;
    dir.write("buchungen.dat", record_bytes(booking(0, "eins")) + record_bytes(booking(1, "zwei")) + "xx");
    EXPECT_EQ(loesche_buchung(1), 1);
    EXPECT_EQ(dir.read("buchungen.dat"), record_bytes(booking(0, "zwei")));
}

TEST(LoescheBuchung, AFailureAtAnyStepLeavesTheFileWholeAndNoTempFile) {
    test::WorkDir dir;
    const std::string bytes = record_bytes(booking(0, "eins")) + record_bytes(booking(1, "zwei"));
    dir.write("buchungen.dat", bytes);
    FaultGuard guard;
    // create, write, sync, close, rename: every one of them may fail.
    for (int n = 1; n <= 5; ++n) {
        SCOPED_TRACE(n);
        fault::fail_nth_operation(n, EIO);
        EXPECT_EQ(failure_text([] { (void)loesche_buchung(1); }), "E/A-Fehler " + std::to_string(EIO));
        fault::clear();
        EXPECT_EQ(dir.read("buchungen.dat"), bytes);
        EXPECT_EQ(files_in(dir.path()), std::vector<std::string>{"buchungen.dat"});
    }
}

} // namespace
} // namespace saldorama
