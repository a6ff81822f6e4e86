// The panadapter's picture on Qt's offscreen platform, probed pixel by pixel: background, trace,
// grid, slices with their flags and passbands, notch filters, band edges and spots. Pictures go
// to build/screenshots/.
#include "display/PanSpotObject.h"
#include "display/Panafall.h"
#include "display/views/PanAdapterView.h"
#include "objects/Slice.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/Screenshot.h"
#include "radio/MemorySlot.h"
#include "radio/Radio.h"
#include "radio/TNF.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/display/FakeDisplayController.h"

#include "DisplayTestSupport.h"

#include <fmt/format.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace vm {
namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 300;

// A colour test on one pixel.
using PixelTest = bool (*)(QColor);
bool isGreen(QColor c) { return c.green() > 100 && c.red() < 50 && c.blue() < 90; }
bool isRed(QColor c) { return c.red() > 150 && c.green() < 80 && c.blue() < 80; }
bool isYellow(QColor c) { return c.red() > 100 && c.green() > 100 && c.blue() < 80; }
bool isMagenta(QColor c) { return c.red() > 100 && c.blue() > 100 && c.green() < 80; }
bool isPale(QColor c) { return c.red() > 60 && c.green() > 80 && c.blue() > 90; }
// Grey text: the three channels close together and well above the background.
bool isGray(QColor c) {
    return c.red() > 70 && std::abs(c.red() - c.green()) < 25 &&
           std::abs(c.green() - c.blue()) < 25;
}

// A pan from 14.000 to 14.200 MHz, 1000 pixels wide (200 Hz a pixel), -140 to -40 dBm.
class PanAdapterDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::setDrawingSpan(*pan);
        view = std::make_unique<PanAdapterView>(controller);
        view->resize(kWidth, kHeight);
        view->setMyPanafall(pan);
        pan->setDelegate(view->panafallData());
    }
    void TearDown() override { test::mainQueueBarrier(); }

    // One packet from the pan's queue, then the main thread's part.
    void deliver(std::vector<std::uint16_t> bins, std::uint32_t start = 0,
                 std::uint32_t total = 0) {
        const test::TestFftFrame frame(std::move(bins), start, total);
        pan->runQueue()->async(
            [data = view->panafallData(), frame] { data->fftFrame(frame.frame()); });
        test::queueBarrier(pan->runQueue());
    }
    QImage render() const {
        QImage image(view->size(), QImage::Format_RGB32);
        QPainter painter(&image);
        view->drawRect(painter);
        return image;
    }
    // Pixels of a widget rectangle that pass the test.
    static int count(const QImage& image, QRect area, PixelTest test) {
        int n = 0;
        area &= image.rect();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                n += test(image.pixelColor(x, y)) ? 1 : 0;
            }
        }
        return n;
    }
    // A spot's label rectangle (view coordinates, origin lower left) as a widget rectangle.
    static QRect widgetRect(const SpotRect& r) {
        return QRectF(r.x, kHeight - r.y - r.height, r.width, r.height).toAlignedRect();
    }
    std::shared_ptr<Slice> slice(int number, const char* mhz, int lo, int hi) {
        auto s = Slice::create(link, number);
        s->sliceFrequency.set(std::string(mhz));
        s->sliceFilterLo.set(lo);
        s->sliceFilterHi.set(hi);
        s->sliceRxAnt.set(std::string("ANT1"));
        s->sliceTxAnt.set(std::string("ANT2"));
        controller.slices.push_back(s);
        return s;
    }
    static std::shared_ptr<PanSpotObject> spot(const char* call, double mhz, double age) {
        auto s = std::make_shared<PanSpotObject>();
        s->combinedCallsign = call;
        s->megahertz = mhz;
        s->timestamp = Date::now() + -age;
        return s;
    }
    std::shared_ptr<Radio> openRadio() {
        controller.radio =
            Radio::createDetached(std::make_shared<RadioInstance>(), {}, "velmoraSDR", 0);
        return controller.radio;
    }

    // The span's ends as the view computes them from the pan's single-precision values.
    double startMHz() const { return double(14.1f) - double(0.2f) / 2; }
    double endMHz() const { return double(14.1f) + double(0.2f) / 2; }

    std::shared_ptr<test::RecordingLink> link = std::make_shared<test::RecordingLink>();
    std::shared_ptr<Panafall> pan = Panafall::create(link, "0x40000000");
    test::FakeDisplayController controller;
    std::unique_ptr<PanAdapterView> view;
};

