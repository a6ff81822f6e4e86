// The spectrum trace, the grid with its labels and the frequency under the pointer.
#include "display/PanSpotObject.h"
#include "display/Panafall.h"
#include "display/views/PanAdapterView.h"
#include "display/views/PanadapterGrid.h"
#include "platform/ui/ColorWell.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vm {

void PanAdapterView::drawfft(QPainter& painter) {
    if (numFrameBins_ == 0) {
        return;
    }
    const double center = myPanafall_->center().value_or(0);
    const double bandwidth = myPanafall_->bandwidth().value_or(0);
    fft_path.clear();
    if (center != 0 && bandwidth != 0) {
        // Bin i is column i: columns right of the view are not drawn (one past its edge is, so the
        // trace reaches it), and no more bins than the array holds are read.
        const auto columns = static_cast<std::uint32_t>(std::max(0, width())) + 1;
        const std::uint32_t count = std::min({numFrameBins_, PanafallFFTFrame::kMaxBins, columns});
        inbox_->copyBins(bins_->data(), count);
        const std::uint16_t* bins = bins_->data();
        for (std::uint32_t i = 0; i < count; ++i) {
            fft_path.append(QPointF(i, bins[i]));  // height - bin, in view coordinates
        }
        const QColor fill = wellColor(controls_.fftColorWell, defaultFftColor());
        if (fill.alphaF() > 0.01) {
            const double w = width();
            const double h = height();
            const qsizetype traceLength = fft_path.size();
            fft_path << QPointF(w + 1, fft_path.back().y()) << QPointF(w + 1, h + 1)
                     << QPointF(-1, h + 1) << QPointF(-1, 0);
            QPainterPath area;
            area.addPolygon(fft_path);
            fillPath(painter, area, fill);
            fft_path.resize(traceLength);  // the closing edges lie outside the view
        }
    }
    painter.setPen(QPen(QColor::fromRgbF(0, 1, 0), 0.75));
    painter.drawPolyline(fft_path);
    fft_path.clear();
}

void PanAdapterView::drawGrids(QPainter& painter, std::vector<QRectF>& ink) {
    const double w = width();
    const double h = height();
    const TextStyle& style = lightGrayFontAttrDictionary;
    const QFontMetricsF metrics(style.font);
    // A label and the widget rectangle it covers; a line's rectangle is two pixels across.
    const auto label = [&](const QString& text, double x, double y) {
        drawText(painter, text, style, x, y);
        ink.push_back(toWidgetRect(x, y, metrics.horizontalAdvance(text), metrics.height()));
    };
    for (const GridMark& mark :
         frequencyGridMarks(myPanafall_->center().value_or(0), myPanafall_->bandwidth().value_or(0),
                            horizontalTicks())) {
        const double x = mhzToPixels(mark.offset);
        addVerticalLine(grid_path, x, 1, h);
        ink.push_back(QRectF(x - 1, 0, 2, h));
        label(QString::fromStdString(mark.label), x + 3, 1);
    }
    for (const GridMark& mark :
         levelGridMarks(myPanafall_->minDbm().value_or(0), myPanafall_->maxDbm().value_or(0),
                        verticalTicks())) {
        const double y = mark.offset * h;
        addHorizontalLine(grid_path, 0, w, y);
        ink.push_back(toWidgetRect(0, y - 1, w, 2));
        // Right-aligned 4 points from the right edge, just below its line.
        const QString text = QString::fromStdString(mark.label);
        label(text, w - metrics.horizontalAdvance(text) - 4, y - metrics.height());
    }
    strokePath(painter, grid_path, 0.5, QColor::fromRgbF(0.9f, 0.9f, 1.0f));
}

PanadapterGridLayer::Inputs PanAdapterView::gridInputs(const QPainter& painter) const {
    // The device painted on: a widget's paint may be redirected to an image of another ratio.
    const QPaintDevice* device =
        painter.paintEngine() ? painter.paintEngine()->paintDevice() : painter.device();
    return {.size = size(),
            .pixelRatio = device ? device->devicePixelRatioF() : 1.0,
            .center = myPanafall_->center().value_or(0),
            .span = myPanafall_->bandwidth().value_or(0),
            .minDbm = myPanafall_->minDbm().value_or(0),
            .maxDbm = myPanafall_->maxDbm().value_or(0),
            .horizontalTicks = horizontalTicks(),
            .verticalTicks = verticalTicks(),
            .font = lightGrayFontAttrDictionary.font,
            .textColor = lightGrayFontAttrDictionary.color};
}

void PanAdapterView::drawMouseMhz(QPainter& painter) {
    if (!mouseInPanView_) {
        return;
    }
    const double mhz = mouseOverSpot_ ? mouseOverSpot_->megahertz : mouseMHz_;
    const auto text = vmMegahertzFormatter_.stringForObjectValue(mhz);
    if (!text) {
        return;
    }
    const QString label = QString::fromStdString(*text);
    const double textWidth =
        QFontMetricsF(lightGrayFontAttrDictionary.font).horizontalAdvance(label);
    const QPointF pointer = toViewPoint(mouseLocation_);
    const double x = width() < pointer.x() + textWidth ? pointer.x() - textWidth : pointer.x();
    drawText(painter, label, lightGrayFontAttrDictionary, x, pointer.y() + 12);
}

}  // namespace vm
