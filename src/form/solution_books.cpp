#include "form/solution_books.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "accounts/account_tests.h"
#include "accounts/chart_file.h"
#include "base/cp1252.h"
#include "base/failure.h"
#include "base/file.h"
#include "base/folder_lock.h"
#include "base/hidden_area.h"
#include "base/working_files.h"
#include "base/text_file.h"
#include "bookings/bookings_file.h"
#include "exercises/exercise_file.h"
#include "exercises/solution_file.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "marking/expected_books.h"
#include "settings/settings.h"
#include "undo/undo_copies.h"

namespace saldorama {

namespace {

// A solution's date as it is typed: "14.04." as "1404", which the pages
// take in the booking year.
std::string typed_date_text(const std::string& date) {
    const std::string inYear = date_in_year(date, 1);
    return inYear == date ? date : date.substr(0, 2) + date.substr(3, 2);
}

// A scratch folder in the hidden area of `home`, removed again with
// everything in it; the working directory returns to `home` on the way out.
// A killed run leaves it to the next writer's recovery, inside the hidden
// area and nowhere else.
class ScratchFolder {
public:
    explicit ScratchFolder(std::string home) : home_(std::move(home)) {
        make_hidden_area(home_);
        path_ = scratch_folder_name(home_);
        std::error_code error;
        if (!std::filesystem::create_directory(path_, error) || error)
            fail(cp("Für die Lösung kann kein Arbeitsordner angelegt werden."));
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        try {
            change_directory(home_);
        } catch (...) {  // nothing better to do on the way out
        }
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    [[nodiscard]] const std::string& path() const noexcept { return path_; }

private:
    std::string home_;
    std::string path_;
};

// What the scratch form ends with.
struct Played {
    std::vector<BookingRecord> bookings;
    Settings settings;
};

class Player {
public:
    Player() : form_(dialogs_) {}

    Played play(const std::vector<Solution>& chain) {
        step("", [&] { form_.FormCreate({.readExercises = false, .createBookingsFile = true, .showStartPage = false}); });
        for (const Solution& s : chain) {
            if (!s.buildsOn) startCompany(s);
            if (s.opening) open(s);
            for (const SolutionBooking& b : s.bookings) book(s, b);
        }
        return {bookings_read_all(), form_.currentSettings()};
    }

private:
    ScriptedDialogs dialogs_;
    TForm1 form_;

    // Runs a handler; any box, or a booking that does not land, stops the play.
    void step(const std::string& where, const std::function<void()>& handler) {
        dialogs_.clear();
        form_.run(handler);
        for (const auto& e : dialogs_.log)
            if (e.kind == ScriptedDialogs::Kind::Notice || e.kind == ScriptedDialogs::Kind::Failure)
                fail(where + (where.empty() ? "" : ": ") + e.text);
    }

    void startCompany(const Solution& s) {
        CompanyPage& c = form_.company;
        for (const SolutionCompanyField& f : s.company) {
            if (f.value == "*") continue;  // the learner's own name stays
            bool known = false;
            for (std::size_t k = 0; k < c.captions.size(); ++k) {
                std::string caption = c.captions[k].text;
                if (caption.ends_with(":")) caption.pop_back();
                if (caption != f.caption) continue;
                c.field(static_cast<CompanyField>(k)).text = f.value;
                known = true;
            }
            if (!known) fail(s.fileName + cp(": Das Feld \"") + f.caption + cp("\" gibt es bei den Firmendaten nicht"));
        }
        step(s.fileName, [&] { c.SpeedButton32Click(); });
        form_.settings.CheckBox3.setChecked(s.manualMode);
        step(s.fileName, [&] { form_.settings.Button2Click(); });
        step(s.fileName, [&] { form_.SpeedButton23Click(); });
        ChartPage& page = form_.chart;
        step(s.fileName, [&] {
            switch (s.chart) {
            case 1: page.SpeedButton10Click(); break;
            case 2: page.SpeedButton11Click(); break;
            case 3: page.SpeedButton12Click(); break;
            default: page.SpeedButton13Click(); break;
            }
        });
    }

