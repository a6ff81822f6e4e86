// The band-stack room: the file read at launch and written after each change, the active slice's
// frequency kept in its band's stack, and the editor opened on a band.
#include "app/memory/BandStackController.h"

#include "app/memory/BandStackHost.h"
#include "app/memory/StackSortController.h"
#include "objects/Slice.h"
#include "platform/ui/Beep.h"
#include "util/StringAdditions.h"

#include <filesystem>

namespace vm {

namespace {
std::filesystem::path bandStackPath(const std::string& dataFilesPath) {
    return std::filesystem::path(dataFilesPath) / kBandStackFileName;
}
}  // namespace

BandStackController::BandStackController(std::shared_ptr<StackSortController> editor,
                                         std::weak_ptr<BandStackHost> host)
    : stackSortController(std::move(editor)), host_(std::move(host)) {}

void BandStackController::loadBandStacks() {
    const auto host = host_.lock();
    if (!host) {
        return;
    }
    const BandStacks::ReadResult read = bandStacks.readStackDictionary(
        bandStackPath(host->dataFilesFolder()), host->debugEnabled());
    if (read.setAside) {
        host->notifyUser("Band stacks reset",
                         "The band stack file could not be read and was kept as " +
                             read.setAside->filename().string());
    }
    bandStacks.createBandStackDictionaryWithDefaults();
    saveStackDictionary();
}

void BandStackController::saveStackDictionary() {
    const auto host = host_.lock();
    if (!host) {
        return;
    }
    Error error;
    if (!bandStacks.saveStackDictionary(bandStackPath(host->dataFilesFolder()), &error)) {
        host->notifyUser("Band stacks not saved",
                         "The band stack file could not be written: " + error.description);
    }
}

void BandStackController::saveStackFrequency(const std::string& megahertz, const std::string& mode,
                                             const std::string& band) {
    switch (bandStacks.saveStackFrequency(megahertz, mode, band)) {
        case BandStacks::AddOutcome::kInvalidFrequency: beep(); break;
        case BandStacks::AddOutcome::kAdded: saveStackDictionary(); break;
        case BandStacks::AddOutcome::kNothing:
        case BandStacks::AddOutcome::kUnchanged: break;
    }
}

void BandStackController::saveActiveInBandStack() {
    const auto host = host_.lock();
    const std::shared_ptr<Slice> slice = host ? host->activeVFO() : nullptr;
    if (!slice) {
        return;
    }
    const std::string megahertz = slice->sliceFrequency().value_or("");
    const std::string band = bandMetersFromMHz(strings::doubleValue(megahertz));
    if (!band.empty()) {
        saveStackFrequency(megahertz, slice->sliceMode().value_or(""), band);
    }
}

void BandStackController::editBandStack(const std::string& band) {
    if (stackSortController) {
        stackSortController->startEditing(band);
    }
}

}  // namespace vm
