#pragma once

namespace saldorama {

class BookingPage;
class TForm1;
struct SolutionBooking;

// Types a solution's booking into the booking form after "&Neu", as a
// learner would: date, payer, reason and each line's account and amount.
void type_solution_booking(BookingPage& page, const SolutionBooking& booking);

// Books solution N into the working folder, as "Sicherung laden!" replaces
// the books: after a question, the bookings of the solution and of those it
// builds on replace all bookings, the solution's chart becomes current and
// the company data (and the manual mode) become what the solution states;
// fields the solution leaves to the learner ("*") keep their text.
//
// The bookings are typed on the pages of a second form working in a scratch
// folder holding copies of the settings and charts, so they are stored
// exactly as a learner's would be. Only when every one was booked without a
// box are the books replaced, in one atomic replacement of "buchungen.dat"
// followed by the settings file. Any box of the scratch form stops it with a
// failure naming the solution booking; nothing in the working folder changes
// then.
void loesung_buchen(TForm1& form, int exercise);

} // namespace saldorama