    void open(const Solution& s) {
        const std::string where = s.fileName + cp(", Eröffnung");
        form_.showPage(Page::TabSheet2);
        step(where, [&] { form_.SpeedButton2Click(); });
        StringGrid& grid = form_.opening.StringGrid2;
        for (const OpeningAmount& a : s.opening->amounts) {
            int row = -1;
            for (int r = 1; r < grid.rowCount(); ++r)
                if (grid.cell(0, r) == a.account) row = r;
            if (row < 0) fail(where + ": Das Konto " + a.account + cp(" gibt es im Kontenplan nicht"));
            grid.cell(1, row) = cents_text(a.amount);
        }
        form_.opening.Edit27.text = typed_date_text(s.opening->date);
        step(where, [&] { form_.opening.SpeedButton7Click(); });
    }

    void book(const Solution& s, const SolutionBooking& b) {
        const std::string where = s.fileName + ", Buchung " + std::to_string(b.number);
        form_.showPage(Page::TabSheet2);
        step(where, [&] { form_.SpeedButton3Click(); });
        // The page books any name; a solution names accounts of its chart only.
        for (const SolutionEntry& e : b.entries) {
            bool known = false;
            step(where, [&] { known = ist_konto(form_.state.currentChart, dialogs_, e.account); });
            if (!known) fail(where + ": Das Konto " + e.account + cp(" steht nicht im Kontenplan ") +
                             std::to_string(form_.state.currentChart));
        }
        BookingPage& page = form_.booking;
        const int before = form_.state.bookingCount;
        step(where, [&] { page.SpeedButton8Click(); });
        type_solution_booking(page, b);
        step(where, [&] { page.SpeedButton29Click(); });
        if (form_.state.bookingCount != before + 1) fail(where + ": wurde nicht gebucht");
    }
};

void copy_if_present(const std::string& name, const std::string& into) {
    if (file_exists(name)) write_file_atomic(into + "/" + name, read_file(name));
}

} // namespace

void type_solution_booking(BookingPage& page, const SolutionBooking& b) {
    page.Edit14.text = typed_date_text(b.date);
    page.Edit15.text = b.person;
    page.Edit16.text = b.reason;
    for (std::size_t k = 0; k < b.entries.size(); ++k) {
        const int i = static_cast<int>(k);
        const SolutionEntry& e = b.entries[k];
        page.accountBox(i).text = e.account;
        (e.side == EntrySide::Debit ? page.debitField(i) : page.creditField(i)).text = cents_text(e.amount);
    }
}

void loesung_buchen(TForm1& form, int exercise) {
    if (!form.dialogs.question(cp("Alle Buchungen, der Kontenplan und die Firmendaten werden durch die Lösung der Aufgabe ") +
                               std::to_string(exercise) + cp(" ersetzt! Fortfahren?"),
                               Preset::No))
        return;
    const std::string home = form.state.startDirectory.empty() ? current_directory() : form.state.startDirectory;
    change_directory(home);
    const std::vector<Solution> chain = solution_chain(exercise);

    Played played;
    {
        ScratchFolder scratch(home);
        copy_if_present(kSettingsFileName, scratch.path());
        for (int chart = 1; chart <= kChartCount; ++chart) copy_if_present(chart_file_name(chart), scratch.path());
        change_directory(scratch.path());
        played = Player().play(chain);
    }

    // The solved books replace bookings and settings as one, as restore does,
    // also across a crash.
    change_directory(home);
    {
        FolderLock lock(home);
        UndoCopy copy(home, cp("Das Buchen der Lösung von Aufgabe ") + std::to_string(exercise));
        replace_files({{bookings_file_name(), bookings_bytes(played.bookings)},
                       {resolve_name(kSettingsFileName), join_crlf(settings_to_lines(played.settings))}},
                      home);
        copy.done(static_cast<int>(played.bookings.size()));
    }
    form.state.bookingCount = static_cast<int>(played.bookings.size());
    form.state.bookingPosition = form.state.bookingCount;
    form.state.bookingShown = false;
    form.writePositionIndicator();
    form.applySettings(played.settings);
    form.state.currentChart = played.settings.chartIndex + 1;
}

} // namespace saldorama
