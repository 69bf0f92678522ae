#pragma once
#include <string>
#include <vector>

#include "accounts/account_record.h"
#include "checking/check_result.h"
#include "exercises/solution_file.h"

namespace saldorama {

// The solution files of exercise N and of those it builds on ("Baut auf"),
// earliest first, read from the working folder. A missing or malformed file
// throws its failure; so does building on an exercise of another chart.
[[nodiscard]] std::vector<Solution> solution_chain(int exercise);

// One alternative that stands for several bookings at once ("Ersetzt: 7 8").
struct CompoundAlternative {
    std::vector<std::size_t> replaces;  // indices into ExpectedBooks::books.bookings, consecutive
    checking::ExpectedBooking booking;  // numbered as the first booking it replaces
};

// The expected books after the last exercise of the chain, in the check's terms.
struct ExpectedBooks {
    checking::Solution books;
    std::vector<CompoundAlternative> compounds;
};

// The bookings of every solution of the chain (an opening section is booked
// as the opening page does: one booking per amount, emptying what came
// before), the alternatives that replace one booking attached to it, and
// the control values that hold after the last booking of the last solution.
// `chart` gives the sides of the opening amounts.
[[nodiscard]] ExpectedBooks expected_books(const std::vector<Solution>& chain,
                                           const std::vector<AccountRecord>& chart, const std::string& chartName);

} // namespace saldorama
