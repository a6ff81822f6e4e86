#include "app/dorolink/RemoteRadioTable.h"

#include "app/dorolink/RadioTableCells.h"
#include "dorolink/WanServer.h"
#include "platform/core/DispatchQueue.h"
#include "platform/ui/Beep.h"

namespace vm {

RemoteRadioTable::RemoteRadioTable(DoroLinkAuthHost& host, std::shared_ptr<WanServer> server)
    : host_(host), server_(std::move(server)) {}

std::shared_ptr<RadioInstance> RemoteRadioTable::radioAt(int row) const {
    const auto radios = server_->remoteRadios();
    if (row < 0 || static_cast<std::size_t>(row) >= radios.size()) {
        return nullptr;
    }
    return radios[static_cast<std::size_t>(row)];
}

bool RemoteRadioTable::isOpen(const RadioInstance& radio) const {
    const auto open = host_.openRadioInstance();
    return open && open->serialNum.value_or("") == radio.serialNum.value_or("");
}

int RemoteRadioTable::numberOfRows(TableView&) {
    return static_cast<int>(server_->remoteRadios().size());
}

QVariant RemoteRadioTable::objectValue(TableView&, const std::string& column, int row) {
    const auto radio = radioAt(row);
    if (!radio) {
        return QString();
    }
    return radioTableCell(*radio, column, RadioTableKind::remote, isOpen(*radio));
}

bool RemoteRadioTable::shouldEdit(TableView&, const std::string&, int) {
    return host_.openRadioInstance() != nullptr;
}

void RemoteRadioTable::setObjectValue(TableView&, const QVariant& value, const std::string& column,
                                      int row) {
    const auto radio = radioAt(row);
    if (!radio || (column != "name" && column != "callsign") || !isOpen(*radio)) {
        return;
    }
    const std::string typed = value.toString().toStdString();
    if (column == "name") {
        radio->name = typed;
        host_.cmdSetRadioName(typed);
    } else {
        radio->callsign = typed;
        host_.cmdSetRadioCallSign(typed);
    }
}

void RemoteRadioTable::remoteRadioTableDoubleClick(int row) {
    const auto radio = radioAt(row);
    if (!radio) {
        beep();
        return;
    }
    host_.setDoroLinkBusy(true);
    const bool closed = host_.closeOpenRadio("remoteRadioTableDoubleClick:closing:");
    std::weak_ptr<RemoteRadioTable> weak = weak_from_this();
    const auto delay =
        closed ? std::chrono::duration_cast<std::chrono::milliseconds>(kConnectAfterClose)
               : kConnectDelay;
    // The chosen record is held: a new list in the meantime still connects this radio.
    DispatchQueue::main()->after(delay, [weak, radio] {
        const auto self = weak.lock();
        if (!self) {
            return;
        }
        self->host_.tellUser("Connecting", "Connecting to " + radio->name.value_or(""));
        self->server_->sendConnectMessageToRadio(radio->serialNum.value_or(""));
    });
}

}  // namespace vm
