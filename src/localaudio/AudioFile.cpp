#include "localaudio/AudioFile.h"

#include "localaudio/AudioUtilities.h"
#include "localaudio/SoundFileFormat.h"
#include "platform/audio/AudioBufferStorage.h"

#include <fmt/format.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace vm {

namespace {

// A waveform point longer than this is summed in parts, so a long file needs no large buffer.
constexpr std::uint32_t kWaveformChunkFrames = 16384;

const std::pair<int, const char*> kMetadataKeys[] = {
    {SF_STR_TITLE, "title"},
    {SF_STR_ARTIST, "artist"},
    {SF_STR_ALBUM, "album"},
    {SF_STR_COMMENT, "comment"},
    {SF_STR_DATE, "date"},
    {SF_STR_GENRE, "genre"},
    {SF_STR_TRACKNUMBER, "tracknumber"},
    {SF_STR_COPYRIGHT, "copyright"},
    {SF_STR_SOFTWARE, "software"},
    {SF_STR_LICENSE, "license"},
};

}  // namespace

void AudioFileDelegate::audioFileUpdatedPosition(AudioFile&) {}
void AudioFileDelegate::audioFileUpdatedPosition(AudioFile&, std::int64_t) {}
bool AudioFileDelegate::takesReadAudio() const { return false; }
void AudioFileDelegate::audioFileReadAudio(AudioFile&, float**, std::uint32_t, std::uint32_t) {}

AudioFile::AudioFile()
    : info_(std::make_unique<AudioFileInfo>()),
      waveformQueue_(DispatchQueue::serial("com.velmorasoftware.vmsdr.audioFileWaveformQueue")) {}

AudioFile::~AudioFile() {
    freeFloatData();
    if (info_->soundFile) {
        const int status = sf_close(info_->soundFile);
        AudioUtilities::checkResult(statusFromSoundFileError(status),
                                    "Failed to dispose of ext audio file");
    }
}

std::shared_ptr<AudioFile> AudioFile::audioFileWithURL(const std::string& url, Error* error) {
    return audioFileWithURL(url, std::weak_ptr<AudioFileDelegate>(), error);
}

std::shared_ptr<AudioFile> AudioFile::audioFileWithURL(const std::string& url,
                                                       std::weak_ptr<AudioFileDelegate> delegate,
                                                       Error* error) {
    return audioFileWithURL(url, std::move(delegate), defaultClientFormat(), error);
}

std::shared_ptr<AudioFile> AudioFile::audioFileWithURL(
    const std::string& url, std::weak_ptr<AudioFileDelegate> delegate,
    const AudioStreamBasicDescription& clientFormat, Error* error) {
    std::shared_ptr<AudioFile> file(new AudioFile);
    file->info_->url = url;
    file->info_->clientFormat = clientFormat;
    file->setDelegate(std::move(delegate));
    if (!file->open(error)) {
        return nullptr;
    }
    return file;
}

std::shared_ptr<AudioFile> AudioFile::copy() const { return audioFileWithURL(info_->url); }

AudioStreamBasicDescription AudioFile::defaultClientFormat() {
    return AudioUtilities::stereoFloatNonInterleavedFormatWithSampleRate(
        float(defaultClientFormatSampleRate()));
}

AudioStreamBasicDescription AudioFile::floatFormat() { return defaultClientFormat(); }

std::vector<std::string> AudioFile::supportedAudioFileTypes() {
    // libsndfile has no AAC/MPEG-4 decoder: "aac", "mp4" and "m4a" are not among them.
    return {"caf", "aif", "aiff", "aifc", "mp3", "snd", "au", "sd2", "wav"};
}

bool AudioFile::open(Error* error) {
    AudioFileInfo& info = *info_;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(info.url, ec)) {
        setError(error, Error{"AudioFileErrorDomain", kAudioFileNotOpenError,
                              "The audio file could not be opened.",
                              fmt::format("There is no file at {}.", info.url)});
        return false;
    }
    SF_INFO sfInfo{};
    info.soundFile = sf_open(info.url.c_str(), SFM_READ, &sfInfo);
    if (!info.soundFile || sfInfo.channels <= 0 || sfInfo.samplerate <= 0) {
        const OSStatus status = info.soundFile ? kAudioFileInvalidFileError
                                               : statusFromSoundFileError(sf_error(nullptr));
        AudioUtilities::checkResult(status, "Failed to create ExtAudioFileRef");
        setError(error, Error{"AudioFileErrorDomain", status, "The audio file could not be opened.",
                              sf_strerror(info.soundFile)});
        return false;
    }
    info.fileFormat = fileFormatFromSoundFile(sfInfo.format, sfInfo.samplerate, sfInfo.channels);
    info.totalFrames = sfInfo.frames;
    info.duration = double(info.totalFrames) / info.fileFormat.mSampleRate;
    for (const auto& [key, name] : kMetadataKeys) {
        if (const char* value = sf_get_string(info.soundFile, key)) {
            info.metadata[name] = value;
        }
    }
    // Integer files read as float span -1 to 1 whatever their width.
    sf_command(info.soundFile, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    info.fileFrames.resize(std::size_t(AudioConverter::kChunk) * std::uint32_t(sfInfo.channels));
    setClientFormat(info.clientFormat);
    return true;
}

