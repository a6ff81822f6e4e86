#pragma once
// The radio's USB cable settings ("usb_cable" status lines): texts as the radio sends them, empty
// until reported. The session keeps one record, made by the first line and set field by field on
// its own queue by every later one, so each field is stored under its own lock; a plain store
// announces nothing.
#include "platform/core/Observable.h"

#include <string>

namespace vm {

class USBCable : public Observable {
public:
    Observed<std::string> handle{this, "handle"};
    Observed<std::string> type{this, "type"};
    Observed<std::string> enable{this, "enable"};
    Observed<std::string> plugged_in{this, "plugged_in"};
    Observed<std::string> name{this, "name"};
    Observed<std::string> source{this, "source"};
    Observed<std::string> source_tx_ant{this, "source_tx_ant"};
    Observed<std::string> source_rx_ant{this, "source_rx_ant"};
    Observed<std::string> source_slice{this, "source_slice"};
    Observed<std::string> auto_report{this, "auto_report"};
    Observed<std::string> preamp{this, "preamp"};
    Observed<std::string> polarity{this, "polarity"};
    Observed<std::string> band{this, "band"};
    Observed<std::string> log{this, "log"};
    Observed<std::string> speed{this, "speed"};
    Observed<std::string> data_bits{this, "data_bits"};
    Observed<std::string> stop_bits{this, "stop_bits"};
    Observed<std::string> parity{this, "parity"};
    Observed<std::string> flow_control{this, "flow_control"};
};

}  // namespace vm
