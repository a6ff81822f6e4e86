// Interlock, mixer and ATU settings, and the direct ATU and amplifier commands.
#include "platform/core/Log.h"
#include "radio/Amplifier.h"
#include "radio/CommandValues.h"
#include "radio/Radio.h"

#include <fmt/format.h>

namespace vm {

void Radio::setTxDelay(Number v) {
    setAndSend(txDelay, v, fmt::format("interlock tx_delay={}", commandInteger(v)));
}
void Radio::setTx1Delay(Number v) {
    setAndSend(tx1Delay, v, fmt::format("interlock tx1_delay={}", commandInteger(v)));
}
void Radio::setTx2Delay(Number v) {
    setAndSend(tx2Delay, v, fmt::format("interlock tx2_delay={}", commandInteger(v)));
}
void Radio::setTx3Delay(Number v) {
    setAndSend(tx3Delay, v, fmt::format("interlock tx3_delay={}", commandInteger(v)));
}
void Radio::setAccTxDelay(Number v) {
    setAndSend(accTxDelay, v, fmt::format("interlock acc_tx_delay={}", commandInteger(v)));
}
void Radio::setTx1Enabled(Number v) {
    setAndSend(tx1Enabled, v, fmt::format("interlock tx1_enabled={}", commandFlag(v)));
}
void Radio::setTx2Enabled(Number v) {
    setAndSend(tx2Enabled, v, fmt::format("interlock tx2_enabled={}", commandFlag(v)));
}
void Radio::setTx3Enabled(Number v) {
    setAndSend(tx3Enabled, v, fmt::format("interlock tx3_enabled={}", commandFlag(v)));
}
void Radio::setAccTxEnabled(Number v) {
    setAndSend(accTxEnabled, v, fmt::format("interlock acc_tx_enabled={}", commandFlag(v)));
}
void Radio::setRcaTxReqEnable(Number v) {
    setAndSend(rcaTxReqEnable, v, fmt::format("interlock rca_txreq_enable={}", commandFlag(v)));
}
void Radio::setRcaTxReqPolarity(Number v) {
    setAndSend(rcaTxReqPolarity, v, fmt::format("interlock rca_txreq_polarity={}", commandFlag(v)));
}
void Radio::setAccTxReqEnable(Number v) {
    setAndSend(accTxReqEnable, v, fmt::format("interlock acc_txreq_enable={}", commandFlag(v)));
}
void Radio::setAccTxReqPolarity(Number v) {
    setAndSend(accTxReqPolarity, v, fmt::format("interlock acc_txreq_polarity={}", commandFlag(v)));
}
void Radio::setInterlockTimeoutValue(Number v) {
    setAndSend(interlockTimeoutValue, v, fmt::format("interlock timeout={}", commandInteger(v)));
}
void Radio::setMasterSpeakerAfGain(Number v) {
    setAndSend(masterSpeakerAfGain, v, fmt::format("mixer lineout gain {}", commandInteger(v)));
}
void Radio::setMasterHeadsetAfGain(Number v) {
    setAndSend(masterHeadsetAfGain, v, fmt::format("mixer headphone gain {}", commandInteger(v)));
}
void Radio::setMasterSpeakerMute(Number v) {
    setAndSend(masterSpeakerMute, v, fmt::format("mixer lineout mute {}", commandFlag(v)));
}
void Radio::setMasterHeadsetMute(Number v) {
    setAndSend(masterHeadsetMute, v, fmt::format("mixer headphone mute {}", commandFlag(v)));
}
void Radio::setAtuMemoriesEnabled(Number v) {
    setAndSend(atuMemoriesEnabled, v, fmt::format("atu set memories_enabled={}", commandFlag(v)));
}

void Radio::cmdSetAtuTune(Number start) {
    commandToRadio(fmt::format("atu start {}", commandFlag(start)));
}

void Radio::cmdSetBypass() { commandToRadio("atu bypass 1"); }

void Radio::cmdSetAmplifier(bool operate) {
    const std::shared_ptr<Amplifier> record = amplifier();
    const std::string handle = record ? record->handle() : std::string();
    if (handle.empty()) {
        log("cmdSetAmplifier:error - handle:[{}] model:[{}] serial_number:[{}] antenna:[{}] "
            "state:[{}]",
            handle, record ? record->model() : std::string(),
            record ? record->serial_number() : std::string(),
            record ? record->antenna() : std::string(), record ? record->state() : std::string());
        return;
    }
    const std::string command =
        fmt::format("amplifier set {} operate={}", commandField(handle), operate ? 1 : 0);
    log("cmdSetAmplifier:[{}]", command);
    commandToRadio(command, &Radio::ampSetCallback);
}

}  // namespace vm