// The known frame: a noise floor about 230 pixels down, a signal at 14.070 MHz (x 350) and one
// at 14.120 MHz (x 600).
std::vector<std::uint16_t> knownFrame() {
    std::vector<std::uint16_t> bins(kWidth);
    for (int i = 0; i < kWidth; ++i) {
        bins[i] = static_cast<std::uint16_t>(228 + (i * 37) % 7);
    }
    for (int i = 345; i <= 355; ++i) {
        bins[i] = 90;
    }
    for (int i = 598; i <= 612; ++i) {
        bins[i] = 110;
    }
    return bins;
}

TEST_F(PanAdapterDrawingTest, AKnownFrameWithSlicesNotchEdgesAndSpots) {
    const auto bins = knownFrame();
    deliver(bins);
    // Three slices whose flags cover one another: A (active, transmit, USB) at x 600, B (LSB) at
    // x 650, C (locked and detached, CW) at x 700; all in the right half, so flags sit left of
    // their lines.
    auto a = slice(0, "14.120000", 100, 2900);
    a->sliceActive.set(true);
    a->sliceTxEnabled.set(true);
    slice(1, "14.130000", -2900, -100);
    auto c = slice(2, "14.140000", -250, 250);
    c->sliceLocked.set(true);
    c->detached.set(1);
    // A 2 kHz notch at 14.055 MHz (x 275, edges at 270 and 280).
    auto radio = openRadio();
    radio->tnfEnabled.set(1);
    auto tnf = std::make_shared<TNF>();
    tnf->frequency = 14.055;
    tnf->width = 0.002;
    radio->tnfs()->with([&](auto& list) { list.push_back(tnf); });
    // The band from 14.010 (x 50) to 14.190 MHz (x 950).
    controller.lowerEdges = {14.010};
    controller.upperEdges = {14.190};
    // Spots of three ages; the first two are 2 kHz apart, so their labels stack.
    controller.trvlSpots = true;
    controller.spots = {spot("K1ABC", 14.070, 10), spot("DL2XYZ", 14.072, 100),
                        spot("JA3QRS", 14.090, 1000)};
    controller.spots[2]->callStatus = 1;
    controller.spots[2]->workedThisBand = true;

    const QImage image = render();
    test::saveScreenshot(*view, "panadapter_known_frame.png");

    // Background where nothing else is drawn.
    EXPECT_EQ(image.pixelColor(150, 150).rgb(), PanAdapterView::backgroundColor().rgb());
    // The trace: green at each probed column's bin, nothing below it (no fill by default).
    for (const int x : {100, 350, 604, 800}) {
        EXPECT_GT(count(image, QRect(x, bins[x] - 1, 1, 3), isGreen), 0) << "trace at " << x;
    }
    for (const int x : {100, 350, 800}) {
        EXPECT_EQ(image.pixelColor(x, 260).rgb(), PanAdapterView::backgroundColor().rgb()) << x;
    }
    // The grid: lines every 25 kHz (125 pixels) and their labels at the bottom, right of them.
    EXPECT_TRUE(isPale(image.pixelColor(125, 150)) || isPale(image.pixelColor(124, 150)));
    EXPECT_GT(count(image, QRect(129, kHeight - 14, 40, 14), isGray), 10) << "label 14.025";
    EXPECT_GT(count(image, QRect(kWidth - 60, kHeight - 60, 56, 14), isGray), 10) << "-120 dBm";

    // Flags: three rows at the top, A's "TX" in red in the first; nothing in a fourth row.
    QFont large(QStringLiteral("Helvetica"));
    large.setWeight(QFont::Light);
    large.setPixelSize(18);
    const int h = static_cast<int>(QFontMetricsF(large).height());
    // Flag text in a row, away from grid and slice lines.
    const auto flagText = [&](int row, int right, PixelTest test) {
        int n = 0;
        for (int x = 300; x < right; ++x) {
            if (x % 125 > 1 && x % 125 < 124 && std::abs(x - 650) > 1) {
                n += count(image, QRect(x, row * h + 3, 1, h - 6), test);
            }
        }
        return n;
    };
    // A locked slice's flag is dark red.
    const PixelTest isLocked = [](QColor p) {
        return p.red() > 50 && p.red() < 160 && p.red() > p.green() + 20 && p.red() > p.blue() + 20;
    };
    EXPECT_GT(flagText(0, 594, isGray), 30) << "A's flag";
    EXPECT_GT(flagText(1, 644, isGray), 30) << "B's flag";
    EXPECT_GT(flagText(2, 694, isLocked), 30) << "C's flag, locked";
    EXPECT_EQ(flagText(3, 700, isGray) + flagText(3, 700, isLocked), 0) << "no fourth row";
    EXPECT_GT(count(image, QRect(300, 0, 294, h), isRed), 5) << "TX in red";
    EXPECT_EQ(count(image, QRect(300, h, 340, h), isRed), 0) << "B does not transmit";
    // Lines: the active slice yellow, the others red; passbands tinted white right of A (USB)
    // and left of B (LSB), the bar at height 18 across them.
    EXPECT_GT(count(image, QRect(599, 150, 2, 1), isYellow), 0);
    EXPECT_GT(count(image, QRect(649, 150, 2, 1), isRed), 0);
    const QColor background = PanAdapterView::backgroundColor();
    for (const int x : {607, 642}) {
        const QColor tinted = image.pixelColor(x, 150);
        EXPECT_GT(tinted.red(), background.red() + 8) << x;
        EXPECT_LT(tinted.red(), background.red() + 20) << x;
    }
    for (const int x : {595, 630, 655}) {
        EXPECT_EQ(image.pixelColor(x, 150).rgb(), background.rgb()) << "outside: " << x;
    }
    EXPECT_GT(count(image, QRect(607, kHeight - 19, 1, 2), isYellow), 0) << "A's filter bar";
    EXPECT_GT(count(image, QRect(642, kHeight - 19, 1, 2), isRed), 0) << "B's filter bar";

    // The notch: magenta edges, the filter tint between them.
    EXPECT_GT(count(image, QRect(269, 150, 2, 1), isMagenta), 0);
    EXPECT_GT(count(image, QRect(279, 150, 2, 1), isMagenta), 0);
    EXPECT_GT(image.pixelColor(275, 150).red(), background.red() + 8);

    // Band edges: green lines with their flags pointing into the band at height 18.
    EXPECT_GT(count(image, QRect(49, 150, 2, 1), isGreen), 0);
    EXPECT_GT(count(image, QRect(57, kHeight - 19, 1, 2), isGreen), 0);
    EXPECT_GT(count(image, QRect(949, 150, 2, 1), isGreen), 0);
    EXPECT_GT(count(image, QRect(942, kHeight - 19, 1, 2), isGreen), 0);
    EXPECT_EQ(count(image, QRect(30, kHeight - 19, 15, 2), isGreen), 0) << "not outside";

    // Spots: the 2 kHz neighbour's label one row up; labels and ticks coloured by age.
    const auto& spots = view->thisBandSpots();
    ASSERT_EQ(spots.size(), 3u);
    EXPECT_EQ(spots[0]->label_rect.y, 20);
    EXPECT_GT(spots[1]->label_rect.y, 20 + 10) << "stacked above K1ABC";
    EXPECT_EQ(spots[2]->label_rect.y, 20);
    struct Probe {
        const char* name;
        PixelTest label;
        PixelTest tick;
        int depth;
    };
    const Probe probes[] = {{"10 s", isMagenta, isRed, 4},
                            {"100 s", isRed, isYellow, 3},
                            {"1000 s", isYellow, isPale, 3}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(probes[i].name);
        const SpotRect& label = spots[i]->label_rect;
        const int check = i == 2 ? 12 : 0;  // the check mark is green, at the right end
        QRect text = widgetRect(label).adjusted(0, 0, -check, 0);
        EXPECT_GT(count(image, text, probes[i].label), 5);
        const int x = static_cast<int>(spots[i]->marker_x);
        const int tickTop = kHeight - static_cast<int>(label.y) - 1;
        EXPECT_GT(count(image, QRect(x - 1, tickTop, 2, probes[i].depth), probes[i].tick), 0);
    }
    EXPECT_GT(count(image, widgetRect(spots[2]->label_rect), isGreen), 3) << "worked: green check";
}

