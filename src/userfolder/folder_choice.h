#pragma once
#include <string>
#include <vector>

namespace saldorama {

// Where the window works: the current directory (as when started by hand or
// by a script), a folder given with -C/--ordner, or the user's own folder.
struct FolderChoice {
    enum class Where { Current, Given, User };
    Where where = Where::Current;
    std::string directory;  // Given
    bool help = false;
};

// The window's arguments after the program name. Throws FolderError.
[[nodiscard]] FolderChoice parse_folder_options(const std::vector<std::string>& args);
[[nodiscard]] const char* window_usage_text() noexcept;

// "$XDG_DATA_HOME/saldorama", else "$HOME/.local/share/saldorama"; a relative
// XDG_DATA_HOME is ignored, as the XDG rules ask. Arguments may be null.
[[nodiscard]] std::string user_folder_path(const char* xdgDataHome, const char* home);
// The supplied files of an installation: ../share/saldorama beside the
// executable's folder, so that a moved prefix still finds them.
[[nodiscard]] std::string supplied_folder_path(const std::string& executable);
// This process's executable, as the kernel knows it.
[[nodiscard]] std::string executable_path();

// Makes the chosen folder the working directory and returns it; for the
// user's folder it is created and brought up to date first (prepare_user_folder).
// Throws FolderError.
std::string enter_folder(const FolderChoice& choice, const std::string& version);

} // namespace saldorama
