#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "bookings/checks.h"
#include "settings/backup.h"
#include "support/sample_booking.h"

namespace saldorama {
namespace {

using test::two_line_booking;
const std::string& kHeader = test::kBackupHeader;

std::string problem_text(std::string_view bytes) {
    const BackupReading reading = read_backup(bytes);
    EXPECT_FALSE(reading.backup.has_value());
    return reading.error;
}

// The header ends in LF alone, announcing the mark; only the last line ends
// in CR LF, the mark itself.
TEST(BackupText, WithoutBookingsEndsInALoneBar) {
    Backup b;
    b.company = {"a", "b", "c", "d", "e", "f", "g", "h"};
    b.chart = 2;
    EXPECT_EQ(backup_text(b), "a|b|c|d|e|f|g|h|2\n|\r\n");
}

TEST(BackupText, WithNoChartTheHeaderEndsInZero) {
    Backup b;
    EXPECT_EQ(backup_text(b), "||||||||0\n|\r\n");
}

TEST(BackupText, EveryBookingIsALineOfNineteenClosedFields) {
    Backup b;
    b.company = {"a", "b", "c", "d", "e", "f", "g", "h"};
    b.chart = 1;
    BookingRecord r = two_line_booking(4, 100);
    r.account[2] = "Vorsteuer";
    r.debit[2] = 0.05;
    r.credit[0] = 12.5;
    b.bookings = {r, two_line_booking(5, 1234.56)};
    EXPECT_EQ(backup_text(b),
              "a|b|c|d|e|f|g|h|1\n"
              "|4|24.12.2023|Max|Miete|Kasse|100|12,5|Bank|0|100|Vorsteuer|0,05|0||0|0||0|0|\n"
              "5|24.12.2023|Max|Miete|Kasse|1234,56|0|Bank|0|1234,56||0|0||0|0||0|0|\r\n");
}

TEST(BackupText, ABarInATextIsWrittenUnchanged) {
    Backup b;
    b.company[0] = "A|B";
    EXPECT_EQ(backup_text(b), "A|B||||||||0\n|\r\n");
}

TEST(ReadBackup, GivesBackWhatWasWritten) {
    Backup b;
    b.company = {cp("Müller & Söhne"), "Weg 2", "1 Ort", "1", "2", "Bank", "X", "Y"};
    b.chart = 4;
    for (int i = 0; i < 3; ++i) b.bookings.push_back(two_line_booking(i, round_to_cents(19.99 * (i + 1))));
    b.bookings[1].person = std::string(50, 'p');
    b.bookings[2].account[4] = std::string(64, 'k');
    b.bookings[2].debit[4] = -0.01;
    b.bookings[2].credit[4] = -0.01;
    const BackupReading reading = read_backup(backup_text(b));
    ASSERT_TRUE(reading.backup.has_value()) << reading.error;
    EXPECT_EQ(*reading.backup, b);
    EXPECT_EQ(reading.error, "");
}

TEST(ReadBackup, AnEmptyBookingListIsSound) {
    const BackupReading reading = read_backup("a|b|c|d|e|f|g|h|0\r\n|");
    ASSERT_TRUE(reading.backup.has_value());
    EXPECT_TRUE(reading.backup->bookings.empty());
    EXPECT_EQ(reading.backup->chart, 0);
}

TEST(ReadBackup, CutsLongTextsAndRoundsAmountsToCents) {
    const std::string line = "7|24.12.2023 extra|" + std::string(60, 'p') + "|" + std::string(55, 'g') + "|" +
                             std::string(70, 'k') + "|19,999|0,1||0|19,9||0|0||0|0||0|0|";
    const BackupReading reading = read_backup(kHeader + "3\r\n|" + line + "\r\n");
    ASSERT_TRUE(reading.backup.has_value()) << reading.error;
    const BookingRecord& r = reading.backup->bookings.at(0);
    EXPECT_EQ(r.number, 7);
    EXPECT_EQ(r.date, "24.12.2023");
    EXPECT_EQ(r.person, std::string(50, 'p'));
    EXPECT_EQ(r.reason, std::string(50, 'g'));
    EXPECT_EQ(r.account[0], std::string(64, 'k'));
    EXPECT_EQ(r.debit[0], 20.0);
    EXPECT_EQ(r.credit[0], round_to_cents(0.1));
}

TEST(ReadBackup, NamesTheLineOfAWrongFieldCount) {
    const std::string sound = "0|24.12.2023|Max|Miete|Kasse|5|0|Bank|0|5||0|0||0|0||0|0|";
    EXPECT_EQ(problem_text("a|b|c|d|e|f|g|h|i|2\r\n|"),
              "Die Sicherung ist fehlerhaft (Zeile 1): 10 statt 9 Felder.");
    EXPECT_EQ(problem_text("a|b|c|d|e|f|g|2\r\n|"), "Die Sicherung ist fehlerhaft (Zeile 1): 8 statt 9 Felder.");
    EXPECT_EQ(problem_text(kHeader + "1\r\n|" + sound + "\r\n" + "0|A|B|Miete|Kasse|5|0|Bank|0|5||0|0||0|0||0|0|x|\r\n"),
              "Die Sicherung ist fehlerhaft (Zeile 3): 20 statt 19 Felder.");
    EXPECT_EQ(problem_text(kHeader + "1\r\n|0|24.12.2023|Max|\r\n"),
              "Die Sicherung ist fehlerhaft (Zeile 2): 3 statt 19 Felder.");
    EXPECT_EQ(problem_text(kHeader + "1\r\n|" + sound + "\r\n\r\n" + sound + "\r\n"),
              "Die Sicherung ist fehlerhaft (Zeile 3): 0 statt 19 Felder.");
}

TEST(ReadBackup, RefusesBrokenStructureAndValues) {
    const std::string sound = "0|24.12.2023|Max|Miete|Kasse|5|0|Bank|0|5||0|0||0|0||0|0|";
    EXPECT_EQ(problem_text(""), "Die Sicherung ist fehlerhaft (Zeile 1): Die Datei ist leer.");
    EXPECT_EQ(problem_text(kHeader + "5\r\n|"),
              "Die Sicherung ist fehlerhaft (Zeile 1, Feld 9): '5' ist keine Kontenplan-Nummer von 0 bis 4.");
    EXPECT_EQ(problem_text(kHeader + "\r\n|"),
              "Die Sicherung ist fehlerhaft (Zeile 1, Feld 9): '' ist keine Kontenplan-Nummer von 0 bis 4.");
    EXPECT_EQ(problem_text(kHeader + "1\r\n"),
              "Die Sicherung ist fehlerhaft (Zeile 2): Das Zeichen \"|\" am Zeilenanfang fehlt.");
    EXPECT_EQ(problem_text(kHeader + "1\r\n" + sound + "\r\n"),
              "Die Sicherung ist fehlerhaft (Zeile 2): Das Zeichen \"|\" am Zeilenanfang fehlt.");
    EXPECT_EQ(problem_text(kHeader + "1\r\n|" + sound.substr(0, sound.size() - 1) + "\r\n"),
              "Die Sicherung ist fehlerhaft (Zeile 2): Nach dem letzten Feld fehlt das Zeichen \"|\".");
    EXPECT_EQ(problem_text(kHeader + "1\r\n|x" + sound + "\r\n"),
              cp("Die Sicherung ist fehlerhaft (Zeile 2, Feld 1): 'x0' ist keine gültige Buchungsnummer."));
    EXPECT_EQ(problem_text(kHeader + "1\r\n|" + sound + "\r\n" + "1|d|p|g|Kasse|5|0|Bank|0|5 Euro||0|0||0|0||0|0|\r\n"),
              cp("Die Sicherung ist fehlerhaft (Zeile 3, Feld 10): '5 Euro' ist kein gültiger Betrag."));
    EXPECT_EQ(problem_text(kHeader + "1\r\n|" + "1|d|p|g|Kasse|5|0|Bank|0|5|||0||0|0||0|0|\r\n"),
              cp("Die Sicherung ist fehlerhaft (Zeile 2, Feld 12): '' ist kein gültiger Betrag."));
}

// What a booking refuses, restoring refuses, naming line and field.
TEST(ReadBackup, RefusesWhatABookingRefuses) {
    const std::string sound = "0|24.12.2023|Max|Miete|Kasse|5|0|Bank|0|5||0|0||0|0||0|0|\r\n";
    const auto booking = [&](const std::string& line) { return kHeader + "1\r\n|" + sound + line + "\r\n"; };
    EXPECT_EQ(problem_text(booking("-1|d|p|g|Kasse|5|0|Bank|0|5||0|0||0|0||0|0|")),
              cp("Die Sicherung ist fehlerhaft (Zeile 3, Feld 1): '-1' ist keine gültige Buchungsnummer."));
    EXPECT_EQ(problem_text(booking("1|d|p|g|Kasse|5|0|Bank|0|4,99||0|0||0|0||0|0|")),
              cp("Die Sicherung ist fehlerhaft (Zeile 3, Felder 6 bis 19): Soll (5) und Haben (4,99) sind nicht "
                 "gleich groß."));
    EXPECT_EQ(problem_text(booking("1|d|p|g|Kasse|2147483648|0|Bank|0|2147483648||0|0||0|0||0|0|")),
              cp("Die Sicherung ist fehlerhaft (Zeile 3, Feld 6): '2147483648' liegt außerhalb des erlaubten "
                 "Bereichs (kleiner als 2147483648 Euro)."));
    EXPECT_EQ(problem_text(booking("1|d|p|g|Kasse|0|-1E308|Bank|0|1E308||0|0||0|0||0|0|")),
              cp("Die Sicherung ist fehlerhaft (Zeile 3, Feld 7): '-1E308' liegt außerhalb des erlaubten "
                 "Bereichs (kleiner als 2147483648 Euro)."));
    // Each amount in range, their total not.
    EXPECT_EQ(problem_text(booking("1|d|p|g|Kasse|2000000000|0|Kasse|2000000000|0|Bank|0|4000000000||0|0||0|0|")),
              cp("Die Sicherung ist fehlerhaft (Zeile 3, Feld 13): '4000000000' liegt außerhalb des erlaubten "
                 "Bereichs (kleiner als 2147483648 Euro)."));
    EXPECT_EQ(problem_text(booking("1|d|p|g|Kasse|2000000000|0|Kasse|2000000000|0|Bank|0|2000000000|Bank|0|"
                                   "2000000000||0|0|")),
              cp("Die Sicherung ist fehlerhaft (Zeile 3, Felder 6 bis 19): Die Summe der Soll- oder Habenbeträge "
                 "liegt außerhalb des erlaubten Bereichs."));
    // The largest amount in range and 0,10 + 0,20 against 0,30 are sound.
    EXPECT_TRUE(read_backup(booking("1|d|p|g|Kasse|2147483647,99|0|Bank|0|2147483647,99||0|0||0|0||0|0|")).backup);
    EXPECT_TRUE(read_backup(booking("1|d|p|g|Kasse|0,1|0|Kasse|0,2|0|Bank|0|0,3||0|0||0|0|")).backup);
}

TEST(BackupRefusal, NamesAFieldHoldingABarAndWhatRestoringWouldRefuse) {
    Backup b;
    b.company = {"a", "b", "c", "d", "e", "f", "g", "h"};
    b.bookings = {two_line_booking(0, 10), two_line_booking(1, 20)};
    EXPECT_EQ(backup_refusal(b), "");
    b.company[6] = "Anna|Buch";
    EXPECT_EQ(backup_refusal(b), cp("Das Zeichen \"|\" ist im Feld \"Verantwortlich für die Buchhaltung\" nicht "
                                    "erlaubt. Bitte entferne es. Die Sicherung wurde nicht geschrieben."));
    b.company[6] = "Anna";
    b.bookings[1].reason = "Miete|Mai";
    EXPECT_EQ(backup_refusal(b), cp("Das Zeichen \"|\" im Feld \"Zahlungsgrund\" der Buchung 2 lässt sich nicht "
                                    "sichern. Die Sicherung wurde nicht geschrieben."));
    b.bookings[1].reason = "Miete";
    b.bookings[1].credit[1] = 19;
    EXPECT_EQ(backup_refusal(b), cp("Die Sicherung ist fehlerhaft (Zeile 3, Felder 6 bis 19): Soll (20) und Haben "
                                    "(19) sind nicht gleich groß. Die Sicherung wurde nicht geschrieben."));
}

} // namespace
} // namespace saldorama

