#include <gtest/gtest.h>

#include "accounts/account_tests.h"
#include "base/cp1252.h"
#include "base/failure.h"
#include "kernel/scripted_dialogs.h"
#include "support/work_dir.h"

namespace saldorama {
namespace {

using Kind = ScriptedDialogs::Kind;

// Chart 2 of the test: one account of every class, the last line without a
// line end.
void write_chart(const test::WorkDir& dir) {
    dir.write("Kontenplan2.txt",
              "Kasse<B> A  B\r\n"
              "Bank<B> A  N\r\n"            // balance sheet marked neutral: "Fehler!"
              "Darlehen<B> P  x\r\n"        // balance sheet, other class letter: "N"
              "Mieten<S> A  B\r\n"
              "Zinsertraege<H> E  N\r\n"
              "Sonderposten<V> A  B\r\n"
              "Ohne Klammer\r\n"            // no chart line: never an account
              + cp("Eröffnungsbilanzkonto<B> A  B"));
}

TEST(IstKonto, FindsTheExactNameEvenOnTheLastLine) {
    test::WorkDir dir;
    write_chart(dir);
    ScriptedDialogs dialogs;
    EXPECT_TRUE(ist_konto(2, dialogs, cp("Eröffnungsbilanzkonto")));
    EXPECT_TRUE(ist_konto(2, dialogs, "Kasse"));
    EXPECT_TRUE(dialogs.log.empty());
}

TEST(IstKonto, ComparesWholeTextsCaseSensitively) {
    test::WorkDir dir;
    write_chart(dir);
    ScriptedDialogs dialogs;
    EXPECT_FALSE(ist_konto(2, dialogs, "kasse"));
    EXPECT_FALSE(ist_konto(2, dialogs, "KASSE"));
    EXPECT_FALSE(ist_konto(2, dialogs, "Kasse "));
    EXPECT_FALSE(ist_konto(2, dialogs, "Kass"));
    EXPECT_FALSE(ist_konto(2, dialogs, ""));
    EXPECT_FALSE(ist_konto(2, dialogs, "Ohne Klammer"));
    EXPECT_TRUE(dialogs.log.empty());
}

TEST(IstKonto, AcceptsTheEmptyTextWhenTheChartHasAnEmptyName) {
    test::WorkDir dir;
    dir.writeLines("Kontenplan1.txt", {"Kasse<B> A  B", "<S> A  B"});
    ScriptedDialogs dialogs;
    EXPECT_TRUE(ist_konto(1, dialogs, ""));
}

TEST(IstKonto, WithoutAChartSaysSoAndAnswersNo) {
    test::WorkDir dir;
    ScriptedDialogs dialogs;
    EXPECT_FALSE(ist_konto(0, dialogs, "Kasse"));
    ASSERT_EQ(dialogs.texts(Kind::Notice).size(), 1u);
    EXPECT_EQ(dialogs.last(Kind::Notice), cp("Du hast keinen Kontenplan ausgewählt!"));
}

TEST(IstKonto, MissingChartFileFails) {
    test::WorkDir dir;
    ScriptedDialogs dialogs;
    EXPECT_THROW((void)ist_konto(3, dialogs, "Kasse"), Failure);
}

TEST(IstKonto, ReadsTheChartAfreshOnEveryCall) {
    test::WorkDir dir;
    dir.writeLines("Kontenplan1.txt", {"Kasse<B> A  B"});
    ScriptedDialogs dialogs;
    EXPECT_FALSE(ist_konto(1, dialogs, "Bank"));
    dir.writeLines("Kontenplan1.txt", {"Kasse<B> A  B", "Bank<B> A  B"});
    EXPECT_TRUE(ist_konto(1, dialogs, "Bank"));
}

TEST(AccountClass, OperatingOnlyForProfitAndLossAccountsMarkedB) {
    test::WorkDir dir;
    write_chart(dir);
    EXPECT_TRUE(IstBetrieblich(2, "Mieten"));
    EXPECT_FALSE(IstBetrieblich(2, "Kasse"));
    EXPECT_FALSE(IstBetrieblich(2, "Bank"));
    EXPECT_FALSE(IstBetrieblich(2, "Darlehen"));
    EXPECT_FALSE(IstBetrieblich(2, "Zinsertraege"));
    EXPECT_FALSE(IstBetrieblich(2, "Sonderposten"));
    EXPECT_FALSE(IstBetrieblich(2, cp("Eröffnungsbilanzkonto")));
}

TEST(AccountClass, NeutralForNeutralSpecialAndOddlyMarkedBalanceAccounts) {
    test::WorkDir dir;
    write_chart(dir);
    EXPECT_TRUE(IstNeutral(2, "Zinsertraege"));
    EXPECT_TRUE(IstNeutral(2, "Sonderposten"));
    EXPECT_TRUE(IstNeutral(2, "Darlehen"));
    EXPECT_FALSE(IstNeutral(2, "Kasse"));
    EXPECT_FALSE(IstNeutral(2, "Bank"));  // "Fehler!" is neither class
    EXPECT_FALSE(IstNeutral(2, "Mieten"));
}

TEST(AccountClass, UnknownAndEmptyNamesAreNeither) {
    test::WorkDir dir;
    write_chart(dir);
    for (const char* name : {"Unbekannt", "", "mieten", "Zinsertraege "}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(IstBetrieblich(2, name));
        EXPECT_FALSE(IstNeutral(2, name));
    }
}

TEST(AccountClass, AnyMatchingLineCounts) {
    test::WorkDir dir;
    dir.writeLines("Kontenplan1.txt", {"Doppelt<S> A  B", "Doppelt<S> A  N"});
    EXPECT_TRUE(IstBetrieblich(1, "Doppelt"));
    EXPECT_TRUE(IstNeutral(1, "Doppelt"));
}

TEST(AccountClass, NoChartAnswersNoWithoutReading) {
    test::WorkDir dir;  // no chart file at all
    EXPECT_FALSE(IstBetrieblich(0, "Mieten"));
    EXPECT_FALSE(IstNeutral(0, "Zinsertraege"));
}

} // namespace
} // namespace saldorama
