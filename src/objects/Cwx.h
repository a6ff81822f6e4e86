#pragma once
// The client side of the radio's CW text keyer ("cwx"): the radio keys Morse code from text the
// client sends and keeps twelve stored macros. The keyer sends the keyer commands, mirrors the
// keyer's settings and macros from the "cwx" status lines, and passes the keyer's events on to up
// to three event delegates.
//
// Threads: setting commands (delay, speed, macro save) leave in call order from `cwxRunQueue`;
// the other commands are sent at once on the caller's thread. Status lines are read on the
// session's queue: settings and macros are stored and announced on the main queue, the character
// and erase events reach their delegates on the session's queue.
#include "platform/core/DispatchQueue.h"
#include "platform/core/Observable.h"
#include "radio/RadioDelegate.h"
#include "radio/RadioLink.h"
#include "radio/RadioParser.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vm {

class CWXMessageEventHandler {
public:
    virtual ~CWXMessageEventHandler() = default;
    // A macro was queued for sending: the radio's block number and buffer index.
    virtual void messageQueued(int /*block*/, int /*bufferIndex*/) {}
};

class CWXCharSentEventHandler {
public:
    virtual ~CWXCharSentEventHandler() = default;
    // The character at this index of the keyer's buffer has been sent.
    virtual void charSent(int /*index*/) {}
};

class CWXEraseSentEventHandler {
public:
    virtual ~CWXEraseSentEventHandler() = default;
    // The characters from `start` to `stop` were taken back.
    virtual void eraseSent(int /*start*/, int /*stop*/) {}
};

class Cwx : public Observable,
            public RadioParser,
            public RadioDelegate,
            public std::enable_shared_from_this<Cwx> {
public:
    static constexpr std::size_t kMacroCount = 12;
    static constexpr int kMinDelay = 0, kMaxDelay = 2000;
    static constexpr int kMinSpeed = 5, kMaxSpeed = 100;

    // A keyer for `radio`, held weakly; it sends nothing until asked.
    static std::shared_ptr<Cwx> create(std::weak_ptr<RadioLink> radio);

    const std::weak_ptr<RadioLink>& radio() const { return radio_; }
    const DispatchQueuePtr& cwxRunQueue() const { return cwxRunQueue_; }

    Observed<std::vector<std::string>> macros{this, "macros",
                                              std::vector<std::string>(kMacroCount)};
    Observed<std::weak_ptr<CWXMessageEventHandler>> messageQueuedEventDelegate{
        this, "messageQueuedEventDelegate"};
    Observed<std::weak_ptr<CWXCharSentEventHandler>> charSentEventDelegate{this,
                                                                           "charSentEventDelegate"};
    Observed<std::weak_ptr<CWXEraseSentEventHandler>> eraseSentEventDelegate{
        this, "eraseSentEventDelegate"};
    Observed<int> delay{this, "delay"};                       // break-in delay, ms
    Observed<int> speed{this, "speed"};                       // words per minute
    Observed<std::uint8_t> qsk_enabled{this, "qsk_enabled"};  // set only from the radio's status

    // Setting commands: the value is limited to its range, stored and announced, and the command
    // is queued on `cwxRunQueue`.
    void setDelay(int value);
    void setSpeed(int value);
    // Stores macro `index` (0 to 11) and saves it on the radio as macro index + 1; false for an
    // index of 12 or more, which changes and sends nothing.
    bool setMacro(std::size_t index, const std::string& macro);
    // The stored macro; "" and false for an index of 12 or more.
    bool getMacro(std::size_t index, std::string* macro) const;

    // Sent at once. Sends macro index + 1; the sequence number of the command, none for an index of
    // 12 or more or when the command cannot be sent. The reply reaches the message delegate.
    std::optional<std::uint32_t> sendMacro(std::size_t index);
    void send(const std::string& text);
    void send(const std::string& text, int block);
    void erase(int count);
    void clearBuffer();

    // The reply to "cwx macro send": "R<seq>|<code>|<block index>,<block>".
    void radioCommandResponse(std::uint32_t seqNum, const std::string& response) override;
    // A "cwx" status line, from just after the type word to the end.
    void statusParserSelfStatus(Scanner& scan, bool selfStatus) override;

private:
    struct Private {};

public:
    Cwx(Private, std::weak_ptr<RadioLink> radio);

private:
    void queueCommand(std::string command);
    void sendNow(const std::string& command);
    void storeMacro(std::size_t index, std::string text);

    const std::weak_ptr<RadioLink> radio_;
    const DispatchQueuePtr cwxRunQueue_;
    // Serialises the changes of single macro entries (status queue and main thread).
    std::mutex macroEditMutex_;
};

}  // namespace vm
