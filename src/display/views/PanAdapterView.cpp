#include "display/views/PanAdapterView.h"

#include "display/views/OfflineVeil.h"

#include "display/Panafall.h"
#include "display/views/DisplayController.h"
#include "display/views/PointerTuning.h"
#include "platform/core/Defaults.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextField.h"
#include "radio/Radio.h"

#include <fmt/printf.h>

#include <QColorDialog>
#include <QContextMenuEvent>
#include <QPainter>

namespace vm {
namespace {

// The context menu's items that follow the slices and the radio, by position.
constexpr int kFirstSliceItem = 4;  // 4 to 7: slices A to D
constexpr int kCenterOverBandItem = 13;
constexpr std::array<int, 3> kSliceCopyItems{15, 16, 17};
constexpr int kNewSliceItem = 19;
constexpr int kDefaultTicks = 10;

std::string indexedKey(const char* base, int index) {
    return index == 0 ? std::string(base) : fmt::format("{}{}", base, index);
}

// The pan index a control carries as its "tag" property; -1 without one.
int tagOf(const QObject* control) {
    bool ok = false;
    const int tag = control ? control->property("tag").toInt(&ok) : -1;
    return ok ? tag : -1;
}

PanAdapterView::TextStyle textStyle(double pixels, const QColor& color) {
    QFont font(QStringLiteral("Helvetica"));
    font.setWeight(QFont::Light);
    font.setPixelSize(static_cast<int>(pixels));
    return {font, color};
}

}  // namespace

const std::array<PanAdapterView::ColorPreset, 7>& PanAdapterView::colorList() {
    static const std::array<ColorPreset, 7> presets{{
        {"Filter Default", QColor::fromRgbF(1.0f, 1.0f, 1.0f, 0.05f)},
        {"Filter Aqua", QColor::fromRgbF(0.0f, 0.59f, 1.0f, 0.25f)},
        {"Panadapter Default", QColor::fromRgbF(0.0f, 1.0f, 0.0f, 0.0f)},
        {"Panadapter Licorice", QColor::fromRgbF(0.0f, 0.0f, 0.0f, 1.0f)},
        {"Panadapter Lead", QColor::fromRgbF(0.13f, 0.13f, 0.13f, 1.0f)},
        {"Panadapter Green", QColor::fromRgbF(0.0f, 1.0f, 0.0f, 0.1f)},
        {"Panadapter Blue", QColor::fromRgbF(0.0f, 0.0f, 1.0f, 0.25f)},
    }};
    return presets;
}

PanAdapterView::PanAdapterView(DisplayController& controller, QWidget* parent)
    : QWidget(parent),
      controller_(controller),
      bins_(std::make_unique<PanafallFrameInbox::Bins>()),
      lastCalc_(DispatchClock::now()) {
    setAttribute(Qt::WA_OpaquePaintEvent);  // the whole view is painted every time
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    bins_->fill(0);
    inbox_ = PanafallFrameInbox::create([this] { framesArrived(); });

    const QColor gray = QColor::fromRgbF(0.5f, 0.5f, 0.5f);
    lightGrayLargeFontAttrDictionary = textStyle(18, gray);
    lockedLargeFontAttrDictionary = textStyle(18, QColor::fromRgbF(0.4f, 0.2f, 0.2f));
    dropShadowFontAttrDictionary = textStyle(18, Qt::black);
    lightGrayFontAttrDictionary = textStyle(12, QColor::fromRgbF(2 / 3.0f, 2 / 3.0f, 2 / 3.0f));
    grayFontAttrDictionary = textStyle(12, gray);
    darkGrayFontAttrDictionary = textStyle(12, QColor::fromRgbF(1 / 3.0f, 1 / 3.0f, 1 / 3.0f));
    veryDarkGrayFontAttrDictionary = textStyle(12, QColor::fromRgbF(0.12f, 0.12f, 0.1f));
    yellowFontAttrDictionary = textStyle(12, QColor::fromRgbF(1, 1, 0));
    redFontAttrDictionary = textStyle(12, QColor::fromRgbF(1, 0, 0));
    purpleFontAttrDictionary = textStyle(12, QColor::fromRgbF(1, 0, 1));
    greenFontAttrDictionary = textStyle(12, QColor::fromRgbF(0, 1, 0));
    bandEdgeFontAttrDictionary = textStyle(12, QColor::fromRgbF(0, 1, 0));
    blueMemFontAttrDictionary = textStyle(12, QColor::fromRgbF(0.16f, 0.52f, 1.0f));

    // The presets are the colour dialog's custom colours, which every colour well's dialog shows.
    for (int i = 0; i < int(colorList().size()); ++i) {
        QColorDialog::setCustomColor(i, colorList()[i].color);
    }
}

PanAdapterView::~PanAdapterView() { inbox_->disconnect(); }

std::shared_ptr<PanafallData> PanAdapterView::panafallData() const { return inbox_; }

// --- Preferences.

std::string PanAdapterView::fftKey(int index) { return fmt::sprintf("fft_color_well_%02d", index); }
std::string PanAdapterView::filterKey(int index) {
    return fmt::sprintf("filter_color_well_%02d", index);
}
std::string PanAdapterView::tnfKey(int index) { return fmt::sprintf("tnf_color_well_%02d", index); }
std::string PanAdapterView::verticalTicksKey(int index) {
    return indexedKey("vertical_axis_ticks", index);
}
std::string PanAdapterView::horizontalTicksKey(int index) {
    return indexedKey("horizontal_axis_ticks", index);
}

void PanAdapterView::setControls(const PanAdapterControls& controls) {
    controls_ = controls;
    const auto restore = [](Slider* slider, const std::string& key) {
        if (slider) {
            const auto stored = Defaults::standard().integerForKey(key);
            slider->setIntValue(static_cast<int>(stored.value_or(kDefaultTicks)));
        }
    };
    for (int pan = 0; pan < 4; ++pan) {
        restore(controls_.verticalAxisTicksSliders[pan], verticalTicksKey(pan));
        restore(controls_.horizontalAxisTicksSliders[pan], horizontalTicksKey(pan));
        for (Slider* slider :
             {controls_.verticalAxisTicksSliders[pan], controls_.horizontalAxisTicksSliders[pan]}) {
            if (slider) {
                // The grid takes the new count from the slider at once.
                connect(slider, &Slider::action, this, [this, slider] {
                    ticksSlidersMoved(tagOf(slider));
                    update();
                });
            }
        }
    }
    const auto restoreWell = [this](ColorWell* well, const std::string& key, const QColor& fallback,
                                    void (PanAdapterView::*clicked)(int)) {
        if (well) {
            well->setColorWithPrefKey(key, fallback);
            connect(well, &ColorWell::action, this, [this, well, clicked] {
                if (const int tag = tagOf(well); tag >= 0) {
                    (this->*clicked)(tag);
                }
                update();
            });
        }
    };
    restoreWell(controls_.fftColorWell, fftKey(panIndex_), defaultFftColor(),
                &PanAdapterView::fftColorWellClicked);
    restoreWell(controls_.filterColorWell, filterKey(panIndex_), defaultFilterColor(),
                &PanAdapterView::filterColorWellClicked);
    restoreWell(controls_.tnfColorWell, tnfKey(panIndex_), defaultTnfColor(),
                &PanAdapterView::tnfColorWellClicked);
    setContextMenu(controls.panaviewContextMenu);
}

void PanAdapterView::setContextMenu(Menu* menu) {
    controls_.panaviewContextMenu = menu;
    if (menu) {
        connect(menu, &QMenu::aboutToShow, this, [this] { menuWillOpen(); });
    }
}

void PanAdapterView::ticksSlidersMoved(int tag) {
    if (tag < 0 || tag > 3) {
        return;
    }
    if (Slider* slider = controls_.verticalAxisTicksSliders[tag]) {
        Defaults::standard().set(verticalTicksKey(tag),
                                 PlistValue(static_cast<long long>(slider->doubleValue())));
    }
    if (Slider* slider = controls_.horizontalAxisTicksSliders[tag]) {
        Defaults::standard().set(horizontalTicksKey(tag),
                                 PlistValue(static_cast<long long>(slider->doubleValue())));
    }
}

void PanAdapterView::fftColorWellClicked(int tag) {
    if (controls_.fftColorWell) {
        controls_.fftColorWell->saveColorWithKey(fftKey(tag));
    }
}

void PanAdapterView::filterColorWellClicked(int tag) {
    if (controls_.filterColorWell) {
        controls_.filterColorWell->saveColorWithKey(filterKey(tag));
    }
}

void PanAdapterView::tnfColorWellClicked(int tag) {
    if (controls_.tnfColorWell) {
        controls_.tnfColorWell->saveColorWithKey(tnfKey(tag));
    }
}

int PanAdapterView::verticalTicks() const {
    const Slider* slider =
        panIndex_ >= 0 && panIndex_ <= 3 ? controls_.verticalAxisTicksSliders[panIndex_] : nullptr;
    return slider ? static_cast<int>(slider->doubleValue()) : kDefaultTicks;
}

int PanAdapterView::horizontalTicks() const {
    const Slider* slider = panIndex_ >= 0 && panIndex_ <= 3
                               ? controls_.horizontalAxisTicksSliders[panIndex_]
                               : nullptr;
    return slider ? static_cast<int>(slider->doubleValue()) : kDefaultTicks;
}

QColor PanAdapterView::wellColor(const ColorWell* well, const QColor& fallback) const {
    return well ? well->color() : fallback;
}

// --- Context menu and the slice-copy actions.

void PanAdapterView::contextMenuEvent(QContextMenuEvent* event) {
    if (controls_.panaviewContextMenu) {
        controls_.panaviewContextMenu->popup(event->globalPos());
    }
}

void PanAdapterView::menuWillOpen() {
    Menu* menu = controls_.panaviewContextMenu;
    if (!menu) {
        return;
    }
    const auto enable = [menu](int index, bool on) {
        if (MenuItem* item = menu->itemAtIndex(index)) {
            item->setEnabled(on);
        }
    };
    for (int slice = 0; slice < 4; ++slice) {
        enable(kFirstSliceItem + slice, controller_.getSlice(slice) != nullptr);
    }
    const std::string band = controller_.focusedPanBand();
    if (MenuItem* item = menu->itemAtIndex(kCenterOverBandItem)) {
        item->setTitle(fmt::format("Center {}M Panadapter over", band));
        item->setEnabled(!band.empty());
    }
    const bool aAndB = controller_.getSlice(0) && controller_.getSlice(1);
    for (const int index : kSliceCopyItems) {
        enable(index, aAndB);
    }
    const auto radio = controller_.openRadio();
    enable(kNewSliceItem, radio && radio->availableSlices().value_or(0) != 0);
}

void PanAdapterView::swapVFOs() { controller_.swapVFOs(); }
void PanAdapterView::setVFOBequalsVFOA() { controller_.setVFOBequalsVFOA(); }
void PanAdapterView::setVFOAequalsVFOB() { controller_.setVFOAequalsVFOB(); }

// --- Heartbeat.

bool PanAdapterView::heartBeatTimer(int, bool inTx, bool connected) {
    const auto show = [this](const std::string& text) {
        if (controls_.frameStatus) {
            controls_.frameStatus->setStringValue(text);
        }
    };
    const char* waiting = !connected                            ? "Radio Not Connected"
                          : !myPanafall_                        ? "No Panafall"
                          : !controller_.radioStartupComplete() ? "Starting up"
                          : !firstFftReceived_                  ? "Waiting for first fft"
                                                                : nullptr;
    if (waiting) {
        show(waiting);
        update();
        return false;
    }
    if (inTx) {
        return true;
    }
    const auto now = DispatchClock::now();
    const double elapsed = std::chrono::duration<double>(now - lastCalc_).count();
    lastCalc_ = now;
    const auto frames = inbox_->takeFrameCount();
    const double rate = elapsed > 0 ? double(frames) / elapsed : 0.0;
    if (rate >= 0.9) {
        show("");
        return true;
    }
    show(fmt::sprintf("Waterfall frame rate dropped to %0.1f fps", rate));
    return false;
}

// --- Frames.

void PanAdapterView::framesArrived() {
    if (!controller_.radioStartupComplete()) {
        return;
    }
    if (!firstFftReceived_) {
        firstFftReceived_ = true;
        log("fftFrame: first fft: streamId: {} dispatch_queue: {}",
            myPanafall_ ? myPanafall_->streamId() : "",
            myPanafall_ ? myPanafall_->runQueue()->label() : "");
    }
    numFrameBins_ = inbox_->frameBins();
    update();
}

// --- Drawing.

void PanAdapterView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawRect(painter);
    drawOfflineVeil(painter, rect(), offlineReason_);
}

