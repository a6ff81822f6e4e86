// Transmit, microphone and CW settings: each setter stores and announces its value on the calling
// thread and queues its command on the session's queue.
#include "radio/CommandValues.h"
#include "radio/Radio.h"

#include <fmt/format.h>

#include <algorithm>

namespace vm {

void Radio::setTransmitFilterLo(Text v) {
    setAndSend(transmitFilterLo, v, fmt::format("transmit set filter_low={}", commandInteger(v)));
}
void Radio::setTransmitFilterHi(Text v) {
    setAndSend(transmitFilterHi, v, fmt::format("transmit set filter_high={}", commandInteger(v)));
}
void Radio::setRfPowerLevel(Number v) {
    setAndSend(rfPowerLevel, v, fmt::format("transmit set rfpower={}", commandInteger(v)));
}
void Radio::setMaxPowerLevel(Number v) {
    setAndSend(maxPowerLevel, v, fmt::format("transmit set max_power_level={}", commandInteger(v)));
}
void Radio::setTunePowerLevel(Number v) {
    setAndSend(tunePowerLevel, v, fmt::format("transmit set tunepower={}", commandInteger(v)));
}
void Radio::setAmCarrierLevel(Number v) {
    setAndSend(amCarrierLevel, v, fmt::format("transmit set am_carrier={}", commandInteger(v)));
}
void Radio::setTxDaxEnabled(Number v) {
    setAndSend(txDaxEnabled, v, fmt::format("transmit set dax={}", commandInteger(v)));
}
void Radio::setMicLevel(Number v) {
    setAndSend(micLevel, v, fmt::format("transmit set miclevel={}", commandInteger(v)));
}
void Radio::setCompanderEnabled(Number v) {
    setAndSend(companderEnabled, v, fmt::format("transmit set compander={}", commandFlag(v)));
}
void Radio::setCompanderLevel(Number v) {
    setAndSend(companderLevel, v,
               fmt::format("transmit set compander_level={}", commandInteger(v)));
}
void Radio::setSpeechProcEnabled(Number v) {
    setAndSend(speechProcEnabled, v,
               fmt::format("transmit set speech_processor_enable={}", commandFlag(v)));
}
void Radio::setSpeechProcLevel(Number v) {
    setAndSend(speechProcLevel, v,
               fmt::format("transmit set speech_processor_level={}", commandInteger(v)));
}
void Radio::setVoxEnabled(Number v) {
    setAndSend(voxEnabled, v, fmt::format("transmit set vox_enable={}", commandFlag(v)));
}
void Radio::setVoxLevel(Number v) {
    setAndSend(voxLevel, v, fmt::format("transmit set vox_level={}", commandInteger(v)));
}
void Radio::setVoxDelay(Number v) {
    setAndSend(voxDelay, v, fmt::format("transmit set vox_delay={}", commandInteger(v)));
}
void Radio::setSidetoneGain(Number v) {
    setAndSend(sidetoneGain, v, fmt::format("transmit set mon_gain_cw={}", commandInteger(v)));
}
void Radio::setSidetonePan(Number v) {
    setAndSend(sidetonePan, v, fmt::format("transmit set mon_pan_cw={}", commandInteger(v)));
}
void Radio::setPhMonitor(Number v) {
    setAndSend(phMonitor, v, fmt::format("transmit set mon={}", commandFlag(v)));
}
void Radio::setMonitorPHGain(Number v) {
    setAndSend(monitorPHGain, v, fmt::format("transmit set mon_gain_sb={}", commandInteger(v)));
}
void Radio::setMonitorPHPan(Number v) {
    setAndSend(monitorPHPan, v, fmt::format("transmit set mon_pan_sb={}", commandInteger(v)));
}
void Radio::setTxInWaterfall(Number v) {
    setAndSend(txInWaterfall, v,
               fmt::format("transmit set show_tx_in_waterfall={}", commandFlag(v)));
}
void Radio::setTxInhibit(Number v) {
    setAndSend(txInhibit, v, fmt::format("transmit set inhibit={}", commandFlag(v)));
}
void Radio::setHwAlcEnabled(Number v) {
    setAndSend(hwAlcEnabled, v, fmt::format("transmit set hwalc_enabled={}", commandFlag(v)));
}
void Radio::setTuneEnabled(Number v) {
    setAndSend(tuneEnabled, v, fmt::format("transmit tune {}", commandFlag(v)));
}
void Radio::setTxState(Number v) { setAndSend(txState, v, fmt::format("xmit {}", commandFlag(v))); }

void Radio::setMicSelection(Text v) { setAndSend(micSelection, v, "mic input " + commandText(v)); }
void Radio::setMicBias(Number v) {
    setAndSend(micBias, v, fmt::format("mic bias {}", commandFlag(v)));
}
void Radio::setMicBoost(Number v) {
    setAndSend(micBoost, v, fmt::format("mic boost {}", commandFlag(v)));
}
void Radio::setMicAccEnabled(Number v) {
    setAndSend(micAccEnabled, v, fmt::format("mic acc {}", commandFlag(v)));
}

void Radio::setCwPitch(Number v) {
    setAndSend(cwPitch, v, fmt::format("cw pitch {}", commandInteger(v)));
}
void Radio::setCwSwapPaddles(Number v) {
    setAndSend(cwSwapPaddles, v, fmt::format("cw swap {}", commandFlag(v)));
}
void Radio::setCwIambicEnabled(Number v) {
    setAndSend(cwIambicEnabled, v, fmt::format("cw iambic {}", commandFlag(v)));
}
void Radio::setCwIambicMode(Text v) {
    setAndSend(cwIambicMode, v, fmt::format("cw mode {}", v == "B" ? 1 : 0));
}
void Radio::setCwBreakinEnabled(Number v) {
    setAndSend(cwBreakinEnabled, v, fmt::format("cw break_in {}", commandFlag(v)));
}
void Radio::setCwBreakinDelay(Number v) {
    setAndSend(cwBreakinDelay, v, fmt::format("cw break_in_delay {}", commandInteger(v)));
}
void Radio::setSidetone(Number v) {
    setAndSend(sidetone, v, fmt::format("cw sidetone {}", commandFlag(v)));
}
void Radio::setCwlEnabled(Number v) {
    setAndSend(cwlEnabled, v, fmt::format("cw cwl_enabled {}", commandFlag(v)));
}

// The keyer's slowest speed is 5 wpm: a lower (or missing) value stores and sends 5.
void Radio::setCwSpeed(Number v) {
    const int wpm = std::max(commandInteger(v), 5);
    setAndSend(cwSpeed, Number(wpm), fmt::format("cw wpm {}", wpm));
}

}  // namespace vm
