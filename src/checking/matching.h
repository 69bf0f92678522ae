#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "checking/check_input.h"

namespace saldorama::checking {

// How an expected booking and the learner's booking paired with it differ.
enum class PairKind {
    Right,         // the same lines (or an alternative's), and the date where one is named
    WrongDate,     // the same lines, another date than the one named
    Swapped,       // every line on the other side
    WrongAmount,   // the same accounts and sides, other amounts
    WrongAccount,  // one account instead of another, everything else the same
    Missing,       // a case only partly booked: what was found falls short
};

struct AmountDifference {
    std::string account;
    Side side = Side::Soll;
    Cents expected = 0;
    Cents found = 0;
};

struct BookingPair {
    std::size_t expected = 0;  // index into the expected bookings
    std::size_t learner = 0;   // index into the learner's bookings
    PairKind kind = PairKind::Right;
    std::vector<AmountDifference> amounts;  // WrongAmount: each line that differs, in account order
    std::string expectedAccount;            // WrongAccount: the account the solution books
    std::string foundAccount;               // WrongAccount: the one booked instead
};

struct Matching {
    std::vector<BookingPair> pairs;    // ordered by expected index
    std::vector<std::size_t> missing;  // expected bookings without a partner, in solution order
    std::vector<std::size_t> extra;    // learner bookings without a partner, in the learner's order
};

// How the learner answered one case.
struct CaseAnswer {
    std::size_t kase = 0;              // index into the cases
    PairKind kind = PairKind::Right;
    std::size_t effect = 0;            // Right: the effect the answer gives (0: the solution's own)
    std::vector<std::size_t> learners; // the learner bookings taken for it, in file order
    std::vector<AmountDifference> amounts;
    std::string expectedAccount;
    std::string foundAccount;
};

struct CaseMatching {
    std::vector<CaseAnswer> answers;     // ordered by case index
    std::vector<std::size_t> missing;    // cases nothing was found for, in order
    std::vector<std::size_t> extra;      // learner bookings that answer no case, in file order
    std::vector<std::size_t> cancelled;  // bookings undone by their later exact reverse, in file order
};

// Matches the learner's bookings to the cases of a solution; the rule, in
// this order:
// 1. A learner booking answers a case alone when its normal form equals one
//    of the case's effects and, where the case names a date, it carries that
//    date. First every booking that answers a case alone is matched to one:
//    as many cases as can be answered so, cases in order and bookings in file
//    order (equal bookings go to equal cases earliest first; a booking moves
//    to another case only when that lets one more case be answered).
// 2. The cases still open then take groups: a set of unused bookings answers
//    a case when each booking books only the case's accounts and sides, each
//    line at most the case's amount there, and together they give exactly
//    one of its effects. Cases in order; of the sets that answer, the one
//    that is earliest in file order (its first booking earliest, then its
//    second, ...). A case no set answers takes nothing, so a booking that a
//    later case could use alone was already taken in step 1 and is never lost
//    to a failed grouping.
// 3. Of the bookings left, one followed later by its exact reverse (every
//    line on the other side) cancels out with it: a correction, at no cost.
// 4. A case still open is paired with what comes nearest, so that the
//    mistake is named: one booking with sides swapped, another amount or one
//    account instead of another (closest first, the earliest on a tie); a set
//    as in step 2 on another date; for a case of several solution bookings,
//    a booking near one of them beside others that are right; bookings on the
//    case's accounts and sides that together have other amounts; else the
//    bookings on its accounts and sides that fall short (partly missing).
//    A case with nothing near is missing. A later case (of an exercise built
//    on the checked one) is not paired so: it only takes its answers.
// 5. Every booking left answers no case: it is extra.
// Each learner booking answers at most one case.
[[nodiscard]] CaseMatching match_cases(const std::vector<ExpectedCase>& cases,
                                       const LearnerBookings& learner);

// Pairs the learner's bookings with the expected ones, each expected booking
// a case of its own for match_cases (its lines and its alternatives the
// effects): a pair for every case answered or named, the learner booking the
// first one taken.
[[nodiscard]] Matching match_bookings(const std::vector<ExpectedBooking>& expected,
                                      const LearnerBookings& learner);

} // namespace saldorama::checking
