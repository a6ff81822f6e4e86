// Tracking notch filters, band edges and spots.
#include "display/PanSpotObject.h"
#include "display/Panafall.h"
#include "display/views/DisplayController.h"
#include "display/views/PanAdapterView.h"
#include "platform/core/Log.h"
#include "platform/ui/ColorWell.h"
#include "radio/MemorySlot.h"
#include "radio/Radio.h"
#include "radio/TNF.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>

namespace vm {
namespace {

constexpr auto kSpotLockWait = std::chrono::milliseconds(100);

bool within(double mhz, double startMHz, double endMHz) { return mhz >= startMHz && mhz <= endMHz; }

}  // namespace

void PanAdapterView::drawTNFs(QPainter& painter, double startMHz, double endMHz) {
    const auto radio = controller_.openRadio();
    if (!radio || radio->tnfEnabled().value_or(0) == 0) {
        return;
    }
    const auto tnfs = radio->tnfs()->with([](const auto& list) { return list; });
    const double w = width();
    const double h = height();
    const double bandwidth = myPanafall_->bandwidth().value_or(0);
    bool drawn = false;
    for (const auto& tnf : tnfs) {
        if (!tnf || !(startMHz < tnf->frequency && tnf->frequency < endMHz)) {
            continue;
        }
        const double x = (tnf->frequency - startMHz) / bandwidth * w;
        if (!(0 < x && x < w)) {
            continue;
        }
        const double notchWidth = mhzToPixels(tnf->width);
        const double left = x - notchWidth / 2;
        if (notchWidth >= 3) {
            tnf_bandwidth_path.addRect(toWidgetRect(left, 0, notchWidth, h));
            addVerticalLine(tnf_marker_path, left, 1, h);
            addVerticalLine(tnf_marker_path, x + notchWidth / 2, 1, h);
        } else {
            tnf_bandwidth_path.addRect(toWidgetRect(left, 1, notchWidth, h));
            addVerticalLine(tnf_marker_path, x, 1, h);
        }
        drawn = true;
    }
    if (drawn) {
        fillPath(painter, tnf_bandwidth_path,
                 wellColor(controls_.filterColorWell, defaultFilterColor()));
        strokePath(painter, tnf_marker_path, 1.0,
                   wellColor(controls_.tnfColorWell, defaultTnfColor()));
    }
}

void PanAdapterView::drawBandEdges(QPainter& painter, double startMHz, double endMHz) {
    std::vector<double> lower = controller_.bandLowerEdges();
    std::vector<double> upper = controller_.bandUpperEdges();
    if ((lower.empty() && upper.empty()) || controller_.loadingBandEdges()) {
        return;
    }
    const auto inSpan = [&](std::vector<double>& edges) {
        std::erase_if(edges, [&](double mhz) { return !within(mhz, startMHz, endMHz); });
        std::sort(edges.begin(), edges.end());
    };
    inSpan(lower);
    inSpan(upper);
    const double w = width();
    const double h = height();
    const double bandwidth = myPanafall_->bandwidth().value_or(0);
    // Each edge: its line, and a flag at height 18 pointing into the band.
    const auto edge = [&](double mhz, double flagFrom, double flagTo) {
        const double x = (mhz - startMHz) / bandwidth * w;
        if (0 < x && x < w) {
            addVerticalLine(edge_path, x, 1, h);
            addHorizontalLine(edge_path, x + flagFrom, x + flagTo, 18);
        }
    };
    for (const double mhz : lower) {
        edge(mhz, 0, 14);
    }
    for (const double mhz : upper) {
        edge(mhz, -1, -14);
    }
    strokePath(painter, edge_path, 0.75, QColor::fromRgbF(0, 1, 0));
}

void PanAdapterView::drawSpots(QPainter& painter, double startMHz, double endMHz) {
    const bool loading = controller_.loadingSpots();
    if (!loading) {
        thisBandSpots_.clear();
    }
    const bool memoriesOn = controller_.memoryShowOn();
    const bool loggerSpotsOn = controller_.trvlSpotsOn();
    const bool radioSpotsOn = controller_.radioSpotsOn();
    if (memoriesOn && !loading) {
        for (const auto& memory : controller_.userMemories()) {
            const double mhz =
                memory && memory->freq ? std::strtod(memory->freq->c_str(), nullptr) : 0.0;
            if (memory && within(mhz, startMHz, endMHz)) {
                auto spot = std::make_shared<PanSpotObject>();
                spot->combinedCallsign = memory->name.value_or("");
                spot->megahertz = mhz;
                spot->mode = memory->mode.value_or("");
                spot->callStatus = -1;
                thisBandSpots_.push_back(std::move(spot));
            }
        }
    }
    const auto collect = [&](const std::vector<std::shared_ptr<PanSpotObject>>& spots) {
        for (const auto& spot : spots) {
            if (spot && within(spot->megahertz, startMHz, endMHz)) {
                thisBandSpots_.push_back(spot);
            }
        }
    };
    if (loggerSpotsOn && !loading) {
        collect(controller_.localSpots());
    }
    const auto radio = radioSpotsOn && !loading ? controller_.openRadio() : nullptr;
    if (radio) {
        // The list is read only under its lock, its emptiness too.
        const auto& lock = radio->radio_spots_lock();
        if (lock->tryLockFor(kSpotLockWait)) {
            collect(*radio->radio_spots());
            lock->mutex.unlock();
        } else {
            log("drawSpots:failed to lock radio_spots");
        }
    }
    if ((!memoriesOn && !loggerSpotsOn && !radioSpotsOn) || thisBandSpots_.empty()) {
        return;
    }

    std::stable_sort(thisBandSpots_.begin(), thisBandSpots_.end(),
                     [](const auto& a, const auto& b) { return a->megahertz < b->megahertz; });
    const QFontMetricsF metrics(lightGrayFontAttrDictionary.font);
    const QString check = QStringLiteral("\u221A");
    const double checkWidth = metrics.horizontalAdvance(check);
    const double rowHeight = metrics.height();
    for (const auto& spot : thisBandSpots_) {
        const double labelWidth =
            metrics.horizontalAdvance(QString::fromStdString(spot->combinedCallsign));
        spot->marker_x = mhzToPixels(spot->megahertz - startMHz);
        spot->marker_y = 20;
        spot->label_rect = {spot->marker_x - labelWidth / 2, 20,
                            labelWidth + 3 + (spot->callStatus > 0 ? checkWidth : 0),
                            metrics.height()};
    }
    // Labels that would cover an earlier one climb a row above it, as often as needed.
    const auto rectOf = [](const SpotRect& r) { return QRectF(r.x, r.y, r.width, r.height); };
    for (const auto& a : thisBandSpots_) {
        for (const auto& b : thisBandSpots_) {
            if (b == a) {
                break;
            }
            if (rectOf(b->label_rect).intersects(rectOf(a->label_rect))) {
                a->label_rect.y = b->label_rect.y + rowHeight;
            }
        }
    }

    const Date now = Date::now();
    for (const auto& spot : thisBandSpots_) {
        // Label colour, tick path and tick depth: the spot under the pointer, a memory, then by
        // age.
        struct Look {
            const TextStyle& style;
            QPainterPath& marker;
            double depth;
        };
        const double age = spot->timestamp ? std::abs(now.secondsSinceReferenceDate -
                                                      spot->timestamp->secondsSinceReferenceDate)
                                           : 0;
        const Look look = mouseOverSpot_ && spot->similarSpot(*mouseOverSpot_)
                              ? Look{greenFontAttrDictionary, spot_path, 4}
                          : !spot->timestamp ? Look{blueMemFontAttrDictionary, mem_path, 4}
                          : age < 30         ? Look{purpleFontAttrDictionary, spot_path, 4}
                          : age < 300        ? Look{redFontAttrDictionary, older_spot_path, 3}
                          : age < 1800       ? Look{yellowFontAttrDictionary, oldest_spot_path, 3}
                                       : Look{darkGrayFontAttrDictionary, oldest_spot_path, 3};
        const SpotRect& label = spot->label_rect;
        painter.setFont(look.style.font);
        painter.setPen(look.style.color);
        painter.drawText(toWidgetRect(label.x, label.y, label.width, label.height),
                         Qt::AlignLeft | Qt::AlignTop,
                         QString::fromStdString(spot->combinedCallsign));
        addVerticalLine(look.marker, spot->marker_x, label.y - look.depth, label.y + 1);
        if (spot->callStatus > 0) {
            drawText(painter, check,
                     spot->workedThisBand ? greenFontAttrDictionary : redFontAttrDictionary,
                     label.x + label.width - checkWidth - 2, label.y);
        }
    }
    strokePath(painter, oldest_spot_path, 0.5, QColor::fromRgbF(0.9f, 0.9f, 1.0f));
    strokePath(painter, older_spot_path, 1.0, QColor::fromRgbF(1, 1, 0));
    strokePath(painter, spot_path, 1.0, QColor::fromRgbF(1, 0, 0));
    strokePath(painter, mem_path, 1.0, QColor::fromRgbF(0.16f, 0.52f, 1.0f));
}

}  // namespace vm
