#include "reports/report_text.h"

#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "bookings/checks.h"
#include "reports/columns.h"

namespace saldorama {
namespace {

TEST(ReportAmountText, SameTextAsAmountTextForCentAmounts) {
    std::mt19937_64 rng(11);
    for (int i = 0; i < 200000; ++i) {
        const long long k = static_cast<long long>(rng() % 2000000000000ULL) - 1000000000000LL;
        const double x = static_cast<double>(k) / 100.0;
        ASSERT_EQ(report_amount_text(x), amount_text(x)) << k;
        // As stored (round_to_cents), and two units in the last place to either side.
        const double stored = round_to_cents(x);
        ASSERT_EQ(report_amount_text(stored), amount_text(stored)) << k;
        double up = x;
        double down = x;
        for (int step = 0; step < 2; ++step) {
            up = std::nextafter(up, 1e300);
            down = std::nextafter(down, -1e300);
            ASSERT_EQ(report_amount_text(up), amount_text(up)) << k;
            ASSERT_EQ(report_amount_text(down), amount_text(down)) << k;
        }
    }
}

TEST(ReportAmountText, SameTextAsAmountTextForSumsAndOddValues) {
    std::mt19937_64 rng(12);
    std::uniform_real_distribution<double> any(-1e7, 1e7);
    double sum = 0;
    for (int i = 0; i < 100000; ++i) {
        sum += static_cast<double>(static_cast<long long>(rng() % 1000000)) / 100.0 - 4000;
        ASSERT_EQ(report_amount_text(sum), amount_text(sum)) << sum;
        const double y = any(rng);
        ASSERT_EQ(report_amount_text(y), amount_text(y)) << y;
    }
    for (double v : {0.0, -0.0, 0.001, -0.001, 0.005, 0.125, 0.375, 2.675, 12.345, 99.995, 1e-13, -1e-13,
                     -1.862645149230957e-09, 9999999999999.99, 1e13, 1.5e13, 1e15, 1e20, 2147483648.0, 0.1 + 0.2})
        EXPECT_EQ(report_amount_text(v), amount_text(v)) << v;
}

TEST(ReportLines, AccountLineAndLabelLineWidths) {
    EXPECT_EQ(account_line("Kasse", 750), "Kasse" + std::string(30, ' ') + "    750,00");
    EXPECT_EQ(account_line(std::string(40, 'x'), -12345678.5), std::string(40, 'x') + "-12345678,50");
    EXPECT_EQ(amount_label_line("Verlust:", 250, 36), "Verlust:" + std::string(31, ' ') + "250,00");
    EXPECT_EQ(sum_line(0), "Summe: " + std::string(34, ' ') + "0,00");
    EXPECT_EQ(report_separator(), std::string(45, '-'));
}

TEST(Columns, AppendVariantsAddTheSameColumn) {
    std::string out = "x";
    append_printr(out, "Grund", 9);
    append_printf(out, "123456789012", 10);
    EXPECT_EQ(out, "x" + printr("Grund", 9) + saldorama::printf("123456789012", 10));
}

} // namespace
} // namespace saldorama
