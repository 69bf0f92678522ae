// Printing from the window: "Als PDF speichern…" on each report page writes
// the PDF that saldorama-cli --pdf writes for the same folder (same text,
// same pages), on A4, with every line of the report in it.
#include <QBuffer>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QListWidget>
#include <QPdfWriter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "bookings/bookings_file.h"
#include "print/report_printer.h"
#include "reports/textbook_form.h"
#include "ui/print_actions.h"
#include "ui/ui_test_support.h"

using namespace saldorama;
using namespace saldorama::ui;
using saldorama::ui::test::Ui;

namespace {

QString run(const QString& program, const QStringList& args, int* status = nullptr) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    if (status) *status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdf_text(const QString& pdf) { return run(QStringLiteral("pdftotext"), {"-layout", pdf, "-"}); }
QString pdf_info(const QString& pdf) { return run(QStringLiteral("pdfinfo"), {pdf}); }

// Blanks collapsed: the text layer keeps words and their order, not every blank.
QString simplified(const QString& line) { return line.simplified(); }

bool text_has_line(const QString& text, const QString& line) {
    const QString wanted = simplified(line);
    if (wanted.isEmpty()) return true;
    for (const QString& l : text.split(QLatin1Char('\n')))
        if (simplified(l).contains(wanted)) return true;
    return false;
}

BookingRecord booking(int number, const char* date, const char* reason,
                      std::vector<std::tuple<const char*, double, double>> lines) {
    BookingRecord r;
    r.number = number;
    r.date = date;
    r.person = "Kunde";
    r.reason = reason;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        r.account[i] = cp(std::get<0>(lines[i]));
        r.debit[i] = std::get<1>(lines[i]);
        r.credit[i] = std::get<2>(lines[i]);
    }
    return r;
}


