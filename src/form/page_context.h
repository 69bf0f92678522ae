#pragma once
#include <functional>
#include <string>

#include "base/folder_lock.h"
#include "form/app_state.h"
#include "kernel/dialogs.h"

namespace saldorama {

// What the form lends its pages: the run's state, the boxes, and the form's
// actions that reach beyond one page. The pages never see the form itself.
struct PageContext {
    AppState& state;
    Dialogs& dialogs;
    std::function<void()> writePositionIndicator;  // Label45: "position/count"
    std::function<void()> emptyBookings;            // empties the file, counters to 0
    std::function<void()> einstellungen_sichern;    // writes the settings file
};

// The folder whose lock every writer holds: the one the program started in.
[[nodiscard]] std::string working_folder(const AppState& state);

// Held by a page while it reads the folder's files together (chart,
// bookings, settings, solutions): the readers' share of the folder's lock,
// so that no page shows the settings of one restore beside the bookings of
// another. Where no lock can be had the page reads without one.
class ReadingLock {
public:
    explicit ReadingLock(const AppState& state) : lock_(working_folder(state), FolderLock::Mode::Shared) {}

private:
    FolderLock lock_;
};

// The window's status line: the last confirmation, and "Prüfungsmodus" while
// it is on, so that a teacher sees it at a glance.
[[nodiscard]] std::string status_line(const AppState& state);

} // namespace saldorama
