// "transmit" status lines (also sent misspelt "tranmsit"): power, microphone chain, speech
// processing, CW keyer, VOX, tune, monitors, transmit filter and antenna.
#include "platform/core/Log.h"
#include "platform/core/Scanner.h"
#include "radio/Radio.h"
#include "radio/StatusFields.h"

namespace vm {

namespace {

using S = StatusStore;
using R = RadioState;

const StatusFields& transmitFields() {
    static const StatusFields fields{
        initStatusTransmitTokens(),
        {
            {"freq", S::Text, &R::transmitFrequency},
            {"lo", S::Text, &R::transmitFilterLo},
            {"hi", S::Text, &R::transmitFilterHi},
            {"rfpower", S::TuneGuarded, &R::rfPowerLevel},
            {"am_carrier_level", S::Number, &R::amCarrierLevel},
            {"mic_level", S::Number, &R::micLevel},
            {"mic_selection", S::Text, &R::micSelection},
            {"mic_boost", S::Boolean, &R::micBoost},
            {"mic_bias", S::Boolean, &R::micBias},
            {"compander", S::Boolean, &R::companderEnabled},
            {"compander_level", S::Number, &R::companderLevel},
            {"speech_processor_enable", S::Boolean, &R::speechProcEnabled},
            {"speech_processor_level", S::Number, &R::speechProcLevel},
            {"noise_gate_level", S::Number, &R::noiseGateLevel},
            {"pitch", S::Number, &R::cwPitch},
            {"speed", S::Number, &R::cwSpeed},
            {"iambic", S::Number, &R::cwIambicEnabled},
            {"iambic_mode", S::IambicMode, &R::cwIambicMode},
            {"swap_paddles", S::Boolean, &R::cwSwapPaddles},
            {"break_in", S::Boolean, &R::cwBreakinEnabled},
            {"break_in_delay", S::Number, &R::cwBreakinDelay},
            {"monitor", S::Drop},
            {"mon_gain", S::Drop},
            {"met_in_rx", S::Boolean, &R::metInRxEnabled},
            {"vox", S::Boolean, &R::voxEnabled},
            {"vox_level", S::Number, &R::voxLevel},
            {"vox_delay", S::Number, &R::voxDelay},
            {"vox_visible", S::Boolean, &R::voxVisible},
            {"tune", S::Boolean, &R::tuneEnabled},
            {"vox_enable", S::Boolean, &R::voxEnabled},
            {"mic_acc", S::Boolean, &R::micAccEnabled},
            {"tunepower", S::TuneGuarded, &R::tunePowerLevel},
            {"hwalc_enabled", S::Boolean, &R::hwAlcEnabled},
            {"dax", S::Boolean, &R::txDaxEnabled},
            {"inhibit", S::Boolean, &R::txInhibit},
            {"show_tx_in_waterfall", S::Boolean, &R::txInWaterfall},
            {"sidetone", S::Boolean, &R::sidetone},
            {"mon_gain_cw", S::Number, &R::sidetoneGain},
            {"mon_pan_cw", S::Number, &R::sidetonePan},
            {"sb_monitor", S::Boolean, &R::phMonitor},
            {"mon_gain_sb", S::Number, &R::monitorPHGain},
            {"mon_pan_sb", S::Number, &R::monitorPHPan},
            {"cwl_enabled", S::Boolean, &R::cwlEnabled},
            {"raw_iq_enable", S::Boolean, &R::rawIQEnabled},
            {"tx_filter_changes_allowed", S::Boolean, &R::txFilterChangesAllowed},
            {"tx_rf_power_changes_allowed", S::Boolean, &R::txRfPowerChangesAllowed},
            {"synccwx", S::Boolean, &R::syncCWX},
            {"mon_available", S::Boolean, &R::monAvailable},
            {"max_power_level", S::Number, &R::maxPowerLevel},
            {"tx_slice_mode", S::Text, &R::txSliceMode},
            {"tx_antenna", S::Text, &R::txAntenna},
        }};
    return fields;
}

}  // namespace

void Radio::parseTransmitToken(Scanner& scan, bool /*selfStatus*/) {
    readStatusFields(scan, transmitFields(), [](const UnknownStatusKey& unknown) {
        log("Radio:parseTransmitToken:Unrecognized token:[{}] intVal:[{}] stringVal:[{}]", unknown.key,
            unknown.lastInteger, unknown.value);
    });
}

// The per-band transmit report ("transmit band <n> ...") is not kept.
void Radio::parseTransmitBand(const std::string& /*line*/) {}

}  // namespace vm
