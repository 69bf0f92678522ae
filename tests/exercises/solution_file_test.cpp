// The solution-file reader: a complete file gives every piece in file order,
// and each kind of fault is refused with the file, the line and the reason.
#include "exercises/solution_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/cp1252.h"
#include "support/work_dir.h"

using namespace saldorama;

namespace {

std::vector<std::string> lines_of(const std::vector<std::string>& utf8) {
    std::vector<std::string> out;
    for (const auto& l : utf8) out.push_back(cp(l));
    return out;
}

const std::vector<std::string>& complete_file() {
    static const std::vector<std::string> lines = {
        "; Lösung zu Aufgabe 3",
        "[Aufgabe 3]",
        "Kontenplan: 1",
        "Baut auf: 2",
        "Modus: manuell",
        "Erklärung: Aktivtausch und Passivtausch.",
        "",
        "[Firmendaten]",
        "Firmen-Name: Fahrradhandlung Kettenblatt e. K.",
        "Verantwortlich für die Buchhaltung: *",
        "[Eröffnung]",
        "Datum: 02.01.2026",
        "Bestand: Betriebs- und Geschäftsausstattung 18500,00",
        "[Buchung 1]",
        "Datum: 05.01.2026",
        "Person: selbst",
        "Grund: Bareinzahlung",
        "Soll: Bank 800,00",
        "Haben: Kasse 800,00",
        "Erklärung: Die Bank nimmt zu,",
        "Erklärung: die Kasse nimmt ab.",
        "[Kontrolle 1]",
        "Saldo: Kasse -0,50",
        "[Buchung 2]",
        "Soll:   Konto 1200   100,00",
        "Haben: Zinserträge 60,00",
        "Haben: Bank 40,00",
        "[Alternative 1]",
        "Ersetzt: 1, 2",
        "Soll: Bank 1,00",
        "Haben: Kasse 1,00",
        "[Kontrolle 2]",
        "Bilanzsumme: 213000,00",
        "Gewinn: -250,00",
        "Betriebsergebnis: 0,00",
        "Neutrales Ergebnis: 12,34",
    };
    return lines;
}

TEST(SolutionFile, CompleteFileGivesEveryPieceInOrder) {
    const Solution s = parse_solution("Loesung3.txt", lines_of(complete_file()));
    EXPECT_EQ(s.exercise, 3);
    EXPECT_EQ(s.chart, 1);
    ASSERT_TRUE(s.buildsOn.has_value());
    EXPECT_EQ(*s.buildsOn, 2);
    EXPECT_TRUE(s.manualMode);
    ASSERT_EQ(s.company.size(), 2u);
    EXPECT_EQ(s.company[1].caption, cp("Verantwortlich für die Buchhaltung"));
    EXPECT_EQ(s.company[1].value, "*");
    ASSERT_TRUE(s.opening.has_value());
    EXPECT_EQ(s.opening->date, "02.01.2026");
    ASSERT_EQ(s.opening->amounts.size(), 1u);
    EXPECT_EQ(s.opening->amounts[0].account, cp("Betriebs- und Geschäftsausstattung"));
    EXPECT_EQ(s.opening->amounts[0].amount, 1850000);

    ASSERT_EQ(s.bookings.size(), 2u);
    const SolutionBooking& b1 = s.bookings[0];
    EXPECT_EQ(b1.number, 1);
    EXPECT_EQ(b1.line, 14);
    EXPECT_EQ(b1.date, "05.01.2026");
    EXPECT_EQ(b1.person, "selbst");
    EXPECT_EQ(b1.reason, "Bareinzahlung");
    EXPECT_EQ(b1.explanation.size(), 2u);
    // The amount is the last word: a name may hold digits and blanks.
    const SolutionBooking& b2 = s.bookings[1];
    ASSERT_EQ(b2.entries.size(), 3u);
    EXPECT_EQ(b2.entries[0].account, "Konto 1200");
    EXPECT_EQ(b2.entries[0].side, EntrySide::Debit);
    EXPECT_EQ(b2.entries[0].amount, 10000);
    EXPECT_EQ(b2.entries[2].side, EntrySide::Credit);
    EXPECT_TRUE(b2.date.empty());

    ASSERT_EQ(s.alternatives.size(), 1u);
    EXPECT_EQ(s.alternatives[0].replaces, (std::vector<int>{1, 2}));
    EXPECT_EQ(s.alternatives[0].booking.number, 1);

    ASSERT_EQ(s.controls.size(), 2u);
    EXPECT_EQ(s.controls[0].afterBookings, 1);
    ASSERT_EQ(s.controls[0].values.size(), 1u);
    EXPECT_EQ(s.controls[0].values[0].kind, ControlKind::AccountBalance);
    EXPECT_EQ(s.controls[0].values[0].account, "Kasse");
    EXPECT_EQ(s.controls[0].values[0].amount, -50);
    EXPECT_EQ(s.controls[1].afterBookings, 2);
    const auto& v = s.controls[1].values;
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0].kind, ControlKind::BalanceSheetTotal);
    EXPECT_EQ(v[0].amount, 21300000);
    EXPECT_EQ(v[1].kind, ControlKind::Profit);
    EXPECT_EQ(v[1].amount, -25000);
    EXPECT_EQ(v[2].kind, ControlKind::OperatingResult);
    EXPECT_EQ(v[3].kind, ControlKind::NeutralResult);
    EXPECT_EQ(v[3].amount, 1234);
    EXPECT_EQ(v[3].line, 36);
}

