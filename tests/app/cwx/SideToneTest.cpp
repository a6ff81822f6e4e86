// The Morse table and the side tone's keying, read off the samples the test sound system renders.
#include "app/cwx/MorseTable.h"
#include "app/cwx/SideTone.h"
#include "platform/audio/TestAudioBackend.h"

#include "../../platform/audio/AudioTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace vm {
namespace {

constexpr AudioDeviceID kSpeaker = 1;

struct CodeRow {
    const char* name;
    char c;
    std::uint8_t pattern;
    std::uint8_t length;
};

void PrintTo(const CodeRow& row, std::ostream* os) { *os << row.name; }

class MorseRows : public ::testing::TestWithParam<CodeRow> {};

TEST_P(MorseRows, PatternAndLength) {
    const CodeRow& row = GetParam();
    const MorseCode code = morseCode(row.c);
    EXPECT_EQ(code.length, row.length);
    // Bits past the last element sound nothing and may differ.
    const std::uint8_t used = std::uint8_t(0xFF << (8 - row.length));
    EXPECT_EQ(code.pattern & used, row.pattern & used);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MorseRows,
    ::testing::Values(CodeRow{"A", 'A', 0x40, 2}, CodeRow{"LowerA", 'a', 0x40, 2},
                      CodeRow{"Zero", '0', 0xF8, 5}, CodeRow{"E", 'E', 0x00, 1},
                      CodeRow{"Dollar", '$', 0x13, 7}, CodeRow{"Underscore", '_', 0x34, 6},
                      CodeRow{"OpenParen", '(', 0xB0, 5}, CodeRow{"CloseParen", ')', 0xB4, 6},
                      CodeRow{"At", '@', 0x50, 5}, CodeRow{"Plus", '+', 0x50, 5},
                      CodeRow{"Space", ' ', 0x00, 0}, CodeRow{"Hash", '#', 0x00, 0},
                      CodeRow{"HighBitE", char(0x80 | 'E'), 0x00, 1}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(MorseTable, CoversSeventyEightCharacters) {
    int covered = 0;
    for (int c = 0; c < 128; ++c) {
        covered += morseCode(char(c)).length > 0;
    }
    EXPECT_EQ(covered, 78);
}

// Key-down and key-up runs of a rendered buffer, in samples. The oscillator starts at phase 0, so
// the very first tone sample is 0: it counts as part of that tone, and a tone after silence may
// read one sample short, the silence one long.
std::vector<std::pair<bool, long>> runs(const std::vector<float>& samples) {
    std::vector<std::pair<bool, long>> out;
    for (float s : samples) {
        const bool on = s != 0.0f;
        if (out.empty() || out.back().first != on) {
            out.emplace_back(on, 0);
        }
        ++out.back().second;
    }
    if (out.size() > 1 && !out[0].first && out[0].second == 1) {
        out.erase(out.begin());
        ++out[0].second;
    }
    return out;
}

class SideToneRender : public ::testing::Test {
protected:
    void SetUp() override {
        backend->setDevices({test::makeDevice(kSpeaker, 0, 2, 48000)}, kAudioObjectUnknown,
                            kSpeaker);
        backend->setPeriod(64);
        AudioBackend::setShared(backend);
    }
    void TearDown() override {
        tone.reset();
        AudioBackend::setShared(nullptr);
    }
    void open(double wpm) {
        tone = std::make_unique<SideTone>();
        tone->setFrequency(600);
        tone->setDitMs(1000.0 / wpm);
        ASSERT_TRUE(tone->open(kAudioObjectUnknown));
    }
    std::vector<float> render(std::uint32_t frames) {
        std::vector<std::vector<float>> out;
        EXPECT_TRUE(backend->render(kSpeaker, frames, &out));
        return out.empty() ? std::vector<float>() : out[0];
    }

    std::shared_ptr<TestAudioBackend> backend = std::make_shared<TestAudioBackend>();
    std::unique_ptr<SideTone> tone;
};

struct KeyingRow {
    const char* name;
    const char* text;
    std::vector<std::pair<bool, int>> dits;  // key down or up, in dits
};

void PrintTo(const KeyingRow& row, std::ostream* os) { *os << row.name; }

class SideToneKeying : public SideToneRender, public ::testing::WithParamInterface<KeyingRow> {};

TEST_P(SideToneKeying, RunsLastWholeDitsToTheSample) {
    open(20);
    ASSERT_EQ(tone->sampleRate(), SideTone::kPreferredSampleRate);
    const long dit = 205;  // 50 ms at 4100 Hz
    long total = 0;
    for (const auto& [on, n] : GetParam().dits) {
        total += n * dit;
    }
    for (const char* c = GetParam().text; *c; ++c) {
        ASSERT_TRUE(tone->queueCharacter(*c));
    }
    const auto got = runs(render(std::uint32_t(total + 3 * dit)));
    const auto& want = GetParam().dits;
    ASSERT_GE(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].first, want[i].first) << i;
        const long expected = want[i].second * dit;
        // One sample either way: the zero-crossing at a tone's start.
        EXPECT_NEAR(double(got[i].second), double(expected), 1.0) << "run " << i;
    }
    // After the last character only silence follows.
    EXPECT_FALSE(got.back().first);
}

INSTANTIATE_TEST_SUITE_P(
    Text, SideToneKeying,
    ::testing::Values(KeyingRow{"ET", "ET", {{true, 1}, {false, 3}, {true, 3}}},
                      KeyingRow{"A", "A", {{true, 1}, {false, 1}, {true, 3}}},
                      KeyingRow{"WordGap", "E E", {{true, 1}, {false, 7}, {true, 1}}},
                      KeyingRow{"UnknownKeepsItsGap", "#E", {{false, 3}, {true, 1}}},
                      KeyingRow{"LowerCase", "t", {{true, 3}}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(SideToneRender, ToneIsTheSinePitchAtFullAmplitude) {
    open(20);
    tone->setVolume(0.5f);
    ASSERT_TRUE(tone->queueCharacter('T'));
    const auto samples = render(400);
    const double step = 2 * M_PI * 600 / SideTone::kPreferredSampleRate;
    for (int i = 0; i < 400; ++i) {
        EXPECT_NEAR(samples[std::size_t(i)], std::sin(step * i) * 0.8 * 0.5, 1e-4) << i;
    }
}

TEST_F(SideToneRender, DeviceWithoutTheRateKeysAtItsOwn) {
    backend->setSupportedRates({48000});
    open(20);
    EXPECT_EQ(tone->sampleRate(), 48000);
    ASSERT_TRUE(tone->queueCharacter('E'));
    const auto got = runs(render(48000 / 4));
    ASSERT_GE(got.size(), 2u);
    EXPECT_NEAR(double(got[0].second), 2400.0, 1.0);
}

TEST_F(SideToneRender, CancelSilencesWhatIsQueued) {
    open(20);
    for (char c : std::string("TTTT")) {
        ASSERT_TRUE(tone->queueCharacter(c));
    }
    const auto before = render(100);
    EXPECT_TRUE(std::any_of(before.begin(), before.end(), [](float s) { return s != 0; }));
    tone->cancel();
    const auto after = render(8000);
    EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](float s) { return s == 0; }));
    // A new character after the cancel plays again.
    ASSERT_TRUE(tone->queueCharacter('E'));
    const auto again = render(300);
    EXPECT_TRUE(std::any_of(again.begin(), again.end(), [](float s) { return s != 0; }));
}

TEST_F(SideToneRender, NoOutputDeviceStaysOff) {
    backend->setDevices({test::makeDevice(2, 2, 0, 48000)}, 2, kAudioObjectUnknown);
    SideTone off;
    EXPECT_FALSE(off.open(kAudioObjectUnknown));
    EXPECT_FALSE(off.isOpen());
    // Closed, a full ring refuses instead of waiting for ever.
    bool refused = false;
    for (int i = 0; i < 2000 && !refused; ++i) {
        refused = !off.queueCharacter('E');
    }
    EXPECT_TRUE(refused);
}

}  // namespace
}  // namespace vm
