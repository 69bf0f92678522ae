#pragma once
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bookings/booking_record.h"
#include "settings/settings.h"

namespace saldorama {

// What a backup file ("*.qrx") holds: the eight company fields, the current
// chart (0..kChartCount) and every booking in file order. Texts are CP1252.
struct Backup {
    CompanyFields company;
    int chart = 0;
    std::vector<BookingRecord> bookings;
    bool operator==(const Backup&) const = default;
};

// The backup file's bytes: the company fields each followed by "|", the
// chart and LF; a lone "|"; then one line a booking, 19 fields each followed
// by "|", the lines parted by LF; at the very end CR LF. The LF after the
// header announces that the CR LF at the end is there: a backup cut at a
// line end lacks it and is refused. Older backups end every line in CR LF
// and are read as before. Nothing is escaped, so a "|" in a text would
// shift the fields; backup_refusal keeps such a backup from being written.
[[nodiscard]] std::string backup_text(const Backup& backup);
// The header line and the lone "|" that starts the first booking line.
[[nodiscard]] std::string backup_head(const Backup& backup);
// One booking's line without its line end.
[[nodiscard]] std::string backup_line(const BookingRecord& record);

// Why a backup may not be written, or the empty text: a "|" in a text field
// (the notice names the field), or anything read_backup would refuse.
[[nodiscard]] std::string backup_refusal(const Backup& backup);

struct BackupReading {
    std::optional<Backup> backup;  // set when the whole file is sound
    std::string error;             // otherwise the German notice, naming the line
    bool completenessChecked = false;  // false: an older backup without the mark
};
// Said of a backup of an older version, which loads without the mark.
[[nodiscard]] std::string unchecked_backup_note(const std::string& shownName);

// Checks the whole text before anything is taken from it: 9 header fields
// with a chart number 0..kChartCount, the lone "|", 19 fields a booking line, booking
// numbers from 0, amounts and totals in range, debit and credit equal. Amounts come back rounded to cents; texts longer than their
// record field are cut.
[[nodiscard]] BackupReading read_backup(std::string_view bytes);
// The same, read from a file line by line. Anything but a regular file is
// refused (a pipe would never end), and so is a line longer than
// kMaxBackupLine; whole backups may be of any size. `shownName` names the
// file in the notice.
[[nodiscard]] BackupReading read_backup_file(const std::string& path, const std::string& shownName);
// The same check in one pass without holding the bookings: `head` gets the
// company fields and the chart, `visit` each booking in file order as soon as
// its line is sound. Returns the notice, or the empty text when the whole
// file is sound; only then has every booking been visited.
using BookingVisitor = std::function<void(const BookingRecord&)>;
[[nodiscard]] std::string scan_backup_file(const std::string& path, const std::string& shownName, Backup& head,
                                           const BookingVisitor& visit, bool* completenessChecked = nullptr);

// "Alles Speichern": the company fields, the chart and every booking of
// "buchungen.dat" written to `path` in one pass, all or nothing. Returns what
// backup_refusal would say of that backup (and writes nothing), or the empty
// text when the backup was written.
[[nodiscard]] std::string write_backup_file(const std::string& path, const CompanyFields& company, int chart);
inline constexpr std::size_t kMaxBackupLine = 65536;

} // namespace saldorama
