// Arbitrary bytes as datagrams on the stream port: the VITA-49 decoding, then the whole receive
// path of two stream managers (a V3 radio's and an older one's) with handlers and meters under
// the stream ids and meter numbers that a fuzzed header finds easily. Handlers read every payload
// byte they are given, so a payload that runs past its datagram shows up at once.
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"
#include "radio/VITA.h"
#include "radio/VitaManager.h"
#include "support/LoopbackPort.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

using namespace vm;

struct ReadingHandler : VitaStreamHandler, VitaManagerMeterUpdate {
    void streamHandler(const VITA& packet) override {
        for (std::uint32_t i = 0; i < packet.payloadLength; ++i) {
            sum += static_cast<unsigned char>(packet.payload[i]);
        }
    }
    void updateMeter(int value) override { sum += static_cast<unsigned>(value); }
    unsigned sum = 0;
};

struct Setup {
    std::shared_ptr<ReadingHandler> handler = std::make_shared<ReadingHandler>();
    std::shared_ptr<Radio> radio;
    std::shared_ptr<VitaManager> older = VitaManager::create();
    std::shared_ptr<VitaManager> v3 = VitaManager::create("127.0.0.1");

    Setup() {
        setLogSink([](std::string_view) {});
        auto record = std::make_shared<RadioInstance>();
        record->wanRadio = true;
        record->publicIp = "127.0.0.1";
        record->public_udp_port = std::to_string(test::unusedLoopbackPort(SOCK_DGRAM));
        record->supportsV3_API = true;
        radio = Radio::createDetached(record, {}, "fuzz", 0);
        v3->handleRadio(radio);
        const auto tables = std::make_shared<VitaStreamTables>();
        for (const int meter : {0, 1, -1}) {
            tables->meters.insert(meter, handler);
        }
        for (const std::uint32_t id : {0x00000000u, 0x40000000u, 0xFFFFFFFFu}) {
            for (auto* streams :
                 {&tables->panafalls, &tables->waterfalls, &tables->opusAudioStreamHandlers,
                  &tables->remoteAudioStreamHandlers, &tables->daxAudioStreamToStreamHandler}) {
                streams->insert(id, handler);
            }
        }
        older->setStreamTables(tables);
        v3->setStreamTables(tables);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Never destroyed: closing sockets at exit would need the dispatch threads, which are gone.
    static Setup& setup = *new Setup;
    const Bytes bytes(reinterpret_cast<const char*>(data), size);

    const VITA packet(std::make_shared<Bytes>(bytes));
    if (packet.payload) {
        const char* begin = packet.buffer->data();
        if (packet.payload < begin || packet.payload + packet.payloadLength > begin + size) {
            std::abort();
        }
    }
    setup.older->receiveDatagram(bytes);
    setup.v3->vitaRunQueue()->sync([&] { setup.v3->receiveDatagram(bytes); });
    DispatchQueue::drainMain();  // the meter values
    return 0;
}
