#include "checking/matching.h"

#include <algorithm>
#include <limits>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <tuple>
#include <unordered_set>
#include <unordered_map>

namespace saldorama::checking {

namespace {

// The matcher compares lines by account rank: the accounts of the cases and
// of the learner's bookings sorted by name, so that ranks sort as names do
// and every order below is the one of the names.
struct Line {
    std::uint32_t account = 0;
    Side side = Side::Soll;
    Cents cents = 0;
    bool operator==(const Line&) const = default;
    bool operator<(const Line& o) const { return std::tie(account, side, cents) < std::tie(o.account, o.side, o.cents); }
};
using Lines = std::vector<Line>;

// Summed by account and side, 0 dropped, sorted: as normal_form does.
void normalise(Lines& lines) {
    std::size_t kept = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const Line line = lines[k];
        std::size_t same = 0;
        while (same < kept && !(lines[same].account == line.account && lines[same].side == line.side)) ++same;
        if (same == kept)
            lines[kept++] = line;
        else
            lines[same].cents += line.cents;
    }
    lines.resize(kept);
    std::erase_if(lines, [](const Line& l) { return l.cents == 0; });
    std::sort(lines.begin(), lines.end());
}

Lines normal(Lines lines) {
    normalise(lines);
    return lines;
}

std::uint64_t hash_of(const Lines& normal) {
    std::uint64_t h = 14695981039346656037ULL;
    const auto mix = [&h](std::uint64_t v) {
        h ^= v;
        h *= 1099511628211ULL;
        h ^= h >> 29;
    };
    for (const Line& l : normal) {
        mix(std::uint64_t{l.account} * 2 + (l.side == Side::Haben ? 1 : 0));
        mix(static_cast<std::uint64_t>(l.cents));
    }
    return h;
}

std::string key_of(const Lines& normal) {
    std::string key;
    for (const Line& l : normal) {
        key += std::to_string(l.account);
        key += l.side == Side::Soll ? "S" : "H";
        key += std::to_string(l.cents);
        key += ';';
    }
    return key;
}

// The account names of the cases and the learner, ranked by name.
class Accounts {
public:
    Accounts(const std::vector<ExpectedCase>& cases, const LearnerBookings& learner) {
        for (const ExpectedCase& k : cases)
            for (const auto* forms : {&k.effects, &k.parts})
                for (const auto& form : *forms)
                    for (const BookingLine& l : form) names_.push_back(l.account);
        names_.insert(names_.end(), learner.accounts().begin(), learner.accounts().end());
        std::sort(names_.begin(), names_.end());
        names_.erase(std::unique(names_.begin(), names_.end()), names_.end());
        for (const std::string& name : learner.accounts()) ofLearner_.push_back(rank(name));
    }
    [[nodiscard]] std::uint32_t rank(const std::string& name) const {
        return static_cast<std::uint32_t>(std::lower_bound(names_.begin(), names_.end(), name) - names_.begin());
    }
    [[nodiscard]] std::uint32_t of_learner(std::uint32_t id) const { return ofLearner_[id]; }
    [[nodiscard]] const std::string& name(std::uint32_t rank) const { return names_[rank]; }
    [[nodiscard]] std::size_t size() const noexcept { return names_.size(); }
    [[nodiscard]] Lines ranked(const std::vector<BookingLine>& lines) const {
        Lines out;
        for (const BookingLine& l : lines) out.push_back({rank(l.account), l.side, l.cents});
        return out;
    }

private:
    std::vector<std::string> names_;
    std::vector<std::uint32_t> ofLearner_;
};

// The number of lines of two normal forms that the other does not hold.
std::size_t distance(const Lines& a, const Lines& b) {
    std::size_t shared = 0;
    auto i = a.begin();
    auto j = b.begin();
    while (i != a.end() && j != b.end()) {
        if (*i < *j) {
            ++i;
        } else if (*j < *i) {
            ++j;
        } else {
            ++shared;
            ++i;
            ++j;
        }
    }
    return a.size() + b.size() - 2 * shared;
}

Lines swapped(const Lines& lines) {
    Lines out = lines;
    for (Line& l : out) l.side = l.side == Side::Soll ? Side::Haben : Side::Soll;
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::uint32_t> accounts_of(const Lines& normal) {
    std::vector<std::uint32_t> out;
    for (const Line& l : normal)
        if (out.empty() || out.back() != l.account) out.push_back(l.account);
    return out;  // normal forms are sorted by account
}

// Whether the accounts of two normal forms differ in at most one of each:
// a cheap test that rules out most pairs before any name is tried.
bool near_in_accounts(const Lines& a, const Lines& b) {
    int onlyA = 0, onlyB = 0;
    std::size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        const int order = i == a.size() ? 1 : j == b.size() ? -1 : a[i].account < b[j].account ? -1 : a[i].account > b[j].account ? 1 : 0;
        const std::uint32_t account = order <= 0 ? a[i].account : b[j].account;
        if (order < 0) ++onlyA;
        if (order > 0) ++onlyB;
        if (order <= 0)
            while (i < a.size() && a[i].account == account) ++i;
        if (order >= 0)
            while (j < b.size() && b[j].account == account) ++j;
    }
    return onlyA <= 1 && onlyB <= 1;
}

// Names a pair of an expected form and a learner booking, or nothing when no
// name fits.
std::optional<BookingPair> named_pair(const Lines& form, const Lines& found, bool datesDiffer, const Accounts& names) {
    if (!near_in_accounts(form, found)) return std::nullopt;
    BookingPair pair;
    if (form == found) {
        if (!datesDiffer) return std::nullopt;  // cannot happen: it would have matched
        pair.kind = PairKind::WrongDate;
        return pair;
    }
    if (swapped(form) == found) {
        pair.kind = PairKind::Swapped;
        return pair;
    }
    const bool sameAccountsAndSides =
        form.size() == found.size() && std::equal(form.begin(), form.end(), found.begin(), [](const auto& a, const auto& b) {
            return a.account == b.account && a.side == b.side;
        });
    if (sameAccountsAndSides) {
        pair.kind = PairKind::WrongAmount;
        for (std::size_t k = 0; k < form.size(); ++k)
            if (form[k].cents != found[k].cents)
                pair.amounts.push_back({names.name(form[k].account), form[k].side, form[k].cents, found[k].cents});
        return pair;
    }
    const std::vector<std::uint32_t> expectedAccounts = accounts_of(form);
    const std::vector<std::uint32_t> foundAccounts = accounts_of(found);
    std::vector<std::uint32_t> onlyExpected, onlyFound;
    std::set_difference(expectedAccounts.begin(), expectedAccounts.end(), foundAccounts.begin(), foundAccounts.end(),
                        std::back_inserter(onlyExpected));
    std::set_difference(foundAccounts.begin(), foundAccounts.end(), expectedAccounts.begin(), expectedAccounts.end(),
                        std::back_inserter(onlyFound));
    if (onlyExpected.size() == 1 && onlyFound.size() == 1) {
        Lines renamed = form;
        for (Line& l : renamed)
            if (l.account == onlyExpected[0]) l.account = onlyFound[0];
        std::sort(renamed.begin(), renamed.end());
        if (renamed == found) {
            pair.kind = PairKind::WrongAccount;
            pair.expectedAccount = names.name(onlyExpected[0]);
            pair.foundAccount = names.name(onlyFound[0]);
            return pair;
        }
    }
    return std::nullopt;
}

// A learner booking near an expected one, ordered closest first, then
// earliest, then by the expected booking's form.
struct Near {
    std::size_t distance, learner, form;
    auto operator<=>(const Near&) const = default;
};

// Step 1, the right matches: a maximum matching of cases to classes of
// interchangeable learner bookings (same lines, and same date where that
// matters), found with augmenting paths; each class can take as many as it
// has members. Only the bookings whose lines are some case's effect
// (`candidates`, in file order) can form a class any case accepts.
class RightMatcher {
public:
    // Per case: its effects, and its date code where it names a date (a
    // date no booking carries: accepts none).
    struct Wanted {
        const std::vector<Lines>* effects;
        bool dated;
        std::optional<std::uint32_t> date;
    };

