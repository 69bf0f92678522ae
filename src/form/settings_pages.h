#pragma once
#include <array>

#include "form/chart_page.h"
#include "form/page_context.h"
#include "kernel/controls.h"
#include "settings/settings.h"

namespace saldorama {

// TabSheet2: the company's master data.
class CompanyPage {
public:
    explicit CompanyPage(PageContext& context);

    Label Label2;  // "Bitte geben Sie Ihre Firmendaten ein!"
    Label Label6;  // "Bankverbindung:"
    // Edit1..Edit8 (what each holds: CompanyField) and the label in front of each.
    Edit Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8;
    std::array<Label, kCompanyFields> captions;
    Button SpeedButton32;  // "OK"

    // The one way from a company field to its edit field.
    [[nodiscard]] Edit& field(CompanyField which);
    [[nodiscard]] const Edit& field(CompanyField which) const;
    [[nodiscard]] CompanyFields texts() const;
    void setTexts(const CompanyFields& texts);

    void SpeedButton32Click();

private:
    PageContext& context_;
};

// TabSheet7: the teacher's settings.
class SettingsPage {
public:
    // chart: its Label14..Label17 show the chart names saved here.
    SettingsPage(PageContext& context, ChartPage& chart);

    CheckBox CheckBox1;  // "Mit MWSt. buchen"
    Label Label22;       // "einheitl. MWST-Satz"
    Edit Edit13;         // the VAT rate in %
    Label Label23;       // "in %"
    CheckBox CheckBox2;  // zero accounts in the balance sheet
    CheckBox CheckBox3;  // manual opening and closing
    Label yearCaption;   // "Jahr der Buchhaltung:"
    Edit Edit28;         // the year of the bookkeeping (settings line 13)
    std::array<Label, kChartCount> chartNameCaptions;  // "Bezeichnung für Kontenplan N:"
    Edit Edit9, Edit10, Edit11, Edit12;  // the names of the charts, one each
    RadioGroup RadioGroup1;  // "Aktuell", one item per chart, disabled
    Button Button1;          // "Grundeinstellungen wiederherstellen"
    Button Button2;          // "Speichern"
    // The teacher's settings for tests, stored apart (TeacherOptions).
    CheckBox examMode;        // "Prüfungsmodus"
    Label solutionsCaption;   // "Ordner der Lösungen (leer: Arbeitsordner):"
    Edit solutionsFolder;

    void TabSheet7Show();  // shows the stored teacher's settings
    void Button1Click();
    // Saves the settings and the teacher's settings.
    void Button2Click();
    void CheckBox1Click();

private:
    PageContext& context_;
    ChartPage& chart_;
};

} // namespace saldorama
