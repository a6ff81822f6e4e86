#include "app/windows/SerialPortChoice.h"

#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/SerialPortList.h"
#include "platform/ui/PopUpButton.h"
#include "util/SharedFunctions.h"

#include <QAbstractItemView>
#include <QFont>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace vm {

namespace fs = std::filesystem;

namespace {

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
        if (!popup) {
            log("findPorts: {}: {} symlink:{}", link.filename().string(), link.string(), *target);
            continue;
        }
        popup->addItem(QString::fromStdString(link.string()));
        QFont font = popup->font();
        font.setPointSizeF(11);
        font.setItalic(true);
        font.setStretch(QFont::Condensed);
        const int index = popup->count() - 1;
        popup->setItemData(index, font, Qt::FontRole);
        popup->setItemData(index, QString::fromStdString(*target), Qt::ToolTipRole);
        popup->view()->setTextElideMode(Qt::ElideLeft);  // long link paths keep their names
    }
}

}  // namespace vm
