#pragma once
// A panadapter controller on its own: pan `kPan`'s window and views talking to a fake display
// controller, its settings page, and a host that keeps the tab labels it is given and names
// every transverter band after its key.
#include "app/panels/PanadapterController.h"
#include "app/panels/PanadapterHost.h"
#include "app/windows/PanControls.h"
#include "app/windows/PanSettingsPage.h"
#include "support/QueueBarrier.h"
#include "support/display/FakeDisplayController.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace vm::test {

class FakePanadapterHost : public PanadapterHost {
public:
    bool debugEnabled() const override { return debugOn; }
    std::string xvtrNameForXKey(const std::string& band) const override {
        return "xvtr " + band.substr(1);
    }
    void setPanadapterTabLabel(int pan, const std::string& label) override {
        tabLabels[pan] = label;
    }

    bool debugOn = false;
    std::map<int, std::string> tabLabels;
};

class PanadapterFixture : public ::testing::Test {
protected:
    static constexpr int kPan = 2;

    void TearDown() override {
        controller.reset();
        mainQueueBarrier();
    }

    PanControls& controls() { return *controller->panControls; }

    FakePanadapterHost host;
    FakeDisplayController display;
    PanSettingsPage settings{kPan};
    std::shared_ptr<PanadapterController> controller =
        PanadapterController::create(kPan, host, display, &settings);
};

}  // namespace vm::test
