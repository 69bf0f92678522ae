#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <sstream>
#include <vector>

#include "bookings/checks.h"
#include "support/x87_rounding.h"

namespace saldorama {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// On every processor: ties that only the 64-bit quotient decides, and what
// lies beyond the range of amounts.
TEST(CentRounding, KeepsTheExtendedPrecisionResults) {
    const struct {
        double amount;
        const char* stored;
    } table[] = {
        // The quotient by 0.01 lies a hair below the half cent; a binary64
        // quotient would round it up to the tie and give the next cent.
        {10.375, "10,37"}, {0.125, "0,12"}, {0.375, "0,37"}, {-0.625, "-0,62"}, {2.675, "2,67"}, {1.005, "1,00"},
        // 0.005 is exactly half the divisor: the tie goes to the even 0.
        {0.005, "0,00"}, {0.0049999, "0,00"}, {0.0051, "0,01"}, {DBL_MIN, "0,00"}, {-DBL_MIN, "0,00"},
        {2147483647.995, "2147483647,99"}, {-2147483647.985, "-2147483647,98"},
    };
    for (const auto& [amount, stored] : table) {
        const double got = round_to_cents(amount);
        EXPECT_EQ(amount_text(got), stored) << amount;
        EXPECT_EQ(std::signbit(got), std::signbit(amount)) << amount;
    }
    for (double same : {0.0, -0.0, kInf, -kInf}) {
        EXPECT_EQ(round_to_cents(same), same);
        EXPECT_EQ(std::signbit(round_to_cents(same)), std::signbit(same));
    }
    EXPECT_TRUE(std::isnan(round_to_cents(std::nan(""))));
    // The quotient of the largest doubles lies beyond binary64 but not beyond
    // the extended range, so they come back finite.
    EXPECT_TRUE(std::isfinite(round_to_cents(DBL_MAX)));
    EXPECT_EQ(round_to_cents(1e300), 1e300);
}

TEST(CentRounding, SplitsOffTheCentsTiesToEven) {
    const struct {
        double x, whole;
        int cents;
    } table[] = {
        {0.125, 0, 12}, {0.375, 0, 38}, {10.375, 10, 38}, {0.995, 0, 99}, {0.999, 1, 0},
        {0.5, 0, 50},   {1e300, 1e300, 0}, {DBL_MIN, 0, 0}, {2147483647.995, 2147483647, 99},
    };
    for (const auto& [x, whole, cents] : table) {
        const MoneyParts parts = money_parts(x);
        EXPECT_EQ(parts.whole, whole) << x;
        EXPECT_EQ(parts.cents, cents) << x;
    }
}

#ifdef SALDORAMA_HAVE_X87

// Every edge we can name, each one unit in the last place either side too.
std::vector<double> edge_cases() {
    std::vector<double> centres = {0.0, DBL_MIN, DBL_TRUE_MIN, DBL_MAX, 1e-300, 1e300, 1e308, 0.005, 0.01};
    for (int e = 0; e <= 31; ++e) {
        const double m = std::ldexp(1.0, e);
        for (double base : {m, m - 1, std::floor(m * 0.7)})
            for (double half : {0.005, 0.015, 0.125, 0.375, 0.625, 0.875, 0.995, 0.5})
                centres.push_back(base + half);
    }
    for (double tenThousand = 10.375; tenThousand < 3e9; tenThousand = tenThousand * 10 + 0.375)
        centres.push_back(tenThousand);  // 10,375, 103,75 + ..., the family whose quotient lies a hair below the tie
    for (int e = 50; e <= 1023; e += 7) centres.push_back(std::ldexp(1.0, e) * 1.2345);  // quotients of 2^63 and beyond
    std::vector<double> all;
    for (double c : centres)
        for (double x : {c, std::nextafter(c, kInf), std::nextafter(c, -kInf)}) {
            all.push_back(x);
            all.push_back(-x);
        }
    all.push_back(std::nan(""));
    all.push_back(kInf);
    return all;
}

TEST(CentRounding, GivesTheX87ResultsOnEveryEdge) {
    std::ostringstream faults;
    for (double x : edge_cases()) (void)test::roundings_agree(x, faults);
    EXPECT_EQ(faults.str(), "");
}

TEST(CentRounding, GivesTheX87ResultsOnAMillionRandomValues) {
    constexpr std::uint64_t kValues = 1'000'000;
    std::ostringstream faults;
    EXPECT_EQ(test::count_disagreements(kValues, 20260101, faults), 0u) << faults.str();
}

#endif

} // namespace
} // namespace saldorama
