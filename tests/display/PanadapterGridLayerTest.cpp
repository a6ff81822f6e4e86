// The panadapter grid's picture: drawn once and reused while the span, the level range, the tick
// settings, the size and the pixel ratio stay, and put over the frame looking as the grid drawn
// straight onto it does. Pictures go to build/screenshots/.
#include "display/Panafall.h"
#include "display/views/PanAdapterView.h"
#include "display/views/PanadapterGridLayer.h"
#include "platform/ui/Screenshot.h"
#include "platform/ui/Slider.h"
#include "support/QueueBarrier.h"
#include "support/display/FakeDisplayController.h"

#include "DisplayTestSupport.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace vm {
namespace {

// The largest difference of any channel between two pictures of one size.
int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

QImage background(QSize size, double ratio) {
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(PanAdapterView::backgroundColor());
    return image;
}

// The layer against the same drawing painted straight onto the background: thin lines at
// fractional places and antialiased text, at pixel ratios 1 and 2.
TEST(PanadapterGridLayer, LooksLikeTheGridDrawnStraightOntoTheFrame) {
    const QSize size(300, 120);
    QFont font(QStringLiteral("Helvetica"));
    font.setPixelSize(12);
    const auto grid = [&](QPainter& painter, std::vector<QRectF>& ink) {
        QPainterPath lines;
        for (double x : {10.3, 77.5, 150.0, 299.6}) {
            lines.moveTo(x, size.height() - 1);
            lines.lineTo(x, 0);
            ink.push_back(QRectF(x - 1, 0, 2, size.height()));
        }
        lines.moveTo(0, 60.4);
        lines.lineTo(size.width(), 60.4);
        ink.push_back(QRectF(0, 59.4, size.width(), 2));
        painter.strokePath(lines, QPen(QColor::fromRgbF(0.9f, 0.9f, 1.0f), 0.5));
        painter.setFont(font);
        painter.setPen(QColor::fromRgbF(2 / 3.0f, 2 / 3.0f, 2 / 3.0f));
        const QFontMetricsF metrics(font);
        const QString text = QStringLiteral("14.025");
        painter.drawText(QPointF(80.5, 100), text);
        ink.push_back(QRectF(80.5, 100 - metrics.ascent(), metrics.horizontalAdvance(text),
                             metrics.height()));
    };
    for (const double ratio : {1.0, 2.0}) {
        SCOPED_TRACE(ratio);
        QImage straight = background(size, ratio);
        {
            QPainter painter(&straight);
            std::vector<QRectF> ink;
            grid(painter, ink);
        }
        PanadapterGridLayer layer;
        PanadapterGridLayer::Inputs inputs;
        inputs.size = size;
        inputs.pixelRatio = ratio;
        QImage cached = background(size, ratio);
        {
            QPainter painter(&cached);
            layer.paint(painter, inputs, grid);
        }
        EXPECT_LE(largestDifference(straight, cached), 2);
        EXPECT_EQ(layer.redraws(), 1);
    }
}

// A pan from 14.0 to 14.2 MHz, -140 to -40 dBm, with no trace (no frame yet): the view paints
// the background and the grid alone.
class PanadapterGridPictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::setDrawingSpan(*pan);
        view.resize(1000, 300);
        view.setMyPanafall(pan);
        for (int i = 0; i < 4; ++i) {
            for (Slider* s : {&horizontal[i], &vertical[i]}) {
                s->setMinValue(2);
                s->setMaxValue(20);
            }
            controls.horizontalAxisTicksSliders[i] = &horizontal[i];
            controls.verticalAxisTicksSliders[i] = &vertical[i];
        }
        view.setControls(controls);
    }
    void TearDown() override { test::mainQueueBarrier(); }

    QImage render(double ratio = 1) {
        QImage image(view.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        QPainter painter(&image);
        view.drawRect(painter);
        return image;
    }
    // The whole of the grid's picture over the background: what the view shows when every pixel
    // the grid drew is put over the frame.
    QImage wholePicture(double ratio = 1) const {
        QImage image = background(view.size(), ratio);
        QPainter painter(&image);
        painter.drawImage(QPointF(0, 0), view.gridLayer().picture());
        return image;
    }

    std::shared_ptr<test::RecordingLink> link = std::make_shared<test::RecordingLink>();
    std::shared_ptr<Panafall> pan = Panafall::create(link, "0x40000000");
    test::FakeDisplayController controller;
    PanAdapterView view{controller};
    std::array<Slider, 4> horizontal;
    std::array<Slider, 4> vertical;
    PanAdapterControls controls;
};

