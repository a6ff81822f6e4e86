#pragma once
// The value types that cross the audio layer: stream format descriptions, buffer lists, time
// stamps and status codes. Layouts are fixed because the ring buffer stores buffer lists and time
// stamps byte for byte (a buffer descriptor is 16 bytes, a time stamp 64).
#include <cstddef>
#include <cstdint>

namespace vm {

// 0 is success; anything else is a failure code (often four characters, see fourCC).
using OSStatus = std::int32_t;
using AudioDeviceID = std::uint32_t;
using AudioFormatID = std::uint32_t;
using AudioFormatFlags = std::uint32_t;

// No device (what the default-device query answers on a machine without sound hardware).
constexpr AudioDeviceID kAudioObjectUnknown = 0;

// A four-character code, first character in the most significant byte.
constexpr std::uint32_t fourCC(const char (&code)[5]) {
    return (std::uint32_t(std::uint8_t(code[0])) << 24) |
           (std::uint32_t(std::uint8_t(code[1])) << 16) |
           (std::uint32_t(std::uint8_t(code[2])) << 8) | std::uint32_t(std::uint8_t(code[3]));
}

constexpr AudioFormatID kAudioFormatLinearPCM = fourCC("lpcm");
constexpr AudioFormatID kAudioFormatILBC = fourCC("ilbc");
constexpr AudioFormatID kAudioFormatMPEG4AAC = fourCC("aac ");

constexpr AudioFormatFlags kAudioFormatFlagIsFloat = 0x1;
constexpr AudioFormatFlags kAudioFormatFlagIsBigEndian = 0x2;
constexpr AudioFormatFlags kAudioFormatFlagIsSignedInteger = 0x4;
constexpr AudioFormatFlags kAudioFormatFlagIsPacked = 0x8;
constexpr AudioFormatFlags kAudioFormatFlagIsNonInterleaved = 0x20;

// Status codes of this layer.
constexpr OSStatus kAudioParamError = -50;                         // a bad argument
constexpr OSStatus kAudioFormatUnsupportedError = fourCC("fmt?");  // a format we cannot convert
constexpr OSStatus kAudioBadDeviceError = fourCC("!dev");          // no such device
constexpr OSStatus kAudioDeviceUnavailableError = fourCC("nope");  // the device would not open
constexpr OSStatus kAudioBadObjectError = fourCC("!obj");          // no such node or object
constexpr OSStatus kAudioUninitializedError = fourCC("!ini");      // used before initialisation
constexpr OSStatus kAudioHardwareUnsupportedOperationError = fourCC("unop");  // not offered here

struct AudioStreamBasicDescription {
    double mSampleRate = 0;
    AudioFormatID mFormatID = 0;
    AudioFormatFlags mFormatFlags = 0;
    std::uint32_t mBytesPerPacket = 0;
    std::uint32_t mFramesPerPacket = 0;
    std::uint32_t mBytesPerFrame = 0;
    std::uint32_t mChannelsPerFrame = 0;
    std::uint32_t mBitsPerChannel = 0;
    std::uint32_t mReserved = 0;

    bool operator==(const AudioStreamBasicDescription&) const = default;
};
static_assert(sizeof(AudioStreamBasicDescription) == 40);

struct AudioStreamPacketDescription {
    std::int64_t mStartOffset = 0;
    std::uint32_t mVariableFramesInPacket = 0;
    std::uint32_t mDataByteSize = 0;
};

struct AudioBuffer {
    std::uint32_t mNumberChannels;
    std::uint32_t mDataByteSize;
    void* mData;
};
static_assert(sizeof(AudioBuffer) == 16);

// A list of buffers, allocated with room for mNumberBuffers descriptors (see audioBufferListSize).
struct AudioBufferList {
    std::uint32_t mNumberBuffers;
    AudioBuffer mBuffers[1];
};
static_assert(sizeof(AudioBufferList) == 24 && offsetof(AudioBufferList, mBuffers) == 8);

// Bytes of a buffer list that holds `buffers` descriptors.
constexpr std::size_t audioBufferListSize(std::uint32_t buffers) {
    return offsetof(AudioBufferList, mBuffers) + sizeof(AudioBuffer) * (buffers ? buffers : 1);
}

// The descriptor array of a list, for indexing past the first declared element.
inline AudioBuffer* audioBuffers(AudioBufferList* list) { return list->mBuffers; }
inline const AudioBuffer* audioBuffers(const AudioBufferList* list) { return list->mBuffers; }

struct SMPTETime {
    std::int16_t mSubframes;
    std::int16_t mSubframeDivisor;
    std::uint32_t mCounter;
    std::uint32_t mType;
    std::uint32_t mFlags;
    std::int16_t mHours;
    std::int16_t mMinutes;
    std::int16_t mSeconds;
    std::int16_t mFrames;
};
static_assert(sizeof(SMPTETime) == 24);

constexpr std::uint32_t kAudioTimeStampSampleTimeValid = 0x1;
constexpr std::uint32_t kAudioTimeStampHostTimeValid = 0x2;

struct AudioTimeStamp {
    double mSampleTime;
    std::uint64_t mHostTime;  // host ticks, see audioHostTicksPerSecond
    double mRateScalar;
    std::uint64_t mWordClockTime;
    SMPTETime mSMPTETime;
    std::uint32_t mFlags;
    std::uint32_t mReserved;
};
static_assert(sizeof(AudioTimeStamp) == 64);

// Host time: the steady clock in nanoseconds.
constexpr double audioHostTicksPerSecond = 1e9;
std::uint64_t audioHostTime();

// Render action flags handed to render callbacks and render notifications.
using AudioUnitRenderActionFlags = std::uint32_t;
constexpr AudioUnitRenderActionFlags kAudioUnitRenderAction_PreRender = 0x4;
constexpr AudioUnitRenderActionFlags kAudioUnitRenderAction_PostRender = 0x8;

// Where a unit property applies.
enum class AudioUnitScope : std::uint32_t { Global = 0, Input = 1, Output = 2 };

// Which side of a device a query or a stream concerns.
enum class AudioDirection { Input, Output };

}  // namespace vm
