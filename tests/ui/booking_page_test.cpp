// The booking form: fields reach their controls, leaving a field runs its
// exit handler, and the speed buttons book the fields as typed.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "bookings/bookings_file.h"
#include "ui/ui_test_support.h"

using namespace saldorama;
using namespace saldorama::ui;
using saldorama::ui::test::Ui;

namespace {

void typeInto(QWidget* field, const QString& text) {
    field->setFocus(Qt::MouseFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->selectAll();
    if (auto* box = qobject_cast<QComboBox*>(field)) box->lineEdit()->selectAll();
    QTest::keyClicks(field, text);
}

} // namespace

class BookingPageTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setup_application(); }

    void init() {
        ui_ = std::make_unique<Ui>();
        ui_->writeLines("Kontenplan1.txt", {"Kasse<B> A  B", "Bank<B> A  B", "Eigenkapital<B> P  B"});
        ui_->writeSettings(0);
        ui_->start();
        ui_->click("SpeedButton3");
        QCOMPARE(ui_->shownPage(), QStringLiteral("TabSheet4"));
        ui_->click("SpeedButton8");
    }
    void cleanup() { ui_.reset(); }

    void accountBoxesListTheChart() {
        auto* box = ui_->widget<QComboBox>("ComboBox3");
        QVERIFY(box->isEditable());
        QCOMPARE(box->count(), 3);
        QCOMPARE(box->itemText(1), QStringLiteral("Bank"));
    }

    void leavingAnAmountFieldRunsItsExitHandler() {
        auto* debit = ui_->widget<QLineEdit>("Edit17");
        typeInto(debit, QStringLiteral("10,375"));
        QCOMPARE(ui_->form->booking.Edit17.text, std::string("10,375"));
        QTest::keyClick(debit, Qt::Key_Tab);  // on to the credit field
        QCOMPARE(QApplication::focusWidget(), ui_->widget<QWidget>("Edit18"));
        QCOMPARE(debit->text(), QStringLiteral("10,38"));
        QCOMPARE(ui_->form->booking.Edit17.text, std::string("10,38"));
    }

    void leavingAnAccountBoxChecksTheName() {
        auto* box = ui_->widget<QComboBox>("ComboBox1");
        typeInto(box, QStringLiteral("Kasse"));
        ui_->widget<QLineEdit>("Edit17")->setFocus(Qt::MouseFocusReason);
        QVERIFY(ui_->boxes.empty());
        typeInto(box, QStringLiteral("Nirgendwo"));
        ui_->widget<QLineEdit>("Edit17")->setFocus(Qt::MouseFocusReason);
        QCOMPARE(ui_->boxesOf(BoxCall::Kind::Notice).size(), std::size_t{1});
        QCOMPARE(ui_->boxes.back().text, QStringLiteral("Konto nicht gefunden!"));
        // The name stays for mending, and the focus goes back to it.
        QCOMPARE(box->currentText(), QStringLiteral("Nirgendwo"));
        QTRY_VERIFY(box->hasFocus());
    }

    void bookButtonTakesTheFieldAsTypedWithoutLeavingIt() {
        typeInto(ui_->widget<QLineEdit>("Edit14"), QStringLiteral("01.02.2026"));
        typeInto(ui_->widget<QLineEdit>("Edit15"), QStringLiteral("Bank"));
        typeInto(ui_->widget<QLineEdit>("Edit16"), QString::fromUtf8("Einzahlung"));
        typeInto(ui_->widget<QComboBox>("ComboBox1"), QStringLiteral("Kasse"));
        typeInto(ui_->widget<QLineEdit>("Edit17"), QStringLiteral("10,37"));
        typeInto(ui_->widget<QComboBox>("ComboBox2"), QStringLiteral("Bank"));
        auto* credit = ui_->widget<QLineEdit>("Edit20");
        typeInto(credit, QStringLiteral("10,375"));
        // Alt+B presses "&Buchen"; the focus stays in the credit field, whose
        // exit handler does not run, so 10,375 is taken as typed: 10,37.
        QTest::keyClick(ui_->window.get(), Qt::Key_B, Qt::AltModifier);
        QTRY_COMPARE(ui_->form->state.bookingCount, 1);
        QCOMPARE(QApplication::focusWidget(), credit);
        QCOMPARE(credit->text(), QStringLiteral("10,375"));
        QVERIFY(ui_->boxes.empty());
        const BookingRecord stored = bookings_read(1);
        QCOMPARE(stored.credit[1], 10.37);
        QCOMPARE(stored.debit[0], 10.37);
        QCOMPARE(stored.account[0], std::string("Kasse"));
        QCOMPARE(stored.person, std::string("Bank"));
        QVERIFY(!ui_->widget<QToolButton>("SpeedButton29")->isEnabled());
    }

    // Dotted amounts are booked as a textbook prints them; looking an account
    // up halfway through the next booking keeps that form as typed.
    void halfTypedBookingSurvivesALookUpAndDotsAreRead() {
        const auto book = [&](const char* debitAccount, const char* debit, const char* creditAccount,
                              const char* credit) {
            typeInto(ui_->widget<QComboBox>("ComboBox1"), QString::fromUtf8(debitAccount));
            typeInto(ui_->widget<QLineEdit>("Edit17"), QString::fromUtf8(debit));
            QTest::keyClick(ui_->widget<QLineEdit>("Edit17"), Qt::Key_Tab);
            if (!creditAccount) return;
            typeInto(ui_->widget<QComboBox>("ComboBox2"), QString::fromUtf8(creditAccount));
            typeInto(ui_->widget<QLineEdit>("Edit20"), QString::fromUtf8(credit));
            QTest::keyClick(ui_->window.get(), Qt::Key_B, Qt::AltModifier);
        };
        book("Kasse", "1.200,00", "Eigenkapital", "1.200");
        QTRY_COMPARE(ui_->form->state.bookingCount, 1);
        QCOMPARE(bookings_read(1).debit[0], 1200.0);
        QCOMPARE(bookings_read(1).credit[1], 1200.0);

        ui_->click("SpeedButton8");
        book("Bank", "12.345,67", nullptr, nullptr);
        ui_->click("SpeedButton6");
        QCOMPARE(ui_->shownPage(), QStringLiteral("TabSheet10"));
        ui_->click("SpeedButton3");
        QCOMPARE(ui_->widget<QComboBox>("ComboBox1")->currentText(), QStringLiteral("Bank"));
        QCOMPARE(ui_->widget<QLineEdit>("Edit17")->text(), QStringLiteral("12345,67"));
        QVERIFY(ui_->widget<QToolButton>("SpeedButton29")->isEnabled());
        book("Bank", "12.345,67", "Kasse", "12.00,5");
        // A misplaced dot is refused with its field named, and nothing is booked.
        QTRY_COMPARE(ui_->boxesOf(BoxCall::Kind::Notice).size(), std::size_t{1});
        QCOMPARE(ui_->boxes.back().text, QString::fromUtf8("„12.00,5“ ist kein Betrag (Habenbetrag, Zeile 2). "
                                                           "So schreiben: 1200,00 oder 1.200,00."));
        QCOMPARE(ui_->form->state.bookingCount, 1);
        typeInto(ui_->widget<QLineEdit>("Edit20"), QStringLiteral("12.345,67"));
        QTest::keyClick(ui_->window.get(), Qt::Key_B, Qt::AltModifier);
        QTRY_COMPARE(ui_->form->state.bookingCount, 2);
        QCOMPARE(bookings_read(2).account[0], std::string("Bank"));
        QCOMPARE(bookings_read(2).credit[1], 12345.67);
    }

    // Enter in the last amount books a complete form; then the page says where it stands.
    void enterInAnAmountBooks() {
        typeInto(ui_->widget<QLineEdit>("Edit14"), QStringLiteral("01.02.2026"));
        typeInto(ui_->widget<QComboBox>("ComboBox1"), QStringLiteral("Kasse"));
        typeInto(ui_->widget<QLineEdit>("Edit17"), QStringLiteral("5"));
        typeInto(ui_->widget<QComboBox>("ComboBox2"), QStringLiteral("Bank"));
        typeInto(ui_->widget<QLineEdit>("Edit20"), QStringLiteral("5"));
        QTest::keyClick(ui_->widget<QLineEdit>("Edit20"), Qt::Key_Return);
        QTRY_COMPARE(ui_->form->state.bookingCount, 1);
        QVERIFY(ui_->boxes.empty());
        QCOMPARE(ui_->widget<QLabel>("LabelBrowsing")->text(), QStringLiteral("Buchung 1 von 1"));
    }

    void inputOrderFollowsTheLines() {
        const char* order[] = {"Edit14", "Edit15", "Edit16", "ComboBox1", "Edit17", "Edit18", "ComboBox2", "Edit19"};
        ui_->widget<QWidget>(order[0])->setFocus(Qt::MouseFocusReason);
        for (std::size_t i = 1; i < std::size(order); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), ui_->widget<QWidget>(order[i]));
        }
        // The hidden position indicator holds position and count.
        QVERIFY(!ui_->widget<QLabel>("Label45")->isVisible());
    }

    void charactersOutsideTheCodePageBecomeQuestionMarks() {
        // Typed text reaches the core as CP1252; what it cannot hold is '?'.
        // (Qt Test cannot type non-ASCII keys, so the text is inserted as an input method would.)
        auto* person = ui_->widget<QLineEdit>("Edit15");
        person->setFocus(Qt::MouseFocusReason);
        person->insert(QString::fromUtf8("Caf\u00e9 \u2713 \u03a9"));
        QCOMPARE(ui_->form->booking.Edit15.text, std::string("Caf\xE9 ? ?"));
        auto* box = ui_->widget<QComboBox>("ComboBox1");
        box->setFocus(Qt::MouseFocusReason);
        box->lineEdit()->insert(QString::fromUtf8("Kasse\u2713"));
        QCOMPARE(ui_->form->booking.ComboBox1.text, std::string("Kasse?"));
        auto* reason = ui_->widget<QLineEdit>("Edit16");
        reason->setFocus(Qt::MouseFocusReason);
        reason->insert(QString::fromUtf8("\u20ac 5"));
        QCOMPARE(ui_->form->booking.Edit16.text, std::string("\x80 5"));
        QCOMPARE(reason->text(), QString::fromUtf8("\u20ac 5"));
    }

private:
    std::unique_ptr<Ui> ui_;
};

QTEST_MAIN(BookingPageTest)
#include "booking_page_test.moc"
