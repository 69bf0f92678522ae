#include "cli/arguments.h"

#include <charconv>
#include <map>

#include "base/cp1252.h"

namespace saldorama::cli {
namespace {

constexpr std::size_t kFormLines = 5;

const std::map<std::string, Command, std::less<>>& command_names() {
    static const std::map<std::string, Command, std::less<>> names = {
        {"bilanz", Command::Bilanz},         {"betriebsergebnis", Command::Betriebsergebnis},
        {"journal", Command::Journal},       {"konto", Command::Konto},
        {"kontenplan", Command::Kontenplan}, {"buchen", Command::Buchen},
        {"eroeffnung", Command::Eroeffnung}, {"sichern", Command::Sichern},
        {"laden", Command::Laden},           {"loeschen", Command::Loeschen},
        {"pruefen", Command::Pruefen},       {"loesung", Command::Loesung},
        {"rueckgaengig", Command::Rueckgaengig},
        {"pruefungsmodus", Command::Pruefungsmodus},
    };
    return names;
}

[[noreturn]] void wrong(const std::string& text) { throw UsageError(text); }

// "KONTO;SOLL;HABEN": the account is all before the last two ";", so an
// account name may itself hold a ";".
FormLine form_line(const std::string& text) {
    const auto second = text.rfind(';');
    const auto first = second == std::string::npos || second == 0 ? std::string::npos : text.rfind(';', second - 1);
    if (first == std::string::npos)
        wrong("--zeile erwartet \"KONTO;SOLL;HABEN\", nicht \"" + text + "\".");
    return {utf8_to_cp1252(text.substr(0, first)), utf8_to_cp1252(text.substr(first + 1, second - first - 1)),
            utf8_to_cp1252(text.substr(second + 1))};
}

// "KONTO=BETRAG": the amount is all after the last "=".
OpeningAmount opening_amount(const std::string& text) {
    const auto eq = text.rfind('=');
    if (eq == std::string::npos) wrong("Erwartet wird \"KONTO=BETRAG\", nicht \"" + text + "\".");
    return {utf8_to_cp1252(text.substr(0, eq)), utf8_to_cp1252(text.substr(eq + 1))};
}

// The value after an option; each option may be given once.
void take_option(const std::vector<std::string>& rest, std::size_t& i, std::optional<std::string>& into) {
    const std::string& option = rest[i];
    if (i + 1 >= rest.size()) wrong("Nach " + option + " fehlt der Wert.");
    if (into) wrong(option + " ist mehrfach angegeben.");
    into = utf8_to_cp1252(rest[++i]);
}

void expect_count(const std::string& command, const std::vector<std::string>& rest, std::size_t count,
                  const char* what) {
    if (rest.size() != count) wrong("Der Befehl " + command + " erwartet " + what + ".");
}

void parse_buchen(const std::vector<std::string>& rest, Invocation& inv) {
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const std::string& arg = rest[i];
        if (arg == "--datum") {
            take_option(rest, i, inv.date);
        } else if (arg == "--person") {
            take_option(rest, i, inv.person);
        } else if (arg == "--grund") {
            take_option(rest, i, inv.reason);
        } else if (arg == "--zeile") {
            if (i + 1 >= rest.size()) wrong("Nach --zeile fehlt der Wert.");
            if (inv.lines.size() == kFormLines) wrong("Ein Buchungssatz hat höchstens fünf Zeilen.");
            inv.lines.push_back(form_line(rest[++i]));
        } else {
            wrong("Unbekannte Angabe für buchen: \"" + arg + "\".");
        }
    }
    if (inv.lines.empty()) wrong("Der Befehl buchen braucht mindestens eine --zeile.");
}

void parse_eroeffnung(const std::vector<std::string>& rest, Invocation& inv) {
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const std::string& arg = rest[i];
        if (arg == "--datum") {
            take_option(rest, i, inv.date);
        } else if (arg.starts_with("--")) {
            wrong("Unbekannte Angabe für eroeffnung: \"" + arg + "\".");
        } else {
            inv.openingAmounts.push_back(opening_amount(arg));
        }
    }
    if (inv.openingAmounts.empty()) wrong("Der Befehl eroeffnung braucht mindestens ein \"KONTO=BETRAG\".");
}

int booking_number(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || text[0] < '0' || text[0] > '9' || ec != std::errc() || ptr != end)
        wrong("Der Befehl loeschen erwartet eine Buchungs-Nummer, nicht \"" + text + "\".");
    return value;
}

