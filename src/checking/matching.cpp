#include "checking/matching.h"

#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace saldorama::checking {

namespace {

using Lines = std::vector<BookingLine>;

std::string key_of(const Lines& normal) {
    std::string key;
    for (const BookingLine& l : normal) {
        key += l.account;
        key += l.side == Side::Soll ? "\x01S" : "\x01H";
        key += std::to_string(l.cents);
        key += '\x02';
    }
    return key;
}

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
    for (BookingLine& l : out) l.side = l.side == Side::Soll ? Side::Haben : Side::Soll;
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> accounts_of(const Lines& normal) {
    std::vector<std::string> out;
    for (const BookingLine& l : normal)
        if (out.empty() || out.back() != l.account) out.push_back(l.account);
    return out;  // normal forms are sorted by account
}

// Names a pair of an expected form and a learner booking, or nothing when no
// name fits.
// Whether the accounts of two normal forms differ in at most one of each:
// a cheap test that rules out most pairs before any name is tried.
bool near_in_accounts(const Lines& a, const Lines& b) {
    int onlyA = 0, onlyB = 0;
    std::size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        const int order = i == a.size() ? 1 : j == b.size() ? -1 : a[i].account.compare(b[j].account);
        const std::string& account = order <= 0 ? a[i].account : b[j].account;
        if (order < 0) ++onlyA;
        if (order > 0) ++onlyB;
        if (order <= 0)
            while (i < a.size() && a[i].account == account) ++i;
        if (order >= 0)
            while (j < b.size() && b[j].account == account) ++j;
    }
    return onlyA <= 1 && onlyB <= 1;
}

