#pragma once
#include <cstdint>
#include <cstring>

namespace saldorama {

// The bits of a binary64 and back. Through memcpy rather than std::bit_cast,
// which not every standard library has; compilers make it one register move.
[[nodiscard]] inline std::uint64_t double_bits(double d) noexcept {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    return bits;
}

[[nodiscard]] inline double bits_double(std::uint64_t bits) noexcept {
    double d = 0;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

} // namespace saldorama
