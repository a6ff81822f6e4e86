// Band stacks: band edges, growing with its cap, stepping round, cleaning on reading, and the
// keyed-archive file with its defaults.
#include "app/memory/BandStacks.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace vm {
namespace {

std::filesystem::path stackPath(const char* name = kBandStackFileName) {
    return std::filesystem::path(std::getenv("HOME")) / name;
}

// A clock that ticks one second per entry made.
BandStacks::Clock tickingClock() {
    return [t = 100.0]() mutable { return ArchiveDate{t += 1}; };
}

StackEntry entry(const char* mhz, const char* mode, double stamp) {
    return std::make_shared<FrequencyAndMode>(FrequencyAndMode{mhz, mode, ArchiveDate{stamp}});
}

TEST(BandStacksTest, BandNamesIncludeBothEdges) {
    struct Case {
        double mhz;
        const char* band;
    };
    for (const Case& c : {Case{14.35, "20M"}, Case{14.3501, ""}, Case{14.0, "20M"},
                          Case{10.15, "30M"}, Case{1.8, "160M"}, Case{54.0, "6M"},
                          Case{13.9999, ""}, Case{144.2, ""}, Case{5.357, "60M"}}) {
        EXPECT_EQ(bandMetersFromMHz(c.mhz), c.band) << c.mhz;
    }
}

TEST(BandStacksTest, AddingKeepsOneOfEqualEntriesAndRefusesOtherBands) {
    BandStacks stacks(tickingClock());
    using Add = BandStacks::AddOutcome;
    EXPECT_EQ(stacks.saveStackFrequency("14.24", "USB", "20M"), Add::kAdded);  // new stack
    EXPECT_EQ(stacks.saveStackFrequency("14.2400", "USB", "20M"), Add::kUnchanged);
    EXPECT_EQ(stacks.saveStackFrequency("14.24000999", "USB", "20M"), Add::kUnchanged);
    EXPECT_EQ(stacks.saveStackFrequency("14.2401", "USB", "20M"), Add::kAdded);
    EXPECT_EQ(stacks.saveStackFrequency("14.2401", "DIGU", "20M"), Add::kAdded);
    EXPECT_EQ(stacks.saveStackFrequency("14.3501", "USB", "20M"), Add::kInvalidFrequency);
    EXPECT_EQ(stacks.saveStackFrequency("7.1", "LSB", "20M"), Add::kInvalidFrequency);
    EXPECT_EQ(stacks.saveStackFrequency("", "USB", "20M"), Add::kNothing);
    ASSERT_EQ(stacks.bandStackDictionary.size(), 1u);
    const auto& entries = stacks.bandStackDictionary["20M"].stackEntries;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0]->megahertz, "14.24");
    EXPECT_EQ(entries[0]->timeStamp->secondsSinceReferenceDate, 101);  // kept its first stamp
}

TEST(BandStacksTest, TheTwentyFirstEntryDropsTheOldest) {
    BandStacks stacks(tickingClock());
    BandStack& stack = stacks.bandStackDictionary["20M"];
    for (int i = 0; i < 20; ++i) {
        // The fifth entry is the oldest, not the first.
        stack.stackEntries.push_back(
            entry(("14.0" + std::to_string(10 + i)).c_str(), "CW", i == 4 ? 1.0 : 50.0 + i));
    }
    ASSERT_EQ(stacks.saveStackFrequency("14.2", "USB", "20M"), BandStacks::AddOutcome::kAdded);
    ASSERT_EQ(stack.stackEntries.size(), 20u);
    for (const StackEntry& e : stack.stackEntries) {
        EXPECT_NE(e->megahertz, "14.014");
    }
    EXPECT_EQ(stack.stackEntries.front()->megahertz, "14.010");
    EXPECT_EQ(stack.stackEntries.back()->megahertz, "14.2");

    // Each addition removes one: a stack read with more than twenty keeps its size.
    stack.stackEntries.push_back(entry("14.3", "USB", 2));
    ASSERT_EQ(stacks.saveStackFrequency("14.21", "USB", "20M"), BandStacks::AddOutcome::kAdded);
    EXPECT_EQ(stack.stackEntries.size(), 21u);
}

TEST(BandStacksTest, SteppingWrapsRoundAndClampsTheIndex) {
    BandStacks stacks;
    BandStack& stack = stacks.bandStackDictionary["40M"];
    stack.stackEntries = {entry("7.0", "CW", 1), entry("7.1", "LSB", 2), entry("7.2", "LSB", 3)};
    std::string walked;
    for (int i = 0; i < 4; ++i) {
        walked += stacks.getNextBandStackEntryforBand("40M")->megahertz + " ";
    }
    EXPECT_EQ(walked, "7.0 7.1 7.2 7.0 ");
    stack.currentEntry = 7;
    EXPECT_EQ(stacks.getNextBandStackEntryforBand("40M")->megahertz, "7.2");
    EXPECT_EQ(stack.currentEntry, 0);
    stack.currentEntry = -3;
    EXPECT_EQ(stacks.getNextBandStackEntryforBand("40M")->megahertz, "7.0");
    EXPECT_EQ(stacks.getNextBandStackEntryforBand("20M"), nullptr);
    stacks.bandStackDictionary["30M"];
    EXPECT_EQ(stacks.getNextBandStackEntryforBand("30M"), nullptr);
}