void PanAdapterView::setOfflineReason(const QString& reason) {
    offlineReason_ = reason;
    update();
}

void PanAdapterView::drawRect(QPainter& painter) {
    painter.fillRect(rect(), backgroundColor());
    if (!myPanafall_) {
        return;
    }
    const double center = myPanafall_->center().value_or(0);
    const double bandwidth = myPanafall_->bandwidth().value_or(0);
    const double startMHz = center - bandwidth / 2;
    const double endMHz = center + bandwidth / 2;
    vfoLineSkirt_ = bandwidth / 80;

    drawfft(painter);
    gridLayer_.paint(painter, gridInputs(painter),
                     [this](QPainter& grid, std::vector<QRectF>& ink) { drawGrids(grid, ink); });
    drawMouseMhz(painter);
    drawTNFs(painter, startMHz, endMHz);
    drawBandEdges(painter, startMHz, endMHz);
    drawSpots(painter, startMHz, endMHz);
    drawSlices(painter, startMHz, endMHz);

    if (hasFocus() && window()->isActiveWindow()) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(QColor::fromRgbF(0.16f, 0.52f, 1.0f), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75));
    }
}

double PanAdapterView::mhzToPixels(double mhz) const {
    const double bandwidth = myPanafall_ ? myPanafall_->bandwidth().value_or(0) : 0;
    return pointer_tuning::mhzToPixels(mhz, width(), bandwidth);
}

