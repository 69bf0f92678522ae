#include "base/file.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <memory>
#include <random>

#include "base/failure.h"
#include "base/io_error.h"

namespace saldorama {
namespace {

int failAt = 0;
int failErrno = 0;
bool killAtFailure = false;
int seenOperations = 0;

// Every write-side system call asks here first; returns the error to simulate.
int injected_error() {
    ++seenOperations;
    if (failAt > 0 && seenOperations == failAt) {
        if (killAtFailure) ::kill(::getpid(), SIGKILL);
        return failErrno;
    }
    return 0;
}

constexpr std::string_view kTempPrefix = ".saldorama-";
constexpr std::string_view kTempSuffix = ".neu";

std::string directory_of(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Makes renames and removals in the folder durable. Best effort: the change
// itself is made and visible, so a failure here is no failure of the change.
void sync_directory(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    [[maybe_unused]] const int synced = ::fsync(fd);
    ::close(fd);
}

// A name no other writer uses: the process id (for the clean-up) and a random part.
std::string unique_temp_name(const std::string& dir) {
    static std::mt19937_64 random{std::random_device{}() ^ static_cast<unsigned long>(::getpid())};
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = dir + "/" + std::string(kTempPrefix) + std::to_string(::getpid()) + "-";
    for (int i = 0; i < 8; ++i) name += digits[random() % 36];
    return name + std::string(kTempSuffix);
}

// Creates a new, empty temporary file beside `path`; returns its name and descriptor.
std::pair<std::string, int> create_temp_beside(const std::string& path) {
    const std::string dir = directory_of(path);
    for (;;) {
        if (const int err = injected_error()) throw_io_error(err);
        const std::string temp = unique_temp_name(dir);
        const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            // Named after the file it stands in for: that is what the user chose.
            throw_io_error(errno, path);
        }
        return {temp, fd};
    }
}

// Renaming over a write-protected file would succeed; honour the protection.
void check_writable(const std::string& path) {
    if (file_exists(path) && ::access(path.c_str(), W_OK) != 0) throw_io_error(errno, path);
}

// The intent names files of its own folder by bare name, so that it still
// holds when the folder has been moved or renamed before the next start.
std::string name_in(const std::string& folder, const std::string& path) {
    const std::string full = full_path(path);
    const std::string dir = directory_of(full);
    if (dir == folder || dir == full_path(folder) || dir == full_path(folder) + "/.")
        return full.substr(dir.size() + 1);
    return full;
}

std::string path_in(const std::string& folder, const std::string& name) {
    return !name.empty() && name[0] == '/' ? name : folder + "/" + name;
}

bool process_alive(long pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

int open_or_throw(const std::string& path, int flags) {
    if (path.empty()) throw_io_error(ENOENT);
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) throw_io_error(errno, path);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw_io_error(EACCES, path);
    }
    return fd;
}

} // namespace

namespace fault {
void fail_nth_operation(int n, int errorNumber) {
    failAt = n;
    failErrno = errorNumber;
    killAtFailure = false;
    seenOperations = 0;
}
void kill_at_nth_operation(int n) {
    fail_nth_operation(n, 0);
    killAtFailure = true;
}
void clear() { fail_nth_operation(0, 0); }
int operations_seen() { return seenOperations; }
} // namespace fault

File File::openRead(const std::string& path) { return File(open_or_throw(path, O_RDONLY)); }
File File::openReadNoWait(const std::string& path) { return File(open_or_throw(path, O_RDONLY | O_NONBLOCK)); }
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

bool File::isRegular() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throw_io_error(errno);
    return S_ISREG(st.st_mode);
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
    if (::rename(from.c_str(), to.c_str()) != 0) throw_io_error(errno, to);
}

void remove_file(const std::string& path) {
    if (const int err = injected_error()) throw_io_error(err);
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) throw_io_error(errno, path);
}

namespace {
constexpr std::size_t kBuildBlock = 1 << 20;
}

FileBuilder::FileBuilder(const std::string& path) : path_(path), file_(File::adopt(-1)) {
    check_writable(path);
    auto [temp, fd] = create_temp_beside(path);
    temp_ = std::move(temp);
    file_ = File::adopt(fd);
}

FileBuilder::~FileBuilder() {
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

void FileBuilder::write(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > kBuildBlock && !buffer_.empty()) {
        file_.write(buffer_);
        wrote_ = true;
        buffer_.clear();
    }
    if (bytes.size() >= kBuildBlock) {
        file_.write(bytes);
        wrote_ = true;
    } else {
        buffer_.append(bytes);
    }
}

