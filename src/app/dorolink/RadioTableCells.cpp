#include "app/dorolink/RadioTableCells.h"

#include <utility>

namespace vm {

namespace {

QString text(const RadioInstance::Text& value) {
    return QString::fromStdString(value.value_or(""));
}

}  // namespace

QVariant radioTableCell(const RadioInstance& radio, const std::string& column, RadioTableKind kind,
                        bool isOpenRadio) {
    const bool remote = kind == RadioTableKind::remote;
    if (column == "ipAddress") {
        return text(remote ? radio.publicIp : radio.ipAddress);
    }
    if (column == "port") {
        if (remote) {
            return text(radio.upnpSupported.value_or(false) ? radio.public_upnp_tls_port
                                                            : radio.public_tls_port);
        }
        return radio.port ? QString::number(*radio.port) : QString();
    }
    if (column == "requires_additional_license") {
        return radio.requires_additional_license.value_or(0) ? QStringLiteral("YES")
                                                             : QStringLiteral("NO");
    }
    if (column == "status") {
        const QString status = text(radio.status);
        if (status.isEmpty() || radio.serialNum.value_or("").empty()) {
            return QString();
        }
        if (isOpenRadio) {
            return QVariant::fromValue(AttributedText{status, true});
        }
        return status;
    }
    const std::pair<const char*, const RadioInstance::Text RadioInstance::*> texts[] = {
        {"model", &RadioInstance::model},
        {"serialNum", &RadioInstance::serialNum},
        {"name", &RadioInstance::name},
        {"callsign", &RadioInstance::callsign},
        {"dpVersion", &RadioInstance::dpVersion},
        {"version", &RadioInstance::version},
        {"max_licensed_version", &RadioInstance::max_licensed_version},
        {"radio_license_id", &RadioInstance::radio_license_id}};
    for (const auto& [identifier, field] : texts) {
        if (column == identifier) {
            return text(radio.*field);
        }
    }
    return QString();
}

}  // namespace vm
