#include "base/cp1252.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace saldorama {
namespace {

// 0x80..0x9F: the bytes where CP1252 differs from Latin-1. 0 = unassigned.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

char32_t cp1252_code_point(unsigned char byte) noexcept {
    if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
    return byte;
}

char cp1252_from_code_point(char32_t c) noexcept {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] != 0 && kHighControls[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

void append_cp1252_as_utf8(std::string& out, std::string_view text) {
    // Runs of ASCII are taken over as they are, eight bytes tested at a time.
    const std::size_t n = text.size();
    std::size_t at = 0;
    while (at < n) {
        std::size_t end = at;
        for (std::uint64_t word = 0; end + 8 <= n; end += 8) {
            std::memcpy(&word, text.data() + end, 8);
            if ((word & 0x8080808080808080ULL) != 0) break;
        }
        while (end < n && static_cast<unsigned char>(text[end]) < 0x80) ++end;
        out.append(text.data() + at, end - at);
        if (end == n) break;
        const auto byte = static_cast<unsigned char>(text[end]);
        const char32_t c = cp1252_code_point(byte);
        // The five unassigned bytes have no character; show them as '?'.
        append_utf8(out, c == 0 ? U'?' : c);
        at = end + 1;
    }
}

std::string cp1252_to_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    append_cp1252_as_utf8(out, text);
    return out;
}

std::string utf8_to_cp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        int len = 0;
        char32_t c = 0;
        if (b0 < 0x80) { len = 1; c = b0; }
        else if ((b0 & 0xE0) == 0xC0) { len = 2; c = b0 & 0x1F; }
        else if ((b0 & 0xF0) == 0xE0) { len = 3; c = b0 & 0x0F; }
        else if ((b0 & 0xF8) == 0xF0) { len = 4; c = b0 & 0x07; }
        bool ok = len > 0 && i + static_cast<std::size_t>(len) <= text.size();
        for (int k = 1; ok && k < len; ++k) {
            const auto b = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((b & 0xC0) != 0x80) ok = false;
            else c = (c << 6) | (b & 0x3F);
        }
        if (!ok) {
            out += '?';
            ++i;
            continue;
        }
        out += cp1252_from_code_point(c);
        i += static_cast<std::size_t>(len);
    }
    return out;
}

} // namespace saldorama