// Whether the segment meets the rectangle (Liang-Barsky clipping).
bool segment_meets(const QLineF& s, const QRectF& r) {
    double t0 = 0, t1 = 1;
    const double dx = s.dx(), dy = s.dy();
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {s.x1() - r.left(), r.right() - s.x1(), s.y1() - r.top(), r.bottom() - s.y1()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

// Every rule of `lines` laid out by `g` against the inked box of every word
// as the painter sets the text; the rules too close, named for the message.
QStringList rules_touching_text(const print::PageGeometry& g, const QFontMetricsF& m,
                                const std::vector<PrintLine>& lines) {
    std::vector<std::pair<QRectF, QString>> words;
    std::vector<QLineF> rules;
    double y = g.top;
    for (const PrintLine& line : lines) {
        const print::LineShapes shapes = print_line_shapes(g.line, line, y);
        rules.insert(rules.end(), shapes.rules.begin(), shapes.rules.end());
        const QString text = qs(line.text);
        for (qsizetype b = 0; b < text.size();) {
            if (text[b] == QLatin1Char(' ')) {
                ++b;
                continue;
            }
            qsizetype e = b;
            while (e < text.size() && text[e] != QLatin1Char(' ')) ++e;
            const QString word = text.mid(b, e - b);
            const QPointF at(shapes.baseline.x() + m.horizontalAdvance(text.left(b)), shapes.baseline.y());
            words.emplace_back(m.tightBoundingRect(word).translated(at), word);
            b = e;
        }
        y += g.line.lineHeight;
    }
    // The rule's half width: its edge must stay off the ink.
    QStringList touches;
    const double clear = 0.5 * g.line.pen;
    for (const QLineF& rule : rules)
        for (const auto& [box, word] : words)
            if (segment_meets(rule, box.adjusted(-clear, -clear, clear, clear)))
                touches << QStringLiteral("%1 at (%2,%3)-(%4,%5)")
                               .arg(word).arg(rule.x1()).arg(rule.y1()).arg(rule.x2()).arg(rule.y2());
    return touches;
}

TForm t_form(std::vector<TEntry> left, std::vector<TEntry> right) {
    TForm form{"Bilanz zum 31.12.2026", "Aktiva", "Passiva", std::move(left), std::move(right), 0, 0};
    for (const auto& e : form.left) form.leftSum += e.amount;
    for (const auto& e : form.right) form.rightSum += e.amount;
    return form;
}

} // namespace

class PrintTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setup_application();
        qputenv("SALDORAMA_DRUCKDATUM", "24.12.2026");
    }

    void init() {
        ui_ = std::make_unique<Ui>();
        ui_->writeSettings(0);
        bookings_create_if_missing();
        // Profit 400: assets 1200 + 200 against equity 1000; rent 300 against sales 700.
        bookings_append(booking(0, "02.01.2026", "Einlage", {{"Kasse", 1000, 0}, {"Eigenkapital", 0, 1000}}));
        bookings_append(booking(1, "05.01.2026", "Miete", {{"Mietaufwand", 300, 0}, {"Kasse", 0, 300}}));
        bookings_append(booking(2, "09.01.2026", "Verkauf",
                                {{"Kasse", 500, 0}, {"Bank", 200, 0}, {"Umsatzerlöse", 0, 700}}));
        // Enough journal lines for a second page.
        for (int n = 3; n < 63; ++n)
            bookings_append(booking(n, "10.01.2026", "Barverkauf", {{"Kasse", 1, 0}, {"Umsatzerlöse", 0, 1}}));
        ui_->start();
    }
    void cleanup() { ui_.reset(); }

    void windowAndCliWriteTheSamePdf_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("textbook");
        QTest::addColumn<QStringList>("cli");
        QTest::newRow("bilanz") << "SpeedButton4" << false << QStringList{"bilanz"};
        QTest::newRow("bilanz lehrbuch") << "SpeedButton4" << true << QStringList{"bilanz", "--lehrbuch"};
        QTest::newRow("betriebsergebnis") << "SpeedButton1" << false << QStringList{"betriebsergebnis"};
        QTest::newRow("journal") << "SpeedButton5" << false << QStringList{"journal"};
        QTest::newRow("konto") << "SpeedButton6" << false << QStringList{"konto", "Kasse"};
        QTest::newRow("konto lehrbuch") << "SpeedButton6" << true << QStringList{"konto", "Kasse", "--lehrbuch"};
    }

    void windowAndCliWriteTheSamePdf() {
        QFETCH(QString, button);
        QFETCH(bool, textbook);
        QFETCH(QStringList, cli);
        ui_->click(button.toLatin1().constData());
        if (cli.front() == QLatin1String("konto")) {
            auto* list = ui_->widget<QListWidget>("ListBox1");
            list->setCurrentItem(list->findItems(QStringLiteral("2880 Kasse"), Qt::MatchExactly).value(0));
        }
        PageView* page = ui_->window->shownPageView();
        if (textbook) page->findChild<QCheckBox*>(QStringLiteral("TextbookBox"))->setChecked(true);

        const QString windowPdf = ui_->file("fenster.pdf");
        ui_->fileAnswers.push_back(windowPdf);
        QTest::mouseClick(page->findChild<QPushButton*>(QStringLiteral("PdfButton")), Qt::LeftButton);
        QVERIFY2(ui_->boxesOf(BoxCall::Kind::Failure).empty(), "no failure box");

        const QString cliPdf = ui_->file("cli.pdf");
        int status = -1;
        const QString out = run(QStringLiteral(SALDORAMA_CLI),
                                QStringList{"-C", ui_->file("")} + cli + QStringList{"--pdf", cliPdf}, &status);
        QCOMPARE(status, 0);
        QCOMPARE(out, QString());

        const QString text = pdf_text(windowPdf);
        QCOMPARE(pdf_text(cliPdf), text);
        static const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
        const QString info = pdf_info(windowPdf);
        QCOMPARE(pages.match(pdf_info(cliPdf)).captured(1), pages.match(info).captured(1));
        QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));
        QVERIFY(text.contains(QStringLiteral("Gedruckt am 24.12.2026")));

        // Every line the page shows is in the print.
        std::vector<std::string> shown;
        if (button == QLatin1String("SpeedButton4")) shown = ui_->form->balance.Memo1.lines;
        if (button == QLatin1String("SpeedButton1")) shown = ui_->form->operating.Memo4.lines;
        if (button == QLatin1String("SpeedButton5")) shown = ui_->form->journal.Memo2.lines;
        if (button == QLatin1String("SpeedButton6")) {
            const StringGrid& grid = ui_->form->accountSheet.StringGrid3;
            for (int row = 0; row < grid.rowCount(); ++row) {
                shown.push_back(grid.cell(0, row));
                shown.push_back(grid.cell(2, row));
            }
        }
        if (!textbook)
            for (const auto& line : shown) QVERIFY2(text_has_line(text, qs(line)), qPrintable(qs(line)));

        const int pageCount = pages.match(info).captured(1).toInt();
        QCOMPARE(text.count(QLatin1Char('\f')), pageCount);
        QVERIFY(text.contains(QStringLiteral("Seite %1 von %1").arg(pageCount)));
        if (cli.front() == QLatin1String("journal")) {
            QCOMPARE(pageCount, 2);
            // The column heading stands on top of every page.
            for (const QString& p : text.split(QLatin1Char('\f'), Qt::SkipEmptyParts))
                QVERIFY(simplified(p.split(QLatin1Char('\n')).value(2)).startsWith(QStringLiteral("Nr. Datum Konto")));
        }
        if (textbook && cli.front() == QLatin1String("bilanz")) {
            QVERIFY(text.contains(QStringLiteral("Bilanz zum 31.12.2026")));
            // Equal sums: 1460 on both sides of the balance sheet, 760 of the P&L.
            QVERIFY(text_has_line(text, QStringLiteral("1460,00 1460,00")));
            QVERIFY(text_has_line(text, QStringLiteral("Eigenkapital 1000,00")));
            QVERIFY(text_has_line(text, QStringLiteral("Gewinn 460,00")));
            QVERIFY(text_has_line(text, QStringLiteral("760,00 760,00")));
        }
        if (textbook && cli.front() == QLatin1String("konto")) {
            QVERIFY(text_has_line(text, QStringLiteral("02.01.2026 Eigenkapital 1000,00 05.01.2026 Mietaufwand 300,00")));
            QVERIFY(text_has_line(text, QStringLiteral("1560,00 1560,00")));
        }
    }

    void dataFilesOfTheWorkingFolderAreNeverOverwritten() {
        ui_->click("SpeedButton4");
        const std::string before = ui_->read("buchungen.dat");
        ui_->fileAnswers.push_back(ui_->file("Buchungen.DAT"));
        QTest::mouseClick(ui_->window->shownPageView()->findChild<QPushButton*>(QStringLiteral("PdfButton")),
                          Qt::LeftButton);
        const auto failures = ui_->boxesOf(BoxCall::Kind::Failure);
        QCOMPARE(failures.size(), std::size_t{1});
        QVERIFY2(failures.front().text.contains(QStringLiteral("wird nicht überschrieben")),
                 qPrintable(failures.front().text));
        QCOMPARE(ui_->read("buchungen.dat"), before);
        QVERIFY(!QFile::exists(ui_->file("Buchungen.DAT")));
    }

    void aLongJournalPaintsWhileTheWindowLivesAndCancelLeavesNoFile() {
        for (int n = 63; n < 3000; ++n)
            bookings_append(booking(n, "11.01.2026", "Barverkauf", {{"Kasse", 2, 0}, {"Umsatzerlöse", 0, 2}}));
        ui_->click("SpeedButton5");
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(5);
        // "Abbrechen" in the progress box once the first page is done.
        int pagesWhenCancelled = 0;
        QTimer canceller;
        QObject::connect(&canceller, &QTimer::timeout, [&] {
            auto* box = ui_->window->findChild<QProgressDialog*>();
            if (!box || box->maximum() == 0 || pagesWhenCancelled) return;
            pagesWhenCancelled = box->maximum();
            box->cancel();
        });
        canceller.start(1);
        const QString target = ui_->file("journal.pdf");
        const bool saved = save_report_pdf(*ui_->window, PrintedReport::Journal, false, target);
        QVERIFY(!saved);
        QVERIFY2(ticks >= 2, "the window's event loop ran while the pages were painted");
        QVERIFY(pagesWhenCancelled > 50);
        QVERIFY(!QFile::exists(target));
        const QStringList left = QDir(ui_->file("")).entryList({QStringLiteral("journal.pdf*")}, QDir::Files);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
        QVERIFY(ui_->boxesOf(BoxCall::Kind::Failure).empty());
    }

    void everyReportPageCanPrintAndOnlyTwoHaveTheTextbookForm() {
        for (const auto& [button, textbook] : {std::pair{"SpeedButton4", true}, std::pair{"SpeedButton1", false},
                                               std::pair{"SpeedButton5", false}, std::pair{"SpeedButton6", true}}) {
            ui_->click(button);
            PageView* page = ui_->window->shownPageView();
            QVERIFY2(page->findChild<QPushButton*>(QStringLiteral("PrintButton")), button);
            QVERIFY2(page->findChild<QPushButton*>(QStringLiteral("PdfButton")), button);
            QCOMPARE(page->findChild<QCheckBox*>(QStringLiteral("TextbookBox")) != nullptr, textbook);
            // The preview makes the pages without a failure.
            auto* preview = page->findChild<QPushButton*>(QStringLiteral("PreviewButton"));
            QVERIFY2(preview, button);
            preview->click();
            QVERIFY(ui_->boxesOf(BoxCall::Kind::Failure).empty());
        }
    }

    // No bar, sum rule or diagonal touches a word, in print (at the largest
    // and the smallest size) and on the page's textbook form: long amounts,
    // either side shorter, dated entries, a side with no entry at all.
    void noRuleTouchesTheText() {
        const std::vector<std::pair<const char*, std::vector<PrintLine>>> cases = {
            {"equal sides, long amounts",
             textbook_lines(t_form({{"", cp("Grundstücke und Gebäude"), 10000000}, {"", "Kasse", 1}},
                                   {{"", "Eigenkapital", 9999999}, {"", "Darlehen", 2}}))},
            {"left shorter",
             textbook_lines(t_form({{"", cp("Ölvorräte"), 10000000}},
                                   {{"", "Eigenkapital", 9000000}, {"", "Darlehen", 999999.99}, {"", "Bank", 0.01}}))},
            {"right shorter, negative amount",
             textbook_lines(t_form({{"", "Kasse", 1234567.89}, {"", "Bank", -1234.5}, {"", "Waren", 1}, {"", "Forderungen", 2}},
                                   {{"", "Eigenkapital", 1233336.39}}))},
            {"dated entries, names cut",
             textbook_lines(t_form({{"02.01.2026", "Eigenkapital", 10000000}, {"05.01.2026", "Diverse", 0.5}},
                                   {{"09.01.2026", std::string(40, 'g') + "y", 88888888.88}}))},
            {"one side empty", textbook_lines(t_form({{"02.01.2026", "Bank", 7}, {"03.01.2026", "Bank", 8}}, {}))},
            {"the books of the window", print_job(*ui_->form, PrintedReport::Balance, true, {}).lines},
            {"the account sheet",
             account_sheet_print_lines("Konto: Kasse",
                                       {"Nr. Datum      Gegenkonto      Betrag", "1   02.01.2026 Eigenkapital  1000,00"},
                                       {"Nr. Datum      Gegenkonto      Betrag", "2   05.01.2026 Mietaufwand    300,00"})},
        };
        ui_->click("SpeedButton4");
        ui_->window->shownPageView()->findChild<QCheckBox*>(QStringLiteral("TextbookBox"))->setChecked(true);
        auto* screen = ui_->window->findChild<QWidget*>(QStringLiteral("TextbookView"));
        QVERIFY(screen);
        for (const auto& [name, lines] : cases) {
            QVERIFY2(std::any_of(lines.begin(), lines.end(), [](const PrintLine& l) { return l.tBar >= 0; }), name);
            // The widest line of a job sets the print's size: alone, and
            // beside a line that brings it down to the smallest size.
            for (const bool crowded : {false, true}) {
                PrintJob job{"Firma", "Bilanz", "24.12.2026", lines, 0};
                if (crowded) job.lines.push_back(print_line(std::string(400, '0')));
                QBuffer buffer;
                buffer.open(QIODevice::WriteOnly);
                QPdfWriter writer(&buffer);
                print::prepare_page(writer);
                writer.setResolution(600);
                const print::PageGeometry g = print::page_geometry(writer, job);
                const QStringList touches = rules_touching_text(g, QFontMetricsF(g.font, &writer), lines);
                QVERIFY2(touches.isEmpty(), qPrintable(QStringLiteral("%1, print: ").arg(QLatin1String(name)) +
                                                       touches.join(QStringLiteral("; "))));
            }
            const print::PageGeometry g = print::screen_geometry(screen->font(), *screen);
            const QStringList touches = rules_touching_text(g, QFontMetricsF(screen->font(), screen), lines);
            QVERIFY2(touches.isEmpty(), qPrintable(QStringLiteral("%1, screen: ").arg(QLatin1String(name)) +
                                                   touches.join(QStringLiteral("; "))));
        }
    }

private:
    std::unique_ptr<Ui> ui_;
};

QTEST_MAIN(PrintTest)
#include "print_test.moc"