    // `formOf` and `dateOf` give a learner booking's normal form and date code.
    RightMatcher(const std::vector<Wanted>& expected, const std::vector<std::uint32_t>& candidates,
                 const std::function<Lines(std::size_t)>& formOf, const std::function<std::uint32_t(std::size_t)>& dateOf) {
        // Dates tell learner bookings apart only where a solution booking of
        // those lines names one.
        std::unordered_set<std::string> dated;
        for (const Wanted& w : expected)
            if (w.dated)
                for (const Lines& form : *w.effects) dated.insert(key_of(form));
        std::unordered_map<std::string, std::size_t> classOf;
        std::unordered_map<std::string, std::vector<std::size_t>> classesOfLines;
        for (const std::uint32_t j : candidates) {
            const std::string linesKey = key_of(formOf(j));
            const std::uint32_t code = dateOf(j);
            const std::string classKey = dated.contains(linesKey) ? linesKey + '/' + std::to_string(code) : linesKey;
            const auto [it, added] = classOf.try_emplace(classKey, members_.size());
            if (added) {
                members_.emplace_back();
                dates_.push_back(code);
                classesOfLines[linesKey].push_back(it->second);
            }
            members_[it->second].push_back(j);
        }
        users_.resize(members_.size());
        stamp_.assign(members_.size(), 0);
        adjacent_.resize(expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            for (const Lines& form : *expected[i].effects) {
                const auto found = classesOfLines.find(key_of(form));
                if (found == classesOfLines.end()) continue;
                for (std::size_t c : found->second) {
                    if (expected[i].dated && expected[i].date != dates_[c]) continue;
                    if (std::find(adjacent_[i].begin(), adjacent_[i].end(), c) == adjacent_[i].end())
                        adjacent_[i].push_back(c);
                }
            }
        }
        assigned_.assign(expected.size(), kNone);
        for (std::size_t i = 0; i < expected.size(); ++i)
            for (std::size_t c : adjacent_[i])
                if (users_[c].size() < members_[c].size()) {
                    take(i, c);
                    break;
                }
        for (std::size_t i = 0; i < expected.size(); ++i) {
            if (assigned_[i] != kNone || adjacent_[i].empty()) continue;
            ++round_;
            augment(i);
        }
    }

