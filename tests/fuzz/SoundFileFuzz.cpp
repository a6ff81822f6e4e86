// Arbitrary bytes as a sound file opened through the program's file layer (libsndfile underneath):
// opening, reading every frame through the converter to the client format, and the waveform
// summary the plots draw. The bytes live in a memory file reached through /proc, so no input
// touches the disk.
#include "localaudio/AudioFile.h"
#include "localaudio/AudioUtilities.h"
#include "platform/core/Log.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace vm;

constexpr std::uint32_t kPiece = 4096;
// At most this many pieces are read: a header may promise any length.
constexpr int kMaxPieces = 64;

void readSome(AudioFile& file) {
    const AudioStreamBasicDescription client = file.clientFormat();
    const std::uint32_t channels = client.mChannelsPerFrame;
    const bool interleaved = AudioUtilities::isInterleaved(client);
    AudioBufferList* list =
        AudioUtilities::audioBufferListWithNumberOfFrames(kPiece, channels, interleaved);
    for (int piece = 0; piece < kMaxPieces; ++piece) {
        for (std::uint32_t b = 0; b < list->mNumberBuffers; ++b) {
            audioBuffers(list)[b].mDataByteSize = kPiece * (interleaved ? channels : 1) * 4;
        }
        std::uint32_t read = 0;
        bool eof = false;
        file.readFrames(kPiece, list, &read, &eof);
        if (eof || read == 0) {
            break;
        }
    }
    AudioUtilities::freeBufferList(list);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int fd = [] {
        setLogSink([](std::string_view) {});
        AudioUtilities::setShouldExitOnCheckResultFail(false);
        return ::memfd_create("fuzz-sound-file", MFD_CLOEXEC);
    }();
    if (fd < 0 || ::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != ssize_t(size)) {
        return 0;
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (const auto file = AudioFile::audioFileWithURL(path)) {
        readSome(*file);
        file->getWaveformDataWithNumberOfPoints(64);
    }
    return 0;
}
