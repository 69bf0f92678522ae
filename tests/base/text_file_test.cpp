#include "base/text_file.h"

#include <cerrno>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "base/failure.h"
#include "base/file.h"
#include "support/work_dir.h"

using namespace saldorama;
using Lines = std::vector<std::string>;

TEST(SplitLines, CrLfLfAndLoneCrGiveTheSameLinesForExercises) {
    const Lines expected = {"Titel", "", "zwei"};
    EXPECT_EQ(split_lines("Titel\r\n\r\nzwei\r\n", LineEnds::CrLfLfOrCr), expected);
    EXPECT_EQ(split_lines("Titel\n\nzwei\n", LineEnds::CrLfLfOrCr), expected);
    EXPECT_EQ(split_lines("Titel\r\rzwei\r", LineEnds::CrLfLfOrCr), expected);
    EXPECT_EQ(split_lines("Titel\r\n\nzwei", LineEnds::CrLfLfOrCr), expected);
}

TEST(SplitLines, ChartsKeepALoneCrAsText) {
    EXPECT_EQ(split_lines("a\rb\r\nc\nd", LineEnds::CrLfOrLf), (Lines{"a\rb", "c", "d"}));
}

TEST(SplitLines, NoExtraLineAfterTheLastLineEnd) {
    EXPECT_EQ(split_lines("x\r\n", LineEnds::CrLfOrLf), Lines{"x"});
    EXPECT_TRUE(split_lines("", LineEnds::CrLfOrLf).empty());
    EXPECT_EQ(split_lines("\r\n", LineEnds::CrLfOrLf), Lines{""});
}

TEST(JoinCrLf, EndsEveryLine) { EXPECT_EQ(join_crlf({"a", "", "b"}), "a\r\n\r\nb\r\n"); }

TEST(TextFile, NameIsFoundWithoutRegardToCase) {
    test::WorkDir dir;
    dir.write("Aufgabe1.txt", "Titel\r\n");
    EXPECT_EQ(resolve_name("aufgabe1.txt"), "Aufgabe1.txt");
    EXPECT_EQ(read_text_lines("AUFGABE1.TXT", LineEnds::CrLfLfOrCr), Lines{"Titel"});
}

TEST(TextFile, MissingFileSaysSoInGerman) {
    test::WorkDir dir;
    try {
        (void)read_text_lines("fehlt.txt", LineEnds::CrLfOrLf);
        FAIL() << "no failure";
    } catch (const Failure& f) {
        EXPECT_STREQ(f.what(), "Datei nicht gefunden");
    }
}

TEST(AtomicWrite, ReplacesTheFileAndLeavesNoTemporaryFile) {
    test::WorkDir dir;
    dir.write("x.txt", "alt");
    write_file_atomic("x.txt", "neu");
    EXPECT_EQ(dir.read("x.txt"), "neu");
    EXPECT_FALSE(dir.exists(".x.txt.neu"));
}

TEST(AtomicWrite, EveryFailingStepLeavesTheOldFileWhole) {
    test::WorkDir dir;
    dir.write("x.txt", "alt");
    for (int step = 1;; ++step) {
        fault::fail_nth_operation(step, ENOSPC);
        try {
            write_file_atomic("x.txt", "neu und l\xE4nger");
        } catch (const Failure& f) {
            EXPECT_STREQ(f.what(), "Zu wenig Speicherplatz.");
            EXPECT_EQ(dir.read("x.txt"), "alt") << "step " << step;
            EXPECT_FALSE(dir.exists(".x.txt.neu"));
            continue;
        }
        fault::clear();
        EXPECT_GT(step, 3);  // create, write, sync, close, rename can each fail
        break;
    }
    fault::clear();
}

TEST(AtomicWrite, HonoursAWriteProtectedFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write anything";
    test::WorkDir dir;
    dir.write("x.txt", "alt");
    ::chmod("x.txt", 0444);
    EXPECT_THROW(write_file_atomic("x.txt", "neu"), Failure);
    EXPECT_EQ(dir.read("x.txt"), "alt");
}
