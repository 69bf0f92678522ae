#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "bookings/booking_record.h"

namespace saldorama {

// "Nr.   Datum      Konto ... Betrag" (106 characters).
[[nodiscard]] std::string journal_heading();

// The journal lines of one booking: its debit lines in line order, then its
// credit lines; an amount of exactly 0 gives no line.
void append_journal_lines(std::vector<std::string>& out, const BookingRecord& record);
// The same lines handed to `sink` one by one, so that the journal of any
// number of bookings is written without being held.
// The text handed over lives only for the call.
using LineSink = std::function<void(std::string_view)>;
void journal_lines(const BookingRecord& record, const LineSink& sink);
void journal_lines(const RecordView& record, const LineSink& sink);

// Heading and the lines of every booking, in file order.
[[nodiscard]] std::vector<std::string> journal_report(const std::vector<BookingRecord>& bookings);

} // namespace saldorama
