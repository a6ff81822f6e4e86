#pragma once
// What the audio file and recorder classes need of libsndfile's formats: the stream description
// of a file's own format, the libsndfile format that stores a description in a file type, the
// completion of a description's derived fields, and status codes for libsndfile's errors.
#include "platform/audio/AudioTypes.h"

#include <cstdint>

namespace vm {

using AudioFileTypeID = std::uint32_t;
constexpr AudioFileTypeID kAudioFileAIFFType = fourCC("AIFF");
constexpr AudioFileTypeID kAudioFileM4AType = fourCC("m4af");
constexpr AudioFileTypeID kAudioFileWAVEType = fourCC("WAVE");

constexpr OSStatus kAudioFileUnspecifiedError = fourCC("wht?");
constexpr OSStatus kAudioFileUnsupportedFileTypeError = fourCC("typ?");
constexpr OSStatus kAudioFileInvalidFileError = fourCC("dta?");
constexpr OSStatus kAudioFilePermissionsError = fourCC("prm?");
constexpr OSStatus kAudioFileNotOpenError = -38;

// Fills the derived fields of a linear PCM description (frames per packet, bytes per frame and
// per packet) from its bits, channels and layout. Any other format answers 'fmt?': no codec here
// encodes or decodes them (AAC, iLBC).
OSStatus completeAudioFormat(AudioStreamBasicDescription* format);

// The stream description of a file that libsndfile opened (its SF_INFO format, rate and
// channels). Compressed data gets its codec's format id and no byte sizes.
AudioStreamBasicDescription fileFormatFromSoundFile(int soundFileFormat, int sampleRate,
                                                    int channels);

// The libsndfile format that stores linear PCM of `format` in a file of `type` (AIFF or WAVE),
// or 0 when there is none.
int soundFileFormatFor(AudioFileTypeID type, const AudioStreamBasicDescription& format);

// The status that stands for a libsndfile error number.
OSStatus statusFromSoundFileError(int error);

}  // namespace vm
