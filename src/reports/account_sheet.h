#pragma once
#include <string>
#include <vector>

#include "bookings/booking_record.h"

namespace saldorama {

// A T-account as grid cells: soll[row] goes into column 0, haben[row] into
// column 2; row 0 holds the headings. Both have the same length, the last row
// holding the two equal sums.
struct TAccount {
    std::vector<std::string> soll;
    std::vector<std::string> haben;
};

// Collects the booking lines of one account (exact name) in one pass over the
// bookings, then lays out its T-account.
class TAccountBuilder {
public:
    explicit TAccountBuilder(std::string name);

    void add(const BookingRecord& record);
    void add(const RecordView& record);
    [[nodiscard]] TAccount build() const;

private:
    struct Entry {
        long long shownNumber;
        std::string reason;
        double debit;
        double credit;
    };
    std::string name_;
    std::vector<Entry> entries_;
};

[[nodiscard]] TAccount account_sheet(const std::string& name, const std::vector<BookingRecord>& bookings);

} // namespace saldorama
