// The notice reader returns for any bytes, never producing more text than it read.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "notice/rtf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto doc = saldorama::read_rtf(std::string_view(reinterpret_cast<const char*>(data), size));
    std::size_t text = 0;
    for (const auto& p : doc.paragraphs)
        for (const auto& r : p.runs) text += r.text.size();
    if (text > size) std::abort();
    return 0;
}
