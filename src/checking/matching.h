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

// Pairs the learner's bookings with the expected ones.
// First the right ones: a learner booking is right for an expected booking
// when their normal forms (or the learner's and one alternative's) are equal
// and, where the solution names a date, the dates are equal too. As many
// expected bookings as possible are matched this way; equal bookings pair in
// solution and learner order.
// Then, going through the remaining expected bookings in solution order, each
// is paired with the closest remaining learner booking that shares an account
// with it and that the pair can be named with: Swapped, WrongAmount,
// WrongAccount or WrongDate (distance: the number of (account, side, cents)
// lines the two do not share; for a booking with alternatives, the closest of
// its forms; the earliest learner booking on a tie). An expected booking
// without such a partner is missing; learner bookings left over are extra.
// (A nearer booking that no name fits would only give "missing" and "extra"
// again, and would hide a wrong amount in a booking of many lines.)
[[nodiscard]] Matching match_bookings(const std::vector<ExpectedBooking>& expected,
                                      const std::vector<LearnerBooking>& learner);

} // namespace saldorama::checking