namespace saldorama {

TEST(ReadBackup, ALineMayHoldUpTo65536CharactersBeforeItsLineEnd) {
    const std::string head = test::kBackupHeader + "1\r\n|" + backup_line(two_line_booking(0, 1));
    const std::string atLimit(kMaxBackupLine, 'x');
    // A sound head, then a line at the limit (refused for its fields only)
    // and one a character longer (refused for its length, with or without a
    // line end, before any field is looked at).
    for (const char* end : {"\r\n", "\n", ""}) {
        EXPECT_EQ(read_backup(head + "\r\n" + atLimit + end).error,
                  cp("Die Sicherung ist fehlerhaft (Zeile 3): 1 statt 19 Felder."))
            << end;
        EXPECT_EQ(read_backup(head + "\r\n" + atLimit + "x" + end).error,
                  cp("Die Sicherung ist fehlerhaft (Zeile 3): Die Zeile ist länger als 65536 Zeichen."))
            << end;
    }
    EXPECT_EQ(read_backup(atLimit + "x").error,
              cp("Die Sicherung ist fehlerhaft (Zeile 1): Die Zeile ist länger als 65536 Zeichen."));
    // A CR alone is text, not a line end.
    EXPECT_EQ(read_backup(head + "\r\n" + atLimit + "\r\r\n").error,
              cp("Die Sicherung ist fehlerhaft (Zeile 3): Die Zeile ist länger als 65536 Zeichen."));
}

TEST(ReadBackupFile, ReadsWhatTheTextReaderReadsInPieces) {
    const std::string dir = std::filesystem::temp_directory_path() / ("saldorama-backup-" + std::to_string(::getpid()));
    std::filesystem::create_directory(dir);
    Backup b;
    b.company = {"A", "B", "C", "D", "E", "F", "G", "H"};
    b.chart = 2;
    for (int i = 0; i < 4000; ++i) b.bookings.push_back(two_line_booking(i, 1.5));
    const std::string text = backup_text(b);
    ASSERT_GT(text.size(), 200000u); // more than one read
    FILE* out = std::fopen((dir + "/b.qrx").c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
    const BackupReading fromFile = read_backup_file(dir + "/b.qrx", "b.qrx");
    ASSERT_TRUE(fromFile.backup) << fromFile.error;
    EXPECT_EQ(*fromFile.backup, *read_backup(text).backup);
    std::filesystem::remove_all(dir);
}

} // namespace saldorama

namespace saldorama {
namespace {
using test::two_line_booking;

// Cut anywhere, a new backup is refused; an old one (CR LF everywhere) is
// read unchanged but not vouched for.
TEST(BackupMark, ACutBackupIsRefusedAnOldOneReadsUnchecked) {
    Backup b;
    b.company = {"a", "b", "c", "d", "e", "f", "g", "h"};
    b.chart = 1;
    b.bookings = {two_line_booking(0, 100), two_line_booking(1, 5)};
    const std::string whole = backup_text(b);
    const BackupReading read = read_backup(whole);
    ASSERT_TRUE(read.backup) << read.error;
    EXPECT_TRUE(read.completenessChecked);
    for (std::size_t cut = whole.find('|', whole.find('\n')) + 1; cut < whole.size(); ++cut)
        EXPECT_FALSE(read_backup(whole.substr(0, cut)).backup) << "cut at " << cut;
    std::string old;
    for (const char c : whole.substr(0, whole.size() - 2)) old += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const BackupReading older = read_backup(old + "\r\n");
    ASSERT_TRUE(older.backup) << older.error;
    EXPECT_FALSE(older.completenessChecked);
    EXPECT_EQ(older.backup->bookings, b.bookings);
}

} // namespace
} // namespace saldorama
