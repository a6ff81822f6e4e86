// The panadapter observers: the pan's display controls, its tab label and its gain pop-up follow
// the panafall the pan shows, and a panafall shown elsewhere changes nothing.
#include "PanadapterFixture.h"

#include "display/Panafall.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <functional>

namespace vm {
namespace {

class PanObservers : public test::PanadapterFixture {
protected:
    // The panafall shown in this pan, its values stored before it is bound.
    std::shared_ptr<Panafall> shownPan(const std::function<void(Panafall&)>& fill = {}) {
        auto pan = Panafall::create(nullptr, "0x40000002");
        pan->band.store("40");
        pan->bandwidth.store(0.15f);
        if (fill) {
            fill(*pan);
        }
        controller->loadPanafallKVO(pan);
        return pan;
    }
    std::vector<std::string> gainTitles() {
        std::vector<std::string> titles;
        PopUpButton& popup = *controls().preAmpListPopup;
        for (int i = 0; i < popup.numberOfItems(); ++i) {
            titles.push_back(popup.itemText(i).toStdString());
        }
        return titles;
    }
};

TEST_F(PanObservers, TheGainPopUpIsBuiltFromTheRadiosGainList) {
    const struct {
        const char* name;
        TextList list;
        bool shown;
        std::vector<std::string> items;
        std::string selected;
    } cases[] = {
        {"range", {"-10", "20", "10"}, true, {"-10", "0", "10", "20"}, "10"},
        {"range not a whole number of steps", {"0", "25", "10"}, true, {"0", "10", "20"}, "10"},
        {"lowest above highest", {"30", "20", "10"}, true, {}, ""},
        {"zero step", {"0", "20", "0"}, true, {"0"}, ""},
        {"two names", {"LOW", "HIGH"}, true, {"LOW", "HIGH"}, ""},
        {"one entry", {"0"}, false, {}, ""},
        {"none", {}, false, {}, ""},
    };
    const auto pan = shownPan([](Panafall& p) { p.rfGain.store(10); });
    for (const auto& c : cases) {
        pan->preAmpList.set(c.list);
        EXPECT_EQ(controls().preAmpListPopup->isVisibleTo(&controls()), c.shown) << c.name;
        EXPECT_EQ(gainTitles(), c.items) << c.name;
        EXPECT_EQ(controls().preAmpListPopup->title(), c.selected) << c.name;
    }
    // The gain the radio reports selects its item; one that is not there keeps the selection.
    pan->preAmpList.set(TextList{"-10", "20", "10"});
    pan->rfGain.set(-10);
    EXPECT_EQ(controls().preAmpListPopup->title(), "-10");
    pan->rfGain.set(5);
    EXPECT_EQ(controls().preAmpListPopup->title(), "-10");
}

TEST_F(PanObservers, TheTabCarriesTheBandOrTheTransvertersName) {
    const auto pan = shownPan();
    EXPECT_EQ(host.tabLabels[kPan], "40 M");
    const struct {
        const char* band;
        const char* label;
    } cases[] = {{"X2", "xvtr 2"}, {"20", "20 M"}};
    for (const auto& [band, label] : cases) {
        pan->band.set(band);
        EXPECT_EQ(host.tabLabels[kPan], label) << band;
    }
    EXPECT_EQ(host.tabLabels.size(), 1u) << "only this pan's tab";
}

TEST_F(PanObservers, TheControlsFollowThePanAndAPanShownElsewhereChangesNothing) {
    const auto pan = shownPan([](Panafall& p) {
        p.center.store(7.15f);
        p.minDbm.store(-120.4f);
        p.maxDbm.store(-30.6f);
        p.fps.store(20);
        p.average.store(55);
        p.wnb.store(true);
        p.wnbLevel.store(70);
        p.daxIQ.store(0);
    });
    EXPECT_EQ(controls().bandText->stringValue(), "7.150");
    EXPECT_EQ(controls().bandwidthText->stringValue(), "0.150");
    EXPECT_EQ(controls().minDbmText->stringValue(), "-120");
    EXPECT_EQ(controls().maxDbmText->stringValue(), "-31");
    EXPECT_EQ(controls().fpsSlider->doubleValue(), 20);
    EXPECT_EQ(controls().averageText->intValue(), 55);
    EXPECT_TRUE(controls().wnbButton->state());
    EXPECT_EQ(controls().wnbLevelText->intValue(), 70);
    PopUpButton& dax = *settings.daxIqPopup;
    EXPECT_EQ(dax.title(), "None");
    pan->daxIQ.set(1);
    EXPECT_EQ(dax.title(), "1");
    pan->center.set(7.2f);
    EXPECT_EQ(controls().bandText->stringValue(), "7.200");

    // Its twin under another id, shown by another pan: nothing moves, no error is logged.
    test::LogCapture capture;
    auto stray = Panafall::create(nullptr, "0x40000009");
    controller->centerChanged(stray, nullptr);
    controller->fpsChanged(stray, nullptr);
    controller->bandChanged(stray, nullptr);
    controller->daxIqChanged(stray, nullptr);
    EXPECT_EQ(controls().bandText->stringValue(), "7.200");
    EXPECT_EQ(host.tabLabels[kPan], "40 M");
    EXPECT_FALSE(capture.contains(":Error"));
    controller->minDbmChanged(nullptr, nullptr);
    EXPECT_TRUE(capture.contains("minDbmChanged:Error"));
}

TEST_F(PanObservers, TheDebugLinesNameThePanAndItsValues) {
    host.debugOn = true;
    test::LogCapture capture;
    const auto pan = shownPan([](Panafall& p) {
        p.fps.store(25);
        p.wnbUpdating.store(true);
        p.preAmpList.store(TextList{"0", "20", "10"});
    });
    for (const char* line : {"fpsChanged:thisPanafall:[0x40000002] fps:[25]",
                             "wnbUpdatingChanged:thisPanafall:[0x40000002] wnbUpdating:[1]",
                             "preAmpListChanged:thisPanafall:[0x40000002] count:[3] "
                             "preAmpList:[0,20,10]",
                             "loadGainPopup:low:0 high:20 step:10", "bandChanged:[40]",
                             "droppedFramesChanged:[0]", "waterfallChanged:waterfall.streamId:[]",
                             "panDimensionsChanged:width:[100] height:[100]"}) {
        EXPECT_TRUE(capture.contains(line)) << line;
    }
}

}  // namespace
}  // namespace vm
