// "atu", "amplifier", "profile", "wan" and "cwx" status lines.
#include "objects/Amplifier.h"
#include "objects/Cwx.h"
#include "platform/core/Log.h"
#include "platform/core/Scanner.h"
#include "radio/Radio.h"
#include "radio/StatusFields.h"
#include "util/TextUnits.h"

namespace vm {

namespace {

using S = StatusStore;
using R = RadioState;

const StatusFields& atuFields() {
    static const StatusFields fields{initStatusAtuTokens(),
                                     {
                                         {"status", S::AtuStatus, &R::atuStatus},
                                         {"atu_enabled", S::Boolean, &R::atuEnabled},
                                         {"memories_enabled", S::Boolean, &R::atuMemoriesEnabled},
                                         {"using_mem", S::Boolean, &R::atuUsingMemories},
                                     }};
    return fields;
}

const StatusFields& wanFields() {
    static const StatusFields fields{initStatusWanTokens(),
                                     {
                                         {"upnp_supported", S::TextBoolean, &R::upnp_supported},
                                         {"public_upnp_tls_port", S::Number, &R::public_upnp_tls_port},
                                         {"public_upnp_udp_port", S::Number, &R::public_upnp_udp_port},
                                         {"server_connected", S::TextBoolean, &R::server_connected},
                                         {"radio_authenticated", S::TextBoolean, &R::radio_authenticated},
                                         {"public_tls_port", S::Number, &R::public_tls_port},
                                         {"public_udp_port", S::Number, &R::public_udp_port},
                                         {"enabled", S::Number, &R::wan_enabled},
                                     }};
    return fields;
}

enum AmplifierKey { kAmpModel = 1, kAmpSerialNum, kAmpAnt, kAmpState };

const TokenTable& amplifierTokens() {
    static const TokenTable table{
        {"model", kAmpModel}, {"serial_num", kAmpSerialNum}, {"ant", kAmpAnt}, {"state", kAmpState}};
    return table;
}

// Profile names each followed by "^"; whatever follows the last "^" is not a name.
TextList profileNames(const std::string& value) {
    TextList names = strings::units::split(value, '^');
    names.pop_back();
    return names;
}

}  // namespace

void Radio::parseAtuToken(Scanner& scan, bool /*selfStatus*/) {
    readStatusFields(scan, atuFields(), [](const UnknownStatusKey& unknown) {
        log("Radio:parseAtuToken:Unrecognized token:[{}]", unknown.key);
    });
}

void Radio::parseWanToken(Scanner& scan, bool /*selfStatus*/) {
    readStatusFields(scan, wanFields(), [](const UnknownStatusKey& unknown) {
        log("Radio:parseWanToken:Unrecognized token:[{}]", unknown.key);
    });
}

// "<handle> model=<m> serial_num=<s> ant=<a> state=<st>": the one amplifier record is made by the
// first such line and its fields set here, on this queue; "state" is also copied into
// `amplifierState` on the main queue.
void Radio::parseAmplifierStatusToken(Scanner& scan, bool /*selfStatus*/) {
    std::shared_ptr<Amplifier> record = amplifier();
    if (!record) {
        record = std::make_shared<Amplifier>();
        amplifier.set(record);
    }
    std::string handle;
    scan.scanUpToString(" ", &handle);
    record->handle.store(handle);
    scan.scanString(" ");
    while (!scan.isAtEnd()) {
        std::string key;
        std::string value;
        scan.scanUpToString("=", &key);
        scan.scanString("=");
        scan.scanUpToString(" ", &value);
        scan.scanString(" ");
        switch (amplifierTokens().lookup(key)) {
            case kAmpModel: record->model.store(value); break;
            case kAmpSerialNum: record->serial_number.store(value); break;
            case kAmpAnt: record->antenna.store(value); break;
            case kAmpState:
                record->state.store(value);
                storeOnMain(amplifierState, Text(value));
                break;
            default: log("Radio:parseAmplifierStatusToken:Unrecognized token:[{}]", key);
        }
    }
    if (debugLogLevel() >= 2) {
        log("Radio:parseAmplifierStatusToken:handle:[{}] model:[{}] serial_number:[{}] antenna:[{}] state:[{}]",
            record->handle(), record->model(), record->serial_number(), record->antenna(), record->state());
    }
}

// "<kind> <subkey>=<value>": kind "global", "tx" or "mic"; subkey "list" (names each followed by
// "^") or "current". The value runs to the end of the line, so names keep their spaces.
void Radio::parseProfileToken(Scanner& scan, bool /*selfStatus*/) {
    std::string kind;
    std::string subkey;
    std::string value;
    scan.scanUpToString(" ", &kind);
    scan.scanString(" ");
    scan.scanUpToString("=", &subkey);
    scan.scanString("=");
    const bool present = scan.scanUpToString("\n", &value);
    if (subkey == "list") {
        Observed<TextList>* list = kind == "global" ? &globalProfiles
                                   : kind == "tx"   ? &txProfiles
                                   : kind == "mic"  ? &micProfiles
                                                    : nullptr;
        if (list) {
            storeOnMain(*list, present ? profileNames(value) : TextList());
        }
    } else if (subkey == "current") {
        const Text current = present ? Text(value) : Text();
        if (kind == "global") {
            // In place at once for this queue's later readers; announced on the main queue.
            currentGlobalProfile.store(current);
            storeOnMain(currentGlobalProfile, current);
        } else if (kind == "tx") {
            storeOnMain(currentTxProfile, current);
        } else if (kind == "mic") {
            storeOnMain(currentMicProfile, current);
        }
    }
}

void Radio::parseCwxToken(Scanner& scan, bool selfStatus) {
    if (const auto keyer = cwx()) {
        keyer->statusParserSelfStatus(scan, selfStatus);
    }
}

}  // namespace vm
