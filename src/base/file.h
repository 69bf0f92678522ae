#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace saldorama {

// A file opened for the length of one operation. Every failure throws the
// German I/O text. Writes, renames and closes pass through one counting seam
// so that tests can make the n-th of them fail on purpose.
class File {
public:
    [[nodiscard]] static File openRead(const std::string& path);
    [[nodiscard]] static File openReadWrite(const std::string& path);
    // Created anew with length 0; an existing file is truncated.
    [[nodiscard]] static File create(const std::string& path);

    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    ~File();

    [[nodiscard]] std::int64_t size() const;
    // Reads up to n bytes at offset; returns how many were read.
    std::size_t readAt(void* data, std::size_t n, std::int64_t offset) const;
    void writeAt(const void* data, std::size_t n, std::int64_t offset);
    void write(std::string_view bytes);  // at the end of what this handle wrote so far
    void truncate(std::int64_t length);
    void sync();
    // Closing can fail (a full disk shows up here); the destructor closes silently.
    void close();

private:
    explicit File(int fd) : fd_(fd) {}
    int fd_ = -1;
    std::int64_t writePos_ = 0;
};

// Whole file as bytes.
[[nodiscard]] std::string read_file(const std::string& path);
// Writes the bytes into a temporary file beside `path` and renames it over
// `path`, so that a failure at any step leaves the old file whole.
void write_file_atomic(const std::string& path, std::string_view bytes);
// Renames through the seam.
void rename_file(const std::string& from, const std::string& to);
[[nodiscard]] bool file_exists(const std::string& path);

// Case-insensitive lookup of a bare name in the working directory:
// "aufgabe1.txt" finds "Aufgabe1.txt". Returns the name as it stands on disk,
// or the name itself when no file matches.
[[nodiscard]] std::string resolve_name(const std::string& bareName);
// Full path of a bare name in the working directory, for messages.
[[nodiscard]] std::string full_path(const std::string& name);
[[nodiscard]] std::string current_directory();
void change_directory(const std::string& dir);

// Test seam: the n-th write, rename, sync or close from now on (1-based)
// fails with the given error number; 0 switches it off.
namespace fault {
void fail_nth_operation(int n, int errorNumber);
void clear();
[[nodiscard]] int operations_seen();
} // namespace fault

} // namespace saldorama
