#include "marking/expected_books.h"

#include <algorithm>

#include "accounts/chart_file.h"
#include "base/cp1252.h"
#include "base/failure.h"

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
std::vector<ck::ExpectedBooking> opening_bookings(const Solution& s, const std::vector<AccountRecord>& chart) {
    std::vector<ck::ExpectedBooking> out;
    for (const AccountRecord& account : chart) {
        for (const OpeningAmount& a : s.opening->amounts) {
            if (a.account != account.name || a.amount <= 0) continue;
            const bool debitSide = account.side == "A" || account.side == "S";
            ck::ExpectedBooking b;
            b.exercise = s.exercise;
            b.date = s.opening->date;
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

std::vector<Solution> solution_chain(int exercise) {
    std::vector<Solution> chain;
    int next = exercise;
    while (true) {
        Solution s = read_solution(solution_file_name(next));
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

ExpectedBooks expected_books(const std::vector<Solution>& chain, const std::vector<AccountRecord>& chart,
                             const std::string& chartName) {
    ExpectedBooks out;
    ck::Solution& books = out.books;
    if (chain.empty()) return out;
    const Solution& last = chain.back();
    books.exercise = last.exercise;
    books.chart = last.chart;
    books.chartName = chartName;
    for (const Solution& s : chain) {
        // The opening page empties the books before it writes the opening.
        if (s.opening) {
            books.bookings = opening_bookings(s, chart);
            out.compounds.clear();
        }
        const std::size_t first = books.bookings.size();
        for (const SolutionBooking& sb : s.bookings) {
            ck::ExpectedBooking b;
            b.exercise = s.exercise;
            b.lines = lines_of(sb);
            b.date = sb.date;
            b.explanation = joined(sb.explanation);
            books.bookings.push_back(std::move(b));
        }
        for (const SolutionAlternative& alt : s.alternatives) {
            if (alt.replaces.empty()) continue;
            if (alt.replaces.size() == 1) {
                books.bookings[first + static_cast<std::size_t>(alt.replaces[0] - 1)].alternatives.push_back(
                    lines_of(alt.booking));
                continue;
            }
            CompoundAlternative c;
            for (const int k : alt.replaces) c.replaces.push_back(first + static_cast<std::size_t>(k - 1));
            c.booking.exercise = s.exercise;
            c.booking.lines = lines_of(alt.booking);
            c.booking.date = alt.booking.date;
            c.booking.explanation = joined(alt.booking.explanation);
            out.compounds.push_back(std::move(c));
        }
    }
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