// The report commands take --pdf DATEI and --lehrbuch anywhere among their
// arguments; the others remain.
std::vector<std::string> take_print_options(const std::string& command, const std::vector<std::string>& rest,
                                            Invocation& inv) {
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == "--pdf") {
            if (i + 1 >= rest.size()) wrong("Nach --pdf fehlt der Dateiname.");
            if (inv.pdf) wrong("--pdf ist mehrfach angegeben.");
            inv.pdf = rest[++i];
            if (inv.pdf->empty()) wrong("Der Dateiname nach --pdf ist leer.");
        } else if (rest[i] == "--lehrbuch") {
            inv.textbook = true;
        } else {
            positional.push_back(rest[i]);
        }
    }
    if (inv.textbook && !inv.pdf) wrong("--lehrbuch gilt nur zusammen mit --pdf.");
    if (inv.textbook && inv.command != Command::Bilanz && inv.command != Command::Konto)
        wrong("Die Lehrbuchform gibt es für bilanz und konto, nicht für " + command + ".");
    return positional;
}

int exercise_number(const std::string& command, const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || text[0] < '0' || text[0] > '9' || ec != std::errc() || ptr != end || value < 1)
        wrong("Der Befehl " + command + " erwartet die Nummer einer Aufgabe (1, 2, ...), nicht \"" + text + "\".");
    return value;
}

// "pruefungsmodus an|aus [--loesungen DIR]"
void parse_pruefungsmodus(const std::vector<std::string>& rest, Invocation& inv) {
    if (rest.empty() || (rest[0] != "an" && rest[0] != "aus"))
        wrong("Der Befehl pruefungsmodus erwartet \"an\" oder \"aus\"" +
              (rest.empty() ? std::string(".") : ", nicht \"" + rest[0] + "\"."));
    inv.examMode = rest[0] == "an";
    for (std::size_t i = 1; i < rest.size(); ++i) {
        if (rest[i] != "--loesungen") wrong("Nach pruefungsmodus " + rest[0] + " ist nur --loesungen VERZEICHNIS erlaubt, nicht \"" + rest[i] + "\".");
        if (inv.solutions) wrong("--loesungen ist mehrfach angegeben.");
        if (i + 1 >= rest.size() || rest[i + 1].empty()) wrong("Nach --loesungen fehlt das Verzeichnis der Lösungen.");
        inv.solutions = rest[++i];
    }
}

// "pruefen N [--loesungen DIR] [--aus DATEI... [--csv]]"
void parse_pruefen(const std::vector<std::string>& rest, Invocation& inv) {
    if (rest.empty()) wrong("Der Befehl pruefen erwartet die Nummer einer Aufgabe.");
    inv.exercise = exercise_number("pruefen", rest[0]);
    bool from = false;
    for (std::size_t i = 1; i < rest.size(); ++i) {
        const std::string& arg = rest[i];
        if (arg == "--aus") {
            if (from) wrong("--aus ist mehrfach angegeben.");
            from = true;
        } else if (arg == "--csv") {
            if (inv.csv) wrong("--csv ist mehrfach angegeben.");
            inv.csv = true;
        } else if (arg == "--loesungen") {
            if (inv.solutions) wrong("--loesungen ist mehrfach angegeben.");
            if (i + 1 >= rest.size() || rest[i + 1].empty()) wrong("Nach --loesungen fehlt das Verzeichnis der Lösungen.");
            inv.solutions = rest[++i];
        } else if (from && !arg.starts_with("--")) {
            inv.backups.push_back(arg);
        } else {
            wrong("Unbekannte Angabe für pruefen: \"" + arg + "\".");
        }
    }
    if (from && inv.backups.empty()) wrong("Nach --aus fehlt mindestens eine Sicherung.");
    if (inv.csv && !from) wrong("--csv gilt nur zusammen mit --aus.");
}

} // namespace

