#pragma once
#include <string>

#include "bookings/booking_record.h"

namespace saldorama::test {

// The eight company fields of a backup's first line, each closed by "|".
inline const std::string kBackupHeader =
    "Muster GmbH|Hauptstr. 1|12345 Musterstadt|4711|10000000|Musterbank|Anna Buch|Bert Chef|";

// Kasse debit, Bank credit, both `amount`; 24.12.2023, "Max", "Miete".
inline BookingRecord two_line_booking(int number, double amount) {
    BookingRecord r;
    r.number = number;
    r.date = "24.12.2023";
    r.person = "Max";
    r.reason = "Miete";
    r.account[0] = "Kasse";
    r.account[1] = "Bank";
    r.debit[0] = amount;
    r.credit[1] = amount;
    return r;
}

} // namespace saldorama::test
