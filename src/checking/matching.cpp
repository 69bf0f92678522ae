#include "checking/matching.h"

#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <tuple>
#include <unordered_set>
#include <unordered_map>

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

// Step 1, the right matches: a maximum matching of cases to classes of
// interchangeable learner bookings (same lines, and same date where that
// matters), found with
// augmenting paths; each class can take as many as it has members.
class RightMatcher {
public:
    RightMatcher(const std::vector<ExpectedCase>& expected, const std::vector<LearnerBooking>& learner,
                 const std::vector<Lines>& learnerForms, const std::vector<bool>& bystander) {
        // Dates tell learner bookings apart only where a solution booking of
        // those lines names one.
        std::unordered_set<std::string> dated;
        for (std::size_t i = 0; i < expected.size(); ++i)
            if (!expected[i].date.empty())
                for (const Lines& form : expected[i].effects) dated.insert(key_of(form));
        std::unordered_map<std::string, std::size_t> classOf;
        std::unordered_map<std::string, std::vector<std::size_t>> classesOfLines;
        for (std::size_t j = 0; j < learner.size(); ++j) {
            if (bystander[j]) continue;
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
            for (const Lines& form : expected[i].effects) {
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
    std::vector<std::string> dates_;
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
            for (const BookingLine& l : *lines) {
                const auto at = std::lower_bound(effect.begin(), effect.end(), l, [](const BookingLine& a, const BookingLine& b) {
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
    for (const BookingLine& l : lines) {
        const auto at = std::find_if(effect.begin(), effect.end(), [&](const BookingLine& e) {
            return e.account == l.account && e.side == l.side;
        });
        if (at == effect.end() || (capped && l.cents > at->cents)) return false;
    }
    return true;
}

// The lines of several bookings summed to one normal form.
Lines summed_form(const std::vector<const Lines*>& group) {
    Lines all;
    for (const Lines* lines : group) all.insert(all.end(), lines->begin(), lines->end());
    return normal_form(all);
}

std::vector<AmountDifference> differences(const Lines& expected, const Lines& found) {
    std::vector<AmountDifference> out;
    for (std::size_t k = 0; k < expected.size() && k < found.size(); ++k)
        if (expected[k].cents != found[k].cents)
            out.push_back({expected[k].account, expected[k].side, expected[k].cents, found[k].cents});
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

class CaseMatcher {
public:
    CaseMatcher(const std::vector<ExpectedCase>& cases, const std::vector<LearnerBooking>& learner)
        : cases_(cases), learner_(learner), forms_(learner.size()), used_(learner.size(), false),
          bystander_(learner.size(), false), answer_(cases.size()) {
        std::unordered_set<std::string> caseAccounts;
        for (const ExpectedCase& k : cases)
            for (const auto* forms : {&k.effects, &k.parts})
                for (const Lines& form : *forms)
                    for (const BookingLine& l : form) caseAccounts.insert(l.account);
        for (std::size_t j = 0; j < learner.size(); ++j) {
            Lines form = normal_form(learner[j].lines);
            const std::vector<std::string> accounts = accounts_of(form);
            const auto foreign = std::count_if(accounts.begin(), accounts.end(),
                                               [&](const std::string& a) { return !caseAccounts.contains(a); });
            // Two accounts no case books: every step but the reverses passes
            // it by (a near miss differs in one account at most), so its
            // lines are not held twice nor looked up.
            if (foreign >= 2) {
                bystander_[j] = true;
                continue;
            }
            forms_[j] = std::move(form);
            byForm_[key_of(forms_[j])].push_back(j);
            for (const std::string& account : accounts) withAccount_[account].push_back(j);
        }
    }

    CaseMatching run() {
        const std::vector<std::size_t> partner = RightMatcher(cases_, learner_, forms_, bystander_).partners();
        for (std::size_t c = 0; c < cases_.size(); ++c) {
            if (partner[c] == RightMatcher::kNone) continue;
            const Lines& form = forms_[partner[c]];
            const auto& effects = cases_[c].effects;
            const auto effect = static_cast<std::size_t>(std::find(effects.begin(), effects.end(), form) - effects.begin());
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
        for (std::size_t j = 0; j < learner_.size(); ++j) {
            if (cancelled[j]) out.cancelled.push_back(j);
            else if (!used_[j]) out.extra.push_back(j);
        }
        return out;
    }

private:
    [[nodiscard]] bool dateFits(std::size_t c, std::size_t j) const {
        return cases_[c].date.empty() || cases_[c].date == learner_[j].date;
    }

    void take(std::size_t c, CaseAnswer answer) {
        for (std::size_t j : answer.learners) used_[j] = true;
        std::sort(answer.learners.begin(), answer.learners.end());
        answer_[c] = std::move(answer);
    }

    // Unused bookings sharing an account with `effect`, in file order.
    [[nodiscard]] std::vector<std::size_t> near(const Lines& effect) const {
        std::vector<std::size_t> out;
        for (const std::string& account : accounts_of(effect)) {
            const auto found = withAccount_.find(account);
            if (found == withAccount_.end()) continue;
            for (std::size_t j : found->second)
                if (!used_[j]) out.push_back(j);
        }
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return out;
    }

    // The earliest set of unused bookings that sums to `effect`.
    std::optional<std::vector<std::size_t>> group(std::size_t c, const Lines& effect, bool anyDate) const {
        std::vector<std::size_t> candidates;
        std::vector<const Lines*> lines;
        for (std::size_t j : near(effect))
            if ((anyDate || dateFits(c, j)) && within(forms_[j], effect, true)) {
                candidates.push_back(j);
                lines.push_back(&forms_[j]);
            }
        if (candidates.empty()) return std::nullopt;
        const auto chosen = GroupSearch(effect, lines).run();
        if (!chosen) return std::nullopt;
        std::vector<std::size_t> out;
        for (std::size_t k : *chosen) out.push_back(candidates[k]);
        return out;
    }

    // Step 2.
    void grouped(std::size_t c) {
        for (std::size_t e = 0; e < cases_[c].effects.size(); ++e)
            if (const auto found = group(c, cases_[c].effects[e], false)) {
                take(c, answer(c, PairKind::Right, e, *found));
                return;
            }
    }

    // Step 3: returns the cancelled bookings.
    std::vector<bool> cancel() {
        std::vector<bool> cancelled(learner_.size(), false);
        for (std::size_t i = 0; i < learner_.size(); ++i) {
            if (used_[i] || forms_[i].empty()) continue;
            const auto found = byForm_.find(key_of(swapped(forms_[i])));
            if (found == byForm_.end()) continue;
            for (std::size_t j : found->second) {
                if (j <= i || used_[j]) continue;
                used_[i] = used_[j] = true;
                cancelled[i] = cancelled[j] = true;
                break;
            }
        }
        cancel_bystanders(cancelled);
        return cancelled;
    }

    // Step 3 for the bookings the cases pass by; a reverse has the same
    // accounts, so they cancel among themselves alone. Grouped by a hash of
    // the pair of forms {lines, reverse}; within a group, in file order, a
    // booking cancels the earliest one still open with its reverse form,
    // which pairs exactly as the earliest booking claiming its first reverse
    // does. The forms are compared in full: a shared hash only groups.
    void cancel_bystanders(std::vector<bool>& cancelled) {
        const auto hash = [](const Lines& form) { return std::hash<std::string>{}(key_of(form)); };
        std::vector<std::pair<std::size_t, std::size_t>> keyed;  // group, booking
        for (std::size_t j = 0; j < learner_.size(); ++j) {
            if (!bystander_[j]) continue;
            const Lines form = normal_form(learner_[j].lines);
            keyed.emplace_back(std::min(hash(form), hash(swapped(form))), j);
        }
        std::sort(keyed.begin(), keyed.end());
        std::vector<std::pair<std::size_t, Lines>> open;  // bookings waiting for their reverse, in file order
        for (std::size_t from = 0; from < keyed.size();) {
            std::size_t to = from;
            while (to < keyed.size() && keyed[to].first == keyed[from].first) ++to;
            open.clear();
            for (std::size_t k = from; k < to; ++k) {
                const std::size_t j = keyed[k].second;
                Lines form = normal_form(learner_[j].lines);
                const Lines reverse = swapped(form);
                const auto partner = std::find_if(open.begin(), open.end(), [&](const auto& o) { return o.second == reverse; });
                if (partner != open.end()) {
                    used_[partner->first] = used_[j] = true;
                    cancelled[partner->first] = cancelled[j] = true;
                    open.erase(partner);
                } else {
                    open.emplace_back(j, std::move(form));
                }
            }
            from = to;
        }
    }

    // The closest unused booking that one mistake sets apart from `form`.
    std::optional<BookingPair> closest(const Lines& form, const std::string& date) const {
        std::vector<Near> found;
        for (std::size_t j : near(form))
            if (forms_[j].size() == form.size()) found.push_back({distance(form, forms_[j]), j, 0});
        std::sort(found.begin(), found.end());
        for (const Near& n : found) {
            const bool datesDiffer = !date.empty() && date != learner_[n.learner].date;
            if (auto pair = named_pair(form, forms_[n.learner], datesDiffer)) {
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
        for (const Lines& effect : k.effects) {
            const auto pair = closest(effect, k.date);
            if (!pair) continue;
            const std::size_t d = distance(effect, forms_[pair->learner]);
            if (!best || d < bestDistance || (d == bestDistance && pair->learner < best->learner)) {
                best = pair;
                bestDistance = d;
            }
        }
        if (best) return take(c, answer_of(*best));
        // The right sums on another date.
        if (!k.date.empty())
            for (const Lines& effect : k.effects)
                if (const auto found = group(c, effect, true))
                    return take(c, answer(c, PairKind::WrongDate, 0, *found));
        if (k.effects.empty()) return;
        const Lines& effect = k.effects.front();
        // A mistake in one of the solution's bookings, the others right.
        if (k.parts.size() > 1) {
            std::vector<std::size_t> taken;
            std::optional<BookingPair> mistake;
            for (const Lines& part : k.parts) {
                const auto exact = byForm_.find(key_of(part));
                std::size_t same = kUnset;
                if (exact != byForm_.end())
                    for (std::size_t j : exact->second)
                        if (!used_[j] && dateFits(c, j) &&
                            std::find(taken.begin(), taken.end(), j) == taken.end()) {
                            same = j;
                            break;
                        }
                if (same != kUnset) {
                    taken.push_back(same);
                    continue;
                }
                if (mistake) continue;
                for (std::size_t j : taken) used_[j] = true;  // not to be named twice
                mistake = closest(part, k.date);
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
        std::vector<const Lines*> lines;
        for (std::size_t j : near(effect)) {
            if (!within(forms_[j], effect, false)) continue;
            members.push_back(j);
            lines.push_back(&forms_[j]);
            const Lines sum = summed_form(lines);
            if (same_accounts_and_sides(sum, effect))
            {
                CaseAnswer a = answer(c, PairKind::WrongAmount, 0, members);
                a.amounts = differences(effect, sum);
                return take(c, std::move(a));
            }
        }
        // Only what falls short: the case is partly missing.
        std::vector<std::size_t> shortOf;
        std::vector<const Lines*> shortLines;
        for (std::size_t j : members) {
            if (!within(forms_[j], effect, true)) continue;
            shortLines.push_back(&forms_[j]);
            const Lines sum = summed_form(shortLines);
            if (!within(sum, effect, true)) {
                shortLines.pop_back();
                continue;
            }
            shortOf.push_back(j);
        }
        if (!shortOf.empty()) take(c, answer(c, PairKind::Missing, 0, shortOf));
    }

    const std::vector<ExpectedCase>& cases_;
    const std::vector<LearnerBooking>& learner_;
    std::vector<Lines> forms_;
    std::vector<bool> used_;
    std::vector<bool> bystander_;  // books two accounts or more that no case books
    std::vector<std::optional<CaseAnswer>> answer_;
    std::unordered_map<std::string, std::vector<std::size_t>> byForm_;      // in file order
    std::unordered_map<std::string, std::vector<std::size_t>> withAccount_;  // in file order
};

} // namespace

CaseMatching match_cases(const std::vector<ExpectedCase>& cases, const std::vector<LearnerBooking>& learner) {
    return CaseMatcher(cases, learner).run();
}

Matching match_bookings(const std::vector<ExpectedBooking>& expected, const std::vector<LearnerBooking>& learner) {
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
