#include "form/exercise_page.h"

#include <gtest/gtest.h>

#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "support/work_dir.h"

using namespace saldorama;
using Kind = ScriptedDialogs::Kind;

namespace {

struct Exercises : ::testing::Test {
    test::WorkDir dir;
    ScriptedDialogs dialogs;
    TForm1 form{dialogs};
    ExercisePage& page = form.exercises;
};

} // namespace

TEST_F(Exercises, LineEndsOfEveryKindGiveTheSameItems) {
    dir.write("Aufgabe1.txt", "Titel\r\nA\r\n\r\nB\r\n");
    dir.write("Aufgabe2.txt", "Titel\nA\n\nB\n");
    dir.write("Aufgabe3.txt", "Titel\rA\r\rB");
    const std::vector<std::string> expected = {"Titel", "A", "", "B"};
    page.ExerciseButtonClick(1);
    EXPECT_EQ(page.CheckListBox1.items, expected);
    page.ExerciseButtonClick(2);
    EXPECT_EQ(page.CheckListBox1.items, expected);
    page.ExerciseButtonClick(3);
    EXPECT_EQ(page.CheckListBox1.items, expected);
}

TEST_F(Exercises, ReloadingClearsTheTicks) {
    dir.write("Aufgabe2.txt", "T\r\nx\r\n");
    dir.write("Aufgabe3.txt", "U\r\ny\r\nz\r\n");
    page.ExerciseButtonClick(2);
    page.CheckListBox1.checked[1] = true;
    page.ExerciseButtonClick(3);
    EXPECT_EQ(page.CheckListBox1.checked, std::vector<bool>(3, false));
    page.ExerciseButtonClick(3);
    page.CheckListBox1.checked[0] = true;
    page.ExerciseButtonClick(3);
    EXPECT_EQ(page.CheckListBox1.checked, std::vector<bool>(3, false));
    page.ExerciseButtonClick(2);
    EXPECT_EQ(page.CheckListBox1.checked, std::vector<bool>(2, false));
}

TEST_F(Exercises, OnlyStepsTakeATickAndTicksOutliveARestart) {
    const struct {
        const char* line;
        bool task;
    } lines[] = {
        {"1. Klicke auf „Kontenplan“.", true}, {"12. Buche die Miete.", true}, {"Teil A: Firmendaten", false},
        {"   Das Programm fragt zweimal.", false}, {"", false}, {"1.5 Prozent", false}, {"2026.", false},
    };
    std::string text = "Titel\r\n";
    for (const auto& l : lines) {
        EXPECT_EQ(ExercisePage::isTaskLine(l.line), l.task) << l.line;
        text += std::string(l.line) + "\r\n";
    }
    dir.write("Aufgabe4.txt", text);
    form.state.startDirectory = dir.path();
    page.ExerciseButtonClick(4);
    for (std::size_t i = 1; i <= std::size(lines); ++i) page.CheckListBox1ClickCheck(i, true);
    std::vector<bool> ticked(std::size(lines) + 1, false);
    ticked[1] = ticked[2] = true;
    EXPECT_EQ(page.CheckListBox1.checked, ticked);

    ScriptedDialogs later;
    TForm1 restarted(later);
    restarted.state.startDirectory = dir.path();
    restarted.exercises.ExerciseButtonClick(4);
    EXPECT_EQ(restarted.exercises.CheckListBox1.checked, ticked);
    restarted.exercises.CheckListBox1ClickCheck(1, false);
    page.ExerciseButtonClick(4);
    ticked[1] = false;
    EXPECT_EQ(page.CheckListBox1.checked, ticked);
}

TEST_F(Exercises, ButtonsFindTheFileWhateverItsCase) {
    dir.write("AUFGABE8.TXT", "Acht\r\n");
    page.ExerciseButtonClick(8);
    EXPECT_EQ(page.CheckListBox1.items, std::vector<std::string>{"Acht"});
}

TEST_F(Exercises, MissingFileNamesItsPathAndLeavesTheListEmpty) {
    dir.write("Aufgabe1.txt", "T\r\n");
    page.ExerciseButtonClick(1);
    EXPECT_FALSE(form.run([&] { page.ExerciseButtonClick(6); }));
    EXPECT_TRUE(page.CheckListBox1.items.empty());
    EXPECT_EQ(dialogs.last(Kind::Failure),
              "Datei " + dir.path() + "/aufgabe6.txt kann nicht ge\xF6" "ffnet werden. Datei nicht gefunden.");
}

TEST_F(Exercises, EmptyFirstLineGivesAnEmptyTitleAndItem) {
    dir.writeSettings();
    for (int n = 1; n <= 8; ++n) dir.write("Aufgabe" + std::to_string(n) + ".txt", "\r\nzweite\r\n");
    form.run([&] { form.FormCreate({.showStartPage = false}); });
    EXPECT_EQ(page.titles[0].text, "");
    page.ExerciseButtonClick(1);
    EXPECT_EQ(page.CheckListBox1.items, (std::vector<std::string>{"", "zweite"}));
}

TEST_F(Exercises, EmptyFileGivesAnEmptyList) {
    dir.write("Aufgabe4.txt", "");
    page.ExerciseButtonClick(4);
    EXPECT_TRUE(page.CheckListBox1.items.empty());
}
