#pragma once
// The waterfall under each panadapter: a picture exactly as large as the view, in which every
// completed row of the radio's waterfall pushes the older rows down by one pixel and is painted
// into the top row through the colour map. The view keeps the recent rows so that the whole
// picture can be painted again at the panadapter's new centre while it moves.
//
// Tuning from the view: the frequency under the pointer is shown beside it; a slice's line can be
// dragged, a double click tunes the nearest slice, the scroll wheel tunes the slice the pointer
// last came onto, and the arrow keys tune the slice in the middle of the pan; dragging the
// background moves the pan's centre. The view also serves its window's waterfall controls
// (WaterfallControls) and shows the tile rate at every heartbeat.
//
// Threads: everything here runs on the main thread. Tiles arrive on the waterfall's queue and
// reach the view through `waterfallData()`, which hands them to the main thread in batches; rows,
// the picture and the colour map have that one owner.
#include "display/WaterfallColorMap.h"
#include "display/WaterfallRows.h"
#include "display/views/WaterfallControls.h"
#include "platform/core/DispatchClock.h"
#include "platform/core/Observable.h"
#include "platform/ui/Bitmap.h"
#include "util/VMMegahertzFormatter.h"

#include <QPointF>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>

namespace vm {

class DisplayController;
class Panafall;
class Slice;
class TextField;
class Waterfall;
class WaterfallTileInbox;

class WaterFallView : public QWidget {
public:
    // The radio has gone: the picture is dimmed and the reason drawn over it until it is cleared
    // (an empty reason).
    void setOfflineReason(const QString& reason);
    const QString& offlineReason() const { return offlineReason_; }

    // The background of the picture and of rows without data: pure blue (bytes 0, 0, 255).
    static constexpr std::int32_t kBackground = 0xff0000;

    explicit WaterFallView(DisplayController& controller, QWidget* parent = nullptr);
    ~WaterFallView() override;

    // What the pan's Waterfall takes as its delegate.
    std::shared_ptr<WaterfallData> waterfallData() const;

    // --- Wiring by the application controller.
    const std::shared_ptr<Panafall>& myPanafall() const { return myPanafall_; }
    void setMyPanafall(std::shared_ptr<Panafall> pan) { myPanafall_ = std::move(pan); }
    int panIndex() const { return panIndex_; }
    void setPanIndex(int index) { panIndex_ = index; }
    // The view whose pointer frequency the label shows and whose scrolling flag a drag sets too:
    // the controller wires the waterfall view itself.
    WaterFallView* myPanAdapterView() const { return myPanAdapterView_.data(); }
    void setMyPanAdapterView(WaterFallView* view) { myPanAdapterView_ = view; }
    // The controls of this view's window; their actions are connected here. With a pan index
    // outside 0 to 3 no control is touched.
    void setControls(const WaterfallControls& controls);
    void setFrameStatus(TextField* frameStatus) { frameStatus_ = frameStatus; }

    bool resizing() const { return resizing_; }
    void setResizing(bool resizing) { resizing_ = resizing; }
    bool scrolling() const { return scrolling_; }
    void setScrolling(bool scrolling) { scrolling_ = scrolling; }
    double mouseMHz() const { return mouseMHz_; }
    void setMouseMHz(double mhz) { mouseMHz_ = mhz; }
    bool mouseInWaterfall() const { return mouseInWaterfall_; }
    void setMouseInWaterfall(bool inside) { mouseInWaterfall_ = inside; }
    bool autoBlackEnabled() const { return autoBlackEnabled_; }
    void setAutoBlackEnabled(bool on) { autoBlackEnabled_ = on; }
    int blackLevel() const { return colorMap_.blackLevel(); }
    void setBlackLevel(int level) { colorMap_.setBlackLevel(level); }
    int colorGain() const { return colorMap_.colorGain(); }
    void setColorGain(int gain) { colorMap_.setColorGain(gain); }
    bool useLogSliders() const { return useLogSliders_; }