struct Malformed {
    const char* what;
    std::vector<std::string> lines;
    int line;
    const char* reason;  // UTF-8, a part of the reason
};

TEST(SolutionFile, MalformedFilesAreRefusedWithLineAndReason) {
    const std::vector<Malformed> cases = {
        {"empty file", {}, 1, "keine Angaben"},
        {"no exercise header first", {"[Buchung 1]"}, 1, "mit „[Aufgabe N]“ beginnen"},
        {"exercise number out of range", {"[Aufgabe 0]"}, 1, "1 oder größer"},
        {"no chart", {"[Aufgabe 2]", "Baut auf: 1"}, 1, "„Kontenplan:“ fehlt"},
        {"chart out of range", {"[Aufgabe 2]", "Kontenplan: 5"}, 2, "1 bis 4"},
        {"builds on a later exercise", {"[Aufgabe 2]", "Kontenplan: 1", "Baut auf: 2"}, 3, "frühere Aufgabe"},
        {"unknown section", {"[Aufgabe 2]", "Kontenplan: 1", "[Buchungen]"}, 3, "unbekannter Abschnitt „[Buchungen]“"},
        {"line without colon", {"[Aufgabe 2]", "Kontenplan 1"}, 2, "„Angabe: Wert“"},
        {"unknown key", {"[Aufgabe 2]", "Kontenplan: 1", "[Buchung 1]", "Betrag: 5,00"}, 4, "„Betrag:“"},
        {"booking numbers skip", {"[Aufgabe 2]", "Kontenplan: 1", "[Buchung 2]"}, 3, "„[Buchung 1]“"},
        {"misplaced dot", {"[Aufgabe 2]", "Kontenplan: 1", "[Buchung 1]", "Soll: Bank 12.00,00"}, 4,
         "so schreiben: 1200,00 oder 1.200,00"},
        {"one decimal", {"[Aufgabe 2]", "Kontenplan: 1", "[Buchung 1]", "Soll: Bank 12,5"}, 4, "kein Betrag"},
        {"booked amount with sign", {"[Aufgabe 2]", "Kontenplan: 1", "[Buchung 1]", "Soll: Bank -5,00"}, 4,
         "kein Betrag"},
        {"no account", {"[Aufgabe 2]", "Kontenplan: 1", "[Buchung 1]", "Haben: 5,00"}, 4, "„Konto Betrag“"},
        {"unequal sides",
         {"[Aufgabe 2]", "Kontenplan: 1", "[Buchung 1]", "Soll: Bank 5,00", "Haben: Kasse 4,00"}, 3,
         "Buchung 1: Soll 5,00 und Haben 4,00 sind nicht gleich groß"},
        {"no credit line", {"[Aufgabe 2]", "Kontenplan: 1", "[Buchung 1]", "Soll: Bank 5,00", "[Kontrolle 1]"}, 3,
         "keine Haben-Zeile"},
        {"six lines",
         {"[Aufgabe 2]", "Kontenplan: 1", "[Buchung 1]", "Soll: A 1,00", "Soll: B 1,00", "Soll: C 1,00",
          "Soll: D 1,00", "Soll: E 1,00", "Haben: F 5,00"},
         9, "höchstens fünf Zeilen"},
        {"date twice", {"[Aufgabe 2]", "Kontenplan: 1", "[Buchung 1]", "Datum: 1.1.", "Datum: 2.1."}, 5, "zweimal"},
        {"alternative replaces a missing booking",
         {"[Aufgabe 2]", "Kontenplan: 1", "[Alternative 1]", "Ersetzt: 3", "Soll: A 1,00", "Haben: B 1,00"}, 3,
         "Buchung 3, die es nicht gibt"},
        {"alternative replaces a gap",
         {"[Aufgabe 2]", "Kontenplan: 1", "[Alternative 1]", "Ersetzt: 1 3"}, 4, "aufeinanderfolgende"},
        {"empty control", {"[Aufgabe 2]", "Kontenplan: 1", "[Kontrolle 1]", "", "; nichts"}, 3, "keinen Wert"},
        {"opening after a booking",
         {"[Aufgabe 2]", "Kontenplan: 1", "[Buchung 1]", "Soll: A 1,00", "Haben: B 1,00", "[Eröffnung]"}, 6,
         "vor der ersten Buchung"},
        {"unknown mode", {"[Aufgabe 2]", "Kontenplan: 1", "Modus: halb"}, 3, "„manuell“"},
        {"unknown control", {"[Aufgabe 2]", "Kontenplan: 1", "[Kontrolle 1]", "Summe: 5,00"}, 4, "„Summe:“"},
        {"a case that comes back after another",
         {"[Aufgabe 2]", "Kontenplan: 1", "[Buchung 1]", "Fall: (1)", "Soll: A 1,00", "Haben: B 1,00", "[Buchung 2]",
          "Fall: (2)", "Soll: A 1,00", "Haben: B 1,00", "[Buchung 3]", "Fall: (1)", "Soll: A 1,00", "Haben: B 1,00"},
         11, "„Fall: (1)“ steht schon bei Buchung 1; die Buchungen eines Falls stehen direkt nacheinander"},
        {"case twice", {"[Aufgabe 2]", "Kontenplan: 1", "[Buchung 1]", "Fall: (1)", "Fall: (2)"}, 5, "zweimal"},
        {"control character in a text",
         {"[Aufgabe 2]", "Kontenplan: 1", "[Buchung 1]", "Grund: Miete\x1b[2J", "Soll: A 1,00", "Haben: B 1,00"}, 4,
         "Steuerzeichen"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            (void)parse_solution("Loesung2.txt", lines_of(c.lines));
            ADD_FAILURE() << "accepted";
        } catch (const SolutionError& e) {
            EXPECT_EQ(e.line(), c.line);
            EXPECT_NE(e.reason().find(cp(c.reason)), std::string::npos) << cp1252_to_utf8(e.reason());
            EXPECT_EQ(e.text(), "Loesung2.txt, Zeile " + std::to_string(c.line) + ": " + e.reason());
        }
    }
}

