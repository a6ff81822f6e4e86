#include "localaudio/AudioUtilities.h"

#include "localaudio/SoundFileFormat.h"
#include "platform/core/Log.h"

#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace vm {

namespace {

std::atomic<bool> shouldExit{false};

AudioStreamBasicDescription linearPCM(float sampleRate, AudioFormatFlags flags,
                                      std::uint32_t bytesPerFrame, std::uint32_t channels) {
    AudioStreamBasicDescription f;
    f.mSampleRate = sampleRate;
    f.mFormatID = kAudioFormatLinearPCM;
    f.mFormatFlags = flags;
    f.mBytesPerPacket = bytesPerFrame;
    f.mFramesPerPacket = 1;
    f.mBytesPerFrame = bytesPerFrame;
    f.mChannelsPerFrame = channels;
    f.mBitsPerChannel = 32;
    return f;
}

constexpr AudioFormatFlags kFloatPacked = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked;
constexpr AudioFormatFlags kFloatPackedNonInterleaved =
    kFloatPacked | kAudioFormatFlagIsNonInterleaved;
constexpr AudioFormatFlags kFloatNonInterleaved =
    kAudioFormatFlagIsFloat | kAudioFormatFlagIsNonInterleaved;

std::string formatIDText(AudioFormatID id) {
    std::string text(4, ' ');
    for (int i = 0; i < 4; ++i) {
        text[std::size_t(i)] = char((id >> (24 - 8 * i)) & 0xFF);
    }
    return text;
}

}  // namespace

void AudioUtilities::setShouldExitOnCheckResultFail(bool value) { shouldExit = value; }
bool AudioUtilities::shouldExitOnCheckResultFail() { return shouldExit; }

std::string AudioUtilities::stringFromUInt32Code(std::uint32_t code) {
    char chars[4];
    bool printable = true;
    for (int i = 0; i < 4; ++i) {
        chars[i] = char((code >> (24 - 8 * i)) & 0xFF);
        printable = printable && std::isprint(static_cast<unsigned char>(chars[i]));
    }
    if (printable) {
        return "'" + std::string(chars, 4) + "'";
    }
    return std::to_string(std::int32_t(code));
}

void AudioUtilities::checkResult(OSStatus result, const char* operation) {
    if (result == 0) {
        return;
    }
    log("Error: {} ({})", operation, stringFromUInt32Code(std::uint32_t(result)));
    if (shouldExit) {
        std::exit(-1);
    }
}

AudioStreamBasicDescription AudioUtilities::monoFloatFormatWithSampleRate(float sampleRate) {
    return linearPCM(sampleRate, kFloatPacked, 4, 1);
}

AudioStreamBasicDescription AudioUtilities::monoCanonicalFormatWithSampleRate(float sampleRate) {
    return linearPCM(sampleRate, kFloatPackedNonInterleaved, 4, 1);
}

AudioStreamBasicDescription AudioUtilities::stereoCanonicalNonInterleavedFormatWithSampleRate(
    float sampleRate) {
    return linearPCM(sampleRate, kFloatPackedNonInterleaved, 4, 2);
}

AudioStreamBasicDescription AudioUtilities::stereoFloatInterleavedFormatWithSampleRate(
    float sampleRate) {
    return linearPCM(sampleRate, kAudioFormatFlagIsFloat, 8, 2);
}

AudioStreamBasicDescription AudioUtilities::stereoFloatNonInterleavedFormatWithSampleRate(
    float sampleRate) {
    return linearPCM(sampleRate, kFloatNonInterleaved, 4, 2);
}

AudioStreamBasicDescription AudioUtilities::floatFormatWithNumberOfChannels(std::uint32_t channels,
                                                                            float sampleRate) {
    return linearPCM(sampleRate, kFloatNonInterleaved, 4, channels);
}

