// The main window's mode, frequency and split controls against the simulated radio: what the
// operator does in them against the commands the radio receives.
#include "SlicePanelFixture.h"

#include "app/memory/BandStacks.h"
#include "app/panels/SliceMenuActions.h"
#include "app/panels/TuningController.h"
#include "app/panels/TuningHost.h"
#include "app/windows/HudWindow.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/MainMenus.h"
#include "app/windows/SplitWindow.h"
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
    std::string focusedPanBand() const override { return hudBand; }
    int panafallCount() const override { return pans; }
    std::shared_ptr<Panafall> panForFrequency(double) const override { return nullptr; }
    bool radioSessionUp() const override { return slices_.radio != nullptr; }
    void editBandStack(const std::string& band) override { edited.push_back(band); }
    void fineTuneHz(double hz, const std::shared_ptr<Slice>& slice) override {
        fineTunes.push_back({hz, slice ? slice->thisSliceNumber() : -1});
    }
    double getFrequencyKeyModifier() const override { return 100; }
    bool remoteAudioOn() const override { return remoteOn; }
    std::optional<double> remoteAudioVolume() const override { return remoteVolume; }
    void setRemoteAudioVolume(double volume) override { remoteVolume = volume; }
    std::optional<double> radioSpeakerVolume() const override { return speaker; }
    void setRadioSpeakerVolume(int volume) override {
        slices_.radio->setMasterSpeakerAfGain(volume);
    }
    std::optional<double> radioHeadsetVolume() const override { return headset; }
    void setRadioHeadsetVolume(int volume) override {
        slices_.radio->setMasterHeadsetAfGain(volume);
    }

    std::vector<int> needed;
    BandStacks stacks;
    Strings notices;
    std::string hudBand;
    int pans = 0;
    Strings edited;
    std::vector<std::pair<double, int>> fineTunes;
    bool remoteOn = false;
    std::optional<double> remoteVolume, speaker, headset;

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
    SplitWindow splitWindow;
    HudWindow hud;
    std::shared_ptr<SessionTuningHost> tuningHost = std::make_shared<SessionTuningHost>(*host);
    std::shared_ptr<TuningController> room =
        TuningController::create(controls, tuningHost, &splitWindow, &hud);
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

