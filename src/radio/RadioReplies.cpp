// The Radio's own reply callbacks: identity, versions, lists, GUI binding, profiles and the
// replies that are only logged. Each gets the whole reply line "R<seq>|<code>|<data>".
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/TextValues.h"
#include "radio/Radio.h"
#include "util/TextUnits.h"

#include <algorithm>

namespace vm {

namespace {

struct Reply {
    std::string code;
    std::string data;
};

Reply splitReply(const std::string& line) {
    Scanner scan(line);
    scan.scanString("R");
    scan.scanInt();
    scan.scanString("|");
    Reply reply;
    scan.scanUpToString("|", &reply.code);
    scan.scanString("|");
    reply.data = std::string(scan.remainder());
    return reply;
}

bool codeReadsZero(const Reply& reply) { return textIntValue(reply.code) == 0; }

std::string withoutQuotes(std::string value) {
    std::erase(value, '"');
    return value;
}

// "R<seq>|0|a,b,c": exactly three bar-separated parts, the middle reading 0.
std::optional<TextList> listFromReply(const std::string& line) {
    const auto parts = strings::units::split(line, '|');
    if (parts.size() != 3 || textIntValue(parts[1]) != 0) {
        return std::nullopt;
    }
    return strings::units::split(parts[2], ',');
}

}  // namespace

// "key=value" elements separated by commas; texts may come in double quotes.
void Radio::infoResponseCallback(const std::string& response) {
    const Reply reply = splitReply(response);
    if (!codeReadsZero(reply)) {
        return;
    }
    for (const std::string& element : strings::units::split(reply.data, ',')) {
        const auto parts = strings::units::split(element, '=');
        if (parts.size() < 2) {
            continue;
        }
        const std::string& key = parts[0];
        const std::string value = withoutQuotes(parts[1]);
        if (key == "screensaver") {
            storeOnMain(radioScreenSaver, Text(value));
        } else if (key == "callsign") {
            storeOnMain(radioCallsign, Text(value));
        } else if (key == "name") {
            storeOnMain(radioName, Text(value));
        } else if (key == "model") {
            storeOnMain(radioModel, Text(value));
        } else if (key == "atu_present") {
            storeOnMain(atuPresent, Number(textBoolValue(value) ? 1 : 0));
        }
    }
}

// "key=value" elements separated by "#".
void Radio::versionResponseCallback(const std::string& response) {
    const Reply reply = splitReply(response);
    if (!codeReadsZero(reply)) {
        return;
    }
    static const CharacterSet separators = CharacterSet::fromString("#\n");
    Scanner scan(reply.data);
    scan.setCaseSensitive(true);
    while (!scan.isAtEnd()) {
        const std::size_t before = scan.location();
        std::string key;
        scan.scanUpToString("=", &key);
        scan.scanString("=");
        Observed<Text>* property = key == "DoroSDR-MB"     ? &doroSdrVersion
                                   : key == "PSoC-MBTRX"   ? &psocMbtrxVersion
                                   : key == "PSoC-MBPA100" ? &psocMbPa100Version
                                   : key == "FPGA-MB"      ? &fpgaMbVersion
                                                           : nullptr;
        std::string value;
        if (property) {
            scan.scanUpToString("#", &value);
            storeOnMain(*property, Text(value));
        } else {
            scan.scanUpToCharactersFromSet(separators, &value);
            log("Radio:versionResponseCallback:Unrecognized token:[{}] value:[{}]", key, value);
        }
        scan.scanCharactersFromSet(separators);
        if (scan.location() == before) {
            break;
        }
    }
}

void Radio::antListResponseCallback(const std::string& response) {
    if (auto list = listFromReply(response)) {
        storeOnMain(antList, std::move(*list));
    }
}

void Radio::micListResponseCallback(const std::string& response) {
    if (auto list = listFromReply(response)) {
        storeOnMain(micList, std::move(*list));
    }
}

// Bound as a GUI client: state 4, and a V3 radio's client id is saved for the next binding.
// Refused: state 8 (too many GUI clients).
void Radio::isGuiCallback(const std::string& response) {
    const Reply reply = splitReply(response);
    if (reply.code == "0") {
        connectionState_.store(kStateConnectedAsGui);
        const auto instance = radioInstance();
        if (instance && instance->supportsV3_API) {
            const std::string clientId = reply.data.substr(0, reply.data.find_first_of(" \n"));
            const std::string key = clientIdPrefsKey();
            if (!clientId.empty() && !key.empty()) {
                log("isGuiCallback:prefsKey:[{}] clientId:[{}]", key, clientId);
                Defaults::standard().set(key, clientId);
            }
        }
    } else {
        log("isGuiCallback:[{}]", reply.code);
        connectionState_.store(kStateTooManyGuiClients);
    }
    tellDelegate();
}

void Radio::radioBindCallback(const std::string& response) {
    const Reply reply = splitReply(response);
    if (reply.code == "0") {
        log("radioBindCallback:bound client handle:[{}]", reply.data);
    } else {
        log("radioBindCallback:error:[{}]", reply.code);
    }
}

void Radio::newRemoteAudioStreamCallback(const std::string& response) {
    const Reply reply = splitReply(response);
    if (!codeReadsZero(reply)) {
        log("newRemoteAudioStreamCallback:errorNumAsString:[{}]", reply.code);
    }
}

void Radio::removeRemoteAudioStreamCallback(const std::string& response) {
    const Reply reply = splitReply(response);
    if (!codeReadsZero(reply)) {
        log("removeRemoteAudioStreamCallback:errorNumAsString:[{}]", reply.code);
    }
}

// The profile chain of the app controller waits for these; "result" is the reply's code.
void Radio::postProfileResult(const std::string& response, const char* notification,
                              const char* callbackName) {
    if (debugLogLevel() >= 2) {
        log("Radio:{}", callbackName);
    }
    const int result = textIntValue(splitReply(response).code);
    DispatchQueue::main()->async([self = shared_from_this(), notification, result] {
        NotificationCenter::defaultCenter().post(notification, self, {{"result", result}});
    });
}

void Radio::globalProfileLoadCallback(const std::string& response) {
    postProfileResult(response, "RadioGlobalProfileLoaded", "globalProfileLoadCallback");
}

void Radio::globalProfileSaveCallback(const std::string& response) {
    postProfileResult(response, "RadioGlobalProfileSaved", "globalProfileSaveCallback");
}

void Radio::transmitProfileLoadCallback(const std::string& response) {
    postProfileResult(response, "RadioTransmitProfileLoaded", "transmitProfileLoadCallback");
}

void Radio::transmitProfileSaveCallback(const std::string& response) {
    postProfileResult(response, "RadioTransmitProfileSaved", "transmitProfileSaveCallback");
}

void Radio::micProfileLoadCallback(const std::string& response) {
    postProfileResult(response, "RadioMicProfileLoaded", "micProfileLoadCallback");
}

void Radio::micProfileSaveCallback(const std::string& response) {
    postProfileResult(response, "RadioMicProfileSaved", "micProfileSaveCallback");
}

void Radio::radioNameCallback(const std::string& response) {
    log("radioNameCallback:[{}]", response);
}

void Radio::stationNameCallback(const std::string& response) {
    log("stationNameCallback:[{}]", response);
}

void Radio::radioCallSignCallback(const std::string& response) {
    log("radioCallSignCallback:[{}]", response);
}

void Radio::ampSetCallback(const std::string& response) { log("ampSetCallback:[{}]", response); }

void Radio::disconnectChangeCallback(const std::string& response) {
    log("Radio:disconnectChangeCallback:cmdResponse:[{}]", response);
}

void Radio::wanSetPortsResponseCallback(const std::string& response) {
    log("wanSetPortsResponseCallback:cmdResponse:[{}]", response);
}

void Radio::wanValidateCallback(const std::string& response) {
    log("Radio:wanValidateCallback:cmdResponse:[{}]", response);
}

void Radio::xvtrChangeCallback(const std::string& response) {
    if (debugLogLevel() >= 2) {
        log("Radio:xvtrChangeCallback:cmdResponse:[{}]", response);
    }
}

}  // namespace vm