TEST_F(PanAdapterDrawingTest, FillUnderTheTraceOnlyAboveOnePercent) {
    deliver(knownFrame());
    ColorWell well;
    view->setControls({.fftColorWell = &well});
    struct Case {
        const char* name;
        double alpha;
        bool filled;
    };
    for (const Case& c : {Case{"2 %", 0.02, true}, Case{"1 %", 0.01, false},
                          Case{"none", 0.0, false}, Case{"licorice", 1.0, true}}) {
        SCOPED_TRACE(c.name);
        well.setColor(QColor::fromRgbF(1, 1, 1, c.alpha));
        const QImage image = render();
        const bool changed =
            image.pixelColor(150, 270).rgb() != PanAdapterView::backgroundColor().rgb();
        EXPECT_EQ(changed, c.filled);
        EXPECT_EQ(image.pixelColor(150, 150).rgb(), PanAdapterView::backgroundColor().rgb())
            << "above the trace";
    }
}

TEST_F(PanAdapterDrawingTest, OnlyTheBackgroundWithoutAPanOrBeforeTheFirstFrame) {
    const auto blank = [&] {
        const QImage image = render();
        return count(image, image.rect(), isGreen) == 0;
    };
    EXPECT_TRUE(blank()) << "no frame yet";
    view->setMyPanafall(nullptr);
    deliver(knownFrame());
    EXPECT_TRUE(blank()) << "no pan";
    // A pan without a centre still shows the grid, but no trace.
    view->setMyPanafall(pan);
    pan->center.set(0.0f);
    const QImage image = render();
    EXPECT_EQ(count(image, image.rect(), isGreen), 0);
    EXPECT_GT(count(image, image.rect(), isPale), 100);
}