Invocation parse_arguments(const std::vector<std::string>& args) {
    Invocation inv;
    std::size_t i = 0;
    if (i < args.size() && (args[i] == "-C" || args[i] == "--ordner")) {
        if (i + 1 >= args.size()) wrong("Nach " + args[i] + " fehlt das Verzeichnis.");
        inv.directory = args[i + 1];
        i += 2;
    }
    if (i >= args.size()) wrong("Es fehlt der Befehl.");
    if (args[i] == "--help" || args[i] == "--version") {
        if (i + 1 != args.size()) wrong(args[i] + " steht allein.");
        inv.command = args[i] == "--help" ? Command::Help : Command::Version;
        return inv;
    }
    const std::string name = args[i];
    const auto found = command_names().find(name);
    if (found == command_names().end()) wrong("Unbekannter Befehl \"" + name + "\".");
    inv.command = found->second;
    std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    if (inv.command == Command::Bilanz || inv.command == Command::Betriebsergebnis ||
        inv.command == Command::Journal || inv.command == Command::Konto)
        rest = take_print_options(name, rest, inv);

    switch (inv.command) {
    case Command::Bilanz:
    case Command::Betriebsergebnis:
    case Command::Journal:
    case Command::Kontenplan:
    case Command::Rueckgaengig:
        expect_count(name, rest, 0, "keine Argumente");
        break;
    case Command::Konto:
        expect_count(name, rest, 1, "genau einen Kontonamen");
        inv.account = utf8_to_cp1252(rest[0]);
        break;
    case Command::Sichern:
    case Command::Laden:
        expect_count(name, rest, 1, "genau einen Dateinamen");
        if (rest[0].empty()) wrong("Der Dateiname ist leer.");
        inv.file = rest[0];
        break;
    case Command::Loeschen:
        expect_count(name, rest, 1, "genau eine Buchungs-Nummer");
        inv.bookingNumber = booking_number(rest[0]);
        break;
    case Command::Buchen:
        parse_buchen(rest, inv);
        break;
    case Command::Eroeffnung:
        parse_eroeffnung(rest, inv);
        break;
    case Command::Pruefen:
        parse_pruefen(rest, inv);
        break;
    case Command::Loesung:
        expect_count(name, rest, 1, "genau die Nummer einer Aufgabe");
        inv.exercise = exercise_number(name, rest[0]);
        break;
    case Command::Pruefungsmodus:
        parse_pruefungsmodus(rest, inv);
        break;
    case Command::Help:
    case Command::Version:
        break;
    }
    return inv;
}

bool is_read_only(Command command) noexcept {
    switch (command) {
    case Command::Bilanz:
    case Command::Betriebsergebnis:
    case Command::Journal:
    case Command::Konto:
    case Command::Kontenplan:
    case Command::Pruefen:
    case Command::Help:
    case Command::Version:
        return true;
    default:
        return false;
    }
}

const char* usage_text() noexcept {
    return "Aufruf: saldorama-cli [-C|--ordner VERZEICHNIS] BEFEHL [ARGUMENT...]\n"
           "Befehle: bilanz, betriebsergebnis, journal, konto NAME (diese vier mit\n"
           "         [--pdf DATEI [--lehrbuch]]), kontenplan,\n"
           "         buchen [--datum D] [--person P] [--grund G] --zeile \"KONTO;SOLL;HABEN\"...,\n"
           "         eroeffnung [--datum D] \"KONTO=BETRAG\"..., sichern DATEI, laden DATEI,\n"
           "         loeschen N, pruefen N [--loesungen VERZEICHNIS] [--aus DATEI... [--csv]],\n"
           "         loesung N, pruefungsmodus an|aus [--loesungen VERZEICHNIS], rueckgaengig\n"
           "Mehr dazu: saldorama-cli --help\n";
}

