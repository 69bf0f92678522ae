#pragma once
#include <string>
#include <string_view>

namespace saldorama {

// The one folder inside a working folder where the program keeps what is
// its alone: the note of an unfinished replacement, temporary files, the
// scratch folders of solving an exercise and the undo copies. Backups, the
// per-user refresh and the checks never look into it.
inline constexpr const char* kHiddenAreaName = ".saldorama";

// Path of the hidden area of `folder` (it need not exist).
[[nodiscard]] std::string hidden_area(const std::string& folder);
// The hidden area of `folder`, made when missing. Something other than a
// folder in its place is refused with the German text naming it.
std::string make_hidden_area(const std::string& folder);
// A fresh path in the hidden area of `folder` that nothing uses yet:
// "<stem>-<process id>-<random><suffix>". The process id lets the next
// writer's recovery remove what a killed process left; names without it
// (undo copies, say) are left alone by the recovery.
[[nodiscard]] std::string hidden_file_name(const std::string& folder, std::string_view stem, std::string_view suffix);
// The process id in such a name, or 0 when it holds none.
[[nodiscard]] long hidden_name_owner(std::string_view name, std::string_view stem);
// Whether the process `pid` still runs.
[[nodiscard]] bool process_alive(long pid);

} // namespace saldorama
