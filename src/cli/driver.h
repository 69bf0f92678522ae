#pragma once
#include <ostream>

#include "cli/arguments.h"

namespace saldorama::cli {

// Runs one command on the window's page logic: output to `out`, every box
// to `err`. Returns the exit status: 0 done, 1 after a notice or failure;
// pruefen N gives 3 when the check found mistakes.
[[nodiscard]] int run_command(const Invocation& invocation, std::ostream& out, std::ostream& err);

} // namespace saldorama::cli
