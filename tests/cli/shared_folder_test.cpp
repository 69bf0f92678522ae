// Several writers on one folder at once (real saldorama-cli processes, and the
// window's page logic in this process), and the command line's answers to
// outside trouble: a full standard output, a pipe or a long line as backup,
// a backup target that is one of the folder's own files.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "base/file.h"
#include "base/folder_lock.h"
#include "bookings/booking_record.h"
#include "bookings/bookings_file.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "settings/backup.h"
#include "cli/cli_spawn.h"

namespace saldorama {
namespace {

namespace fs = std::filesystem;
const auto slurp = [](const std::string& path) { return test::read_bytes(path); };

void put(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

struct Folder {
    std::string path;
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "saldorama-shared-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
        std::string settings;
        for (const char* line : {"Muster GmbH", "Hauptstr. 1", "12345 Musterstadt", "4711", "10000000", "Musterbank",
                                 "Anna Buch", "Bert Chef", "true", "19", "false", "false", "2026", "Einfach",
                                 "Umfangreicher", "Handel", "Industrie", "0"})
            settings += std::string(line) + "\r\n";
        put(file("einstellungen.txt"), settings);
        put(file("Kontenplan1.txt"), slurp(std::string(SALDORAMA_DATA_DIR) + "/Kontenplan1.txt"));
        put(file("buchungen.dat"), "");
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    [[nodiscard]] std::string file(const std::string& name) const { return path + "/" + name; }

    [[nodiscard]] std::vector<BookingRecord> bookings() const {
        const std::string bytes = slurp(file("buchungen.dat"));
        EXPECT_EQ(bytes.size() % kRecordSize, 0u);
        std::vector<BookingRecord> all;
        for (std::size_t at = 0; at + kRecordSize <= bytes.size(); at += kRecordSize)
            all.push_back(decode_record(reinterpret_cast<const unsigned char*>(bytes.data() + at)));
        return all;
    }
};

// A started saldorama-cli whose output goes to files.
struct Child {
    pid_t pid = 0;
    std::string outPath, errPath;
    int status = -1;
    std::string out, err;
};

Child start(const Folder& f, const std::vector<std::string>& args, const std::string& tag,
            const char* stdoutPath = nullptr) {
    Child c;
    c.outPath = stdoutPath ? stdoutPath : f.path + "/../" + fs::path(f.path).filename().string() + "-" + tag + ".out";
    c.errPath = f.path + "/../" + fs::path(f.path).filename().string() + "-" + tag + ".err";
    std::vector<std::string> all = {"-C", f.path};
    all.insert(all.end(), args.begin(), args.end());
    c.pid = test::spawn_cli(all, c.outPath, c.errPath);
    EXPECT_NE(c.pid, 0);
    return c;
}

void finish(Child& c) {
    int status = 0;
    ::waitpid(c.pid, &status, 0);
    c.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (c.outPath != "/dev/full") c.out = slurp(c.outPath);
    c.err = slurp(c.errPath);
    std::error_code ignored;
    if (c.outPath != "/dev/full") fs::remove(c.outPath, ignored);
    fs::remove(c.errPath, ignored);
}

Child run(const Folder& f, const std::vector<std::string>& args, const char* stdoutPath = nullptr) {
    Child c = start(f, args, "single", stdoutPath);
    finish(c);
    return c;
}

std::vector<std::string> booking_args(const std::string& reason) {
    return {"buchen", "--datum", "02.01.2026", "--grund", reason, "--zeile", "Kasse;10;", "--zeile", "Bank;;10"};
}

const std::string kBusy = "Der Arbeitsordner wird gerade von einem anderen Programm benutzt.\n";

// The file is numbered 0..n-1 in order and holds every reason at most once.
void expect_sound_numbering(const std::vector<BookingRecord>& all) {
    std::set<std::string> reasons;
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].number, static_cast<std::int32_t>(i));
        EXPECT_TRUE(reasons.insert(all[i].reason).second) << "twice: " << all[i].reason;
    }
}

