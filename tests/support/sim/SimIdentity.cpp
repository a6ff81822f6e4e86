#include "support/sim/SimIdentity.h"

namespace vm::sim {

std::string infoReplyData(const RadioIdentity& id) {
    return "model=\"" + id.model + "\",name=\"" + id.nickname + "\",callsign=\"" + id.callsign +
           "\",screensaver=" + id.screensaver + ",atu_present=" + (id.atuPresent ? "1" : "0");
}

std::string versionReplyData(const RadioIdentity& id) {
    return "DoroSDR-MB=" + id.version + "#PSoC-MBTRX=" + id.psocMbtrxVersion +
           "#PSoC-MBPA100=" + id.psocMbPa100Version + "#FPGA-MB=" + id.fpgaMbVersion;
}

std::string listReplyData(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) {
        out += (out.empty() ? "" : ",") + item;
    }
    return out;
}

}  // namespace vm::sim
