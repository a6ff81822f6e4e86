// The Opus stream's status: "opus_stream <id> opus_rx_stream_stopped=0 rx_on=1 tx_on=1 ip=...
// port=...".
#include "audio/OpusAudio.h"
#include "radio/StatusValues.h"

namespace vm {

namespace {

// The low byte of the value's integer.
Number lowByte(StatusLine& line) {
    const Number value = status::wordInteger(line);
    return value ? Number(*value & 0xFF) : value;
}

}  // namespace

const StatusTable<OpusAudio>& OpusAudio::statusTable() {
    static const StatusTable<OpusAudio> table{
        "",
        {
            {"opus_rx_stream_stopped", status::wordTruth, &OpusAudio::opusRxStreamStopped},
            {"rx_on", lowByte, &OpusAudio::rxOn},
            {"tx_on", status::wordTruth, &OpusAudio::txOn},
            {"ip", status::word},
            {"port", status::word},
        }};
    return table;
}

void OpusAudio::statusParser(Scanner& scan, bool /*selfStatus*/) {
    std::string_view rest = scan.remainder();
    rest = rest.substr(std::min(rest.find_first_not_of(' '), rest.size()));
    rest = rest.substr(0, rest.find('\n'));
    Scanner pairs = wellFormedPairs(rest);
    statusTable().read(*this, pairs);
}

}  // namespace vm
