#pragma once
#include <stdexcept>

namespace saldorama {

// A working folder that cannot be found, made or used. The text is German
// UTF-8 (it names paths as the system gives them) and is shown as it is.
class FolderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace saldorama
