// The window's panels: each button reaches its handler, the page control
// shows the page the core made active, and the start page shows the notice.
#include <QFileInfo>
#include <QLabel>
#include <QScreen>
#include <QTextBlock>
#include <QTextEdit>
#include <QTest>

#include "ui/ui_test_support.h"

using namespace saldorama;
using namespace saldorama::ui;
using saldorama::ui::test::Ui;

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
        // Without the guide a second notice says it was not found.
        QCOMPARE(ui.boxesOf(BoxCall::Kind::Notice).size(), std::size_t{2});
        QVERIFY(ui.boxes.front().text.startsWith(QStringLiteral("Auf eine eigene Hilfedatei")));
        QVERIFY(ui.boxes.back().text.contains(QString::fromUtf8("wurde nicht gefunden")));

        // With the guide in the working folder it is handed to the viewer after the notice.
        ui.write("Anleitung.pdf", "%PDF-1.4");
        ui.boxes.clear();
        ui.click("SpeedButton34");
        QCOMPARE(ui.boxes.size(), std::size_t{2});
        QCOMPARE(ui.boxes.at(0).kind, BoxCall::Kind::Notice);
        QCOMPARE(ui.boxes.at(1).kind, BoxCall::Kind::OpenDocument);
        QCOMPARE(QFileInfo(ui.boxes.at(1).fileName).canonicalFilePath(),
                 QFileInfo(ui.file("Anleitung.pdf")).canonicalFilePath());
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
        QCOMPARE(failures.front().text, QStringLiteral("Datei nicht gefunden."));
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

    void windowStartsAtTheDefaultSizeOrTheScreenAndCanGrow() {
        Ui ui;
        ui.start();
        ui.window->fitOuterSize();
        const QRect area = ui.window->screen()->availableGeometry();
        QCOMPARE(ui.window->frameGeometry().size(), QSize(869, 635).boundedTo(area.size()));
        QVERIFY(ui.window->maximumWidth() > 1920 && ui.window->maximumHeight() > 1080);
        QVERIFY(!(ui.window->windowFlags() & Qt::CustomizeWindowHint));  // the usual buttons, maximise too
        // The title names the company and the chart in use.
        QCOMPARE(ui.window->windowTitle(), QStringLiteral("Muster GmbH - Einfach"));
    }
};

QTEST_MAIN(NavigationTest)
#include "navigation_test.moc"
