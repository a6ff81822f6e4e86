// The meter displays: the S steps of the scale and the value texts; the heads-up S-meter (the
// average over the last three readings of the active slice's "LEVEL" meter, the bar passed on only
// when it changes), forward power while transmitting and SWR while tuning; the Meters tab's slots,
// the amplifier's meters and the microphone's levels, each only while its tab is shown.
#include "app/shell/MeterDisplays.h"
#include "app/shell/MeterDisplaysHost.h"
#include "app/shell/SMeterScale.h"
#include "app/windows/HudWindow.h"
#include "app/windows/PreferencesWindow.h"
#include "objects/Meter.h"
#include "objects/ObjectsTestSupport.h"
#include "objects/Slice.h"
#include "platform/ui/LevelIndicator.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/TextField.h"
#include "radio/Radio.h"

#include <QDir>
#include <QLabel>
#include <QTabWidget>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

namespace vm {
namespace {

TEST(SMeterScale, StepsIncludeTheirLowerBound) {
    const struct {
        double dbm;
        int step;
        const char* text;
    } cases[] = {{-121.5, 0, "S0"},  {-121, 1, "S1"},    {-73.01, 8, "S8"},    {-73, 9, "S9"},
                 {-63, 10, "S9+33"}, {-57, 11, "S9+36"}, {-17.5, 14, "S9+46"}, {-17, 16, "S9+53"},
                 {-7, 18, "S9+60"},  {20, 18, "S9+60"}};
    for (const auto& c : cases) {
        const SMeterReading reading = sMeterReading(c.dbm);
        EXPECT_EQ(reading.step, c.step) << c.dbm;
        EXPECT_EQ(reading.text, c.text) << c.dbm;
    }
}

TEST(SMeterScale, ValuesWithAFractionShowTwoDecimals) {
    EXPECT_EQ(meterValueText("", "FWDPWR", 10.0, "dBm"), "FWDPWR 10 (dBm)");
    EXPECT_EQ(meterValueText("", "FWDPWR", 10.25, "dBm"), "FWDPWR 10.25 (dBm)");
    EXPECT_EQ(meterValueText("B:", "LEVEL", -73.5, "dBm"), "B:LEVEL -73.50 (dBm)");
    EXPECT_EQ(meterValueText("", "PATEMP", -0.0, "degC"), "PATEMP 0 (degC)");
}

TEST(SMeterScale, BarsOverTheMetersRange) {
    EXPECT_EQ(meterBar(5.0, 1.0, 5.0), 32);
    EXPECT_EQ(meterBar(7.0, 1.0, 5.0), 48) << "past the top overfills";
    EXPECT_EQ(meterBar(3.0, 1.0, 1.0), 0) << "an empty range";
}

struct Host : MeterDisplaysHost {
    std::shared_ptr<Radio> radio = test::detachedRadio();
    std::shared_ptr<Slice> active;
    bool transmitting = false, tuning = false, remoteAudio = false;
    int visibleTab = -1;
    std::optional<MicLevels> micLevels;
    std::vector<int> bars;

    std::shared_ptr<Radio> openedRadio() const override { return radio; }
    std::shared_ptr<Slice> activeVFO() const override { return active; }
    bool inTransmit() const override { return transmitting; }
    bool tuneInProgress() const override { return tuning; }
    bool prefsPanelVisible(int tab) const override { return tab == visibleTab; }
    bool remoteAudioOn() const override { return remoteAudio; }
    std::optional<MicLevels> remoteMicLevels() const override { return micLevels; }
    void sMeterBarChanged(int bar) override { bars.push_back(bar); }
};

class MeterDisplaysTest : public ::testing::Test {
protected:
    // A meter of the open radio, filed by number and by short name as the session files it.
    std::shared_ptr<Meter> addMeter(const std::string& name, int source, float value, float low = 0,
                                    float high = 100, int sliceNum = 0) {
        auto meter = std::make_shared<Meter>();
        meter->shortName.store(name);
        meter->meterSource.store(source);
        meter->sliceNum.store(sliceNum);
        meter->low.store(low);
        meter->high.store(high);
        meter->value.store(value);
        meter->unitsLabel.store("dBm");
        meter->meterSourceString.store("RAD");
        meter->meterDescription.store(name + " reading");
        const std::string number = std::to_string(++meterCount_);
        host->radio->meters()->with([&](auto& byNumber) { byNumber[number] = meter; });
        host->radio->metersByShortName()->with([&](auto& byName) { byName[name] = meter; });
        return meter;
    }
    template <class Control>
    Control& control(const QString& name) {
        auto* found = prefs.findChild<Control*>(name);
        if (!found) {
            throw std::runtime_error("no control " + name.toStdString());
        }
        return *found;
    }
    QString slotText(int slot) {
        return control<QLabel>(QStringLiteral("meter_%1_Label").arg(slot)).text();
    }
    LevelIndicator& slotBar(int slot) {
        return control<LevelIndicator>(QStringLiteral("meter_%1").arg(slot));
    }

