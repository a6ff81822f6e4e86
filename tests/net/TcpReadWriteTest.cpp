// Reads and writes of a connected TcpSocket against a plain peer on loopback.
#include "TcpTestSupport.h"

#include "net/TcpSocketError.h"
#include "platform/core/DispatchClock.h"

#include <cmath>

namespace vm::test {
namespace {

using namespace std::chrono_literals;

void expectDisconnectCode(const RecordingDelegate& d, long code) {
    ASSERT_EQ(d.disconnects.size(), 1u);
    ASSERT_TRUE(d.disconnects[0].has_value());
    EXPECT_EQ(d.disconnects[0]->domain, kTcpSocketErrorDomain);
    EXPECT_EQ(d.disconnects[0]->code, code);
}

TEST(TcpReadWrite, TwoLinesInOneSegmentAreTwoLineReads) {
    ConnectedPair pair;
    pair.delegate->afterRead = [](const TcpSocketPtr& sock, long tag) {
        if (tag == 1) sock->readDataToData(sockaddr::LFData(), -1, 2);
    };
    pair.sock->readDataToData(sockaddr::LFData(), -1, 1);
    sendAll(pair.peer.get(), "S1|first line\nS2|second line\n");
    ASSERT_TRUE(waitFor([&] { return pair.delegate->reads.size() == 2; }));
    EXPECT_EQ(pair.delegate->reads[0], (std::pair<long, Bytes>{1, "S1|first line\n"}));
    EXPECT_EQ(pair.delegate->reads[1], (std::pair<long, Bytes>{2, "S2|second line\n"}));
    EXPECT_TRUE(pair.delegate->disconnects.empty());
}

// The CR ends one segment and the LF starts the next, for a read into the socket's own buffer
// (through the pre-buffer) and one into a caller's buffer with room (read straight into it).
class TcpSplitTerminator : public ::testing::TestWithParam<bool> {};

TEST_P(TcpSplitTerminator, CrLfSplitAcrossSegmentsIsFound) {
    const bool callerBuffer = GetParam();
    ConnectedPair pair;
    auto buffer = std::make_shared<Bytes>(64, '.');
    if (callerBuffer) {
        pair.sock->readDataToData(sockaddr::CRLFData(), -1, buffer, 0, 1);
    } else {
        pair.sock->readDataToData(sockaddr::CRLFData(), -1, 1);
    }
    sendAll(pair.peer.get(), "abc\r");
    ASSERT_TRUE(waitFor([&] { return !pair.delegate->partialReads.empty(); }));
    EXPECT_EQ(pair.delegate->partialReads[0], (std::pair<long, std::size_t>{1, 4}));
    sendAll(pair.peer.get(), "\ndef");
    ASSERT_TRUE(waitFor([&] { return pair.delegate->reads.size() == 1; }));
    EXPECT_EQ(pair.delegate->reads[0].second, "abc\r\n");
    if (callerBuffer) {
        EXPECT_EQ(buffer->substr(0, 5), "abc\r\n");
        EXPECT_EQ(buffer->size(), 64u);
    }
    // The bytes after the terminator wait for the next read.
    pair.sock->readDataToLength(3, -1, 2);
    ASSERT_TRUE(waitFor([&] { return pair.delegate->reads.size() == 2; }));
    EXPECT_EQ(pair.delegate->reads[1], (std::pair<long, Bytes>{2, "def"}));
}

INSTANTIATE_TEST_SUITE_P(Buffers, TcpSplitTerminator, ::testing::Values(false, true),
                         [](const auto& test) {
                             return test.param ? "CallerBuffer" : "OwnBuffer";
                         });

TEST(TcpReadWrite, TerminatorReadBeyondItsMaximumCloses) {
    struct Case {
        std::size_t maxLength;  // 0: the socket's own bound
        std::size_t sent;
    };
    for (const Case c : {Case{10, 10}, Case{0, TcpSocket::kTerminatorReadLimit + 1}}) {
        SCOPED_TRACE(c.maxLength);
        ConnectedPair pair;
        pair.sock->readDataToData(sockaddr::LFData(), -1, c.maxLength, 5);
        sendAll(pair.peer.get(), Bytes(c.sent, 'x'));
        ASSERT_TRUE(waitFor([&] { return !pair.delegate->disconnects.empty(); }));
        expectDisconnectCode(*pair.delegate, 6);
        EXPECT_EQ(pair.delegate->disconnects[0]->description,
                  "Read operation reached set maximum length");
        EXPECT_TRUE(pair.delegate->reads.empty());
    }
}

TEST(TcpReadWrite, ReadTimeoutExtendedByTheDelegateReportsTotalElapsed) {
    ConnectedPair pair;
    pair.delegate->readTimeoutAnswers = {3.0};  // then 0: time out
    pair.sock->readDataToData(sockaddr::LFData(), 2.0, 7);
    pair.sock->isConnected();  // the read, and its timer, are set up once this answers
    DispatchClock::advance(2100ms);
    ASSERT_TRUE(waitFor([&] { return pair.delegate->readTimeoutElapsed.size() == 1; }));
    EXPECT_DOUBLE_EQ(pair.delegate->readTimeoutElapsed[0], 2.0);
    pair.sock->isConnected();  // the answer, posted to the socket queue, has been applied
    EXPECT_TRUE(pair.delegate->disconnects.empty());
    DispatchClock::advance(3100ms);
    ASSERT_TRUE(waitFor([&] { return !pair.delegate->disconnects.empty(); }));
    ASSERT_EQ(pair.delegate->readTimeoutElapsed.size(), 2u);
    EXPECT_DOUBLE_EQ(pair.delegate->readTimeoutElapsed[1], 5.0);
    expectDisconnectCode(*pair.delegate, 4);
}

TEST(TcpReadWrite, LargeWriteReportsPartialProgressThenOneCompletion) {
    ConnectedPair pair(64 * 1024);  // a small receive buffer at the peer
    Bytes data(32 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 7 + i / 4096);
    pair.sock->writeData(data, -1, 3);
    ASSERT_TRUE(waitFor([&] { return !pair.delegate->partialWrites.empty(); }));
    EXPECT_TRUE(pair.delegate->writes.empty());
    EXPECT_EQ(receive(pair.peer.get(), data.size()), data);
    ASSERT_TRUE(waitFor([&] { return !pair.delegate->writes.empty(); }));
    EXPECT_EQ(pair.delegate->writes, std::vector<long>{3});
    std::size_t partial = 0;
    for (const auto& [tag, length] : pair.delegate->partialWrites) {
        EXPECT_EQ(tag, 3);
        partial += length;
    }
    EXPECT_LT(partial, data.size());  // the last step completes the write instead
}

TEST(TcpReadWrite, WriteTimeoutCloses) {
    ConnectedPair pair(64 * 1024);
    pair.sock->writeData(Bytes(32 * 1024 * 1024, 'w'), 1.0, 8);  // the peer never reads
    ASSERT_TRUE(waitFor([&] { return !pair.delegate->partialWrites.empty(); }));
    DispatchClock::advance(1500ms);
    ASSERT_TRUE(waitFor([&] { return !pair.delegate->disconnects.empty(); }));
    expectDisconnectCode(*pair.delegate, 5);
    EXPECT_EQ(pair.delegate->disconnects[0]->description, "Write operation timed out");
    EXPECT_TRUE(pair.delegate->writes.empty());
}

TEST(TcpReadWrite, PeerCloseEndsWithClosedByRemotePeer) {
    ConnectedPair pair;
    pair.sock->readDataToData(sockaddr::LFData(), -1, 1);
    sendAll(pair.peer.get(), "no line end");
    pair.peer.reset();
    ASSERT_TRUE(waitFor([&] { return !pair.delegate->disconnects.empty(); }));
    expectDisconnectCode(*pair.delegate, 7);
    EXPECT_EQ(pair.delegate->disconnects[0]->description, "Socket closed by remote peer");
    EXPECT_TRUE(pair.delegate->reads.empty());
    EXPECT_FALSE(pair.sock->isConnected());
}

TEST(TcpReadWrite, BytesBufferedBeforePeerCloseAreStillRead) {
    ConnectedPair pair;
    sendAll(pair.peer.get(), "one\ntwo\n");
    pair.peer.reset();
    settle(100ms);  // the peer is gone before any read is queued
    pair.delegate->afterRead = [](const TcpSocketPtr& sock, long tag) {
        sock->readDataToData(sockaddr::LFData(), -1, tag + 1);
    };
    pair.sock->readDataToData(sockaddr::LFData(), -1, 1);
    ASSERT_TRUE(waitFor([&] { return !pair.delegate->disconnects.empty(); }));
    ASSERT_EQ(pair.delegate->reads.size(), 2u);
    EXPECT_EQ(pair.delegate->reads[1].second, "two\n");
    expectDisconnectCode(*pair.delegate, 7);
}

TEST(TcpReadWrite, HalfDuplexKeepsWritingAfterPeerEndsItsStream) {
    ConnectedPair pair(0, /*halfDuplex=*/true);
    pair.sock->readDataWithTimeout(-1, 1);
    ::shutdown(pair.peer.get(), SHUT_WR);
    ASSERT_TRUE(waitFor([&] { return pair.delegate->readStreamClosed == 1; }));
    pair.sock->writeData("still here", -1, 9);
    EXPECT_EQ(receive(pair.peer.get(), 10), "still here");
    ASSERT_TRUE(waitFor([&] { return !pair.delegate->writes.empty(); }));
    EXPECT_TRUE(pair.delegate->disconnects.empty());
    EXPECT_TRUE(pair.sock->isConnected());
}

TEST(TcpReadWrite, ReadKindsAndDroppedRequests) {
    ConnectedPair pair;
    // Dropped without a callback: a zero length, an empty terminator, a maximum shorter than the
    // terminator, an offset past the end of the caller's buffer.
    pair.sock->readDataToLength(0, -1, 90);
    pair.sock->readDataToData(Bytes(), -1, 91);
    pair.sock->readDataToData(sockaddr::CRLFData(), -1, 1, 92);
    pair.sock->readDataWithTimeout(-1, std::make_shared<Bytes>(2, 'z'), 3, 93);
    pair.sock->writeData(Bytes(), -1, 94);
    // Served in order: an exact length, what is available with a maximum, into a caller's buffer
    // at an offset.
    auto buffer = std::make_shared<Bytes>("hdr:");
    pair.sock->readDataToLength(4, -1, 1);
    pair.sock->readDataWithTimeout(-1, buffer, 4, 3, 2);
    pair.sock->writeData("ping", -1, 3);
    sendAll(pair.peer.get(), "abcdefg");
    ASSERT_TRUE(waitFor(
        [&] { return pair.delegate->reads.size() == 2 && !pair.delegate->writes.empty(); }));
    EXPECT_EQ(pair.delegate->reads[0], (std::pair<long, Bytes>{1, "abcd"}));
    EXPECT_EQ(pair.delegate->reads[1], (std::pair<long, Bytes>{2, "efg"}));
    EXPECT_EQ(*buffer, "hdr:efg");
    EXPECT_EQ(pair.delegate->writes, std::vector<long>{3});
    EXPECT_EQ(receive(pair.peer.get(), 4), "ping");

    long tag = -1;
    std::size_t done = 1;
    std::size_t total = 1;
    EXPECT_TRUE(std::isnan(pair.sock->progressOfReadReturningTag(&tag, &done, &total)));
    EXPECT_EQ(tag, 0);
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(total, 0u);
    EXPECT_TRUE(std::isnan(pair.sock->progressOfWriteReturningTag(nullptr, nullptr, nullptr)));
    pair.sock->readDataToLength(10, -1, 4);
    sendAll(pair.peer.get(), "12345");
    ASSERT_TRUE(waitFor([&] { return !pair.delegate->partialReads.empty(); }));
    EXPECT_FLOAT_EQ(pair.sock->progressOfReadReturningTag(&tag, &done, &total), 0.5f);
    EXPECT_EQ(tag, 4);
    EXPECT_EQ(done, 5u);
    EXPECT_EQ(total, 10u);
}

TEST(TcpReadWrite, DisconnectAfterWritingFinishesQueuedWrites) {
    ConnectedPair pair;
    pair.sock->writeData("first ", -1, 1);
    pair.sock->writeData("second", -1, 2);
    pair.sock->disconnectAfterWriting();
    pair.sock->writeData("dropped", -1, 3);
    pair.sock->readDataWithTimeout(-1, 4);
    EXPECT_EQ(receive(pair.peer.get(), 64), "first second");  // then end of stream
    ASSERT_TRUE(waitFor([&] { return !pair.delegate->disconnects.empty(); }));
    EXPECT_EQ(pair.delegate->writes, (std::vector<long>{1, 2}));
    EXPECT_FALSE(pair.delegate->disconnects[0].has_value());
    EXPECT_TRUE(pair.delegate->reads.empty());
}

TEST(TcpReadWrite, DisconnectReportsOnceAndOnlyWhenStarted) {
    auto delegate = std::make_shared<RecordingDelegate>();
    auto idle = TcpSocket::create(delegate, DispatchQueue::main());
    idle->disconnect();
    ConnectedPair pair;
    pair.sock->readDataWithTimeout(-1, 1);
    pair.sock->disconnect();
    pair.sock->disconnect();
    EXPECT_TRUE(peerClosed(pair.peer.get()));
    settle();
    ASSERT_EQ(pair.delegate->disconnects.size(), 1u);
    EXPECT_FALSE(pair.delegate->disconnects[0].has_value());
    EXPECT_TRUE(delegate->disconnects.empty());
    EXPECT_TRUE(pair.delegate->reads.empty());
}

TEST(TcpReadWrite, DestroyingTheSocketClosesTheConnection) {
    ConnectedPair pair;
    pair.sock->readDataWithTimeout(-1, 1);
    pair.sock.reset();
    EXPECT_TRUE(peerClosed(pair.peer.get()));
    ASSERT_TRUE(waitFor([&] { return !pair.delegate->disconnects.empty(); }));
    EXPECT_FALSE(pair.delegate->disconnects[0].has_value());
}

}  // namespace
}  // namespace vm::test
