#include "localaudio/SoundFileFormat.h"

#include <sndfile.h>

namespace vm {

namespace {

bool bigEndianByDefault(int major) {
    return major == SF_FORMAT_AIFF || major == SF_FORMAT_AU || major == SF_FORMAT_CAF;
}

AudioStreamBasicDescription pcm(AudioFormatFlags flags, std::uint32_t bits,
                                std::uint32_t channels) {
    AudioStreamBasicDescription f;
    f.mFormatID = kAudioFormatLinearPCM;
    f.mFormatFlags = flags | kAudioFormatFlagIsPacked;
    f.mBitsPerChannel = bits;
    f.mChannelsPerFrame = channels;
    f.mFramesPerPacket = 1;
    f.mBytesPerFrame = f.mBytesPerPacket = bits / 8 * channels;
    return f;
}

AudioFormatID compressedFormatID(int major, int subtype) {
    switch (subtype) {
        case SF_FORMAT_ULAW: return fourCC("ulaw");
        case SF_FORMAT_ALAW: return fourCC("alaw");
        case SF_FORMAT_IMA_ADPCM: return fourCC("ima4");
        case SF_FORMAT_GSM610: return fourCC("agsm");
        case SF_FORMAT_MPEG_LAYER_I: return fourCC(".mp1");
        case SF_FORMAT_MPEG_LAYER_II: return fourCC(".mp2");
        case SF_FORMAT_MPEG_LAYER_III: return fourCC(".mp3");
        case SF_FORMAT_VORBIS: return fourCC("vorb");
        case SF_FORMAT_OPUS: return fourCC("opus");
        case SF_FORMAT_ALAC_16:
        case SF_FORMAT_ALAC_20:
        case SF_FORMAT_ALAC_24:
        case SF_FORMAT_ALAC_32: return fourCC("alac");
        default: return major == SF_FORMAT_FLAC ? fourCC("flac") : 0;
    }
}

}  // namespace

OSStatus completeAudioFormat(AudioStreamBasicDescription* format) {
    if (!format) {
        return kAudioParamError;
    }
    if (format->mFormatID != kAudioFormatLinearPCM || format->mBitsPerChannel % 8 != 0 ||
        format->mBitsPerChannel == 0 || format->mChannelsPerFrame == 0) {
        return kAudioFormatUnsupportedError;
    }
    const bool interleaved = !(format->mFormatFlags & kAudioFormatFlagIsNonInterleaved);
    format->mFramesPerPacket = 1;
    format->mBytesPerFrame =
        format->mBitsPerChannel / 8 * (interleaved ? format->mChannelsPerFrame : 1);
    format->mBytesPerPacket = format->mBytesPerFrame;
    return 0;
}

AudioStreamBasicDescription fileFormatFromSoundFile(int soundFileFormat, int sampleRate,
                                                    int channels) {
    const int major = soundFileFormat & SF_FORMAT_TYPEMASK;
    const int subtype = soundFileFormat & SF_FORMAT_SUBMASK;
    const int endian = soundFileFormat & SF_FORMAT_ENDMASK;
    const bool big =
        endian == SF_ENDIAN_BIG || (endian != SF_ENDIAN_LITTLE && bigEndianByDefault(major));
    const AudioFormatFlags order = big ? kAudioFormatFlagIsBigEndian : 0;
    const auto count = std::uint32_t(channels > 0 ? channels : 0);
    AudioStreamBasicDescription f;
    switch (subtype) {
        case SF_FORMAT_PCM_S8: f = pcm(kAudioFormatFlagIsSignedInteger, 8, count); break;
        case SF_FORMAT_PCM_U8: f = pcm(0, 8, count); break;
        case SF_FORMAT_PCM_16: f = pcm(kAudioFormatFlagIsSignedInteger | order, 16, count); break;
        case SF_FORMAT_PCM_24: f = pcm(kAudioFormatFlagIsSignedInteger | order, 24, count); break;
        case SF_FORMAT_PCM_32: f = pcm(kAudioFormatFlagIsSignedInteger | order, 32, count); break;
        case SF_FORMAT_FLOAT: f = pcm(kAudioFormatFlagIsFloat | order, 32, count); break;
        case SF_FORMAT_DOUBLE: f = pcm(kAudioFormatFlagIsFloat | order, 64, count); break;
        default:
            f.mFormatID = compressedFormatID(major, subtype);
            f.mChannelsPerFrame = count;
            break;
    }
    f.mSampleRate = sampleRate;
    return f;
}

int soundFileFormatFor(AudioFileTypeID type, const AudioStreamBasicDescription& format) {
    int major = 0;
    if (type == kAudioFileAIFFType) {
        major = SF_FORMAT_AIFF;
    } else if (type == kAudioFileWAVEType) {
        major = SF_FORMAT_WAV;
    }
    if (major == 0 || format.mFormatID != kAudioFormatLinearPCM) {
        return 0;
    }
    const bool isFloat = format.mFormatFlags & kAudioFormatFlagIsFloat;
    int subtype = 0;
    switch (format.mBitsPerChannel) {
        case 8: subtype = major == SF_FORMAT_WAV ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_S8; break;
        case 16: subtype = SF_FORMAT_PCM_16; break;
        case 24: subtype = SF_FORMAT_PCM_24; break;
        case 32: subtype = isFloat ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_32; break;
        case 64: subtype = isFloat ? SF_FORMAT_DOUBLE : 0; break;
        default: break;
    }
    if (subtype == 0 || (isFloat && format.mBitsPerChannel < 32)) {
        return 0;
    }
    SF_INFO info{};
    info.format = major | subtype;
    info.samplerate = int(format.mSampleRate);
    info.channels = int(format.mChannelsPerFrame);
    return sf_format_check(&info) ? info.format : 0;
}

OSStatus statusFromSoundFileError(int error) {
    switch (error) {
        case SF_ERR_NO_ERROR: return 0;
        case SF_ERR_UNRECOGNISED_FORMAT: return kAudioFileUnsupportedFileTypeError;
        case SF_ERR_MALFORMED_FILE: return kAudioFileInvalidFileError;
        case SF_ERR_UNSUPPORTED_ENCODING: return kAudioFormatUnsupportedError;
        case SF_ERR_SYSTEM: return kAudioFilePermissionsError;
        default: return kAudioFileUnspecifiedError;
    }
}

}  // namespace vm
