// "kbrx://tune?freq=<MHz>&mode=<mode>" links from other programs (handed over by later starts of
// this one) tune the active slice, once a radio is open.
#include "app/shell/AppDelegate.h"

#include "objects/Slice.h"
#include "platform/core/Log.h"
#include "util/URLParameters.h"

#include <thread>

namespace vm {

void AppDelegate::handleURLEvent(const std::string& url) {
    if (!url.starts_with("kbrx://tune")) {
        return;  // "kbrx://spot" and anything else are not acted on
    }
    log("handleURLEvent:url:[{}]", url);
    const std::optional<url::TuneLink> link = url::tuneLink(url);
    if (!link) {
        return;  // no frequency
    }
    const std::string freq = link->freq;
    const std::string mode = link->mode;
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    kbrx_background_queue->async([weak, url, freq, mode] {
        auto radioOpen = [&weak] {
            return DispatchQueue::main()->syncResult([&weak] {
                auto self = weak.lock();
                return !self || self->openRadio != nullptr;
            });
        };
        if (!radioOpen()) {
            log("handleURLEvent:url:[{}] waiting for radio controller", url);
            while (!radioOpen()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
        log("handleURLEvent:url:[{}] queue frequency {} and mode {}", url, freq, mode);
        DispatchQueue::main()->async([weak, freq, mode] {
            auto self = weak.lock();
            if (!self) {
                return;
            }
            // The active slice: the first of this client's slices that the radio reports active.
            for (const auto& slice : self->doroSlices) {
                if (slice->sliceActive().value_or(false)) {
                    if (slice->sliceLocked().value_or(false)) {
                        log("setHertz:VFO is frequency locked.");
                        return;
                    }
                    slice->setSliceFrequency(freq);
                    slice->setSliceMode(mode);
                    return;
                }
            }
        });
    });
}

}  // namespace vm
