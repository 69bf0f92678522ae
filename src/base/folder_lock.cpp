#include "base/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>

#include <thread>
#include <vector>

#include "base/failure.h"
#include "base/io_error.h"

namespace saldorama {
namespace {

// The locks this process holds: folder, descriptor and nesting depth each.
// A child made by fork() inherits this record but not the locks' ownership,
// hence the process id.
struct Held {
    std::string folder;
    int fd = -1;
    int depth = 0;
};
std::vector<Held> held;
pid_t heldBy = 0;

void forget_when_inherited() {
    if (heldBy != ::getpid()) {
        held.clear();
        heldBy = ::getpid();
    }
}

Held* find_held(const std::string& folder) {
    for (Held& h : held)
        if (h.folder == folder) return &h;
    return nullptr;
}

std::chrono::milliseconds lockWait = FolderLock::kWait;

} // namespace

std::string folder_busy_text() { return "Der Arbeitsordner wird gerade von einem anderen Programm benutzt."; }

bool folder_lock_held(const std::string& folder) {
    forget_when_inherited();
    return find_held(folder) != nullptr;
}

namespace fault {
void set_lock_wait(std::chrono::milliseconds wait) { lockWait = wait; }
} // namespace fault

FolderLock::FolderLock(const std::string& folder, Mode mode) : folder_(folder) {
    forget_when_inherited();
    if (Held* h = find_held(folder)) {
        ++h->depth;
        return;
    }
    const bool shared = mode == Mode::Shared;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        if (shared) return;
        throw_io_error(errno, folder);
    }
    const auto deadline = std::chrono::steady_clock::now() + lockWait;
    while (::flock(fd, (shared ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
        const int err = errno;
        if (err == EINTR) continue;
        if (err != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            // A reader that cannot have it reads without it: a stuck writer
            // never stops the reports.
            if (shared) return;
            if (err != EWOULDBLOCK) throw_io_error(err, folder);
            fail(folder_busy_text());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    held.push_back({folder, fd, 1});
}

FolderLock::~FolderLock() {
    if (heldBy != ::getpid()) return;
    for (auto it = held.begin(); it != held.end(); ++it) {
        if (it->folder != folder_ || --it->depth > 0) continue;
        // Closing the descriptor releases the flock.
        ::close(it->fd);
        held.erase(it);
        return;
    }
}

} // namespace saldorama
