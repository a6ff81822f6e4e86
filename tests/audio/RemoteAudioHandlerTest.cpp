// The remote-audio engine against the simulated radio over loopback, on the test sound system:
// Opus and uncompressed receive audio played as the tone that was sent, lost packets, the latency
// cap, and the microphone's tone leaving as 100 Opus packets a second that decode to it again.
#include "audio/RemoteAudio.h"
#include "audio/VMRemoteAudioHandler.h"
#include "support/sim/SimAudio.h"

#include "../platform/audio/AudioTestSupport.h"
#include "AudioSessionSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vm {
namespace {

using test::waitFor;

constexpr std::uint32_t kRxStream = 0x04000009;
constexpr std::uint32_t kTxStream = 0x84000001;
constexpr AudioDeviceID kSpeaker = 1;
constexpr AudioDeviceID kMicrophone = 2;

class RemoteAudioHandlerTest : public ::testing::Test {
protected:
    void setUpDevices(double micRate) {
        scope.backend->setDevices(
            {test::makeDevice(kSpeaker, 0, 2, 48000), test::makeDevice(kMicrophone, 1, 0, micRate)},
            kMicrophone, kSpeaker);
        app->output = AudioDeviceChoice{"Speaker", std::nullopt};
        app->input = AudioDeviceChoice{"Microphone", std::nullopt};
    }
    // The engine with its receive stream adopted.
    void startReceive(const char* compression) {
        handler = VMRemoteAudioHandler::create(session.radio, app);
        ASSERT_TRUE(
            session.sim->waitForCommand("stream create type=remote_audio_rx compression=opus"));
        session.sim->sendStatus(
            fmt::format("stream 0x{:08X} type=remote_audio_rx compression={} ip=127.0.0.1",
                        kRxStream, compression));
        ASSERT_TRUE(waitFor([&] { return handler->playback() && handler->output()->isPlaying(); }));
    }
    // Sends one packet and waits until its audio is in the ring.
    void sendAndWait(const std::function<bool()>& send, std::uint64_t bytes) {
        const auto playback = handler->playback();
        const std::uint64_t before = playback->bytesWritten();
        ASSERT_TRUE(send());
        ASSERT_TRUE(waitFor([&] { return playback->bytesWritten() >= before + bytes; }));
    }
    // `frames` frames of the speaker, left channel.
    std::vector<float> render(std::uint32_t frames) {
        std::vector<std::vector<float>> out;
        EXPECT_TRUE(scope.backend->render(kSpeaker, frames, &out));
        return out.empty() ? std::vector<float>() : out[0];
    }
    double speakerRate() {
        return scope.backend->runningStream(kSpeaker, AudioDirection::Output)->sampleRate;
    }