    // --- Rendering.
    // Sizes the picture to the view; a new size starts a blue picture without rows.
    void adjustBitMap();
    // Paints every row again at the pan's current centre and span, and asks for a redraw.
    void drawFullWaterfall();
    // The colour map, rebuilt from the black level and gain.
    void setupColorGradient();
    const WaterfallColorMap& colorMap() const { return colorMap_; }
    const Bitmap& waterFallBitMapRep() const { return bitmap_; }
    const WaterfallRows& rows() const { return rows_; }
    std::uint64_t frameCount() const { return frameCount_; }

    // --- The heartbeat, once a second: the tile rate and its warning. The result is true when
    // the rate was shown without a warning.
    bool heartBeatTimer(bool transmitting, bool connected);

    // --- The model's changes, bound by the application controller.
    void colorGainChanged(const std::shared_ptr<Waterfall>& waterfall, const Change* change);
    void blackLevelChanged(const std::shared_ptr<Waterfall>& waterfall, const Change* change);
    void autoBlackChanged(const std::shared_ptr<Waterfall>& waterfall, const Change* change);
    void lineDurationChanged(const std::shared_ptr<Waterfall>& waterfall, const Change* change);

    // --- The controls' actions.
    void autoBlackCheckBoxChanged();
    void blackLevelSliderChanged();
    void colorGainSliderChanged();
    void lineDurationSliderChanged();

    // Pixels and megahertz across the view's width at the pan's bandwidth (0 without either).
    double pixelsToMHz(double pixels) const;
    double mhzToPixels(double mhz) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void waterfallTiles(std::vector<std::shared_ptr<WaterfallTile>>& tiles);
    void waterfallTile(const std::shared_ptr<WaterfallTile>& tile);
    void scrollAndRedraw();
    bool blitScanLine(int row, double startMHz, double mhzPerPixel);
    // Start frequency and megahertz per pixel of the pan as the radio renders it.
    bool panGeometry(double& startMHz, double& mhzPerPixel) const;
    std::shared_ptr<Waterfall> waterfall() const;
    bool hasControls() const { return panIndex_ >= 0 && panIndex_ <= 3; }
    void showBlackLevelPercent(int percent);
    void setSliderValue(Slider* slider, double value, bool logarithmic);
    double sliderValue(const Slider* slider) const;

    void updatePointer(const QPointF& position);
    std::shared_ptr<Slice> sliceUnderPointer() const;
    void mouseDragged(const QPointF& position);
    void setScrollingBoth(bool scrolling);
    void drawOverlay(QPainter& painter);

    DisplayController& controller_;
    std::shared_ptr<WaterfallTileInbox> inbox_;
    std::shared_ptr<Panafall> myPanafall_;
    QPointer<WaterFallView> myPanAdapterView_;
    WaterfallControls controls_;
    TextField* frameStatus_ = nullptr;
    int panIndex_ = 0;

    Bitmap bitmap_;
    WaterfallRows rows_;
    WaterfallColorMap colorMap_;
    int rowWidth_ = 0;  // the view's size when the picture was last sized
    int rowCount_ = 0;
    bool resizing_ = false;
    bool scrolling_ = false;
    bool autoBlackEnabled_ = false;
    bool firstTileReceived_ = false;
    bool busyLogged_ = false;  // the tiles found no picture, and that was logged
    bool useLogSliders_ = true;
    bool debug_ = false;
    std::uint64_t frameCount_ = 0;
    DispatchClock::time_point lastCalc_;

    QPointF mouseLocation_;
    double mouseMHz_ = 0;
    double vfoLineSkirt_ = 0;
    double dragStartMHz_ = 0;
    std::shared_ptr<Slice> mouseOverSlice_;
    bool mouseInWaterfall_ = false;
    VMMegahertzFormatter formatter_;
    QString offlineReason_;
};

}  // namespace vm
