// Remote audio in the connected application: restored from the preferences at the end of the
// start-up chain, switched off by its check box, and the session's end letting the engine go.
#include "ConnectingFixture.h"

#include "app/audio/RemoteAudioController.h"
#include "audio/VMRemoteAudioHandler.h"
#include "platform/ui/CheckBox.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vm {
namespace {

using RemoteAudioSession = test::ConnectingFixture;
using test::runEventsUntil;

TEST_F(RemoteAudioSession, SavedRemoteAudioStartsAtTheChainsEndAndItsCheckBoxStopsIt) {
    Defaults::standard().set("remote_audio", PlistValue(1));
    launch();
    ASSERT_TRUE(runEventsUntil([&] { return controller->remoteAudio->audioSystemReady(); }));
    connectAsGui();
    const std::string create = "stream create type=remote_audio_rx compression=opus";
    ASSERT_TRUE(runEventsUntil([&] { return sent(create) && sent("sub pan all"); }));
    // Requested in the chain's finishing step, after the profiles and before the subscriptions.
    const auto texts = sim->commandTexts();
    const auto at = [&](const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) - texts.begin();
    };
    EXPECT_LT(at(create), at("sub pan all"));
    EXPECT_TRUE(prefsControl<CheckBox>("remoteAudioCheckBox").state());

    sim->sendStatus("stream 0x04000009 type=remote_audio_rx compression=opus ip=127.0.0.1");
    ASSERT_TRUE(runEventsUntil([&] {
        const auto& engine = controller->remoteAudio->audioHandler;
        return engine && engine->remoteAudioRxStream();
    }));
    auto& box = prefsControl<CheckBox>("remoteAudioCheckBox");
    box.setState(false);
    emit box.action();
    EXPECT_TRUE(runEventsUntil([&] { return sent("stream remove 0x04000009"); }));
    EXPECT_EQ(controller->remoteAudio->audioHandler, nullptr);
    EXPECT_EQ(Defaults::standard().integerForKey("remote_audio"), 0);
}

TEST_F(RemoteAudioSession, TheSessionsEndLetsTheEngineGoAndKeepsTheCheckBox) {
    launch();
    ASSERT_TRUE(runEventsUntil([&] { return controller->remoteAudio->audioSystemReady(); }));
    connectAsGui();
    EXPECT_FALSE(sent("stream create type=remote_audio_rx compression=opus"));  // none stored
    auto& box = prefsControl<CheckBox>("remoteAudioCheckBox");
    box.setState(true);
    emit box.action();
    ASSERT_NE(controller->remoteAudio->audioHandler, nullptr);
    controller->radioClosed();
    EXPECT_EQ(controller->remoteAudio->audioHandler, nullptr);
    EXPECT_TRUE(box.state());
    EXPECT_TRUE(sim->waitForCommand("remote_audio rx_on 0"));  // sent before the session closed
}

}  // namespace
}  // namespace vm
