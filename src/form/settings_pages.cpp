#include "form/settings_pages.h"

#include "base/cp1252.h"
#include "base/file.h"
#include "base/folder_lock.h"
#include "base/working_files.h"
#include "bookings/checks.h"
#include "bookings/typed_text.h"
#include "settings/teacher_options.h"

namespace saldorama {

CompanyPage::CompanyPage(PageContext& context) : context_(context) {
    Label2.text = "Bitte geben Sie Ihre Firmendaten ein!";
    Label6.text = "Bankverbindung:";
    // The two long captions stand above their fields, without a colon.
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const auto field = static_cast<CompanyField>(i);
        captions[i].text = company_caption(field) + (field < kCompanyBookkeeper ? ":" : "");
    }
    SpeedButton32.text = "OK";
}

Edit& CompanyPage::field(CompanyField which) {
    Edit* const fields[kCompanyFields] = {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7, &Edit8};
    return *fields[which];
}

const Edit& CompanyPage::field(CompanyField which) const { return const_cast<CompanyPage*>(this)->field(which); }

CompanyFields CompanyPage::texts() const {
    CompanyFields result;
    for (std::size_t i = 0; i < kCompanyFields; ++i) result[i] = field(static_cast<CompanyField>(i)).text;
    return result;
}

void CompanyPage::setTexts(const CompanyFields& texts) {
    for (std::size_t i = 0; i < kCompanyFields; ++i) field(static_cast<CompanyField>(i)).text = texts[i];
}


void CompanyPage::SpeedButton32Click() {
    // A "|" would shift the fields of every backup; refused where it is typed.
    for (std::size_t i = 0; i < kCompanyFields; ++i) {
        std::string name = captions[i].text;
        if (!name.empty() && name.back() == ':') name.pop_back();
        const std::string refusal = typed_text_refusal(field(static_cast<CompanyField>(i)).text, name);
        if (refusal.empty()) continue;
        context_.dialogs.notice(refusal);
        return;
    }
    context_.einstellungen_sichern();
    context_.state.status = "Firmendaten gespeichert.";
}

SettingsPage::SettingsPage(PageContext& context, ChartPage& chart) : context_(context), chart_(chart) {
    CheckBox1.caption = "Mit MWSt. buchen";
    CheckBox1.setChecked(true);  // before any handler is attached: the initial state
    Label22.text = "einheitl. MWST-Satz";
    Edit13.text = "0,00";
    Label23.text = "in %";
    CheckBox2.caption = "Konten mit dem Wert 0,00 in der Bilanz darstellen!";
    CheckBox3.caption = cp("Eröffnen und Abschluss manuell durchführen");
    yearCaption.text = "Jahr der Buchhaltung:";
    for (std::size_t i = 0; i < chartNameCaptions.size(); ++i)
        chartNameCaptions[i].text = cp("Bezeichnung für Kontenplan ") + std::to_string(i + 1) + ":";
    RadioGroup1.caption = "Aktuell";
    for (int c = 1; c <= kChartCount; ++c) RadioGroup1.items.push_back(std::to_string(c));
    RadioGroup1.itemIndex = 0;
    RadioGroup1.enabled = false;  // the chart is chosen on the chart page only
    Button1.text = "Grundeinstellungen wiederherstellen";
    Button2.text = "Speichern";
    examMode.caption = cp("Prüfungsmodus (keine Lösungen, Befunde nur mit der Art des Fehlers)");
    solutionsCaption.text = cp("Ordner der Lösungen (leer: Arbeitsordner):");
}

void SettingsPage::TabSheet7Show() {
    const TeacherOptions options = read_teacher_options();
    examMode.setChecked(options.examMode);
    solutionsFolder.text = options.solutionsFolder;
}

void SettingsPage::CheckBox1Click() {
    const bool on = CheckBox1.checked();
    Label22.enabled = on;
    Edit13.enabled = on;
    Label23.enabled = on;
}

void SettingsPage::Button2Click() {
    const TeacherOptions options{examMode.checked(), solutionsFolder.text};
    // A mistyped folder would only show in the test itself, when no check works.
    if (!options.solutionsFolder.empty() && !is_directory(cp1252_to_utf8(options.solutionsFolder))) {
        context_.dialogs.notice(cp("Den Ordner der Lösungen ") + options.solutionsFolder +
                                cp(" gibt es nicht. Trag einen vorhandenen Ordner ein oder lass das Feld leer."));
        return;
    }
    // Written only when changed, so that saving the other settings never
    // leaves this file new and the settings file old.
    if (options != read_teacher_options()) {
        FolderLock lock(working_folder(context_.state));
        write_teacher_options(options);
    }
    context_.state.examMode = options.examMode;
    context_.einstellungen_sichern();
    context_.state.status = "Einstellungen gespeichert.";
    chart_.Label14.text = Edit9.text;
    chart_.Label15.text = Edit10.text;
    chart_.Label16.text = Edit11.text;
    chart_.Label17.text = Edit12.text;
}

void SettingsPage::Button1Click() {
    CheckBox1.setChecked(true);
    CheckBox2.setChecked(false);
    CheckBox3.setChecked(false);
    Edit28.text = "2007";
    Edit9.text = "Einfach";
    chart_.Label14.text = Edit9.text;
    Edit10.text = "Umfangreicher";
    chart_.Label15.text = Edit10.text;
    Edit11.text = "Handel";
    chart_.Label16.text = Edit11.text;
    Edit12.text = "Industrie";
    chart_.Label17.text = Edit12.text;
    Edit13.text = "0";
}

} // namespace saldorama
