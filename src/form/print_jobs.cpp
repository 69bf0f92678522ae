#include "form/print_jobs.h"

#include "accounts/chart_file.h"
#include "form/tform1.h"
#include "base/cp1252.h"
#include "bookings/bookings_file.h"
#include "reports/account_balances.h"
#include "reports/textbook_form.h"

namespace saldorama {

namespace {

void append(std::vector<PrintLine>& to, std::vector<PrintLine> lines) {
    to.insert(to.end(), std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
}

// The name of the chosen account of the account sheet (the list shows
// "2800 Bank"), "" when none is chosen.
std::string chosen_account(const TForm1& form) {
    const int index = form.accountSheet.ListBox1.itemIndex;
    const auto& names = form.accountSheet.accountNames;
    if (index < 0 || index >= static_cast<int>(names.size())) return {};
    return names[static_cast<std::size_t>(index)];
}

std::vector<PrintLine> textbook_balance(const TForm1& form) {
    const ReadingLock lock(form.state);
    const auto chart = read_chart(form.state.currentChart);
    AccountBalances balances(chart);
    bookings_scan_views([&](const RecordView& r) { balances.add(r); });
    const bool zero = form.settings.CheckBox2.checked();
    const int year = form.state.bookingYear;
    std::vector<PrintLine> lines = textbook_lines(textbook_balance_sheet(chart, balances, year, zero));
    lines.push_back(print_line("", true));
    lines.push_back(print_line("", true));
    append(lines, textbook_lines(textbook_profit_and_loss(chart, balances, year, zero)));
    append(lines, signature_lines(company_texts(form.company)));
    return lines;
}

std::vector<PrintLine> textbook_sheet(const TForm1& form, const std::string& name) {
    TextbookAccountBuilder builder(name);
    const ReadingLock lock(form.state);
    bookings_scan([&](const BookingRecord& r) { builder.add(r); });
    return textbook_lines(builder.build());
}

std::vector<PrintLine> screen_sheet(const TForm1& form) {
    const AccountSheetPage& page = form.accountSheet;
    const StringGrid& grid = page.StringGrid3;
    // Rows up to the last one with text.
    int rows = 0;
    for (int row = 0; row < grid.rowCount(); ++row)
        if (!grid.cell(0, row).empty() || !grid.cell(2, row).empty()) rows = row + 1;
    std::vector<std::string> soll, haben;
    for (int row = 0; row < rows; ++row) {
        soll.push_back(grid.cell(0, row));
        haben.push_back(grid.cell(2, row));
    }
    return account_sheet_print_lines(page.Label51.text, soll, haben);
}

} // namespace

bool has_textbook_form(PrintedReport report) noexcept {
    return report == PrintedReport::Balance || report == PrintedReport::AccountSheet;
}

PrintJob print_job(const TForm1& form, PrintedReport report, bool textbook, const std::string& printDate) {
    PrintJob job;
    job.company = form.company.Edit1.text;
    job.printDate = printDate;
    textbook = textbook && has_textbook_form(report);
    switch (report) {
    case PrintedReport::Balance:
        job.reportName = textbook ? cp("Bilanz und GuV (Lehrbuchform)") : cp("Bilanz und GuV");
        // Without a chart the page shows only the title lines; so does the print.
        job.lines = textbook && form.state.currentChart != 0 ? textbook_balance(form)
                                                             : statement_print_lines(form.balance.Memo1.lines);
        break;
    case PrintedReport::Operating:
        job.reportName = "Betriebsergebnis";
        job.lines = statement_print_lines(form.operating.Memo4.lines);
        break;
    case PrintedReport::Journal:
        job.reportName = "Journal";
        job.lines = journal_print_lines(form.journal.Memo2.lines);
        job.repeatedLines = 1;
        break;
    case PrintedReport::AccountSheet: {
        const std::string name = chosen_account(form);
        job.reportName = cp("Kontenblatt ") + name + (textbook ? cp(" (Lehrbuchform)") : std::string());
        job.lines = textbook && !name.empty() ? textbook_sheet(form, name) : screen_sheet(form);
        // The account's name and the T's headings: title and headings row,
        // or "Konto: ...", the captions and the grid's heading row.
        job.repeatedLines = textbook ? 2 : 3;
        break;
    }
    }
    return job;
}

PrintJob streamed_journal_job(const TForm1& form, const std::string& printDate) {
    PrintJob job;
    job.company = form.company.Edit1.text;
    job.printDate = printDate;
    job.reportName = "Journal";
    job.repeatedLines = 1;
    // As journal_print_lines marks them: the column heading keeps with the first booking.
    job.stream = [&form](const PrintLineSink& sink) {
        bool heading = true;
        form.journal.writeJournal([&](std::string_view text) {
            sink(print_line(std::string(text), heading));
            heading = false;
        });
    };
    return job;
}

std::string suggested_pdf_name(const TForm1& form, PrintedReport report) {
    switch (report) {
    case PrintedReport::Balance:
        return "Bilanz.pdf";
    case PrintedReport::Operating:
        return "Betriebsergebnis.pdf";
    case PrintedReport::Journal:
        return "Journal.pdf";
    case PrintedReport::AccountSheet:
        break;
    }
    std::string name = "Konto " + chosen_account(form);
    for (char& c : name)
        if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
            c == '|')
            c = '_';
    return name + ".pdf";
}

} // namespace saldorama
