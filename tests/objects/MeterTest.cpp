// A meter's definition from its status text, and its readings scaled to its unit.
#include "objects/Meter.h"
#include "support/LogCapture.h"

#include "ObjectsTestSupport.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using test::LogCapture;

std::shared_ptr<Meter> meterFrom(const std::string& text,
                                 const std::shared_ptr<Radio>& radio = test::detachedRadio()) {
    auto meter = std::make_shared<Meter>();
    Scanner scan(text);
    meter->setupMeter(radio, scan);
    return meter;
}

TEST(MeterDefinition, ReadsEveryField) {
    const auto meter = meterFrom(
        "1.src=SLC#1.num=0#1.nam=LEVEL#1.low=-150.0#1.hi=20.0#1.desc=Signal "
        "strength#1.unit=dBm#1.fps=10#\n"
        "2.nam=NEXT#");
    EXPECT_EQ(meter->meter(), 1);
    EXPECT_EQ(meter->meterSource(), kMeterSourceSlice);
    EXPECT_EQ(meter->meterSourceString(), "Slice");
    EXPECT_EQ(meter->sliceNum(), 0);
    EXPECT_EQ(meter->shortName(), "LEVEL");
    EXPECT_EQ(meter->low(), -150.0f);
    EXPECT_EQ(meter->high(), 20.0f);
    EXPECT_EQ(meter->meterDescription(), "Signal strength");
    EXPECT_EQ(meter->units(), kMeterUnitsDbm);
    EXPECT_EQ(meter->unitsLabel(), "dBm");
    EXPECT_EQ(meter->fps(), 10);
}

TEST(MeterDefinition, SourcesAndUnits) {
    const struct {
        const char* src;
        int source;
        const char* name;
    } sources[] = {{"COD-", 1, "Codec"}, {"TX-", 2, "Transmit"}, {"SLC", 3, "Slice"},
                   {"RAD", 4, "Radio"},  {"AMP", 5, "Amp"},      {"slc", 0, "null"},
                   {"", 0, "null"}};
    for (const auto& s : sources) {
        const auto meter = meterFrom(fmt::format("4.src={}#", s.src));
        EXPECT_EQ(meter->meterSource(), s.source) << s.src;
        EXPECT_EQ(meter->meterSourceString(), s.name) << s.src;
    }
    const std::pair<const char*, int> units[] = {
        {"Volts", 1}, {"Amps", 2}, {"dB", 3},     {"dBFS", 4},     {"dBm", 5}, {"degF", 7},
        {"degC", 8},  {"SWR", 9},  {"Watts", 10}, {"Percent", 11}, {"RPM", 0}, {"dbm", 0}};
    for (const auto& [label, code] : units) {
        const auto meter = meterFrom(fmt::format("4.unit={}#", label));
        EXPECT_EQ(meter->units(), code) << label;
        EXPECT_EQ(meter->unitsLabel(), label);
    }
}

TEST(MeterDefinition, RecordsThatDoNotFit) {
    LogCapture capture;
    // "num" before "src" is ignored; an unfinished last record is lost; the last record's number
    // wins.
    const auto early = meterFrom("3.num=2#3.src=SLC#9.nam=LAST#3.fps=20");
    EXPECT_EQ(early->sliceNum(), 0);
    EXPECT_EQ(early->meter(), 9);
    EXPECT_EQ(early->shortName(), "LAST");
    EXPECT_EQ(early->fps(), 0);
    EXPECT_TRUE(test::loggedLines(capture).empty());

    // Records without "=" or without "." before it are logged and skipped; so are unknown keys and
    // unknown sources.
    const auto odd = meterFrom("garbage#5nam=X#5.src=FOO#5.zzz=1#5.nam=OK=really#");
    EXPECT_EQ(odd->shortName(), "OK");
    EXPECT_EQ(odd->meter(), 5);
    EXPECT_EQ(test::loggedLines(capture), (std::vector<std::string>{
                                              "Unrecognized KV pair in meter - garbage",
                                              "Unrecognized KV pair in meter - 5nam=X",
                                              "Unknown meter source in setupMeter (src=FOO)",
                                              "Unrecognized KV pair in meter - 5.zzz=1",
                                          }));
    EXPECT_EQ(meterFrom("no records at all")->meter(), 0);
}

TEST(MeterReading, ScaledByUnit) {
    const struct {
        const char* unit;
        double pversion;
        int raw;
        float value;
    } cases[] = {
        {"dBm", 0, -12800, -100.0f}, {"dB", 0, 256, 2.0f},        {"dBFS", 0, -1280, -10.0f},
        {"SWR", 0, 192, 1.5f},       {"degC", 0, 2560, 40.0f},    {"degF", 0, 6400, 100.0f},
        {"Volts", 2.0, 3328, 13.0f}, {"Volts", 3.1, 3328, 13.0f}, {"Volts", 1.0, 3328, 3.25f},
        {"Volts", 0, 3328, 3.25f},   {"Amps", 2.0, 512, 2.0f},    {"Percent", 0, 55, 55.0f},
        {"Watts", 0, 55, 55.0f},     {"RPM", 0, -7, -7.0f},       {"dBm", 0, 32767, 255.9921875f},
    };
    LogCapture capture;
    for (const auto& c : cases) {
        const auto radio = test::detachedRadio(0, c.pversion);
        const auto meter = meterFrom(fmt::format("1.unit={}#", c.unit), radio);
        std::vector<float> announced;
        meter->addObserver("value", [&](const Change& change) {
            announced.push_back(std::any_cast<float>(change.newValue));
        });
        meter->updateMeter(c.raw);
        EXPECT_EQ(meter->value(), c.value) << c.unit << " " << c.raw;
        EXPECT_EQ(announced, std::vector<float>{c.value});
    }
    EXPECT_TRUE(test::loggedLines(capture).empty());
}

// A meter whose session is gone reads its voltage with the older scale.
TEST(MeterReading, WithoutItsRadio) {
    auto radio = test::detachedRadio(0, 2.0);
    const auto meter = meterFrom("1.unit=Volts#", radio);
    radio.reset();
    meter->updateMeter(1024);
    EXPECT_EQ(meter->value(), 1.0f);
}

}  // namespace
}  // namespace vm
