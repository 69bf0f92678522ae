#include "settings/backup.h"

#include <algorithm>
#include <charconv>
#include <functional>

#include "base/cp1252.h"
#include "base/file.h"
#include "base/numbers.h"
#include "base/text_file.h"
#include "base/working_files.h"
#include "bookings/bookings_file.h"
#include "bookings/checks.h"

namespace saldorama {
namespace {

// Version 1.2 and later end a line in CR LF or LF alone alike. A new backup
// ends its header in LF alone, which announces the mark, and every other
// line in LF alone too but the last, which ends in CR LF: the mark. Older
// backups end every line in CR LF.
constexpr const char* kAnnounceEnd = "\n";
constexpr const char* kMarkEnd = "\r\n";
constexpr std::size_t kHeaderFields = 9;
constexpr std::size_t kBookingFields = 19;

std::string problem(std::size_t line, const std::string& detail) {
    return cp("Die Sicherung ist fehlerhaft (Zeile ") + std::to_string(line) + "): " + detail;
}

std::string problem(std::size_t line, std::size_t field, const std::string& detail) {
    return cp("Die Sicherung ist fehlerhaft (Zeile ") + std::to_string(line) + ", Feld " +
           std::to_string(field) + "): " + detail;
}

// The pieces between the bars: one more than there are bars.
std::vector<std::string> split_bars(std::string_view line) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '|') {
            pieces.emplace_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    pieces.emplace_back(line.substr(start));
    return pieces;
}

std::string problem(std::size_t line, const std::string& fields, const std::string& detail) {
    return cp("Die Sicherung ist fehlerhaft (Zeile ") + std::to_string(line) + ", " + fields + "): " + detail;
}

bool parse_number(const std::string& text, std::int32_t& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end;
}

// One booking line (without its line end); an empty text when it is sound.
std::string read_booking_line(std::string_view line, std::size_t lineNumber, BookingRecord& r) {
    // Each field is closed by a bar, so a sound line ends in an empty piece.
    std::vector<std::string> f = split_bars(line);
    const bool closed = f.back().empty();
    if (closed) f.pop_back();
    if (f.size() != kBookingFields) return problem(lineNumber, std::to_string(f.size()) + " statt 19 Felder.");
    if (!closed) return problem(lineNumber, cp("Nach dem letzten Feld fehlt das Zeichen \"|\"."));
    if (!parse_number(f[0], r.number) || r.number < 0)
        return problem(lineNumber, 1, "'" + f[0] + cp("' ist keine gültige Buchungsnummer."));
    r.date = cut(f[1], kDateMax);
    r.person = cut(f[2], kPersonMax);
    r.reason = cut(f[3], kReasonMax);
    for (std::size_t i = 0; i < kBookingLines; ++i) {
        const std::size_t at = 4 + 3 * i;
        r.account[i] = cut(f[at], kAccountMax);
        double* amounts[] = {&r.debit[i], &r.credit[i]};
        for (std::size_t k = 0; k < 2; ++k) {
            double value = 0;
            if (!parse_float(f[at + 1 + k], value))
                return problem(lineNumber, at + 2 + k, "'" + f[at + 1 + k] + cp("' ist kein gültiger Betrag."));
            if (!amount_in_range(value))
                return problem(lineNumber, at + 2 + k,
                               "'" + f[at + 1 + k] + cp("' liegt außerhalb des erlaubten Bereichs (kleiner als "
                                                        "2147483648 Euro)."));
            // Amounts are stored in whole cents; this gives back the very bits saved.
            *amounts[k] = round_to_cents(value);
        }
    }
    // What a booking refuses, restoring refuses too; compared as the booking
    // page compares, as 15-digit texts.
    double debitTotal = 0;
    double creditTotal = 0;
    for (std::size_t i = 0; i < kBookingLines; ++i) debitTotal += r.debit[i];
    for (std::size_t i = 0; i < kBookingLines; ++i) creditTotal += r.credit[i];
    if (!amount_in_range(debitTotal) || !amount_in_range(creditTotal))
        return problem(lineNumber, "Felder 6 bis 19",
                       cp("Die Summe der Soll- oder Habenbeträge liegt außerhalb des erlaubten Bereichs."));
    if (float_to_text(debitTotal) != float_to_text(creditTotal))
        return problem(lineNumber, "Felder 6 bis 19",
                       "Soll (" + float_to_text(debitTotal) + ") und Haben (" + float_to_text(creditTotal) +
                           cp(") sind nicht gleich groß."));
    return {};
}

} // namespace

