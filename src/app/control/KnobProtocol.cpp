#include "app/control/KnobProtocol.h"

#include "platform/core/Log.h"

#include <fmt/format.h>

namespace vm::knob {

namespace {

// The steps of a fast rotation by its two digits.
int fastRotationSteps(std::string_view digits) {
    if (digits == "02") {
        return 5;
    }
    if (digits == "03") {
        return 25;
    }
    if (digits == "04") {
        return 50;
    }
    if (digits == "05") {
        return 100;
    }
    return 1;
}

}  // namespace

std::string lampMessage(const Lamps& lamps) {
    return fmt::format("I{:d}{:d}{:d};", int(lamps[0]), int(lamps[1]), int(lamps[2]));
}

bool answersAsKnob(std::string_view greeting) {
    return greeting.size() >= 5 && greeting.find('F') != std::string_view::npos;
}

std::optional<KnobEvent> interpretMessage(std::string_view message) {
    using Kind = KnobEvent::Kind;
    const bool rotation = !message.empty() && (message[0] == 'U' || message[0] == 'D');
    const int sign = !message.empty() && message[0] == 'D' ? -1 : 1;
    if (rotation && message.size() == 2 && message[1] == ';') {
        return KnobEvent{Kind::rotation, sign};
    }
    if (rotation && message.size() == 4 && message[3] == ';') {
        return KnobEvent{Kind::rotation, sign * fastRotationSteps(message.substr(1, 2))};
    }
    if (message == "S;") {
        return KnobEvent{Kind::press};
    }
    for (int button = 1; button <= 3; ++button) {
        if (message == fmt::format("X{}S;", button)) {
            return KnobEvent{Kind::auxButton, button};
        }
    }
    return std::nullopt;
}

std::vector<KnobEvent> KnobReader::receive(std::string_view bytes) {
    std::vector<KnobEvent> events;
    for (const char byte : bytes) {
        serial_radio_buffer.push_back(byte);
        if (byte == ';') {
            if (auto event = interpretMessage(serial_radio_buffer)) {
                events.push_back(*event);
            }
            serial_radio_buffer.clear();
        } else if (serial_radio_buffer.size() >= kBufferSize) {
            serial_radio_buffer.clear();
            logLine("processSerialReadChannel DoroControl: buffer overrun");
        }
    }
    return events;
}

}  // namespace vm::knob
