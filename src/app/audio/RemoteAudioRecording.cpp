// Voice recordings of the Audio tab: recording the microphone into a file chosen in a save panel,
// sending a recorded file into the transmitter, and the recorder's state shown on the page.
#include "app/audio/RemoteAudioController.h"

#include "app/audio/RemoteAudioHost.h"
#include "audio/VMRemoteAudioHandler.h"
#include "platform/core/Log.h"
#include "platform/ui/SavePanel.h"
#include "util/StringAdditions.h"

#include <filesystem>

namespace vm {

void RemoteAudioController::recordSoundFile(bool on) {
    if (!on) {
        log("recordSoundFile:stop");
        if (audioHandler) {
            audioHandler->stopRecording();
        }
        return;
    }
    log("recordSoundFile:start");
    if (!audioHandler) {
        log("recordSoundFile: remote audio is off, there is no microphone to record");
        setRecordStopButtonTitle("Record");
        return;
    }
    const std::string folder = soundFilesPath();
    const std::string proposed = strings::safeFilePath(folder + "/vmsdr_sound_file.m4a");
    SavePanel panel;
    panel.setPrompt("OK");
    panel.setAllowedFileTypes({"m4a"});
    panel.setTitle("Tarvelo Sound Recording");
    panel.setMessage("Record Sound File");
    panel.setNameFieldLabel("Sound File:");
    panel.setNameFieldStringValue(std::filesystem::path(proposed).filename().string());
    panel.setDirectory(folder);
    const auto chosen = panel.runModal();
    if (!chosen || !audioHandler) {
        setRecordStopButtonTitle("Record");  // a cancelled panel records nothing
        return;
    }
    audioHandler->recordFile(chosen->string());
}

void RemoteAudioController::transmitSoundFile(const std::string& title) {
    if (title.empty() || !audioHandler) {
        return;
    }
    const std::string path = soundFilesPath() + "/" + title;
    log("transmitSoundFile:[{}]", path);
    audioHandler->transmitFile(path);
}

void RemoteAudioController::setRecordStopButtonTitle(const std::string& title) {
    if (page_) {
        page_->setRecordStopButtonTitle(title);
    }
}

void RemoteAudioController::setElapsedSecondsLabelHidden(bool hidden) {
    if (page_) {
        page_->setElapsedSecondsLabelHidden(hidden);
    }
}

void RemoteAudioController::setElapsedSecondsLabel(const std::string& text) {
    if (page_) {
        page_->setElapsedSecondsLabel(text);
    }
}

void RemoteAudioController::setLeftPowerIndicator(double level) {
    if (page_) {
        page_->setLeftPowerIndicator(level);
    }
}

void RemoteAudioController::setRightPowerIndicator(double level) {
    if (page_) {
        page_->setRightPowerIndicator(level);
    }
}

void RemoteAudioController::removeAllRecordedFiles() {
    if (page_) {
        page_->removeAllRecordedFiles();
    }
}

void RemoteAudioController::addRecordedFile(const std::string& title) {
    if (page_) {
        page_->addRecordedFile(title);
    }
}

void RemoteAudioController::selectRecordedFile(const std::string& title) {
    if (page_) {
        page_->selectRecordedFile(title);
    }
}

std::string RemoteAudioController::soundFilesPath() const {
    const auto host = host_.lock();
    return host ? host->soundFilesFolder() : std::string();
}

std::shared_ptr<Radio> RemoteAudioController::openRadio() const {
    const auto host = host_.lock();
    return host ? host->sessionRadio() : nullptr;
}

}  // namespace vm