std::string backup_line(const BookingRecord& r) {
    std::string line = std::to_string(r.number) + "|" + r.date + "|" + r.person + "|" + r.reason + "|";
    for (std::size_t i = 0; i < kBookingLines; ++i)
        line += r.account[i] + "|" + float_to_text(r.debit[i]) + "|" + float_to_text(r.credit[i]) + "|";
    return line;
}

std::string unchecked_backup_note(const std::string& shownName) {
    return cp("„") + shownName +
           cp("“ stammt von einer älteren Version; ob die Sicherung vollständig ist, lässt sich nicht prüfen.");
}

std::string backup_head(const Backup& backup) {
    std::string text;
    for (const auto& field : backup.company) text += field + "|";
    return text + std::to_string(backup.chart) + kAnnounceEnd + "|";
}

std::string backup_text(const Backup& backup) {
    std::string text = backup_head(backup);
    for (std::size_t i = 0; i < backup.bookings.size(); ++i)
        text += (i > 0 ? "\n" : "") + backup_line(backup.bookings[i]);
    return text + kMarkEnd;
}

namespace {

// Lines of a backup, taken one at a time from a source of bytes: CR LF or a
// lone LF ends a line, a last line without a line end is a line. A line
// longer than kMaxBackupLine is refused before more of it is read, so a
// broken file costs no more memory than one line.
class LineReader {
public:
    enum class Got { Line, End, TooLong };
    explicit LineReader(std::function<std::size_t(char*, std::size_t)> read) : read_(std::move(read)) {}
    // Whether the line last returned ended in CR LF.
    [[nodiscard]] bool endedInCrLf() const noexcept { return crLf_; }

