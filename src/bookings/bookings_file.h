#pragma once
#include <functional>
#include <string>
#include <vector>

#include "bookings/booking_record.h"

namespace saldorama {

// "buchungen.dat" in the working directory. Every operation opens the file,
// does its work and closes it again; failures throw the German I/O text.
[[nodiscard]] std::string bookings_file_name();

// Creates an empty file when none exists; returns the record count.
int bookings_create_if_missing();
// File size divided by 528, rounded down.
[[nodiscard]] int bookings_count();
// Record n, counted from 1 (n >= 1 and n <= count).
[[nodiscard]] BookingRecord bookings_read(int n);
// Writes the record at place count + 1 in one write (over a trailing fragment).
void bookings_append(const BookingRecord& record);
// Overwrites record n (n >= 1) in one write.
void bookings_overwrite(int n, const BookingRecord& record);
// Replaces the file by an empty one in one step.
void bookings_empty();
// Every whole record in file order; a trailing fragment is never read.
void bookings_scan(const std::function<void(const BookingRecord&)>& visit);
// The same pass with each record read in place; the view lives for the call only.
void bookings_scan_views(const std::function<void(const RecordView&)>& visit);
[[nodiscard]] std::vector<BookingRecord> bookings_read_all();
// The file's bytes for these records.
[[nodiscard]] std::string bookings_bytes(const std::vector<BookingRecord>& records);
// Replaces the whole file atomically (temporary file, then rename).
void bookings_replace_all(const std::vector<BookingRecord>& records);

// Removes record n (counted from 1). The later records move up one place and
// their `number` is rewritten to their new place; the file is replaced
// atomically, written in one pass while the old one is read. Returns the new
// record count.
int loesche_buchung(int n);

} // namespace saldorama
