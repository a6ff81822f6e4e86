// The audio stream objects on their own: the packet-count check, the packets they send with their
// exact headers, DAX byte order and packet splitting, their status tables, and the session's
// routes that make, feed and remove them.
#include "attach/RadioObjects.h"
#include "audio/DAXAudio.h"
#include "audio/OpusAudio.h"
#include "audio/RemoteAudio.h"
#include "platform/core/NotificationCenter.h"
#include "radio/Radio.h"
#include "support/QueueBarrier.h"
#include "support/StatusTableWalk.h"
#include "support/sim/SimAudio.h"

#include "../radio/RadioTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

namespace vm {
namespace {

using test::waitFor;

// The session as the stream objects see it: it records what they send.
class FakeLink : public RadioLink {
public:
    void commandToRadio(const std::string& command) override {
        std::lock_guard lock(mutex);
        commands.push_back(command);
    }
    std::optional<std::uint32_t> commandToRadio(const std::string& command,
                                                std::weak_ptr<RadioDelegate>) override {
        commandToRadio(command);
        return 1;
    }
    std::shared_ptr<RadioInstance> radioRecord() const override { return record; }
    int logLevel() const override { return 0; }
    void txStreamPacket(const Bytes& packet) override {
        std::lock_guard lock(mutex);
        packets.push_back(packet);
    }
    std::shared_ptr<Slice> sliceAt(int number) const override {
        return number == 2 ? slice : nullptr;
    }
    void cmdNewAudioStream(int channel) override {
        commandToRadio("old " + std::to_string(channel));
    }
    void cmdNewAudioStreamV3(int channel) override {
        commandToRadio("v3 " + std::to_string(channel));
    }
    void cmdRemoveAudioStreamHandler(const std::shared_ptr<DAXAudio>&) override { ++removals; }

