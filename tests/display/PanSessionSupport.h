#pragma once
// The start of the view tests that talk to the simulated radio: a session with a radio of firmware
// 3.3 that serves several GUI clients, and one panadapter (0x40000000, with waterfall 0x42000000)
// that the session asked it for.
#include "attach/RadioObjects.h"
#include "display/Panafall.h"
#include "radio/Radio.h"
#include "support/sim/SimRadio.h"

#include "radio/RadioTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace vm::test {

inline constexpr std::uint32_t kSessionPan = 0x40000000;
inline constexpr std::uint32_t kSessionWaterfall = 0x42000000;

// Starts `sim`, connects `radio` to it with `delegate` and asks for a pan of `width` x `height`,
// which it stores in `pan`. Call inside ASSERT_NO_FATAL_FAILURE.
inline void startPanSession(std::unique_ptr<sim::SimRadio>& sim, std::shared_ptr<Radio>& radio,
                            std::shared_ptr<Panafall>& pan,
                            const std::shared_ptr<StateRecorder>& delegate, int width, int height) {
    NotificationRecorder notes{{"PanafallCreated"}};
    sim = sim::SimRadio::start();
    ASSERT_TRUE(sim);
    sim->scriptPanafallCreate(kSessionPan, kSessionWaterfall);
    auto instance = std::make_shared<RadioInstance>();
    instance->fversion = 3.3;
    instance->supportsMultiDoro = true;
    radio = Radio::create(instance, "127.0.0.1", sim->commandPort(), delegate, "velmoraSDR", 0,
                          attachRadioObjects);
    ASSERT_TRUE(radio);
    ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateConnected) && radio->apiHandle(); }));
    ASSERT_TRUE(radio->cmdNewPanafall(width, height));
    ASSERT_TRUE(waitFor([&] { return notes.seen().size() == 1; }));
    pan = std::static_pointer_cast<Panafall>(notes.seen().front().object);
}

}  // namespace vm::test
