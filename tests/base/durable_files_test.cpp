// The folder lock between processes and the temporary files of replacements.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/file.h"
#include "base/folder_lock.h"
#include "base/hidden_area.h"
#include "base/working_files.h"
#include "support/work_dir.h"

using namespace saldorama;

namespace {

// Whether a child process gets the lock of `folder` within 100 ms.
bool other_process_gets_lock(const std::string& folder, FolderLock::Mode mode = FolderLock::Mode::Exclusive) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        fault::set_lock_wait(std::chrono::milliseconds(100));
        try {
            FolderLock lock(folder, mode);
            if (mode == FolderLock::Mode::Shared && !folder_lock_held(folder)) ::_exit(1);
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

// Readers share the lock, so that no report mixes two writes; a writer
// waits for them, and they for it.
TEST(FolderLock, ReadersShareItAndExcludeWriters) {
    using Mode = FolderLock::Mode;
    struct Case {
        Mode held, wanted;
        bool gets;
    };
    const Case cases[] = {{Mode::Shared, Mode::Shared, true},
                          {Mode::Shared, Mode::Exclusive, false},
                          {Mode::Exclusive, Mode::Shared, false}};
    for (const Case& c : cases) {
        test::WorkDir dir;
        FolderLock lock(dir.path(), c.held);
        EXPECT_EQ(other_process_gets_lock(dir.path(), c.wanted), c.gets)
            << static_cast<int>(c.held) << " then " << static_cast<int>(c.wanted);
    }
}

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
    // The files a replacement is for: the recovery finishes no other.
    const std::string a_txt = "buchungen.dat", b_txt = "einstellungen.txt";
    // Killed after the note was written, before the first rename: the note
    // is the third file of the intent's own replacement.
    for (int n = 1;; ++n) {
        dir.write(a_txt, "alt a");
        dir.write(b_txt, "alt b");
        const pid_t pid = ::fork();
        if (pid == 0) {
            fault::kill_at_nth_operation(n);
            replace_files({{a_txt, "neu a"}, {b_txt, "neu b"}}, dir.path());
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (WIFEXITED(status)) break;
        {
            FolderLock lock(dir.path());
            EXPECT_EQ(recover_folder(dir.path()), "") << "killed at " << n;
        }
        const std::string a = dir.read(a_txt);
        const std::string b = dir.read(b_txt);
        EXPECT_TRUE((a == "alt a" && b == "alt b") || (a == "neu a" && b == "neu b")) << "killed at " << n;
        EXPECT_TRUE(temporary_files(dir.path()).empty());
        EXPECT_FALSE(dir.exists(kIntentFileName));
        EXPECT_FALSE(file_exists(intent_note_path(dir.path())));
    }
    EXPECT_EQ(dir.read(a_txt), "neu a");
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

namespace {

// A folder outside the working folder, removed afterwards.
struct Outside {
    Outside() {
        std::string pattern = (std::filesystem::temp_directory_path() / "saldorama-draussen-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
        std::ofstream(path + "/buchungen.dat") << "draussen";
    }
    ~Outside() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

} // namespace

// A planted note reaches nothing outside the folder, nor any file the
// program does not own; readers do not even touch it, writers drop it.
TEST(Recovery, CarriesOutOnlyWhatTheProgramItselfWrites) {
    const std::string temp = ".saldorama-99999999-x.neu";
    struct Case {
        const char* what;
        std::string target;  // "" : buchungen.dat
        std::string tempName;
        enum { File, Folder, Fifo } kind;
    };
    Outside outside;
    const std::string away = "../" + std::filesystem::path(outside.path).filename().string() + "/buchungen.dat";
    const Case cases[] = {
        {"absolute path", outside.path + "/buchungen.dat", temp, Case::File},
        {"dot dot", away, temp, Case::File},
        {"a name the program does not own", "Aufgabe1.txt", temp, Case::File},
        {"a temporary name with a separator", "", "../" + temp, Case::File},
        {"a temporary name the program does not use", "", "fremd.txt", Case::File},
        {"a folder as temporary file", "", temp, Case::Folder},
        {"a FIFO as temporary file", "", temp, Case::Fifo},
    };
    for (const Case& c : cases) {
        test::WorkDir dir;
        dir.write("buchungen.dat", "alt");
        const std::string area = make_hidden_area(dir.path());
        const std::string planted = area + "/" + c.tempName;
        if (c.kind == Case::File) std::ofstream(planted) << "BOESE";
        if (c.kind == Case::Folder) std::filesystem::create_directory(planted);
        if (c.kind == Case::Fifo) {
            ASSERT_EQ(::mkfifo(planted.c_str(), 0600), 0);
        }
        std::ofstream(intent_note_path(dir.path())) << c.tempName << "\t" << (c.target.empty() ? "buchungen.dat" : c.target) << "\n";

        const std::string reading = read_pending_state(dir.path());
        EXPECT_NE(reading.find(utf8_to_cp1252(dir.path())), std::string::npos) << c.what << ": " << reading;
        EXPECT_EQ(read_file("buchungen.dat"), "alt") << c.what;
        EXPECT_TRUE(file_exists(intent_note_path(dir.path()))) << c.what << ": a reader changed the folder";
        forget_pending_state();

        FolderLock lock(dir.path());
        EXPECT_EQ(recover_folder(dir.path()), reading) << c.what;
        EXPECT_EQ(dir.read("buchungen.dat"), "alt") << c.what;
        EXPECT_EQ(read_file(outside.path + "/buchungen.dat"), "draussen") << c.what;
        EXPECT_FALSE(dir.exists("Aufgabe1.txt")) << c.what;
        EXPECT_FALSE(file_exists(intent_note_path(dir.path()))) << c.what;
    }
}

TEST(Recovery, ReadersSeeWhatAPendingNoteCommitsToAndLeaveTheFolderAsItIs) {
    test::WorkDir dir;
    dir.write("buchungen.dat", "alt");
    const std::string area = make_hidden_area(dir.path());
    std::ofstream(area + "/.saldorama-99999999-x.neu") << "neu";
    std::ofstream(intent_note_path(dir.path())) << ".saldorama-99999999-x.neu\tbuchungen.dat\n";
    EXPECT_EQ(read_pending_state(dir.path()), "");
    EXPECT_EQ(read_file("buchungen.dat"), "neu");
    EXPECT_EQ(dir.read("buchungen.dat"), "alt");
    forget_pending_state();
    EXPECT_EQ(read_file("buchungen.dat"), "alt");
    FolderLock lock(dir.path());
    EXPECT_EQ(recover_folder(dir.path()), "");
    EXPECT_EQ(dir.read("buchungen.dat"), "neu");
}

// Opened without blocking and checked after opening: nothing hangs, nothing
// but a regular file is read, truncated or replaced.
TEST(RegularFiles, AFifoADeviceOrAFolderIsRefusedAtOnce) {
    test::WorkDir dir;
    ASSERT_EQ(::mkfifo("einstellungen.txt", 0600), 0);
    std::filesystem::create_directory("ordner");
    const std::function<void(const std::string&)> opens[] = {
        [](const std::string& p) { (void)File::openRead(p); },
        [](const std::string& p) { (void)File::openReadWrite(p); },
        [](const std::string& p) { (void)File::create(p); },
        [](const std::string& p) { (void)read_file(p); },
    };
    for (const std::string path : {"einstellungen.txt", "ordner", "/dev/null"}) {
        for (const auto& open : opens) {
            try {
                open(path);
                ADD_FAILURE() << path << " was opened";
            } catch (const Failure& f) {
                EXPECT_NE(f.text().find(cp("keine gewöhnliche Datei")), std::string::npos) << path << ": " << f.text();
            }
        }
    }
}

// Killed writers leave temporary names; the next write into that folder
// (outside any working folder: no hidden area) removes them.
TEST(Replacement, AWriteIntoAFolderWithoutHiddenAreaRemovesWhatKilledWritersLeft) {
    test::WorkDir dir;
    dir.write(".saldorama-99999999-tot.neu", "halb");
    dir.write(".saldorama-1-lebendig.neu", "halb");
    write_file_atomic("stand.qrx", "ganz");
    EXPECT_FALSE(dir.exists(".saldorama-99999999-tot.neu"));
    EXPECT_TRUE(dir.exists(".saldorama-1-lebendig.neu"));
    EXPECT_FALSE(dir.exists(kHiddenAreaName));
}

// A folder the program keeps in the hidden area (the undo copies) has its
// files built beside them: what a killed writer left there goes with the
// next writer's recovery, also from the hidden area earlier versions made
// inside it. Kept files and live writers' files stay.
TEST(Recovery, RemovesWhatKilledWritersLeftInTheHiddenAreasFolders) {
    test::WorkDir dir;
    const std::string kept = std::string(kHiddenAreaName) + "/undo";
    std::filesystem::create_directories(dir.path() + "/" + kept + "/" + kHiddenAreaName);
    const struct {
        std::string name;
        bool stays;
    } files[] = {
        {kept + "/00000001-4.kopie", true},
        {kept + "/.saldorama-1-lebendig.neu", true},
        {kept + "/.saldorama-99999999-tot.neu", false},
        {kept + "/" + kHiddenAreaName + "/.saldorama-99999999-tot.neu", false},
    };
    for (const auto& f : files) dir.write(f.name, "halb");
    recover_folder(dir.path());
    for (const auto& f : files) EXPECT_EQ(dir.exists(f.name), f.stays) << f.name;
    EXPECT_FALSE(dir.exists(kept + "/" + kHiddenAreaName));
}