    std::mutex mutex;
    std::vector<std::string> commands;
    std::vector<Bytes> packets;
    std::shared_ptr<RadioInstance> record = std::make_shared<RadioInstance>();
    std::shared_ptr<Slice> slice;  // slot 2
    int removals = 0;
};

class FrameRecorder : public RemoteAudioHandler, public DaxAudioStreamHandler {
public:
    void streamReceive(const StreamFrame& frame) override {
        std::lock_guard lock(mutex);
        frames.push_back(frame);
    }
    std::size_t count() {
        std::lock_guard lock(mutex);
        return frames.size();
    }
    std::mutex mutex;
    std::vector<StreamFrame> frames;
};

VITA packetWithCount(int count, std::string payload = std::string(8, '\0')) {
    return VITA(std::make_shared<Bytes>(sim::encodeVita(
        sim::streamHeader(sim::kClassOpus, 0x04000009, static_cast<uint8_t>(count)), payload)));
}

struct CountCase {
    const char* name;
    std::vector<int> counts;
    std::size_t delivered;
    std::int64_t lost;
};
void PrintTo(const CountCase& c, std::ostream* os) { *os << c.name; }

class PacketCounts : public ::testing::TestWithParam<CountCase> {};

TEST_P(PacketCounts, DeliverAndCountLossesAsTheRadioNumbersThem) {
    const auto stream = RemoteAudio::create();
    const auto recorder = std::make_shared<FrameRecorder>();
    stream->setDelegate(std::weak_ptr<RemoteAudioHandler>(recorder));
    for (const int count : GetParam().counts) {
        stream->streamHandler(packetWithCount(count));
    }
    test::queueBarrier(stream->runQueue());
    EXPECT_EQ(recorder->count(), GetParam().delivered);
    stream->runQueue()->sync([&] { stream->rateCalculator(); });
    EXPECT_EQ(stream->lostPacketCount(), GetParam().lost);
    EXPECT_EQ(stream->rxPackets(), static_cast<std::int64_t>(GetParam().delivered));
}

INSTANTIATE_TEST_SUITE_P(
    Streams, PacketCounts,
    ::testing::Values(CountCase{"FirstPacketAnyCount", {9}, 1, 0},
                      CountCase{"InOrderAcrossTheWrap", {14, 15, 0, 1}, 4, 0},
                      CountCase{"GapAheadIsDeliveredAndResynchronises", {3, 4, 6, 11}, 4, 1},
                      CountCase{"CountBehindIsDropped", {5, 2}, 1, 1},
                      CountCase{"TwoLostAcrossTheWrapDrops", {14, 1}, 1, 1}),
    [](const auto& param) { return std::string(param.param.name); });

std::uint32_t wordAt(const Bytes& bytes, std::size_t word) {
    std::uint32_t value;
    std::memcpy(&value, bytes.data() + word * 4, 4);
    return __builtin_bswap32(value);
}

TEST(AudioStreamSend, OpusPacketHasTheExactHeaderAndTheCountWraps) {
    const auto link = std::make_shared<FakeLink>();
    const auto stream = RemoteAudio::create();
    stream->streamType.set(std::string("remote_audio_tx"));
    stream->attachedRadio(link, "0x84000001");
    const Bytes opus(45, 'x');
    for (int i = 0; i < 17; ++i) {
        stream->streamSend(opus);
    }
    stream->streamSend(Bytes());
    ASSERT_EQ(link->packets.size(), 17u);
    const Bytes& first = link->packets[0];
    EXPECT_EQ(first.size(), 73u);
    // Type 3, class id, no trailer, TSI 3, TSF 1, count 0, 19 words.
    EXPECT_EQ(wordAt(first, 0), 0x38D00013u);
    EXPECT_EQ(wordAt(first, 1), 0x84000001u);
    EXPECT_EQ(wordAt(first, 2), 0x00001C2Du);
    EXPECT_EQ(wordAt(first, 3), 0x534C8005u);
    EXPECT_EQ(first.substr(16, 12), std::string(12, '\0'));
    EXPECT_EQ(first.substr(28), opus);
    EXPECT_EQ((wordAt(link->packets[15], 0) >> 16) & 0xF, 15u);
    EXPECT_EQ((wordAt(link->packets[16], 0) >> 16) & 0xF, 0u);
}

TEST(AudioStreamSend, OpusAudioSendsOnlyWhileTransmitIsOn) {
    const auto link = std::make_shared<FakeLink>();
    const auto stream = OpusAudio::create();
    stream->attachedRadio(link, "0x4B000000");
    stream->streamSend(Bytes(20, 'a'));
    EXPECT_TRUE(link->packets.empty());
    stream->txOn.set(1);
    stream->streamSend(Bytes(20, 'a'));
    ASSERT_EQ(link->packets.size(), 1u);
    EXPECT_EQ(wordAt(link->packets[0], 1), 0x4B000000u);
    EXPECT_EQ(wordAt(link->packets[0], 3), 0x543C03E3u);
}

// A stream made with a radio and an id, without the session's binding: the plain stream's queue
// and packet count, holding just the radio and the id.
TEST(AudioStreamCreate, WithARadioAndAnIdAlone) {
    const auto link = std::make_shared<FakeLink>();
    const auto remote = RemoteAudio::create(link, "0x04000009");
    const auto opus = OpusAudio::create(link, "0x4B000000");
    struct Case {
        const char* name;
        std::shared_ptr<AudioStream> stream;
        const char* queue;
    };
    for (const Case& c :
         {Case{"RemoteAudio", remote, "RemoteAudio"}, Case{"OpusAudio", opus, "OpusAudio"}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.stream->radio(), link);
        EXPECT_EQ(c.stream->runQueue()->label(), c.queue);
        EXPECT_EQ(c.stream->rxSeq(), -1);
    }
    EXPECT_EQ(remote->streamIdRX(), "0x04000009");
    EXPECT_EQ(remote->streamIdTX(), "");
    EXPECT_EQ(remote->streamType(), std::nullopt);
    EXPECT_EQ(opus->streamId(), "0x4B000000");
}

TEST(DaxAudio, SixHundredFramesLeaveAsThreePacketsInNetworkOrder) {
    const auto link = std::make_shared<FakeLink>();
    link->slice = std::shared_ptr<Slice>(reinterpret_cast<Slice*>(new int(0)),
                                         [](Slice* s) { delete reinterpret_cast<int*>(s); });
    const auto stream = DAXAudio::create();
    stream->attachedRadio(link, "0x04000008");
    Scanner status(" dax=1 slice=2 dax_tx=1 tx_stream=0x84000002");
    stream->statusParser(status, true);
    test::mainQueueBarrier();
    ASSERT_TRUE(stream->slice());
    EXPECT_EQ(link->commands, (std::vector<std::string>{"audio stream 0x04000008 slice 2 gain 0"}));

    std::vector<float> samples(1200);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = float(i);
    }
    stream->streamSend(samples.data(), 600);
    ASSERT_EQ(link->packets.size(), 3u);
    const std::vector<std::size_t> sizes{2076, 2076, 732};
    const std::vector<std::uint32_t> words{519, 519, 183};
    for (std::size_t p = 0; p < 3; ++p) {
        EXPECT_EQ(link->packets[p].size(), sizes[p]);
        EXPECT_EQ(wordAt(link->packets[p], 0), 0x18D00000u | std::uint32_t(p) << 16 | words[p]);
        EXPECT_EQ(wordAt(link->packets[p], 1), 0x84000002u);
        EXPECT_EQ(wordAt(link->packets[p], 3), 0x543C03E3u);
    }
    // The second packet begins with frame 256: left sample 512, as a big-endian float.
    EXPECT_EQ(sim::floatsFromBigEndian(link->packets[1].substr(28, 8)),
              (std::vector<float>{512, 513}));
}

TEST(DaxAudio, WithoutTransmitOrSliceNothingIsSentAndTheGainOnlyKept) {
    const auto link = std::make_shared<FakeLink>();
    const auto stream = DAXAudio::create();
    stream->attachedRadio(link, "0x04000008");
    const float frame[2]{1, 2};
    stream->streamSend(frame, 1);
    Scanner status("slice=-1 dax_tx=1");
    stream->statusParser(status, true);
    test::mainQueueBarrier();
    stream->streamSend(frame, 1);
    stream->setRxGain(40);
    test::queueBarrier(stream->runQueue());
    EXPECT_EQ(stream->rxGain(), 40);
    EXPECT_TRUE(link->packets.empty());
    EXPECT_TRUE(link->commands.empty());
}

TEST(DaxAudio, ReceivedBigEndianFloatsReachTheDelegateInHostOrder) {
    const auto stream = DAXAudio::create();
    const auto recorder = std::make_shared<FrameRecorder>();
    stream->setDelegate(std::weak_ptr<DaxAudioStreamHandler>(recorder));
    std::vector<float> samples(512);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = float(i) / 4;
    }
    stream->streamHandler(packetWithCount(0, sim::bigEndianFloats(samples)));
    test::queueBarrier(stream->runQueue());
    ASSERT_EQ(recorder->count(), 1u);
    const StreamFrame& frame = recorder->frames[0];
    EXPECT_EQ(frame.numSamples, 256);
    EXPECT_EQ(frame.sizeofSample, 4);
    std::vector<float> received(512);
    std::memcpy(received.data(), frame.samples, 2048);
    EXPECT_EQ(received, samples);
}

