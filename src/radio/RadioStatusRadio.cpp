// "radio" status lines: the radio-wide settings, and the oscillator report that such a line may
// carry.
#include "platform/core/Log.h"
#include "platform/core/Scanner.h"
#include "radio/Radio.h"
#include "radio/StatusFields.h"

namespace vm {

namespace {

using S = StatusStore;
using R = RadioState;

const StatusFields& radioFields() {
    static const StatusFields fields{
        initStatusRadioTokens(),
        {
            {"slices", S::Number, &R::availableSlices},
            {"panadapters", S::Number, &R::availablePanadapters},
            {"lineout_gain", S::Number, &R::masterSpeakerAfGain},
            {"lineout_mute", S::Boolean, &R::masterSpeakerMute},
            {"headphone_gain", S::Number, &R::masterHeadsetAfGain},
            {"headphone_mute", S::Boolean, &R::masterHeadsetMute},
            {"remote_on_enabled", S::Boolean, &R::remoteOnEnabled},
            {"pll_done", S::Drop},
            {"freq_error_ppb", S::Drop},
            {"cal_freq", S::Drop},
            {"tnf_enabled", S::Boolean, &R::tnfEnabled},
            {"snap_tune_enabled", S::Drop},
            {"nickname", S::Text, &R::radioName},
            {"callsign", S::Text, &R::radioCallsign},
            {"binaural_rx", S::Boolean, &R::binauralRx},
            {"full_duplex_enabled", S::Boolean, &R::fullDuplexEnabled},
            {"6300 callsign", S::Text, &R::callSign6300},
            {"6400 callsign", S::Text, &R::callSign6400},
            {"6500 callsign", S::Text, &R::callSign6500},
            {"6600 callsign", S::Text, &R::callSign6600},
            {"6700 callsign", S::Text, &R::callSign6700},
            {"band_persistence_enabled", S::Boolean, &R::bandPersistenceEnabled},
            {"rtty_mark_default", S::Number, &R::rttyMarkDefault},
            {"enforce_private_ip_connections", S::Boolean, &R::enforcePrivateIpConnections},
            {"filter_sharpness VOICE level", S::Number, &R::filterSharpnessVOICELevel},
            {"filter_sharpness CW level", S::Number, &R::filterSharpnessCWLevel},
            {"filter_sharpness DIGITAL level", S::Number, &R::filterSharpnessDIGITALLevel},
            {"static_net_params ip", S::Text, &R::staticNetParams},
            {"gateway", S::Text, &R::gateway},
            {"netmask", S::Text, &R::netMask},
            {"auto_level", S::Boolean, &R::autoLevel},
            {"backlight", S::Number, &R::backlight},
            {"oscillator state", S::Oscillator},
            {"spot_action", S::RestOfLine},
            {"mute_local_audio_when_remote", S::Boolean, &R::muteLocalAudioWhenRemote},
            {"daxiq_capacity", S::Number, &R::daxiqCapacity},
            {"daxiq_available", S::Number, &R::daxiqAvailable},
            {"front_speaker_mute", S::Number, &R::frontSpeakerMute},
        }};
    return fields;
}

// The oscillator report is read through and kept nowhere.
const StatusFields& oscillatorFields() {
    static const TokenTable tokens{{"state", 1},       {"setting", 2},       {"locked", 3},
                                   {"ext_present", 4}, {"gpsdo_present", 5}, {"tcxo_present", 6}};
    static const StatusFields fields{tokens,
                                     {
                                         {"state", S::Drop},
                                         {"setting", S::Drop},
                                         {"locked", S::Drop},
                                         {"ext_present", S::Drop},
                                         {"gpsdo_present", S::Drop},
                                         {"tcxo_present", S::Drop},
                                     }};
    return fields;
}

}  // namespace

void Radio::parseRadioToken(Scanner& scan, bool /*selfStatus*/) {
    readStatusFields(scan, radioFields(), [](const UnknownStatusKey& unknown) {
        log("Radio:parseRadioToken:Unrecognized token:[{}] scan:[{}]", unknown.key, unknown.scan.string());
    });
}

// Called with the scanner just after "oscillator state="; the report is read again from its
// "state" key to the end of the line. The key is found backwards from the scanner, so a "state"
// earlier in the line (in another key or value) cannot send the scanner back there.
void Radio::parseOscillatorToken(Scanner& scan) {
    const std::size_t before = scan.location() > 0 ? scan.location() - 1 : 0;  // before the "="
    const std::size_t at = scan.string().rfind("state", before);
    if (at != std::string::npos) {
        scan.setLocation(at);
    }
    readStatusFields(scan, oscillatorFields(), [](const UnknownStatusKey& unknown) {
        log("Radio:parseOscillatorToken:Unrecognized token:[{}]", unknown.key);
    });
}

}  // namespace vm