void AudioFile::freeFloatData() {
    AudioUtilities::freeFloatBuffers(floatData_, info_->clientFormat.mChannelsPerFrame);
    floatData_ = nullptr;
}

void AudioFile::setClientFormat(const AudioStreamBasicDescription& clientFormat) {
    std::lock_guard lock(lock_);
    AudioFileInfo& info = *info_;
    freeFloatData();
    info.clientFormat = clientFormat;
    AudioStreamBasicDescription source;
    source.mSampleRate = info.fileFormat.mSampleRate;
    AudioUtilities::setCanonicalAudioStreamBasicDescription(
        &source, info.fileFormat.mChannelsPerFrame, true);
    AudioUtilities::checkResult(AudioConverter::create(source, clientFormat, &info.converter),
                                "Couldn't set client data format on file");
    floatConverter_ = AudioFloatConverter::converterWithInputFormat(clientFormat);
    floatData_ = AudioUtilities::floatBuffersWithNumberOfFrames(kFloatBufferFrames,
                                                                clientFormat.mChannelsPerFrame);
    // The converter starts afresh where the file is.
    frameIndex_ =
        totalFrames() > 0
            ? std::int64_t(std::llround(double(sf_seek(info.soundFile, 0, SEEK_CUR)) *
                                        clientFormat.mSampleRate / info.fileFormat.mSampleRate))
            : 0;
}

std::uint32_t AudioFile::readLocked(std::uint32_t frames, AudioBufferList* bufferList) {
    AudioFileInfo& info = *info_;
    if (!info.converter || !bufferList || frames == 0) {
        return 0;
    }
    const std::uint32_t channels = info.fileFormat.mChannelsPerFrame;
    SNDFILE* soundFile = info.soundFile;
    float* chunk = info.fileFrames.data();
    auto input = [soundFile, chunk, channels](std::uint32_t* count, AudioBufferList* ioData,
                                              AudioStreamPacketDescription**) -> OSStatus {
        const std::uint32_t want = std::min(*count, AudioConverter::kChunk);
        const auto got =
            std::uint32_t(std::max<sf_count_t>(sf_readf_float(soundFile, chunk, want), 0));
        audioBuffers(ioData)[0] =
            AudioBuffer{channels, got * channels * std::uint32_t(sizeof(float)), chunk};
        *count = got;
        return 0;
    };
    std::uint32_t read = frames;
    AudioUtilities::checkResult(
        info.converter->fillComplexBuffer(input, &read, bufferList, nullptr),
        "Failed to read audio data from file");
    frameIndex_ += read;
    return read;
}

void AudioFile::readFrames(std::uint32_t frames, AudioBufferList* bufferList,
                           std::uint32_t* framesRead, bool* eof) {
    std::unique_lock lock(lock_, std::try_to_lock);
    if (!lock) {
        return;
    }
    const std::uint32_t read = readLocked(frames, bufferList);
    if (framesRead) {
        *framesRead = read;
    }
    if (eof) {
        *eof = read == 0;
    }
    tellPosition();
    auto delegate = this->delegate();
    if (delegate && delegate->takesReadAudio() && floatConverter_ && floatData_) {
        const std::uint32_t converted = std::min(read, kFloatBufferFrames);
        floatConverter_->convertDataFromAudioBufferList(bufferList, converted, floatData_);
        delegate->audioFileReadAudio(*this, floatData_, converted,
                                     info_->clientFormat.mChannelsPerFrame);
    }
}

void AudioFile::tellPosition() {
    if (auto delegate = this->delegate()) {
        delegate->audioFileUpdatedPosition(*this);
        delegate->audioFileUpdatedPosition(*this, frameIndex());
    }
}

void AudioFile::seekLocked(std::int64_t frame) {
    AudioFileInfo& info = *info_;
    frame = std::clamp<std::int64_t>(frame, 0, totalClientFrames());
    const auto fileFrame = std::min<sf_count_t>(
        std::llround(double(frame) * info.fileFormat.mSampleRate / info.clientFormat.mSampleRate),
        info.totalFrames);
    const bool failed = sf_seek(info.soundFile, fileFrame, SEEK_SET) < 0;
    AudioUtilities::checkResult(failed ? kAudioFileInvalidFileError : 0,
                                "Failed to seek frame position within audio file");
    if (failed) {
        return;
    }
    if (info.converter) {
        info.converter->reset();
    }
    frameIndex_ = frame;
}

void AudioFile::seekToFrame(std::int64_t frame) {
    {
        std::unique_lock lock(lock_, std::try_to_lock);
        if (!lock) {
            return;
        }
        seekLocked(frame);
    }
    tellPosition();
}

std::int64_t AudioFile::totalClientFrames() const {
    const AudioFileInfo& info = *info_;
    if (info.clientFormat.mSampleRate == info.fileFormat.mSampleRate) {
        return info.totalFrames;
    }
    return std::int64_t(info.clientFormat.mSampleRate * info.duration);
}

