#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace saldorama {

// The core keeps every text as CP1252 bytes, one byte a character, exactly
// as the files hold them. These two convert at the edges (window, command
// line). A character CP1252 cannot hold becomes '?'; malformed UTF-8 bytes too.
[[nodiscard]] std::string cp1252_to_utf8(std::string_view cp1252);
[[nodiscard]] std::string utf8_to_cp1252(std::string_view utf8);
// cp1252_to_utf8 appended to `out`, for output built up in one buffer.
void append_cp1252_as_utf8(std::string& out, std::string_view cp1252);
// The same written at `out`, which must have utf8_room(cp1252.size()) bytes:
// three for every byte, and eight to spare for copying whole words. Gives the
// end of what it wrote.
[[nodiscard]] constexpr std::size_t utf8_room(std::size_t size) noexcept { return 3 * size + 8; }
char* put_cp1252_as_utf8(char* out, std::string_view cp1252) noexcept;

// Source files are UTF-8; German literals go through this to become core text.
[[nodiscard]] inline std::string cp(std::string_view utf8) { return utf8_to_cp1252(utf8); }

// Unicode code point of a CP1252 byte (0 for the five unassigned bytes).
[[nodiscard]] char32_t cp1252_code_point(unsigned char byte) noexcept;
// CP1252 byte of a code point, or '?' when CP1252 has none.
[[nodiscard]] char cp1252_from_code_point(char32_t cp) noexcept;

} // namespace saldorama