// A frame's total above the array is held to it, and the trace stops at the view's edge.
TEST_F(PanAdapterDrawingTest, TheTraceReadsNoBinsPastTheArrayOrTheView) {
    std::vector<std::uint16_t> bins(16383, 25);
    deliver(bins, 0, 100000);
    EXPECT_EQ(view->numFrameBins(), PanafallFFTFrame::kMaxBins);
    view->resize(kWidth, 50);
    QImage image = render();
    EXPECT_GT(count(image, QRect(kWidth - 3, 0, 3, 50), isGreen), 0) << "reaches the edge";
    // A view wider than the array: the trace ends with the array's last bin.
    view->resize(20000, 50);
    image = render();
    EXPECT_GT(count(image, QRect(16380, 0, 3, 50), isGreen), 0);
    EXPECT_EQ(count(image, QRect(16390, 0, 3600, 50), isGreen), 0);
}

TEST_F(PanAdapterDrawingTest, PointerReadoutFollowsThePointerOrTheSpotUnderIt) {
    view->setMouseInPanView(true);
    view->setMouseMHz(14.0745);
    struct Case {
        const char* name;
        double x;
        bool leftOfPointer;
    };
    // The pointer at row 180: the readout's bottom 12 above it, clear of grid lines and labels.
    for (const Case& c :
         {Case{"middle", 560, false}, Case{"10 from the right", kWidth - 10, true}}) {
        SCOPED_TRACE(c.name);
        view->setMouseLocation(QPointF(c.x, 180));
        const QImage image = render();
        // Right of the pointer, short of the 14.200 MHz grid line in the last column.
        const QRect right = QRect(static_cast<int>(c.x) + 1, 150, 60, 18) & QRect(0, 0, 999, 300);
        const QRect left(static_cast<int>(c.x) - 58, 150, 57, 18);
        EXPECT_EQ(count(image, right, isGray) > 10, !c.leftOfPointer);
        EXPECT_EQ(count(image, left, isGray) > 10, c.leftOfPointer);
    }
    // Over a spot the spot's frequency is shown: the readout changes with it.
    view->setMouseLocation(QPointF(510, 180));
    const QImage pointer = render();
    auto over = spot("K1ABC", 14.1234, 5);
    view->setMouseOverSpot(over);
    const QImage overSpot = render();
    view->setMouseMHz(14.1234);
    view->setMouseOverSpot(nullptr);
    const QImage samePointer = render();
    const QRect readout(510, 150, 80, 18);
    EXPECT_NE(pointer.copy(readout), overSpot.copy(readout));
    EXPECT_EQ(overSpot.copy(readout), samePointer.copy(readout));
    view->setMouseInPanView(false);
    EXPECT_EQ(count(render(), readout, isGray), 0);
}

