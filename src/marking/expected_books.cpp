#include "marking/expected_books.h"

#include <algorithm>

#include "accounts/chart_file.h"
#include "base/cp1252.h"
#include "base/failure.h"
#include "exercises/exercise_file.h"

namespace saldorama {

namespace {

namespace ck = checking;

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) {
        if (!out.empty()) out += '\n';
        out += line;
    }
    return out;
}

std::vector<ck::BookingLine> lines_of(const SolutionBooking& booking) {
    std::vector<ck::BookingLine> out;
    for (const SolutionEntry& e : booking.entries)
        out.push_back({e.account, e.side == EntrySide::Debit ? ck::Side::Soll : ck::Side::Haben,
                       static_cast<ck::Cents>(e.amount)});
    return out;
}

std::string year_date(const std::string& date, int bookingYear) {
    return bookingYear > 0 ? date_in_year(date, bookingYear) : date;
}

ck::ControlKind kind_of(ControlKind kind) {
    switch (kind) {
    case ControlKind::AccountBalance: return ck::ControlKind::AccountBalance;
    case ControlKind::BalanceSheetTotal: return ck::ControlKind::BalanceSheetTotal;
    case ControlKind::Profit: return ck::ControlKind::ProfitOrLoss;
    case ControlKind::OperatingResult: return ck::ControlKind::OperatingResult;
    case ControlKind::NeutralResult: return ck::ControlKind::NeutralResult;
    }
    return ck::ControlKind::AccountBalance;
}

// The bookings the opening page writes for the amounts: in chart order, one
// per account with an amount, an account of the left side against the
// opening-balance account and the other way round.
std::vector<ck::ExpectedBooking> opening_bookings(const Solution& s, const std::vector<AccountRecord>& chart,
                                                  int bookingYear) {
    std::vector<ck::ExpectedBooking> out;
    for (const AccountRecord& account : chart) {
        for (const OpeningAmount& a : s.opening->amounts) {
            if (a.account != account.name || a.amount <= 0) continue;
            const bool debitSide = account.side == "A" || account.side == "S";
            ck::ExpectedBooking b;
            b.exercise = s.exercise;
            b.date = year_date(s.opening->date, bookingYear);
            b.lines = {{account.name, debitSide ? ck::Side::Soll : ck::Side::Haben, a.amount},
                       {opening_account_name(), debitSide ? ck::Side::Haben : ck::Side::Soll, a.amount}};
            b.explanation = cp("Eröffnungsbuchung: der Anfangsbestand aus der Eröffnungsbilanz. ") +
                            (debitSide ? cp("Ein Aktivkonto steht im Soll, das Eröffnungsbilanzkonto im Haben.")
                                       : cp("Ein Passivkonto steht im Haben, das Eröffnungsbilanzkonto im Soll."));
            out.push_back(std::move(b));
        }
    }
    for (const OpeningAmount& a : s.opening->amounts)
        if (std::none_of(chart.begin(), chart.end(), [&](const AccountRecord& r) { return r.name == a.account; }))
            fail(s.fileName + ": Das Konto " + a.account + cp(" der Eröffnung steht nicht im Kontenplan ") +
                 std::to_string(s.chart));
    return out;
}

} // namespace

std::vector<Solution> solution_chain(int exercise, const std::string& folder) {
    std::vector<Solution> chain;
    int next = exercise;
    while (true) {
        Solution s = read_solution_in(folder, next);
        // The reader makes sure that "Baut auf" names an earlier exercise.
        const std::optional<int> buildsOn = s.buildsOn;
        if (!chain.empty() && s.chart != chain.back().chart)
            fail(chain.back().fileName + cp(" baut auf Aufgabe ") + std::to_string(next) +
                 cp(" auf, die einen anderen Kontenplan hat"));
        chain.push_back(std::move(s));
        if (!buildsOn) break;
        next = *buildsOn;
    }
    std::reverse(chain.begin(), chain.end());
    return chain;
}

std::vector<Solution> later_solutions(int exercise, const std::string& folder) {
    std::vector<Solution> out;
    std::vector<int> builtOn{exercise};
    const int last = exercise_count();
    for (int next = exercise + 1; next <= last; ++next) {
        try {
            Solution s = read_solution_in(folder, next);
            if (!s.buildsOn || std::find(builtOn.begin(), builtOn.end(), *s.buildsOn) == builtOn.end()) continue;
            builtOn.push_back(next);
            out.push_back(std::move(s));
        } catch (const Failure&) {
            // Missing or malformed: nothing to recognise.
        }
    }
    return out;
}

