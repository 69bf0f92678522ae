// Any backup file is either refused with a German notice or read into a
// backup that writes back to a file reading the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "bookings/checks.h"
#include "settings/backup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace saldorama;
    const auto reading = read_backup(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!reading.backup) {
        if (reading.error.empty()) std::abort();
        return 0;
    }
    const Backup& b = *reading.backup;
    if (b.chart < 0 || b.chart > 4) std::abort();
    // What restoring takes, a booking would take: numbers from 0, amounts in range.
    for (const auto& r : b.bookings) {
        if (r.number < 0) std::abort();
        for (std::size_t i = 0; i < r.debit.size(); ++i)
            if (!amount_in_range(r.debit[i]) || !amount_in_range(r.credit[i])) std::abort();
    }
    // Saving refuses exactly what restoring would refuse of it.
    if (backup_refusal(b).empty() != read_backup(backup_text(b)).backup.has_value()) {
        bool bar = false;
        for (const auto& f : b.company) bar = bar || f.find('|') != std::string::npos;
        if (!bar) std::abort();
    }
    const auto again = read_backup(backup_text(b));
    if (!again.backup) {
        // Only texts holding the separator or a line end cannot come back.
        for (const auto& f : b.company)
            if (f.find_first_of("|\r\n") == std::string::npos) continue;
            else return 0;
        for (const auto& r : b.bookings) {
            std::string all = r.date + r.person + r.reason;
            for (const auto& a : r.account) all += a;
            if (all.find_first_of("|\r\n") != std::string::npos) return 0;
        }
        std::abort();
    }
    if (again.backup->bookings.size() != b.bookings.size()) std::abort();
    return 0;
}
