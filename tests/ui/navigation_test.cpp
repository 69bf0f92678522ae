// The window's panels: each button reaches its handler, the page control
// shows the page the core made active, and the start page shows the notice.
#include <QFileInfo>
#include <QLabel>
#include <QScreen>
#include <QSettings>
#include <QTextBlock>
#include <QTextEdit>
#include <QSet>
#include <QTest>
#include <QToolButton>

#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfSelection>
#include <QPdfView>
#include <QScrollBar>
#include "manualview/manual_window.h"
#include "ui/ui_test_support.h"

using namespace saldorama;
using namespace saldorama::ui;
using saldorama::ui::test::Ui;

#ifdef SALDORAMA_MANUAL_PDF
namespace {
// How far below its page's top the heading `title` stands on `page`, in
// points: its last mention there (the contents may name it first).
double heading_below_top(QPdfDocument& pdf, int page, const QString& title) {
    const qsizetype at = pdf.getAllText(page).text().lastIndexOf(title);
    if (at < 0) return -1;
    return pdf.getSelectionAtIndex(page, static_cast<int>(at), static_cast<int>(title.size())).boundingRectangle().top();
}
} // namespace
#endif

class NavigationTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setup_application(); }

    void startUpShowsTheStartPageWithTheFormattedNotice() {
        Ui ui;
        ui.start();
        QCOMPARE(ui.shownPage(), QStringLiteral("TabSheet1"));
        QVERIFY(ui.boxes.empty());
        auto* notice = ui.widget<QTextEdit>("RichEdit1");
        QVERIFY(notice->toPlainText().contains(QStringLiteral("Wichtiger Hinweis")));
        // The heading run is bold in the file and must stay bold on screen.
        const QTextBlock first = notice->document()->firstBlock();
        QVERIFY(first.begin().fragment().isValid());
        QCOMPARE(first.begin().fragment().charFormat().fontWeight(), static_cast<int>(QFont::Bold));
        QVERIFY(!ui.widget<QLabel>("Image1")->pixmap().isNull());
    }

    void eachNavigationButtonShowsItsPage() {
        Ui ui;
        ui.writeSettings(0);
        ui.start();
        const std::pair<const char*, const char*> buttons[] = {
            {"SpeedButton3", "TabSheet4"},  {"SpeedButton2", "TabSheet3"}, {"SpeedButton4", "TabSheet5"},
            {"SpeedButton1", "TabSheet11"}, {"SpeedButton5", "TabSheet6"}, {"SpeedButton6", "TabSheet10"},
            {"SpeedButton22", "TabSheet8"}, {"SpeedButton35", "TabSheet2"},
        };
        for (const auto& [button, page] : buttons) {
            ui.click(button);
            QCOMPARE(ui.shownPage(), QString::fromLatin1(page));
        }
        QVERIFY(ui.boxesOf(BoxCall::Kind::Failure).empty());
    }

    void settingsButtonChecksTheCompanyName() {
        Ui ui;
        ui.start();
        ui.click("SpeedButton24");
        QCOMPARE(ui.shownPage(), QStringLiteral("TabSheet1"));
        QCOMPARE(ui.boxesOf(BoxCall::Kind::Notice).size(), std::size_t{1});
        QCOMPARE(ui.boxes.back().text, QString::fromUtf8("Sie haben keine Berechtigung für diesen Menüpunkt!"));
        QCOMPARE(ui.boxes.back().title, QStringLiteral("Saldorama"));
    }

    void helpShowsItsNotice() {
        Ui ui;
        ui.start();
        ui.click("SpeedButton34");
        QCOMPARE(ui.boxesOf(BoxCall::Kind::Notice).size(), std::size_t{1});
        QVERIFY(ui.boxes.back().text.startsWith(QStringLiteral("Die Anleitung (Anleitung.pdf) ist weder")));

        // With the guide in the working folder it opens after the notice that points to it.
        ui.write("Anleitung.pdf", "%PDF-1.4");
        ui.boxes.clear();
        ui.click("SpeedButton34");
        QCOMPARE(ui.boxes.size(), std::size_t{2});
        QCOMPARE(ui.boxes.at(0).kind, BoxCall::Kind::Notice);
        QCOMPARE(ui.boxes.at(1).kind, BoxCall::Kind::OpenDocument);
        QCOMPARE(QFileInfo(ui.boxes.at(1).fileName).canonicalFilePath(),
                 QFileInfo(ui.file("Anleitung.pdf")).canonicalFilePath());
    }

    void f1OpensTheGuideInTheProgramAtTheChapterOfThePageOnShow() {
        Ui ui;
        ui.start();
        ui.write("Anleitung.pdf", "%PDF-1.4");
        ui.click("SpeedButton2");
        ui.boxes.clear();
        QTest::keyClick(ui.window.get(), Qt::Key_F1);
        const auto opened = ui.boxesOf(BoxCall::Kind::OpenDocument);
        QCOMPARE(opened.size(), std::size_t{1});
        QCOMPARE(opened.at(0).text, QString::fromUtf8("4. Die Eröffnungsbilanz"));
#ifdef SALDORAMA_MANUAL_PDF
        // The viewer itself, on the guide as built: its outline leads to each chapter.
        using manualview::ManualWindow;
        // Chapter 3 starts half-way down the page chapter 2 starts on.
        for (const char* chapter : {"1. Das Fenster im Überblick", "3. Die Aufgaben und „Prüfen“", "6. Die Berichte",
                                    "10. Tastenkürzel"}) {
            const QString name = QString::fromUtf8(chapter);
            QVERIFY(ManualWindow::open(QStringLiteral(SALDORAMA_MANUAL_PDF), name));
            const int page = ManualWindow::shown()->chapterPage(name);
            QVERIFY2(page >= 0, chapter);
            // The view lays itself out a moment later; on a busy machine more.
            auto* view = ManualWindow::shown()->findChild<QPdfView*>(QStringLiteral("ManualPages"));
            for (int still = 0, last = -1, waited = 0; still < 3 && waited < 3000; waited += 50) {
                QTest::qWait(50);
                const int now = view->verticalScrollBar()->value();
                still = now == last ? still + 1 : 0;
                last = now;
            }
            QCOMPARE(ManualWindow::shown()->currentPage(), page);
            // The heading itself is at the top of the view, not the page's top.
            const int shown = view->verticalScrollBar()->value();
            view->pageNavigator()->jump(page == 0 ? 1 : 0, {}, 0);
            view->pageNavigator()->jump(page, {}, 0);
            const double perPoint = (view->viewport()->width() - view->documentMargins().left() -
                                     view->documentMargins().right()) / view->document()->pagePointSize(page).width();
            const double headingAt = heading_below_top(*view->document(), page, name);
            const double viewTop = (shown - view->verticalScrollBar()->value()) / perPoint;
            QVERIFY2(headingAt >= viewTop && headingAt - viewTop < 24,
                     qPrintable(QStringLiteral("%1: heading %2 pt below the page's top, view from %3 pt")
                                    .arg(name).arg(headingAt).arg(viewTop)));
            // Laid out, and laid out anew at another width, the view still
            // shows the chapter's page on top.
            for (const int width : {900, 640}) {
                ManualWindow::shown()->resize(width, 600);
                QTest::qWait(50);
                QCOMPARE(ManualWindow::shown()->currentPage(), page);
            }
        }
        ManualWindow::shown()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // it goes on closing
        QVERIFY(!ManualWindow::shown());
#endif
    }

    // Tab reaches every button of the panels; the keys of a program that keeps files work.
    void keyboardReachesEveryPanelButton() {
        Ui ui;
        ui.start();
        QSet<QString> reached;
        ui.widget<QToolButton>("SpeedButton2")->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 200; ++i) {
            if (QWidget* w = QApplication::focusWidget()) reached.insert(w->objectName());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        for (const char* name : {"SpeedButton22", "SpeedButton23", "SpeedButton24", "SpeedButton35", "SpeedButton2",
                                 "SpeedButton3", "SpeedButton4", "SpeedButton1", "SpeedButton5", "SpeedButton6",
                                 "SpeedButton30", "SpeedButton31", "SpeedButton33", "SpeedButtonUndo",
                                 "SpeedButton34", "AboutButton"})
            QVERIFY2(reached.contains(QString::fromLatin1(name)), qPrintable(QStringList(reached.values()).join(QLatin1Char(' '))));

        ui.boxes.clear();
        QTest::keyClick(ui.window.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(ui.boxesOf(BoxCall::Kind::SaveFile).size(), std::size_t{1});
        QTest::keyClick(ui.window.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(ui.boxesOf(BoxCall::Kind::Notice).back().text,
                 QString::fromUtf8("Es gibt keinen Schritt, den du rückgängig machen kannst."));
    }

    void endAsksAndClosesTheWindow() {
        Ui ui;
        ui.start();
        ui.answers = {false};
        ui.click("SpeedButton31");
        QCOMPARE(ui.boxesOf(BoxCall::Kind::Question).size(), std::size_t{1});
        QCOMPARE(ui.boxes.back().title, QString::fromUtf8("Bestätigung"));
        QCOMPARE(ui.boxes.back().icon, QMessageBox::Question);
        QTRY_VERIFY(!ui.window->isVisible());
    }

    // Escape on "save before closing?" cancels: the window stays open.
    void escapeOnEndKeepsTheWindowOpen() {
        Ui ui;
        ui.start();
        ui.pressKeysOnRealBoxes({Qt::Key_Escape});
        ui.click("SpeedButton31");
        QCOMPARE(ui.seen.size(), std::size_t{1});
        QCOMPARE(ui.seen[0].text, QStringLiteral("Vor dem Beenden speichern?"));
        QStringList buttons = ui.seen[0].buttons;  // in the order the style lays them out
        buttons.sort();
        QCOMPARE(buttons, (QStringList{QStringLiteral("&Ja"), QStringLiteral("&Nein"), QStringLiteral("Abbrechen")}));
        QTest::qWait(50);
        QVERIFY(ui.window->isVisible());
        QVERIFY(!ui.form->closeRequested);
        QVERIFY(!QFile::exists(ui.file("sicherung.qrx")));
    }

    void missingSettingsOpenTheBookingPageAfterTheFailureBox() {
        Ui ui;
        QFile::remove(ui.file("einstellungen.txt"));
        ui.start();
        QCOMPARE(ui.shownPage(), QStringLiteral("TabSheet4"));
        const auto failures = ui.boxesOf(BoxCall::Kind::Failure);
        QVERIFY(!failures.empty());
        QCOMPARE(failures.front().text, QStringLiteral("Datei nicht gefunden (einstellungen.txt)."));
        QCOMPARE(failures.front().icon, QMessageBox::Critical);
    }

    void backupDialogsStartInTheFolderGivenForThem() {
        Ui ui;
        ui.start();
        ui.click("SpeedButton30");
        QCOMPARE(ui.boxesOf(BoxCall::Kind::SaveFile).at(0).directory, QString());
        const QString documents = ui.file("Dokumente");
        ui.dialogs->setStartFolder(documents);
        ui.click("SpeedButton30");
        ui.click("SpeedButton33");
        QCOMPARE(ui.boxesOf(BoxCall::Kind::SaveFile).at(1).directory, documents);
        QCOMPARE(ui.boxesOf(BoxCall::Kind::OpenFile).at(0).directory, documents);
    }

    void windowOpensWithRoomOrMaximisedAndComesBackAsItWasLeft() {
        // Outer geometry by screen and free area; invalid: maximised.
        const struct {
            QRect screen, available, expected;
        } cases[] = {
            {{0, 0, 1366, 768}, {0, 0, 1366, 740}, {43, 10, 1280, 720}},
            {{0, 0, 1920, 1080}, {0, 24, 1920, 1056}, {144, 103, 1632, 897}},
            {{0, 0, 1280, 1024}, {0, 0, 1280, 1024}, {}},
            {{0, 0, 1024, 600}, {0, 0, 1024, 600}, {}},
        };
        for (const auto& c : cases) QCOMPARE(opening_geometry(c.screen, c.available), c.expected);

        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("saldorama"), QStringLiteral("fenster"))
            .clear();
        Ui ui;
        ui.start();
        ui.window->hide();
        ui.window->showPlaced();  // the offscreen screen is a small one
        QVERIFY(ui.window->isMaximized());
        ui.window->showNormal();
        ui.window->setGeometry(40, 30, 1000, 560);
        QApplication::processEvents();
        const QRect left = ui.window->geometry();
        ui.window->close();
        Ui again;
        again.start();
        again.window->hide();
        again.window->showPlaced();
        QCOMPARE(again.window->geometry(), left);
        QVERIFY(!again.window->isMaximized());
        QVERIFY(ui.window->maximumWidth() > 1920 && ui.window->maximumHeight() > 1080);
        QVERIFY(!(ui.window->windowFlags() & Qt::CustomizeWindowHint));  // the usual buttons, maximise too
        // The title names the company and the chart in use.
        QCOMPARE(ui.window->windowTitle(), QString::fromUtf8("Muster GmbH – Einfach – Saldorama"));
    }
};

QTEST_MAIN(NavigationTest)
#include "navigation_test.moc"
