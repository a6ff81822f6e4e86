// The radio's small records against the simulated radio on loopback: the notch filter and
// transverter commands with their exact texts and the status lines the radio answers them with,
// another GUI client's lines, every command that carries user text, and a profile load that
// cannot be sent.
#include "platform/core/NotificationCenter.h"
#include "radio/Client.h"
#include "radio/Radio.h"
#include "radio/TNF.h"
#include "radio/Xvtr.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimLines.h"

#include "RadioTestSupport.h"
#include "SimSessionFixture.h"

#include <gtest/gtest.h>

#include <any>
#include <functional>
#include <string>
#include <vector>

namespace vm {
namespace {

using test::waitFor;

class RadioRecordSession : public test::SimSessionFixture {
protected:
    RadioRecordSession() { record->supportsMultiDoro = true; }
    auto tnfs() const { return test::contents(radio->tnfs()); }
    auto xvtrs() const { return test::contents(radio->xvtrs()); }
    auto clients() const { return test::contents(radio->guiClients()); }
    // Runs the calls and checks that the radio received exactly these commands, in call order
    // (a call's queued command goes out before the next call).
    void expectCommands(
        const std::vector<std::pair<std::function<void()>, std::vector<std::string>>>& cases) {
        std::vector<std::string> expected;
        for (const auto& [call, commands] : cases) {
            call();
            radio->radioRunQueue()->sync([] {});
            expected.insert(expected.end(), commands.begin(), commands.end());
        }
        test::commandBarrier(*radio, *sim);
        EXPECT_EQ(received(), expected);
    }
    // Every line the radio sent before its reply to a marker command has been read, and the main
    // queue has run what those lines queued.
    void answeredBarrier() {
        const auto recorder = std::make_shared<test::ReplyRecorder>();
        radio->commandToRadio("barrier answered", recorder);
        ASSERT_TRUE(waitFor([&] { return !recorder->received().empty(); }));
        test::mainQueueBarrier();
    }
};

TEST_F(RadioRecordSession, NotchFilterAndTransverterCommandTexts) {
    Radio& r = *radio;
    TNF tnf;
    tnf.tnf_id = 3;
    tnf.frequency = 14.2345678;
    tnf.depth = 2;
    tnf.permanent = 1;
    const auto save = [&](double width) {
        tnf.width = width;
        r.saveTNF(tnf);
    };
    test::LogCapture capture;
    expectCommands({
        {[&] { r.createTNF(14.2); }, {"tnf create freq=14.2"}},
        {[&] { r.createTNF(7.0123456); }, {"tnf create freq=7.01235"}},
        {[&] { r.removeTNF(12); }, {"tnf remove 12"}},
        {[&] { save(0.0001); },
         {"tnf set 3 freq=14.2346", "tnf set 3 depth=2", "tnf set 3 width=0.0001",
          "tnf set 3 permanent=1"}},
        {[&] { save(0.006); },
         {"tnf set 3 freq=14.2346", "tnf set 3 depth=2", "tnf set 3 width=0.006",
          "tnf set 3 permanent=1"}},
        {[&] { save(0.000005); },
         {"tnf set 3 freq=14.2346", "tnf set 3 depth=2", "tnf set 3 width=5e-06",
          "tnf set 3 permanent=1"}},
        // Too wide: no width command, the other three still go.
        {[&] { save(0.01); },
         {"tnf set 3 freq=14.2346", "tnf set 3 depth=2", "tnf set 3 permanent=1"}},
        {[&] { r.cmdCreateXvtr(); }, {"xvtr create"}},
        {[&] { r.cmdSetXvtr("0", "rx_only", "1"); }, {"xvtr set 0 rx_only 1"}},
        {[&] { r.cmdSetXvtr("0", "name", "Up\nconverter"); }, {"xvtr set 0 name Up converter"}},
        {[&] { r.cmdRemoveXvtr("0"); }, {"xvtr remove 0"}},
        {[&] { r.spotCommand("add callsign=K1ABC rx_freq=14.025"); },
         {"spot add callsign=K1ABC rx_freq=14.025"}},
    });
    EXPECT_TRUE(capture.contains("saveTNF:width:[0.010000] out of limits"));
}

TEST_F(RadioRecordSession, TheRadioAnswersCreateUpdateAndRemoveNotchFiltersAndTransverters) {
    sim->answerObjectCommands();
    test::NotificationRecorder notes({"com.velmorasoftware.doro.tnf_created", "xvtrAdded"});
    radio->createTNF(14.1);
    ASSERT_TRUE(waitFor([&] { return tnfs().size() == 1; }));
    const auto tnf = tnfs()[0];
    EXPECT_EQ(tnf->tnf_id, 1);
    EXPECT_DOUBLE_EQ(tnf->frequency, 14.1);
    EXPECT_EQ(tnf->depth, 1);
    EXPECT_DOUBLE_EQ(tnf->width, 0.0001);

    // The radio reports the filter again after each of the four settings: still one record.
    TNF moved = *tnf;
    moved.frequency = 14.105;
    moved.depth = 3;
    radio->saveTNF(moved);
    answeredBarrier();
    EXPECT_EQ(tnfs(), std::vector<std::shared_ptr<TNF>>{tnf});
    EXPECT_DOUBLE_EQ(tnf->frequency, 14.105);

    radio->cmdCreateXvtr();
    ASSERT_TRUE(waitFor([&] { return xvtrs().size() == 1; }));
    radio->cmdSetXvtr("0", "rf_freq", "144.0");
    ASSERT_TRUE(waitFor([&] { return xvtrs().size() == 1 && xvtrs()[0]->rf_freq == 144.0; }));
    EXPECT_EQ(xvtrs()[0]->name, "XVTR");
    EXPECT_EQ(radio->xvtrForFrequency(145.0), xvtrs()[0]);

    radio->removeTNF(1);
    radio->cmdRemoveXvtr("0");
    ASSERT_TRUE(waitFor([&] { return tnfs().empty() && xvtrs().empty(); }));
    test::mainQueueBarrier();
    EXPECT_EQ(notes.names(), (std::vector<std::string>{"com.velmorasoftware.doro.tnf_created",
                                                       "xvtrAdded", "xvtrAdded", "xvtrAdded"}));
}

TEST_F(RadioRecordSession, AnotherGuiClientReachesTheClientListAndItsNotification) {
    std::mutex mutex;
    std::vector<std::size_t> sizes;  // the list's size at each notification
    const auto token = NotificationCenter::defaultCenter().addObserver(
        "com.velmorasoftware.doro.available_client_list_changed", radio.get(), nullptr,
        [&](const Notification&) {
            std::lock_guard lock(mutex);
            sizes.push_back(clients().size());
        });
    const std::string own = "0x" + sim->identity().handle;
    ASSERT_TRUE(sim->sendStatus(sim::objectStatus(
        "client", own + " connected", "client_id=ABC program=velmoraSDR station=Shack")));
    ASSERT_TRUE(sim->sendStatusFrom(
        "1B2C3D4E", sim::objectStatus("client", "0x1B2C3D4E connected",
                                      "client_id=XYZ program=Logger station=Tower local_ptt=1")));
    ASSERT_TRUE(waitFor([&] { return clients().size() == 2; }));
    Client other;
    other.clientHandle = "0x1B2C3D4E";
    const auto found = radio->findGuiClientByClientHandle(other);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->station, "Tower");
    EXPECT_EQ(found->program, "Logger");
    EXPECT_TRUE(found->localPtt);

