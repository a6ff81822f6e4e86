#pragma once
// One panadapter: the radio's spectrum trace over a frequency and level grid, the frequency under
// the pointer, the client's slices (tuning lines, flags, RIT and XIT lines, filter passbands),
// the tracking notch filters, the band edges and the spots. The waterfall of the same pan is
// drawn by the WaterFallView under it.
//
// Coordinates: drawing is reasoned with the origin at the lower left and y growing upward (the
// "view coordinates" below, which the spots' label rectangles keep); Qt's widget coordinates
// (origin top left) are used only at the painter and for mouse positions (`mouseLocation`).
// x = (f - startMHz) / bandwidth * width, startMHz = centre - bandwidth / 2.
//
// Files: set-up, preferences, menu, heartbeat and frames (PanAdapterView.cpp); trace, grid and
// pointer readout (PanAdapterViewTrace.cpp); slices (PanAdapterViewSlices.cpp); notch filters,
// band edges and spots (PanAdapterViewOverlays.cpp); mouse and keys (PanAdapterViewTuning.cpp).
//
// Threads: FFT packets arrive on the pan's queue and go into a PanafallFrameInbox (the pan's
// delegate, `panafallData()`), which asks the main thread for one repaint per batch; everything
// else runs on the main thread.
#include "display/views/PanAdapterControls.h"
#include "display/views/PanadapterGridLayer.h"
#include "display/views/PanafallFrameInbox.h"
#include "display/views/WaterFallView.h"
#include "platform/core/DispatchClock.h"
#include "util/VMMegahertzFormatter.h"

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPointF>
#include <QPointer>
#include <QPolygonF>
#include <QRectF>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QPainter;

namespace vm {

class ColorWell;
class DisplayController;
class Menu;
class Panafall;
class PanSpotObject;
class Slice;
class TNF;

class PanAdapterView : public QWidget {
public:
    // The radio has gone: the picture is dimmed and the reason drawn over it until it is cleared
    // (an empty reason).
    void setOfflineReason(const QString& reason);
    const QString& offlineReason() const { return offlineReason_; }

    // The spectrum's background: calibrated RGB (0, 0.14, 0.21).
    static QColor backgroundColor() { return QColor::fromRgbF(0.0f, 0.14f, 0.21f); }

    // A colour offered in the colour dialog, with its name.
    struct ColorPreset {
        const char* name;
        QColor color;
    };
    // The named presets in the order the dialog offers them ("Filter Default" first).
    static const std::array<ColorPreset, 7>& colorList();

    // Font and colour of one kind of label.
    struct TextStyle {
        QFont font;
        QColor color;
    };

    explicit PanAdapterView(DisplayController& controller, QWidget* parent = nullptr);
    ~PanAdapterView() override;

    // What the pan takes as its delegate.
    std::shared_ptr<PanafallData> panafallData() const;

    // --- Wiring by the application controller.
    const std::shared_ptr<Panafall>& myPanafall() const { return myPanafall_; }
    void setMyPanafall(std::shared_ptr<Panafall> pan) { myPanafall_ = std::move(pan); }
    WaterFallView* waterFallView() const { return waterFallView_.data(); }
    void setWaterFallView(WaterFallView* view) { waterFallView_ = view; }
    int panIndex() const { return panIndex_; }
    void setPanIndex(int index) { panIndex_ = index; }
    // Restores the tick sliders of all four pans and the colour wells of this view's pan index
    // from the defaults (set the pan index first), and connects the controls' actions.
    void setControls(const PanAdapterControls& controls);
    const PanAdapterControls& controls() const { return controls_; }
    // The context menu alone, for a menu made after the other controls; it may be shared by
    // several views.
    void setContextMenu(Menu* menu);

    // --- Preferences.
    static std::string fftKey(int index);     // "fft_color_well_%02d"
    static std::string filterKey(int index);  // "filter_color_well_%02d"
    static std::string tnfKey(int index);     // "tnf_color_well_%02d"
    // "vertical_axis_ticks" / "horizontal_axis_ticks", with the index appended for 1 to 3.
    static std::string verticalTicksKey(int index);
    static std::string horizontalTicksKey(int index);
    static QColor defaultFftColor() { return QColor::fromRgbF(0, 1, 0, 0); }
    static QColor defaultFilterColor() { return QColor::fromRgbF(1, 1, 1, 0.05f); }
    static QColor defaultTnfColor() { return QColor::fromRgbF(1, 0, 1, 1); }
    // Actions: a tick slider's pan index (0 to 3; another stores nothing); a colour well's.
    void ticksSlidersMoved(int tag);
    void fftColorWellClicked(int tag);
    void filterColorWellClicked(int tag);
    void tnfColorWellClicked(int tag);

