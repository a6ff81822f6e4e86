#include "app/memory/StackSortController.h"

#include "app/memory/BandStacks.h"
#include "app/memory/StackSortHost.h"
#include "app/windows/StackSortWindow.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Beep.h"
#include "platform/ui/TableView.h"
#include "util/StringAdditions.h"

#include <QPushButton>

#include <algorithm>

namespace vm {

namespace {
// The range of frequencies an entry may hold (the radio's own receiver).
constexpr double kLowestMHz = 0.03;
constexpr double kHighestMHz = 54.0;
}  // namespace

std::shared_ptr<StackSortController> StackSortController::create(
    StackSortWindow& window, std::weak_ptr<StackSortHost> host) {
    std::shared_ptr<StackSortController> controller(
        new StackSortController(window, std::move(host)));
    std::weak_ptr<StackSortController> weak = controller;
    const auto connect = [&](QPushButton* button, void (StackSortController::*action)()) {
        QObject::connect(button, &QPushButton::clicked, button, [weak, action] {
            if (auto self = weak.lock()) {
                ((*self).*action)();
            }
        });
    };
    connect(window.addButton, &StackSortController::addButtonPressed);
    connect(window.deleteButton, &StackSortController::deleteButtonPressed);
    connect(window.okButton, &StackSortController::okButtonPressed);
    connect(window.cancelButton, &StackSortController::cancelButtonPressed);
    window.sourceTableView->setDataSource(controller);
    window.deleteButton->setEnabled(false);
    return controller;
}

StackSortController::StackSortController(StackSortWindow& window, std::weak_ptr<StackSortHost> host)
    : window_(window), host_(std::move(host)) {}

bool StackSortController::isSourceTable(const TableView& table) const {
    return &table == window_.sourceTableView;
}

void StackSortController::reloadAndDeselect() {
    window_.sourceTableView->reloadData();
    window_.sourceTableView->deselectAll();
}

void StackSortController::startEditing(const std::string& band) {
    const auto host = host_.lock();
    if (host) {
        if (const std::optional<QPalette> palette = host->windowAppearance()) {
            window_.setPalette(*palette);
        }
    }
    window_.makeKeyAndOrderFront();
    sourceDataArray = host ? host->loadStackObjectArray(band) : std::vector<StackEntry>{};
    currentBand = band;
    reloadAndDeselect();
}

void StackSortController::endEditing(const std::string& band) {
    if (!band.empty()) {
        if (const auto host = host_.lock()) {
            host->saveStackObjectArrayforBand(band, sourceDataArray);
        }
    }
    window_.hide();
}

void StackSortController::addButtonPressed() {
    StackEntry entry;
    if (sourceDataArray.empty()) {
        entry = std::make_shared<FrequencyAndMode>(FrequencyAndMode{"14.240", "USB", {}});
    } else {
        if (sourceDataArray.size() >= kBandStackLimit) {
            sourceDataArray.erase(sourceDataArray.begin());
        }
        entry = std::make_shared<FrequencyAndMode>(*sourceDataArray.front());
    }
    entry->timeStamp = archiveDateNow();
    sourceDataArray.push_back(entry);
    reloadAndDeselect();
}

void StackSortController::deleteButtonPressed() {
    const std::vector<int> rows = window_.sourceTableView->selectedRowIndexes();
    if (rows.empty()) {
        beep();
        return;
    }
    const auto host = host_.lock();
    if (!confirmDeletion(rows.size() == 1
                             ? "Are you sure you want to delete this band stack entry ?"
                             : "Are you sure you want to delete these band stack entries ?",
                         host ? host->windowAppearance() : std::nullopt)) {
        return;
    }
    std::vector<StackEntry> kept;
    for (std::size_t i = 0; i < sourceDataArray.size(); ++i) {
        if (std::find(rows.begin(), rows.end(), int(i)) == rows.end()) {
            kept.push_back(sourceDataArray[i]);
        }
    }
    sourceDataArray = std::move(kept);
    reloadAndDeselect();
}

int StackSortController::numberOfRows(TableView& table) {
    return isSourceTable(table) ? int(sourceDataArray.size()) : 0;
}

QVariant StackSortController::objectValue(TableView& table, const std::string& column, int row) {
    if (!isSourceTable(table) || row < 0 || row >= int(sourceDataArray.size())) {
        return QString();
    }
    const FrequencyAndMode& entry = *sourceDataArray[std::size_t(row)];
    if (column == "megahertz") {
        return QString::fromStdString(entry.megahertz);
    }
    if (column == "mode") {
        return QString::fromStdString(entry.mode);
    }
    return QString();
}

void StackSortController::setObjectValue(TableView& table, const QVariant& value,
                                         const std::string& column, int row) {
    if (!isSourceTable(table) || row < 0 || row >= int(sourceDataArray.size())) {
        return;
    }
    FrequencyAndMode& entry = *sourceDataArray[std::size_t(row)];
    const std::string text = value.toString().toStdString();
    if (column == "megahertz") {
        const double megahertz = strings::doubleValue(text);
        if (text.empty() || megahertz < kLowestMHz || megahertz > kHighestMHz) {
            beep();
            return;
        }
        entry.megahertz = text;
    } else if (column == "mode") {
        if (text.empty()) {
            beep();
            return;
        }
        entry.mode = text;
    }
}

void StackSortController::selectionDidChange(TableView& table) {
    if (isSourceTable(table)) {
        window_.deleteButton->setEnabled(table.numberOfSelectedRows() > 0);
    }
}

bool StackSortController::writeRows(TableView& table, const std::vector<int>&) {
    return isSourceTable(table);
}

bool StackSortController::acceptDrop(TableView& table, const std::vector<int>& rows, int row) {
    if (!isSourceTable(table)) {
        return true;
    }
    std::vector<StackEntry> dragged;
    std::vector<StackEntry> rest;
    int above = 0;  // dragged rows above the drop row: taking them out moves the drop row up
    for (std::size_t i = 0; i < sourceDataArray.size(); ++i) {
        if (std::find(rows.begin(), rows.end(), int(i)) != rows.end()) {
            dragged.push_back(sourceDataArray[i]);
            above += int(i) < row ? 1 : 0;
        } else {
            rest.push_back(sourceDataArray[i]);
        }
    }
    const int at = std::clamp(row - above, 0, int(rest.size()));
    rest.insert(rest.begin() + at, dragged.begin(), dragged.end());
    sourceDataArray = std::move(rest);
    reloadAndDeselect();
    return true;
}

}  // namespace vm
