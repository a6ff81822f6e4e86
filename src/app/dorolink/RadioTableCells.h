#pragma once
// The cells of the two radio tables (the radios of the local network and those listed by the
// DoroLink server), by column identifier. A remote radio shows its public address and the TLS
// port it is reached on; a local one its own address and command port. The status is empty
// without a serial number, and bold for the radio open now. Unknown columns are empty.
#include "platform/ui/TableDataSource.h"
#include "radio/RadioInstance.h"

#include <QVariant>

#include <string>

namespace vm {

enum class RadioTableKind { local, remote };

QVariant radioTableCell(const RadioInstance& radio, const std::string& column, RadioTableKind kind,
                        bool isOpenRadio);

}  // namespace vm
