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

#include <filesystem>
#include <memory>

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/hidden_area.h"
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

constexpr std::string_view kTempStem = ".saldorama";
constexpr std::string_view kTempPrefix = ".saldorama-";
constexpr std::string_view kTempSuffix = ".neu";
constexpr std::string_view kScratchStem = "loesung";
constexpr const char* kNoteName = "absicht";
// A note of a handful of lines; anything bigger is not one of ours.
constexpr std::int64_t kNoteLimit = 64 * 1024;

std::string directory_of(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string base_name(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Makes renames and removals in the folder durable. Best effort: the change
// itself is made and visible, so a failure here is no failure of the change.
void sync_directory(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    [[maybe_unused]] const int synced = ::fsync(fd);
    ::close(fd);
}

bool is_temp_name(std::string_view name) {
    return name.starts_with(kTempPrefix) && name.ends_with(kTempSuffix) && name.find('/') == std::string_view::npos;
}

// Kind of what is at `path` without following a link; 0 when nothing is there.
mode_t kind_at(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

// Removes the temporary files of processes that no longer run from `dir`.
// Only regular files go: a folder or pipe under such a name is not ours.
void remove_stale_temps(const std::string& dir, bool ownToo) {
    for (const auto& name : temporary_files(dir)) {
        const std::string path = dir + "/" + name;
        if (kind_at(path) != S_IFREG) continue;
        const long pid = hidden_name_owner(base_name(name), kTempStem);
        if ((ownToo && pid == ::getpid()) || (pid != ::getpid() && !process_alive(pid))) remove_file(path);
    }
}

// Creates a new, empty temporary file for `path`: in the hidden area of its
// folder when there is one, else beside it (a file chosen outside any
// working folder). Returns its name and descriptor.
std::pair<std::string, int> create_temp_for(const std::string& path) {
    const std::string dir = directory_of(path);
    const bool hidden = is_directory(hidden_area(dir));
    for (;;) {
        if (const int err = injected_error()) throw_io_error(err, path, Access::Write);
        std::string temp = hidden_file_name(dir, kTempStem, kTempSuffix);
        if (!hidden) temp = dir + "/" + base_name(temp);
        const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            // Named after the file it stands in for: that is what the user chose.
            throw_io_error(errno, path, Access::Write);
        }
        return {temp, fd};
    }
}

// Renaming over a write-protected file would succeed; honour the protection.
void check_writable(const std::string& path) {
    if (file_exists(path) && ::access(path.c_str(), W_OK) != 0) throw_io_error(errno, path, Access::Write);
}

// The note names files of its own folder by bare name, so that it still
// holds when the folder has been moved or renamed before the next start.
std::string name_in(const std::string& folder, const std::string& path) {
    const std::string full = full_path(path);
    const std::string dir = directory_of(full);
    if (dir == folder || dir == full_path(folder) || dir == full_path(folder) + "/.")
        return full.substr(dir.size() + 1);
    return full;
}

std::string note_path(const std::string& folder) { return hidden_area(folder) + "/" + kNoteName; }
std::string legacy_note_path(const std::string& folder) { return folder + "/" + kIntentFileName; }

// A bare name: no separator, no "." or "..", no control character.
bool plain_name(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (const char c : name)
        if (c == '/' || static_cast<unsigned char>(c) < 0x20) return false;
    return true;
}

// A data file of the folder that a replacement may put in place: only the
// bookings and the settings are ever replaced together.
bool own_data_file(std::string_view name) {
    if (!plain_name(name)) return false;
    const std::string wanted(name);
    for (const char* own : {"buchungen.dat", "einstellungen.txt"})
        if (::strcasecmp(own, wanted.c_str()) == 0) return true;
    return false;
}

// What the notes of `folder` (the current one in the hidden area and the
// older one beside the files) promise: each temporary file and the name it
// becomes. Lines the program cannot have written are left out and counted.
struct Note {
    struct Entry {
        std::string temp;    // path
        std::string target;  // bare name in the folder
    };
    std::vector<Entry> entries;
    std::vector<std::string> files;  // the notes themselves, to remove
    bool foreign = false;
};

void read_note_into(Note& note, const std::string& folder, const std::string& path, const std::string& tempDir) {
    // A folder under the note's name is none: it would block every writer.
    const mode_t kind = kind_at(path);
    if (kind == 0 || kind == S_IFDIR) return;
    if (kind != S_IFREG) {
        note.foreign = true;
        note.files.push_back(path);
        return;
    }
    note.files.push_back(path);
    File file = File::openRead(path);
    if (file.size() > kNoteLimit) {
        note.foreign = true;
        return;
    }
    std::string text(static_cast<std::size_t>(file.size()), '\0');
    text.resize(file.readAt(text.data(), text.size(), 0));
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const auto tab = line.find('\t');
        const std::string temp = tab == std::string::npos ? std::string() : line.substr(0, tab);
        const std::string target = tab == std::string::npos ? std::string() : line.substr(tab + 1);
        const mode_t targetKind = own_data_file(target) ? kind_at(folder + "/" + target) : S_IFDIR;
        if (!is_temp_name(temp) || !plain_name(temp) ||
            (targetKind != 0 && targetKind != S_IFREG && targetKind != S_IFLNK)) {
            note.foreign = true;
            continue;
        }
        const std::string tempPath = tempDir + "/" + temp;
        const mode_t tempKind = kind_at(tempPath);
        if (tempKind == 0) continue;  // already in place
        if (tempKind != S_IFREG) {
            note.foreign = true;
            continue;
        }
        note.entries.push_back({tempPath, target});
    }
}

Note read_notes(const std::string& folder) {
    Note note;
    read_note_into(note, folder, legacy_note_path(folder), folder);
    read_note_into(note, folder, note_path(folder), hidden_area(folder));
    return note;
}

std::string foreign_note_text(const std::string& folder) {
    return cp("Im Ordner „") + utf8_to_cp1252(folder) +
           cp("“ lag eine Notiz über eine unterbrochene Änderung mit Einträgen, die nicht von Saldorama stammen. "
              "Sie wurden nicht ausgeführt; sieh im Ordner nach, ob etwas fehlt.");
}

// The state a pending note commits to, for readers that must not change
// the folder: each promised name opens its temporary file instead.
struct ReadView {
    std::string folder;
    std::vector<Note::Entry> entries;
};
ReadView readView;

std::string through_read_view(const std::string& path) {
    if (readView.entries.empty()) return path;
    std::string name;
    if (path.find('/') == std::string::npos) {
        if (current_directory() != readView.folder) return path;
        name = path;
    } else if (path.starts_with(readView.folder + "/")) {
        name = path.substr(readView.folder.size() + 1);
    } else {
        return path;
    }
    for (const auto& e : readView.entries)
        if (e.target == name) return e.temp;
    return path;
}

// Opens without ever waiting (a FIFO would block an open for reading
// forever) and refuses whatever is not a regular file.
int open_or_throw(const std::string& path, int flags, Access access) {
    if (path.empty()) throw_io_error(ENOENT);
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == ENXIO || errno == EISDIR) throw_not_regular(path);
        throw_io_error(errno, path, access);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        throw_io_error(err, path, access);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw_not_regular(path);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
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

File File::openRead(const std::string& path) {
    const std::string opened = through_read_view(path);
    return File(open_or_throw(opened, O_RDONLY, Access::Read), path);
}
File File::openReadNoWait(const std::string& path) { return openRead(path); }
File File::openReadWrite(const std::string& path) { return File(open_or_throw(path, O_RDWR, Access::Write), path); }
File File::create(const std::string& path) {
    if (const int err = injected_error()) throw_io_error(err, path, Access::Write);
    const bool existed = kind_at(path) != 0;
    // Emptied only once it is known to be a regular file.
    File file(open_or_throw(path, O_RDWR | O_CREAT, Access::Write), path);
    if (::ftruncate(file.fd_, 0) != 0) throw_io_error(errno, path, Access::Write);
    // A new name is only durable once its folder is.
    if (!existed) sync_directory(directory_of(path));
    return file;
}

File::File(File&& other) noexcept : fd_(other.fd_), writePos_(other.writePos_), path_(std::move(other.path_)) {
    other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        writePos_ = other.writePos_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

File::~File() {
    if (fd_ >= 0) ::close(fd_);
}

std::int64_t File::size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throw_io_error(errno, path_);
    return st.st_size;
}

bool File::isRegular() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throw_io_error(errno, path_);
    return S_ISREG(st.st_mode);
}

