#include "base/cp1252.h"

#include <array>
#include <bit>
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

// Each byte's UTF-8 form: up to three bytes (CP1252 reaches no further than
// U+FFFF) and their count in the last place.
using Utf8Form = std::array<char, 4>;
constexpr std::array<Utf8Form, 256> kUtf8 = [] {
    std::array<Utf8Form, 256> forms{};
    for (std::size_t byte = 0; byte < 256; ++byte) {
        char32_t c = byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : static_cast<char32_t>(byte);
        if (c == 0 && byte != 0) c = U'?';  // the five unassigned bytes have no character
        Utf8Form& f = forms[byte];
        if (c < 0x80) {
            f = {static_cast<char>(c), 0, 0, 1};
        } else if (c < 0x800) {
            f = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F)), 0, 2};
        } else {
            f = {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                 static_cast<char>(0x80 | (c & 0x3F)), 3};
        }
    }
    return forms;
}();

char* put_utf8_form(char* out, unsigned char byte) noexcept {
    const Utf8Form& f = kUtf8[byte];
    std::memcpy(out, f.data(), 3);
    return out + f[3];
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

char* put_cp1252_as_utf8(char* out, std::string_view text) noexcept {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    const char* in = text.data();
    const char* const end = in + text.size();
    // Eight bytes at a time: copied as they are, and taken when all are ASCII.
    while (end - in >= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, in, 8);
        std::memcpy(out, &word, 8);
        const std::uint64_t high = word & kHighBits;
        if (high == 0) {
            in += 8;
            out += 8;
            continue;
        }
        const int ascii = (std::endian::native == std::endian::little ? std::countr_zero(high) : std::countl_zero(high)) / 8;
        in += ascii;
        out = put_utf8_form(out + ascii, static_cast<unsigned char>(*in++));
    }
    while (in < end) out = put_utf8_form(out, static_cast<unsigned char>(*in++));
    return out;
}

void append_cp1252_as_utf8(std::string& out, std::string_view text) {
    const std::size_t at = out.size();
    out.resize(at + utf8_room(text.size()));
    out.resize(static_cast<std::size_t>(put_cp1252_as_utf8(out.data() + at, text) - out.data()));
}

std::string cp1252_to_utf8(std::string_view text) {
    std::string out;
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