AudioStreamBasicDescription AudioUtilities::aiffFormatWithNumberOfChannels(std::uint32_t channels,
                                                                           float sampleRate) {
    return linearPCM(
        sampleRate,
        kAudioFormatFlagIsBigEndian | kAudioFormatFlagIsSignedInteger | kAudioFormatFlagIsPacked,
        4 * channels, channels);
}

AudioStreamBasicDescription AudioUtilities::ilbcFormatWithSampleRate(float sampleRate) {
    AudioStreamBasicDescription f;
    f.mFormatID = kAudioFormatILBC;
    f.mChannelsPerFrame = 1;
    f.mSampleRate = sampleRate;
    checkResult(completeAudioFormat(&f),
                "Failed to fill out the rest of the iLBC AudioStreamBasicDescription");
    return f;
}

AudioStreamBasicDescription AudioUtilities::m4aFormatWithNumberOfChannels(std::uint32_t channels,
                                                                          float sampleRate) {
    AudioStreamBasicDescription f;
    f.mFormatID = kAudioFormatMPEG4AAC;
    f.mChannelsPerFrame = channels;
    f.mSampleRate = sampleRate;
    checkResult(completeAudioFormat(&f),
                "Failed to fill out the rest of the m4a AudioStreamBasicDescription");
    return f;
}

void AudioUtilities::setCanonicalAudioStreamBasicDescription(AudioStreamBasicDescription* format,
                                                             std::uint32_t numberOfChannels,
                                                             bool interleaved) {
    const std::uint32_t bytes = interleaved ? 4 * numberOfChannels : 4;
    *format =
        linearPCM(float(format->mSampleRate),
                  interleaved ? kFloatPacked : kFloatPackedNonInterleaved, bytes, numberOfChannels);
}

bool AudioUtilities::isFloatFormat(const AudioStreamBasicDescription& f) {
    return f.mFormatFlags & kAudioFormatFlagIsFloat;
}

bool AudioUtilities::isInterleaved(const AudioStreamBasicDescription& f) {
    return !(f.mFormatFlags & kAudioFormatFlagIsNonInterleaved);
}

bool AudioUtilities::isLinearPCM(const AudioStreamBasicDescription& f) {
    return f.mFormatID == kAudioFormatLinearPCM;
}

void AudioUtilities::printASBD(const AudioStreamBasicDescription& f) {
    log("  Sample Rate:         {:>10.0f}", f.mSampleRate);
    log("  Format ID:           {:>10}", formatIDText(f.mFormatID));
    log("  Format Flags:        {:>10X}", f.mFormatFlags);
    log("  Bytes per Packet:    {:>10}", f.mBytesPerPacket);
    log("  Frames per Packet:   {:>10}", f.mFramesPerPacket);
    log("  Bytes per Frame:     {:>10}", f.mBytesPerFrame);
    log("  Channels per Frame:  {:>10}", f.mChannelsPerFrame);
    log("  Bits per Channel:    {:>10}", f.mBitsPerChannel);
}

std::string AudioUtilities::stringForAudioStreamBasicDescription(
    const AudioStreamBasicDescription& f) {
    return fmt::format(
        "\nSample Rate:       {:>10.0f},"
        "\nFormat ID:           {:>10},"
        "\nFormat Flags:        {:>10X},"
        "\nBytes per Packet:    {:>10},"
        "\nFrames per Packet:   {:>10},"
        "\nBytes per Frame:     {:>10},"
        "\nChannels per Frame:  {:>10},"
        "\nBits per Channel:    {:>10},"
        "\nIsInterleaved:       {},"
        "\nIsFloat:             {},",
        f.mSampleRate, formatIDText(f.mFormatID), f.mFormatFlags, f.mBytesPerPacket,
        f.mFramesPerPacket, f.mBytesPerFrame, f.mChannelsPerFrame, f.mBitsPerChannel,
        int(isInterleaved(f)), int(isFloatFormat(f)));
}

