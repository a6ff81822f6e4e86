// The end of a session: a pending quit is answered only once no radio is open.
#include "ObserverFixture.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using Teardown = test::ObserverFixture;

TEST_F(Teardown, APendingQuitIsAnsweredOnlyWhenQuittingAndNoRadioIsOpen) {
    const struct {
        const char* name;
        bool quitting;
        bool radioOpen;
        bool answered;
    } cases[] = {{"not quitting", false, false, false},
                 {"quitting with a radio open", true, true, false},
                 {"quitting, no radio", true, false, true}};
    for (const auto& c : cases) {
        int answers = 0;
        controller->replyToApplicationShouldTerminate = [&](bool yes) { answers += yes ? 1 : 100; };
        controller->quitting = c.quitting;
        if (c.radioOpen) {
            openRadio();
        } else {
            controller->openRadio.reset();
        }
        controller->closeDoroSDR();
        test::mainQueueBarrier();
        EXPECT_EQ(answers, c.answered ? 1 : 0) << c.name;
    }
    controller->quitting = false;
}

}  // namespace
}  // namespace vm
