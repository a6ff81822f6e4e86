// "transmit" status lines (also sent misspelt "tranmsit"): power, microphone chain, speech
// processing, CW keyer, VOX, tune, monitors, transmit filter and antenna.
#include "platform/core/Scanner.h"
#include "radio/Radio.h"
#include "radio/RadioStatusTables.h"
#include "radio/StatusValues.h"

namespace vm {

namespace {

// "A" for an integer 0, "B" for any other.
Text iambicMode(StatusLine& line) { return status::wordInteger(line) == 0 ? "A" : "B"; }

// Power reports that arrive while tuning are not kept.
bool unlessTuning(Radio& radio, const StatusValue& /*value*/) {
    return radio.tuneEnabled().value_or(0) == 0;
}

}  // namespace

using R = Radio;

const StatusTable<Radio>& transmitStatusTable() {
    using namespace status;
    static const StatusTable<Radio> table{
        "Radio:parseTransmitToken:Unrecognized token:[{key}] intVal:[{integer}] "
        "stringVal:[{value}]",
        {
            {"freq", word, &R::transmitFrequency},
            {"lo", word, &R::transmitFilterLo},
            {"hi", word, &R::transmitFilterHi},
            {"rfpower", wordInteger, &R::rfPowerLevel, unlessTuning},
            {"am_carrier_level", wordInteger, &R::amCarrierLevel},
            {"am_carrler_level", wordInteger, &R::amCarrierLevel},
            {"mic_level", wordInteger, &R::micLevel},
            {"mic_selection", word, &R::micSelection},
            {"mic_boost", wordBoolean, &R::micBoost},
            {"mic_bias", wordBoolean, &R::micBias},
            {"compander", wordBoolean, &R::companderEnabled},
            {"compander_level", wordInteger, &R::companderLevel},
            {"speech_processor_enable", wordBoolean, &R::speechProcEnabled},
            {"speech_processor_level", wordInteger, &R::speechProcLevel},
            {"noise_gate_level", wordInteger, &R::noiseGateLevel},
            {"pitch", wordInteger, &R::cwPitch},
            {"speed", wordInteger, &R::cwSpeed},
            {"iambic", wordInteger, &R::cwIambicEnabled},
            {"iambic_mode", iambicMode, &R::cwIambicMode},
            {"swap_paddles", wordBoolean, &R::cwSwapPaddles},
            {"break_in", wordBoolean, &R::cwBreakinEnabled},
            {"break_in_delay", wordInteger, &R::cwBreakinDelay},
            {"monitor", wordInteger},
            {"mon_gain", wordInteger},
            {"met_in_rx", wordBoolean, &R::metInRxEnabled},
            {"vox", wordBoolean, &R::voxEnabled},
            {"vox_level", wordInteger, &R::voxLevel},
            {"vox_delay", wordInteger, &R::voxDelay},
            {"vox_visible", wordBoolean, &R::voxVisible},
            {"tune", wordBoolean, &R::tuneEnabled},
            {"vox_enable", wordBoolean, &R::voxEnabled},
            {"mic_acc", wordBoolean, &R::micAccEnabled},
            {"tunepower", wordInteger, &R::tunePowerLevel, unlessTuning},
            {"hwalc_enabled", wordBoolean, &R::hwAlcEnabled},
            {"dax", wordBoolean, &R::txDaxEnabled},
            {"inhibit", wordBoolean, &R::txInhibit},
            {"show_tx_in_waterfall", wordBoolean, &R::txInWaterfall},
            {"sidetone", wordBoolean, &R::sidetone},
            {"mon_gain_cw", wordInteger, &R::sidetoneGain},
            {"mon_pan_cw", wordInteger, &R::sidetonePan},
            {"sb_monitor", wordBoolean, &R::phMonitor},
            {"mon_gain_sb", wordInteger, &R::monitorPHGain},
            {"mon_pan_sb", wordInteger, &R::monitorPHPan},
            {"cwl_enabled", wordBoolean, &R::cwlEnabled},
            {"raw_iq_enable", wordBoolean, &R::rawIQEnabled},
            {"tx_filter_changes_allowed", wordBoolean, &R::txFilterChangesAllowed},
            {"tx_rf_power_changes_allowed", wordBoolean, &R::txRfPowerChangesAllowed},
            {"synccwx", wordBoolean, &R::syncCWX},
            {"mon_available", wordBoolean, &R::monAvailable},
            {"max_power_level", wordInteger, &R::maxPowerLevel},
            {"tx_slice_mode", word, &R::txSliceMode},
            {"tx_antenna", word, &R::txAntenna},
        }};
    return table;
}

void Radio::parseTransmitToken(Scanner& scan, bool /*selfStatus*/) {
    transmitStatusTable().read(*this, scan);
}

// The per-band transmit report ("transmit band <n> ...") is not kept.
void Radio::parseTransmitBand(const std::string& /*line*/) {}

}  // namespace vm
