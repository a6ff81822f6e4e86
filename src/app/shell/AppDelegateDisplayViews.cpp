// The display views of the four panadapter windows, made once with the windows: each window's
// panadapter view and the waterfall view under it, in their areas, serving the views' questions
// through the controller's DisplayController.
#include "app/shell/AppDelegate.h"

#include "app/shell/AppDisplayController.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/ViewArea.h"
#include "display/views/PanAdapterView.h"
#include "display/views/WaterFallView.h"

namespace vm {

void AppDelegate::createDisplayViews() {
    displayController_ = std::make_unique<AppDisplayController>(*this);
    WaterFallView** views[] = {&waterFallView, &waterFallView1, &waterFallView2, &waterFallView3};
    PanAdapterView** panViews[] = {&panAdapterView, &panAdapterView1, &panAdapterView2,
                                   &panAdapterView3};
    PanadapterWindow* windows[] = {velmoraSDRWindow, velmoraSDRWindow1, velmoraSDRWindow2,
                                   velmoraSDRWindow3};
    for (std::size_t pan = 0; pan < 4; ++pan) {
        auto* view = new WaterFallView(*displayController_);
        view->setObjectName(pan == 0 ? QStringLiteral("waterFallView")
                                     : QStringLiteral("waterFallView%1").arg(pan));
        view->setPanIndex(static_cast<int>(pan));
        windows[pan]->waterFallViewArea->place(view);
        *views[pan] = view;
        auto* panView = new PanAdapterView(*displayController_);
        panView->setObjectName(pan == 0 ? QStringLiteral("panAdapterView")
                                        : QStringLiteral("panAdapterView%1").arg(pan));
        panView->setPanIndex(static_cast<int>(pan));
        panView->setWaterFallView(view);
        windows[pan]->panAdapterViewArea->place(panView);
        *panViews[pan] = panView;
        QObject::connect(panView, &QObject::destroyed,
                         [panViews, pan] { *panViews[pan] = nullptr; });
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
