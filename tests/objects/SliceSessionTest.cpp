// Slices and meters against the simulated radio on loopback: a slice made, updated and dropped by
// the radio's status lines, its meters, and the exact commands its setters send.
#include "attach/RadioObjects.h"
#include "objects/Meter.h"
#include "objects/Slice.h"
#include "platform/core/DispatchClock.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimLines.h"
#include "support/sim/SimRadio.h"

#include "ObjectsTestSupport.h"
#include "radio/SimSessionFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <functional>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::KeyRecorder;
using test::NotificationRecorder;

class SliceSession : public ::testing::Test {
protected:
    void SetUp() override {
        sim = sim::SimRadio::start();
        ASSERT_TRUE(sim);
        auto instance = std::make_shared<RadioInstance>();
        instance->name = "SimRadio";
        radio = Radio::create(instance, "127.0.0.1", sim->commandPort(), delegate, "velmoraSDR", 0,
                              attachRadioObjects);
        ASSERT_TRUE(radio);
        ASSERT_TRUE(test::waitFor([&] { return delegate->saw(kStateConnected); }));
        ASSERT_TRUE(sim->waitForSessions(1));
        ASSERT_TRUE(test::waitFor([&] { return radio->apiHandle().has_value(); }));
    }
    void TearDown() override {
        if (radio) {
            radio->close();
        }
        test::mainQueueBarrier();
    }
    std::shared_ptr<Slice> slot(std::size_t n) const {
        return radio->slices()->with([&](const auto& slots) { return slots[n]; });
    }
    std::shared_ptr<Slice> sliceFromRadio(int n, const std::string& pairs) {
        EXPECT_TRUE(sim->sendStatus(sim::sliceStatus(n, pairs)));
        EXPECT_TRUE(test::waitFor([&] { return slot(static_cast<std::size_t>(n)) != nullptr; }));
        return slot(static_cast<std::size_t>(n));
    }
    // What the session sent for slices, in order.
    std::vector<std::string> sliceCommands() const {
        std::vector<std::string> out;
        for (const std::string& text : sim->commandTexts()) {
            if (text.starts_with("slice ") || text.starts_with("filt ") ||
                text.starts_with("audio client 0 slice ")) {
                out.push_back(text);
            }
        }
        return out;
    }
    bool waitForSliceCommands(std::size_t count) {
        return test::waitFor([&] { return sliceCommands().size() >= count; });
    }

    std::unique_ptr<sim::SimRadio> sim;
    std::shared_ptr<test::StateRecorder> delegate = std::make_shared<test::StateRecorder>();
    std::shared_ptr<Radio> radio;
};

