#include "marking/learner_check.h"

#include <algorithm>
#include <optional>

#include "accounts/chart_file.h"
#include "bookings/bookings_file.h"
#include "checking/check_input.h"
#include "checking/check_text.h"
#include "reports/account_balances.h"
#include "reports/balance_report.h"
#include "settings/settings.h"

namespace saldorama {

namespace {

namespace ck = checking;

// The amount that ends a report line ("Summe:     1234,50"), in cents; the
// report writes amounts as the program shows them, so only digits and the
// sign count.
ck::Cents tail_cents(const std::string& line) {
    const auto end = line.find_last_not_of(' ');
    if (end == std::string::npos) return 0;
    const auto blank = line.find_last_of(' ', end);
    const std::string word = line.substr(blank == std::string::npos ? 0 : blank + 1, end - blank);
    ck::Cents cents = 0;
    for (const char c : word)
        if (c >= '0' && c <= '9') cents = cents * 10 + (c - '0');
    return word.starts_with("-") ? -cents : cents;
}

std::string chart_name(int chart) {
    if (chart < 1 || chart > 4) return {};
    Settings s;
    read_settings_into(read_settings_lines(), s);
    return s.chartNames[static_cast<std::size_t>(chart - 1)];
}

} // namespace

namespace {

ck::ComputedValues values_of(const std::vector<AccountRecord>& chart, const AccountBalances& balances) {
    ck::ComputedValues values;
    for (const AccountRecord& account : chart) {
        const double debit = balances.balance(account.name);
        const bool debitSide = account.side == "A" || account.side == "S";
        values.balances.emplace_back(account.name, ck::cents_of(debitSide ? debit : -debit));
    }
    values.operatingResult = ck::cents_of(balances.operatingResult());
    values.neutralResult = ck::cents_of(balances.neutralResult());

    // The balance sheet total is the first sum of "Bilanz und GuV"; the
    // year's result stands there as "Gewinn:" or "Verlust:".
    const std::vector<std::string> body = balance_body(chart, balances, CompanyTexts{}, false);
    bool total = false;
    for (const std::string& line : body) {
        if (!total && line.starts_with("Summe:")) {
            values.balanceSheetTotal = tail_cents(line);
            total = true;
        }
        if (line.starts_with("Gewinn:")) values.profitOrLoss = tail_cents(line);
        if (line.starts_with("Verlust:")) values.profitOrLoss = -tail_cents(line);
    }
    return values;
}

// The learner's books taken booking by booking as a scan hands them over:
// only dates, accounts and cents are kept, never the payers' and reasons'
// texts, so a class of big backups is checked one learner at a time in
// little memory.
class LearnerBooksBuilder {
public:
    explicit LearnerBooksBuilder(int chartNumber) {
        learner_.chart = chartNumber;
        if (chartNumber >= 1 && chartNumber <= 4) {
            chart_ = read_chart(chartNumber);
            balances_.emplace(chart_);
        }
    }
    void add(const BookingRecord& r) {
        learner_.bookings.push_back(ck::learner_booking(r));
        if (balances_) balances_->add(r);
    }
    ck::LearnerBooks finish() {
        if (balances_) learner_.values = values_of(chart_, *balances_);
        return std::move(learner_);
    }

private:
    ck::LearnerBooks learner_;
    std::vector<AccountRecord> chart_;
    std::optional<AccountBalances> balances_;
};

} // namespace

ck::ComputedValues computed_values(const std::vector<AccountRecord>& chart, const std::vector<BookingRecord>& bookings) {
    AccountBalances balances(chart);
    balances.addAll(bookings);
    return values_of(chart, balances);
}

ck::LearnerBooks learner_books(int chartNumber, const std::vector<BookingRecord>& bookings) {
    ck::LearnerBooks learner;
    learner.chart = chartNumber;
    learner.bookings.reserve(bookings.size());
    for (const BookingRecord& r : bookings) learner.bookings.push_back(ck::learner_booking(r));
    if (chartNumber >= 1 && chartNumber <= 4) learner.values = computed_values(read_chart(chartNumber), bookings);
    return learner;
}

Marked mark(const ExpectedBooks& expected, ck::LearnerBooks learner) {
    Marked best{expected.books, std::move(learner), {}};
    best.result = ck::check(best.solution, best.learner);
    if (best.learner.chart != expected.books.chart) return best;

    for (const CompoundAlternative& c : expected.compounds) {
        // Only worth a try when the learner booked it as it stands.
        const auto form = ck::normal_form(c.booking.lines);
        const bool booked = std::any_of(best.learner.bookings.begin(), best.learner.bookings.end(),
                                        [&](const ck::LearnerBooking& b) { return ck::normal_form(b.lines) == form; });
        if (!booked) continue;
        ck::Solution other = best.solution;
        other.bookings[c.replaces.front()] = c.booking;
        for (auto k = c.replaces.size(); k-- > 1;)
            other.bookings.erase(other.bookings.begin() + static_cast<std::ptrdiff_t>(c.replaces[k]));
        ck::CheckResult result = ck::check(other, best.learner);
        // The compound booking stands for every booking it replaces.
        const int more = static_cast<int>(c.replaces.size()) - 1;
        if (c.booking.exercise >= other.exercise) {
            result.maxPoints += more;
            const auto& row = result.rows[c.replaces.front()];
            if (row.kind == ck::RowKind::Booking && row.right()) result.points += more;
        }
        if (result.points > best.result.points ||
            (result.points == best.result.points && result.all_right() && !best.result.all_right())) {
            best.solution = std::move(other);
            best.result = std::move(result);
        }
    }
    return best;
}

ExpectedBooks expected_books_for(int exercise) {
    const std::vector<Solution> chain = solution_chain(exercise);
    const int chart = chain.back().chart;
    return expected_books(chain, read_chart(chart), chart_name(chart));
}

Marked check_working_folder(int exercise, int chartNumber) {
    const ExpectedBooks expected = expected_books_for(exercise);
    LearnerBooksBuilder learner(chartNumber);
    bookings_scan([&learner](const BookingRecord& r) { learner.add(r); });
    return mark(expected, learner.finish());
}

Marked check_backup(const ExpectedBooks& expected, const Backup& backup) {
    return mark(expected, learner_books(backup.chart, backup.bookings));
}

std::optional<Marked> check_backup_file(const ExpectedBooks& expected, const std::string& path,
                                        const std::string& shownName, BackupCheck& check) {
    std::optional<LearnerBooksBuilder> learner;
    Backup head;
    bool checked = false;
    check.error = scan_backup_file(path, shownName, head, [&](const BookingRecord& r) {
        if (!learner) learner.emplace(head.chart);
        learner->add(r);
    }, &checked);
    check.completenessChecked = checked;
    check.responsible = head.company[6];
    if (!check.error.empty()) return std::nullopt;
    if (!learner) learner.emplace(head.chart);
    return mark(expected, learner->finish());
}

} // namespace saldorama