    // --- Context menu and the slice-copy actions.
    void menuWillOpen();
    void swapVFOs();
    void setVFOBequalsVFOA();
    void setVFOAequalsVFOB();

    // --- The heartbeat, once a second: the status text. `index` is not used.
    bool heartBeatTimer(int index, bool inTx, bool connected);

    // --- Frames and drawing.
    std::uint32_t numFrameBins() const { return numFrameBins_; }
    // Frames counted since the last frame-rate check.
    std::uint64_t frameCount() const { return inbox_->frameCount(); }
    bool firstFftReceived() const { return firstFftReceived_; }
    // Paints the whole panadapter (what a repaint shows) with `painter` on this view's size.
    void drawRect(QPainter& painter);
    // The grid's picture, which drawRect() redraws only when what it shows has changed.
    const PanadapterGridLayer& gridLayer() const { return gridLayer_; }
    // Spans, not positions: MHz across the view's width at the pan's bandwidth and back (0
    // without a pan, a bandwidth or a width).
    double mhzToPixels(double mhz) const;
    double pixelsToMHz(double pixels) const;
    // The frequency at x (widget or view coordinates: x is the same in both).
    double frequencyAtX(double x) const;
    // A widget point in view coordinates (origin at the lower left).
    QPointF toViewPoint(const QPointF& widgetPoint) const;
    // The spots of the last pass with where their labels were drawn (view coordinates).
    const std::vector<std::shared_ptr<PanSpotObject>>& thisBandSpots() const {
        return thisBandSpots_;
    }

    // --- State shared by drawing and the mouse.
    bool resizing() const { return resizing_; }
    void setResizing(bool resizing) { resizing_ = resizing; }
    bool scrolling() const { return scrolling_; }
    void setScrolling(bool scrolling) { scrolling_ = scrolling; }
    bool mouseInPanView() const { return mouseInPanView_; }
    void setMouseInPanView(bool inside) { mouseInPanView_ = inside; }
    double mouseMHz() const { return mouseMHz_; }
    void setMouseMHz(double mhz) { mouseMHz_ = mhz; }
    double dragStartMHz() const { return dragStartMHz_; }
    void setDragStartMHz(double mhz) { dragStartMHz_ = mhz; }
    // Widget coordinates of the pointer at the last move, press or drag step.
    QPointF mouseLocation() const { return mouseLocation_; }
    void setMouseLocation(const QPointF& location) { mouseLocation_ = location; }
    const std::shared_ptr<PanSpotObject>& mouseOverSpot() const { return mouseOverSpot_; }
    void setMouseOverSpot(std::shared_ptr<PanSpotObject> spot) { mouseOverSpot_ = std::move(spot); }
    const std::shared_ptr<Slice>& mouseOverSlice() const { return mouseOverSlice_; }
    const std::shared_ptr<TNF>& mouseOverTNF() const { return mouseOverTNF_; }
    bool dragViews() const { return dragViews_; }
    // Hit tolerance around slice and notch frequencies, MHz: 0.001 until the first repaint, then
    // bandwidth / 80.
    double vfoLineSkirt() const { return vfoLineSkirt_; }

    // --- Spot picking (PanAdapterViewTuning.cpp): tunes the slice nearest to the spot to it (and
    // to its mode when the slice has that mode); with `lookup`, also asks the sibling logger,
    // while it runs, to look the call sign up.
    void spotSelected(const std::shared_ptr<PanSpotObject>& spot, bool lookup);

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

    // Mouse and keys (PanAdapterViewTuning.cpp).
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // --- Mouse and keys (PanAdapterViewTuning.cpp): their own helpers go here.
    void updatePointer(const QPointF& widgetPoint);  // mouseLocation_ and mouseMHz_
    bool onSplitBar(const QPointF& widgetPoint) const;
    void mouseDragged(QMouseEvent* event);
    void setResizingBoth(bool on);
    void setScrollingBoth(bool on);

    // --- Frames (PanAdapterView.cpp).
    void framesArrived();

