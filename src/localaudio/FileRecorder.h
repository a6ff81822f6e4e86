#pragma once
// Writes audio buffers to a new AIFF or WAVE file, converting from a client format on write
// (sample type, layout, channels, sample rate). The file is written under a hidden temporary
// name in the same folder and renamed to its own name when it is closed, so a recording that is
// cut off never leaves half a file under that name, and a file list that skips hidden files does
// not show a recording in progress. M4A (AAC) cannot be written: no AAC encoder is available.
//
// Appends write to disk on the caller's thread: feed a recorder from a queue, not from an audio
// thread.
#include "localaudio/AtomicWeakPtr.h"
#include "localaudio/SoundFileFormat.h"
#include "platform/audio/AudioConverter.h"
#include "platform/audio/AudioTypes.h"
#include "platform/core/Error.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;

namespace vm {

class FileRecorder;

// File types a recorder is asked for by number; any other number writes WAVE in the
// non-interleaved canonical form (32-bit float stereo).
using FileRecorderFileType = int;
constexpr FileRecorderFileType FileRecorderFileTypeAIFF = 0;
constexpr FileRecorderFileType FileRecorderFileTypeM4A = 1;
constexpr FileRecorderFileType FileRecorderFileTypeWAV = 2;

class FileRecorderDelegate {
public:
    virtual ~FileRecorderDelegate() = default;
    virtual void recorderUpdatedCurrentTime(FileRecorder& recorder);
    virtual void recorderDidClose(FileRecorder& recorder);
};

struct FileRecorderInfo {
    AudioFileTypeID audioFileTypeID = 0;
    SNDFILE* soundFile = nullptr;
    int descriptor = -1;  // of the temporary file, until it is closed
    AudioStreamBasicDescription clientFormat{};
    bool closed = false;
    std::string fileURL;
    std::string temporaryURL;
    AudioStreamBasicDescription fileFormat{};
    // Client frames to the file's channels and rate as float, interleaved, for libsndfile.
    std::unique_ptr<AudioConverter> converter;
    std::vector<float> fileFrames;
    std::vector<std::uint8_t> sourceView;  // a list over part of the caller's buffers
};

class FileRecorder {
public:
    // Null when the file cannot be created in that format; `error` says why.
    static std::shared_ptr<FileRecorder> recorderWithURL(
        const std::string& url, const AudioStreamBasicDescription& clientFormat,
        FileRecorderFileType fileType, std::weak_ptr<FileRecorderDelegate> delegate = {},
        Error* error = nullptr);
    static std::shared_ptr<FileRecorder> recorderWithURL(
        const std::string& url, const AudioStreamBasicDescription& clientFormat,
        const AudioStreamBasicDescription& fileFormat, AudioFileTypeID audioFileTypeID,
        std::weak_ptr<FileRecorderDelegate> delegate = {}, Error* error = nullptr);
    static std::shared_ptr<FileRecorder> recorderWithDestinationURL(
        const std::string& url, const AudioStreamBasicDescription& sourceFormat,
        FileRecorderFileType destinationFileType, Error* error = nullptr);
    ~FileRecorder();
    FileRecorder(const FileRecorder&) = delete;
    FileRecorder& operator=(const FileRecorder&) = delete;

    // The file format and type id a file type stands for, with the source's channels and rate.
    static AudioStreamBasicDescription formatForFileType(
        FileRecorderFileType fileType, const AudioStreamBasicDescription& sourceFormat);
    static AudioFileTypeID fileTypeIdForFileType(FileRecorderFileType fileType,
                                                 const AudioStreamBasicDescription& sourceFormat);

    std::shared_ptr<FileRecorderDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<FileRecorderDelegate> delegate) {
        delegate_.store(std::move(delegate));
    }

    // Writes `frames` frames of `bufferList`, in the client format.
    void appendDataFromBufferList(const AudioBufferList* bufferList, std::uint32_t frames);
    // Finishes the file and gives it its name; only the first call does anything.
    void closeAudioFile();
    // A format the file cannot be written from leaves the previous one in place.
    void setClientFormat(const AudioStreamBasicDescription& clientFormat);

    AudioStreamBasicDescription clientFormat() const { return info_->clientFormat; }
    AudioStreamBasicDescription fileFormat() const { return info_->fileFormat; }
    const std::string& url() const { return info_->fileURL; }
    std::int64_t totalFrames() const { return totalFrames_.load(); }  // in file frames
    std::int64_t frameIndex() const { return frameIndex_.load(); }    // in client frames
    double duration() const;
    double currentTime() const;
    std::string formattedCurrentTime() const;
    std::string formattedDuration() const;
    FileRecorderInfo* info() const { return info_.get(); }

private:
    FileRecorder();
    bool setup(Error* error);
    void writeFileFrames(std::uint32_t frames);

    AtomicWeakPtr<FileRecorderDelegate> delegate_;
    std::unique_ptr<FileRecorderInfo> info_;
    std::atomic<std::int64_t> totalFrames_{0};
    std::atomic<std::int64_t> frameIndex_{0};
};

}  // namespace vm