    test::TestBackendScope scope;
    test::AudioSession session{true};
    std::shared_ptr<test::FakeApplication> app = std::make_shared<test::FakeApplication>();
    std::shared_ptr<VMRemoteAudioHandler> handler;
};

TEST_F(RemoteAudioHandlerTest, OpusToneFromTheRadioPlaysAsThatTone) {
    setUpDevices(48000);
    startReceive("OPUS");
    EXPECT_TRUE(handler->compressedRx());
    sim::SimOpusEncoder encoder;
    const auto packets = encoder.tone(440, 60, 0.5);
    std::vector<float> played;
    for (const auto& packet : packets) {
        sendAndWait([&] { return session.sim->sendOpus(kRxStream, packet); }, 960);
        const auto slice = render(std::uint32_t(speakerRate() / 100));
        played.insert(played.end(), slice.begin(), slice.end());
    }
    const std::vector<float> steady(played.begin() + std::ptrdiff_t(played.size() / 3),
                                    played.end());
    EXPECT_NEAR(sim::toneFrequency(steady, speakerRate()), 440, 2);
    EXPECT_NEAR(sim::rmsLevel(steady), 0.5 / std::sqrt(2.0), 0.05);
    EXPECT_EQ(handler->overRuns(), 0u);
}

TEST_F(RemoteAudioHandlerTest, SkippedPacketCountsAreLostAndTheLatencyCapEmptiesTheRing) {
    setUpDevices(48000);
    startReceive("OPUS");
    sim::SimOpusEncoder encoder;
    const auto packets = encoder.tone(440, 15, 0.5);
    // Counts 0, 1, 2, then 5 (two skipped): one loss, the packet itself still plays.
    for (int i = 0; i < 4; ++i) {
        auto header = sim::streamHeader(sim::kClassOpus, kRxStream, std::uint8_t(i < 3 ? i : 5));
        sendAndWait([&] { return session.sim->sendPacket(header, packets[std::size_t(i)]); }, 960);
    }
    const auto stream = handler->remoteAudioRxStream();
    ASSERT_TRUE(waitFor([&] { return stream->lostPacketCount() == 1; }));

    // Without rendering, the ring passes 125 ms: the next render empties it and plays silence.
    for (std::size_t i = 4; i < packets.size(); ++i) {
        auto header = sim::streamHeader(sim::kClassOpus, kRxStream, std::uint8_t(i + 2));
        sendAndWait([&] { return session.sim->sendPacket(header, packets[i]); }, 960);
    }
    EXPECT_GE(handler->playback()->fillCount(), RemoteAudioPlayback::kLatencyCap);
    const auto slice = render(480);
    EXPECT_EQ(handler->playback()->fillCount(), 0);
    EXPECT_EQ(sim::rmsLevel(slice), 0);
    EXPECT_EQ(handler->overRuns(), 0u);
}

TEST_F(RemoteAudioHandlerTest, UncompressedReceiveAudioPlaysTheSameWay) {
    setUpDevices(48000);
    startReceive("none");
    EXPECT_FALSE(handler->compressedRx());
    std::vector<float> played;
    for (std::size_t p = 0; p < 60; ++p) {
        const auto payload = sim::bigEndianFloats(sim::stereoTone(440, 48000, 480, 0.5, p * 480));
        sendAndWait([&] { return session.sim->sendDax(kRxStream, payload); }, 3840);
        const auto slice = render(std::uint32_t(speakerRate() / 100));
        played.insert(played.end(), slice.begin(), slice.end());
    }
    const std::vector<float> steady(played.begin() + std::ptrdiff_t(played.size() / 3),
                                    played.end());
    EXPECT_NEAR(sim::toneFrequency(steady, speakerRate()), 440, 2);
    EXPECT_NEAR(sim::rmsLevel(steady), 0.5 / std::sqrt(2.0), 0.05);
}

// The playback on its own: the render waits until the ring holds its request and the 10 ms
// cushion, then plays; running short plays what there is, counts one under-run and waits again.
TEST_F(RemoteAudioHandlerTest, PlaybackWaitsForItsCushionAndAgainAfterRunningShort) {
    const auto playback = RemoteAudioPlayback::create(true);
    ASSERT_TRUE(playback);
    const auto output = AudioOutput::output();
    constexpr std::uint32_t kPacket = 960;  // 10 ms at 24000 Hz, 2 x 16 bits: also the cushion
    char next = 1;
    const auto write = [&] {
        const std::vector<char> packet(kPacket, next++);
        playback->write(packet.data(), kPacket);
    };
    // What one render of `bytes` bytes plays.
    const auto render = [&](std::uint32_t bytes) {
        std::vector<char> data(bytes, 99);
        AudioBufferList list{1, {AudioBuffer{2, bytes, data.data()}}};
        EXPECT_EQ(0, playback->outputShouldFillAudioBufferList(*output, &list, bytes / 4, {}));
        EXPECT_EQ(bytes, list.mBuffers[0].mDataByteSize);
        return data;
    };
    write();
    EXPECT_EQ(render(kPacket), std::vector<char>(kPacket, 0)) << "request and cushion not there";
    write();
    EXPECT_EQ(render(kPacket), std::vector<char>(kPacket, 1));
    write();
    EXPECT_EQ(render(kPacket), std::vector<char>(kPacket, 2));
    EXPECT_EQ(render(kPacket), std::vector<char>(kPacket, 3)) << "the cushion plays";
    EXPECT_EQ(playback->underRuns(), 0u);

    write();
    std::vector<char> expected(kPacket, 4);
    expected.resize(2 * kPacket, 0);
    EXPECT_EQ(render(2 * kPacket), expected) << "what there is, then silence";
    EXPECT_EQ(playback->underRuns(), 1u);
    write();
    EXPECT_EQ(render(kPacket), std::vector<char>(kPacket, 0)) << "waiting for the cushion again";
    write();
    EXPECT_EQ(render(kPacket), std::vector<char>(kPacket, 5));
    EXPECT_EQ(playback->underRuns(), 1u);
}

struct MicCase {
    const char* name;
    double rate;
};
void PrintTo(const MicCase& c, std::ostream* os) { *os << c.name; }

class MicrophoneTransmit : public RemoteAudioHandlerTest,
                           public ::testing::WithParamInterface<MicCase> {};

TEST_P(MicrophoneTransmit, ToneLeavesAsOneHundredPacketsASecondThatDecodeToIt) {
    const double rate = GetParam().rate;
    setUpDevices(rate);
    handler = VMRemoteAudioHandler::create(session.radio, app);
    ASSERT_TRUE(session.sim->waitForCommand("stream create type=remote_audio_tx"));
    session.sim->sendStatus(
        fmt::format("stream 0x{:08X} type=remote_audio_tx compression=OPUS", kTxStream));
    ASSERT_TRUE(waitFor([&] { return handler->microphone() && handler->remoteAudioTxStream(); }));
    handler->micAudioOnOff(true);
    const auto slice = std::size_t(rate / 100);
    for (std::size_t i = 0; i < 100; ++i) {
        std::vector<float> mono(slice);
        for (std::size_t f = 0; f < slice; ++f) {
            mono[f] = test::tone(440, rate, i * slice + f);
        }
        ASSERT_TRUE(scope.backend->capture(kMicrophone, {mono}));
        // A sound card delivers a slice every 10 ms; the transmit thread keeps up with that.
        handler->transmitter().waitUntilIdle();
    }
    EXPECT_NEAR(handler->micLevel(), 20 * std::log10(0.5 * 2 / M_PI), 0.5);
    EXPECT_NEAR(handler->micPeakLevel(), 20 * std::log10(0.5), 0.5);

    std::vector<sim::ReceivedPacket> packets;
    ASSERT_TRUE(waitFor([&] {
        packets.clear();
        for (const auto& datagram : session.sim->datagrams()) {
            const auto packet = sim::readStreamPacket(datagram.bytes);
            if (packet && packet->streamId == kTxStream) {
                EXPECT_EQ(datagram.bytes.size(), 28 + packet->payload.size());
                packets.push_back(*packet);
            }
        }
        return packets.size() >= 99;
    }));
    EXPECT_GE(packets.size(), 99u);
    EXPECT_LE(packets.size(), 100u);
    for (std::size_t i = 0; i < packets.size(); ++i) {
        const auto& p = packets[i];
        EXPECT_EQ(p.packetType, 3);
        EXPECT_TRUE(p.classIdPresent);
        EXPECT_FALSE(p.trailerPresent);
        EXPECT_EQ(p.tsi, 3);
        EXPECT_EQ(p.tsf, 1);
        EXPECT_EQ(p.packetCount, i % 16);
        EXPECT_EQ(p.packetSize, 7 + (p.payload.size() + 3) / 4);
        EXPECT_EQ(p.oui, 0x1C2Du);
        EXPECT_EQ(p.informationClassCode, 0x534C);
        EXPECT_EQ(p.packetClassCode, 0x8005);
        EXPECT_EQ(p.timestamps, std::string(12, '\0'));
    }
    const auto pcm = session.sim->transmitAudio(kTxStream);
    std::vector<float> left;
    for (std::size_t i = 2 * 2400; i < pcm.size(); i += 2) {
        left.push_back(float(pcm[i]) / 32768);
    }
    EXPECT_NEAR(sim::toneFrequency(left, 24000), 440, 2);
    EXPECT_NEAR(sim::rmsLevel(left), 0.5 / std::sqrt(2.0), 0.05);
}

INSTANTIATE_TEST_SUITE_P(Rates, MicrophoneTransmit,
                         ::testing::Values(MicCase{"At48000", 48000}, MicCase{"At44100", 44100}),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace vm
