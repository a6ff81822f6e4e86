// "usb_cable" and "memory" status lines: the radio's one USB cable record, and the radio's own
// memories, which are read and logged but not kept (the application keeps its memories in its own
// file).
#include "platform/core/Log.h"
#include "radio/MemorySlot.h"
#include "radio/Radio.h"
#include "radio/RadioRecordTables.h"
#include "radio/USBCable.h"

namespace vm {

const RecordTable<USBCable>& usbCableRecordTable() {
    using U = USBCable;
    static const RecordTable<USBCable> table{
        "Radio:parseUsbCableStatusToken:Unrecognized token:[{key}]",
        {
            {"type", field<&U::type>},
            {"enable", field<&U::enable>},
            {"plugged_in", field<&U::plugged_in>},
            {"name", field<&U::name>},
            {"source", field<&U::source>},
            {"source_tx_ant", field<&U::source_tx_ant>},
            {"source_rx_ant", field<&U::source_rx_ant>},
            {"source_slice", field<&U::source_slice>},
            {"auto_report", field<&U::auto_report>},
            {"preamp", field<&U::preamp>},
            {"polarity", field<&U::polarity>},
            {"band", field<&U::band>},
            {"log", field<&U::log>},
            {"speed", field<&U::speed>},
            {"data_bits", field<&U::data_bits>},
            {"stop_bits", field<&U::stop_bits>},
            {"parity", field<&U::parity>},
            {"flow_control", field<&U::flow_control>},
        }};
    return table;
}

const RecordTable<MemorySlot>& memoryRecordTable() {
    using M = MemorySlot;
    static const RecordTable<MemorySlot> table{
        "Radio:parseMemoryStatusToken:Unrecognized token:[{key}]",
        {
            {"owner", field<&M::owner>},
            {"group", field<&M::group>},
            {"freq", field<&M::freq>},
            {"name", field<&M::name>},
            {"mode", field<&M::mode>},
            {"step", field<&M::step>},
            {"repeater", field<&M::offset_direction>},
            {"repeater_offset", field<&M::repeater_offset>},
            {"tone_mode", field<&M::tone_mode>},
            {"tone_value", field<&M::tone_value>},
            {"rx_filter_low", field<&M::rx_filter_low>},
            {"rx_filter_high", field<&M::rx_filter_high>},
            {"highlight", field<&M::highlight>},
            {"highlight_color", field<&M::highlight_color>},
            {"squelch", field<&M::squelch>},
            {"squelch_level", field<&M::squelch_level>},
            {"rtty_mark", field<&M::rtty_mark>},
            {"rtty_shift", field<&M::rtty_shift>},
            {"digl_offset", field<&M::digl_offset>},
            {"digu_offset", field<&M::digu_offset>},
        }};
    return table;
}

// "<handle> key=value ...": the record is made by the first line and reused by every later one,
// whatever its handle; fields a line does not name keep their values.
void Radio::parseUsbCableStatusToken(Scanner& scan) {
    std::shared_ptr<USBCable> cable = usbCable();
    if (!cable) {
        cable = std::make_shared<USBCable>();
        usbCable.set(cable);
    }
    cable->handle.store(recordIdentifier(scan));
    usbCableRecordTable().read(*cable, scan);
    if (debugLogLevel() >= 2) {
        const USBCable& c = *cable;
        log("Radio:parseUsbCableStatusToken:handle:[{}], type:[{}], enable:[{}], plugged_in:[{}], "
            "name:[{}], source:[{}], source_tx_ant:[{}], source_rx_ant:[{}], source_slice:[{}], "
            "auto_report:[{}], preamp:[{}], polarity:[{}], band:[{}], log:[{}], speed:[{}], "
            "data_bits:[{}], stop_bits:[{}], parity:[{}], flow_control:[{}]",
            c.handle(), c.type(), c.enable(), c.plugged_in(), c.name(), c.source(),
            c.source_tx_ant(), c.source_rx_ant(), c.source_slice(), c.auto_report(), c.preamp(),
            c.polarity(), c.band(), c.log(), c.speed(), c.data_bits(), c.stop_bits(), c.parity(),
            c.flow_control());
    }
}

// "<number> key=value ...": read into a memory record for the log, then dropped.
void Radio::parseMemoryStatusToken(Scanner& scan) {
    MemorySlot memory;
    memory.number = recordIdentifier(scan);
    memoryRecordTable().read(memory, scan);
    if (debugLogLevel() >= 2) {
        log("Radio:parseMemoryStatusToken:number:[{}] owner:[{}] freq:[{}]",
            memory.number.value_or(""), memory.owner.value_or(""), memory.freq.value_or(""));
    }
}

}  // namespace vm
