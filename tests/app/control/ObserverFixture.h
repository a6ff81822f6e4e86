#pragma once
// The launched controller with slices and panadapters of a session that records what they send
// and answers nothing, bound as the radio's notifications bind them. The radio it names is
// "SimRadio", as is the controller's open radio when a test opens one.
#include "app/shell/AppDelegate.h"
#include "app/shell/AppFixture.h"
#include "display/DisplayTestSupport.h"
#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "objects/ObjectsTestSupport.h"
#include "objects/Slice.h"
#include "support/QueueBarrier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace vm::test {

class ObserverFixture : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        link->radioRecord()->name = "SimRadio";
        launch();
        // The observers are checked one change at a time: the heartbeat, which retitles the tabs
        // and windows each second, would write in between.
        controller->appTimers.reset();
    }
    void TearDown() override {
        if (controller) {
            controller->radioClosed();
        }
        mainQueueBarrier();
        AppFixture::TearDown();
    }

    // The controller's open radio: a session that does not connect, named as the link's radio.
    void openRadio() {
        auto record = std::make_shared<RadioInstance>();
        record->name = "SimRadio";
        controller->openRadio =
            Radio::createDetached(record, {}, "velmoraSDR", 0, attachRadioObjects);
    }

    // A slice of the session, its values stored (not announced) by `fill`, listed and bound.
    std::shared_ptr<Slice> boundSlice(int number, const std::function<void(Slice&)>& fill = {}) {
        auto slice = Slice::create(link, number);
        if (fill) {
            fill(*slice);
        }
        auto& slices = controller->doroSlices;
        slices.push_back(slice);
        std::stable_sort(slices.begin(), slices.end(), [](const auto& a, const auto& b) {
            return a->thisSliceNumber() < b->thisSliceNumber();
        });
        controller->loadKVOSlice(slice);
        return slice;
    }

    // What the session's objects sent, once their queues have run.
    std::vector<std::string> sent() {
        mainQueueBarrier();
        for (const auto& slice : controller->doroSlices) {
            slice->sliceRunQueue()->sync([] {});
        }
        return link->commands();
    }
    std::vector<std::string> sentSince(std::size_t start) {
        const auto all = sent();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(start, all.size())), all.end()};
    }

    std::shared_ptr<RecordingLink> link = std::make_shared<RecordingLink>();
};

}  // namespace vm::test
