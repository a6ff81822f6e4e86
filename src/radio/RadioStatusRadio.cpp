// "radio" status lines: the radio-wide settings, and the oscillator report that such a line may
// carry.
#include "radio/Radio.h"
#include "platform/core/Scanner.h"
#include "radio/RadioStatusTables.h"
#include "radio/StatusValues.h"

namespace vm {

using R = Radio;

const StatusTable<Radio>& radioStatusTable() {
    using namespace status;
    static const StatusTable<Radio> table{
        "Radio:parseRadioToken:Unrecognized token:[{key}] scan:[{line}]",
        {
            {"slices", wordInteger, &R::availableSlices},
            {"panadapters", wordInteger, &R::availablePanadapters},
            {"lineout_gain", wordInteger, &R::masterSpeakerAfGain},
            {"lineout_mute", wordBoolean, &R::masterSpeakerMute},
            {"headphone_gain", wordInteger, &R::masterHeadsetAfGain},
            {"headphone_mute", wordBoolean, &R::masterHeadsetMute},
            {"remote_on_enabled", wordBoolean, &R::remoteOnEnabled},
            {"pll_done", wordInteger},
            {"freq_error_ppb", wordInteger},
            {"cal_freq", wordInteger},
            {"tnf_enabled", wordBoolean, &R::tnfEnabled},
            {"snap_tune_enabled", wordInteger},
            {"nickname", word, &R::radioName},
            {"callsign", word, &R::radioCallsign},
            {"binaural_rx", wordBoolean, &R::binauralRx},
            {"full_duplex_enabled", wordBoolean, &R::fullDuplexEnabled},
            {"6300 callsign", word, &R::callSign6300},
            {"6400 callsign", word, &R::callSign6400},
            {"6500 callsign", word, &R::callSign6500},
            {"6600 callsign", word, &R::callSign6600},
            {"6700 callsign", word, &R::callSign6700},
            {"band_persistence_enabled", wordBoolean, &R::bandPersistenceEnabled},
            {"rtty_mark_default", wordInteger, &R::rttyMarkDefault},
            {"enforce_private_ip_connections", wordBoolean, &R::enforcePrivateIpConnections},
            {"filter_sharpness VOICE level", wordInteger, &R::filterSharpnessVOICELevel},
            {"filter_sharpness CW level", wordInteger, &R::filterSharpnessCWLevel},
            {"filter_sharpness DIGITAL level", wordInteger, &R::filterSharpnessDIGITALLevel},
            {"static_net_params ip", word, &R::staticNetParams},
            {"gateway", word, &R::gateway},
            {"netmask", word, &R::netMask},
            {"auto_level", wordBoolean, &R::autoLevel},
            {"backlight", wordInteger, &R::backlight},
            {"oscillator state", &R::parseOscillatorToken},
            {"spot_action", &R::parseSpotActionToken},
            {"mute_local_audio_when_remote", wordBoolean, &R::muteLocalAudioWhenRemote},
            {"daxiq_capacity", wordInteger, &R::daxiqCapacity},
            {"daxiq_available", wordInteger, &R::daxiqAvailable},
            {"front_speaker_mute", wordInteger, &R::frontSpeakerMute},
        }};
    return table;
}

const StatusTable<Radio>& oscillatorStatusTable() {
    using namespace status;
    static const StatusTable<Radio> table{"Radio:parseOscillatorToken:Unrecognized token:[{key}]",
                                          {
                                              {"state", word},
                                              {"setting", word},
                                              {"locked", wordInteger},
                                              {"ext_present", wordInteger},
                                              {"gpsdo_present", wordInteger},
                                              {"tcxo_present", wordInteger},
                                          }};
    return table;
}

void Radio::parseRadioToken(Scanner& scan, bool /*selfStatus*/) {
    radioStatusTable().read(*this, scan);
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
    oscillatorStatusTable().read(*this, scan);
}

// The spot actions are read through and kept nowhere: they end the line.
void Radio::parseSpotActionToken(Scanner& scan) { scan.setLocation(scan.string().size()); }

}  // namespace vm
