// TabSheet2 (company data) and TabSheet7 (teacher's settings).
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/main_window.h"
#include "ui/ui_text.h"

namespace saldorama::ui {

namespace {

class CompanyPageView : public PageView {
public:
    explicit CompanyPageView(MainWindow& w) : PageView(w, Page::TabSheet2) {
        CompanyPage& page = form_.company;
        QLabel* prompt = bind_label(this, bindings_, "Label2", page.Label2, QRect(32, 16, 500, 24));
        QFont bold = prompt->font();
        bold.setBold(true);
        bold.setPixelSize(15);
        prompt->setFont(bold);

        const int rows[] = {60, 88, 116, 180, 208, 236, 276, 304};
        QWidget* previous = nullptr;
        for (std::size_t i = 0; i < std::size(rows); ++i) {
            bind_label(this, bindings_, ("caption" + std::to_string(i + 1)).c_str(), page.captions[i],
                       QRect(32, rows[i] + 3, 230, 17));
            const std::string name = "Edit" + std::to_string(i + 1);
            QLineEdit* edit = bind_edit(window_, this, bindings_, name.c_str(), page.field(static_cast<CompanyField>(i)), QRect(270, rows[i], 320, 22));
            if (previous) setTabOrder(previous, edit);
            previous = edit;
        }
        QLabel* bank = bind_label(this, bindings_, "Label6", page.Label6, QRect(32, 152, 300, 20));
        QFont head = bank->font();
        head.setBold(true);
        bank->setFont(head);
        ok_ = bind_button(window_, this, bindings_, "SpeedButton32", page.SpeedButton32, QRect(270, 348, 89, 28),
                          [this] { form_.company.SpeedButton32Click(); });
        // The one button of the form: Tab reaches it, Return presses it.
        ok_->setFocusPolicy(Qt::StrongFocus);
        setTabOrder(previous, ok_);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            ok_->click();
            return;
        }
        PageView::keyPressEvent(event);
    }

private:
    QToolButton* ok_;
};

class SettingsPageView : public PageView {
public:
    explicit SettingsPageView(MainWindow& w) : PageView(w, Page::TabSheet7) {
        SettingsPage& page = form_.settings;
        bind_check(window_, this, bindings_, "CheckBox1", page.CheckBox1, QRect(32, 16, 190, 22));
        bind_label(this, bindings_, "Label22", page.Label22, QRect(232, 19, 130, 17));
        bind_edit(window_, this, bindings_, "Edit13", page.Edit13, QRect(364, 16, 60, 22));
        bind_label(this, bindings_, "Label23", page.Label23, QRect(432, 19, 40, 17));
        bind_check(window_, this, bindings_, "CheckBox2", page.CheckBox2, QRect(32, 46, 460, 22));
        bind_check(window_, this, bindings_, "CheckBox3", page.CheckBox3, QRect(32, 72, 460, 22));

        bind_label(this, bindings_, "yearCaption", page.yearCaption, QRect(32, 111, 220, 17));
        bind_edit(window_, this, bindings_, "Edit28", page.Edit28, QRect(260, 108, 80, 22));
        Edit* names[] = {&page.Edit9, &page.Edit10, &page.Edit11, &page.Edit12};
        for (std::size_t i = 0; i < std::size(names); ++i) {
            const int y = 144 + 28 * static_cast<int>(i);
            bind_label(this, bindings_, ("chartNameCaption" + std::to_string(i + 1)).c_str(),
                       page.chartNameCaptions[i], QRect(32, y + 3, 220, 17));
            bind_edit(window_, this, bindings_, ("Edit" + std::to_string(9 + i)).c_str(), *names[i],
                      QRect(260, y, 200, 22));
        }

        radioGroup_ = new QGroupBox(qs(page.RadioGroup1.caption), this);
        radioGroup_->setObjectName(QStringLiteral("RadioGroup1"));
        radioGroup_->setGeometry(490, 100, 110, 140);
        auto* radios = new QVBoxLayout(radioGroup_);
        group_ = new QButtonGroup(this);
        for (std::size_t i = 0; i < page.RadioGroup1.items.size(); ++i) {
            auto* radio = new QRadioButton(qs(page.RadioGroup1.items[i]), radioGroup_);
            group_->addButton(radio, static_cast<int>(i));
            radios->addWidget(radio);
        }
        bindings_.add([this] { syncRadioGroup(); });

        // The teacher's settings for tests above the buttons: "Speichern" saves them too.
        bind_check(window_, this, bindings_, "examMode", page.examMode, QRect(32, 262, 560, 22));
        bind_label(this, bindings_, "solutionsCaption", page.solutionsCaption, QRect(32, 295, 280, 17));
        bind_edit(window_, this, bindings_, "solutionsFolder", page.solutionsFolder, QRect(316, 292, 284, 22));
        bind_button(window_, this, bindings_, "Button1", page.Button1, QRect(32, 336, 260, 28),
                    [this] { form_.settings.Button1Click(); });
        bind_button(window_, this, bindings_, "Button2", page.Button2, QRect(304, 336, 120, 28),
                    [this] { form_.settings.Button2Click(); });
    }

private:
    void syncRadioGroup() {
        const RadioGroup& control = form_.settings.RadioGroup1;
        radioGroup_->setTitle(qs(control.caption));
        radioGroup_->setEnabled(control.enabled);
        // Index -1 shows no item checked.
        group_->setExclusive(false);
        for (QAbstractButton* b : group_->buttons()) b->setChecked(group_->id(b) == control.itemIndex);
        group_->setExclusive(true);
    }

    QGroupBox* radioGroup_;
    QButtonGroup* group_;
};

} // namespace

PageView* make_company_page(MainWindow& w) { return new CompanyPageView(w); }
PageView* make_settings_page(MainWindow& w) { return new SettingsPageView(w); }

} // namespace saldorama::ui
