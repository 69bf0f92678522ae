#include "kernel/handler_runner.h"

#include <stdexcept>

#include <gtest/gtest.h>

#include "base/failure.h"
#include "kernel/scripted_dialogs.h"

using namespace saldorama;
using Kind = ScriptedDialogs::Kind;

TEST(HandlerRunner, FailureShowsItsTextWithAFullStop) {
    ScriptedDialogs d;
    EXPECT_FALSE(run_handler(d, [] { fail("Datei nicht gefunden"); }));
    EXPECT_EQ(d.last(Kind::Failure), "Datei nicht gefunden.");
}

TEST(HandlerRunner, NoSecondFullStop) {
    ScriptedDialogs d;
    (void)run_handler(d, [] { fail("Schon zu Ende."); });
    EXPECT_EQ(d.last(Kind::Failure), "Schon zu Ende.");
}

TEST(HandlerRunner, AnyOtherExceptionIsCaughtToo) {
    ScriptedDialogs d;
    EXPECT_FALSE(run_handler(d, [] { throw std::out_of_range("x"); }));
    EXPECT_FALSE(run_handler(d, [] { throw 42; }));
    EXPECT_EQ(d.texts(Kind::Failure).size(), 2u);
}

TEST(HandlerRunner, SuccessShowsNothing) {
    ScriptedDialogs d;
    EXPECT_TRUE(run_handler(d, [] {}));
    EXPECT_TRUE(d.log.empty());
}

TEST(HandlerRunner, FailureTextWithANulByteIsShownWhole) {
    ScriptedDialogs d;
    (void)run_handler(d, [] { fail(std::string("'1,2,\0x' ist kein", 17)); });
    EXPECT_EQ(d.last(Kind::Failure), std::string("'1,2,\0x' ist kein.", 18));
}
