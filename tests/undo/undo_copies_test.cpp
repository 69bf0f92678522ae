// The undo copies themselves: how many are kept, and that a copy that is not
// whole is never taken for one.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/file.h"
#include "bookings/bookings_file.h"
#include "support/sample_booking.h"
#include "support/work_dir.h"
#include "undo/undo_copies.h"

using namespace saldorama;

namespace {

int copies_on_disk(const std::string& folder) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(undo_folder(folder))) n += e.is_regular_file() ? 1 : 0;
    return n;
}

} // namespace

TEST(UndoCopies, KeepTheLastStepsOnlyAndForgetStepsThatFailed) {
    test::WorkDir dir;
    dir.writeSettings(1);
    bookings_create_if_missing();
    for (int i = 0; i < kUndoStepsKept + 2; ++i) {
        bookings_append(test::two_line_booking(i, 1.0 + i));
        UndoCopy copy(dir.path(), "Schritt " + std::to_string(i));
        copy.done(i);
    }
    EXPECT_EQ(copies_on_disk(dir.path()), kUndoStepsKept);
    {
        UndoCopy failed(dir.path(), "misslungen");
    }
    EXPECT_EQ(copies_on_disk(dir.path()), kUndoStepsKept);
    const auto last = last_undo_step(dir.path());
    ASSERT_TRUE(last);
    EXPECT_EQ(last->label, "Schritt " + std::to_string(kUndoStepsKept + 1));
    EXPECT_EQ(last->bookingsAfter, kUndoStepsKept + 1);

    // Taken back, the books hold what they held before that step.
    const std::string settings = dir.read("einstellungen.txt");
    bookings_empty();
    dir.write("einstellungen.txt", "anders\r\n");
    undo_step(dir.path(), *last);
    EXPECT_EQ(bookings_count(), kUndoStepsKept + 2);
    EXPECT_EQ(dir.read("einstellungen.txt"), settings);
    EXPECT_EQ(last_undo_step(dir.path())->label, "Schritt " + std::to_string(kUndoStepsKept));
}

TEST(UndoCopies, ACopyCutShortOrForeignIsPassedOver) {
    test::WorkDir dir;
    dir.writeSettings(1);
    bookings_create_if_missing();
    bookings_append(test::two_line_booking(0, 3.0));
    {
        UndoCopy copy(dir.path(), "ganz");
        copy.done(1);
    }
    const std::string whole = last_undo_step(dir.path())->copyPath;
    const std::string bytes = read_file(whole);
    for (const std::string& damaged : {bytes.substr(0, bytes.size() - 1), std::string("fremd\r\n") + bytes}) {
        write_file_atomic(undo_folder(dir.path()) + "/99999999-1.kopie", damaged);
        EXPECT_EQ(last_undo_step(dir.path())->copyPath, whole);
    }
}