std::size_t File::readAt(void* data, std::size_t n, std::int64_t offset) const {
    std::size_t done = 0;
    auto* bytes = static_cast<char*>(data);
    while (done < n) {
        const ssize_t got = ::pread(fd_, bytes + done, n - done, offset + static_cast<std::int64_t>(done));
        if (got < 0) {
            if (errno == EINTR) continue;
            throw_io_error(errno, path_, Access::Read);
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void File::writeAt(const void* data, std::size_t n, std::int64_t offset) {
    if (const int err = injected_error()) throw_io_error(err, path_, Access::Write);
    std::size_t done = 0;
    const auto* bytes = static_cast<const char*>(data);
    while (done < n) {
        const ssize_t put = ::pwrite(fd_, bytes + done, n - done, offset + static_cast<std::int64_t>(done));
        if (put < 0) {
            if (errno == EINTR) continue;
            throw_io_error(errno, path_, Access::Write);
        }
        done += static_cast<std::size_t>(put);
    }
}

void File::write(std::string_view bytes) {
    writeAt(bytes.data(), bytes.size(), writePos_);
    writePos_ += static_cast<std::int64_t>(bytes.size());
}

void File::truncate(std::int64_t length) {
    if (const int err = injected_error()) throw_io_error(err, path_, Access::Write);
    if (::ftruncate(fd_, length) != 0) throw_io_error(errno, path_, Access::Write);
}

void File::sync() {
    if (const int err = injected_error()) throw_io_error(err, path_, Access::Write);
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) throw_io_error(errno, path_, Access::Write);
}

void File::close() {
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    if (const int err = injected_error()) {
        ::close(fd);
        throw_io_error(err, path_, Access::Write);
    }
    if (::close(fd) != 0 && errno != EINTR) throw_io_error(errno, path_, Access::Write);
}

std::string read_file(const std::string& path) {
    File file = File::openRead(path);
    const std::int64_t size = file.size();
    std::string bytes(static_cast<std::size_t>(size), '\0');
    bytes.resize(file.readAt(bytes.data(), bytes.size(), 0));
    return bytes;
}

void rename_file(const std::string& from, const std::string& to) {
    if (const int err = injected_error()) throw_io_error(err, to, Access::Write);
    if (::rename(from.c_str(), to.c_str()) != 0) throw_io_error(errno, to, Access::Write);
}

void remove_file(const std::string& path) {
    if (const int err = injected_error()) throw_io_error(err, path, Access::Write);
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) throw_io_error(errno, path, Access::Write);
}

namespace {
constexpr std::size_t kBuildBlock = 1 << 20;
}

FileBuilder::FileBuilder(const std::string& path) : path_(path), file_(File::adopt(-1)) {
    check_writable(path);
    const std::string dir = directory_of(path);
    // Outside a working folder the temporary file stands beside its target,
    // else in the hidden area; what a killed writer left there goes with the
    // next write into that folder.
    const std::string area = hidden_area(dir);
    remove_stale_temps(is_directory(area) ? area : dir, false);
    auto [temp, fd] = create_temp_for(path);
    temp_ = std::move(temp);
    // Messages name the file the user chose, never the temporary one.
    file_ = File(fd, path);
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
    // Everything new is on disk, in the hidden area, before the first old
    // file goes. Files built aside belong to this call from the start,
    // whatever happens.
    std::vector<std::string> temps;
    std::string intent;
    try {
        for (const auto& f : files)
            if (!f.temp.empty()) temps.push_back(f.temp);
        const std::string area = make_hidden_area(folder);
        for (const auto& f : files) check_writable(f.path);
        temps.clear();
        for (const auto& f : files) {
            if (f.temp.empty()) {
                FileBuilder built(area + "/" + base_name(f.path));
                built.write(f.bytes);
                temps.push_back(built.release());
            } else if (directory_of(full_path(f.temp)) != full_path(area)) {
                // Built beside its target before the area existed: moved in,
                // so that the note only ever names the area's own files.
                const std::string moved = hidden_file_name(folder, kTempStem, kTempSuffix);
                rename_file(f.temp, moved);
                temps.push_back(moved);
            } else {
                temps.push_back(f.temp);
            }
            intent += base_name(temps.back()) + "\t" + name_in(folder, f.path) + "\n";
        }
        write_file_atomic(note_path(folder), intent);
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
        remove_file(note_path(folder));
    } catch (const Failure&) {
        // A note whose files are all in place is removed by the next start.
    }
}

std::string intent_note_path(const std::string& folder) { return note_path(folder); }

bool recovery_pending(const std::string& folder) {
    const auto pending = [](mode_t kind) { return kind != 0 && kind != S_IFDIR; };
    return pending(kind_at(note_path(folder))) || pending(kind_at(legacy_note_path(folder)));
}

std::string recover_folder(const std::string& folder) {
    const Note note = read_notes(folder);
    for (const auto& e : note.entries) rename_file(e.temp, folder + "/" + e.target);
    if (!note.entries.empty()) sync_directory(folder);
    for (const auto& path : note.files) remove_file(path);
    remove_stale_temps(folder, true);
    const std::string area = hidden_area(folder);
    if (kind_at(area) == S_IFDIR) {
        remove_stale_temps(area, true);
        // Scratch folders of exercises solved by processes that are gone.
        std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(area.c_str()), ::closedir);
        while (dir) {
            const dirent* entry = ::readdir(dir.get());
            if (entry == nullptr) break;
            const std::string name = entry->d_name;
            const long pid = hidden_name_owner(name, kScratchStem);
            if (pid == 0 && name != "." && name != ".." && kind_at(area + "/" + name) == S_IFDIR) {
                // A folder the program keeps here (the undo copies) builds
                // its files beside them: what dead writers left there goes
                // too, and so does the hidden area earlier versions made in it.
                remove_stale_temps(area + "/" + name, true);
                ::rmdir(hidden_area(area + "/" + name).c_str());
                continue;
            }
            if (pid == 0 || process_alive(pid) || kind_at(area + "/" + name) != S_IFDIR) continue;
            std::error_code ignored;
            std::filesystem::remove_all(area + "/" + name, ignored);
        }
    } else if (kind_at(area) == 0) {
        // On read-only media the writer's own write says what is wrong.
        try {
            make_hidden_area(folder);
        } catch (const Failure&) {
        }
    }
    sync_directory(folder);
    return note.foreign ? foreign_note_text(folder) : std::string();
}

