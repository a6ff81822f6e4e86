#pragma once
// The DoroControl knob's bytes, both ways. Every message is ASCII and ends with ";".
//   from the knob: "U;" and "D;" one step up or down; "U" or "D", two digits and ";" a fast
//     rotation (02 is 5 steps, 03 is 25, 04 is 50, 05 is 100, other digits one step); "S;" the
//     knob pressed; "X1S;" to "X3S;" auxiliary button 1 to 3 pressed.
//   to the knob: "I" and the lamps of buttons 1 to 3, each "0" or "1", then ";".
// A knob that is opened answers with a greeting that holds an "F".
//
// Threads: a reader is used by one queue at a time (the knob's).
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm::knob {

inline constexpr std::string_view kAllLampsOn = "I111;";
inline constexpr std::string_view kAllLampsOff = "I000;";

// The lamps of auxiliary buttons 1 to 3.
using Lamps = std::array<bool, 3>;
// "I%d%d%d;": exactly five bytes.
std::string lampMessage(const Lamps& lamps);

// The greeting names a knob: at least five bytes, one of them "F".
bool answersAsKnob(std::string_view greeting);

struct KnobEvent {
    enum class Kind { rotation, press, auxButton };
    Kind kind;
    int value = 0;  // rotation: the signed number of steps; auxButton: 1 to 3
    bool operator==(const KnobEvent&) const = default;
};

// The event of one whole message (up to and including its ";"); none for any other text.
std::optional<KnobEvent> interpretMessage(std::string_view message);

// The receive buffer of one open port. Bytes arrive in reads of any size: several messages in one
// read are each interpreted, in order, and an unterminated tail waits for the rest.
class KnobReader {
public:
    static constexpr std::size_t kBufferSize = 8192;

    // The events of the messages that these bytes complete, in order. A message that reaches
    // kBufferSize bytes without its ";" is dropped and logged as "processSerialReadChannel
    // DoroControl: buffer overrun"; the bytes after it start a new message.
    std::vector<KnobEvent> receive(std::string_view bytes);

    // The bytes of the unterminated message waiting for its ";".
    std::size_t pending() const { return serial_radio_buffer.size(); }

private:
    std::string serial_radio_buffer;  // its size is the read count
};

}  // namespace vm::knob
