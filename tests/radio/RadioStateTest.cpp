// The radio's observable state: every property observable by name, the values a new session starts
// with, and the announcement rules of the two kinds of writer.
#include "radio/Radio.h"
#include "support/LogCapture.h"

#include "RadioTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace vm {
namespace {

using test::waitFor;

std::shared_ptr<Radio> detachedRadio(const char* model = "DORO-6700") {
    auto instance = std::make_shared<RadioInstance>();
    instance->model = model;
    return Radio::createDetached(instance, {}, "velmoraSDR", 0);
}

TEST(RadioState, EveryPropertyIsObservableByName) {
    const auto radio = detachedRadio();
    const std::vector<std::string> names = radio->propertyNames();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size())
        << "a name is declared twice";
    for (const std::string& name : names) {
        int heard = 0;
        const auto token = radio->addObserver(name, [&](const Change& change) {
            EXPECT_EQ(change.keyPath, name);
            ++heard;
        });
        EXPECT_TRUE(radio->valueForKey(name).has_value()) << name;
        EXPECT_TRUE(radio->announceKey(name)) << name;
        EXPECT_EQ(heard, 1) << name;
        radio->removeObserver(token);
    }
}

TEST(RadioState, NewSessionStartsWithItsTablesAndCollections) {
    const auto radio = detachedRadio();
    EXPECT_EQ(radio->radioConnectionState(), kStateConnecting);
    EXPECT_EQ(radio->tunePowerLevel(), 10);
    EXPECT_EQ(radio->syncActiveSlice(), 1);
    EXPECT_EQ(radio->rfPowerLevel(), std::nullopt);
    EXPECT_EQ(radio->radioName(), std::nullopt);
    EXPECT_EQ(radio->clientHandle(), std::nullopt);
    EXPECT_EQ(radio->apiProgramName(), "velmoraSDR");
    EXPECT_EQ(radio->radioRunQueue()->label(), "com.velmorasoftware.vmsdr.RadioQueue");
    EXPECT_EQ(radio->txAntennaPorts(), (TextList{"ANT1", "ANT2", "XVTR"}));
    radio->slices()->with([](const auto& slots) {
        EXPECT_EQ(slots.size(), 8u);
        EXPECT_TRUE(std::all_of(slots.begin(), slots.end(), [](const auto& s) { return !s; }));
    });
    radio->equalizers()->with([](const auto& slots) { EXPECT_EQ(slots.size(), 2u); });
    EXPECT_TRUE(radio->panafalls()->with([](const auto& m) { return m.empty(); }));
    EXPECT_EQ(radio->radio_spots_lock()->name, "com.velmorasoftware.vmsdr_radio_spots_lock");
    EXPECT_EQ(radio->filters(), &stockFilterTable());
    EXPECT_EQ(radio->statusTokens()->lookup("slice"), kStatusSlice);
    EXPECT_EQ(radio->statusRadioTokens(), &radioStatusTable().tokens());
}

TEST(RadioState, ReceiveAntennasFollowTheModel) {
    const std::pair<const char*, TextList> cases[] = {
        {"DORO-6700", {"ANT1", "ANT2", "RX_A", "RX_B", "XVTR"}},
        {"DORO-6300", {"ANT1", "ANT2", "XVTR"}},
        {"DORO-6500", {"ANT1", "ANT2", "RX_A", "XVTR"}},
        {"", {"ANT1", "ANT2", "RX_A", "XVTR"}},
    };
    for (const auto& [model, antennas] : cases) {
        EXPECT_EQ(detachedRadio(model)->rxAntennaPorts(), antennas) << model;
    }
}

// A value from the radio is stored and announced on the main queue; an observer registered first
// sees the property unset, then each value, once per write even when it repeats.
TEST(RadioState, RadioValuesAreStoredAndAnnouncedOnTheMainQueue) {
    const auto radio = detachedRadio();
    std::vector<Number> heard;
    EXPECT_EQ(radio->rfPowerLevel(), std::nullopt);
    radio->addObserver("rfPowerLevel", [&](const Change& change) {
        EXPECT_TRUE(isMainThread());
        heard.push_back(std::any_cast<Number>(change.newValue));
    });
    std::thread parser([&] {
        radio->storeOnMain(radio->rfPowerLevel, Number(50));
        radio->storeOnMain(radio->rfPowerLevel, Number(50));
    });
    parser.join();
    EXPECT_EQ(radio->rfPowerLevel(), std::nullopt) << "stored before the main queue ran";
    ASSERT_TRUE(waitFor([&] { return heard.size() == 2; }));
    EXPECT_EQ(heard, (std::vector<Number>{50, 50}));
    EXPECT_EQ(radio->rfPowerLevel(), 50);
}

// A command setter announces on the calling thread at once; its command is queued on the session's
// queue (the session tests show it reaching the radio).
TEST(RadioState, CommandSetterAnnouncesOnTheCallingThread) {
    const auto radio = detachedRadio();
    std::vector<Number> heard;
    radio->addObserver("txState", [&](const Change& change) {
        heard.push_back(std::any_cast<Number>(change.newValue));
    });
    radio->setAndSend(radio->txState, Number(1), "xmit 1");
    EXPECT_EQ(heard, (std::vector<Number>{1}));
    EXPECT_EQ(radio->txState(), 1);
}

}  // namespace
}  // namespace vm
