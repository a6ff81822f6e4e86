// The pre-buffer and the terminator searches of a read packet, without a socket.
#include "net/TcpReadPacket.h"
#include "net/TcpSocketPreBuffer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vm {
namespace {

void put(TcpSocketPreBuffer& buffer, const Bytes& bytes) {
    buffer.ensureCapacityForWrite(bytes.size());
    std::memcpy(buffer.writeBuffer(), bytes.data(), bytes.size());
    buffer.didWrite(bytes.size());
}

TEST(TcpReadPacket, PreBufferReusesConsumedSpaceInsteadOfGrowing) {
    TcpSocketPreBuffer buffer(16);
    put(buffer, "0123456789abc");
    buffer.didRead(12);  // one byte stays unread, as a partial line would
    put(buffer, "defghijklmno");
    EXPECT_EQ(buffer.capacity(), 16u);
    EXPECT_EQ(Bytes(buffer.readBuffer(), buffer.availableBytes()), "cdefghijklmno");
    buffer.didRead(buffer.availableBytes());
    EXPECT_EQ(buffer.availableBytes(), 0u);
    EXPECT_EQ(buffer.availableSpace(), 16u);  // drained: both offsets back at the start
    put(buffer, Bytes(40, 'x'));
    EXPECT_EQ(buffer.capacity(), 40u);  // grown by exactly the shortfall
}

struct PreBufferSearchCase {
    const char* name;
    Bytes delivered;  // bytes the read already holds
    Bytes pre;        // bytes waiting in the pre-buffer
    Bytes term;
    std::size_t maxLength;
    std::size_t expectedCount;
    bool expectedFound;
};

// Printed by its name, so that the test's listed name stays short and the same on every run.
void PrintTo(const PreBufferSearchCase& c, std::ostream* os) { *os << c.name; }

class TcpReadPacketSearch : public ::testing::TestWithParam<PreBufferSearchCase> {};

TEST_P(TcpReadPacketSearch, FindsTerminatorAcrossTheBoundary) {
    const PreBufferSearchCase& c = GetParam();
    TcpReadPacket packet(nullptr, 0, c.maxLength, -1, 0, c.term, 0);
    packet.ensureCapacityForAdditionalDataOfLength(c.delivered.size());
    std::memcpy(packet.writePosition(), c.delivered.data(), c.delivered.size());
    packet.bytesDone = c.delivered.size();
    TcpSocketPreBuffer pre(4);
    put(pre, c.pre);
    bool found = false;
    EXPECT_EQ(packet.readLengthForTermWithPreBuffer(pre, &found), c.expectedCount);
    EXPECT_EQ(found, c.expectedFound);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TcpReadPacketSearch,
    ::testing::Values(
        PreBufferSearchCase{"InsidePreBuffer", "", "ab\ncd", "\n", 0, 3, true},
        PreBufferSearchCase{"CrInPacketLfInPreBuffer", "abc\r", "\ndef", "\r\n", 0, 1, true},
        PreBufferSearchCase{"ThreeByteTermSplitTwoOne", "xx<>", "!yy", "<>!", 0, 1, true},
        PreBufferSearchCase{"ThreeByteTermSplitOneTwo", "xx<", ">!yy", "<>!", 0, 2, true},
        PreBufferSearchCase{"NotFoundTakesAll", "ab", "cdef", "\r\n", 0, 4, false},
        PreBufferSearchCase{"TooFewBytesForTerm", "", "\r", "\r\n", 0, 1, false},
        PreBufferSearchCase{"CappedByMaxLength", "ab", "cdef\n", "\n", 4, 2, false},
        PreBufferSearchCase{"FoundRightAtMaxLength", "ab", "c\nzz", "\n", 4, 2, true}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(TcpReadPacket, SearchAfterDirectReadReportsOverflow) {
    // A caller's buffer with room: new bytes land straight in it.
    auto buffer = std::make_shared<Bytes>(32, '\0');
    TcpReadPacket packet(buffer, 0, 0, -1, 0, "\r\n", 0);
    std::memcpy(packet.writePosition(), "abc\r", 4);
    EXPECT_EQ(packet.searchForTermAfterPreBuffering(4), -1);
    packet.bytesDone = 4;
    std::memcpy(packet.writePosition(), "\ndef", 4);
    EXPECT_EQ(packet.searchForTermAfterPreBuffering(4), 3);  // "def" follows the terminator
    packet.bytesDone = 5;
    EXPECT_EQ(packet.finish(), "abc\r\n");
    EXPECT_EQ(buffer->size(), 32u);  // the caller's buffer keeps its length
}

}  // namespace
}  // namespace vm