    // --- Drawing (PanAdapterViewTrace.cpp, PanAdapterViewSlices.cpp,
    // PanAdapterViewOverlays.cpp). Overlays take the span's ends in MHz.
    void drawfft(QPainter& painter);
    // The grid and its labels, adding the widget rectangles it painted in to `ink`.
    void drawGrids(QPainter& painter, std::vector<QRectF>& ink);
    // What the grid's picture shows, for a paint with `painter`.
    PanadapterGridLayer::Inputs gridInputs(const QPainter& painter) const;
    void drawMouseMhz(QPainter& painter);
    void drawTNFs(QPainter& painter, double startMHz, double endMHz);
    void drawBandEdges(QPainter& painter, double startMHz, double endMHz);
    void drawSpots(QPainter& painter, double startMHz, double endMHz);
    void drawSlices(QPainter& painter, double startMHz, double endMHz);
    // Text with its lower-left corner at (x, y) in view coordinates.
    void drawText(QPainter& painter, const QString& text, const TextStyle& style, double x,
                  double y) const;
    // A rectangle in view coordinates as a widget rectangle.
    QRectF toWidgetRect(double x, double y, double w, double h) const;
    // A vertical line in view coordinates, from y0 up to y1.
    void addVerticalLine(QPainterPath& path, double x, double y0, double y1) const;
    void addHorizontalLine(QPainterPath& path, double x0, double x1, double y) const;
    // Fills the path with the colour, then empties it.
    void fillPath(QPainter& painter, QPainterPath& path, const QColor& color) const;
    // Strokes the path with the width and colour, then empties it.
    static void strokePath(QPainter& painter, QPainterPath& path, double width,
                           const QColor& color);
    // The grid tick count of this view's pan on each axis (10 without a slider).
    int verticalTicks() const;
    int horizontalTicks() const;
    QColor wellColor(const ColorWell* well, const QColor& fallback) const;

    DisplayController& controller_;
    std::shared_ptr<PanafallFrameInbox> inbox_;
    std::shared_ptr<Panafall> myPanafall_;
    QPointer<WaterFallView> waterFallView_;
    PanAdapterControls controls_;
    int panIndex_ = 0;

    // The spectrum as last taken from the inbox, and how many of its bins the trace draws.
    std::unique_ptr<PanafallFrameInbox::Bins> bins_;
    std::uint32_t numFrameBins_ = 0;
    bool firstFftReceived_ = false;
    DispatchClock::time_point lastCalc_;

    // Hover, drag and layout state (mostly kept by PanAdapterViewTuning.cpp).
    bool resizing_ = false;
    bool scrolling_ = false;
    bool mouseInPanView_ = false;
    bool dragViews_ = false;
    double mouseMHz_ = 0;
    double dragStartMHz_ = 0;
    double vfoLineSkirt_ = 0.001;
    QPointF mouseLocation_;
    std::shared_ptr<PanSpotObject> mouseOverSpot_;
    std::shared_ptr<Slice> mouseOverSlice_;
    std::shared_ptr<TNF> mouseOverTNF_;

    // Reusable figures: filled during a pass, stroked or filled once, then emptied.
    QPolygonF fft_path;
    QPainterPath grid_path, alt_vfo_path, main_vfo_path, xit_path, rit_path, alt_xit_path,
        alt_rit_path, filter_path, spot_path, mem_path, older_spot_path, oldest_spot_path,
        edge_path, tnf_marker_path, tnf_bandwidth_path;
    std::vector<std::shared_ptr<PanSpotObject>> thisBandSpots_;
    PanadapterGridLayer gridLayer_;
    std::vector<QRectF> sliceLabeRects;  // view coordinates
    QPointF dropShadowOffsetSize{2.0, -2.0};

    TextStyle lightGrayLargeFontAttrDictionary, lockedLargeFontAttrDictionary,
        dropShadowFontAttrDictionary, lightGrayFontAttrDictionary, grayFontAttrDictionary,
        darkGrayFontAttrDictionary, veryDarkGrayFontAttrDictionary, yellowFontAttrDictionary,
        redFontAttrDictionary, purpleFontAttrDictionary, greenFontAttrDictionary,
        bandEdgeFontAttrDictionary, blueMemFontAttrDictionary;
    VMMegahertzFormatter vmMegahertzFormatter_;
    QString offlineReason_;
};

}  // namespace vm
