// "kbrx://tune?freq=<MHz>&mode=<mode>" links from other programs (handed over by later starts of
// this one) tune the active slice. A link is taken only with a plain decimal frequency, and its
// mode only when the active slice offers it, so that a web page can put no other text into a
// command. Links that arrive before a radio is bound with an active slice wait here, in order,
// without holding any queue, and are applied once one is.
#include "app/shell/AppDelegate.h"

#include "app/control/SiblingValues.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"

namespace vm {

namespace {

// Links kept while no radio is ready; a later one beyond them is dropped.
constexpr std::size_t kMostPendingLinks = 32;

}  // namespace

void AppDelegate::handleURLEvent(const std::string& url) {
    if (!url.starts_with("kbrx://tune")) {
        return;  // "kbrx://spot" and anything else are not acted on
    }
    log("handleURLEvent:url:[{}]", url);
    const std::optional<url::TuneLink> link = url::tuneLink(url);
    if (!link) {
        return;  // no frequency
    }
    if (!sibling::plainMegahertz(link->freq)) {
        log("handleURLEvent:url:[{}] frequency not accepted:[{}]", url, link->freq);
        return;
    }
    if (pendingTuneLinks_.size() >= kMostPendingLinks) {
        log("handleURLEvent:url:[{}] dropped: {} links already wait for a radio", url,
            pendingTuneLinks_.size());
        return;
    }
    pendingTuneLinks_.push_back({url, *link});
    if (!radioConnectedAsGui() || !activeVFO()) {
        log("handleURLEvent:url:[{}] waiting for radio controller", url);
        return;
    }
    applyPendingTuneLinks();
}

void AppDelegate::applyPendingTuneLinks() {
    if (pendingTuneLinks_.empty() || !radioConnectedAsGui()) {
        return;
    }
    const std::shared_ptr<Slice> active = activeVFO();
    if (!active) {
        return;
    }
    while (!pendingTuneLinks_.empty()) {
        const PendingTuneLink pending = std::move(pendingTuneLinks_.front());
        pendingTuneLinks_.pop_front();
        const auto& [freq, mode] = pending.link;
        log("handleURLEvent:url:[{}] queue frequency {} and mode {}", pending.url, freq, mode);
        if (active->sliceLocked().value_or(false)) {
            log("setHertz:VFO is frequency locked.");
            continue;
        }
        if (!sibling::offeredMode(mode, active->modeList())) {
            log("handleURLEvent:url:[{}] mode not offered by the slice:[{}]", pending.url, mode);
            continue;
        }
        active->setSliceFrequency(freq);
        active->setSliceMode(mode);
    }
}

}  // namespace vm