namespace {

// The date of a case: the one its dated bookings agree on, else none.
std::string case_date(const ck::Solution& books, const ck::ExpectedCase& k) {
    std::string date;
    for (std::size_t b : k.bookings) {
        const std::string& d = books.bookings[b].date;
        if (d.empty()) continue;
        if (!date.empty() && d != date) return {};
        date = d;
    }
    return date;
}

std::vector<ck::BookingLine> all_lines(const ck::Solution& books, const std::vector<std::size_t>& indices) {
    std::vector<ck::BookingLine> out;
    for (std::size_t b : indices) out.insert(out.end(), books.bookings[b].lines.begin(), books.bookings[b].lines.end());
    return out;
}

// An effect with the lines of `removed` taken out and `added` put in.
std::vector<ck::BookingLine> replaced(const std::vector<ck::BookingLine>& effect,
                                      const std::vector<ck::BookingLine>& removed,
                                      const std::vector<ck::BookingLine>& added) {
    std::vector<ck::BookingLine> lines = effect;
    for (ck::BookingLine l : removed) {
        l.cents = -l.cents;
        lines.push_back(l);
    }
    lines.insert(lines.end(), added.begin(), added.end());
    return ck::normal_form(lines);
}

// Adds the bookings of `s` and their cases to `out`; `later` marks them as
// of an exercise built on the checked one.
void add_solution(ExpectedBooks& out, const Solution& s, const std::vector<AccountRecord>& chart, int bookingYear,
                  bool later) {
    ck::Solution& books = out.books;
    if (s.opening && !later) {
        // The opening page empties the books before it writes the opening.
        books.bookings = opening_bookings(s, chart, bookingYear);
        books.cases.clear();
        out.compounds.clear();
        ck::ExpectedCase opening;
        opening.label = cp("Eröffnung");
        opening.exercise = s.exercise;
        for (std::size_t i = 0; i < books.bookings.size(); ++i) opening.bookings.push_back(i);
        books.cases.push_back(std::move(opening));
    }
    const std::size_t casesBefore = books.cases.size();
    const std::size_t first = books.bookings.size();
    for (const SolutionBooking& sb : s.bookings) {
        ck::ExpectedBooking b;
        b.exercise = s.exercise;
        b.lines = lines_of(sb);
        b.date = year_date(sb.date, bookingYear);
        b.explanation = joined(sb.explanation);
        const std::size_t index = books.bookings.size();
        books.bookings.push_back(std::move(b));
        const bool sameCase = !sb.caseText.empty() && index > first && books.cases.size() > casesBefore &&
                              books.cases.back().label == "Fall " + sb.caseText;
        if (sameCase) {
            books.cases.back().bookings.push_back(index);
            continue;
        }
        ck::ExpectedCase k;
        k.label = sb.caseText.empty() ? "Buchung " + std::to_string(sb.number) : "Fall " + sb.caseText;
        k.exercise = s.exercise;
        k.bookings = {index};
        books.cases.push_back(std::move(k));
    }
    const std::size_t opened = s.opening && !later ? 0 : casesBefore;
    for (std::size_t c = opened; c < books.cases.size(); ++c) {
        ck::ExpectedCase& k = books.cases[c];
        k.later = later;
        k.date = case_date(books, k);
        k.effects = {ck::normal_form(all_lines(books, k.bookings))};
        k.parts.clear();
        for (std::size_t b : k.bookings) k.parts.push_back(ck::normal_form(books.bookings[b].lines));
    }
    const auto caseOf = [&](std::size_t booking) {
        for (std::size_t c = casesBefore; c < books.cases.size(); ++c) {
            const auto& bs = books.cases[c].bookings;
            if (std::find(bs.begin(), bs.end(), booking) != bs.end()) return c;
        }
        return books.cases.size();
    };
    for (const SolutionAlternative& alt : s.alternatives) {
        if (alt.replaces.empty()) continue;
        std::vector<std::size_t> replaces;
        for (const int k : alt.replaces) replaces.push_back(first + static_cast<std::size_t>(k - 1));
        const std::size_t from = caseOf(replaces.front());
        const std::size_t to = caseOf(replaces.back());
        const std::vector<ck::BookingLine> lines = lines_of(alt.booking);
        if (from == to) {
            ck::ExpectedCase& k = books.cases[from];
            k.effects.push_back(replaced(k.effects.front(), all_lines(books, replaces), lines));
            if (replaces.size() == 1) books.bookings[replaces.front()].alternatives.push_back(lines);
            continue;
        }
        if (later) continue;
        CompoundAlternative c;
        c.replaces = replaces;
        for (std::size_t k = from; k <= to; ++k) c.cases.push_back(k);
        c.booking.exercise = s.exercise;
        c.booking.lines = lines;
        c.booking.date = year_date(alt.booking.date, bookingYear);
        c.booking.explanation = joined(alt.booking.explanation);
        out.compounds.push_back(std::move(c));
    }
}

} // namespace

ExpectedBooks expected_books(const std::vector<Solution>& chain, const std::vector<AccountRecord>& chart,
                             const std::string& chartName, int bookingYear, const std::vector<Solution>& later) {
    ExpectedBooks out;
    ck::Solution& books = out.books;
    if (chain.empty()) return out;
    const Solution& last = chain.back();
    books.exercise = last.exercise;
    books.chart = last.chart;
    books.chartName = chartName;
    out.company = last.company;
    out.answers = last.explanation;
    for (const Solution& s : chain) add_solution(out, s, chart, bookingYear, false);
    for (const Solution& s : later)
        if (s.chart == last.chart) add_solution(out, s, chart, bookingYear, true);
    // Numbered as the learner counts them in the finished books.
    for (std::size_t i = 0; i < books.bookings.size(); ++i) books.bookings[i].number = static_cast<int>(i + 1);
    for (CompoundAlternative& c : out.compounds) c.booking.number = books.bookings[c.replaces.front()].number;

    for (const ControlBlock& block : last.controls) {
        if (static_cast<std::size_t>(block.afterBookings) != last.bookings.size()) continue;
        for (const ControlValue& v : block.values)
            books.controls.push_back({kind_of(v.kind), v.account, static_cast<ck::Cents>(v.amount), last.exercise});
    }
    return out;
}

} // namespace saldorama
