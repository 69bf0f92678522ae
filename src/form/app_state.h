#pragma once
#include <string>

#include "bookings/booking_record.h"

namespace saldorama {

// What the main window holds for the whole run besides its controls.
struct AppState {
    int currentChart = 0;     // 0 = none chosen, else 1..kChartCount
    int bookingYear = 0;      // from the settings at start-up only
    std::string startDirectory;
    // The installation's supplied files (share/saldorama), "" when unknown:
    // "Hilfe" looks for the manual there when the working folder has none.
    std::string suppliedFolder;
    int bookingCount = 0;
    int bookingPosition = 0;  // 1-based, 0 = none
    BookingRecord currentBooking;
    // The stored booking the booking page shows, as it was read: "Ändern" and
    // "Löschen" act only while the file still holds it there.
    bool bookingShown = false;
    BookingRecord shownBooking;
    // The last confirmation for the window's status line ("" for none).
    std::string status;
    bool examMode = false;  // as the teacher's settings last said
};

} // namespace saldorama
