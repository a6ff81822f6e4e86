// "interlock" status lines: whether the radio may transmit, why not, the PTT source, the
// transmit-request inputs and the keying delays.
#include "platform/core/Scanner.h"
#include "radio/Radio.h"
#include "radio/RadioStatusTables.h"
#include "radio/StatusTokens.h"
#include "radio/StatusValues.h"

namespace vm {

namespace {

// The state word's number in the interlock state table; none for a word it does not have.
Number interlockState(StatusLine& line) {
    const int state = interlockStateTokens().lookup(*status::word(line));
    return state != 0 ? Number(state) : Number();
}

}  // namespace

using R = Radio;

const StatusTable<Radio>& interlockStatusTable() {
    using namespace status;
    static const StatusTable<Radio> table{
        "Radio:parseInterlockToken:Unrecognized token:[{key}] value:[{value}]",
        {
            {"timeout", wordInteger, &R::interlockTimeoutValue},
            {"acc_txreq_enable", wordBoolean, &R::accTxReqEnable},
            {"rca_txreq_enable", wordBoolean, &R::rcaTxReqEnable},
            {"acc_txreq_polarity", wordInteger, &R::accTxReqPolarity},
            {"rca_txreq_polarity", wordInteger, &R::rcaTxReqPolarity},
            {"ptt_delay", wordInteger, &R::pttDelay},
            {"tx1_delay", wordInteger, &R::tx1Delay},
            {"tx2_delay", wordInteger, &R::tx2Delay},
            {"tx3_delay", wordInteger, &R::tx3Delay},
            {"acc_tx_delay", wordInteger, &R::accTxDelay},
            {"tx_delay", wordInteger, &R::txDelay},
            {"state", interlockState, &R::interlockState},
            {"source", word, &R::pttSource},
            {"reason", word, &R::interlockReason},
            {"tx1_enabled", wordBoolean, &R::tx1Enabled},
            {"tx2_enabled", wordBoolean, &R::tx2Enabled},
            {"tx3_enabled", wordBoolean, &R::tx3Enabled},
            {"acc_tx_enabled", wordBoolean, &R::accTxEnabled},
            {"tx_allowed", wordBoolean, &R::txAllowed},
            {"amplifier", word, &R::amplifierHandles},
            {"tx_client_handle", word, &R::txClientHandle},
        }};
    return table;
}

void Radio::parseInterlockToken(Scanner& scan, bool /*selfStatus*/) {
    interlockStatusTable().read(*this, scan);
}

// The per-band interlock report ("interlock band <n> ...") is not kept.
void Radio::parseInterlockBand(const std::string& /*line*/) {}

}  // namespace vm
