#include "radio/StatusTokens.h"

namespace vm {

const TokenTable& initStatusTokens() {
    static const TokenTable table{
        {"interlock", 1},     {"radio", 2},           {"atu", 3},
        {"transmit", 4},      {"tranmsit", 5},        {"slice", 6},
        {"mixer", 7},         {"display", 8},         {"meter", 9},
        {"eq", 10},           {"gps", 11},            {"profile", 12},
        {"cwx", 13},          {"waveform", 14},       {"audio_stream", 15},
        {"opus_stream", 16},  {"client", 17},         {"xvtr", 18},
        {"wan", 19},          {"tx_audio_stream", 20}, {"mic_audio_stream", 21},
        {"daxiq", 22},        {"tnf", 23},            {"spot", 24},
        {"stream", 25},       {"amplifier", 26},      {"usb_cable", 27},
        {"memory", 28},
    };
    return table;
}

const TokenTable& initStatusRadioTokens() {
    static const TokenTable table{
        {"slices", 1},
        {"panadapters", 2},
        {"lineout_gain", 3},
        {"lineout_mute", 4},
        {"headphone_gain", 5},
        {"headphone_mute", 6},
        {"remote_on_enabled", 7},
        {"pll_done", 8},
        {"freq_error_ppb", 9},
        {"cal_freq", 10},
        {"tnf_enabled", 11},
        {"snap_tune_enabled", 12},
        {"nickname", 13},
        {"callsign", 14},
        {"binaural_rx", 15},
        {"full_duplex_enabled", 16},
        {"6300 callsign", 17},
        {"6400 callsign", 18},
        {"6500 callsign", 19},
        {"6600 callsign", 20},
        {"6700 callsign", 21},
        {"band_persistence_enabled", 22},
        {"rtty_mark_default", 23},
        {"enforce_private_ip_connections", 24},
        {"filter_sharpness VOICE level", 25},
        {"filter_sharpness CW level", 26},
        {"filter_sharpness DIGITAL level", 27},
        {"static_net_params ip", 28},
        {"gateway", 29},
        {"netmask", 30},
        {"auto_level", 31},
        {"backlight", 32},
        {"oscillator state", 33},
        {"spot_action", 34},
        {"mute_local_audio_when_remote", 35},
        {"daxiq_capacity", 36},
        {"daxiq_available", 37},
        {"front_speaker_mute", 38},
    };
    return table;
}

const TokenTable& initStatusAtuTokens() {
    static const TokenTable table{
        {"status", 1},
        {"atu_enabled", 2},
        {"atu memories_enabled", 3},
        {"memories_enabled", 3},
        {"using_mem", 4},
    };
    return table;
}

const TokenTable& initStatusAtuStatusTokens() {
    static const TokenTable table{
        {"TUNE_NOT_STARTED", 1}, {"TUNE_IN_PROGRESS", 2}, {"TUNE_BYPASS", 3},
        {"TUNE_SUCCESSFUL", 4},  {"TUNE_OK", 5},          {"TUNE_FAIL_BYPASS", 6},
        {"TUNE_FAIL", 7},        {"TUNE_ABORTED", 8},     {"TUNE_MANUAL_BYPASS", 9},
    };
    return table;
}

// "mon_gain" is listed twice by the radio's documentation (23 and 29); the transmit parser treats
// 22, 23 and 29 alike, so it is entered once, as 23.
const TokenTable& initStatusTransmitTokens() {
    static const TokenTable table{
        {"freq", 1},
        {"lo", 2},
        {"hi", 3},
        {"rfpower", 4},
        {"am_carrier_level", 5},
        {"am_carrler_level", 5},
        {"mic_level", 6},
        {"mic_selection", 7},
        {"mic_boost", 8},
        {"mic_bias", 9},
        {"compander", 10},
        {"compander_level", 11},
        {"speech_processor_enable", 12},
        {"speech_processor_level", 13},
        {"noise_gate_level", 14},
        {"pitch", 15},
        {"speed", 16},
        {"iambic", 17},
        {"iambic_mode", 18},
        {"swap_paddles", 19},
        {"break_in", 20},
        {"break_in_delay", 21},
        {"monitor", 22},
        {"mon_gain", 23},
        {"met_in_rx", 24},
        {"vox", 25},
        {"vox_level", 26},
        {"vox_delay", 27},
        {"vox_visible", 28},
        {"tune", 30},
        {"vox_enable", 31},
        {"mic_acc", 32},
        {"tunepower", 33},
        {"hwalc_enabled", 34},
        {"dax", 35},
        {"inhibit", 36},
        {"show_tx_in_waterfall", 37},
        {"sidetone", 38},
        {"mon_gain_cw", 39},
        {"mon_pan_cw", 40},
        {"sb_monitor", 41},
        {"mon_gain_sb", 42},
        {"mon_pan_sb", 43},
        {"cwl_enabled", 44},
        {"raw_iq_enable", 45},
        {"tx_filter_changes_allowed", 46},
        {"tx_rf_power_changes_allowed", 47},
        {"synccwx", 48},
        {"mon_available", 49},
        {"max_power_level", 50},
        {"tx_slice_mode", 51},
        {"tx_antenna", 52},
    };
    return table;
}

const TokenTable& initStatusInterlockTokens() {
    static const TokenTable table{
        {"timeout", 1},          {"acc_txreq_enable", 2},    {"rca_txreq_enable", 3},
        {"acc_txreq_polarity", 4}, {"rca_txreq_polarity", 5}, {"ptt_delay", 6},
        {"tx1_delay", 7},        {"tx2_delay", 8},           {"tx3_delay", 9},
        {"acc_tx_delay", 10},    {"tx_delay", 11},           {"state", 12},
        {"source", 13},          {"reason", 14},             {"tx1_enabled", 15},
        {"tx2_enabled", 16},     {"tx3_enabled", 17},        {"acc_tx_enabled", 18},
        {"tx_allowed", 19},      {"amplifier", 20},          {"tx_client_handle", 21},
    };
    return table;
}

const TokenTable& initStatusInterlockStateTokens() {
    static const TokenTable table{
        {"RECEIVE", 1},      {"READY", 2},    {"NOT_READY", 3},
        {"PTT_REQUESTED", 4}, {"TRANSMITTING", 5}, {"TX_FAULT", 6},
        {"TIMEOUT", 7},      {"STUCK_INPUT", 8}, {"UNKEY_REQUESTED", 9},
    };
    return table;
}

const TokenTable& initStatusInterlockReasonTokens() {
    static const TokenTable table{
        {"RCA_TXREQ", 1},  {"ACC_RXREQ", 2},         {"BAD_MODE", 3},
        {"TUNED_TOO_FAR", 4}, {"OUT_OF_BAND", 5},    {"PA_RANGE", 6},
        {"CLIENT_TX_INHIBIT", 7}, {"XVTR_RX_ONLY", 8}, {"NO_TX_ASSIGNED", 9},
    };
    return table;
}

const TokenTable& initXvtrTokens() {
    static const TokenTable table{
        {"name", 1},      {"rf_freq", 2},  {"if_freq", 3},    {"lo_error", 4},
        {"max_power", 5}, {"rx_gain", 6},  {"order", 7},      {"rx_only", 8},
        {"is_valid", 9},  {"preferred", 10}, {"two_meter_int", 11}, {"in_use", 12},
    };
    return table;
}

// Number 6 is not used.
const TokenTable& initStatusWanTokens() {
    static const TokenTable table{
        {"upnp_supported", 1},  {"public_upnp_tls_port", 2}, {"public_upnp_udp_port", 3},
        {"server_connected", 4}, {"radio_authenticated", 5}, {"public_tls_port", 7},
        {"public_udp_port", 8},  {"enabled", 9},
    };
    return table;
}

const TokenTable& initClientTokens() {
    static const TokenTable table{
        {"forced", 1},      {"wan_validation_failed", 2}, {"local_ptt", 3},
        {"client_id", 4},   {"duplicate_client_id", 5},   {"program", 6},
        {"station", 7},
    };
    return table;
}

}  // namespace vm