TEST(SolutionFile, ReadsCp1252WithCrLfFromTheWorkingDirectory) {
    test::WorkDir dir;
    dir.write("Loesung4.txt", cp("[Aufgabe 4]\r\nKontenplan: 3\r\nBaut auf: keine\r\n[Kontrolle 1]\r\n"
                                 "Saldo: Umsatzerlöse für Waren 2400,00\r\n"));
    const Solution s = read_solution(solution_file_name(4));
    EXPECT_EQ(s.fileName, "Loesung4.txt");
    EXPECT_EQ(s.chart, 3);
    EXPECT_FALSE(s.buildsOn.has_value());
    EXPECT_FALSE(s.manualMode);
    ASSERT_EQ(s.controls.size(), 1u);
    EXPECT_EQ(s.controls[0].values[0].account, cp("Umsatzerlöse für Waren"));
    EXPECT_EQ(s.controls[0].values[0].amount, 240000);
    EXPECT_THROW((void)read_solution("Loesung5.txt"), Failure);
}

TEST(SolutionFile, CasesYearlessDatesAndTheYearsResult) {
    const Solution s = parse_solution(
        "Loesung2.txt", lines_of({"[Aufgabe 2]", "Kontenplan: 1", "[Buchung 1]", "Fall: (7)", "Datum: 14.04.",
                                  "Soll: A 1,00", "Haben: B 1,00", "[Buchung 2]", "Fall: (7)", "Soll: A 1,00",
                                  "Haben: C 1,00", "[Buchung 3]", "Soll: A 1,00", "Haben: C 1,00", "[Kontrolle 1]",
                                  "Jahresüberschuss: -5,00"}));
    ASSERT_EQ(s.bookings.size(), 3u);
    EXPECT_EQ(s.bookings[0].caseText, "(7)");
    EXPECT_EQ(s.bookings[1].caseText, "(7)");
    EXPECT_EQ(s.bookings[2].caseText, "");
    EXPECT_EQ(s.controls[0].values[0].kind, ControlKind::Profit);
    EXPECT_EQ(s.controls[0].values[0].amount, -500);
    const struct {
        const char* date;
        int year;
        const char* want;
    } dates[] = {{"14.04.", 2027, "14.04.2027"}, {"14.04.2026", 2027, "14.04.2026"}, {"", 2027, ""},
                 {"14.4.", 2027, "14.4."}, {"01.01.", 33, "01.01.0033"}};
    for (const auto& d : dates) EXPECT_EQ(date_in_year(d.date, d.year), d.want) << d.date;
}

