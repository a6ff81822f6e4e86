#include "app/windows/SerialPortChoice.h"

#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/SerialPortList.h"
#include "platform/ui/PopUpButton.h"
#include "util/SharedFunctions.h"
#include "util/StringAdditions.h"

#include <QAbstractItemView>
#include <QFont>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace vm {

namespace fs = std::filesystem;

namespace {

const char* const kVirtualPortsKey = "vm_virtual_serial_port";

// The link's target when it is a symbolic link to a serial device.
std::optional<std::string> validSerialSymlink(const fs::path& link) {
    std::error_code ec;
    const auto status = fs::symlink_status(link, ec);
    if (ec) {
        log("validSerialSymlink:attributesOfItemAtPath: error: {}", ec.message());
        return std::nullopt;
    }
    if (!fs::is_symlink(status)) {
        return std::nullopt;
    }
    const fs::path target = fs::weakly_canonical(link, ec);
    if (ec) {
        return std::nullopt;
    }
    const std::string resolved = target.string();
    if (resolved.starts_with("/dev/cu") || resolved.starts_with("/dev/tty")) {
        return resolved;
    }
    return std::nullopt;
}

// A port named by the user (a link, a pseudo-terminal): a small italic entry, shortened at the
// front so that a long path keeps its name.
void addNamedPort(PopUpButton* popup, const std::string& path, const std::string& target) {
    popup->addItem(QString::fromStdString(path));
    QFont font = popup->font();
    font.setPointSizeF(11);
    font.setItalic(true);
    font.setStretch(QFont::Condensed);
    const int index = popup->count() - 1;
    popup->setItemData(index, font, Qt::FontRole);
    if (!target.empty()) {
        popup->setItemData(index, QString::fromStdString(target), Qt::ToolTipRole);
    }
    popup->view()->setTextElideMode(Qt::ElideLeft);
}

}  // namespace

void findPorts(PopUpButton* popup) {
    for (const auto& device : listSerialPorts()) {
        if (popup) {
            popup->addItem(QString::fromStdString(device));
        } else {
            log("findPorts: {}: {}", fs::path(device).filename().string(), device);
        }
    }
    const fs::path folder =
        hasAdminPrivileges() ? fs::path("/tmp") : fs::path(paths::expandTilde("~/tmp"));
    std::vector<fs::path> links;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (!entry.path().filename().string().starts_with(".")) {
            links.push_back(entry.path());
        }
    }
    std::sort(links.begin(), links.end());
    for (const auto& link : links) {
        const auto target = validSerialSymlink(link);
        if (!target) {
            continue;
        }
        if (popup) {
            addNamedPort(popup, link.string(), *target);
        } else {
            log("findPorts: {}: {} symlink:{}", link.filename().string(), link.string(), *target);
        }
    }
    for (const auto& path : virtualSerialPorts()) {
        if (popup) {
            addNamedPort(popup, path, {});
        } else {
            log("findPorts: {}: {}", kVirtualPortsKey, path);
        }
    }
}

std::vector<std::string> virtualSerialPorts() {
    std::vector<std::string> paths;
    const std::string listed = Defaults::standard().stringForKey(kVirtualPortsKey).value_or("");
    for (const auto& part : strings::tokensSeparatedByCharactersFromSet(
             listed, strings::chars::anyOf(std::string_view(",")))) {
        std::string path = strings::stripLeadingAndTrailingBlanks(part);
        if (!path.empty()) {
            paths.push_back(std::move(path));
        }
    }
    return paths;
}

}  // namespace vm
