// One-shot commands that bind the client to a saved identity, name the radio and the station, and
// create or remove remote-audio streams. Nothing here changes the Radio's state: what the radio
// changes comes back as status lines. Texts go in through the command-text cleaning.
#include "platform/core/Log.h"
#include "radio/CommandText.h"
#include "radio/Radio.h"

namespace vm {

void Radio::cmdBind(const std::string& clientId) {
    const std::string command = "client bind client_id=" + commandField(clientId);
    log("cmdBind:cmd:[{}]", command);
    commandToRadio(command, &Radio::radioBindCallback);
}

void Radio::cmdSetRadioName(const std::string& name) {
    const std::string command = "radio name " + commandField(name);
    log("cmdSetRadioName:cmd:[{}]", command);
    commandToRadio(command, &Radio::radioNameCallback);
}

void Radio::cmdSetStationName(const std::string& name) {
    const std::string command = "client station " + commandField(name);
    log("cmdSetStationName:cmd:[{}]", command);
    commandToRadio(command, &Radio::stationNameCallback);
}

void Radio::cmdSetRadioCallSign(const std::string& callsign) {
    const std::string command = "radio callsign " + commandField(callsign);
    log("cmdSetRadioCallSign:cmd:[{}]", command);
    commandToRadio(command, &Radio::radioCallSignCallback);
}

void Radio::cmdNewRemoteAudioRxStream(const std::string& compression) {
    commandToRadio("stream create type=remote_audio_rx compression=" + commandField(compression),
                   &Radio::newRemoteAudioStreamCallback);
}

void Radio::cmdNewRemoteAudioTxStream() {
    commandToRadio("stream create type=remote_audio_tx", &Radio::newRemoteAudioStreamCallback);
}

void Radio::cmdRemoveRemoteAudioStream(const std::string& streamId) {
    commandToRadio("stream remove " + commandField(streamId),
                   &Radio::removeRemoteAudioStreamCallback);
}

}  // namespace vm