void FileBuilder::finish() {
    // A small file goes out in one write, an empty one too.
    if (!buffer_.empty() || !wrote_) file_.write(buffer_);
    buffer_.clear();
    buffer_.shrink_to_fit();
    file_.sync();
    file_.close();
}

void FileBuilder::commit() {
    finish();
    rename_file(temp_, path_);
    temp_.clear();
    sync_directory(directory_of(path_));
}

std::string FileBuilder::release() {
    finish();
    std::string temp;
    temp.swap(temp_);
    return temp;
}

void write_file_atomic(const std::string& path, std::string_view bytes) {
    FileBuilder file(path);
    file.write(bytes);
    file.commit();
}

void replace_files(const std::vector<Replacement>& files, const std::string& folder) {
    if (files.size() == 1 && files[0].temp.empty()) {
        write_file_atomic(files[0].path, files[0].bytes);
        return;
    }
    // Everything new is on disk before the first old file goes. Files built
    // aside belong to this call from the start, whatever happens.
    std::vector<std::string> temps;
    std::string intent;
    try {
        for (const auto& f : files) check_writable(f.path);
        for (const auto& f : files) {
            if (f.temp.empty()) {
                FileBuilder built(f.path);
                built.write(f.bytes);
                temps.push_back(built.release());
            } else {
                temps.push_back(f.temp);
            }
            intent += name_in(folder, temps.back()) + "\t" + name_in(folder, f.path) + "\n";
        }
        write_file_atomic(folder + "/" + kIntentFileName, intent);
    } catch (...) {
        for (const auto& t : temps) ::unlink(t.c_str());
        for (const auto& f : files)
            if (!f.temp.empty()) ::unlink(f.temp.c_str());
        throw;
    }
    // From here on the change is decided: a failing step is taken again at
    // once, and a crash is finished by the next start.
    try {
        for (std::size_t i = 0; i < files.size(); ++i) rename_file(temps[i], files[i].path);
    } catch (const Failure&) {
        recover_folder(folder);
        return;
    }
    sync_directory(folder);
    try {
        remove_file(folder + "/" + kIntentFileName);
    } catch (const Failure&) {
        // A note whose files are all in place is removed by the next start.
    }
}

bool recovery_pending(const std::string& folder) { return file_exists(folder + "/" + kIntentFileName); }

void recover_folder(const std::string& folder) {
    const std::string intentPath = folder + "/" + kIntentFileName;
    if (file_exists(intentPath)) {
        const std::string intent = read_file(intentPath);
        std::size_t start = 0;
        while (start < intent.size()) {
            auto end = intent.find('\n', start);
            if (end == std::string::npos) end = intent.size();
            const std::string line = intent.substr(start, end - start);
            start = end + 1;
            const auto tab = line.find('\t');
            if (tab == std::string::npos) continue;
            const std::string temp = path_in(folder, line.substr(0, tab));
            if (file_exists(temp)) rename_file(temp, path_in(folder, line.substr(tab + 1)));
        }
        sync_directory(folder);
        remove_file(intentPath);
    }
    for (const auto& name : temporary_files(folder)) {
        // Still being written by a live writer elsewhere? Its process id says.
        const std::string pidText =
            name.substr(kTempPrefix.size(), name.find('-', kTempPrefix.size()) - kTempPrefix.size());
        const long pid = std::strtol(pidText.c_str(), nullptr, 10);
        if (pid == ::getpid() || !process_alive(pid)) remove_file(folder + "/" + name);
    }
    sync_directory(folder);
}

std::vector<std::string> temporary_files(const std::string& folder) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name.starts_with(kTempPrefix) && name.ends_with(kTempSuffix)) names.emplace_back(name);
    }
    return names;
}

bool file_exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool is_directory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
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

std::string resolve_name_in(const std::string& folder, const std::string& bareName) {
    const std::string base = folder.ends_with('/') ? folder : folder + "/";
    if (file_exists(base + bareName)) return base + bareName;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return base + bareName;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (::strcasecmp(entry->d_name, bareName.c_str()) == 0) return base + entry->d_name;
    }
    return base + bareName;
}

std::vector<std::string> directory_names() {
    std::vector<std::string> names;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir("."), ::closedir);
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir.get())) names.emplace_back(entry->d_name);
    return names;
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
