#pragma once
#include <functional>
#include <string>

#include "reports/print_layout.h"

class QPagedPaintDevice;
class QPainter;

namespace saldorama::print {

// Told after each page: pages done so far and the number of pages. Returning
// false stops the painting after that page.
using PageProgress = std::function<bool(int done, int pages)>;

// Sets A4 portrait without device margins: the painter keeps its own.
void prepare_page(QPagedPaintDevice& device);

// Paints the job onto a paged device prepared by prepare_page (a QPdfWriter
// or a QPrinter), the one routine behind every print and PDF:
// - a header with the company and the print date on the first line, the
//   report's name below, and a rule; "Seite n von m" centred at the foot;
// - the lines in a fixed-pitch font ("Courier New") of at most 10 points,
//   made smaller so that the widest line fits between the margins (not below
//   6 points; a line still too wide goes on in the next line);
// - page breaks that never leave a heading as the last line of a page, with
//   the journal's column heading on top of every page;
// - the T's bars and the double-ruled sums of the textbook form.
// Returns false when `progress` stopped it; the caller then discards the
// device's output.
bool paint_job(QPagedPaintDevice& device, const PrintJob& job, const PageProgress& progress = {});

// Writes the job as a PDF to `path` (relative to the current directory),
// all or nothing: the PDF goes into a new file of a unique name beside the
// target and replaces the target in one rename once it is complete. Refuses
// (Failure with a German text) the data files of `workingDirectory`.
// Returns false when `progress` cancelled; nothing is written then.
bool write_pdf(const std::string& path, const std::string& workingDirectory, const PrintJob& job,
               const PageProgress& progress = {});

// One line of a report as every print draws it, at `top`, in the painter's
// font: the text from `left`, the T's bars, the sums' rules and the diagonal
// of a T's shorter side. The window's textbook form draws with it as well.
struct LineGeometry {
    double left = 0;
    double charWidth = 0;
    double lineHeight = 0;
    double ascent = 0;
    double mm = 0;  // device units per millimetre, for the double rule's gap
};
void paint_print_line(QPainter& p, const LineGeometry& g, const PrintLine& line, double top);
// The same without the text: the bars, rules and diagonal only.
void paint_line_rules(QPainter& p, const LineGeometry& g, const PrintLine& line, double top);

// The date printed in the header, "TT.MM.JJJJ": today's, or the value of the
// environment variable SALDORAMA_DRUCKDATUM when it is set (for tests).
[[nodiscard]] std::string print_date();

} // namespace saldorama::print