const char* help_text() noexcept {
    return "saldorama-cli: Saldorama ohne Fenster, zum Vorbereiten und Prüfen von Übungsständen\n"
           "\n"
           "Aufruf: saldorama-cli [-C|--ordner VERZEICHNIS] BEFEHL [ARGUMENT...]\n"
           "\n"
           "  -C VERZEICHNIS, --ordner VERZEICHNIS\n"
           "                  arbeitet in VERZEICHNIS wie das Programm in seinem\n"
           "                  Arbeitsverzeichnis (sonst im aktuellen Verzeichnis);\n"
           "                  auch relative Dateinamen gelten dann dort.\n"
           "  --help          zeigt diese Hilfe.\n"
           "  --version       zeigt die Versionsnummer.\n"
           "\n"
           "Es gelten die Einstellungen aus \"einstellungen.txt\": Firmendaten, die drei\n"
           "Optionen, das Jahr der Buchhaltung und der aktuelle Kontenplan.\n"
           "\n"
           "Befehle, die nur lesen (sie schreiben und erzeugen keine Datei):\n"
           "  bilanz            gibt Bilanz und GuV aus, wie die Seite \"Bilanz und GuV\".\n"
           "  betriebsergebnis  gibt Betriebsergebnis und neutrales Ergebnis aus.\n"
           "  journal           gibt das Journal aus.\n"
           "  konto NAME        gibt das Kontenblatt des Kontos NAME aus, je Zeile die\n"
           "                    Soll-Seite, ein Tabulator, die Haben-Seite.\n"
           "  kontenplan        gibt den aktuellen Kontenplan aus, je Konto die sechs\n"
           "                    Spalten der Tabelle, durch Tabulatoren getrennt; die\n"
           "                    letzte ist die Kontonummer (leer, wenn keine angegeben ist).\n"
           "  pruefen N         prüft die Buchungen gegen die Lösung der Aufgabe N\n"
           "                    und die Aufgaben, auf denen sie aufbaut: je Befund eine\n"
           "                    Zeile, Befunde zu früheren Aufgaben darunter (sie kosten\n"
           "                    keine Punkte), zuletzt \"n von m Punkten\". Einen Punkt gibt\n"
           "                    jeder richtig gebuchte Fall der Aufgabe N, gleich in wie\n"
           "                    vielen Buchungen, und jeder richtige Kontrollwert; jede\n"
           "                    Buchung zu viel kostet einen, eine Buchung mit ihrer\n"
           "                    genauen Umkehrbuchung nichts.\n"
           "  pruefen N --aus DATEI... [--csv]\n"
           "                    prüft Sicherungen (.qrx) von Lernenden statt der Buchungen\n"
           "                    im Verzeichnis: je Sicherung eine Zeile mit Dateiname, dem\n"
           "                    Namen unter \"Verantwortlich für die Buchhaltung\" und den\n"
           "                    Punkten. Mit --csv: eine Kopfzeile und dieselben Felder durch\n"
           "                    \";\" getrennt, UTF-8 mit Byte-Order-Mark, für eine\n"
           "                    Tabellenkalkulation. Eine unlesbare Sicherung steht mit dem\n"
           "                    Grund in ihrer Zeile; die anderen werden trotzdem geprüft.\n"
           "                    Lösungen und Kontenpläne kommen aus dem Verzeichnis; mit\n"
           "                    --aus gibt es alle Befunde auch im Prüfungsmodus.\n"
           "  --loesungen VERZEICHNIS\n"
           "                    (bei pruefen) liest die Lösungen (LoesungN.txt) aus\n"
           "                    VERZEICHNIS statt aus dem Arbeitsverzeichnis, etwa aus dem\n"
           "                    Ordner der Lehrkraft. Ohne die Angabe gilt der Lösungsordner\n"
           "                    der Lehrereinstellungen, sonst das Arbeitsverzeichnis. Im\n"
           "                    Prüfungsmodus gilt für pruefen N ohne --aus nur der\n"
           "                    Lösungsordner der Lehrereinstellungen.\n"
           "\n"
           "  --pdf DATEI       (bei bilanz, betriebsergebnis, journal und konto) schreibt\n"
           "                    den Bericht als PDF in DATEI, genau wie \"Als PDF speichern…\"\n"
           "                    im Fenster, und gibt nichts aus. Die Dateien deiner\n"
           "                    Buchführung (buchungen.dat, einstellungen.txt, ...) werden\n"
           "                    nie überschrieben. Mit --pdf - geht das PDF auf die\n"
           "                    Standardausgabe, etwa in eine Pipe.\n"
           "  --lehrbuch        (mit --pdf, bei bilanz und konto) druckt Bilanz und GuV\n"
           "                    bzw. das Konto in T-Form wie im Lehrbuch.\n"
           "                    Das Druckdatum im Kopf ist das heutige, oder der Wert der\n"
           "                    Umgebungsvariablen SALDORAMA_DRUCKDATUM (TT.MM.JJJJ).\n"
           "\n"
           "Befehle, die schreiben:\n"
           "  buchen [--datum D] [--person P] [--grund G] --zeile \"KONTO;SOLL;HABEN\"...\n"
           "                    bucht einen Buchungssatz wie \"&Neu\", Eingabe und \"&Buchen\":\n"
           "                    D ist das Buchungsdatum, P der Einzahler/Empfänger, G der\n"
           "                    Zahlungsgrund; jede --zeile (eine bis fünf) füllt die nächste\n"
           "                    Zeile des Formulars mit Konto, Soll- und Habenbetrag, genau\n"
           "                    wie angegeben (ein leerer Betrag bleibt leer). Jedes Konto\n"
           "                    muss im aktuellen Kontenplan stehen (Groß- und\n"
           "                    Kleinschreibung zählt). Ausgegeben wird die Buchungs-Nummer.\n"
           "  eroeffnung [--datum D] \"KONTO=BETRAG\"...\n"
           "                    trägt auf der Seite \"Eröffnungsbuchungen\" jeden BETRAG beim\n"
           "                    KONTO ein, D als Datum der Eröffnungsbilanz, und drückt \"OK\":\n"
           "                    alle bisherigen Buchungen werden gelöscht und die\n"
           "                    Eröffnungsbuchungen geschrieben. Konten ohne Angabe behalten\n"
           "                    den Betrag, den die Seite aus den gespeicherten\n"
           "                    Eröffnungsbuchungen zeigt.\n"
           "  sichern DATEI     schreibt \"Alles Speichern\" in DATEI (ohne Endung: .qrx).\n"
           "  laden DATEI       lädt die Sicherung DATEI wie \"Sicherung laden!\": Buchungen,\n"
           "                    Firmendaten und Kontenplan werden ersetzt.\n"
           "  loeschen N        löscht die Buchung mit der Buchungs-Nummer N wie \"Löschen\";\n"
           "                    die späteren Buchungen rücken auf.\n"
           "  loesung N         bucht die Lösung der Aufgabe N wie \"Sicherung laden!\": alle\n"
           "                    Buchungen werden durch die der Lösung ersetzt (so gebucht, als\n"
           "                    wären sie auf den Seiten eingegeben), ihr Kontenplan wird der\n"
           "                    aktuelle, die Firmendaten werden, soweit die Lösung sie nennt,\n"
           "                    übernommen. Gelingt eine Buchung nicht, bleibt alles, wie es war.\n"
           "                    Im Prüfungsmodus wird das abgelehnt.\n"
           "  pruefungsmodus an|aus [--loesungen VERZEICHNIS]\n"
           "                    schaltet den Prüfungsmodus ein oder aus (Datei\n"
           "                    \"pruefungsmodus.txt\"): dann gibt es keine Lösung zu sehen,\n"
           "                    keine Antworten zu den Fragen, und pruefen N nennt je Fall\n"
           "                    nur richtig oder die Art des Fehlers, nie einen erwarteten\n"
           "                    Betrag oder ein Konto. Die Lösungen werden dann nur aus dem\n"
           "                    Lösungsordner gelesen; --loesungen trägt ihn ein (ein\n"
           "                    vorhandenes Verzeichnis). Wie alle Lehrereinstellungen\n"
           "                    bleibt das beim Laden einer Sicherung, wie es ist.\n"
           "  rueckgaengig      macht wie \"Rückgängig\" den letzten Schritt rückgängig, der\n"
           "                    Buchungen oder Firmendaten gelöscht oder überschrieben hat\n"
           "                    (neuer Kontenplan, Eröffnungsbuchungen, Ändern, Löschen,\n"
           "                    laden, loesung): Buchungen und Einstellungen werden wieder,\n"
           "                    wie sie davor waren. Die letzten zehn Schritte werden\n"
           "                    aufbewahrt; Buchungen, die danach gemacht wurden, gehen\n"
           "                    dabei verloren.\n"
           "\n"
           "Jede Rückfrage wird mit Ja beantwortet. Jede Meldung und jeder Fehler, die das\n"
           "Fenster in einem Kasten zeigen würde, steht als eine Zeile auf der\n"
           "Standardfehlerausgabe. Ein- und Ausgabe sind UTF-8.\n"
           "\n"
           "Rückgabewert: 0 bei Erfolg, 1 nach einer Meldung oder einem Fehler, 2 bei\n"
           "falschem Aufruf. pruefen N gibt 0 zurück, wenn alles richtig ist, 3, wenn\n"
           "die Prüfung Fehler gefunden hat, und 1, wenn sie nicht möglich war (etwa eine\n"
           "fehlende oder fehlerhafte Lösung oder unlesbare Buchungen); mit --aus 0, wenn\n"
           "jede Sicherung geprüft werden konnte, sonst 1. rueckgaengig gibt 3 zurück,\n"
           "wenn es nichts rückgängig zu machen gibt.\n";
}

} // namespace saldorama::cli
