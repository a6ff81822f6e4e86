#pragma once
// What the profile room needs of the application's controller: the open radio, whether it is
// bound as GUI client, whether the program's start-up has completed, and the debug switch. Main
// thread only.
#include <memory>

namespace vm {

class Radio;

class ProfileHost {
public:
    virtual ~ProfileHost() = default;

    // The open session; none without one.
    virtual std::shared_ptr<Radio> currentRadio() const = 0;
    virtual bool radioConnectedAsGui() const = 0;
    virtual bool launchComplete() const = 0;
    virtual bool debugEnabled() const = 0;
};

}  // namespace vm
