// The report pages put the lines of their memo on show, in a fixed-pitch
// font; the T-account page builds the chosen account's sheet.
#include <QCheckBox>
#include <QClipboard>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <algorithm>

#include "bookings/bookings_file.h"
#include "form/print_jobs.h"
#include "ui/memo_view.h"
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
            auto* view = ui_->widget<MemoView>(name);
            QVERIFY2(memo->lines.size() > 2, name);
            QCOMPARE(view->lines(), shownLines(memo->lines));
            QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
            QVERIFY(!view->isWrapping());
            QVERIFY(!view->wordWrap());
            QCOMPARE(view->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            QCOMPARE(view->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            QVERIFY(QFontInfo(view->font()).fixedPitch());
            QCOMPARE(view->font().bold(), bold);
            QCOMPARE(view->font().pixelSize(), pixels);
        }
        const QString journal = ui_->widget<MemoView>("Memo2")->lines().join(QLatin1Char('\n'));
        QVERIFY(journal.contains(QStringLiteral("Miete Februar")) || journal.contains(QStringLiteral("Vermieter")));
        QVERIFY(ui_->boxesOf(BoxCall::Kind::Failure).empty());
    }

    // "Lehrbuchform" puts the balance sheet and the P&L in T-form on the page,
    // the shorter sides closed; unticked, the report text is back.
    void textbookFormShowsOnTheBalancePage() {
        ui_->click("SpeedButton4");
        auto* box = ui_->window->shownPageView()->findChild<QCheckBox*>(QStringLiteral("TextbookBox"));
        QVERIFY(box);
        auto* memo = ui_->widget<MemoView>("Memo1");
        auto* textbook = ui_->window->findChild<QWidget*>(QStringLiteral("TextbookView"));
        QVERIFY(textbook);
        box->setChecked(true);
        QVERIFY(memo->isHidden());
        QVERIFY(textbook->isVisible());
        const auto lines = print_job(*ui_->form, PrintedReport::Balance, true, {}).lines;
        QVERIFY(std::any_of(lines.begin(), lines.end(), [](const PrintLine& l) { return l.noseRows > 0; }));
        QVERIFY(textbook->minimumHeight() > static_cast<int>(lines.size()) * QFontMetrics(textbook->font()).height() / 2);
        box->setChecked(false);
        QVERIFY(!memo->isHidden());
        QVERIFY(!textbook->isVisible());
        QVERIFY(ui_->boxesOf(BoxCall::Kind::Failure).empty());
    }

    void journalShowsTheCoreLinesExactly() {
        appendBookings(300);
        // A window narrower than the longest line, so that it scrolls sideways.
        ui_->window->resize(869, 635);
        ui_->click("SpeedButton5");
        auto* view = ui_->widget<MemoView>("Memo2");
        QApplication::processEvents();
        const std::vector<std::string>& core = ui_->form->journal.Memo2.lines;
        QVERIFY(core.size() > 600);
        QAbstractItemModel* model = view->model();
        QCOMPARE(model->rowCount(), static_cast<int>(core.size()));
        // The text is held once: the view reads the page's lines in place.
        auto* memo = dynamic_cast<MemoModel*>(model);
        QVERIFY(memo);
        QCOMPARE(static_cast<const void*>(memo->line(core.size() - 1).data()),
                 static_cast<const void*>(core.back().data()));
        QCOMPARE(model->index(0, 0).data().toString(), qs(core.front()));
        QVERIFY(model->index(0, 0).data().toString().startsWith(QStringLiteral("Nr.")));
        const int last = model->rowCount() - 1;
        QCOMPARE(model->index(last, 0).data().toString(), qs(core.back()));
        const int umlauts = umlautRow(core);
        QVERIFY(umlauts > 0);
        const QString shown = model->index(umlauts, 0).data().toString();
        QCOMPARE(shown, qs(core[static_cast<std::size_t>(umlauts)]));
        QVERIFY2(shown.contains(QStringLiteral("Müller")) && shown.contains(QStringLiteral("Büro für 5 €")),
                 qPrintable(shown));

        // The horizontal scroll bar reaches the end of the longest line.
        std::size_t longest = 0;
        for (const auto& line : core) longest = std::max(longest, line.size());
        const qreal advance = QFontMetricsF(view->font()).horizontalAdvance(QLatin1Char('M'));
        QVERIFY(view->horizontalScrollBar()->maximum() > 0);
        QVERIFY(view->horizontalScrollBar()->maximum() + view->viewport()->width() >=
                static_cast<int>(advance * static_cast<qreal>(longest)));
        // And the vertical one reaches the last line.
        view->scrollToBottom();
        QApplication::processEvents();
        const QRect lastLine = view->visualRect(model->index(last, 0));
        QVERIFY(lastLine.top() >= 0);
        QVERIFY(lastLine.bottom() < view->viewport()->height());
    }

    void horizontalScrollFollowsTheLongestLine() {
        ui_->click("SpeedButton4");
        auto* view = ui_->widget<MemoView>("Memo1");
        const qreal advance = QFontMetricsF(view->font()).horizontalAdvance(QLatin1Char('M'));
        auto reach = [view] {
            QApplication::processEvents();
            return view->horizontalScrollBar()->maximum() + view->viewport()->width();
        };
        ui_->form->balance.Memo1.lines = {"kurz"};
        ui_->window->refresh();
        QApplication::processEvents();
        QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
        ui_->form->balance.Memo1.lines = {"kurz", std::string(300, 'x'), "kurz"};
        ui_->window->refresh();
        QVERIFY(reach() >= static_cast<int>(advance * 300));
        QVERIFY(reach() < static_cast<int>(advance * 300) + 40);
        ui_->form->balance.Memo1.lines = {"kurz"};
        ui_->window->refresh();
        QApplication::processEvents();
        QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
        // As many lines as before, one of them longer: the view is told.
        ui_->form->balance.Memo1.lines = {std::string(300, 'y')};
        ui_->window->refresh();
        QVERIFY(reach() >= static_cast<int>(advance * 300));
        QCOMPARE(view->lines(), QStringList{QString(300, QLatin1Char('y'))});
        // Lines taken away before the view is told read as empty, not past the end.
        ui_->form->balance.Memo1.lines.clear();
        QCOMPARE(view->model()->index(0, 0).data().toString(), QString());
        ui_->window->refresh();
        QCOMPARE(view->model()->rowCount(), 0);
    }

    void copyingGivesTheSelectedLines() {
        appendBookings(40);
        ui_->click("SpeedButton5");
        auto* view = ui_->widget<MemoView>("Memo2");
        QApplication::processEvents();
        const std::vector<std::string>& core = ui_->form->journal.Memo2.lines;
        const int umlauts = umlautRow(core);
        QVERIFY(umlauts > 2);
        // A click on line 1, a shift-click on the line with the umlauts.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(1, 0)).center());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          view->visualRect(view->model()->index(umlauts, 0)).center());
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QStringList expected;
        for (int row = 1; row <= umlauts; ++row) expected << qs(core[static_cast<std::size_t>(row)]);
        QCOMPARE(QGuiApplication::clipboard()->text(), expected.join(QLatin1Char('\n')));

        // Another run of the handlers with the same report keeps the selection.
        ui_->window->refresh();
        QCOMPARE(view->selectedText(), expected.join(QLatin1Char('\n')));

        QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), shownLines(core).join(QLatin1Char('\n')));
    }

    void showingTheJournalAgainShowsNewBookings() {
        ui_->click("SpeedButton5");
        auto* view = ui_->widget<MemoView>("Memo2");
        const int before = view->model()->rowCount();
        ui_->click("SpeedButton3");
        appendBookings(1);
        ui_->click("SpeedButton5");
        QCOMPARE(view->model()->rowCount(), before + 2);
        QCOMPARE(view->lines(), shownLines(ui_->form->journal.Memo2.lines));
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

    // At the window's first size a long account name does not push the
    // account list over the Haben side of the T-account.
    void accountListNeverCoversTheTAccount() {
        ui_.reset();
        ui_ = std::make_unique<Ui>();
        ui_->writeLines("Kontenplan1.txt", {"Kasse<B> A  B", cp("Betriebs- und Geschäftsausstattung<B> A  B"),
                                            cp("Sonstige betriebliche Aufwendungen für Fremdleistungen<G> S  B"),
                                            "Eigenkapital<B> P  B"});
        ui_->writeSettings(0);
        ui_->start();
        ui_->click("SpeedButton6");
        auto* grid = ui_->widget<QTableView>("StringGrid3");
        auto* list = ui_->widget<QWidget>("Panel4");
        QVERIFY(list->width() >= 140);
        QVERIFY2(grid->geometry().right() < list->geometry().left(),
                 qPrintable(QStringLiteral("grid ends at %1, list starts at %2")
                                .arg(grid->geometry().right())
                                .arg(list->geometry().left())));

        // In a narrow list the long name wraps inside one entry, and a rule
        // across the list stands under each entry only, never between the
        // lines of one.
        ui_->window->showNormal();
        ui_->window->resize(1024, 600);
        QCoreApplication::processEvents();
        auto* accounts = ui_->widget<QListWidget>("ListBox1");
        QCOMPARE(accounts->count(), 4);
        // The list takes the panel's height, its buttons stand at the foot.
        auto* panel = ui_->widget<QWidget>("Panel4");
        auto* lastBox = panel->findChild<QCheckBox*>(QStringLiteral("TextbookBox"));
        for (const int height : {1000, 600}) {
            ui_->window->resize(1024, height);
            QCoreApplication::processEvents();
            const int below = panel->height() - lastBox->mapTo(panel, QPoint(0, lastBox->height())).y();
            QVERIFY2(below < 12, qPrintable(QStringLiteral("%1 pixels under the buttons").arg(below)));
        }
        const QString longName = QString::fromUtf8("Sonstige betriebliche Aufwendungen für Fremdleistungen");
        QCOMPARE(accounts->findItems(longName, Qt::MatchExactly).size(), 1);
        const QImage shown = accounts->viewport()->grab().toImage();
        const QRgb rule = accounts->palette().color(QPalette::Mid).rgb();
        const auto ruled = [&](int y) {
            for (int x = 0; x < shown.width(); ++x)
                if (shown.pixel(x, y) != rule) return false;
            return true;
        };
        for (int i = 0; i < accounts->count(); ++i) {
            const QRect item = accounts->visualItemRect(accounts->item(i));
            const bool wraps = accounts->item(i)->text() == longName;
            QCOMPARE(item.height() >= 2 * accounts->fontMetrics().lineSpacing(), wraps);
            QVERIFY2(ruled(item.bottom()), qPrintable(accounts->item(i)->text()));
            for (int y = item.top(); y < item.bottom(); ++y) QVERIFY2(!ruled(y), qPrintable(accounts->item(i)->text()));
        }
    }

private:
    // Appends `count` bookings of two lines each; the first names a person
    // and a reason with umlauts and a euro sign.
    static void appendBookings(int count) {
        const int first = bookings_count();
        for (int i = 0; i < count; ++i) {
            BookingRecord r;
            r.number = first + i;
            r.date = "03.03.2026";
            r.person = i == 0 ? cp("Müller") : "Kunde " + std::to_string(i);
            r.reason = i == 0 ? cp("Büro für 5 €") : "Vorgang " + std::to_string(i);
            r.account[0] = "Bank";
            r.debit[0] = 5 + i;
            r.account[1] = "Kasse";
            r.credit[1] = 5 + i;
            bookings_append(r);
        }
    }
    static int umlautRow(const std::vector<std::string>& lines) {
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].find(cp("Müller")) != std::string::npos) return static_cast<int>(i);
        return -1;
    }

    std::unique_ptr<Ui> ui_;
};

QTEST_MAIN(ReportPagesTest)
#include "report_pages_test.moc"
