#include "localaudio/FileRecorder.h"

#include "localaudio/AudioUtilities.h"

#include <fcntl.h>
#include <fmt/format.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace vm {

namespace {

Error recorderError(OSStatus status, std::string reason) {
    return Error{"FileRecorderErrorDomain", status, "The audio file could not be created.",
                 std::move(reason)};
}

// Flushes the file and moves it under its own name; the rename reaches the disk too.
bool finishFile(int descriptor, const std::string& temporary, const std::string& destination) {
    bool ok = ::fsync(descriptor) == 0;
    ::close(descriptor);
    ok = ok && ::rename(temporary.c_str(), destination.c_str()) == 0;
    if (!ok) {
        return false;
    }
    const auto folder = std::filesystem::path(destination).parent_path();
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace

void FileRecorderDelegate::recorderUpdatedCurrentTime(FileRecorder&) {}
void FileRecorderDelegate::recorderDidClose(FileRecorder&) {}

FileRecorder::FileRecorder() : info_(std::make_unique<FileRecorderInfo>()) {}

FileRecorder::~FileRecorder() { closeAudioFile(); }

AudioStreamBasicDescription FileRecorder::formatForFileType(
    FileRecorderFileType fileType, const AudioStreamBasicDescription& sourceFormat) {
    const std::uint32_t channels = sourceFormat.mChannelsPerFrame;
    const auto rate = float(sourceFormat.mSampleRate);
    switch (fileType) {
        case FileRecorderFileTypeAIFF:
            return AudioUtilities::aiffFormatWithNumberOfChannels(channels, rate);
        case FileRecorderFileTypeM4A:
            return AudioUtilities::m4aFormatWithNumberOfChannels(channels, rate);
        case FileRecorderFileTypeWAV:
            return AudioUtilities::stereoFloatInterleavedFormatWithSampleRate(rate);
        default: return AudioUtilities::stereoCanonicalNonInterleavedFormatWithSampleRate(rate);
    }
}

AudioFileTypeID FileRecorder::fileTypeIdForFileType(FileRecorderFileType fileType,
                                                    const AudioStreamBasicDescription&) {
    switch (fileType) {
        case FileRecorderFileTypeAIFF: return kAudioFileAIFFType;
        case FileRecorderFileTypeM4A: return kAudioFileM4AType;
        default: return kAudioFileWAVEType;
    }
}

std::shared_ptr<FileRecorder> FileRecorder::recorderWithURL(
    const std::string& url, const AudioStreamBasicDescription& clientFormat,
    FileRecorderFileType fileType, std::weak_ptr<FileRecorderDelegate> delegate, Error* error) {
    return recorderWithURL(url, clientFormat, formatForFileType(fileType, clientFormat),
                           fileTypeIdForFileType(fileType, clientFormat), std::move(delegate),
                           error);
}

std::shared_ptr<FileRecorder> FileRecorder::recorderWithURL(
    const std::string& url, const AudioStreamBasicDescription& clientFormat,
    const AudioStreamBasicDescription& fileFormat, AudioFileTypeID audioFileTypeID,
    std::weak_ptr<FileRecorderDelegate> delegate, Error* error) {
    std::shared_ptr<FileRecorder> recorder(new FileRecorder);
    FileRecorderInfo& info = *recorder->info_;
    info.audioFileTypeID = audioFileTypeID;
    info.fileURL = url;
    info.clientFormat = clientFormat;
    info.fileFormat = fileFormat;
    recorder->setDelegate(std::move(delegate));
    if (!recorder->setup(error)) {
        return nullptr;
    }
    return recorder;
}

std::shared_ptr<FileRecorder> FileRecorder::recorderWithDestinationURL(
    const std::string& url, const AudioStreamBasicDescription& sourceFormat,
    FileRecorderFileType destinationFileType, Error* error) {
    return recorderWithURL(url, sourceFormat, destinationFileType, {}, error);
}

bool FileRecorder::setup(Error* error) {
    FileRecorderInfo& info = *info_;
    info.closed = true;  // until the file is open
    OSStatus status = completeAudioFormat(&info.fileFormat);
    AudioUtilities::checkResult(status, "Failed to fill out rest of destination format");
    if (status != 0) {
        setError(error, recorderError(status, fmt::format("Files of format {} cannot be written "
                                                          "here (no encoder for it); record in "
                                                          "WAV or AIFF.",
                                                          AudioUtilities::stringFromUInt32Code(
                                                              info.fileFormat.mFormatID))));
        return false;
    }
    SF_INFO sfInfo{};
    sfInfo.format = soundFileFormatFor(info.audioFileTypeID, info.fileFormat);
    sfInfo.samplerate = int(info.fileFormat.mSampleRate);
    sfInfo.channels = int(info.fileFormat.mChannelsPerFrame);
    if (sfInfo.format == 0) {
        status = kAudioFileUnsupportedFileTypeError;
        AudioUtilities::checkResult(status, "Failed to create audio file");
        setError(error, recorderError(status, "This file type cannot hold that format."));
        return false;
    }
    const AudioStreamBasicDescription clientFormat = info.clientFormat;
    info.clientFormat = {};
    setClientFormat(clientFormat);
    if (!info.converter) {
        setError(error, recorderError(kAudioFormatUnsupportedError,
                                      "The audio cannot be converted to the file's format."));
        return false;
    }
    const std::filesystem::path path(info.fileURL);
    const auto folder =
        path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
    info.temporaryURL = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    info.descriptor = ::mkstemp(info.temporaryURL.data());
    const int mkstempError = errno;
    if (info.descriptor >= 0) {
        info.soundFile = sf_open_fd(info.descriptor, SFM_WRITE, &sfInfo, SF_FALSE);
    }
    if (!info.soundFile) {
        const std::string reason =
            info.descriptor < 0 ? std::strerror(mkstempError) : sf_strerror(nullptr);
        status = info.descriptor < 0 ? kAudioFilePermissionsError
                                     : statusFromSoundFileError(sf_error(nullptr));
        AudioUtilities::checkResult(status, "Failed to create audio file");
        setError(error, recorderError(status, reason));
        if (info.descriptor >= 0) {
            ::close(info.descriptor);
            ::unlink(info.temporaryURL.c_str());
        }
        return false;
    }
    info.closed = false;
    // Integer files clip rather than wrap around.
    sf_command(info.soundFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    info.fileFrames.resize(std::size_t(AudioConverter::kChunk) * std::uint32_t(sfInfo.channels));
    return true;
}

void FileRecorder::setClientFormat(const AudioStreamBasicDescription& clientFormat) {
    FileRecorderInfo& info = *info_;
    AudioStreamBasicDescription destination;
    destination.mSampleRate = info.fileFormat.mSampleRate;
    AudioUtilities::setCanonicalAudioStreamBasicDescription(
        &destination, info.fileFormat.mChannelsPerFrame, true);
    std::unique_ptr<AudioConverter> converter;
    const OSStatus status = AudioConverter::create(clientFormat, destination, &converter);
    AudioUtilities::checkResult(status, "Failed to set client format on recorded audio file");
    if (status != 0) {
        return;
    }
    info.converter = std::move(converter);
    info.clientFormat = clientFormat;
    info.sourceView.assign(
        audioBufferListSize(std::max<std::uint32_t>(clientFormat.mChannelsPerFrame, 1)), 0);
}

void FileRecorder::appendDataFromBufferList(const AudioBufferList* bufferList,
                                            std::uint32_t frames) {
    FileRecorderInfo& info = *info_;
    if (info.closed || !info.converter || !bufferList) {
        AudioUtilities::checkResult(kAudioFileNotOpenError,
                                    "Failed to write audio data to recorded audio file");
        return;
    }
    const std::uint32_t bytesPerFrame = info.clientFormat.mBytesPerFrame;
    auto* view = reinterpret_cast<AudioBufferList*>(info.sourceView.data());
    const auto viewBuffers = std::min<std::uint32_t>(
        bufferList->mNumberBuffers,
        std::uint32_t((info.sourceView.size() - offsetof(AudioBufferList, mBuffers)) /
                      sizeof(AudioBuffer)));
    view->mNumberBuffers = viewBuffers;
    for (std::uint32_t b = 0; b < viewBuffers; ++b) {
        audioBuffers(view)[b] = audioBuffers(bufferList)[b];
        frames = std::min(frames,
                          bytesPerFrame ? audioBuffers(view)[b].mDataByteSize / bytesPerFrame : 0);
    }
    // Hands the caller's frames over in order, as the converter asks for them.
    std::uint32_t handed = 0;
    auto input = [view, frames, bytesPerFrame, &handed](
                     std::uint32_t* count, AudioBufferList* ioData,
                     AudioStreamPacketDescription**) -> OSStatus {
        const std::uint32_t n = std::min(*count, frames - handed);
        for (std::uint32_t b = 0; b < std::min(view->mNumberBuffers, ioData->mNumberBuffers); ++b) {
            const AudioBuffer& source = audioBuffers(view)[b];
            audioBuffers(ioData)[b] = AudioBuffer{
                source.mNumberChannels, n * bytesPerFrame,
                static_cast<std::uint8_t*>(source.mData) + std::size_t(handed) * bytesPerFrame};
        }
        handed += n;
        *count = n;
        return 0;
    };
    const std::uint32_t channels = info.fileFormat.mChannelsPerFrame;
    AudioBufferList out;
    out.mNumberBuffers = 1;
    for (;;) {
        out.mBuffers[0] =
            AudioBuffer{channels, std::uint32_t(info.fileFrames.size() * sizeof(float)),
                        info.fileFrames.data()};
        std::uint32_t converted = AudioConverter::kChunk;
        const OSStatus status = info.converter->fillComplexBuffer(input, &converted, &out, nullptr);
        AudioUtilities::checkResult(status, "Failed to write audio data to recorded audio file");
        if (status != 0 || converted == 0) {
            break;
        }
        writeFileFrames(converted);
    }
    frameIndex_ += handed;
    if (auto delegate = this->delegate()) {
        delegate->recorderUpdatedCurrentTime(*this);
    }
}

void FileRecorder::writeFileFrames(std::uint32_t frames) {
    FileRecorderInfo& info = *info_;
    const sf_count_t written = sf_writef_float(info.soundFile, info.fileFrames.data(), frames);
    if (written > 0) {
        totalFrames_ += written;
    }
    if (written != sf_count_t(frames)) {
        const OSStatus status = statusFromSoundFileError(sf_error(info.soundFile));
        AudioUtilities::checkResult(status ? status : kAudioFileUnspecifiedError,
                                    "Failed to write audio data to recorded audio file");
    }
}

void FileRecorder::closeAudioFile() {
    FileRecorderInfo& info = *info_;
    if (info.closed) {
        return;
    }
    info.closed = true;
    OSStatus status = statusFromSoundFileError(sf_close(info.soundFile));
    info.soundFile = nullptr;
    if (!finishFile(info.descriptor, info.temporaryURL, info.fileURL) && status == 0) {
        status = kAudioFilePermissionsError;  // the recording stays under its temporary name
    }
    info.descriptor = -1;
    AudioUtilities::checkResult(status, "Failed to close audio file");
    if (auto delegate = this->delegate()) {
        delegate->recorderDidClose(*this);
    }
}

double FileRecorder::duration() const {
    const double rate = info_->fileFormat.mSampleRate;
    return rate > 0 ? double(totalFrames()) / rate : 0;
}

// A recorder only appends, so its position is its end: the time written so far.
double FileRecorder::currentTime() const { return duration(); }

std::string FileRecorder::formattedCurrentTime() const {
    return AudioUtilities::displayTimeStringFromSeconds(currentTime());
}

std::string FileRecorder::formattedDuration() const {
    return AudioUtilities::displayTimeStringFromSeconds(duration());
}

}  // namespace vm
