// Global, transmit and microphone profiles: loading by setting the current profile, saving,
// creating and deleting by name.
#include "platform/core/Log.h"
#include "platform/core/NotificationCenter.h"
#include "radio/CommandText.h"
#include "radio/Radio.h"
#include "util/StringAdditions.h"

#include <fmt/format.h>

#include <algorithm>

namespace vm {

namespace {

void postOnMain(const char* notification, const std::string& name) {
    DispatchQueue::main()->async([notification, name] {
        NotificationCenter::defaultCenter().post(notification, std::make_shared<std::string>(name));
    });
}

}  // namespace

void Radio::queueCommand(std::string command, ResponseCallback callback, bool answerWhenNotSent) {
    radioRunQueue()->async(
        [weak = weak_from_this(), command = std::move(command), callback, answerWhenNotSent] {
            if (const auto self = weak.lock()) {
                if (answerWhenNotSent) {
                    self->sendProfileCommand(command, callback);
                } else {
                    self->commandToRadio(command, callback);
                }
            }
        });
}

bool Radio::commandConnectionOpen() const {
    TcpSocketPtr sock;
    {
        std::lock_guard lock(socketMutex_);
        sock = radioSocket_;
    }
    return sock && !sock->isDisconnected();
}

// Whoever waits for a profile's answer (the start-up chain waits for each load) hears it also when
// the command never leaves: without an open connection, or refused by the command channel, the
// reply callback gets a failed answer at once.
void Radio::sendProfileCommand(const std::string& command, ResponseCallback callback) {
    if (commandConnectionOpen() && commandToRadio(command, callback)) {
        return;
    }
    log("Radio:sendProfileCommand:not sent:[{}]", command);
    (this->*callback)(fmt::format("R|{}|", kProfileNotSent));
}

// The setters store and announce on the calling thread, every time (the same name loads again).
void Radio::setCurrentGlobalProfile(const std::string& name) {
    currentGlobalProfile.set(name);
    queueCommand("profile global load " + quotedCommandField(name),
                 &Radio::globalProfileLoadCallback, true);
}

void Radio::setCurrentTxProfile(const std::string& name) {
    currentTxProfile.set(name);
    queueCommand("profile transmit load " + quotedCommandField(name),
                 &Radio::transmitProfileLoadCallback, true);
}

void Radio::setCurrentMicProfile(const std::string& name) {
    currentMicProfile.set(name);
    queueCommand("profile mic load " + quotedCommandField(name), &Radio::micProfileLoadCallback,
                 true);
}

// Created or updated is decided by the list as it stands when the command leaves, before the
// radio answers.
void Radio::saveProfile(const std::string& kind, const std::string& verb, const std::string& name,
                        ResponseCallback callback, const TextList& known, const char* created,
                        const char* updated) {
    const std::string plain = strings::stripAsterisk(name);
    sendProfileCommand("profile " + kind + " " + verb + " " + quotedCommandField(plain), callback);
    const bool listed = std::find(known.begin(), known.end(), plain) != known.end();
    postOnMain(listed ? updated : created, plain);
}

void Radio::deleteProfile(const std::string& kind, const std::string& name, const char* deleted) {
    commandToRadio("profile " + kind + " delete " + quotedCommandField(name));
    postOnMain(deleted, name);
}

void Radio::cmdSaveGlobalProfile(const std::string& name) {
    saveProfile("global", "save", name, &Radio::globalProfileSaveCallback, globalProfiles(),
                "GlobalProfileCreated", "GlobalProfileUpdated");
}

void Radio::cmdNewTxProfile(const std::string& name) {
    saveProfile("transmit", "create", name, &Radio::transmitProfileSaveCallback, txProfiles(),
                "TxProfileCreated", "TxProfileUpdated");
}

void Radio::cmdSaveTxProfile(const std::string& name) {
    saveProfile("transmit", "save", name, &Radio::transmitProfileSaveCallback, txProfiles(),
                "TxProfileCreated", "TxProfileUpdated");
}

// The radio's word for creating a microphone profile is "created".
void Radio::cmdNewMicProfile(const std::string& name) {
    saveProfile("mic", "created", name, &Radio::micProfileSaveCallback, micProfiles(),
                "MicProfileCreated", "MicProfileUpdated");
}

void Radio::cmdSaveMicProfile(const std::string& name) {
    saveProfile("mic", "save", name, &Radio::micProfileSaveCallback, micProfiles(),
                "MicProfileCreated", "MicProfileUpdated");
}

void Radio::cmdDeleteGlobalProfile(const std::string& name) {
    deleteProfile("global", name, "GlobalProfileDeleted");
}

void Radio::cmdDeleteTxProfile(const std::string& name) {
    deleteProfile("transmit", name, "TxProfileDeleted");
}

void Radio::cmdDeleteMicProfile(const std::string& name) {
    deleteProfile("mic", name, "MicProfileDeleted");
}

}  // namespace vm