// Every booking command that reported success printed its number; that very
// booking is at that place. A refusal may only be the busy message.
int expect_successes_in_place(std::vector<Child>& children, const std::vector<std::string>& reasons,
                              const std::vector<BookingRecord>& all, bool laterDeletesOrRestores) {
    int ok = 0;
    for (std::size_t i = 0; i < children.size(); ++i) {
        Child& c = children[i];
        if (c.status != 0) {
            EXPECT_EQ(c.status, 1);
            EXPECT_EQ(c.err, kBusy);
            continue;
        }
        ++ok;
        int found = 0;
        for (const auto& r : all) found += r.reason == cp(reasons[i]) ? 1 : 0;
        if (!laterDeletesOrRestores) {
            EXPECT_EQ(found, 1) << reasons[i];
            const int number = std::stoi(c.out);
            EXPECT_TRUE(number >= 1 && number <= static_cast<int>(all.size())) << number;
            if (number >= 1 && number <= static_cast<int>(all.size())) {
                EXPECT_EQ(all[static_cast<std::size_t>(number - 1)].reason, cp(reasons[i]));
            }
        } else {
            EXPECT_LE(found, 1) << reasons[i];
        }
    }
    return ok;
}

std::vector<BookingRecord> seed(const Folder& f, const std::string& prefix, int n) {
    std::vector<BookingRecord> records;
    for (int i = 0; i < n; ++i) {
        BookingRecord r;
        r.number = i;
        r.date = "01.01.2026";
        r.reason = prefix + std::to_string(i);
        r.account[0] = "Kasse";
        r.account[1] = "Bank";
        r.debit[0] = r.credit[1] = 5;
        records.push_back(r);
    }
    put(f.file("buchungen.dat"), bookings_bytes(records));
    return records;
}

} // namespace

// ---------------------------------------------------------------- parallel writers

TEST(ParallelWriters, BuchenAgainstBuchen) {
    Folder f;
    std::vector<Child> children, readers;
    std::vector<std::string> reasons;
    for (int i = 0; i < 16; ++i) {
        reasons.push_back("B" + std::to_string(i));
        children.push_back(start(f, booking_args(reasons.back()), reasons.back()));
        if (i % 4 == 0) readers.push_back(start(f, {"journal"}, "R" + std::to_string(i)));
    }
    for (auto& c : children) finish(c);
    // Readers never wait and never see half a booking.
    for (auto& r : readers) {
        finish(r);
        EXPECT_EQ(r.status, 0) << r.err;
    }
    const auto all = f.bookings();
    expect_sound_numbering(all);
    const int ok = expect_successes_in_place(children, reasons, all, false);
    EXPECT_EQ(static_cast<int>(all.size()), ok);
    EXPECT_GE(ok, 8);
    std::cout << "[ figures  ] buchen x16: " << ok << " booked, " << 16 - ok << " busy\n";
}

TEST(ParallelWriters, BuchenAgainstLoeschen) {
    Folder f;
    seed(f, "S", 8);
    std::vector<Child> children, deletes;
    std::vector<std::string> reasons;
    for (int i = 0; i < 12; ++i) {
        reasons.push_back("B" + std::to_string(i));
        children.push_back(start(f, booking_args(reasons.back()), reasons.back()));
        if (i % 3 == 0) deletes.push_back(start(f, {"loeschen", "1"}, "D" + std::to_string(i)));
    }
    for (auto& c : children) finish(c);
    int deleted = 0;
    for (auto& c : deletes) {
        finish(c);
        if (c.status == 0) {
            ++deleted;
        } else {
            EXPECT_EQ(c.err, kBusy);
        }
    }
    const auto all = f.bookings();
    expect_sound_numbering(all);
    // "loeschen 1" always takes the oldest seeded booking: there are more seeded than deletes.
    for (int i = 0; i < 8 - deleted; ++i)
        EXPECT_EQ(all[static_cast<std::size_t>(i)].reason, "S" + std::to_string(i + deleted));
    int booked = 0;
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (children[i].status != 0) {
            EXPECT_EQ(children[i].err, kBusy);
            continue;
        }
        ++booked;
        int found = 0;
        for (const auto& r : all) found += r.reason == reasons[i] ? 1 : 0;
        EXPECT_EQ(found, 1) << reasons[i];
    }
    EXPECT_EQ(static_cast<int>(all.size()), 8 - deleted + booked);
    std::cout << "[ figures  ] buchen x12 with loeschen x4: " << booked << " booked, " << deleted << " deleted\n";
}

