#pragma once
#include <string>
#include <vector>

#include "accounts/account_record.h"
#include "checking/check_result.h"
#include "exercises/solution_file.h"

namespace saldorama {

// The solution files of exercise N and of those it builds on ("Baut auf"),
// earliest first, read from `folder` (CP1252; "" the working folder). A
// missing or malformed file throws its failure; so does building on an
// exercise of another chart.
[[nodiscard]] std::vector<Solution> solution_chain(int exercise, const std::string& folder = {});

// The exercises built on exercise N along "Baut auf", directly or through
// others, whose solution files the working folder holds, earliest first. A
// file that cannot be read is left out: it is reported when its own exercise
// is checked.
[[nodiscard]] std::vector<Solution> later_solutions(int exercise, const std::string& folder = {});

// One alternative that stands for bookings of several cases at once
// ("Ersetzt: 7 8" where 7 and 8 are cases of their own).
struct CompoundAlternative {
    std::vector<std::size_t> replaces;  // indices into ExpectedBooks::books.bookings, consecutive
    std::vector<std::size_t> cases;     // the cases those bookings belong to, consecutive
    checking::ExpectedBooking booking;  // numbered as the first booking it replaces
};

// The expected books after the last exercise of the chain, in the check's terms.
struct ExpectedBooks {
    checking::Solution books;
    std::vector<CompoundAlternative> compounds;
    std::vector<SolutionCompanyField> company;  // the last exercise's company data, field by field
    std::vector<std::string> answers;           // its explanation: the answers to its questions
};

// The bookings of every solution of the chain (an opening section is booked
// as the opening page does: one booking per amount, emptying what came
// before) and their cases: the opening is one case, consecutive bookings with
// the same "Fall:" one, any other booking one of its own. An alternative
// within one case is another effect of it (a single replaced booking's also
// shown with it); one across cases is a CompoundAlternative. Then the cases
// of `later` (see later_solutions), and the control values that hold after
// the last booking of the last solution. `chart` gives the sides of the
// opening amounts; a date "TT.MM." is taken in `bookingYear`.
[[nodiscard]] ExpectedBooks expected_books(const std::vector<Solution>& chain,
                                           const std::vector<AccountRecord>& chart, const std::string& chartName,
                                           int bookingYear = 0, const std::vector<Solution>& later = {});

} // namespace saldorama
