// What the audio stream objects ask of their session: sending their packets, the slice a DAX
// stream carries, and the DAX stream commands.
#include "platform/core/NotificationCenter.h"
#include "radio/Radio.h"
#include "radio/VitaManager.h"

#include <fmt/format.h>

namespace vm {

void Radio::txStreamPacket(const Bytes& packet) {
    if (const auto manager = vitaManager()) {
        manager->txStreamPacket(packet);
    }
}

std::shared_ptr<Slice> Radio::sliceAt(int number) const {
    if (number < 0 || number >= static_cast<int>(kSliceSlots)) {
        return nullptr;
    }
    return slices()->with(
        [&](const auto& slots) { return slots[static_cast<std::size_t>(number)]; });
}

void Radio::cmdNewAudioStream(int daxChannel) {
    commandToRadio(fmt::format("stream create dax={}", daxChannel),
                   &Radio::audioStreamCreateCallback);
}

void Radio::cmdNewAudioStreamV3(int daxChannel) {
    commandToRadio(fmt::format("stream create type=dax_rx dax_channel={}", daxChannel),
                   &Radio::audioStreamCreateCallback);
}

// A stream that the radio already took away ("in_use=0", announced then) is not announced or
// removed a second time: only the entry that still holds this very stream is removed.
void Radio::cmdRemoveAudioStreamHandler(const std::shared_ptr<DAXAudio>& stream) {
    std::string streamId;
    daxAudioStreamToStreamHandler()->with([&](auto& byId) {
        for (auto it = byId.begin(); it != byId.end(); ++it) {
            if (it->second == stream) {
                streamId = it->first;
                byId.erase(it);
                return;
            }
        }
    });
    if (streamId.empty()) {
        return;
    }
    streamTables_->daxAudioStreamToStreamHandler.erase(intFromHexString(streamId));
    NotificationCenter::defaultCenter().post("AudioStreamDeleted", stream);
    commandToRadio("stream remove " + streamId);
}

}  // namespace vm