    // Case index to learner index for every right match.
    [[nodiscard]] std::vector<std::size_t> partners() {
        std::vector<std::size_t> out(assigned_.size(), kNone);
        for (std::size_t c = 0; c < members_.size(); ++c) {
            std::sort(users_[c].begin(), users_[c].end());
            for (std::size_t k = 0; k < users_[c].size(); ++k) out[users_[c][k]] = members_[c][k];
        }
        return out;
    }

    static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

private:
    void take(std::size_t i, std::size_t c) {
        assigned_[i] = c;
        users_[c].push_back(i);
    }

    bool augment(std::size_t i) {
        for (std::size_t c : adjacent_[i]) {
            if (stamp_[c] == round_) continue;
            stamp_[c] = round_;
            if (users_[c].size() < members_[c].size()) {
                take(i, c);
                return true;
            }
            for (std::size_t& user : users_[c]) {
                if (augment(user)) {  // moves `user` to another class
                    user = i;
                    assigned_[i] = c;
                    return true;
                }
            }
        }
        return false;
    }

    std::vector<std::vector<std::size_t>> members_;  // learner bookings of each class, in order
    std::vector<std::uint32_t> dates_;
    std::vector<std::vector<std::size_t>> users_;     // expected bookings matched to each class
    std::vector<unsigned> stamp_;
    unsigned round_ = 0;
    std::vector<std::vector<std::size_t>> adjacent_;  // classes each expected booking accepts
    std::vector<std::size_t> assigned_;
};

// Searches the earliest set of candidates (in file order) whose lines sum to
// exactly `effect`; every candidate books only the effect's accounts and
// sides. A bounded search: a case no set of a few thousand tries answers is
// left to the near misses.
class GroupSearch {
public:
    GroupSearch(const Lines& effect, const std::vector<const Lines*>& candidates) : need_(effect.size()) {
        for (std::size_t d = 0; d < effect.size(); ++d) need_[d] = effect[d].cents;
        for (const Lines* lines : candidates) {
            std::vector<std::pair<std::size_t, Cents>> mapped;
            for (const Line& l : *lines) {
                const auto at = std::lower_bound(effect.begin(), effect.end(), l, [](const Line& a, const Line& b) {
                    return std::tie(a.account, a.side) < std::tie(b.account, b.side);
                });
                mapped.emplace_back(static_cast<std::size_t>(at - effect.begin()), l.cents);
            }
            lines_.push_back(std::move(mapped));
        }
        // What all candidates from k on could still add, per account and side.
        rest_.assign(lines_.size() + 1, std::vector<Cents>(effect.size(), 0));
        for (std::size_t k = lines_.size(); k-- > 0;) {
            rest_[k] = rest_[k + 1];
            for (const auto& [d, cents] : lines_[k]) rest_[k][d] += cents;
        }
    }

