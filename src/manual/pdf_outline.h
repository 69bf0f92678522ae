#pragma once
#include <QByteArray>
#include <QString>
#include <vector>

namespace saldorama::manual {

// One entry of a PDF's outline: its title, the page it leads to (from 0)
// and, where known, the height on that page a viewer puts at its top, in
// the PDF's units (points up from the page's foot); below 0 the page's top.
struct OutlineEntry {
    QString title;
    int page = 0;
    double top = -1;
};

// Adds an outline (the bookmarks a PDF viewer lists beside the pages) to a
// PDF as QPdfWriter writes it, as an incremental update at its end, and asks
// the viewer to show it. False, and `pdf` unchanged, when the file is not of
// that plain form or names fewer pages than an entry needs.
bool add_outline(QByteArray& pdf, const std::vector<OutlineEntry>& entries);

} // namespace saldorama::manual
