// Times saldorama-cli as a whole process on working folders of 100,000 and
// 1,000,000 bookings: every report and every writer, against one plain
// sequential read of "buchungen.dat" (cat) as the floor, with the peak memory
// of each child (ru_maxrss from wait4). Each command's output and every file
// it writes is summed (FNV-1a), so two builds can be compared byte for byte.
// Not a test: run it through scripts/bench, in a Release tree.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bookings/booking_record.h"
#include "bookings/checks.h"

namespace fs = std::filesystem;
using saldorama::BookingRecord;

namespace {

struct Account {
    std::string name;
    std::string line;  // as the chart file holds it (CP1252)
};

std::vector<Account> chart() {
    std::vector<Account> out;
    char name[64];
    const auto add = [&](const std::string& n, const char* rest) { out.push_back({n, n + rest}); };
    add("Kasse", "<B> A  B");
    add("Bank", "<B> A  B");
    for (int i = 3; i <= 30; ++i) {
        std::snprintf(name, sizeof name, "Anlage %02d", i);
        add(name, "<B> A  B");
    }
    add("Eigenkapital", "<B> P  B");
    for (int i = 2; i <= 20; ++i) {
        std::snprintf(name, sizeof name, "Verbindlichkeit %02d", i);
        add(name, "<B> P  B");
    }
    for (int i = 1; i <= 25; ++i) {
        std::snprintf(name, sizeof name, "Aufwand %02d B\xFCro", i);
        add(name, i % 3 == 0 ? "<G> A  N" : "<G> A  B");
    }
    for (int i = 1; i <= 23; ++i) {
        std::snprintf(name, sizeof name, "Ertrag %02d", i);
        add(name, i % 4 == 0 ? "<G> E  N" : "<G> E  B");
    }
    add("Er\xF6" "ffnungsbilanzkonto", "<V> H  N");
    return out;  // 99 accounts
}

// Whole cents as the program stores them (what a typed amount becomes).
double money(long long cents) { return saldorama::round_to_cents(static_cast<double>(cents) / 100.0); }

void write_text(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// Chart 1, the settings choosing it, and `count` bookings of two to five
// lines spread over the whole chart, in whole cents, debit equal to credit.
void make_folder(const fs::path& dir, int count) {
    fs::create_directories(dir);
    const std::vector<Account> accounts = chart();
    std::string chartText;
    for (const auto& a : accounts) chartText += a.line + "\r\n";
    write_text(dir / "Kontenplan1.txt", chartText);
    std::string settings;
    for (const char* line : {"Muster GmbH", "Hauptstra\xDF" "e 1", "12345 Musterstadt", "4711", "52050353",
                             "Sparkasse", "Anna Buch", "Bert Chef", "true", "19", "false", "false", "2026", "Einfach",
                             "Umfangreicher", "Handel", "Industrie", "0"})
        settings += std::string(line) + "\r\n";
    write_text(dir / "einstellungen.txt", settings);

    std::mt19937 rng(4711);
    std::uniform_int_distribution<int> lines(2, 5);
    std::uniform_int_distribution<std::size_t> account(0, accounts.size() - 2);  // not the opening account
    std::uniform_int_distribution<long long> cents(1, 500000);
    std::ofstream out(dir / "buchungen.dat", std::ios::binary);
    std::string block;
    for (int n = 0; n < count; ++n) {
        BookingRecord r;
        r.number = n;
        r.date = "15.03.2026";
        r.person = "Kunde " + std::to_string(n % 977);
        r.reason = "Rechnung " + std::to_string(n);
        const int k = lines(rng);
        long long total = 0;
        for (int i = 1; i < k; ++i) {
            const auto s = static_cast<std::size_t>(i);
            r.account[s] = accounts[account(rng)].name;
            const long long credit = cents(rng);
            r.credit[s] = money(credit);
            total += credit;
            if (rng() % 17 == 0) {  // now and then a line with both amounts
                const long long debit = credit / 3 + 1;
                r.debit[s] = money(debit);
                total -= debit;
            }
        }
        r.account[0] = accounts[account(rng)].name;
        r.debit[0] = money(total);
        const auto bytes = saldorama::encode_record(r);
        block.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (block.size() >= (1u << 22)) {
            out << block;
            block.clear();
        }
    }
    out << block;
}

// A copy of the folder for a command that changes it; `withBookings` false
// gives an empty bookings file.
void copy_folder(const fs::path& from, const fs::path& to, bool withBookings) {
    fs::remove_all(to);
    fs::create_directories(to);
    fs::copy_file(from / "Kontenplan1.txt", to / "Kontenplan1.txt");
    fs::copy_file(from / "einstellungen.txt", to / "einstellungen.txt");
    if (withBookings) fs::copy_file(from / "buchungen.dat", to / "buchungen.dat");
    else write_text(to / "buchungen.dat", "");
}

std::uint64_t file_sum(const fs::path& path) {
    std::uint64_t h = 1469598103934665603ULL;
    std::ifstream in(path, std::ios::binary);
    std::vector<char> buf(1 << 20);
    while (in) {
        in.read(buf.data(), static_cast<std::streamsize>(buf.size()));
        for (std::streamsize i = 0; i < in.gcount(); ++i) {
            h ^= static_cast<unsigned char>(buf[static_cast<std::size_t>(i)]);
            h *= 1099511628211ULL;
        }
    }
    return h;
}

struct Run {
    double seconds = 0;
    long peakKb = 0;
};

// Runs argv as a child with standard output into `outPath`; aborts the
// benchmark when the child ends with another status than `status`, so a
// broken command cannot pass as a fast one.
Run run_child(const std::vector<std::string>& args, const std::string& outPath, const fs::path& errPath,
              int status = 0) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0) ::_exit(127);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int ended = 0;
    rusage usage{};
    ::wait4(pid, &ended, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(ended) || WEXITSTATUS(ended) != status) {
        std::ifstream err(errPath);
        std::string text((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
        std::string command;
        for (const auto& a : args) command += " " + a;
        std::printf("FAILED (status %d):%s\n%s\n", ended, command.c_str(), text.c_str());
        std::exit(1);
    }
    return {std::chrono::duration<double>(end - start).count(), usage.ru_maxrss};
}

struct Result {
    double seconds = 1e300;
    double floorSeconds = 1e300;  // the best read of the file between this command's runs
    long peakKb = 0;
    std::uint64_t sum = 0;
};

struct Bench {
    std::string cli;
    fs::path base;
    std::vector<std::string> floor;  // the sequential read of the bookings file
    int runs = 3;
};

// Best time of `runs`, the highest peak, and the sum of `result` after the last
// run. Each run follows a sequential read of the file, so that the ratio
// compares times taken side by side: on a shared machine the speed of memory
// and of the kernel's copy drifts over seconds.
template <typename Prepare>
Result measure(const Bench& b, const std::vector<std::string>& args, const std::string& outPath,
               const fs::path& result, Prepare prepare, int status = 0) {
    Result r;
    for (int i = 0; i < b.runs; ++i) {
        prepare();
        r.floorSeconds = std::min(r.floorSeconds, run_child(b.floor, "/dev/null", b.base / "stderr.txt").seconds);
        const Run run = run_child(args, outPath, b.base / "stderr.txt", status);
        r.seconds = std::min(r.seconds, run.seconds);
        r.peakKb = std::max(r.peakKb, run.peakKb);
    }
    if (!result.empty()) r.sum = file_sum(result);
    return r;
}

using Table = std::map<std::string, std::map<int, Result>>;

void run_size(Bench& b, int count, Table& table) {
    const fs::path work = b.base / ("w" + std::to_string(count));
    const fs::path copy = b.base / "copy";
    make_folder(work, count);
    const auto noPrep = [] {};
    const std::string dat = (work / "buchungen.dat").string();
    const std::string out = (b.base / "out.txt").string();
    const std::string qrx = (b.base / "sicherung.qrx").string();
    const auto cli = [&](const fs::path& dir, std::initializer_list<std::string> rest) {
        std::vector<std::string> args = {b.cli, "-C", dir.string()};
        args.insert(args.end(), rest);
        return args;
    };

    b.floor = {"/bin/cat", dat};
    table["floor (cat)"][count] = measure(b, b.floor, "/dev/null", dat, noPrep);
    table["floor (cat)"][count].floorSeconds = table["floor (cat)"][count].seconds;
    // The journal's text is summed from one run into a file; the timed runs write to /dev/null.
    Result journal = measure(b, cli(work, {"journal"}), "/dev/null", {}, noPrep);
    run_child(cli(work, {"journal"}), out, b.base / "stderr.txt");
    journal.sum = file_sum(out);
    fs::remove(out);
    table["journal"][count] = journal;
    table["bilanz"][count] = measure(b, cli(work, {"bilanz"}), out, out, noPrep);
    table["betriebsergebnis"][count] = measure(b, cli(work, {"betriebsergebnis"}), out, out, noPrep);
    table["konto Kasse"][count] = measure(b, cli(work, {"konto", "Kasse"}), out, out, noPrep);
    table["sichern"][count] = measure(b, cli(work, {"sichern", qrx}), "/dev/null", qrx, noPrep);
    // A teacher's check of that backup against a short solution: the
    // learner's books are held without their texts, one learner at a time.
    write_text(work / "Loesung1.txt",
               "[Aufgabe 1]\r\nKontenplan: 1\r\nBaut auf: keine\r\n[Buchung 1]\r\nSoll: Kasse 1,00\r\n"
               "Haben: Bank 1,00\r\n");
    table["pruefen 1 --aus"][count] = measure(b, cli(work, {"pruefen", "1", "--aus", qrx}), out, out, noPrep);
    // Status 3: the books have mistakes (every booking but one is extra).
    table["pruefen 1"][count] = measure(b, cli(work, {"pruefen", "1"}), out, out, noPrep, 3);
    // The matcher's worst case: cases on every account of the chart, so that
    // no booking is passed by and each one is looked up.
    std::string wide = "[Aufgabe 2]\r\nKontenplan: 1\r\nBaut auf: keine\r\n";
    const std::vector<Account> accounts = chart();
    for (std::size_t k = 0; k + 1 < accounts.size(); k += 2)
        wide += "[Buchung " + std::to_string(k / 2 + 1) + "]\r\nSoll: " + accounts[k].name + " 1,00\r\nHaben: " +
                accounts[k + 1].name + " 1,00\r\n";
    write_text(work / "Loesung2.txt", wide);
    table["pruefen 2 (wide)"][count] = measure(b, cli(work, {"pruefen", "2"}), out, out, noPrep, 3);
    // The journal as a PDF, paged by the PDF helper beside the program.
    const std::string pdf = (b.base / "journal.pdf").string();
    table["journal --pdf"][count] = measure(b, cli(work, {"journal", "--pdf", pdf}), "/dev/null", {}, noPrep);
    fs::remove(pdf);
    table["loeschen 1"][count] = measure(b, cli(copy, {"loeschen", "1"}), "/dev/null", copy / "buchungen.dat",
                                         [&] { copy_folder(work, copy, true); });
    Result laden = measure(b, cli(copy, {"laden", qrx}), "/dev/null", copy / "buchungen.dat",
                           [&] { copy_folder(work, copy, false); });
    laden.sum ^= file_sum(copy / "einstellungen.txt");
    // Saving and loading again must give the very bookings file.
    if (file_sum(copy / "buchungen.dat") != file_sum(work / "buchungen.dat")) {
        std::printf("FAILED: sichern then laden changed buchungen.dat (kept in %s)\n", copy.c_str());
        std::exit(1);
    }
    table["laden"][count] = laden;
    table["eroeffnung"][count] =
        measure(b, cli(copy, {"eroeffnung", "--datum", "01.01.2026", "Kasse=1000", "Bank=5000", "Eigenkapital=6000"}),
                "/dev/null", copy / "buchungen.dat", [&] { copy_folder(work, copy, true); });
    fs::remove_all(copy);
    fs::remove_all(work);
    fs::remove(qrx);
}

std::string default_cli(const char* self) {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) exe = self;
    return (exe.parent_path().parent_path() / "saldorama-cli").string();
}

} // namespace

