#pragma once
// One DAX stream of the radio: uncompressed 32-bit float stereo audio of one DAX channel, received
// from the radio and, while transmit is enabled, sent to it. The session files one for each reply
// to a DAX stream request and takes it away when the radio reports it out of use.
//
// Closing is explicit (closeStream) and happens once: the destructor only stops the statistics
// timer, which holds the stream weakly.
#include "audio/AudioStreamDelegate.h"
#include "audio/AudioStreamHandlers.h"
#include "radio/StatusTable.h"

#include <atomic>
#include <memory>
#include <string>

namespace vm {

class DAXAudio : public AudioStreamDelegate<DaxAudioStreamHandler>,
                 public std::enable_shared_from_this<DAXAudio> {
public:
    static constexpr std::uint16_t kInformationClassCode = 0x543C;
    static constexpr std::uint16_t kPacketClassCode = 0x03E3;
    static constexpr std::uint32_t kFramesPerPacket = 256;

    // A stream with its run queue and its statistics timer running.
    static std::shared_ptr<DAXAudio> create();
    // A stream that asks the radio for a DAX receive stream of `channel` (the newer command form
    // on radios with the V3 interface). The stream the radio then creates is filed by the session.
    static std::shared_ptr<DAXAudio> create(const std::shared_ptr<RadioLink>& radio, int channel);
    void attachedRadio(const std::shared_ptr<RadioLink>& radio, const std::string& streamId);
    void willRemoveStreamProcessor() {}
    // Asks the session to remove the stream (table, "AudioStreamDeleted", "stream remove");
    // only the first call does anything.
    void closeStream();

    // "audio_stream" and "tx_audio_stream" lines, from after the stream id.
    void statusParser(Scanner& scan, bool selfStatus);
    static const StatusTable<DAXAudio>& statusTable();

    // Received frames: big-endian float pairs, swapped in place to host order and handed to the
    // delegate (samples of 4 bytes, numSamples counting frames).
    void streamHandler(const VITA& packet) override;
    // Interleaved stereo floats in host order, `frames` frames, sent in packets of up to 256
    // frames; only while transmit is enabled and a slice is set.
    void streamSend(const float* samples, std::int64_t frames);

    void setTransmitEnabled(bool enabled);
    void setRxGain(int gain);
    void setTxGain(int gain);
    std::shared_ptr<Slice> slice() const;
    std::string streamId() const;

    Observed<Number> transmitEnabled{this, "transmitEnabled"};
    Observed<Number> daxChannel{this, "daxChannel"};
    Observed<int> rxGain{this, "rxGain"};
    Observed<int> txGain{this, "txGain"};
    Observed<Text> txStreamId{this, "txStreamId"};

private:
    struct Private {};

public:
    explicit DAXAudio(Private);

private:
    // The "slice" status key: -1 clears the slice; a number takes that slot's slice.
    void readSlice(Scanner& scan);
    void storeSlice(std::weak_ptr<Slice> slice, int number);

    std::string streamId_;        // set once, when the session files the stream
    std::weak_ptr<Slice> slice_;  // under the object's lock
    int sliceNumber_ = -1;
    std::atomic<bool> closed_{false};
};

}  // namespace vm