TEST(BandStacksTest, EditedListsReplaceEntriesUnlessEmpty) {
    BandStacks stacks;
    stacks.bandStackDictionary["40M"].stackEntries = {entry("7.1", "LSB", 1)};
    stacks.saveStackObjectArrayforBand("40M", {});
    EXPECT_EQ(stacks.loadStackObjectArray("40M")->size(), 1u);
    stacks.saveStackObjectArrayforBand("40M", {entry("7.2", "CW", 2), entry("7.0", "CW", 3)});
    EXPECT_EQ(stacks.loadStackObjectArray("40M")->front()->megahertz, "7.2");
    stacks.saveStackObjectArrayforBand("20M", {entry("14.2", "CW", 2)});
    EXPECT_EQ(stacks.loadStackObjectArray("20M"), nullptr);
}

TEST(BandStacksTest, FileRoundTripCleansWhatItReads) {
    BandStacks written;
    written.bandStackDictionary["40M"].stackEntries = {
        entry("7.100", "LSB", 10), entry("14.2", "USB", 11), entry("7.1", "LSB", 12),
        entry("7.074", "", 13),
        std::make_shared<FrequencyAndMode>(FrequencyAndMode{"7.2", "CW", {}})};
    written.bandStackDictionary["20M"].stackEntries = {entry("14.240", "USB", 20),
                                                       entry("14.074", "DIGU", 21)};
    written.bandStackDictionary["20M"].currentEntry = 1;
    ASSERT_TRUE(written.saveStackDictionary(stackPath()));

    BandStacks read;
    ASSERT_TRUE(read.readStackDictionary(stackPath()).read);
    const auto& forty = read.bandStackDictionary["40M"].stackEntries;
    ASSERT_EQ(forty.size(), 1u);  // 14.2 outside the band, a repeat, no mode, no time stamp
    EXPECT_EQ(forty[0]->megahertz, "7.1");
    EXPECT_EQ(forty[0]->timeStamp->secondsSinceReferenceDate, 10);
    const BandStack& twenty = read.bandStackDictionary["20M"];
    ASSERT_EQ(twenty.stackEntries.size(), 2u);
    EXPECT_EQ(twenty.stackEntries[0]->megahertz, "14.24");
    EXPECT_EQ(twenty.stackEntries[1]->mode, "DIGU");
    EXPECT_EQ(twenty.currentEntry, 1);
}

TEST(BandStacksTest, PlistutilReadsTheFileAsAKeyedArchiveOfTheStackClasses) {
    BandStacks stacks;
    stacks.createBandStackDictionaryWithDefaults();
    ASSERT_TRUE(stacks.saveStackDictionary(stackPath("shown.plist_002")));
    const auto shown = runProcess(
        "plistutil", {"-i", stackPath("shown.plist_002").string(), "-f", "xml"}, Seconds(10));
    ASSERT_TRUE(shown.started) << "plistutil (libplist-utils) is not installed";
    ASSERT_EQ(shown.exitCode, 0) << shown.output;
    for (const char* part :
         {"<key>$archiver</key>", "<key>$top</key>", "<string>BandStack</string>",
          "<string>FrequencyAndMode</string>", "<key>stackEntries</key>", "<key>megahertz</key>",
          "<key>mode</key>", "<key>timeStamp</key>", "<string>160M</string>",
          "<string>50.125</string>", "<string>CW</string>"}) {
        EXPECT_NE(shown.output.find(part), std::string::npos) << part;
    }
}

TEST(BandStacksTest, MissingFileGivesTheElevenDefaults) {
    BandStacks stacks;
    EXPECT_FALSE(stacks.readStackDictionary(stackPath("missing.plist_002")).read);
    stacks.bandStackDictionary["20M"].stackEntries = {entry("14.074", "DIGU", 1)};
    stacks.createBandStackDictionaryWithDefaults();
    ASSERT_EQ(stacks.bandStackDictionary.size(), 11u);
    EXPECT_EQ(stacks.bandStackDictionary["20M"].stackEntries[0]->megahertz, "14.074");
    EXPECT_EQ(stacks.bandStackDictionary["30M"].stackEntries[0]->mode, "CW");
    EXPECT_EQ(stacks.bandStackDictionary["6M"].stackEntries[0]->megahertz, "50.125");
}

TEST(BandStacksTest, AnUndecodableFileIsSetAsideBeforeTheDefaultsReplaceIt) {
    const auto path = stackPath("broken.plist_002");
    for (const char* bytes : {"not an archive", "bplist00 truncated"}) {
        SCOPED_TRACE(bytes);
        ASSERT_TRUE(writeFileAtomically(path, bytes));
        BandStacks stacks;
        const BandStacks::ReadResult result = stacks.readStackDictionary(path);
        EXPECT_FALSE(result.read);
        ASSERT_TRUE(result.setAside);
        EXPECT_EQ(*readWholeFile(*result.setAside), bytes);
        EXPECT_FALSE(std::filesystem::exists(path));
        stacks.createBandStackDictionaryWithDefaults();
        ASSERT_TRUE(stacks.saveStackDictionary(path));
        EXPECT_EQ(BandStacks().readStackDictionary(path).setAside, std::nullopt);
        std::filesystem::remove(*result.setAside);
    }
}

}  // namespace
}  // namespace vm
