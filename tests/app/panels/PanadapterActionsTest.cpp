// What the operator does with a pan's display controls, its settings page and the split bar,
// against the simulated radio: each control sends its command for the pan it belongs to, values
// that are no frequency send nothing, the waterfall's share lays the two views out and is kept,
// and the grid's tick counts and the colours reach the panadapter view at once and are kept for
// the next start.
#include "PanadapterSession.h"

#include "app/windows/PanadapterWindow.h"
#include "app/windows/ViewSplit.h"
#include "display/views/PanAdapterView.h"
#include "display/views/WaterFallView.h"
#include "platform/core/Defaults.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/Colors.h"
#include "platform/ui/Screenshot.h"
#include "support/sim/SimLines.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <functional>

namespace vm {
namespace {

using test::waitFor;

constexpr const char* kSet = "display panafall set 0x40000000 ";

struct ControlCase {
    const char* name;
    std::function<void(PanControls&, PanSettingsPage&)> act;
    const char* sent;  // after "display panafall set <id> "
};

class PanControlSends : public test::PanadapterSession,
                        public ::testing::WithParamInterface<ControlCase> {
protected:
    bool sent(const std::string& pairs) {
        const auto texts = sim->commandTexts();
        return std::find(texts.begin(), texts.end(), kSet + pairs) != texts.end();
    }
};

TEST_P(PanControlSends, ItsCommandToThePan) {
    GetParam().act(controls(), settings);
    EXPECT_TRUE(waitFor([&] { return sent(GetParam().sent); })) << GetParam().sent;
}

void moveSlider(Slider* slider, double value) {
    slider->setDoubleValue(value);
    slider->sendAction();
}

void choose(PopUpButton* popup, const std::string& title) {
    popup->selectItemWithTitle(title);
    popup->sendAction();
}

INSTANTIATE_TEST_SUITE_P(
    DisplayControls, PanControlSends,
    ::testing::Values(
        ControlCase{"Span",
                    [](PanControls& c, PanSettingsPage&) { moveSlider(c.bandwidthSlider, 0.15); },
                    "bandwidth=0.150000 autocenter=0"},
        ControlCase{"Average",
                    [](PanControls& c, PanSettingsPage&) { moveSlider(c.averageSlider, 40); },
                    "average=40"},
        ControlCase{"FrameRate",
                    [](PanControls& c, PanSettingsPage&) { moveSlider(c.fpsSlider, 20); },
                    "fps=20"},
        ControlCase{"Floor",
                    [](PanControls& c, PanSettingsPage&) { moveSlider(c.minDbmSlider, -125); },
                    "min_dbm=-125.000000"},
        ControlCase{"Top",
                    [](PanControls& c, PanSettingsPage&) { moveSlider(c.maxDbmSlider, -30); },
                    "max_dbm=-30.000000"},
        ControlCase{"BlankerLevel",
                    [](PanControls& c, PanSettingsPage&) { moveSlider(c.wnbLevelSlider, 60); },
                    "wnb_level=60"},
        ControlCase{"Blanker",
                    [](PanControls& c, PanSettingsPage&) {
                        c.wnbButton->setState(true);
                        c.wnbButton->sendAction();
                    },
                    "wnb=1"},
        ControlCase{"Preamp",
                    [](PanControls& c, PanSettingsPage&) {
                        c.preAmpListPopup->addItems({"0", "10", "20"});
                        choose(c.preAmpListPopup, "10");
                    },
                    "rfgain=10.000000"},
        ControlCase{"TypedCentre",
                    [](PanControls& c, PanSettingsPage&) {
                        c.bandText->setStringValue("7.2");
                        emit c.bandText->endEditing();
                    },
                    "center=7.200000 autocenter=0"},
        ControlCase{"DaxIqNone",
                    [](PanControls&, PanSettingsPage& s) { choose(s.daxIqPopup, "None"); },
                    "daxiq=0"},
        ControlCase{"DaxIqChannel",
                    [](PanControls&, PanSettingsPage& s) { choose(s.daxIqPopup, "3"); },
                    "daxiq=3"}),
    [](const ::testing::TestParamInfo<ControlCase>& param) {
        return std::string(param.param.name);
    });

using PanadapterActions = test::PanadapterSession;

// The waterfall's controls under the pan follow its waterfall and send to it.
TEST_F(PanadapterActions, TheWaterfallControlsFollowThePansWaterfallAndSendToIt) {
    ASSERT_TRUE(sim->sendStatus(sim::waterfallStatus(test::kSessionWaterfall, "line_duration=80")));
    ASSERT_TRUE(waitFor([&] { return controls().lineDurationText->intValue() == 80; }));
    EXPECT_EQ(controls().lineDurationSlider->doubleValue(), 80);

    moveSlider(controls().lineDurationSlider, 60);
    controls().autoBlackEnabledCheckBox->click();
    const auto sentToWaterfall = [&](const std::string& pairs) {
        const auto texts = sim->commandTexts();
        return std::find(texts.begin(), texts.end(), "display panafall set 0x42000000 " + pairs) !=
               texts.end();
    };
    EXPECT_TRUE(waitFor([&] {
        return sentToWaterfall("line_duration=60") &&
               sentToWaterfall(controls().autoBlackEnabledCheckBox->state() ? "auto_black=1"
                                                                            : "auto_black=0");
    }));
}

// A centre field that reads as no frequency shows the pan's centre again and sends nothing: the
// frame-rate command sent after it arrives with no centre command before it.
TEST_F(PanadapterActions, ACentreThatIsNoFrequencySendsNothing) {
    ASSERT_TRUE(sim->sendStatus(sim::panStatus(test::kSessionPan, "center=14.100000")));
    ASSERT_TRUE(waitFor([&] { return controls().bandText->stringValue() == "14.100"; }));
    for (const char* typed : {"0", "-3", "abc"}) {
        controls().bandText->setStringValue(typed);
        emit controls().bandText->endEditing();
        EXPECT_EQ(controls().bandText->stringValue(), "14.100") << typed;
    }
    moveSlider(controls().fpsSlider, 12);
    ASSERT_TRUE(waitFor([&] {
        const auto texts = sim->commandTexts();
        return std::find(texts.begin(), texts.end(), std::string(kSet) + "fps=12") != texts.end();
    }));
    for (const std::string& text : sim->commandTexts()) {
        EXPECT_FALSE(text.starts_with(std::string(kSet) + "center=")) << text;
    }
}

// The widest span chosen bounds the span slider, is kept under the pan's own key, and the span
// is sent again within it.
TEST_F(PanadapterActions, TheWidestSpanBoundsTheSliderIsKeptAndResendsTheSpan) {
    settings.maxBandwidthPopup->addItems({"0.5", "1.0", "2.0"});
    controls().bandwidthSlider->setDoubleValue(1.5);
    choose(settings.maxBandwidthPopup, "1.0");
    EXPECT_EQ(controls().bandwidthSlider->maxValue(), 1.0);
    EXPECT_EQ(controls().bandwidthSlider->doubleValue(), 1.0);
    EXPECT_EQ(Defaults::standard().stringForKey("max_band_width_1"), "1.0");
    EXPECT_TRUE(waitFor([&] {
        const auto texts = sim->commandTexts();
        return std::find(texts.begin(), texts.end(),
                         std::string(kSet) + "bandwidth=1.000000 autocenter=0") != texts.end();
    }));
}

// The share slider lays the views out by the waterfall's share, marks both views as resizing
// while it moves and keeps the share once it stops; the split bar moves the same share.
TEST_F(PanadapterActions, TheWaterfallShareLaysTheViewsOutAndIsKept) {
    EXPECT_EQ(ViewSplit::panadapterHeight(30, 1000), 700);
    EXPECT_EQ(ViewSplit::panadapterHeight(0, 1000), 1000);
    EXPECT_EQ(ViewSplit::panadapterHeight(100, 1000), 0);

    PanadapterWindow& window = *controller->velmoraSDRWindow;
    window.resize(900, 700);
    ASSERT_TRUE(waitFor([&] { return window.viewSplit->height() > 400; }));
    const ViewSplit& split = *window.viewSplit;
    PanAdapterView& panView = *controller->panAdapterView;
    WaterFallView& waterfallView = *controller->waterFallView;
    const auto laidOutAt = [&](int share) {
        const int panHeight = ViewSplit::panadapterHeight(share, split.height());
        return panView.height() == panHeight &&
               waterfallView.height() == split.height() - panHeight &&
               panView.mapTo(&split, QPoint(0, 0)).y() == 0 &&
               waterfallView.mapTo(&split, QPoint(0, 0)).y() == panHeight;
    };

    moveSlider(settings.viewProportion, 30);
    EXPECT_TRUE(panView.resizing());
    EXPECT_TRUE(waterfallView.resizing());
    EXPECT_EQ(settings.viewProportionText->intValue(), 30);
    EXPECT_TRUE(waitFor([&] { return laidOutAt(30); }));
    EXPECT_FALSE(panView.resizing());
    EXPECT_FALSE(waterfallView.resizing());
    EXPECT_EQ(Defaults::standard().integerForKey("view_proportion"), 30);
    test::saveScreenshot(window, "panadapter_window_waterfall_share_30.png");

    // The split bar dragged down by a tenth of the window gives the waterfall 10 percent less.
    controller->dragPanadapterViews(-10);
    EXPECT_EQ(settings.viewProportion->doubleValue(), 20);
    EXPECT_EQ(Defaults::standard().integerForKey("view_proportion"), 20);
    EXPECT_TRUE(waitFor([&] { return laidOutAt(20); }));

    // The share holds when the window is resized.
    window.resize(900, 500);
    EXPECT_TRUE(waitFor([&] { return split.height() < 400 && laidOutAt(20); }));
}

// The grid's tick counts and the colours chosen on the settings page show on the panadapter at
// once and are kept; the next start shows them again.
TEST_F(PanadapterActions, TicksAndColoursShowAtOnceAndAreKeptForTheNextStart) {
    for (const char* key : {"vertical_axis_ticks", "horizontal_axis_ticks", "fft_color_well_00"}) {
        Defaults::standard().remove(key);
    }
    ASSERT_TRUE(sim->sendStatus(sim::panStatus(
        test::kSessionPan, "center=14.100000 bandwidth=0.200000 min_dbm=-130 max_dbm=-40")));
    PanAdapterView& view = *controller->panAdapterView;
    ASSERT_TRUE(waitFor([&] { return controls().bandText->stringValue() == "14.100"; }));
    ASSERT_TRUE(sim->sendFftFrame(test::kSessionPan,
                                  std::vector<std::uint16_t>(std::size_t(view.width()), 40), 1, 2));
    ASSERT_TRUE(waitFor([&] { return view.numFrameBins() == std::uint32_t(view.width()); }));
    EXPECT_EQ(settings.verticalAxisTicksSlider->doubleValue(), 10) << "nothing stored yet";
    const QImage before = view.grab().toImage();

    moveSlider(settings.verticalAxisTicksSlider, 3);
    moveSlider(settings.horizontalAxisTicksSlider, 4);
    const QColor red = QColor::fromRgbF(1, 0, 0, 1);
    settings.fftColorWell->setColor(red);
    settings.fftColorWell->sendAction();
    test::mainQueueBarrier();
    const QImage after = view.grab().toImage();
    test::saveScreenshot(view, "panadapter_ticks_3_4_red_fill.png");
    EXPECT_NE(after, before);
    // The fill under the trace (the trace sits low in the view) is the chosen red.
    const QColor under = after.pixelColor(view.width() / 2 + 13, view.height() * 3 / 4);
    EXPECT_GT(under.red(), 200);
    EXPECT_LT(under.green(), 60);

    EXPECT_EQ(Defaults::standard().integerForKey("vertical_axis_ticks"), 3);
    EXPECT_EQ(Defaults::standard().integerForKey("horizontal_axis_ticks"), 4);
    const auto stored = Defaults::standard().object("fft_color_well_00");
    ASSERT_TRUE(stored);
    EXPECT_EQ(colors::fromPlist(*stored), red);

    // The next start: a new page and controller show what was kept.
    PanSettingsPage nextSettings{0};
    const auto next = PanadapterController::create(0, host, display, &nextSettings);
    EXPECT_EQ(nextSettings.verticalAxisTicksSlider->doubleValue(), 3);
    EXPECT_EQ(nextSettings.horizontalAxisTicksSlider->doubleValue(), 4);
    EXPECT_EQ(nextSettings.fftColorWell->color(), red);
    EXPECT_EQ(nextSettings.filterColorWell->color(), PanAdapterView::defaultFilterColor());
    EXPECT_EQ(nextSettings.tnfColorWell->color(), PanAdapterView::defaultTnfColor());
}

}  // namespace
}  // namespace vm
