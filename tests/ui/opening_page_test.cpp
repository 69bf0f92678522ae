// The opening balance page: amounts typed into the grid are in the control
// at once, so "OK" books them without the cell being closed first.
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include "bookings/bookings_file.h"
#include "ui/ui_test_support.h"

using namespace saldorama;
using namespace saldorama::ui;
using saldorama::ui::test::Ui;

class OpeningPageTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setup_application(); }

    void typedAmountIsBookedByOk() {
        Ui ui;
        ui.writeLines("Kontenplan1.txt", {"Kasse<B> A  B", "Eigenkapital<B> P  B", cp("Eröffnungsbilanzkonto<B> P  B")});
        ui.writeSettings(0);
        ui.start();
        ui.click("SpeedButton2");
        QCOMPARE(ui.shownPage(), QStringLiteral("TabSheet3"));
        auto* grid = ui.widget<QTableView>("StringGrid2");
        const QModelIndex account = grid->model()->index(0, 0);
        const QModelIndex amount = grid->model()->index(0, 1);
        QVERIFY(!account.data().toString().isEmpty());
        QVERIFY(!(grid->model()->flags(account) & Qt::ItemIsEditable));
        QVERIFY(grid->model()->flags(amount) & Qt::ItemIsEditable);

        grid->setFocus();
        grid->setCurrentIndex(amount);
        grid->edit(amount);
        auto* editor = grid->findChild<QLineEdit*>();
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("500"));
        QCOMPARE(ui.form->opening.StringGrid2.cell(1, 1), std::string("500"));

        auto* date = ui.widget<QLineEdit>("Edit27");
        date->setText(QStringLiteral("01.01.2026"));
        QCOMPARE(ui.form->opening.Edit27.text, std::string("01.01.2026"));
        ui.answers = {true};
        ui.click("SpeedButton7");
        QCOMPARE(ui.boxesOf(BoxCall::Kind::Question).size(), std::size_t{1});
        QCOMPARE(ui.form->state.bookingCount, 1);
        const BookingRecord first = bookings_read(1);
        QCOMPARE(first.debit[0], 500.0);
        QCOMPARE(first.account[0], std::string("Kasse"));
    }

    // An amount with a misplaced dot refuses "OK" naming the account and
    // books nothing; thousands dots where they group are read.
    void unreadableCellRefusesOkAndDotsAreRead() {
        Ui ui;
        ui.writeLines("Kontenplan1.txt", {"Kasse<B> A  B", "Eigenkapital<B> P  B", cp("Eröffnungsbilanzkonto<B> P  B")});
        ui.writeSettings(0);
        ui.start();
        ui.click("SpeedButton2");
        auto* grid = ui.widget<QTableView>("StringGrid2");
        ui.widget<QLineEdit>("Edit27")->setText(QStringLiteral("01.01.2026"));
        const struct {
            const char* typed;
            int booked;
        } cases[] = {{"12.00,5", 0}, {"12.000,00", 1}};
        for (const auto& c : cases) {
            const QModelIndex amount = grid->model()->index(0, 1);
            grid->model()->setData(amount, QString::fromUtf8(c.typed));
            ui.boxes.clear();
            ui.answers = {true};
            ui.click("SpeedButton7");
            QCOMPARE(ui.form->state.bookingCount, c.booked);
            if (c.booked == 0) {
                QCOMPARE(ui.boxesOf(BoxCall::Kind::Notice).size(), std::size_t{1});
                QCOMPARE(ui.boxesOf(BoxCall::Kind::Notice).back().text,
                         QString::fromUtf8("„12.00,5“ ist kein Betrag (Kasse). So schreiben: 1200,00 oder 1.200,00."));
            } else {
                QCOMPARE(bookings_read(1).debit[0], 12000.0);
            }
        }
    }
};

QTEST_MAIN(OpeningPageTest)
#include "opening_page_test.moc"
