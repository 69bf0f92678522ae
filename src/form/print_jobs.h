#pragma once
#include <string>

#include "reports/print_layout.h"

namespace saldorama {

class TForm1;

// What is printed from a page, built from the page's controls after its show
// handler ran (the screen form), or afresh from the chart and the bookings
// (the textbook form). Window and command line print through these, so both
// give the same pages.
enum class PrintedReport { Balance, Operating, Journal, AccountSheet };

// Whether the report has a textbook form: the balance sheet with the profit
// and loss account, and the T-account.
[[nodiscard]] bool has_textbook_form(PrintedReport report) noexcept;

// The job for the report as its page now shows it. For the account sheet
// the chosen account's T-account; `textbook` only where has_textbook_form.
// May throw a Failure when the textbook form reads a file.
[[nodiscard]] PrintJob print_job(const TForm1& form, PrintedReport report, bool textbook,
                                 const std::string& printDate);

// The journal read from the bookings file at every pass of the painter and
// never held, whatever its length: the command line prints it so. `form`
// must outlive the job.
[[nodiscard]] PrintJob streamed_journal_job(const TForm1& form, const std::string& printDate);

// The name a PDF of the report is offered under, e.g. "Bilanz.pdf".
[[nodiscard]] std::string suggested_pdf_name(const TForm1& form, PrintedReport report);

} // namespace saldorama
