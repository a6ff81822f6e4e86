#pragma once
// The application bound to the simulated radio with slices of its own, and what the radio
// received for them. The slice panels' controls are driven as the user drives them: a value is
// set and the control's action sent.
#include "ConnectingFixture.h"

#include "app/windows/SlicePanel.h"
#include "objects/Slice.h"
#include "platform/core/NotificationCenter.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vm::test {

class SlicePanelFixture : public ConnectingFixture {
protected:
    void TearDown() override {
        NotificationCenter::defaultCenter().removeObserver(sliceCreated_);
        ConnectingFixture::TearDown();
    }

    // Launches and binds; `older` binds a radio without the newer interface.
    void connectRadio(bool older = false) {
        if (older) {
            sim::SimRadioOptions options;
            options.identity.version = "2.4.9.0";
            sim = sim::SimRadio::start(options);
            ASSERT_TRUE(sim);
            sim->scriptStartupReplies();
        }
        launch();
        sliceCreated_ = NotificationCenter::defaultCenter().addObserver(
            "SliceCreated", [this](const Notification&) { ++slicesCreated_; });
        connectAsGui();
    }

    // The radio reports a slice of this client with these settings; the controller then holds
    // it among its slices, as the slice-creation handler leaves it.
    std::shared_ptr<Slice> addSlice(int number, const std::string& settings) {
        const int before = slicesCreated_;
        const std::string handle = controller->openRadio->clientHandle().value_or("");
        EXPECT_TRUE(sim->sendStatus("slice " + std::to_string(number) +
                                    " in_use=1 client_handle=" + handle + " " + settings));
        EXPECT_TRUE(runEventsUntil([&] { return slicesCreated_ > before; }));
        mainQueueBarrier();
        auto slice = controller->openRadio->sliceAt(number);
        auto& slices = controller->doroSlices;
        if (slice && std::find(slices.begin(), slices.end(), slice) == slices.end()) {
            slices.push_back(slice);
            std::sort(slices.begin(), slices.end(), [](const auto& a, const auto& b) {
                return a->thisSliceNumber() < b->thisSliceNumber();
            });
        }
        return slice;
    }

    SlicePanel& panel(int index) { return *controller->slicePanels[index]; }

    // Every command the controller's changes have sent by now has reached the radio: the queued
    // setters have run, the slices and the radio have sent, and a marker sent after them has
    // arrived.
    void settle() {
        mainQueueBarrier();
        for (const auto& slice : controller->doroSlices) {
            queueBarrier(slice->sliceRunQueue());
        }
        queueBarrier(controller->openRadio->radioRunQueue());
        commandBarrier(*controller->openRadio, *sim);
    }
    // Starts a new record of what the radio receives.
    void mark() {
        settle();
        marked_ = sim->commandTexts().size();
    }
    // What the radio received since the mark, without the keep-alive and the markers.
    std::vector<std::string> receivedSinceMark() {
        settle();
        auto texts = sim->commandTexts();
        texts.erase(texts.begin(), texts.begin() + std::ptrdiff_t(marked_));
        std::erase(texts, "ping");
        std::erase_if(texts, isCommandBarrier);
        return texts;
    }

private:
    NotificationCenter::Token sliceCreated_ = 0;
    int slicesCreated_ = 0;
    std::size_t marked_ = 0;
};

}  // namespace vm::test
