#include "reports/journal_report.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "report_fixtures.h"

namespace saldorama {
namespace {

using test::booking;
using test::expect_golden;

TEST(JournalReport, EmptyFileGivesTheHeadingAlone) {
    expect_golden("journal_empty.txt", journal_report({}));
    EXPECT_EQ(journal_heading().size(), 106u);
}

TEST(JournalReport, DebitLinesFirstThenCreditLinesWithCutsAndTinyAmounts) {
    const std::vector<BookingRecord> bookings = {
        booking(0, "02.01.2026", "Hans Meier", "Einlage", {{"Kasse", 100, 0}, {"Bank", 0, 100}}),
        booking(1, "03.01.2026", "Buero Schmidt", "Material",
                {{"Mieten", 10, 0}, {"Zinsaufwand", 20, 0}, {"Kasse", 30, 0}, {"Bank", 0, 60}}),
        booking(9999, "04.01.2026", "Sehr lange Firma mit Namen GmbH", "Zahlung fuer Rechnung 123",
                {{"Forderungen aus Lieferungen und Leistungen", 1e7, 0}, {"Umsatzerloese", 0, 1e7}}),
        booking(999, "00.00.0000", "Ärztekammer", "Gebühr",
                {{"Kasse", 0.001, 0}, {"Bank", 0, 0.001}, {"Mieten", 5, 5}, {"Bank", 0, 0}}),
    };
    expect_golden("journal_bookings.txt", journal_report(bookings));

    // Handed over line by line, the same lines.
    std::vector<std::string> streamed = {journal_heading()};
    for (const auto& r : bookings) journal_lines(r, [&](std::string_view line) { streamed.emplace_back(line); });
    EXPECT_EQ(streamed, journal_report(bookings));
    streamed = {journal_heading()};
    for (const auto& r : bookings)
        journal_lines(RecordView(encode_record(r).data()), [&](std::string_view line) { streamed.emplace_back(line); });
    EXPECT_EQ(streamed, journal_report(bookings));
}

TEST(JournalReport, NumberZeroShowsOneFollowedByFourSpaces) {
    std::vector<std::string> lines;
    append_journal_lines(lines, booking(0, "01.01.2026", "P", "R", {{"Kasse", 1, 0}}));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(0, 6), "1     ");
}

TEST(JournalReport, ARecordBeyondItsFieldsWritesAsItsStoredFormWould) {
    // Over-long texts and extreme numbers never reach the file, but a record
    // in memory may hold them: the line is the one its stored form gives.
    for (const std::int32_t number : {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()}) {
        const BookingRecord r = booking(number, "01.01.2026 und noch mehr", std::string(80, 'P'), std::string(80, 'R'),
                                        {{std::string(90, 'K'), 1e300, 0}});
        std::vector<std::string> lines;
        append_journal_lines(lines, r);
        std::vector<std::string> stored;
        journal_lines(RecordView(encode_record(r).data()), [&](std::string_view line) { stored.emplace_back(line); });
        EXPECT_EQ(lines, stored);
    }
}

} // namespace
} // namespace saldorama
