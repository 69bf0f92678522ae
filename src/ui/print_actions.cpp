#include "ui/print_actions.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QPrintPreviewDialog>
#include <QShortcut>
#include <QTimer>
#include <atomic>
#include <exception>
#include <functional>
#include <thread>

#include "base/cp1252.h"
#include "print/report_printer.h"
#include "ui/main_window.h"
#include "ui/qt_dialogs.h"
#include "ui/ui_text.h"

namespace saldorama::ui {

namespace {

// Runs `paint` on a second thread. Meanwhile a progress box (after a short
// while) shows the pages done and offers "Abbrechen". Returns whether the
// painting ran to its end (a cancel that comes too late changes nothing); a
// failure of it is thrown again here.
bool paint_with_progress(MainWindow& window, const std::function<bool(const print::PageProgress&)>& paint) {
    std::atomic<int> done{0};
    std::atomic<int> pages{0};
    std::atomic<bool> cancelled{false};
    std::atomic<bool> finished{false};
    bool completed = false;
    std::exception_ptr error;

    QProgressDialog box(QStringLiteral("Seiten werden gesetzt …"), QStringLiteral("Abbrechen"), 0, 0, &window);
    box.setWindowTitle(QString::fromLatin1(kAppTitle));
    box.setWindowModality(Qt::WindowModal);
    box.setMinimumDuration(400);
    box.setAutoClose(false);
    box.setAutoReset(false);
    QObject::connect(&box, &QProgressDialog::canceled, [&] { cancelled = true; });

    std::thread worker([&] {
        try {
            completed = paint([&](int n, int total) {
                done = n;
                pages = total;
                return !cancelled.load();
            });
        } catch (...) {
            error = std::current_exception();
        }
        finished = true;
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (box.wasCanceled()) cancelled = true;  // also Esc and closing the box
        if (pages > 0) {
            box.setMaximum(pages);
            box.setValue(done);
            box.setLabelText(QStringLiteral("Seite %1 von %2 …").arg(done.load()).arg(pages.load()));
        }
        if (finished) loop.quit();
    });
    poll.start(50);
    if (!finished) loop.exec();
    worker.join();
    box.close();
    if (error) std::rethrow_exception(error);
    return completed;
}

std::string working_directory(MainWindow& window) {
    const std::string& dir = window.form().state.startDirectory;
    return dir.empty() ? std::string(".") : dir;
}

bool save_pdf(MainWindow& window, PrintedReport report, bool textbook, const std::string& path) {
    bool written = false;
    window.run([&] {
        const PrintJob job = print_job(window.form(), report, textbook, print::print_date());
        const std::string dir = working_directory(window);
        written = paint_with_progress(window, [&](const print::PageProgress& progress) {
            return print::write_pdf(path, dir, job, progress);
        });
    });
    return written;
}

void ask_and_save(MainWindow& window, PrintedReport report, bool textbook) {
    FileDialogSpec request;
    request.title = "Als PDF speichern";
    request.fileName = working_directory(window) + "/" + cp1252_to_utf8(suggested_pdf_name(window.form(), report));
    request.filterName = "PDF-Dateien (*.pdf)";
    request.pattern = "*.pdf";
    request.defaultExtension = "pdf";
    const auto path = window.form().dialogs.saveFile(request);
    if (path) save_pdf(window, report, textbook, *path);
}

void ask_and_print(MainWindow& window, PrintedReport report, bool textbook) {
    QPrinter printer(QPrinter::HighResolution);
    print::prepare_page(printer);
    printer.setFullPage(true);
    printer.setDocName(qs(suggested_pdf_name(window.form(), report)));
    QPrintDialog dialog(&printer, &window);
    dialog.setWindowTitle(QStringLiteral("Drucken"));
    if (dialog.exec() != QDialog::Accepted) return;
    window.run([&] {
        const PrintJob job = print_job(window.form(), report, textbook, print::print_date());
        paint_with_progress(window, [&](const print::PageProgress& progress) {
            return print::paint_job(printer, job, [&](int done, int pages) {
                if (progress(done, pages)) return true;
                printer.abort();  // nothing reaches the printer
                return false;
            });
        });
    });
}

// The pages as they will be printed; printing starts from the preview.
void show_preview(MainWindow& window, PrintedReport report, bool textbook) {
    PrintJob job;
    bool made = false;
    window.run([&] {
        job = print_job(window.form(), report, textbook, print::print_date());
        made = true;
    });
    if (!made) return;
    QPrinter printer(QPrinter::HighResolution);
    print::prepare_page(printer);
    printer.setFullPage(true);
    printer.setDocName(qs(suggested_pdf_name(window.form(), report)));
    QPrintPreviewDialog dialog(&printer, &window);
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    dialog.setWindowTitle(QStringLiteral("Druckvorschau"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&job](QPrinter* target) { print::paint_job(*target, job); });
    if (QtDialogs::hooked()) {
        // Tests: the pages are made, no window stays open.
        QTimer::singleShot(0, &dialog, &QDialog::reject);
    }
    dialog.exec();
}

} // namespace

QWidget* make_print_bar(MainWindow& window, QWidget* parent, PrintedReport report, QBoxLayout::Direction direction) {
    auto* bar = new QWidget(parent);
    bar->setObjectName(QStringLiteral("PrintBar"));
    auto* layout = new QBoxLayout(direction, bar);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(4);
    auto* printButton = new QPushButton(QStringLiteral("Drucken…"), bar);
    printButton->setObjectName(QStringLiteral("PrintButton"));
    printButton->setToolTip(QStringLiteral("Druckt den Bericht (Strg+P)"));
    auto* previewButton = new QPushButton(QStringLiteral("Vorschau…"), bar);
    previewButton->setObjectName(QStringLiteral("PreviewButton"));
    previewButton->setToolTip(QStringLiteral("Zeigt die Seiten, wie sie gedruckt werden"));
    auto* pdfButton = new QPushButton(QStringLiteral("Als PDF speichern…"), bar);
    pdfButton->setObjectName(QStringLiteral("PdfButton"));
    QCheckBox* textbook = nullptr;
    layout->addWidget(previewButton);
    layout->addWidget(printButton);
    layout->addWidget(pdfButton);
    if (has_textbook_form(report)) {
        textbook = new QCheckBox(QStringLiteral("Lehrbuchform"), bar);
        textbook->setObjectName(QStringLiteral("TextbookBox"));
        textbook->setToolTip(QStringLiteral("Druckt in T-Form wie im Lehrbuch"));
        layout->addWidget(textbook);
    }
    layout->addStretch(1);
    // Reached with Tab, but a click leaves the focus where it was.
    for (QPushButton* b : {previewButton, printButton, pdfButton}) b->setFocusPolicy(Qt::TabFocus);

    const auto chosen = [textbook] { return textbook && textbook->isChecked(); };
    QObject::connect(printButton, &QPushButton::clicked, bar,
                     [&window, report, chosen] { ask_and_print(window, report, chosen()); });
    QObject::connect(previewButton, &QPushButton::clicked, bar,
                     [&window, report, chosen] { show_preview(window, report, chosen()); });
    QObject::connect(pdfButton, &QPushButton::clicked, bar,
                     [&window, report, chosen] { ask_and_save(window, report, chosen()); });
    // Only the shown page's shortcut is live: the others are hidden.
    auto* shortcut = new QShortcut(QKeySequence::Print, bar);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, printButton, &QPushButton::click);
    return bar;
}

bool save_report_pdf(MainWindow& window, PrintedReport report, bool textbook, const QString& path) {
    return save_pdf(window, report, textbook, QFile::encodeName(path).toStdString());
}

} // namespace saldorama::ui
