#pragma once
#include <chrono>
#include <string>

namespace saldorama {

// The working folder's writer lock: an exclusive flock on the folder itself,
// so that no lock file is needed and read-only users leave the folder as it
// is. The system drops it when the process ends, however it ends.
// Every read-modify-write of the folder's files holds it. Within one process
// the lock nests: an inner holder of the same folder only counts up, and
// several folders may be held at once (solving an exercise in a scratch
// folder while the working folder is held).
class FolderLock {
public:
    // Readers share the lock among themselves, so that no report mixes the
    // files of two writes; where no lock can be had at all (read-only
    // media, some network shares), or not within the wait, a reader reads
    // without one.
    enum class Mode { Exclusive, Shared };
    // Waits up to ten seconds for another process to let go; then throws
    // the German failure text and nothing has changed.
    explicit FolderLock(const std::string& folder, Mode mode = Mode::Exclusive);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    static constexpr std::chrono::milliseconds kWait{10000};

private:
    std::string folder_;
};

// Whether this process holds the lock of `folder` now.
[[nodiscard]] bool folder_lock_held(const std::string& folder);
// The text a writer shows when the wait ran out.
[[nodiscard]] std::string folder_busy_text();

// Test seam: how long a writer waits (kWait unless a test shortens it).
namespace fault {
void set_lock_wait(std::chrono::milliseconds wait);
} // namespace fault

} // namespace saldorama
