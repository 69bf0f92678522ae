#include "checking/matching.h"

#include <algorithm>
#include <map>
#include <set>
#include <random>

#include <gtest/gtest.h>

namespace saldorama::checking {
namespace {

const std::vector<std::string> kAccounts = {"Kasse", "Bank", "Eigenkapital", "Darlehen", "Miete", "Wareneingang",
                                            "Vorsteuer", "Umsatzerloese"};

// std::shuffle's order differs between standard libraries; this one gives
// the same books on every platform.
template <typename T>
void shuffle(std::vector<T>& v, std::mt19937& rng) {
    for (std::size_t i = v.size(); i > 1; --i) std::swap(v[i - 1], v[rng() % i]);
}

// A booking of two to four lines that balance, its amount unique by `i`.
std::vector<BookingLine> random_lines(std::mt19937& rng, int i) {
    std::vector<std::string> accounts = kAccounts;
    shuffle(accounts, rng);
    const Cents amount = 1000 + i;
    if (rng() % 2 == 0) return {{accounts[0], Side::Soll, amount}, {accounts[1], Side::Haben, amount}};
    return {{accounts[0], Side::Soll, amount - 7}, {accounts[1], Side::Soll, 7}, {accounts[2], Side::Haben, amount}};
}

struct Books {
    std::vector<ExpectedBooking> expected;
    std::vector<LearnerBooking> learner;
    std::vector<std::size_t> learnerOf;  // expected index -> learner index
};

// The solution booked by a learner in another order, lines shuffled and some
// lines split in two.
Books booked_correctly(unsigned seed, int n) {
    std::mt19937 rng(seed);
    Books b;
    for (int i = 0; i < n; ++i) b.expected.push_back({.number = i + 1, .exercise = 1, .lines = random_lines(rng, i),
                                                      .date = "", .alternatives = {}, .explanation = ""});
    std::vector<std::size_t> order(b.expected.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    shuffle(order, rng);
    b.learnerOf.resize(order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        std::vector<BookingLine> lines = b.expected[order[k]].lines;
        if (rng() % 3 == 0) {
            BookingLine half = lines[0];
            half.cents = lines[0].cents / 2;
            lines[0].cents -= half.cents;
            lines.push_back(half);
        }
        shuffle(lines, rng);
        b.learner.push_back({static_cast<std::int64_t>(k + 1), "01.01.2026", lines});
        b.learnerOf[order[k]] = k;
    }
    return b;
}

TEST(MatchBookings, ShuffledAndSplitBookingsAreAllRight) {
    for (unsigned seed = 1; seed <= 5; ++seed) {
        const Books b = booked_correctly(seed, 150);
        const Matching m = match_bookings(b.expected, b.learner);
        EXPECT_TRUE(m.missing.empty());
        EXPECT_TRUE(m.extra.empty());
        ASSERT_EQ(m.pairs.size(), b.expected.size());
        for (const BookingPair& p : m.pairs) {
            EXPECT_EQ(p.kind, PairKind::Right);
            EXPECT_EQ(p.learner, b.learnerOf[p.expected]);
        }
    }
}

TEST(MatchBookings, EachMistakeIsNamedOnItsOwnBooking) {
    Books b = booked_correctly(7, 150);
    std::mt19937 rng(8);
    std::vector<PairKind> want(b.expected.size(), PairKind::Right);
    // Only a booking whose accounts no other one shares can be named
    // unambiguously: a swapped or wrongly priced booking fits any expected
    // one on the same accounts equally well.
    const auto accounts = [&](std::size_t i) {
        std::set<std::string> names;
        for (const BookingLine& l : b.expected[i].lines) names.insert(l.account);
        return names;
    };
    std::map<std::set<std::string>, int> sharing;
    for (std::size_t i = 0; i < b.expected.size(); ++i) ++sharing[accounts(i)];
    int mistakes = 0;
    for (std::size_t i = 0; i < b.expected.size(); ++i) {
        if (sharing[accounts(i)] > 1) continue;
        ++mistakes;
        std::vector<BookingLine>& lines = b.learner[b.learnerOf[i]].lines;
        switch (rng() % 3) {
        case 0:
            for (BookingLine& l : lines) l.side = l.side == Side::Soll ? Side::Haben : Side::Soll;
            want[i] = PairKind::Swapped;
            break;
        case 1:
            for (BookingLine& l : lines) l.cents *= 10;
            want[i] = PairKind::WrongAmount;
            break;
        default:
            for (BookingLine& l : lines)
                if (l.side == Side::Haben) l.account = "Nirgendwo";
            want[i] = PairKind::WrongAccount;
        }
    }
    ASSERT_GE(mistakes, 10);
    const Matching m = match_bookings(b.expected, b.learner);
    EXPECT_TRUE(m.missing.empty());
    EXPECT_TRUE(m.extra.empty());
    for (const BookingPair& p : m.pairs) {
        EXPECT_EQ(p.kind, want[p.expected]) << "expected booking " << p.expected;
        EXPECT_EQ(p.learner, b.learnerOf[p.expected]);
    }
}

TEST(MatchBookings, AlternativesChainedThroughTheWholeSolutionAreAllRight) {
    // Expected booking i takes form i+1 or, as its alternative, form i; the
    // learner booked forms 0..n-1. Only moving every booking to its
    // alternative makes them all right.
    const auto form = [](int k) {
        return std::vector<BookingLine>{{"Bank", Side::Soll, 100 + k}, {"Kasse", Side::Haben, 100 + k}};
    };
    const int n = 400;
    std::vector<ExpectedBooking> expected;
    std::vector<LearnerBooking> learner;
    for (int i = 0; i < n; ++i) {
        expected.push_back({.number = i + 1, .exercise = 1, .lines = form(i + 1), .date = "",
                            .alternatives = {form(i)}, .explanation = ""});
        learner.push_back({i + 1, "", form(i)});
    }
    const Matching m = match_bookings(expected, learner);
    EXPECT_TRUE(m.missing.empty());
    EXPECT_TRUE(m.extra.empty());
    for (const BookingPair& p : m.pairs) {
        EXPECT_EQ(p.kind, PairKind::Right);
        EXPECT_EQ(p.learner, p.expected);
    }
}

TEST(MatchBookings, EqualBookingsPairInSolutionAndLearnerOrder) {
    const std::vector<BookingLine> lines = {{"Bank", Side::Soll, 500}, {"Kasse", Side::Haben, 500}};
    const std::vector<ExpectedBooking> expected(3, {.number = 1, .exercise = 1, .lines = lines, .date = "",
                                                    .alternatives = {}, .explanation = ""});
    std::vector<LearnerBooking> learner;
    for (int j = 0; j < 4; ++j) learner.push_back({j + 1, j % 2 == 0 ? "01.01.2026" : "02.01.2026", lines});
    // The dates do not matter where the solution names none.
    const Matching m = match_bookings(expected, learner);
    ASSERT_EQ(m.pairs.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(m.pairs[i].learner, i);
    EXPECT_EQ(m.extra, std::vector<std::size_t>{3});
}

} // namespace
} // namespace saldorama::checking