    Got next(std::string& line) {
        for (;;) {
            const auto nl = buffer_.find('\n', pos_);
            if (nl != std::string::npos) {
                line.assign(buffer_, pos_, nl - pos_);
                pos_ = nl + 1;
                crLf_ = !line.empty() && line.back() == '\r';
                if (crLf_) line.pop_back();
                return line.size() > kMaxBackupLine ? Got::TooLong : Got::Line;
            }
            // One more byte than the limit may be the CR of the line end.
            if (buffer_.size() - pos_ > kMaxBackupLine + 1) return Got::TooLong;
            if (atEnd_) {
                if (pos_ == buffer_.size()) return Got::End;
                line.assign(buffer_, pos_);
                pos_ = buffer_.size();
                crLf_ = false;
                return line.size() > kMaxBackupLine ? Got::TooLong : Got::Line;
            }
            buffer_.erase(0, pos_);
            pos_ = 0;
            const std::size_t had = buffer_.size();
            buffer_.resize(had + kChunk);
            const std::size_t got = read_(buffer_.data() + had, kChunk);
            buffer_.resize(had + got);
            atEnd_ = got == 0;
        }
    }

private:
    static constexpr std::size_t kChunk = 1 << 16;
    std::function<std::size_t(char*, std::size_t)> read_;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool atEnd_ = false;
    bool crLf_ = false;
};

// The header into `head` (company and chart), each booking to `visit` in
// file order; the notice, or the empty text when the whole text is sound.
std::string read_lines(LineReader& reader, Backup& head, const BookingVisitor& visit, bool& checked) {
    std::size_t lineNumber = 1;
    const auto tooLong = [&] {
        return problem(lineNumber, cp("Die Zeile ist länger als ") + std::to_string(kMaxBackupLine) + " Zeichen.");
    };
    std::string line;
    LineReader::Got got = reader.next(line);
    if (got == LineReader::Got::TooLong) return tooLong();
    if (got == LineReader::Got::End) return problem(1, "Die Datei ist leer.");
    // A header ending in LF alone announces the mark at the end.
    checked = got == LineReader::Got::Line && !reader.endedInCrLf();

    // The chart number, the header's last field, has no bar after it.
    const std::vector<std::string> header = split_bars(line);
    if (header.size() != kHeaderFields) return problem(1, std::to_string(header.size()) + " statt 9 Felder.");
    for (std::size_t i = 0; i < 8; ++i) head.company[i] = header[i];
    const std::string& chart = header[8];
    if (chart.size() != 1 || chart[0] < '0' || chart[0] > '0' + kChartCount)
        return problem(1, 9, "'" + chart + "' ist keine Kontenplan-Nummer von 0 bis " + std::to_string(kChartCount) + ".");
    head.chart = chart[0] - '0';

    // The second line starts with the lone "|" written after the header.
    lineNumber = 2;
    got = reader.next(line);
    if (got == LineReader::Got::TooLong) return tooLong();
    if (got == LineReader::Got::End || line.empty() || line[0] != '|')
        return problem(2, cp("Das Zeichen \"|\" am Zeilenanfang fehlt."));
    std::string pending = line.substr(1);
    bool pendingCrLf = reader.endedInCrLf();
    got = reader.next(line);
    // A lone "|" as the last line: a backup without bookings.
    bool havePending = !pending.empty() || got != LineReader::Got::End;
    BookingRecord record;
    for (;;) {
        if (havePending) {
            std::string error = read_booking_line(pending, lineNumber, record);
            if (!error.empty()) return error;
            visit(record);
        }
        ++lineNumber;
        if (got == LineReader::Got::TooLong) return tooLong();
        if (got == LineReader::Got::End) break;
        pending.swap(line);
        pendingCrLf = reader.endedInCrLf();
        havePending = true;
        got = reader.next(line);
    }
    // Only the last line ends in CR LF: a backup cut at a line end lacks it.
    if (checked && !pendingCrLf)
        return problem(lineNumber - 1, cp("Die Sicherung ist abgeschnitten: ihr Ende fehlt. Lade eine vollständige Sicherung."));
    return {};
}

BackupReading read_whole(LineReader& reader) {
    Backup backup;
    bool checked = false;
    std::string error =
        read_lines(reader, backup, [&backup](const BookingRecord& r) { backup.bookings.push_back(r); }, checked);
    if (!error.empty()) return {std::nullopt, std::move(error), false};
    return {std::move(backup), {}, checked};
}

} // namespace

BackupReading read_backup(std::string_view bytes) {
    LineReader reader([&bytes](char* to, std::size_t n) {
        const std::size_t take = std::min(n, bytes.size());
        std::copy_n(bytes.data(), take, to);
        bytes.remove_prefix(take);
        return take;
    });
    return read_whole(reader);
}

std::string scan_backup_file(const std::string& path, const std::string& shownName, Backup& head,
                             const BookingVisitor& visit, bool* completenessChecked) {
    // Never waits: a pipe or a device would hold the program for ever.
    const auto notAFile = [&] {
        return cp("„") + shownName + cp("“ ist keine gewöhnliche Datei und kann nicht geladen werden.");
    };
    if (is_special_file(path)) return notAFile();
    File file = File::openReadNoWait(path);
    if (!file.isRegular()) return notAFile();
    std::int64_t offset = 0;
    LineReader reader([&](char* to, std::size_t n) {
        const std::size_t got = file.readAt(to, n, offset);
        offset += static_cast<std::int64_t>(got);
        return got;
    });
    bool checked = false;
    std::string error = read_lines(reader, head, visit, checked);
    if (completenessChecked) *completenessChecked = checked;
    return error;
}

