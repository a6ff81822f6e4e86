// The end of a session: the radio asked to remove what this client made, everything that
// connecting set up undone (radioClosed), and the answer to a pending quit once no radio is open.
// After radioClosed no observer of the old session is left: the session's notifications are
// removed, and every radio, slice, panadapter, waterfall and equalizer binding is cancelled, so a
// new connection binds each key once.
#include "app/shell/AppDelegate.h"

#include "app/audio/RemoteAudioController.h"
#include "app/memory/TransverterEditor.h"
#include "app/panels/PanadapterController.h"
#include "app/panels/RadioControlsController.h"
#include "app/windows/PanadapterWindow.h"
#include "display/Panafall.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"
#include "util/VMKVOManager.h"

namespace vm {

namespace {

std::string dashes() { return std::string(73, '-'); }

}  // namespace

void AppDelegate::removeOurResourcesFromRadio() {
    if (!openRadio) {
        return;
    }
    for (const auto& slice : doroSlices) {
        openRadio->cmdRemoveSlice(slice->thisSliceNumber());
    }
    for (const auto& pan : doroPanafalls) {
        openRadio->cmdRemovePanafall(pan->streamId());
    }
}

void AppDelegate::radioClosed(std::shared_ptr<void> keepUntilDisconnected) {
    log("{}", dashes());
    log("radioClosed start cleanup");
    // The radio's controls let go of the radio first: switching remote audio off below changes
    // the radio's remote-audio state, which must not untick the check box.
    if (radioControls) {
        radioControls->unbind();
    }
    // Remote audio off while the radio can still be told; the check box keeps its state.
    if (remoteAudio) {
        remoteAudio->sessionClosing();
    }
    // The first window stays: it holds the radio chooser and tells why the session ended.
    for (std::size_t pan = 1; pan < panadapters.size(); ++pan) {
        panadapters[pan]->velmoraSDRWindow->hide();
    }
    releaseSliceAndPanBindings();
    doroSlices.clear();
    doroPanafalls.clear();
    removeSessionObservers();
    if (const std::shared_ptr<Radio> radio = std::exchange(openRadio, nullptr)) {
        radio->close(std::move(keepUntilDisconnected));
    }
    // The closed radio's transverters are not shown, nor offered to the next radio's slices.
    if (transverters) {
        transverters->reloadXvtrTabItemsAndSubMenus();
    }
    adjustSessionControls();
    log("radioClosed cleanup done");
    log("{}", dashes());
}

void AppDelegate::closeDoroSDR() {
    log("closeDoroSDR:quitting:[{}]", int(quitting));
    if (radioFactory && openRadio) {
        return;
    }
    log("{}", radioFactory ? "closeDoroSDR:No Open Radio" : "closeDoroSDR:already closed");
    if (!quitting) {
        return;
    }
    log("closeDoroSDR:replyToApplicationShouldTerminate");
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    DispatchQueue::main()->async([weak] {
        const auto self = weak.lock();
        if (self && self->replyToApplicationShouldTerminate) {
            std::exchange(self->replyToApplicationShouldTerminate, nullptr)(true);
        }
    });
}

}  // namespace vm
