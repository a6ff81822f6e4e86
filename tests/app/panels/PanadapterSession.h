#pragma once
// Pan 0's controller with the simulated radio's panadapter (0x40000000, waterfall 0x42000000),
// bound and shown as the app controller binds it, and the radio's removal routed to it as the app
// controller routes it.
#include "PanadapterFixture.h"

#include "display/PanSessionSupport.h"
#include "display/Panafall.h"
#include "platform/core/NotificationCenter.h"
#include "support/sim/SimRadio.h"

#include <gtest/gtest.h>

namespace vm::test {

class PanadapterSession : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(startPanSession(sim, radio, pan, delegate, 800, 200));
        ASSERT_TRUE(sim->waitForStreamDestination());
        removals = NotificationCenter::defaultCenter().addObserver(
            "PanafallDeleted", nullptr, nullptr, [this](const Notification& note) {
                controller->cancelPanafalKVO(std::static_pointer_cast<Panafall>(note.object));
            });
        controller->loadPanafallKVO(pan);
        controller->loadPanafallWindow(pan);
    }
    void TearDown() override {
        NotificationCenter::defaultCenter().removeObserver(removals);
        if (radio) {
            radio->close();
        }
        controller.reset();
        mainQueueBarrier();
    }
    PanControls& controls() { return *controller->panControls; }

    std::unique_ptr<sim::SimRadio> sim;
    std::shared_ptr<StateRecorder> delegate = std::make_shared<StateRecorder>();
    std::shared_ptr<Radio> radio;
    std::shared_ptr<Panafall> pan;
    NotificationCenter::Token removals{};

    FakePanadapterHost host;
    FakeDisplayController display;
    PanSettingsPage settings{0};
    std::shared_ptr<PanadapterController> controller =
        PanadapterController::create(0, host, display, &settings);
};

}  // namespace vm::test
