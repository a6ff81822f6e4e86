// The equalizers against the simulated radio on loopback: made from the radio's answers to the
// start-up questions "eq rx info" and "eq tx info", their setters' exact commands, and the radio's
// answers, which change nothing the setters already stored.
#include "attach/RadioObjects.h"
#include "objects/Equalizer.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimRadio.h"

#include "ObjectsTestSupport.h"
#include "radio/SimSessionFixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace vm {
namespace {

class EqualizerSession : public test::SimSessionFixture {
protected:
    void SetUp() override {
        attach = attachRadioObjects;
        SimSessionFixture::SetUp();
    }
    std::shared_ptr<Equalizer> slot(std::size_t index) const {
        return radio->equalizers()->with([&](const auto& slots) { return slots[index]; });
    }
};

TEST_F(EqualizerSession, SettersSendTheirCommandsAndTheRadioAnswersChangeNothing) {
    // The start-up questions were sent before the radio answered objects: ask again.
    sim->answerObjectCommands();
    radio->commandToRadio("eq rx info");
    radio->commandToRadio("eq tx info");
    ASSERT_TRUE(test::waitFor([&] { return slot(0) && slot(1); }));
    Equalizer& rx = *slot(0);
    Equalizer& tx = *slot(1);
    test::queueBarrier(rx.eqRunQueue());
    const std::vector<std::pair<std::function<void()>, std::vector<std::string>>> cases{
        {[&] { tx.setEqBand3Value(4); }, {"eq txsc 500Hz=4"}},
        {[&] { tx.setEqBand3Value(4); }, {}},  // the gain it has: nothing
        {[&] { rx.setEqBand0Value(-6); }, {"eq rxsc 63Hz=-6"}},
        {[&] { rx.setEqBand7Value(10); }, {"eq rxsc 8000Hz=10"}},
        {[&] { rx.setEqEnabled(true); }, {"eq rxsc mode=1"}},
        {[&] { rx.setEqEnabled(true); }, {"eq rxsc mode=1"}},  // sent even when on
        {[&] { tx.setEqBand1Value(2); }, {"eq txsc 125Hz=2"}},
        {[&] { tx.setEqBand2Value(3); }, {"eq txsc 250Hz=3"}},
        {[&] { tx.setEqBand4Value(5); }, {"eq txsc 1000Hz=5"}},
        {[&] { tx.setEqBand5Value(6); }, {"eq txsc 2000Hz=6"}},
        {[&] { tx.setEqBand6Value(7); }, {"eq txsc 4000Hz=7"}},
        {[&] { tx.setEqEnabled(false); }, {"eq txsc mode=0"}},
    };
    test::KeyRecorder rxKeys(rx);
    std::vector<std::string> expected{"eq rx info", "eq tx info"};
    for (const auto& [call, commands] : cases) {
        call();
        rx.eqRunQueue()->sync([] {});  // each side's commands keep their order; sides interleave
        tx.eqRunQueue()->sync([] {});
        expected.insert(expected.end(), commands.begin(), commands.end());
    }
    test::commandBarrier(*radio, *sim);
    EXPECT_EQ(received(), expected);

    // The radio answered each command with the side's whole status: every value is the one the
    // setters stored, so nothing more is announced.
    const auto recorder = std::make_shared<test::ReplyRecorder>();
    radio->commandToRadio("barrier answered", recorder);
    ASSERT_TRUE(test::waitFor([&] { return !recorder->received().empty(); }));
    test::queueBarrier(rx.eqRunQueue());
    test::queueBarrier(tx.eqRunQueue());
    EXPECT_EQ(rxKeys.keys(),
              (std::vector<std::string>{"eqBand0Value", "eqBand7Value", "eqEnabled", "eqEnabled"}));
    EXPECT_EQ(tx.eqBand3Value(), 4);
    EXPECT_EQ(tx.eqEnabled(), false);
    EXPECT_EQ(rx.eqBand0Value(), -6);
}

}  // namespace
}  // namespace vm
