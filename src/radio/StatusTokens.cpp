#include "radio/StatusTokens.h"

namespace vm {

const TokenTable& statusTypeTokens() {
    static const TokenTable table{
        {"interlock", kStatusInterlock},
        {"radio", kStatusRadio},
        {"atu", kStatusAtu},
        {"transmit", kStatusTransmit},
        {"tranmsit", kStatusTransmitMisspelt},
        {"slice", kStatusSlice},
        {"mixer", kStatusMixer},
        {"display", kStatusDisplay},
        {"meter", kStatusMeter},
        {"eq", kStatusEq},
        {"gps", kStatusGps},
        {"profile", kStatusProfile},
        {"cwx", kStatusCwx},
        {"waveform", kStatusWaveform},
        {"audio_stream", kStatusAudioStream},
        {"opus_stream", kStatusOpusStream},
        {"client", kStatusClient},
        {"xvtr", kStatusXvtr},
        {"wan", kStatusWan},
        {"tx_audio_stream", kStatusTxAudioStream},
        {"mic_audio_stream", kStatusMicAudioStream},
        {"daxiq", kStatusDaxIQ},
        {"tnf", kStatusTnf},
        {"spot", kStatusSpot},
        {"stream", kStatusStream},
        {"amplifier", kStatusAmplifier},
        {"usb_cable", kStatusUsbCable},
        {"memory", kStatusMemory},
    };
    return table;
}

const TokenTable& atuStatusTokens() {
    static const TokenTable table{
        {"TUNE_NOT_STARTED", 1}, {"TUNE_IN_PROGRESS", 2}, {"TUNE_BYPASS", 3},
        {"TUNE_SUCCESSFUL", 4},  {"TUNE_OK", 5},          {"TUNE_FAIL_BYPASS", 6},
        {"TUNE_FAIL", 7},        {"TUNE_ABORTED", 8},     {"TUNE_MANUAL_BYPASS", 9},
    };
    return table;
}

const TokenTable& interlockStateTokens() {
    static const TokenTable table{
        {"RECEIVE", 1},       {"READY", 2},        {"NOT_READY", 3},
        {"PTT_REQUESTED", 4}, {"TRANSMITTING", 5}, {"TX_FAULT", 6},
        {"TIMEOUT", 7},       {"STUCK_INPUT", 8},  {"UNKEY_REQUESTED", 9},
    };
    return table;
}

const TokenTable& interlockReasonTokens() {
    static const TokenTable table{
        {"RCA_TXREQ", 1},         {"ACC_RXREQ", 2},    {"BAD_MODE", 3},
        {"TUNED_TOO_FAR", 4},     {"OUT_OF_BAND", 5},  {"PA_RANGE", 6},
        {"CLIENT_TX_INHIBIT", 7}, {"XVTR_RX_ONLY", 8}, {"NO_TX_ASSIGNED", 9},
    };
    return table;
}

}  // namespace vm