std::string read_pending_state(const std::string& folder) {
    readView = {};
    if (!recovery_pending(folder)) return {};
    Note note = read_notes(folder);
    readView.folder = full_path(folder);
    readView.entries = std::move(note.entries);
    return note.foreign ? foreign_note_text(folder) : std::string();
}

void forget_pending_state() { readView = {}; }

std::string scratch_folder_name(const std::string& folder) {
    return hidden_file_name(folder, kScratchStem, "");
}

std::vector<std::string> temporary_files(const std::string& folder) {
    std::vector<std::string> names;
    for (const std::string& prefix : {std::string(), std::string(kHiddenAreaName) + "/"}) {
        std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir((folder + "/" + prefix).c_str()), ::closedir);
        if (!dir) continue;
        while (const dirent* entry = ::readdir(dir.get())) {
            if (is_temp_name(entry->d_name)) names.push_back(prefix + entry->d_name);
        }
    }
    return names;
}

bool file_exists(const std::string& path) {
    struct stat st {};
    return ::stat(through_read_view(path).c_str(), &st) == 0;
}

bool is_special_file(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
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
    if (::getcwd(buf, sizeof buf) == nullptr) throw_io_error(errno, ".");
    return buf;
}

std::string full_path(const std::string& name) {
    if (!name.empty() && name[0] == '/') return name;
    return current_directory() + "/" + name;
}

void change_directory(const std::string& dir) {
    if (::chdir(dir.c_str()) != 0) throw_io_error(errno, dir);
}

} // namespace saldorama
