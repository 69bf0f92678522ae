#include "checking/check_text.h"

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
    return "Buchung " + number_text(solution.bookings[row.expected].number);
}

std::string yours(const LearnerBooks& learner, const CheckRow& row) {
    return "deine Buchung " + number_text(learner.bookings[row.learner].number);
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

std::string finding_text(const CheckRow& row, const Solution& solution, const LearnerBooks& learner) {
    switch (row.finding) {
    case Finding::Right:
        if (row.kind == RowKind::ControlValue)
            return control_name(solution.controls[row.control]) + " ist richtig: " + cents_text(row.computed) + ".";
        return expected_name(solution, row) + " ist richtig (" + yours(learner, row) + ").";
    case Finding::Missing:
        return expected_name(solution, row) + " fehlt: " + booking_text(solution.bookings[row.expected].lines) + ".";
    case Finding::Extra:
        return "Zu viel gebucht: " + yours(learner, row) + ", " + booking_text(learner.bookings[row.learner].lines) + ".";
    case Finding::Swapped:
        return expected_name(solution, row) + cp(": Soll und Haben vertauscht – du hast ") +
               booking_text(learner.bookings[row.learner].lines) + " gebucht (" + yours(learner, row) + ").";
    case Finding::WrongAmount:
        return expected_name(solution, row) + cp(": falscher Betrag – ") + amount_differences(row.amounts) + " (" +
               yours(learner, row) + ").";
    case Finding::WrongAccount:
        return expected_name(solution, row) + cp(": falsches Konto – du hast ") + row.foundAccount + " statt " +
               row.expectedAccount + " gebucht (" + yours(learner, row) + ").";
    case Finding::WrongDate:
    {
        const std::string& found = learner.bookings[row.learner].date;
        return expected_name(solution, row) + cp(": falsches Datum – richtig ist der ") +
               solution.bookings[row.expected].date + ", du hast " + (found.empty() ? "keines" : found) +
               " eingetragen (" + yours(learner, row) + ").";
    }
    case Finding::WrongValue: {
        const ExpectedControl& control = solution.controls[row.control];
        return control_name(control) + " stimmt nicht: richtig ist " + cents_text(control.cents) + ", bei dir " +
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

std::vector<std::string> solution_lines(const ExpectedBooking& booking) {
    std::vector<std::string> out{"Buchung " + number_text(booking.number) + ": " + booking_text(booking.lines)};
    for (const auto& alternative : booking.alternatives) out.push_back("Auch richtig: " + booking_text(alternative));
    if (!booking.date.empty()) out.push_back("Datum: " + booking.date);
    std::string line;
    for (char c : booking.explanation) {
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

std::vector<std::string> solution_lines(const ExpectedControl& control) {
    return {control_name(control) + ": " + cents_text(control.cents)};
}

std::string points_text(int points, int maxPoints) {
    return number_text(points) + " von " + number_text(maxPoints) + (maxPoints == 1 ? " Punkt" : " Punkten");
}

std::vector<std::string> check_lines(const CheckResult& result) {
    std::vector<std::string> out;
    for (const CheckRow& row : result.rows)
        if (!row.right() && !row.earlier) out.push_back(row.text);
    bool headed = false;
    for (const CheckRow& row : result.rows) {
        if (row.right() || !row.earlier) continue;
        if (!headed) out.push_back(cp("Aus früheren Aufgaben (kostet keine Punkte):"));
        headed = true;
        out.push_back(row.text);
    }
    out.push_back(points_text(result.points, result.maxPoints));
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