// Spots: collected within the span's ends, stacked in rows, memories and the radio's own list.
TEST_F(PanAdapterDrawingTest, SpotsAreCollectedStackedAndKeptWhileListsChange) {
    controller.trvlSpots = true;
    controller.spots = {spot("EDGE1", startMHz(), 10), spot("LOW", 14.1, 10),
                        spot("HIGH", 14.1001, 10),     spot("SAME", 14.1001, 10),
                        spot("EDGE2", endMHz(), 10),   spot("OUT", 14.2001, 10)};
    render();
    const auto& spots = view->thisBandSpots();
    ASSERT_EQ(spots.size(), 5u) << "both ends collected, the one outside not";
    EXPECT_EQ(spots.front()->combinedCallsign, "EDGE1");
    EXPECT_EQ(spots.back()->combinedCallsign, "EDGE2");
    const double row = spots[2]->label_rect.y - spots[1]->label_rect.y;
    EXPECT_GT(row, 10);
    EXPECT_EQ(spots[1]->label_rect.y, 20);
    EXPECT_EQ(spots[3]->label_rect.y, 20 + 2 * row) << "a third at the same place: two rows up";
    EXPECT_NEAR(spots[1]->marker_x, 500, 0.01);

    // A spot with a call status gets room for its check mark.
    const double plain = spots[1]->label_rect.width;
    controller.spots[1]->callStatus = 1;
    render();
    EXPECT_GT(view->thisBandSpots()[1]->label_rect.width, plain);

    // While the controller changes its lists the last spots stay; with every box off, none.
    controller.loadingSpotLists = true;
    controller.spots.clear();
    render();
    EXPECT_EQ(view->thisBandSpots().size(), 5u);
    controller.loadingSpotLists = false;
    controller.trvlSpots = false;
    render();
    EXPECT_TRUE(view->thisBandSpots().empty());

    // Memories: blue, with the memory's name, only while shown.
    auto memory = std::make_shared<MemorySlot>();
    memory->freq = "14.150";
    memory->name = "Net";
    memory->mode = "USB";
    controller.memories = {memory};
    controller.memoryShow = true;
    const QImage image = render();
    ASSERT_EQ(view->thisBandSpots().size(), 1u);
    EXPECT_EQ(view->thisBandSpots()[0]->combinedCallsign, "Net");
    EXPECT_FALSE(view->thisBandSpots()[0]->timestamp);
    const auto isBlue = [](QColor c) { return c.blue() > 150 && c.red() < 90; };
    EXPECT_GT(count(image, QRect(740, kHeight - 36, 20, 18), isBlue), 3);
    controller.memoryShow = false;
    render();
    EXPECT_TRUE(view->thisBandSpots().empty());
}

