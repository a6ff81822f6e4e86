#include "app/memory/UserMemoryController.h"

#include "app/memory/UserMemoryHost.h"
#include "app/memory/UserMemorySlice.h"
#include "app/windows/MemoryPanel.h"
#include "objects/Slice.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Beep.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/TableView.h"
#include "util/StringAdditions.h"

#include <QApplication>
#include <QPalette>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>

namespace vm {

namespace {
constexpr auto kRecallRestDelay = std::chrono::milliseconds(500);

// The memory's RF power as the radio's level, held within 0 to 100.
int rfPowerOf(const MemorySlot& memory) {
    const double power = strings::doubleValue(memory.rf_power.value_or(""));
    return std::isfinite(power) ? static_cast<int>(std::clamp(power, 0.0, 100.0)) : 0;
}
}  // namespace

std::shared_ptr<UserMemoryController> UserMemoryController::create(
    MemoryPanel& panel, std::filesystem::path dataFilesPath, std::weak_ptr<UserMemoryHost> host) {
    std::shared_ptr<UserMemoryController> controller(
        new UserMemoryController(panel, std::move(dataFilesPath), std::move(host)));
    std::weak_ptr<UserMemoryController> weak = controller;
    const auto run = [weak](void (UserMemoryController::*action)()) {
        return [weak, action] {
            if (auto self = weak.lock()) {
                ((*self).*action)();
            }
        };
    };
    QObject::connect(panel.memoryAddButton, &ImageButton::action, panel.memoryAddButton,
                     run(&UserMemoryController::addUserMemory));
    QObject::connect(panel.memoryDeleteButton, &ImageButton::action, panel.memoryDeleteButton,
                     run(&UserMemoryController::deleteUserMemory));
    QObject::connect(panel.memoryGoButton, &ImageButton::action, panel.memoryGoButton,
                     run(&UserMemoryController::setUserMemory));
    QObject::connect(panel.memoryTable, &TableView::doubleAction, panel.memoryTable,
                     [go = run(&UserMemoryController::setUserMemory)](int) { go(); });
    for (int i = 0; i < int(panel.rxAntPopups.size()); ++i) {
        PopUpButton* rx = panel.rxAntPopups[std::size_t(i)];
        PopUpButton* tx = panel.txAntPopups[std::size_t(i)];
        QObject::connect(rx, &PopUpButton::action, rx, [weak, i] {
            if (auto self = weak.lock()) {
                self->memRxAntPopupChanged(i);
            }
        });
        QObject::connect(tx, &PopUpButton::action, tx, [weak, i] {
            if (auto self = weak.lock()) {
                self->memTxAntPopupChanged(i);
            }
        });
    }
    panel.memoryTable->setDataSource(controller);
    panel.memoryGoButton->setEnabled(false);
    panel.memoryDeleteButton->setEnabled(false);
    return controller;
}

UserMemoryController::UserMemoryController(MemoryPanel& panel, std::filesystem::path dataFilesPath,
                                           std::weak_ptr<UserMemoryHost> host)
    : panel_(panel), dataFilesPath_(std::move(dataFilesPath)), host_(std::move(host)) {}

std::filesystem::path UserMemoryController::memoriesPath() const {
    return dataFilesPath_ / kUserMemoriesFileName;
}

bool UserMemoryController::isMemoryTable(const TableView& table) const {
    return &table == panel_.memoryTable;
}

void UserMemoryController::sortMemories() {
    sortUsingDescriptors(userMemories, panel_.memoryTable->sortDescriptors(),
                         [](const std::shared_ptr<MemorySlot>& memory, const std::string& key) {
                             const MemorySlot::Text* field = memoryField(*memory, key);
                             return field && *field ? QVariant(QString::fromStdString(**field))
                                                    : QVariant(QString());
                         });
}

void UserMemoryController::loadUserMemories() {
    const UserMemoriesRead read = readUserMemories(memoriesPath());
    using Outcome = UserMemoriesRead::Outcome;
    if (read.outcome == Outcome::kInvalidHeader) {
        Alert alert;
        if (auto host = host_.lock()) {
            alert.setAppearance(host->windowAppearance());
        }
        alert.setMessageText("Invalid Doro Memory File");
        alert.setInformativeText("Header line is missing in " + memoriesPath().string());
        alert.setAlertStyle(Alert::Style::warning);
        alert.addButtonWithTitle("OK");
        alert.runModal();
    } else if (read.outcome == Outcome::kRead) {
        userMemories = read.memories;
    }
    sortMemories();
    panel_.memoryTable->reloadData();
}

bool UserMemoryController::saveUserMemories() {
    Error error;
    if (writeUserMemories(memoriesPath(), userMemories, &error)) {
        return true;
    }
    log("saveUserMemories:{} not written: {}", memoriesPath().string(), error.description);
    if (auto host = host_.lock()) {
        host->showNotification("Memories not saved",
                               "The memories file could not be written: " + error.description);
    }
    return false;
}

void UserMemoryController::addUserMemory() {
    auto host = host_.lock();
    const std::shared_ptr<Slice> slice = host ? host->activeVFO() : nullptr;
    if (!slice) {
        log("addUserMemory:No Active Slice");
        return;
    }
    userMemories.push_back(newUserMemory(*slice, host->radioCallsign(), host->rfPowerLevel()));
    panel_.memoryTable->reloadData();
    saveUserMemories();
}

void UserMemoryController::deleteUserMemory() {
    const auto host = host_.lock();
    if (!confirmDeletion("Are you sure you want to delete the selected memory ?",
                         host ? host->windowAppearance() : std::nullopt)) {
        return;
    }
    const int row = panel_.memoryTable->selectedRow();
    if (row < 0 || row >= int(userMemories.size())) {
        return;
    }
    userMemories.erase(userMemories.begin() + row);
    panel_.memoryTable->reloadData();
    saveUserMemories();
}

void UserMemoryController::setUserMemory() {
    const int row = panel_.memoryTable->selectedRow();
    if (row < 0) {
        log("setUserMemory:Nothing Selected");
        return;
    }
    if (row >= int(userMemories.size()) || !userMemories[std::size_t(row)]) {
        log("setUserMemory:No Memory Slot");
        return;
    }
    const std::shared_ptr<MemorySlot> memory = userMemories[std::size_t(row)];
    log("setUserMemory:{:g} MHz, Mode:{}", memoryMegahertz(*memory), memory->mode.value_or(""));
    auto host = host_.lock();
    const std::shared_ptr<Slice> slice = host ? host->activeVFO() : nullptr;
    if (!slice) {
        log("setUserMemory:No Active Slice");
        return;
    }
    applyMemoryModeAndFrequency(*memory, *slice);
    std::weak_ptr<UserMemoryHost> weakHost = host_;
    DispatchQueue::main()->after(kRecallRestDelay, [weakHost, memory] {
        const auto later = weakHost.lock();
        const std::shared_ptr<Slice> active = later ? later->activeVFO() : nullptr;
        if (!active) {
            return;
        }
        later->showBandOfMemory(strings::doubleValue(active->sliceFrequency().value_or("")),
                                memoryMegahertz(*memory));
        applyMemoryRest(*memory, *active);
        later->setRfPowerLevel(rfPowerOf(*memory));
    });
}

void UserMemoryController::openMemoryWindow() {
    auto host = host_.lock();
    if (!host || !host->radioIsOpen()) {
        beep();
        return;
    }
    panel_.makeKeyAndOrderFront();
}

namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

void UserMemoryController::memRxAntPopupChanged(int panel) {
    const auto host = host_.lock();
    const auto slice = host ? host->sliceWithNumber(panel) : nullptr;
    const std::string title = panel_.rxAntPopups.at(std::size_t(panel))->title();
    if (slice && !title.empty()) {
        slice->setSliceRxAnt(lowerCase(title));
    }
}

void UserMemoryController::memTxAntPopupChanged(int panel) {
    const auto host = host_.lock();
    const auto slice = host ? host->sliceWithNumber(panel) : nullptr;
    const std::string title = panel_.txAntPopups.at(std::size_t(panel))->title();
    if (slice && !title.empty()) {
        slice->setSliceTxAnt(lowerCase(title));
    }
}

int UserMemoryController::numberOfRows(TableView& table) {
    return isMemoryTable(table) ? int(userMemories.size()) : 0;
}

QVariant UserMemoryController::objectValue(TableView& table, const std::string& column, int row) {
    if (!isMemoryTable(table) || row < 0 || row >= int(userMemories.size())) {
        return QString();
    }
    const MemorySlot::Text* field = memoryField(*userMemories[std::size_t(row)], column);
    return field && *field ? QString::fromStdString(**field) : QString();
}

void UserMemoryController::setObjectValue(TableView& table, const QVariant& value,
                                          const std::string& column, int row) {
    if (!isMemoryTable(table) || row < 0 || row >= int(userMemories.size())) {
        return;
    }
    MemorySlot& memory = *userMemories[std::size_t(row)];
    MemorySlot::Text* field = memoryField(memory, column);
    if (!field) {
        return;
    }
    if (column == "squelch") {
        // The check box's new state.
        *field = value.toInt() != 0 ? "1" : "0";
    } else {
        *field = value.toString().toStdString();
    }
    saveUserMemories();
    panel_.memoryTable->reloadData();
}

bool UserMemoryController::shouldEdit(TableView& table, const std::string&, int) {
    if (isMemoryTable(table)) {
        memoryRowBeingEdited = table.selectedRow();
    }
    return true;
}

void UserMemoryController::textDidEndEditing(TableView& table) {
    if (isMemoryTable(table)) {
        memoryRowBeingEdited = -1;
    }
}

void UserMemoryController::selectionDidChange(TableView& table) {
    if (!isMemoryTable(table)) {
        return;
    }
    memoryRowBeingEdited = -1;
    const bool selected = table.numberOfSelectedRows() > 0;
    panel_.memoryGoButton->setEnabled(selected);
    panel_.memoryDeleteButton->setEnabled(selected);
}

void UserMemoryController::sortDescriptorsDidChange(TableView& table,
                                                    const std::vector<SortDescriptor>&) {
    if (isMemoryTable(table)) {
        sortMemories();
        table.reloadData();
    }
}

std::optional<QColor> UserMemoryController::textColor(TableView& table, const std::string& column,
                                                      int row) {
    if (isMemoryTable(table) && row == memoryRowBeingEdited && column != "squelch") {
        return QApplication::palette().color(QPalette::Text);
    }
    return std::nullopt;
}

}  // namespace vm