int main(int argc, char** argv) {
    Bench b;
    b.cli = default_cli(argv[0]);
    bool quick = false;
    int only = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--quick") quick = true;
        else if (a == "--size" && i + 1 < argc) only = std::atoi(argv[++i]);
        else if (a == "--cli" && i + 1 < argc) b.cli = argv[++i];
        else if (a == "--make" && i + 1 < argc) {
            // Only writes a working folder (of --size bookings) to profile by hand.
            make_folder(argv[++i], only > 0 ? only : 100000);
            return 0;
        }
    }
    if (!fs::exists(b.cli)) {
        std::printf("saldorama-cli not found: %s (give --cli PATH)\n", b.cli.c_str());
        return 2;
    }
    std::string tmpl = (fs::temp_directory_path() / "saldorama-cli-bench-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) return 2;
    b.base = tmpl;
    double load[3] = {};
    ::getloadavg(load, 3);
    std::printf("saldorama-cli as a whole process; load average at start %.2f\n", load[0]);

    std::vector<int> sizes = {100000};
    if (!quick) sizes.push_back(1000000);
    if (only > 0) sizes = {only};
    Table table;
    for (const int count : sizes) {
        b.runs = count >= 1000000 ? 3 : 11;  // a few ms each: more runs steady the best of them
        run_size(b, count, table);
    }
    fs::remove_all(b.base);
    ::getloadavg(load, 3);

    std::printf("\n%-18s", "command");
    for (const int count : sizes) std::printf(" | %9d: time   read   ratio  peak MB", count);
    std::printf(" | sums of output and written files\n");
    const char* order[] = {"floor (cat)", "journal", "bilanz", "betriebsergebnis", "konto Kasse",
                           "loeschen 1", "sichern", "laden", "eroeffnung", "pruefen 1", "pruefen 1 --aus",
                           "pruefen 2 (wide)", "journal --pdf"};
    for (const char* name : order) {
        std::printf("%-18s", name);
        for (const int count : sizes) {
            const Result& r = table[name][count];
            const double ratio = r.seconds / r.floorSeconds;
            std::printf(" | %11.1f ms %6.1f %6.1fx %8.1f", r.seconds * 1e3, r.floorSeconds * 1e3, ratio,
                        static_cast<double>(r.peakKb) / 1024.0);
        }
        std::printf(" |");
        for (const int count : sizes) std::printf(" %016llx", static_cast<unsigned long long>(table[name][count].sum));
        std::printf("\n");
    }
    std::printf("(best of 11 runs at 100,000, of 3 at 1,000,000; \"read\" is the best sequential read of the file\n"
                " (cat, ms) taken between that command's runs, and the ratio is against it; load average at end %.2f)\n",
                load[0]);
    return 0;
}
