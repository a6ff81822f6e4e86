// Tuning from the panadapter: the pointer's frequency and what lies under it (a spot label, a
// slice line, a notch filter), the press, double click and drag that tune slices, move notch
// filters, the pan's centre and the split bar, the scroll wheel, the arrow keys and spot picking.
// The view sends nothing itself: it calls the slice and pan setters, the radio's saveTNF and the
// application controller, which send the commands.
#include "display/PanSpotObject.h"
#include "display/Panafall.h"
#include "display/views/DisplayController.h"
#include "display/views/PanAdapterView.h"
#include "display/views/PointerTuning.h"
#include "display/views/ViewTuning.h"
#include "display/views/WaterFallView.h"
#include "objects/Slice.h"
#include "platform/core/DispatchQueue.h"
#include "platform/ui/KeyModifiers.h"
#include "radio/Radio.h"
#include "radio/TNF.h"
#include "util/SharedFunctions.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <chrono>
#include <cmath>

namespace vm {
namespace {

using namespace std::chrono_literals;
namespace pt = pointer_tuning;

// The split bar: the bottom 10 points of the view.
constexpr double kSplitBarHeight = 10;
// Notch filters move on a 10 Hz grid, whatever the modifiers or the mode.
constexpr double kTnfGrid = 100000;
constexpr auto kLookupDelay = 100ms;

double tuningFactor(const Slice& slice, Qt::KeyboardModifiers modifiers) {
    return pt::tuningFactor(modifiers & Qt::ShiftModifier, modifiers & Qt::ControlModifier,
                            slice.sliceMode().value_or(""));
}

}  // namespace

// --- The pointer.

void PanAdapterView::updatePointer(const QPointF& widgetPoint) {
    mouseLocation_ = widgetPoint;
    mouseMHz_ = frequencyAtX(widgetPoint.x());
}

bool PanAdapterView::onSplitBar(const QPointF& widgetPoint) const {
    const double y = toViewPoint(widgetPoint).y();
    return y >= 0 && y < kSplitBarHeight;
}

void PanAdapterView::enterEvent(QEnterEvent*) {
    mouseInPanView_ = true;
    setFocus();
}

void PanAdapterView::leaveEvent(QEvent*) {
    mouseInPanView_ = false;
    setCursor(Qt::ArrowCursor);
}

void PanAdapterView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        mouseDragged(event);
        return;
    }
    controller_.setLastPanMouseEntered(this);
    const QPointF point = event->position();
    updatePointer(point);

    mouseOverSpot_.reset();
    if (controller_.trvlSpotsOn() || controller_.radioSpotsOn() || controller_.memoryShowOn()) {
        const QPointF at = toViewPoint(point);
        const double x = at.x();
        const double y = at.y();
        for (const auto& spot : thisBandSpots_) {
            const SpotRect& r = spot->label_rect;
            if (x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height) {
                mouseOverSpot_ = spot;
            }
        }
    }
    mouseOverSlice_ =
        pt::sliceNear(controller_.doroSlices(), mouseMHz_, vfoLineSkirt_, pt::Pick::Last);
    mouseOverTNF_.reset();
    const auto radio = controller_.openRadio();
    if (radio && radio->tnfEnabled().value_or(0)) {
        radio->tnfs()->with([&](const auto& tnfs) {
            for (const auto& tnf : tnfs) {
                if (tnf && std::abs(tnf->frequency - mouseMHz_) < vfoLineSkirt_) {
                    mouseOverTNF_ = tnf;
                }
            }
        });
    }

    if (mouseOverSpot_) {
        setCursor(Qt::ArrowCursor);
    } else if (mouseOverSlice_ || mouseOverTNF_) {
        setCursor(Qt::SizeHorCursor);
    } else if (onSplitBar(point)) {
        setCursor(Qt::SizeVerCursor);
    } else {
        setCursor(rect().contains(point.toPoint()) ? Qt::CrossCursor : Qt::ArrowCursor);
    }
}

// --- Buttons.

void PanAdapterView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    setFocus();
    const QPointF point = event->position();
    updatePointer(point);
    controller_.setLastPanMouseEntered(this);
    if (mouseOverSpot_) {
        spotSelected(mouseOverSpot_, false);
        return;
    }
    if (mouseOverTNF_) {
        controller_.highlightTnf(*mouseOverTNF_, true);
    }
    dragStartMHz_ = 0;
    dragViews_ = false;
    if (onSplitBar(point)) {
        dragViews_ = true;
        setCursor(Qt::SizeVerCursor);
        setResizingBoth(true);
        return;
    }
    if (const auto slice =
            pt::sliceNear(controller_.doroSlices(), mouseMHz_, vfoLineSkirt_, pt::Pick::First)) {
        dragStartMHz_ = mouseMHz_;
        // The drag tunes the slice the pointer was last seen on; a press that no move came
        // before has only the slice pressed on.
        if (!mouseOverSlice_) {
            mouseOverSlice_ = slice;
        }
        setCursor(Qt::SizeHorCursor);
        return;
    }
    setCursor(rect().contains(point.toPoint()) ? Qt::OpenHandCursor : Qt::ArrowCursor);
}

