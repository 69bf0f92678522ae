// Times printing the journal of 100,000 bookings (200,000 lines) to PDF:
// building the print job from the page's lines, laying out the pages and
// painting them into the file, as "Als PDF speichern…" and
// saldorama-cli journal --pdf do.
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "print/report_printer.h"
#include "reports/journal_report.h"
#include "reports/print_layout.h"

namespace fs = std::filesystem;
using namespace saldorama;

namespace {

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::vector<BookingRecord> make_bookings(int count) {
    std::vector<BookingRecord> bookings;
    bookings.reserve(static_cast<std::size_t>(count));
    for (int n = 0; n < count; ++n) {
        BookingRecord r;
        r.number = n;
        r.date = "15.03.2026";
        r.person = "Kunde " + std::to_string(n % 997);
        r.reason = "Rechnung " + std::to_string(10000 + n);
        r.account[0] = n % 2 ? "Kasse" : "Bank";
        r.debit[0] = 10 + n % 1000;
        r.account[1] = "Umsatzerl\xF6se";
        r.credit[1] = 10 + n % 1000;
        bookings.push_back(r);
    }
    return bookings;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int count = 100000;
    const std::vector<std::string> journal = journal_report(make_bookings(count));

    auto start = std::chrono::steady_clock::now();
    PrintJob job;
    job.company = "Muster GmbH";
    job.reportName = "Journal";
    job.printDate = "24.12.2026";
    job.lines = journal_print_lines(journal);
    job.repeatedLines = 1;
    const double buildTime = seconds_since(start);

    const fs::path path = fs::temp_directory_path() / "saldorama_print_bench.pdf";
    int pages = 0;
    double firstPage = 0;
    start = std::chrono::steady_clock::now();
    print::write_pdf(path.string(), fs::temp_directory_path().string(), job, [&](int done, int total) {
        if (done == 1) firstPage = seconds_since(start);
        pages = total;
        return true;
    });
    const double writeTime = seconds_since(start);
    const auto size = fs::file_size(path);
    fs::remove(path);

    std::printf("journal of %d bookings: %zu lines, %d pages\n", count, job.lines.size(), pages);
    std::printf("  print job from the page's lines  %8.3f s\n", buildTime);
    std::printf("  layout and first page            %8.3f s\n", firstPage);
    std::printf("  all pages painted and written    %8.3f s  (%.1f ms a page, %.1f MB)\n", writeTime,
                1000 * writeTime / std::max(pages, 1), static_cast<double>(size) / 1e6);
    return 0;
}
