// saldorama-pdf: the --pdf half of saldorama-cli, which runs it with its own
// arguments. It shows the report's page like saldorama-cli, then paints it
// through the window's print routine into the PDF file, without a display.
#include <QGuiApplication>
#include <iostream>
#include <string>
#include <vector>

#include "base/file.h"
#include "cli/arguments.h"
#include "cli/driver.h"
#include "print/report_printer.h"

namespace {

// Qt's chatter (e.g. about XDG_RUNTIME_DIR on a server) is no message for a
// teacher; only what ends the program gets through.
void quiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << "saldorama-pdf: " << message.toStdString() << '\n';
}

} // namespace

int main(int argc, char** argv) {
    using namespace saldorama;
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    cli::Invocation invocation;
    try {
        invocation = cli::parse_arguments(args);
    } catch (const cli::UsageError& e) {
        std::cerr << "saldorama-cli: " << e.what() << '\n' << cli::usage_text();
        return 2;
    }
    if (!invocation.pdf) {
        std::cerr << "saldorama-pdf: wird von saldorama-cli mit --pdf DATEI aufgerufen.\n" << cli::usage_text();
        return 2;
    }
    // Painting needs fonts, never a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
    QGuiApplication app(argc, argv);
    return cli::run_print_command(invocation, std::cerr, print::print_date(), [&](const PrintJob& job) {
        print::write_pdf(*invocation.pdf, current_directory(), job);
    });
}