TEST(DaxAudio, ClosingAsksTheSessionOnceAndTheDestructorAnnouncesNothing) {
    const auto link = std::make_shared<FakeLink>();
    {
        const auto stream = DAXAudio::create();
        stream->attachedRadio(link, "0x04000008");
        stream->closeStream();
        stream->closeStream();
    }
    EXPECT_EQ(link->removals, 1);
    { DAXAudio::create()->attachedRadio(link, "0x04000009"); }
    EXPECT_EQ(link->removals, 1);
}

// The last outside reference goes inside the statistics timer's own event: the stream is freed
// there, and its timer does nothing more however long the clock runs on.
TEST(AudioStreamStatistics, AStreamReleasedWhileItsTimerRunsIsFreedAndTheTimerFallsSilent) {
    auto stream = RemoteAudio::create();
    const std::weak_ptr<RemoteAudio> weak = stream;
    const auto queue = stream->runQueue();
    stream->stopRateTimer();
    stream->streamHandler(packetWithCount(0));
    test::queueBarrier(queue);
    // Each event stores the rate, which differs from one event to the next after the packet.
    std::shared_ptr<RemoteAudio> held;  // touched on the run queue only
    std::atomic<int> events{0};
    stream->addObserver("rxRate", [&](const Change&) {
        ++events;
        held.reset();
    });
    // The timer's first event queues behind this task, which takes the only reference.
    queue->sync([&] {
        held = std::move(stream);
        held->startRateTimer();
    });
    ASSERT_TRUE(waitFor([&] { return weak.expired(); }));
    test::advanceBarrier(queue, std::chrono::seconds(3));
    EXPECT_EQ(events.load(), 1);
}

