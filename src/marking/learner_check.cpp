#include "marking/learner_check.h"

#include <algorithm>
#include <optional>

#include "accounts/chart_file.h"
#include "base/cp1252.h"
#include "base/failure.h"
#include "base/numbers.h"
#include "base/working_files.h"
#include "bookings/bookings_file.h"
#include "checking/check_input.h"
#include "checking/check_text.h"
#include "exercises/exercise_file.h"
#include "reports/report_values.h"
#include "settings/settings.h"

namespace saldorama {

namespace {

namespace ck = checking;

Settings folder_settings() {
    Settings s;
    read_settings_into(read_settings_lines(), s);
    return s;
}

std::string chart_name(const Settings& s, int chart) {
    if (chart < 1 || chart > kChartCount) return {};
    return s.chartNames[static_cast<std::size_t>(chart - 1)];
}

// Lines as stored bookings of at most five lines each; only their sums count.
std::vector<BookingRecord> records_of(const std::vector<std::vector<ck::BookingLine>>& books) {
    std::vector<BookingRecord> out;
    for (const auto& lines : books) {
        for (std::size_t k = 0; k < lines.size(); ++k) {
            const auto at = k % static_cast<std::size_t>(kBookingLines);
            if (at == 0) out.emplace_back();
            BookingRecord& r = out.back();
            r.account[at] = lines[k].account;
            (lines[k].side == ck::Side::Soll ? r.debit : r.credit)[at] = static_cast<double>(lines[k].cents) / 100.0;
        }
    }
    return out;
}

} // namespace

// The one place that takes the control values from the reports layer.
ck::ComputedValues computed_values(const std::vector<AccountRecord>& chart, const std::vector<BookingRecord>& bookings) {
    const ReportValues figures = report_values(chart, bookings);
    ck::ComputedValues values;
    for (const auto& [name, balance] : figures.balances) values.balances.emplace_back(name, ck::cents_of(balance));
    values.operatingResult = ck::cents_of(figures.operatingResult);
    values.neutralResult = ck::cents_of(figures.neutralResult);
    values.balanceSheetTotal = ck::cents_of(figures.balanceSheetTotal);
    values.profitOrLoss = ck::cents_of(figures.yearResult);
    return values;
}

namespace {

// The control values of the learner's books as the cases build them, from
// the reports layer.
void attach_values(ck::LearnerBooks& learner) {
    if (learner.chart < 1 || learner.chart > kChartCount) return;
    learner.valuesOf = [chart = read_chart(learner.chart)](const std::vector<std::vector<ck::BookingLine>>& lines) {
        return computed_values(chart, records_of(lines));
    };
}

// The learner's books taken booking by booking as a scan hands them over:
// only dates, accounts and cents are kept, never the payers' and reasons'
// texts, so a class of big backups is checked one learner at a time in
// little memory.
class LearnerBooksBuilder {
public:
    explicit LearnerBooksBuilder(int chartNumber) { learner_.chart = chartNumber; }
    void add(const BookingRecord& r) { learner_.bookings.push_back(ck::learner_booking(r)); }
    ck::LearnerBooks finish() {
        attach_values(learner_);
        return std::move(learner_);
    }

private:
    ck::LearnerBooks learner_;
};

} // namespace

ck::LearnerBooks learner_books(int chartNumber, const std::vector<BookingRecord>& bookings) {
    ck::LearnerBooks learner;
    learner.chart = chartNumber;
    for (const BookingRecord& r : bookings) learner.bookings.push_back(ck::learner_booking(r));
    attach_values(learner);
    return learner;
}

namespace {

// The cases of `c` joined into one that the compound booking answers too,
// counting as many points as they do.
ck::Solution joined_cases(const ck::Solution& solution, const CompoundAlternative& c) {
    ck::Solution other = solution;
    ck::ExpectedCase joined = solution.cases[c.cases.front()];
    joined.weight = 0;
    joined.bookings.clear();
    joined.parts.clear();
    std::vector<ck::BookingLine> effect;
    for (std::size_t k : c.cases) {
        const ck::ExpectedCase& part = solution.cases[k];
        joined.weight += part.weight;
        joined.bookings.insert(joined.bookings.end(), part.bookings.begin(), part.bookings.end());
        joined.parts.insert(joined.parts.end(), part.parts.begin(), part.parts.end());
        effect.insert(effect.end(), part.effects.front().begin(), part.effects.front().end());
    }
    joined.effects = {ck::normal_form(effect), ck::normal_form(c.booking.lines)};
    joined.date = c.booking.date.empty() ? joined.date : c.booking.date;
    const auto from = other.cases.begin() + static_cast<std::ptrdiff_t>(c.cases.front());
    *from = std::move(joined);
    other.cases.erase(from + 1, from + static_cast<std::ptrdiff_t>(c.cases.size()));
    return other;
}

} // namespace

namespace {

// The books alone: the better of the plain check and those with a compound
// alternative's cases joined.
Marked mark_books(const ExpectedBooks& expected, ck::LearnerBooks learner);

// Trimmed, each run of blanks one space.
std::string collapsed(const std::string& text) {
    std::string out;
    bool blank = false;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\xA0') {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

void add_company_rows(ck::CheckResult& result, const std::vector<SolutionCompanyField>& wanted,
                      const CompanyFields& company) {
    for (const SolutionCompanyField& f : wanted) {
        ck::CheckRow row;
        row.kind = ck::RowKind::CompanyField;
        row.field = f.caption;
        row.wantedText = collapsed(f.value);
        for (std::size_t i = 0; i < kCompanyFields; ++i)
            if (company_caption(static_cast<CompanyField>(i)) == f.caption) row.foundText = collapsed(company[i]);
        const bool right = row.wantedText == "*" ? !row.foundText.empty() : row.foundText == row.wantedText;
        row.finding = right ? ck::Finding::Right : row.foundText.empty() ? ck::Finding::Missing : ck::Finding::WrongValue;
        row.text = ck::finding_text(row, {}, {});
        result.points += right ? 1 : 0;
        ++result.maxPoints;
        result.rows.push_back(std::move(row));
    }
}

} // namespace

Marked mark(const ExpectedBooks& expected, ck::LearnerBooks learner, const CompanyFields& company) {
    Marked best = mark_books(expected, std::move(learner));
    add_company_rows(best.result, expected.company, company);
    best.answers = expected.answers;
    return best;
}

void hide_solution(Marked& marked) {
    marked.result.exam = true;
    for (ck::CheckRow& row : marked.result.rows)
        if (row.kind != ck::RowKind::ExtraBooking) row.text = ck::exam_finding_text(row, marked.solution, marked.learner);
    marked.answers.clear();
}

std::string learner_solutions_folder(const TeacherOptions& options, const std::string& given) {
    if (!options.examMode) return given.empty() ? options.solutionsFolder : given;
    if (!given.empty())
        fail(cp("Im Prüfungsmodus werden die Lösungen nur aus dem eingetragenen Lösungsordner gelesen. "
                "Lass --loesungen weg."));
    if (options.solutionsFolder.empty())
        fail(cp("Im Prüfungsmodus werden die Lösungen nur aus dem Lösungsordner gelesen, und der ist nicht "
                "eingetragen. Bitte deine Lehrkraft, ihn auf der Seite „Einstellungen“ einzutragen."));
    return options.solutionsFolder;
}

void refuse_in_exam_mode(const TeacherOptions& options) {
    if (options.examMode) fail(cp("Im Prüfungsmodus gibt es keine Lösung zu sehen."));
}

namespace {

Marked mark_books(const ExpectedBooks& expected, ck::LearnerBooks learner) {
    Marked best{expected.books, std::move(learner), {}, {}};
    best.result = ck::check(best.solution, best.learner);
    if (best.learner.chart != expected.books.chart) return best;

    for (const CompoundAlternative& c : expected.compounds) {
        // Only worth a try when the learner booked it as it stands.
        const auto form = ck::normal_form(c.booking.lines);
        bool booked = false;
        for (std::size_t j = 0; j < best.learner.bookings.size() && !booked; ++j)
            booked = ck::normal_form(best.learner.bookings[j].lines) == form;
        if (!booked) continue;
        ck::Solution other = joined_cases(expected.books, c);
        ck::CheckResult result = ck::check(other, best.learner);
        if (result.points > best.result.points ||
            (result.points == best.result.points && result.all_right() && !best.result.all_right())) {
            best.solution = std::move(other);
            best.result = std::move(result);
        }
    }
    return best;
}

} // namespace

ExpectedBooks expected_books_for(int exercise, const std::string& solutionsFolder) {
    const std::vector<Solution> chain = solution_chain(exercise, solutionsFolder);
    const int chart = chain.back().chart;
    const Settings settings = folder_settings();
    int year = 0;
    try {
        year = text_to_int(settings.yearText);
    } catch (const Failure&) {
        year = 0;  // no booking year: a date without one matches none
    }
    return expected_books(chain, read_chart(chart), chart_name(settings, chart), year, later_solutions(exercise, solutionsFolder));
}

Marked check_working_folder(int exercise, int chartNumber, const std::string& solutionsFolder) {
    const ExpectedBooks expected = expected_books_for(exercise, solutionsFolder);
    LearnerBooksBuilder learner(chartNumber);
    bookings_scan([&learner](const BookingRecord& r) { learner.add(r); });
    return mark(expected, learner.finish(), folder_settings().company);
}

Marked check_backup(const ExpectedBooks& expected, const Backup& backup) {
    return mark(expected, learner_books(backup.chart, backup.bookings), backup.company);
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
    return mark(expected, learner->finish(), head.company);
}

} // namespace saldorama