TEST_F(SliceSession, TheRadioMakesFeedsAndDropsASlice) {
    NotificationRecorder notes({"SliceCreated", "SliceDeleted"});
    ASSERT_TRUE(sim->sendStatus(
        sim::meterStatus({.number = 12, .sliceNum = 0, .name = "LEVEL", .unit = "dBm"})));
    const auto slice = sliceFromRadio(
        0, "in_use=1 RF_frequency=14.074000 mode=USB filter_lo=100 filter_hi=2900 rxant=ANT1");
    ASSERT_TRUE(slice);
    EXPECT_EQ(slice->sliceFrequency(), "14.074000");
    EXPECT_EQ(slice->sliceMode(), "USB");
    EXPECT_EQ(slice->sliceFilterLo(), 100);
    EXPECT_EQ(slice->sliceFilterHi(), 2900);
    EXPECT_EQ(slice->sliceRxAnt(), "ANT1");

    DispatchClock::advance(100ms);
    ASSERT_TRUE(test::waitFor([&] { return !notes.seen().empty(); }));
    EXPECT_EQ(notes.names(), std::vector<std::string>{"SliceCreated"});
    EXPECT_EQ(notes.seen()[0].object, slice);

    // Later lines are read on the slice's queue and announced on the main queue, in line order.
    // (The first line's announcement, due 1 ms after it was read, fell due with "SliceCreated" in
    // the clock's jump and may still reach the recorder first.)
    KeyRecorder recorder(*slice);
    ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(0, "mode=LSB filter_lo=-2900 filter_hi=-100")));
    const std::vector<std::string> later{"sliceMode", "sliceFilterLo", "sliceFilterHi"};
    ASSERT_TRUE(test::waitFor([&] {
        const auto keys = recorder.keys();
        return keys.size() >= 3 && std::equal(later.rbegin(), later.rend(), keys.rbegin());
    }));
    auto keys = recorder.keys();
    keys.resize(keys.size() - later.size());
    const std::vector<std::string> firstLine{"sliceInUse",    "sliceFrequency", "sliceMode",
                                             "sliceFilterLo", "sliceFilterHi",  "sliceRxAnt"};
    EXPECT_TRUE(keys.empty() || keys == firstLine)
        << "announced besides the later line: " << fmt::format("{}", fmt::join(keys, ","));
    EXPECT_TRUE(recorder.allOnMain());
    EXPECT_EQ(slice->sliceMode(), "LSB");
    EXPECT_EQ(slice->formatSliceFilterBandwidth(), "2.8 KHz");

    // The slice's meter, defined before the slice, reads the radio's meter packets in dBm.
    const auto level = slice->meters()->with([](const auto& byName) { return byName.at("LEVEL"); });
    EXPECT_EQ(level, radio->meters()->with([](const auto& byNumber) { return byNumber.at("12"); }));
    ASSERT_TRUE(test::waitFor([&] { return sim->sendMeters({{12, -12800}}); }));
    EXPECT_TRUE(test::waitFor([&] { return level->value() == -100.0f; }));

    ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(0, "in_use=0")));
    ASSERT_TRUE(test::waitFor([&] { return notes.seen().size() == 2; }));
    EXPECT_EQ(notes.names(), (std::vector<std::string>{"SliceCreated", "SliceDeleted"}));
    EXPECT_EQ(notes.seen()[1].object, slice);
    EXPECT_FALSE(slot(0));
}

