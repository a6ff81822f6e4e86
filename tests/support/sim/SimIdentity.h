#pragma once
// Who the simulated radio says it is: in its greeting, its replies to the start-up questions and
// its discovery announcements.
#include <string>
#include <vector>

namespace vm::sim {

struct RadioIdentity {
    std::string model = "DORO-6700";
    std::string serial = "0610-1122-6700-4321";
    std::string nickname = "SimRadio";
    std::string callsign = "N0CALL";
    std::string version = "3.3.28.0";  // firmware, announced and in the version reply
    std::string discoveryProtocolVersion = "3.0.0.2";
    std::string status = "Available";
    std::string protocolVersion = "1.4.0.0";  // the greeting's V line
    std::string handle = "5A3C1F07";          // the greeting's H line, hexadecimal
    std::string clientId = "6F1B2C3D-4E5F-4061-8293-A4B5C6D7E8F9";  // "client gui" reply data
    std::string screensaver = "name";
    bool atuPresent = true;
    std::string psocMbtrxVersion = "3.03";
    std::string psocMbPa100Version = "1.20";
    std::string fpgaMbVersion = "2.15";
    std::vector<std::string> antennas{"ANT1", "ANT2", "RX_A", "RX_B", "XVTR"};
    std::vector<std::string> microphones{"MIC", "BAL", "LINE", "ACC"};
};

// Reply data (the text after "R<seq>|0|") of the start-up questions.
std::string infoReplyData(const RadioIdentity& id);     // "info": comma-separated key=value
std::string versionReplyData(const RadioIdentity& id);  // "version": "#"-separated key=value
std::string listReplyData(const std::vector<std::string>& items);  // "ant list", "mic list"

}  // namespace vm::sim
