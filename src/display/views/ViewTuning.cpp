#include "display/views/ViewTuning.h"

#include "display/Panafall.h"
#include "display/views/DisplayController.h"
#include "objects/Slice.h"
#include "platform/core/DispatchQueue.h"
#include "platform/ui/Beep.h"

#include <chrono>

namespace vm::view_tuning {
namespace {
constexpr auto kScrollingHold = std::chrono::milliseconds(100);
}  // namespace

void tuneAndFollow(DisplayController& controller, QPointer<QObject> view,
                   std::shared_ptr<Panafall> pan, std::shared_ptr<Slice> slice,
                   std::string megahertz, double mhz, std::function<void(bool)> setScrolling) {
    DispatchQueue::main()->async([&controller, view, pan = std::move(pan), slice = std::move(slice),
                                  megahertz = std::move(megahertz), mhz,
                                  setScrolling = std::move(setScrolling)] {
        slice->setSliceFrequency(megahertz, 0);
        if (!view || !pan) {
            return;
        }
        const double outside = controller.frequencyOutSidePanadapter(*pan, mhz);
        if (outside == 0) {
            return;
        }
        pan->setCenter(static_cast<float>(pan->center().value_or(0) + outside));
        setScrolling(true);
        DispatchQueue::main()->after(kScrollingHold, [view, setScrolling] {
            if (view) {
                setScrolling(false);
            }
        });
    });
}

void dragCentre(Panafall& pan, double dx, double megahertz,
                const std::function<void(bool)>& setScrolling) {
    if (dx == 0) {
        return;
    }
    const float center = pan.center().value_or(0);
    setScrolling(true);
    pan.setCenter(static_cast<float>(dx > 0 ? center + megahertz : center - megahertz));
}

void wheelTune(DisplayController& controller, QPointer<QObject> view,
               const std::shared_ptr<Slice>& slice, const std::vector<double>& steps) {
    for (const double hz : steps) {
        DispatchQueue::main()->async([&controller, view, hz, slice] {
            if (view) {
                controller.fineTuneHz(hz, slice);
            }
        });
    }
}

void arrowKeyTune(DisplayController& controller, const Panafall* pan, int key, double step) {
    // A modifier pressed on its own only chooses the step of the next arrow key.
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_CapsLock: return;
        default: break;
    }
    const auto slice = pan ? controller.centerSliceInPan(*pan) : nullptr;
    if (!slice) {
        beep();
        return;
    }
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Down: controller.fineTuneHz(-step, slice); break;
        case Qt::Key_Right:
        case Qt::Key_Up: controller.fineTuneHz(step, slice); break;
        default: break;
    }
}

}  // namespace vm::view_tuning
