// The wiring of the observers: this client's slices and panadapters bound when the radio reports
// them, replaced when reported again, released when deleted, and the defaults a panadapter
// without a band is given.
#include "ObserverFixture.h"

#include "app/panels/SlicePanelController.h"

#include "app/windows/MainControlsBar.h"
#include "app/windows/PanControls.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/SlicePanel.h"
#include "app/windows/ViewArea.h"
#include "display/views/WaterFallView.h"
#include "support/LogCapture.h"
#include "util/VMKVOManager.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

class ObserverWiring : public test::ObserverFixture {
protected:
    void SetUp() override {
        ObserverFixture::SetUp();
        openRadio();
    }
    std::shared_ptr<Slice> created(int number, const std::function<void(Slice&)>& fill = {}) {
        auto slice = Slice::create(link, number);
        if (fill) {
            fill(*slice);
        }
        controller->sliceCreatedNotification({"SliceCreated", slice, {}});
        return slice;
    }
    SlicePanelController& panel(int index) {
        return *controller->slicePanelControllers[std::size_t(index)];
    }
    std::vector<int> listedNumbers() const {
        std::vector<int> numbers;
        for (const auto& slice : controller->doroSlices) {
            numbers.push_back(slice->thisSliceNumber());
        }
        return numbers;
    }
};

