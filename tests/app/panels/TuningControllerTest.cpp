// The main window's mode, frequency and split controls against the simulated radio: what the
// operator does in them against the commands the radio receives.
#include "SlicePanelFixture.h"

#include "app/memory/BandStacks.h"
#include "app/panels/SliceMenuActions.h"
#include "app/panels/TuningController.h"
#include "app/panels/TuningHost.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/MainMenus.h"
#include "platform/ui/Beep.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"

#include <QMenuBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace vm {
namespace {

using Strings = std::vector<std::string>;

// The session's slices as the application's controller offers them to the room.
class SessionTuningHost : public TuningHost {
public:
    explicit SessionTuningHost(const test::RecordingHost& slices) : slices_(slices) {}
    std::shared_ptr<Slice> activeVFO() const override { return lookups::activeVFO(slices_.slices); }
    std::shared_ptr<Slice> alternateVFO() const override {
        return lookups::alternateVFO(slices_.slices);
    }
    std::shared_ptr<Slice> sliceWithNumber(int number) const override {
        return slices_.sliceWithNumber(number);
    }
    std::shared_ptr<Radio> openedRadio() const override { return slices_.radio; }
    std::vector<std::shared_ptr<Slice>> clientSlices() const override { return slices_.slices; }
    bool needDoroVFO(int vfo) override {
        needed.push_back(vfo);
        return true;
    }
    BandStacks& bandStackStore() override { return stacks; }
    std::shared_ptr<Panafall> panUnderHud() const override { return nullptr; }
    std::string panBandForFrequency(double) const override { return "40"; }
    void notifyUser(const std::string& title, const std::string& text) override {
        notices.push_back(title + ": " + text);
    }

    std::vector<int> needed;
    BandStacks stacks;
    Strings notices;

private:
    const test::RecordingHost& slices_;
};

class TuningActions : public test::SlicePanelFixture {
protected:
    Strings receivedSorted() {
        Strings texts = receivedSinceMark();
        std::sort(texts.begin(), texts.end());
        return texts;
    }

