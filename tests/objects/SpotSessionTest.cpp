// The radio's spots against the simulated radio on loopback: the spot commands go out as written,
// and the spot lines the radio answers them with fill and empty the session's spot list.
#include "attach/RadioObjects.h"
#include "display/PanSpotObject.h"
#include "support/sim/SimRadio.h"

#include "ObjectsTestSupport.h"
#include "radio/SimSessionFixture.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

namespace vm {
namespace {

class SpotSession : public test::SimSessionFixture {
protected:
    void SetUp() override {
        attach = attachRadioObjects;
        SimSessionFixture::SetUp();
        sim->answerObjectCommands();
    }
    // Each spot's call, index and frequency, in list order.
    std::vector<std::tuple<std::string, std::int64_t, double>> spots() const {
        std::lock_guard hold(radio->radio_spots_lock()->mutex);
        std::vector<std::tuple<std::string, std::int64_t, double>> result;
        for (const auto& spot : *radio->radio_spots()) {
            result.emplace_back(spot->combinedCallsign, spot->spotIndex, spot->megahertz);
        }
        return result;
    }
    bool waitForSpots(const std::vector<std::tuple<std::string, std::int64_t, double>>& expected) {
        return test::waitFor([&] { return spots() == expected; });
    }
};

TEST_F(SpotSession, TheRadiosSpotLinesAddReplaceAndRemoveSpots) {
    radio->spotCommand("add callsign=K1ABC rx_freq=14.025 mode=CW spotter_callsign=W1AW");
    ASSERT_TRUE(waitForSpots({{"K1ABC", 0, 14.025}}));
    {
        std::lock_guard hold(radio->radio_spots_lock()->mutex);
        const PanSpotObject& spot = *radio->radio_spots()->front();
        EXPECT_EQ(spot.mode, "CW");
        EXPECT_EQ(spot.dxde, "W1AW");
    }

    radio->spotCommand("add callsign=DL1X rx_freq=7.01");
    radio->spotCommand("add callsign=K1ABC rx_freq=14.03");
    EXPECT_TRUE(waitForSpots({{"DL1X", 1, 7.01}, {"K1ABC", 2, 14.03}}));

    radio->spotCommand("remove 1");
    EXPECT_TRUE(waitForSpots({{"K1ABC", 2, 14.03}}));
    EXPECT_EQ(received(),
              (std::vector<std::string>{
                  "spot add callsign=K1ABC rx_freq=14.025 mode=CW spotter_callsign=W1AW",
                  "spot add callsign=DL1X rx_freq=7.01", "spot add callsign=K1ABC rx_freq=14.03",
                  "spot remove 1"}));
}

}  // namespace
}  // namespace vm
