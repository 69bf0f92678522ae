// The window as a learner meets it: it grows with the screen, answers every
// action, works from the keyboard and stays readable in a dark theme.
#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <cmath>

#include "bookings/bookings_file.h"
#include "ui/about_box.h"
#include "ui/memo_view.h"
#include "ui/ui_test_support.h"

using namespace saldorama;
using namespace saldorama::ui;
using saldorama::ui::test::Ui;

namespace {

// Types as a learner does: every key goes to the widget that has the focus then.
void type(const QString& keys) {
    for (const QChar c : keys) {
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        QApplication::processEvents();
    }
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    QApplication::processEvents();
}

BookingRecord booking(int number, const char* debitAccount, const char* creditAccount, double amount) {
    BookingRecord r;
    r.number = number;
    r.date = "02.01.2026";
    r.person = "Hans Meier";
    r.reason = "Einlage";
    r.account[0] = debitAccount;
    r.account[1] = creditAccount;
    r.debit[0] = amount;
    r.credit[1] = amount;
    return r;
}

// Contrast ratio of two colours by relative luminance (1 = same, 21 = black on white).
double contrast(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double x = luminance(a) + 0.05;
    const double y = luminance(b) + 0.05;
    return std::max(x, y) / std::min(x, y);
}

QPalette dark_palette() {
    QPalette p;
    const QColor window(0x2b, 0x2b, 0x2b);
    const QColor base(0x1e, 0x1e, 0x1e);
    const QColor text(0xe6, 0xe6, 0xe6);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor shown = group == QPalette::Disabled ? QColor(0x9a, 0x9a, 0x9a) : text;
        p.setColor(group, QPalette::Window, window);
        p.setColor(group, QPalette::WindowText, shown);
        p.setColor(group, QPalette::Base, base);
        p.setColor(group, QPalette::AlternateBase, window);
        p.setColor(group, QPalette::Text, shown);
        p.setColor(group, QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
        p.setColor(group, QPalette::ButtonText, shown);
        p.setColor(group, QPalette::Highlight, QColor(0x35, 0x6a, 0xb0));
        p.setColor(group, QPalette::HighlightedText, Qt::white);
        p.setColor(group, QPalette::ToolTipBase, base);
        p.setColor(group, QPalette::ToolTipText, text);
    }
    return p;
}

} // namespace

class WindowFitTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setup_application(); }

    void journalAmountColumnShowsOnSmallAndLargeScreens() {
        for (const QSize size : {QSize(1024, 600), QSize(1920, 1080)}) {
            Ui ui;
            ui.start();
            bookings_append(booking(0, "Kasse", "Eigenkapital", 100));
            ui.window->resize(size);
            ui.click("SpeedButton5");
            auto* memo = ui.widget<MemoView>("Memo2");
            QTRY_COMPARE(memo->lines().size(), 3);  // header and two lines
            QApplication::processEvents();
            // The whole header line, "Betrag" at its end, fits into the visible part.
            const QString header = memo->lines().front();
            QVERIFY(header.endsWith(QStringLiteral("Betrag")));
            const int needed = memo->fontMetrics().horizontalAdvance(header);
            QVERIFY2(needed <= memo->viewport()->width(),
                     qPrintable(QStringLiteral("%1 > %2 at %3x%4").arg(needed).arg(memo->viewport()->width())
                                    .arg(size.width()).arg(size.height())));
            const QPoint right = memo->viewport()->mapTo(ui.window.get(), QPoint(needed, 0));
            QVERIFY(right.x() < ui.window->width());
            QCOMPARE(memo->horizontalScrollBar()->value(), 0);
        }
    }

    // The button of the page on show is bold; its caption still fits, in
    // the top panel's small buttons as in the left panel.
    void boldPanelCaptionsAreNeverCut() {
        Ui ui;
        ui.start();
        for (const char* name : {"SpeedButton22", "SpeedButton23", "SpeedButton24", "SpeedButton35", "SpeedButton2",
                                 "SpeedButton3", "SpeedButton4", "SpeedButton1", "SpeedButton5", "SpeedButton6"}) {
            auto* button = ui.widget<QToolButton>(name);
            QFont bold = button->font();
            bold.setBold(true);
            const int needed = QFontMetrics(bold).horizontalAdvance(button->text()) +
                               2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
            QVERIFY2(needed <= button->width(),
                     qPrintable(QStringLiteral("%1: %2 of %3 pixels").arg(button->text()).arg(needed).arg(button->width())));
        }
    }

    // At the size the window opens with on a 1366x768 screen (a title bar
    // less), every column of the chart list and ten rows of the check results
    // are in view without scrolling sideways.
    void theOpeningSizeShowsWhatTheExercisesAsk() {
        Ui ui;
        for (int n = 1; n <= 3; ++n) {
            QFile source(QStringLiteral(SALDORAMA_DATA_DIR "/Loesung%1.txt").arg(n));
            QVERIFY(source.open(QIODevice::ReadOnly));
            ui.write("Loesung" + std::to_string(n) + ".txt", source.readAll().toStdString());
        }
        ui.start();
        const QRect room = opening_geometry(QRect(0, 0, 1366, 768), QRect(0, 0, 1366, 740));
        ui.window->resize(room.size() - QSize(0, 30));
        ui.click("SpeedButton6");
        ui.click("SpeedButton37");
        auto* grid = ui.widget<QTableView>("StringGrid1");
        QApplication::processEvents();
        const int last = grid->model()->columnCount() - 1;
        QVERIFY(grid->columnViewportPosition(last) + grid->columnWidth(last) <= grid->viewport()->width());
        QVERIFY(grid->mapTo(ui.window.get(), QPoint(grid->width(), 0)).x() <= ui.window->width());
        ui.click("SpeedButton22");
        ui.click("ExerciseButton3");
        ui.click("CheckButton");
        auto* rows = ui.widget<QListWidget>("CheckRows");
        QApplication::processEvents();
        QVERIFY(rows->count() > 10);
        // Whole rows as the list draws them, under a scroll bar a long row brings.
        const int rowHeight = rows->visualItemRect(rows->item(0)).height();
        const int shown = rows->viewport()->height() - rows->horizontalScrollBar()->sizeHint().height();
        QVERIFY2(shown >= 10 * rowHeight, qPrintable(QStringLiteral("%1 pixels for rows of %2").arg(shown).arg(rowHeight)));
        QVERIFY(rows->mapTo(ui.window.get(), QPoint(0, rows->height())).y() <= ui.window->height());
        // Maximised on a 1024x600 screen the page fits without scrolling:
        // the exercise list gives up rows for the results.
        ui.window->resize(1024, 575);
        QApplication::processEvents();
        QCOMPARE(ui.widget<QScrollArea>("TabSheet8Scroll")->verticalScrollBar()->maximum(), 0);
    }

    void smallWindowScrollsThePageInsteadOfCuttingIt() {
        Ui ui;
        ui.start();
        ui.window->resize(700, 450);
        ui.click("SpeedButton3");
        auto* buchen = ui.widget<QToolButton>("SpeedButton29");
        // The button is still on the page, reachable by scrolling.
        QVERIFY(ui.window->shownPageView()->height() >= buchen->geometry().bottom());
        QVERIFY(ui.window->findChild<QScrollArea*>(QStringLiteral("TabSheet4Scroll"))->verticalScrollBar()->maximum() > 0);
    }

    void feedbackAfterBookingSavingAndOnTheNavigation() {
        Ui ui;
        ui.start();
        ui.click("SpeedButton3");
        QVERIFY(ui.widget<QToolButton>("SpeedButton3")->isChecked());
        QVERIFY(!ui.widget<QToolButton>("SpeedButton5")->isChecked());
        QTest::keyClick(ui.window.get(), Qt::Key_N, Qt::AltModifier);
        QTRY_VERIFY(ui.widget<QLineEdit>("Edit14")->hasFocus());
        QTest::keyClicks(ui.widget<QLineEdit>("Edit14"), QStringLiteral("0201"));
        auto* debit = ui.widget<QLineEdit>("Edit17");
        auto* credit = ui.widget<QLineEdit>("Edit20");
        ui.widget<QComboBox>("ComboBox1")->setEditText(QStringLiteral("Kasse"));
        ui.widget<QComboBox>("ComboBox2")->setEditText(QStringLiteral("Bank"));
        debit->setFocus();
        debit->selectAll();
        QTest::keyClicks(debit, QStringLiteral("250"));
        auto* totals = ui.widget<QLabel>("LabelTotals");
        QCOMPARE(totals->text(), QStringLiteral("Summe Soll: 250,00   Summe Haben: 0,00   Differenz: 250,00"));
        credit->setFocus();
        credit->selectAll();
        QTest::keyClicks(credit, QStringLiteral("250"));
        QCOMPARE(totals->text(), QStringLiteral("Summe Soll: 250,00   Summe Haben: 250,00   Differenz: 0,00"));
        ui.click("SpeedButton29");
        QVERIFY(ui.boxes.empty());
        QCOMPARE(ui.widget<QLabel>("Label26")->text(), QStringLiteral("1"));
        QCOMPARE(ui.widget<QLabel>("StatusLine")->text(), QStringLiteral("Buchung Nr. 1 gebucht."));
    }

    void companyPageFromTheKeyboard() {
        Ui ui;
        ui.start();
        QTest::keyClick(ui.window.get(), Qt::Key_8, Qt::ControlModifier);
        QCOMPARE(ui.shownPage(), QStringLiteral("TabSheet2"));
        auto* street = ui.widget<QLineEdit>("Edit2");
        street->setFocus();
        street->selectAll();
        QTest::keyClicks(street, QStringLiteral("Neue Str. 5"));
        for (int i = 0; i < 7; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("SpeedButton32"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(ui.read("einstellungen.txt").find("Neue Str. 5\r\n") != std::string::npos);
        QCOMPARE(ui.widget<QLabel>("StatusLine")->text(), QStringLiteral("Firmendaten gespeichert."));
        // Return in a field presses OK too.
        QFile::remove(ui.file("einstellungen.txt"));
        QTest::keyClick(street, Qt::Key_Return);
        QVERIFY(!ui.read("einstellungen.txt").empty());
    }

    void openingGridTakesAmountsFromTheKeyboard() {
        Ui ui;
        ui.start();
        QTest::keyClick(ui.window.get(), Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(ui.shownPage(), QStringLiteral("TabSheet3"));
        auto* grid = ui.widget<QTableView>("StringGrid2");
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, 0));  // a click on a name lands on its amount
        QTRY_COMPARE(grid->currentIndex().column(), 1);
        type(QStringLiteral("500"));  // typing starts the editor, no digit lost
        press(Qt::Key_Tab);
        QTRY_COMPARE(grid->currentIndex(), grid->model()->index(1, 1));
        type(QStringLiteral("30"));
        press(Qt::Key_Return);
        QTRY_COMPARE(grid->currentIndex(), grid->model()->index(2, 1));
        QTRY_COMPARE(QApplication::focusWidget(), grid);
        press(Qt::Key_Return);
        QTRY_COMPARE(grid->currentIndex(), grid->model()->index(3, 1));
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        QTRY_COMPARE(grid->currentIndex(), grid->model()->index(2, 1));
        type(QStringLiteral("7"));
        press(Qt::Key_Tab);
        QTRY_COMPARE(grid->currentIndex(), grid->model()->index(3, 1));
        const StringGrid& cells = ui.form->opening.StringGrid2;
        QCOMPARE(cells.cell(1, 1), std::string("500"));
        QCOMPARE(cells.cell(1, 2), std::string("30"));
        QCOMPARE(cells.cell(1, 3), std::string("7"));
        QCOMPARE(cells.cell(0, 1), ui.form->opening.StringGrid2.cell(0, 1));  // names untouched
        ui.answers = {true};
        ui.click("SpeedButton7");
        QCOMPARE(ui.widget<QLabel>("StatusLine")->text(), QString::fromUtf8("Eröffnungsbilanz gebucht: 3 Buchungen."));
    }

    void tAccountCopiesAsAWhole() {
        Ui ui;
        ui.start();
        bookings_append(booking(0, "Kasse", "Eigenkapital", 100));
        QTest::keyClick(ui.window.get(), Qt::Key_6, Qt::ControlModifier);
        QCOMPARE(ui.shownPage(), QStringLiteral("TabSheet10"));
        auto* list = ui.widget<QListWidget>("ListBox1");
        // The list shows the supplied chart's accounts with their numbers.
        const auto kasse = list->findItems(QStringLiteral("2880 Kasse"), Qt::MatchExactly);
        QCOMPARE(kasse.size(), 1);
        list->setCurrentItem(kasse.front());
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(ui.window.get(), Qt::Key_C, Qt::ControlModifier);
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied, qs(ui.form->accountSheet.sheetText()));
        QVERIFY(copied.startsWith(QStringLiteral("Konto: Kasse\n")));
        QVERIFY(copied.contains(QStringLiteral("100,00")));
        // The list is wide enough for every name.
        for (int i = 0; i < list->count(); ++i)
            QVERIFY(list->visualItemRect(list->item(i)).right() <= list->viewport()->width() ||
                    list->fontMetrics().horizontalAdvance(list->item(i)->text()) < list->viewport()->width());
    }

    // At the size the window opens with on each screen, the T-account takes
    // the room beside the account list: larger on the larger screen, every
    // text in its column and clear of the bar, no wide gap before the list.
    void tAccountGrowsWithTheScreen() {
        std::vector<int> widths;
        for (const QSize screen : {QSize(1366, 768), QSize(1920, 1080)}) {
            Ui ui;
            ui.start();
            BookingRecord r = booking(0, "Kasse", "Eigenkapital", 1234567.89);
            r.reason = "Einlage des Inhabers Nr. 1";  // longer than the column's 20 letters
            bookings_append(r);
            const QRect room = opening_geometry(QRect(QPoint(0, 0), screen), QRect(QPoint(0, 0), screen));
            ui.window->resize(room.size() - QSize(0, 30));
            QTest::keyClick(ui.window.get(), Qt::Key_6, Qt::ControlModifier);
            auto* list = ui.widget<QListWidget>("ListBox1");
            list->setCurrentItem(list->findItems(QStringLiteral("2880 Kasse"), Qt::MatchExactly).front());
            QApplication::processEvents();
            auto* grid = ui.widget<QTableView>("StringGrid3");
            const QWidget* panel = ui.widget<QWidget>("Panel4");
            const QWidget* bar = ui.widget<QWidget>("Panel6");
            const QString where = QStringLiteral(" at %1x%2").arg(screen.width()).arg(screen.height());
            QVERIFY2(grid->geometry().right() < panel->geometry().left() &&
                         panel->geometry().left() - grid->geometry().right() <= 16,
                     qPrintable(QStringLiteral("grid ends at %1, list starts at %2").arg(grid->geometry().right())
                                    .arg(panel->geometry().left()) + where));
            const QFontMetrics m(grid->font());
            for (int row = -1; row < grid->model()->rowCount(); ++row)
                for (const int column : {0, 2}) {
                    const QString text = row < 0 ? grid->model()->headerData(column, Qt::Horizontal).toString()
                                                 : grid->model()->index(row, column).data().toString();
                    const int left = grid->viewport()->mapTo(grid->parentWidget(),
                                                             QPoint(grid->columnViewportPosition(column), 0)).x();
                    const int right = left + m.horizontalAdvance(text);
                    // Soll ends before the bar, Haben starts after it; both inside the grid.
                    const bool clear = column == 0 ? right < bar->geometry().left()
                                                   : left > bar->geometry().right() && right < grid->geometry().right();
                    QVERIFY2(clear, qPrintable(QStringLiteral("\"%1\" in %2..%3, bar at %4").arg(text).arg(left)
                                                   .arg(right).arg(bar->x()) + where));
                }
            widths.push_back(grid->width());
        }
        QVERIFY2(widths[1] > widths[0] * 5 / 4,
                 qPrintable(QStringLiteral("%1 at 1366, %2 at 1920").arg(widths[0]).arg(widths[1])));
    }

    void accountBoxesKeepWhatWasTyped() {
        Ui ui;
        ui.start();
        ui.click("SpeedButton3");
        ui.click("SpeedButton8");
        auto* date = ui.widget<QLineEdit>("Edit14");
        QTRY_VERIFY(date->hasFocus());
        // The arrow of the empty first box opens the list; no refusal.
        auto* first = ui.widget<QComboBox>("ComboBox1");
        QStyleOptionComboBox option;
        option.initFrom(first);
        option.editable = true;
        const QRect arrow =
            first->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, first);
        QTest::mouseClick(first, Qt::LeftButton, {}, arrow.center());
        QTRY_VERIFY(first->view()->isVisible());
        QVERIFY(ui.boxes.empty());
        // The list is as wide as its longest name.
        const int longest = first->view()->sizeHintForColumn(0);
        QVERIFY(first->view()->width() >= longest);
        first->hidePopup();
        ui.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(ui.window.get()));
        QVERIFY(ui.boxes.empty());

        first->lineEdit()->setFocus();
        QTest::keyClicks(first->lineEdit(), QStringLiteral("Kase"));
        QTest::keyClick(first->lineEdit(), Qt::Key_Tab);
        QTRY_COMPARE(ui.boxesOf(BoxCall::Kind::Notice).size(), std::size_t{1});
        QCOMPARE(ui.boxes.back().text, QStringLiteral("Konto nicht gefunden!"));
        QCOMPARE(first->currentText(), QStringLiteral("Kase"));
        QTRY_VERIFY(first->hasFocus() || first->lineEdit()->hasFocus());
        // Mended in place, the name passes.
        first->lineEdit()->setCursorPosition(3);
        QTest::keyClicks(first->lineEdit(), QStringLiteral("s"));
        QTest::keyClick(first->lineEdit(), Qt::Key_Tab);
        QCOMPARE(first->currentText(), QStringLiteral("Kasse"));
        QCOMPARE(ui.boxesOf(BoxCall::Kind::Notice).size(), std::size_t{1});
    }

    void everyPageIsReadableInADarkTheme() {
        const QPalette before = QApplication::palette();
        QApplication::setPalette(dark_palette());
        {
            Ui ui;
            // A notice heading in dark blue, as notices often have.
            ui.write("Wichtiger Hinweis.rtf",
                     "{\\rtf1\\ansi{\\colortbl;\\red0\\green0\\blue128;}{\\cf1\\b Wichtiger Hinweis}\\par Text\\par}");
            ui.start();
            for (int n = 1; n <= 11; ++n) {
                PageView* view = ui.window->pageView(static_cast<Page>(n));
                QList<QWidget*> widgets = view->findChildren<QWidget*>();
                widgets.append(view);
                for (QWidget* w : widgets) {
                    const QPalette& p = w->palette();
                    const double ratio = contrast(p.color(w->foregroundRole()), p.color(w->backgroundRole()));
                    QVERIFY2(ratio >= 3.0, qPrintable(QStringLiteral("%1 in %2: contrast %3")
                                                          .arg(w->objectName(), view->objectName())
                                                          .arg(ratio)));
                    if (auto* item = qobject_cast<QAbstractItemView*>(w)) {
                        const QColor base = item->palette().color(QPalette::Base);
                        QVERIFY(contrast(item->palette().color(QPalette::Text), base) >= 3.0);
                        // Shaded cells (the names of the opening grid) stay readable too.
                        if (item->model() && item->model()->rowCount() > 0) {
                            const QVariant shade = item->model()->index(0, 0).data(Qt::BackgroundRole);
                            if (shade.canConvert<QBrush>())
                                QVERIFY(contrast(item->palette().color(QPalette::Text),
                                                 shade.value<QBrush>().color()) >= 3.0);
                        }
                    }
                }
            }
            // The notice's own colours give way where they would not stand out.
            auto* notice = ui.widget<QTextEdit>("RichEdit1");
            const QColor base = notice->palette().color(QPalette::Base);
            for (QTextBlock b = notice->document()->begin(); b.isValid(); b = b.next())
                for (auto it = b.begin(); !it.atEnd(); ++it) {
                    const QTextCharFormat f = it.fragment().charFormat();
                    const QColor text = f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color()
                                                                                     : notice->palette().color(QPalette::Text);
                    QVERIFY(contrast(text, base) >= 3.0);
                }
            // The panels and the exercise list as well.
            for (const char* name : {"Panel1", "Panel2", "CheckListBox1", "StatusLine", "SpeedButton3"}) {
                auto* w = ui.widget<QWidget>(name);
                QVERIFY2(contrast(w->palette().color(w->foregroundRole()), w->palette().color(w->backgroundRole())) >= 3.0,
                         name);
            }
        }
        QApplication::setPalette(before);
    }

    void exerciseListWrapsAndBlankLinesHaveNoTickBox() {
        Ui ui;
        ui.writeLines("Aufgabe1.txt", {"Aufgabe 1", "1. Kurz", "",
                                       "2. Buche den Einkauf von Waren auf Ziel und danach die Zahlung der Rechnung "
                                       "durch die Bank, abzüglich zwei Prozent Skonto, und prüfe das Konto."});
        ui.start();
        ui.click("SpeedButton22");
        ui.click("ExerciseButton1");
        auto* list = ui.widget<QListWidget>("CheckListBox1");
        QCOMPARE(list->count(), 4);
        QVERIFY(list->item(1)->flags() & Qt::ItemIsUserCheckable);
        QVERIFY(!(list->item(2)->flags() & Qt::ItemIsUserCheckable));
        QVERIFY(!list->item(2)->data(Qt::CheckStateRole).isValid());
        QVERIFY(list->wordWrap());
        QCOMPARE(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        // The long line is shown on several lines, not cut off.
        QTRY_VERIFY(list->visualItemRect(list->item(3)).height() >= 2 * list->visualItemRect(list->item(1)).height());
    }

    void germanTextsIconAndAboutBox() {
        QVERIFY(install_german_translation());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
        QVERIFY(!QApplication::windowIcon().isNull());
        Ui ui;
        ui.start();
        ui.click("AboutButton");
        QCOMPARE(ui.boxes.size(), std::size_t{1});
        QCOMPARE(ui.boxes.back().title, QString::fromUtf8("Über Saldorama"));
        QVERIFY(ui.boxes.back().text.startsWith(QStringLiteral("Saldorama " SALDORAMA_TEST_VERSION "\n")));
        QVERIFY(ui.boxes.back().text.contains(QStringLiteral("GPL-3.0-or-later")));
    }
};

QTEST_MAIN(WindowFitTest)
#include "window_fit_test.moc"
