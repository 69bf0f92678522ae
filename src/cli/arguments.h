#pragma once
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace saldorama::cli {

enum class Command {
    Help,
    Version,
    Bilanz,
    Betriebsergebnis,
    Journal,
    Konto,
    Kontenplan,
    Buchen,
    Eroeffnung,
    Sichern,
    Laden,
    Loeschen,
    Pruefen,
    Loesung,
    Rueckgaengig,
    Pruefungsmodus,
};

// One line of the booking form, as typed (CP1252).
struct FormLine {
    std::string account, debit, credit;
};

// One opening amount: the account and the text for its amount cell (CP1252).
struct OpeningAmount {
    std::string account, amount;
};

// What the command line asks for. Texts a learner would type are already
// CP1252; directory and file names stay as the system gave them.
struct Invocation {
    Command command = Command::Help;
    std::optional<std::string> directory;
    std::string account;  // konto
    std::string file;     // sichern, laden
    int bookingNumber = 0;  // loeschen
    std::optional<std::string> date, person, reason;  // buchen; date also eroeffnung
    std::vector<FormLine> lines;             // buchen, 1 to 5
    std::vector<OpeningAmount> openingAmounts;  // eroeffnung
    std::optional<std::string> pdf;  // bilanz, betriebsergebnis, journal, konto: --pdf DATEI
    bool textbook = false;           // --lehrbuch, with --pdf, for bilanz and konto
    int exercise = 0;                 // pruefen, loesung: 1 and up
    std::vector<std::string> backups; // pruefen --aus, as given
    bool csv = false;                 // pruefen --aus --csv
    std::optional<std::string> solutions;  // pruefen --loesungen DIR, as given
    bool examMode = false;            // pruefungsmodus an|aus
};

// Wrong usage; the text is German UTF-8 and names what is wrong.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The arguments after the program name.
[[nodiscard]] Invocation parse_arguments(const std::vector<std::string>& args);

// Commands that must leave every file as it is.
[[nodiscard]] bool is_read_only(Command command) noexcept;

// German UTF-8 texts: the short form for wrong usage, the full one for --help.
[[nodiscard]] const char* usage_text() noexcept;
[[nodiscard]] const char* help_text() noexcept;

} // namespace saldorama::cli
