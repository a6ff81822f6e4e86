// The four panadapters as the app controller holds them: made once with the windows, each with
// its settings page from the preferences and the views' way to the controller; and the
// controller's side of what they ask of it (transverter names, their tab labels).
#include "app/shell/AppDelegate.h"

#include "app/control/PanLookups.h"
#include "app/memory/TransverterEditor.h"
#include "app/panels/PanadapterController.h"
#include "app/shell/AppDisplayController.h"
#include "app/windows/PanadapterPrefsPage.h"
#include "app/windows/PreferencesWindow.h"
#include "display/Panafall.h"
#include "radio/Radio.h"

namespace vm {

void AppDelegate::createPanadapters() {
    displayController_ = std::make_unique<AppDisplayController>(*this);
    for (int pan = 0; pan < 4; ++pan) {
        panadapters[std::size_t(pan)] = PanadapterController::create(
            pan, *this, *displayController_, prefsWindow->panadapterPage().settings(pan));
    }
}

PanadapterController* AppDelegate::panadapterFor(const Panafall& pan) const {
    const int index = lookups::streamToInt(pan.streamId());
    return index >= 0 && index < 4 ? panadapters[std::size_t(index)].get() : nullptr;
}

PanadapterController* AppDelegate::panadapterShowing(const std::shared_ptr<Panafall>& pan) const {
    for (const auto& panadapter : panadapters) {
        if (pan && panadapter->panafall == pan) {
            return panadapter.get();
        }
    }
    return nullptr;
}

std::string AppDelegate::xvtrNameForXKey(const std::string& band) const {
    return transverters ? transverters->xvtrNameForXKey(band) : "?";
}

void AppDelegate::setPanadapterTabLabel(int pan, const std::string& label) {
    prefsWindow->panadapterPage().setPanTabTitle(pan, QString::fromStdString(label));
}

}  // namespace vm
