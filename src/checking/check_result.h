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
    // The cases in text order, exercise by exercise; those of exercises built
    // on this one (later) at the end.
    std::vector<ExpectedCase> cases;
    std::vector<ExpectedControl> controls;
};

struct LearnerBooks {
    int chart = 0;  // 0: none chosen
    LearnerBookings bookings;  // in file order
    ComputedValues values;  // of all the bookings; used where valuesOf is not set
    ValuesOf valuesOf;      // the values of any set of lines on the learner's chart
};

// CompanyField: one field of the company data, which the marking adds.
enum class RowKind { Case, ControlValue, ExtraBooking, OtherChart, CompanyField };

enum class Finding { Right, Missing, Extra, Swapped, WrongAmount, WrongAccount, WrongDate, WrongValue, OtherChart };

inline constexpr std::size_t kNoIndex = std::numeric_limits<std::size_t>::max();

// One row of the result list.
struct CheckRow {
    RowKind kind = RowKind::Case;
    Finding finding = Finding::Right;
    bool earlier = false;            // about an earlier exercise: listed apart, costs nothing
    std::size_t expected = kNoIndex; // Case: index into Solution::cases
    std::size_t control = kNoIndex;  // ControlValue: index into Solution::controls
    std::size_t learner = kNoIndex;  // Case: the first learner booking taken for it, if any; ExtraBooking: the extra one
    std::vector<std::size_t> learners;      // Case: every learner booking taken for it, in file order
    bool split = false;              // Case, right: the solution's one compound booking, given as several
    Cents computed = 0;              // ControlValue: the learner's value
    Cents wanted = 0;                // ControlValue: the right one (moved with an alternative the learner gave)
    std::vector<AmountDifference> amounts;  // WrongAmount
    std::string expectedAccount;            // WrongAccount
    std::string foundAccount;               // WrongAccount
    std::string field;      // CompanyField: its caption
    std::string wantedText; // CompanyField: the solution's text; "*" any
    std::string foundText;  // CompanyField: the learner's, trimmed
    // The finding in German (CP1252), one line; empty on an ExtraBooking
    // row, whose text row_text makes when shown: a check with many extra
    // bookings holds their numbers, not their texts.
    std::string text;
    [[nodiscard]] bool right() const noexcept { return finding == Finding::Right; }
};

struct CheckResult {
    int exercise = 0;
    int points = 0;
    int maxPoints = 0;
    // One row per case (text order; none for later cases), then one per
    // control value, then one per extra learner booking (file order). On
    // another chart than the solution's: the one OtherChart row only.
    // The extra bookings' rows are not held, so that a check with many of
    // them stays small: `extra` keeps their learner indices and row() makes
    // each where it stands, before `rows[extraAt]`.
    std::vector<CheckRow> rows;
    std::vector<std::size_t> extra;  // learner bookings that answer no case, in file order
    std::size_t extraAt = 0;
    bool exam = false;  // the findings name only case and kind (hide_solution)
    // Every row, the extra bookings' included, in order.
    [[nodiscard]] std::size_t row_count() const noexcept { return rows.size() + extra.size(); }
    [[nodiscard]] CheckRow row(std::size_t i) const;
    // No row with a finding, earlier exercises included.
    [[nodiscard]] bool all_right() const noexcept;
};

// Checks the learner's books against the solution, case by case (see
// match_cases). Points: each case of exercise `solution.exercise` (a case of
// a later number counts as this exercise's) that is answered right counts its
// weight, each of its control values that is right one; every extra learner
// booking costs one; never below 0, out of the sum of those weights and
// controls. Cases of earlier exercises are listed and cost nothing; later
// cases only take the bookings that answer them. A control value is judged
// on the books the cases build: a right case with the learner's own bookings,
// any other with the solution's, so that a difference a case finding
// explains costs nothing again (the solution's value moves with an
// alternative the learner gave). On another chart every entry counts as wrong
// and no matching is done.
[[nodiscard]] CheckResult check(const Solution& solution, const LearnerBooks& learner);

} // namespace saldorama::checking
