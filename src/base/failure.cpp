#include "base/failure.h"

namespace saldorama {

void fail(const std::string& text) { throw Failure(text); }

} // namespace saldorama
