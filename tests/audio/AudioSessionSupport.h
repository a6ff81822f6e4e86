#pragma once
// What the remote-audio tests share: a session with the simulated radio (its objects and audio
// streams attached, its stream port announced), the application controller's side of the engine,
// and waits on the receive ring.
#include "attach/RadioObjects.h"
#include "audio/RemoteAudioApplication.h"
#include "audio/VMRemoteAudioHandler.h"
#include "radio/Radio.h"
#include "radio/VitaManager.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimRadio.h"

#include "../radio/RadioTestSupport.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <optional>

namespace vm::test {

class FakeApplication : public RemoteAudioApplication {
public:
    bool radioStartupComplete() const override { return startupComplete.load(); }
    std::optional<AudioDeviceChoice> outputDeviceChoice() const override { return output; }
    std::optional<AudioDeviceChoice> inputDeviceChoice() const override { return input; }
    void showOutputDevice(const std::string& name) override { shownOutput = name; }
    void showInputDevice(const std::string& name) override { shownInput = name; }

    std::atomic<bool> startupComplete{true};
    std::optional<AudioDeviceChoice> output;
    std::optional<AudioDeviceChoice> input;
    std::string shownOutput;
    std::string shownInput;
};

// A connected session with a first stream packet already received (transmit waits for one).
// The radio is on 127.0.0.2 and reached the way a remote radio is: the stream socket binds
// 127.0.0.1 at the radio's own stream port number and registers, so that the packets the client
// sends reach the simulated radio's port.
struct AudioSession {
    explicit AudioSession(bool supportsV3) {
        sim::SimRadioOptions options;
        options.address = "127.0.0.2";
        sim = sim::SimRadio::start(options);
        EXPECT_TRUE(sim);
        sim->scriptStartupReplies();
        auto record = std::make_shared<RadioInstance>();
        record->name = "SimRadio";
        record->ipAddress = "127.0.0.2";
        record->supportsV3_API = supportsV3;
        radio = Radio::create(record, "127.0.0.2", sim->commandPort(), delegate, "velmoraSDR", 0,
                              attachRadioObjects);
        EXPECT_TRUE(radio);
        EXPECT_TRUE(
            waitFor([&] { return radio->apiHandle().has_value() && radio->vitaManager(); }));
        // The handle's line is parsed to its end (it reads the record) before the record changes.
        radio->radioRunQueue()->sync([] {});
        record->wanRadio = true;
        record->publicIp = "127.0.0.2";
        record->public_udp_port = std::to_string(sim->udpPort());
        const auto manager = VitaManager::create("127.0.0.1");
        EXPECT_TRUE(manager->handleRadio(radio));
        // The tables live as long as the session that owns them.
        manager->setStreamTables(
            std::shared_ptr<const VitaStreamTables>(radio, &radio->streamTables()));
        radio->vitaManager.store(manager);
        manager->registerRemoteUdp(radio->apiHandle().value_or(""));
        EXPECT_TRUE(waitFor([&] {
            const auto to = sim->streamDestination();
            return to && to->port == manager->vitaPort() && to->address == "127.0.0.1";
        }));
        sim->sendMeters({{1, 0}});
        EXPECT_TRUE(waitFor([&] { return manager->vitaPacketReceived(); }));
    }
    ~AudioSession() {
        radio->close();
        mainQueueBarrier();
    }
    std::unique_ptr<sim::SimRadio> sim;
    std::shared_ptr<StateRecorder> delegate = std::make_shared<StateRecorder>();
    std::shared_ptr<Radio> radio;
};

// Answers the engine's request for a transmit stream with `stream`, waits until the engine has
// adopted it and made its microphone, and turns the microphone on.
inline void startTransmitStream(AudioSession& session, VMRemoteAudioHandler& handler,
                                std::uint32_t stream) {
    ASSERT_TRUE(session.sim->waitForCommand("stream create type=remote_audio_tx"));
    session.sim->sendStatus(
        fmt::format("stream 0x{:08X} type=remote_audio_tx compression=OPUS", stream));
    ASSERT_TRUE(waitFor([&] { return handler.microphone() && handler.remoteAudioTxStream(); }));
    handler.micAudioOnOff(true);
}

}  // namespace vm::test
