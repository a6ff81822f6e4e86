// "interlock" status lines: whether the radio may transmit, why not, the PTT source, the
// transmit-request inputs and the keying delays.
#include "platform/core/Log.h"
#include "platform/core/Scanner.h"
#include "radio/Radio.h"
#include "radio/StatusFields.h"

namespace vm {

namespace {

using S = StatusStore;
using R = RadioState;

const StatusFields& interlockFields() {
    static const StatusFields fields{
        initStatusInterlockTokens(),
        {
            {"timeout", S::Number, &R::interlockTimeoutValue},
            {"acc_txreq_enable", S::Boolean, &R::accTxReqEnable},
            {"rca_txreq_enable", S::Boolean, &R::rcaTxReqEnable},
            {"acc_txreq_polarity", S::Number, &R::accTxReqPolarity},
            {"rca_txreq_polarity", S::Number, &R::rcaTxReqPolarity},
            {"ptt_delay", S::Number, &R::pttDelay},
            {"tx1_delay", S::Number, &R::tx1Delay},
            {"tx2_delay", S::Number, &R::tx2Delay},
            {"tx3_delay", S::Number, &R::tx3Delay},
            {"acc_tx_delay", S::Number, &R::accTxDelay},
            {"tx_delay", S::Number, &R::txDelay},
            {"state", S::InterlockState, &R::interlockState},
            {"source", S::Text, &R::pttSource},
            {"reason", S::Text, &R::interlockReason},
            {"tx1_enabled", S::Boolean, &R::tx1Enabled},
            {"tx2_enabled", S::Boolean, &R::tx2Enabled},
            {"tx3_enabled", S::Boolean, &R::tx3Enabled},
            {"acc_tx_enabled", S::Boolean, &R::accTxEnabled},
            {"tx_allowed", S::Boolean, &R::txAllowed},
            {"amplifier", S::Text, &R::amplifierHandles},
            {"tx_client_handle", S::Text, &R::txClientHandle},
        }};
    return fields;
}

}  // namespace

void Radio::parseInterlockToken(Scanner& scan, bool /*selfStatus*/) {
    readStatusFields(scan, interlockFields(), [](const UnknownStatusKey& unknown) {
        log("Radio:parseInterlockToken:Unrecognized token:[{}] value:[{}]", unknown.key, unknown.value);
    });
}

// The per-band interlock report ("interlock band <n> ...") is not kept.
void Radio::parseInterlockBand(const std::string& /*line*/) {}

}  // namespace vm
