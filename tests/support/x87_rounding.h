#pragma once
// The two cent roundings as the x87's 80-bit extended format computes them,
// beside the portable ones the program uses, and the comparison of both on
// values of every kind. Only x86 has that format, so only there is this built.
#if defined(__x86_64__) || defined(__i386__)
#define SALDORAMA_HAVE_X87 1

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <random>

#include "base/bits.h"
#include "bookings/checks.h"

namespace saldorama::test {

static_assert(std::numeric_limits<long double>::digits == 64, "the reference needs the x87 extended format");

struct X87Parts {
    double whole;
    long double cents;  // before the conversion to int, so NaN stays visible
};

inline X87Parts x87_money_parts(double x) {
    double whole = std::trunc(x);
    const long double fraction = static_cast<long double>(x - whole) * 100.0L;
    long double cents = std::nearbyint(fraction);
    if (cents >= 100.0L) {
        whole += 1;
        cents = 0;
    }
    return {whole, cents};
}

inline double x87_round_to_cents(double amount) {
    const long double divisor = static_cast<long double>(0.01);
    const long double k = std::nearbyint(static_cast<long double>(amount) / divisor);
    return static_cast<double>(k * divisor);
}

inline bool same_double(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || double_bits(a) == double_bits(b);
}

// Whether both roundings agree with the x87 on x; a difference is written to `out`.
inline bool roundings_agree(double x, std::ostream& out) {
    bool agree = true;
    const double portable = round_to_cents(x);
    const double reference = x87_round_to_cents(x);
    if (!same_double(portable, reference)) {
        out.precision(17);
        out << "round_to_cents(" << x << "): " << portable << " instead of " << reference << '\n';
        agree = false;
    }
    const MoneyParts parts = money_parts(x);
    const X87Parts expected = x87_money_parts(x);
    const bool centsAgree = std::isnan(expected.cents) ? parts.cents == std::numeric_limits<int>::min()
                                                       : static_cast<long double>(parts.cents) == expected.cents;
    if (!same_double(parts.whole, expected.whole) || !centsAgree) {
        out.precision(17);
        out << "money_parts(" << x << "): " << parts.whole << " / " << parts.cents << " instead of " << expected.whole
            << " / " << static_cast<double>(expected.cents) << '\n';
        agree = false;
    }
    return agree;
}

// Random doubles of every kind, in turn: any bit pattern (every exponent,
// subnormals, infinities, NaN), typed amounts of whole cents below 2^31 euros,
// half cents (the ties), and random significands from 2^-60 to 2^64; each but
// the first moved by up to three units in the last place and given a random sign.
class RandomValues {
public:
    explicit RandomValues(std::uint64_t seed) : engine_(seed) {}

    double next() {
        const std::uint64_t r = engine_();
        const int kind = static_cast<int>(count_++ % 4);
        if (kind == 0) return bits_double(r);
        double x = 0;
        const std::uint64_t cents = r % (std::uint64_t{100} << 31);
        if (kind == 1) x = static_cast<double>(cents) / 100.0;
        if (kind == 2) x = (static_cast<double>(cents) + 0.5) / 100.0;
        if (kind == 3) x = std::ldexp(static_cast<double>(r >> 11), static_cast<int>(engine_() % 125) - 113);
        const std::uint64_t moves = engine_();
        for (std::uint64_t step = 0; step < moves % 4; ++step)
            x = std::nextafter(x, (moves & 4) != 0 ? -std::numeric_limits<double>::infinity()
                                                   : std::numeric_limits<double>::infinity());
        return (moves & 8) != 0 ? -x : x;
    }

private:
    std::mt19937_64 engine_;
    std::uint64_t count_ = 0;
};

// The number of the `count` random values from `seed` on which a rounding differs.
inline std::uint64_t count_disagreements(std::uint64_t count, std::uint64_t seed, std::ostream& out) {
    RandomValues values(seed);
    std::uint64_t bad = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (!roundings_agree(values.next(), out)) ++bad;
        if (bad >= 20) return bad + (count - i - 1);  // enough to see the fault; count the rest as unproven
    }
    return bad;
}

} // namespace saldorama::test
#endif
