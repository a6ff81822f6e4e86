// Self-tests of the simulated radio, through plain sockets on loopback.
#include "support/sim/SimRadio.h"
#include "support/tls/TestPki.h"
#include "support/tls/TlsPeer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

#include <optional>
#include <string>

namespace vm::sim {
namespace {

using namespace std::chrono_literals;

bool readable(int fd, std::chrono::milliseconds timeout) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, static_cast<int>(timeout.count())) == 1;
}

// A bare TCP client that reads the radio's lines.
class LineClient {
public:
    explicit LineClient(uint16_t port) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        loopbackSockaddr({"127.0.0.1", port}, address, nullptr);
        connected_ =
            ::connect(fd_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    bool connected() const { return connected_; }
    void send(const std::string& bytes) {
        ASSERT_EQ(::send(fd_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    // The next line without its line feed; none at the end of the stream or after 2 s.
    std::optional<std::string> readLine() {
        for (;;) {
            if (const size_t lf = buffer_.find('\n'); lf != std::string::npos) {
                std::string line = buffer_.substr(0, lf);
                buffer_.erase(0, lf + 1);
                return line;
            }
            char chunk[4096];
            if (!readable(fd_.get(), 2000ms)) {
                return std::nullopt;
            }
            const ssize_t n = ::recv(fd_.get(), chunk, sizeof chunk, 0);
            if (n <= 0) {
                ended_ = n == 0;
                return std::nullopt;
            }
            buffer_.append(chunk, static_cast<size_t>(n));
        }
    }
    bool ended() const { return ended_; }

private:
    Fd fd_;
    bool connected_ = false;
    bool ended_ = false;
    std::string buffer_;
};

// A UDP socket on loopback standing where the client's discovery or stream socket would.
struct UdpPeer {
    Fd fd = bindUdp({"127.0.0.1", 0}, nullptr);
    uint16_t port = localPort(fd.get());
    std::optional<std::string> receive() {
        if (!readable(fd.get(), 2000ms)) {
            return std::nullopt;
        }
        std::string bytes(65536, '\0');
        const ssize_t n = ::recv(fd.get(), bytes.data(), bytes.size(), 0);
        bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return bytes;
    }
};

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out.push_back(static_cast<char>(v));
    }
    return out;
}

TEST(SimRadio, GreetsRecordsAndAnswersCommands) {
    auto sim = SimRadio::start();
    ASSERT_TRUE(sim);
    sim->scriptStartupReplies();
    sim->reply("ping", SimReply::none());
    sim->reply("slice create", {"50000015", ""});
    sim->replyPrefix("sub ", {"1", ""});
    sim->reply("sub slice all", {"0", "later rule wins"});

    LineClient client(sim->commandPort());
    ASSERT_TRUE(client.connected());
    EXPECT_EQ(client.readLine(), "V1.4.0.0");
    EXPECT_EQ(client.readLine(), "H5A3C1F07");
    client.send(
        "c0|info\nc1|ping\nc2|slice create\nc3|sub slice all\nc4|sub tx all\n"
        "c5|client gui 0123\nc6|keepalive enable\nnot a command\n");
    EXPECT_EQ(client.readLine(),
              "R0|0|model=\"DORO-6700\",name=\"SimRadio\",callsign=\"N0CALL\",screensaver=name,atu_"
              "present=1");
    EXPECT_EQ(client.readLine(), "R2|50000015|");
    EXPECT_EQ(client.readLine(), "R3|0|later rule wins");
    EXPECT_EQ(client.readLine(), "R4|1|");
    EXPECT_EQ(client.readLine(), "R5|0|6F1B2C3D-4E5F-4061-8293-A4B5C6D7E8F9");
    EXPECT_EQ(client.readLine(), "R6|0|");

    ASSERT_TRUE(sim->waitForCommandCount(8));
    const std::vector<std::string> expected{"info",
                                            "ping",
                                            "slice create",
                                            "sub slice all",
                                            "sub tx all",
                                            "client gui 0123",
                                            "keepalive enable",
                                            "not a command"};
    EXPECT_EQ(sim->commandTexts(), expected);
    const auto commands = sim->commands();
    for (uint32_t i = 0; i < 7; ++i) {
        EXPECT_EQ(commands[i].seq, i);
        EXPECT_EQ(commands[i].session, 1);
    }
    EXPECT_FALSE(commands[7].seq);
}

TEST(SimRadio, SendsScriptedLinesAndClosesOnRequest) {
    auto sim = SimRadio::start();
    ASSERT_TRUE(sim);
    EXPECT_FALSE(sim->sendLine("S0|radio"));  // nobody connected yet
    {
        LineClient client(sim->commandPort());
        ASSERT_TRUE(sim->waitForSessions(1));
        EXPECT_TRUE(sim->sendStatus("slice 0 in_use=1 RF_frequency=14.074000 mode=USB"));
        EXPECT_TRUE(sim->sendStatusFrom("2DE0B1A5", "meter 1.nam=FWDPWR"));
        EXPECT_TRUE(sim->sendMessage("10000001", "Client connected"));
        EXPECT_TRUE(sim->closeSession());
        for (const char* line :
             {"V1.4.0.0", "H5A3C1F07", "S5A3C1F07|slice 0 in_use=1 RF_frequency=14.074000 mode=USB",
              "S2DE0B1A5|meter 1.nam=FWDPWR", "M10000001|Client connected"}) {
            EXPECT_EQ(client.readLine(), line);
        }
        EXPECT_EQ(client.readLine(), std::nullopt);
        EXPECT_TRUE(client.ended());
        EXPECT_FALSE(sim->sessionOpen());
        EXPECT_FALSE(sim->sendLine("S0|radio"));
    }
    LineClient second(sim->commandPort());
    second.send("c9|ping\n");
    ASSERT_TRUE(sim->waitForCommand("ping"));
    EXPECT_EQ(sim->commands().back().session, 2);
    EXPECT_TRUE(sim->sessionOpen());
}

TEST(SimRadio, DiscoveryDatagramsCarryTheirHeaderAndFields) {
    auto sim = SimRadio::start();
    ASSERT_TRUE(sim);
    UdpPeer listener;

    ASSERT_TRUE(sim->announce({"127.0.0.1", listener.port}));
    const auto packet = listener.receive();
    ASSERT_TRUE(packet);
    const std::string payload = discoveryPayload(sim->discoveryFields());
    ASSERT_EQ(packet->size(), 28 + payload.size());
    const auto words = static_cast<uint16_t>((packet->size() + 3) / 4);
    // Type 3, class id, TSI 3, TSF 1, count 0, size in words; OUI; class 0xFFFF.
    EXPECT_EQ(packet->substr(0, 4), bytes({0x38, 0xD0, words >> 8, words & 0xFF}));
    EXPECT_EQ(packet->substr(8, 8), bytes({0, 0, 0x1C, 0x2D, 0, 0, 0xFF, 0xFF}));
    EXPECT_EQ(packet->substr(28), payload);
    EXPECT_NE(payload.find("serial=0610-1122-6700-4321 "), std::string::npos);
    EXPECT_NE(payload.find("ip=127.0.0.1 port=" + std::to_string(sim->commandPort()) + " "),
              std::string::npos);

    ASSERT_TRUE(sim->announceLegacy({"127.0.0.1", listener.port}));
    const auto legacy = listener.receive();
    ASSERT_TRUE(legacy);
    EXPECT_EQ(legacy->substr(4, 2), bytes({0x13, 0x80}));
    EXPECT_STREQ(legacy->c_str() + 16, "DORO-6700");
    EXPECT_STREQ(legacy->c_str() + 52, "0610-1122-6700-4321");
    EXPECT_STREQ(legacy->c_str() + 88, "SimRadio");
    EXPECT_EQ(legacy->size(), 88u + sizeof "SimRadio");

    EXPECT_FALSE(isLoopback("192.0.2.1"));
    EXPECT_TRUE(isLoopback("127.0.0.2"));
}

TEST(SimRadio, MeterPacketsGoToTheAnnouncedStreamPort) {
    auto sim = SimRadio::start();
    ASSERT_TRUE(sim);
    UdpPeer client;
    EXPECT_FALSE(sim->sendMeters({{1, 1}}));  // no stream port known yet
    LineClient session(sim->commandPort());
    session.send("c0|client udpport " + std::to_string(client.port) + "\n");
    ASSERT_TRUE(sim->waitForStreamDestination());
    EXPECT_EQ(sim->streamDestination(), (Endpoint{"127.0.0.1", client.port}));

    ASSERT_TRUE(sim->sendMeters({{7, -12800}, {8, 100}}));
    const std::string header =
        bytes({0x38, 0xD0, 0, 9, 0, 0, 0x07, 0, 0, 0, 0x1C, 0x2D, 0, 0, 0x80, 0x02}) +
        std::string(12, '\0');
    EXPECT_EQ(client.receive(), header + bytes({0, 7, 0xCE, 0x00, 0, 8, 0, 100}));
    ASSERT_TRUE(sim->sendMeters({}));
    const auto second = client.receive();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->substr(0, 4), bytes({0x38, 0xD1, 0, 7}));  // packet count 1, header only

    struct Case {
        Malformation kind;
        size_t size;
    };
    for (const Case& c : {Case{Malformation::Short, 12}, Case{Malformation::TruncatedHeader, 24},
                          Case{Malformation::LyingLength, 28}, Case{Malformation::WrongOui, 36}}) {
        ASSERT_TRUE(sim->sendMalformed(c.kind));
        const auto bad = client.receive();
        ASSERT_TRUE(bad);
        EXPECT_EQ(bad->size(), c.size);
        if (c.kind == Malformation::LyingLength) {
            EXPECT_EQ(bad->substr(0, 4), bytes({0x3C, 0xD0, 0xFF, 0xFF}));
        }
        if (c.kind == Malformation::WrongOui) {
            EXPECT_NE(bad->substr(8, 4), bytes({0, 0, 0x1C, 0x2D}));
        }
    }
}

TEST(SimRadio, UdpRegistrationNamesTheStreamDestination) {
    auto sim = SimRadio::start();
    ASSERT_TRUE(sim);
    UdpPeer client;
    sockaddr_in radio{};
    loopbackSockaddr({"127.0.0.1", sim->udpPort()}, radio, nullptr);
    const std::string text = "client udp_register handle=0x5A3C1F07";
    ASSERT_EQ(::sendto(client.fd.get(), text.data(), text.size(), 0,
                       reinterpret_cast<sockaddr*>(&radio), sizeof radio),
              static_cast<ssize_t>(text.size()));
    ASSERT_TRUE(sim->waitForStreamDestination());
    EXPECT_EQ(sim->streamDestination(), (Endpoint{"127.0.0.1", client.port}));
    ASSERT_EQ(sim->datagrams().size(), 1u);
    EXPECT_EQ(sim->datagrams()[0].bytes, text);

    ASSERT_TRUE(sim->sendOpus(0x4000000A, "abcde"));
    const auto packet = client.receive();
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->substr(0, 8), bytes({0x38, 0xD0, 0, 9, 0x40, 0, 0, 0x0A}));
    EXPECT_EQ(packet->substr(12, 4), bytes({0, 0, 0x80, 0x05}));
    EXPECT_EQ(packet->substr(28), "abcde");
}