    // Indices into the candidates, or nothing.
    std::optional<std::vector<std::size_t>> run() {
        if (search(0)) return chosen_;
        return std::nullopt;
    }

private:
    static constexpr long kTries = 20000;

    bool search(std::size_t k) {
        if (std::all_of(need_.begin(), need_.end(), [](Cents c) { return c == 0; })) return true;
        if (k == lines_.size() || ++tries_ > kTries) return false;
        for (std::size_t d = 0; d < need_.size(); ++d)
            if (rest_[k][d] < need_[d]) return false;
        bool fits = true;
        for (const auto& [d, cents] : lines_[k]) fits = fits && cents <= need_[d];
        if (fits) {
            for (const auto& [d, cents] : lines_[k]) need_[d] -= cents;
            chosen_.push_back(k);
            if (search(k + 1)) return true;
            chosen_.pop_back();
            for (const auto& [d, cents] : lines_[k]) need_[d] += cents;
        }
        return search(k + 1);
    }

    std::vector<Cents> need_;
    std::vector<std::vector<std::pair<std::size_t, Cents>>> lines_;
    std::vector<std::vector<Cents>> rest_;
    std::vector<std::size_t> chosen_;
    long tries_ = 0;
};

// Whether every line of `lines` books an account and side of `effect`, and
// (when `capped`) at most its amount there.
bool within(const Lines& lines, const Lines& effect, bool capped) {
    for (const Line& l : lines) {
        const auto at = std::find_if(effect.begin(), effect.end(), [&](const Line& e) {
            return e.account == l.account && e.side == l.side;
        });
        if (at == effect.end() || (capped && l.cents > at->cents)) return false;
    }
    return true;
}

std::vector<AmountDifference> differences(const Lines& expected, const Lines& found, const Accounts& names) {
    std::vector<AmountDifference> out;
    for (std::size_t k = 0; k < expected.size() && k < found.size(); ++k)
        if (expected[k].cents != found[k].cents)
            out.push_back({names.name(expected[k].account), expected[k].side, expected[k].cents, found[k].cents});
    return out;
}

bool same_accounts_and_sides(const Lines& a, const Lines& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const auto& x, const auto& y) {
               return x.account == y.account && x.side == y.side;
           });
}

constexpr std::size_t kUnset = std::numeric_limits<std::size_t>::max();

CaseAnswer answer(std::size_t c, PairKind kind, std::size_t effect, std::vector<std::size_t> learners) {
    CaseAnswer a;
    a.kase = c;
    a.kind = kind;
    a.effect = effect;
    a.learners = std::move(learners);
    return a;
}

// A hash in the high half and a booking in the low half: sorted, the
// bookings of each hash in file order, at 8 bytes a booking.
using Keyed = std::uint64_t;
Keyed keyed(std::uint64_t hash, std::size_t j) { return (hash >> 32 << 32) | static_cast<std::uint32_t>(j); }
std::size_t booking_of(Keyed k) { return static_cast<std::uint32_t>(k); }

