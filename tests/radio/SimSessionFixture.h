#pragma once
// A fixture for tests that need one session with the simulated radio: the radio runs, the session
// is connected and greeted, and the commands it sent after its start-up burst can be read without
// the keep-alive's pings.
#include "radio/Radio.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimRadio.h"

#include "RadioTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace vm::test {

inline bool isCommandBarrier(const std::string& text) { return text.starts_with("barrier "); }

// Every command the session sent before this call, from any thread that has finished sending,
// has reached the simulated radio: a marker command sent after them on the same connection has
// arrived. The marker is "barrier <n>".
inline void commandBarrier(RadioLink& radio, sim::SimRadio& sim) {
    static std::atomic<int> count{0};
    const std::string marker = "barrier " + std::to_string(++count);
    radio.commandToRadio(marker);
    EXPECT_TRUE(sim.waitForCommand(marker)) << "the radio did not receive " << marker;
}

// The commands starting with `prefix` that the radio received from its `start`th on, once every
// task queued on `queues` and on the main queue has run and the session has sent what they asked
// for. Each queue's commands keep their order; those of different queues may interleave.
inline std::vector<std::string> commandsSince(RadioLink& radio, sim::SimRadio& sim,
                                              std::size_t start, const std::string& prefix,
                                              const std::vector<DispatchQueuePtr>& queues) {
    mainQueueBarrier();
    for (const auto& queue : queues) {
        queue->sync([] {});
    }
    commandBarrier(radio, sim);
    std::vector<std::string> out;
    const auto texts = sim.commandTexts();
    for (std::size_t i = start; i < texts.size(); ++i) {
        if (texts[i].starts_with(prefix)) {
            out.push_back(texts[i]);
        }
    }
    return out;
}

class SimSessionFixture : public ::testing::Test {
protected:
    void SetUp() override {
        sim = sim::SimRadio::start();
        ASSERT_TRUE(sim);
        radio = Radio::create(record, "127.0.0.1", sim->commandPort(), delegate, "velmoraSDR", 0,
                              attach);
        ASSERT_TRUE(radio);
        ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateConnected) && radio->apiHandle(); }));
        ASSERT_TRUE(sim->waitForSessions(1));
        // The start-up burst ends with the microphone profile question.
        ASSERT_TRUE(waitFor([&] {
            const auto texts = sim->commandTexts();
            return std::find(texts.begin(), texts.end(), "profile mic info") != texts.end();
        }));
        startupCommands_ = sim->commandTexts().size();
    }
    void TearDown() override {
        if (radio) {
            radio->close();
        }
        mainQueueBarrier();
    }

    // The commands the radio received after the start-up burst, without the keep-alive and the
    // barriers.
    std::vector<std::string> received() const {
        auto texts = sim->commandTexts();
        texts.erase(texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(startupCommands_));
        std::erase(texts, "ping");
        std::erase_if(texts, isCommandBarrier);
        return texts;
    }
    bool waitForReceived(std::size_t count) const {
        return waitFor([&] { return received().size() >= count; });
    }
    // Drops the test's and the delegate's references, so that the session can go away.
    std::weak_ptr<Radio> release() {
        std::weak_ptr<Radio> weak = radio;
        delegate->from.clear();
        radio.reset();
        return weak;
    }

    // The session's objects (none unless a test of objects sets it before SetUp), and the record
    // of the radio it connects to (a test may change it before SetUp).
    Radio::Attach attach = nullptr;
    std::shared_ptr<RadioInstance> record = std::make_shared<RadioInstance>();
    std::unique_ptr<sim::SimRadio> sim;
    std::shared_ptr<StateRecorder> delegate = std::make_shared<StateRecorder>();
    std::shared_ptr<Radio> radio;

private:
    std::size_t startupCommands_ = 0;
};

}  // namespace vm::test
