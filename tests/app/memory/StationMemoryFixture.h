#pragma once
// The station memory's rooms without the application, offscreen, in a session with the simulated
// radio: a host of the test's own gives them the session's radio, its active slice (from the
// slices the radio reports), a panadapter frequency for the TNF picks and a record of what they
// asked of it.
#include "app/control/SliceLookups.h"
#include "app/memory/TnfHost.h"
#include "app/memory/UserMemoryHost.h"
#include "attach/RadioObjects.h"
#include "objects/Slice.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/Alert.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimLines.h"

#include "radio/SimSessionFixture.h"

#include <fmt/format.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vm::test {

class StationHost : public UserMemoryHost, public TnfHost {
public:
    std::shared_ptr<Radio> radio;
    std::vector<std::shared_ptr<Slice>> slices;
    std::optional<double> mouseMHz, hudCenter;
    std::vector<std::string> told;

    bool radioIsOpen() const override { return radio != nullptr; }
    std::shared_ptr<Slice> activeVFO() const override { return lookups::activeVFO(slices); }
    std::shared_ptr<Slice> sliceWithNumber(int number) const override {
        return lookups::sliceWithNumber(slices, number);
    }
    Text radioCallsign() const override { return "N0CALL"; }
    Number rfPowerLevel() const override { return 42; }
    void setRfPowerLevel(Number level) override {
        told.push_back(fmt::format("rf power {}", level.value_or(-1)));
    }
    void showBandOfMemory(double presentMHz, double memoryMHz) override {
        told.push_back(fmt::format("band of {:g} on the pan of {:g}", memoryMHz, presentMHz));
    }
    std::optional<QPalette> windowAppearance() const override { return std::nullopt; }
    void showNotification(const std::string& title, const std::string&) override {
        told.push_back("notification " + title);
    }
    std::shared_ptr<Radio> openRadio() const override { return radio; }
    std::optional<double> mouseMHzOfLastPanEntered() const override { return mouseMHz; }
    std::optional<double> centerOfHudPanafall() const override { return hudCenter; }
};

// Answers every alert with the button of `index` and keeps what the alerts said.
class AlertAnswers {
public:
    explicit AlertAnswers(int index) {
        previous_ = Alert::setTestResponder([this, index](Alert& alert) {
            messages.push_back(alert.messageText());
            return index;
        });
    }
    ~AlertAnswers() { Alert::setTestResponder(previous_); }
    std::vector<std::string> messages;

private:
    Alert::TestResponder previous_;
};

class StationMemoryFixture : public SimSessionFixture {
protected:
    void SetUp() override {
        attach = attachRadioObjects;
        ASSERT_NO_FATAL_FAILURE(SimSessionFixture::SetUp());
        host->radio = radio;
        sliceCreated_ = NotificationCenter::defaultCenter().addObserver(
            "SliceCreated", [this](const Notification& notification) {
                host->slices.push_back(std::static_pointer_cast<Slice>(notification.object));
            });
    }
    void TearDown() override {
        NotificationCenter::defaultCenter().removeObserver(sliceCreated_);
        SimSessionFixture::TearDown();
    }

    std::shared_ptr<Slice> addSlice(int number, const std::string& settings) {
        const std::size_t before = host->slices.size();
        EXPECT_TRUE(sim->sendStatus(sim::sliceStatus(number, "in_use=1 " + settings)));
        EXPECT_TRUE(waitFor([&] { return host->slices.size() > before; }));
        mainQueueBarrier();
        return host->slices.back();
    }

    // The commands starting with `prefix` the radio received from the `start`th on, once the
    // main queue, the slices' queues and the radio's have sent what they were asked.
    std::vector<std::string> commandsFrom(std::size_t start, const std::string& prefix) {
        std::vector<DispatchQueuePtr> queues{radio->radioRunQueue()};
        for (const auto& slice : host->slices) {
            queues.push_back(slice->sliceRunQueue());
        }
        return commandsSince(*radio, *sim, start, prefix, queues);
    }
    std::size_t commandCount() {
        commandBarrier(*radio, *sim);
        return sim->commandTexts().size();
    }

    std::shared_ptr<StationHost> host = std::make_shared<StationHost>();

private:
    NotificationCenter::Token sliceCreated_ = 0;
};

}  // namespace vm::test
