#include "cli/driver.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "accounts/account_tests.h"
#include "accounts/chart_file.h"
#include "base/cp1252.h"
#include "base/failure.h"
#include "base/file.h"
#include "base/folder_lock.h"
#include "bookings/booking_record.h"
#include "checking/check_text.h"
#include "cli/cli_dialogs.h"
#include "cli/terminal_text.h"
#include "exercises/solution_file.h"
#include "form/solution_books.h"
#include "form/tform1.h"
#include "kernel/handler_runner.h"
#include "form/print_jobs.h"
#include "marking/learner_check.h"
#include "settings/backup.h"
#include "undo/undo_copies.h"

namespace saldorama::cli {
namespace {

// rueckgaengig found no step to take back.
constexpr int kNothingToUndo = 3;

const std::string& account_not_found() {
    static const std::string text = "Konto nicht gefunden!";
    return text;
}

void print(std::ostream& out, const std::string& cp1252Line) {
    out << cp1252_to_utf8(has_control(cp1252Line) ? without_controls(cp1252Line) : cp1252Line) << '\n';
}

void print_lines(std::ostream& out, const std::vector<std::string>& lines) {
    for (const auto& line : lines) print(out, line);
}

// Lines converted into one buffer and written a block at a time: the
// journal of a million bookings passes through without being held.
class LineStream {
public:
    explicit LineStream(std::ostream& out) : out_(out), buffer_(kBlock + utf8_room(kLongLine) + 1) {}  // + 1 for the newline
    LineStream(const LineStream&) = delete;
    LineStream& operator=(const LineStream&) = delete;
    ~LineStream() { flush(); }
    void operator()(std::string_view line) {
        std::string shown;
        if (has_control(line)) shown = without_controls(line);
        const std::string_view cp1252Line = shown.empty() ? line : std::string_view(shown);
        if (cp1252Line.size() > kLongLine) {
            flush();
            out_ << cp1252_to_utf8(cp1252Line) << '\n';
            return;
        }
        char* end = put_cp1252_as_utf8(buffer_.data() + used_, cp1252Line);
        *end++ = '\n';
        used_ = static_cast<std::size_t>(end - buffer_.data());
        if (used_ >= kBlock) flush();
    }
    void flush() {
        out_.write(buffer_.data(), static_cast<std::streamsize>(used_));
        used_ = 0;
    }

private:
    static constexpr std::size_t kBlock = 1 << 16;
    static constexpr std::size_t kLongLine = 1024;  // longer lines bypass the buffer
    std::ostream& out_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
};

// "journal": written while the bookings file is read. A file that cannot be
// read at all prints nothing; a read failure later stops the output there
// with the message and status 1.
void journal(TForm1& form, std::ostream& out) {
    LineStream stream(out);
    form.run([&] { form.journal.writeJournal([&stream](std::string_view line) { stream(line); }); });
}

// Rows up to the last one that holds any text in one of `cols`.
int last_filled_row(const StringGrid& grid, std::initializer_list<int> cols, int firstRow) {
    int last = firstRow - 1;
    for (int row = firstRow; row < grid.rowCount(); ++row)
        for (const int col : cols)
            if (!grid.cell(col, row).empty()) last = row;
    return last;
}

// Shows the account sheet page and chooses the account; false after a box.
bool choose_account(TForm1& form, CliDialogs& dialogs, const std::string& name) {
    form.run([&] { form.showPage(Page::TabSheet10); });
    if (dialogs.refused()) return false;
    AccountSheetPage& page = form.accountSheet;
    // "konto 2800" and "konto \"2800 Bank\"" mean the account "Bank" as well.
    std::string wanted = name;
    form.run([&] {
        if (form.state.currentChart == 0) return;
        const std::vector<AccountRecord> chart = read_chart(form.state.currentChart);
        if (const AccountRecord* account = find_account_entry(chart, name)) wanted = account->name;
    });
    const auto& items = page.accountNames;
    const auto found = std::find(items.begin(), items.end(), wanted);
    if (found == items.end()) {
        dialogs.notice(account_not_found());
        return false;
    }
    page.ListBox1.itemIndex = static_cast<int>(found - items.begin());
    return form.run([&] { page.ListBox1Click(); });
}

void account_sheet(TForm1& form, CliDialogs& dialogs, const std::string& name, std::ostream& out) {
    if (!choose_account(form, dialogs, name)) return;
    const StringGrid& grid = form.accountSheet.StringGrid3;
    const int last = last_filled_row(grid, {0, 2}, 0);
    for (int row = 0; row <= last; ++row) print(out, grid.cell(0, row) + "\t" + grid.cell(2, row));
}

void chart_list(TForm1& form, CliDialogs& dialogs, std::ostream& out) {
    // The chart page lists nothing while no chart is chosen; say why here.
    if (form.state.currentChart == 0) {
        dialogs.notice(no_chart_message());
        return;
    }
    // The choice buttons would write the settings file; the listing alone does not.
    form.run([&] { form.chart.kontenplan_auswahl(); });
    const StringGrid& grid = form.chart.StringGrid1;
    const int last = last_filled_row(grid, {0, 1, 2, 3, 4, 5}, 1);
    for (int row = 1; row <= last; ++row) {
        std::string line = grid.cell(0, row);
        for (int col = 1; col < 6; ++col) line += "\t" + grid.cell(col, row);
        print(out, line);
    }
}

void book(TForm1& form, CliDialogs& dialogs, const Invocation& inv, std::ostream& out) {
    BookingPage& page = form.booking;
    // The page is on show from start-up here, so its show handler is run by
    // hand: the window would show it when "Buchungen" is pressed.
    form.run([&] { page.TabSheet4Show(); });
    if (dialogs.refused()) return;
    // A line may name its account by number ("2800") as an account box takes it.
    std::vector<std::string> accounts;
    for (const FormLine& line : inv.lines) {
        accounts.push_back(line.account);
        if (line.account.empty()) continue;
        form.run([&] {
            if (form.state.currentChart == 0) return;
            const std::vector<AccountRecord> chart = read_chart(form.state.currentChart);
            if (const AccountRecord* account = find_account_entry(chart, line.account)) accounts.back() = account->name;
        });
        if (dialogs.refused()) return;
        bool known = false;
        form.run([&] { known = ist_konto(form.state.currentChart, dialogs, accounts.back()); });
        if (dialogs.refused()) return;
        if (!known) {
            dialogs.notice(account_not_found());
            return;
        }
    }
    form.run([&] {
        page.SpeedButton8Click();
        if (inv.date) page.Edit14.text = *inv.date;
        if (inv.person) page.Edit15.text = *inv.person;
        if (inv.reason) page.Edit16.text = *inv.reason;
        for (std::size_t i = 0; i < inv.lines.size(); ++i) {
            const int n = static_cast<int>(i);
            page.accountBox(n).text = accounts[i];
            page.debitField(n).text = inv.lines[i].debit;
            page.creditField(n).text = inv.lines[i].credit;
        }
        // Straight away, as a click that leaves no field.
        page.SpeedButton29Click();
    });
    if (!dialogs.refused()) out << form.state.bookingPosition << '\n';
}

void open_books(TForm1& form, CliDialogs& dialogs, const Invocation& inv) {
    form.run([&] { form.showPage(Page::TabSheet3); });
    if (dialogs.refused()) return;
    OpeningBalancePage& page = form.opening;
    StringGrid& grid = page.StringGrid2;
    // Every account is looked up before any cell changes.
    std::vector<int> rows;
    for (const OpeningAmount& amount : inv.openingAmounts) {
        int found = 0;
        for (int row = 1; row < grid.rowCount() && found == 0; ++row)
            if (!amount.account.empty() && grid.cell(0, row) == amount.account) found = row;
        if (found == 0) {
            dialogs.notice(account_not_found());
            return;
        }
        rows.push_back(found);
    }
    for (std::size_t i = 0; i < rows.size(); ++i) grid.cell(1, rows[i]) = inv.openingAmounts[i].amount;
    if (inv.date) page.Edit27.text = *inv.date;
    form.run([&] { page.SpeedButton7Click(); });
}

void delete_booking(TForm1& form, int number) {
    form.state.bookingPosition = number;
    form.writePositionIndicator();
    form.run([&] { form.booking.SpeedButton36Click(); });
}

// A damaged solution file is no verdict on the learner: named with its line
// and reason, and the command ends with status 1.
void name_damaged_solution(const std::function<void()>& work) {
    try {
        work();
    } catch (const SolutionError& e) {
        fail(e.text() + cp(" – kann nicht prüfen"));
    }
}

// "pruefen N": 0 all right, 3 mistakes found, 1 when it could not check.
// In exam mode the findings name only case and kind, and the answers are left out.
int check_books(TForm1& form, CliDialogs& dialogs, const Invocation& inv, std::ostream& out) {
    Marked marked;
    form.run([&] {
        name_damaged_solution([&] {
            const TeacherOptions options = read_teacher_options();
            const std::string folder = learner_solutions_folder(options, inv.solutions ? utf8_to_cp1252(*inv.solutions) : "");
            marked = check_working_folder(inv.exercise, form.state.currentChart, folder);
            if (options.examMode) hide_solution(marked);
        });
    });
    if (dialogs.refused()) return 1;
    checking::each_check_line(marked.result, marked.solution, marked.learner, [&](const std::string& line) { print(out, line); });
    print_lines(out, checking::answer_lines(marked.answers));
    return marked.result.all_right() ? 0 : 3;
}

constexpr char kNamePlaceholder = '\x1F';

std::size_t utf8_length(const std::string& text) {
    std::size_t n = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

// The UTF-8 line with the run of `length` placeholders replaced by `name`,
// and no control character left in it.
std::string put_back_name(const std::string& cp1252Text, std::size_t length, const std::string& name) {
    const std::string utf8 = cp1252_to_utf8(cp1252Text);
    const auto at = utf8.find(std::string(length, kNamePlaceholder));
    if (at == std::string::npos) return without_controls(utf8);
    return without_controls(utf8.substr(0, at)) + without_controls(name) + without_controls(utf8.substr(at + length));
}

// "pruefen N --aus DATEI...": one line (or row) per backup; 0 when every
// backup could be checked, else 1.
int check_class(TForm1& form, CliDialogs& dialogs, const Invocation& inv, std::ostream& out, std::ostream& err) {
    ExpectedBooks expected;
    form.run([&] {
        name_damaged_solution([&] {
            const std::string given = inv.solutions ? utf8_to_cp1252(*inv.solutions) : "";
            expected = expected_books_for(inv.exercise, given.empty() ? read_teacher_options().solutionsFolder : given);
        });
    });
    if (dialogs.refused()) return 1;
    if (inv.csv) out << "\xEF\xBB\xBF" << cp1252_to_utf8(checking::csv_row(checking::class_check_header())) << "\r\n";
    bool allChecked = true;
    for (const std::string& file : inv.backups) {
        // A name CP1252 cannot hold ("Lena Łódź.qrx") stands in the line as
        // one placeholder a character and is put back as it is on disk.
        const bool lossless = cp1252_to_utf8(utf8_to_cp1252(file)) == file;
        const std::string name = lossless ? utf8_to_cp1252(file) : std::string(utf8_length(file), kNamePlaceholder);
        // One learner's books at a time, read as they are checked.
        std::optional<Marked> marked;
        BackupCheck check;
        try {
            marked = check_backup_file(expected, file, name, check);
            if (marked && !check.completenessChecked) err << cp1252_to_utf8(unchecked_backup_note(name)) << '\n';
        } catch (const Failure& f) {
            marked.reset();
            check.error = f.text();
        }
        std::string line;
        std::vector<std::string> fields;
        if (marked) {
            line = checking::class_check_line(name, check.responsible, marked->result);
            fields = checking::class_check_fields(name, check.responsible, marked->result);
        } else {
            allChecked = false;
            line = checking::class_check_failure_line(name, check.error);
            fields = checking::class_check_failure_fields(name, check.error);
        }
        const auto shown = [&](const std::string& cp1252Text) {
            return lossless ? cp1252_to_utf8(without_controls(cp1252Text))
                            : put_back_name(cp1252Text, name.size(), file);
        };
        if (inv.csv) {
            out << shown(checking::csv_row(fields)) << "\r\n";
        } else {
            out << shown(line) << '\n';
        }
    }
    return allChecked ? 0 : 1;
}

// Enters the directory of -C and starts the form as the window does.
bool start(Invocation& inv, CliDialogs& dialogs, TForm1& form, std::optional<FolderLock>& lock) {
    // A relative folder of solutions means one seen from where the command was given.
    if (inv.solutions && !inv.solutions->starts_with('/')) inv.solutions = current_directory() + "/" + *inv.solutions;
    if (inv.directory) {
        try {
            change_directory(*inv.directory);
        } catch (const Failure& f) {
            dialogs.failure(cp("Verzeichnis ") + utf8_to_cp1252(*inv.directory) +
                            cp(" kann nicht geöffnet werden. ") + failure_box_text(f.text()));
            return false;
        }
    }

    // A writing command holds the folder's lock from its first read to its
    // last write; a second writer waits for it. Readers share it.
    {
        try {
            lock.emplace(current_directory(),
                         is_read_only(inv.command) ? FolderLock::Mode::Shared : FolderLock::Mode::Exclusive);
        } catch (const Failure& f) {
            dialogs.failure(failure_box_text(f.text()));
            return false;
        }
    }
    StartupOptions options;
    options.readExercises = false;
    options.createBookingsFile = !is_read_only(inv.command);
    options.showStartPage = false;
    // A restore writes the settings anew: a broken settings file is what it
    // mends, so it does not stop "laden".
    if (inv.command == Command::Laden) {
        try {
            form.FormCreate(options);
        } catch (const Failure&) {
        }
        return true;
    }
    return form.run([&] { form.FormCreate(options); });
}

} // namespace

int run_print_command(Invocation inv, std::ostream& err, const std::string& printDate,
                      const std::function<void(const PrintJob&)>& write) {
    CliDialogs dialogs(err);
    TForm1 form(dialogs);
    std::optional<FolderLock> lock;
    if (!start(inv, dialogs, form, lock)) return 1;
    PrintedReport report = PrintedReport::Balance;
    switch (inv.command) {
    case Command::Bilanz:
        form.run([&] { form.showPage(Page::TabSheet5); });
        break;
    case Command::Betriebsergebnis:
        report = PrintedReport::Operating;
        form.run([&] { form.showPage(Page::TabSheet11); });
        break;
    case Command::Journal:
        // Paged as it is read, never held: a journal of any length prints
        // in little memory. A file that cannot be read fails while painting,
        // and nothing is written then.
        form.run([&] { write(streamed_journal_job(form, printDate)); });
        return dialogs.refused() ? 1 : 0;
    case Command::Konto:
        report = PrintedReport::AccountSheet;
        choose_account(form, dialogs, inv.account);
        break;
    default:
        return 2;
    }
    // A page that refused (no chart, unknown account) prints nothing.
    if (dialogs.refused()) return 1;
    form.run([&] { write(print_job(form, report, inv.textbook, printDate)); });
    return dialogs.refused() ? 1 : 0;
}

int run_command(Invocation inv, std::ostream& out, std::ostream& err) {
    CliDialogs dialogs(err);
    TForm1 form(dialogs);
    std::optional<FolderLock> lock;
    if (!start(inv, dialogs, form, lock)) return 1;

    switch (inv.command) {
    // A report that failed before its first line leaves the memo's design
    // text; that is no report and is not printed.
    case Command::Bilanz:
        form.run([&] { form.showPage(Page::TabSheet5); });
        if (form.balance.reportShown) print_lines(out, form.balance.Memo1.lines);
        break;
    case Command::Betriebsergebnis:
        form.run([&] { form.showPage(Page::TabSheet11); });
        if (form.operating.reportShown) print_lines(out, form.operating.Memo4.lines);
        break;
    case Command::Journal:
        journal(form, out);
        break;
    case Command::Konto:
        account_sheet(form, dialogs, inv.account, out);
        break;
    case Command::Kontenplan:
        chart_list(form, dialogs, out);
        break;
    case Command::Buchen:
        book(form, dialogs, inv, out);
        break;
    case Command::Eroeffnung:
        open_books(form, dialogs, inv);
        break;
    case Command::Sichern:
        dialogs.fileAnswers.push_back(inv.file);
        form.run([&] { form.SpeedButton30Click(); });
        break;
    case Command::Laden:
        dialogs.fileAnswers.push_back(inv.file);
        form.run([&] { form.SpeedButton33Click(); });
        // Loaded all the same: a note, no failure.
        if (!form.backupNote.empty()) err << cp1252_to_utf8(form.backupNote) << '\n';
        break;
    case Command::Loeschen:
        delete_booking(form, inv.bookingNumber);
        break;
    case Command::Pruefen: {
        const int status = inv.backups.empty() ? check_books(form, dialogs, inv, out)
                                               : check_class(form, dialogs, inv, out, err);
        out.flush();
        return status;
    }
    case Command::Loesung:
        form.run([&] {
            refuse_in_exam_mode(read_teacher_options());
            loesung_buchen(form, inv.exercise);
        });
        break;
    case Command::Pruefungsmodus:
        form.run([&] {
            TeacherOptions options = read_teacher_options();
            options.examMode = inv.examMode;
            if (inv.solutions) {
                // A mistyped folder would only show in the test itself, when no check works.
                if (!is_directory(*inv.solutions))
                    fail(cp("Das Verzeichnis der Lösungen ") + utf8_to_cp1252(*inv.solutions) +
                         cp(" gibt es nicht. Gib nach --loesungen ein vorhandenes Verzeichnis an."));
                options.solutionsFolder = utf8_to_cp1252(*inv.solutions);
            }
            write_teacher_options(options);
        });
        break;
    case Command::Rueckgaengig: {
        bool nothing = false;
        if (!form.run([&] { nothing = !last_undo_step(working_folder(form.state)); })) return 1;
        if (nothing) {
            err << cp1252_to_utf8(cp("Es gibt keinen Schritt, den du rückgängig machen kannst.")) << std::endl;
            return kNothingToUndo;
        }
        form.run([&] { form.SpeedButtonUndoClick(); });
        break;
    }
    case Command::Help:
    case Command::Version:
        break;
    }
    out.flush();
    // A booking is stored once its number is due: a script that saw status 1
    // would book it twice.
    if (!out && inv.command == Command::Buchen && !dialogs.refused()) {
        err << "Die Buchung ist gespeichert, aber ihre Nummer konnte nicht ausgegeben werden." << std::endl;
        return 0;
    }
    // A report that did not reach its reader is no success (a full disk, a closed pipe).
    if (!out) {
        err << "Die Ausgabe konnte nicht geschrieben werden." << std::endl;
        return 1;
    }
    return dialogs.refused() ? 1 : 0;
}

} // namespace saldorama::cli