    HudWindow hud;
    PreferencesWindow prefs;
    std::shared_ptr<Host> host = std::make_shared<Host>();
    std::shared_ptr<MeterDisplays> meters = MeterDisplays::create(hud, prefs, host);

private:
    int meterCount_ = 0;
};

class HudSMeter : public MeterDisplaysTest {
protected:
    void SetUp() override {
        level->shortName.store("LEVEL");
        host->active = Slice::create(test::detachedRadio(), 0);
        host->active->addMeter(level);
    }
    void read(float dbm) {
        level->value.store(dbm);
        meters->hudSMeter();
    }

    std::shared_ptr<Meter> level = std::make_shared<Meter>();
};

TEST_F(HudSMeter, AveragesTheLastThreeReadingsAndPassesOnlyNewBars) {
    read(-73);
    EXPECT_EQ(hud.s_meter_text->text(), "S9");
    EXPECT_EQ(hud.s_meter_level_indicator->doubleValue(), 16);
    EXPECT_EQ(hud.s_meter_level_indicator->toolTip(), "-73.0 dBm");
    read(-73);
    read(-43);  // average -63
    EXPECT_EQ(hud.s_meter_text->text(), "S9+33");
    read(-43);  // -73 dropped: average -53
    EXPECT_EQ(meters->sMeterValues(), (std::vector<double>{-73, -43, -43}));
    EXPECT_EQ(hud.s_meter_text->text(), "S9+36");
    EXPECT_EQ(host->bars, (std::vector<int>{16, 18, 20}));

    hud.resize(320, 80);
    hud.show();
    const QString dir = QStringLiteral(VM_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    EXPECT_TRUE(hud.grab().save(dir + QStringLiteral("/hud_s_meter.png")));
}

TEST_F(HudSMeter, NothingWithoutAnActiveSliceOrItsLevelMeter) {
    const QString shown = hud.s_meter_text->text();
    const auto active = host->active;
    host->active = nullptr;
    read(-50);
    host->active = active;
    active->removeMeter(level);
    meters->hudSMeter();
    EXPECT_TRUE(meters->sMeterValues().empty());
    EXPECT_TRUE(host->bars.empty());
    EXPECT_EQ(hud.s_meter_text->text(), shown);
}

TEST_F(HudSMeter, ShowsSwrWhileTuningAndForwardPowerWhileTransmitting) {
    addMeter("SWR", kMeterSourceTransmit, 5.0f, 1.0f, 999.0f);
    addMeter("FWDPWR", kMeterSourceTransmit, 40.0f, 0.0f, 60.0f);
    level->value.store(-73);

    host->tuning = true;
    host->transmitting = true;  // a tune transmits too: the SWR wins
    meters->meterTimer();
    EXPECT_EQ(hud.s_meter_text->text(), "5.00");
    EXPECT_EQ(hud.s_meter_level_indicator->doubleValue(), 32) << "5:1 fills the bar";
    EXPECT_EQ(hud.s_meter_level_indicator->toolTip(), "SWR 5.00");

    host->tuning = false;
    meters->meterTimer();
    EXPECT_EQ(hud.s_meter_text->text(), "40 dBm");
    EXPECT_EQ(hud.s_meter_level_indicator->doubleValue(), 21);
    EXPECT_EQ(hud.s_meter_level_indicator->toolTip(), "10.0 Watts");
    EXPECT_TRUE(meters->sMeterValues().empty()) << "no S-meter reading while transmitting";

    host->transmitting = false;
    meters->meterTimer();
    EXPECT_EQ(hud.s_meter_text->text(), "S9");
    EXPECT_EQ(host->bars, (std::vector<int>{16}));

    // Without its meter the heads-up display keeps what it showed.
    host->radio->metersByShortName()->with([](auto& byName) { byName.clear(); });
    host->transmitting = true;
    meters->meterTimer();
    EXPECT_EQ(hud.s_meter_text->text(), "S9");
}

TEST_F(MeterDisplaysTest, TheMetersTabFillsItsSlotsWithTheChosenSourceByShortName) {
    // 30 slice meters whose names sort in another order than their numbers, two of slice 1.
    for (int i = 29; i >= 0; --i) {
        addMeter(fmt::format("M{:02}", i), kMeterSourceSlice, 10.25f, 0, 100, i < 2 ? 1 : 0);
    }
    addMeter("AAA", kMeterSourceRadio, 50.0f);  // another source
    addMeter("AAB", kMeterSourceSlice, 0.0f);   // at its low: not shown
    addMeter("SWR", kMeterSourceSlice, 3.0f, 1.0f, 999.0f);
    control<PopUpButton>(QStringLiteral("meterPanelPopUp")).selectItemAtIndex(2);  // slice

    meters->prefsMeters();
    EXPECT_EQ(slotText(1), "B:M00 10.25 (dBm)");
    EXPECT_EQ(slotText(3), "A:M02 10.25 (dBm)");
    EXPECT_EQ(slotBar(3).doubleValue(), 3);
    EXPECT_EQ(slotBar(3).toolTip(), "RAD: M02 reading");
    EXPECT_EQ(slotText(28), "A:M27 10.25 (dBm)") << "the first 28 by short name";
    EXPECT_FALSE(slotBar(28).isHidden());

    // The radio source: one meter, the other 27 slots emptied and hidden.
    control<PopUpButton>(QStringLiteral("meterPanelPopUp")).selectItemAtIndex(3);
    meters->prefsMeters();
    EXPECT_EQ(slotText(1), "AAA 50 (dBm)");
    EXPECT_EQ(slotBar(1).doubleValue(), 16);
    for (const int slot : {2, 28}) {
        EXPECT_EQ(slotText(slot), "") << slot;
        EXPECT_TRUE(slotBar(slot).isHidden()) << slot;
    }

    // SWR's bar ends at 5:1 whatever its high.
    control<PopUpButton>(QStringLiteral("meterPanelPopUp")).selectItemAtIndex(2);
    host->radio->meters()->with([](auto& byNumber) {
        std::erase_if(byNumber,
                      [](const auto& entry) { return entry.second->shortName() != "SWR"; });
    });
    meters->prefsMeters();
    EXPECT_EQ(slotText(1), "A:SWR 3 (dBm)");
    EXPECT_EQ(slotBar(1).doubleValue(), 16);

    // Slot numbers outside 1 to 28 are ignored.
    meters->loadMeterDisplayNumber(0, nullptr);
    meters->loadMeterDisplayNumber(29, nullptr);
}

TEST_F(MeterDisplaysTest, TheTimerFillsOnlyThePanelOfTheShownTab) {
    addMeter("FWD", kMeterSourceAmp, 500.0f, 0, 1000);
    addMeter("TEMP", kMeterSourceAmp, 40.0f, 0, 80);
    addMeter("MIC", kMeterSourceTransmit, -20.0f, -150, 20);
    addMeter("MICPEAK", kMeterSourceTransmit, -6.0f, -150, 20);
    auto& ampBar = control<LevelIndicator>(QStringLiteral("amp_meter_1"));
    auto& micText = control<TextField>(QStringLiteral("micLevelText"));

    meters->meterTimer();  // no panel shown
    EXPECT_TRUE(ampBar.isHidden());
    EXPECT_EQ(micText.stringValue(), "");

    host->visibleTab = 10;  // Amplifier
    meters->meterTimer();
    EXPECT_FALSE(ampBar.isHidden());
    EXPECT_EQ(ampBar.doubleValue(), 16);
    EXPECT_EQ(ampBar.toolTip(), "Forward power");
    EXPECT_EQ(control<QLabel>(QStringLiteral("amp_meter_label_1")).text(), "FWD 500 (dBm)");
    EXPECT_TRUE(control<LevelIndicator>(QStringLiteral("amp_meter_3")).isHidden())
        << "no current drain meter";
    EXPECT_EQ(control<QLabel>(QStringLiteral("amp_meter_label_4")).text(), "TEMP 40 (dBm)");
    EXPECT_EQ(micText.stringValue(), "");

    host->visibleTab = 4;  // Audio: the radio's microphone meters
    meters->meterTimer();
    EXPECT_EQ(micText.stringValue(), "-20 dBfs");
    EXPECT_EQ(control<LevelIndicator>(QStringLiteral("micLevelIndicator")).doubleValue(), -20);
    EXPECT_EQ(control<TextField>(QStringLiteral("micPeakLevelText")).stringValue(), "-6 dBfs");

    // With remote audio on, the engine's levels; none while the engine does not run.
    host->remoteAudio = true;
    meters->meterTimer();
    EXPECT_EQ(micText.stringValue(), "-20 dBfs");
    host->micLevels = MeterDisplaysHost::MicLevels{-33.4, -12.6};
    meters->meterTimer();
    EXPECT_EQ(micText.stringValue(), "-33 dBfs");
    EXPECT_EQ(control<TextField>(QStringLiteral("micPeakLevelText")).stringValue(), "-13 dBfs");
}

}  // namespace
}  // namespace vm
