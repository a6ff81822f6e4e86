// The transverter editor's host: the antennas saved before a transverter took them over, and the
// radio's transverter reports handed to the editor.
#include "app/shell/AppDelegate.h"

#include "app/memory/TransverterEditor.h"

namespace vm {

SavedAntennas AppDelegate::savedAntennas() const {
    return {lastActiveRXAnt, lastActiveTXAnt, lastAlternateRXAnt, lastAlternateTXAnt};
}

void AppDelegate::xvtrNotification(const Notification& notification) {
    if (transverters) {
        transverters->xvtrNotification(notification);
    }
}

}  // namespace vm
