#include "audio/RemoteAudio.h"

#include "platform/core/Log.h"

namespace vm {

RemoteAudio::RemoteAudio(Private) : AudioStreamDelegate("RemoteAudio") {}

std::shared_ptr<RemoteAudio> RemoteAudio::create() {
    auto stream = std::make_shared<RemoteAudio>(Private{});
    stream->started(stream);
    return stream;
}

std::shared_ptr<RemoteAudio> RemoteAudio::create(const std::shared_ptr<RadioLink>& radio,
                                                 const std::string& streamId) {
    auto stream = create();
    stream->radio_ = radio;
    stream->streamIdRX.set(streamId);
    return stream;
}

void RemoteAudio::attachedRadio(const std::shared_ptr<RadioLink>& radio,
                                const std::string& streamId) {
    setRadio(radio);
    const std::string type = streamType().value_or("");
    if (type == "remote_audio_rx") {
        streamIdRX.set(streamId);
        if (debugLogLevel() >= 2) {
            log("attachedRadio:streamType:[{}] streamId RX:[{}]", type, streamId);
        }
    } else if (type == "remote_audio_tx") {
        streamIdTX.set(streamId);
        if (debugLogLevel() >= 2) {
            log("attachedRadio:streamType:[{}] streamId TX:[{}]", type, streamId);
        }
    }
    ensureRunQueue("com.velmorasoftware.vmsdr.remoteStreamQueue-" + streamId);
}

void RemoteAudio::streamHandler(const VITA& packet) { receiveOpusPayload(packet); }

void RemoteAudio::streamSend(const Bytes& opusPacket) {
    if (opusPacket.empty()) {
        return;
    }
    sendPacket({3, intFromHexString(streamIdTX()), kInformationClassCode, kPacketClassCode},
               opusPacket.size(),
               [&](char* payload) { std::copy(opusPacket.begin(), opusPacket.end(), payload); });
}

}  // namespace vm
