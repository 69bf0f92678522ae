#pragma once
#include <QBoxLayout>
#include <QString>

#include "form/print_jobs.h"

class QWidget;

namespace saldorama::ui {

class MainWindow;

// "Drucken…" (Ctrl+P while the page is shown), "Als PDF speichern…" and,
// where the report has a textbook form, the check box "Lehrbuchform", laid
// out in `direction` inside `parent`.
QWidget* make_print_bar(MainWindow& window, QWidget* parent, PrintedReport report, QBoxLayout::Direction direction);

// What the buttons do once the dialogs are answered: build the report's
// print job from the page and paint it on a second thread while a
// cancellable progress box keeps the window alive. A failure shows the
// failure box. True when the PDF was written.
bool save_report_pdf(MainWindow& window, PrintedReport report, bool textbook, const QString& path);

} // namespace saldorama::ui
