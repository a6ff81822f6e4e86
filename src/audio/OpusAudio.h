#pragma once
// The one bidirectional Opus stream of a radio without the V3 interface. It reads its stream's
// "opus_stream" status lines, hands each received payload to its delegate, and sends Opus packets
// while the radio says transmit is on.
#include "audio/AudioStreamDelegate.h"
#include "audio/AudioStreamHandlers.h"
#include "radio/StatusTable.h"

#include <memory>
#include <string>

namespace vm {

class OpusAudio : public AudioStreamDelegate<OpusStreamHandler>,
                  public std::enable_shared_from_this<OpusAudio> {
public:
    static constexpr std::uint32_t kTransmitStreamId = 0x4B000000;
    static constexpr std::uint16_t kInformationClassCode = 0x543C;
    static constexpr std::uint16_t kPacketClassCode = 0x03E3;

    // A stream with its "OpusAudio" run queue and its statistics timer running.
    static std::shared_ptr<OpusAudio> create();
    // The same stream holding `radio` with `streamId`, and nothing else of the session's binding
    // (no queue named after the id, no log level).
    static std::shared_ptr<OpusAudio> create(const std::shared_ptr<RadioLink>& radio,
                                             const std::string& streamId);
    void attachedRadio(const std::shared_ptr<RadioLink>& radio, const std::string& streamId);
    void willRemoveStreamProcessor() {}

    // The key=value pairs after the stream id; values are stored and announced on the main queue;
    // unknown keys are skipped silently.
    void statusParser(Scanner& scan, bool selfStatus);
    static const StatusTable<OpusAudio>& statusTable();

    void streamHandler(const VITA& packet) override;
    // One Opus packet to the radio, only while `txOn` is set; an empty packet sends nothing.
    void streamSend(const Bytes& opusPacket);

    Observed<Number> opusRxStreamStopped{this, "opusRxStreamStopped"};
    Observed<Number> rxOn{this, "rxOn"};
    Observed<Number> txOn{this, "txOn"};
    Observed<int> rxGain{this, "rxGain"};
    Observed<int> txGain{this, "txGain"};
    Observed<std::string> streamId{this, "streamId"};
    Observed<std::string> txStreamId{this, "txStreamId"};

private:
    struct Private {};

public:
    explicit OpusAudio(Private);
};

}  // namespace vm
