#pragma once
#include <optional>
#include <string>
#include <vector>

#include "base/failure.h"

namespace saldorama {

// A teacher's solution file "Loesung1.txt" .. "Loesung8.txt": what the books
// must show after exercise N. Plain CP1252 text, one entry per line:
//
//   ; a comment line        (blank lines are ignored too)
//   [Aufgabe 3]             first section; then Kontenplan:, Baut auf:, Modus:, Erklärung:
//   [Firmendaten]           field: value, with the captions of the company page
//   [Eröffnung]             Datum: and Bestand: ACCOUNT AMOUNT lines (opening page)
//   [Buchung 1]             Fall:, Datum:, Person:, Grund:, 1 to 5 Soll:/Haben: lines, Erklärung:
//   [Alternative 1]         Ersetzt: booking numbers, then a booking as above
//   [Kontrolle 1]           Saldo: ACCOUNT AMOUNT, Bilanzsumme:, Gewinn: (or
//                           Jahresüberschuss:), Betriebsergebnis:, Neutrales Ergebnis:
//
// Bookings, alternatives and control blocks are numbered 1, 2, ... in file
// order; the numbers are their identities. A control block holds for the
// books after every booking above it. Amounts are written as the program
// takes them: digits, a comma, two decimals ("1200,00"); control values may
// carry a "-". An account line is "Soll: NAME AMOUNT": the amount is the last
// word, the name all before it.
//
// "Fall: TEXT" names the case of the exercise text a booking answers, as the
// text prints it ("(3)", "7."); consecutive bookings with the same TEXT are
// one case, and the same TEXT on bookings apart is refused. A booking without
// it is a case of its own. "Datum: 14.04." is that day in the working
// folder's booking year; "Datum: 14.04.2026" is that day exactly.

// Amounts in cents, so that sums are exact.
using Cents = long long;

enum class EntrySide { Debit, Credit };

struct SolutionEntry {
    EntrySide side = EntrySide::Debit;
    std::string account;
    Cents amount = 0;
};

struct SolutionBooking {
    int number = 0;     // "[Buchung N]"; for an alternative its own number
    int line = 0;       // line of the section header, for messages
    std::string date;   // "" when not stated; "TT.MM." or "TT.MM.JJJJ"
    std::string caseText;  // "Fall:"; "" when not stated
    std::string person;
    std::string reason;
    std::vector<SolutionEntry> entries;  // 1 to 5, in the order written
    std::vector<std::string> explanation;
};

struct SolutionAlternative {
    std::vector<int> replaces;  // the bookings it stands for, ascending and consecutive
    SolutionBooking booking;
};

struct OpeningAmount {
    std::string account;
    Cents amount = 0;
};

struct SolutionOpening {
    std::string date;  // as for a booking
    std::vector<OpeningAmount> amounts;
};

enum class ControlKind { AccountBalance, BalanceSheetTotal, Profit, OperatingResult, NeutralResult };

struct ControlValue {
    ControlKind kind = ControlKind::AccountBalance;
    std::string account;  // only for AccountBalance
    Cents amount = 0;     // a balance on its account's own side; a loss is negative
    int line = 0;
};

struct ControlBlock {
    int number = 0;
    int afterBookings = 0;  // how many bookings of the file stand above it
    std::vector<ControlValue> values;
};

struct SolutionCompanyField {
    std::string caption;  // as on the company page, without the colon
    std::string value;    // "*": any text the learner types (their own name)
};

struct Solution {
    std::string fileName;
    int exercise = 0;
    int chart = 0;
    std::optional<int> buildsOn;  // the earlier exercise whose books this one continues
    bool manualMode = false;      // "Modus: manuell": opening and closing booked by hand
    std::vector<std::string> explanation;
    std::vector<SolutionCompanyField> company;
    std::optional<SolutionOpening> opening;
    std::vector<SolutionBooking> bookings;
    std::vector<SolutionAlternative> alternatives;
    std::vector<ControlBlock> controls;
};

// A malformed solution file. text() reads "Loesung3.txt, Zeile 12: reason".
class SolutionError : public Failure {
public:
    SolutionError(const std::string& file, int line, const std::string& reason);
    [[nodiscard]] int line() const noexcept { return line_; }
    [[nodiscard]] const std::string& reason() const noexcept { return reason_; }

private:
    int line_;
    std::string reason_;
};

// "Loesung1.txt", "Loesung2.txt", ...
[[nodiscard]] std::string solution_file_name(int exercise);

// Parses the lines of a solution file; `fileName` only names it in messages.
// Throws SolutionError at the first fault.
[[nodiscard]] Solution parse_solution(const std::string& fileName, const std::vector<std::string>& lines);

// Reads the file by bare name from the working directory and parses it.
// A file that cannot be read throws the I/O failure.
[[nodiscard]] Solution read_solution(const std::string& bareName);
// Solution N from `folder` (CP1252; "" the working folder), its file name
// found without regard to case.
[[nodiscard]] Solution read_solution_in(const std::string& folder, int exercise);

// A solution's date in the booking year: "14.04." gives "14.04.YYYY", a
// full date and "" stay as they are.
[[nodiscard]] std::string date_in_year(const std::string& date, int bookingYear);

// 120000 -> "1200,00", -5 -> "-0,05".
[[nodiscard]] std::string cents_text(Cents amount);

} // namespace saldorama
