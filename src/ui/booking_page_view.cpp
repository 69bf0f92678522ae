// TabSheet4: the booking form, each widget at its fixed pixel position on the page.
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QResizeEvent>
#include <QTimer>

#include "ui/main_window.h"
#include "ui/ui_text.h"

namespace saldorama::ui {

namespace {

class BookingPageView : public PageView {
public:
    explicit BookingPageView(MainWindow& w) : PageView(w, Page::TabSheet4) {
        BookingPage& p = form_.booking;
        auto button = [&](const char* name, Button& control, QRect geometry, void (BookingPage::*handler)()) {
            return bind_button(window_, this, bindings_, name, control, geometry,
                               [this, handler] { (form_.booking.*handler)(); });
        };
        QToolButton* neu =
            button("SpeedButton8", p.SpeedButton8, QRect(32, 8, 121, 30), &BookingPage::SpeedButton8Click);
        button("SpeedButton9", p.SpeedButton9, QRect(184, 16, 33, 22), &BookingPage::SpeedButton9Click);
        button("SpeedButton25", p.SpeedButton25, QRect(216, 16, 33, 22), &BookingPage::SpeedButton25Click);
        button("SpeedButton26", p.SpeedButton26, QRect(248, 16, 33, 22), &BookingPage::SpeedButton26Click);
        button("SpeedButton27", p.SpeedButton27, QRect(280, 16, 33, 22), &BookingPage::SpeedButton27Click);
        button("SpeedButton28", p.SpeedButton28, QRect(312, 16, 57, 22), &BookingPage::SpeedButton28Click);
        button("SpeedButton36", p.SpeedButton36, QRect(374, 16, 57, 22), &BookingPage::SpeedButton36Click);
        buchen_ = button("SpeedButton29", p.SpeedButton29, QRect(480, 240, 105, 62), &BookingPage::SpeedButton29Click);

        bind_label(this, bindings_, "Label25", p.Label25, QRect(32, 48, 126, 16));
        bind_label(this, bindings_, "Label26", p.Label26, QRect(160, 48, 240, 16));
        bind_label(this, bindings_, "Label27", p.Label27, QRect(32, 67, 126, 16));
        QLineEdit* date = bind_edit(window_, this, bindings_, "Edit14", p.Edit14, QRect(160, 64, 121, 22),
                                    [this] { form_.booking.Edit14Exit(); });
        // A new booking starts with its date ("&Neu" and Alt+N alike).
        connect(neu, &QToolButton::clicked, date, [date] { date->setFocus(Qt::ShortcutFocusReason); });
        bind_label(this, bindings_, "Label50", p.Label50, QRect(304, 67, 430, 16));
        bind_label(this, bindings_, "Label28", p.Label28, QRect(32, 91, 126, 16));
        QLineEdit* person = bind_edit(window_, this, bindings_, "Edit15", p.Edit15, QRect(160, 88, 217, 22));
        bind_label(this, bindings_, "Label29", p.Label29, QRect(32, 115, 126, 16));
        QLineEdit* reason = bind_edit(window_, this, bindings_, "Edit16", p.Edit16, QRect(160, 112, 217, 22));
        bind_label(this, bindings_, "Label30", p.Label30, QRect(32, 144, 126, 16));
        bind_label(this, bindings_, "Label31", p.Label31, QRect(160, 144, 120, 16));
        bind_label(this, bindings_, "Label32", p.Label32, QRect(32, 168, 180, 16));
        bind_label(this, bindings_, "Label33", p.Label33, QRect(232, 168, 120, 16));
        bind_label(this, bindings_, "Label34", p.Label34, QRect(368, 168, 120, 16));

        using Exit = void (BookingPage::*)();
        const Exit accountExits[] = {&BookingPage::ComboBox1Exit, &BookingPage::ComboBox2Exit,
                                     &BookingPage::ComboBox3Exit, &BookingPage::ComboBox4Exit,
                                     &BookingPage::ComboBox5Exit};
        const Exit debitExits[] = {&BookingPage::Edit17Exit, &BookingPage::Edit19Exit, &BookingPage::Edit21Exit,
                                   &BookingPage::Edit23Exit, &BookingPage::Edit25Exit};
        const Exit creditExits[] = {&BookingPage::Edit18Exit, &BookingPage::Edit20Exit, &BookingPage::Edit22Exit,
                                    &BookingPage::Edit24Exit, &BookingPage::Edit26Exit};
        ComboBox* boxes[] = {&p.ComboBox1, &p.ComboBox2, &p.ComboBox3, &p.ComboBox4, &p.ComboBox5};
        Edit* debits[] = {&p.Edit17, &p.Edit19, &p.Edit21, &p.Edit23, &p.Edit25};
        Edit* credits[] = {&p.Edit18, &p.Edit20, &p.Edit22, &p.Edit24, &p.Edit26};
        // Input order: date, payer, reason, then account, debit, credit line by line.
        QWidget* previous = reason;
        setTabOrder(date, person);
        setTabOrder(person, reason);
        for (std::size_t i = 0; i < 5; ++i) {
            const int y = 184 + 24 * static_cast<int>(i);
            const Exit accountExit = accountExits[i];
            const Exit debitExit = debitExits[i];
            const Exit creditExit = creditExits[i];
            const int line = static_cast<int>(i);
            QComboBox* box = bind_combo(
                window_, this, bindings_, ("ComboBox" + std::to_string(i + 1)).c_str(), *boxes[i],
                QRect(32, y, 185, 22), [this, accountExit, line] {
                    (form_.booking.*accountExit)();
                    // A refused name stays for mending, and so does the focus.
                    QComboBox* refused = boxes_[line];
                    if (form_.booking.rejectedAccountLine == line && refused)
                        QTimer::singleShot(0, refused, [this, refused] {
                            if (isVisible()) refused->setFocus(Qt::OtherFocusReason);
                        });
                });
            boxes_[i] = box;
            QLineEdit* debit = bind_edit(window_, this, bindings_, ("Edit" + std::to_string(17 + 2 * i)).c_str(),
                                         *debits[i], QRect(232, y, 81, 22),
                                         [this, debitExit] { (form_.booking.*debitExit)(); });
            QLineEdit* credit = bind_edit(window_, this, bindings_, ("Edit" + std::to_string(18 + 2 * i)).c_str(),
                                          *credits[i], QRect(368, y, 81, 22),
                                          [this, creditExit] { (form_.booking.*creditExit)(); });
            setTabOrder(previous, box);
            setTabOrder(box, debit);
            setTabOrder(debit, credit);
            previous = credit;
            for (QLineEdit* amount : {debit, credit}) {
                connect(amount, &QLineEdit::textChanged, this, [this] { syncTotals(); });
                // Enter after the last amount books, as "Buchen" does (its checks
                // say what is missing). Enter in an account box picks the account.
                connect(amount, &QLineEdit::returnPressed, this, [this] {
                    if (form_.booking.SpeedButton29.enabled && buchen_->isEnabled()) buchen_->click();
                });
            }
        }

        // Running totals while typing, under the lines.
        totals_ = new QLabel(this);
        totals_->setObjectName(QStringLiteral("LabelTotals"));
        totals_->setTextFormat(Qt::PlainText);
        totals_->setGeometry(32, 310, 440, 18);
        bindings_.add([this] { syncTotals(); });

        browsing_ = new QLabel(this);
        browsing_->setObjectName(QStringLiteral("LabelBrowsing"));
        browsing_->setTextFormat(Qt::PlainText);
        browsing_->setGeometry(440, 20, 200, 16);
        bindings_.add([this] {
            const QString text = qs(form_.booking.browsingText());
            if (browsing_->text() != text) browsing_->setText(text);
        });

        bind_label(this, bindings_, "Label44", p.Label44, QRect(480, 48, 60, 16));
        bind_label(this, bindings_, "Label45", p.Label45, QRect(540, 48, 80, 16));

        panel5_ = new QFrame(this);
        panel5_->setObjectName(QStringLiteral("Panel5"));
        panel5_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        PageView::resizeEvent(event);
        panel5_->setGeometry(0, height() - 24, width(), 24);
    }

private:
    void syncTotals() {
        const QString text = qs(form_.booking.totalsText());
        if (totals_->text() != text) totals_->setText(text);
    }

    QFrame* panel5_;
    QLabel* totals_ = nullptr;
    QToolButton* buchen_ = nullptr;
    QLabel* browsing_ = nullptr;
    QComboBox* boxes_[5] = {};
};

} // namespace

PageView* make_booking_page(MainWindow& w) { return new BookingPageView(w); }

} // namespace saldorama::ui
