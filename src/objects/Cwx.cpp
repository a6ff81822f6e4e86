#include "objects/Cwx.h"

#include "platform/core/Log.h"
#include "platform/core/Scanner.h"
#include "platform/core/TextValues.h"
#include "radio/CommandText.h"
#include "radio/TokenTable.h"
#include "util/TextUnits.h"

#include <fmt/format.h>

#include <algorithm>
#include <string_view>

namespace vm {

namespace {

enum CwxToken { kBreakInDelay = 1, kErase, kMacro, kSent, kWpm, kQskEnabled };

const TokenTable& cwxTokens() {
    static const TokenTable table{{"break_in_delay", kBreakInDelay},
                                  {"erase", kErase},
                                  {"macro", kMacro},
                                  {"sent", kSent},
                                  {"wpm", kWpm},
                                  {"qsk_enabled", kQskEnabled}};
    return table;
}

// Status texts between double quotes (macros) may hold spaces and "=": the quotes are dropped and,
// inside them, a space becomes 0x7F and "=" becomes "*", so the line splits at spaces and "=".
std::string protectQuoted(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool inside = false;
    for (const char c : text) {
        if (c == '"') {
            inside = !inside;
        } else if (inside && c == ' ') {
            out += '\x7F';
        } else if (inside && c == '=') {
            out += '*';
        } else {
            out += c;
        }
    }
    return out;
}

std::string restoreQuoted(std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), '\x7F', ' ');
    std::replace(out.begin(), out.end(), '*', '=');
    return out;
}

}  // namespace

Cwx::Cwx(Private, std::weak_ptr<RadioLink> radio)
    : radio_(std::move(radio)),
      cwxRunQueue_(DispatchQueue::serial("com.velmorasoftware.vmsdr.cwx")) {}

std::shared_ptr<Cwx> Cwx::create(std::weak_ptr<RadioLink> radio) {
    return std::make_shared<Cwx>(Private{}, std::move(radio));
}

void Cwx::queueCommand(std::string command) {
    queueObjectCommand(cwxRunQueue_, weak_from_this(), radio_, std::move(command));
}

void Cwx::sendNow(const std::string& command) {
    if (const auto radio = radio_.lock()) {
        radio->commandToRadio(command);
    }
}

void Cwx::setDelay(int value) {
    value = std::clamp(value, kMinDelay, kMaxDelay);
    delay.set(value);
    queueCommand(fmt::format("cwx delay {}", value));
}

void Cwx::setSpeed(int value) {
    value = std::clamp(value, kMinSpeed, kMaxSpeed);
    speed.set(value);
    queueCommand(fmt::format("cwx wpm {}", value));
}

void Cwx::storeMacro(std::size_t index, std::string text) {
    std::lock_guard lock(macroEditMutex_);
    auto list = macros();
    list[index] = std::move(text);
    macros.store(std::move(list));
}

bool Cwx::setMacro(std::size_t index, const std::string& macro) {
    if (index >= kMacroCount) {
        return false;
    }
    storeMacro(index, macro);
    macros.announce();
    queueCommand(fmt::format("cwx macro save {} {}", index + 1, quotedCommandField(macro)));
    return true;
}

bool Cwx::getMacro(std::size_t index, std::string* macro) const {
    const bool known = index < kMacroCount;
    if (macro) {
        *macro = known ? macros()[index] : std::string();
    }
    return known;
}

std::optional<std::uint32_t> Cwx::sendMacro(std::size_t index) {
    const auto radio = radio_.lock();
    if (index >= kMacroCount || !radio) {
        return std::nullopt;
    }
    return radio->commandToRadio(fmt::format("cwx macro send {}", index + 1),
                                 std::weak_ptr<RadioDelegate>(weak_from_this()));
}

void Cwx::send(const std::string& text) { sendNow("cwx send " + quotedCommandField(text)); }

void Cwx::send(const std::string& text, int block) {
    sendNow(fmt::format("cwx send {} {}", quotedCommandField(text), block));
}

void Cwx::erase(int count) { sendNow(fmt::format("cwx erase {}", count)); }

void Cwx::clearBuffer() { sendNow("cwx clear"); }

// Only a reply with code 0 counts. Reply codes are hexadecimal, so a code such as "E2000000" is
// an error, not the number 0 that a decimal reading would make of it.
void Cwx::radioCommandResponse(std::uint32_t /*seqNum*/, const std::string& response) {
    Scanner scan(response);
    scan.setCaseSensitive(true);
    scan.scanUpToString("|");
    scan.scanString("|");
    std::string code;
    scan.scanUpToString("|", &code);
    scan.scanString("|");
    unsigned codeValue = 0;
    Scanner(code).scanHexInt(&codeValue);
    if (codeValue != 0) {
        return;
    }
    std::string payload;
    scan.scanUpToString("\n", &payload);
    const auto parts = strings::units::split(payload, ',');
    if (parts.size() != 2) {
        return;
    }
    if (const auto target = messageQueuedEventDelegate().lock()) {
        target->messageQueued(textIntValue(parts[1]), textIntValue(parts[0]));
    }
}

void Cwx::statusParserSelfStatus(Scanner& scan, bool /*selfStatus*/) {
    std::string rest;
    scan.scanUpToString("\n", &rest);
    const std::string text = protectQuoted(rest);
    for (const std::string_view part : strings::units::split(text, ' ')) {
        if (part.empty()) {
            continue;  // a run of spaces
        }
        const auto pieces = strings::units::split(std::string(part), '=');
        const std::string_view key = pieces[0];
        const std::string_view value = pieces.size() > 1 ? pieces[1] : std::string_view();
        if (key.size() >= 6 && key.substr(0, 5) == "macro") {
            const int number = textIntValue(key.substr(5));
            if (number >= 1 && number <= static_cast<int>(kMacroCount)) {
                storeMacro(static_cast<std::size_t>(number - 1), restoreQuoted(value));
                DispatchQueue::main()->async(
                    [self = shared_from_this()] { self->macros.announce(); });
            }
            continue;
        }
        switch (cwxTokens().lookup(key)) {
            case kBreakInDelay:
                DispatchQueue::main()->async(
                    [self = shared_from_this(), v = textIntValue(value)] { self->delay.set(v); });
                break;
            case kWpm:
                DispatchQueue::main()->async(
                    [self = shared_from_this(), v = textIntValue(value)] { self->speed.set(v); });
                break;
            case kQskEnabled:
                DispatchQueue::main()->async([self = shared_from_this(),
                                              v = static_cast<std::uint8_t>(textIntValue(value))] {
                    self->qsk_enabled.set(v);
                });
                break;
            case kSent:
                if (const auto target = charSentEventDelegate().lock()) {
                    target->charSent(textIntValue(value));
                }
                break;
            case kErase: {
                const auto range = strings::units::split(std::string(value), ',');
                if (range.size() != 2) {
                    return;  // the rest of the line is not read
                }
                if (const auto target = eraseSentEventDelegate().lock()) {
                    target->eraseSent(textIntValue(range[0]), textIntValue(range[1]));
                }
                break;
            }
            default: log("cwx:statusParser:Unrecognized k:[{}] k:[{}]", key, value);
        }
    }
}

}  // namespace vm