class CaseMatcher {
public:
    CaseMatcher(const std::vector<ExpectedCase>& cases, const LearnerBookings& learner)
        : cases_(cases), learner_(learner), names_(cases, learner), used_(learner.size(), false),
          bystander_(learner.size(), false), answer_(cases.size()) {
        std::vector<bool> caseAccount(names_.size(), false);
        std::unordered_set<std::uint64_t> effectHashes;
        for (const ExpectedCase& k : cases) {
            effects_.emplace_back();
            for (const auto& form : k.effects) {
                effects_.back().push_back(names_.ranked(form));
                effectHashes.insert(hash_of(effects_.back().back()));
            }
            parts_.emplace_back();
            for (const auto& form : k.parts) parts_.back().push_back(names_.ranked(form));
            for (const auto* forms : {&effects_.back(), &parts_.back()})
                for (const Lines& form : *forms)
                    for (const Line& l : form) caseAccount[l.account] = true;
            dates_.push_back(k.date.empty() ? std::nullopt : learner.code_of_date(k.date));
        }
        // Two passes, the first counting, so that the lookups are sized
        // exactly: at a million bookings every byte a booking counts.
        accountStart_.assign(names_.size() + 1, 0);
        std::size_t lookedUp = 0;
        for (std::size_t j = 0; j < learner.size(); ++j) {
            const std::vector<std::uint32_t> accounts = accounts_of(form(j));
            const auto foreign = std::count_if(accounts.begin(), accounts.end(), [&](std::uint32_t a) { return !caseAccount[a]; });
            // Two accounts no case books: every step but the reverses passes
            // it by (a near miss differs in one account at most), so it is
            // not looked up.
            if (foreign >= 2) {
                bystander_[j] = true;
                continue;
            }
            ++lookedUp;
            for (const std::uint32_t account : accounts) ++accountStart_[account + 1];
        }
        for (std::size_t a = 0; a < names_.size(); ++a) accountStart_[a + 1] += accountStart_[a];
        withAccount_.resize(accountStart_.back());
        byForm_.reserve(lookedUp);
        std::vector<std::size_t> fill(accountStart_.begin(), accountStart_.end() - 1);
        for (std::size_t j = 0; j < learner.size(); ++j) {
            if (bystander_[j]) continue;
            const Lines f = form(j);
            const std::uint64_t hash = hash_of(f);
            byForm_.push_back(keyed(hash, j));
            for (const std::uint32_t account : accounts_of(f)) withAccount_[fill[account]++] = static_cast<std::uint32_t>(j);
            if (effectHashes.contains(hash)) candidates_.push_back(static_cast<std::uint32_t>(j));
        }
        std::sort(byForm_.begin(), byForm_.end());
    }

    CaseMatching run() {
        std::vector<RightMatcher::Wanted> wanted;
        for (std::size_t c = 0; c < cases_.size(); ++c) wanted.push_back({&effects_[c], !cases_[c].date.empty(), dates_[c]});
        const std::vector<std::size_t> partner =
            RightMatcher(wanted, candidates_, [this](std::size_t j) { return form(j); },
                         [this](std::size_t j) { return learner_.date_code(j); })
                .partners();
        candidates_ = {};
        for (std::size_t c = 0; c < cases_.size(); ++c) {
            if (partner[c] == RightMatcher::kNone) continue;
            const Lines found = form(partner[c]);
            const auto& effects = effects_[c];
            const auto effect = static_cast<std::size_t>(std::find(effects.begin(), effects.end(), found) - effects.begin());
            take(c, answer(c, PairKind::Right, effect, {partner[c]}));
        }
        for (std::size_t c = 0; c < cases_.size(); ++c)
            if (!answer_[c]) grouped(c);
        std::vector<bool> cancelled = cancel();
        // A later case only takes its answers: anything near it is this
        // exercise's to name.
        for (std::size_t c = 0; c < cases_.size(); ++c)
            if (!answer_[c] && !cases_[c].later) nearest(c);
        CaseMatching out;
        for (std::size_t c = 0; c < cases_.size(); ++c) {
            if (answer_[c]) {
                answer_[c]->kase = c;
                out.answers.push_back(std::move(*answer_[c]));
            } else {
                out.missing.push_back(c);
            }
        }
        out.extra.reserve(static_cast<std::size_t>(std::count(used_.begin(), used_.end(), false)));
        out.cancelled.reserve(static_cast<std::size_t>(std::count(cancelled.begin(), cancelled.end(), true)));
        for (std::size_t j = 0; j < learner_.size(); ++j) {
            if (cancelled[j]) out.cancelled.push_back(j);
            else if (!used_[j]) out.extra.push_back(j);
        }
        return out;
    }

private:
    // The normal form of learner booking j, by rank.
    [[nodiscard]] Lines form(std::size_t j) const {
        learner_.lines(j, scratch_);
        Lines out;
        out.reserve(scratch_.size());
        for (const LearnerBookings::Line& l : scratch_) out.push_back({names_.of_learner(l.account), l.side, l.cents});
        normalise(out);
        return out;
    }

