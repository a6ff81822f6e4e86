#include "app/shell/LocalRadioTable.h"

#include "app/dorolink/RadioTableCells.h"
#include "app/shell/LocalRadioTableHost.h"
#include "app/windows/RadioPrefsPage.h"
#include "platform/ui/Beep.h"
#include "util/StringAdditions.h"

namespace vm {

std::shared_ptr<LocalRadioTable> LocalRadioTable::create(RadioPrefsPage& page,
                                                         std::weak_ptr<LocalRadioTableHost> host) {
    std::shared_ptr<LocalRadioTable> table(new LocalRadioTable(page, std::move(host)));
    table->connectPage();
    return table;
}

LocalRadioTable::LocalRadioTable(RadioPrefsPage& page, std::weak_ptr<LocalRadioTableHost> host)
    : page_(&page), host_(std::move(host)) {}

void LocalRadioTable::connectPage() {
    page_->setLocalRadioSource(weak_from_this());
    std::weak_ptr<LocalRadioTable> weak = weak_from_this();
    QObject::connect(page_, &RadioPrefsPage::radioTableDoubleClick, page_, [weak](int row) {
        if (const auto self = weak.lock()) {
            self->radioTableDoubleClick(row);
        }
    });
}

std::shared_ptr<RadioInstance> LocalRadioTable::radioAt(int row) const {
    const auto host = host_.lock();
    if (!host || row < 0) {
        return nullptr;
    }
    const auto radios = host->localRadios();
    return static_cast<std::size_t>(row) < radios.size() ? radios[static_cast<std::size_t>(row)]
                                                         : nullptr;
}

bool LocalRadioTable::isOpen(const RadioInstance& radio) const {
    const auto host = host_.lock();
    const auto open = host ? host->openRadioInstance() : nullptr;
    return open && open->serialNum.value_or("") == radio.serialNum.value_or("");
}

int LocalRadioTable::numberOfRows(TableView&) {
    const auto host = host_.lock();
    return host ? static_cast<int>(host->localRadios().size()) : 0;
}

QVariant LocalRadioTable::objectValue(TableView&, const std::string& column, int row) {
    const auto radio = radioAt(row);
    if (!radio) {
        return QString();
    }
    return radioTableCell(*radio, column, RadioTableKind::local, isOpen(*radio));
}

bool LocalRadioTable::shouldEdit(TableView&, const std::string&, int) {
    const auto host = host_.lock();
    return host && host->openRadioInstance() != nullptr;
}

void LocalRadioTable::setObjectValue(TableView&, const QVariant& value, const std::string& column,
                                     int row) {
    const auto host = host_.lock();
    const auto radio = radioAt(row);
    if (!host || !radio || (column != "name" && column != "callsign") || !isOpen(*radio)) {
        return;
    }
    const std::string typed = value.toString().toStdString();
    // The radio gets the text without stray blanks and punctuation at either end.
    const std::string sent = strings::sanitize(typed);
    if (column == "name") {
        radio->name = typed;
        host->cmdSetRadioName(sent);
    } else {
        radio->callsign = typed;
        host->cmdSetRadioCallSign(sent);
    }
}

void LocalRadioTable::radioTableDoubleClick(int row) {
    const auto host = host_.lock();
    const auto radio = radioAt(row);
    if (!host || !radio || radio->name.value_or("").empty()) {
        beep();
        return;
    }
    // The chooser opens the radio; without an entry for it, its present choice (possibly
    // "Disconnect") would be acted on instead. This row's radio is opened even when another
    // radio shares its name.
    if (!host->chooseRadio(radio)) {
        beep();
    }
}

}  // namespace vm
