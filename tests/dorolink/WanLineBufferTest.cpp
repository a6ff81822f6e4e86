// The server's stream cut into messages, read by read: whole lines only, however the bytes were
// split, and a bound on a line that never ends.
#include "dorolink/WanLineBuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vm {
namespace {

struct FramingCase {
    const char* name;
    std::vector<std::string> reads;
    std::vector<std::string> messages;  // all the reads gave, in order
    std::size_t pending = 0;            // bytes still waiting after the last read
};

void PrintTo(const FramingCase& c, std::ostream* os) { *os << c.name; }

class Framing : public ::testing::TestWithParam<FramingCase> {};

TEST_P(Framing, GivesWholeMessages) {
    WanLineBuffer buffer;
    std::vector<std::string> messages;
    for (const std::string& read : GetParam().reads) {
        const auto result = buffer.append(read);
        EXPECT_EQ(result.droppedBytes, 0u);
        messages.insert(messages.end(), result.messages.begin(), result.messages.end());
    }
    EXPECT_EQ(messages, GetParam().messages);
    EXPECT_EQ(buffer.pendingLength(), GetParam().pending);
}

const std::string k1024(1024, 'x');
const std::string k1023(1023, 'y');

INSTANTIATE_TEST_SUITE_P(
    Reads, Framing,
    ::testing::Values(
        FramingCase{"LineFeed", {"radio list a=b\n"}, {"radio list a=b"}},
        FramingCase{"CarriageReturn", {"radio list a=b\r"}, {"radio list a=b"}},
        FramingCase{"BothEndOneLine", {"a=1\r\nb=2\r\n"}, {"a=1", "b=2"}},
        FramingCase{"TwoMessagesInOneRead",
                    {"radio list serial=1|\nradio connect_ready handle=H serial=1\n"},
                    {"radio list serial=1|", "radio connect_ready handle=H serial=1"}},
        FramingCase{"TailWaitsForItsEnd", {"radio li", "st a=b", "\nnext"}, {"radio list a=b"}, 4},
        FramingCase{"CharacterSplitBetweenReads",
                    {"radio_name=J\xC3", "\xBCrgen\n"},
                    {"radio_name=J\xC3\xBCrgen"}},
        FramingCase{"EmptyLinesAreNoMessages", {"\n\r\n", "\r"}, {}},
        FramingCase{"LongChunksWithoutEndWait", {k1024, k1023, "\n"}, {k1024 + k1023}},
        FramingCase{"ShortChunkWithoutEndWaits", {k1023}, {}, 1023}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// A line that never ends is dropped up to its end; what follows is read as before.
TEST(Framing, DropsAnOverlongMessageUpToItsEnd) {
    WanLineBuffer buffer;
    const std::string chunk(WanLineBuffer::kMaxMessageLength / 2 + 1, 'z');
    EXPECT_EQ(buffer.append(chunk).droppedBytes, 0u);
    auto result = buffer.append(chunk);
    EXPECT_EQ(result.droppedBytes, 2 * chunk.size());
    EXPECT_EQ(buffer.pendingLength(), 0u);
    result = buffer.append("zzz\nradio list a=b\n");
    EXPECT_EQ(result.droppedBytes, 3u);
    EXPECT_EQ(result.messages, std::vector<std::string>{"radio list a=b"});
}

}  // namespace
}  // namespace vm