TEST_F(SliceSession, SettersSendTheirCommandsInOrder) {
    const auto slice = sliceFromRadio(0, "in_use=1 filter_lo=100 filter_hi=2800");
    ASSERT_TRUE(slice);
    const std::vector<std::pair<std::function<void(Slice&)>, std::vector<std::string>>> table{
        {[](Slice& s) { s.setSliceFrequency("14.225000"); }, {"slice tune 0 14.225000"}},
        {[](Slice& s) { s.setSliceFrequency("7.074000", 1); }, {"slice tune 0 7.074000 autopan=1"}},
        {[](Slice& s) { s.setSliceMode("CW"); }, {"slice set 0 mode=CW"}},
        {[](Slice& s) { s.setSliceFilterLo(200); }, {"filt 0 200 2800"}},
        {[](Slice& s) { s.setSliceFilterHi(3000); }, {"filt 0 200 3000"}},
        {[](Slice& s) { s.setSliceAgcMode("Fast"); }, {"slice set 0 agc_mode=fast"}},
        {[](Slice& s) { s.setSliceAgcThreshold(65); }, {"slice set 0 agc_threshold=65"}},
        {[](Slice& s) { s.setSliceAgcOffLevel(10); }, {"slice set 0 agc_off_level=10"}},
        {[](Slice& s) { s.setSliceRxAnt("ANT2"); }, {"slice set 0 rxant=ANT2"}},
        {[](Slice& s) { s.setSliceTxAnt("XVTR"); }, {"slice set 0 txant=XVTR"}},
        {[](Slice& s) { s.setSliceRitEnabled(true); }, {"slice set 0 rit_on=1"}},
        {[](Slice& s) { s.setSliceRitOffset(-50); }, {"slice set 0 rit_freq=-50"}},
        {[](Slice& s) { s.setSliceXitEnabled(false); }, {"slice set 0 xit_on=0"}},
        {[](Slice& s) { s.setSliceXitOffset(12); }, {"slice set 0 xit_freq=12"}},
        {[](Slice& s) { s.setSliceDax(2); }, {"slice set 0 dax=2"}},
        {[](Slice& s) { s.setSliceDaxTxEnabled(true); }, {"slice set 0 dax_tx=1"}},
        {[](Slice& s) { s.setSliceAudioLevel(40); }, {"audio client 0 slice 0 gain 40"}},
        {[](Slice& s) { s.setSlicePanControl(50); }, {"audio client 0 slice 0 pan 50"}},
        {[](Slice& s) { s.setSliceMuteEnabled(true); }, {"audio client 0 slice 0 mute 1"}},
        {[](Slice& s) { s.setSliceNbEnabled(true); }, {"slice set 0 nb=1"}},
        {[](Slice& s) { s.setSliceNbLevel(50); }, {"slice set 0 nb_level=50"}},
        {[](Slice& s) { s.setSliceWnbEnabled(false); }, {"slice set 0 wnb=0"}},
        {[](Slice& s) { s.setSliceWnbLevel(20); }, {"slice set 0 wnb_level=20"}},
        {[](Slice& s) { s.setSliceNrEnabled(1); }, {"slice set 0 nr=1"}},
        {[](Slice& s) { s.setSliceNrLevel(30); }, {"slice set 0 nr_level=30"}},
        {[](Slice& s) { s.setSliceNr2Enabled(0); }, {"slice set 0 nr2=0"}},
        {[](Slice& s) { s.setSliceAnfEnabled(1); }, {"slice set 0 anf=1"}},
        {[](Slice& s) { s.setSliceAnfLevel(40); }, {"slice set 0 anf_level=40"}},
        {[](Slice& s) { s.setSliceApfLevel(50); }, {"slice set 0 apf=0 apf_level=50"}},
        {[](Slice& s) { s.setSliceApfEnabled(1); }, {"slice set 0 apf=1"}},
        {[](Slice& s) { s.setSliceApfLevel(60); }, {"slice set 0 apf=1 apf_level=60"}},
        {[](Slice& s) { s.setSliceLocked(true); }, {"slice lock 0"}},
        {[](Slice& s) { s.setSliceFrequency("14.226000"); }, {"slice tune 0 14.226000"}},
        {[](Slice& s) { s.setSliceLocked(false); }, {"slice unlock 0"}},
        {[](Slice& s) { s.setSliceActive(false); }, {}},
        {[](Slice& s) { s.setSliceActive(true); }, {"slice set 0 active=1"}},
        {[](Slice& s) { s.setSliceActive(true); }, {}},
        {[](Slice& s) { s.setSliceTxEnabled(true); }, {"slice set 0 tx=1"}},
        {[](Slice& s) { s.setSlicePlaybackEnabled(true); }, {"slice set 0 play=1"}},
        {[](Slice& s) { s.setSliceRecordEnabled(false); }, {"slice set 0 record=0"}},
        {[](Slice& s) { s.setSliceDiversityEnabled(true); }, {"slice set 0 diversity=1"}},
        {[](Slice& s) { s.setSquelchEnabled(true); }, {"slice set 0 squelch=1"}},
        {[](Slice& s) { s.setSquelchLevel(20); }, {"slice set 0 squelch_level=20"}},
        {[](Slice& s) { s.setFmToneMode("CTCSS_TX"); }, {"slice set 0 fm_tone_mode=CTCSS_TX"}},
        {[](Slice& s) { s.setFmToneFreq(88.5f); }, {"slice set 0 fm_tone_value=88.5"}},
        {[](Slice& s) { s.setFmRepeaterOffset(0.6f); },
         {"slice set 0 fm_repeater_offset_freq=0.600"}},
        {[](Slice& s) { s.setTxOffsetFreq(-0.6f); }, {"slice set 0 tx_offset_freq=-0.600000"}},
        {[](Slice& s) { s.setRepeaterOffsetDir("UP"); }, {"slice set 0 repeater_offset_dir=UP"}},
        {[](Slice& s) { s.setFmToneBurstEnabled(true); }, {"slice set 0 fm_tone_burst=1"}},
        {[](Slice& s) { s.setFmDeviation(5000); }, {"slice set 0 fm_deviation=5000"}},
        {[](Slice& s) { s.setFmPreDeEmphasis(true); }, {"slice set 0 dfm_pre_de_emphasis=1"}},
        {[](Slice& s) { s.setPostDemodLo(100); }, {"slice set 0 post_demod_low=100"}},
        {[](Slice& s) { s.setPostDemodHi(3000); }, {"slice set 0 post_demod_high=3000"}},
        {[](Slice& s) { s.setPostDemodBypassEnabled(false); }, {"slice set 0 post_demod_bypass=0"}},
        {[](Slice& s) { s.setRttyMark(2125); }, {"slice set 0 rtty_mark=2125"}},
        {[](Slice& s) { s.setRttyShift(170); }, {"slice set 0 rtty_shift=170"}},
        {[](Slice& s) { s.setDiglOffset(2210); }, {"slice set 0 digl_offset=2210"}},
        {[](Slice& s) { s.setDiguOffset(1500); }, {"slice set 0 digu_offset=1500"}},
        {[](Slice& s) { s.setRfGain(10); }, {"slice set 0 rfgain=10"}},
        {[](Slice& s) { s.setDetached(0); }, {"slice set 0 detached=0"}},
        // Texts go through the command-text cleaning.
        {[](Slice& s) { s.setSliceRxAnt("ANT\"1\r\nx"); }, {"slice set 0 rxant=ANT'1 x"}},
        {[](Slice& s) { s.setSliceFrequency(std::string("14.0\n0\0", 7)); },
         {"slice tune 0 14.0 0"}},
    };
    KeyRecorder recorder(*slice);
    std::vector<std::string> expected;
    for (const auto& [call, commands] : table) {
        call(*slice);
        expected.insert(expected.end(), commands.begin(), commands.end());
    }
    // Radios with the newer interface take the audio level as a slice setting.
    auto instance = std::make_shared<RadioInstance>(*radio->radioInstance());
    instance->supportsV3_API = true;
    radio->radioInstance.store(instance);
    slice->setSliceAudioLevel(60);
    expected.push_back("slice set 0 audio_level=60");

    ASSERT_TRUE(waitForSliceCommands(expected.size()));
    slice->sliceRunQueue()->sync([] {});
    test::commandBarrier(*radio, *sim);
    EXPECT_EQ(sliceCommands(), expected);
    // Setters store and announce at once; choosing the active slice again announces nothing.
    EXPECT_EQ(recorder.count("sliceAgcMode"), 1u);
    EXPECT_EQ(recorder.count("sliceActive"), 1u);
    EXPECT_EQ(slice->sliceAgcMode(), "Fast");
    EXPECT_EQ(slice->sliceFilterLo(), 200);
    EXPECT_EQ(slice->fmRepeaterOffset(), 0.6f);
    EXPECT_EQ(slice->sliceActive(), true);
    EXPECT_EQ(slice->sliceAudioLevel(), 60);
}

