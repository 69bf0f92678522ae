#pragma once
#include <stdexcept>
#include <string>

namespace saldorama {

// The one failure type of the core. Its text is the German message the
// failure box shows (CP1252 bytes); the box adds the closing full stop.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const std::string& text);

} // namespace saldorama
