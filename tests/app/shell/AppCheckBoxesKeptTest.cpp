// The check boxes of the preferences that the operator changes keep their state over a restart:
// the change is in the preferences file on disk at once, and the next start shows it. The knob's
// box is switched off with a knob answering on a pseudo-terminal, so that its port opens. The
// waterfall's share of a panadapter window and the meter panel's source are kept the same way.
#include "AppFixture.h"

#include "app/panels/PanadapterController.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/ViewSplit.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextField.h"
#include "support/PseudoTerminal.h"
#include "support/QueueBarrier.h"

#include <QLabel>

namespace vm {
namespace {

struct KeptBox {
    const char* name;  // the control's outlet name
    const char* key;
};

class CheckBoxKept : public test::AppFixture, public ::testing::WithParamInterface<KeptBox> {};

TEST_P(CheckBoxKept, AfterARestart) {
    const KeptBox& box = GetParam();
    test::PseudoTerminal knob;
    ASSERT_TRUE(knob.makeRaw());
    Defaults::standard().set("doro_control", PlistValue(std::int64_t{1}));
    Defaults::standard().set("vm_virtual_serial_port", PlistValue(knob.path()));
    Defaults::standard().set("doro_control_port", PlistValue(knob.path()));
    knob.send("F1.02;");
    launch();
    ASSERT_TRUE(runMainUntil([&] {
        return prefsControl<QLabel>("doroControlStatus").text() == QStringLiteral("Reading");
    }));

    auto& control = prefsControl<CheckBox>(box.name);
    const bool changed = !control.state();
    control.click();
    ASSERT_EQ(control.state(), changed);
    ASSERT_TRUE(Defaults::standard().flush());
    // What the next program reads: the file as it is now on disk.
    const Defaults onDisk(Defaults::standard().path());
    EXPECT_EQ(onDisk.boolForKey(box.key), changed) << box.key;

    controller.reset();
    launch();
    EXPECT_EQ(prefsControl<CheckBox>(box.name).state(), changed) << box.name;
}

INSTANTIATE_TEST_SUITE_P(
    RadioAndKnobPages, CheckBoxKept,
    ::testing::Values(KeptBox{"debug_enabled", "debug_state"},
                      KeptBox{"check_for_updates", "check_for_updates"},
                      KeptBox{"auto_connect", "auto_connect"},
                      KeptBox{"tuneTrvlCheckBox", "tune_trvl"},
                      KeptBox{"darkWindowsCheckBox", "vmsdr_dark_windows"},
                      KeptBox{"muteAlternateVFOCheckBox", "mute_alternate_audio"},
                      KeptBox{"hideHudInBackgroundCheckBox", "hide_hud_in_background"},
                      KeptBox{"authUseDoroLinkButton", "auth_use_doro_link"},
                      KeptBox{"doroControlCheckBox", "doro_control"}),
    [](const ::testing::TestParamInfo<KeptBox>& param) { return std::string(param.param.name); });

INSTANTIATE_TEST_SUITE_P(PanadapterPage, CheckBoxKept,
                         ::testing::Values(KeptBox{"trvlSpotsButton", "display_trvl_spots"},
                                           KeptBox{"radioSpotsButton", "display_radio_spots"},
                                           KeptBox{"zenithorNFMButton", "zenithor_narrow_fm"},
                                           KeptBox{"memoryShowCB", "display_memories"}),
                         [](const ::testing::TestParamInfo<KeptBox>& param) {
                             return std::string(param.param.name);
                         });

using PanadapterSettingsKept = test::AppFixture;

// The waterfall's share of pan 2's window and the meter panel's source, changed by the operator,
// are on disk at once; the next start shows them and lays pan 2's window out by the share.
TEST_F(PanadapterSettingsKept, TheWaterfallShareAndTheMeterSourceAfterARestart) {
    launch();
    auto& share = prefsControl<Slider>("viewProportion2");
    share.setDoubleValue(30);
    share.sendAction();
    auto& meters = prefsControl<PopUpButton>("meterPanelPopUp");
    meters.selectItemWithTitle("Radio");
    meters.sendAction();
    test::mainQueueBarrier();
    ASSERT_TRUE(Defaults::standard().flush());
    const Defaults onDisk(Defaults::standard().path());
    EXPECT_EQ(onDisk.integerForKey("view_proportion2"), 30);
    EXPECT_EQ(onDisk.stringForKey("meter_panel_popup"), "Radio");

    controller.reset();
    launch();
    EXPECT_EQ(prefsControl<Slider>("viewProportion2").doubleValue(), 30);
    EXPECT_EQ(prefsControl<TextField>("viewProportionText2").intValue(), 30);
    EXPECT_EQ(prefsControl<PopUpButton>("meterPanelPopUp").title(), "Radio");
    EXPECT_EQ(panadapter(2).velmoraSDRWindow->viewSplit->waterfallShare(), 30);
    EXPECT_EQ(panadapter(0).velmoraSDRWindow->viewSplit->waterfallShare(), 50)
        << "another pan keeps the default";
}

}  // namespace
}  // namespace vm
