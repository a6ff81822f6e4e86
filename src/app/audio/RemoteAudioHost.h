#pragma once
// What the remote-audio room needs of the application controller: the open radio session and the
// folder of the sound files. The
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
};

}  // namespace vm
