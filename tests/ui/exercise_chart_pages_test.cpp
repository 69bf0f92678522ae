// The exercise page with the check list, and the chart page.
#include <QComboBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QLabel>
#include <QListWidget>
#include <QScrollArea>
#include <QToolButton>
#include <QTableView>
#include <QTest>

#include "base/text_file.h"
#include "form/solution_books.h"
#include "ui/ui_test_support.h"

using namespace saldorama;
using namespace saldorama::ui;
using saldorama::ui::test::Ui;

class ExerciseChartPagesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setup_application(); }

    void exerciseButtonFillsTheCheckListAndTicksReachTheControl() {
        Ui ui;
        ui.writeLines("Aufgabe3.txt", {"Dritte Aufgabe", cp("1. Kasse prüfen"), "Bank"});
        ui.start();
        ui.click("SpeedButton22");
        QCOMPARE(ui.shownPage(), QStringLiteral("TabSheet8"));
        QCOMPARE(ui.widget<QLabel>("ExerciseTitle3")->text(), QStringLiteral("Dritte Aufgabe"));
        ui.click("ExerciseButton3");
        auto* list = ui.widget<QListWidget>("CheckListBox1");
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(1)->text(), QString::fromUtf8("1. Kasse prüfen"));
        QCOMPARE(list->item(1)->checkState(), Qt::Unchecked);
        QVERIFY(QFontInfo(list->font()).fixedPitch());
        list->item(1)->setCheckState(Qt::Checked);
        QVERIFY(ui.form->exercises.CheckListBox1.checked[1]);
        // Loading again keeps the ticks of this folder; a line that is no step has no box.
        ui.click("ExerciseButton3");
        QCOMPARE(list->item(1)->checkState(), Qt::Checked);
        QVERIFY(!(list->item(2)->flags() & Qt::ItemIsUserCheckable));
        QCOMPARE(ui.shownPage(), QStringLiteral("TabSheet8"));
    }

    // A ninth file is a ninth row of the list, in a list that scrolls.
    void theListShowsEveryExerciseOfTheFolder() {
        Ui ui;
        ui.writeLines("Aufgabe9.txt", {"Neunte Aufgabe", "Bank"});
        ui.start();
        ui.click("SpeedButton22");
        QCOMPARE(ui.widget<QLabel>("ExerciseTitle9")->text(), QStringLiteral("Neunte Aufgabe"));
        QCOMPARE(ui.widget<QToolButton>("ExerciseButton9")->text(), QStringLiteral("9"));
        QVERIFY(ui.widget<QScrollArea>("ExerciseList")->widget()->height() >
                ui.widget<QScrollArea>("ExerciseList")->viewport()->height());
        ui.click("ExerciseButton9");
        QCOMPARE(ui.widget<QListWidget>("CheckListBox1")->count(), 2);
        QCOMPARE(ui.widget<QComboBox>("CheckExercise")->count(), 9);
    }

    void checkButtonFillsTheResultListAndARowShowsItsFinding() {
        Ui ui;
        for (int n = 1; n <= 3; ++n) {
            QFile source(QStringLiteral(SALDORAMA_DATA_DIR "/Loesung%1.txt").arg(n));
            QVERIFY(source.open(QIODevice::ReadOnly));
            const QByteArray bytes = source.readAll();
            ui.write("Loesung" + std::to_string(n) + ".txt", bytes.toStdString());
        }
        ui.start();
        QVERIFY(ui.form->run([&] { loesung_buchen(*ui.form, 3); }));
        ui.click("SpeedButton22");
        ui.click("ExerciseButton3");
        QCOMPARE(ui.widget<QComboBox>("CheckExercise")->currentText(), QStringLiteral("3"));
        ui.click("CheckButton");
        auto* rows = ui.widget<QListWidget>("CheckRows");
        QCOMPARE(rows->count(), static_cast<int>(ui.form->exercises.CheckRows.items.size()));
        QCOMPARE(rows->count(), 14);  // the opening, seven cases, six control values
        QVERIFY(rows->item(0)->text().startsWith(QStringLiteral("richtig   Aufgabe 3, Fall (1): ")));
        QCOMPARE(ui.widget<QLabel>("CheckPoints")->text(), QStringLiteral("13 von 13 Punkten"));
        rows->setCurrentRow(0);
        QVERIFY(ui.widget<QPlainTextEdit>("CheckFinding")->toPlainText().startsWith(QStringLiteral("Aufgabe 3, Fall (1) ist richtig")));
        QVERIFY(ui.widget<QToolButton>("SolutionButton")->isEnabled());
        ui.click("SolutionButton");
        QVERIFY(ui.widget<QPlainTextEdit>("CheckFinding")->toPlainText().contains(QStringLiteral("\nAufgabe 3, Fall (1):\n")));
    }

    void chartButtonEmptiesTheBookingsAndChoosingAChartFillsTheGrid() {
        Ui ui;
        ui.start();
        ui.answers = {true, true};
        ui.click("SpeedButton23");
        QCOMPARE(ui.boxesOf(BoxCall::Kind::Question).size(), std::size_t{2});
        QCOMPARE(ui.shownPage(), QStringLiteral("TabSheet9"));
        ui.click("SpeedButton10");
        auto* grid = ui.widget<QTableView>("StringGrid1");
        const auto chart = read_text_lines("Kontenplan1.txt", LineEnds::CrLfLfOrCr);
        QVERIFY(!chart.empty());
        // Row 0 of the control is the fixed header, row 1 the first account.
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Bezeichnung"));
        QCOMPARE(grid->model()->index(0, 0).data().toString(), qs(ui.form->chart.StringGrid1.cell(0, 1)));
        QVERIFY(!grid->model()->index(0, 0).data().toString().isEmpty());
        QVERIFY(!(grid->model()->flags(grid->model()->index(0, 0)) & Qt::ItemIsEditable));
        QCOMPARE(grid->horizontalHeader()->sectionSize(0), 204);
        QCOMPARE(grid->verticalHeader()->sectionSize(0), 15);
        QCOMPARE(ui.widget<QLabel>("Label24")->text(), QStringLiteral("Aktuell: 1"));
    }

    // Return, Return on "Kontenplan" answers the first question No: nothing is deleted.
    void returnOnTheChartQuestionsDeletesNothing() {
        Ui ui;
        ui.writeSettings(0);
        ui.write("buchungen.dat", std::string(528, '\0'));
        ui.start();
        const std::string before = ui.read("buchungen.dat");
        ui.pressKeysOnRealBoxes({Qt::Key_Return, Qt::Key_Return});
        ui.click("SpeedButton23");
        QTest::qWait(100);
        QCOMPARE(ui.seen.size(), std::size_t{1});
        QCOMPARE(ui.seen[0].defaultButton, QStringLiteral("&Nein"));
        QCOMPARE(ui.read("buchungen.dat"), before);
        QCOMPARE(ui.shownPage(), QStringLiteral("TabSheet1"));
    }

    // "Kontenplan ansehen" on the T-account page shows the chart and deletes nothing.
    void theTAccountPageShowsTheChartReadOnly() {
        Ui ui;
        ui.writeSettings(0);
        ui.write("buchungen.dat", std::string(528, '\0'));
        ui.start();
        const std::string before = ui.read("buchungen.dat");
        ui.click("SpeedButton6");
        ui.click("SpeedButton37");
        QCOMPARE(ui.shownPage(), QStringLiteral("TabSheet9"));
        QVERIFY(ui.boxesOf(BoxCall::Kind::Question).empty());
        QVERIFY(!ui.widget<QToolButton>("SpeedButton10")->isEnabled());
        QCOMPARE(ui.widget<QLabel>("Label24")->text(), QStringLiteral("Aktuell: 1"));
        auto* grid = ui.widget<QTableView>("StringGrid1");
        QVERIFY(!grid->model()->index(0, 0).data().toString().isEmpty());
        QCOMPARE(ui.read("buchungen.dat"), before);
    }
};

QTEST_MAIN(ExerciseChartPagesTest)
#include "exercise_chart_pages_test.moc"
