#pragma once
// What an object of the radio (a slice, a meter, the CW keyer and every later one) needs of its
// session: sending commands, the record of the radio it talks to, and the debug log level. The
// Radio implements it; objects hold it weakly and never need the whole Radio.
#include "platform/core/Bytes.h"
#include "platform/core/DispatchQueue.h"
#include "radio/RadioDelegate.h"
#include "radio/RadioInstance.h"
#include "radio/RadioTypes.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vm {

class RadioLink {
public:
    virtual ~RadioLink() = default;

    // Sends the command at once, from the calling thread; nobody waits for its reply.
    virtual void commandToRadio(const std::string& command) = 0;
    // Sends the command; its reply reaches `notify` (radioCommandResponse, on the session's
    // queue). The sequence number, or none when the command was refused.
    virtual std::optional<std::uint32_t> commandToRadio(const std::string& command,
                                                        std::weak_ptr<RadioDelegate> notify) = 0;
    // The record of the radio (never empty).
    virtual std::shared_ptr<RadioInstance> radioRecord() const = 0;
    virtual int logLevel() const = 0;

    // --- What the audio stream objects need of their session.
    // One encoded stream packet to the radio's stream port (nothing until the radio's streams
    // have reached us, or without a stream manager). Never blocks.
    virtual void txStreamPacket(const Bytes& packet) = 0;
    // The slice in slot `number` (0..7); nullptr for an empty slot or another number.
    virtual std::shared_ptr<Slice> sliceAt(int number) const = 0;
    // Asks the radio for a DAX receive stream of the channel; the reply files a new DAXAudio.
    virtual void cmdNewAudioStream(int daxChannel) = 0;
    virtual void cmdNewAudioStreamV3(int daxChannel) = 0;
    // Takes the DAX stream out of the session's table, posts "AudioStreamDeleted" and asks the
    // radio to remove it; nothing when the table no longer holds that stream.
    virtual void cmdRemoveAudioStreamHandler(const std::shared_ptr<DAXAudio>& stream) = 0;

protected:
    RadioLink() = default;
};

// An object's command that leaves from the object's own serial queue, in call order: it is sent
// only if the object and its session are both still there when the queue gets to it.
void queueObjectCommand(const DispatchQueuePtr& queue, std::weak_ptr<const void> object,
                        std::weak_ptr<RadioLink> radio, std::string command);

}  // namespace vm
