// The report pages put the lines of their memo on show, in a fixed-pitch
// font; the T-account page builds the chosen account's sheet.
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

#include "bookings/bookings_file.h"
#include "ui/ui_test_support.h"

using namespace saldorama;
using namespace saldorama::ui;
using saldorama::ui::test::Ui;

namespace {

QStringList shownLines(const std::vector<std::string>& lines) {
    QStringList out;
    for (const auto& l : lines) out << qs(l);
    return out;
}

} // namespace

class ReportPagesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setup_application(); }

    void init() {
        ui_ = std::make_unique<Ui>();
        ui_->writeLines("Kontenplan1.txt", {"Kasse<B> A  B", "Bank<B> A  B", "Eigenkapital<B> P  B",
                                            "Mieten<G> S  B", "Zinsertrag<G> H  N"});
        ui_->writeSettings(0);
        BookingRecord r;
        r.date = "01.02.2026";
        r.person = "Vermieter";
        r.reason = "Miete Februar";
        r.account[0] = "Mieten";
        r.debit[0] = 300;
        r.account[1] = "Kasse";
        r.credit[1] = 300;
        bookings_create_if_missing();
        bookings_append(r);
        r.number = 1;
        r.reason = "Einlage";
        r.account[0] = "Kasse";
        r.debit[0] = 1000;
        r.account[1] = "Eigenkapital";
        r.credit[1] = 1000;
        bookings_append(r);
        ui_->start();
    }
    void cleanup() { ui_.reset(); }

    void reportMemosShowTheReportLines() {
        const std::tuple<const char*, const char*, const Memo*, bool, int> pages[] = {
            {"SpeedButton5", "Memo2", &ui_->form->journal.Memo2, false, 13},
            {"SpeedButton4", "Memo1", &ui_->form->balance.Memo1, true, 16},
            {"SpeedButton1", "Memo4", &ui_->form->operating.Memo4, true, 16},
        };
        for (const auto& [button, name, memo, bold, pixels] : pages) {
            ui_->click(button);
            auto* view = ui_->widget<QPlainTextEdit>(name);
            QVERIFY2(memo->lines.size() > 2, name);
            QCOMPARE(view->toPlainText().split(QLatin1Char('\n')), shownLines(memo->lines));
            QVERIFY(view->isReadOnly());
            QCOMPARE(view->lineWrapMode(), QPlainTextEdit::NoWrap);
            QVERIFY(QFontInfo(view->font()).fixedPitch());
            QCOMPARE(view->font().bold(), bold);
            QCOMPARE(view->font().pixelSize(), pixels);
        }
        QVERIFY(ui_->widget<QPlainTextEdit>("Memo2")->toPlainText().contains(QStringLiteral("Miete Februar")) ||
                ui_->widget<QPlainTextEdit>("Memo2")->toPlainText().contains(QStringLiteral("Vermieter")));
        QVERIFY(ui_->boxesOf(BoxCall::Kind::Failure).empty());
    }

    void choosingAnAccountBuildsItsSheet() {
        ui_->click("SpeedButton6");
        auto* list = ui_->widget<QListWidget>("ListBox1");
        QCOMPARE(list->count(), 5);
        list->setCurrentRow(0);  // Kasse
        QCOMPARE(ui_->widget<QLabel>("Label51")->text(), QStringLiteral("Konto: Kasse"));
        auto* grid = ui_->widget<QTableView>("StringGrid3");
        const StringGrid& sheet = ui_->form->accountSheet.StringGrid3;
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), qs(sheet.cell(0, 0)));
        QVERIFY(grid->model()->headerData(0, Qt::Horizontal).toString().startsWith(QStringLiteral("Nr.")));
        QCOMPARE(grid->model()->index(0, 0).data().toString(), qs(sheet.cell(0, 1)));
        QCOMPARE(grid->model()->index(0, 2).data().toString(), qs(sheet.cell(2, 1)));
        QVERIFY(grid->model()->index(0, 0).data().toString().contains(QStringLiteral("1000,00")));
        QCOMPARE(grid->model()->rowCount(), sheet.rowCount() - 1);
        QVERIFY(!grid->showGrid());
        QCOMPARE(grid->horizontalHeader()->sectionSize(1), 3);
        // The black bars of the "T".
        QCOMPARE(ui_->widget<QWidget>("Panel6")->width(), 3);
        QCOMPARE(ui_->widget<QWidget>("Panel7")->height(), 3);
    }

private:
    std::unique_ptr<Ui> ui_;
};

QTEST_MAIN(ReportPagesTest)
#include "report_pages_test.moc"
