#pragma once
// What station control asks of the DoroLink client's server connection: the remote radios it
// lists for the user, a request that the server make one of them ready for a session, and
// forgetting one whose session timed out. The DoroLink client implements it.
#include "radio/RadioInstance.h"

#include <memory>
#include <string>
#include <vector>

namespace vm {

class RemoteRadioServer {
public:
    virtual ~RemoteRadioServer() = default;

    virtual std::vector<std::shared_ptr<RadioInstance>> remoteRadios() const = 0;
    // The session opens once the server reports the radio ready.
    virtual void sendConnectMessageToRadio(const std::string& serialNumber) = 0;
    // Drops the radio from the list and tells the list's observers.
    virtual void removeRadio(const std::string& serialNumber) = 0;

protected:
    RemoteRadioServer() = default;
};

}  // namespace vm
