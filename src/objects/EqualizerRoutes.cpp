// The session's side of the equalizers: "eq" lines. A line with "tx" anywhere is the transmit
// equalizer's (slot 1), any other the receive equalizer's (slot 0); lines about the audio peak
// filter ("apf") reach no equalizer.
#include "objects/Equalizer.h"
#include "objects/ObjectRoutes.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"

namespace vm {

namespace {

// On the session's queue, for every "eq" line.
void parseEqToken(Radio& radio, Scanner& scan, bool /*selfStatus*/) {
    const std::string& line = scan.string();
    if (line.find("apf") != std::string::npos) {
        log("parseEqToken:apf");
        return;
    }
    const bool transmit = line.find("tx") != std::string::npos;
    const std::size_t index = transmit ? 1 : 0;
    const std::shared_ptr<Equalizer> equalizer =
        radio.equalizers()->with([&](const auto& slots) { return slots[index]; });
    if (equalizer) {
        equalizer->eqRunQueue()->asyncOrRunIdle(
            [equalizer, scan]() mutable { equalizer->statusParserImmediate(scan, false); });
        return;
    }
    // Filled by its first line before it goes into its slot, so that a later line (read on the
    // equalizer's queue) always comes after it and no other thread finds it without its values.
    const auto created = Equalizer::create(transmit ? "tx" : "rx", radio.shared_from_this());
    const auto instance = radio.radioInstance();
    log("parseEqToken:first parse for {} {}",
        instance && instance->name ? *instance->name : std::string(), created->eqType());
    created->statusParserImmediate(scan, true);
    radio.equalizers()->with([&](auto& slots) { slots[index] = created; });
    DispatchQueue::main()->async([weak = radio.weak_from_this()] {
        if (const auto session = weak.lock()) {
            session->equalizers.announce();
        }
    });
}

}  // namespace

void attachEqualizers(Radio& radio) { radio.routeStatus(kStatusEq, parseEqToken); }

}  // namespace vm
