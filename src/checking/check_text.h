#pragma once
#include <functional>
#include <string>
#include <vector>

#include "checking/check_result.h"

namespace saldorama::checking {

// The German texts of a check, CP1252 like all core text.

// A booking in textbook form: the Soll lines, "an", the Haben lines, each
// "Konto Betrag", lines on the same account and side summed, in the order
// they first appear: "Bank 300,00, Kasse 200,00 an Eigenkapital 500,00".
[[nodiscard]] std::string booking_text(const std::vector<BookingLine>& lines);

// The name of a control value: "Kontostand Kasse", "Bilanzsumme", "Gewinn/Verlust",
// "Betriebsergebnis", "Neutrales Ergebnis".
[[nodiscard]] std::string control_name(const ExpectedControl& control);

// The case a row is about as findings name it: "Aufgabe 7, Fall (10)".
[[nodiscard]] std::string case_reference(const Solution& solution, const ExpectedCase& kase);

// A case in textbook form: each of the solution's bookings, joined by "; ".
[[nodiscard]] std::string case_text(const Solution& solution, const ExpectedCase& kase);

// The row's finding; check() stores it in CheckRow::text. The parts stay
// apart in the row (kind, case, details), so that a shorter form can be
// built from them.
[[nodiscard]] std::string finding_text(const CheckRow& row, const Solution& solution, const LearnerBooks& learner);

// The finding as exam mode shows it: only which case (or value, or
// company field) is right or wrong and the kind of mistake ("falscher
// Betrag", "falsches Konto", "fehlt", "zu viel"), never an expected amount
// or account. Control values are named by number ("Kontrollwert 2"), as
// their names hold accounts.
[[nodiscard]] std::string exam_finding_text(const CheckRow& row, const Solution& solution, const LearnerBooks& learner);
// "Kontrollwert 2": a control value row as exam mode names it.
[[nodiscard]] std::string exam_control_name(const CheckRow& row);

// The answers to the exercise's questions, after a check:
// "Antworten zu den Fragen:" and the lines; nothing when there are none.
[[nodiscard]] std::vector<std::string> answer_lines(const std::vector<std::string>& answers);

// "Lösung zeigen" for a booking: the expected booking, its alternatives,
// its date where named, then its explanation.
[[nodiscard]] std::vector<std::string> solution_lines(const ExpectedBooking& booking);
// The same for a case row: each booking of the case as above, then the
// other answers the case takes.
[[nodiscard]] std::vector<std::string> solution_lines(const Solution& solution, const ExpectedCase& kase);
// The same for a company field row: its caption and the solution's text.
[[nodiscard]] std::vector<std::string> company_solution_lines(const CheckRow& row);
// The same for a control value row: its name and value.
[[nodiscard]] std::vector<std::string> solution_lines(const ExpectedControl& control);

// "3 von 5 Punkten" ("1 von 1 Punkt").
[[nodiscard]] std::string points_text(int points, int maxPoints);

// The row's finding as shown: its text, or for an extra booking the text
// made now (in exam form where the result is).
[[nodiscard]] std::string row_text(const CheckRow& row, const CheckResult& result, const Solution& solution,
                                   const LearnerBooks& learner);

// The command line's output of a check: one line per finding of this
// exercise, then under "Aus früheren Aufgaben (kostet keine Punkte):" the
// findings about earlier exercises, then the points line. each_check_line
// hands them over one at a time, so that none is held.
void each_check_line(const CheckResult& result, const Solution& solution, const LearnerBooks& learner,
                     const std::function<void(const std::string&)>& line);
[[nodiscard]] std::vector<std::string> check_lines(const CheckResult& result, const Solution& solution,
                                                   const LearnerBooks& learner);

// The class check: one line per backup, and the same as fields for a table.
// "schueler1.qrx: Anna Beispiel: 3 von 5 Punkten"
[[nodiscard]] std::string class_check_line(const std::string& file, const std::string& responsible,
                                           const CheckResult& result);
// "schueler2.qrx: nicht geprüft: <message>"
[[nodiscard]] std::string class_check_failure_line(const std::string& file, const std::string& message);
// Datei, Verantwortlich, Punkte, Mögliche Punkte, Hinweis.
[[nodiscard]] std::vector<std::string> class_check_header();
[[nodiscard]] std::vector<std::string> class_check_fields(const std::string& file, const std::string& responsible,
                                                          const CheckResult& result);
// The file, empty fields, and the message as the Hinweis.
[[nodiscard]] std::vector<std::string> class_check_failure_fields(const std::string& file, const std::string& message);
// Fields joined by ";"; a field holding ';', '"', CR or LF is put in double
// quotes with its quotes doubled.
[[nodiscard]] std::string csv_row(const std::vector<std::string>& fields);

} // namespace saldorama::checking
