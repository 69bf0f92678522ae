#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace saldorama {

// How many steps can be taken back, and how much room their copies may take
// together; the oldest copies go first. The newest copy is kept whatever its size.
inline constexpr int kUndoStepsKept = 10;
inline constexpr std::int64_t kUndoBytesKept = std::int64_t{100} * 1024 * 1024;

// The folder inside the hidden area that holds the copies.
[[nodiscard]] std::string undo_folder(const std::string& workingFolder);

// One step that can be taken back: what it was called and the copy of the
// books from before it.
struct UndoStep {
    std::string label;        // CP1252, "Das Löschen von Buchung 17"
    int bookingsAfter = -1;   // the booking count the step left; -1 when not known
    std::string copyPath;
};

// A copy of "buchungen.dat" and "einstellungen.txt" as they are now, taken
// just before a step that deletes or overwrites them. The caller holds the
// folder lock and works in the working folder. The copy is written all or
// nothing. When the step is made, done() records the booking count it left;
// a step that never got that far (a failure) takes its copy away again.
class UndoCopy {
public:
    UndoCopy(const std::string& workingFolder, const std::string& label);
    ~UndoCopy();
    UndoCopy(const UndoCopy&) = delete;
    UndoCopy& operator=(const UndoCopy&) = delete;

    void done(int bookingsAfter);

private:
    std::string path_;
    bool done_ = false;
};

// The step taken last that has not been taken back, if any.
[[nodiscard]] std::optional<UndoStep> last_undo_step(const std::string& workingFolder);

// Puts the books back as the step's copy holds them, as a restore does: both
// files are built under the folder's own temporary names first and then
// replaced as one (also across a crash). The caller holds the folder lock and
// works in the working folder. The copy goes afterwards; should a crash come
// between, taking the same step back again changes nothing.
void undo_step(const std::string& workingFolder, const UndoStep& step);

} // namespace saldorama
