// The heads-up S-meter: the S steps of the scale, the average over the last three readings of the
// active slice's "LEVEL" meter, the bar passed on only when it changes, and a picture of the HUD
// with a live reading.
#include "app/shell/MeterDisplays.h"
#include "app/shell/MeterDisplaysHost.h"
#include "app/shell/SMeterScale.h"
#include "app/windows/HudWindow.h"
#include "objects/Meter.h"
#include "objects/ObjectsTestSupport.h"
#include "objects/Slice.h"
#include "platform/ui/LevelIndicator.h"

#include <QDir>
#include <QLabel>

#include <gtest/gtest.h>

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

TEST(SMeterScale, BarsOverTheMetersRange) {
    EXPECT_EQ(meterBar(5.0, 1.0, 5.0), 32);
    EXPECT_EQ(meterBar(7.0, 1.0, 5.0), 48) << "past the top overfills";
    EXPECT_EQ(meterBar(3.0, 1.0, 1.0), 0) << "an empty range";
}

struct Host : MeterDisplaysHost {
    std::shared_ptr<Slice> active;
    std::vector<int> bars;
    std::shared_ptr<Slice> activeVFO() const override { return active; }
    void sMeterBarChanged(int bar) override { bars.push_back(bar); }
};

class HudSMeter : public ::testing::Test {
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

    HudWindow hud;
    std::shared_ptr<Host> host = std::make_shared<Host>();
    std::shared_ptr<Meter> level = std::make_shared<Meter>();
    std::shared_ptr<MeterDisplays> meters = MeterDisplays::create(hud, host);
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

}  // namespace
}  // namespace vm
