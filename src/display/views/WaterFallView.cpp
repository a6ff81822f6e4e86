#include "display/views/WaterFallView.h"

#include "display/views/OfflineVeil.h"

#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "display/views/DisplayController.h"
#include "display/views/PointerTuning.h"
#include "display/views/ViewTuning.h"
#include "display/views/WaterfallTileInbox.h"
#include "objects/Slice.h"
#include "platform/core/Defaults.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/KeyModifiers.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextField.h"

#include <fmt/printf.h>

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <chrono>
#include <cmath>

namespace vm {
namespace {

constexpr double kLogSliderMaximum = 4.605170185988092;  // ln 100

// Megahertz as the slice commands of the view send them: "%g", not rounded to a tuning step.
std::string pointerFrequencyText(double mhz) { return fmt::sprintf("%g", mhz); }

}  // namespace

WaterFallView::WaterFallView(DisplayController& controller, QWidget* parent)
    : QWidget(parent), controller_(controller), lastCalc_(DispatchClock::now()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    inbox_ = WaterfallTileInbox::create(
        [this](WaterfallTileInbox::Tiles& tiles) { waterfallTiles(tiles); });
    if (const auto linear = Defaults::standard().boolForKey("linear_waterfall_color_sliders")) {
        useLogSliders_ = !*linear;
    }
    adjustBitMap();
}

WaterFallView::~WaterFallView() { inbox_->disconnect(); }

std::shared_ptr<WaterfallData> WaterFallView::waterfallData() const { return inbox_; }

std::shared_ptr<Waterfall> WaterFallView::waterfall() const {
    return myPanafall_ ? myPanafall_->waterfall() : nullptr;
}

void WaterFallView::setControls(const WaterfallControls& controls) {
    controls_ = controls;
    if (!hasControls()) {
        return;
    }
    const double maximum = useLogSliders_ ? kLogSliderMaximum : 100.0;
    for (Slider* slider : {controls_.blackLevelSlider, controls_.colorGainSlider}) {
        if (slider) {
            slider->setMaxValue(maximum);
        }
    }
    if (controls_.autoBlackEnabledCheckBox) {
        connect(controls_.autoBlackEnabledCheckBox, &CheckBox::action, this,
                [this] { autoBlackCheckBoxChanged(); });
    }
    if (controls_.blackLevelSlider) {
        connect(controls_.blackLevelSlider, &Slider::action, this,
                [this] { blackLevelSliderChanged(); });
    }
    if (controls_.colorGainSlider) {
        connect(controls_.colorGainSlider, &Slider::action, this,
                [this] { colorGainSliderChanged(); });
    }
    if (controls_.lineDurationSlider) {
        connect(controls_.lineDurationSlider, &Slider::action, this,
                [this] { lineDurationSliderChanged(); });
    }
}

// --- Tiles and rows.

void WaterFallView::waterfallTiles(std::vector<std::shared_ptr<WaterfallTile>>& tiles) {
    for (const auto& tile : tiles) {
        waterfallTile(tile);
    }
}

void WaterFallView::waterfallTile(const std::shared_ptr<WaterfallTile>& tile) {
    if (!controller_.radioStartupComplete()) {
        return;
    }
    if (!bitmap_.hasData()) {
        // Once per spell without a picture: every tile of a waterfall with no room would log.
        if (!busyLogged_) {
            log("waterfallTile:bit map busy");
            busyLogged_ = true;
        }
        return;
    }
    busyLogged_ = false;
    if (!tile) {
        log("waterfallTile:null tile");
        return;
    }
    if (tile->height == 0) {
        return;
    }
    if (!firstTileReceived_) {
        const auto source = waterfall();
        log("waterfallTile: first tile: streamId: {} dispatch_queue: {}",
            source ? source->streamId() : "", source ? source->runQueue()->label() : "");
        firstTileReceived_ = true;
    }
    if (!colorMap_.exists()) {
        setupColorGradient();
        if (!colorMap_.exists()) {
            return;
        }
    }
    if (!scrolling_) {
        const bool otherTimecode = rows_.size() > 0 && rows_.at(0).timecode != tile->timecode;
        const std::uint32_t topTimecode = rows_.size() > 0 ? rows_.at(0).timecode : 0;
        switch (rows_.store(tile, rowCount_)) {
            case WaterfallRows::Intake::Dropped:
                if (debug_ && otherTimecode) {
                    log("waterfallTile:timecodes: topTile:{} dropping:{}", topTimecode,
                        tile->timecode);
                }
                return;
            case WaterfallRows::Intake::Incomplete: return;
            case WaterfallRows::Intake::Complete: ++frameCount_; break;
        }
    }
    const int autoBlack = static_cast<int>(std::min<std::uint32_t>(tile->autoBlackLevel, 65535));
    if (autoBlackEnabled_ && autoBlack != blackLevel()) {
        setBlackLevel(autoBlack);
        showBlackLevelPercent(blackLevelPercent(autoBlack));
        setupColorGradient();
    }
    if (scrolling_) {
        drawFullWaterfall();
    } else if (resizing_) {
        rows_.clear();
    } else {
        scrollAndRedraw();
    }
}

bool WaterFallView::panGeometry(double& startMHz, double& mhzPerPixel) const {
    startMHz = 0;
    mhzPerPixel = 0;
    if (!myPanafall_) {
        return false;
    }
    const double center = myPanafall_->center().value_or(0);
    const double bandwidth = myPanafall_->bandwidth().value_or(0);
    const double pixels = myPanafall_->panDimensions().width;
    startMHz = center - bandwidth / 2;
    mhzPerPixel = pixels > 0 ? bandwidth / pixels : 0;
    return true;
}

void WaterFallView::scrollAndRedraw() {
    if (!bitmap_.scrollDown()) {
        log("scrollAndRedraw:scrollDown:no bitmapData");
        return;
    }
    double startMHz = 0;
    double mhzPerPixel = 0;
    panGeometry(startMHz, mhzPerPixel);
    if (blitScanLine(0, startMHz, mhzPerPixel)) {
        update();
    } else {
        log("scrollAndRedraw:blitScanLine:no bitmapData");
    }
}

void WaterFallView::drawFullWaterfall() {
    double startMHz = 0;
    double mhzPerPixel = 0;
    panGeometry(startMHz, mhzPerPixel);
    for (int row = 0; row < rowCount_; ++row) {
        if (!blitScanLine(row, startMHz, mhzPerPixel)) {
            log("drawFullWaterfall:blitScanLine:no bitmapData");
        }
    }
    update();
}

bool WaterFallView::blitScanLine(int row, double startMHz, double mhzPerPixel) {
    if (!bitmap_.hasData() || row < 0 || row >= bitmap_.height()) {
        return false;
    }
    if (row < rows_.size() && !colorMap_.exists()) {
        return false;
    }
    rows_.paintRow(row, bitmap_.bytes() + static_cast<std::ptrdiff_t>(bitmap_.bytesPerRow()) * row,
                   std::min(rowWidth_, bitmap_.width()), startMHz, mhzPerPixel, colorMap_.entries(),
                   kBackground);
    return true;
}

void WaterFallView::adjustBitMap() {
    rowWidth_ = width();
    rowCount_ = height();
    if (bitmap_.hasData() && bitmap_.width() == rowWidth_ && bitmap_.height() == rowCount_) {
        return;
    }
    bitmap_ = Bitmap(rowWidth_, rowCount_, 3);
    rows_.clear();
    bitmap_.clearTo24Bit(kBackground);
}

void WaterFallView::setupColorGradient() {
    colorMap_.setDebug(debug_);
    if (colorMap_.setupColorGradient()) {
        return;
    }
    const auto source = waterfall();
    log(")Unable to allocate memory for colorMap {}", source ? source->streamId() : "");
    if (source) {
        source->setDelegate({});
    }
}

// --- Heartbeat.

bool WaterFallView::heartBeatTimer(bool transmitting, bool connected) {
    debug_ = controller_.debug();
    if (!controller_.radioStartupComplete()) {
        if (frameStatus_) {
            frameStatus_->setStringValue("Starting up");
        }
        return false;
    }
    if (!connected || !myPanafall_) {
        if (rows_.size() > 0) {
            rows_.clear();
            bitmap_ = Bitmap();
            adjustBitMap();
        }
        update();
        return false;
    }
    if (transmitting) {
        return true;
    }
    const auto now = DispatchClock::now();
    const double elapsed = std::chrono::duration<double>(now - lastCalc_).count();
    lastCalc_ = now;
    const double rate = elapsed > 0 ? double(frameCount_) / elapsed : 0.0;
    frameCount_ = 0;
    if (hasControls() && controls_.waterfallFpsText) {
        controls_.waterfallFpsText->setStringValue(fmt::sprintf("WF tps: %0.2g", rate));
    }
    const auto source = waterfall();
    std::string status;
    if (rate < 0.1 && source && source->lineDuration().value_or(0) >= 51) {
        status = fmt::sprintf("Waterfall tile rate dropped to %0.2f tps", rate);
    }
    if (frameStatus_) {
        frameStatus_->setStringValue(status);
    }
    return status.empty();
}

// --- The model's changes and the controls.

void WaterFallView::setSliderValue(Slider* slider, double value, bool logarithmic) {
    if (!slider) {
        return;
    }
    if (logarithmic) {
        slider->setLogValue(value);
    } else {
        slider->setDoubleValue(value);
    }
}

double WaterFallView::sliderValue(const Slider* slider) const {
    return useLogSliders_ ? slider->getLogValue() : slider->doubleValue();
}

void WaterFallView::showBlackLevelPercent(int percent) {
    if (!hasControls()) {
        return;
    }
    setSliderValue(controls_.blackLevelSlider, percent, useLogSliders_);
    if (controls_.blackLevelText) {
        controls_.blackLevelText->setIntValue(percent);
    }
}

void WaterFallView::colorGainChanged(const std::shared_ptr<Waterfall>& source, const Change*) {
    const int gain = source->colorGain().value_or(0);
    setColorGain(gain);
    setupColorGradient();
    if (hasControls()) {
        setSliderValue(controls_.colorGainSlider, gain, useLogSliders_);
        if (controls_.colorGainText) {
            controls_.colorGainText->setIntValue(gain);
        }
    }
}

void WaterFallView::blackLevelChanged(const std::shared_ptr<Waterfall>& source, const Change*) {
    const int level = std::clamp(source->blackLevel().value_or(0), 0, 65535);
    setBlackLevel(level);
    if (!autoBlackEnabled_) {
        setupColorGradient();
    }
    showBlackLevelPercent(blackLevelPercent(level));
}

void WaterFallView::autoBlackChanged(const std::shared_ptr<Waterfall>& source, const Change*) {
    autoBlackEnabled_ = source->autoBlack().value_or(false);
    setupColorGradient();
    if (hasControls() && controls_.autoBlackEnabledCheckBox) {
        controls_.autoBlackEnabledCheckBox->setState(autoBlackEnabled_);
    }
}

void WaterFallView::lineDurationChanged(const std::shared_ptr<Waterfall>& source, const Change*) {
    if (!hasControls()) {
        return;
    }
    const int duration = source->lineDuration().value_or(0);
    if (controls_.lineDurationSlider) {
        controls_.lineDurationSlider->setIntValue(duration);
    }
    if (controls_.lineDurationText) {
        controls_.lineDurationText->setIntValue(duration);
    }
}

void WaterFallView::autoBlackCheckBoxChanged() {
    if (const auto source = waterfall(); source && controls_.autoBlackEnabledCheckBox) {
        source->setAutoBlack(controls_.autoBlackEnabledCheckBox->state());
    }
}

void WaterFallView::blackLevelSliderChanged() {
    if (const auto source = waterfall(); source && controls_.blackLevelSlider) {
        source->setBlackLevel(blackLevelFromPercent(sliderValue(controls_.blackLevelSlider)));
    }
}

void WaterFallView::colorGainSliderChanged() {
    if (const auto source = waterfall(); source && controls_.colorGainSlider) {
        const double value = sliderValue(controls_.colorGainSlider);
        source->setColorGain(static_cast<int>(useLogSliders_ ? std::round(value) : value));
    }
}

void WaterFallView::lineDurationSliderChanged() {
    if (const auto source = waterfall(); source && controls_.lineDurationSlider) {
        source->setLineDuration(static_cast<int>(controls_.lineDurationSlider->doubleValue()));
    }
}

// --- Drawing.

double WaterFallView::pixelsToMHz(double pixels) const {
    const double bandwidth = myPanafall_ ? myPanafall_->bandwidth().value_or(0) : 0;
    return pointer_tuning::pixelsToMHz(pixels, width(), bandwidth);
}

double WaterFallView::mhzToPixels(double mhz) const {
    const double bandwidth = myPanafall_ ? myPanafall_->bandwidth().value_or(0) : 0;
    return pointer_tuning::mhzToPixels(mhz, width(), bandwidth);
}

void WaterFallView::resizeEvent(QResizeEvent*) { adjustBitMap(); }

void WaterFallView::paintEvent(QPaintEvent*) {
    vfoLineSkirt_ = myPanafall_ ? myPanafall_->bandwidth().value_or(0) / 80.0 : 0;
    QPainter painter(this);
    if (bitmap_.hasData()) {
        painter.drawImage(QRectF(rect()), bitmap_.image());
    } else {
        painter.fillRect(rect(), QColor(0, 0, 255));
    }
    if (mouseInWaterfall_) {
        drawOverlay(painter);
    }
    drawOfflineVeil(painter, rect(), offlineReason_);
}

void WaterFallView::setOfflineReason(const QString& reason) {
    offlineReason_ = reason;
    update();
}

void WaterFallView::drawOverlay(QPainter& painter) {
    if (myPanAdapterView_) {
        if (const auto text = formatter_.stringForObjectValue(myPanAdapterView_->mouseMHz())) {
            QFont font(QStringLiteral("Helvetica Light"));
            font.setPointSizeF(12);
            const QString label = QString::fromStdString(*text);
            const QFontMetricsF metrics(font);
            const double textWidth = metrics.horizontalAdvance(label);
            const double textHeight = metrics.height();
            // Placed with the origin at the lower left, as the label's rules are written.
            const double viewWidth = width();
            const double viewHeight = height();
            double x = mouseLocation_.x() + 10;
            if (viewWidth < x + textWidth) {
                x -= textWidth + 20;
            }
            double y = viewHeight - mouseLocation_.y();
            if (viewHeight < y + textHeight) {
                y -= textHeight;
            }
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.drawText(QRectF(x, viewHeight - y - textHeight, textWidth, textHeight),
                             Qt::AlignLeft | Qt::AlignBottom, label);
        }
    }
    if (hasFocus() && window()->isActiveWindow()) {
        painter.setPen(QPen(QColor::fromRgbF(0.16f, 0.52f, 1.0f, 1.0f), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75));
    }
}

// --- Pointer and keys.

void WaterFallView::updatePointer(const QPointF& position) {
    mouseLocation_ = position;
    const double center = myPanafall_ ? myPanafall_->center().value_or(0) : 0;
    const double bandwidth = myPanafall_ ? myPanafall_->bandwidth().value_or(0) : 0;
    mouseMHz_ = pointer_tuning::pointerMHz(center, bandwidth, position.x(), width());
}

std::shared_ptr<Slice> WaterFallView::sliceUnderPointer() const {
    return pointer_tuning::sliceNear(controller_.doroSlices(), mouseMHz_, vfoLineSkirt_,
                                     pointer_tuning::Pick::First);
}

void WaterFallView::enterEvent(QEnterEvent* event) {
    mouseInWaterfall_ = true;
    setFocus();
    mouseLocation_ = event->position();
    setCursor(Qt::CrossCursor);
}

void WaterFallView::leaveEvent(QEvent*) {
    mouseInWaterfall_ = false;
    setCursor(Qt::ArrowCursor);
}

void WaterFallView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        mouseDragged(event->position());
        return;
    }
    updatePointer(event->position());
    if (const auto slice = sliceUnderPointer()) {
        setCursor(Qt::SizeHorCursor);
        mouseOverSlice_ = slice;
    } else {
        setCursor(rect().contains(event->position().toPoint()) ? Qt::CrossCursor : Qt::ArrowCursor);
    }
}