AudioBufferList* AudioUtilities::audioBufferListWithNumberOfFrames(std::uint32_t frames,
                                                                   std::uint32_t channels,
                                                                   bool interleaved) {
    auto* list = static_cast<AudioBufferList*>(std::calloc(1, audioBufferListSize(channels)));
    if (!list) {
        return nullptr;
    }
    const std::uint32_t buffers = interleaved ? 1 : channels;
    const std::uint32_t channelsPerBuffer = interleaved ? channels : 1;
    list->mNumberBuffers = buffers;
    for (std::uint32_t b = 0; b < buffers; ++b) {
        const std::uint32_t bytes = frames * channelsPerBuffer * 4;
        audioBuffers(list)[b] =
            AudioBuffer{channelsPerBuffer, bytes, std::calloc(1, bytes ? bytes : 1)};
    }
    return list;
}

void AudioUtilities::freeBufferList(AudioBufferList* list) {
    if (!list) {
        return;
    }
    for (std::uint32_t b = 0; b < list->mNumberBuffers; ++b) {
        std::free(audioBuffers(list)[b].mData);
    }
    std::free(list);
}

float** AudioUtilities::floatBuffersWithNumberOfFrames(std::uint32_t frames,
                                                       std::uint32_t channels) {
    auto** buffers = static_cast<float**>(std::calloc(channels ? channels : 1, sizeof(float*)));
    for (std::uint32_t c = 0; c < channels; ++c) {
        buffers[c] = static_cast<float*>(std::malloc(sizeof(float) * (frames ? frames : 1)));
    }
    return buffers;
}

void AudioUtilities::freeFloatBuffers(float** buffers, std::uint32_t channels) {
    if (!buffers) {
        return;
    }
    if (!buffers[0]) {
        // Nothing was allocated in it (a zero-channel array still owns the array itself).
        if (channels == 0) {
            std::free(buffers);
        }
        return;
    }
    for (std::uint32_t c = 0; c < channels; ++c) {
        std::free(buffers[c]);
    }
    std::free(buffers);
}

float AudioUtilities::map(float value, float leftMin, float leftMax, float rightMin,
                          float rightMax) {
    const float leftSpan = leftMax - leftMin;
    const float rightSpan = rightMax - rightMin;
    return (value - leftMin) / leftSpan * rightSpan + rightMin;
}

float AudioUtilities::rms(const float* buffer, int length) {
    if (length < 0) {
        return 0;
    }
    float sum = 0;
    for (int i = 0; i < length; ++i) {
        sum += buffer[i] * buffer[i];
    }
    return std::sqrt(sum / float(length));
}

float AudioUtilities::sgn(float value) { return value < 0 ? -1.0f : (value > 0 ? 1.0f : 0.0f); }

std::string AudioUtilities::displayTimeStringFromSeconds(double seconds) {
    const auto whole = static_cast<long long>(std::ceil(seconds));
    return fmt::format("{:02}:{:02}", (whole / 60) % 60, whole % 60);
}

std::string AudioUtilities::noteNameStringForFrequency(float frequency, bool includeOctave) {
    static const char* const names[] = {"C",  "C#", "D",  "D#", "E",  "F",
                                        "F#", "G",  "G#", "A",  "A#", "B"};
    if (!(frequency > 0) || !std::isfinite(frequency)) {
        return "";
    }
    const int n = int(std::lround(std::log(double(frequency) / 440.0) / 0.057762311286495956));
    int octave = n / 12;
    const int r = n - 12 * octave;
    int index;
    if (r >= 3) {
        index = r - 3;
        octave += 1;
    } else if (r < -9) {
        // The note lies in the octave below the one `octave` names.
        index = r + 21;
        octave -= 1;
    } else {
        index = r + 9;
    }
    std::string name = names[index];
    if (includeOctave) {
        name += std::to_string(octave + 4);
    }
    return name;
}

void AudioUtilities::getColorComponentsFromCGColor(std::span<const double> components, double* red,
                                                   double* green, double* blue, double* alpha) {
    if (components.size() != 4) {
        return;
    }
    *red = components[0];
    *green = components[1];
    *blue = components[2];
    *alpha = components[3];
}

}  // namespace vm
