// The command channel: numbered command lines out, replies routed to whoever waits for them.
#include "platform/core/Log.h"
#include "radio/Radio.h"

#include <fmt/format.h>

#include <charconv>
#include <mutex>
#include <utility>

namespace vm {

namespace {

// The sequence counter of the process: never reset, so numbering runs on across sessions. The
// lock is held from taking a number until its line is queued on the socket, so lines go out in
// the order of their numbers.
std::mutex seqMutex;
std::uint32_t nextSeqNum = 0;

bool injectsLine(std::string_view command) {
    return command.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::string escapedForLog(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\0': out += "\\0"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

std::optional<std::uint32_t> Radio::send(const std::string& command,
                                         const std::weak_ptr<RadioDelegate>* notify,
                                         ResponseCallback notifySel) {
    if (injectsLine(command)) {
        log("Radio:commandToRadio:Refused command containing CR, LF or NUL:[{}]",
            escapedForLog(command));
        return std::nullopt;
    }
    TcpSocketPtr sock;
    {
        std::lock_guard lock(socketMutex_);
        sock = radioSocket_;
    }
    std::lock_guard lock(seqMutex);
    const std::uint32_t seq = nextSeqNum++;
    std::string line = fmt::format("c{}{}|{}\n", "", seq, command);
    if (notify || notifySel) {
        const std::string key = std::to_string(seq);
        notifyList()->with([&](auto& table) {
            table[key] = notify ? *notify : std::weak_ptr<RadioDelegate>(weak_from_this());
        });
        if (notifySel) {
            responseCallbacks()->with([&](auto& table) { table[key] = notifySel; });
        }
    }
    if (debugLogLevel() >= 2 && command != "ping") {
        log("Radio:->{}", std::string_view(line).substr(0, line.size() - 1));
    }
    if (sock) {
        sock->writeData(std::move(line), -1, static_cast<long>(seq));
    }
    return seq;
}

void Radio::commandToRadio(const std::string& command) { send(command, nullptr, nullptr); }

std::optional<std::uint32_t> Radio::commandToRadio(const std::string& command,
                                                   std::weak_ptr<RadioDelegate> notify) {
    return send(command, &notify, nullptr);
}

std::optional<std::uint32_t> Radio::commandToRadio(const std::string& command,
                                                   ResponseCallback notifySel) {
    return send(command, nullptr, notifySel);
}

// "R<seq>|<code>|<data>": the receiver registered under <seq> gets the whole line once; a reply
// nobody waits for is dropped without a log.
void Radio::parseResponseType(const std::string& line) {
    const std::string_view rest = std::string_view(line).substr(1);
    const std::string key(rest.substr(0, rest.find('|')));
    std::optional<std::weak_ptr<RadioDelegate>> receiver;
    notifyList()->with([&](auto& table) {
        if (const auto found = table.find(key); found != table.end()) {
            receiver = std::move(found->second);
            table.erase(found);
        }
    });
    if (!receiver) {
        return;
    }
    std::uint32_t seq = 0;
    std::from_chars(key.data(), key.data() + key.size(), seq);
    if (const auto target = receiver->lock()) {
        target->radioCommandResponse(seq, line);
    }
}

void Radio::radioCommandResponse(std::uint32_t seqNum, const std::string& response) {
    const std::string key = std::to_string(seqNum);
    ResponseCallback callback = nullptr;
    responseCallbacks()->with([&](auto& table) {
        if (const auto found = table.find(key); found != table.end()) {
            callback = found->second;
            table.erase(found);
        }
    });
    if (callback) {
        (this->*callback)(response);
        return;
    }
    log("Radio:radioCommandResponse: selector NULL - seqNum = {}  key = {}", seqNum, key);
    notifyList()->with([](const auto& table) {
        for (const auto& entry : table) {
            log("Radio:  Waiting key: {}", entry.first);
        }
    });
    responseCallbacks()->with([](const auto& table) {
        for (const auto& entry : table) {
            log("Radio:  Callback key: {}", entry.first);
        }
    });
}

}  // namespace vm
