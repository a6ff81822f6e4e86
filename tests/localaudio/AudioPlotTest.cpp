#include "localaudio/AudioPlot.h"
#include "localaudio/AudioPlotGL.h"

#include "platform/ui/Screenshot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

namespace vm {
namespace {

constexpr double kPi = 3.14159265358979323846;

// 512 samples at 24 kHz: 600 Hz at 0.6 with its third harmonic at 0.2.
std::vector<float> twoTones() {
    std::vector<float> samples(512);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = double(i) / 24000;
        samples[i] = float(0.6 * std::sin(2 * kPi * 600 * t) + 0.2 * std::sin(2 * kPi * 1800 * t));
    }
    return samples;
}

// Key-down flags of "CQ" in Morse, one per dit, with a word space either side.
std::vector<bool> morseCQ() {
    std::vector<bool> keyed;
    auto gap = [&](int dits) { keyed.insert(keyed.end(), std::size_t(dits), false); };
    auto element = [&](int dits) {
        keyed.insert(keyed.end(), std::size_t(dits), true);
        gap(1);
    };
    gap(7);
    for (int dits : {3, 1, 3, 1})
        element(dits);  // C
    gap(2);
    for (int dits : {3, 3, 1, 3})
        element(dits);  // Q
    gap(6);
    return keyed;
}

// Feeds `plot` one 256-sample buffer of a 700 Hz tone per step, at `amplitude(step)`.
template <class Plot, class Amplitude>
void feedTone(Plot& plot, int steps, Amplitude amplitude) {
    std::vector<float> buffer(256);
    for (int s = 0; s < steps; ++s) {
        const float a = amplitude(s);
        for (std::size_t i = 0; i < buffer.size(); ++i) {
            buffer[i] = a * float(std::sin(2 * kPi * 700 * double(s * 256 + int(i)) / 8000));
        }
        plot.updateBuffer(buffer.data(), std::uint32_t(buffer.size()));
    }
}

// The brightest value of `channel` in the rows around `y` at column `x`.
int brightestNear(const QImage& image, int x, int y, int (*channel)(QRgb)) {
    int best = 0;
    for (int row = std::max(0, y - 2); row <= std::min(image.height() - 1, y + 2); ++row) {
        best = std::max(best, channel(image.pixel(x, row)));
    }
    return best;
}

const QColor kBackground = QColor::fromRgbF(0.06f, 0.08f, 0.11f);

class DisplayCounter : public AudioDisplayLinkDelegate {
public:
    void displayLinkNeedsDisplay(AudioDisplayLink&) override { ++displays; }
    int displays = 0;
};

TEST(AudioDisplayLinkTest, ReachesTheDelegateOnlyWhileRunning) {
    DisplayCounter counter;
    auto link = AudioDisplayLink::displayLinkWithDelegate(&counter);
    EXPECT_TRUE(link->stopped());
    link->update();
    EXPECT_EQ(0, counter.displays);
    link->start();
    link->update();
    EXPECT_EQ(1, counter.displays);
    EXPECT_GT(link->intervalMilliseconds(), 0);
    // Running, it paces itself.
    QElapsedTimer timer;
    timer.start();
    while (counter.displays < 3 && timer.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    EXPECT_GE(counter.displays, 3);
    link->stop();
    const int displays = counter.displays;
    link->update();
    EXPECT_EQ(displays, counter.displays);
}

TEST(AudioPlotTest, SetUpAndRealTimePacing) {
    AudioPlot plot;
    EXPECT_TRUE(plot.shouldCenterYAxis());
    EXPECT_EQ(1.0f, plot.gain());
    EXPECT_EQ(AudioPlotType::Buffer, plot.plotType());
    EXPECT_EQ(QColor::fromHsvF(0, 1, 1, 1), plot.color());
    EXPECT_FALSE(plot.backgroundColor().isValid());
    EXPECT_EQ(100u, plot.pointCount());
    EXPECT_EQ(512, plot.rollingHistoryLength());
    EXPECT_EQ(8192, plot.setRollingHistoryLength(10000));
    EXPECT_EQ(8192, plot.rollingHistoryLength());

    // One display link however often real time is asked for; none without it.
    ASSERT_TRUE(plot.shouldOptimizeForRealtimePlot());
    AudioDisplayLink* link = plot.displayLink();
    plot.setShouldOptimizeForRealtimePlot(true);
    EXPECT_EQ(link, plot.displayLink());
    EXPECT_FALSE(link->stopped());

    // In real time a buffer shows at the next refresh, not before.
    plot.resize(200, 100);
    const std::vector<float> half(50, 0.5f);
    plot.updateBuffer(half.data(), 50);
    EXPECT_EQ(100, plot.path().elementCount());  // still the 100 initial points
    plot.displayLink()->update();
    EXPECT_EQ(50, plot.path().elementCount());
    EXPECT_EQ(75.0, plot.path().elementAt(1).y);

    plot.setShouldOptimizeForRealtimePlot(false);
    EXPECT_EQ(nullptr, plot.displayLink());
    plot.updateBuffer(half.data(), 40);
    EXPECT_EQ(40, plot.path().elementCount());
}

TEST(AudioPlotTest, SampleDataAndPaths) {
    AudioPlot plot;
    plot.setShouldOptimizeForRealtimePlot(false);
    plot.setGain(2.0f);
    const float samples[] = {0.3f, 0.25f, -0.5f, 0.4f};
    plot.setSampleData(samples, 4);
    const auto points = plot.points();
    ASSERT_EQ(4u, points.size());
    EXPECT_EQ(QPointF(0, 0), points[0]);  // the ends sit on the axis
    EXPECT_EQ(QPointF(1, 0.5), points[1]);
    EXPECT_EQ(QPointF(2, -1.0), points[2]);
    EXPECT_EQ(QPointF(3, 0), points[3]);

    struct Case {
        const char* name;
        bool centre, mirror, fill;
        std::vector<QPointF> expected;
    };
    const QRectF rect(0, 0, 400, 101);  // half height 50, x scale 100
    const Case cases[] = {
        {"centred", true, false, false, {{0, 50}, {100, 75}, {200, 0}, {300, 50}}},
        {"from the bottom", false, false, false, {{0, 0}, {100, 50}, {200, -100}, {300, 0}}},
        {"mirrored",
         true,
         true,
         false,
         {{0, 50}, {100, 75}, {200, 0}, {300, 50}, {0, 50}, {100, 25}, {200, 100}, {300, 50}}},
        {"filled", true, false, true, {{0, 50}, {100, 75}, {200, 0}, {300, 50}, {0, 50}}},
    };
    for (const Case& c : cases) {
        plot.setShouldCenterYAxis(c.centre);
        plot.setShouldMirror(c.mirror);
        plot.setShouldFill(c.fill);
        const QPainterPath path = plot.createPathWithPoints(points.data(), 4, rect);
        std::vector<QPointF> got;
        for (int i = 0; i < path.elementCount(); ++i) {
            got.emplace_back(path.elementAt(i).x, path.elementAt(i).y);
        }
        EXPECT_EQ(c.expected, got) << c.name;
    }
    EXPECT_TRUE(plot.createPathWithPoints(points.data(), 0, rect).isEmpty());
    plot.setSampleData(samples, 0);
    EXPECT_EQ(0u, plot.pointCount());
    plot.redraw();
    EXPECT_TRUE(plot.path().isEmpty());
    plot.clear();  // nothing to clear
    EXPECT_EQ(0u, plot.pointCount());
}

// The rolling history holds one RMS value per buffer; its window is what is drawn, and clearing
// keeps the point count with every value at zero.
TEST(AudioPlotTest, RollingHistoryIsDrawnAndCleared) {
    AudioPlot plot;
    plot.setShouldOptimizeForRealtimePlot(false);
    plot.setPlotType(AudioPlotType::Rolling);
    plot.setRollingHistoryLength(64);
    feedTone(plot, 100, [](int) { return 0.5f; });
    const auto points = plot.points();
    ASSERT_EQ(64u, points.size());
    EXPECT_NEAR(0.5 / std::sqrt(2.0), points[32].y(), 0.01);
    plot.clear();
    const auto cleared = plot.points();
    ASSERT_EQ(64u, cleared.size());
    EXPECT_EQ(0.0, cleared[32].y());
    EXPECT_EQ(512, plot.rollingHistoryLength());  // a fresh history
}

// A buffer from an audio thread is drawn on the GUI thread.
TEST(AudioPlotTest, BuffersFromAnotherThreadAreDrawnOnTheGuiThread) {
    AudioPlot plot;
    plot.setShouldOptimizeForRealtimePlot(false);
    plot.resize(100, 100);
    std::thread audio([&] {
        const std::vector<float> half(10, 0.5f);
        plot.updateBuffer(half.data(), 10);
    });
    audio.join();
    QElapsedTimer timer;
    timer.start();
    while (plot.path().elementCount() != 10 && timer.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(10, plot.path().elementCount());
}

// y grows upwards from the centre: a constant 0.5 is drawn a quarter of the height from the top.
TEST(AudioPlotTest, DrawsWithTheOriginAtTheLowerLeft) {
    AudioPlot plot;
    plot.setShouldOptimizeForRealtimePlot(false);
    plot.setBackgroundColor(Qt::black);
    plot.resize(200, 100);
    std::vector<float> half(64, 0.5f);
    plot.setSampleData(half.data(), 64);
    plot.redraw();
    const QImage image = plot.grab().toImage();
    EXPECT_GT(brightestNear(image, 100, 25, qRed), 100);
    EXPECT_EQ(0, brightestNear(image, 100, 75, qRed));
}

TEST(AudioPlotTest, BufferPlotPicture) {
    AudioPlot plot;
    plot.setShouldOptimizeForRealtimePlot(false);
    plot.setBackgroundColor(kBackground);
    plot.setColor(QColor::fromRgbF(0.35f, 0.85f, 1.0f));
    plot.resize(480, 160);
    const auto samples = twoTones();
    plot.updateBuffer(samples.data(), std::uint32_t(samples.size()));
    const QImage image = plot.grab().toImage();
    // The first crest: 0.566 at sample 5.
    EXPECT_GT(brightestNear(image, 5, 80 - 45, qBlue), 100);
    EXPECT_LT(brightestNear(image, 5, 80 + 45, qBlue), 60);
    test::saveScreenshot(plot, "AudioPlotBuffer.png");
}

TEST(AudioPlotTest, RollingFilledMirroredPicture) {
    AudioPlot plot;
    plot.setShouldOptimizeForRealtimePlot(false);
    plot.setBackgroundColor(kBackground);
    plot.setColor(QColor::fromRgbF(1.0f, 0.72f, 0.2f));
    plot.setPlotType(AudioPlotType::Rolling);
    plot.setShouldFill(true);
    plot.setShouldMirror(true);
    plot.setGain(1.6f);
    plot.resize(480, 160);
    const auto keyed = morseCQ();
    constexpr int kStepsPerDit = 12;
    const int steps = int(keyed.size()) * kStepsPerDit;
    plot.setRollingHistoryLength(steps);
    feedTone(plot, steps,
             [&](int s) { return keyed[std::size_t(s / kStepsPerDit)] ? 0.6f : 0.0f; });
    const QImage image = plot.grab().toImage();
    // The first dah of C is keyed both sides of the axis; the word space before it is not.
    const int dah = int((7 + 1.5) * kStepsPerDit * 480 / steps);
    EXPECT_GT(brightestNear(image, dah, 80 - 30, qRed), 200);
    EXPECT_GT(brightestNear(image, dah, 80 + 30, qRed), 200);
    EXPECT_LT(brightestNear(image, 480 * 3 / steps * kStepsPerDit, 80 - 30, qRed), 40);
    test::saveScreenshot(plot, "AudioPlotRollingFilledMirrored.png");
}

TEST(AudioPlotGLTest, VerticesOfFilledAndLineStrips) {
    AudioPlotGL plot;
    EXPECT_EQ(8192u, plot.vertexCount());
    EXPECT_EQ(QColor(Qt::white), plot.color());
    EXPECT_EQ(QColor::fromRgbF(0.569f, 0.82f, 0.478f, 1.0f), plot.backgroundColor());
    ASSERT_TRUE(plot.displayLink());
    EXPECT_FALSE(plot.displayLink()->stopped());
    plot.pauseDrawing();
    EXPECT_TRUE(plot.displayLink()->stopped());
    plot.resumeDrawing();
    EXPECT_FALSE(plot.displayLink()->stopped());

    const float samples[] = {0.3f, 0.25f, -0.5f, 0.4f};
    plot.setSampleData(samples, 4);
    EXPECT_FALSE(plot.interpolated());
    EXPECT_EQ((std::vector<QPointF>{{0, 0}, {1, 0.25}, {2, -0.5}, {3, 0}}), plot.vertices());
    plot.setShouldFill(true);
    plot.setSampleData(samples, 4);
    EXPECT_TRUE(plot.interpolated());
    EXPECT_EQ((std::vector<QPointF>{
                  {0, 0}, {0, 0}, {1, 0.25}, {1, 0}, {2, -0.5}, {2, 0}, {3, double(0.4f)}, {3, 0}}),
              plot.vertices());
    // A filled strip keeps the newest 4096 values.
    std::vector<float> many(5000);
    for (std::size_t i = 0; i < many.size(); ++i) {
        many[i] = float(i);
    }
    plot.setSampleData(many.data(), 5000);
    EXPECT_EQ(8192u, plot.vertexCount());
    EXPECT_EQ(QPointF(1, 905), plot.vertices()[2]);
    plot.setSampleData(many.data(), 0);
    EXPECT_EQ(0u, plot.vertexCount());
    plot.clear();
    EXPECT_EQ(2u, plot.vertexCount());
    EXPECT_EQ(8192, plot.setRollingHistoryLength(10000));
}

TEST(AudioPlotGLTest, FilledRollingPicture) {
    AudioPlotGL plot;
    plot.setPlotType(AudioPlotType::Rolling);
    plot.setShouldFill(true);
    plot.setShouldMirror(true);
    plot.setGain(1.8f);
    plot.resize(480, 160);
    plot.setRollingHistoryLength(400);
    // Speech-like bursts: syllables of rising and falling level, with pauses.
    feedTone(plot, 400, [](int s) {
        const double syllable = std::sin(kPi * double(s % 50) / 50);
        const double phrase = s % 200 < 150 ? 0.35 + 0.25 * std::sin(kPi * (s % 200) / 150.0) : 0.0;
        return float(syllable * syllable * phrase);
    });
    const QImage image = plot.grab().toImage();
    // Background green where nothing is drawn, white around the axis inside a syllable.
    EXPECT_EQ(QColor::fromRgbF(0.569f, 0.82f, 0.478f).rgb(), image.pixel(5, 5));
    EXPECT_EQ(qRgb(255, 255, 255), image.pixel(480 * 25 / 400, 80 + 3));
    test::saveScreenshot(plot, "AudioPlotGLFilledRolling.png");
}

TEST(AudioPlotGLTest, LineBufferPicture) {
    AudioPlotGL plot;
    plot.setBackgroundColor(kBackground);
    plot.setColor(QColor::fromRgbF(0.45f, 1.0f, 0.55f));
    plot.resize(480, 160);
    const auto samples = twoTones();
    plot.updateBuffer(samples.data(), std::uint32_t(samples.size()));
    const QImage image = plot.grab().toImage();
    EXPECT_GT(brightestNear(image, 5, 80 - 45, qGreen), 100);
    EXPECT_LT(brightestNear(image, 5, 80 + 45, qGreen), 60);
    test::saveScreenshot(plot, "AudioPlotGLLineBuffer.png");
}

}  // namespace
}  // namespace vm
