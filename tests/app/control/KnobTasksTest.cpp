// The knob's tasks and buttons without a window or a port: each task's effect on the slices it
// changes (levels and offsets kept in range), the master volume on either side, the buttons as a
// radio group choosing the task, and "MOX" keying the transmitter while its button is lit.
#include "app/control/DoroControlHost.h"
#include "app/control/KnobTasks.h"
#include "objects/Slice.h"
#include "platform/core/Defaults.h"
#include "support/LogCapture.h"

#include <fmt/format.h>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace vm {
namespace {

using Strings = std::vector<std::string>;

// Slices 0 (active) and 1 (alternate) of no radio, and a record of what the tasks asked for.
class TaskHost : public DoroControlHost {
public:
    std::shared_ptr<Slice> active = Slice::create(nullptr, 0);
    std::shared_ptr<Slice> alternate = Slice::create(nullptr, 1);
    bool open = true, remoteAudio = false;
    std::optional<double> remoteVolume = 50, speaker, headset;
    Strings told;

    bool debugEnabled() const override { return false; }
    bool isQuitting() const override { return false; }
    bool isSleeping() const override { return false; }
    bool radioIsOpen() const override { return open; }
    std::shared_ptr<Slice> activeVFO() const override { return active; }
    std::shared_ptr<Slice> alternateVFO() const override { return alternate; }
    void fineTuneHz(double hz, const std::shared_ptr<Slice>& slice) override {
        told.push_back(fmt::format("tune {} by {:g} Hz", slice->thisSliceNumber(), hz));
    }
    double getFrequencyKeyModifier() const override { return 100; }
    bool remoteAudioOn() const override { return remoteAudio; }
    std::optional<double> remoteAudioVolume() const override { return remoteVolume; }
    void setRemoteAudioVolume(double volume) override {
        told.push_back(fmt::format("remote volume {:g}", volume));
    }
    std::optional<double> radioSpeakerVolume() const override { return speaker; }
    void setRadioSpeakerVolume(int volume) override {
        told.push_back(fmt::format("speaker {}", volume));
    }
    std::optional<double> radioHeadsetVolume() const override { return headset; }
    void setRadioHeadsetVolume(int volume) override {
        told.push_back(fmt::format("headset {}", volume));
    }
    void pressTransmitButton(bool on) override { told.push_back(fmt::format("transmit {}", on)); }
    void adjustHudTitle() override { told.push_back("hud"); }
    void bringUsFront() override { told.push_back("front"); }
};

// The levels and offsets a task may change, as "name=value" for those that are set.
Strings settings(const Slice& slice) {
    Strings out;
    const auto add = [&](const char* name, auto value) {
        if (value) {
            out.push_back(fmt::format("{}={}", name, *value));
        }
    };
    add("audio", slice.sliceAudioLevel());
    add("agct", slice.sliceAgcThreshold());
    add("rit", slice.sliceRitEnabled());
    add("ritFreq", slice.sliceRitOffset());
    add("xit", slice.sliceXitEnabled());
    add("xitFreq", slice.sliceXitOffset());
    return out;
}

struct TaskCase {
    const char* name;
    KnobTask task;
    double step;
    std::function<void(TaskHost&)> given;  // the state before the step
    Strings active, alternate;             // the slices' settings afterwards
    Strings told;                          // what the host was asked
};

void PrintTo(const TaskCase& c, std::ostream* out) { *out << c.name; }

class KnobTaskStep : public ::testing::TestWithParam<TaskCase> {};

TEST_P(KnobTaskStep, ChangesWhatTheTaskNames) {
    const TaskCase& c = GetParam();
    TaskHost host;
    if (c.given) {
        c.given(host);
    }
    switchTasks(host, int(c.task), c.step);
    EXPECT_EQ(host.active ? settings(*host.active) : Strings{}, c.active);
    EXPECT_EQ(host.alternate ? settings(*host.alternate) : Strings{}, c.alternate);
    EXPECT_EQ(host.told, c.told);
}

// Gives both slices an audio level, an AGC threshold and RIT and XIT offsets.
void levels(TaskHost& host, int audio, int agct, int rit, int xit) {
    for (const auto& slice : {host.active, host.alternate}) {
        slice->sliceAudioLevel.set(audio);
        slice->sliceAgcThreshold.set(agct);
        slice->sliceRitEnabled.set(rit != 0);
        slice->sliceRitOffset.set(rit);
        slice->sliceXitEnabled.set(xit != 0);
        slice->sliceXitOffset.set(xit);
    }
}

const Strings kStart{"audio=50", "agct=60", "rit=false", "ritFreq=0", "xit=true", "xitFreq=-200"};

INSTANTIATE_TEST_SUITE_P(
    Tasks, KnobTaskStep,
    ::testing::Values(
        TaskCase{"NothingDoesNothing",
                 KnobTask::nothing,
                 5,
                 [](TaskHost& h) { levels(h, 50, 60, 0, -200); },
                 kStart,
                 kStart,
                 {}},
        TaskCase{"ActiveVfoTunesStepsOfTheModifier",
                 KnobTask::activeSliceVfo,
                 50,
                 nullptr,
                 {},
                 {},
                 {"tune 0 by 5000 Hz"}},
        TaskCase{"AlternateVfoTunesDown",
                 KnobTask::alternateSliceVfo,
                 -1,
                 nullptr,
                 {},
                 {},
                 {"tune 1 by -100 Hz"}},
        TaskCase{"VfoWithoutARadioTunesNothing",
                 KnobTask::activeSliceVfo,
                 1,
                 [](TaskHost& h) { h.open = false; },
                 {},
                 {},
                 {}},
        TaskCase{"VfoWithoutTheSliceTunesNothing",
                 KnobTask::alternateSliceVfo,
                 1,
                 [](TaskHost& h) { h.alternate.reset(); },
                 {},
                 {},
                 {}},
        TaskCase{"VolumeOfTheActiveSlice",
                 KnobTask::volumeActiveSlice,
                 25,
                 [](TaskHost& h) { levels(h, 50, 60, 0, -200); },
                 {"audio=75", "agct=60", "rit=false", "ritFreq=0", "xit=true", "xitFreq=-200"},
                 kStart,
                 {}},
        TaskCase{"VolumeStaysAtMost100",
                 KnobTask::volumeAlternateSlice,
                 100,
                 [](TaskHost& h) { levels(h, 50, 60, 0, -200); },
                 kStart,
                 {"audio=100", "agct=60", "rit=false", "ritFreq=0", "xit=true", "xitFreq=-200"},
                 {}},
        TaskCase{"VolumeStaysAtLeast0",
                 KnobTask::volumeActiveSlice,
                 -100,
                 [](TaskHost& h) { levels(h, 50, 60, 0, -200); },
                 {"audio=0", "agct=60", "rit=false", "ritFreq=0", "xit=true", "xitFreq=-200"},
                 kStart,
                 {}},
        TaskCase{
            "AnUnreportedLevelIsLeftAlone", KnobTask::volumeActiveSlice, 1, nullptr, {}, {}, {}},
        TaskCase{"RitIsSwitchedOnAndMovesTenHertzAStep",
                 KnobTask::activeSliceRitLevel,
                 5,
                 [](TaskHost& h) { levels(h, 50, 60, 0, -200); },
                 {"audio=50", "agct=60", "rit=true", "ritFreq=50", "xit=true", "xitFreq=-200"},
                 kStart,
                 {}},
        TaskCase{"RitNeverPasses10kHz",
                 KnobTask::activeSliceRitLevel,
                 100,
                 [](TaskHost& h) { levels(h, 50, 60, 9990, -200); },
                 {"audio=50", "agct=60", "rit=true", "ritFreq=10000", "xit=true", "xitFreq=-200"},
                 {"audio=50", "agct=60", "rit=true", "ritFreq=9990", "xit=true", "xitFreq=-200"},
                 {}},
        TaskCase{"XitNeverPassesMinus10kHz",
                 KnobTask::activeSliceXitLevel,
                 -100,
                 [](TaskHost& h) { levels(h, 50, 60, 0, -9500); },
                 {"audio=50", "agct=60", "rit=false", "ritFreq=0", "xit=true", "xitFreq=-10000"},
                 {"audio=50", "agct=60", "rit=false", "ritFreq=0", "xit=true", "xitFreq=-9500"},
                 {}},
        TaskCase{"AgcThresholdOfTheActiveSlice",
                 KnobTask::activeSliceAgcTLevel,
                 -5,
                 [](TaskHost& h) { levels(h, 50, 60, 0, -200); },
                 {"audio=50", "agct=55", "rit=false", "ritFreq=0", "xit=true", "xitFreq=-200"},
                 kStart,
                 {}},
        TaskCase{"AgcThresholdOfTheAlternateSliceAtMost100",
                 KnobTask::alternateSliceAgcTLevel,
                 50,
                 [](TaskHost& h) { levels(h, 50, 60, 0, -200); },
                 kStart,
                 {"audio=50", "agct=100", "rit=false", "ritFreq=0", "xit=true", "xitFreq=-200"},
                 {}},
        TaskCase{"MasterVolumeWithRemoteAudio",
                 KnobTask::masterVolume,
                 25,
                 [](TaskHost& h) { h.remoteAudio = true, h.remoteVolume = 80.5; },
                 {},
                 {},
                 {"remote volume 100"}},
        TaskCase{"MasterVolumeWithRemoteAudioButNoPlayback",
                 KnobTask::masterVolume,
                 1,
                 [](TaskHost& h) { h.remoteAudio = true, h.remoteVolume.reset(); },
                 {},
                 {},
                 {}},
        TaskCase{"MasterVolumeOnTheRadiosSpeakerAndHeadphones",
                 KnobTask::masterVolume,
                 -5,
                 [](TaskHost& h) { h.speaker = 3, h.headset = 40; },
                 {},
                 {},
                 {"speaker 0", "headset 35"}},
        TaskCase{"MasterVolumeOnlyOnTheLevelsSwitchedOn",
                 KnobTask::masterVolume,
                 5,
                 [](TaskHost& h) { h.headset = 40; },
                 {},
                 {},
                 {"headset 45"}},
        TaskCase{"MasterVolumeWithoutARadio",
                 KnobTask::masterVolume,
                 5,
                 [](TaskHost& h) { h.open = false, h.speaker = 30; },
                 {},
                 {},
                 {}},
        TaskCase{"MoxTurnsNothing",
                 KnobTask::mox,
                 5,
                 [](TaskHost& h) { levels(h, 50, 60, 0, -200); },
                 kStart,
                 kStart,
                 {}},
        TaskCase{"AnIndexOutsideTheListDoesNothing",
                 KnobTask(42),
                 5,
                 [](TaskHost& h) { levels(h, 50, 60, 0, -200); },
                 kStart,
                 kStart,
                 {}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(KnobButtons, OneButtonIsLitAtATimeAndChoosesTheTask) {
    KnobButtons buttons;
    const std::array<int, 3> buttonTasks{3, 6, 10};
    EXPECT_EQ(buttons.selectedTask(1, buttonTasks), 1) << "no button lit: the knob's own task";
    EXPECT_EQ(buttons.hudText(), "◎◎◎");
    buttons.toggle(1);
    EXPECT_EQ(buttons.lamps(), (knob::Lamps{true, false, false}));
    EXPECT_EQ(buttons.selectedTask(1, buttonTasks), 3);
    buttons.toggle(2);  // pressed while 1 is lit
    EXPECT_EQ(knob::lampMessage(buttons.lamps()), "I010;");
    EXPECT_EQ(buttons.selectedTask(1, buttonTasks), 6);
    EXPECT_EQ(buttons.hudText(), "◎◉◎");
    buttons.toggle(2);
    EXPECT_EQ(buttons.lamps(), (knob::Lamps{false, false, false}));
    buttons.toggle(4);
    EXPECT_EQ(buttons.lamps(), (knob::Lamps{false, false, false}));
}

TEST(KnobButtons, TheLampsAreSavedAndRestoredWithTheirLines) {
    for (const char* key : {"doro_control_doroAuxButton1", "doro_control_doroAuxButton2",
                            "doro_control_doroAuxButton3"}) {
        Defaults::standard().remove(key);
    }
    test::LogCapture log;
    KnobButtons buttons;
    buttons.doroAuxButton1 = true;
    buttons.restore();
    EXPECT_EQ(buttons.lamps(), (knob::Lamps{false, false, false})) << "nothing stored: dark";
    EXPECT_TRUE(log.contains("doroControl:restore:000"));
    buttons.toggle(3);
    buttons.save();
    EXPECT_TRUE(log.contains("stopSerialReadChannel:save:001"));
    EXPECT_EQ(Defaults::standard().boolForKey("doro_control_doroAuxButton3"), true);
    KnobButtons later;
    later.restore();
    EXPECT_EQ(later.lamps(), (knob::Lamps{false, false, true}));
    EXPECT_TRUE(log.contains("doroControl:restore:001"));
}

TEST(KnobButtons, AMoxButtonKeysWhileLitAndAnyButtonEndsATransmission) {
    TaskHost host;
    KnobButtons buttons;
    buttons.toggle(2);
    buttonTask(host, buttons, 2, true);
    buttons.toggle(2);
    buttonTask(host, buttons, 2, true);
    buttons.toggle(1);
    buttonTask(host, buttons, 1, false);
    EXPECT_EQ(host.told, (Strings{"transmit false", "transmit true", "transmit false",
                                  "transmit false", "transmit false"}));
}

}  // namespace
}  // namespace vm
