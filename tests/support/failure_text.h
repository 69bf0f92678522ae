#pragma once
#include <functional>
#include <string>

#include "base/failure.h"

namespace saldorama::test {

// The text of the Failure that `fn` throws, or "(no failure)".
inline std::string failure_text(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const Failure& f) {
        return f.what();
    }
    return "(no failure)";
}

} // namespace saldorama::test
