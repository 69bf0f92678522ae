#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace saldorama {

// A file opened for the length of one operation. Every failure throws the
// German I/O text. Writes, renames and closes pass through one counting seam
// so that tests can make the n-th of them fail on purpose.
class File {
public:
    [[nodiscard]] static File openRead(const std::string& path);
    // Every open refuses what is not a regular file (a FIFO, device, socket
    // or folder), without waiting on it. Kept for the callers that said so.
    [[nodiscard]] static File openReadNoWait(const std::string& path);
    [[nodiscard]] static File openReadWrite(const std::string& path);
    // Created anew with length 0; an existing file is truncated. A new
    // file's folder is synced, so that its name survives a power cut.
    [[nodiscard]] static File create(const std::string& path);
    // Takes over an open descriptor.
    [[nodiscard]] static File adopt(int fd) { return File(fd); }

    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    ~File();

    [[nodiscard]] std::int64_t size() const;
    [[nodiscard]] bool isRegular() const;
    // Reads up to n bytes at offset; returns how many were read.
    std::size_t readAt(void* data, std::size_t n, std::int64_t offset) const;
    void writeAt(const void* data, std::size_t n, std::int64_t offset);
    void write(std::string_view bytes);  // at the end of what this handle wrote so far
    void truncate(std::int64_t length);
    void sync();
    // Closing can fail (a full disk shows up here); the destructor closes silently.
    void close();

private:
    explicit File(int fd, std::string path = {}) : fd_(fd), path_(std::move(path)) {}
    int fd_ = -1;
    std::int64_t writePos_ = 0;
    std::string path_;  // for messages
    friend class FileBuilder;
};

// Whole file as bytes.
[[nodiscard]] std::string read_file(const std::string& path);
// Writes the bytes into a temporary file of its own name beside `path`,
// syncs it and renames it over `path`, so that a failure or a crash at any
// step leaves the old file whole.
void write_file_atomic(const std::string& path, std::string_view bytes);

// A new file built aside piece by piece: a temporary file of its own name
// beside `path`, written in large blocks, so that a file of any size is
// written without being held. commit() puts it in place as write_file_atomic
// does; release() hands the finished temporary file to replace_files. Until
// then, and after any failure, the temporary file is removed again and
// `path` stays as it was.
class FileBuilder {
public:
    explicit FileBuilder(const std::string& path);
    FileBuilder(const FileBuilder&) = delete;
    FileBuilder& operator=(const FileBuilder&) = delete;
    ~FileBuilder();

    void write(std::string_view bytes);
    void commit();
    // Synced and closed; the name of the temporary file, which the caller now owns.
    [[nodiscard]] std::string release();
    [[nodiscard]] const std::string& path() const noexcept { return path_; }

private:
    void finish();
    std::string path_;
    std::string temp_;
    File file_;
    std::string buffer_;
    bool wrote_ = false;
};

// Several files replaced as one. The new contents are built aside in the
// hidden area first; then a note naming them ("intent") is written there,
// the files are renamed into place and the note is removed. After a crash,
// recover_folder finishes what the note names, so the files are either all
// old or all new.
struct Replacement {
    Replacement(std::string path_, std::string bytes_) : path(std::move(path_)), bytes(std::move(bytes_)) {}
    // New contents already in a temporary file (from FileBuilder::release);
    // replace_files takes it over.
    [[nodiscard]] static Replacement builtAside(std::string path_, std::string temp) {
        Replacement r(std::move(path_), {});
        r.temp = std::move(temp);
        return r;
    }
    std::string path;
    std::string bytes;
    std::string temp;  // set: the contents are in this file and `bytes` is not used
};
void replace_files(const std::vector<Replacement>& files, const std::string& folder);
// Run by writers at every start while holding the folder's lock: finishes a
// replacement a crash interrupted, removes what killed processes left (in
// the hidden area and beside the files) and makes the hidden area. Only
// what the program itself writes is carried out: a note's line that names
// anything but a temporary file of the hidden area and one of the folder's
// own data files, by bare name, is left undone. Returns then the German
// notice naming the folder; else empty.
std::string recover_folder(const std::string& folder);
// Where the note of a replacement under way stands.
[[nodiscard]] std::string intent_note_path(const std::string& folder);
// Whether a crash left a replacement to finish in `folder`.
[[nodiscard]] bool recovery_pending(const std::string& folder);
// For readers, who never change the folder: from now on this process reads
// the files of `folder` as a pending replacement leaves them (the same
// checks as recover_folder, the same notice). forget_pending_state ends it.
std::string read_pending_state(const std::string& folder);
void forget_pending_state();
// A fresh name for a scratch folder in the hidden area of `folder` (not made
// yet); the next writer's recovery removes it once its process has gone.
[[nodiscard]] std::string scratch_folder_name(const std::string& folder);
// Temporary files of this program in `folder` and its hidden area (names
// relative to `folder`), for tests and clean-up.
[[nodiscard]] std::vector<std::string> temporary_files(const std::string& folder);
// The note of an older version, beside the files; still finished.
inline constexpr const char* kIntentFileName = ".saldorama.intent";

// Renames through the seam.
void rename_file(const std::string& from, const std::string& to);
// Removes through the seam.
void remove_file(const std::string& path);
[[nodiscard]] bool file_exists(const std::string& path);
[[nodiscard]] bool is_directory(const std::string& path);
// Something is there, and it is no regular file (a FIFO, device, socket or folder).
[[nodiscard]] bool is_special_file(const std::string& path);

// Case-insensitive lookup of a bare name in the working directory:
// "aufgabe1.txt" finds "Aufgabe1.txt". Returns the name as it stands on disk,
// or the name itself when no file matches.
[[nodiscard]] std::string resolve_name(const std::string& bareName);
// The same in another folder (a native path): the path of the file found
// there, or folder/bareName when none matches.
[[nodiscard]] std::string resolve_name_in(const std::string& folder, const std::string& bareName);
// The names of the entries of the working directory, in no particular order.
[[nodiscard]] std::vector<std::string> directory_names();
// Full path of a bare name in the working directory, for messages.
[[nodiscard]] std::string full_path(const std::string& name);
[[nodiscard]] std::string current_directory();
void change_directory(const std::string& dir);

// Test seam: the n-th write, truncate, rename, removal, sync or close from
// now on (1-based) fails with the given error number; 0 switches it off.
// kill_at_nth_operation instead ends the process there with SIGKILL, as a
// crash or a power cut would.
namespace fault {
void fail_nth_operation(int n, int errorNumber);
void kill_at_nth_operation(int n);
void clear();
[[nodiscard]] int operations_seen();
} // namespace fault

} // namespace saldorama
