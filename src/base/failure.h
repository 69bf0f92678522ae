#pragma once
#include <stdexcept>
#include <string>

namespace saldorama {

// The one failure type of the core. Its text is the German message the
// failure box shows (CP1252 bytes); the box adds the closing full stop.
class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& text) : std::runtime_error(text), text_(text) {}
    // The whole text, also when it holds a NUL byte (what() would stop there).
    [[nodiscard]] const std::string& text() const noexcept { return text_; }
    // The file an I/O failure concerns, when known; not part of the text.
    [[nodiscard]] const std::string& file() const noexcept { return file_; }
    Failure& about(std::string file) {
        file_ = std::move(file);
        return *this;
    }

private:
    std::string text_;
    std::string file_;
};

[[noreturn]] void fail(const std::string& text);

} // namespace saldorama
