#pragma once
// What the remote-audio room needs of the application controller: the open radio session, the
// folder of the sound files and the notice of the switch. The
// application's controller implements it; tests implement it in a line. Main thread only.
#include <memory>
#include <string>

namespace vm {

class Radio;

class RemoteAudioHost {
public:
    virtual ~RemoteAudioHost() = default;
    // The open radio session; none without one.
    virtual std::shared_ptr<Radio> sessionRadio() const = 0;
    // The folder where voice recordings are kept.
    virtual std::string soundFilesFolder() const = 0;
    // Remote audio was switched on or off for the radio, just before the radio hears it the last
    // time: the CW keyer is bound or let go, and the local side tone follows.
    virtual void remoteAudioSwitched(bool /*on*/, const std::shared_ptr<Radio>& /*radio*/) {}
};

}  // namespace vm
