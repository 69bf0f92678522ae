// A bookings file of any bytes is counted and scanned in whole records only.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/failure.h"
#include "bookings/bookings_file.h"
#include "common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace saldorama;
    fuzz::enter_scratch_dir();
    fuzz::write_file("buchungen.dat", std::string(reinterpret_cast<const char*>(data), size));
    const int count = bookings_count();
    if (count != static_cast<int>(size / kRecordSize)) std::abort();
    int seen = 0;
    bookings_scan([&](const BookingRecord&) { ++seen; });
    if (seen != count) std::abort();
    if (count > 0) (void)bookings_read(count);
    return 0;
}
