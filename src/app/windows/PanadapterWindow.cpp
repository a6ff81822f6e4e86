#include "app/windows/PanadapterWindow.h"

#include "app/windows/MainControlsBar.h"
#include "app/windows/PanControls.h"
#include "app/windows/ViewArea.h"
#include "app/windows/ViewSplit.h"

#include <QStatusBar>
#include <QVBoxLayout>

namespace vm {

PanadapterWindow::PanadapterWindow(int pan, QWidget* parent) : Window(parent), pan_(pan) {
    const QString suffix = panSuffix(pan);
    setObjectName(pan == 0 ? QStringLiteral("velmoraSDRWindow")
                           : QStringLiteral("velmoraSDRWindow%1").arg(pan));
    setWindowTitle(QStringLiteral("velmoraSDR"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (pan == 0) {
        controlsBar = new MainControlsBar(central);
        layout->addWidget(controlsBar);
    }
    panAdapterViewArea = new ViewArea(QStringLiteral("panAdapterViewArea") + suffix,
                                      QStringLiteral("Panadapter %1").arg(pan + 1), central);
    waterFallViewArea = new ViewArea(QStringLiteral("waterFallViewArea") + suffix,
                                     QStringLiteral("Waterfall %1").arg(pan + 1), central);
    viewSplit = new ViewSplit(panAdapterViewArea, waterFallViewArea, central);
    layout->addWidget(viewSplit, 1);
    panControls = new PanControls(pan, central);
    layout->addWidget(panControls);
    setCentralWidget(central);
    if (pan == 0) {
        frameStatus = new QLabel(this);
        frameStatus->setObjectName(QStringLiteral("frameStatus"));
        statusBar()->addWidget(frameStatus, 1);
    }
    resize(1200, pan == 0 ? 700 : 560);
}

}  // namespace vm
