#pragma once
// One sound file sent to the radio as transmit audio: the file is read in 512-frame blocks in the
// transmit format (24000 Hz, 16-bit stereo, interleaved; the file's own rate and channels are
// converted on read) and handed on one 240-frame packet every 10 ms, as a microphone would
// deliver it. The end of the file is padded with silence to a whole packet. After the last
// packet the transmission waits 5 s (the radio plays out what it holds) and then reports that it
// has finished, on the main queue.
//
// Threads: opening, starting and cutting short on the main thread; reading and sending on the
// given serial queue. Cutting short waits for a packet being sent, so none follows it.
#include "localaudio/AudioFile.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/DispatchSource.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vm {

class SoundFileTransmission : public std::enable_shared_from_this<SoundFileTransmission> {
public:
    static constexpr std::uint32_t kReadFrames = 512;
    static constexpr std::uint32_t kPacketFrames = 240;
    static constexpr std::chrono::milliseconds kPacketInterval{10};
    static constexpr std::chrono::seconds kTail{5};

    // One packet of transmit PCM, on the sending queue.
    using SendPacket = std::function<void(const AudioBufferList* pcm)>;
    // On the main queue, kTail after the last packet.
    using Finished = std::function<void()>;

    // Null when the file cannot be opened or read as audio; `error` says why.
    static std::shared_ptr<SoundFileTransmission> open(const std::string& path, Error* error);
    ~SoundFileTransmission();
    SoundFileTransmission(const SoundFileTransmission&) = delete;
    SoundFileTransmission& operator=(const SoundFileTransmission&) = delete;

    // The first packet leaves at once.
    void start(DispatchQueuePtr queue, SendPacket send, Finished finished);
    // No packet is sent after this returns, and `finished` is not called.
    void cutShort();

    std::shared_ptr<AudioFile> audioFile() const { return file_; }

private:
    struct Private {};

public:
    SoundFileTransmission(Private, std::shared_ptr<AudioFile> file);

private:
    // Sending queue: `periods` packet times have passed.
    void tick(unsigned long periods);
    // Sending queue: a whole packet in `staged_`, read from the file as needed; false at the end.
    bool stagePacket();
    void finish();

    std::shared_ptr<AudioFile> file_;
    DispatchQueuePtr queue_;
    SendPacket send_;
    Finished finished_;
    DispatchSourcePtr timer_;
    bool abandoned_ = false;  // main thread: cut short, `finished_` is not called
    bool cutShort_ = false;   // sending queue: no more packets
    bool eof_ = false;
    std::vector<std::int16_t> staged_;  // interleaved frames read and not yet sent
    std::vector<std::int16_t> block_;   // one read
};

}  // namespace vm