// A radio reached over the internet: the session is TLS from its first byte, the greeting follows
// the handshake, and hanging up sends the close alert.
TEST(SimRadio, TlsSessionsAreGreetedAfterTheHandshake) {
    const test::TestIdentity identity =
        test::pki::server(test::pki::authority("Sim Test Authority"), "radio.test");
    SimRadioOptions options;
    options.tlsIdentityPem = identity.identityPem();
    std::string error;
    const auto sim = SimRadio::start(options, &error);
    ASSERT_TRUE(sim) << error;

    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    test::TlsPeer client(test::TlsPeerContext::client(), fd);  // owns the descriptor
    sockaddr_in address{};
    loopbackSockaddr({"127.0.0.1", sim->commandPort()}, address, nullptr);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_TRUE(client.handshake()) << client.error();
    EXPECT_EQ(client.readLine(), "V" + sim->identity().protocolVersion + "\n");
    EXPECT_EQ(client.readLine(), "H" + sim->identity().handle + "\n");
    ASSERT_TRUE(client.write("c1|info\n"));
    EXPECT_EQ(client.readLine(), "R1|0|\n");
    EXPECT_EQ(sim->commandTexts(), std::vector<std::string>{"info"});

    ASSERT_TRUE(sim->sendLine("S0|radio callsign=T3ST"));
    ASSERT_TRUE(sim->closeSession());
    EXPECT_EQ(client.readLine(), "S0|radio callsign=T3ST\n");
    EXPECT_EQ(client.readLine(), "");
    EXPECT_EQ(client.error(), "close alert");
}

