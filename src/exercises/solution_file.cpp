#include "exercises/solution_file.h"

#include <algorithm>
#include <cstdlib>

#include "base/cp1252.h"
#include "base/file.h"
#include "base/working_files.h"
#include "base/numbers.h"
#include "base/text_file.h"

namespace saldorama {

namespace {

constexpr std::size_t kMaxEntries = 5;
constexpr Cents kMaxCents = 100'000'000'000'000LL;  // a thousand billion euros

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool all_digits(const std::string& s) {
    if (s.empty()) return false;
    for (const char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// "digits,dd", with a leading "-" when `sign` allows it.
std::optional<Cents> parse_cents(const std::string& text, bool sign) {
    std::string s = text;
    bool negative = false;
    if (sign && !s.empty() && s[0] == '-') {
        negative = true;
        s.erase(0, 1);
    }
    const auto comma = s.find(',');
    if (comma == std::string::npos || s.size() - comma != 3) return std::nullopt;
    const std::string whole = s.substr(0, comma);
    const std::string cents = s.substr(comma + 1);
    if (!all_digits(whole) || !all_digits(cents) || whole.size() > 13) return std::nullopt;
    const Cents value = std::atoll(whole.c_str()) * 100 + std::atoll(cents.c_str());
    if (value >= kMaxCents) return std::nullopt;
    return negative ? -value : value;
}

enum class Section { None, Exercise, Company, Opening, Booking, Alternative, Control };

class Parser {
public:
    Parser(const std::string& fileName, const std::vector<std::string>& lines) : lines_(lines) {
        s_.fileName = fileName;
    }

    Solution run() {
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            line_ = static_cast<int>(i) + 1;
            const std::string text = trim(lines_[i]);
            if (text.empty() || text[0] == ';') continue;
            if (text[0] == '[') {
                closeSection();
                openSection(text);
            } else {
                entry(text);
            }
        }
        line_ = std::max(1, static_cast<int>(lines_.size()));
        if (section_ == Section::None) error(cp("die Datei enthält keine Angaben, erwartet wird „[Aufgabe N]“"));
        closeSection();
        if (s_.chart == 0) {
            line_ = exerciseLine_;
            error(cp("„Kontenplan:“ fehlt im Abschnitt „[Aufgabe]“"));
        }
        for (const auto& alt : s_.alternatives)
            for (const int n : alt.replaces)
                if (n > static_cast<int>(s_.bookings.size())) {
                    line_ = alt.booking.line;
                    error(cp("„Ersetzt:“ nennt Buchung ") + std::to_string(n) + cp(", die es nicht gibt"));
                }
        return s_;
    }

private:
    [[noreturn]] void error(const std::string& reason) const { throw SolutionError(s_.fileName, line_, reason); }

    // "[Name]" or "[Name N]" -> name and number (0 when none).
    void openSection(const std::string& text) {
        if (text.back() != ']') error(cp("der Abschnittsname endet nicht mit „]“"));
        std::string name = trim(text.substr(1, text.size() - 2));
        int number = 0;
        const auto blank = name.find_last_of(' ');
        if (blank != std::string::npos && all_digits(name.substr(blank + 1)) && name.size() - blank <= 4) {
            number = std::atoi(name.c_str() + blank + 1);
            name = trim(name.substr(0, blank));
        }
        const std::string header = "[" + trim(text.substr(1, text.size() - 2)) + "]";
        const auto numbered = [&](const std::vector<int>::size_type count) {
            const int expected = static_cast<int>(count) + 1;
            if (number != expected)
                error(cp("erwartet wird „[") + name + " " + std::to_string(expected) + cp("]“, nicht „") + header +
                      cp("“"));
        };
        if (section_ == Section::None && name != "Aufgabe")
            error(cp("die Datei muss mit „[Aufgabe N]“ beginnen, nicht mit „") + header + cp("“"));
        if (name == "Aufgabe") {
            if (section_ != Section::None) error(cp("„[Aufgabe]“ steht nur einmal am Anfang"));
            if (number < 1) error(cp("die Nummer der Aufgabe ist 1 oder größer"));
            s_.exercise = number;
            exerciseLine_ = line_;
            section_ = Section::Exercise;
        } else if (name == "Firmendaten" && number == 0) {
            if (!s_.company.empty()) error(cp("„[Firmendaten]“ steht zweimal in der Datei"));
            section_ = Section::Company;
        } else if (name == cp("Eröffnung") && number == 0) {
            if (s_.opening) error(cp("„[Eröffnung]“ steht zweimal in der Datei"));
            // The opening page replaces every booking, so it comes first.
            if (!s_.bookings.empty()) error(cp("„[Eröffnung]“ steht vor der ersten Buchung"));
            s_.opening.emplace();
            section_ = Section::Opening;
        } else if (name == "Buchung") {
            numbered(s_.bookings.size());
            booking_ = {};
            booking_.number = number;
            booking_.line = line_;
            section_ = Section::Booking;
        } else if (name == "Alternative") {
            numbered(s_.alternatives.size());
            alternative_ = {};
            alternative_.booking.number = number;
            alternative_.booking.line = line_;
            section_ = Section::Alternative;
        } else if (name == "Kontrolle") {
            numbered(s_.controls.size());
            control_ = {};
            control_.number = number;
            control_.afterBookings = static_cast<int>(s_.bookings.size());
            section_ = Section::Control;
        } else {
            error(cp("unbekannter Abschnitt „") + header + cp("“"));
        }
        sectionLine_ = line_;
    }

    void closeSection() {
        const int here = line_;
        line_ = sectionLine_;
        switch (section_) {
        case Section::Booking:
            checkBooking(booking_, "Buchung " + std::to_string(booking_.number));
            checkCase(booking_);
            s_.bookings.push_back(booking_);
            break;
        case Section::Alternative:
            if (alternative_.replaces.empty()) error(cp("„Ersetzt:“ fehlt in der Alternative"));
            checkBooking(alternative_.booking, "Alternative " + std::to_string(alternative_.booking.number));
            s_.alternatives.push_back(alternative_);
            break;
        case Section::Control:
            if (control_.values.empty()) error("die Kontrolle nennt keinen Wert");
            s_.controls.push_back(control_);
            break;
        case Section::Company:
            if (s_.company.empty()) error("die Firmendaten nennen kein Feld");
            break;
        case Section::Opening:
            if (s_.opening->amounts.empty()) error(cp("die Eröffnung nennt keinen „Bestand:“"));
            break;
        default: break;
        }
        line_ = here;
    }

    void checkBooking(const SolutionBooking& b, const std::string& what) const {
        Cents debit = 0;
        Cents credit = 0;
        for (const auto& e : b.entries) (e.side == EntrySide::Debit ? debit : credit) += e.amount;
        if (debit == 0) error(what + " hat keine Soll-Zeile");
        if (credit == 0) error(what + " hat keine Haben-Zeile");
        if (debit != credit)
            error(what + ": Soll " + cents_text(debit) + " und Haben " + cents_text(credit) + cp(" sind nicht gleich groß"));
    }

    // A case is one run of bookings: its text may not come back after
    // another case.
    void checkCase(const SolutionBooking& b) const {
        if (b.caseText.empty()) return;
        if (!s_.bookings.empty() && s_.bookings.back().caseText == b.caseText) return;
        for (const SolutionBooking& earlier : s_.bookings)
            if (earlier.caseText == b.caseText)
                error(cp("„Fall: ") + b.caseText + cp("“ steht schon bei Buchung ") + std::to_string(earlier.number) +
                      cp("; die Buchungen eines Falls stehen direkt nacheinander"));
    }

    // "NAME AMOUNT": the amount is the last word.
    std::pair<std::string, Cents> accountAmount(const std::string& value, bool sign) const {
        const auto blank = value.find_last_of(" \t");
        if (blank == std::string::npos) error(cp("erwartet wird „Konto Betrag“, gefunden „") + value + cp("“"));
        const std::string account = trim(value.substr(0, blank));
        const std::string amount = value.substr(blank + 1);
        if (account.find('<') != std::string::npos) error(cp("ein Kontoname enthält kein „<“"));
        return {account, amount_of(amount, sign)};
    }

    Cents amount_of(const std::string& text, bool sign) const {
        const auto plain = typed_amount(text);
        const auto v = plain ? parse_cents(*plain, sign) : std::nullopt;
        if (!v) error(cp("„") + text + cp("“ ist kein Betrag; so schreiben: 1200,00 oder 1.200,00"));
        return *v;
    }

    void once(std::string& target, const std::string& key, const std::string& value) const {
        if (!target.empty()) error(cp("„") + key + cp(":“ steht zweimal im Abschnitt"));
        if (value.empty()) error(cp("„") + key + cp(":“ ohne Angabe"));
        target = value;
    }

    // Keys shared by bookings and alternatives.
    bool bookingEntry(SolutionBooking& b, const std::string& key, const std::string& value) const {
        if (key == "Datum") {
            once(b.date, key, value);
        } else if (key == "Fall") {
            once(b.caseText, key, value);
        } else if (key == "Person") {
            once(b.person, key, value);
        } else if (key == "Grund") {
            once(b.reason, key, value);
        } else if (key == "Soll" || key == "Haben") {
            auto [account, amount] = accountAmount(value, false);
            if (amount == 0) error(cp("ein gebuchter Betrag ist größer als 0,00"));
            if (b.entries.size() == kMaxEntries)
                error(cp("eine Buchung hat höchstens fünf Zeilen (so viele fasst die Buchungsseite)"));
            b.entries.push_back({key == "Soll" ? EntrySide::Debit : EntrySide::Credit, account, amount});
        } else if (key == cp("Erklärung")) {
            b.explanation.push_back(value);
        } else {
            return false;
        }
        return true;
    }

    void entry(const std::string& text) {
        const auto colon = text.find(':');
        if (colon == std::string::npos) error(cp("erwartet wird „Angabe: Wert“ oder „[Abschnitt]“"));
        const std::string key = trim(text.substr(0, colon));
        const std::string value = trim(text.substr(colon + 1));
        bool known = true;
        switch (section_) {
        case Section::None: error(cp("die Datei muss mit „[Aufgabe N]“ beginnen"));
        case Section::Exercise: known = exerciseEntry(key, value); break;
        case Section::Company:
            for (const auto& f : s_.company)
                if (f.caption == key) error(cp("„") + key + cp(":“ steht zweimal in den Firmendaten"));
            s_.company.push_back({key, value});
            break;
        case Section::Opening:
            if (key == "Datum") {
                once(s_.opening->date, key, value);
            } else if (key == "Bestand") {
                auto [account, amount] = accountAmount(value, false);
                if (amount == 0) error(cp("ein Anfangsbestand ist größer als 0,00"));
                s_.opening->amounts.push_back({account, amount});
            } else {
                known = false;
            }
            break;
        case Section::Booking: known = bookingEntry(booking_, key, value); break;
        case Section::Alternative:
            if (key == "Ersetzt") {
                if (!alternative_.replaces.empty()) error(cp("„Ersetzt:“ steht zweimal im Abschnitt"));
                alternative_.replaces = bookingNumbers(value);
            } else {
                known = bookingEntry(alternative_.booking, key, value);
            }
            break;
        case Section::Control: known = controlEntry(key, value); break;
        }
        if (!known) error(cp("unbekannte Angabe „") + key + cp(":“ in diesem Abschnitt"));
    }

    bool exerciseEntry(const std::string& key, const std::string& value) {
        if (key == "Kontenplan") {
            if (s_.chart != 0) error(cp("„Kontenplan:“ steht zweimal im Abschnitt"));
            if (value.size() != 1 || value[0] < '1' || value[0] > '0' + kChartCount)
                error("der Kontenplan muss 1 bis " + std::to_string(kChartCount) + " sein");
            s_.chart = value[0] - '0';
        } else if (key == "Baut auf") {
            if (buildsOnSeen_) error(cp("„Baut auf:“ steht zweimal im Abschnitt"));
            buildsOnSeen_ = true;
            if (value == "keine") return true;
            if (!all_digits(value) || value.size() > 4 || std::atoi(value.c_str()) < 1 ||
                std::atoi(value.c_str()) >= s_.exercise)
                error(cp("„Baut auf:“ nennt eine frühere Aufgabe (1 bis ") + std::to_string(s_.exercise - 1) +
                      cp(") oder „keine“"));
            s_.buildsOn = std::atoi(value.c_str());
        } else if (key == "Modus") {
            if (value != "manuell" && value != "automatisch")
                error(cp("„Modus:“ ist „manuell“ oder „automatisch“"));
            s_.manualMode = value == "manuell";
        } else if (key == cp("Erklärung")) {
            s_.explanation.push_back(value);
        } else {
            return false;
        }
        return true;
    }

    // "6 7" or "6, 7": ascending and without gaps.
    std::vector<int> bookingNumbers(const std::string& value) const {
        std::vector<int> numbers;
        std::string word;
        const auto take = [&] {
            if (word.empty()) return;
            if (!all_digits(word) || word.size() > 3) error(cp("„Ersetzt:“ nennt Buchungsnummern, z. B. „6 7“"));
            const int n = std::atoi(word.c_str());
            if (n < 1 || (!numbers.empty() && n != numbers.back() + 1))
                error(cp("„Ersetzt:“ nennt aufeinanderfolgende Buchungen, z. B. „6 7“"));
            numbers.push_back(n);
            word.clear();
        };
        for (const char c : value) {
            if (c == ' ' || c == ',' || c == '\t') {
                take();
            } else {
                word += c;
            }
        }
        take();
        if (numbers.empty()) error(cp("„Ersetzt:“ ohne Buchungsnummer"));
        return numbers;
    }

    bool controlEntry(const std::string& key, const std::string& value) {
        ControlValue v;
        v.line = line_;
        if (key == "Saldo") {
            auto [account, amount] = accountAmount(value, true);
            v.account = account;
            v.amount = amount;
        } else if (key == "Bilanzsumme") {
            v.kind = ControlKind::BalanceSheetTotal;
        } else if (key == "Gewinn" || key == cp("Jahresüberschuss")) {
            v.kind = ControlKind::Profit;
        } else if (key == "Betriebsergebnis") {
            v.kind = ControlKind::OperatingResult;
        } else if (key == "Neutrales Ergebnis") {
            v.kind = ControlKind::NeutralResult;
        } else {
            return false;
        }
        if (v.kind != ControlKind::AccountBalance) v.amount = amount_of(value, true);
        control_.values.push_back(v);
        return true;
    }

    const std::vector<std::string>& lines_;
    Solution s_;
    Section section_ = Section::None;
    int line_ = 0;
    int sectionLine_ = 0;
    int exerciseLine_ = 0;
    bool buildsOnSeen_ = false;
    SolutionBooking booking_;
    SolutionAlternative alternative_;
    ControlBlock control_;
};

} // namespace

SolutionError::SolutionError(const std::string& file, int line, const std::string& reason)
    : Failure(file + ", Zeile " + std::to_string(line) + ": " + reason), line_(line), reason_(reason) {}

std::string solution_file_name(int exercise) { return "Loesung" + std::to_string(exercise) + ".txt"; }

Solution parse_solution(const std::string& fileName, const std::vector<std::string>& lines) {
    // A control character would be booked into payers and reasons and break
    // the files' lines and terminals; a tab is white space here.
    for (std::size_t i = 0; i < lines.size(); ++i)
        for (const char c : lines[i])
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == '\x7F')
                throw SolutionError(fileName, static_cast<int>(i + 1),
                                    cp("die Zeile enthält ein Steuerzeichen; entferne es"));
    return Parser(fileName, lines).run();
}

Solution read_solution(const std::string& bareName) {
    return parse_solution(bareName, read_text_lines(bareName, LineEnds::CrLfLfOrCr));
}

Solution read_solution_in(const std::string& folder, int exercise) {
    const std::string name = solution_file_name(exercise);
    if (folder.empty()) return read_solution(name);
    const std::string path = resolve_name_in(cp1252_to_utf8(folder), name);
    return parse_solution(name, split_lines(read_file(path), LineEnds::CrLfLfOrCr));
}

std::string date_in_year(const std::string& date, int bookingYear) {
    const bool dayAndMonth = date.size() == 6 && date[2] == '.' && date[5] == '.' && all_digits(date.substr(0, 2)) &&
                             all_digits(date.substr(3, 2));
    if (!dayAndMonth) return date;
    std::string year = std::to_string(bookingYear);
    while (year.size() < 4) year.insert(0, "0");
    return date + year;
}

std::string cents_text(Cents amount) {
    const bool negative = amount < 0;
    const unsigned long long v = negative ? 0ULL - static_cast<unsigned long long>(amount)
                                          : static_cast<unsigned long long>(amount);
    std::string cents = std::to_string(v % 100);
    if (cents.size() < 2) cents.insert(0, "0");
    return (negative ? "-" : "") + std::to_string(v / 100) + "," + cents;
}

} // namespace saldorama
