#pragma once
#include <string>

#include "form/tform1.h"

namespace saldorama {

// The chapter of the user guide that explains `page`, by its heading as the
// guide's outline names it (UTF-8, as the guide is written): "Hilfe" and F1
// open the guide there.
[[nodiscard]] std::string manual_chapter(Page page);

} // namespace saldorama