TEST_F(PanadapterGridPictureTest, RedrawnOnlyWhenWhatItShowsChanges) {
    struct Case {
        const char* name;
        std::function<void()> change;
        bool redrawn;
        double ratio = 1;
    };
    const Case cases[] = {
        {"nothing changed", [] {}, false},
        {"centre", [&] { pan->center.set(14.15f); }, true},
        {"bandwidth", [&] { pan->bandwidth.set(0.1f); }, true},
        {"maximum dBm", [&] { pan->maxDbm.set(-20.0f); }, true},
        {"minimum dBm", [&] { pan->minDbm.set(-150.0f); }, true},
        {"frequency ticks", [&] { horizontal[0].setIntValue(5); }, true},
        {"level ticks", [&] { vertical[0].setIntValue(4); }, true},
        {"another pan's ticks", [&] { vertical[2].setIntValue(7); }, false},
        {"size", [&] { view.resize(800, 250); }, true},
        {"pixel ratio", [] {}, true, 2},
        {"same pixel ratio again", [] {}, false, 2},
    };
    render();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::mainQueueBarrier();
        const int before = view.gridLayer().redraws();
        c.change();
        const QImage shown = render(c.ratio);
        EXPECT_EQ(view.gridLayer().redraws() - before, c.redrawn ? 1 : 0);
        // Nothing the grid drew is left out, and nothing of an earlier grid is left over.
        EXPECT_EQ(shown, wholePicture(c.ratio));
    }
    test::saveScreenshot(view, "panadapter_grid_picture.png");

    // A frame draws the trace under the grid; the picture stays.
    const int before = view.gridLayer().redraws();
    const test::TestFftFrame frame(std::vector<std::uint16_t>(800, 150), 0, 0);
    view.panafallData()->fftFrame(frame.frame());
    test::mainQueueBarrier();
    const QImage withTrace = render(2);
    EXPECT_EQ(view.gridLayer().redraws(), before);
    EXPECT_NE(withTrace, wholePicture(2));
}

// The frequency labels sit right of their lines: at 14.000 MHz (x 0) on a span that starts
// there, and 20 pixels in once the span starts at 14.006 MHz (its first line is 14.010 MHz).
TEST_F(PanadapterGridPictureTest, LabelsFollowTheSpan) {
    const auto labelPixels = [&](const QImage& image, int left) {
        int n = 0;
        for (int y = 280; y < 300; ++y) {
            for (int x = left; x < left + 12; ++x) {
                const QColor c = image.pixelColor(x, y);
                n += (c.red() > 70 && std::abs(c.red() - c.blue()) < 25) ? 1 : 0;
            }
        }
        return n;
    };
    const QImage first = render();
    EXPECT_GT(labelPixels(first, 3), 5) << "14.000 at x 3";
    test::saveScreenshot(view, "panadapter_grid_span_14000.png");

    pan->center.set(14.106f);
    const QImage moved = render();
    EXPECT_EQ(labelPixels(moved, 3), 0) << "no line, no label left of 14.010";
    EXPECT_GT(labelPixels(moved, 23), 5) << "14.010 at x 23";
    EXPECT_EQ(moved, wholePicture());
    test::saveScreenshot(view, "panadapter_grid_span_14006.png");
}

}  // namespace
}  // namespace vm