void WaterFallView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    setFocus();
    updatePointer(event->position());
    if (const auto slice = sliceUnderPointer()) {
        // The slice pressed on is the one the drag moves, also when no move came first.
        mouseOverSlice_ = slice;
        dragStartMHz_ = mouseMHz_;
        setCursor(Qt::SizeHorCursor);
    } else {
        setCursor(rect().contains(event->position().toPoint()) ? Qt::OpenHandCursor
                                                               : Qt::ArrowCursor);
    }
}

void WaterFallView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    setFocus();
    updatePointer(event->position());
    if (mouseOverSlice_) {
        return;
    }
    setCursor(Qt::SizeHorCursor);
    if (const auto slice = controller_.closestSlice(mouseMHz_)) {
        slice->setSliceFrequency(pointerFrequencyText(mouseMHz_), 0);
    }
}

void WaterFallView::mouseDragged(const QPointF& position) {
    if (!myPanafall_) {
        return;
    }
    if (dragStartMHz_ == 0.0) {
        const double dx = mouseLocation_.x() - position.x();
        view_tuning::dragCentre(*myPanafall_, dx, pixelsToMHz(std::abs(dx)),
                                [this](bool scrolling) { setScrollingBoth(scrolling); });
        mouseLocation_ = position;
        return;
    }
    const QPointF location = mouseLocation_;
    updatePointer(position);
    mouseLocation_ = location;
    if (mouseOverSlice_) {
        view_tuning::tuneAndFollow(controller_, this, myPanafall_, mouseOverSlice_,
                                   pointerFrequencyText(mouseMHz_), mouseMHz_,
                                   [this](bool scrolling) { setScrollingBoth(scrolling); });
    }
}

void WaterFallView::setScrollingBoth(bool scrolling) {
    scrolling_ = scrolling;
    if (myPanAdapterView_) {
        myPanAdapterView_->setScrolling(scrolling);
    }
}

void WaterFallView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    setScrollingBoth(false);
    if (dragStartMHz_ != 0.0) {
        dragStartMHz_ = 0.0;
        if (mouseOverSlice_) {
            mouseOverSlice_->setSliceActive(true);
        }
    }
    mouseOverSlice_.reset();
}

void WaterFallView::wheelEvent(QWheelEvent* event) {
    event->accept();
    const QPoint delta = event->angleDelta();
    if (!mouseOverSlice_ || (delta.x() == 0 && delta.y() == 0)) {
        return;
    }
    const double step = frequencyStepForModifiers(event->modifiers());
    view_tuning::wheelTune(controller_, this, mouseOverSlice_,
                           pointer_tuning::wheelSteps(delta.x(), delta.y(), step));
}

void WaterFallView::keyPressEvent(QKeyEvent* event) {
    event->accept();
    view_tuning::arrowKeyTune(controller_, myPanafall_.get(), event->key(),
                              frequencyStepForModifiers(event->modifiers()));
}

}  // namespace vm
