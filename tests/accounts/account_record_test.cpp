#include <gtest/gtest.h>

#include <string>

#include "accounts/account_record.h"
#include "accounts/chart_file.h"
#include "base/cp1252.h"
#include "base/failure.h"
#include "support/work_dir.h"

namespace saldorama {
namespace {

// A chart line: name, kind code, the letters at positions 2 and 5 after the
// '>'; positions 1, 3 and 4 hold blanks.
std::string chart_line(const std::string& name, const std::string& kind, char side, char cls) {
    return name + "<" + kind + "> " + side + "  " + cls;
}

struct Marks {
    const char* balanceMark;
    const char* plMark;
    const char* side;
    const char* resultClass;
};

void expect_marks(const AccountRecord& r, const Marks& m) {
    EXPECT_EQ(r.balanceMark, m.balanceMark);
    EXPECT_EQ(r.plMark, m.plMark);
    EXPECT_EQ(r.side, m.side);
    EXPECT_EQ(r.resultClass, m.resultClass);
}

TEST(WerteAus, FollowsTheRuleTableForEveryKindAndLetter) {
    struct Row {
        const char* kind;
        const char* balanceMark;
        const char* plMark;
        const char* sideA;
        const char* sideP;
        const char* sideOther;
        const char* classB;
        const char* classN;
        const char* classOther;
    };
    const Row rows[] = {
        {"B", "*", "", "A", "P", "H", "", "Fehler!", "N"},
        {"V", "***", "***", "H", "H", "H", "N", "N", "N"},
        {"S", "", "*", "S", "H", "H", "B", "N", "N"},
        {"GuV", "", "*", "S", "H", "H", "B", "N", "N"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        const std::pair<char, const char*> sides[] = {{'A', row.sideA}, {'P', row.sideP}, {'E', row.sideOther}};
        const std::pair<char, const char*> classes[] = {{'B', row.classB}, {'N', row.classN}, {'X', row.classOther}};
        for (const auto& [sideLetter, side] : sides) {
            for (const auto& [classLetter, cls] : classes) {
                const AccountRecord r = werte_aus(chart_line("Konto", row.kind, sideLetter, classLetter));
                SCOPED_TRACE(std::string(1, sideLetter) + classLetter);
                EXPECT_EQ(r.name, "Konto");
                expect_marks(r, {row.balanceMark, row.plMark, side, cls});
            }
        }
    }
}

TEST(WerteAus, GivesTheWorkedExamples) {
    expect_marks(werte_aus(chart_line("Kasse", "B", 'A', 'B')), {"*", "", "A", ""});
    expect_marks(werte_aus(chart_line("Darlehen", "B", 'P', 'B')), {"*", "", "P", ""});
    expect_marks(werte_aus(chart_line("Bank", "B", 'A', 'N')), {"*", "", "A", "Fehler!"});
    expect_marks(werte_aus(chart_line("Mieten", "Aufwand", 'A', 'B')), {"", "*", "S", "B"});
    expect_marks(werte_aus(chart_line("Zinsertraege", "E", 'E', 'N')), {"", "*", "H", "N"});
    expect_marks(werte_aus(chart_line("Sonder", "V", 'A', 'B')), {"***", "***", "H", "N"});
}

TEST(WerteAus, EmptyKindCodeIsProfitAndLoss) {
    const AccountRecord r = werte_aus(chart_line("Miete", "", 'A', 'B'));
    EXPECT_EQ(r.name, "Miete");
    expect_marks(r, {"", "*", "S", "B"});
}

TEST(WerteAus, KindCodeIsComparedAsAWholeText) {
    expect_marks(werte_aus(chart_line("K", "BB", 'A', 'B')), {"", "*", "S", "B"});
    expect_marks(werte_aus(chart_line("K", "B ", 'A', 'B')), {"", "*", "S", "B"});
    expect_marks(werte_aus(chart_line("K", " B", 'A', 'B')), {"", "*", "S", "B"});
    expect_marks(werte_aus(chart_line("K", "b", 'A', 'B')), {"", "*", "S", "B"});
    expect_marks(werte_aus(chart_line("K", "VV", 'A', 'B')), {"", "*", "S", "B"});
}

TEST(WerteAus, LettersAreCaseSensitiveAndNotTrimmed) {
    expect_marks(werte_aus(chart_line("Kasse", "B", 'a', 'b')), {"*", "", "H", "N"});
    expect_marks(werte_aus(chart_line("Kasse", "B", 'A', ' ')), {"*", "", "A", "N"});
    expect_marks(werte_aus(chart_line("Miete", "S", 'a', 'b')), {"", "*", "H", "N"});
}

TEST(WerteAus, OnlyPositionsTwoAndFiveCount) {
    // Letters at positions 1, 3, 4 and after 5 change nothing.
    expect_marks(werte_aus("Kasse<B>PAPNBNNNN"), {"*", "", "A", ""});
    expect_marks(werte_aus("Kasse<B>xPxxN rest of the line"), {"*", "", "P", "Fehler!"});
}

TEST(WerteAus, GreaterThanBeforeTheFirstLessThanBelongsToTheName) {
    const AccountRecord r = werte_aus(chart_line("A>B", "B", 'A', 'B'));
    EXPECT_EQ(r.name, "A>B");
    expect_marks(r, {"*", "", "A", ""});
}

TEST(WerteAus, NameKeepsBlanksDigitsAndUmlauts) {
    EXPECT_EQ(werte_aus(chart_line(cp("1200 Forderungen aus L+L ö"), "B", 'A', 'B')).name,
              cp("1200 Forderungen aus L+L ö"));
    EXPECT_EQ(werte_aus(chart_line(" Kasse ", "B", 'A', 'B')).name, " Kasse ");
}

TEST(WerteAus, CutsALongNameToSixtyFourCharacters) {
    const std::string name70(70, 'x');
    const AccountRecord r = werte_aus(chart_line(name70, "B", 'P', 'B'));
    EXPECT_EQ(r.name, std::string(64, 'x'));
    expect_marks(r, {"*", "", "P", ""});
}

TEST(WerteAus, ALongKindCodeStillEndsAtTheGreaterThan) {
    const AccountRecord r = werte_aus(chart_line("K", std::string(80, 'B'), 'A', 'B'));
    expect_marks(r, {"", "*", "S", "B"});
}

TEST(WerteAus, SameLineGivesSameRecord) {
    const std::string line = chart_line("Kasse", "B", 'A', 'B');
    EXPECT_EQ(werte_aus(line), werte_aus(line));
}

TEST(WerteAus, NeverReadsPastAShortOrBrokenLine) {
    // Missing pieces read as blanks: nothing beyond the line is touched.
    EXPECT_EQ(werte_aus("").name, "");
    expect_marks(werte_aus(""), {"", "*", "H", "N"});
    const AccountRecord noLess = werte_aus("Kasse");
    EXPECT_EQ(noLess.name, "Kasse");
    expect_marks(noLess, {"", "*", "H", "N"});
    expect_marks(werte_aus("Kasse<B"), {"*", "", "H", "N"});  // kind code runs to the end
    expect_marks(werte_aus("Kasse<B> A"), {"*", "", "A", "N"});
    expect_marks(werte_aus("Kasse<B>"), {"*", "", "H", "N"});
}

TEST(ChartLine, RecognisesValidAndInvalidLines) {
    EXPECT_TRUE(is_chart_line(chart_line("Kasse", "B", 'A', 'B')));
    EXPECT_TRUE(is_chart_line("<> A  B"));
    EXPECT_TRUE(is_chart_line("A>B<B> A  B"));
    EXPECT_FALSE(is_chart_line(""));
    EXPECT_FALSE(is_chart_line("Kasse B A B"));        // no '<'
    EXPECT_FALSE(is_chart_line("Kasse<B A  B"));       // no '>' after the '<'
    EXPECT_FALSE(is_chart_line("Kas>se<B A  B"));      // the only '>' stands before the '<'
    EXPECT_FALSE(is_chart_line("Kasse<B> A  "));       // position 5 missing
    EXPECT_TRUE(is_chart_line("Kasse<B> A  B"));
}

TEST(ChartFile, NamesTheFourFiles) {
    EXPECT_EQ(chart_file_name(1), "Kontenplan1.txt");
    EXPECT_EQ(chart_file_name(4), "Kontenplan4.txt");
}

TEST(ChartFile, ReadsEveryLineInOrderAndSkipsInvalidOnes) {
    test::WorkDir dir;
    dir.write("Kontenplan2.txt",
              chart_line("Kasse", "B", 'A', 'B') + "\r\n" +
              "Kommentar ohne Klammer\r\n" +
              "\r\n" +
              "Kurz<B> A\r\n" +
              "Offen<B A  B\r\n" +
              chart_line("Bank", "B", 'A', 'B') + "\n" +  // a lone LF ends a line too
              chart_line("Mieten", "S", 'A', 'B'));       // the last line without a line end
    const auto accounts = read_chart(2);
    ASSERT_EQ(accounts.size(), 3u);
    EXPECT_EQ(accounts[0].name, "Kasse");
    EXPECT_EQ(accounts[1].name, "Bank");
    EXPECT_EQ(accounts[2].name, "Mieten");
    EXPECT_EQ(accounts[2].side, "S");
}

// The number is one blank and four digits after the class letter; anything
// else there is left alone as before, and the five fields never change.
TEST(WerteAus, ReadsTheAccountNumberAfterTheClassLetter) {
    const struct {
        const char* rest;  // what follows the class letter
        const char* number;
    } rows[] = {
        {" 2800", "2800"}, {" 0530 ", "0530"}, {" 2800 Bank", "2800"}, {"", ""},      {" ", ""},
        {"2800", ""},      {"  2800", ""},      {" 280", ""},           {" 28000", ""}, {" 28a0", ""},
    };
    const AccountRecord plain = werte_aus(chart_line("Bank", "B", 'A', 'B'));
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string("\"") + row.rest + "\"");
        AccountRecord r = werte_aus(chart_line("Bank", "B", 'A', 'B') + row.rest);
        EXPECT_EQ(r.number, row.number);
        r.number.clear();
        EXPECT_EQ(r, plain);
    }
}

TEST(AccountEntry, FindsTheAccountByNameThenLabelThenNumber) {
    const std::vector<AccountRecord> chart = {werte_aus("Bank<B> A  B 2800"), werte_aus("Kasse<B> A  B 2880"),
                                              werte_aus("2800<B> A  B"), werte_aus("Privat<B> P  B")};
    EXPECT_EQ(account_label(chart[0]), "2800 Bank");
    EXPECT_EQ(account_label(chart[3]), "Privat");
    const struct {
        const char* typed;
        const char* name;  // "" for none
    } rows[] = {
        {"Bank", "Bank"}, {"2880 Kasse", "Kasse"}, {"2880", "Kasse"}, {"2800", "2800"},  // a name wins
        {"Privat", "Privat"}, {"2880 Bank", ""},   {"288", ""},       {"", ""},   {"bank", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        const AccountRecord* found = find_account_entry(chart, row.typed);
        EXPECT_EQ(found ? found->name : std::string(), row.name);
    }
}

TEST(ChartFile, AFinalLineEndGivesNoExtraAccount) {
    test::WorkDir dir;
    dir.writeLines("Kontenplan1.txt", {chart_line("Kasse", "B", 'A', 'B'), chart_line("Bank", "B", 'A', 'B')});
    const auto accounts = read_chart(1);
    ASSERT_EQ(accounts.size(), 2u);
    EXPECT_EQ(accounts[1].resultClass, "");  // no CR left in the line
}

TEST(ChartFile, IsFoundWithoutRegardToCase) {
    test::WorkDir dir;
    dir.writeLines("kontenplan3.TXT", {chart_line("Kasse", "B", 'A', 'B')});
    EXPECT_EQ(read_chart(3).size(), 1u);
}

TEST(ChartFile, MissingFileFailsWithFileNotFound) {
    test::WorkDir dir;
    try {
        (void)read_chart(4);
        FAIL() << "no failure";
    } catch (const Failure& f) {
        EXPECT_STREQ(f.what(), "Datei nicht gefunden");
    }
}

} // namespace
} // namespace saldorama
