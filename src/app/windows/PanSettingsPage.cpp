#include "app/windows/PanSettingsPage.h"

#include "app/windows/PanControls.h"
#include "platform/ui/ColorWell.h"

#include <fmt/format.h>

namespace vm {

using namespace kit;

namespace {

// The grid divides by the tick count less one: two ticks are one division.
constexpr double kMinTicks = 2;
constexpr double kMaxTicks = 20;

}  // namespace

std::string PanSettingsPage::viewProportionKey(int pan) {
    return pan == 0 ? std::string("view_proportion") : fmt::format("view_proportion{}", pan);
}

std::string PanSettingsPage::maxBandwidthKey(int pan) {
    return fmt::format("max_band_width_{}", pan + 1);
}

PanSettingsPage::PanSettingsPage(int pan, QWidget* parent) : QWidget(parent), pan_(pan) {
    const QString suffix = panSuffix(pan);
    setObjectName(outletName("panSettings%s", suffix));
    auto name = [&suffix](const char* pattern) { return outletName(pattern, suffix); };
    viewProportion = slider(this, name("viewProportion%s"), 0, 100);
    viewProportion->setMinimumWidth(200);
    viewProportionText = textField(this, name("viewProportionText%s"), true);
    maxBandwidthPopup = popUp(this, name("maxBandwidthPopup%s"));
    daxIqPopup = popUp(this, name("daxIqPopup%s"), {"None", "1", "2", "3", "4"});
    verticalAxisTicksSlider = slider(this, name("verticalAxisTicksSlider%s"), kMinTicks, kMaxTicks);
    horizontalAxisTicksSlider =
        slider(this, name("horizontalAxisTicksSlider%s"), kMinTicks, kMaxTicks);
    const auto well = [this, &name](const char* pattern) {
        auto* made = new ColorWell(this);
        made->setObjectName(name(pattern));
        return made;
    };
    fftColorWell = well("fftColorWell%s");
    filterColorWell = well("filterColorWell%s");
    tnfColorWell = well("tnfColorWell%s");
    for (QWidget* control : findChildren<QWidget*>()) {
        control->setProperty("tag", pan);
    }
    auto* grid = new QGridLayout(this);
    row(grid, QStringLiteral("Waterfall share %"), {viewProportion, viewProportionText});
    row(grid, QStringLiteral("Widest span MHz"), {maxBandwidthPopup});
    row(grid, QStringLiteral("DAX IQ channel"), {daxIqPopup});
    row(grid, QStringLiteral("Level grid lines"), {verticalAxisTicksSlider});
    row(grid, QStringLiteral("Frequency grid lines"), {horizontalAxisTicksSlider});
    row(grid, QStringLiteral("Spectrum fill"), {fftColorWell});
    row(grid, QStringLiteral("Filter passband"), {filterColorWell});
    row(grid, QStringLiteral("Notch filters"), {tnfColorWell});
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(grid->rowCount(), 1);
}

}  // namespace vm
