#include "app/windows/PanSettingsPage.h"

#include "app/windows/PanControls.h"

namespace vm {

using namespace kit;

PanSettingsPage::PanSettingsPage(int pan, QWidget* parent) : QWidget(parent), pan_(pan) {
    const QString suffix = panSuffix(pan);
    setObjectName(outletName("panSettings%s", suffix));
    auto name = [&suffix](const char* pattern) { return outletName(pattern, suffix); };
    viewProportion = slider(this, name("viewProportion%s"), 0, 100);
    viewProportion->setMinimumWidth(200);
    viewProportionText = textField(this, name("viewProportionText%s"), true);
    maxBandwidthPopup = popUp(this, name("maxBandwidthPopup%s"));
    daxIqPopup = popUp(this, name("daxIqPopup%s"), {"None", "1", "2", "3", "4"});
    for (QWidget* control : findChildren<QWidget*>()) {
        control->setProperty("tag", pan);
    }
    auto* grid = new QGridLayout(this);
    row(grid, QStringLiteral("Waterfall share %"), {viewProportion, viewProportionText});
    row(grid, QStringLiteral("Widest span MHz"), {maxBandwidthPopup});
    row(grid, QStringLiteral("DAX IQ channel"), {daxIqPopup});
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(grid->rowCount(), 1);
}

}  // namespace vm