TEST(ParallelWriters, BuchenAgainstLadenAndTwoBackupsNeverMix) {
    Folder f;
    Backup a, b;
    a.company = {"Gesichert AG", "A-Weg", "1 A", "1", "1", "A-Bank", "A", "A"};
    a.chart = 1;
    b.company = {"Andere KG", "B-Weg", "2 B", "2", "2", "B-Bank", "B", "B"};
    b.chart = 1;
    for (int i = 0; i < 3; ++i) {
        BookingRecord r;
        r.number = i;
        r.date = "01.01.2026";
        r.account[0] = "Kasse";
        r.account[1] = "Bank";
        r.debit[0] = r.credit[1] = 1;
        r.reason = "A" + std::to_string(i);
        a.bookings.push_back(r);
        r.reason = "X" + std::to_string(i);
        b.bookings.push_back(r);
    }
    b.bookings.pop_back();
    put(f.file("a.qrx"), backup_text(a));
    put(f.file("b.qrx"), backup_text(b));
    std::vector<Child> children, loads;
    std::vector<std::string> reasons;
    for (int i = 0; i < 10; ++i) {
        reasons.push_back("B" + std::to_string(i));
        children.push_back(start(f, booking_args(reasons.back()), reasons.back()));
        if (i % 3 == 1) loads.push_back(start(f, {"laden", i % 2 ? "a.qrx" : "b.qrx"}, "L" + std::to_string(i)));
    }
    for (auto& c : children) finish(c);
    int loaded = 0;
    for (auto& c : loads) {
        finish(c);
        if (c.status == 0) {
            ++loaded;
        } else {
            EXPECT_EQ(c.err, kBusy);
        }
    }
    ASSERT_GT(loaded, 0);
    const auto all = f.bookings();
    expect_sound_numbering(all);
    // The company and the bookings come from the same backup; what follows it
    // are bookings made after that restore, each at the number it printed.
    const std::string settings = slurp(f.file("einstellungen.txt"));
    const Backup& from = settings.starts_with("Gesichert AG") ? a : b;
    EXPECT_TRUE(settings.starts_with(from.company[0]));
    ASSERT_GE(all.size(), from.bookings.size());
    for (std::size_t i = 0; i < from.bookings.size(); ++i) EXPECT_EQ(all[i].reason, from.bookings[i].reason);
    for (std::size_t i = from.bookings.size(); i < all.size(); ++i) {
        ASSERT_EQ(all[i].reason[0], 'B');
        const std::size_t k = std::stoul(all[i].reason.substr(1));
        EXPECT_EQ(children[k].status, 0);
        EXPECT_EQ(std::stoi(children[k].out), static_cast<int>(i) + 1);
    }
    expect_successes_in_place(children, reasons, all, true);
    std::cout << "[ figures  ] buchen x10 with laden x3: " << loaded << " restores, " << all.size()
              << " bookings kept\n";
}

TEST(ParallelWriters, TheWindowAgainstTheCommandLine) {
    Folder f;
    const std::string previous = fs::current_path();
    fs::current_path(f.path);
    ScriptedDialogs dialogs;
    TForm1 form(dialogs);
    ASSERT_TRUE(form.run([&] { form.FormCreate({.readExercises = false, .showStartPage = false}); }));
    ASSERT_TRUE(form.run([&] { form.showPage(Page::TabSheet4); }));
    std::vector<Child> children;
    std::vector<std::string> reasons;
    std::vector<std::string> windowReasons;
    for (int i = 0; i < 8; ++i) {
        reasons.push_back("C" + std::to_string(i));
        children.push_back(start(f, booking_args(reasons.back()), reasons.back()));
        // The window books in between, through its page.
        BookingPage& p = form.booking;
        form.run([&] { p.SpeedButton8Click(); });
        p.Edit14.text = "03.01.2026";
        p.Edit16.text = "W" + std::to_string(i);
        p.ComboBox1.text = "Kasse";
        p.Edit17.text = "3";
        p.ComboBox2.text = "Bank";
        p.Edit20.text = "3";
        if (form.run([&] { p.SpeedButton29Click(); })) {
            windowReasons.push_back(p.Edit16.text);
            EXPECT_EQ(form.state.bookingCount, bookings_count());
        } else {
            EXPECT_EQ(dialogs.last(ScriptedDialogs::Kind::Failure),
                      "Der Arbeitsordner wird gerade von einem anderen Programm benutzt.");
        }
    }
    for (auto& c : children) finish(c);
    const auto all = f.bookings();
    fs::current_path(previous);
    expect_sound_numbering(all);
    const int ok = expect_successes_in_place(children, reasons, all, false);
    for (const auto& reason : windowReasons) {
        int found = 0;
        for (const auto& r : all) found += r.reason == reason ? 1 : 0;
        EXPECT_EQ(found, 1) << reason;
    }
    EXPECT_EQ(all.size(), static_cast<std::size_t>(ok) + windowReasons.size());
    std::cout << "[ figures  ] window x8 with buchen x8: " << windowReasons.size() << " + " << ok << " booked\n";
}

