#include "audio/SoundFileTransmission.h"

#include "audio/RemoteAudioTransmitter.h"
#include "localaudio/AudioUtilities.h"

#include <algorithm>

namespace vm {

namespace {

constexpr std::uint32_t kChannels = 2;

}  // namespace

SoundFileTransmission::SoundFileTransmission(Private, std::shared_ptr<AudioFile> file)
    : file_(std::move(file)), block_(std::size_t{kReadFrames} * kChannels) {}

SoundFileTransmission::~SoundFileTransmission() {
    if (timer_) {
        timer_->cancel();
    }
}

std::shared_ptr<SoundFileTransmission> SoundFileTransmission::open(const std::string& path,
                                                                   Error* error) {
    auto file =
        AudioFile::audioFileWithURL(path, {}, RemoteAudioTransmitter::transmitFormat(), error);
    if (!file) {
        return nullptr;
    }
    AudioUtilities::printASBD(file->clientFormat());
    return std::make_shared<SoundFileTransmission>(Private{}, std::move(file));
}

void SoundFileTransmission::start(DispatchQueuePtr queue, SendPacket send, Finished finished) {
    queue_ = std::move(queue);
    send_ = std::move(send);
    finished_ = std::move(finished);
    timer_ = DispatchSource::makeTimer(queue_);
    timer_->setTimer(DispatchClock::duration::zero(), kPacketInterval);
    timer_->setEventHandler([weak = weak_from_this()] {
        if (const auto self = weak.lock()) {
            self->tick(std::max(1ul, self->timer_->data()));
        }
    });
    timer_->resume();
}

void SoundFileTransmission::cutShort() {
    abandoned_ = true;
    if (!queue_) {
        return;
    }
    queue_->sync([this] {
        cutShort_ = true;
        if (timer_) {
            timer_->cancel();
        }
    });
}

// A timer that fell behind (a busy machine) sends the packets it owes at once, so the file still
// takes its own length on the air.
void SoundFileTransmission::tick(unsigned long periods) {
    for (unsigned long i = 0; i < periods && !cutShort_; ++i) {
        if (!stagePacket()) {
            finish();
            return;
        }
        AudioBufferList packet{1, {{kChannels, kPacketFrames * kChannels * 2, staged_.data()}}};
        send_(&packet);
        staged_.erase(staged_.begin(), staged_.begin() + kPacketFrames * kChannels);
        // The tail counts from the last packet: find the end now rather than one period later.
        if (staged_.empty() && (eof_ || !stagePacket())) {
            finish();
            return;
        }
    }
}

bool SoundFileTransmission::stagePacket() {
    const std::size_t packetSamples = std::size_t{kPacketFrames} * kChannels;
    while (staged_.size() < packetSamples && !eof_) {
        AudioBufferList list{
            1, {{kChannels, std::uint32_t(block_.size() * sizeof(std::int16_t)), block_.data()}}};
        std::uint32_t framesRead = 0;
        bool eof = false;
        file_->readFrames(kReadFrames, &list, &framesRead, &eof);
        staged_.insert(staged_.end(), block_.begin(),
                       block_.begin() + std::ptrdiff_t(framesRead) * kChannels);
        eof_ = eof || framesRead == 0;
    }
    if (staged_.empty()) {
        return false;
    }
    staged_.resize(std::max(staged_.size(), packetSamples), 0);
    return true;
}

void SoundFileTransmission::finish() {
    cutShort_ = true;
    timer_->cancel();
    DispatchQueue::main()->after(kTail, [weak = weak_from_this()] {
        const auto self = weak.lock();
        if (self && !self->abandoned_) {
            self->finished_();
        }
    });
}

}  // namespace vm
