#pragma once
// Installs a TestAudioBackend as the process's sound system for one test, and makes devices and
// formats the audio tests share.
#include "platform/audio/TestAudioBackend.h"

#include <cmath>
#include <memory>
#include <vector>

namespace vm::test {

inline AudioDeviceRecord makeDevice(AudioDeviceID id, std::uint32_t inputs, std::uint32_t outputs,
                                    double rate = 44100, std::string uid = {}) {
    AudioDeviceRecord r;
    r.deviceID = id;
    r.name = "Device " + std::to_string(id);
    r.manufacturer = "Test";
    r.uid = uid.empty() ? "test:" + std::to_string(id) : uid;
    r.inputChannels = inputs;
    r.outputChannels = outputs;
    r.sampleRate = rate;
    return r;
}

inline AudioStreamBasicDescription floatNonInterleaved(double rate, std::uint32_t channels) {
    AudioStreamBasicDescription f;
    f.mSampleRate = rate;
    f.mFormatID = kAudioFormatLinearPCM;
    f.mFormatFlags =
        kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
    f.mBytesPerPacket = f.mBytesPerFrame = 4;
    f.mFramesPerPacket = 1;
    f.mChannelsPerFrame = channels;
    f.mBitsPerChannel = 32;
    return f;
}

inline AudioStreamBasicDescription int16Interleaved(double rate, std::uint32_t channels) {
    AudioStreamBasicDescription f;
    f.mSampleRate = rate;
    f.mFormatID = kAudioFormatLinearPCM;
    f.mFormatFlags = kAudioFormatFlagIsSignedInteger | kAudioFormatFlagIsPacked;
    f.mBytesPerPacket = f.mBytesPerFrame = 2 * channels;
    f.mFramesPerPacket = 1;
    f.mChannelsPerFrame = channels;
    f.mBitsPerChannel = 16;
    return f;
}

inline float tone(double frequency, double rate, std::size_t n, float amplitude = 0.5f) {
    return amplitude * float(std::sin(2 * M_PI * frequency * double(n) / rate));
}

// The backend of the test; the previous one comes back when the test ends.
class TestBackendScope {
public:
    TestBackendScope() : backend(std::make_shared<TestAudioBackend>()) {
        AudioBackend::setShared(backend);
    }
    ~TestBackendScope() { AudioBackend::setShared(nullptr); }
    TestBackendScope(const TestBackendScope&) = delete;
    TestBackendScope& operator=(const TestBackendScope&) = delete;

    std::shared_ptr<TestAudioBackend> backend;
};

// A buffer list over vectors it owns.
class OwnedBufferList {
public:
    OwnedBufferList(std::uint32_t buffers, std::uint32_t bytesPerBuffer,
                    std::uint32_t channelsPerBuffer = 1)
        : data_(buffers, std::vector<std::uint8_t>(bytesPerBuffer)),
          storage_(audioBufferListSize(buffers)) {
        list()->mNumberBuffers = buffers;
        for (std::uint32_t b = 0; b < buffers; ++b) {
            audioBuffers(list())[b] =
                AudioBuffer{channelsPerBuffer, bytesPerBuffer, data_[b].data()};
        }
    }
    AudioBufferList* list() { return reinterpret_cast<AudioBufferList*>(storage_.data()); }
    template <class T>
    T* samples(std::uint32_t buffer) {
        return reinterpret_cast<T*>(data_[buffer].data());
    }

private:
    std::vector<std::vector<std::uint8_t>> data_;
    std::vector<std::uint8_t> storage_;
};

}  // namespace vm::test