    ASSERT_TRUE(sim->sendStatusFrom("1B2C3D4E",
                                    sim::objectStatus("client", "0x1B2C3D4E disconnected", "")));
    ASSERT_TRUE(waitFor([&] { return clients().size() == 1; }));
    EXPECT_EQ(radio->findGuiClientByClientHandle(other), nullptr);
    NotificationCenter::defaultCenter().removeObserver(token);
    std::lock_guard lock(mutex);
    EXPECT_EQ(sizes, (std::vector<std::size_t>{1, 2, 1}));
}

// Every command that carries user text treats it alike: line breaks become blanks, NUL goes and a
// double quote becomes an apostrophe, so the text can start no new command and no new field.
TEST_F(RadioRecordSession, UserTextIsCleanedTheSameWayInEveryCommand) {
    Radio& r = *radio;
    const std::string typed = std::string("Big \"Gun\"\r\nSta\0tion", 20);
    const std::string clean = "Big 'Gun' Station";
    expectCommands({
        {[&] { r.cmdSetRadioName(typed); }, {"radio name " + clean}},
        {[&] { r.cmdSetStationName(typed); }, {"client station " + clean}},
        {[&] { r.cmdSetRadioCallSign(typed); }, {"radio callsign " + clean}},
        {[&] { r.cmdBind(typed); }, {"client bind client_id=" + clean}},
        {[&] { r.setRadioName(typed); }, {"radio name " + clean}},
        {[&] { r.setRadioCallsign(typed); }, {"radio callsign " + clean}},
        {[&] { r.setRadioScreenSaver(typed); }, {"radio screensaver " + clean}},
        {[&] { r.setCallSign6700(typed); }, {"6700 callsign " + clean}},
        {[&] { r.setMicSelection(typed); }, {"mic input " + clean}},
        {[&] { r.connectAsGui(typed); }, {"client gui " + clean}},
        {[&] { r.disconnectClientByHandle(typed); }, {"client disconnect " + clean}},
        {[&] { r.setCurrentGlobalProfile(typed); }, {"profile global load \"" + clean + "\""}},
        {[&] { r.cmdSaveTxProfile(typed); }, {"profile transmit save \"" + clean + "\""}},
        {[&] { r.cmdDeleteMicProfile(typed); }, {"profile mic delete \"" + clean + "\""}},
        {[&] { r.cmdSetXvtr("1", "name", typed); }, {"xvtr set 1 name " + clean}},
        {[&] { r.spotCommand(typed); }, {"spot " + clean}},
    });
    // Properties keep the text as typed.
    EXPECT_EQ(radio->radioName(), typed);
    EXPECT_EQ(radio->currentGlobalProfile(), typed);
}

TEST_F(RadioRecordSession, AProfileLoadAfterTheConnectionEndedIsAnsweredAsFailed) {
    std::vector<int> results;
    const auto token = NotificationCenter::defaultCenter().addObserver(
        "RadioTransmitProfileLoaded", radio.get(), nullptr, [&](const Notification& note) {
            results.push_back(std::any_cast<int>(note.userInfo.at("result")));
        });
    sim->reply("profile transmit load \"SSB\"", {"0", ""});
    radio->setCurrentTxProfile("SSB");
    ASSERT_TRUE(waitFor([&] { return results.size() == 1; }));
    ASSERT_TRUE(sim->closeSession());
    ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateDisconnectedByPeer); }));
    test::LogCapture capture;
    radio->setCurrentTxProfile("SSB");
    ASSERT_TRUE(waitFor([&] { return results.size() == 2; }));
    NotificationCenter::defaultCenter().removeObserver(token);
    EXPECT_EQ(results, (std::vector<int>{0, Radio::kProfileNotSent}));
    EXPECT_TRUE(capture.contains("Radio:sendProfileCommand:not sent:[profile transmit load"));
}

}  // namespace
}  // namespace vm
