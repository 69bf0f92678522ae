#pragma once
#include <functional>
#include <string>

#include "form/app_state.h"
#include "form/booking_page.h"
#include "form/chart_page.h"
#include "form/exercise_page.h"
#include "form/opening_balance_page.h"
#include "form/page_context.h"
#include "form/report_pages.h"
#include "form/settings_pages.h"
#include "form/start_page.h"
#include "kernel/controls.h"
#include "kernel/dialogs.h"
#include "settings/settings.h"

namespace saldorama {

// The pages of the page control, by the name of their tab sheet.
enum class Page {
    TabSheet1 = 1,  // start page: picture, version, notice
    TabSheet2,      // company data ("Grundeinstellungen")
    TabSheet3,      // opening balance ("Eröffnungsbuchungen")
    TabSheet4,      // booking form ("Buchungen")
    TabSheet5,      // balance sheet and profit and loss ("Bilanz und GuV")
    TabSheet6,      // journal
    TabSheet7,      // teacher's settings ("Einstellungen")
    TabSheet8,      // exercises ("Aufgaben")
    TabSheet9,      // chart of accounts ("Kontenplan")
    TabSheet10,     // T-accounts ("Kontenblätter")
    TabSheet11,     // operating and neutral result ("Betriebsergebnis")
};

struct StartupOptions {
    bool readExercises = true;      // the command-line tool needs no exercise files
    bool createBookingsFile = true; // read-only commands must not create it
    bool showStartPage = true;
};

// The main window without its toolkit: application state, the two button
// panels, the page control and every page. Handlers carry the names of their
// control and event; each one may throw a Failure, which `run` turns into the
// failure box.
class TForm1 {
public:
    explicit TForm1(Dialogs& dialogs);
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // After "Sicherung laden!": the note that an older backup's
    // completeness could not be checked, or empty.
    std::string backupNote;
    Dialogs& dialogs;
    AppState state;
    // Lent to the pages; built before them.
    PageContext context;
    std::string Caption = "Saldorama";

    // Top panel.
    Button SpeedButton22;  // "Aufgaben"
    Button SpeedButton23;  // "Kontenplan"
    Button SpeedButton24;  // "Einstellungen"
    Button SpeedButton35;  // "Grundeinstellungen"
    // Left panel, top to bottom.
    Button SpeedButton2;   // "Eröffnungsbuchungen"
    Button SpeedButton3;   // "Buchungen"
    Button SpeedButton4;   // "Bilanz und GuV" / "Saldenüberprüfung"
    Button SpeedButton1;   // "Betriebsergebnis"
    Button SpeedButton5;   // "Journal"
    Button SpeedButton6;   // "Kontenblätter"
    Button SpeedButton30;  // "Alles Speichern"
    Button SpeedButton31;  // "Ende"
    Button SpeedButton33;  // "Sicherung laden!"
    Button SpeedButton34;  // "Hilfe"
    Button SpeedButtonUndo;  // "Rückgängig"

    StartPage start;                   // TabSheet1
    CompanyPage company;               // TabSheet2
    OpeningBalancePage opening;        // TabSheet3
    BookingPage booking;               // TabSheet4
    BalancePage balance;               // TabSheet5
    JournalPage journal;               // TabSheet6
    SettingsPage settings;             // TabSheet7
    ExercisePage exercises;            // TabSheet8
    ChartPage chart;                   // TabSheet9
    AccountSheetPage accountSheet;     // TabSheet10
    OperatingResultPage operating;     // TabSheet11

    [[nodiscard]] Page activePage() const noexcept { return activePage_; }
    // Set by "Ende": the window closes after the handler.
    bool closeRequested = false;

    // Runs a handler; a failure shows the failure box and the program goes on.
    bool run(const std::function<void()>& handler);

    void FormCreate(const StartupOptions& options = {});
    // Makes the page active; its show handler runs only when the page changes.
    void showPage(Page page);

    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton1Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton22Click();
    void SpeedButton35Click();
    void SpeedButton23Click();  // "Kontenplan": empties the bookings, shows the chart page
    void SpeedButton24Click();  // "Einstellungen": access check
    void SpeedButton30Click();  // "Alles Speichern"
    void SpeedButton31Click();  // "Ende"
    // The window is about to close: company data or settings typed but not
    // yet saved with "OK" are saved, dropped or kept open as the learner
    // answers. False: the window stays open.
    [[nodiscard]] bool FormCloseQuery();
    // Whether the two settings pages hold what the settings file does not.
    [[nodiscard]] bool unsavedInput() const;
    void SpeedButton33Click();  // "Sicherung laden!"
    void SpeedButton34Click();  // "Hilfe": the notice, then the manual when there is one
    void SpeedButton37Click();  // "Kontenplan ansehen" (T-account page): the chart, read-only
    void CheckBox3Click();      // manual mode in the navigation
    // "Rückgängig": the books as they were before the last step that deleted
    // or overwrote them, after a question naming it.
    void SpeedButtonUndoClick();

    // The settings as the two settings pages hold them now.
    [[nodiscard]] Settings currentSettings() const;
    // The company name every save writes: the field's text, except while it
    // holds the access word, which is never stored; then the last one saved.
    [[nodiscard]] std::string companyNameToSave() const;
    // Puts a record into the controls (check box handlers run on change).
    void applySettings(const Settings& settings);
    void einstellungen_sichern();
    // The window title: the company's name, the current chart's name and the
    // caption, "Firma – Kontenplan – Saldorama"; the caption alone while
    // neither is known.
    [[nodiscard]] std::string titleText() const;

    // The user guide in the working folder, else beside the supplied files;
    // "" when neither has one.
    [[nodiscard]] std::string manualPath() const;

    // Label45: "position/count".
    void writePositionIndicator();
    // Empties "buchungen.dat" and sets both counters to 0.
    void emptyBookings();

    // The save dialog remembers the last chosen name.
    std::string lastBackupName = "sicherung";
    // What "Alles Speichern" offers until a name has been chosen, so that the
    // backups of a class can be told apart: the bookkeeper's name as typed,
    // the exercise on show and the date (YYYY-MM-DD), joined by "_"; blanks
    // and characters a file name cannot hold become "_".
    // "Anna_Buch_Aufgabe-7_2026-03-12"
    [[nodiscard]] std::string offeredBackupName(const std::string& isoDate) const;

private:
    void mendSettings(Settings& restored, const std::string& firstDate);
    Page activePage_ = Page::TabSheet4;
    // The show handler of the page on show runs again (its data changed under it).
    void showAgain();
    // Save All; false when it refused to write (cancelling is no refusal).
    [[nodiscard]] bool saveAll();
    // The company name last read from or written to the settings file.
    std::string savedCompanyName_;
    bool backupNameChosen_ = false;
};

} // namespace saldorama
