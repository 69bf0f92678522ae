// saldorama-cli: the window's page logic driven from the command line.
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "base/file.h"
#include "base/version.h"
#include "cli/arguments.h"
#include "cli/driver.h"

namespace {

// saldorama-pdf, beside this program or in libexec: it alone links Qt, so that every other
// command starts as fast as ever. Replaces this process; returns only when
// the helper cannot be started.
int run_pdf_helper(char** argv) {
    std::string self(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
    self.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    const auto slash = self.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : self.substr(0, slash);
    // In the build tree the helper lies beside this program; installed, it
    // lies in libexec, where no user runs it by mistake.
    std::string helper = dir + "/saldorama-pdf";
    if (::access(helper.c_str(), X_OK) != 0) helper = dir + "/../libexec/saldorama/saldorama-pdf";
    argv[0] = const_cast<char*>(helper.c_str());
    ::execv(helper.c_str(), argv);
    std::cerr << "saldorama-cli: Das Hilfsprogramm für PDF-Dateien (" << helper
              << ") lässt sich nicht starten: " << std::strerror(errno) << '\n';
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    using namespace saldorama::cli;
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    Invocation invocation;
    try {
        invocation = parse_arguments(args);
    } catch (const UsageError& e) {
        std::cerr << "saldorama-cli: " << e.what() << '\n' << usage_text();
        return 2;
    }
    if (invocation.command == Command::Help) {
        std::cout << help_text() << std::flush;
        if (!std::cout) {
            std::cerr << "Die Ausgabe konnte nicht geschrieben werden.\n";
            return 1;
        }
        return 0;
    }
    if (invocation.command == Command::Version) {
        std::cout << "saldorama-cli " << saldorama::kVersion << '\n';
        return 0;
    }
    if (invocation.pdf) return run_pdf_helper(argv);
    // For the kill sweep (scripts/kill-sweep): the process ends with SIGKILL
    // at its n-th write, sync, rename or removal, as at a power cut.
    if (const char* n = std::getenv("SALDORAMA_KILL_AT_OPERATION"); n != nullptr && std::atoi(n) > 0)
        saldorama::fault::kill_at_nth_operation(std::atoi(n));
    // A booking whose number finds no reader is still booked: say so rather
    // than die of the closed pipe.
    if (invocation.command == Command::Buchen) std::signal(SIGPIPE, SIG_IGN);
    return run_command(invocation, std::cout, std::cerr);
}