    [[nodiscard]] bool dateFits(std::size_t c, std::size_t j) const {
        return cases_[c].date.empty() || dates_[c] == learner_.date_code(j);
    }

    // The earliest booking from `from` on, not passed by, whose lines are
    // `f` and that `accept` takes; kUnset if none.
    template <typename Accept>
    [[nodiscard]] std::size_t first_with_form(const Lines& f, std::size_t from, Accept accept) const {
        const std::uint64_t hash = hash_of(f);
        for (auto it = std::lower_bound(byForm_.begin(), byForm_.end(), keyed(hash, from));
             it != byForm_.end() && (*it >> 32) == (hash >> 32); ++it)
            if (accept(booking_of(*it)) && form(booking_of(*it)) == f) return booking_of(*it);
        return kUnset;
    }

    void take(std::size_t c, CaseAnswer answer) {
        for (std::size_t j : answer.learners) used_[j] = true;
        std::sort(answer.learners.begin(), answer.learners.end());
        answer_[c] = std::move(answer);
    }

    // Unused bookings sharing an account with `effect`, in file order.
    [[nodiscard]] std::vector<std::size_t> near(const Lines& effect) const {
        std::vector<std::size_t> out;
        for (const std::uint32_t account : accounts_of(effect))
            for (std::size_t k = accountStart_[account]; k < accountStart_[account + 1]; ++k)
                if (!used_[withAccount_[k]]) out.push_back(withAccount_[k]);
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return out;
    }

    // The earliest set of unused bookings that sums to `effect`.
    std::optional<std::vector<std::size_t>> group(std::size_t c, const Lines& effect, bool anyDate) const {
        std::vector<std::size_t> candidates;
        std::vector<Lines> forms;
        for (std::size_t j : near(effect)) {
            if (!anyDate && !dateFits(c, j)) continue;
            Lines f = form(j);
            if (!within(f, effect, true)) continue;
            candidates.push_back(j);
            forms.push_back(std::move(f));
        }
        if (candidates.empty()) return std::nullopt;
        std::vector<const Lines*> lines;
        for (const Lines& f : forms) lines.push_back(&f);
        const auto chosen = GroupSearch(effect, lines).run();
        if (!chosen) return std::nullopt;
        std::vector<std::size_t> out;
        for (std::size_t k : *chosen) out.push_back(candidates[k]);
        return out;
    }

    // Step 2.
    void grouped(std::size_t c) {
        for (std::size_t e = 0; e < effects_[c].size(); ++e)
            if (const auto found = group(c, effects_[c][e], false)) {
                take(c, answer(c, PairKind::Right, e, *found));
                return;
            }
    }

