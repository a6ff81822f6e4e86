// The band stacks of the app controller: loaded at launch, grown from the active slice, written
// after every change, and edited in the band-stack editor.
#include "app/shell/AppDelegate.h"

#include "app/memory/StackSortController.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"
#include "platform/ui/Beep.h"
#include "util/StringAdditions.h"

#include <filesystem>

namespace vm {

namespace {
std::filesystem::path bandStackPath(const std::string& dataFilesPath) {
    return std::filesystem::path(dataFilesPath) / kBandStackFileName;
}
}  // namespace

void AppDelegate::loadBandStacks() {
    const BandStacks::ReadResult read =
        bandStacks.readStackDictionary(bandStackPath(dataFilesPath), debug);
    if (read.setAside) {
        showNotificationWithTitle("Band stacks reset",
                                  "The band stack file could not be read and was kept as " +
                                      read.setAside->filename().string());
    }
    bandStacks.createBandStackDictionaryWithDefaults();
    saveStackDictionary();
}

void AppDelegate::saveStackDictionary() {
    Error error;
    if (!bandStacks.saveStackDictionary(bandStackPath(dataFilesPath), &error)) {
        showNotificationWithTitle("Band stacks not saved",
                                  "The band stack file could not be written: " + error.description);
    }
}

void AppDelegate::saveStackFrequency(const std::string& megahertz, const std::string& mode,
                                     const std::string& band) {
    switch (bandStacks.saveStackFrequency(megahertz, mode, band)) {
        case BandStacks::AddOutcome::kInvalidFrequency: beep(); break;
        case BandStacks::AddOutcome::kAdded: saveStackDictionary(); break;
        case BandStacks::AddOutcome::kNothing:
        case BandStacks::AddOutcome::kUnchanged: break;
    }
}

void AppDelegate::saveActiveInBandStack() {
    const std::shared_ptr<Slice> slice = activeVFO();
    if (!slice) {
        return;
    }
    const std::string megahertz = slice->sliceFrequency().value_or("");
    const std::string band = bandMetersFromMHz(strings::doubleValue(megahertz));
    if (!band.empty()) {
        saveStackFrequency(megahertz, slice->sliceMode().value_or(""), band);
    }
}

void AppDelegate::editBandStack(const std::string& band) {
    stackSortController->startEditing(band);
}

}  // namespace vm
