#include "userfolder/user_folder.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "accounts/account_record.h"
#include "base/cp1252.h"
#include "base/text_file.h"
#include "bookings/booking_record.h"
#include "bookings/bookings_file.h"
#include "base/failure.h"
#include "base/file.h"
#include "base/working_files.h"
#include "userfolder/folder_error.h"

namespace saldorama {
namespace {

namespace fs = std::filesystem;

// What the program itself writes stays the learner's; supplied texts may be
// refreshed; charts only while the learner left them as supplied.
enum class Kind { Learner, Supplied, Chart };

Kind kind_of(const std::string& name) {
    const auto starts = [&](std::string_view p) { return name.starts_with(p); };
    if ((starts("Aufgabe") || starts("Loesung")) && name.ends_with(".txt")) return Kind::Supplied;
    if (name == "Wichtiger Hinweis.rtf" || name == "startbild.png" || name == kManualFileName) return Kind::Supplied;
    if (starts("Kontenplan") && name.ends_with(".txt")) return Kind::Chart;
    return Kind::Learner;
}

// FNV-1a, 64 bits: tells a changed file from an unchanged one.
std::string checksum(std::string_view bytes) {
    std::uint64_t h = 14695981039346656037ULL;
    for (const unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    static const char digits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, h >>= 4) text[static_cast<std::size_t>(i)] = digits[h & 0xf];
    return text;
}

struct Stamp {
    std::string version;  // empty: nothing recorded
    std::map<std::string, std::string> sums;  // name -> checksum of the supplied file put there
};

// "Saldorama VERSION", then one "CHECKSUM NAME" a line. A stamp that does not
// read as such counts as none: every file then counts as the user's own.
Stamp read_stamp(const std::string& path) {
    Stamp stamp;
    if (!file_exists(path)) return stamp;
    std::string text;
    try {
        text = read_file(path);
    } catch (const Failure&) {
        return stamp;
    }
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || !line.starts_with("Saldorama ")) return stamp;
    Stamp read;
    read.version = line.substr(10);
    while (std::getline(in, line)) {
        const auto space = line.find(' ');
        if (space != 16) return stamp;
        read.sums[line.substr(17)] = line.substr(0, 16);
    }
    return read;
}

std::string stamp_text(const Stamp& stamp) {
    std::string text = "Saldorama " + stamp.version + "\n";
    for (const auto& [name, sum] : stamp.sums) text += sum + " " + name + "\n";
    return text;
}

std::string quoted(const std::string& path) { return "„" + path + "“"; }

std::string read_or_explain(const std::string& path) {
    try {
        return read_file(path);
    } catch (const Failure& f) {
        throw FolderError("Die Datei " + quoted(path) + " kann nicht gelesen werden: " + cp1252_to_utf8(f.text()) + ".");
    }
}

void write_or_explain(const std::string& path, std::string_view bytes) {
    try {
        write_file_atomic(path, bytes);
    } catch (const Failure& f) {
        throw FolderError("Die Datei " + quoted(path) + " kann nicht geschrieben werden: " + cp1252_to_utf8(f.text()) +
                          ".");
    }
}

// "NAME.bak", or "NAME.bak2", "NAME.bak3", ... when that is taken: an earlier
// copy is never overwritten.
std::string free_copy_name(const std::string& folder, const std::string& name) {
    std::string copy = name + ".bak";
    for (int n = 2; file_exists(folder + "/" + copy); ++n) copy = name + ".bak" + std::to_string(n);
    return copy;
}

std::vector<std::string> supplied_names(const std::string& supplied) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(supplied, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file()) names.push_back(it->path().filename().string());
    if (ec)
        throw FolderError("Der Ordner der mitgelieferten Dateien " + quoted(supplied) +
                          " kann nicht gelesen werden.");
    std::sort(names.begin(), names.end());
    return names;
}

void make_folder(const std::string& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) throw FolderError("Der Ordner " + quoted(folder) + " kann nicht angelegt werden.");
    if (!fs::is_directory(folder, ec)) throw FolderError(quoted(folder) + " ist kein Ordner.");
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        throw FolderError("In den Ordner " + quoted(folder) + " darf Saldorama nicht schreiben.");
}

