#pragma once
// A session of the application with the simulated radio: the controller launched as the program
// does, every test starting as a new user, and the radio announced, opened and bound on request.
#include "ControlEnvironment.h"

#include "app/control/RemoteRadioServer.h"
#include "app/shell/AppFixture.h"
#include "app/windows/MainControlsBar.h"
#include "platform/core/DispatchClock.h"
#include "platform/ui/PopUpButton.h"
#include "radio/Radio.h"
#include "radio/SimSessionFixture.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimRadio.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vm::test {

// The DoroLink client's list, as the chooser sees it.
class FakeRemoteRadios : public RemoteRadioServer {
public:
    std::vector<std::shared_ptr<RadioInstance>> radios;
    std::vector<std::string> connectRequests, removed;

    std::vector<std::shared_ptr<RadioInstance>> remoteRadios() const override { return radios; }
    void sendConnectMessageToRadio(const std::string& serial) override {
        connectRequests.push_back(serial);
    }
    void removeRadio(const std::string& serial) override { removed.push_back(serial); }
};

inline std::shared_ptr<RadioInstance> remoteRadio(const std::string& name,
                                                  const std::string& status) {
    auto radio = std::make_shared<RadioInstance>();
    radio->name = name;
    radio->serialNum = "R-" + name;
    radio->status = status;
    radio->wanRadio = true;
    return radio;
}

class ConnectingFixture : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        // Every test starts as a new user: what an earlier session saved is gone.
        Defaults& defaults = Defaults::standard();
        for (const auto& [key, value] : defaults.dictionaryRepresentation()) {
            defaults.remove(key);
        }
        sim = sim::SimRadio::start();
        ASSERT_TRUE(sim);
        sim->scriptStartupReplies();
        serial = sim->identity().serial;
    }
    void TearDown() override {
        if (controller && controller->openRadio) {
            controller->radioClosed();
        }
        AppFixture::TearDown();
    }

    PopUpButton& chooser() { return *controller->mainControls->radioPortNamePopUp; }
    std::vector<std::string> chooserTitles() {
        std::vector<std::string> titles;
        for (int i = 0; i < chooser().count(); ++i) {
            titles.push_back(chooser().itemText(i).toStdString());
        }
        return titles;
    }
    bool announce(sim::DiscoveryFields fields = {}) {
        if (fields.empty()) {
            fields = sim->discoveryFields();
        }
        return sim->announce({"127.0.0.1", controller->radioFactory->localPort()}, fields);
    }
    bool sent(const std::string& command) {
        const auto texts = sim->commandTexts();
        return std::find(texts.begin(), texts.end(), command) != texts.end();
    }
    std::size_t count(const std::string& command) {
        const auto texts = sim->commandTexts();
        return static_cast<std::size_t>(std::count(texts.begin(), texts.end(), command));
    }
    // Moves the dispatch clock on and runs what fell due on the main queue.
    void advance(DispatchClock::duration time) {
        test::advanceBarrier(DispatchQueue::main(), time);
    }
    // Opens the announced radio through the controller, as a double click does.
    void connect() {
        ASSERT_TRUE(runEventsUntil(
            [&] { return !controller->radioFactory->availableRadioInstances().empty(); }));
        const auto record = controller->radioFactory->availableRadioInstances().front();
        ASSERT_TRUE(controller->connectToDoroRadio(record, "127.0.0.1", sim->commandPort(), false));
    }
    void connectAsGui() {
        ASSERT_TRUE(announce());
        connect();
        ASSERT_TRUE(runEventsUntil([&] { return controller->radioStartupComplete; }));
    }

    std::unique_ptr<sim::SimRadio> sim;
    std::string serial;
};

}  // namespace vm::test
