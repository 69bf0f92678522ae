#include "base/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>

#include <thread>

#include "base/failure.h"
#include "base/io_error.h"

namespace saldorama {
namespace {

// The one lock this process holds: its folder, descriptor and nesting depth.
// A child made by fork() inherits this record but not the lock's ownership,
// hence the process id.
struct Held {
    std::string folder;
    int fd = -1;
    int depth = 0;
    pid_t pid = 0;
};
Held held;

void forget_when_inherited() {
    if (held.depth > 0 && held.pid != ::getpid()) held = {};
}
std::chrono::milliseconds lockWait = FolderLock::kWait;

} // namespace

std::string folder_busy_text() { return "Der Arbeitsordner wird gerade von einem anderen Programm benutzt."; }

bool folder_lock_held(const std::string& folder) {
    forget_when_inherited();
    return held.depth > 0 && held.folder == folder;
}

namespace fault {
void set_lock_wait(std::chrono::milliseconds wait) { lockWait = wait; }
} // namespace fault

FolderLock::FolderLock(const std::string& folder) {
    forget_when_inherited();
    if (held.depth > 0) {
        // A second folder at once would need a second lock; no writer does that.
        if (held.folder != folder) fail(folder_busy_text());
        ++held.depth;
        return;
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw_io_error(errno, folder);
    const auto deadline = std::chrono::steady_clock::now() + lockWait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        if (err == EINTR) continue;
        if (err != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            if (err != EWOULDBLOCK) throw_io_error(err);
            fail(folder_busy_text());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    held = {folder, fd, 1, ::getpid()};
}

FolderLock::~FolderLock() {
    if (held.pid != ::getpid() || --held.depth > 0) return;
    // Closing the descriptor releases the flock.
    ::close(held.fd);
    held = {};
}

} // namespace saldorama
