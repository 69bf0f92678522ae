// Date and amount texts either convert or fail with the German conversion text.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/failure.h"
#include "base/numbers.h"
#include "bookings/checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace saldorama;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const std::string d = checkdate(text, 2026);
        if (d.size() > 10) std::abort();
    } catch (const Failure& f) {
        if (f.text().find("Integerwert") == std::string_view::npos) std::abort();
    }
    // A typed date is refused or gives a date text that reads back as itself.
    if (const auto typed = typed_date(text, 2026)) {
        if (typed->size() != 10 || typed_date(*typed, 2026) != typed) std::abort();
    }
    try {
        const std::string m = checkmoney(text);
        // An amount text always reads back as the same amount text.
        if (checkmoney(m) != m) std::abort();
    } catch (const Failure& f) {
        if (f.text().find("Gleitkommawert") == std::string_view::npos) std::abort();
    }
    const std::string b = ist_betrag(text);
    if (b != text && b != "0,00") std::abort();
    try {
        (void)text_to_int(text);
    } catch (const Failure&) {
    }
    double v = 0;
    if (parse_float(text, v)) {
        const std::string t = float_to_text(v);
        double back = 0;
        if (!std::isfinite(v)) return 0;
        if (!parse_float(t, back)) std::abort();
    }
    (void)round_to_cents(v);
    if (amount_in_range(v) && !(std::fabs(v) < kAmountLimit)) std::abort();
    return 0;
}
