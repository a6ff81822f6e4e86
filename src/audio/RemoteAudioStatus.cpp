// A remote-audio stream's status: "stream <id> type=remote_audio_rx compression=OPUS
// client_handle=0x... ip=...".
#include "audio/RemoteAudio.h"
#include "radio/StatusValues.h"

namespace vm {

const StatusTable<RemoteAudio>& RemoteAudio::statusTable() {
    static const StatusTable<RemoteAudio> table{
        "RemoteStream statusParser: Unrecognized key:{key} v:[{value}]",
        {
            {"type", status::word, &RemoteAudio::streamType},
            {"compression", status::word, &RemoteAudio::compression},
            {"client_handle", status::word, &RemoteAudio::clientHandle},
            {"ip", status::word, &RemoteAudio::ip},
        }};
    return table;
}

// Reads the whole line again, from after "|stream " and the stream id, whatever the scanner's
// position.
void RemoteAudio::statusParser(Scanner& scan, bool /*selfStatus*/) {
    const std::string& line = scan.string();
    const std::size_t marker = line.find("|stream ");
    if (marker == std::string::npos) {
        return;
    }
    std::string_view rest = std::string_view(line).substr(marker + 8);
    const std::size_t idEnd = rest.find(' ');
    rest = idEnd == rest.npos ? std::string_view() : rest.substr(idEnd + 1);
    rest = rest.substr(0, rest.find('\n'));
    Scanner pairs = wellFormedPairs(rest);
    statusTable().read(*this, pairs);
}

}  // namespace vm
