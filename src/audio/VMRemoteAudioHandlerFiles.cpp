// Voice recording from the microphone, the list of recorded sound files, and transmitting a sound
// file in place of the microphone.
#include "audio/VMRemoteAudioHandler.h"

#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"
#include "util/SharedFunctions.h"

#include <algorithm>
#include <filesystem>

namespace vm {

namespace {

constexpr const char* kLastSoundFile = "last_sound_file_played";

}  // namespace

void VMRemoteAudioHandler::setVoiceFileApplication(std::weak_ptr<VoiceFileApplication> app) {
    files_ = std::move(app);
}

void VMRemoteAudioHandler::recordFile(const std::string& path) {
    const auto app = files_.lock();
    const std::string wavPath = VoiceRecorder::recordingPath(path);
    Error error;
    if (!voiceRecorder_->record(wavPath, &error)) {
        log("recordStopPressed:error:[{}]", error.description);
        if (app) {
            app->setRecordStopButtonTitle("Record");
        }
        if (recordingMetersTimer_) {
            recordingMetersTimer_->cancel();
            recordingMetersTimer_.reset();
        }
        return;
    }
    voiceFileName_ = std::filesystem::path(wavPath).filename().string();
    log("recordFile:[{}] [{}]", wavPath, voiceFileName_);
    if (app) {
        app->setRecordStopButtonTitle("Stop");
        app->setElapsedSecondsLabelHidden(false);
    }
    if (recordingMetersTimer_) {
        recordingMetersTimer_->cancel();
    }
    recordingMetersTimer_ = vm_create_dispatch_timer(100'000'000, 10'000'000, DispatchQueue::main(),
                                                     [weak = weak_from_this()] {
                                                         if (const auto self = weak.lock()) {
                                                             self->recordingMetersTimer();
                                                         }
                                                     });
}

void VMRemoteAudioHandler::recordingMetersTimer() {
    if (!voiceRecorder_->isRecording()) {
        return;
    }
    voiceRecorder_->updateMeters();
    const auto app = files_.lock();
    if (!app) {
        return;
    }
    app->setLeftPowerIndicator(
        VoiceRecorder::powerIndicatorLevel(voiceRecorder_->averagePowerForChannel(0)));
    app->setRightPowerIndicator(
        VoiceRecorder::powerIndicatorLevel(voiceRecorder_->averagePowerForChannel(1)));
    app->setElapsedSecondsLabel(VoiceRecorder::elapsedText(voiceRecorder_->currentTime()));
}

void VMRemoteAudioHandler::stopRecording() {
    voiceRecorder_->stop();
    if (const auto app = files_.lock()) {
        app->setElapsedSecondsLabelHidden(true);
        app->setRecordStopButtonTitle("Record");
        app->setLeftPowerIndicator(0);
        app->setRightPowerIndicator(0);
    }
    if (recordingMetersTimer_) {
        recordingMetersTimer_->cancel();
        recordingMetersTimer_.reset();
    }
    loadSoundFiles();
    if (voiceFileName_.empty()) {
        return;
    }
    if (const auto app = files_.lock()) {
        app->selectRecordedFile(voiceFileName_);
    }
    Defaults::standard().set(kLastSoundFile, voiceFileName_);
}

// The folder's visible entries, without what lies in its sub-folders, sorted by name so that the
// list keeps its order from one refill to the next.
void VMRemoteAudioHandler::loadSoundFiles() {
    const auto app = files_.lock();
    if (!app) {
        return;
    }
    app->removeAllRecordedFiles();
    std::vector<std::string> titles;
    std::error_code error;
    for (std::filesystem::directory_iterator it(app->soundFilesPath(), error), end;
         !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (!name.empty() && name.front() != '.') {
            titles.push_back(std::move(name));
        }
    }
    std::sort(titles.begin(), titles.end());
    for (const auto& title : titles) {
        app->addRecordedFile(title);
    }
    if (const auto last = Defaults::standard().stringForKey(kLastSoundFile)) {
        app->selectRecordedFile(*last);
    }
}

void VMRemoteAudioHandler::transmitFile(const std::string& path) {
    log("transmitFile:[{}]", path);
    Error error;
    const auto next = SoundFileTransmission::open(path, &error);
    if (!next) {
        log("transmitFile:error:[{}]", error.description);
        return;
    }
    if (fileTransmission_) {
        // Another file is on the air: this one follows it at once, still keyed.
        fileTransmission_->cutShort();
    } else {
        const auto mic = microphone();
        micWasFetching_ = mic && mic->audioUnit() && mic->audioUnit()->isRunning();
        if (mic) {
            mic->stopFetchingAudio();
        } else {
            // Without a microphone the encoder is made here, for the file's packets.
            transmitter_->setSourceFormat(RemoteAudioTransmitter::transmitFormat());
        }
        transmitter_->clear();
        const auto app = files_.lock();
        const auto radio = app ? app->openRadio() : radio_.lock();
        keyedRadio_ = radio;
        if (radio) {
            radio->setTxState(1);
        }
    }
    fileTransmission_ = next;
    // The engine cuts the transmission short (waiting for a packet being sent) before its
    // transmitter goes, so the sending queue never holds the engine itself.
    next->start(
        fileTransmitQueue_,
        [transmitter = transmitter_.get()](const AudioBufferList* pcm) {
            transmitter->sendTransmitFrames(pcm);
        },
        [weak = weak_from_this(), current = next.get()] {
            const auto self = weak.lock();
            if (self && self->fileTransmission_.get() == current) {
                log("transmitFile:done");
                self->endFileTransmit(true);
            }
        });
}

void VMRemoteAudioHandler::endFileTransmit(bool restartMicrophone) {
    fileTransmission_.reset();
    if (const auto radio = keyedRadio_.lock()) {
        radio->setTxState(0);
    }
    keyedRadio_.reset();
    const auto mic = microphone();
    if (restartMicrophone && micWasFetching_ && mic) {
        transmitter_->restart();
        mic->startFetchingAudio();
    }
    micWasFetching_ = false;
}

void VMRemoteAudioHandler::stopFiles() {
    if (recordingMetersTimer_ || voiceRecorder_->isRecording()) {
        stopRecording();
    }
    if (fileTransmission_) {
        fileTransmission_->cutShort();
        endFileTransmit(false);
    }
}

}  // namespace vm