// A new stream whose statistics timer has stopped and whose first statistics are published, so
// that only status lines announce anything while the walk observes it.
template <class Stream>
std::shared_ptr<Stream> withoutStatistics(std::shared_ptr<Stream> stream) {
    stream->stopRateTimer();
    test::queueBarrier(stream->runQueue());
    return stream;
}

TEST(AudioStreamStatus, EveryKeyFindsItsRow) {
    test::walkStatusTable<RemoteAudio>(RemoteAudio::statusTable(),
                                       [] { return withoutStatistics(RemoteAudio::create()); });
    test::walkStatusTable<OpusAudio>(OpusAudio::statusTable(),
                                     [] { return withoutStatistics(OpusAudio::create()); });
    test::walkStatusTable<DAXAudio>(DAXAudio::statusTable(),
                                    [] { return withoutStatistics(DAXAudio::create()); });
}

// The session's routes, on a session that reads the lines it is given.
class AudioStreamRoutes : public ::testing::Test {
protected:
    void SetUp() override {
        auto record = std::make_shared<RadioInstance>();
        record->supportsV3_API = true;
        radio = Radio::createDetached(record, {}, "velmoraSDR", 0, attachRadioObjects);
        radio->parseRadioStream("H12345678");
        for (const char* name : {"com.velmorasoftware.doro.remote_audio_stream_created",
                                 "com.velmorasoftware.doro.opus_stream_created",
                                 "AudioStreamCreated", "AudioStreamDeleted"}) {
            tokens.push_back(NotificationCenter::defaultCenter().addObserver(
                name, [this](const Notification& n) { posted.push_back(n); }));
        }
    }
    void TearDown() override {
        for (const auto token : tokens) {
            NotificationCenter::defaultCenter().removeObserver(token);
        }
    }
    void line(const std::string& text) {
        radio->radioRunQueue()->sync([&] { radio->parseRadioStream(text); });
        test::mainQueueBarrier();
    }
    template <class T>
    std::shared_ptr<T> find(ObjectsById<T>& table, const std::string& key) {
        return table.with([&](const auto& byId) {
            const auto found = byId.find(key);
            return found == byId.end() ? nullptr : found->second;
        });
    }

    std::shared_ptr<Radio> radio;
    std::vector<NotificationCenter::Token> tokens;
    std::vector<Notification> posted;
};

