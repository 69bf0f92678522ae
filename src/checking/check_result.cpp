#include "checking/check_result.h"

#include <algorithm>

#include "checking/check_text.h"

namespace saldorama::checking {

namespace {

Finding finding_of(PairKind kind) {
    switch (kind) {
    case PairKind::Right:
        return Finding::Right;
    case PairKind::WrongDate:
        return Finding::WrongDate;
    case PairKind::Swapped:
        return Finding::Swapped;
    case PairKind::WrongAmount:
        return Finding::WrongAmount;
    case PairKind::WrongAccount:
        return Finding::WrongAccount;
    case PairKind::Missing:
        return Finding::Missing;
    }
    return Finding::Missing;
}

// The lines the books hold after the cases: a right case with the learner's
// own bookings, any other with the solution's effect; with `ownEffects` every
// case right by an alternative takes the solution's own effect instead.
std::vector<std::vector<BookingLine>> books_of_cases(const Solution& solution, const LearnerBooks& learner,
                                                     const std::vector<const CaseAnswer*>& answers, bool ownEffects) {
    std::vector<std::vector<BookingLine>> out;
    for (std::size_t c = 0; c < solution.cases.size(); ++c) {
        const ExpectedCase& k = solution.cases[c];
        if (k.later) continue;
        const CaseAnswer* a = answers[c];
        if (a && a->kind == PairKind::Right && !(ownEffects && a->effect != 0)) {
            for (std::size_t j : a->learners) out.push_back(learner.bookings[j].lines);
        } else if (!k.effects.empty()) {
            out.push_back(k.effects.front());
        }
    }
    return out;
}

} // namespace

bool CheckResult::all_right() const noexcept {
    return extra.empty() && std::all_of(rows.begin(), rows.end(), [](const CheckRow& row) { return row.right(); });
}

CheckRow CheckResult::row(std::size_t i) const {
    if (i < extraAt) return rows.at(i);
    if (i - extraAt < extra.size()) {
        CheckRow row;
        row.kind = RowKind::ExtraBooking;
        row.finding = Finding::Extra;
        row.learner = extra[i - extraAt];  // its text is made when shown (row_text)
        return row;
    }
    return rows.at(i - extra.size());
}

CheckResult check(const Solution& solution, const LearnerBooks& learner) {
    CheckResult result;
    result.exercise = solution.exercise;
    const auto earlier = [&](int exercise) { return exercise < solution.exercise; };
    for (const ExpectedCase& k : solution.cases)
        if (!k.later && !earlier(k.exercise)) result.maxPoints += k.weight;
    for (const ExpectedControl& c : solution.controls)
        if (!earlier(c.exercise)) ++result.maxPoints;

    if (learner.chart != solution.chart) {
        CheckRow row;
        row.kind = RowKind::OtherChart;
        row.finding = Finding::OtherChart;
        row.text = finding_text(row, solution, learner);
        result.rows.push_back(std::move(row));
        return result;
    }

    CaseMatching matching = match_cases(solution.cases, learner.bookings);
    std::vector<const CaseAnswer*> answers(solution.cases.size(), nullptr);
    for (const CaseAnswer& a : matching.answers) answers[a.kase] = &a;
    int right = 0;
    for (std::size_t c = 0; c < solution.cases.size(); ++c) {
        const ExpectedCase& k = solution.cases[c];
        if (k.later) continue;
        CheckRow row;
        row.kind = RowKind::Case;
        row.expected = c;
        row.earlier = earlier(k.exercise);
        row.finding = Finding::Missing;
        if (const CaseAnswer* a = answers[c]) {
            row.finding = finding_of(a->kind);
            row.learners = a->learners;
            row.learner = a->learners.empty() ? kNoIndex : a->learners.front();
            row.amounts = a->amounts;
            row.expectedAccount = a->expectedAccount;
            row.foundAccount = a->foundAccount;
            row.split = row.right() && a->learners.size() > 1 && k.parts.size() == 1 && k.parts.front().size() > 2;
        }
        if (row.right() && !row.earlier) right += k.weight;
        row.text = finding_text(row, solution, learner);
        result.rows.push_back(std::move(row));
    }
    ComputedValues values = learner.values, ownValues = learner.values;
    if (learner.valuesOf && !solution.controls.empty()) {
        values = learner.valuesOf(books_of_cases(solution, learner, answers, false));
        const bool alternative = std::any_of(matching.answers.begin(), matching.answers.end(), [](const CaseAnswer& a) {
            return a.kind == PairKind::Right && a.effect != 0;
        });
        ownValues = alternative ? learner.valuesOf(books_of_cases(solution, learner, answers, true)) : values;
    }
    for (std::size_t i = 0; i < solution.controls.size(); ++i) {
        const ExpectedControl& control = solution.controls[i];
        CheckRow row;
        row.kind = RowKind::ControlValue;
        row.earlier = earlier(control.exercise);
        row.control = i;
        row.computed = computed_value(values, control);
        row.wanted = control.cents + row.computed - computed_value(ownValues, control);
        row.finding = row.computed == row.wanted ? Finding::Right : Finding::WrongValue;
        if (row.right() && !row.earlier) ++right;
        row.text = finding_text(row, solution, learner);
        result.rows.push_back(std::move(row));
    }
    const long long extra = static_cast<long long>(matching.extra.size());
    result.extraAt = result.rows.size();
    result.extra = std::move(matching.extra);
    result.points = static_cast<int>(std::max(0LL, right - extra));
    return result;
}

} // namespace saldorama::checking
