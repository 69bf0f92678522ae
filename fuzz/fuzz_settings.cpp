// Any settings file either loads or fails with a German text; what loads saves
// back and loads again to the same record.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/failure.h"
#include "base/text_file.h"
#include "settings/settings.h"

namespace {
saldorama::Settings from_lines(const std::vector<std::string>& lines) {
    saldorama::Settings s;
    saldorama::read_settings_into(lines, s);
    return s;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace saldorama;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const Settings s = from_lines(split_lines(bytes, LineEnds::CrLfLfOrCr));
        const auto lines = settings_to_lines(s);
        if (lines.size() != 18) std::abort();
        // Texts holding line ends cannot come back; only check the flags and numbers.
        const Settings again = from_lines(lines);
        if (again.withVat != s.withVat || again.chartIndex != s.chartIndex) std::abort();
    } catch (const Failure&) {
    }
    return 0;
}
