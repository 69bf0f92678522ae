#pragma once
#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "checking/check_input.h"
#include "checking/matching.h"

namespace saldorama::checking {

// The expected books after exercise `exercise`: its bookings and control
// values and those of the exercises it builds on.
struct Solution {
    int exercise = 0;
    int chart = 0;           // 1..kChartCount, the chart the exercise is booked on
    std::string chartName;   // its name from the settings; may be empty
    std::vector<ExpectedBooking> bookings;  // in solution order
    std::vector<ExpectedControl> controls;
};

struct LearnerBooks {
    int chart = 0;  // 0: none chosen
    std::vector<LearnerBooking> bookings;  // in file order
    ComputedValues values;
};

enum class RowKind { Booking, ControlValue, ExtraBooking, OtherChart };

enum class Finding { Right, Missing, Extra, Swapped, WrongAmount, WrongAccount, WrongDate, WrongValue, OtherChart };

inline constexpr std::size_t kNoIndex = std::numeric_limits<std::size_t>::max();

// One row of the result list.
struct CheckRow {
    RowKind kind = RowKind::Booking;
    Finding finding = Finding::Right;
    bool earlier = false;            // about an earlier exercise: listed apart, costs nothing
    std::size_t expected = kNoIndex; // Booking: index into Solution::bookings
    std::size_t control = kNoIndex;  // ControlValue: index into Solution::controls
    std::size_t learner = kNoIndex;  // Booking: the paired learner booking, if any; ExtraBooking: the extra one
    Cents computed = 0;              // ControlValue: the learner's value
    std::vector<AmountDifference> amounts;  // WrongAmount
    std::string expectedAccount;            // WrongAccount
    std::string foundAccount;               // WrongAccount
    std::string text;                // the finding in German (CP1252), one line
    [[nodiscard]] bool right() const noexcept { return finding == Finding::Right; }
};

struct CheckResult {
    int exercise = 0;
    int points = 0;
    int maxPoints = 0;
    // One row per expected booking (solution order), then one per control
    // value, then one per extra learner booking (file order). On another
    // chart than the solution's: the one OtherChart row only.
    std::vector<CheckRow> rows;
    // No row with a finding, earlier exercises included.
    [[nodiscard]] bool all_right() const noexcept;
};

// Checks the learner's books against the solution. Points: one for each
// booking and control value of exercise `solution.exercise` (entries of a
// later number count as this exercise's) that is right, less one for every
// extra learner booking, never below 0, out of the number of those entries.
// On another chart every entry counts as wrong and no pairing is done.
[[nodiscard]] CheckResult check(const Solution& solution, const LearnerBooks& learner);

} // namespace saldorama::checking
