// A 528-byte record decodes without reading past its fields, and what it
// decodes to encodes back to a record that decodes the same.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "bookings/booking_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace saldorama;
    unsigned char bytes[kRecordSize] = {};
    std::memcpy(bytes, data, size < kRecordSize ? size : kRecordSize);
    const BookingRecord r = decode_record(bytes);
    if (r.date.size() > kDateMax || r.person.size() > kPersonMax || r.reason.size() > kReasonMax) std::abort();
    const RecordBytes again = encode_record(r);
    const BookingRecord r2 = decode_record(again.data());
    // NaN amounts compare unequal to themselves; compare their bits.
    if (std::memcmp(&r2.debit, &r.debit, sizeof r.debit) != 0 || r2.account != r.account ||
        r2.number != r.number || r2.person != r.person)
        std::abort();
    return 0;
}
