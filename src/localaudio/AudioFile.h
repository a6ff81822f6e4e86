#pragma once
// Reads an audio file that libsndfile opens (WAV, AIFF, CAF, AU, FLAC, Ogg, MP3 and others),
// converting on read to a client format, by default 44100 Hz 32-bit float non-interleaved
// stereo: channel counts and sample rates are converted too. It seeks, tells position and
// duration in client frames, keeps the file's metadata, and summarises the file as per-channel
// RMS values for waveform plots.
//
// Reads, seeks and waveform summaries exclude each other without waiting: one that finds the
// file busy does nothing (a read leaves its out-values as they were). So a render thread that
// reads never waits for a summary being computed on another thread.
#include "localaudio/AtomicWeakPtr.h"
#include "localaudio/AudioFloatConverter.h"
#include "localaudio/AudioFloatData.h"
#include "platform/audio/AudioConverter.h"
#include "platform/audio/AudioTypes.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Error.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;

namespace vm {

class AudioFile;

// What an AudioFile tells its delegate, on the thread that reads or seeks. Every method has an
// empty default.
class AudioFileDelegate {
public:
    virtual ~AudioFileDelegate() = default;
    virtual void audioFileUpdatedPosition(AudioFile& file);
    virtual void audioFileUpdatedPosition(AudioFile& file, std::int64_t framePosition);
    // Whether audioFileReadAudio is wanted: converting each read to float costs, so only a
    // delegate that answers true gets it.
    virtual bool takesReadAudio() const;
    // What a read gave, as one float array per channel (at most kFloatBufferFrames frames).
    virtual void audioFileReadAudio(AudioFile& file, float** buffer, std::uint32_t bufferSize,
                                    std::uint32_t numberOfChannels);
};

// The open file and what reading it needs.
struct AudioFileInfo {
    SNDFILE* soundFile = nullptr;
    AudioStreamBasicDescription clientFormat{};
    double duration = 0;  // seconds
    AudioStreamBasicDescription fileFormat{};
    std::int64_t totalFrames = 0;  // in the file's own frames
    std::string url;
    // File frames as libsndfile gives them (float, interleaved, the file's rate and channels)
    // to the client format.
    std::unique_ptr<AudioConverter> converter;
    std::vector<float> fileFrames;  // one chunk of file frames for the converter
    std::map<std::string, std::string> metadata;
};

class AudioFile : public std::enable_shared_from_this<AudioFile> {
public:
    // Float buffers handed to the delegate hold this many frames.
    static constexpr std::uint32_t kFloatBufferFrames = 1024;
    static constexpr std::uint32_t kDefaultWaveformPoints = 1024;

    // Null when there is no file at `url` or libsndfile cannot open it; `error` says which.
    static std::shared_ptr<AudioFile> audioFileWithURL(const std::string& url,
                                                       Error* error = nullptr);
    static std::shared_ptr<AudioFile> audioFileWithURL(const std::string& url,
                                                       std::weak_ptr<AudioFileDelegate> delegate,
                                                       Error* error = nullptr);
    static std::shared_ptr<AudioFile> audioFileWithURL(
        const std::string& url, std::weak_ptr<AudioFileDelegate> delegate,
        const AudioStreamBasicDescription& clientFormat, Error* error = nullptr);
    ~AudioFile();
    AudioFile(const AudioFile&) = delete;
    AudioFile& operator=(const AudioFile&) = delete;

    // A new file on the same URL, with the default client format and no delegate.
    std::shared_ptr<AudioFile> copy() const;

    static double defaultClientFormatSampleRate() { return 44100.0; }
    static AudioStreamBasicDescription defaultClientFormat();
    // File name extensions of the types this class reads.
    static std::vector<std::string> supportedAudioFileTypes();

    std::shared_ptr<AudioFileDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<AudioFileDelegate> delegate) {
        delegate_.store(std::move(delegate));
    }

    // Reads up to `frames` frames in the client format into `bufferList`, whose buffers' byte
    // sizes bound the read and, on return, say what was read. End of file: nothing was read.
    void readFrames(std::uint32_t frames, AudioBufferList* bufferList, std::uint32_t* framesRead,
                    bool* eof);
    // A frame of the client format, kept within the file.
    void seekToFrame(std::int64_t frame);
    void setCurrentTime(double seconds);
    void setClientFormat(const AudioStreamBasicDescription& clientFormat);

    const std::map<std::string, std::string>& metadata() const { return info_->metadata; }

    // Per-channel RMS values of `points` equal parts of the file, or null for 0 points, a file
    // with fewer client frames than points, or a busy file. The position is kept.
    std::shared_ptr<AudioFloatData> getWaveformData();
    std::shared_ptr<AudioFloatData> getWaveformDataWithNumberOfPoints(std::uint32_t points);
    // The same computed on the file's own queue and handed to `completion` on the main queue
    // (null and 0 when there is none).
    using WaveformCompletion = std::function<void(float** waveformData, std::int32_t length)>;
    void getWaveformDataWithCompletionBlock(WaveformCompletion completion);
    void getWaveformDataWithNumberOfPoints(std::uint32_t points, WaveformCompletion completion);

    std::string description() const;

    double duration() const { return info_->duration; }
    double totalDuration() const { return info_->duration; }
    std::int64_t totalFrames() const { return info_->totalFrames; }
    std::int64_t totalClientFrames() const;
    std::int64_t frameIndex() const { return frameIndex_.load(); }
    float currentTime() const;
    std::string formattedCurrentTime() const;
    std::string formattedDuration() const;
    AudioStreamBasicDescription fileFormat() const { return info_->fileFormat; }
    AudioStreamBasicDescription clientFormat() const { return info_->clientFormat; }
    const std::string& url() const { return info_->url; }
    static AudioStreamBasicDescription floatFormat();
    std::shared_ptr<AudioFloatConverter> floatConverter() const { return floatConverter_; }
    AudioFileInfo* info() const { return info_.get(); }

private:
    AudioFile();
    bool open(Error* error);
    void tellPosition();
    // With the lock held.
    std::uint32_t readLocked(std::uint32_t frames, AudioBufferList* bufferList);
    void seekLocked(std::int64_t frame);
    void freeFloatData();

    AtomicWeakPtr<AudioFileDelegate> delegate_;
    std::shared_ptr<AudioFloatConverter> floatConverter_;
    float** floatData_ = nullptr;
    std::unique_ptr<AudioFileInfo> info_;
    DispatchQueuePtr waveformQueue_;
    std::mutex lock_;                          // every use of the open file
    std::atomic<std::int64_t> frameIndex_{0};  // in client frames
};

}  // namespace vm