void PanAdapterView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    setFocus();
    updatePointer(event->position());
    controller_.setLastPanMouseEntered(this);
    if (mouseOverSpot_) {
        spotSelected(mouseOverSpot_, true);
        return;
    }
    if (const auto slice = controller_.closestSlice(mouseMHz_)) {
        setCursor(Qt::ArrowCursor);
        const double factor = tuningFactor(*slice, event->modifiers());
        slice->setSliceFrequency(pt::roundedFrequencyText(mouseMHz_, factor), 0);
    }
}

void PanAdapterView::mouseDragged(QMouseEvent* event) {
    const QPointF point = event->position();
    if (dragViews_) {
        setCursor(Qt::SizeVerCursor);
        setResizingBoth(true);
        const double percent =
            pt::splitDragPercent(point.y() - mouseLocation_.y(), window()->height());
        if (percent != 0) {
            controller_.dragPanadapterViews(this, percent);
        }
        mouseLocation_ = point;
        return;
    }
    // A notch filter or a slice line follows the pointer; the place of the drag's last step is
    // kept for the split bar and the background only.
    if (mouseOverTNF_) {
        mouseMHz_ = frequencyAtX(point.x());
        mouseOverTNF_->frequency = std::round(mouseMHz_ * kTnfGrid) / kTnfGrid;
        DispatchQueue::main()->async([self = QPointer<PanAdapterView>(this)] {
            if (self) {
                self->controller_.reloadTnfTable();
            }
        });
        return;
    }
    if (dragStartMHz_ != 0) {
        mouseMHz_ = frequencyAtX(point.x());
        if (mouseOverSlice_) {
            const double factor = tuningFactor(*mouseOverSlice_, event->modifiers());
            view_tuning::tuneAndFollow(controller_, this, myPanafall_, mouseOverSlice_,
                                       pt::roundedFrequencyText(mouseMHz_, factor), mouseMHz_,
                                       [this](bool scrolling) { setScrollingBoth(scrolling); });
        }
        return;
    }
    if (myPanafall_) {
        const double dx = mouseLocation_.x() - point.x();
        view_tuning::dragCentre(*myPanafall_, dx, pixelsToMHz(std::abs(dx)),
                                [this](bool scrolling) { setScrollingBoth(scrolling); });
    }
    mouseLocation_ = point;
}

void PanAdapterView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (dragViews_) {
        if (waterFallView_) {
            waterFallView_->drawFullWaterfall();
        }
        dragViews_ = false;
    }
    setResizingBoth(false);
    setScrollingBoth(false);
    if (dragStartMHz_ != 0) {
        dragStartMHz_ = 0;
        if (mouseOverSlice_) {
            mouseOverSlice_->setSliceActive(true);
        }
    }
    mouseOverSlice_.reset();
    if (mouseOverTNF_) {
        // The radio learns a dragged filter's frequency only now, after the release.
        DispatchQueue::main()->async([self = QPointer<PanAdapterView>(this), tnf = mouseOverTNF_] {
            if (!self) {
                return;
            }
            if (const auto radio = self->controller_.openRadio()) {
                radio->saveTNF(*tnf);
            }
            self->controller_.reloadTnfTable();
        });
    }
}

void PanAdapterView::setResizingBoth(bool on) {
    resizing_ = on;
    if (waterFallView_) {
        waterFallView_->setResizing(on);
    }
}

void PanAdapterView::setScrollingBoth(bool on) {
    scrolling_ = on;
    if (waterFallView_) {
        waterFallView_->setScrolling(on);
    }
}

// --- Wheel and keys.

void PanAdapterView::wheelEvent(QWheelEvent* event) {
    event->accept();
    const QPoint delta = event->angleDelta();
    if (!mouseOverSlice_) {
        return;
    }
    view_tuning::wheelTune(
        controller_, this, mouseOverSlice_,
        pt::wheelSteps(delta.x(), delta.y(), frequencyStepForModifiers(event->modifiers())));
}

void PanAdapterView::keyPressEvent(QKeyEvent* event) {
    event->accept();
    view_tuning::arrowKeyTune(controller_, myPanafall_.get(), event->key(),
                              frequencyStepForModifiers(event->modifiers()));
}

// --- Spots.

void PanAdapterView::spotSelected(const std::shared_ptr<PanSpotObject>& spot, bool lookup) {
    if (!spot) {
        return;
    }
    const auto slice = controller_.closestSlice(spot->megahertz);
    const auto frequency = pt::spotFrequencyText(spot->megahertz);
    if (!slice || !frequency) {
        return;
    }
    slice->setSliceFrequency(*frequency, 0);
    if (const auto mode = pt::spotModeForSlice(spot->mode, slice->modeList())) {
        slice->setSliceMode(*mode);
    }
    if (!lookup || spot->combinedCallsign.empty() || !controller_.isTrvlRunning()) {
        return;
    }
    if (auto script = pt::lookupScript(spot->combinedCallsign)) {
        DispatchQueue::global(DispatchQueue::Priority::Low)
            ->after(kLookupDelay, [script = std::move(*script)] { runScript(script); });
    }
}

}  // namespace vm
