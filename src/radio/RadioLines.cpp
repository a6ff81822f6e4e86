// Dispatch of the radio's lines by their first character, and the status dispatch by object type.
#include "platform/core/Log.h"
#include "radio/Radio.h"

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

// The radio-wide types; the objects' types are routed by their attach step.
void Radio::routeRadioWideStatus() {
    routeStatus(kStatusInterlock,
                [](Radio& r, Scanner& s, bool self) { r.parseInterlockToken(s, self); });
    routeStatus(kStatusRadio, [](Radio& r, Scanner& s, bool self) { r.parseRadioToken(s, self); });
    routeStatus(kStatusAtu, [](Radio& r, Scanner& s, bool self) { r.parseAtuToken(s, self); });
    routeStatus(kStatusTransmit,
                [](Radio& r, Scanner& s, bool self) { r.parseTransmitToken(s, self); });
    routeStatus(kStatusTransmitMisspelt,
                [](Radio& r, Scanner& s, bool self) { r.parseTransmitToken(s, self); });
    routeStatus(kStatusProfile,
                [](Radio& r, Scanner& s, bool self) { r.parseProfileToken(s, self); });
    routeStatus(kStatusWan, [](Radio& r, Scanner& s, bool self) { r.parseWanToken(s, self); });
    routeStatus(kStatusAmplifier,
                [](Radio& r, Scanner& s, bool self) { r.parseAmplifierStatusToken(s, self); });
    routeStatus(kStatusClient, [](Radio& r, Scanner& s, bool) { r.parseClientToken(s); });
    routeStatus(kStatusXvtr, [](Radio& r, Scanner& s, bool) { r.parseXvtrToken(s); });
    routeStatus(kStatusTnf, [](Radio& r, Scanner& s, bool self) { r.parseTnfToken(s, self); });
    routeStatus(kStatusUsbCable, [](Radio& r, Scanner& s, bool) { r.parseUsbCableStatusToken(s); });
    routeStatus(kStatusMemory, [](Radio& r, Scanner& s, bool) { r.parseMemoryStatusToken(s); });
    // "mixer", "gps" and "waveform" lines are accepted and ignored.
    for (const StatusType ignored : {kStatusMixer, kStatusGps, kStatusWaveform}) {
        routeStatus(ignored, [](Radio&, Scanner&, bool) {});
    }
    for (const StatusType type : {kStatusTransmit, kStatusTransmitMisspelt}) {
        statusRoutes_[type].bandMarker = "transmit band";
        statusRoutes_[type].bandParser = &Radio::parseTransmitBand;
    }
    statusRoutes_[kStatusInterlock].bandMarker = "interlock band";
    statusRoutes_[kStatusInterlock].bandParser = &Radio::parseInterlockBand;
}

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

    const int number = statusTokens()->lookup(type);
    static const StatusRoute unknown{};
    const StatusRoute& route =
        number > 0 ? statusRoutes_[static_cast<std::size_t>(number)] : unknown;
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
    route.parser(*this, scan, selfStatus);
}

void Radio::testStatusMessage(const std::string& text) { parseStatusType(text); }

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
        registerRemoteUdp(withPrefix);
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
