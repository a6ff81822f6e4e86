// Radio-wide settings: receive options, remote power-on, names and call signs, network parameters
// and the other settings of the whole radio. Only the first four commands carry "radio set"; the
// others are sent exactly as the radio expects them, some bare.
#include "radio/CommandValues.h"
#include "radio/Radio.h"

#include <fmt/format.h>

namespace vm {

void Radio::setRemoteOnEnabled(Number v) {
    setAndSend(remoteOnEnabled, v, fmt::format("radio set remote_on_enabled={}", commandFlag(v)));
}
void Radio::setTnfEnabled(Number v) {
    setAndSend(tnfEnabled, v, fmt::format("radio set tnf_enabled={}", commandFlag(v)));
}
void Radio::setBinauralRx(Number v) {
    setAndSend(binauralRx, v, fmt::format("radio set binaural_rx={}", commandFlag(v)));
}
void Radio::setFullDuplexEnabled(Number v) {
    setAndSend(fullDuplexEnabled, v,
               fmt::format("radio set full_duplex_enabled={}", commandFlag(v)));
}
void Radio::setRadioScreenSaver(Text v) {
    setAndSend(radioScreenSaver, v, "radio screensaver " + commandText(v));
}
void Radio::setRadioCallsign(Text v) {
    setAndSend(radioCallsign, v, "radio callsign " + commandText(v));
}
void Radio::setRadioName(Text v) { setAndSend(radioName, v, "radio name " + commandText(v)); }
void Radio::setCallSign6300(Text v) {
    setAndSend(callSign6300, v, "6300 callsign " + commandText(v));
}
void Radio::setCallSign6400(Text v) {
    setAndSend(callSign6400, v, "6400 callsign " + commandText(v));
}
void Radio::setCallSign6500(Text v) {
    setAndSend(callSign6500, v, "6500 callsign " + commandText(v));
}
void Radio::setCallSign6600(Text v) {
    setAndSend(callSign6600, v, "6600 callsign " + commandText(v));
}
void Radio::setCallSign6700(Text v) {
    setAndSend(callSign6700, v, "6700 callsign " + commandText(v));
}
void Radio::setBandPersistenceEnabled(Number v) {
    setAndSend(bandPersistenceEnabled, v,
               fmt::format("band_persistence_enabled={}", commandFlag(v)));
}
void Radio::setRttyMarkDefault(Number v) {
    setAndSend(rttyMarkDefault, v, fmt::format("rtty_mark_default={}", commandInteger(v)));
}
void Radio::setEnforcePrivateIpConnections(Number v) {
    setAndSend(enforcePrivateIpConnections, v,
               fmt::format("enforce_private_ip_connections={}", commandFlag(v)));
}
void Radio::setFilterSharpnessVOICELevel(Number v) {
    setAndSend(filterSharpnessVOICELevel, v,
               fmt::format("filter_sharpness VOICE level={}", commandInteger(v)));
}
void Radio::setFilterSharpnessCWLevel(Number v) {
    setAndSend(filterSharpnessCWLevel, v,
               fmt::format("filter_sharpness CW level={}", commandInteger(v)));
}
void Radio::setFilterSharpnessDIGITALLevel(Number v) {
    setAndSend(filterSharpnessDIGITALLevel, v,
               fmt::format("filter_sharpness DIGITAL level={}", commandInteger(v)));
}
void Radio::setStaticNetParams(Text v) {
    setAndSend(staticNetParams, v, "static_net_params " + commandText(v));
}
void Radio::setGateway(Text v) { setAndSend(gateway, v, "gateway " + commandText(v)); }
void Radio::setNetMask(Text v) { setAndSend(netMask, v, "netmask " + commandText(v)); }
void Radio::setAutoLevel(Number v) {
    setAndSend(autoLevel, v, fmt::format("auto_level={}", commandFlag(v)));
}
void Radio::setBacklight(Number v) {
    setAndSend(backlight, v, fmt::format("backlight={}", commandInteger(v)));
}
void Radio::setRemoteAudio(Number v) {
    setAndSend(remoteAudio, v, fmt::format("remote_audio rx_on {}", commandFlag(v)));
}

void Radio::setSyncActiveSlice(Number v) { storeOnMain(syncActiveSlice, v); }

}  // namespace vm
