// The remote-audio engine through the real PortAudio backend, on a JACK server with its dummy
// driver (no sound card): receive audio reaching the render callback, and the microphone path.
// The sending here follows the engine rather than the clock, so what is checked holds however
// busy the machine is; the latency from packet to sample is measured by bench_remote_audio_jack.
#include "audio/RemoteAudio.h"

#include "JackAudioSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace vm {
namespace {

using test::kJackRxStream;
using test::kJackTxStream;
using test::waitFor;

class JackAudio : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.start()) << rig.error; }
    void TearDown() override { rig.stop(); }

    test::JackAudioRig rig;
};

TEST_F(JackAudio, EveryBurstSentIsPlayedOnceThroughTheDevice) {
    ASSERT_TRUE(rig.startReceiving());
    const auto probe = std::make_shared<test::BurstProbe>();
    rig.handler->output()->setDelegate(std::weak_ptr<AudioOutputDelegate>(probe));

    // 2 s of 10 ms packets with a tone every 300 ms. The next packet leaves once the one before
    // is in the ring and the ring holds less than 30 ms, so the ring never reaches its latency
    // cap, however late the sender or the render thread runs.
    constexpr int kPackets = 200;
    constexpr int kBurstEvery = 30;
    constexpr std::int32_t kPacketBytes = sim::kOpusFrames * 4;
    const auto packets = test::burstPackets(kPackets, kBurstEvery);
    const auto playback = rig.handler->playback();
    for (int p = 0; p < kPackets; ++p) {
        ASSERT_TRUE(waitFor([&] {
            return playback->bytesWritten() >= std::uint64_t(p) * kPacketBytes &&
                   playback->fillCount() < 3 * kPacketBytes;
        }));
        ASSERT_TRUE(rig.session->sim->sendOpus(kJackRxStream, packets[std::size_t(p)]));
    }
    const std::size_t bursts = (kPackets + kBurstEvery - 1) / kBurstEvery;
    ASSERT_TRUE(waitFor([&] { return probe->count.load() >= bursts; }))
        << probe->count.load() << " of " << bursts << " bursts heard";
    ASSERT_TRUE(waitFor([&] {
        return playback->bytesWritten() == std::uint64_t(kPackets) * kPacketBytes &&
               playback->fillCount() == 0;
    }));
    EXPECT_EQ(probe->count.load(), bursts) << "each burst is heard once";
    EXPECT_EQ(rig.handler->overRuns(), 0u);
}

TEST_F(JackAudio, MicrophoneLeavesAsOpusPacketsOfTenMilliseconds) {
    rig.handler = VMRemoteAudioHandler::create(rig.session->radio, rig.app);
    ASSERT_TRUE(rig.session->sim->waitForCommand("stream create type=remote_audio_tx"));
    rig.session->sim->sendStatus(
        fmt::format("stream 0x{:08X} type=remote_audio_tx compression=OPUS", kJackTxStream));
    ASSERT_TRUE(
        waitFor([&] { return rig.handler->microphone() && rig.handler->remoteAudioTxStream(); }));
    rig.handler->micAudioOnOff(true);
    ASSERT_TRUE(waitFor([&] { return test::microphonePackets(*rig.session->sim) >= 50; }));
    rig.handler->micAudioOnOff(false);
    // The dummy driver captures silence, and silence decodes back: 240 frames a packet.
    EXPECT_EQ(rig.handler->micLevel(), -300);
    const auto pcm = rig.session->sim->transmitAudio(kJackTxStream);
    ASSERT_GE(pcm.size(), std::size_t(50 * sim::kOpusFrames * 2));
    EXPECT_EQ(pcm.size() % (sim::kOpusFrames * 2), 0u);
    EXPECT_LT(*std::max_element(pcm.begin(), pcm.end()), 100);
}

}  // namespace
}  // namespace vm
