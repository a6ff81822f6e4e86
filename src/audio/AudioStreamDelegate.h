#pragma once
// An audio stream with a delegate of its own kind (RemoteAudioHandler, OpusStreamHandler,
// DaxAudioStreamHandler), held weakly under the object's lock, that hears of each received frame
// on the run queue.
#include "audio/AudioStream.h"

#include <memory>
#include <utility>

namespace vm {

template <class Handler>
class AudioStreamDelegate : public AudioStream {
public:
    std::shared_ptr<Handler> delegate() const {
        std::lock_guard lock(lock_);
        return delegate_.lock();
    }
    void setDelegate(std::weak_ptr<Handler> delegate) {
        std::lock_guard lock(lock_);
        delegate_ = std::move(delegate);
    }
    // Both, then the statistics timer restarts on the queue.
    void setDelegate(std::weak_ptr<Handler> delegate, DispatchQueuePtr queue) {
        setDelegate(std::move(delegate));
        setRunQueue(std::move(queue));
    }

protected:
    using AudioStream::AudioStream;

    // The Opus streams' receive path: the packet-count check, the count of the accepted packet,
    // and its payload to the delegate as samples of one byte.
    void receiveOpusPayload(const VITA& packet) {
        if (!acceptPacketCount(packet.packetCount)) {
            return;
        }
        countReceived(packet.datagram.size());
        if (packet.payload && delegate()) {
            auto bytes = std::make_shared<const Bytes>(packet.payload, packet.payloadLength);
            deliver(StreamFrame{bytes, packet.payloadLength, 1, bytes->data()});
        }
    }

    void deliver(StreamFrame frame) {
        deliverOnRunQueue([this, frame = std::move(frame)] {
            if (const auto receiver = delegate()) {
                receiver->streamReceive(frame);
            }
        });
    }

private:
    std::weak_ptr<Handler> delegate_;
};

}  // namespace vm
