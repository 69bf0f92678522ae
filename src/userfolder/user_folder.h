#pragma once
#include <string>
#include <vector>

namespace saldorama {

// What bringing a per-user folder up to date did; names relative to the folder.
struct SeedReport {
    std::vector<std::string> added;       // supplied files that were missing
    std::vector<std::string> refreshed;   // replaced by the newer supplied version
    std::vector<std::string> keptCopies;  // the user's changed version, kept aside
    // Charts left as they were because the bookings use an account the
    // newer chart lacks; a later start tries again.
    std::vector<std::string> heldCharts;
};

// The file in the per-user folder that records the version and the
// checksums of the supplied files last put there.
inline constexpr const char* kSeedStampName = ".saldorama-stand";

// Brings `folder` (created when missing) up to the supplied files in
// `supplied` of program version `version`:
// - a supplied file that is missing is copied in;
// - files the program writes (settings, bookings, backups) are never touched;
// - exercises, solutions, the notice, the start picture and the user guide
//   are replaced when the installed version is newer than the one recorded
//   and the supplied file has changed; a version the user changed is first
//   kept as "NAME.bak";
// - a chart is replaced in that case only while the user has not changed it
//   and no booking in "buchungen.dat" uses an account of the chart that the
//   newer chart lacks: a booking must never lose its account.
// Every file is written all-or-nothing. Throws FolderError.
SeedReport prepare_user_folder(const std::string& supplied, const std::string& folder, const std::string& version);

// True when dotted version `a` is newer than `b` ("1.10" > "1.9").
[[nodiscard]] bool version_newer(const std::string& a, const std::string& b);

} // namespace saldorama
