// The panadapter observers: each pan's display controls, its tab label and its gain pop-up follow
// the panafall shown in that pan, and a panafall shown nowhere changes nothing.
#include "ObserverFixture.h"

#include "app/windows/PanControls.h"
#include "app/windows/PanSettingsPage.h"
#include "app/windows/PanadapterPrefsPage.h"
#include "app/windows/PreferencesWindow.h"
#include "support/LogCapture.h"

#include <QTabWidget>

#include <gtest/gtest.h>

namespace vm {
namespace {

class PanObservers : public test::ObserverFixture {
protected:
    void SetUp() override {
        ObserverFixture::SetUp();
        openRadio();
    }
    // A panafall shown in pan 2, its values stored before it is bound.
    std::shared_ptr<Panafall> shownPan(const std::function<void(Panafall&)>& fill = {}) {
        auto pan = Panafall::create(link, "0x40000002");
        pan->band.store("40");
        pan->bandwidth.store(0.15f);
        if (fill) {
            fill(*pan);
        }
        controller->panafallCreatedNotification({"PanafallCreated", pan, {}});
        return pan;
    }
    PanControls& controls() { return *controller->panControls[2]; }
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
    controller->openRadio->radioRunQueue()->sync([&] {
        controller->openRadio->parseRadioStream("S1|xvtr 2 name=2m_Xvtr rf_freq=144.0 in_use=1");
    });
    test::mainQueueBarrier();
    const auto pan = shownPan();
    QTabWidget& tabs = prefsControl<QTabWidget>("panadapterTabView");
    EXPECT_EQ(tabs.tabText(2), "40 M");
    const struct {
        const char* band;
        const char* label;
    } cases[] = {{"X2", "2m_Xvtr"}, {"X7", "?"}, {"X", "?"}, {"20", "20 M"}};
    for (const auto& [band, label] : cases) {
        pan->band.set(band);
        EXPECT_EQ(tabs.tabText(2).toStdString(), label) << band;
    }
}

TEST_F(PanObservers, TheControlsFollowThePanAndThePanShownNowhereChangesNothing) {
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
    PopUpButton& dax = *controller->prefsWindow->panadapterPage().settings(2)->daxIqPopup;
    EXPECT_EQ(dax.title(), "None");
    pan->daxIQ.set(1);
    EXPECT_EQ(dax.title(), "1");
    pan->center.set(7.2f);
    EXPECT_EQ(controls().bandText->stringValue(), "7.200");

    // Its twin under another id, never shown: nothing moves, nothing is logged as an error.
    test::LogCapture capture;
    auto stray = Panafall::create(link, "0x40000009");
    controller->centerChanged(stray, nullptr);
    controller->fpsChanged(stray, nullptr);
    controller->bandChanged(stray, nullptr);
    EXPECT_EQ(controls().bandText->stringValue(), "7.200");
    EXPECT_FALSE(capture.contains(":Error"));
    controller->minDbmChanged(nullptr, nullptr);
    EXPECT_TRUE(capture.contains("minDbmChanged:Error"));
}

}  // namespace
}  // namespace vm
