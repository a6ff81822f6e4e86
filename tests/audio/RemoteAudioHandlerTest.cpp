// The remote-audio engine against the simulated radio over loopback, on the test sound system:
// Opus and uncompressed receive audio played as the tone that was sent, lost packets, the latency
// cap, a receive stream replaced while it plays, and the microphone's tone leaving as 100 Opus
// packets a second that decode to it again, also across a change of microphone.
#include "audio/RemoteAudio.h"
#include "audio/VMRemoteAudioHandler.h"
#include "support/sim/SimAudio.h"

#include "../platform/audio/AudioTestSupport.h"
#include "AudioSessionSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

namespace vm {
namespace {

using test::waitFor;

constexpr std::uint32_t kRxStream = 0x04000009;
constexpr std::uint32_t kNextRxStream = 0x0400000A;
constexpr std::uint32_t kTxStream = 0x84000001;
constexpr AudioDeviceID kSpeaker = 1;
constexpr AudioDeviceID kMicrophone = 2;
constexpr AudioDeviceID kHeadset = 3;  // a stereo microphone at 44100 Hz

class RemoteAudioHandlerTest : public ::testing::Test {
protected:
    void setUpDevices(double micRate) {
        scope.backend->setDevices(
            {test::makeDevice(kSpeaker, 0, 2, 48000), test::makeDevice(kMicrophone, 1, 0, micRate),
             test::makeDevice(kHeadset, 2, 0, 44100)},
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
    // 60 packets of a 440 Hz tone on an uncompressed receive stream, each rendered as it arrives:
    // the steady part of what the speaker played.
    std::vector<float> playUncompressedTone(std::uint32_t stream) {
        std::vector<float> played;
        for (std::size_t p = 0; p < 60; ++p) {
            const auto payload =
                sim::bigEndianFloats(sim::stereoTone(440, 48000, 480, 0.5, p * 480));
            sendAndWait([&] { return session.sim->sendDax(stream, payload); }, 3840);
            const auto slice = render(std::uint32_t(speakerRate() / 100));
            played.insert(played.end(), slice.begin(), slice.end());
        }
        return {played.begin() + std::ptrdiff_t(played.size() / 3), played.end()};
    }

    // The engine with its transmit stream adopted and the microphone capturing.
    void startTransmit() {
        handler = VMRemoteAudioHandler::create(session.radio, app);
        test::startTransmitStream(session, *handler, kTxStream);
    }
    // `slices` 10 ms slices of a tone on every channel of the microphone. A sound card delivers
    // a slice every 10 ms; the transmit thread keeps up with that.
    void captureTone(AudioDeviceID microphone, double rate, std::size_t channels, double frequency,
                     std::size_t slices) {
        const auto slice = std::size_t(rate / 100);
        for (std::size_t i = 0; i < slices; ++i) {
            std::vector<float> mono(slice);
            for (std::size_t f = 0; f < slice; ++f) {
                mono[f] = test::tone(frequency, rate, i * slice + f);
            }
            ASSERT_TRUE(scope.backend->capture(microphone, std::vector(channels, mono)));
            handler->transmitter().waitUntilIdle();
        }
    }
    // The transmit packets the radio has received once there are `atLeast`, each checked for
    // the header of an Opus transmit packet and numbered in turn.
    std::vector<sim::ReceivedPacket> wellFormedTransmitPackets(std::size_t atLeast) {
        std::vector<sim::ReceivedPacket> packets;
        EXPECT_TRUE(waitFor([&] {
            packets.clear();
            for (const auto& datagram : session.sim->datagrams()) {
                const auto packet = sim::readStreamPacket(datagram.bytes);
                if (packet && packet->streamId == kTxStream) {
                    EXPECT_EQ(datagram.bytes.size(), 28 + packet->payload.size());
                    packets.push_back(*packet);
                }
            }
            return packets.size() >= atLeast;
        }));
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
        return packets;
    }
    // The left channel of the transmit audio the radio decoded, from frame `from` on.
    std::vector<float> transmittedLeft(std::size_t from) {
        const auto pcm = session.sim->transmitAudio(kTxStream);
        std::vector<float> left;
        for (std::size_t i = 2 * from; i < pcm.size(); i += 2) {
            left.push_back(float(pcm[i]) / 32768);
        }
        return left;
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
    const auto steady = playUncompressedTone(kRxStream);
    EXPECT_NEAR(sim::toneFrequency(steady, speakerRate()), 440, 2);
    EXPECT_NEAR(sim::rmsLevel(steady), 0.5 / std::sqrt(2.0), 0.05);
}

// The radio's uncompressed audio plays whatever the device's period: playing waits for a render's
// worth plus the cushion, and the latency cap lies above that even for the largest period.
TEST_F(RemoteAudioHandlerTest, UncompressedReceiveAudioPlaysForAnyPullSize) {
    setUpDevices(48000);
    std::uint32_t stream = kRxStream;
    for (const std::uint32_t pull : {480u, 1920u, 2880u}) {
        SCOPED_TRACE(pull);
        handler.reset();
        handler = VMRemoteAudioHandler::create(session.radio, app);
        session.sim->sendStatus(fmt::format(
            "stream 0x{:08X} type=remote_audio_rx compression=none ip=127.0.0.1", stream));
        ASSERT_TRUE(waitFor([&] { return handler->playback() && handler->output()->isPlaying(); }));
        // The radio keeps two renders ahead of the device, as a radio and a sound card at the
        // same pace do (the ring holds 48 kHz stereo floats, 8 bytes a frame).
        std::vector<float> played;
        std::size_t sent = 0;
        const auto ahead = std::int32_t(2 * pull * 8);
        for (int round = 0; round < 24; ++round) {
            while (handler->playback()->fillCount() < ahead) {
                const auto payload =
                    sim::bigEndianFloats(sim::stereoTone(440, 48000, 480, 0.5, sent));
                sendAndWait([&] { return session.sim->sendDax(stream, payload); }, 3840);
                sent += 480;
            }
            const auto slice = render(pull);
            played.insert(played.end(), slice.begin(), slice.end());
        }
        const std::vector<float> steady(played.begin() + std::ptrdiff_t(played.size() / 2),
                                        played.end());
        EXPECT_NEAR(sim::toneFrequency(steady, speakerRate()), 440, 2);
        EXPECT_NEAR(sim::rmsLevel(steady), 0.5 / std::sqrt(2.0), 0.05);
        ++stream;
    }
}

// A second receive stream arrives while the first plays, with the speaker rendering all along on
// its own thread: the first output's device stream is closed before the new ring and decoder take
// over, and the new stream's audio plays.
TEST_F(RemoteAudioHandlerTest, ALaterReceiveStreamStopsTheFirstOutputAndPlaysInItsPlace) {
    setUpDevices(48000);
    startReceive("OPUS");
    const auto first = handler->output();
    const auto firstPlayback = handler->playback();
    std::atomic<bool> rendering{true};
    std::thread speaker([&] {
        std::vector<std::vector<float>> out;
        while (rendering.load()) {
            scope.backend->render(kSpeaker, 480, &out);
        }
    });
    session.sim->sendStatus(fmt::format(
        "stream 0x{:08X} type=remote_audio_rx compression=none ip=127.0.0.1", kNextRxStream));
    const bool adopted = waitFor([&] {
        const auto out = handler->output();
        return out != first && out->isPlaying();
    });
    rendering.store(false);
    speaker.join();
    ASSERT_TRUE(adopted);
    EXPECT_FALSE(first->isPlaying());
    EXPECT_EQ(scope.backend->openStreamCount(), 1u) << "the first output's stream is closed";
    EXPECT_NE(handler->playback(), firstPlayback);
    EXPECT_FALSE(handler->compressedRx());

    const auto steady = playUncompressedTone(kNextRxStream);
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
    startTransmit();
    captureTone(kMicrophone, rate, 1, 440, 100);
    EXPECT_NEAR(handler->micLevel(), 20 * std::log10(0.5 * 2 / M_PI), 0.5);
    EXPECT_NEAR(handler->micPeakLevel(), 20 * std::log10(0.5), 0.5);

    const auto packets = wellFormedTransmitPackets(99);
    EXPECT_GE(packets.size(), 99u);
    EXPECT_LE(packets.size(), 100u);
    const auto left = transmittedLeft(2400);
    EXPECT_NEAR(sim::toneFrequency(left, 24000), 440, 2);
    EXPECT_NEAR(sim::rmsLevel(left), 0.5 / std::sqrt(2.0), 0.05);
}

INSTANTIATE_TEST_SUITE_P(Rates, MicrophoneTransmit,
                         ::testing::Values(MicCase{"At48000", 48000}, MicCase{"At44100", 44100}),
                         [](const auto& param) { return std::string(param.param.name); });

// The microphone moves to another device (another rate, two channels) while it captures: the
// converter and the encoder are rebuilt for its format before capture resumes there, and the
// packets that follow are numbered on and carry the new device's tone.
TEST_F(RemoteAudioHandlerTest, AMicrophoneDeviceChangeDuringCaptureKeepsThePacketsRight) {
    setUpDevices(48000);
    startTransmit();
    captureTone(kMicrophone, 48000, 1, 440, 50);
    AudioDevice headset;
    for (const auto& device : AudioDevice::inputDevices()) {
        if (device.deviceID() == kHeadset) {
            headset = device;
        }
    }
    handler->microphone()->setDevice(headset);
    EXPECT_FALSE(scope.backend->runningStream(kMicrophone, AudioDirection::Input));
    const auto running = scope.backend->runningStream(kHeadset, AudioDirection::Input);
    ASSERT_TRUE(running);
    EXPECT_EQ(running->sampleRate, 44100);
    EXPECT_EQ(running->channels, 2u);
    captureTone(kHeadset, 44100, 2, 660, 50);

    // Each device's partial last packet is dropped or still in the converter.
    const auto packets = wellFormedTransmitPackets(98);
    EXPECT_GE(packets.size(), 98u);
    EXPECT_LE(packets.size(), 100u);
    // The last third of a second is the headset's alone.
    const auto all = transmittedLeft(0);
    ASSERT_GT(all.size(), 8000u);
    const std::vector<float> last(all.end() - 8000, all.end());
    EXPECT_NEAR(sim::toneFrequency(last, 24000), 660, 2);
    EXPECT_NEAR(sim::rmsLevel(last), 0.5 / std::sqrt(2.0), 0.05);
}

// Capture stopped and started again before the transmit thread ran: the slices captured since
// the restart (the pre-fill and after) all leave; only what was held before the stop is dropped.
TEST_F(RemoteAudioHandlerTest, MicrophoneRestartKeepsTheAudioCapturedSince) {
    setUpDevices(48000);
    startTransmit();
    handler->micAudioOnOff(false);
    handler->micAudioOnOff(true);
    captureTone(kMicrophone, 48000, 1, 660, 20);
    // One packet a slice; the converter may still hold up to two.
    const auto packets = wellFormedTransmitPackets(18).size();
    EXPECT_GE(packets, 18u);
    EXPECT_LE(packets, 20u);
}

}  // namespace
}  // namespace vm
