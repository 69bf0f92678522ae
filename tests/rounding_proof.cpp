// Compares the cent roundings with the x87's on N random values of every
// kind (see support/x87_rounding.h) and prints the tally; exits 1 on a
// difference. Usage: rounding_proof N [SEED]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "support/x87_rounding.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "Aufruf: rounding_proof ANZAHL [STARTWERT]\n");
        return 2;
    }
    const std::uint64_t count = std::strtoull(argv[1], nullptr, 10);
    const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
    const auto start = std::chrono::steady_clock::now();
    const std::uint64_t bad = saldorama::test::count_disagreements(count, seed, std::cerr);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%llu Werte (Startwert %llu), %llu Abweichungen, %.1f s\n", static_cast<unsigned long long>(count),
                static_cast<unsigned long long>(seed), static_cast<unsigned long long>(bad), seconds);
    return bad == 0 ? 0 : 1;
}
