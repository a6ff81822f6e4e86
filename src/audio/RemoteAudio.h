#pragma once
// One remote-audio stream of a radio with the V3 interface: "remote_audio_rx" (the radio's
// receive audio to us) or "remote_audio_tx" (our microphone to the radio). It reads its stream's
// status lines, hands each received payload to its delegate, and sends Opus packets.
#include "audio/AudioStreamDelegate.h"
#include "audio/AudioStreamHandlers.h"
#include "radio/StatusTable.h"

#include <memory>
#include <string>

namespace vm {

class RemoteAudio : public AudioStreamDelegate<RemoteAudioHandler>,
                    public std::enable_shared_from_this<RemoteAudio> {
public:
    static constexpr std::uint16_t kInformationClassCode = 0x534C;
    static constexpr std::uint16_t kPacketClassCode = 0x8005;

    // A stream with its "RemoteAudio" run queue and its statistics timer running.
    static std::shared_ptr<RemoteAudio> create();
    // The same stream holding `radio` with `streamId` as its receive id, and nothing else of the
    // session's binding (no type, no queue named after the id, no log level).
    static std::shared_ptr<RemoteAudio> create(const std::shared_ptr<RadioLink>& radio,
                                               const std::string& streamId);
    // The session's binding: keeps the radio; the id becomes the receive or the transmit id by
    // `streamType`, which is set before.
    void attachedRadio(const std::shared_ptr<RadioLink>& radio, const std::string& streamId);
    void willRemoveStreamProcessor() {}

    // The key=value pairs after "stream <id> " of a status line; values are stored and announced
    // on the main queue. Pieces that are not exactly one key and one value are skipped.
    void statusParser(Scanner& scan, bool selfStatus);
    static const StatusTable<RemoteAudio>& statusTable();

    // A received packet of this stream: counted, checked and handed to the delegate (payload
    // bytes as samples of one byte) on the run queue.
    void streamHandler(const VITA& packet) override;
    // One Opus packet to the radio on the transmit id; an empty packet sends nothing.
    void streamSend(const Bytes& opusPacket);
    // Stores and announces `rxOn`, then sends "remote_audio rx_on <0|1>" from the run queue.
    void setRxOn(bool on);

    Observed<Flag> remoteRxStreamStopped{this, "remoteRxStreamStopped"};
    Observed<bool> rxOn{this, "rxOn"};
    Observed<bool> txOn{this, "txOn"};
    Observed<int> rxGain{this, "rxGain"};
    Observed<int> txGain{this, "txGain"};
    Observed<std::string> streamIdRX{this, "streamIdRX"};
    Observed<std::string> streamIdTX{this, "streamIdTX"};
    Observed<Text> streamType{this, "streamType"};
    Observed<Text> compression{this, "compression"};
    Observed<Text> clientHandle{this, "clientHandle"};
    Observed<Text> ip{this, "ip"};

private:
    struct Private {};

public:
    explicit RemoteAudio(Private);
};

}  // namespace vm
