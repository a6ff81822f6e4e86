// Dispatch of the radio's lines by their first character, and the status dispatch by object type.
#include "platform/core/Log.h"
#include "radio/Radio.h"

#include <array>

namespace vm {

void Radio::parseRadioStream(const std::string& line) {
    switch (line.empty() ? '\0' : line.front()) {
        case 'M': parseMessageType(line); break;
        case 'R': parseResponseType(line); break;
        case 'S': parseStatusType(line); break;
        case 'V': parseVersionType(line); break;
        case 'H': parseHandleType(line); break;
        default: log("Radio:parseRadioStream:Unrecognized message type from radio - {}", line);
    }
}

// The parsers of later subsystems are entered here by their type number.
const Radio::StatusRoute& Radio::statusRoute(int statusType) {
    static const auto routes = [] {
        std::array<StatusRoute, kStatusTypeCount + 1> r{};
        r[kStatusInterlock].bandMarker = "interlock band";
        r[kStatusTransmit].bandMarker = "transmit band";
        r[kStatusTransmitMisspelt].bandMarker = "transmit band";
        r[kStatusInterlock].parser = &Radio::parseInterlockToken;
        r[kStatusInterlock].bandParser = &Radio::parseInterlockBand;
        r[kStatusRadio].parser = &Radio::parseRadioToken;
        r[kStatusAtu].parser = &Radio::parseAtuToken;
        r[kStatusTransmit].parser = &Radio::parseTransmitToken;
        r[kStatusTransmit].bandParser = &Radio::parseTransmitBand;
        r[kStatusTransmitMisspelt].parser = &Radio::parseTransmitToken;
        r[kStatusTransmitMisspelt].bandParser = &Radio::parseTransmitBand;
        r[kStatusProfile].parser = &Radio::parseProfileToken;
        r[kStatusCwx].parser = &Radio::parseCwxToken;
        r[kStatusWan].parser = &Radio::parseWanToken;
        r[kStatusAmplifier].parser = &Radio::parseAmplifierStatusToken;
        r[kStatusMixer].parser = &Radio::parseIgnoredToken;
        r[kStatusGps].parser = &Radio::parseIgnoredToken;
        r[kStatusWaveform].parser = &Radio::parseIgnoredToken;
        r[kStatusSlice].parser = &Radio::parseSliceToken;
        r[kStatusMeter].parser = &Radio::parseMeterToken;
        return r;
    }();
    static const StatusRoute unknown{};
    return statusType > 0 && statusType <= kStatusTypeCount ? routes[statusType] : unknown;
}

void Radio::parseIgnoredToken(Scanner& /*scan*/, bool /*selfStatus*/) {}

void Radio::logUnrecognizedStatus(const std::string& type, const std::string& line) const {
    log("Radio:parseStatusType:Unrecognized token:[{}] payload:[{}]", type, line);
}

// "S<handle>|<type> <text>": the parser named by the type reads the text from the scanner, which
// stands just after the blank that follows the type word.
void Radio::parseStatusType(const std::string& line) {
    Scanner scan(line.substr(1));
    scan.setCaseSensitive(true);
    std::string handle;
    scan.scanUpToString("|", &handle);
    scan.scanString("|");
    const Text ownHandle = apiHandle();
    const bool selfStatus = ownHandle && handle == *ownHandle;
    std::string type;
    scan.scanUpToString(" ", &type);
    scan.scanString(" ");

    const StatusRoute& route = statusRoute(statusTokens()->lookup(type));
    if (route.bandMarker && line.find(route.bandMarker) != std::string::npos) {
        if (!route.bandParser) {
            logUnrecognizedStatus(type, line);
            return;
        }
        (this->*route.bandParser)(line);
        return;
    }
    if (!route.parser) {
        logUnrecognizedStatus(type, line);
        return;
    }
    (this->*route.parser)(scan, selfStatus);
}

void Radio::testStatusMessage(const std::string& text) {
    parseStatusType(text);
}

// "H<handle>": this client's handle. Both values are in place before the next line is parsed;
// observers hear of them on the main queue.
void Radio::parseHandleType(const std::string& line) {
    const std::string handle = line.substr(1);
    const std::string withPrefix = "0x" + handle;
    if (debugLogLevel() >= 2) {
        log("Radio:parseHandleType:apiHandle:[{}]", handle);
        log("Radio:parseHandleType:clientHandle:[{}]", withPrefix);
    }
    apiHandle.store(handle);
    clientHandle_.store(withPrefix);
    DispatchQueue::main()->async([self = shared_from_this()] {
        self->apiHandle.announce();
        self->clientHandle_.announce();
    });
    // A DoroLink radio learns where to send its streams from the UDP registration.
    if (const auto instance = radioInstance(); instance && instance->wanRadio.value_or(false)) {
        registerRemoteUDP(withPrefix);
    }
}

void Radio::parseVersionType(const std::string& line) {
    log("Radio:parseVersionType:[{}]", line);
    storeOnMain(apiVersion, Text(line));
}

// "M<code>|<text>": the code is hexadecimal; its bits 24 and 25 are the severity.
void Radio::parseMessageType(const std::string& line) {
    Scanner scan(line.substr(1));
    std::string code;
    scan.scanUpToString("|", &code);
    scan.scanString("|");
    const std::string text(scan.remainder());
    Scanner codeScan(code);
    unsigned value = 0;
    codeScan.scanHexInt(&value);
    log("Radio:parseMessageType:severity:[{}] [{}]", (value >> 24) & 3, text);
}

}  // namespace vm
