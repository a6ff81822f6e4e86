#include "localaudio/AudioFloatConverter.h"

#include "localaudio/AudioUtilities.h"

#include <algorithm>
#include <cstring>

namespace vm {

AudioFloatConverter::AudioFloatConverter(const AudioStreamBasicDescription& inputFormat)
    : info_(std::make_unique<AudioFloatConverterInfo>()) {
    AudioFloatConverterInfo& info = *info_;
    info.inputFormat = inputFormat;
    info.floatFormat = AudioUtilities::floatFormatWithNumberOfChannels(
        inputFormat.mChannelsPerFrame, float(inputFormat.mSampleRate));
    AudioUtilities::checkResult(
        AudioConverter::create(info.inputFormat, info.floatFormat, &info.converterRef),
        "Failed to create new audio converter");
    std::uint32_t packetsPerBuffer = 0;
    std::uint32_t outputBufferSize = 4096;
    if (inputFormat.mBytesPerPacket > 0) {
        packetsPerBuffer = outputBufferSize / inputFormat.mBytesPerPacket;
    } else {
        // Packets of varying size: as many as the largest packet allows.
        std::uint32_t maximumPacketSize = 0;
        const OSStatus status = info.converterRef
                                    ? info.converterRef->maximumOutputPacketSize(&maximumPacketSize)
                                    : kAudioUninitializedError;
        if (status != 0 || maximumPacketSize == 0) {
            maximumPacketSize = 2048;
        }
        outputBufferSize = std::max(outputBufferSize, maximumPacketSize);
        packetsPerBuffer = outputBufferSize / maximumPacketSize;
        info.packetDescriptions = new AudioStreamPacketDescription[packetsPerBuffer];
    }
    info.packetsPerBuffer = std::max<std::uint32_t>(packetsPerBuffer, 1);
    info.floatAudioBufferList = AudioUtilities::audioBufferListWithNumberOfFrames(
        info.packetsPerBuffer, info.floatFormat.mChannelsPerFrame,
        AudioUtilities::isInterleaved(info.floatFormat));
    info.sourceView.assign(
        audioBufferListSize(std::max<std::uint32_t>(inputFormat.mChannelsPerFrame, 1)), 0);
}

AudioFloatConverter::~AudioFloatConverter() {
    info_->converterRef.reset();
    AudioUtilities::freeBufferList(info_->floatAudioBufferList);
    delete[] info_->packetDescriptions;
}

std::shared_ptr<AudioFloatConverter> AudioFloatConverter::converterWithInputFormat(
    const AudioStreamBasicDescription& inputFormat) {
    return std::make_shared<AudioFloatConverter>(inputFormat);
}

void AudioFloatConverter::convertDataFromAudioBufferList(const AudioBufferList* audioBufferList,
                                                         std::uint32_t frames, float** buffers) {
    convertDataFromAudioBufferList(audioBufferList, frames, buffers, info_->packetDescriptions);
}

void AudioFloatConverter::convertDataFromAudioBufferList(
    const AudioBufferList* audioBufferList, std::uint32_t frames, float** buffers,
    AudioStreamPacketDescription* packetDescriptions) {
    AudioFloatConverterInfo& info = *info_;
    if (frames == 0 || !audioBufferList || !buffers || !info.floatAudioBufferList) {
        return;
    }
    const std::uint32_t bytesPerFrame = info.inputFormat.mBytesPerFrame;
    auto* view = reinterpret_cast<AudioBufferList*>(info.sourceView.data());
    const std::uint32_t viewBuffers = std::min<std::uint32_t>(
        audioBufferList->mNumberBuffers,
        std::uint32_t((info.sourceView.size() - offsetof(AudioBufferList, mBuffers)) /
                      sizeof(AudioBuffer)));
    AudioBufferList* floatList = info.floatAudioBufferList;
    // The converter's own list holds packetsPerBuffer frames: convert in steps of that size.
    for (std::uint32_t done = 0; done < frames;) {
        const std::uint32_t step = std::min(info.packetsPerBuffer, frames - done);
        view->mNumberBuffers = viewBuffers;
        for (std::uint32_t b = 0; b < viewBuffers; ++b) {
            const AudioBuffer& source = audioBuffers(audioBufferList)[b];
            audioBuffers(view)[b] = AudioBuffer{
                source.mNumberChannels, step * bytesPerFrame,
                static_cast<std::uint8_t*>(source.mData) + std::size_t(done) * bytesPerFrame};
        }
        for (std::uint32_t b = 0; b < floatList->mNumberBuffers; ++b) {
            audioBuffers(floatList)[b].mDataByteSize = info.packetsPerBuffer * sizeof(float);
        }
        // Hands the step's frames over in order, however the converter asks for them.
        std::uint32_t handed = 0;
        auto input = [view, step, bytesPerFrame, &handed](
                         std::uint32_t* count, AudioBufferList* ioData,
                         AudioStreamPacketDescription**) -> OSStatus {
            const std::uint32_t n = std::min(*count, step - handed);
            const std::uint32_t shared = std::min(view->mNumberBuffers, ioData->mNumberBuffers);
            for (std::uint32_t b = 0; b < shared; ++b) {
                const AudioBuffer& source = audioBuffers(view)[b];
                audioBuffers(ioData)[b] = AudioBuffer{
                    source.mNumberChannels, n * bytesPerFrame,
                    static_cast<std::uint8_t*>(source.mData) + std::size_t(handed) * bytesPerFrame};
            }
            handed += n;
            *count = n;
            return 0;
        };
        std::uint32_t packets = step;
        const OSStatus status = info.converterRef
                                    ? info.converterRef->fillComplexBuffer(
                                          input, &packets, floatList, packetDescriptions)
                                    : kAudioUninitializedError;
        AudioUtilities::checkResult(status, "Failed to fill complex buffer in float converter");
        if (status != 0) {
            return;
        }
        for (std::uint32_t b = 0; b < floatList->mNumberBuffers; ++b) {
            std::memcpy(buffers[b] + done, audioBuffers(floatList)[b].mData,
                        audioBuffers(floatList)[b].mDataByteSize);
        }
        done += step;
    }
}

}  // namespace vm