std::optional<BookingPair> named_pair(const Lines& form, const Lines& found, bool datesDiffer) {
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
                pair.amounts.push_back({form[k].account, form[k].side, form[k].cents, found[k].cents});
        return pair;
    }
    const std::vector<std::string> expectedAccounts = accounts_of(form);
    const std::vector<std::string> foundAccounts = accounts_of(found);
    std::vector<std::string> onlyExpected, onlyFound;
    std::set_difference(expectedAccounts.begin(), expectedAccounts.end(), foundAccounts.begin(), foundAccounts.end(),
                        std::back_inserter(onlyExpected));
    std::set_difference(foundAccounts.begin(), foundAccounts.end(), expectedAccounts.begin(), expectedAccounts.end(),
                        std::back_inserter(onlyFound));
    if (onlyExpected.size() == 1 && onlyFound.size() == 1) {
        Lines renamed = form;
        for (BookingLine& l : renamed)
            if (l.account == onlyExpected[0]) l.account = onlyFound[0];
        std::sort(renamed.begin(), renamed.end());
        if (renamed == found) {
            pair.kind = PairKind::WrongAccount;
            pair.expectedAccount = onlyExpected[0];
            pair.foundAccount = onlyFound[0];
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

// The right matches: a maximum matching of expected bookings to classes of
// interchangeable learner bookings (same lines, and same date where that
// matters), found with
// augmenting paths; each class can take as many as it has members.
class RightMatcher {
public:
    RightMatcher(const std::vector<ExpectedBooking>& expected, const std::vector<LearnerBooking>& learner,
                 const std::vector<std::vector<Lines>>& forms, const std::vector<Lines>& learnerForms) {
        // Dates tell learner bookings apart only where a solution booking of
        // those lines names one.
        std::unordered_set<std::string> dated;
        for (std::size_t i = 0; i < expected.size(); ++i)
            if (!expected[i].date.empty())
                for (const Lines& form : forms[i]) dated.insert(key_of(form));
        std::unordered_map<std::string, std::size_t> classOf;
        std::unordered_map<std::string, std::vector<std::size_t>> classesOfLines;
        for (std::size_t j = 0; j < learner.size(); ++j) {
            const std::string linesKey = key_of(learnerForms[j]);
            const std::string classKey = dated.contains(linesKey) ? linesKey + '\x03' + learner[j].date : linesKey;
            const auto [it, added] = classOf.try_emplace(classKey, members_.size());
            if (added) {
                members_.emplace_back();
                dates_.push_back(learner[j].date);
                classesOfLines[linesKey].push_back(it->second);
            }
            members_[it->second].push_back(j);
        }
        users_.resize(members_.size());
        stamp_.assign(members_.size(), 0);
        adjacent_.resize(expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            for (const Lines& form : forms[i]) {
                const auto found = classesOfLines.find(key_of(form));
                if (found == classesOfLines.end()) continue;
                for (std::size_t c : found->second) {
                    if (!expected[i].date.empty() && dates_[c] != expected[i].date) continue;
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

    // Expected index to learner index for every right match.
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
    std::vector<std::string> dates_;
    std::vector<std::vector<std::size_t>> users_;     // expected bookings matched to each class
    std::vector<unsigned> stamp_;
    unsigned round_ = 0;
    std::vector<std::vector<std::size_t>> adjacent_;  // classes each expected booking accepts
    std::vector<std::size_t> assigned_;
};

} // namespace

Matching match_bookings(const std::vector<ExpectedBooking>& expected, const std::vector<LearnerBooking>& learner) {
    std::vector<std::vector<Lines>> forms(expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        forms[i].push_back(normal_form(expected[i].lines));
        for (const auto& alternative : expected[i].alternatives) forms[i].push_back(normal_form(alternative));
    }
    std::vector<Lines> learnerForms(learner.size());
    for (std::size_t j = 0; j < learner.size(); ++j) learnerForms[j] = normal_form(learner[j].lines);

    constexpr std::size_t kNone = RightMatcher::kNone;
    std::vector<std::size_t> partner = RightMatcher(expected, learner, forms, learnerForms).partners();
    std::vector<bool> learnerTaken(learner.size(), false);
    for (std::size_t p : partner)
        if (p != kNone) learnerTaken[p] = true;

    std::unordered_map<std::string, std::vector<std::size_t>> bookingsWith;  // account -> learner bookings
    for (std::size_t j = 0; j < learner.size(); ++j)
        for (const std::string& account : accounts_of(learnerForms[j])) bookingsWith[account].push_back(j);

    Matching out;
    std::vector<std::size_t> candidates;
    std::vector<Near> near;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (partner[i] != kNone) {
            BookingPair right;
            right.expected = i;
            right.learner = partner[i];
            out.pairs.push_back(std::move(right));
            continue;
        }
        candidates.clear();
        for (const Lines& form : forms[i])
            for (const std::string& account : accounts_of(form)) {
                const auto found = bookingsWith.find(account);
                if (found == bookingsWith.end()) continue;
                for (std::size_t j : found->second)
                    if (!learnerTaken[j]) candidates.push_back(j);
            }
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());

        // The closest learner booking the pair can be named with; a name
        // needs as many lines on both sides.
        near.clear();
        for (std::size_t j : candidates)
            for (std::size_t f = 0; f < forms[i].size(); ++f)
                if (forms[i][f].size() == learnerForms[j].size())
                    near.push_back({distance(forms[i][f], learnerForms[j]), j, f});
        std::sort(near.begin(), near.end());
        std::optional<BookingPair> pair;
        std::size_t best = kNone;
        for (const Near& n : near) {
            const bool datesDiffer = !expected[i].date.empty() && expected[i].date != learner[n.learner].date;
            pair = named_pair(forms[i][n.form], learnerForms[n.learner], datesDiffer);
            if (pair) {
                best = n.learner;
                break;
            }
        }
        if (!pair) {
            out.missing.push_back(i);
            continue;
        }
        pair->expected = i;
        pair->learner = best;
        learnerTaken[best] = true;
        out.pairs.push_back(std::move(*pair));
    }
    for (std::size_t j = 0; j < learner.size(); ++j)
        if (!learnerTaken[j]) out.extra.push_back(j);
    return out;
}

} // namespace saldorama::checking
