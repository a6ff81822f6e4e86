// The lines the client sends to the DoroLink server. Each is the command and a carriage return.
#include "dorolink/WanServer.h"

#include "platform/core/Log.h"
#include "util/Utf16.h"

#include <fmt/format.h>

namespace vm {

namespace {

constexpr const char* kApplicationName = "velmoraSDR";
constexpr const char* kPlatformName = "macOS";

}  // namespace

void WanServer::sendCommand(const std::string& command, bool logLine) {
    // A value holding a line end would end the line early and smuggle in a command of its own.
    if (command.find_first_of("\r\n") != std::string::npos) {
        log("WanServer:SendCommand:not sent: a value holds a line end");
        return;
    }
    const std::string line = command + "\r";
    if (logLine) {
        log("WanServer:SendCommand:line:length:[{}] [{}]", utf16::length(line), command);
    }
    if (wan_socket_) {
        wan_socket_->writeData(line, -1, wan_seq);
    }
    ++wan_seq;
}

void WanServer::sendRegisterApplicationMessageToServer(const std::string& idToken) {
    if (!connected()) {
        log("WanServer:SendRegisterApplicationMessageToServer:not connected");
        postAuthProcessComplete();
        return;
    }
    if (connection_registered || registrationSent_) {
        log("WanServer:SendRegisterApplicationMessageToServer: The register command has already "
            "been called for this connection");
        postAuthProcessComplete();
        return;
    }
    registrationSent_ = true;
    sendCommand(fmt::format("application register name={} platform={} token={}", kApplicationName,
                            kPlatformName, idToken),
                false);
}

void WanServer::sendConnectMessageToRadio(const std::string& serial) {
    if (!connected()) {
        log("SendConnectMessageToRadio:Server not connected");
        // The progress shown for the request ends here.
        postAuthProcessComplete();
        return;
    }
    log("WanServer:SendConnectMessageToRadio:serial:[{}]", serial);
    sendCommand(fmt::format("application connect serial={} hole_punch_port={}", serial, 0), false);
}

void WanServer::sendDisConnectMessageToRadio(const std::string& serial) {
    if (!connected()) {
        log("SendDisConnectMessageToRadio:Server not connected");
        return;
    }
    log("WanServer:SendDisConnectMessageToRadio:serial:[{}]", serial);
    sendCommand(fmt::format("application disconnect_users serial={}", serial), false);
}

void WanServer::sendTestConnection(const std::string& serial) {
    if (serial.empty()) {
        log("WanServer:SendTestConnection:no serial");
        return;
    }
    if (!connected()) {
        log("WanServer:SendTestConnection:not connected");
        return;
    }
    sendCommand(fmt::format("application test_connection serial={}", serial), true);
}

void WanServer::sendSetUserInfoToServer(const std::string& callsign, const std::string& firstName,
                                        const std::string& lastName, const std::string& idToken) {
    if (!connected()) {
        log("WanServer:SendSetUserInfoToServer:not connected");
        return;
    }
    sendCommand(fmt::format("application set_user_info owner_token={} callsign={} first_name={} "
                            "last_name={}",
                            idToken, callsign, firstName, lastName),
                false);
}

}  // namespace vm
