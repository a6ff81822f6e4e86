#pragma once
// What voice recording and sound-file transmission ask of the application controller: the record
// button's title, the elapsed-time label, the two recording level indicators, the pop-up of
// recorded sound files, the sound-file folder and the open radio. Called on the main thread.
#include "radio/RadioTypes.h"

#include <memory>
#include <string>

namespace vm {

class Radio;

class VoiceFileApplication {
public:
    virtual ~VoiceFileApplication() = default;
    virtual void setRecordStopButtonTitle(const std::string& title) = 0;
    virtual void setElapsedSecondsLabelHidden(bool hidden) = 0;
    virtual void setElapsedSecondsLabel(const std::string& text) = 0;
    // Levels from 0 to 8.
    virtual void setLeftPowerIndicator(double level) = 0;
    virtual void setRightPowerIndicator(double level) = 0;
    // The pop-up of recorded sound files: emptied, one item added, an item selected by title.
    virtual void removeAllRecordedFiles() = 0;
    virtual void addRecordedFile(const std::string& title) = 0;
    virtual void selectRecordedFile(const std::string& title) = 0;
    // The folder of the sound files.
    virtual std::string soundFilesPath() const = 0;
    // The radio of the open session; null when none is open.
    virtual std::shared_ptr<Radio> openRadio() const = 0;
};

}  // namespace vm
