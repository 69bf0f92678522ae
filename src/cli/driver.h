#pragma once
#include <functional>
#include <ostream>
#include <string>

#include "cli/arguments.h"
#include "reports/print_layout.h"

namespace saldorama::cli {

// Runs one command on the window's page logic: output to `out`, every box
// to `err`. Returns the exit status: 0 done, 1 after a notice or failure;
// pruefen N gives 3 when the check found mistakes.
[[nodiscard]] int run_command(Invocation invocation, std::ostream& out, std::ostream& err);

// For --pdf: shows the report's page as run_command does, builds its print
// job (printed on `printDate`) and hands it to `write`. A box of the page or
// a Failure of `write` goes to `err` and gives status 1.
[[nodiscard]] int run_print_command(Invocation invocation, std::ostream& err, const std::string& printDate,
                                    const std::function<void(const PrintJob&)>& write);

} // namespace saldorama::cli
