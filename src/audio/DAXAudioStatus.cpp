// A DAX stream's status: "audio_stream <id> dax=1 in_use=1 slice=0 dax_tx=0 dax_clients=1
// tx_stream=0x... ip=... port=...".
#include "audio/DAXAudio.h"
#include "radio/StatusValues.h"

#include <fmt/format.h>

namespace vm {

const StatusTable<DAXAudio>& DAXAudio::statusTable() {
    static const StatusTable<DAXAudio> table{
        "AudioStream statusParser: Unrecognized key {key}",
        {
            {"dax", status::wordInteger, &DAXAudio::daxChannel},
            {"in_use", status::word},
            {"dax_tx", status::wordTruth, &DAXAudio::transmitEnabled},
            {"dax_clients", status::word},
            {"slice", &DAXAudio::readSlice},
            {"tx_stream", status::word, &DAXAudio::txStreamId, StatusAnnounce::AtOnce},
            {"ip", status::word},
            {"port", status::word},
        }};
    return table;
}

void DAXAudio::statusParser(Scanner& scan, bool /*selfStatus*/) {
    std::string_view rest = scan.remainder();
    rest = rest.substr(std::min(rest.find_first_not_of(' '), rest.size()));
    rest = rest.substr(0, rest.find('\n'));
    Scanner pairs = wellFormedPairs(rest);
    statusTable().read(*this, pairs);
}

// The slice is stored on the main queue; the gain command for a slice that exists leaves at once.
void DAXAudio::readSlice(Scanner& scan) {
    int number = 0;
    scan.scanInt(&number);
    const auto link = radio();
    const std::shared_ptr<Slice> found = (number >= 0 && link) ? link->sliceAt(number) : nullptr;
    if (found) {
        link->commandToRadio(
            fmt::format("audio stream {} slice {} gain {}", streamId(), number, rxGain()));
    }
    DispatchQueue::main()->async([self = shared_from_this(), weak = std::weak_ptr<Slice>(found),
                                  number] { self->storeSlice(weak, number); });
}

}  // namespace vm