TEST(ParallelWriters, ASecondWriterWaitsTenSecondsThenChangesNothing) {
    Folder f;
    seed(f, "S", 2);
    const std::string before = slurp(f.file("buchungen.dat"));
    FolderLock held(f.path);
    const auto started = std::chrono::steady_clock::now();
    const Child c = run(f, booking_args("spaet"));
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(c.status, 1);
    EXPECT_EQ(c.err, kBusy);
    EXPECT_EQ(c.out, "");
    EXPECT_GE(waited, std::chrono::milliseconds(9500));
    EXPECT_EQ(slurp(f.file("buchungen.dat")), before);
    // Readers wait for the writer as long, then read without the lock.
    const Child reader = run(f, {"journal"});
    EXPECT_EQ(reader.status, 0) << reader.err;
}

// ---------------------------------------------------------------- outside trouble

TEST(CliOutside, AFullStandardOutputIsAFailure) {
    Folder f;
    seed(f, "S", 3);
    const Child c = run(f, {"journal"}, "/dev/full");
    EXPECT_EQ(c.status, 1);
    EXPECT_EQ(c.err, "Die Ausgabe konnte nicht geschrieben werden.\n");
}

TEST(CliOutside, SichernRefusesTheFoldersOwnFilesAndFolders) {
    Folder f;
    seed(f, "S", 2);
    fs::create_directory(f.file("ordner.qrx"));
    fs::create_symlink(f.file("buchungen.dat"), f.file("verweis.qrx"));
    const std::string bookings = slurp(f.file("buchungen.dat"));
    const std::string settings = slurp(f.file("einstellungen.txt"));
    for (const char* target : {"buchungen.dat", "einstellungen.txt", "EINSTELLUNGEN.TXT", "Kontenplan1.txt",
                               "ordner.qrx/../buchungen.dat", "verweis.qrx"}) {
        const Child c = run(f, {"sichern", target});
        EXPECT_EQ(c.status, 1) << target;
        EXPECT_TRUE(c.err.starts_with("Die Datei „")) << c.err;
        EXPECT_TRUE(
            c.err.ends_with("“ gehört zum Arbeitsordner und wird nicht überschrieben. Wähle einen anderen "
                            "Dateinamen.\n"))
            << c.err;
    }
    const Child folder = run(f, {"sichern", "ordner.qrx"});
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.err, "„ordner.qrx“ ist ein Ordner. Wähle einen Dateinamen für die Sicherung.\n");
    EXPECT_EQ(slurp(f.file("buchungen.dat")), bookings);
    EXPECT_EQ(slurp(f.file("einstellungen.txt")), settings);
    EXPECT_EQ(run(f, {"sichern", "gut"}).status, 0);
}

