// saldorama-cli: the window's page logic driven from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "base/version.h"
#include "cli/arguments.h"
#include "cli/driver.h"

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
        std::cout << help_text();
        return 0;
    }
    if (invocation.command == Command::Version) {
        std::cout << "saldorama-cli " << saldorama::kVersion << '\n';
        return 0;
    }
    return run_command(invocation, std::cout, std::cerr);
}
