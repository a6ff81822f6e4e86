// The display views of the four panadapter windows, made once with the windows: each window's
// waterfall view in its area, serving the views' questions through the controller's
// DisplayController. The spectrum view goes into the window's panadapter area beside it.
#include "app/shell/AppDelegate.h"

#include "app/shell/AppDisplayController.h"
#include "app/shell/PanadapterWindow.h"
#include "app/shell/ViewArea.h"
#include "display/views/WaterFallView.h"

namespace vm {

void AppDelegate::createDisplayViews() {
    displayController_ = std::make_unique<AppDisplayController>(*this);
    WaterFallView** views[] = {&waterFallView, &waterFallView1, &waterFallView2, &waterFallView3};
    PanadapterWindow* windows[] = {velmoraSDRWindow, velmoraSDRWindow1, velmoraSDRWindow2,
                                   velmoraSDRWindow3};
    for (std::size_t pan = 0; pan < 4; ++pan) {
        auto* view = new WaterFallView(*displayController_);
        view->setObjectName(pan == 0 ? QStringLiteral("waterFallView")
                                     : QStringLiteral("waterFallView%1").arg(pan));
        view->setPanIndex(static_cast<int>(pan));
        windows[pan]->waterFallViewArea->place(view);
        *views[pan] = view;
        // The window owns the view; the managers bound to it hold it only weakly, through this
        // one reference, which lapses with the view.
        waterfallTargets_[pan] = std::shared_ptr<void>(view, [](void*) {});
        QObject::connect(view, &QObject::destroyed, [this, pan, views] {
            waterfallTargets_[pan].reset();
            *views[pan] = nullptr;
        });
    }
}

}  // namespace vm