TEST(SolutionFile, CentsTextWritesTheProgramsAmountForm) {
    EXPECT_EQ(cents_text(0), "0,00");
    EXPECT_EQ(cents_text(5), "0,05");
    EXPECT_EQ(cents_text(-5), "-0,05");
    EXPECT_EQ(cents_text(12345678), "123456,78");
}

// Every amount of the file written as a textbook prints it, "12345,00" as "12.345,00".
std::string with_thousands_dots(const std::string& line) {
    std::istringstream words(line);
    std::string out;
    for (std::string w; words >> w;) {
        const auto comma = w.find(',');
        const std::size_t begin = !w.empty() && w[0] == '-' ? 1 : 0;
        const bool amount = comma != std::string::npos && comma > begin &&
                            w.find_first_not_of("0123456789,", begin) == std::string::npos;
        if (amount)
            for (std::size_t at = comma; at > begin + 3;) w.insert(at -= 3, ".");
        out += (out.empty() ? "" : " ") + w;
    }
    return out;
}

// What the checking takes from a file: every amount with its place.
std::vector<std::string> amounts_of(const Solution& s) {
    std::vector<std::string> out;
    if (s.opening)
        for (const auto& a : s.opening->amounts) out.push_back(a.account + " " + std::to_string(a.amount));
    for (const auto& b : s.bookings)
        for (const auto& e : b.entries) out.push_back(e.account + " " + std::to_string(e.amount));
    for (const auto& a : s.alternatives)
        for (const auto& e : a.booking.entries) out.push_back(e.account + " " + std::to_string(e.amount));
    for (const auto& c : s.controls)
        for (const auto& v : c.values) out.push_back(v.account + " " + std::to_string(v.amount));
    return out;
}

TEST(SolutionFile, SuppliedFilesReadTheSameWithThousandsDots) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SALDORAMA_DATA_DIR)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("Loesung", 0) != 0) continue;
        SCOPED_TRACE(name);
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<std::string> plain, dotted;
        for (std::string l; std::getline(in, l);) {
            if (!l.empty() && l.back() == '\r') l.pop_back();
            plain.push_back(l);
            const bool comment = !l.empty() && l[0] == ';';
            dotted.push_back(comment || l.find(':') == std::string::npos ? l : with_thousands_dots(l));
        }
        if (plain != dotted) ++files;
        EXPECT_EQ(amounts_of(parse_solution(name, dotted)), amounts_of(parse_solution(name, plain)));
    }
    EXPECT_GT(files, 0);
}

} // namespace
