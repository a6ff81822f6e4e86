// The radio's spot lines on a session that does not connect: the fields they set, the older spots
// of a call they replace, removal by index, colours, and a spot list that a drawing pass holds.
#include "display/PanSpotObject.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"

#include "ObjectsTestSupport.h"

#include <gtest/gtest.h>

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vm {
namespace {

class Spots : public ::testing::Test {
protected:
    void SetUp() override {
        radio->radioRunQueue()->sync([&] { radio->parseRadioStream("H2DE0B1A5"); });
    }
    // The line as another client's status: spots are read whoever they are from.
    void line(const std::string& text) {
        radio->radioRunQueue()->sync([&] { radio->parseRadioStream("S12345678|" + text); });
    }
    SpotList spots() const {
        std::lock_guard hold(radio->radio_spots_lock()->mutex);
        return *radio->radio_spots();
    }
    // Each spot's call and index, in list order.
    std::vector<std::pair<std::string, std::int64_t>> calls() const {
        std::vector<std::pair<std::string, std::int64_t>> result;
        for (const auto& spot : spots()) {
            result.emplace_back(spot->combinedCallsign, spot->spotIndex);
        }
        return result;
    }

    std::shared_ptr<Radio> radio = test::detachedRadio();
};

TEST_F(Spots, ALineSetsEveryFieldAndReadsTheIgnoredKeys) {
    test::LogCapture capture;
    line(
        "spot 5 callsign=K1ABC rx_freq=14.025 tx_freq=14.027 mode=CW color=red source=cluster "
        "spotter_callsign=W1AW timestamp=1700000000 lifetime_seconds=300 priority=1 comment=cq "
        "trigger_action=tune background_color=navy");
    ASSERT_EQ(spots().size(), 1u);
    const PanSpotObject& spot = *spots()[0];
    EXPECT_EQ(spot.spotIndex, 5);
    EXPECT_EQ(spot.combinedCallsign, "K1ABC");
    EXPECT_DOUBLE_EQ(spot.megahertz, 14.025);
    EXPECT_DOUBLE_EQ(spot.qsx_megahertz, 14.027);
    EXPECT_EQ(spot.mode, "CW");
    EXPECT_EQ(spot.dxde, "W1AW");
    ASSERT_TRUE(spot.timestamp);
    EXPECT_EQ(*spot.timestamp, Date::fromUnixTime(1700000000));
    EXPECT_EQ(spot.comments, "cq");
    EXPECT_EQ(spot.trigger_action, "tune");
    EXPECT_EQ(spot.background_color, (SpotColor{0, 0, 128 / 255.0, 1}));
    EXPECT_TRUE(capture.lines().empty());

    line("spot 6 callsign=DL1X bogus=1");
    EXPECT_TRUE(capture.contains("Radio:parseSpotToken:Unrecognized token:[bogus]"));
}

TEST_F(Spots, ACallReplacesItsOlderSpotsAndRemovalTakesTheFirstOfItsIndex) {
    line("spot 1 callsign=K1ABC rx_freq=14.025");
    line("spot 2 callsign=DL1X rx_freq=7.010");
    line("spot 3 callsign=K1ABC rx_freq=14.030");
    EXPECT_EQ(calls(), (decltype(calls()){{"DL1X", 2}, {"K1ABC", 3}}));
    EXPECT_DOUBLE_EQ(spots()[1]->megahertz, 14.030);

    line("spot 3 rx_freq=1.8 mode=AM");  // no callsign: no spot to set
    EXPECT_EQ(calls(), (decltype(calls()){{"DL1X", 2}, {"K1ABC", 3}}));
    EXPECT_DOUBLE_EQ(spots()[1]->megahertz, 14.030);

    line("spot 2 callsign=G4Y");
    line("spot 2 removed");
    EXPECT_EQ(calls(), (decltype(calls()){{"K1ABC", 3}, {"G4Y", 2}}));
    line("spot 9 removed");
    EXPECT_EQ(calls(), (decltype(calls()){{"K1ABC", 3}, {"G4Y", 2}}));
}

TEST_F(Spots, BackgroundColoursByNameOrHexadecimal) {
    const std::vector<std::pair<std::string, std::optional<SpotColor>>> cases{
        {"Red", SpotColor{1, 0, 0, 1}},
        {"#00FF00", SpotColor{0, 1, 0, 1}},
        {"#800000FF", SpotColor{0, 0, 1, 128 / 255.0}},
        {"plaid", std::nullopt},
        {"#12345", std::nullopt},
        {"#GG0000", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, colour] : cases) {
        line("spot 1 callsign=K1ABC background_color=" + text);
        ASSERT_EQ(spots().size(), 1u);
        EXPECT_EQ(spots()[0]->background_color, colour) << text;
    }
}

TEST_F(Spots, AListHeldByADrawingPassIsLeftAloneAfterATenthOfASecond) {
    line("spot 1 callsign=K1ABC");
    test::LogCapture capture;
    {
        std::lock_guard drawing(radio->radio_spots_lock()->mutex);
        line("spot 2 callsign=K1ABC rx_freq=14.1");
        line("spot 1 removed");
    }
    EXPECT_EQ(capture.lines(),
              (std::vector<std::string>{
                  "parseSpotToken:failed to lock radio_spots during call_sign_token",
                  "parseSpotToken:failed to lock radio_spots during newPanSpot",
                  "parseSpotToken:failed to lock radio_spots during remove_token"}));
    EXPECT_EQ(calls(), (decltype(calls()){{"K1ABC", 1}}));
}

}  // namespace
}  // namespace vm
