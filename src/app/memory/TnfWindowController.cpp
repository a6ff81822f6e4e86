#include "app/memory/TnfWindowController.h"

#include "app/memory/TnfHost.h"
#include "app/windows/TnfPanel.h"
#include "platform/core/DispatchQueue.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Beep.h"
#include "platform/ui/TableView.h"
#include "radio/Radio.h"
#include "radio/TNF.h"

#include <algorithm>
#include <cmath>

namespace vm {

namespace {
constexpr double kTnfFallbackMHz = 14.1;
}  // namespace

std::shared_ptr<TnfWindowController> TnfWindowController::create(TnfPanel& panel,
                                                                 std::weak_ptr<TnfHost> host) {
    std::shared_ptr<TnfWindowController> controller(
        new TnfWindowController(panel, std::move(host)));
    std::weak_ptr<TnfWindowController> weak = controller;
    QObject::connect(panel.radioTnfEnabledCheckBox, &CheckBox::action,
                     panel.radioTnfEnabledCheckBox, [weak, box = panel.radioTnfEnabledCheckBox] {
                         if (auto self = weak.lock()) {
                             self->radioTnfCheckBoxChanged(box->state());
                         }
                     });
    QObject::connect(panel.tnfAddButton, &ImageButton::action, panel.tnfAddButton, [weak] {
        if (auto self = weak.lock()) {
            self->tnfAddButtonPressed(AddedFrom::window);
        }
    });
    QObject::connect(panel.tnfDeleteButton, &ImageButton::action, panel.tnfDeleteButton, [weak] {
        if (auto self = weak.lock()) {
            self->deleteUserTnf();
        }
    });
    panel.tnfTable->setDataSource(controller);
    panel.tnfDeleteButton->setEnabled(false);
    controller->created_ = NotificationCenter::defaultCenter().addObserver(
        "com.velmorasoftware.doro.tnf_created", nullptr, DispatchQueue::main(),
        [weak](const Notification& notification) {
            if (auto self = weak.lock()) {
                self->tnfCreatedNotification(std::static_pointer_cast<TNF>(notification.object));
            }
        });
    return controller;
}

TnfWindowController::TnfWindowController(TnfPanel& panel, std::weak_ptr<TnfHost> host)
    : panel_(panel), host_(std::move(host)) {}

TnfWindowController::~TnfWindowController() {
    NotificationCenter::defaultCenter().removeObserver(created_);
}

bool TnfWindowController::isTnfTable(const TableView& table) const {
    return &table == panel_.tnfTable;
}

std::shared_ptr<TNF> TnfWindowController::tnfAtRow(int row) const {
    const auto host = host_.lock();
    const auto radio = host ? host->openRadio() : nullptr;
    if (!radio || row < 0) {
        return nullptr;
    }
    return radio->tnfs()->with([row](const auto& list) -> std::shared_ptr<TNF> {
        return row < int(list.size()) ? list[std::size_t(row)] : nullptr;
    });
}

namespace {

QVariant tnfValue(const TNF& tnf, const std::string& key) {
    if (key == "tnf_id") {
        return tnf.tnf_id;
    }
    if (key == "frequency") {
        return tnf.frequency;
    }
    if (key == "width") {
        return std::round(tnf.width * 1000000.0);
    }
    if (key == "depth") {
        return tnf.depth;
    }
    if (key == "permanent") {
        return tnf.permanent;
    }
    return QString();
}

}  // namespace

void TnfWindowController::sortTnfs() {
    const auto host = host_.lock();
    const auto radio = host ? host->openRadio() : nullptr;
    if (!radio) {
        return;
    }
    radio->tnfs()->with([&](auto& list) {
        sortUsingDescriptors(list, panel_.tnfTable->sortDescriptors(),
                             [](const std::shared_ptr<TNF>& tnf, const std::string& key) {
                                 return tnfValue(*tnf, key);
                             });
    });
}

void TnfWindowController::openTnfWindow() {
    const auto host = host_.lock();
    if (!host || !host->openRadio()) {
        beep();
        return;
    }
    panel_.makeKeyAndOrderFront();
    sortTnfs();
    panel_.tnfTable->reloadData();
}

void TnfWindowController::radioTnfCheckBoxChanged(bool on) {
    const auto host = host_.lock();
    if (const auto radio = host ? host->openRadio() : nullptr) {
        radio->setTnfEnabled(on ? 1 : 0);
    }
}

void TnfWindowController::tnfAddButtonPressed(AddedFrom from) {
    panel_.makeKeyAndOrderFront();
    const auto host = host_.lock();
    const auto radio = host ? host->openRadio() : nullptr;
    std::weak_ptr<TnfWindowController> weak = weak_from_this();
    auto pick = [weak, from] {
        const auto self = weak.lock();
        const auto later = self ? self->host_.lock() : nullptr;
        if (!later) {
            return;
        }
        const std::optional<double> picked = from == AddedFrom::menu
                                                 ? later->mouseMHzOfLastPanEntered()
                                                 : later->centerOfHudPanafall();
        self->createUserTnf(picked.value_or(kTnfFallbackMHz));
    };
    if (radio && radio->tnfEnabled().value_or(0) == 0) {
        radio->setTnfEnabled(1);
        // The switch goes out on the radio's queue: the new filter follows it, not before it.
        radio->radioRunQueue()->async(
            [pick = std::move(pick)] { DispatchQueue::main()->async(pick); });
        return;
    }
    DispatchQueue::main()->async(std::move(pick));
}

void TnfWindowController::createUserTnf(double megahertz) {
    const auto host = host_.lock();
    if (const auto radio = host ? host->openRadio() : nullptr) {
        radio->createTNF(megahertz);
    }
}

void TnfWindowController::deleteUserTnf() {
    const auto host = host_.lock();
    if (!confirmDeletion("Are you sure you want to delete the selected TNF ?",
                         host ? host->windowAppearance() : std::nullopt)) {
        return;
    }
    const auto radio = host ? host->openRadio() : nullptr;
    const std::shared_ptr<TNF> tnf = tnfAtRow(panel_.tnfTable->selectedRow());
    if (!radio || !tnf) {
        return;
    }
    radio->removeTNF(tnf->tnf_id);
    radio->tnfs()->with([&](auto& list) { std::erase(list, tnf); });
    panel_.tnfTable->reloadData();
}

void TnfWindowController::tnfCreatedNotification(const std::shared_ptr<TNF>& tnf) {
    const auto host = host_.lock();
    if (!tnf || !host || !host->openRadio()) {
        return;
    }
    sortTnfs();
    panel_.tnfTable->reloadData();
    highlightTnf(*tnf, false);
}

void TnfWindowController::highlightTnf(const TNF& tnf, bool openPanel) {
    const auto host = host_.lock();
    const auto radio = host ? host->openRadio() : nullptr;
    if (!radio) {
        return;
    }
    const std::vector<std::shared_ptr<TNF>> list =
        radio->tnfs()->with([](const auto& l) { return l; });
    for (std::size_t row = 0; row < list.size(); ++row) {
        if (list[row]->tnf_id == tnf.tnf_id) {
            panel_.tnfTable->selectRowIndexes({int(row)}, false);
            panel_.tnfTable->scrollRowToVisible(int(row));
            if (openPanel) {
                panel_.makeKeyAndOrderFront();
            }
        }
    }
}

int TnfWindowController::numberOfRows(TableView& table) {
    const auto host = host_.lock();
    const auto radio = host ? host->openRadio() : nullptr;
    if (!isTnfTable(table) || !radio) {
        return 0;
    }
    return radio->tnfs()->with([](const auto& list) { return int(list.size()); });
}

QVariant TnfWindowController::objectValue(TableView& table, const std::string& column, int row) {
    const std::shared_ptr<TNF> tnf = isTnfTable(table) ? tnfAtRow(row) : nullptr;
    return tnf ? tnfValue(*tnf, column) : QVariant(QString());
}

void TnfWindowController::setObjectValue(TableView& table, const QVariant& value,
                                         const std::string& column, int row) {
    const std::shared_ptr<TNF> tnf = isTnfTable(table) ? tnfAtRow(row) : nullptr;
    const auto host = host_.lock();
    const auto radio = host ? host->openRadio() : nullptr;
    if (!tnf || !radio) {
        return;
    }
    const double number = value.toString().toDouble();
    if (column == "width") {
        tnf->width = number / 1000000.0;
    } else if (column == "frequency") {
        tnf->frequency = number;
    } else if (column == "depth") {
        tnf->depth =
            std::isfinite(number) ? static_cast<std::int32_t>(std::clamp(number, -1e6, 1e6)) : 0;
    } else if (column == "permanent") {
        tnf->permanent = number != 0 ? 1 : 0;
    } else {
        return;
    }
    radio->saveTNF(*tnf);
    sortTnfs();
    table.reloadData();
    highlightTnf(*tnf, false);
}

bool TnfWindowController::shouldEdit(TableView& table, const std::string&, int) {
    if (isTnfTable(table)) {
        tnfRowBeingEdited = table.selectedRow();
    }
    return true;
}

void TnfWindowController::textDidEndEditing(TableView& table) {
    if (isTnfTable(table)) {
        tnfRowBeingEdited = -1;
    }
}

void TnfWindowController::selectionDidChange(TableView& table) {
    if (isTnfTable(table)) {
        tnfRowBeingEdited = -1;
        panel_.tnfDeleteButton->setEnabled(table.numberOfSelectedRows() > 0);
    }
}

void TnfWindowController::sortDescriptorsDidChange(TableView& table,
                                                   const std::vector<SortDescriptor>&) {
    if (!isTnfTable(table)) {
        return;
    }
    const auto host = host_.lock();
    if (!host || !host->openRadio()) {
        return;
    }
    const std::shared_ptr<TNF> selected = tnfAtRow(table.selectedRow());
    sortTnfs();
    table.reloadData();
    if (selected) {
        highlightTnf(*selected, false);
    }
}

}  // namespace vm