TEST_F(PanAdapterDrawingTest, RadioSpotsAreSkippedWhenTheirLockIsHeld) {
    auto radio = openRadio();
    radio->radio_spots()->push_back(spot("RADIO", 14.05, 5));
    controller.radioSpots = true;
    controller.trvlSpots = true;
    controller.spots = {spot("LOGGER", 14.15, 5)};
    render();
    EXPECT_EQ(view->thisBandSpots().size(), 2u);

    std::atomic<bool> held{false};
    std::atomic<bool> release{false};
    std::thread holder([&] {
        radio->radio_spots_lock()->mutex.lock();
        held = true;
        while (!release) {
            std::this_thread::yield();
        }
        radio->radio_spots_lock()->mutex.unlock();
    });
    while (!held) {
        std::this_thread::yield();
    }
    test::LogCapture log;
    render();
    release = true;
    holder.join();
    EXPECT_EQ(log.lines(), std::vector<std::string>{"drawSpots:failed to lock radio_spots"});
    ASSERT_EQ(view->thisBandSpots().size(), 1u);
    EXPECT_EQ(view->thisBandSpots()[0]->combinedCallsign, "LOGGER");
}

TEST_F(PanAdapterDrawingTest, NotchFiltersByWidthAndOnlyInsideTheSpan) {
    auto radio = openRadio();
    const auto notch = [&](double mhz, double width) {
        auto tnf = std::make_shared<TNF>();
        tnf->frequency = mhz;
        tnf->width = width;
        radio->tnfs()->with([&](auto& list) { list.push_back(tnf); });
    };
    notch(startMHz(), 0.002);  // at the start: not drawn
    notch(14.03, 0.0004);      // 2 pixels: one centre line at x 150
    notch(14.06, 0.002);       // 10 pixels: edges at 295 and 305
    notch(endMHz(), 0.002);    // at the end: not drawn
    const auto magentaAt = [](const QImage& image, int x) {
        return count(image, QRect(x - 1, 150, 2, 1), isMagenta) > 0;
    };
    EXPECT_FALSE(magentaAt(render(), 150)) << "notch filters off";
    radio->tnfEnabled.set(1);
    const QImage image = render();
    EXPECT_TRUE(magentaAt(image, 150));
    EXPECT_TRUE(magentaAt(image, 295));
    EXPECT_TRUE(magentaAt(image, 305));
    EXPECT_FALSE(magentaAt(image, 300)) << "a wide notch shows its edges, not its centre";
    // Its area has one tint from top to bottom (it is filled in bands): off the grid lines every
    // row of its centre column is the same.
    const QColor tint = image.pixelColor(300, 30);
    EXPECT_NE(tint.rgb(), PanAdapterView::backgroundColor().rgb());
    for (int y = 0; y < kHeight - 20; ++y) {
        if (y % 60 > 1 && y % 60 < 59) {
            ASSERT_EQ(image.pixelColor(300, y).rgb(), tint.rgb()) << "row " << y;
        }
    }
    EXPECT_EQ(count(image, QRect(0, 150, 6, 1), isMagenta), 0);
    EXPECT_EQ(count(image, QRect(kWidth - 6, 150, 6, 1), isMagenta), 0);
}

// No slices, or slices outside the span or on its edges: nothing of them is drawn.
TEST_F(PanAdapterDrawingTest, SlicesOutsideTheSpanAreNotDrawn) {
    const QImage empty = render();
    auto left = slice(0, fmt::format("{:.17g}", startMHz()).c_str(), 100, 2900);
    left->sliceRitEnabled.set(true);
    left->sliceRitOffset.set(5000);
    slice(1, fmt::format("{:.17g}", endMHz()).c_str(), -2900, -100);
    slice(2, "13.5", -2900, -100);
    slice(3, "not a number", -2900, -100);
    EXPECT_EQ(render(), empty);
}

}  // namespace
}  // namespace vm