// Position and time both in client frames, so the time reaches the duration at the end of the
// file whatever the two sample rates.
float AudioFile::currentTime() const {
    const std::int64_t total = totalClientFrames();
    if (total <= 0) {
        return 0;
    }
    return AudioUtilities::map(float(frameIndex()), 0, float(total), 0, float(duration()));
}

void AudioFile::setCurrentTime(double seconds) {
    const double length = duration();
    const float frame = length > 0 ? AudioUtilities::map(float(seconds), 0, float(length), 0,
                                                         float(totalClientFrames()))
                                   : 0;
    seekToFrame(std::int64_t(frame));
}

std::string AudioFile::formattedCurrentTime() const {
    return AudioUtilities::displayTimeStringFromSeconds(currentTime());
}

std::string AudioFile::formattedDuration() const {
    return AudioUtilities::displayTimeStringFromSeconds(duration());
}

std::shared_ptr<AudioFloatData> AudioFile::getWaveformData() {
    return getWaveformDataWithNumberOfPoints(kDefaultWaveformPoints);
}

std::shared_ptr<AudioFloatData> AudioFile::getWaveformDataWithNumberOfPoints(std::uint32_t points) {
    std::unique_lock lock(lock_, std::try_to_lock);
    if (!lock) {
        return nullptr;
    }
    const AudioStreamBasicDescription client = info_->clientFormat;
    const std::uint32_t channels = client.mChannelsPerFrame;
    const std::int64_t framesPerPoint = points > 0 ? totalClientFrames() / points : 0;
    PcmLayout layout;
    if (channels == 0 || framesPerPoint == 0 || !info_->converter || !pcmLayout(client, &layout)) {
        return nullptr;
    }
    const std::int64_t position = frameIndex();
    seekLocked(0);
    AudioBufferStorage storage;
    storage.allocate(layout, kWaveformChunkFrames);
    float** samples =
        AudioUtilities::floatBuffersWithNumberOfFrames(kWaveformChunkFrames, channels);
    float** values = AudioUtilities::floatBuffersWithNumberOfFrames(points, channels);
    std::vector<double> sums(channels);
    for (std::uint32_t i = 0; i < points; ++i) {
        std::fill(sums.begin(), sums.end(), 0.0);
        std::int64_t counted = 0;
        while (counted < framesPerPoint) {
            const auto want = std::uint32_t(
                std::min<std::int64_t>(kWaveformChunkFrames, framesPerPoint - counted));
            AudioBufferList* list = storage.list(want);
            const std::uint32_t read = readLocked(want, list);
            if (read == 0) {
                break;
            }
            floatConverter_->convertDataFromAudioBufferList(list, read, samples);
            for (std::uint32_t c = 0; c < channels; ++c) {
                for (std::uint32_t f = 0; f < read; ++f) {
                    sums[c] += double(samples[c][f]) * samples[c][f];
                }
            }
            counted += read;
        }
        for (std::uint32_t c = 0; c < channels; ++c) {
            values[c][i] = counted > 0 ? float(std::sqrt(sums[c] / double(counted))) : 0.0f;
        }
    }
    seekLocked(position);
    auto data = AudioFloatData::dataWithNumberOfChannels(std::int32_t(channels), values, points);
    AudioUtilities::freeFloatBuffers(samples, channels);
    AudioUtilities::freeFloatBuffers(values, channels);
    return data;
}

void AudioFile::getWaveformDataWithCompletionBlock(WaveformCompletion completion) {
    getWaveformDataWithNumberOfPoints(kDefaultWaveformPoints, std::move(completion));
}

void AudioFile::getWaveformDataWithNumberOfPoints(std::uint32_t points,
                                                  WaveformCompletion completion) {
    if (!completion) {
        return;
    }
    std::weak_ptr<AudioFile> weak = weak_from_this();
    waveformQueue_->async([weak, points, completion = std::move(completion)] {
        std::shared_ptr<AudioFloatData> data;
        if (auto self = weak.lock()) {
            data = self->getWaveformDataWithNumberOfPoints(points);
        }
        DispatchQueue::main()->async([data, completion] {
            completion(data ? data->buffers() : nullptr,
                       data ? std::int32_t(data->bufferSize()) : 0);
        });
    });
}

std::string AudioFile::description() const {
    std::string metadataText = "{";
    for (const auto& [key, value] : info_->metadata) {
        metadataText += fmt::format("\n        {} = \"{}\";", key, value);
    }
    metadataText += info_->metadata.empty() ? "}" : "\n    }";
    return fmt::format(
        "<AudioFile: {}> {{\n    url: {},\n    duration: {:f},\n    totalFrames: {},\n    "
        "metadata: {},\n    fileFormat: {{ {} }},\n    clientFormat: {{ {} }} \n}}",
        static_cast<const void*>(this), info_->url, info_->duration, info_->totalFrames,
        metadataText, AudioUtilities::stringForAudioStreamBasicDescription(info_->fileFormat),
        AudioUtilities::stringForAudioStreamBasicDescription(info_->clientFormat));
}

}  // namespace vm
