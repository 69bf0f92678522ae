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
    }
    return Finding::Missing;
}

} // namespace

bool CheckResult::all_right() const noexcept {
    return std::all_of(rows.begin(), rows.end(), [](const CheckRow& row) { return row.right(); });
}

CheckResult check(const Solution& solution, const LearnerBooks& learner) {
    CheckResult result;
    result.exercise = solution.exercise;
    const auto earlier = [&](int exercise) { return exercise < solution.exercise; };
    for (const ExpectedBooking& b : solution.bookings)
        if (!earlier(b.exercise)) ++result.maxPoints;
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

    const Matching matching = match_bookings(solution.bookings, learner.bookings);
    std::vector<CheckRow> bookingRows(solution.bookings.size());
    for (std::size_t i : matching.missing) bookingRows[i].finding = Finding::Missing;
    for (const BookingPair& pair : matching.pairs) {
        CheckRow& row = bookingRows[pair.expected];
        row.finding = finding_of(pair.kind);
        row.learner = pair.learner;
        row.amounts = pair.amounts;
        row.expectedAccount = pair.expectedAccount;
        row.foundAccount = pair.foundAccount;
    }
    int right = 0;
    for (std::size_t i = 0; i < bookingRows.size(); ++i) {
        CheckRow& row = bookingRows[i];
        row.kind = RowKind::Booking;
        row.expected = i;
        row.earlier = earlier(solution.bookings[i].exercise);
        if (row.right() && !row.earlier) ++right;
        row.text = finding_text(row, solution, learner);
        result.rows.push_back(std::move(row));
    }
    for (std::size_t i = 0; i < solution.controls.size(); ++i) {
        const ExpectedControl& control = solution.controls[i];
        CheckRow row;
        row.kind = RowKind::ControlValue;
        row.earlier = earlier(control.exercise);
        row.control = i;
        row.computed = computed_value(learner.values, control);
        row.finding = row.computed == control.cents ? Finding::Right : Finding::WrongValue;
        if (row.right() && !row.earlier) ++right;
        row.text = finding_text(row, solution, learner);
        result.rows.push_back(std::move(row));
    }
    for (std::size_t j : matching.extra) {
        CheckRow row;
        row.kind = RowKind::ExtraBooking;
        row.finding = Finding::Extra;
        row.learner = j;
        row.text = finding_text(row, solution, learner);
        result.rows.push_back(std::move(row));
    }
    const long long extra = static_cast<long long>(matching.extra.size());
    result.points = static_cast<int>(std::max(0LL, right - extra));
    return result;
}

} // namespace saldorama::checking