    // Step 3: returns the cancelled bookings. A reverse has the same
    // accounts as its booking, so every booking left is grouped by a hash
    // of the pair of forms {lines, reverse}; within a group, in file order,
    // a booking cancels the earliest one still open with its reverse form,
    // which pairs exactly as the earliest booking claiming its first
    // reverse does. The forms are compared in full: a shared hash only
    // groups. Each group keeps a queue per form, so that a long run of equal
    // bookings followed by their reverses takes linear time.
    std::vector<bool> cancel() {
        std::vector<bool> cancelled(learner_.size(), false);
        std::vector<Keyed> keys;
        keys.reserve(static_cast<std::size_t>(std::count(used_.begin(), used_.end(), false)));
        for (std::size_t j = 0; j < learner_.size(); ++j) {
            if (used_[j]) continue;
            const Lines f = form(j);
            if (!f.empty()) keys.push_back(keyed(std::min(hash_of(f) >> 32, hash_of(swapped(f)) >> 32) << 32, j));
        }
        std::sort(keys.begin(), keys.end());
        std::vector<std::pair<Lines, std::deque<std::size_t>>> open;  // per form, its bookings waiting, in file order
        for (std::size_t from = 0; from < keys.size();) {
            std::size_t to = from;
            while (to < keys.size() && keys[to] >> 32 == keys[from] >> 32) ++to;
            open.clear();
            for (std::size_t k = from; k < to; ++k) {
                const std::size_t j = booking_of(keys[k]);
                Lines f = form(j);
                const Lines reverse = swapped(f);
                const auto partner = std::find_if(open.begin(), open.end(), [&](const auto& o) { return o.first == reverse && !o.second.empty(); });
                if (partner != open.end()) {
                    const std::size_t i = partner->second.front();
                    partner->second.pop_front();
                    used_[i] = used_[j] = true;
                    cancelled[i] = cancelled[j] = true;
                    continue;
                }
                auto same = std::find_if(open.begin(), open.end(), [&](const auto& o) { return o.first == f; });
                if (same == open.end()) same = open.insert(open.end(), {std::move(f), {}});
                same->second.push_back(j);
            }
            from = to;
        }
        return cancelled;
    }

    // The closest unused booking that one mistake sets apart from `form`.
    std::optional<BookingPair> closest(const Lines& wanted, std::size_t c) const {
        std::vector<Near> found;
        std::vector<Lines> forms;
        for (std::size_t j : near(wanted)) {
            Lines f = form(j);
            if (f.size() != wanted.size()) continue;
            found.push_back({distance(wanted, f), j, forms.size()});
            forms.push_back(std::move(f));
        }
        std::sort(found.begin(), found.end());
        for (const Near& n : found) {
            const bool datesDiffer = !dateFits(c, n.learner);
            if (auto pair = named_pair(wanted, forms[n.form], datesDiffer, names_)) {
                pair->learner = n.learner;
                return pair;
            }
        }
        return std::nullopt;
    }

    static CaseAnswer answer_of(const BookingPair& pair) {
        CaseAnswer a = answer(0, pair.kind, 0, {pair.learner});
        a.amounts = pair.amounts;
        a.expectedAccount = pair.expectedAccount;
        a.foundAccount = pair.foundAccount;
        return a;
    }