TEST_F(AudioStreamRoutes, RemoteAudioStreamsAreMadeAnnouncedFedAndDropped) {
    line("S12345678|stream 0x4000009 type=dax_rx dax_channel=1");
    line("S87654321|stream 0x04000009 type=remote_audio_rx compression=OPUS ip=10.0.0.2");
    EXPECT_TRUE(posted.empty());
    line(
        "S12345678|stream 0x4000009 type=remote_audio_rx compression=NONE client_handle=0x12345678 "
        "ip=10.0.0.2");
    const auto stream = find(*radio->remoteAudioStreamHandlers(), "0x04000009");
    ASSERT_TRUE(stream);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].object, stream);
    EXPECT_EQ(std::any_cast<std::string>(posted[0].userInfo.at("sender")),
              "Radio:parseStreamToken");
    EXPECT_EQ(stream->streamIdRX(), "0x04000009");
    EXPECT_EQ(stream->compression(), "NONE");
    EXPECT_EQ(stream->clientHandle(), "0x12345678");
    EXPECT_EQ(stream->ip(), "10.0.0.2");

    line("S12345678|stream 0x04000009 type=remote_audio_rx compression=opus junk a=b=c");
    EXPECT_EQ(stream->compression(), "opus");
    EXPECT_EQ(posted.size(), 1u);
    line("S12345678|stream 0x04000009 removed");
    EXPECT_FALSE(find(*radio->remoteAudioStreamHandlers(), "0x04000009"));
    EXPECT_EQ(posted.size(), 1u);

    // A removal that also names the type removes; it never makes and announces the stream again.
    line("S12345678|stream 0x0400000A type=remote_audio_tx compression=OPUS");
    ASSERT_TRUE(find(*radio->remoteAudioStreamHandlers(), "0x0400000A"));
    ASSERT_EQ(posted.size(), 2u);
    line("S12345678|stream 0x0400000A type=remote_audio_tx removed");
    EXPECT_FALSE(find(*radio->remoteAudioStreamHandlers(), "0x0400000A"));
    EXPECT_EQ(posted.size(), 2u);
}

TEST_F(AudioStreamRoutes, OpusStreamOfThisClientIsMadeOnceAndReadsItsStatus) {
    line("S87654321|opus_stream 0x4B000000 rx_on=1 tx_on=1");
    EXPECT_TRUE(posted.empty());
    line(
        "S12345678|opus_stream 0x4B000000 opus_rx_stream_stopped=0 rx_on=257 tx_on=1 ip=1.2.3.4 "
        "port=4993");
    line("S12345678|opus_stream 0x4B000000 tx_on=0");
    const auto stream = find(*radio->opusAudioStreamHandlers(), "0x4B000000");
    ASSERT_TRUE(stream);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(stream->rxOn(), 1);
    EXPECT_EQ(stream->txOn(), 0);
}

TEST_F(AudioStreamRoutes, DaxStreamsComeFromTheCreateReplyAndGoWhenOutOfUse) {
    radio->audioStreamCreateCallback("R3|0|4000008");
    radio->audioStreamCreateCallback("R4|50000016|");
    test::mainQueueBarrier();
    const auto stream = find(*radio->daxAudioStreamToStreamHandler(), "0x04000008");
    ASSERT_TRUE(stream);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].name, "AudioStreamCreated");

    line("S87654321|audio_stream 0x04000008 dax=3 in_use=1");
    EXPECT_EQ(stream->daxChannel(), 3);
    line("S12345678|audio_stream 0x04000007 in_use=0");
    line("S12345678|audio_stream 0x04000008 in_use=0");
    EXPECT_FALSE(find(*radio->daxAudioStreamToStreamHandler(), "0x04000008"));
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[1].name, "AudioStreamDeleted");
    // The radio took it away already: closing it now announces and sends nothing more.
    stream->closeStream();
    EXPECT_EQ(posted.size(), 2u);

    radio->audioStreamCreateCallback("R5|0|0x04000010");
    line("S12345678|tx_audio_stream 0x04000010 in_use=1 dax_tx=1 client_handle=0x12345678");
    EXPECT_TRUE(find(*radio->daxAudioStreamToStreamHandler(), "0x04000010"));
    line("S12345678|tx_audio_stream 0x04000010 dax_tx=1");
    EXPECT_FALSE(find(*radio->daxAudioStreamToStreamHandler(), "0x04000010"));
    EXPECT_EQ(posted.back().name, "AudioStreamDeleted");
}

}  // namespace
}  // namespace vm
