// Satellite tuning for the tracker: slice B receives the downlink, slice A transmits on the
// uplink, with the CTCSS tone of an FM uplink.
#include "app/control/SiblingBridge.h"

#include "app/control/SiblingValues.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"

namespace vm {

namespace {

// The tone as the tracker sent it, for the log: a text, a number, or nothing.
std::string toneText(const PlistDict& payload, const std::string& key) {
    if (const auto number = sibling::payloadNumber(payload, key)) {
        return fmt::format("{:g}", *number);
    }
    return sibling::payloadText(payload, key);
}

}  // namespace

void SiblingBridge::satellite(const PlistDict& payload) {
    const auto host = host_.lock();
    if (!host || !host->radioIsOpen()) {
        log("satellite:no open radio");
        return;
    }
    const auto down = sibling::payloadNumber(payload, "down");
    const auto up = sibling::payloadNumber(payload, "up");
    std::string downlinkMode = sibling::payloadText(payload, "downlinkMode");
    std::string uplinkMode = sibling::payloadText(payload, "uplinkMode");
    const std::string uplinkModeReceived = uplinkMode;
    const std::string name = sibling::payloadText(payload, "name");
    const auto tone = sibling::payloadNumber(payload, "tone");
    const bool changed = sibling::payloadFlag(payload, "changed").value_or(true);
    if (host->debugEnabled()) {
        log("satellite:down:{:g} downlinkMode:{} up:{:g} uplinkMode:{} name:{} tone:{} ctone:{} "
            "changed:{}",
            down.value_or(0), downlinkMode, up.value_or(0), uplinkMode, name,
            toneText(payload, "tone"), toneText(payload, "ctone"), changed ? "YES" : "NO");
    }
    // Only plain frequencies above zero reach the slices.
    if (!down || *down <= 0 || !up || *up <= 0) {
        log("satellite:frequencies not accepted:down:[{}] up:[{}]", toneText(payload, "down"),
            toneText(payload, "up"));
        return;
    }

    auto sliceB = host->getSliceB();
    auto sliceA = host->getSliceA();
    if (changed) {
        if (!sliceB) {
            host->needDoroVFO(1);
        }
        if (!sliceA) {
            host->needDoroVFO(0);
        }
    }
    if (!sliceA && !sliceB) {
        log("satellite:no open available slices");
        return;  // a slice asked for now serves the next notification
    }
    if (changed && host->narrowFmForSatellite()) {
        for (std::string* mode : {&downlinkMode, &uplinkMode}) {
            if (*mode == "FM") {
                *mode = "NFM";
            }
        }
    }
    // A mode must be one the slice offers, so that no other text reaches its command.
    if (changed) {
        for (const auto& [slice, mode] : {std::pair{sliceB, downlinkMode}, {sliceA, uplinkMode}}) {
            if (slice && !sibling::offeredMode(mode, slice->modeList())) {
                log("satellite:mode not offered by slice {}:[{}]", slice->thisSliceNumber(), mode);
                return;
            }
        }
    }

    const std::string downText = sibling::megahertzText(*down);
    const std::string upText = sibling::megahertzText(*up);
    const int autopan = changed ? 1 : 0;
    const bool fmUplink = uplinkModeReceived == "FM";
    const double toneHz = tone.value_or(0);
    kbrx_zenithor_queue_->async([=] {
        if (sliceB) {
            sliceB->setSliceFrequency(downText, autopan);
            if (changed) {
                if (sliceB->sliceTxEnabled().value_or(false)) {
                    sliceB->setSliceTxEnabled(false);
                }
                sliceB->setSliceMode(downlinkMode);
            }
        }
        if (sliceA) {
            sliceA->setSliceFrequency(upText, autopan);
            if (changed) {
                if (!sliceA->sliceTxEnabled().value_or(false)) {
                    sliceA->setSliceTxEnabled(true);
                }
                sliceA->setSliceMode(uplinkMode);
                if (fmUplink) {
                    if (toneHz > 0) {
                        sliceA->setFmToneFreq(static_cast<float>(toneHz));
                        sliceA->setFmToneMode("ctcss_tx");
                    } else {
                        sliceA->setFmToneFreq(67.0F);
                        sliceA->setFmToneMode("off");
                    }
                }
            }
        }
    });
}

}  // namespace vm