std::set<std::string> chart_names(std::string_view chart) {
    std::set<std::string> names;
    for (const std::string& line : split_lines(chart, LineEnds::CrLfOrLf))
        if (is_chart_line(line)) names.insert(werte_aus(line).name);
    return names;
}

// True when a booking in the folder uses an account of the current chart
// that the new chart lacks. Accounts of neither chart belong to another
// chart and do not count. A bookings file that cannot be read holds the
// chart back too: nothing is replaced on a guess.
bool bookings_need_old_chart(const std::string& folder, std::string_view mine, std::string_view supplied) {
    const std::string path = folder + "/" + bookings_file_name();
    if (!file_exists(path)) return false;
    std::string bytes;
    try {
        bytes = read_file(path);
    } catch (const Failure&) {
        return true;
    }
    const std::set<std::string> old = chart_names(mine);
    const std::set<std::string> next = chart_names(supplied);
    for (std::size_t at = 0; at + kRecordSize <= bytes.size(); at += kRecordSize) {
        const RecordView record(reinterpret_cast<const unsigned char*>(bytes.data()) + at);
        for (std::size_t line = 0; line < kBookingLines; ++line) {
            const std::string name(record.account(line));
            if (!name.empty() && old.count(name) && !next.count(name)) return true;
        }
    }
    return false;
}

} // namespace

bool version_newer(const std::string& a, const std::string& b) {
    const auto parts = [](const std::string& v) {
        std::vector<long> numbers;
        std::size_t start = 0;
        while (start <= v.size()) {
            const auto dot = std::min(v.find('.', start), v.size());
            long n = 0;
            std::from_chars(v.data() + start, v.data() + dot, n);
            numbers.push_back(n);
            start = dot + 1;
        }
        return numbers;
    };
    auto pa = parts(a), pb = parts(b);
    const auto size = std::max(pa.size(), pb.size());
    pa.resize(size, 0);
    pb.resize(size, 0);
    return pa > pb;
}

SeedReport prepare_user_folder(const std::string& supplied, const std::string& folder, const std::string& version) {
    make_folder(folder);
    const std::string stampPath = folder + "/" + kSeedStampName;
    const Stamp old = read_stamp(stampPath);
    const bool newer = old.version.empty() || version_newer(version, old.version);
    Stamp next{newer ? version : old.version, old.sums};
    SeedReport report;

    for (const std::string& name : supplied_names(supplied)) {
        if (name == kSeedStampName) continue;
        const std::string target = folder + "/" + name;
        const std::string content = read_or_explain(supplied + "/" + name);
        const std::string sum = checksum(content);
        if (!file_exists(target)) {
            write_or_explain(target, content);
            next.sums[name] = sum;
            report.added.push_back(name);
            continue;
        }
        const Kind kind = kind_of(name);
        if (kind == Kind::Learner || !newer) continue;
        const auto recorded = old.sums.find(name);
        if (recorded != old.sums.end() && recorded->second == sum) continue;  // not changed in this version
        const std::string mine = read_or_explain(target);
        const std::string mineSum = checksum(mine);
        if (mineSum == sum) {
            next.sums[name] = sum;
            continue;
        }
        const bool changedByUser = recorded == old.sums.end() || recorded->second != mineSum;
        if (kind == Kind::Chart && !changedByUser && bookings_need_old_chart(folder, mine, content)) {
            report.heldCharts.push_back(name);
            continue;
        }
        if (changedByUser) {
            if (kind == Kind::Chart) continue;  // the bookings may rest on the user's own chart
            const std::string copy = free_copy_name(folder, name);
            write_or_explain(folder + "/" + copy, mine);
            report.keptCopies.push_back(copy);
        }
        write_or_explain(target, content);
        next.sums[name] = sum;
        report.refreshed.push_back(name);
    }

    // A chart held back keeps the recorded version, so that the next start
    // looks again (once the learner has chosen a new chart, say).
    if (!report.heldCharts.empty()) next.version = old.version;
    if (next.version != old.version || next.sums != old.sums) write_or_explain(stampPath, stamp_text(next));
    return report;
}

} // namespace saldorama
