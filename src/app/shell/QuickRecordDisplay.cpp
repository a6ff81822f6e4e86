#include "app/shell/QuickRecordDisplay.h"

#include "app/panels/SlicePanelController.h"
#include "app/windows/SlicePanel.h"
#include "objects/Slice.h"
#include "platform/core/DispatchQueue.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/TextField.h"

#include <QPointer>

#include <cmath>

namespace vm {

using namespace std::chrono_literals;

namespace {

double secondsSince(std::chrono::system_clock::time_point start,
                    std::chrono::system_clock::time_point now) {
    return std::chrono::duration<double>(now - start).count();
}

}  // namespace

void adjustQuickRecordDisplay(SlicePanelController& panel, const Slice& slice,
                              std::chrono::system_clock::time_point now, const QImage& green,
                              const QImage& black) {
    SlicePanel& controls = panel.panel();
    if (panel.flashPlayBack()) {
        const double played = secondsSince(panel.playbackStarted(), now);
        const double length = slice.sliceQRlength().value_or(0.0f);
        if (length >= played) {
            controls.qrLengthText->setIntValue(int(std::lround(length - played)));
        }
        controls.playbackButton->setImage(green);
        // The black half of the flash only while the playback lasts: once it ends, the panel
        // shows whether a recording is kept, and that stays.
        DispatchQueue::main()->after(
            500ms, [button = QPointer<ImageButton>(controls.playbackButton),
                    weak = std::weak_ptr<SlicePanelController>(panel.weak_from_this()), black] {
                const auto still = weak.lock();
                if (button && still && still->flashPlayBack()) {
                    button->setImage(black);
                }
            });
    }
    if (slice.sliceRecordEnabled().value_or(false)) {
        controls.qrLengthText->setIntValue(int(secondsSince(panel.recordingStarted(), now)));
    }
}

}  // namespace vm
