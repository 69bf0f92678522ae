// The company page and the teacher's settings page.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "ui/ui_test_support.h"

using namespace saldorama;
using namespace saldorama::ui;
using saldorama::ui::test::Ui;

class SettingsPagesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setup_application(); }

    void companyFieldsReachTheirControlsAndOkSavesThem() {
        Ui ui;
        ui.start();
        ui.click("SpeedButton35");
        auto* name = ui.widget<QLineEdit>("Edit1");
        QCOMPARE(name->text(), QStringLiteral("Muster GmbH"));
        name->clear();
        name->insert(QString::fromUtf8("Bäckerei Groß"));
        QCOMPARE(ui.form->company.Edit1.text, cp("Bäckerei Groß"));
        ui.click("SpeedButton32");
        QCOMPARE(ui.read("einstellungen.txt").substr(0, 15), cp("Bäckerei Groß\r\n"));
        QCOMPARE(ui.shownPage(), QStringLiteral("TabSheet2"));
    }

    void accessWordOpensTheSettingsPage() {
        Ui ui;
        ui.start();
        ui.click("SpeedButton35");
        auto* name = ui.widget<QLineEdit>("Edit1");
        name->clear();
        QTest::keyClicks(name, QStringLiteral("Mentor"));
        ui.click("SpeedButton24");
        QCOMPARE(ui.shownPage(), QStringLiteral("TabSheet7"));
        QVERIFY(ui.boxes.empty());
    }

    void checkBoxesRunTheirHandlers() {
        Ui ui;
        ui.start();
        ui.form->company.Edit1.text = "Mentor";
        ui.click("SpeedButton24");
        auto* vat = ui.widget<QCheckBox>("CheckBox1");
        auto* rate = ui.widget<QLineEdit>("Edit13");
        QVERIFY(vat->isChecked());
        QVERIFY(rate->isEnabled());
        QTest::mouseClick(vat, Qt::LeftButton, {}, QPoint(5, vat->height() / 2));
        QVERIFY(!ui.form->settings.CheckBox1.checked());
        QVERIFY(!rate->isEnabled());
        QVERIFY(!ui.widget<QLabel>("Label22")->isEnabled());

        auto* manual = ui.widget<QCheckBox>("CheckBox3");
        QTest::mouseClick(manual, Qt::LeftButton, {}, QPoint(5, manual->height() / 2));
        QVERIFY(ui.form->settings.CheckBox3.checked());
        QCOMPARE(ui.widget<QToolButton>("SpeedButton4")->text(), QString::fromUtf8("Saldenüberprüfung"));
        QVERIFY(!ui.widget<QToolButton>("SpeedButton2")->isEnabled());

        auto* zero = ui.widget<QCheckBox>("CheckBox2");
        QTest::mouseClick(zero, Qt::LeftButton, {}, QPoint(5, zero->height() / 2));
        QVERIFY(ui.form->settings.CheckBox2.checked());
    }

    void restoringDefaultsShowsThemAndTheRadioGroupShowsTheChart() {
        Ui ui;
        ui.writeSettings(2);
        ui.start();
        ui.form->company.Edit1.text = "Mentor";
        ui.click("SpeedButton24");
        auto* year = ui.widget<QLineEdit>("Edit28");
        year->clear();
        QTest::keyClicks(year, QStringLiteral("2031"));
        QCOMPARE(ui.form->settings.Edit28.text, std::string("2031"));
        ui.click("Button1");
        QCOMPARE(year->text(), QStringLiteral("2007"));
        QCOMPARE(ui.widget<QLineEdit>("Edit13")->text(), QStringLiteral("0"));
        auto radios = ui.widget<QWidget>("RadioGroup1")->findChildren<QRadioButton*>();
        QCOMPARE(radios.size(), 4);
        QVERIFY(radios[2]->isChecked());
        QVERIFY(!ui.widget<QWidget>("RadioGroup1")->isEnabled());
        ui.click("Button2");
        QVERIFY(ui.read("einstellungen.txt").find("\r\n2007\r\n") != std::string::npos);
    }
};

QTEST_MAIN(SettingsPagesTest)
#include "settings_pages_test.moc"