double PanAdapterView::pixelsToMHz(double pixels) const {
    const double bandwidth = myPanafall_ ? myPanafall_->bandwidth().value_or(0) : 0;
    return pointer_tuning::pixelsToMHz(pixels, width(), bandwidth);
}

double PanAdapterView::frequencyAtX(double x) const {
    if (!myPanafall_) {
        return 0;
    }
    return pointer_tuning::pointerMHz(myPanafall_->center().value_or(0),
                                      myPanafall_->bandwidth().value_or(0), x, width());
}

QPointF PanAdapterView::toViewPoint(const QPointF& widgetPoint) const {
    return {widgetPoint.x(), height() - widgetPoint.y()};
}

QRectF PanAdapterView::toWidgetRect(double x, double y, double w, double h) const {
    return {x, height() - y - h, w, h};
}

void PanAdapterView::addVerticalLine(QPainterPath& path, double x, double y0, double y1) const {
    path.moveTo(x, height() - y0);
    path.lineTo(x, height() - y1);
}

void PanAdapterView::addHorizontalLine(QPainterPath& path, double x0, double x1, double y) const {
    path.moveTo(x0, height() - y);
    path.lineTo(x1, height() - y);
}

// Qt's raster engine hands a blend of more than about 96 pixel rows to its thread pool, and
// waking the pool costs far more than blending the thin, tall areas of passbands and notches. So
// a translucent area is filled in bands of 32 rows (64 device rows at a pixel ratio of 2).
void PanAdapterView::fillPath(QPainter& painter, QPainterPath& path, const QColor& color) const {
    if (path.isEmpty()) {
        return;
    }
    constexpr int kBandRows = 32;
    // Whole rows, so that bands neither overlap nor leave a row out.
    const QRect area = path.boundingRect().toAlignedRect() & rect();
    painter.save();
    for (int y = area.top(); y <= area.bottom(); y += kBandRows) {
        painter.setClipRect(QRect(area.left(), y, area.width(), kBandRows));
        painter.fillPath(path, color);
    }
    painter.restore();
    path.clear();
}

void PanAdapterView::strokePath(QPainter& painter, QPainterPath& path, double width,
                                const QColor& color) {
    if (!path.isEmpty()) {
        painter.strokePath(path, QPen(color, width));
        path.clear();
    }
}

void PanAdapterView::drawText(QPainter& painter, const QString& text, const TextStyle& style,
                              double x, double y) const {
    const QFontMetricsF metrics(style.font);
    painter.setFont(style.font);
    painter.setPen(style.color);
    painter.drawText(QPointF(x, height() - y - metrics.descent()), text);
}

}  // namespace vm
