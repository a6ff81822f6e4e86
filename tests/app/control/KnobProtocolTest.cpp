// The knob's bytes, without a port: each message's event, messages split and joined across reads
// as a serial line delivers them, the buffer's overrun, the lamp messages and the greeting.
#include "app/control/KnobProtocol.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vm::knob {

void PrintTo(const KnobEvent& event, std::ostream* out) {
    const char* kinds[] = {"rotation", "press", "auxButton"};
    *out << kinds[int(event.kind)] << " " << event.value;
}

namespace {

using Kind = KnobEvent::Kind;
using Events = std::vector<KnobEvent>;

struct MessageCase {
    const char* name;
    const char* message;
    std::optional<KnobEvent> event;
};

void PrintTo(const MessageCase& c, std::ostream* out) { *out << c.name; }

class KnobMessage : public ::testing::TestWithParam<MessageCase> {};

TEST_P(KnobMessage, StandsForItsEvent) {
    EXPECT_EQ(interpretMessage(GetParam().message), GetParam().event);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, KnobMessage,
    ::testing::Values(MessageCase{"StepUp", "U;", KnobEvent{Kind::rotation, 1}},
                      MessageCase{"StepDown", "D;", KnobEvent{Kind::rotation, -1}},
                      MessageCase{"Fast02", "U02;", KnobEvent{Kind::rotation, 5}},
                      MessageCase{"Fast03Down", "D03;", KnobEvent{Kind::rotation, -25}},
                      MessageCase{"Fast04", "U04;", KnobEvent{Kind::rotation, 50}},
                      MessageCase{"Fast05Down", "D05;", KnobEvent{Kind::rotation, -100}},
                      MessageCase{"Fast01IsOneStep", "U01;", KnobEvent{Kind::rotation, 1}},
                      MessageCase{"Fast06IsOneStep", "D06;", KnobEvent{Kind::rotation, -1}},
                      MessageCase{"FastNotDigitsIsOneStep", "Uxy;", KnobEvent{Kind::rotation, 1}},
                      MessageCase{"Press", "S;", KnobEvent{Kind::press}},
                      MessageCase{"Button1", "X1S;", KnobEvent{Kind::auxButton, 1}},
                      MessageCase{"Button3", "X3S;", KnobEvent{Kind::auxButton, 3}},
                      MessageCase{"NoButton4", "X4S;", std::nullopt},
                      MessageCase{"ThreeDigits", "U123;", std::nullopt},
                      MessageCase{"OneDigit", "U1;", std::nullopt},
                      MessageCase{"Unknown", "Q;", std::nullopt},
                      MessageCase{"Bare", ";", std::nullopt},
                      MessageCase{"NoTerminator", "U", std::nullopt},
                      MessageCase{"LeadingNoise", "\nU;", std::nullopt}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(KnobReader, EachMessageOfAReadActsInOrderAndATailWaitsForTheRest) {
    KnobReader reader;
    EXPECT_EQ(reader.receive("U;U;"), (Events{{Kind::rotation, 1}, {Kind::rotation, 1}}));
    EXPECT_EQ(reader.receive("S;U;"), (Events{{Kind::press}, {Kind::rotation, 1}}));
    EXPECT_EQ(reader.receive("X2S;D04;Q;X"), (Events{{Kind::auxButton, 2}, {Kind::rotation, -50}}));
    EXPECT_EQ(reader.pending(), 1u);
    EXPECT_EQ(reader.receive("1"), Events{});
    EXPECT_EQ(reader.receive("S;U0"), (Events{{Kind::auxButton, 1}}));
    EXPECT_EQ(reader.receive("4;"), (Events{{Kind::rotation, 50}}));
    EXPECT_EQ(reader.pending(), 0u);
}

TEST(KnobReader, AMessageThatFillsTheBufferIsDroppedAndTheNextOneCounts) {
    test::LogCapture log;
    KnobReader reader;
    EXPECT_EQ(reader.receive(std::string(KnobReader::kBufferSize - 1, 'x')), Events{});
    EXPECT_FALSE(log.contains("buffer overrun"));
    EXPECT_EQ(reader.receive("x"), Events{});
    EXPECT_TRUE(log.contains("processSerialReadChannel DoroControl: buffer overrun"));
    EXPECT_EQ(reader.pending(), 0u);
    EXPECT_EQ(reader.receive("U;"), (Events{{Kind::rotation, 1}}));
    EXPECT_EQ(reader.receive(std::string(KnobReader::kBufferSize, 'y') + "D;"),
              (Events{{Kind::rotation, -1}}));
    EXPECT_EQ(reader.pending(), 0u);
}

TEST(KnobBytes, LampMessagesAreFiveBytesAndTheGreetingNeedsAnFInFiveBytes) {
    EXPECT_EQ(lampMessage({false, true, false}), "I010;");
    EXPECT_EQ(lampMessage({true, true, true}), kAllLampsOn);
    EXPECT_EQ(lampMessage({false, false, false}), kAllLampsOff);
    EXPECT_TRUE(answersAsKnob("F1.02;"));
    EXPECT_TRUE(answersAsKnob("xxxxF"));
    EXPECT_FALSE(answersAsKnob("F;"));
    EXPECT_FALSE(answersAsKnob("U;U;U;"));
    EXPECT_FALSE(answersAsKnob(""));
}

}  // namespace
}  // namespace vm::knob
