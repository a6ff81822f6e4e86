// "atu", "amplifier", "profile" and "wan" status lines.
#include "platform/core/Log.h"
#include "platform/core/Scanner.h"
#include "radio/Amplifier.h"
#include "radio/Radio.h"
#include "radio/RadioStatusTables.h"
#include "radio/StatusTokens.h"
#include "radio/StatusValues.h"
#include "util/TextUnits.h"

namespace vm {

namespace {

// The word's number in the ATU status table; none for a word it does not have.
Number atuStatus(StatusLine& line) {
    const int number = atuStatusTokens().lookup(*status::word(line));
    return number != 0 ? Number(number) : Number();
}

enum AmplifierKey { kAmpModel = 1, kAmpSerialNum, kAmpAnt, kAmpState };

const TokenTable& amplifierTokens() {
    static const TokenTable table{{"model", kAmpModel},
                                  {"serial_num", kAmpSerialNum},
                                  {"ant", kAmpAnt},
                                  {"state", kAmpState}};
    return table;
}

// Profile names each followed by "^"; whatever follows the last "^" is not a name.
TextList profileNames(const std::string& value) {
    TextList names = strings::units::split(value, '^');
    names.pop_back();
    return names;
}

}  // namespace

using R = Radio;

const StatusTable<Radio>& atuStatusTable() {
    using namespace status;
    static const StatusTable<Radio> table{
        "Radio:parseAtuToken:Unrecognized token:[{key}]",
        {
            // Set at once on the session's queue; its observers hear of it there.
            {"status", atuStatus, &R::atuStatus, StatusAnnounce::AtOnce},
            {"atu_enabled", wordBoolean, &R::atuEnabled},
            {"atu memories_enabled", wordBoolean, &R::atuMemoriesEnabled},
            {"memories_enabled", wordBoolean, &R::atuMemoriesEnabled},
            {"using_mem", wordBoolean, &R::atuUsingMemories},
        }};
    return table;
}

const StatusTable<Radio>& wanStatusTable() {
    using namespace status;
    static const StatusTable<Radio> table{
        "Radio:parseWanToken:Unrecognized token:[{key}]",
        {
            {"upnp_supported", wordTruth, &R::upnp_supported},
            {"public_upnp_tls_port", wordInteger, &R::public_upnp_tls_port},
            {"public_upnp_udp_port", wordInteger, &R::public_upnp_udp_port},
            {"server_connected", wordTruth, &R::server_connected},
            {"radio_authenticated", wordTruth, &R::radio_authenticated},
            {"public_tls_port", wordInteger, &R::public_tls_port},
            {"public_udp_port", wordInteger, &R::public_udp_port},
            {"enabled", wordInteger, &R::wan_enabled},
        }};
    return table;
}

void Radio::parseAtuToken(Scanner& scan, bool /*selfStatus*/) {
    atuStatusTable().read(*this, scan);
}

void Radio::parseWanToken(Scanner& scan, bool /*selfStatus*/) {
    wanStatusTable().read(*this, scan);
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
        log("Radio:parseAmplifierStatusToken:handle:[{}] model:[{}] serial_number:[{}] "
            "antenna:[{}] state:[{}]",
            record->handle(), record->model(), record->serial_number(), record->antenna(),
            record->state());
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

}  // namespace vm
