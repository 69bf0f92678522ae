// Runs the built saldorama-cli on working directories made here and checks
// what it prints, how it ends and what it leaves in the files.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <csignal>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "accounts/account_record.h"
#include "base/cp1252.h"
#include "base/file.h"
#include "base/hidden_area.h"
#include "base/numbers.h"
#include "base/version.h"
#include "bookings/booking_record.h"
#include "checking/check_text.h"
#include "form/page_context.h"
#include "form/tform1.h"
#include "marking/learner_check.h"
#include "kernel/scripted_dialogs.h"
#include "cli/cli_spawn.h"

namespace saldorama {
namespace {

namespace fs = std::filesystem;
using test::read_bytes;

// A temporary folder, removed with everything in it.
class Dir {
public:
    Dir() {
        std::string pattern = (fs::temp_directory_path() / "saldorama-cli-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~Dir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    Dir(const Dir&) = delete;
    Dir& operator=(const Dir&) = delete;

    [[nodiscard]] const std::string& path() const { return path_; }
    [[nodiscard]] std::string file(const std::string& name) const { return path_ + "/" + name; }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(file(name), std::ios::binary) << bytes;
    }
    [[nodiscard]] std::string read(const std::string& name) const { return read_bytes(file(name)); }
    [[nodiscard]] bool exists(const std::string& name) const { return fs::exists(file(name)); }
    // Every file with its bytes: the whole state of a working directory.
    [[nodiscard]] std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> all;
        for (const auto& entry : fs::directory_iterator(path_))
            if (entry.path().filename() != kHiddenAreaName) all[entry.path().filename()] = read_bytes(entry.path());
        return all;
    }

private:
    std::string path_;
};

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the program with `args`; `cwd` is its working directory when given.
Result run_cli(const std::vector<std::string>& args, const std::string& cwd = {}) {
    Dir capture;
    const std::string outPath = capture.file("out");
    const std::string errPath = capture.file("err");
    Result result;
    const pid_t pid = test::spawn_cli(args, outPath, errPath, cwd);
    EXPECT_NE(pid, 0) << "cannot start " << SALDORAMA_CLI;
    if (pid == 0) return result;
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = read_bytes(outPath);
    result.err = read_bytes(errPath);
    return result;
}

Result run_in(const Dir& dir, std::vector<std::string> args) {
    args.insert(args.begin(), {"-C", dir.path()});
    return run_cli(args);
}

std::string crlf(const std::vector<std::string>& utf8Lines) {
    std::string text;
    for (const auto& line : utf8Lines) text += cp(line) + "\r\n";
    return text;
}

// Settings of a practice company; chart index -1 means no chart chosen.
void write_settings(const Dir& dir, int chartIndex, const std::string& year = "2026",
                    const std::string& company = "Bäckerei Süß GmbH") {
    dir.write("einstellungen.txt",
              crlf({company, "Hauptstraße 1", "12345 Musterstadt", "123456", "10020030", "Musterbank",
                    "Anna Buch", "Bernd Chef", "true", "19", "false", "false", year, "Einfach", "Umfangreicher",
                    "Handel", "Industrie", std::to_string(chartIndex)}));
}

void copy_chart(const Dir& dir) { dir.write("Kontenplan1.txt", read_bytes(std::string(SALDORAMA_DATA_DIR) + "/Kontenplan1.txt")); }

struct Line {
    std::string account;  // UTF-8
    double debit = 0;
    double credit = 0;
};

BookingRecord booking(int number, const std::string& date, const std::string& person, const std::string& reason,
                      const std::vector<Line>& lines) {
    BookingRecord r;
    r.number = number;
    r.date = date;
    r.person = cp(person);
    r.reason = cp(reason);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        r.account[i] = cp(lines[i].account);
        r.debit[i] = lines[i].debit;
        r.credit[i] = lines[i].credit;
    }
    return r;
}

std::string bookings_bytes(const std::vector<BookingRecord>& records) {
    std::string bytes;
    for (const auto& r : records) {
        const RecordBytes b = encode_record(r);
        bytes.append(reinterpret_cast<const char*>(b.data()), b.size());
    }
    return bytes;
}

std::vector<BookingRecord> stored_bookings(const Dir& dir) {
    const std::string bytes = dir.read("buchungen.dat");
    std::vector<BookingRecord> records;
    for (std::size_t at = 0; at + kRecordSize <= bytes.size(); at += kRecordSize)
        records.push_back(decode_record(reinterpret_cast<const unsigned char*>(bytes.data() + at)));
    return records;
}

// Opening balance of three accounts and one purchase paid in cash.
std::vector<BookingRecord> practice_bookings() {
    const std::string opening = "Eröffnungsbuchung";
    return {
        booking(0, "01.01.2026", "selbst", opening, {{"Kasse", 500, 0}, {"Eröffnungsbilanzkonto", 0, 500}}),
        booking(1, "01.01.2026", "selbst", opening, {{"Bank", 10000, 0}, {"Eröffnungsbilanzkonto", 0, 10000}}),
        booking(2, "01.01.2026", "selbst", opening,
                {{"Eröffnungsbilanzkonto", 10500, 0}, {"Eigenkapital", 0, 10500}}),
        booking(3, "02.01.2026", "Schreibwaren Ost", "Büromaterial", {{"Büromaterial", 50, 0}, {"Kasse", 0, 50}}),
    };
}

// A company with chart 1 and the practice bookings.
void make_company(const Dir& dir) {
    write_settings(dir, 0);
    copy_chart(dir);
    dir.write("buchungen.dat", bookings_bytes(practice_bookings()));
}

// What a page shows in the same directory, as the program prints it.
std::string page_text(const Dir& dir, const std::function<std::vector<std::string>(TForm1&)>& show) {
    const fs::path previous = fs::current_path();
    fs::current_path(dir.path());
    ScriptedDialogs dialogs;
    TForm1 form(dialogs);
    form.FormCreate({.readExercises = false, .createBookingsFile = false, .showStartPage = false});
    const std::vector<std::string> lines = show(form);
    fs::current_path(previous);
    std::string text;
    for (const auto& line : lines) text += cp1252_to_utf8(line) + "\n";
    return text;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool has_line(const std::string& text, const std::string& start, const std::string& end) {
    for (const auto& line : lines_of(text))
        if (line.starts_with(start) && line.ends_with(end)) return true;
    return false;
}

// Runs a program and returns what it prints (for pdftotext, pdfinfo, ldd).
std::string output_of(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

// ---------------------------------------------------------------- usage

TEST(CliUsage, WrongUsageExitsWithTwoAndGermanUsage) {
    Dir dir;
    make_company(dir);
    const auto before = dir.files();
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"-C"},
        {"--ordner"},
        {"bilanzen"},
        {"bilanz", "extra"},
        {"konto"},
        {"konto", "Kasse", "Bank"},
        {"loeschen", "zwei"},
        {"loeschen", "-1"},
        {"sichern"},
        {"buchen", "--datum", "01.01.2026"},
        {"buchen", "--zeile", "Kasse;100"},
        {"buchen", "--zeile"},
        {"buchen", "--zeile", "Kasse;1;", "--betrag", "1"},
        {"buchen", "--datum", "1", "--datum", "2", "--zeile", "Kasse;1;"},
        {"buchen", "--zeile", "A;1;", "--zeile", "B;1;", "--zeile", "C;1;", "--zeile", "D;1;", "--zeile", "E;1;",
         "--zeile", "F;;5"},
        {"eroeffnung"},
        {"eroeffnung", "Kasse"},
        {"eroeffnung", "--betrag", "Kasse=1"},
        {"bilanz", "--pdf"},
        {"bilanz", "--lehrbuch"},
        {"journal", "--pdf", "j.pdf", "--lehrbuch"},
        {"kontenplan", "--pdf", "k.pdf"},
    };
    for (const auto& args : wrong) {
        std::vector<std::string> withDir = {"-C", dir.path()};
        withDir.insert(withDir.end(), args.begin(), args.end());
        const Result r = run_cli(args.empty() || args[0].starts_with("-") ? args : withDir);
        const std::string shown = args.empty() ? "(none)" : args[0];
        EXPECT_EQ(r.status, 2) << shown;
        EXPECT_NE(r.err.find("Aufruf: saldorama-cli [-C|--ordner VERZEICHNIS] BEFEHL [ARGUMENT...]"), std::string::npos) << shown;
        EXPECT_EQ(r.out, "") << shown;
    }
    EXPECT_EQ(dir.files(), before);
}

TEST(CliUsage, HelpExplainsEveryCommandInGerman) {
    const Result r = run_cli({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    for (const char* command : {"bilanz", "betriebsergebnis", "journal", "konto NAME", "kontenplan", "buchen [--datum D]",
                                "eroeffnung [--datum D]", "sichern DATEI", "laden DATEI", "loeschen N", "-C VERZEICHNIS", "--ordner VERZEICHNIS",
                                "pruefen N ", "pruefen N --aus DATEI... [--csv]", "loesung N "})
        EXPECT_NE(r.out.find(command), std::string::npos) << command;
    EXPECT_NE(r.out.find("Rückgabewert"), std::string::npos);
}

TEST(CliUsage, VersionPrintsTheProjectVersionAlone) {
    const Result r = run_cli({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("saldorama-cli ") + kVersion + "\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(run_cli({"--version", "bilanz"}).status, 2);
}

// ---------------------------------------------------------------- start-up

TEST(CliStartup, MissingSettingsFileStopsWithItsFailure) {
    Dir dir;
    copy_chart(dir);
    const Result r = run_in(dir, {"bilanz"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Datei nicht gefunden (einstellungen.txt).\n");
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(dir.exists("buchungen.dat"));
}

TEST(CliStartup, YearThatIsNoNumberStopsEvenAWritingCommand) {
    Dir dir;
    write_settings(dir, 0, "20x6");
    copy_chart(dir);
    const Result r = run_in(dir, {"buchen", "--zeile", "Kasse;1;", "--zeile", "Bank;;1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "einstellungen.txt, Zeile 13: '20x6' ist kein gültiger Integerwert.\n");
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(dir.exists("buchungen.dat"));
}

TEST(CliStartup, MissingDirectoryIsAFailure) {
    Dir dir;
    const Result r = run_cli({"-C", dir.file("fehlt"), "journal"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Verzeichnis " + dir.file("fehlt") + " kann nicht geöffnet werden. Datei nicht gefunden.\n");
}

TEST(CliStartup, WithoutDirectoryOptionWorksInTheCurrentDirectory) {
    Dir dir;
    make_company(dir);
    const Result r = run_cli({"journal"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, run_in(dir, {"journal"}).out);
    EXPECT_EQ(r.out, run_cli({"--ordner", dir.path(), "journal"}).out);
    EXPECT_EQ(lines_of(r.out).size(), 9u);  // heading and two lines per booking
}

TEST(CliStartup, BookingYearComesFromTheSettings) {
    Dir dir;
    write_settings(dir, 0, "2031");
    copy_chart(dir);
    ASSERT_EQ(run_in(dir, {"buchen", "--datum", "0503", "--zeile", "Kasse;5;", "--zeile", "Bank;;5"}).status, 0);
    EXPECT_EQ(stored_bookings(dir).at(0).date, "05.03.2031");
}

// ---------------------------------------------------------------- reports

TEST(CliReports, BilanzPrintsTheBalancePageInUtf8) {
    Dir dir;
    make_company(dir);
    const Result r = run_in(dir, {"bilanz"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, page_text(dir, [](TForm1& f) {
                  f.showPage(Page::TabSheet5);
                  return f.balance.Memo1.lines;
              }));
    EXPECT_TRUE(r.out.starts_with("Bilanz der Bäckerei Süß GmbH\n"));
    EXPECT_TRUE(has_line(r.out, "Kasse ", " 450,00"));
    EXPECT_TRUE(has_line(r.out, "Büromaterial ", " 50,00"));
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
}

TEST(CliReports, BetriebsergebnisPrintsTheOperatingResultPage) {
    Dir dir;
    make_company(dir);
    const Result r = run_in(dir, {"betriebsergebnis"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, page_text(dir, [](TForm1& f) {
                  f.showPage(Page::TabSheet11);
                  return f.operating.Memo4.lines;
              }));
    EXPECT_TRUE(r.out.starts_with("Betriebsergebnis der Bäckerei Süß GmbH\n"));
    EXPECT_TRUE(has_line(r.out, "Verlust:", " 50,00"));
}

TEST(CliReports, JournalPrintsEveryBookingLine) {
    Dir dir;
    make_company(dir);
    const Result r = run_in(dir, {"journal"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, page_text(dir, [](TForm1& f) {
                  f.showPage(Page::TabSheet6);
                  return f.journal.Memo2.lines;
              }));
    const auto lines = lines_of(r.out);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_TRUE(lines[7].starts_with("4     02.01.2026 Büromaterial")) << lines[7];
    EXPECT_TRUE(lines[8].ends_with(" 50,00")) << lines[8];
}

TEST(CliReports, WithoutChartTheTitleLinesAndTheNoticeAreShown) {
    Dir dir;
    write_settings(dir, -1);
    dir.write("buchungen.dat", "");
    const Result r = run_in(dir, {"bilanz"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Du hast keinen Kontenplan ausgewählt!\n");
    EXPECT_TRUE(r.out.starts_with("Bilanz der Bäckerei Süß GmbH\n"));
    EXPECT_EQ(r.out.find("Aktiva"), std::string::npos);
}

TEST(CliReports, MissingBookingsFileIsReportedAndNotCreated) {
    Dir dir;
    write_settings(dir, 0);
    copy_chart(dir);
    for (const char* command : {"bilanz", "betriebsergebnis", "journal"}) {
        const Result r = run_in(dir, {command});
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_EQ(r.err, "Datei nicht gefunden (buchungen.dat).\n") << command;
    }
    const Result sheet = run_in(dir, {"konto", "Kasse"});
    EXPECT_EQ(sheet.status, 1);
    EXPECT_EQ(sheet.err, "Datei nicht gefunden (buchungen.dat).\n");
    EXPECT_FALSE(dir.exists("buchungen.dat"));
}

TEST(CliReports, KontoPrintsBothSidesOfTheTAccount) {
    Dir dir;
    make_company(dir);
    const Result r = run_in(dir, {"konto", "Kasse"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, page_text(dir, [](TForm1& f) {
                  f.showPage(Page::TabSheet10);
                  f.accountSheet.ListBox1.itemIndex = 7;  // Kasse, the eighth account
                  f.accountSheet.ListBox1Click();
                  std::vector<std::string> rows;
                  for (int row = 0; row < 4; ++row)
                      rows.push_back(f.accountSheet.StringGrid3.cell(0, row) + "\t" +
                                     f.accountSheet.StringGrid3.cell(2, row));
                  return rows;
              }));
    const auto lines = lines_of(r.out);
    ASSERT_EQ(lines.size(), 4u);  // heading, entry, closing balance, sums
    EXPECT_TRUE(lines[0].starts_with("Nr.  Grund")) << lines[0];
    EXPECT_TRUE(lines[1].starts_with("1    Eröffnungsbuchung")) << lines[1];
    EXPECT_NE(lines[1].find("\t4     Büromaterial"), std::string::npos) << lines[1];
    EXPECT_TRUE(lines[2].starts_with("\t      Schlussbestand")) << lines[2];
    EXPECT_TRUE(lines[3].starts_with("Summe:") && lines[3].ends_with(" 500,00")) << lines[3];
}

TEST(CliReports, KontoTakesUtf8NamesAndRefusesUnknownOnes) {
    Dir dir;
    make_company(dir);
    const Result known = run_in(dir, {"konto", "Büromaterial"});
    EXPECT_EQ(known.status, 0);
    EXPECT_NE(known.out.find("4    Büromaterial"), std::string::npos);
    for (const char* name : {"kasse", "Kasse ", "Portokasse"}) {
        const Result r = run_in(dir, {"konto", name});
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_EQ(r.err, "Konto nicht gefunden!\n") << name;
        EXPECT_EQ(r.out, "") << name;
    }
}

TEST(CliReports, KontenplanListsTheFiveFieldsAndTheNumberOfEveryChartLine) {
    Dir dir;
    make_company(dir);
    const Result r = run_in(dir, {"kontenplan"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    std::string expected;
    std::istringstream chart(read_bytes(std::string(SALDORAMA_DATA_DIR) + "/Kontenplan1.txt"));
    for (std::string line; std::getline(chart, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!is_chart_line(line)) continue;
        const AccountRecord a = werte_aus(line);
        expected += cp1252_to_utf8(a.name + "\t" + a.balanceMark + "\t" + a.plMark + "\t" + a.side + "\t" +
                                   a.resultClass + "\t" + a.number) + "\n";
    }
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(lines_of(r.out).size(), 35u);
    EXPECT_TRUE(r.out.starts_with("Gebäude\t*\t\tA\t\t0530\n"));
}

TEST(CliReports, KontenplanWithoutChartSaysSo) {
    Dir dir;
    write_settings(dir, -1);
    copy_chart(dir);
    const Result r = run_in(dir, {"kontenplan"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Du hast keinen Kontenplan ausgewählt!\n");
    EXPECT_EQ(r.out, "");
}

// ---------------------------------------------------------------- read only

TEST(CliReadOnly, ReadingCommandsLeaveEveryFileAsItWas) {
    Dir dir;
    make_company(dir);
    // A settings file that a writer would rewrite differently (LF, extra line).
    dir.write("einstellungen.txt", dir.read("einstellungen.txt") + "Zeile 19\r\n");
    const auto before = dir.files();
    const std::vector<std::vector<std::string>> reading = {
        {"bilanz"}, {"betriebsergebnis"}, {"journal"}, {"konto", "Kasse"}, {"konto", "Fehlt"}, {"kontenplan"}};
    for (const auto& args : reading) {
        const Result r = run_in(dir, args);
        EXPECT_NE(r.status, 2) << args[0];
        EXPECT_EQ(dir.files(), before) << args[0];
    }
}

// ---------------------------------------------------------------- buchen

TEST(CliBuchen, BooksTheFormAndPrintsThePosition) {
    Dir dir;
    make_company(dir);
    const Result r = run_in(dir, {"buchen", "--datum", "03.01.2026", "--person", "Müller & Söhne", "--grund",
                                  "Miete Jänner", "--zeile", "Mietaufwand;800;", "--zeile", "Bank;;800"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "5\n");
    const auto stored = stored_bookings(dir);
    ASSERT_EQ(stored.size(), 5u);
    EXPECT_EQ(stored[4], booking(4, "03.01.2026", "Müller & Söhne", "Miete Jänner",
                                 {{"Mietaufwand", 800, 0}, {"Bank", 0, 800}}));
}

TEST(CliBuchen, FieldsAreBookedAsTypedWithoutLeavingThem) {
    Dir dir;
    write_settings(dir, 0);
    copy_chart(dir);
    // 10,375 booked straight away goes to 10,37; an empty amount stays empty
    // and counts 0; a single-digit date is taken.
    const Result r = run_in(dir, {"buchen", "--datum", "5.1.26", "--zeile", "Kasse;10,375;", "--zeile",
                                  "Umsatzerlöse;;10,375"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "1\n");  // the bookings file is created for a writing command
    const auto stored = stored_bookings(dir);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].date, "05.01.2026");
    EXPECT_EQ(stored[0].account[1], cp("Umsatzerlöse"));
    EXPECT_EQ(float_to_text(stored[0].debit[0]), "10,37");
    EXPECT_EQ(float_to_text(stored[0].credit[1]), "10,37");
    EXPECT_EQ(stored[0].credit[0], 0.0);
}

TEST(CliBuchen, AccountIsEverythingBeforeTheLastTwoSemicolons) {
    Dir dir;
    write_settings(dir, 0);
    dir.write("Kontenplan1.txt", crlf({"Kasse<B> A  B", "Erlöse; Inland<G> E  B"}));
    const Result r = run_in(dir, {"buchen", "--zeile", "Kasse;7;", "--zeile", "Erlöse; Inland;;7"});
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(stored_bookings(dir).size(), 1u);
    EXPECT_EQ(stored_bookings(dir)[0].account[1], cp("Erlöse; Inland"));
}

TEST(CliBuchen, UnknownAccountIsRefusedBeforeAnythingIsWritten) {
    Dir dir;
    make_company(dir);
    const auto before = dir.files();
    for (const char* account : {"kasse", "Kasse ", "Tresor"}) {
        const Result r = run_in(dir, {"buchen", "--zeile", std::string(account) + ";50;", "--zeile", "Bank;;50"});
        EXPECT_EQ(r.status, 1) << account;
        EXPECT_EQ(r.err, "Konto nicht gefunden!\n") << account;
        EXPECT_EQ(r.out, "") << account;
    }
    EXPECT_EQ(dir.files(), before);
}

TEST(CliBuchen, RefusalsOfThePageEndWithStatusOne) {
    Dir dir;
    make_company(dir);
    const auto before = dir.files();
    const Result unequal = run_in(dir, {"buchen", "--zeile", "Kasse;100;", "--zeile", "Bank;;99,99"});
    EXPECT_EQ(unequal.status, 1);
    EXPECT_EQ(unequal.err, "Soll und Haben muss stets gleich groß sein!\n");
    EXPECT_EQ(unequal.out, "");
    const Result zero = run_in(dir, {"buchen", "--zeile", "Kasse;0;0"});
    EXPECT_EQ(zero.status, 1);
    EXPECT_EQ(zero.err, "Null Euro werden nicht gebucht!\n");
    const Result notANumber = run_in(dir, {"buchen", "--zeile", "Kasse;zehn;", "--zeile", "Bank;;10"});
    EXPECT_EQ(notANumber.status, 1);
    EXPECT_EQ(notANumber.err, "„zehn“ ist kein Betrag (Sollbetrag, Zeile 1). So schreiben: 1200,00 oder 1.200,00.\n");
    EXPECT_EQ(dir.files(), before);
}

TEST(CliBuchen, ADateThatDoesNotExistABarOrAnAmountOutOfRangeBooksNothing) {
    Dir dir;
    make_company(dir);
    const auto before = dir.files();
    const std::vector<std::string> line = {"--zeile", "Kasse;50;", "--zeile", "Bank;;50"};
    const auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), "buchen");
        if (args.size() < 4) args.insert(args.end(), line.begin(), line.end());
        return run_in(dir, args);
    };
    for (const char* date : {"31.02.2026", "991399", "1.13.26", "heute"}) {
        const Result r = run({"--datum", date});
        EXPECT_EQ(r.status, 1) << date;
        EXPECT_EQ(r.err, "Das Datum \"" + std::string(date) +
                             "\" gibt es nicht oder es ist nicht lesbar. Erlaubt sind TT.MM.JJJJ, TT.MM.JJ, TTMMJJ und "
                             "TTMM; Tag und Monat dürfen einstellig sein (z. B. 5.1.2026 oder 5.1.26). Es wurde nichts "
                             "gebucht.\n");
        EXPECT_EQ(r.out, "");
    }
    const Result bar = run({"--grund", "Miete|Mai"});
    EXPECT_EQ(bar.status, 1);
    EXPECT_EQ(bar.err, "Das Zeichen \"|\" ist im Feld \"Zahlungsgrund\" nicht erlaubt. Bitte entferne es.\n");
    const Result big = run({"--zeile", "Kasse;1e308;", "--zeile", "Bank;;1e308"});
    EXPECT_EQ(big.status, 1);
    EXPECT_EQ(big.err, "Der Sollbetrag in Zeile 1 liegt außerhalb des erlaubten Bereichs: Beträge und Summen müssen "
                       "kleiner als 2147483648 Euro sein.\n");
    const Result noAccount = run({"--zeile", "Kasse;50;", "--zeile", ";;50"});
    EXPECT_EQ(noAccount.status, 1);
    EXPECT_EQ(noAccount.err, "Konto nicht gefunden!\n");
    EXPECT_EQ(dir.files(), before);
}

TEST(CliBuchen, WithoutChartTheBookingPageRefuses) {
    Dir dir;
    write_settings(dir, -1);
    dir.write("buchungen.dat", "");
    const Result r = run_in(dir, {"buchen", "--zeile", "Kasse;1;", "--zeile", "Bank;;1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Du hast keinen Kontenplan ausgewählt!\n");
    EXPECT_EQ(dir.read("buchungen.dat"), "");
}

// ---------------------------------------------------------------- eroeffnung

TEST(CliEroeffnung, ADateThatDoesNotExistDeletesNothing) {
    Dir dir;
    make_company(dir);
    const auto before = dir.files();
    const Result r = run_in(dir, {"eroeffnung", "--datum", "30.02.2026", "Kasse=500"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Das Datum \"30.02.2026\" gibt es nicht"), std::string::npos);
    EXPECT_EQ(dir.files(), before);
}

TEST(CliEroeffnung, ReplacesAllBookingsByTheOpeningBookings) {
    Dir dir;
    make_company(dir);
    const Result r = run_in(dir, {"eroeffnung", "--datum", "01.01.2026", "Kasse=500", "Darlehen=300,5"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
    const auto stored = stored_bookings(dir);
    // The page shows the stored opening amounts (Bank, Eigenkapital) too, in
    // chart order; "OK" books them again along with the new ones.
    ASSERT_EQ(stored.size(), 4u);
    const std::string opening = "Eröffnungsbuchung";
    EXPECT_EQ(stored[0], booking(0, "01.01.2026", "selbst", opening, {{"Bank", 10000, 0}, {"Eröffnungsbilanzkonto", 0, 10000}}));
    EXPECT_EQ(stored[1], booking(1, "01.01.2026", "selbst", opening, {{"Kasse", 500, 0}, {"Eröffnungsbilanzkonto", 0, 500}}));
    EXPECT_EQ(stored[3], booking(3, "01.01.2026", "selbst", opening, {{"Eröffnungsbilanzkonto", 300.5, 0}, {"Darlehen", 0, 300.5}}));
}

// Amounts as a textbook prints them, and a cell that cannot be read refuses
// the whole opening instead of dropping that account.
TEST(CliEroeffnung, DottedAmountsAreReadAndAnUnreadableOneChangesNothing) {
    Dir dir;
    make_company(dir);
    const auto before = dir.files();
    const Result bad = run_in(dir, {"eroeffnung", "Bank=12.000,00", "Eigenkapital=12.000,00", "Kasse=1.20"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "„1.20“ ist kein Betrag (Kasse). So schreiben: 1200,00 oder 1.200,00.\n");
    EXPECT_EQ(dir.files(), before);

    // The withdrawals of a textbook exercise: Privat lowers the equity under
    // Passiva, and both sides sum to the textbook's 585.400,00.
    write_settings(dir, 0);
    dir.write("buchungen.dat", "");
    ASSERT_EQ(run_in(dir, {"eroeffnung", "Bank=520.000,00", "Eigenkapital=520.000,00"}).status, 0);
    for (const std::vector<std::string>& line :
         {std::vector<std::string>{"Privat;5.000,00;", "Bank;;5.000,00"}, {"Privat;1.000;", "Bank;;1.000"},
          {"Privat;2.800,00;", "Bank;;2.800,00"}, {"Bank;4.200,00;", "Privat;;4.200,00"},
          {"Bank;350.000,00;", "Umsatzerlöse;;350.000,00"}, {"Löhne und Gehälter;280.000,00;", "Bank;;280.000,00"}})
        ASSERT_EQ(run_in(dir, {"buchen", "--zeile", line[0], "--zeile", line[1]}).status, 0) << line[0];
    const Result sheet = run_in(dir, {"bilanz"});
    EXPECT_EQ(sheet.status, 0);
    const std::string total = "Summe:" + std::string(30, ' ') + "585400,00\n";
    const auto first = sheet.out.find(total);
    ASSERT_NE(first, std::string::npos) << sheet.out;
    EXPECT_NE(sheet.out.find(total, first + 1), std::string::npos) << sheet.out;
    EXPECT_NE(sheet.out.find("Privat" + std::string(31, ' ') + "-4600,00\n"), std::string::npos) << sheet.out;
    EXPECT_NE(sheet.out.find("Jahresüberschuss" + std::string(21, ' ') + "70000,00\n"), std::string::npos) << sheet.out;
}

TEST(CliEroeffnung, UnknownAccountChangesNothing) {
    Dir dir;
    make_company(dir);
    const auto before = dir.files();
    const Result r = run_in(dir, {"eroeffnung", "Kasse=1", "Tresor=100"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Konto nicht gefunden!\n");
    EXPECT_EQ(dir.files(), before);
}

TEST(CliEroeffnung, UmlautAccountsAndAFreshDirectory) {
    Dir dir;
    write_settings(dir, 0);
    copy_chart(dir);
    const Result r = run_in(dir, {"eroeffnung", "Gebäude=250000", "Eigenkapital=250000"});
    EXPECT_EQ(r.status, 0) << r.err;
    const auto stored = stored_bookings(dir);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0].account[0], cp("Gebäude"));
    EXPECT_EQ(stored[0].date, "00.00.0000");  // no date given
}

// ---------------------------------------------------------------- sichern, laden

TEST(CliBackup, SichernWritesTheBackupBesideTheData) {
    Dir dir;
    make_company(dir);
    const auto before = dir.files();
    const Result r = run_in(dir, {"sichern", "stand"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
    ASSERT_TRUE(dir.exists("stand.qrx"));
    const std::string backup = dir.read("stand.qrx");
    EXPECT_TRUE(backup.starts_with(cp("Bäckerei Süß GmbH|Hauptstraße 1|12345 Musterstadt|123456|10020030|"
                                      "Musterbank|Anna Buch|Bernd Chef|1\n|0|01.01.2026|selbst|")));
    EXPECT_TRUE(backup.ends_with(cp("\n3|02.01.2026|Schreibwaren Ost|Büromaterial|Büromaterial|50|0|Kasse|0|50||0|0|"
                                    "|0|0||0|0|\r\n")));
    auto after = dir.files();
    after.erase("stand.qrx");
    EXPECT_EQ(after, before);
}

TEST(CliBackup, LadenRestoresBookingsCompanyAndChart) {
    Dir from;
    make_company(from);
    ASSERT_EQ(run_in(from, {"sichern", from.file("klasse.qrx")}).status, 0);

    Dir to;
    write_settings(to, -1, "2026", "Andere Firma");
    to.write("buchungen.dat", bookings_bytes({booking(0, "05.05.2026", "x", "y", {{"Kasse", 1, 0}, {"Bank", 0, 1}})}));
    const Result r = run_in(to, {"laden", from.file("klasse.qrx")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(to.read("buchungen.dat"), from.read("buchungen.dat"));
    EXPECT_EQ(to.read("einstellungen.txt"), from.read("einstellungen.txt"));
}

TEST(CliBackup, LadenRefusesAFaultyBackupAndKeepsEverything) {
    Dir dir;
    make_company(dir);
    dir.write("kaputt.qrx", "nur|drei|Felder\r\n|");
    const auto before = dir.files();
    const Result r = run_in(dir, {"laden", "kaputt.qrx"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Die Sicherung ist fehlerhaft (Zeile 1): 3 statt 9 Felder.\n");
    EXPECT_EQ(dir.files(), before);

    const Result missing = run_in(dir, {"laden", "fehlt.qrx"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "Datei nicht gefunden (" + dir.file("fehlt.qrx") + ").\n");
    EXPECT_EQ(dir.files(), before);
}

// ---------------------------------------------------------------- loeschen

TEST(CliLoeschen, DeletesTheBookingAndRenumbersTheRest) {
    Dir dir;
    make_company(dir);
    const Result r = run_in(dir, {"loeschen", "2"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
    const auto stored = stored_bookings(dir);
    ASSERT_EQ(stored.size(), 3u);
    auto expected = practice_bookings();
    expected.erase(expected.begin() + 1);
    expected[1].number = 1;
    expected[2].number = 2;
    EXPECT_EQ(stored, expected);
}

TEST(CliLoeschen, NumberOutsideTheBookingsIsRefused) {
    Dir dir;
    make_company(dir);
    const auto before = dir.files();
    for (const char* n : {"0", "5"}) {
        const Result r = run_in(dir, {"loeschen", n});
        EXPECT_EQ(r.status, 1) << n;
        EXPECT_EQ(r.err, "Keine Buchung zum Löschen vorhanden!\n") << n;
    }
    EXPECT_EQ(dir.files(), before);
}

// Each step that deleted is taken back in turn; then there is nothing left (3).
TEST(CliRueckgaengig, TakesBackStepByStepThenSaysNothingIsLeft) {
    Dir dir;
    make_company(dir);
    const std::string before = dir.read("buchungen.dat");
    ASSERT_EQ(run_in(dir, {"loeschen", "2"}).status, 0);
    const std::string deleted = dir.read("buchungen.dat");
    ASSERT_EQ(run_in(dir, {"loeschen", "1"}).status, 0);
    for (const std::string& expected : {deleted, before}) {
        const Result r = run_in(dir, {"rueckgaengig"});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(dir.read("buchungen.dat"), expected);
    }
    const Result none = run_in(dir, {"rueckgaengig"});
    EXPECT_EQ(none.status, 3);
    EXPECT_EQ(none.err, "Es gibt keinen Schritt, den du rückgängig machen kannst.\n");
    EXPECT_EQ(dir.read("buchungen.dat"), before);
}

// ---------------------------------------------------------------- pruefen, loesung

// The supplied settings, charts and solution files.
void make_classroom(const Dir& dir) {
    for (const std::string name : {"einstellungen.txt", "Kontenplan1.txt", "Kontenplan2.txt", "Kontenplan3.txt",
                                   "Kontenplan4.txt", "Loesung1.txt", "Loesung2.txt", "Loesung3.txt"})
        dir.write(name, read_bytes(std::string(SALDORAMA_DATA_DIR) + "/" + name));
}

// Writes line `index` of the settings (0 the company name).
void set_settings_line(const Dir& dir, int index, const std::string& utf8) {
    std::string text = dir.read("einstellungen.txt");
    std::size_t at = 0;
    for (int line = 0; line < index; ++line) at = text.find("\r\n", at) + 2;
    text.replace(at, text.find("\r\n", at) - at, cp(utf8));
    dir.write("einstellungen.txt", text);
}

// Writes the name of the person responsible for the bookkeeping into the settings.
void set_responsible(const Dir& dir, const std::string& utf8) { set_settings_line(dir, 6, utf8); }

// Exercise 3 (building on 1 and 2): the opening of exercise 2, seven cases
// and six control values of its own.
TEST(CliPruefen, SolvedBooksEarnFullPointsAMissingBookingIsNamed) {
    Dir dir;
    make_classroom(dir);
    const Result solved = run_in(dir, {"loesung", "3"});
    EXPECT_EQ(solved.status, 0) << solved.err;
    EXPECT_EQ(solved.out + solved.err, "");
    const auto before = dir.files();
    const Result right = run_in(dir, {"pruefen", "3"});
    EXPECT_EQ(right.status, 0) << right.out << right.err;
    // The answers to the questions follow the points.
    EXPECT_TRUE(right.out.starts_with("13 von 13 Punkten\nAntworten zu den Fragen:\n11. Aktivtausch")) << right.out;
    EXPECT_EQ(dir.files(), before);

    auto books = stored_bookings(dir);
    books.pop_back();
    dir.write("buchungen.dat", bookings_bytes(books));
    const Result wrong = run_in(dir, {"pruefen", "3"});
    EXPECT_EQ(wrong.status, 3);
    EXPECT_EQ(lines_of(wrong.out).front(), "Aufgabe 3, Fall (7) fehlt: Verbindlichkeiten 2000,00 an Darlehen 2000,00.");
    EXPECT_NE(wrong.out.find(" von 13 Punkten\nAntworten zu den Fragen:\n"), std::string::npos) << wrong.out;

    // A solution that is not there is a failure, not a finding.
    const Result missing = run_in(dir, {"pruefen", "4"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("Datei nicht gefunden"), std::string::npos) << missing.err;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"pruefen", "0"}, {"pruefen"}, {"loesung", "x"},
                                                {"pruefen", "3", "--csv"}, {"pruefen", "3", "--aus"}})
        EXPECT_EQ(run_in(dir, args).status, 2) << args.back();
}

// Exercises are data: the next free number a teacher drops in is solved and
// checked like a supplied one; a number without its files is a failure.
TEST(CliPruefen, AnExerciseWithAnyNumberPresentIsSolvedAndChecked) {
    Dir dir;
    make_classroom(dir);
    const std::string n = "16";
    dir.write("Aufgabe" + n + ".txt", "Aufgabe " + n + ": Eigene Aufgabe\r\n");
    dir.write("Loesung" + n + ".txt", cp("[Aufgabe " + n + "]\r\nKontenplan: 1\r\nBaut auf: keine\r\n"
                                          "[Firmendaten]\r\nFirmen-Name: Lehrerfirma e. K.\r\n"
                                          "[Buchung 1]\r\nFall: (1)\r\nDatum: 05.01.\r\n"
                                          "Soll: Bank 400,00\r\nHaben: Kasse 400,00\r\n"));
    const Result solved = run_in(dir, {"loesung", n});
    EXPECT_EQ(solved.status, 0) << solved.err;
    const Result right = run_in(dir, {"pruefen", n});
    EXPECT_EQ(right.status, 0) << right.out << right.err;
    EXPECT_EQ(right.out, "2 von 2 Punkten\n");  // the company name and the case
    EXPECT_EQ(stored_bookings(dir).at(0).date, "05.01.2026");  // the day in the folder's year
    for (const char* command : {"pruefen", "loesung"}) {
        const Result missing = run_in(dir, {command, "17"});
        EXPECT_EQ(missing.status, 1) << command;
        EXPECT_NE(missing.err.find("Datei nicht gefunden"), std::string::npos) << missing.err;
    }
}

// Two backups of exercise 3 in `dir`: anna.qrx solved whole by "Anna
// Müller", ben.qrx by `ben` without its last booking.
void save_two_learners(Dir& dir, const std::string& ben) {
    make_classroom(dir);
    ASSERT_EQ(run_in(dir, {"loesung", "3"}).status, 0);
    set_responsible(dir, "Anna Müller");
    ASSERT_EQ(run_in(dir, {"sichern", "anna"}).status, 0);
    auto books = stored_bookings(dir);
    books.pop_back();
    dir.write("buchungen.dat", bookings_bytes(books));
    set_responsible(dir, ben);
    ASSERT_EQ(run_in(dir, {"sichern", "ben"}).status, 0);
}

TEST(CliPruefen, AClassOfBackupsWithOneBrokenIsCheckedLineByLine) {
    Dir dir;
    ASSERT_NO_FATAL_FAILURE(save_two_learners(dir, "Ben; \"Benni\" Kurz"));
    dir.write("kaputt.qrx", "nur Unsinn\r\n");
    const auto before = dir.files();

    const Result r = run_in(dir, {"pruefen", "3", "--aus", "anna.qrx", "kaputt.qrx", "ben.qrx"});
    EXPECT_EQ(r.status, 1);
    const auto lines = lines_of(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_EQ(lines[0], "anna.qrx: Anna Müller: 13 von 13 Punkten");
    EXPECT_TRUE(lines[1].starts_with("kaputt.qrx: nicht geprüft – ")) << lines[1];
    EXPECT_GT(lines[1].size(), std::string("kaputt.qrx: nicht geprüft – ").size() + 5);
    EXPECT_TRUE(lines[2].starts_with("ben.qrx: Ben; \"Benni\" Kurz: ")) << lines[2];
    EXPECT_TRUE(lines[2].ends_with(" von 13 Punkten") && !lines[2].ends_with("13 von 13 Punkten")) << lines[2];
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(dir.files(), before);

    const Result csv = run_in(dir, {"pruefen", "3", "--aus", "anna.qrx", "kaputt.qrx", "ben.qrx", "--csv"});
    EXPECT_EQ(csv.status, 1);
    const std::string why = lines[1].substr(std::string("kaputt.qrx: nicht geprüft – ").size());
    const std::string benPoints = lines[2].substr(lines[2].rfind(": ") + 2, lines[2].find(' ', lines[2].rfind(": ") + 2) - lines[2].rfind(": ") - 2);
    EXPECT_EQ(csv.out, "\xEF\xBB\xBF"
                       "Datei;Verantwortlich;Punkte;Mögliche Punkte;Hinweis\r\n"
                       "anna.qrx;Anna Müller;13;13;\r\n"
                       "kaputt.qrx;;;;nicht geprüft: " + why + "\r\n"
                       "ben.qrx;\"Ben; \"\"Benni\"\" Kurz\";" + benPoints + ";13;\r\n");
    EXPECT_EQ(run_in(dir, {"pruefen", "3", "--aus", "anna.qrx", "ben.qrx"}).status, 0);
}

// Exercise 1 has no bookings: each company field counts one point, compared
// after trimming and collapsing blanks; "*" takes any name.
TEST(CliPruefen, TheCompanyDataCountAPointPerField) {
    Dir dir;
    make_classroom(dir);
    ASSERT_EQ(run_in(dir, {"loesung", "1"}).status, 0);
    const struct {
        int line;  // of the settings
        const char* text;
        int status;
        const char* first;  // the first line of the output
    } steps[] = {
        {6, "", 3, "Firmendaten, Verantwortlich für die Buchhaltung fehlt: trage hier etwas ein, zum Beispiel deinen Namen."},
        {6, "  Anna   Müller ", 0, "8 von 8 Punkten"},
        {0, " Fahrradhandlung   Kettenblatt e. K.", 0, "8 von 8 Punkten"},
        {0, "Fahrradhandlung Kettenblatt",
         3, "Firmendaten, Firmen-Name: richtig ist „Fahrradhandlung Kettenblatt e. K.“, bei dir „Fahrradhandlung Kettenblatt“."},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.text);
        set_settings_line(dir, s.line, s.text);
        const Result r = run_in(dir, {"pruefen", "1"});
        EXPECT_EQ(r.status, s.status) << r.err;
        ASSERT_FALSE(r.out.empty());
        EXPECT_EQ(lines_of(r.out).front(), s.first);
        EXPECT_NE(r.out.find(s.status == 0 ? "8 von 8 Punkten" : "7 von 8 Punkten"), std::string::npos) << r.out;
    }
}

// The exercises, charts and settings of the data folder.
int copy_all_exercises(const Dir& dir) {
    int count = 0;
    for (const auto& e : fs::directory_iterator(SALDORAMA_DATA_DIR)) {
        const std::string name = e.path().filename();
        if (name.starts_with("Aufgabe")) ++count;
        if (name.starts_with("Aufgabe") || name.starts_with("Loesung") || name.starts_with("Kontenplan") ||
            name == "einstellungen.txt")
            dir.write(name, read_bytes(e.path()));
    }
    return count;
}

// Runs `work` with a form started in `dir`, as the window starts.
void with_form(const Dir& dir, const std::function<void(TForm1&, ScriptedDialogs&)>& work) {
    const fs::path previous = fs::current_path();
    fs::current_path(dir.path());
    {
        ScriptedDialogs dialogs;
        TForm1 form(dialogs);
        if (form.run([&] { form.FormCreate({.readExercises = true, .createBookingsFile = false, .showStartPage = false}); }))
            work(form, dialogs);
        else
            ADD_FAILURE() << cp1252_to_utf8(dialogs.last(ScriptedDialogs::Kind::Failure));
    }
    fs::current_path(previous);
}

// Every expected amount and account of the solution, and its company data.
std::vector<std::string> expected_texts(const Marked& m, const ExpectedBooks& expected) {
    std::vector<std::string> out;
    for (const auto& b : m.solution.bookings)
        for (const auto& l : b.lines) out.insert(out.end(), {l.account, checking::cents_text(l.cents)});
    for (const auto& c : m.solution.controls) {
        out.push_back(checking::cents_text(c.cents));
        if (!c.account.empty()) out.push_back(c.account);
    }
    for (const auto& f : expected.company)
        if (f.value != "*") out.push_back(f.value);
    return out;
}

// In exam mode, for every exercise with one mistake in each of its cases
// (wrong amount, wrong account, missing, one too many) and a wrong company
// name: no line of pruefen and no finding of the page shows an expected
// amount or account; there are no answers and no "Lösung zeigen".
TEST(CliPruefungsmodus, NoFindingOfAnyExerciseShowsWhatIsExpected) {
    Dir dir;
    const int count = copy_all_exercises(dir);
    ASSERT_GT(count, 0);
    const std::string examOn = cp("Prüfungsmodus: an\r\nLösungen: ") + dir.path() + "\r\n";
    for (int n = 1; n <= count; ++n) {
        const std::string number = std::to_string(n);
        SCOPED_TRACE("Aufgabe " + number);
        fs::remove(dir.file("pruefungsmodus.txt"));
        ASSERT_EQ(run_in(dir, {"loesung", number}).status, 0);
        set_responsible(dir, "Anna Lernt");
        Marked solved;
        std::vector<std::string> forbidden;
        with_form(dir, [&](TForm1& form, ScriptedDialogs&) {
            solved = check_working_folder(n, form.state.currentChart);
            forbidden = expected_texts(solved, expected_books_for(n));
        });
        ASSERT_TRUE(solved.result.all_right()) << cp1252_to_utf8(solved.result.rows.front().text);

        std::vector<BookingRecord> books = stored_bookings(dir);
        std::vector<BookingRecord> extra;
        std::vector<bool> dropped(books.size(), false);
        int k = 0;
        for (const auto& row : solved.result.rows) {
            if (row.kind != checking::RowKind::Case || row.earlier || row.learner == checking::kNoIndex) continue;
            auto& r = books.at(static_cast<std::size_t>(solved.learner.bookings[row.learner].number - 1));
            switch (k++ % 4) {
            case 0:
                for (auto& d : r.debit) d *= 3;
                for (auto& c : r.credit) c *= 3;
                break;
            case 1: r.account[0] = r.account[0] == "Kasse" ? "Bank" : "Kasse"; break;
            case 2: dropped[static_cast<std::size_t>(&r - books.data())] = true; break;
            case 3: extra.push_back(r); break;
            }
        }
        std::vector<BookingRecord> wrong;
        for (std::size_t i = 0; i < books.size(); ++i)
            if (!dropped[i]) wrong.push_back(books[i]);
        wrong.insert(wrong.end(), extra.begin(), extra.end());
        for (std::size_t i = 0; i < wrong.size(); ++i) wrong[i].number = static_cast<int>(i);
        dir.write("buchungen.dat", bookings_bytes(wrong));
        set_settings_line(dir, 0, "Falsche Firma");
        dir.write("pruefungsmodus.txt", examOn);

        std::vector<std::string> shown;  // UTF-8
        const Result r = run_in(dir, {"pruefen", number});
        EXPECT_EQ(r.status, 3) << r.out << r.err;
        for (const auto& line : lines_of(r.out)) shown.push_back(line);
        with_form(dir, [&](TForm1& form, ScriptedDialogs& dialogs) {
            EXPECT_TRUE(cp1252_to_utf8(status_line(form.state)).starts_with("Prüfungsmodus"));
            ExercisePage& page = form.exercises;
            page.CheckExercise.text = number;
            ASSERT_TRUE(form.run([&] { page.CheckButtonClick(); })) << cp1252_to_utf8(dialogs.last(ScriptedDialogs::Kind::Failure));
            EXPECT_FALSE(page.SolutionButton.visible);
            for (const auto& line : page.CheckFinding.lines) shown.push_back(cp1252_to_utf8(line));
            for (std::size_t i = 0; i < page.CheckRows.items.size(); ++i) {
                // The learner's own booking one too many is theirs to see.
                if (!page.CheckRows.items[i].starts_with("zu viel")) shown.push_back(cp1252_to_utf8(page.CheckRows.items[i]));
                page.CheckRows.itemIndex = static_cast<int>(i);
                ASSERT_TRUE(form.run([&] { page.CheckRowsClick(); }));
                ASSERT_TRUE(form.run([&] { page.SolutionButtonClick(); }));
                EXPECT_EQ(page.CheckFinding.lines.size(), 1u);
                shown.push_back(cp1252_to_utf8(page.CheckFinding.lines.front()));
            }
        });
        ASSERT_GT(shown.size(), 2u);
        for (const std::string& line : shown) {
            EXPECT_EQ(line.find("Antworten zu den Fragen"), std::string::npos) << line;
            for (const std::string& text : forbidden)
                EXPECT_EQ(line.find(cp1252_to_utf8(text)), std::string::npos) << line << " shows " << cp1252_to_utf8(text);
        }
        const Result refused = run_in(dir, {"loesung", number});
        EXPECT_EQ(refused.status, 1);
        EXPECT_EQ(refused.err, "Im Prüfungsmodus gibt es keine Lösung zu sehen.\n");
    }
}

// pruefungsmodus an|aus writes its own file, nothing else; a wrong call or a
// folder that cannot take the file changes nothing; laden keeps it, and a
// learner's check in exam mode reads no solution from the learner's folder.
TEST(CliPruefungsmodus, SwitchesInItsOwnFileWhichLadenKeeps) {
    Dir dir;
    make_classroom(dir);
    ASSERT_EQ(run_in(dir, {"loesung", "3"}).status, 0);
    ASSERT_EQ(run_in(dir, {"sichern", "vorher"}).status, 0);
    const std::string settings = dir.read("einstellungen.txt");
    const std::string on = cp("Prüfungsmodus: an\r\nLösungen: \r\n");
    const std::string off = cp("Prüfungsmodus: aus\r\nLösungen: ") + dir.path() + "\r\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string file;  // afterwards
        std::string err;
    } steps[] = {
        {{"pruefungsmodus", "an"}, 0, on, ""},
        {{"pruefungsmodus", "aus", "--loesungen", dir.path()}, 0, off, ""},
        {{"pruefungsmodus", "vielleicht"}, 2, off, "saldorama-cli: Der Befehl pruefungsmodus erwartet \"an\" oder \"aus\", nicht \"vielleicht\"."},
        {{"pruefungsmodus", "an", "--loesungen", dir.file("fehlt")}, 1, off,
         "Das Verzeichnis der Lösungen " + dir.file("fehlt") + " gibt es nicht. Gib nach --loesungen ein vorhandenes Verzeichnis an.\n"},
        {{"pruefungsmodus", "an"}, 0, cp("Prüfungsmodus: an\r\nLösungen: ") + dir.path() + "\r\n", ""},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.args.back());
        const Result r = run_in(dir, s.args);
        EXPECT_EQ(r.status, s.status);
        if (s.status == 2)
            EXPECT_TRUE(r.err.starts_with(s.err)) << r.err;
        else
            EXPECT_EQ(r.err, s.err);
        EXPECT_EQ(dir.read("pruefungsmodus.txt"), s.file);
        EXPECT_EQ(dir.read("einstellungen.txt"), settings);
    }
    // A folder in the file's place: refused, the folder stays.
    fs::rename(dir.file("pruefungsmodus.txt"), dir.file("abgelegt"));
    fs::create_directory(dir.file("pruefungsmodus.txt"));
    const Result blocked = run_in(dir, {"pruefungsmodus", "an"});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.err.find("pruefungsmodus.txt"), std::string::npos) << blocked.err;
    EXPECT_TRUE(fs::is_directory(dir.file("pruefungsmodus.txt")));
    fs::remove(dir.file("pruefungsmodus.txt"));

    // In exam mode without a solutions folder the learner's Loesung3.txt is not read.
    dir.write("pruefungsmodus.txt", on);
    const Result check = run_in(dir, {"pruefen", "3"});
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, "");
    EXPECT_NE(check.err.find("Bitte deine Lehrkraft"), std::string::npos) << check.err;
    const Result given = run_in(dir, {"pruefen", "3", "--loesungen", dir.path()});
    EXPECT_EQ(given.status, 1);
    EXPECT_TRUE(given.err.ends_with("Lass --loesungen weg.\n")) << given.err;
    // A backup carries no teacher's settings, and loading one keeps them.
    EXPECT_EQ(dir.read("vorher.qrx").find(cp("Prüfungsmodus")), std::string::npos);
    ASSERT_EQ(run_in(dir, {"laden", "vorher.qrx"}).status, 0);
    EXPECT_EQ(dir.read("pruefungsmodus.txt"), on);
}

// The teacher grades a class from a folder of their own that holds no
// solution files: --loesungen names where they are, and grading shows the
// points also with exam mode on.
TEST(CliPruefen, AClassIsGradedWithTheSolutionsOfAnotherFolder) {
    Dir learner;
    ASSERT_NO_FATAL_FAILURE(save_two_learners(learner, "Ben Kurz"));

    Dir solutions, teacher;
    for (const std::string name : {"einstellungen.txt", "Kontenplan1.txt", "Kontenplan2.txt", "Kontenplan3.txt",
                                   "Kontenplan4.txt"})
        teacher.write(name, learner.read(name));
    for (const std::string name : {"Loesung1.txt", "Loesung2.txt", "Loesung3.txt"}) solutions.write(name, learner.read(name));
    for (const std::string name : {"anna.qrx", "ben.qrx"}) teacher.write(name, learner.read(name));
    ASSERT_EQ(run_in(teacher, {"pruefungsmodus", "an"}).status, 0);

    const Result r = run_in(teacher, {"pruefen", "3", "--aus", "anna.qrx", "ben.qrx", "--loesungen", solutions.path()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "anna.qrx: Anna Müller: 13 von 13 Punkten\nben.qrx: Ben Kurz: 12 von 13 Punkten\n");
    const Result without = run_in(teacher, {"pruefen", "3", "--aus", "anna.qrx"});
    EXPECT_EQ(without.status, 1);
    EXPECT_NE(without.err.find("Datei nicht gefunden"), std::string::npos) << without.err;
}

} // namespace
} // namespace saldorama

namespace saldorama {
namespace {

// ---------------------------------------------------------------- pdf

TEST(CliPdf, ReportsGoIntoAnA4PdfAndNothingIsPrinted) {
    Dir dir;
    make_company(dir);
    const auto before = dir.files();
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"bilanz"}, {"bilanz", "--lehrbuch"}, {"betriebsergebnis"}, {"journal"},
          {"konto", "Kasse"}, {"--lehrbuch", "konto", "Kasse"}}) {
        std::vector<std::string> args = command;
        if (args[0] == "--lehrbuch") std::rotate(args.begin(), args.begin() + 1, args.end());
        args.insert(args.end(), {"--pdf", "abgabe.pdf"});
        const Result r = run_in(dir, args);
        EXPECT_EQ(r.status, 0) << args[0] << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "");
        EXPECT_NE(output_of("pdfinfo '" + dir.file("abgabe.pdf") + "'").find("(A4)"), std::string::npos);
        const std::string text = output_of("pdftotext -layout '" + dir.file("abgabe.pdf") + "' -");
        EXPECT_NE(text.find("Bäckerei Süß GmbH"), std::string::npos);
        EXPECT_NE(text.find("Seite 1 von 1"), std::string::npos);
        const std::map<std::string, std::string> shownBy = {
            {"bilanz", "Eigenkapital"}, {"betriebsergebnis", "Büromaterial"}, {"journal", "Schreibwaren Ost"},
            {"konto", "Kasse"}};
        const std::string& shown = shownBy.at(args[0]);
        EXPECT_NE(text.find(shown), std::string::npos) << args[0];
        // The heading once: "Betriebsergebnis der ..." is not preceded by the header's own name.
        if (args[0] == "betriebsergebnis") {
            EXPECT_EQ(text.find("Betriebsergebnis\nBetriebsergebnis der"), std::string::npos) << text;
        }
        EXPECT_EQ(std::remove(dir.file("abgabe.pdf").c_str()), 0);
    }
    EXPECT_EQ(dir.files(), before);
}

TEST(CliPdf, DataFilesAndMissingFoldersAreRefusedAndLeftAlone) {
    Dir dir;
    make_company(dir);
    const auto before = dir.files();
    for (const char* target : {"buchungen.dat", "Einstellungen.txt", "kontenplan1.txt"}) {
        const Result r = run_in(dir, {"bilanz", "--pdf", target});
        EXPECT_EQ(r.status, 1) << target;
        EXPECT_NE(r.err.find("gehört zum Arbeitsordner und wird nicht überschrieben"), std::string::npos)
            << r.err;
        EXPECT_EQ(r.out, "");
    }
    const Result missing = run_in(dir, {"journal", "--pdf", "fehlt/j.pdf"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "Die Datei fehlt/j.pdf kann nicht geschrieben werden.\n");
    // An unknown account prints nothing either.
    const Result unknown = run_in(dir, {"konto", "Nirgends", "--pdf", "k.pdf"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "Konto nicht gefunden!\n");
    EXPECT_EQ(dir.files(), before);
}

TEST(CliPdf, TheCommandLineToolItselfLinksNoQt) {
    const std::string libraries = output_of(std::string("ldd '") + SALDORAMA_CLI + "'");
    EXPECT_NE(libraries.find("libc.so"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("libQt"), std::string::npos) << libraries;
}


// ---------------------------------------------------------------- a hostile or damaged folder

// Runs with a time limit: a command that would hang on a pipe fails the test
// instead of holding it.
Result run_in_time(const Dir& dir, std::vector<std::string> args, const std::string& outPath = {}) {
    args.insert(args.begin(), {"-C", dir.path()});
    Dir capture;
    Result result;
    const std::string out = outPath.empty() ? capture.file("out") : outPath;
    const pid_t pid = test::spawn_cli(args, out, capture.file("err"));
    for (int waited = 0; waited < 1000; ++waited) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            if (outPath.empty()) result.out = read_bytes(out);
            result.err = read_bytes(capture.file("err"));
            return result;
        }
        ::usleep(10000);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ADD_FAILURE() << args[2] << " hung";
    return result;
}

TEST(CliHostileFolder, APlantedNoteReachesNothingOutsideAndReadersChangeNothing) {
    Dir outside;
    outside.write("buchungen.dat", "nachbar");
    const std::string away = "../" + fs::path(outside.path()).filename().string() + "/buchungen.dat";
    for (const std::string& target : {outside.file("buchungen.dat"), away}) {
        Dir dir;
        make_company(dir);
        fs::create_directory(hidden_area(dir.path()));
        dir.write(std::string(kHiddenAreaName) + "/.saldorama-99999999-a.neu", "BOESE");
        dir.write(std::string(kIntentFileName), ".saldorama/.saldorama-99999999-a.neu\t" + target + "\n");
        dir.write(std::string(kHiddenAreaName) + "/absicht", ".saldorama-99999999-a.neu\t" + target + "\n");
        const auto before = dir.files();
        const Result report = run_in(dir, {"bilanz"});
        EXPECT_NE(report.err.find("lag eine Notiz"), std::string::npos) << report.err;
        EXPECT_NE(report.out.find("Bilanz"), std::string::npos);
        EXPECT_EQ(dir.files(), before) << "a reader changed the folder";
        EXPECT_TRUE(dir.exists(std::string(kHiddenAreaName) + "/absicht"));
        const Result writer = run_in(dir, {"buchen", "--zeile", "Kasse;1;", "--zeile", "Bank;;1"});
        // The writer drops the note, says so and stops there.
        EXPECT_EQ(writer.status, 1) << writer.err;
        EXPECT_NE(writer.err.find("lag eine Notiz"), std::string::npos) << writer.err;
        EXPECT_EQ(stored_bookings(dir).size(), 4u);
        EXPECT_EQ(outside.read("buchungen.dat"), "nachbar") << target;
        EXPECT_FALSE(dir.exists(std::string(kHiddenAreaName) + "/absicht"));
    }
}

TEST(CliHostileFolder, PipesAndFoldersInPlaceOfFilesAreRefusedAtOnce) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"einstellungen.txt", {"bilanz"}},
        {"buchungen.dat", {"journal"}},
        {"Kontenplan1.txt", {"kontenplan"}},
        {"einstellungen.txt", {"buchen", "--zeile", "Kasse;1;", "--zeile", "Bank;;1"}},
        {"ausgabe.pdf", {"bilanz", "--pdf", "ausgabe.pdf"}},
    };
    for (const Case& c : cases) {
        Dir dir;
        make_company(dir);
        fs::remove(dir.file(c.name));
        ASSERT_EQ(::mkfifo(dir.file(c.name).c_str(), 0600), 0);
        const Result r = run_in_time(dir, c.args);
        EXPECT_EQ(r.status, 1) << c.name;
        EXPECT_NE(r.err.find("keine gewöhnliche Datei"), std::string::npos) << c.name << ": " << r.err;
        EXPECT_TRUE(fs::is_fifo(dir.file(c.name))) << c.name;
    }
}

TEST(CliHostileFolder, PdfToStandardOutput) {
    Dir dir;
    make_company(dir);
    const Result r = run_in_time(dir, {"bilanz", "--pdf", "-"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("%PDF-")) << r.out.substr(0, 20);
    EXPECT_FALSE(dir.exists("-"));
}

TEST(CliHostileFolder, ADamagedFileIsNamedWithItsLine) {
    Dir dir;
    make_classroom(dir);
    ASSERT_EQ(run_in(dir, {"loesung", "3"}).status, 0);
    std::string solution = dir.read("Loesung3.txt");
    solution.replace(solution.find("Kontenplan: "), 13, "Kontenplan: X");
    dir.write("Loesung3.txt", solution);
    const Result check = run_in(dir, {"pruefen", "3"});
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, "");
    EXPECT_TRUE(check.err.starts_with("Loesung3.txt, Zeile ")) << check.err;
    EXPECT_NE(check.err.find("kann nicht prüfen"), std::string::npos) << check.err;

    // A broken settings file is named; a sound backup mends it.
    Dir company;
    make_company(company);
    ASSERT_EQ(run_in(company, {"sichern", "stand"}).status, 0);
    const std::string sound = company.read("einstellungen.txt");
    std::string broken = sound;
    broken.replace(broken.find("2026"), 4, "zwei");
    company.write("einstellungen.txt", broken);
    const Result report = run_in(company, {"bilanz"});
    EXPECT_EQ(report.status, 1);
    EXPECT_EQ(report.err, "einstellungen.txt, Zeile 13: 'zwei' ist kein gültiger Integerwert.\n");
    const Result restore = run_in(company, {"laden", "stand.qrx"});
    EXPECT_EQ(restore.status, 0) << restore.err;
    EXPECT_EQ(company.read("einstellungen.txt"), sound);
}

TEST(CliHostileFolder, ABackupCutAtALineEndIsRefusedAnOldOneLoadsWithANote) {
    Dir dir;
    make_company(dir);
    ASSERT_EQ(run_in(dir, {"sichern", "ganz"}).status, 0);
    const std::string whole = dir.read("ganz.qrx");
    // Header and bookings end in LF alone, the last line in CR LF.
    EXPECT_EQ(whole.find("\r\n"), whole.size() - 2);
    const std::string cut = whole.substr(0, whole.find('\n', whole.find('\n') + 1) + 1);
    std::string old;
    for (const char c : whole.substr(0, whole.size() - 2)) old += c == '\n' ? std::string("\r\n") : std::string(1, c);
    old += "\r\n";
    dir.write("kurz.qrx", cut);
    dir.write("alt.qrx", old);
    const auto before = dir.files();
    const Result refused = run_in(dir, {"laden", "kurz.qrx"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("abgeschnitten"), std::string::npos) << refused.err;
    EXPECT_EQ(dir.files(), before);
    const Result loaded = run_in(dir, {"laden", "alt.qrx"});
    EXPECT_EQ(loaded.status, 0) << loaded.err;
    EXPECT_NE(loaded.err.find("nicht prüfen"), std::string::npos) << loaded.err;
    EXPECT_EQ(stored_bookings(dir), practice_bookings());
}

TEST(CliHostileFolder, ControlCharactersAreRefusedWhereTypedAndNeverReachTheTerminal) {
    Dir dir;
    make_company(dir);
    const auto before = dir.files();
    for (const auto& [option, field] : {std::pair{"--grund", "Zahlungsgrund"}, std::pair{"--person", "Einzahler/Empfänger"}}) {
        const Result r = run_in(dir, {"buchen", option, "rot\x1b[31m\nzwei", "--zeile", "Kasse;1;", "--zeile", "Bank;;1"});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(std::string("\"") + field + "\""), std::string::npos) << r.err;
        EXPECT_EQ(dir.files(), before);
    }
    // Written by something else: shown, but harmless.
    auto books = practice_bookings();
    books.back().reason = "\x1b]0;Titel\x07";
    dir.write("buchungen.dat", bookings_bytes(books));
    const Result journal = run_in(dir, {"journal"});
    EXPECT_EQ(journal.status, 0);
    EXPECT_EQ(journal.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(journal.out.find('\x07'), std::string::npos);
}

TEST(CliHostileFolder, ABookingWhoseNumberCannotBePrintedIsStillBooked) {
    Dir dir;
    make_company(dir);
    const Result r = run_in_time(dir, {"buchen", "--zeile", "Kasse;1;", "--zeile", "Bank;;1"}, "/dev/full");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("gespeichert"), std::string::npos) << r.err;
    EXPECT_EQ(stored_bookings(dir).size(), 5u);
}

TEST(CliHostileFolder, LoesungLeavesNothingBehindAndNamesAreShownAsOnDisk) {
    Dir dir;
    make_classroom(dir);
    const auto scratchOutside = [] {
        int n = 0;
        for (const auto& e : fs::directory_iterator(fs::temp_directory_path()))
            n += e.path().filename().string().starts_with("saldorama-loesung-");
        return n;
    };
    const int outsideBefore = scratchOutside();
    ASSERT_EQ(run_in(dir, {"loesung", "3"}).status, 0);
    EXPECT_EQ(scratchOutside(), outsideBefore);
    // Only the undo copy of the step stays, in its own folder.
    for (const auto& e : fs::directory_iterator(hidden_area(dir.path())))
        EXPECT_EQ(e.path().filename(), "undo") << e.path();
    ASSERT_EQ(run_in(dir, {"sichern", "Lena Łódź"}).status, 0);
    const Result r = run_in(dir, {"pruefen", "3", "--aus", "Lena Łódź.qrx"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("Lena Łódź.qrx")) << r.out;
}

} // namespace
} // namespace saldorama