    MainControlsBar controls;
    std::shared_ptr<SessionTuningHost> tuningHost = std::make_shared<SessionTuningHost>(*host);
    std::shared_ptr<TuningController> room = TuningController::create(controls, tuningHost);
};

TEST_F(TuningActions, EachControlSendsItsCommandsToTheActiveAndAlternateSlices) {
    const auto a = addSlice(0, "mode=USB active=1 tx=1 RF_frequency=14.123456");
    const auto b = addSlice(1, "mode=USB active=0 tx=0 RF_frequency=7.100000");
    ASSERT_TRUE(a && b);
    controls.vfo_mode->addItems({"USB", "LSB", "CW"});
    const struct {
        const char* name;
        std::function<void()> act;
        Strings commands;  // sorted: the two slices' queues send in either order
    } cases[] = {
        {"mode",
         [&] {
             controls.vfo_mode->selectItemWithTitle("CW");
             emit controls.vfo_mode->action();
         },
         {"slice set 0 mode=CW"}},
        {"split 1 kHz",
         [&] {
             controls.split_popup->selectItemAtIndex(1);
             emit controls.split_popup->action();
         },
         {"slice set 0 tx=0", "slice set 1 tx=1", "slice tune 1 14.1245"}},
        {"split off",
         [&] {
             controls.split_popup->selectItemAtIndex(0);
             emit controls.split_popup->action();
         },
         {"slice set 0 tx=1", "slice set 1 tx=0", "slice tune 1 14.1235"}},
        {"typed frequency",
         [&] {
             emit controls.vfo_mhz->beginEditing();
             EXPECT_TRUE(room->mhzInput());
             controls.vfo_mhz->setStringValue("14.0305");
             emit controls.vfo_mhz->endEditing();
             EXPECT_FALSE(room->mhzInput());
         },
         {"slice tune 0 14.03050"}},
        {"typed zero",
         [&] {
             controls.vfo_mhz->setStringValue("0");
             emit controls.vfo_mhz->endEditing();
         },
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        mark();
        c.act();
        EXPECT_EQ(receivedSorted(), c.commands);
    }
    EXPECT_EQ(controls.vfo_mhz->doubleValue(), 14.0305) << "zero is taken back";
    EXPECT_EQ(tuningHost->needed, (std::vector<int>{1, 1, 1, 1})) << "slice B asked for";
}

TEST_F(TuningActions, WithoutAnAlternateSliceSplitSendsNothing) {
    ASSERT_TRUE(addSlice(0, "mode=USB active=1 tx=1 RF_frequency=14.100000"));
    mark();
    controls.split_popup->selectItemAtIndex(2);
    emit controls.split_popup->action();
    controls.split_popup->selectItemAtIndex(7);
    emit controls.split_popup->action();
    EXPECT_EQ(receivedSinceMark(), Strings{});
}

// Each press of a band button steps round the band's stack; Alt only centres the pan, and a
// locked active slice is never retuned.
TEST_F(TuningActions, BandButtonsStepRoundTheBandsStack) {
    const auto a =
        addSlice(0, "mode=USB active=1 tx=1 lock=0 index_letter=A RF_frequency=14.100000");
    ASSERT_TRUE(a);
    BandStack forty;
    for (const auto& [mhz, mode] : {std::pair{"7.1", "LSB"}, std::pair{"7.03", "CW"}}) {
        forty.stackEntries.push_back(
            std::make_shared<FrequencyAndMode>(FrequencyAndMode{mhz, mode, archiveDateNow()}));
    }
    tuningHost->stacks.bandStackDictionary.emplace("40M", std::move(forty));
    const struct {
        const char* name;
        const char* band;
        bool centreOnly;
        Strings commands;
    } presses[] = {
        {"first entry", "40", false, {"slice set 0 mode=LSB", "slice tune 0 7.1 autopan=0"}},
        {"next entry", "40", false, {"slice set 0 mode=CW", "slice tune 0 7.03 autopan=0"}},
        {"round again, alt held", "40", true, {}},
        {"a band without a stack", "6", false, {}},
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(press.name);
        mark();
        room->bandButtonPressed(press.band, press.centreOnly);
        EXPECT_EQ(receivedSinceMark(), press.commands);
    }
    mark();
    emit controls.bandButtons[3]->clicked();  // "40", back at the first entry after the alt press
    EXPECT_EQ(receivedSinceMark(), (Strings{"slice set 0 mode=CW", "slice tune 0 7.03 autopan=0"}));

    ASSERT_TRUE(report(0, "lock=1", [&] { return a->sliceLocked().value_or(false); }));
    mark();
    room->bandButtonPressed("40", false);
    EXPECT_EQ(receivedSinceMark(), Strings{});
    EXPECT_EQ(tuningHost->notices, Strings{"Slice locked: Active slice A is locked"});
}

class SliceMenu : public TuningActions {
protected:
    void SetUp() override {
        TuningActions::SetUp();
        previousBeep = setBeepHandler([this] { ++beeps; });
    }
    void TearDown() override {
        setBeepHandler(previousBeep);
        TuningActions::TearDown();
    }
    void choose(const char* name) {
        for (int i = 0; i < menus.shortcutsMenu->numberOfItems(); ++i) {
            MenuItem* item = menus.shortcutsMenu->itemAtIndex(i);
            if (item && item->objectName() == QLatin1String(name)) {
                item->performAction();
                return;
            }
        }
        ADD_FAILURE() << "no item " << name;
    }

    QMenuBar bar;
    MainMenus menus{&bar};
    std::shared_ptr<SliceMenuActions> actions = SliceMenuActions::create(menus, tuningHost);
    BeepHandler previousBeep;
    int beeps = 0;
};

TEST_F(SliceMenu, SwapAndCopyBetweenAAndBSendTheSlicesCommands) {
    ASSERT_TRUE(addSlice(0, "mode=USB active=1 tx=1 RF_frequency=14.100000"));
    ASSERT_TRUE(addSlice(1, "mode=LSB active=0 tx=0 RF_frequency=7.100000"));
    const struct {
        const char* item;
        Strings commands;  // sorted
    } cases[] = {
        {"swapVFOsMenuItem",
         {"slice set 0 mode=LSB", "slice set 0 tx=0", "slice set 1 mode=USB", "slice set 1 tx=1",
          "slice tune 0 7.100000", "slice tune 1 14.100000"}},
        // After the swap A is on 7.1 LSB.
        {"setVFOBequalsVFOAMenuItem",
         {"slice set 1 active=1", "slice set 1 mode=LSB", "slice set 1 tx=1",
          "slice tune 1 7.100000"}},
        // A is active already: making it active again sends nothing.
        {"setVFOAequalsVFOBMenuItem",
         {"slice set 0 mode=LSB", "slice set 0 tx=1", "slice tune 0 7.100000"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        mark();
        choose(c.item);
        EXPECT_EQ(receivedSorted(), c.commands);
    }
    EXPECT_EQ(beeps, 0);
}

TEST_F(SliceMenu, WithoutSliceBSwapAndCopyBeepAndSendNothing) {
    ASSERT_TRUE(addSlice(0, "mode=USB active=1 tx=1 RF_frequency=14.100000"));
    mark();
    for (const char* item :
         {"swapVFOsMenuItem", "setVFOBequalsVFOAMenuItem", "setVFOAequalsVFOBMenuItem"}) {
        choose(item);
    }
    EXPECT_EQ(receivedSinceMark(), Strings{});
    EXPECT_EQ(beeps, 3);
}

// Slices 1 and 2 are removed by their numbers; a number whose slice is gone beeps.
TEST_F(SliceMenu, RemovingASliceFindsItByNumber) {
    for (int number : {0, 1, 2}) {
        ASSERT_TRUE(addSlice(number, "mode=USB RF_frequency=14.100000"));
    }
    const struct {
        int number;
        Strings commands;
        int beeps;
    } cases[] = {{2, {"slice remove 2"}, 0}, {1, {"slice remove 1"}, 0}, {3, {}, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        mark();
        beeps = 0;
        actions->removeVFO(c.number);
        EXPECT_EQ(receivedSinceMark(), c.commands);
        EXPECT_EQ(beeps, c.beeps);
    }
}

// "Add Slice" copies the last slice, or asks for the radio's default one; "Add Panadapter" asks
// for a small pan that its view resizes.
TEST_F(SliceMenu, AddingASliceOrAPanadapterAsksTheRadio) {
    ASSERT_TRUE(sim->sendStatus("radio slices=3 panadapters=3"));
    ASSERT_TRUE(test::waitFor([&] { return radio->availableSlices().value_or(0) == 3; }));
    mark();
    menus.vfoAddMenuItem->performAction();
    EXPECT_EQ(receivedSinceMark(), Strings{"slice create"});
    ASSERT_TRUE(addSlice(0, "mode=CW rxant=ANT2 RF_frequency=7.030000"));
    mark();
    menus.vfoAddMenuItem->performAction();
    EXPECT_EQ(receivedSinceMark(), Strings{"slice create freq=7.030000 ant=ANT2 mode=CW"});
    mark();
    menus.panafallAddMenuItem->performAction();
    const Strings sent = receivedSinceMark();
    EXPECT_NE(std::find_if(sent.begin(), sent.end(),
                           [](const std::string& text) {
                               return text.starts_with("display panafall create") &&
                                      text.find("x=100") != std::string::npos &&
                                      text.find("y=100") != std::string::npos;
                           }),
              sent.end())
        << testing::PrintToString(sent);
}

}  // namespace
}  // namespace vm
