// The tuning knob in the application: opened at launch when it was left on, closed for sleep and
// opened again after the wake, its lamps shown in the heads-up title. The knob is simulated on a
// pseudo-terminal offered through "vm_virtual_serial_port".
#include "AppFixture.h"

#include "app/windows/HudWindow.h"
#include "support/PseudoTerminal.h"

#include <QLabel>

namespace vm {
namespace {

using test::AppFixture;

TEST_F(AppFixture, TheKnobLeftOnOpensAtLaunchClosesForSleepAndOpensAgainAfterTheWake) {
    test::PseudoTerminal knob;
    ASSERT_TRUE(knob.makeRaw());
    Defaults& defaults = Defaults::standard();
    defaults.set("doro_control", PlistValue(std::int64_t{1}));
    defaults.set("vm_virtual_serial_port", PlistValue(knob.path()));
    defaults.set("doro_control_port", PlistValue(knob.path()));
    knob.send("F1.02;");
    launch();
    const auto status = [&] {
        return prefsControl<QLabel>("doroControlStatus").text().toStdString();
    };
    ASSERT_TRUE(runMainUntil([&] { return status() == "Reading"; })) << status();
    EXPECT_EQ(test::openDescriptorsOn(knob.path()), 1);

    controller->receiveSleepNote();
    EXPECT_TRUE(controller->doro_control_connected);
    EXPECT_TRUE(runMainUntil([&] {
        return status() == "Stopped" && test::openDescriptorsOn(knob.path()) == 0;
    })) << status();

    knob.send("F1.02;");
    controller->receiveWakeNote();
    ASSERT_TRUE(runMainUntil([&] { return status() == "Reading"; })) << status();
    EXPECT_TRUE(prefsControl<CheckBox>("doroControlCheckBox").state());
    EXPECT_EQ(defaults.integerForKey("doro_control"), 1) << "sleep is not the operator's choice";

    knob.send("X1S;");
    EXPECT_TRUE(runMainUntil([&] {
        return controller->hud->windowTitle().endsWith(QStringLiteral(" ◉◎◎"));
    })) << controller->hud->windowTitle().toStdString();
    const std::string log = logText();
    for (const char* line :
         {"receiveSleepNote: Closing DoroControl", "stopReadChannel: DoroControl stopped.",
          "receiveWakeNote: Open DoroControl"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line;
    }
}

}  // namespace
}  // namespace vm
