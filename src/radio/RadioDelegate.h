#pragma once
// What a Radio reports to its delegate, and to the objects that wait for the reply to a command.
// Both methods are optional: a receiver implements the one it needs. Radios hold their delegate
// and reply receivers weakly.
#include <cstdint>
#include <memory>
#include <string>

namespace vm {

class Radio;

class RadioDelegate {
public:
    virtual ~RadioDelegate() = default;

    // On the main queue, after each change of the session's connection state (0 to 9).
    virtual void radioConnectionStateChange(const std::shared_ptr<Radio>& /*radio*/,
                                            std::uint32_t /*state*/) {}
    // On the session's queue, once per reply to a command sent with this object as receiver;
    // `response` is the whole reply line, its leading R included.
    virtual void radioCommandResponse(std::uint32_t /*seqNum*/, const std::string& /*response*/) {}

protected:
    RadioDelegate() = default;
};

}  // namespace vm
