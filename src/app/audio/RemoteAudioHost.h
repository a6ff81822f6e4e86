#pragma once
// What the remote-audio room needs of the application controller: the open radio session. The
// application's controller implements it; tests implement it in a line. Main thread only.
#include <memory>

namespace vm {

class Radio;

class RemoteAudioHost {
public:
    virtual ~RemoteAudioHost() = default;
    // The open radio session; none without one.
    virtual std::shared_ptr<Radio> sessionRadio() const = 0;
};

}  // namespace vm
