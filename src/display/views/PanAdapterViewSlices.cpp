// The client's slices: tuning lines, flags, RIT and XIT lines and filter passbands.
#include "display/Panafall.h"
#include "display/views/DisplayController.h"
#include "display/views/PanAdapterView.h"
#include "display/views/PanadapterSliceFlags.h"
#include "objects/Slice.h"
#include "platform/ui/ColorWell.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>
#include <cstdlib>

namespace vm {
namespace {

double sliceMHz(const Slice& slice) {
    const Text frequency = slice.sliceFrequency();
    return frequency ? std::strtod(frequency->c_str(), nullptr) : 0.0;
}

}  // namespace

void PanAdapterView::drawSlices(QPainter& painter, double startMHz, double) {
    const auto slices = controller_.doroSlices();
    if (slices.empty()) {
        return;
    }
    const double w = width();
    const double h = height();
    const double bandwidth = myPanafall_->bandwidth().value_or(0);
    const QFontMetricsF metrics(lightGrayLargeFontAttrDictionary.font);
    for (const auto& slice : slices) {
        if (!slice) {
            continue;
        }
        const double f = sliceMHz(*slice);
        const double dx = f - startMHz;
        const double x = dx / bandwidth * w;
        if (!(0 < x && x < w)) {  // also a bandwidth of 0
            continue;
        }
        const bool active = slice->sliceActive().value_or(false);
        const bool tx = slice->sliceTxEnabled().value_or(false);
        const bool locked = slice->sliceLocked().value_or(false);
        QPainterPath& line = active ? main_vfo_path : alt_vfo_path;
        addVerticalLine(line, x, 1, h);

        const QString label =
            QString::fromStdString(sliceFlagText(*slice, f, vmMegahertzFormatter_));
        const QRectF flag = placeSliceFlag(
            x, w, h, QSizeF(metrics.horizontalAdvance(label), metrics.height()), sliceLabeRects);
        sliceLabeRects.push_back(flag);  // x, y: the flag's lower-left corner in view coordinates

        drawText(painter, label, dropShadowFontAttrDictionary, flag.x() + dropShadowOffsetSize.x(),
                 flag.y() + dropShadowOffsetSize.y());
        const TextStyle& style =
            locked ? lockedLargeFontAttrDictionary : lightGrayLargeFontAttrDictionary;
        const qsizetype txAt = tx ? label.indexOf(QStringLiteral("TX")) : -1;
        if (txAt < 0) {
            drawText(painter, label, style, flag.x(), flag.y());
        } else {
            // The transmit mark in red, the rest in the flag's colour.
            const QString before = label.left(txAt);
            const QString mark = label.mid(txAt, 2);
            const QFontMetricsF styleMetrics(style.font);
            const double markX = flag.x() + styleMetrics.horizontalAdvance(before);
            drawText(painter, before, style, flag.x(), flag.y());
            drawText(painter, mark, TextStyle{style.font, QColor::fromRgbF(1, 0, 0)}, markX,
                     flag.y());
            drawText(painter, label.mid(txAt + 2), style,
                     markX + styleMetrics.horizontalAdvance(mark), flag.y());
        }

        const auto offsetLine = [&](const Flag& enabled, const Integer& offsetHz,
                                    QPainterPath& activePath, QPainterPath& otherPath) {
            if (enabled.value_or(false)) {
                const double xr = (double(offsetHz.value_or(0)) / 1000000 + dx) / bandwidth * w;
                addVerticalLine(active ? activePath : otherPath, xr, 1, h);
            }
        };
        offsetLine(slice->sliceRitEnabled(), slice->sliceRitOffset(), rit_path, alt_rit_path);
        offsetLine(slice->sliceXitEnabled(), slice->sliceXitOffset(), xit_path, alt_xit_path);

        const double lo = double(slice->sliceFilterLo().value_or(0)) / 1000000;
        const double hi = double(slice->sliceFilterHi().value_or(0)) / 1000000;
        const double pl = mhzToPixels(lo);
        const double ph = mhzToPixels(hi);
        if (lo < 0) {
            addHorizontalLine(line, x + ph, x + pl, 18);
        } else {
            addHorizontalLine(line, x + pl, x + ph, 18);
        }
        filter_path.addRect(toWidgetRect(x + pl, 0, std::abs(pl - ph), h));
    }

    sliceLabeRects.clear();
    fillPath(painter, filter_path, wellColor(controls_.filterColorWell, defaultFilterColor()));
    const QColor ritBlue = QColor::fromRgbF(0.3f, 0.3f, 1.0f);
    const QColor orange = QColor::fromRgbF(1.0f, 0.5f, 0.0f);
    strokePath(painter, alt_vfo_path, 1.0, QColor::fromRgbF(1, 0, 0));
    strokePath(painter, alt_rit_path, 0.75, ritBlue);
    strokePath(painter, alt_xit_path, 0.75, orange);
    strokePath(painter, main_vfo_path, 1.0, QColor::fromRgbF(1, 1, 0));
    strokePath(painter, rit_path, 0.75, ritBlue);
    strokePath(painter, xit_path, 0.75, orange);
}

}  // namespace vm