TEST_F(ObserverWiring, ASliceReportedAgainReplacesTheOlderOneWhichIsNoLongerObserved) {
    created(3);
    const auto older = created(1);
    created(0);
    const auto newer = created(1, [](Slice& s) { s.sliceAudioLevel.store(35); });
    EXPECT_EQ(listedNumbers(), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(controller->sliceWithNumber(1), newer);
    EXPECT_EQ(panel(1).panel().volumeSlider->doubleValue(), 35);
    older->sliceAudioLevel.set(2);
    EXPECT_EQ(panel(1).panel().volumeSlider->doubleValue(), 35);
}

TEST_F(ObserverWiring, SlicesOfAnotherRadioOrWithoutARadioNameAreIgnored) {
    test::LogCapture capture;
    auto other = std::make_shared<test::RecordingLink>();
    other->radioRecord()->name = "Other";
    controller->sliceCreatedNotification({"SliceCreated", Slice::create(other, 2), {}});
    controller->sliceCreatedNotification({"SliceCreated", nullptr, {}});
    EXPECT_TRUE(controller->doroSlices.empty());
    EXPECT_FALSE(panel(2).sliceKVOManager());
    EXPECT_TRUE(
        capture.contains("sliceCreatedNotification: thisSliceNumber:[2] belongs to "
                         "radio:[Other] not to selected radio:[SimRadio]"));
    EXPECT_TRUE(capture.contains("sliceCreatedNotification: did not contain an object"));
}

TEST_F(ObserverWiring, DeletingTheAlternateSliceClearsTheAlternateVfoAndItsBinding) {
    created(0, [](Slice& s) { s.sliceActive.store(true); });
    const auto b = created(1, [](Slice& s) {
        s.sliceActive.store(false);
        s.sliceFrequency.store("7.000000");
        s.sliceAudioLevel.store(10);
    });
    test::mainQueueBarrier();
    MainControlsBar& vfo = *controller->mainControls;
    EXPECT_DOUBLE_EQ(vfo.vfo_alt_mhz->doubleValue(), 7.0);
    controller->sliceDeletedNotification({"SliceDeleted", b, {}});
    EXPECT_EQ(vfo.vfo_alt_mhz->doubleValue(), 0.0);
    EXPECT_TRUE(vfo.vfoAltText->text().isEmpty());
    EXPECT_EQ(listedNumbers(), std::vector<int>{0});
    EXPECT_FALSE(panel(1).sliceKVOManager()->registered());
    b->sliceAudioLevel.set(90);
    EXPECT_EQ(panel(1).panel().volumeSlider->doubleValue(), 10);

    test::LogCapture capture;
    controller->sliceDeletedNotification({"SliceDeleted", b, {}});
    EXPECT_TRUE(capture.contains("sliceDeletedNotification: Slice Not Found"));
}

TEST_F(ObserverWiring, ACreatedSliceShowsItsFilterPresetAndASliceWithoutAPanelIsOnlyLogged) {
    created(2, [](Slice& s) {
        s.sliceMode.store("USB");
        s.sliceFilterLo.store(100);
        s.sliceFilterHi.store(2800);
    });
    EXPECT_EQ(panel(2).panel().filterPresetPopup->title(), "2.7K")
        << "the presets are built at launch";

    test::LogCapture capture;
    created(5, [](Slice& s) {
        s.sliceMode.store("USB");
        s.sliceFilterLo.store(100);
        s.sliceFilterHi.store(1700);
    });
    EXPECT_TRUE(capture.contains(
        "setPresetPopupBasedOnFilter:Slice:5 Low:100 Hi:1700 Slice number out of range"));
    EXPECT_EQ(listedNumbers(), (std::vector<int>{2, 5}));
    for (const auto& shown : controller->slicePanelControllers) {
        EXPECT_NE(shown->panel().filterPresetPopup->title(), "1.6K");
    }
}

TEST_F(ObserverWiring, APanadapterWithoutABandIsPutOnTwentyMetresAndShownInItsWindow) {
    auto pan = Panafall::create(link, "0x40000001");
    auto waterfall = Waterfall::create(link, "0x42000001");
    pan->updateWaterfallRef(waterfall);
    waterfall->updatePanafallRef(pan);
    const std::size_t start = link->commands().size();
    controller->panafallCreatedNotification({"PanafallCreated", pan, {}});
    pan->runQueue()->sync([] {});
    waterfall->runQueue()->sync([] {});
    // The panadapter is as large as the area of its spectrum view.
    const QWidget& area = *panadapter(1).velmoraSDRWindow->panAdapterViewArea;
    ASSERT_GT(area.width(), 100);
    // Each object's commands in their order (the two objects' queues may interleave).
    std::vector<std::string> panCommands, waterfallCommands;
    const auto commands = link->commands();
    for (auto it = commands.begin() + std::ptrdiff_t(start); it != commands.end(); ++it) {
        (it->find("0x42000001") != std::string::npos ? waterfallCommands : panCommands)
            .push_back(*it);
    }
    EXPECT_EQ(panCommands, (std::vector<std::string>{
                               "display pan set 0x40000001 band=20",
                               "display panafall set 0x40000001 center=14.100000 autocenter=0",
                               "display panafall set 0x40000001 bandwidth=0.200000 autocenter=0",
                               "display panafall set 0x40000001 max_dbm=-50.000000",
                               "display panafall set 0x40000001 min_dbm=-133.000000",
                               fmt::format("display panafall set 0x40000001 xpixels={} ypixels={}",
                                           area.width(), area.height())}));
    EXPECT_EQ(waterfallCommands,
              std::vector<std::string>{"display panafall set 0x42000001 color_gain=10"});
    EXPECT_EQ(panadapter(1).panafall, pan);
    EXPECT_TRUE(panadapter(1).velmoraSDRWindow->isVisible());
    EXPECT_EQ(panadapter(1).velmoraSDRWindow->windowTitle(), "velmoraSDR 0x40000001");
    EXPECT_EQ(panadapter(1).waterFallView->myPanafall(), pan);
    EXPECT_EQ(panadapter(1).panControls->bandText->stringValue(), "14.100");
    EXPECT_EQ(panadapter(1).panControls->minDbmText->stringValue(), "-133");
    EXPECT_EQ(panadapter(1).waterFallView->colorGain(), 10);

    // Reported again under the same stream id: the newer one replaces it, bound once.
    auto again = Panafall::create(link, "0x40000001");
    again->band.store("40");
    again->bandwidth.store(0.1f);
    again->center.store(7.1f);
    controller->panafallCreatedNotification({"PanafallCreated", again, {}});
    EXPECT_EQ(controller->doroPanafalls, std::vector<std::shared_ptr<Panafall>>{again});
    EXPECT_EQ(panadapter(1).panafall, again);
    pan->center.set(1.8f);
    EXPECT_EQ(panadapter(1).panControls->bandText->stringValue(), "7.100");

    controller->panafallDeletedNotification({"PanafallDeleted", again, {}});
    EXPECT_TRUE(controller->doroPanafalls.empty());
    EXPECT_FALSE(panadapter(1).panafall);
    EXPECT_FALSE(panadapter(1).velmoraSDRWindow->isVisible());
    EXPECT_FALSE(panadapter(1).waterFallView->myPanafall());
}

TEST_F(ObserverWiring, APanadapterPastTheFourthIsListedButShownNowhere) {
    auto pan = Panafall::create(link, "0x40000005");
    pan->band.store("40");
    pan->bandwidth.store(0.1f);
    controller->panafallCreatedNotification({"PanafallCreated", pan, {}});
    EXPECT_EQ(controller->doroPanafalls.size(), 1u);
    for (const auto& shown : controller->panadapters) {
        EXPECT_NE(shown->panafall, pan);
    }
    EXPECT_EQ(pan->panDimensions(), (PanSize{0, 0}));
}

}  // namespace
}  // namespace vm
