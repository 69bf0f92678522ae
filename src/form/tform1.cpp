#include "form/tform1.h"

#include <ctime>
#include <iterator>
#include <string_view>
#include <tuple>

#include "accounts/chart_file.h"
#include "base/cp1252.h"
#include "base/failure.h"
#include "base/file.h"
#include "base/folder_lock.h"
#include "base/numbers.h"
#include "base/text_file.h"
#include "base/working_files.h"
#include "bookings/bookings_file.h"
#include "bookings/checks.h"
#include "exercises/exercise_file.h"
#include "form/manual_chapters.h"
#include "kernel/handler_runner.h"
#include "settings/backup.h"
#include "settings/teacher_options.h"
#include "undo/undo_copies.h"

namespace saldorama {
namespace {

FileDialogSpec backup_dialog(const std::string& title, const std::string& offered) {
    return FileDialogSpec{title, offered, "Saldorama-Sicherung (*.qrx)", "*.qrx", "qrx"};
}

// Today as YYYY-MM-DD, in local time.
std::string today_iso() {
    const std::time_t now = std::time(nullptr);
    char text[16] = {};
    if (const std::tm* local = std::localtime(&now)) std::strftime(text, sizeof text, "%Y-%m-%d", local);
    return text;
}

// The last part of a path, for messages.
std::string base_name(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* const kAccessWord = "Mentor";

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
    SpeedButtonUndo.text = cp("Rückgängig");
    // The boxes' handlers run on every change from here on, also from code.
    settings.CheckBox1.onClick = [this] { settings.CheckBox1Click(); };
    settings.CheckBox3.onClick = [this] { CheckBox3Click(); };
}

bool TForm1::run(const std::function<void()>& handler) { return run_handler(dialogs, handler); }

void TForm1::FormCreate(const StartupOptions& options) {
    state.startDirectory = current_directory();
    // What a crash interrupted is finished, and its leftovers go, before
    // anything is read. Readers never change the folder: they read the
    // state a pending replacement commits to.
    std::string foreignNote;
    if (options.createBookingsFile) {
        forget_pending_state();
        FolderLock lock(state.startDirectory);
        foreignNote = recover_folder(state.startDirectory);
    } else {
        foreignNote = read_pending_state(state.startDirectory);
    }
    if (!foreignNote.empty()) dialogs.notice(foreignNote);

    // The settings, line by line: a failing line leaves the lines before it in place.
    const std::vector<std::string> lines = read_settings_lines();
    Settings read = currentSettings();
    std::exception_ptr fault;
    try {
        read_settings_into(lines, read);
    } catch (...) {
        fault = std::current_exception();
    }
    applySettings(read);
    // A file that holds the access word as company name got it by mistake.
    savedCompanyName_ = read.company[kCompanyName] == kAccessWord ? std::string() : read.company[kCompanyName];
    bool yearRead = true;  // the year and the chart names behind it
    try {
        state.bookingYear = text_to_int(read.yearText);
    } catch (const Failure&) {
        yearRead = false;
    }
    if (yearRead) {
        Label* nameCaptions[] = {&chart.Label14, &chart.Label15, &chart.Label16, &chart.Label17};
        static_assert(std::size(nameCaptions) == std::tuple_size_v<decltype(read.chartNames)>);
        for (std::size_t i = 0; i < std::size(nameCaptions); ++i) nameCaptions[i]->text = read.chartNames[i];
    }
    if (fault) std::rethrow_exception(fault);
    state.currentChart = settings.RadioGroup1.itemIndex + 1;
    state.examMode = read_teacher_options().examMode;
    exercises.SolutionButton.visible = !state.examMode;

    const char* chartHeads[] = {"Bezeichnung", "Bilanz", "GuV", "Akt./Pass. bzw. Soll/Haben", "", "Nr."};
    for (std::size_t c = 0; c < std::size(chartHeads); ++c) chart.StringGrid1.cell(static_cast<int>(c), 0) = chartHeads[c];
    opening.StringGrid2.cell(0, 0) = "Konto";
    opening.StringGrid2.cell(1, 0) = cp("Eröffnungsbetrag");

    if (options.readExercises) {
        // As many exercises as the folder holds; a gap in their numbers
        // stops start-up at the missing file.
        exercises.list(exercise_count());
        for (std::size_t i = 0; i < exercises.titles.size(); ++i) {
            const auto exerciseLines = read_text_lines(exercise_file_name(static_cast<int>(i + 1)), LineEnds::CrLfLfOrCr);
            exercises.titles[i].text = exerciseLines.empty() ? "" : exerciseLines[0];
        }
    }

    if (options.createBookingsFile) {
        FolderLock lock(state.startDirectory);
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
    // Leaving the settings: the access word gives way to the company name.
    if (activePage_ == Page::TabSheet7 && company.field(kCompanyName).text == kAccessWord) company.field(kCompanyName).text = savedCompanyName_;
    activePage_ = page;
    showAgain();
}

void TForm1::showAgain() {
    switch (activePage_) {
    case Page::TabSheet1: start.TabSheet1Show(); break;
    case Page::TabSheet3: opening.TabSheet3Show(); break;
    case Page::TabSheet4: booking.TabSheet4Show(); break;
    case Page::TabSheet5: balance.TabSheet5Show(); break;
    case Page::TabSheet6: journal.TabSheet6Show(); break;
    case Page::TabSheet9: chart.TabSheet9Show(); break;
    case Page::TabSheet10: accountSheet.TabSheet10Show(); break;
    case Page::TabSheet11: operating.TabSheet11Show(); break;
    case Page::TabSheet7: settings.TabSheet7Show(); break;
    case Page::TabSheet8: exercises.followExamMode(); break;
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
    if (company.field(kCompanyName).text == kAccessWord) {
        showPage(Page::TabSheet7);
    } else {
        dialogs.notice(cp("Sie haben keine Berechtigung für diesen Menüpunkt!"));
    }
}

void TForm1::SpeedButton23Click() {
    if (!dialogs.question(cp("Neuer Kontenplan bedeutet, dass alle Buchungen gelöscht werden! Wollen Sie weiter?"),
                          Preset::No))
        return;
    if (!dialogs.question(cp("Die Buchungssätze werden jetzt gelöscht!"), Preset::No)) return;
    {
        const std::string folder = working_folder(state);
        FolderLock lock(folder);
        UndoCopy copy(folder, cp("Das Leeren der Buchungen für einen neuen Kontenplan"));
        emptyBookings();
        copy.done(0);
    }
    chart.setReadOnly(false);
    showPage(Page::TabSheet9);
}

void TForm1::SpeedButton37Click() {
    if (state.currentChart == 0) {
        dialogs.notice(no_chart_message());
        return;
    }
    chart.setReadOnly(true);
    showPage(Page::TabSheet9);
}

void TForm1::SpeedButton30Click() { (void)saveAll(); }

std::string TForm1::offeredBackupName(const std::string& isoDate) const {
    std::string name;
    for (const char c : company.Edit7.text) {
        const bool unfit = static_cast<unsigned char>(c) < 0x20 || c == ' ' || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
        name += unfit ? '_' : c;
    }
    std::string offered = name.empty() ? std::string() : name + "_";
    if (exercises.loadedExercise() != 0) offered += "Aufgabe-" + std::to_string(exercises.loadedExercise()) + "_";
    return (offered.empty() ? std::string("Sicherung_") : offered) + isoDate;
}

bool TForm1::saveAll() {
    // Until the learner chooses a name, one that tells this backup apart.
    const std::string offered = backupNameChosen_ ? lastBackupName : offeredBackupName(today_iso());
    const auto chosen = dialogs.saveFile(backup_dialog("Aktuellen Stand zwischenspeichern", offered));
    if (!chosen || chosen->empty()) return true;
    std::string name = *chosen;
    if (!has_extension(name)) name += ".qrx";
    lastBackupName = name;
    backupNameChosen_ = true;
    // Fixed before the change of directory: a relative name means the dialog's one.
    const std::string path = full_path(name);

    if (const std::string refusal = refuse_export_target(path, state.startDirectory); !refusal.empty()) {
        dialogs.notice(refusal);
        return false;
    }
    if (is_directory(path)) {
        dialogs.notice(cp("„") + name + cp("“ ist ein Ordner. Wähle einen Dateinamen für die Sicherung."));
        return false;
    }

    CompanyFields fields = company.texts();
    fields[kCompanyName] = companyNameToSave();
    change_directory(state.startDirectory);
    // Held while reading and writing: the backup shows one state of the
    // bookings, and it may lie in the working folder itself.
    FolderLock lock(state.startDirectory);
    // Never a backup that "Sicherung laden!" would refuse; all or nothing: a
    // failed Save All never leaves a half-written backup.
    if (const std::string refusal = write_backup_file(path, fields, state.currentChart); !refusal.empty()) {
        dialogs.notice(refusal);
        return false;
    }
    state.status = cp("Alles gespeichert in „") + base_name(path) + cp("“.");
    return true;
}

// A settings file that does not read is mended by a restore, which writes
// the settings anyway: its lines are kept as far as they read, and a year
// that is no number is taken from the backup's first booking.
void TForm1::mendSettings(Settings& restored, const std::string& firstDate) {
    std::vector<std::string> lines;
    try {
        lines = read_settings_lines();
        Settings sound;
        read_settings_into(lines, sound);
        return;
    } catch (const Failure&) {
    }
    read_settings_leniently(lines, restored);
    try {
        (void)text_to_int(restored.yearText);
    } catch (const Failure&) {
        if (firstDate.size() == 10) restored.yearText = firstDate.substr(6);
    }
}

void TForm1::SpeedButton33Click() {
    const auto chosen = dialogs.openFile(backup_dialog("Sicherung laden", lastBackupName));
    if (!chosen || chosen->empty()) return;
    std::string name = *chosen;
    if (!has_extension(name) && !file_exists(name)) name += ".qrx";
    const std::string path = full_path(name);
    if (!dialogs.question(cp("Alle Buchungen und die Firmendaten werden durch die Sicherung ersetzt! Fortfahren?"),
                          Preset::No))
        return;

    change_directory(state.startDirectory);
    Backup backup;
    Settings restored = currentSettings();
    int count = 0;
    bool checked = false;
    std::string firstDate;
    backupNote.clear();
    {
        // Bookings and settings change as one, also across a crash. The new
        // bookings file is written aside while the backup is read, and it
        // replaces the old one only when the whole backup is sound.
        FolderLock lock(state.startDirectory);
        FileBuilder bookings(bookings_file_name());
        const std::string error = scan_backup_file(path, name, backup, [&](const BookingRecord& r) {
            const RecordBytes bytes = encode_record(r);
            bookings.write({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
            if (count == 0) firstDate = r.date;
            ++count;
        }, &checked);
        if (!error.empty()) {
            dialogs.notice(error);
            return;
        }
        mendSettings(restored, firstDate);
        restored.company = backup.company;
        restored.chartIndex = backup.chart - 1;
        // Only a backup that will be loaded leaves a copy to go back to.
        UndoCopy copy(state.startDirectory, cp("Das Laden der Sicherung „") + base_name(path) + cp("“"));
        replace_files({Replacement::builtAside(bookings_file_name(), bookings.release()),
                       {resolve_name(kSettingsFileName), join_crlf(settings_to_lines(restored))}},
                      state.startDirectory);
        copy.done(count);
    }
    state.bookingCount = count;
    state.bookingPosition = state.bookingCount;
    state.bookingShown = false;
    writePositionIndicator();
    applySettings(restored);
    state.currentChart = backup.chart;
    state.status = cp("Sicherung „") + base_name(path) + cp("“ geladen: ") + std::to_string(state.bookingCount) +
                   " Buchungen.";
    if (!checked) {
        backupNote = unchecked_backup_note(base_name(path));
        state.status += " " + backupNote;
    }
}

std::string TForm1::titleText() const {
    // The access word never shows, not even in the title bar.
    std::string title = companyNameToSave();
    const Edit* names[] = {&settings.Edit9, &settings.Edit10, &settings.Edit11, &settings.Edit12};
    if (state.currentChart >= 1 && state.currentChart <= kChartCount) {
        const std::string& name = names[state.currentChart - 1]->text;
        const std::string chartName = name.empty() ? "Kontenplan " + std::to_string(state.currentChart) : name;
        title += title.empty() ? chartName : cp(" – ") + chartName;
    }
    // The program's name is part of the title itself, so that it shows also
    // where no desktop adds it.
    return title.empty() ? Caption : title + cp(" – ") + Caption;
}

void TForm1::SpeedButton31Click() {
    const Answer answer = dialogs.questionWithCancel("Vor dem Beenden speichern?");
    if (answer == Answer::Cancel) return;  // the window stays open
    // A refused Save All keeps the window open, so nothing is left unsaved.
    if (answer == Answer::Yes && !saveAll()) return;
    closeRequested = true;
}

bool TForm1::unsavedInput() const {
    Settings current = currentSettings();
    current.company[kCompanyName] = companyNameToSave();
    Settings saved = current;
    try {
        read_settings_into(read_settings_lines(), saved);
    } catch (const Failure&) {
        return false;  // nothing sound to compare with; start-up said so
    }
    return settings_to_lines(current) != settings_to_lines(saved);
}

bool TForm1::FormCloseQuery() {
    if (!unsavedInput()) return true;
    const Answer answer = dialogs.questionWithCancel(
        cp("Deine Eingaben unter „Grundeinstellungen“ oder „Einstellungen“ sind noch nicht gespeichert. "
           "Jetzt speichern?"));
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::No) return true;
    const std::string before = state.status;
    company.SpeedButton32Click();
    // A refused field ("|") keeps the window open for mending.
    return unsavedInput() ? false : (state.status = before, true);
}

void TForm1::SpeedButton34Click() {
    const std::string manual = manualPath();
    if (manual.empty()) {
        dialogs.notice(cp("Die Anleitung (") + kManualFileName +
                       cp(") ist weder im Arbeitsordner noch bei den mitgelieferten Dateien. "
                          "Kopiere sie in den Arbeitsordner, dann öffnet „Hilfe“ sie hier im Programm."));
        return;
    }
    dialogs.notice(cp("Die Anleitung öffnet sich in einem Fenster des Programms, beim Kapitel zu der Seite, "
                      "die du gerade siehst. Links findest du alle Kapitel."));
    // The guide opens inside the program, at the chapter of the page on show.
    if (!dialogs.openManual(manual, manual_chapter(activePage_)))
        dialogs.notice(cp("Kein Programm konnte die Anleitung öffnen. Öffne sie selbst mit einem PDF-Betrachter: „") +
                       utf8_to_cp1252(manual) + cp("“."));
}

void TForm1::SpeedButtonUndoClick() {
    const std::string folder = working_folder(state);
    const auto step = last_undo_step(folder);
    if (!step) {
        dialogs.notice(cp("Es gibt keinen Schritt, den du rückgängig machen kannst."));
        return;
    }
    const int countNow = file_exists(bookings_file_name()) ? bookings_count() : 0;
    std::string question = step->label + cp(" rückgängig machen?");
    // Bookings made after the step are not in its copy: say what goes with it.
    const int lost = step->bookingsAfter < 0 ? 0 : countNow - step->bookingsAfter;
    if (lost == 1) {
        question += cp(" Die eine Buchung, die du seitdem gemacht hast, geht dabei verloren.");
    } else if (lost > 1) {
        question += " Die " + std::to_string(lost) + cp(" Buchungen, die du seitdem gemacht hast, gehen dabei verloren.");
    }
    if (!dialogs.question(question, Preset::No)) return;
    {
        FolderLock lock(folder);
        // Another program may have changed the books while the question was open.
        const auto still = last_undo_step(folder);
        const int countThen = file_exists(bookings_file_name()) ? bookings_count() : 0;
        if (!still || still->copyPath != step->copyPath || countThen != countNow) {
            dialogs.notice(cp("Die Buchungen wurden inzwischen von einem anderen Programm geändert. "
                              "Drück noch einmal auf „Rückgängig“, um zu sehen, was jetzt zurückgenommen wird."));
            return;
        }
        undo_step(folder, *step);
    }
    // The books changed under every page: read them as a start does.
    Settings restored = currentSettings();
    read_settings_into(read_settings_lines(), restored);
    applySettings(restored);
    savedCompanyName_ = restored.company[kCompanyName] == kAccessWord ? std::string() : restored.company[kCompanyName];
    state.currentChart = settings.RadioGroup1.itemIndex + 1;
    state.bookingCount = bookings_count();
    state.bookingPosition = state.bookingCount;
    state.bookingShown = false;
    writePositionIndicator();
    state.status = step->label + cp(" ist rückgängig gemacht.");
    showAgain();
}

std::string TForm1::manualPath() const {
    // The working folder's copy first (./run and the per-user folder put one
    // there), then the one installed beside the supplied files.
    for (const std::string& folder : {state.startDirectory, state.suppliedFolder}) {
        if (folder.empty()) continue;
        const std::string path = folder + "/" + kManualFileName;
        if (file_exists(path)) return path;
    }
    return {};
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
    s.company = company.texts();
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
    company.setTexts(s.company);
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

std::string TForm1::companyNameToSave() const {
    return company.field(kCompanyName).text == kAccessWord ? savedCompanyName_ : company.field(kCompanyName).text;
}

void TForm1::einstellungen_sichern() {
    FolderLock lock(working_folder(state));
    Settings s = currentSettings();
    s.company[kCompanyName] = companyNameToSave();
    write_settings_file(s);
    savedCompanyName_ = s.company[kCompanyName];
}

void TForm1::writePositionIndicator() {
    booking.Label45.text = std::to_string(state.bookingPosition) + "/" + std::to_string(state.bookingCount);
}

void TForm1::emptyBookings() {
    state.bookingShown = false;
    try {
        FolderLock lock(working_folder(state));
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
