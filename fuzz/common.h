#pragma once
// Shared by the fuzz targets: a scratch working directory, made once.
#include <string>

namespace saldorama::fuzz {

// Changes into a private temporary directory (made on first use).
void enter_scratch_dir();
// Writes bytes to a file in the current directory.
void write_file(const std::string& name, const std::string& bytes);

} // namespace saldorama::fuzz