TEST(CliOutside, LadenRefusesAPipeAndOverlongLinesButTakesBigBackups) {
    Folder f;
    seed(f, "S", 2);
    const std::string before = slurp(f.file("buchungen.dat"));
    ASSERT_EQ(::mkfifo(f.file("rohr.qrx").c_str(), 0644), 0);
    const Child pipe = run(f, {"laden", "rohr.qrx"});
    EXPECT_EQ(pipe.status, 1);
    EXPECT_EQ(pipe.err, "„rohr.qrx“ ist keine gewöhnliche Datei und kann nicht geladen werden.\n");
    fs::remove(f.file("rohr.qrx"));

    Backup big;
    big.company = {"Gross AG", "", "", "", "", "", "", ""};
    big.chart = 1;
    std::string text = backup_head(big);
    const std::string line = "0|01.01.2026|" + std::string(50, 'p') + "|x|Kasse|1|0|Bank|0|1||0|0||0|0||0|0|\r\n";
    while (text.size() < (1u << 20)) text += line;
    put(f.file("gross.qrx"), text + std::string(70000, 'y') + "\r\n");
    const Child longLine = run(f, {"laden", "gross.qrx"});
    EXPECT_EQ(longLine.status, 1);
    // Line 1 is the head, the bookings start on line 2.
    const std::size_t bookingLines = (text.size() - backup_head(big).size()) / line.size();
    EXPECT_EQ(longLine.err, "Die Sicherung ist fehlerhaft (Zeile " + std::to_string(bookingLines + 2) +
                                "): Die Zeile ist länger als 65536 Zeichen.\n");
    EXPECT_EQ(slurp(f.file("buchungen.dat")), before);

    put(f.file("gross.qrx"), text);
    const Child whole = run(f, {"laden", "gross.qrx"});
    EXPECT_EQ(whole.status, 0) << whole.err;
    EXPECT_EQ(f.bookings().size(), bookingLines);
}

TEST(CliOutside, LoeschenBeforeABrokenBookingSucceedsOnce) {
    Folder f;
    auto records = seed(f, "S", 3);
    records[1].debit[0] = std::numeric_limits<double>::quiet_NaN();
    put(f.file("buchungen.dat"), bookings_bytes(records));
    const Child c = run(f, {"loeschen", "1"});
    EXPECT_EQ(c.status, 0) << c.err;
    EXPECT_EQ(f.bookings().size(), 2u);
    EXPECT_EQ(f.bookings()[0].reason, "S1");
}

// A reader reads what the note commits to and leaves the folder alone; the
// next writer finishes the restore.
TEST(CliOutside, AReadingCommandReadsAnInterruptedRestoreAsFinishedAndAWriterFinishesIt) {
    Folder f;
    seed(f, "alt", 3);
    // What a restore killed between its two renames leaves: both new files
    // aside, the note naming them, the old bookings still in place.
    const auto fresh = seed(f, "neu", 1);
    put(f.file(".saldorama-99999999-a.neu"), bookings_bytes(fresh));
    seed(f, "alt", 3);
    const std::string settings = slurp(f.file("einstellungen.txt"));
    put(f.file(".saldorama-99999999-b.neu"), "Neue AG" + settings.substr(settings.find('\r')));
    put(f.file(".saldorama.intent"),
        ".saldorama-99999999-a.neu\tbuchungen.dat\n.saldorama-99999999-b.neu\teinstellungen.txt\n");
    const Child journal = run(f, {"journal"});
    EXPECT_EQ(journal.status, 0) << journal.err;
    EXPECT_NE(journal.out.find("neu0"), std::string::npos);
    EXPECT_EQ(journal.out.find("alt"), std::string::npos);
    EXPECT_TRUE(fs::exists(f.file(".saldorama.intent")));
    EXPECT_EQ(slurp(f.file("einstellungen.txt")), settings);
    (void)run(f, {"loeschen", "99"});
    EXPECT_TRUE(slurp(f.file("einstellungen.txt")).starts_with("Neue AG\r\n"));
    EXPECT_TRUE(temporary_files(f.path).empty());
    EXPECT_FALSE(fs::exists(f.file(".saldorama.intent")));
}

TEST(CliOutside, MessagesNameTheFileAndPrintNoDesignText) {
    Folder f;
    fs::remove(f.file("buchungen.dat"));
    const Child journal = run(f, {"journal"});
    EXPECT_EQ(journal.status, 1);
    EXPECT_EQ(journal.out, "");
    EXPECT_EQ(journal.err, "Datei nicht gefunden (buchungen.dat).\n");
    const Child missing = run(f, {"laden", "fehlt.qrx"});
    EXPECT_EQ(missing.err, "Datei nicht gefunden (" + f.file("fehlt.qrx") + ").\n");
}

} // namespace saldorama
