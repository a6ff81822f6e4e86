#include "platform/audio/AudioBufferStorage.h"

#include <algorithm>

namespace vm {

void AudioBufferStorage::allocate(const PcmLayout& layout, std::uint32_t frames) {
    data_.assign(layout.buffers(),
                 std::vector<std::uint8_t>(std::size_t(frames) * layout.bytesPerFrame));
    list_.assign(audioBufferListSize(layout.buffers()), 0);
    frames_ = frames;
    bytesPerFrame_ = layout.bytesPerFrame;
    channelsPerBuffer_ = layout.interleaved ? layout.channels : 1;
}

void AudioBufferStorage::clear() {
    data_.clear();
    list_.clear();
    frames_ = bytesPerFrame_ = channelsPerBuffer_ = 0;
}

AudioBufferList* AudioBufferStorage::list(std::uint32_t frames) {
    if (list_.empty()) {
        return nullptr;
    }
    auto* list = reinterpret_cast<AudioBufferList*>(list_.data());
    list->mNumberBuffers = std::uint32_t(data_.size());
    const std::uint32_t bytes = std::min(frames, frames_) * bytesPerFrame_;
    for (std::size_t b = 0; b < data_.size(); ++b) {
        audioBuffers(list)[b] = AudioBuffer{channelsPerBuffer_, bytes, data_[b].data()};
    }
    return list;
}

}  // namespace vm
