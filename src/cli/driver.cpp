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
#include "form/solution_books.h"
#include "form/tform1.h"
#include "kernel/handler_runner.h"
#include "form/print_jobs.h"
#include "marking/learner_check.h"
#include "settings/backup.h"

namespace saldorama::cli {
namespace {

const std::string& account_not_found() {
    static const std::string text = "Konto nicht gefunden!";
    return text;
}

void print(std::ostream& out, const std::string& cp1252Line) { out << cp1252_to_utf8(cp1252Line) << '\n'; }

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
    void operator()(std::string_view cp1252Line) {
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

// "pruefen N": 0 all right, 3 mistakes found, 1 when it could not check.
// In exam mode the findings name only case and kind, and the answers are left out.
int check_books(TForm1& form, CliDialogs& dialogs, const Invocation& inv, std::ostream& out) {
    Marked marked;
    form.run([&] {
        const TeacherOptions options = read_teacher_options();
        const std::string folder = learner_solutions_folder(options, inv.solutions ? utf8_to_cp1252(*inv.solutions) : "");
        marked = check_working_folder(inv.exercise, form.state.currentChart, folder);
        if (options.examMode) hide_solution(marked);
    });
    if (dialogs.refused()) return 1;
    print_lines(out, checking::check_lines(marked.result));
    print_lines(out, checking::answer_lines(marked.answers));
    return marked.result.all_right() ? 0 : 3;
}

// "pruefen N --aus DATEI...": one line (or row) per backup; 0 when every
// backup could be checked, else 1.
int check_class(TForm1& form, CliDialogs& dialogs, const Invocation& inv, std::ostream& out) {
    ExpectedBooks expected;
    form.run([&] {
        const std::string given = inv.solutions ? utf8_to_cp1252(*inv.solutions) : "";
        expected = expected_books_for(inv.exercise, given.empty() ? read_teacher_options().solutionsFolder : given);
    });
    if (dialogs.refused()) return 1;
    if (inv.csv) out << "\xEF\xBB\xBF" << cp1252_to_utf8(checking::csv_row(checking::class_check_header())) << "\r\n";
    bool allChecked = true;
    for (const std::string& file : inv.backups) {
        const std::string name = utf8_to_cp1252(file);
        std::optional<Backup> backup;
        std::string problem;
        try {
            BackupReading reading = read_backup_file(file, name);
            backup = std::move(reading.backup);
            problem = reading.error;
        } catch (const Failure& f) {
            problem = f.text();
        }
        std::string line;
        std::vector<std::string> fields;
        if (backup) {
            try {
                const Marked marked = check_backup(expected, *backup);
                const std::string& responsible = backup->company[6];
                line = checking::class_check_line(name, responsible, marked.result);
                fields = checking::class_check_fields(name, responsible, marked.result);
            } catch (const Failure& f) {
                backup.reset();
                problem = f.text();
            }
        }
        if (!backup) {
            allChecked = false;
            line = checking::class_check_failure_line(name, problem);
            fields = checking::class_check_failure_fields(name, problem);
        }
        if (inv.csv) {
            out << cp1252_to_utf8(checking::csv_row(fields)) << "\r\n";
        } else {
            print(out, line);
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
    // last write; a second writer waits for it.
    if (!is_read_only(inv.command)) {
        try {
            lock.emplace(current_directory());
        } catch (const Failure& f) {
            dialogs.failure(failure_box_text(f.text()));
            return false;
        }
    }
    StartupOptions options;
    options.readExercises = false;
    options.createBookingsFile = !is_read_only(inv.command);
    options.showStartPage = false;
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
        report = PrintedReport::Journal;
        form.run([&] { form.showPage(Page::TabSheet6); });
        break;
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
        break;
    case Command::Loeschen:
        delete_booking(form, inv.bookingNumber);
        break;
    case Command::Pruefen: {
        const int status = inv.backups.empty() ? check_books(form, dialogs, inv, out)
                                               : check_class(form, dialogs, inv, out);
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
            write_teacher_options(options);
        });
        break;
    case Command::Help:
    case Command::Version:
        break;
    }
    out.flush();
    // A report that did not reach its reader is no success (a full disk, a closed pipe).
    if (!out) {
        err << "Die Ausgabe konnte nicht geschrieben werden." << std::endl;
        return 1;
    }
    return dialogs.refused() ? 1 : 0;
}

} // namespace saldorama::cli
