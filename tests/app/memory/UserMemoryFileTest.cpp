// The user memories file: what the application writes reads back field for field, the header
// guards the file, Windows line ends load, and stored texts cannot shift the columns.
#include "app/memory/UserMemoryFile.h"

#include "platform/core/AtomicFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace vm {
namespace {

using Outcome = UserMemoriesRead::Outcome;

std::filesystem::path memoriesPath() {
    return std::filesystem::path(std::getenv("HOME")) / kUserMemoriesFileName;
}

MemorySlot repeaterMemory() {
    MemorySlot m;
    m.owner = "N0CALL";
    m.group = "Repeaters";
    m.freq = "146.94";
    m.name = "Hilltop";
    m.mode = "FM";
    m.step = "5000";
    m.offset_direction = "DOWN";
    m.repeater_offset = "0.6";
    m.tone_mode = "CTCSS_TX";
    m.tone_value = "67";
    m.rf_power = "50";
    m.rx_filter_low = "-8000";
    m.rx_filter_high = "8000";
    m.highlight = "0";
    m.highlight_color = "0";
    m.squelch = "1";
    m.squelch_level = "20";
    m.rtty_mark = "2125";
    m.rtty_shift = "170";
    m.digl_offset = "2210";
    m.digu_offset = "1500";
    return m;
}

MemorySlot ssbMemory() {
    MemorySlot m = repeaterMemory();
    m.group = "";
    m.freq = "14.225";
    m.name = "20M";
    m.mode = "USB";
    m.offset_direction = "SIMPLEX";
    m.repeater_offset = "0.000";
    m.tone_mode = "NONE";
    m.tone_value = "67.0";
    m.squelch = "0";
    return m;
}

TEST(UserMemoryFileTest, WrittenMemoriesReadBackFieldForField) {
    const MemoryList list{std::make_shared<MemorySlot>(repeaterMemory()),
                          std::make_shared<MemorySlot>(ssbMemory())};
    ASSERT_TRUE(writeUserMemories(memoriesPath(), list));

    const std::string text = *readWholeFile(memoriesPath());
    const std::string header = text.substr(0, text.find('\n') + 1);
    EXPECT_EQ(header.size(), 238u);
    EXPECT_EQ(header.rfind(", OWNER, GROUP, FREQ,", 0), 0u);
    EXPECT_NE(header.find("RX_FILTER_HIGH,HIGHLIGHT,"), std::string::npos);
    EXPECT_EQ(text.substr(header.size(), text.find('\n', header.size()) + 1 - header.size()),
              "MEMORY,N0CALL,Repeaters,146.94000,Hilltop,FM,5000,DOWN,0.600,CTCSS_TX,067.0,50,"
              "-8000,8000,0,0,1,20,2125,170,2210,1500\n");

    const UserMemoriesRead read = readUserMemories(memoriesPath());
    ASSERT_EQ(read.outcome, Outcome::kRead);
    ASSERT_EQ(read.memories.size(), 2u);
    MemorySlot expected = repeaterMemory();
    expected.freq = "146.94000";
    expected.repeater_offset = "0.600";
    expected.tone_value = "067.0";
    EXPECT_EQ(*read.memories[0], expected);
    expected = ssbMemory();
    expected.freq = "14.22500";
    expected.tone_value = "067.0";
    EXPECT_EQ(*read.memories[1], expected);
}

TEST(UserMemoryFileTest, NumbersThatAreNoNumbersAndMissingValues) {
    MemorySlot sparse;
    sparse.owner = "N0CALL";
    sparse.freq = "abc";
    sparse.tone_value = "x";
    const std::string text = userMemoriesText({std::make_shared<MemorySlot>(sparse)});
    EXPECT_NE(text.find("\nMEMORY,N0CALL,,0.00000,,,,,0.000,,000.0,,,,,,,,,,,\n"),
              std::string::npos)
        << text;
}

TEST(UserMemoryFileTest, SeparatorsInStoredTextsDoNotShiftColumns) {
    MemorySlot m = ssbMemory();
    m.name = "Net, Sunday\r\nmorning";
    m.group = "a,b";
    const UserMemoriesRead read =
        userMemoriesFromText(userMemoriesText({std::make_shared<MemorySlot>(m)}));
    ASSERT_EQ(read.memories.size(), 1u);
    EXPECT_EQ(read.memories[0]->name, "Net  Sunday  morning");
    EXPECT_EQ(read.memories[0]->group, "a b");
    EXPECT_EQ(read.memories[0]->mode, "USB");
    EXPECT_EQ(read.memories[0]->digu_offset, "1500");
}

TEST(UserMemoryFileTest, ReadingLines) {
    const std::string header = std::string(kUserMemoriesHeader);
    const std::string line = "MEMORY,N0CALL,,7.10000,40M,LSB";
    struct Case {
        const char* name;
        std::string text;
        Outcome outcome;
        std::size_t count;
    };
    const Case cases[] = {
        {"header then memories", header + "\n" + line + "\n" + line + "\n", Outcome::kRead, 2},
        {"windows line ends", header + "\r\n" + line + "\r\n" + line + "\r\n", Outcome::kRead, 2},
        {"memory before the header", line + "\n" + header + "\n" + line + "\n",
         Outcome::kInvalidHeader, 0},
        {"header again in the middle", header + "\n" + line + "\n" + header + "\n" + line + "\n",
         Outcome::kRead, 2},
        {"short and empty lines skipped", header + "\n\nMEMORY\n" + line + "\n", Outcome::kRead, 1},
        {"empty file", "", Outcome::kUnreadable, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const UserMemoriesRead read = userMemoriesFromText(c.text);
        EXPECT_EQ(read.outcome, c.outcome);
        ASSERT_EQ(read.memories.size(), c.count);
        for (const auto& m : read.memories) {
            EXPECT_EQ(m->freq, "7.10000");
            EXPECT_EQ(m->mode, "LSB");
            EXPECT_EQ(m->step, std::nullopt);
        }
    }
}

TEST(UserMemoryFileTest, TagIsNotCheckedAndOneFieldSetsOnlyTheOwner) {
    const UserMemoriesRead read =
        userMemoriesFromText(std::string(kUserMemoriesHeader) + "\nXYZ,K1ABC\n");
    ASSERT_EQ(read.memories.size(), 1u);
    MemorySlot expected;
    expected.owner = "K1ABC";
    EXPECT_EQ(*read.memories[0], expected);
}

TEST(UserMemoryFileTest, MissingFileLeavesTheListAndAFailedWriteSaysWhy) {
    EXPECT_EQ(readUserMemories(memoriesPath().parent_path() / "none.csv").outcome,
              Outcome::kNoFile);
    // A folder where the file should be cannot be replaced: the write fails and it stays.
    const auto blocked = memoriesPath().parent_path() / "blocked.csv";
    std::filesystem::create_directories(blocked / "inside");
    Error error;
    EXPECT_FALSE(writeUserMemories(blocked, {}, &error));
    EXPECT_FALSE(error.description.empty());
    EXPECT_TRUE(std::filesystem::is_directory(blocked / "inside"));
}

}  // namespace
}  // namespace vm
