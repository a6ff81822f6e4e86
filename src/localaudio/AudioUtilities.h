#pragma once
// Helpers every audio class uses: the status check that each sound-system call goes through,
// stream format factories, buffer-list and float-buffer allocation, small numeric operations, and
// the scrolling and rolling histories of the waveform plots.
#include "localaudio/RingBuffer.h"
#include "platform/audio/AudioTypes.h"

#include <cstdint>
#include <span>
#include <string>

namespace vm {

// The rolling history of a plot: the values shown (a window of them) and the ring they scroll
// through.
struct HistoryInfo {
    float* buffer = nullptr;      // maximumLength values
    std::int32_t bufferSize = 0;  // the window, in values
    std::int32_t maximumLength = 0;
    RingBuffer circularBuffer;
};

class AudioUtilities {
public:
    // Status check. With the exit flag set, a failure ends the process with status -1.
    static void setShouldExitOnCheckResultFail(bool shouldExit);
    static bool shouldExitOnCheckResultFail();
    // Logs "Error: <operation> (<code>)" for a non-zero status.
    static void checkResult(OSStatus result, const char* operation);
    // A code as its four characters in single quotes when all are printable, else as a number.
    static std::string stringFromUInt32Code(std::uint32_t code);

    // Stream formats (linear PCM, one frame per packet).
    static AudioStreamBasicDescription monoFloatFormatWithSampleRate(float sampleRate);
    static AudioStreamBasicDescription monoCanonicalFormatWithSampleRate(float sampleRate);
    static AudioStreamBasicDescription stereoCanonicalNonInterleavedFormatWithSampleRate(
        float sampleRate);
    static AudioStreamBasicDescription stereoFloatInterleavedFormatWithSampleRate(float sampleRate);
    static AudioStreamBasicDescription stereoFloatNonInterleavedFormatWithSampleRate(
        float sampleRate);
    static AudioStreamBasicDescription floatFormatWithNumberOfChannels(std::uint32_t channels,
                                                                       float sampleRate);
    static AudioStreamBasicDescription aiffFormatWithNumberOfChannels(std::uint32_t channels,
                                                                      float sampleRate);
    // Compressed formats, completed by the format service. No codec here encodes or decodes
    // them: each reports 'fmt?' through checkResult and answers the incomplete description.
    static AudioStreamBasicDescription ilbcFormatWithSampleRate(float sampleRate);
    static AudioStreamBasicDescription m4aFormatWithNumberOfChannels(std::uint32_t channels,
                                                                     float sampleRate);
    static void setCanonicalAudioStreamBasicDescription(AudioStreamBasicDescription* format,
                                                        std::uint32_t numberOfChannels,
                                                        bool interleaved);
    static bool isFloatFormat(const AudioStreamBasicDescription& format);
    static bool isInterleaved(const AudioStreamBasicDescription& format);
    static bool isLinearPCM(const AudioStreamBasicDescription& format);
    static void printASBD(const AudioStreamBasicDescription& format);
    static std::string stringForAudioStreamBasicDescription(
        const AudioStreamBasicDescription& format);

    // Buffers. A list holds one buffer of `channels` channels (interleaved) or one buffer per
    // channel, each zero-filled, of 32-bit samples.
    static AudioBufferList* audioBufferListWithNumberOfFrames(std::uint32_t frames,
                                                              std::uint32_t channels,
                                                              bool interleaved);
    static void freeBufferList(AudioBufferList* list);
    static float** floatBuffersWithNumberOfFrames(std::uint32_t frames, std::uint32_t channels);
    static void freeFloatBuffers(float** buffers, std::uint32_t channels);

    // Numbers.
    static float map(float value, float leftMin, float leftMax, float rightMin, float rightMax);
    static float rms(const float* buffer, int length);
    static float sgn(float value);
    static std::string displayTimeStringFromSeconds(double seconds);
    static std::string noteNameStringForFrequency(float frequency, bool includeOctave);
    // A colour's components: written to the four out-values only when there are exactly four.
    static void getColorComponentsFromCGColor(std::span<const double> components, double* red,
                                              double* green, double* blue, double* alpha);

    // Ring buffers.
    static bool circularBuffer(RingBuffer* ring, std::uint32_t size);
    static void appendDataToCircularBuffer(RingBuffer* ring, const AudioBufferList* list);
    static void freeCircularBuffer(RingBuffer* ring);

    // Scrolling history: a plain array of values, newest last.
    static void appendBufferAndShift(const float* buffer, int bufferSize, float* scrollHistory,
                                     int scrollHistorySize);
    static void appendValue(float value, float* scrollHistory, int scrollHistorySize);
    // Allocates the history (kScrollHistoryLength zeroed values) when it is null.
    static void updateScrollHistory(float** scrollHistory, int length, int* index,
                                    const float* buffer, int bufferSize, bool isResolutionChanging);
    static void freeScrollHistory(float* scrollHistory);
    static constexpr int kScrollHistoryLength = 8192;

    // Rolling history.
    static HistoryInfo* historyInfoWithDefaultLength(int defaultLength, int maximumLength);
    static void appendBuffer(const float* buffer, std::uint32_t bufferSize, HistoryInfo* info);
    static void appendBufferRMS(const float* buffer, std::uint32_t bufferSize, HistoryInfo* info);
    static void clearHistoryInfo(HistoryInfo* info);
    static void freeHistoryInfo(HistoryInfo* info);
};

}  // namespace vm
