// The equalizers on a session without a connection: the status table, the two forms of the band
// values, announcements only for changed values, and the session's "eq" routing.
#include "objects/Equalizer.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/StatusTableWalk.h"

#include "ObjectsTestSupport.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using test::KeyRecorder;
using test::LogCapture;

class EqualizerStatus : public ::testing::Test {
protected:
    // A later line of the equalizer, from its type word: stored and announced on the main queue.
    void parse(const std::string& text) {
        Scanner scan(text);
        equalizer->statusParserSelfStatus(scan, true);
        EXPECT_TRUE(scan.isAtEnd());
        test::mainQueueBarrier();
    }
    // The session's "eq" line, parsed on its queue, and what it queued on the main queue.
    void apply(const std::string& text) {
        radio->radioRunQueue()->sync([&] { radio->parseRadioStream("S1|eq " + text); });
        test::queueBarrier(radio->radioRunQueue());
        for (const auto& slot : slots()) {
            if (slot) {
                test::queueBarrier(slot->eqRunQueue());
            }
        }
    }
    std::array<std::shared_ptr<Equalizer>, kEqualizerSlots> slots() const {
        return radio->equalizers()->with([](const auto& s) { return s; });
    }
    static std::vector<std::int64_t> gains(const Equalizer& eq) {
        std::vector<std::int64_t> out;
        for (const Integer& gain : eq.eqBandValues()) {
            out.push_back(gain.value_or(-99));
        }
        return out;
    }

    std::shared_ptr<Radio> radio = test::detachedRadio();
    std::shared_ptr<Equalizer> equalizer = Equalizer::create("rx", radio);
};

TEST(EqualizerStatusTable, EveryKeyReachesItsProperty) {
    const auto radio = test::detachedRadio();
    test::walkStatusTable<Equalizer>(Equalizer::statusTable(),
                                     [&] { return Equalizer::create("tx", radio); });
}

TEST_F(EqualizerStatus, ANewEqualizerIsOffWithFlatBandsAndItsLabels) {
    EXPECT_EQ(equalizer->eqType(), "rx");
    EXPECT_EQ(equalizer->eqEnabled(), false);
    EXPECT_EQ(gains(*equalizer), (std::vector<std::int64_t>(8, 0)));
    EXPECT_STREQ(Equalizer::bandCmdName()[4], "1000Hz");
    EXPECT_STREQ(Equalizer::eqBandNames()[4], "1 KHz");
}

TEST_F(EqualizerStatus, GainsAreReadInBothFormsAndOnlyChangesAreAnnounced) {
    KeyRecorder recorder(*equalizer);
    parse("rxsc mode=1 63Hz=-3 125Hz=0 250Hz=2 500Hz=0 1000Hz=0 2000Hz=0 4000Hz=0 8000Hz=10");
    EXPECT_EQ(equalizer->eqEnabled(), true);
    EXPECT_EQ(gains(*equalizer), (std::vector<std::int64_t>{-3, 0, 2, 0, 0, 0, 0, 10}));
    EXPECT_EQ(recorder.keys(), (std::vector<std::string>{"eqEnabled", "eqBand0Value",
                                                         "eqBand2Value", "eqBand7Value"}));
    EXPECT_TRUE(recorder.allOnMain());

    // Without "sc" anywhere in the line each value is the gain plus 10.
    parse("rx mode=1 63Hz=7 125Hz=10 250Hz=15");
    EXPECT_EQ(gains(*equalizer), (std::vector<std::int64_t>{-3, 0, 5, 0, 0, 0, 0, 10}));
    EXPECT_EQ(recorder.count("eqBand2Value"), 2u);
    EXPECT_EQ(recorder.keys().size(), 5u);

    LogCapture capture;
    parse("rxsc foo=bar 500Hz=4 rx=1");
    EXPECT_EQ(equalizer->eqBand3Value(), 4);
    EXPECT_EQ(
        test::loggedLines(capture),
        (std::vector<std::string>{"Equalicer:statusParser:Unrecognized token:[foo] stringVal:[bar]",
                                  "Equalicer:statusParser:Unrecognized token:[rx] stringVal:[1]"}));
}

// The comparison with the stored value is made when the value is stored, so two lines read before
// the main queue runs cannot lose the second value.
TEST_F(EqualizerStatus, ALaterLineReadBeforeTheFirstIsStoredStillWins) {
    Scanner first("rxsc 63Hz=5");
    Scanner second("rxsc 63Hz=0");
    equalizer->statusParserSelfStatus(first, true);
    equalizer->statusParserSelfStatus(second, true);
    test::mainQueueBarrier();
    EXPECT_EQ(equalizer->eqBand0Value(), 0);
}

TEST_F(EqualizerStatus, TheSessionMakesEachSideOnItsFirstLine) {
    LogCapture capture;
    std::vector<bool> heard;  // main thread only
    const auto token =
        radio->addObserver("equalizers", [&](const Change&) { heard.push_back(isMainThread()); });
    apply("rxsc mode=1 63Hz=-3 8000Hz=10");
    const auto rx = slots()[0];
    ASSERT_TRUE(rx);
    EXPECT_FALSE(slots()[1]);
    EXPECT_EQ(rx->eqType(), "rx");
    EXPECT_EQ(rx->eqEnabled(), true);
    EXPECT_EQ(rx->eqBand7Value(), 10);
    EXPECT_EQ(heard, std::vector<bool>{true});

    // Later lines go to the same equalizer; a transmit line never touches the receive one.
    apply("rxsc 63Hz=4");
    apply("txsc mode=0 250Hz=6");
    apply("apf mode=1 63Hz=9");
    apply("rx apf_gain=3");
    radio->removeObserver(token);
    EXPECT_EQ(slots()[0], rx);
    EXPECT_EQ(rx->eqBand0Value(), 4);
    EXPECT_EQ(rx->eqBand2Value(), 0);
    ASSERT_TRUE(slots()[1]);
    EXPECT_EQ(slots()[1]->eqType(), "tx");
    EXPECT_EQ(slots()[1]->eqBand2Value(), 6);
    EXPECT_EQ(heard, (std::vector<bool>{true, true}));
    EXPECT_EQ(test::loggedLines(capture),
              (std::vector<std::string>{"parseEqToken:first parse for  rx",
                                        "parseEqToken:first parse for  tx", "parseEqToken:apf",
                                        "parseEqToken:apf"}));
}

TEST_F(EqualizerStatus, AnEqualizerDoesNotKeepItsSessionAlive) {
    apply("txsc mode=1");
    const auto tx = slots()[1];
    ASSERT_TRUE(tx);
    const std::weak_ptr<Radio> session = radio;
    radio.reset();
    equalizer.reset();
    EXPECT_TRUE(session.expired());
    EXPECT_FALSE(tx->radio());
    tx->setEqEnabled(false);  // nothing to send through
    test::queueBarrier(tx->eqRunQueue());
}

}  // namespace
}  // namespace vm
