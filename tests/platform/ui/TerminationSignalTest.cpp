// SIGTERM reaches the GUI thread as a call instead of ending the process, once per signal; with
// the watcher gone the signal's own handling is back.
#include "platform/ui/TerminationSignal.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <signal.h>

namespace vm {
namespace {

TEST(TerminationSignal, EachSigtermBecomesOneCallOnTheGuiThread) {
    int calls = 0;
    {
        const TerminationSignal watcher([&] { ++calls; });
        ASSERT_TRUE(watcher.installed());
        ASSERT_EQ(::raise(SIGTERM), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return calls == 1; }));
        ASSERT_EQ(::raise(SIGTERM), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return calls == 2; }));
        const TerminationSignal second([] {});
        EXPECT_FALSE(second.installed()) << "one watcher per process";
    }
    struct sigaction current {};
    ASSERT_EQ(::sigaction(SIGTERM, nullptr, &current), 0);
    EXPECT_EQ(current.sa_handler, SIG_DFL);
    EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace vm
