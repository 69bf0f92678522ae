// Times the check of a class: 30 learners' books of 1,000 bookings each
// against a solution of 1,000 expected bookings, stored amounts converted to
// cents included. Prints the time; asserts the points so that a wrong
// matching cannot pass as a fast one.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <filesystem>

#include "base/file.h"
#include "bookings/booking_record.h"
#include "checking/check_result.h"
#include "marking/learner_check.h"
#include "settings/backup.h"

using namespace saldorama;
using namespace saldorama::checking;

namespace {

// The check's own names where the solution file's share them.
using checking::Cents;
using checking::Solution;

constexpr int kExpected = 1000;
constexpr int kLearners = 30;

std::string account(int k) { return "Konto " + std::to_string(k); }

// Up to five lines on 60 accounts that balance; amounts repeat now and then,
// as rents and wages do.
std::vector<BookingLine> random_booking(std::mt19937& rng) {
    const int lines = 2 + static_cast<int>(rng() % 4);
    const Cents total = 100 * (1 + static_cast<Cents>(rng() % 400));
    std::vector<BookingLine> out;
    Cents rest = total;
    for (int l = 0; l + 1 < lines; ++l) {
        const Cents part = l + 2 == lines ? rest : rest / 2;
        out.push_back({account(static_cast<int>(rng() % 60)), Side::Soll, part});
        rest -= part;
    }
    out.push_back({account(static_cast<int>(rng() % 60)), Side::Haben, total});
    return out;
}

// Each expected booking a case of its own, as a solution file without "Fall:".
void one_case_each(Solution& solution) {
    for (std::size_t i = 0; i < solution.bookings.size(); ++i) {
        ExpectedCase k;
        k.label = "Buchung " + std::to_string(i + 1);
        k.exercise = solution.exercise;
        k.bookings = {i};
        k.effects = {normal_form(solution.bookings[i].lines)};
        k.parts = k.effects;
        solution.cases.push_back(std::move(k));
    }
}

BookingRecord record_of(int number, const std::vector<BookingLine>& lines) {
    BookingRecord r;
    r.number = number;
    r.date = "01.03.2026";
    for (std::size_t k = 0; k < lines.size() && k < kBookingLines; ++k) {
        r.account[k] = lines[k].account;
        const double amount = static_cast<double>(lines[k].cents) / 100.0;
        (lines[k].side == Side::Soll ? r.debit[k] : r.credit[k]) = amount;
    }
    return r;
}

// The solution booked with `mistakes` in every hundred bookings: swapped,
// wrong amount, wrong account, left out, or an extra booking.
std::vector<BookingRecord> learner_records(const Solution& solution, std::mt19937& rng, int mistakes) {
    std::vector<BookingRecord> out;
    for (const ExpectedBooking& e : solution.bookings) {
        std::vector<BookingLine> lines = e.lines;
        if (static_cast<int>(rng() % 100) < mistakes) {
            switch (rng() % 5) {
            case 0:
                for (BookingLine& l : lines) l.side = l.side == Side::Soll ? Side::Haben : Side::Soll;
                break;
            case 1:
                for (BookingLine& l : lines) l.cents *= 10;
                break;
            case 2:
                lines.back().account = "Falsches Konto";
                break;
            case 3:
                continue;
            default:
                out.push_back(record_of(static_cast<int>(out.size()), random_booking(rng)));
            }
        }
        out.push_back(record_of(static_cast<int>(out.size()), lines));
    }
    std::shuffle(out.begin(), out.end(), rng);
    return out;
}

double run(const char* label, int mistakes) {
    std::mt19937 rng(42);
    Solution solution{.exercise = 1, .chart = 1, .chartName = "", .bookings = {}, .cases = {}, .controls = {}};
    for (int i = 0; i < kExpected; ++i)
        solution.bookings.push_back({.number = i + 1, .exercise = 1, .lines = random_booking(rng), .date = "",
                                     .alternatives = {}, .explanation = ""});
    one_case_each(solution);
    std::vector<std::vector<BookingRecord>> classBooks;
    for (int l = 0; l < kLearners; ++l) classBooks.push_back(learner_records(solution, rng, mistakes));

    const auto start = std::chrono::steady_clock::now();
    long long points = 0;
    for (const auto& records : classBooks) {
        LearnerBooks learner{.chart = 1, .bookings = {}, .values = {}, .valuesOf = {}};
        for (const BookingRecord& r : records) learner.bookings.push_back(learner_booking(r));
        const CheckResult result = check(solution, learner);
        if (result.maxPoints != kExpected) std::abort();
        points += result.points;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-34s %7.3f s for %d learners (%.1f ms each), %.1f points on average\n", label, seconds,
                kLearners, 1000 * seconds / kLearners, static_cast<double>(points) / kLearners);
    if (mistakes == 0 && points != static_cast<long long>(kExpected) * kLearners) std::abort();
    return seconds;
}

// The class as a teacher checks it: 30 backup files written to a temporary
// folder with a chart of the 60 accounts, each read, parsed, its control
// values computed through the reports and checked. Asserts the points as
// run() does.
double run_backups(int mistakes) {
    std::mt19937 rng(7);
    ExpectedBooks expected;
    Solution& solution = expected.books;
    solution = {.exercise = 1, .chart = 1, .chartName = "", .bookings = {}, .cases = {}, .controls = {}};
    for (int i = 0; i < kExpected; ++i)
        solution.bookings.push_back({.number = i + 1, .exercise = 1, .lines = random_booking(rng), .date = "",
                                     .alternatives = {}, .explanation = ""});
    one_case_each(solution);

    std::string folder = (std::filesystem::temp_directory_path() / "saldorama-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) std::abort();
    const std::string previous = saldorama::current_directory();
    saldorama::change_directory(folder);
    std::string chart;
    for (int k = 0; k < 60; ++k) chart += account(k) + (k < 30 ? "<B> A  B\r\n" : "<G> S  B\r\n");
    write_file_atomic("Kontenplan1.txt", chart);
    std::vector<std::string> files;
    for (int l = 0; l < kLearners; ++l) {
        Backup backup;
        backup.company[6] = "Lernende " + std::to_string(l + 1);
        backup.chart = 1;
        backup.bookings = learner_records(solution, rng, mistakes);
        for (std::size_t i = 0; i < backup.bookings.size(); ++i) backup.bookings[i].number = static_cast<int>(i);
        files.push_back("schueler" + std::to_string(l + 1) + ".qrx");
        write_file_atomic(files.back(), backup_text(backup));
    }

    const auto start = std::chrono::steady_clock::now();
    long long points = 0;
    for (const std::string& file : files) {
        const BackupReading reading = read_backup(read_file(file));
        if (!reading.backup) std::abort();
        const Marked marked = mark(expected, learner_books(reading.backup->chart, reading.backup->bookings));
        points += marked.result.points;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-34s %7.3f s for %d backups (%.1f ms each), %.1f points on average\n",
                mistakes == 0 ? "backups read and checked, right" : "backups read and checked, 5 in 100",
                seconds, kLearners, 1000 * seconds / kLearners, static_cast<double>(points) / kLearners);
    saldorama::change_directory(previous);
    std::filesystem::remove_all(folder);
    if (mistakes == 0 && points != static_cast<long long>(kExpected) * kLearners) std::abort();
    return seconds;
}

} // namespace

int main() {
    std::printf("Check of %d learners x %d bookings against %d expected bookings\n", kLearners, kExpected, kExpected);
    run("all right", 0);
    run("5 mistakes in 100", 5);
    run("every booking wrong", 100);
    run_backups(0);
    run_backups(5);
    return 0;
}
