#include "checking/check_text.h"

#include <algorithm>

#include "base/cp1252.h"

namespace saldorama::checking {

namespace {

std::string number_text(std::int64_t n) { return std::to_string(static_cast<long long>(n)); }

std::string side_text(const std::vector<BookingLine>& lines, Side side) {
    std::string out;
    for (const BookingLine& l : lines) {
        if (l.side != side) continue;
        if (!out.empty()) out += ", ";
        out += l.account + " " + cents_text(l.cents);
    }
    return out.empty() ? "(nichts)" : out;
}

std::string expected_name(const Solution& solution, const CheckRow& row) {
    return case_reference(solution, solution.cases[row.expected]);
}

// "deine Buchung 41", "deine Buchungen 3, 4".
std::string yours(const LearnerBooks& learner, const CheckRow& row) {
    const std::vector<std::size_t> one{row.learner};
    const std::vector<std::size_t>& all = row.learners.empty() ? one : row.learners;
    std::string out = all.size() == 1 ? "deine Buchung " : "deine Buchungen ";
    for (std::size_t k = 0; k < all.size(); ++k)
        out += (k == 0 ? "" : ", ") + number_text(learner.bookings.number(all[k]));
    return out;
}

// The lines of every learner booking of a row, summed.
std::vector<BookingLine> learner_lines(const LearnerBooks& learner, const CheckRow& row) {
    std::vector<BookingLine> all;
    for (std::size_t j : row.learners) {
        const LearnerBooking booking = learner.bookings[j];
        all.insert(all.end(), booking.lines.begin(), booking.lines.end());
    }
    if (row.learners.empty() && row.learner != kNoIndex) all = learner.bookings[row.learner].lines;
    return all;
}

std::vector<std::string> explanation_lines(const std::string& explanation) {
    std::vector<std::string> out;
    std::string line;
    for (char c : explanation) {
        if (c == '\n') {
            out.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    if (!line.empty()) out.push_back(line);
    return out;
}

std::string chart_text(int chart, const std::string& name) {
    std::string out = "Kontenplan " + number_text(chart);
    if (!name.empty()) out += " (" + name + ")";
    return out;
}

std::string amount_differences(const std::vector<AmountDifference>& amounts) {
    std::string out;
    for (const AmountDifference& d : amounts) {
        if (!out.empty()) out += "; ";
        out += d.account + (d.side == Side::Soll ? " im Soll" : " im Haben") + ": richtig ist " + cents_text(d.expected) +
               ", bei dir " + cents_text(d.found);
    }
    return out;
}

} // namespace

std::string booking_text(const std::vector<BookingLine>& lines) {
    const std::vector<BookingLine> summed = summed_in_order(lines);
    return side_text(summed, Side::Soll) + " an " + side_text(summed, Side::Haben);
}

std::string control_name(const ExpectedControl& control) {
    switch (control.kind) {
    case ControlKind::AccountBalance:
        return "Kontostand " + control.account;
    case ControlKind::BalanceSheetTotal:
        return "Bilanzsumme";
    case ControlKind::ProfitOrLoss:
        return "Gewinn/Verlust";
    case ControlKind::OperatingResult:
        return "Betriebsergebnis";
    case ControlKind::NeutralResult:
        return "Neutrales Ergebnis";
    }
    return {};
}

std::string case_reference(const Solution&, const ExpectedCase& kase) {
    return "Aufgabe " + number_text(kase.exercise) + ", " + kase.label;
}

std::string case_text(const Solution& solution, const ExpectedCase& kase) {
    std::string out;
    for (std::size_t b : kase.bookings) out += (out.empty() ? "" : "; ") + booking_text(solution.bookings[b].lines);
    if (out.empty() && !kase.effects.empty()) out = booking_text(kase.effects.front());
    return out;
}

namespace {

std::string company_reference(const CheckRow& row) { return "Firmendaten, " + row.field; }

std::string company_finding(const CheckRow& row) {
    if (row.right()) return company_reference(row) + " ist richtig.";
    if (row.wantedText == "*") return company_reference(row) + cp(" fehlt: trage hier etwas ein, zum Beispiel deinen Namen.");
    if (row.foundText.empty()) return company_reference(row) + cp(" fehlt: richtig ist „") + row.wantedText + cp("“.");
    return company_reference(row) + cp(": richtig ist „") + row.wantedText + cp("“, bei dir „") + row.foundText + cp("“.");
}

} // namespace

std::string finding_text(const CheckRow& row, const Solution& solution, const LearnerBooks& learner) {
    if (row.kind == RowKind::CompanyField) return company_finding(row);
    switch (row.finding) {
    case Finding::Right:
        if (row.kind == RowKind::ControlValue)
            return control_name(solution.controls[row.control]) + " ist richtig: " + cents_text(row.computed) + ".";
        if (row.split)
            return expected_name(solution, row) + cp(": Richtig. Üblich ist ein zusammengesetzter Buchungssatz: ") +
                   case_text(solution, solution.cases[row.expected]) + " (" + yours(learner, row) + ").";
        return expected_name(solution, row) + " ist richtig (" + yours(learner, row) + ").";
    case Finding::Missing:
        if (row.learner != kNoIndex)
            return expected_name(solution, row) + " fehlt zum Teil: richtig ist " +
                   case_text(solution, solution.cases[row.expected]) + ", du hast nur " +
                   booking_text(learner_lines(learner, row)) + " gebucht (" + yours(learner, row) + ").";
        return expected_name(solution, row) + " fehlt: " + case_text(solution, solution.cases[row.expected]) + ".";
    case Finding::Extra:
        return "Zu viel gebucht: " + yours(learner, row) + ", " + booking_text(learner.bookings[row.learner].lines) + ".";
    case Finding::Swapped:
        return expected_name(solution, row) + cp(": Soll und Haben vertauscht – du hast ") +
               booking_text(learner_lines(learner, row)) + " gebucht (" + yours(learner, row) + ").";
    case Finding::WrongAmount:
        return expected_name(solution, row) + cp(": falscher Betrag – ") + amount_differences(row.amounts) + " (" +
               yours(learner, row) + ").";
    case Finding::WrongAccount:
        return expected_name(solution, row) + cp(": falsches Konto – du hast ") + row.foundAccount + " statt " +
               row.expectedAccount + " gebucht (" + yours(learner, row) + ").";
    case Finding::WrongDate:
    {
        const std::string found = learner.bookings[row.learner].date;
        return expected_name(solution, row) + cp(": falsches Datum – richtig ist der ") +
               solution.cases[row.expected].date + ", du hast " + (found.empty() ? "keines" : found) +
               " eingetragen (" + yours(learner, row) + ").";
    }
    case Finding::WrongValue: {
        const ExpectedControl& control = solution.controls[row.control];
        return control_name(control) + " stimmt nicht: richtig ist " + cents_text(row.wanted) + ", bei dir " +
               cents_text(row.computed) + ".";
    }
    case Finding::OtherChart: {
        const std::string wanted = chart_text(solution.chart, solution.chartName);
        const std::string yoursNow = learner.chart == 0 ? cp("du hast noch keinen Kontenplan gewählt")
                                                        : "du buchst mit Kontenplan " + number_text(learner.chart);
        return "Diese Aufgabe wird mit " + wanted + " gebucht, " + yoursNow + cp(". Wähle ") +
               chart_text(solution.chart, "") + " und buche die Aufgaben darauf neu.";
    }
    }
    return {};
}

std::string exam_control_name(const CheckRow& row) { return "Kontrollwert " + number_text(static_cast<std::int64_t>(row.control) + 1); }

std::string exam_finding_text(const CheckRow& row, const Solution& solution, const LearnerBooks& learner) {
    std::string what;
    switch (row.kind) {
    case RowKind::Case:
        what = expected_name(solution, row);
        break;
    case RowKind::ControlValue:
        what = exam_control_name(row);
        break;
    case RowKind::CompanyField:
        what = company_reference(row);
        if (row.right()) return what + " ist richtig.";
        return what + (row.foundText.empty() ? " fehlt." : ": falscher Eintrag.");
    case RowKind::ExtraBooking:
        return "Zu viel gebucht: " + yours(learner, row) + ".";
    case RowKind::OtherChart:
        return finding_text(row, solution, learner);  // names the chart only
    }
    switch (row.finding) {
    case Finding::Right:
        return what + " ist richtig.";
    case Finding::Missing:
        return what + (row.learner != kNoIndex ? " fehlt zum Teil." : " fehlt.");
    case Finding::Extra:
        return what + ": zu viel.";
    case Finding::Swapped:
        return what + ": Soll und Haben vertauscht.";
    case Finding::WrongAmount:
        return what + ": falscher Betrag.";
    case Finding::WrongAccount:
        return what + ": falsches Konto.";
    case Finding::WrongDate:
        return what + ": falsches Datum.";
    case Finding::WrongValue:
        return what + " stimmt nicht.";
    case Finding::OtherChart:
        break;
    }
    return what + " ist falsch.";
}

std::vector<std::string> answer_lines(const std::vector<std::string>& answers) {
    if (answers.empty()) return {};
    std::vector<std::string> out{"Antworten zu den Fragen:"};
    out.insert(out.end(), answers.begin(), answers.end());
    return out;
}

std::vector<std::string> company_solution_lines(const CheckRow& row) {
    return {row.field + ": " + (row.wantedText == "*" ? std::string("ein beliebiger Eintrag, zum Beispiel dein Name") : row.wantedText)};
}

std::vector<std::string> solution_lines(const ExpectedBooking& booking) {
    std::vector<std::string> out{"Buchung " + number_text(booking.number) + ": " + booking_text(booking.lines)};
    for (const auto& alternative : booking.alternatives) out.push_back("Auch richtig: " + booking_text(alternative));
    if (!booking.date.empty()) out.push_back("Datum: " + booking.date);
    for (std::string& line : explanation_lines(booking.explanation)) out.push_back(std::move(line));
    return out;
}

std::vector<std::string> solution_lines(const Solution& solution, const ExpectedCase& kase) {
    std::vector<std::string> out{case_reference(solution, kase) + ":"};
    std::vector<std::string> explained;
    for (std::size_t b : kase.bookings) {
        const ExpectedBooking& booking = solution.bookings[b];
        out.push_back(booking_text(booking.lines));
        if (kase.bookings.size() == 1)
            for (const auto& alternative : booking.alternatives)
                out.push_back("Auch richtig: " + booking_text(alternative));
        // An opening's bookings share one explanation: it is shown once.
        for (std::string& line : explanation_lines(booking.explanation))
            if (std::find(explained.begin(), explained.end(), line) == explained.end()) {
                explained.push_back(line);
                out.push_back(std::move(line));
            }
    }
    if (kase.bookings.size() != 1)
        for (std::size_t e = 1; e < kase.effects.size(); ++e)
            out.push_back("Auch richtig: " + booking_text(kase.effects[e]));
    if (!kase.date.empty()) out.push_back("Datum: " + kase.date);
    return out;
}

std::vector<std::string> solution_lines(const ExpectedControl& control) {
    return {control_name(control) + ": " + cents_text(control.cents)};
}

std::string points_text(int points, int maxPoints) {
    return number_text(points) + " von " + number_text(maxPoints) + (maxPoints == 1 ? " Punkt" : " Punkten");
}

std::string row_text(const CheckRow& row, const CheckResult& result, const Solution& solution,
                     const LearnerBooks& learner) {
    if (row.kind != RowKind::ExtraBooking || !row.text.empty()) return row.text;
    return result.exam ? exam_finding_text(row, solution, learner) : finding_text(row, solution, learner);
}

void each_check_line(const CheckResult& result, const Solution& solution, const LearnerBooks& learner,
                     const std::function<void(const std::string&)>& line) {
    for (std::size_t i = 0; i < result.row_count(); ++i) {
        const CheckRow row = result.row(i);
        if (!row.right() && !row.earlier) line(row_text(row, result, solution, learner));
    }
    bool headed = false;
    for (std::size_t i = 0; i < result.row_count(); ++i) {
        const CheckRow row = result.row(i);
        if (row.right() || !row.earlier) continue;
        if (!headed) line(cp("Aus früheren Aufgaben (kostet keine Punkte):"));
        headed = true;
        line(row_text(row, result, solution, learner));
    }
    line(points_text(result.points, result.maxPoints));
}

std::vector<std::string> check_lines(const CheckResult& result, const Solution& solution, const LearnerBooks& learner) {
    std::vector<std::string> out;
    each_check_line(result, solution, learner, [&](const std::string& l) { out.push_back(l); });
    return out;
}

std::string class_check_line(const std::string& file, const std::string& responsible, const CheckResult& result) {
    const std::string name = responsible.empty() ? "(kein Name eingetragen)" : responsible;
    return file + ": " + name + ": " + points_text(result.points, result.maxPoints);
}

std::string class_check_failure_line(const std::string& file, const std::string& message) {
    return file + cp(": nicht geprüft – ") + message;
}

std::vector<std::string> class_check_header() {
    return {"Datei", "Verantwortlich", "Punkte", cp("Mögliche Punkte"), "Hinweis"};
}

std::vector<std::string> class_check_fields(const std::string& file, const std::string& responsible,
                                            const CheckResult& result) {
    return {file, responsible, number_text(result.points), number_text(result.maxPoints), ""};
}

std::vector<std::string> class_check_failure_fields(const std::string& file, const std::string& message) {
    return {file, "", "", "", cp("nicht geprüft: ") + message};
}

std::string csv_row(const std::vector<std::string>& fields) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ';';
        const std::string& f = fields[i];
        if (f.find_first_of(";\"\r\n") == std::string::npos) {
            out += f;
            continue;
        }
        out += '"';
        for (char c : f) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    return out;
}

} // namespace saldorama::checking