BackupReading read_backup_file(const std::string& path, const std::string& shownName) {
    Backup backup;
    bool checked = false;
    std::string error = scan_backup_file(
        path, shownName, backup, [&backup](const BookingRecord& r) { backup.bookings.push_back(r); }, &checked);
    if (!error.empty()) return {std::nullopt, std::move(error), false};
    return {std::move(backup), {}, checked};
}

namespace {

const char* const kNotWritten = " Die Sicherung wurde nicht geschrieben.";

std::string company_refusal(const CompanyFields& company) {
    static const char* const companyNames[] = {"Firmen-Name", "Straße und Nr.", "PLZ und Ort", "Konto-Nr.", "BLZ",
                                               "Name des Instituts", "Verantwortlich für die Buchhaltung",
                                               "Verantwortlich für das Unternehmen"};
    for (std::size_t i = 0; i < company.size(); ++i)
        if (company[i].find('|') != std::string::npos) return bar_refusal(cp(companyNames[i])) + kNotWritten;
    return {};
}

std::string booking_refusal(const BookingRecord& r) {
    const auto bar = [](const std::string& text) { return text.find('|') != std::string::npos; };
    std::string field;
    if (bar(r.person)) field = cp("Einzahler/Empfänger");
    if (bar(r.reason)) field = "Zahlungsgrund";
    if (bar(r.date)) field = "Buchungsdatum";
    for (const auto& account : r.account)
        if (bar(account)) field = "Konto";
    if (field.empty()) return {};
    return cp("Das Zeichen \"|\" im Feld \"") + field + "\" der Buchung " +
           std::to_string(static_cast<long long>(r.number) + 1) + cp(" lässt sich nicht sichern.") + kNotWritten;
}

} // namespace

std::string backup_refusal(const Backup& backup) {
    if (std::string refusal = company_refusal(backup.company); !refusal.empty()) return refusal;
    for (const BookingRecord& r : backup.bookings)
        if (std::string refusal = booking_refusal(r); !refusal.empty()) return refusal;
    // Anything else restoring would refuse, such as a booking whose debit and
    // credit differ, is named as the reader names it.
    BackupReading check = read_backup(backup_text(backup));
    if (!check.backup) return check.error + kNotWritten;
    return {};
}

std::string write_backup_file(const std::string& path, const CompanyFields& company, int chart) {
    Backup head;
    head.company = company;
    head.chart = chart;
    if (std::string refusal = company_refusal(company); !refusal.empty()) return refusal;
    // Refused in the order backup_refusal refuses: a bar anywhere first, then
    // the first line restoring would refuse (the header is line 1).
    std::string firstProblem;
    if (BackupReading check = read_backup(backup_text(head)); !check.backup) firstProblem = check.error;
    FileBuilder file(path);
    file.write(backup_head(head));
    std::string barRefusal;
    bool lineBreak = false;  // a text holding a line end: its line numbers are not the record's
    std::size_t lineNumber = 2;
    std::string line;
    BookingRecord ignored;
    bookings_scan([&](const BookingRecord& r) {
        if (!barRefusal.empty()) return;
        barRefusal = booking_refusal(r);
        if (!barRefusal.empty()) return;
        line = backup_line(r);
        if (line.find('\n') != std::string::npos) lineBreak = true;
        if (!lineBreak && firstProblem.empty()) firstProblem = read_booking_line(line, lineNumber, ignored);
        // Each line's end is written when the next line comes: the last
        // one ends in CR LF, the mark of a whole backup.
        if (lineNumber > 2) file.write("\n");
        ++lineNumber;
        file.write(line);
    });
    file.write(kMarkEnd);
    if (!barRefusal.empty()) return barRefusal;
    if (lineBreak) {
        // Rare enough to be checked the long way, with the whole text at hand.
        Backup whole = head;
        whole.bookings = bookings_read_all();
        if (std::string refusal = backup_refusal(whole); !refusal.empty()) return refusal;
    } else if (!firstProblem.empty()) {
        return firstProblem + kNotWritten;
    }
    file.commit();
    return {};
}

} // namespace saldorama
