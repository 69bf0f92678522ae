// A chart line never makes werte_aus read past it, and its pieces keep their limits.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "accounts/account_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const auto rec = saldorama::werte_aus(line);
    if (rec.name.size() > 64) std::abort();
    if (rec.side != "A" && rec.side != "P" && rec.side != "S" && rec.side != "H") std::abort();
    if (saldorama::werte_aus(line) != rec) std::abort();
    (void)saldorama::is_chart_line(line);
    return 0;
}
