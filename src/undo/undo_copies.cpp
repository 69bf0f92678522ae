#include "undo/undo_copies.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/file.h"
#include "base/hidden_area.h"
#include "bookings/bookings_file.h"
#include "settings/settings.h"

namespace saldorama {

namespace {

namespace fs = std::filesystem;

constexpr const char* kCopyMark = "saldorama-undo 1";
constexpr std::string_view kCopySuffix = ".kopie";
constexpr std::size_t kBlock = 1 << 20;
constexpr int kNumberDigits = 8;

// A copy's name: its number, then the booking count its step left once known:
// "00000007.kopie", "00000007-42.kopie".
struct CopyName {
    long number = 0;
    int bookingsAfter = -1;
    std::string path;
};

std::optional<CopyName> parse_name(const std::string& folder, const std::string& name) {
    if (name.size() <= kCopySuffix.size() || !name.ends_with(kCopySuffix)) return std::nullopt;
    const std::string stem = name.substr(0, name.size() - kCopySuffix.size());
    const auto dash = stem.find('-');
    const std::string number = stem.substr(0, dash);
    const std::string after = dash == std::string::npos ? std::string() : stem.substr(dash + 1);
    auto digits = [](const std::string& s) {
        return !s.empty() && s.size() < 10 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (number.size() != kNumberDigits || !digits(number)) return std::nullopt;
    if (dash != std::string::npos && !digits(after)) return std::nullopt;
    CopyName copy;
    copy.number = std::stol(number);
    copy.bookingsAfter = after.empty() ? -1 : std::stoi(after);
    copy.path = folder + "/" + name;
    return copy;
}

// The copies, newest first.
std::vector<CopyName> list_copies(const std::string& folder) {
    std::vector<CopyName> copies;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        if (auto copy = parse_name(folder, it->path().filename().string())) copies.push_back(*copy);
    }
    std::sort(copies.begin(), copies.end(), [](const CopyName& a, const CopyName& b) { return a.number > b.number; });
    return copies;
}

std::string number_text(long number) {
    std::string text = std::to_string(number);
    return std::string(kNumberDigits - std::min<std::size_t>(kNumberDigits, text.size()), '0') + text;
}

// Appends `length` bytes of `from`, starting at `offset`, to `to`.
void copy_bytes(const File& from, std::int64_t offset, std::int64_t length, FileBuilder& to) {
    std::string block;
    while (length > 0) {
        block.resize(static_cast<std::size_t>(std::min<std::int64_t>(length, kBlock)));
        const std::size_t got = from.readAt(block.data(), block.size(), offset);
        if (got == 0) fail(cp("Die Kopie für „Rückgängig“ ist kürzer als angegeben."));
        to.write({block.data(), got});
        offset += static_cast<std::int64_t>(got);
        length -= static_cast<std::int64_t>(got);
    }
}

// The copy's first lines: the mark, the label, the two lengths.
struct CopyHead {
    std::string label;
    std::int64_t settingsLength = -1;  // -1: there was no settings file
    std::int64_t bookingsLength = 0;
    std::int64_t dataStart = 0;
};

std::optional<CopyHead> read_head(const File& file) {
    std::string head(4096, '\0');
    head.resize(file.readAt(head.data(), head.size(), 0));
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (lines.size() < 4) {
        const auto end = head.find("\r\n", start);
        if (end == std::string::npos) return std::nullopt;
        lines.push_back(head.substr(start, end - start));
        start = end + 2;
    }
    if (lines[0] != kCopyMark) return std::nullopt;
    CopyHead h;
    h.label = lines[1];
    try {
        h.settingsLength = std::stoll(lines[2]);
        h.bookingsLength = std::stoll(lines[3]);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    h.dataStart = static_cast<std::int64_t>(start);
    if (h.settingsLength < -1 || h.bookingsLength < 0) return std::nullopt;
    const std::int64_t whole = h.dataStart + std::max<std::int64_t>(h.settingsLength, 0) + h.bookingsLength;
    if (whole != file.size()) return std::nullopt;  // never a copy cut short
    return h;
}

// Labels are one line.
std::string one_line(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

void prune(const std::string& folder) {
    std::int64_t total = 0;
    int kept = 0;
    for (const CopyName& copy : list_copies(folder)) {
        std::error_code ec;
        const auto size = static_cast<std::int64_t>(fs::file_size(copy.path, ec));
        if (kept == 0 || (kept < kUndoStepsKept && total + size <= kUndoBytesKept)) {
            total += size;
            ++kept;
        } else {
            fs::remove(copy.path, ec);
        }
    }
}

} // namespace

std::string undo_folder(const std::string& workingFolder) { return hidden_area(workingFolder) + "/undo"; }

UndoCopy::UndoCopy(const std::string& workingFolder, const std::string& label) {
    const std::string folder = undo_folder(workingFolder);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) fail(cp("Die Kopie für „Rückgängig“ kann nicht angelegt werden (") + folder + ").");
    // Half-written copies of a writer that died go with the copy's own
    // builder and with the working folder's recovery; no hidden area of
    // its own is made here.
    const auto copies = list_copies(folder);
    path_ = folder + "/" + number_text(copies.empty() ? 1 : copies.front().number + 1) + std::string(kCopySuffix);

    const std::string settingsName = resolve_name(kSettingsFileName);
    const bool withSettings = file_exists(settingsName);
    const std::string settings = withSettings ? read_file(settingsName) : std::string();
    std::optional<File> bookings;
    if (file_exists(bookings_file_name())) bookings.emplace(File::openRead(bookings_file_name()));
    const std::int64_t bookingsLength = bookings ? bookings->size() : 0;

    FileBuilder copy(path_);
    copy.write(std::string(kCopyMark) + "\r\n" + one_line(label) + "\r\n" +
               std::to_string(withSettings ? static_cast<std::int64_t>(settings.size()) : -1) + "\r\n" +
               std::to_string(bookingsLength) + "\r\n");
    copy.write(settings);
    if (bookings) copy_bytes(*bookings, 0, bookingsLength, copy);
    copy.commit();
}

// Keeping the copies in order (marking, pruning, dropping) is housekeeping
// beside a step that is made or refused already: it never fails the step.
// Left behind, a copy only offers to restore books as they were.
UndoCopy::~UndoCopy() {
    if (done_ || path_.empty()) return;
    std::error_code ignored;
    fs::remove(path_, ignored);
}

void UndoCopy::done(int bookingsAfter) {
    done_ = true;
    const std::string marked =
        path_.substr(0, path_.size() - kCopySuffix.size()) + "-" + std::to_string(bookingsAfter) + std::string(kCopySuffix);
    std::error_code ignored;
    // Unmarked, only the count of bookings made since stays unknown.
    fs::rename(path_, marked, ignored);
    // Only a step that was made pushes the oldest copies out.
    prune(path_.substr(0, path_.rfind('/')));
}

std::optional<UndoStep> last_undo_step(const std::string& workingFolder) {
    for (const CopyName& copy : list_copies(undo_folder(workingFolder))) {
        const File file = File::openRead(copy.path);
        if (const auto head = read_head(file)) return UndoStep{head->label, copy.bookingsAfter, copy.path};
    }
    return std::nullopt;
}

void undo_step(const std::string& workingFolder, const UndoStep& step) {
    const File file = File::openRead(step.copyPath);
    const auto head = read_head(file);
    if (!head) fail(cp("Die Kopie für „Rückgängig“ ist beschädigt: ") + step.copyPath);

    // The settings are read first: once the bookings are built aside, their
    // temporary file belongs to replace_files.
    std::optional<std::string> settings;
    if (head->settingsLength >= 0) {
        settings.emplace(static_cast<std::size_t>(head->settingsLength), '\0');
        if (file.readAt(settings->data(), settings->size(), head->dataStart) != settings->size())
            fail(cp("Die Kopie für „Rückgängig“ ist kürzer als angegeben."));
    }
    FileBuilder bookings(bookings_file_name());
    copy_bytes(file, head->dataStart + std::max<std::int64_t>(head->settingsLength, 0), head->bookingsLength, bookings);
    std::vector<Replacement> files;
    if (settings) files.emplace_back(resolve_name(kSettingsFileName), std::move(*settings));
    files.push_back(Replacement::builtAside(bookings_file_name(), bookings.release()));
    replace_files(files, workingFolder);
    remove_file(step.copyPath);
}

} // namespace saldorama
