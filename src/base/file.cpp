#include "base/file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "base/io_error.h"

namespace saldorama {
namespace {

int failAt = 0;
int failErrno = 0;
int seenOperations = 0;

// Every write-side system call asks here first; returns the error to simulate.
int injected_error() {
    ++seenOperations;
    if (failAt > 0 && seenOperations == failAt) return failErrno;
    return 0;
}

int open_or_throw(const std::string& path, int flags) {
    if (path.empty()) throw_io_error(ENOENT);
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) throw_io_error(errno);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw_io_error(EACCES);
    }
    return fd;
}

} // namespace

namespace fault {
void fail_nth_operation(int n, int errorNumber) {
    failAt = n;
    failErrno = errorNumber;
    seenOperations = 0;
}
void clear() { fail_nth_operation(0, 0); }
int operations_seen() { return seenOperations; }
} // namespace fault

File File::openRead(const std::string& path) { return File(open_or_throw(path, O_RDONLY)); }
File File::openReadWrite(const std::string& path) { return File(open_or_throw(path, O_RDWR)); }
File File::create(const std::string& path) {
    if (const int err = injected_error()) throw_io_error(err);
    return File(open_or_throw(path, O_RDWR | O_CREAT | O_TRUNC));
}

File::File(File&& other) noexcept : fd_(other.fd_), writePos_(other.writePos_) { other.fd_ = -1; }

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        writePos_ = other.writePos_;
        other.fd_ = -1;
    }
    return *this;
}

File::~File() {
    if (fd_ >= 0) ::close(fd_);
}

std::int64_t File::size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throw_io_error(errno);
    return st.st_size;
}

std::size_t File::readAt(void* data, std::size_t n, std::int64_t offset) const {
    std::size_t done = 0;
    auto* bytes = static_cast<char*>(data);
    while (done < n) {
        const ssize_t got = ::pread(fd_, bytes + done, n - done, offset + static_cast<std::int64_t>(done));
        if (got < 0) {
            if (errno == EINTR) continue;
            throw_io_error(errno);
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void File::writeAt(const void* data, std::size_t n, std::int64_t offset) {
    if (const int err = injected_error()) throw_io_error(err);
    std::size_t done = 0;
    const auto* bytes = static_cast<const char*>(data);
    while (done < n) {
        const ssize_t put = ::pwrite(fd_, bytes + done, n - done, offset + static_cast<std::int64_t>(done));
        if (put < 0) {
            if (errno == EINTR) continue;
            throw_io_error(errno);
        }
        done += static_cast<std::size_t>(put);
    }
}

void File::write(std::string_view bytes) {
    writeAt(bytes.data(), bytes.size(), writePos_);
    writePos_ += static_cast<std::int64_t>(bytes.size());
}

void File::truncate(std::int64_t length) {
    if (const int err = injected_error()) throw_io_error(err);
    if (::ftruncate(fd_, length) != 0) throw_io_error(errno);
}

void File::sync() {
    if (const int err = injected_error()) throw_io_error(err);
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) throw_io_error(errno);
}

void File::close() {
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    if (const int err = injected_error()) {
        ::close(fd);
        throw_io_error(err);
    }
    if (::close(fd) != 0 && errno != EINTR) throw_io_error(errno);
}

std::string read_file(const std::string& path) {
    File file = File::openRead(path);
    const std::int64_t size = file.size();
    std::string bytes(static_cast<std::size_t>(size), '\0');
    bytes.resize(file.readAt(bytes.data(), bytes.size(), 0));
    return bytes;
}

void rename_file(const std::string& from, const std::string& to) {
    if (const int err = injected_error()) throw_io_error(err);
    if (::rename(from.c_str(), to.c_str()) != 0) throw_io_error(errno);
}

void write_file_atomic(const std::string& path, std::string_view bytes) {
    const auto slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string temp = dir + "." + base + ".neu";
    // Renaming over a write-protected file would succeed; honour the protection.
    if (file_exists(path) && ::access(path.c_str(), W_OK) != 0) throw_io_error(errno);
    try {
        File file = File::create(temp);
        file.write(bytes);
        file.sync();
        file.close();
        rename_file(temp, path);
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
}

bool file_exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string resolve_name(const std::string& bareName) {
    if (file_exists(bareName)) return bareName;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir("."), ::closedir);
    if (!dir) return bareName;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (::strcasecmp(entry->d_name, bareName.c_str()) == 0) return entry->d_name;
    }
    return bareName;
}

std::string current_directory() {
    char buf[PATH_MAX];
    if (::getcwd(buf, sizeof buf) == nullptr) throw_io_error(errno);
    return buf;
}

std::string full_path(const std::string& name) {
    if (!name.empty() && name[0] == '/') return name;
    return current_directory() + "/" + name;
}

void change_directory(const std::string& dir) {
    if (::chdir(dir.c_str()) != 0) throw_io_error(errno);
}

} // namespace saldorama