// The steppers count clicks (each goes back to 0), the heads-up buttons switch the active
// slice's RIT and XIT, and the split window applies what was typed only on OK.
TEST_F(TuningActions, SteppersHeadsUpButtonsAndTheSplitWindowSendTheirCommands) {
    ASSERT_TRUE(addSlice(0, "mode=USB active=1 tx=1 rit_on=0 xit_on=0 RF_frequency=14.100000"));
    ASSERT_TRUE(addSlice(1, "mode=USB active=0 tx=0 RF_frequency=7.100000"));
    const struct {
        const char* name;
        std::function<void()> act;
        Strings commands;  // sorted
    } cases[] = {
        {"RIT on", [&] { hud.hudRitButton->sendAction(); }, {"slice set 0 rit_on=1"}},
        {"RIT off puts the offset back to 0",
         [&] { hud.hudRitButton->sendAction(); },
         {"slice set 0 rit_freq=0", "slice set 0 rit_on=0"}},
        {"XIT on", [&] { hud.hudXitButton->sendAction(); }, {"slice set 0 xit_on=1"}},
        {"volume down on both outputs, the headset kept at 0",
         [&] {
             tuningHost->speaker = 100;
             tuningHost->headset = 0;
             controls.volumeStepper->stepBy(-1);
         },
         {"mixer headphone gain 0", "mixer lineout gain 99"}},
        {"volume up kept at 100, the headset switched off",
         [&] {
             tuningHost->headset.reset();
             controls.volumeStepper->stepBy(1);
         },
         {"mixer lineout gain 100"}},
        {"volume of remote audio",
         [&] {
             tuningHost->remoteOn = true;
             tuningHost->remoteVolume = 99.5;
             controls.volumeStepper->stepBy(1);
         },
         {}},
        {"split window shown for Other",
         [&] {
             controls.split_popup->selectItemAtIndex(7);
             emit controls.split_popup->action();
             EXPECT_TRUE(splitWindow.isVisible());
         },
         {}},
        {"split window cancelled",
         [&] {
             splitWindow.splitkHzTextField->setStringValue("4");
             splitWindow.cancelButton->click();
         },
         {}},
        {"split window OK",
         [&] {
             splitWindow.show();
             splitWindow.splitkHzTextField->setStringValue("2.5");
             splitWindow.okButton->click();
         },
         {"slice set 0 tx=0", "slice set 1 tx=1", "slice tune 1 14.1025"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        mark();
        c.act();
        EXPECT_EQ(receivedSorted(), c.commands);
        EXPECT_EQ(controls.volumeStepper->doubleValue(), 0);
    }
    EXPECT_EQ(tuningHost->remoteVolume, 100.0);
    EXPECT_FALSE(splitWindow.isVisible());

    // The frequency steppers tune the active and the alternate slice by the click's step.
    controls.vfoSteppir->stepBy(1);
    controls.vfoAltSteppir->stepBy(-1);
    settle();
    EXPECT_EQ(tuningHost->fineTunes,
              (std::vector<std::pair<double, int>>{{100.0, 0}, {-100.0, 1}}));
    EXPECT_EQ(controls.vfoSteppir->doubleValue(), 0);
}

// The slice pop-up lists the slices by title and makes the chosen one active and transmitting;
// the band button of the band in use is lit, whichever button was clicked.
TEST_F(TuningActions, TheSlicePopUpAndTheBandButtonsFollowTheSlices) {
    ASSERT_TRUE(addSlice(0, "index_letter=A mode=USB active=1 tx=1 RF_frequency=14.100000"));
    ASSERT_TRUE(addSlice(1, "index_letter=B mode=USB active=0 tx=0 RF_frequency=7.100000"));
    room->loadSliceTitles();
    ASSERT_EQ(controls.vfo_number->numberOfItems(), 2);
    EXPECT_EQ(controls.vfo_number->title(), "A");
    mark();
    controls.vfo_number->selectItemWithTitle("B");
    emit controls.vfo_number->action();
    EXPECT_EQ(receivedSinceMark(), (Strings{"slice set 1 active=1", "slice set 1 tx=1"}));

    const auto lit = [&] {
        std::vector<int> on;
        for (std::size_t i = 0; i < controls.bandButtons.size(); ++i) {
            if (controls.bandButtons[i]->isChecked()) {
                on.push_back(int(i));
            }
        }
        return on;
    };
    room->adjustBandButtons("40");
    EXPECT_EQ(lit(), std::vector<int>{3});
    controls.bandButtons[0]->click();  // 160 m has no stack entry: the band stays 40 m
    controls.bandButtons[3]->click();
    EXPECT_EQ(lit(), std::vector<int>{3});
    room->adjustBandButtons("");
    EXPECT_EQ(lit(), std::vector<int>{3}) << "no band: as they were";
    room->adjustBandButtons("X2");
    EXPECT_EQ(lit(), std::vector<int>{}) << "a transverter band lights none";
}

// The split pop-up follows the alternate slice's offset while it transmits, to the hertz.
TEST_F(TuningActions, TheSplitPopUpShowsTheAlternateSlicesOffset) {
    const auto a = addSlice(0, "mode=USB active=1 tx=1 RF_frequency=14.100000");
    const auto b = addSlice(1, "mode=USB active=0 tx=0 RF_frequency=14.101000");
    ASSERT_TRUE(a && b);
    const struct {
        bool transmits;  // slice B
        const char* frequency;
        int selected;
        const char* other;  // the title of the last item
    } cases[] = {
        {false, "14.101000", 0, "Other"}, {true, "14.101000", 1, "Other"},
        {true, "14.115000", 6, "Other"},  {true, "14.102500", 7, "2.5 kHz"},
        {true, "14.097000", 7, "-3 kHz"}, {true, "15.600000", 7, "Other"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frequency);
        ASSERT_TRUE(
            report(1, fmt::format("tx={} RF_frequency={}", int(c.transmits), c.frequency), [&] {
                return b->sliceTxEnabled() == std::optional(c.transmits) &&
                       b->sliceFrequency() == std::optional<std::string>(c.frequency);
            }));
        room->adjustSplitControls();
        EXPECT_EQ(controls.split_popup->indexOfSelectedItem(), c.selected);
        EXPECT_EQ(controls.split_popup->itemText(7).toStdString(), c.other);
    }
    // Opened, the last item offers another split again.
    ASSERT_TRUE(report(1, "RF_frequency=14.102500", [&] {
        return b->sliceFrequency() == std::optional<std::string>("14.102500");
    }));
    room->adjustSplitControls();
    ASSERT_EQ(controls.split_popup->itemText(7).toStdString(), "2.5 kHz");
    controls.split_popup->showPopup();
    controls.split_popup->hidePopup();
    EXPECT_EQ(controls.split_popup->itemText(7).toStdString(), "Other");
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

// The slice sub-menus carry the slices' numbers: each item acts on its own slice, in the slice
// menu and in its contextual copy alike; the mode menus go to the panels of the slices listed.
TEST_F(SliceMenu, TheSliceSubMenusActOnTheirSlicesByNumber) {
    ASSERT_TRUE(addSlice(0, "mode=USB mode_list=USB,CW active=1 lock=0 RF_frequency=14.100000"));
    ASSERT_TRUE(addSlice(2, "mode=CW mode_list=USB,CW active=0 RF_frequency=7.030000"));
    auto keptB = std::make_unique<Menu>("kept");
    Menu* const panelB = keptB.get();
    menus.contextModeSubMenuItems[1]->setSubmenu(std::move(keptB));
    actions->loadSlicePopup();

    const auto item = [](MenuItem* holder, int number) {
        MenuItem* found = holder->submenu()->itemWithTag(number);
        EXPECT_TRUE(found) << holder->objectName().toStdString() << " " << number;
        return found;
    };
    const auto tags = [](MenuItem* holder) {
        std::vector<int> numbers;
        for (int i = 0; i < holder->submenu()->numberOfItems(); ++i) {
            numbers.push_back(holder->submenu()->itemAtIndex(i)->tag());
        }
        return numbers;
    };
    EXPECT_EQ(tags(menus.vfoRemoveMenuItem), (std::vector<int>{0, 2}));
    EXPECT_EQ(tags(menus.removeSliceContextMenu), (std::vector<int>{0, 2}));
    EXPECT_EQ(menus.contextModeSubMenuItems[1]->submenu(), panelB) << "no slice B: kept";
    ASSERT_TRUE(menus.contextModeSubMenuItems[2]->submenu());
    EXPECT_FALSE(menus.contextModeSubMenuItems[2]->submenu()->itemAtIndex(0)->state());
    EXPECT_TRUE(menus.contextModeSubMenuItems[2]->submenu()->itemAtIndex(1)->state()) << "CW";

    const struct {
        const char* name;
        MenuItem* chosen;
        Strings commands;
    } cases[] = {
        {"remove C", item(menus.vfoRemoveMenuItem, 2), {"slice remove 2"}},
        {"remove A from the copy", item(menus.removeSliceContextMenu, 0), {"slice remove 0"}},
        {"make C active", item(menus.activeContextMenu, 2), {"slice set 2 active=1"}},
        {"make C transmit", item(menus.transmitShortcutsMenu, 2), {"slice set 2 tx=1"}},
        {"lock A", item(menus.lockedShortcutsMenu, 0), {"slice lock 0"}},
        {"unlock A", item(menus.lockedContextMenu, 0), {"slice unlock 0"}},
        {"mode of A",
         menus.contextModeSubMenuItems[0]->submenu()->itemAtIndex(1),
         {"slice set 0 mode=CW"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.chosen);
        mark();
        c.chosen->performAction();
        EXPECT_EQ(receivedSinceMark(), c.commands);
    }
    EXPECT_EQ(beeps, 0);

    // The copy is a menu of its own: a mark set in one is not in the other.
    item(menus.activeShortcutsMenu, 0)->setState(true);
    EXPECT_FALSE(item(menus.activeContextMenu, 0)->state());
}

// The slice menu offers what the slices allow, and marks each slice's flags.
TEST_F(SliceMenu, ItemsAreEnabledAndMarkedForTheSlicesThere) {
    ASSERT_TRUE(addSlice(0, "mode=USB active=1 tx=1 lock=1 RF_frequency=14.100000"));
    ASSERT_TRUE(addSlice(2, "mode=USB active=0 tx=0 lock=0 RF_frequency=7.100000"));
    ASSERT_TRUE(sim->sendStatus("radio slices=0 panadapters=3"));
    ASSERT_TRUE(test::waitFor([&] { return radio->availablePanadapters().value_or(0) == 3; }));
    actions->loadSlicePopup();
    actions->adjustVFOMenu();
    Menu& menu = *menus.shortcutsMenu;
    for (int index : {6, 7, 8}) {
        EXPECT_FALSE(menu.itemAtIndex(index)->isEnabled()) << index << ": no slice B";
    }
    for (int index : {14, 15, 16}) {
        EXPECT_TRUE(menu.itemAtIndex(index)->isEnabled()) << index;
    }
    EXPECT_FALSE(menus.vfoAddMenuItem->isEnabled()) << "no room for a slice";
    EXPECT_FALSE(menu.itemAtIndex(4)->isEnabled()) << "no pan under the heads-up display";
    for (MenuItem* holder : {menus.activeShortcutsMenu, menus.activeContextMenu,
                             menus.lockedShortcutsMenu, menus.transmitContextMenu}) {
        EXPECT_TRUE(holder->submenu()->itemWithTag(0)->state())
            << holder->objectName().toStdString();
        EXPECT_FALSE(holder->submenu()->itemWithTag(2)->state());
    }

    tuningHost->hudBand = "20";
    ASSERT_TRUE(sim->sendStatus("radio slices=2"));
    ASSERT_TRUE(test::waitFor([&] { return radio->availableSlices().value_or(0) == 2; }));
    emit menu.aboutToShow();  // the menu brings itself up to date as it opens
    EXPECT_TRUE(menus.vfoAddMenuItem->isEnabled());
    EXPECT_EQ(menu.itemAtIndex(4)->title(), "Center 20M Panadapter over");
    EXPECT_TRUE(menu.itemAtIndex(4)->isEnabled());

    const struct {
        int shown;
        bool add, remove;
    } pans[] = {{0, true, false}, {3, true, true}, {4, false, true}};
    for (const auto& p : pans) {
        SCOPED_TRACE(p.shown);
        tuningHost->pans = p.shown;
        actions->adjustPanafallMenu();
        EXPECT_EQ(menus.panafallAddMenuItem->isEnabled(), p.add);
        EXPECT_EQ(menus.panafallRemoveMenuItem->isEnabled(), p.remove);
    }
}

}  // namespace
}  // namespace vm
