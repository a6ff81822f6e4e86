#include "audio/OpusAudio.h"

#include <algorithm>

namespace vm {

OpusAudio::OpusAudio(Private) : AudioStreamDelegate("OpusAudio") {}

std::shared_ptr<OpusAudio> OpusAudio::create() {
    auto stream = std::make_shared<OpusAudio>(Private{});
    stream->started(stream);
    return stream;
}

std::shared_ptr<OpusAudio> OpusAudio::create(const std::shared_ptr<RadioLink>& radio,
                                             const std::string& id) {
    auto stream = create();
    stream->radio_ = radio;
    stream->streamId.set(id);
    return stream;
}

void OpusAudio::attachedRadio(const std::shared_ptr<RadioLink>& radio, const std::string& id) {
    setRadio(radio);
    streamId.set(id);
    ensureRunQueue("com.velmorasoftware.vmsdr.opusStreamQueue-" + id);
}

void OpusAudio::streamHandler(const VITA& packet) { receiveOpusPayload(packet); }

void OpusAudio::streamSend(const Bytes& opusPacket) {
    if (txOn().value_or(0) == 0 || opusPacket.empty()) {
        return;
    }
    sendPacket({3, kTransmitStreamId, kInformationClassCode, kPacketClassCode}, opusPacket.size(),
               [&](char* payload) { std::copy(opusPacket.begin(), opusPacket.end(), payload); });
}

}  // namespace vm
