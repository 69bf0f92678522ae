// The folder lock between processes and the temporary files of replacements.
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/file.h"
#include "base/folder_lock.h"
#include "base/working_files.h"
#include "support/work_dir.h"

using namespace saldorama;

namespace {

// Whether a child process gets the lock of `folder` within 100 ms.
bool other_process_gets_lock(const std::string& folder) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        fault::set_lock_wait(std::chrono::milliseconds(100));
        try {
            FolderLock lock(folder);
            ::_exit(0);
        } catch (const Failure& f) {
            ::_exit(f.text() == folder_busy_text() ? 1 : 2);
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) < 2);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(FolderLock, KeepsOtherProcessesOutAndNestsWithinOne) {
    test::WorkDir dir;
    EXPECT_TRUE(other_process_gets_lock(dir.path()));
    {
        FolderLock outer(dir.path());
        {
            FolderLock inner(dir.path());
            EXPECT_TRUE(folder_lock_held(dir.path()));
        }
        // The inner holder's end does not let go of the outer one's lock.
        EXPECT_TRUE(folder_lock_held(dir.path()));
        EXPECT_FALSE(other_process_gets_lock(dir.path()));
    }
    EXPECT_FALSE(folder_lock_held(dir.path()));
    EXPECT_TRUE(other_process_gets_lock(dir.path()));
    // No lock file: a folder a writer used looks as before.
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(Replacement, LeavesNoTemporaryFileAndCleansOnlyDeadWritersLeftovers) {
    test::WorkDir dir;
    for (int n = 1; n <= 4; ++n) {
        fault::fail_nth_operation(n, ENOSPC);
        EXPECT_THROW(write_file_atomic("a.txt", "neu"), Failure);
        fault::clear();
        EXPECT_TRUE(temporary_files(dir.path()).empty()) << "failing write " << n;
    }
    write_file_atomic("a.txt", "neu");
    EXPECT_EQ(dir.read("a.txt"), "neu");
    EXPECT_TRUE(temporary_files(dir.path()).empty());

    // pid 1 is alive in every system; a pid above the kernel's limit never is.
    dir.write(".saldorama-1-lebendig.neu", "x");
    dir.write(".saldorama-99999999-tot.neu", "x");
    FolderLock lock(dir.path());
    recover_folder(dir.path());
    EXPECT_TRUE(dir.exists(".saldorama-1-lebendig.neu"));
    EXPECT_FALSE(dir.exists(".saldorama-99999999-tot.neu"));
}

TEST(Replacement, AFileBuiltAsideInPiecesIsPutInPlaceWholeOrNotAtAll) {
    test::WorkDir dir;
    dir.write("a.txt", "alt");
    dir.write("b.txt", "alt");
    std::string big;
    for (int n = 0; n < 300000; ++n) big += std::to_string(n) + "\n";  // about 2 MB
    {
        FileBuilder built("a.txt");
        built.write(big);  // dropped unfinished: nothing changes
    }
    EXPECT_EQ(dir.read("a.txt"), "alt");
    EXPECT_TRUE(temporary_files(dir.path()).empty());

    FileBuilder built("a.txt");
    for (std::size_t at = 0; at < big.size(); at += 1000) built.write(std::string_view(big).substr(at, 1000));
    std::string temp = built.release();
    // A failing replacement removes the file built aside as well.
    fault::fail_nth_operation(1, ENOSPC);
    EXPECT_THROW(replace_files({Replacement::builtAside("a.txt", temp), {"b.txt", "neu"}}, dir.path()), Failure);
    fault::clear();
    EXPECT_EQ(dir.read("a.txt"), "alt");
    EXPECT_TRUE(temporary_files(dir.path()).empty());

    FileBuilder again("a.txt");
    again.write(big);
    replace_files({Replacement::builtAside("a.txt", again.release()), {"b.txt", "neu"}}, dir.path());
    EXPECT_TRUE(dir.read("a.txt") == big);
    EXPECT_EQ(dir.read("b.txt"), "neu");
    EXPECT_TRUE(temporary_files(dir.path()).empty());
}

TEST(Replacement, ARecordedReplacementIsFinishedByTheNextStart) {
    test::WorkDir dir;
    dir.write("a.txt", "alt a");
    dir.write("b.txt", "alt b");
    // Killed after the note was written, before the first rename: the note
    // is the third file of the intent's own replacement.
    for (int n = 1;; ++n) {
        dir.write("a.txt", "alt a");
        dir.write("b.txt", "alt b");
        const pid_t pid = ::fork();
        if (pid == 0) {
            fault::kill_at_nth_operation(n);
            replace_files({{"a.txt", "neu a"}, {"b.txt", "neu b"}}, dir.path());
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (WIFEXITED(status)) break;
        {
            FolderLock lock(dir.path());
            recover_folder(dir.path());
        }
        const std::string a = dir.read("a.txt");
        const std::string b = dir.read("b.txt");
        EXPECT_TRUE((a == "alt a" && b == "alt b") || (a == "neu a" && b == "neu b")) << "killed at " << n;
        EXPECT_TRUE(temporary_files(dir.path()).empty());
        EXPECT_FALSE(dir.exists(kIntentFileName));
    }
    EXPECT_EQ(dir.read("a.txt"), "neu a");
}

TEST(ExportTarget, IsRefusedWhenItIsOneOfTheFoldersOwnFiles) {
    test::WorkDir dir;
    std::filesystem::create_directory("unter");
    dir.write("buchungen.dat", "");
    std::filesystem::create_symlink(dir.path() + "/buchungen.dat", "verweis.qrx");
    for (const char* own :
         {"buchungen.dat", "unter/../Buchungen.dat", "Kontenplan1.txt", "aufgabe3.txt", "verweis.qrx"})
        EXPECT_NE(refuse_export_target(own, dir.path()).find(cp("gehört zum Arbeitsordner")), std::string::npos) << own;
    EXPECT_EQ(refuse_export_target("unter/buchungen.dat", dir.path()), "");
    EXPECT_EQ(refuse_export_target(dir.path() + "/neu.qrx", dir.path()), "");
}
