#pragma once
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "bookings/booking_record.h"

// The check has its own namespace: its Solution and ControlKind are the
// engine's view of the expected books, apart from the solution file's types.
namespace saldorama::checking {

// What a check compares: the expected books of an exercise's solution and the
// learner's bookings, in whole cents. Texts are CP1252 like all core text.

using Cents = std::int64_t;

// A stored amount in cents, rounded exactly as the program shows it
// (amount_text): 1234.5 gives 123450, 0.005 gives 0. An amount of 10^15 euros
// or more fails with "Der Betrag ... ist zu groß für die Prüfung".
[[nodiscard]] Cents cents_of(double amount);
// A typed amount text in cents as checkmoney reads it ("12,5" gives 1250);
// a text that is no number fails with checkmoney's failure.
[[nodiscard]] Cents cents_of_text(std::string_view text);
// Cents as the program writes an amount: "1234,50", "-0,05".
[[nodiscard]] std::string cents_text(Cents cents);

enum class Side { Soll, Haben };

struct BookingLine {
    std::string account;
    Side side = Side::Soll;
    Cents cents = 0;
    bool operator==(const BookingLine&) const = default;
    // By account, then side, then cents. Written out: some standard
    // libraries give std::string no operator<=> to default one from.
    bool operator<(const BookingLine& other) const {
        return std::tie(account, side, cents) < std::tie(other.account, other.side, other.cents);
    }
};

// Lines as the check compares them: lines on the same account and side summed,
// lines of 0 cents dropped, sorted by account, then side. Two bookings carry
// the same lines exactly when their normal forms are equal.
[[nodiscard]] std::vector<BookingLine> normal_form(const std::vector<BookingLine>& lines);
// Summed like normal_form, but in the order each account and side first
// appears: the order a booking is shown in.
[[nodiscard]] std::vector<BookingLine> summed_in_order(const std::vector<BookingLine>& lines);

// One booking of a solution.
struct ExpectedBooking {
    int number = 0;                  // its number within the solution, shown as "Buchung 3"
    int exercise = 0;                // the exercise that adds it
    std::vector<BookingLine> lines;  // up to five in the file; order does not matter
    std::string date;                // "TT.MM.JJJJ"; empty: any date will do
    std::vector<std::vector<BookingLine>> alternatives;  // other line sets that are right too
    std::string explanation;         // why it is booked so; shown with "Lösung zeigen"
};

// One case of an exercise text ("(3)", the opening, a closing step): the
// solution's bookings that answer it together, and what they do to the books.
struct ExpectedCase {
    std::string label;  // as findings name it: "Fall (3)", "Buchung 4", "Eröffnung"
    int exercise = 0;   // the exercise whose text prints it
    int weight = 1;     // the points it counts: one, or as many cases as a compound alternative joins
    std::vector<std::size_t> bookings;  // indices into the solution's bookings, in order
    // What answers it, each a normal form: the sum of the solution's lines
    // first, then one per alternative.
    std::vector<std::vector<BookingLine>> effects;
    // The normal form of each of the solution's bookings, to name a mistake
    // in one of several.
    std::vector<std::vector<BookingLine>> parts;
    std::string date;   // "TT.MM.JJJJ" its bookings carry; empty: any date will do
    bool later = false; // of an exercise built on the checked one: its answers are only recognised
};

enum class ControlKind {
    AccountBalance,      // the balance of one account
    BalanceSheetTotal,   // the balance sheet total
    ProfitOrLoss,        // the year's profit (negative: loss)
    OperatingResult,
    NeutralResult,
};

// One control value of a solution.
struct ExpectedControl {
    ControlKind kind = ControlKind::AccountBalance;
    std::string account;  // for AccountBalance only
    Cents cents = 0;
    int exercise = 0;     // the exercise that adds it
};

// The learner's values for the control kinds, computed by the caller from the
// learner's books in the same sign convention as the solution's values.
struct ComputedValues {
    std::vector<std::pair<std::string, Cents>> balances;  // account, balance; a missing account counts as 0
    Cents balanceSheetTotal = 0;
    Cents profitOrLoss = 0;
    Cents operatingResult = 0;
    Cents neutralResult = 0;
};

// The values of a set of booking lines, as computed_value reads them.
using ValuesOf = std::function<ComputedValues(const std::vector<std::vector<BookingLine>>&)>;

// The learner's value for one control value.
[[nodiscard]] Cents computed_value(const ComputedValues& values, const ExpectedControl& control);

// One booking of the learner.
struct LearnerBooking {
    std::int64_t number = 0;         // as the learner sees it on the booking page (1 for the first)
    std::string date;
    std::vector<BookingLine> lines;
    bool operator==(const LearnerBooking&) const = default;
};

// A stored booking for the check: number + 1, the date, and for each of the
// five lines with an account a Soll line for a debit and a Haben line for a
// credit that are not 0 cents.
[[nodiscard]] LearnerBooking learner_booking(const BookingRecord& record);

// The learner's bookings in file order, held so that a check of a million
// of them stays small: each account name is kept once, a date in the form
// "TT.MM.JJJJ" as a number, and a booking is a few bytes of variable-length
// numbers (about 20 for three lines) instead of strings and vectors.
class LearnerBookings {
public:
    // A line with its account as an index into accounts().
    struct Line {
        std::uint32_t account = 0;
        Side side = Side::Soll;
        Cents cents = 0;
    };

    LearnerBookings() = default;
    LearnerBookings(std::initializer_list<LearnerBooking> bookings);
    // Read as a list of bookings, as tests and callers write them.
    LearnerBookings(const std::vector<LearnerBooking>& bookings);  // NOLINT(google-explicit-constructor)

    void push_back(const LearnerBooking& booking);
    [[nodiscard]] std::size_t size() const noexcept { return count_; }
    [[nodiscard]] bool empty() const noexcept { return count_ == 0; }
    // The booking as it was added (const: it is a copy).
    [[nodiscard]] const LearnerBooking operator[](std::size_t j) const;
    [[nodiscard]] std::int64_t number(std::size_t j) const;
    // Equal codes exactly for equal dates.
    [[nodiscard]] std::uint32_t date_code(std::size_t j) const;
    // The code of a date text, or nothing when no booking can carry it.
    [[nodiscard]] std::optional<std::uint32_t> code_of_date(const std::string& date) const;
    // Its lines in order, into `out`.
    void lines(std::size_t j, std::vector<Line>& out) const;
    [[nodiscard]] const std::vector<std::string>& accounts() const noexcept { return accounts_; }

private:
    struct Reader;
    [[nodiscard]] Reader reader(std::size_t j) const;
    [[nodiscard]] std::string date_of_code(std::uint32_t code) const;

    // Bookings in blocks of a fixed count, each block's bytes apart, so that
    // growing never copies more than one block.
    struct Block {
        std::vector<unsigned char> bytes;
        std::vector<std::uint32_t> at;  // where each booking starts in bytes
    };
    std::vector<Block> blocks_;
    std::vector<std::string> accounts_;
    std::vector<std::string> otherDates_;  // dates not of the form "TT.MM.JJJJ", the empty one included
    std::unordered_map<std::string, std::uint32_t> accountIds_, otherDateIds_;
    std::size_t count_ = 0;
};

} // namespace saldorama::checking
