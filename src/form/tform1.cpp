#include "form/tform1.h"

#include "base/cp1252.h"
#include "base/file.h"
#include "base/numbers.h"
#include "base/text_file.h"
#include "bookings/bookings_file.h"
#include "bookings/checks.h"
#include "exercises/exercise_file.h"
#include "kernel/handler_runner.h"
#include "settings/backup.h"

namespace saldorama {
namespace {

FileDialogSpec backup_dialog(const std::string& title, const std::string& offered) {
    return FileDialogSpec{title, offered, "Kontrex-Dateien (*.qrx)", "*.qrx", "qrx"};
}

bool has_extension(const std::string& path) {
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

} // namespace

TForm1::TForm1(Dialogs& d)
    : dialogs(d),
      context{state, dialogs, [this] { writePositionIndicator(); }, [this] { emptyBookings(); },
              [this] { einstellungen_sichern(); }},
      company(context), opening(context), booking(context), balance(context, company, settings), journal(context),
      settings(context, chart), exercises(context), chart(context, settings.RadioGroup1), accountSheet(context),
      operating(context, company, settings) {
    SpeedButton22.text = "Aufgaben";
    SpeedButton23.text = "Kontenplan";
    SpeedButton24.text = "Einstellungen";
    SpeedButton35.text = "Grundeinstellungen";
    SpeedButton2.text = cp("Eröffnungsbuchungen");
    SpeedButton3.text = "Buchungen";
    SpeedButton4.text = "Bilanz und GuV";
    SpeedButton1.text = "Betriebsergebnis";
    SpeedButton5.text = "Journal";
    SpeedButton6.text = cp("Kontenblätter");
    SpeedButton30.text = "Alles Speichern";
    SpeedButton31.text = "Ende";
    SpeedButton33.text = "Sicherung laden!";
    SpeedButton34.text = "Hilfe";
    // The boxes' handlers run on every change from here on, also from code.
    settings.CheckBox1.onClick = [this] { settings.CheckBox1Click(); };
    settings.CheckBox3.onClick = [this] { CheckBox3Click(); };
}

bool TForm1::run(const std::function<void()>& handler) { return run_handler(dialogs, handler); }

void TForm1::FormCreate(const StartupOptions& options) {
    state.startDirectory = current_directory();

    // The settings, line by line: a failing line leaves the lines before it in place.
    std::vector<std::string> lines = read_settings_lines();
    lines.resize(kSettingsLines);
    Edit* companyFields[] = {&company.Edit1, &company.Edit2, &company.Edit3, &company.Edit4,
                             &company.Edit5, &company.Edit6, &company.Edit7, &company.Edit8};
    for (std::size_t i = 0; i < 8; ++i) companyFields[i]->text = lines[i];
    settings.CheckBox1.setChecked(settings_flag(lines[8]));
    settings.Edit13.text = lines[9];
    settings.CheckBox2.setChecked(settings_flag(lines[10]));
    settings.CheckBox3.setChecked(settings_flag(lines[11]));
    settings.Edit28.text = lines[12];
    state.bookingYear = text_to_int(lines[12]);
    Edit* nameFields[] = {&settings.Edit9, &settings.Edit10, &settings.Edit11, &settings.Edit12};
    Label* nameCaptions[] = {&chart.Label14, &chart.Label15, &chart.Label16, &chart.Label17};
    for (std::size_t i = 0; i < 4; ++i) {
        nameFields[i]->text = lines[13 + i];
        nameCaptions[i]->text = lines[13 + i];
    }
    settings.RadioGroup1.itemIndex = settings_chart_index(lines[17]);
    state.currentChart = settings.RadioGroup1.itemIndex + 1;

    const char* chartHeads[] = {"Bezeichnung", "Bilanz", "GuV", "Akt./Pass. bzw. Soll/Haben"};
    for (int c = 0; c < 4; ++c) chart.StringGrid1.cell(c, 0) = chartHeads[c];
    opening.StringGrid2.cell(0, 0) = "Konto";
    opening.StringGrid2.cell(1, 0) = cp("Eröffnungsbetrag");

    if (options.readExercises) {
        for (int n = 1; n <= 8; ++n) {
            const auto exerciseLines = read_text_lines(exercise_file_name(n), LineEnds::CrLfLfOrCr);
            exercises.titles[static_cast<std::size_t>(n - 1)].text = exerciseLines.empty() ? "" : exerciseLines[0];
        }
    }

    if (options.createBookingsFile) {
        state.bookingCount = bookings_create_if_missing();
    } else {
        state.bookingCount = file_exists(bookings_file_name()) ? bookings_count() : 0;
    }
    state.bookingPosition = state.bookingCount;
    writePositionIndicator();
    booking.Label44.visible = false;
    booking.Label45.visible = false;

    if (options.showStartPage) showPage(Page::TabSheet1);
}

void TForm1::showPage(Page page) {
    if (page == activePage_) return;
    activePage_ = page;
    switch (page) {
    case Page::TabSheet1: start.TabSheet1Show(); break;
    case Page::TabSheet3: opening.TabSheet3Show(); break;
    case Page::TabSheet4: booking.TabSheet4Show(); break;
    case Page::TabSheet5: balance.TabSheet5Show(); break;
    case Page::TabSheet6: journal.TabSheet6Show(); break;
    case Page::TabSheet9: chart.TabSheet9Show(); break;
    case Page::TabSheet10: accountSheet.TabSheet10Show(); break;
    case Page::TabSheet11: operating.TabSheet11Show(); break;
    default: break;  // the other pages have no show handler
    }
}

void TForm1::SpeedButton2Click() { showPage(Page::TabSheet3); }
void TForm1::SpeedButton3Click() { showPage(Page::TabSheet4); }
void TForm1::SpeedButton4Click() { showPage(Page::TabSheet5); }
void TForm1::SpeedButton1Click() { showPage(Page::TabSheet11); }
void TForm1::SpeedButton5Click() { showPage(Page::TabSheet6); }
void TForm1::SpeedButton6Click() { showPage(Page::TabSheet10); }
void TForm1::SpeedButton22Click() { showPage(Page::TabSheet8); }
void TForm1::SpeedButton35Click() { showPage(Page::TabSheet2); }

void TForm1::SpeedButton24Click() {
    if (company.Edit1.text == "Mentor") {
        showPage(Page::TabSheet7);
    } else {
        dialogs.notice(cp("Sie haben keine Berechtigung für diesen Menüpunkt!"));
    }
}

void TForm1::SpeedButton23Click() {
    if (!dialogs.question(cp("Neuer Kontenplan bedeutet, dass alle Buchungen gelöscht werden! Wollen Sie weiter?")))
        return;
    if (!dialogs.question(cp("Die Buchungssätze werden jetzt gelöscht!"))) return;
    emptyBookings();
    showPage(Page::TabSheet9);
}

void TForm1::SpeedButton30Click() {
    const auto chosen = dialogs.saveFile(backup_dialog("Aktuellen Stand zwischenspeichern", lastBackupName));
    if (!chosen || chosen->empty()) return;
    std::string name = *chosen;
    if (!has_extension(name)) name += ".qrx";
    lastBackupName = name;
    // Fixed before the change of directory: a relative name means the dialog's one.
    const std::string path = full_path(name);

    Backup backup;
    const Edit* fields[] = {&company.Edit1, &company.Edit2, &company.Edit3, &company.Edit4,
                            &company.Edit5, &company.Edit6, &company.Edit7, &company.Edit8};
    for (std::size_t i = 0; i < 8; ++i) backup.company[i] = fields[i]->text;
    backup.chart = state.currentChart;
    change_directory(state.startDirectory);
    backup.bookings = bookings_read_all();
    // All or nothing: a failed Save All never leaves a half-written backup.
    write_file_atomic(path, backup_text(backup));
}

void TForm1::SpeedButton33Click() {
    const auto chosen = dialogs.openFile(backup_dialog("Sicherung laden", lastBackupName));
    if (!chosen || chosen->empty()) return;
    std::string name = *chosen;
    if (!has_extension(name) && !file_exists(name)) name += ".qrx";
    const std::string path = full_path(name);
    if (!dialogs.question(
            cp("Alle Buchungen und die Firmendaten werden durch die Sicherung ersetzt! Fortfahren?")))
        return;

    // The whole file is checked before anything changes.
    BackupReading reading = read_backup(read_file(path));
    if (!reading.backup) {
        dialogs.notice(reading.error);
        return;
    }
    const Backup& backup = *reading.backup;
    change_directory(state.startDirectory);
    bookings_replace_all(backup.bookings);
    state.bookingCount = static_cast<int>(backup.bookings.size());
    state.bookingPosition = state.bookingCount;
    writePositionIndicator();

    Edit* fields[] = {&company.Edit1, &company.Edit2, &company.Edit3, &company.Edit4,
                      &company.Edit5, &company.Edit6, &company.Edit7, &company.Edit8};
    for (std::size_t i = 0; i < 8; ++i) fields[i]->text = backup.company[i];
    state.currentChart = backup.chart;
    settings.RadioGroup1.itemIndex = backup.chart - 1;
    einstellungen_sichern();
}

void TForm1::SpeedButton31Click() {
    if (dialogs.question("Vor dem Beenden speichern?")) SpeedButton30Click();
    closeRequested = true;
}

void TForm1::SpeedButton34Click() {
    dialogs.notice(cp("Auf eine eigene Hilfedatei wurde verzichtet. Bitte lesen Sie die Anleitung, "
                      "die sich als PDF-Dokument im gleichen Verzeichnis befindet, wie das Programm!"));
}

void TForm1::CheckBox3Click() {
    if (settings.CheckBox3.checked()) {
        SpeedButton4.text = cp("Saldenüberprüfung");
        SpeedButton2.enabled = false;
    } else {
        SpeedButton2.enabled = true;
        SpeedButton4.text = "Bilanz und GuV";
    }
}

Settings TForm1::currentSettings() const {
    Settings s;
    s.companyName = company.Edit1.text;
    s.street = company.Edit2.text;
    s.postcodeTown = company.Edit3.text;
    s.bankAccount = company.Edit4.text;
    s.bankCode = company.Edit5.text;
    s.bankName = company.Edit6.text;
    s.responsibleBookkeeping = company.Edit7.text;
    s.responsibleCompany = company.Edit8.text;
    s.withVat = settings.CheckBox1.checked();
    s.vatRate = settings.Edit13.text;
    s.showZeroAccounts = settings.CheckBox2.checked();
    s.manualMode = settings.CheckBox3.checked();
    s.yearText = settings.Edit28.text;
    s.chartNames = {settings.Edit9.text, settings.Edit10.text, settings.Edit11.text, settings.Edit12.text};
    s.chartIndex = settings.RadioGroup1.itemIndex;
    return s;
}

void TForm1::applySettings(const Settings& s) {
    company.Edit1.text = s.companyName;
    company.Edit2.text = s.street;
    company.Edit3.text = s.postcodeTown;
    company.Edit4.text = s.bankAccount;
    company.Edit5.text = s.bankCode;
    company.Edit6.text = s.bankName;
    company.Edit7.text = s.responsibleBookkeeping;
    company.Edit8.text = s.responsibleCompany;
    settings.CheckBox1.setChecked(s.withVat);
    settings.Edit13.text = s.vatRate;
    settings.CheckBox2.setChecked(s.showZeroAccounts);
    settings.CheckBox3.setChecked(s.manualMode);
    settings.Edit28.text = s.yearText;
    settings.Edit9.text = s.chartNames[0];
    settings.Edit10.text = s.chartNames[1];
    settings.Edit11.text = s.chartNames[2];
    settings.Edit12.text = s.chartNames[3];
    settings.RadioGroup1.itemIndex = s.chartIndex;
}

void TForm1::einstellungen_sichern() { write_settings_file(currentSettings()); }

void TForm1::writePositionIndicator() {
    booking.Label45.text = std::to_string(state.bookingPosition) + "/" + std::to_string(state.bookingCount);
}

void TForm1::emptyBookings() {
    try {
        bookings_empty();
    } catch (...) {
        // The file may be empty already although a later step failed; the
        // counters must never claim bookings the file no longer has.
        bool emptied = false;
        try {
            emptied = bookings_count() == 0;
        } catch (...) {
        }
        if (emptied) {
            state.bookingCount = 0;
            state.bookingPosition = 0;
            writePositionIndicator();
        }
        throw;
    }
    state.bookingCount = 0;
    state.bookingPosition = 0;
    writePositionIndicator();
}

} // namespace saldorama
