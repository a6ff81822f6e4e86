// A panadapter's window and views, and the binding of the panafall it shows.
#include "app/panels/PanadapterController.h"

#include "app/panels/PanViewResizeWatch.h"
#include "app/panels/PanadapterHost.h"
#include "app/windows/PanControls.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/ViewArea.h"
#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "display/views/PanAdapterView.h"
#include "display/views/WaterFallView.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "util/VMKVOManager.h"

#include <fmt/format.h>

#include <QPointer>

#include <chrono>

namespace vm {

namespace {

const char* const kFrameNames[] = {"velmoraSDR_window", "velmoraSDR_window1", "velmoraSDR_window2",
                                   "velmoraSDR_window3"};

QString outlet(const char* name, int pan) { return QString::fromLatin1(name) + panSuffix(pan); }

void cancel(const std::shared_ptr<VMKVOManager>& manager) {
    if (manager) {
        manager->cancelKVO();
    }
}

}  // namespace

std::shared_ptr<PanadapterController> PanadapterController::create(int pan, PanadapterHost& host,
                                                                   DisplayController& display,
                                                                   PanSettingsPage* settings) {
    auto controller =
        std::make_shared<PanadapterController>(Private{}, pan, host, display, settings);
    controller->connectControls();
    return controller;
}

PanadapterController::PanadapterController(Private, int pan, PanadapterHost& host,
                                           DisplayController& display, PanSettingsPage* settings)
    : velmoraSDRWindow(std::make_unique<PanadapterWindow>(pan)),
      panControls(velmoraSDRWindow->panControls),
      panSettings(settings),
      pan_(pan),
      host_(host) {
    velmoraSDRWindow->setFrameAutosaveName(kFrameNames[pan]);
    createViews(display);
    // Shown once the panafall reports gain steps to choose from.
    panControls->preAmpListPopup->hide();
}

// The managers stop before the window and its views go, so no handler reaches them meanwhile.
PanadapterController::~PanadapterController() {
    cancel(waterfallKVOManager);
    cancel(panafallKVOManager);
    waterfallTarget_.reset();
    velmoraSDRWindow.reset();
}

void PanadapterController::createViews(DisplayController& display) {
    waterFallView = new WaterFallView(display);
    waterFallView->setObjectName(outlet("waterFallView", pan_));
    waterFallView->setPanIndex(pan_);
    velmoraSDRWindow->waterFallViewArea->place(waterFallView);
    panAdapterView = new PanAdapterView(display);
    panAdapterView->setObjectName(outlet("panAdapterView", pan_));
    panAdapterView->setPanIndex(pan_);
    panAdapterView->setWaterFallView(waterFallView);
    velmoraSDRWindow->panAdapterViewArea->place(panAdapterView);
    handControlsToView();
    waterfallTarget_ = std::shared_ptr<WaterFallView>(waterFallView, [](WaterFallView*) {});
    // The watch is the view's child: it goes with the window, which this controller owns.
    new PanViewResizeWatch(panAdapterView, kResizeSettle,
                           [this](QSize size) { panViewResized(size); });
}

void PanadapterController::panViewResized(QSize size) {
    const PanSize pixels{double(size.width()), double(size.height())};
    // A view with no room (a waterfall share of 100 percent) keeps the radio at the last size.
    if (!panafall || pixels.width < 1 || pixels.height < 1 || panafall->panDimensions() == pixels) {
        return;
    }
    if (host_.debugEnabled()) {
        log("panViewResized:streamId:[{}] size:[{}, {}]", panafall->streamId(), pixels.width,
            pixels.height);
    }
    panafall->setPanDimensions(pixels);
}

void PanadapterController::loadPanafallKVO(const std::shared_ptr<Panafall>& pan) {
    // The handlers find their controls through `panafall`: it is set before the first push, so
    // that push already fills the controls.
    panafall = pan;
    panAdapterView->setOfflineReason({});
    waterFallView->setOfflineReason({});
    cancel(panafallKVOManager);
    cancel(waterfallKVOManager);
    panafallKVOManager = VMKVOManager::create();
    bindKeys(*panafallKVOManager, panafallKeyTable(), pan, shared_from_this());
    // A panafall whose waterfall is not known yet binds no waterfall: the view's handlers need
    // the waterfall they are told about.
    if (const std::shared_ptr<Waterfall> waterfall = pan->waterfall()) {
        waterfallKVOManager = VMKVOManager::create();
        bindKeys(*waterfallKVOManager, waterfallKeyTable(), waterfall, waterfallTarget_);
    }
    panControls->bandText->setStringValue(fmt::format("{:0.3f}", pan->center().value_or(0)));
}

PanAdapterView* PanadapterController::loadPanafallWindow(const std::shared_ptr<Panafall>& pan) {
    panafall = pan;
    panAdapterView->setPanIndex(pan_);
    waterFallView->setPanIndex(pan_);
    pan->setDelegate(panAdapterView->panafallData());
    if (const auto waterfall = pan->waterfall()) {
        waterfall->setDelegate(waterFallView->waterfallData());
    }
    panAdapterView->setMyPanafall(pan);
    waterFallView->setMyPanafall(pan);
    waterFallView->setMyPanAdapterView(waterFallView);
    PanadapterWindow& window = *velmoraSDRWindow;
    window.setWindowTitle(QString::fromStdString("velmoraSDR " + pan->streamId()));
    if (!window.frameAutosaveName().empty()) {
        window.setFrameAutosaveName(window.frameAutosaveName());  // restores the saved frame
    }
    window.makeKeyAndOrderFront();
    if (host_.debugEnabled()) {
        log("loadPanafallWindow:panIndex:[{}] streamId:[{}] size:[{}, {}]", pan_, pan->streamId(),
            double(panAdapterView->width()), double(panAdapterView->height()));
    }
    return panAdapterView;
}

bool PanadapterController::cancelPanafalKVO(const std::shared_ptr<Panafall>& pan) {
    if (!panafall || panafall->streamId().empty() || panafall->streamId() != pan->streamId()) {
        return false;
    }
    cancel(waterfallKVOManager);
    cancel(panafallKVOManager);
    panafall->setDelegate({});
    if (const auto waterfall = panafall->waterfall()) {
        waterfall->setDelegate({});
    }
    panAdapterView->setMyPanafall(nullptr);
    waterFallView->setMyPanafall(nullptr);
    waterFallView->setMyPanAdapterView(nullptr);
    // The first window holds the radio chooser and the status line: it stays on screen.
    if (pan_ != 0) {
        velmoraSDRWindow->hide();
    }
    panafall.reset();
    if (host_.debugEnabled()) {
        log("cancelPanafalKVO:cancel streamID:[{}] band:[{}] bandwidth:[{}] MHz", pan->streamId(),
            pan->band().value_or(""), pan->bandwidth().value_or(0));
    }
    return true;
}

void PanadapterController::saveWindowFrame() {
    if (velmoraSDRWindow->isVisible()) {
        velmoraSDRWindow->saveFrame();
    }
}

void PanadapterController::scrollWhileRecentring() {
    QPointer<PanAdapterView> panView = panAdapterView;
    QPointer<WaterFallView> view = waterFallView;
    const auto setScrolling = [panView, view](bool on) {
        if (panView) {
            panView->setScrolling(on);
        }
        if (view) {
            view->setScrolling(on);
        }
    };
    setScrolling(true);
    DispatchQueue::main()->after(std::chrono::milliseconds(10),
                                 [setScrolling] { setScrolling(false); });
}

void PanadapterController::setDbmSliderRanges() {
    panControls->minDbmSlider->setMinValue(-180.0);
    panControls->minDbmSlider->setMaxValue(-90.0);
    panControls->maxDbmSlider->setMinValue(-100.0);
    panControls->maxDbmSlider->setMaxValue(20.0);
}

void PanadapterController::setMaxBandwidth(double megahertz) {
    panControls->bandwidthSlider->setMaxValue(megahertz);
}

}  // namespace vm
