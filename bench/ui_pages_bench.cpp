// Timing program for the report pages of the window, widget fill included:
// journal, balance sheet, operating result and one T-account, with 10,000,
// 100,000 and 1,000,000 bookings on a chart of 99 accounts. Runs offscreen;
// prints milliseconds, and the resident memory with the journal on show.
// Not a test.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "base/cp1252.h"
#include "base/file.h"
#include "bookings/bookings_file.h"
#include "form/tform1.h"
#include "ui/main_window.h"
#include "ui/qt_dialogs.h"
#include "ui/ui_text.h"

using namespace saldorama;

namespace {

void write_lines(const std::string& name, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& line : lines) bytes += line + "\r\n";
    write_file_atomic(name, bytes);
}

// 99 accounts: assets, liabilities, expenses (operating and neutral), income.
std::vector<std::string> chart() {
    std::vector<std::string> lines;
    for (int i = 0; i < 30; ++i) lines.push_back("Aktivkonto " + std::to_string(i) + "<B> A  B");
    for (int i = 0; i < 20; ++i) lines.push_back("Passivkonto " + std::to_string(i) + "<B> P  B");
    lines.push_back(cp("Eröffnungsbilanzkonto<B> P  B"));
    for (int i = 0; i < 28; ++i) lines.push_back("Aufwand " + std::to_string(i) + (i % 4 ? "<G> S  B" : "<G> S  N"));
    for (int i = 0; i < 20; ++i) lines.push_back("Ertrag " + std::to_string(i) + (i % 4 ? "<G> H  B" : "<G> H  N"));
    return lines;
}

void write_bookings(int count) {
    std::vector<BookingRecord> records;
    records.reserve(static_cast<std::size_t>(count));
    const auto accounts = chart();
    auto name = [&](int i) { return accounts[static_cast<std::size_t>(i)].substr(0, accounts[static_cast<std::size_t>(i)].find('<')); };
    for (int n = 0; n < count; ++n) {
        BookingRecord r;
        r.number = n;
        r.date = "15.03.2026";
        r.person = "Kunde " + std::to_string(n % 50);
        r.reason = "Vorgang " + std::to_string(n);
        r.account[0] = name(n % 99);
        r.debit[0] = 10.0 + n % 1000;
        r.account[1] = name((n * 7 + 3) % 99);
        r.credit[1] = 10.0 + n % 1000;
        records.push_back(std::move(r));
    }
    bookings_replace_all(records);
}

// Counts the paint events of a widget, to prove that a timing includes the
// first painting of what was filled (layout and text conversion can be lazy).
class PaintCounter : public QObject {
public:
    using QObject::QObject;
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// Resident memory of this process in MB (Linux), 0 where unknown.
double resident_mb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    if (!(statm >> pages >> resident)) return 0;
    return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

double time_ms(const std::function<void()>& step) {
    QElapsedTimer timer;
    timer.start();
    step();
    QApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void bench(int bookings) {
    write_bookings(bookings);
    ui::QtDialogs dialogs;
    TForm1 form(dialogs);
    ui::MainWindow window(form);
    window.startUp();
    window.show();
    QApplication::processEvents();
    auto click = [&](const char* name) {
        window.findChild<QToolButton*>(QString::fromLatin1(name))->click();
        // Posted layouts run, then the memo paints what is on show.
        QApplication::processEvents();
        window.repaint();
    };
    const std::tuple<const char*, const char*, const char*> pages[] = {{"SpeedButton5", "Journal", "Memo2"},
                                                                       {"SpeedButton4", "Bilanz und GuV", "Memo1"},
                                                                       {"SpeedButton1", "Betriebsergebnis", "Memo4"}};
    for (const auto& [button, title, memo] : pages) {
        click("SpeedButton3");  // another page first: showing the shown page rebuilds nothing
        auto* area = window.findChild<QAbstractScrollArea*>(QString::fromLatin1(memo));
        PaintCounter counter;
        area->viewport()->installEventFilter(&counter);
        const double ms = time_ms([&] { click(button); });
        area->viewport()->removeEventFilter(&counter);
        std::printf("%7d Buchungen  %-18s %9.1f ms%s\n", bookings, title, ms,
                    counter.paints > 0 ? "" : "  (memo not painted!)");
        if (std::string(memo) == "Memo2")
            std::printf("%7d Buchungen  %-18s %9.0f MB resident, %zu lines\n", bookings, "Journal (Speicher)",
                        resident_mb(), form.journal.Memo2.lines.size());
    }
    // The same journal without the window, to tell report from widget time.
    std::printf("%7d Buchungen  %-18s %9.1f ms\n", bookings, "Journal (Bericht)",
                time_ms([&] { form.run([&] { form.journal.TabSheet6Show(); }); }));
    // Only the widget: the journal on show gets one more line and is shown again.
    click("SpeedButton5");
    std::printf("%7d Buchungen  %-18s %9.1f ms\n", bookings, "Journal (Anzeige)", time_ms([&] {
                    form.journal.Memo2.lines.push_back("Zeile");
                    window.refresh();
                    QApplication::processEvents();
                    window.repaint();
                }));
    click("SpeedButton6");
    auto* list = window.findChild<QListWidget*>(QStringLiteral("ListBox1"));
    std::printf("%7d Buchungen  %-18s %9.1f ms\n", bookings, "Kontenblatt",
                time_ms([&] {
                    list->setCurrentRow(0);
                    window.repaint();
                }));
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::setup_application();
    ui::QtDialogs::setHook([](const ui::BoxCall& call) {
        std::fprintf(stderr, "Meldung: %s\n", call.text.toUtf8().constData());
        return ui::BoxAnswer{};
    });
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    write_lines("Kontenplan1.txt", chart());
    write_lines("einstellungen.txt", {"Muster GmbH", "Hauptstr. 1", "12345 Musterstadt", "4711", "10000000",
                                      "Musterbank", "Anna Buch", "Bert Chef", "true", "19", "false", "false", "2026",
                                      "Einfach", "Umfangreicher", "Handel", "Industrie", "0"});
    for (int n = 1; n <= 8; ++n) write_lines("Aufgabe" + std::to_string(n) + ".txt", {"Aufgabe " + std::to_string(n)});
    write_lines("Wichtiger Hinweis.rtf", {"{\\rtf1\\ansi Hinweis\\par}"});
    for (int count : {10000, 100000, 1000000}) bench(count);
    QDir::setCurrent(previous);
    return 0;
}