TEST_F(SliceSession, SliceRequestsNeedAFreeSlice) {
    radio->cmdNewSlice();
    radio->availableSlices.store(0);
    radio->cmdNewSlice("14.074000", "ANT1", "USB");
    radio->cmdRemoveSlice(3);
    radio->availableSlices.store(2);
    radio->cmdNewSlice();
    radio->cmdNewSlice("14.074000", "ANT1", "USB");
    radio->cmdNewSlice("7.074000", "ANT2", "DIGU", "40000000");
    ASSERT_TRUE(waitForSliceCommands(4));
    test::commandBarrier(*radio, *sim);
    EXPECT_EQ(sliceCommands(), (std::vector<std::string>{
                                   "slice remove 3",
                                   "slice create",
                                   "slice create freq=14.074000 ant=ANT1 mode=USB",
                                   "slice create pan=0x40000000 freq=7.074000 ant=ANT2 mode=DIGU",
                               }));
}

// A setter's command waits on the slice's queue; a slice released meanwhile sends nothing.
TEST(SliceCommands, ASliceReleasedBeforeItsCommandLeavesSendsNothing) {
    test::LogCapture capture;
    const auto radio = test::detachedRadio(2);
    auto slice = Slice::create(radio, 0);
    const auto queue = slice->sliceRunQueue();
    std::mutex mutex;
    std::condition_variable cv;
    bool release = false;
    queue->async([&] {
        std::unique_lock lock(mutex);
        cv.wait(lock, [&] { return release; });
    });
    slice->setSliceMode("AM");
    EXPECT_EQ(slice->sliceMode(), "AM");
    slice.reset();
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    cv.notify_all();
    queue->sync([] {});
    EXPECT_FALSE(capture.contains("Radio:->"));

    // The same with the slice kept: the command leaves.
    const auto kept = Slice::create(radio, 0);
    kept->setSliceMode("AM");
    kept->sliceRunQueue()->sync([] {});
    EXPECT_TRUE(capture.contains("|slice set 0 mode=AM"));
}

}  // namespace
}  // namespace vm