    // Step 4.
    void nearest(std::size_t c) {
        const ExpectedCase& k = cases_[c];
        // One booking for the whole case.
        std::optional<BookingPair> best;
        std::size_t bestDistance = 0;
        for (const Lines& effect : effects_[c]) {
            const auto pair = closest(effect, c);
            if (!pair) continue;
            const std::size_t d = distance(effect, form(pair->learner));
            if (!best || d < bestDistance || (d == bestDistance && pair->learner < best->learner)) {
                best = pair;
                bestDistance = d;
            }
        }
        if (best) return take(c, answer_of(*best));
        // The right sums on another date.
        if (!k.date.empty())
            for (const Lines& effect : effects_[c])
                if (const auto found = group(c, effect, true))
                    return take(c, answer(c, PairKind::WrongDate, 0, *found));
        if (effects_[c].empty()) return;
        const Lines& effect = effects_[c].front();
        // A mistake in one of the solution's bookings, the others right.
        if (parts_[c].size() > 1) {
            std::vector<std::size_t> taken;
            std::optional<BookingPair> mistake;
            for (const Lines& part : parts_[c]) {
                const std::size_t same = first_with_form(part, 0, [&](std::size_t j) {
                    return !used_[j] && dateFits(c, j) && std::find(taken.begin(), taken.end(), j) == taken.end();
                });
                if (same != kUnset) {
                    taken.push_back(same);
                    continue;
                }
                if (mistake) continue;
                for (std::size_t j : taken) used_[j] = true;  // not to be named twice
                mistake = closest(part, c);
                for (std::size_t j : taken) used_[j] = false;
                if (mistake) taken.push_back(mistake->learner);
            }
            if (mistake) {
                CaseAnswer answer = answer_of(*mistake);
                answer.learners = taken;
                return take(c, std::move(answer));
            }
        }
        // Bookings on the case's accounts and sides: other amounts, or too few.
        std::vector<std::size_t> members;
        std::vector<Lines> memberForms;
        Lines all;
        for (std::size_t j : near(effect)) {
            Lines f = form(j);
            if (!within(f, effect, false)) continue;
            members.push_back(j);
            all.insert(all.end(), f.begin(), f.end());
            memberForms.push_back(std::move(f));
            const Lines sum = normal(all);
            if (same_accounts_and_sides(sum, effect)) {
                CaseAnswer a = answer(c, PairKind::WrongAmount, 0, members);
                a.amounts = differences(effect, sum, names_);
                return take(c, std::move(a));
            }
        }
        // Only what falls short: the case is partly missing.
        std::vector<std::size_t> shortOf;
        Lines shortLines;
        for (std::size_t m = 0; m < members.size(); ++m) {
            const Lines& f = memberForms[m];
            if (!within(f, effect, true)) continue;
            const std::size_t before = shortLines.size();
            shortLines.insert(shortLines.end(), f.begin(), f.end());
            if (!within(normal(shortLines), effect, true)) {
                shortLines.resize(before);
                continue;
            }
            shortOf.push_back(members[m]);
        }
        if (!shortOf.empty()) take(c, answer(c, PairKind::Missing, 0, shortOf));
    }

    const std::vector<ExpectedCase>& cases_;
    const LearnerBookings& learner_;
    Accounts names_;
    std::vector<std::vector<Lines>> effects_, parts_;  // of each case, by rank
    std::vector<std::optional<std::uint32_t>> dates_;  // of each case that names one: its code, if any booking carries it
    std::vector<bool> used_;
    std::vector<bool> bystander_;  // books two accounts or more that no case books
    std::vector<std::optional<CaseAnswer>> answer_;
    std::vector<Keyed> byForm_;                           // the bookings not passed by, by hash of their lines
    std::vector<std::uint32_t> withAccount_;   // the bookings of each account, in file order,
    std::vector<std::size_t> accountStart_;    // from accountStart_[a] to accountStart_[a + 1]
    std::vector<std::uint32_t> candidates_;               // bookings whose lines hash as an effect's
    mutable std::vector<LearnerBookings::Line> scratch_;
};

} // namespace

CaseMatching match_cases(const std::vector<ExpectedCase>& cases, const LearnerBookings& learner) {
    return CaseMatcher(cases, learner).run();
}

Matching match_bookings(const std::vector<ExpectedBooking>& expected, const LearnerBookings& learner) {
    std::vector<ExpectedCase> cases(expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        cases[i].bookings = {i};
        cases[i].date = expected[i].date;
        cases[i].effects.push_back(normal_form(expected[i].lines));
        cases[i].parts.push_back(cases[i].effects.front());
        for (const auto& alternative : expected[i].alternatives) cases[i].effects.push_back(normal_form(alternative));
    }
    const CaseMatching found = match_cases(cases, learner);
    Matching out;
    out.missing = found.missing;
    for (const CaseAnswer& a : found.answers) {
        if (a.kind == PairKind::Missing) {
            out.missing.push_back(a.kase);
            continue;
        }
        out.pairs.push_back({a.kase, a.learners.front(), a.kind, a.amounts, a.expectedAccount, a.foundAccount});
    }
    std::sort(out.missing.begin(), out.missing.end());
    out.extra = found.extra;
    for (const CaseAnswer& a : found.answers)
        if (a.kind == PairKind::Missing) out.extra.insert(out.extra.end(), a.learners.begin(), a.learners.end());
    std::sort(out.extra.begin(), out.extra.end());
    return out;
}

} // namespace saldorama::checking