TEST(SimRadio, RefusesATlsIdentityWithoutItsKey) {
    const test::TestIdentity identity =
        test::pki::server(test::pki::authority("Sim Test Authority"), "radio.test");
    SimRadioOptions options;
    options.tlsIdentityPem = identity.certificatePem;
    std::string error;
    EXPECT_FALSE(SimRadio::start(options, &error));
    EXPECT_EQ(error, "TLS identity: no certificate with its key");
}

TEST(SimPayloads, FftAndWaterfallLayouts) {
    FftFrame frame{.startBin = 4,
                   .binSize = 2,
                   .totalBins = 0,
                   .frameIndex = 0x01020304,
                   .bins = {0xAABB, 0xCCDD}};
    EXPECT_EQ(fftPayload(frame),
              bytes({0, 4, 0, 2, 0, 2, 0, 6, 1, 2, 3, 4, 0xAA, 0xBB, 0xCC, 0xDD}));
    frame.olderLayout = true;
    EXPECT_EQ(fftPayload(frame),
              bytes({0, 4, 0, 0, 0, 0, 0, 2, 0, 0, 0, 2, 1, 2, 3, 4, 0xAA, 0xBB, 0xCC, 0xDD}));

    WaterfallTile tile{.firstPixelFreq = tileFrequency(14.0),
                       .binBandwidth = 0x1122,
                       .lineDuration = 100,
                       .width = 2,
                       .height = 1,
                       .timecode = 7,
                       .autoBlack = 9,
                       .totalBins = 2,
                       .firstBin = 0,
                       .data = {0x0102, 0x0304}};
    const std::string tail = bytes({0, 0, 0, 100, 0, 2, 0, 1, 0, 0, 0, 7, 0, 0, 0, 9});
    const std::string data = bytes({1, 2, 3, 4});
    EXPECT_EQ(tileFrequency(14.0), 14'680'064'000'000ull);  // 14 MHz in Hz × 2^20
    EXPECT_EQ(waterfallPayload(tile).substr(8),
              bytes({0, 0, 0, 0, 0, 0, 0x11, 0x22}) + tail + bytes({0, 2, 0, 0}) + data);
    tile.olderLayout = true;
    EXPECT_EQ(waterfallPayload(tile).size(), 32u + data.size());
    EXPECT_EQ(waterfallPayload(tile).substr(32), data);
}

}  // namespace
}  // namespace vm::sim
