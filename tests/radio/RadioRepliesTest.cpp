// The Radio's reply callbacks, fed reply lines directly: identity, versions, lists, the GUI
// binding result and the saved client id, the profile notifications, and the client lookup.
#include "platform/core/Defaults.h"
#include "platform/core/NotificationCenter.h"
#include "radio/Client.h"
#include "radio/Radio.h"
#include "radio/ReplyLine.h"
#include "support/LogCapture.h"

#include "RadioTestSupport.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using test::LogCapture;

std::shared_ptr<Radio> detachedRadio(const std::function<void(RadioInstance&)>& edit = {},
                                     std::weak_ptr<RadioDelegate> delegate = {}, int logLevel = 0) {
    auto instance = std::make_shared<RadioInstance>();
    instance->serialNum = "0610-1122-6700-4321";
    instance->supportsV3_API = true;
    if (edit) {
        edit(*instance);
    }
    return Radio::createDetached(instance, std::move(delegate), "test", logLevel);
}

void drainMain() { DispatchQueue::drainMain(); }

TEST(RadioReplies, InfoReplyFillsTheIdentityWithoutQuotes) {
    const auto radio = detachedRadio();
    radio->infoResponseCallback(
        "R3|0|model=\"DORO-6700\",chassis_serial=\"1234\",name=\"Shack Radio\",callsign=\"N0CALL\","
        "screensaver=name,atu_present=1,lonely");
    drainMain();
    EXPECT_EQ(radio->radioModel(), "DORO-6700");
    EXPECT_EQ(radio->radioName(), "Shack Radio");
    EXPECT_EQ(radio->radioCallsign(), "N0CALL");
    EXPECT_EQ(radio->radioScreenSaver(), "name");
    EXPECT_EQ(radio->atuPresent(), 1);

    radio->infoResponseCallback("R4|50000015|name=Other");
    drainMain();
    EXPECT_EQ(radio->radioName(), "Shack Radio");
}

TEST(RadioReplies, VersionReplyFillsKnownFieldsAndLogsTheRest) {
    LogCapture capture;
    const auto radio = detachedRadio();
    radio->versionResponseCallback(
        "R5|0|DoroSDR-MB=3.2.31#PSoC-MBTRX=3.03#FPGA-MB=1.2#Radio-API=1.4.0.0##");
    drainMain();
    EXPECT_EQ(radio->doroSdrVersion(), "3.2.31");
    EXPECT_EQ(radio->psocMbtrxVersion(), "3.03");
    EXPECT_EQ(radio->fpgaMbVersion(), "1.2");
    EXPECT_FALSE(radio->psocMbPa100Version());
    EXPECT_EQ(capture.lines(),
              std::vector<std::string>{
                  "Radio:versionResponseCallback:Unrecognized token:[Radio-API] value:[1.4.0.0]"});

    // Text without "=" or with empty parts ends the loop without hanging.
    radio->versionResponseCallback("R6|0|garbage");
    radio->versionResponseCallback("R7|0|=#=x#FPGA-MB=");
    drainMain();
    EXPECT_EQ(radio->fpgaMbVersion(), "");
}

TEST(RadioReplies, ListRepliesNeedExactlyThreePartsAndCodeZero) {
    const auto radio = detachedRadio();
    radio->antListResponseCallback("R8|0|ANT1,ANT2,RX_A");
    radio->micListResponseCallback("R9|0|MIC,BAL");
    drainMain();
    EXPECT_EQ(radio->antList(), (TextList{"ANT1", "ANT2", "RX_A"}));
    EXPECT_EQ(radio->micList(), (TextList{"MIC", "BAL"}));

    radio->antListResponseCallback("R10|0|ANT1|extra");
    radio->antListResponseCallback("R11|5000002D|ANT9");
    radio->micListResponseCallback("R12|0");
    drainMain();
    EXPECT_EQ(radio->antList(), (TextList{"ANT1", "ANT2", "RX_A"}));
    EXPECT_EQ(radio->micList(), (TextList{"MIC", "BAL"}));
}

// Reply codes are the radio's hexadecimal error numbers: a code starting with a letter is an
// error, not a zero, and a code that does not read at all is no success either.
TEST(RadioReplies, OnlyACodeThatReadsAsHexadecimalZeroSucceeds) {
    struct Case {
        const char* code;
        bool succeeds;
    };
    const Case cases[] = {{"0", true},         {"00000000", true},  {"50000015", false},
                          {"E2000048", false}, {"e2000048", false}, {"", false},
                          {"garbage", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(replySucceeded(splitReply(std::string("R7|") + c.code + "|x")), c.succeeds);
        const auto radio = detachedRadio();
        radio->antListResponseCallback(std::string("R8|") + c.code + "|ANT1,ANT2");
        radio->infoResponseCallback(std::string("R9|") + c.code + "|name=Shack");
        drainMain();
        EXPECT_EQ(radio->antList() == (TextList{"ANT1", "ANT2"}), c.succeeds);
        EXPECT_EQ(radio->radioName() == "Shack", c.succeeds);
    }
}

TEST(RadioReplies, GuiBindingSetsTheStateAndSavesTheClientIdOfV3Radios) {
    struct Case {
        const char* what;
        std::function<void(RadioInstance&)> edit;
        std::string reply;
        std::uint32_t state;
        std::optional<std::string> saved;
    };
    const std::string key = "client_0610-1122-6700-4321";
    const Case cases[] = {
        {"V3 radio", {}, "R1|0|6F1B2C3D-4E5F rest", kStateConnectedAsGui, "6F1B2C3D-4E5F"},
        {"older radio", [](RadioInstance& r) { r.supportsV3_API = false; }, "R1|0|6F1B2C3D",
         kStateConnectedAsGui, std::nullopt},
        {"no serial number", [](RadioInstance& r) { r.serialNum = ""; }, "R1|0|6F1B2C3D",
         kStateConnectedAsGui, std::nullopt},
        {"no id in the reply", {}, "R1|0|", kStateConnectedAsGui, std::nullopt},
        {"refused", {}, "R1|50000035|", kStateTooManyGuiClients, std::nullopt},
        {"code must be exactly 0", {}, "R1|00|6F1B2C3D", kStateTooManyGuiClients, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Defaults::standard().remove(key);
        const auto recorder = std::make_shared<test::StateRecorder>();
        const auto radio = detachedRadio(c.edit, recorder);
        radio->isGuiCallback(c.reply);
        EXPECT_EQ(radio->radioConnectionState(), c.state);
        ASSERT_TRUE(test::waitFor([&] { return !recorder->states.empty(); }));
        EXPECT_EQ(recorder->states, std::vector<std::uint32_t>{c.state});
        EXPECT_EQ(Defaults::standard().stringForKey(key), c.saved);
    }
    EXPECT_EQ(detachedRadio()->clientIdPrefsKey(), key);
    EXPECT_EQ(detachedRadio([](RadioInstance& r) { r.serialNum.reset(); })->clientIdPrefsKey(), "");
}

TEST(RadioReplies, ProfileRepliesPostTheirNotificationWithTheResult) {
    const auto radio = detachedRadio({}, {}, 2);
    struct Case {
        void (Radio::*callback)(const std::string&);
        const char* notification;
        const char* logged;
    };
    const Case cases[] = {
        {&Radio::globalProfileLoadCallback, "RadioGlobalProfileLoaded",
         "Radio:globalProfileLoadCallback"},
        {&Radio::globalProfileSaveCallback, "RadioGlobalProfileSaved",
         "Radio:globalProfileSaveCallback"},
        {&Radio::transmitProfileLoadCallback, "RadioTransmitProfileLoaded",
         "Radio:transmitProfileLoadCallback"},
        {&Radio::transmitProfileSaveCallback, "RadioTransmitProfileSaved",
         "Radio:transmitProfileSaveCallback"},
        {&Radio::micProfileLoadCallback, "RadioMicProfileLoaded", "Radio:micProfileLoadCallback"},
        {&Radio::micProfileSaveCallback, "RadioMicProfileSaved", "Radio:micProfileSaveCallback"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.notification);
        std::vector<Notification> seen;
        const auto token = NotificationCenter::defaultCenter().addObserver(
            c.notification, [&](const Notification& n) { seen.push_back(n); });
        LogCapture capture;
        (radio.get()->*c.callback)("R2|0|");
        (radio.get()->*c.callback)("R3|31|");
        (radio.get()->*c.callback)("R4|E2000048|");
        EXPECT_TRUE(seen.empty());  // posted on the main queue
        drainMain();
        NotificationCenter::defaultCenter().removeObserver(token);
        ASSERT_EQ(seen.size(), 3u);
        EXPECT_EQ(seen[0].object, radio);
        EXPECT_EQ(std::any_cast<int>(seen[0].userInfo.at("result")), 0);
        EXPECT_EQ(std::any_cast<int>(seen[1].userInfo.at("result")), 31);
        EXPECT_NE(std::any_cast<int>(seen[2].userInfo.at("result")), 0);
        EXPECT_TRUE(capture.contains(c.logged));
    }
}

TEST(RadioReplies, RepliesThatAreOnlyLogged) {
    const auto radio = detachedRadio({}, {}, 2);
    LogCapture capture;
    radio->radioBindCallback("R1|0|0x5A3C1F07");
    radio->radioBindCallback("R2|5000002C|");
    radio->newRemoteAudioStreamCallback("R3|0|0x04000008");
    radio->newRemoteAudioStreamCallback("R4|50000016|");
    radio->removeRemoteAudioStreamCallback("R5|5000001A|");
    radio->radioNameCallback("R6|0|");
    radio->disconnectChangeCallback("R7|0|");
    radio->wanSetPortsResponseCallback("R8|0|");
    radio->xvtrChangeCallback("R9|0|");
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                   "radioBindCallback:bound client handle:[0x5A3C1F07]",
                                   "radioBindCallback:error:[5000002C]",
                                   "newRemoteAudioStreamCallback:errorNumAsString:[50000016]",
                                   "removeRemoteAudioStreamCallback:errorNumAsString:[5000001A]",
                                   "radioNameCallback:[R6|0|]",
                                   "Radio:disconnectChangeCallback:cmdResponse:[R7|0|]",
                                   "wanSetPortsResponseCallback:cmdResponse:[R8|0|]",
                                   "Radio:xvtrChangeCallback:cmdResponse:[R9|0|]",
                               }));
}

TEST(RadioGuiClients, LookupByHandleFindsTheFirstNonEmptyMatch) {
    const auto radio = detachedRadio();
    auto client = [](std::optional<std::string> handle, std::string station) {
        auto c = std::make_shared<Client>();
        c->clientHandle = std::move(handle);
        c->station = std::move(station);
        return c;
    };
    const auto first = client("0x1234ABCD", "first");
    radio->guiClients()->with([&](auto& clients) {
        clients = {client(std::nullopt, "none"), client("", "empty"), first,
                   client("0x1234ABCD", "second")};
    });
    Client wanted;
    wanted.clientHandle = "0x1234ABCD";
    EXPECT_EQ(radio->findGuiClientByClientHandle(wanted), first);
    wanted.clientHandle = "";
    EXPECT_EQ(radio->findGuiClientByClientHandle(wanted), nullptr);
    wanted.clientHandle.reset();
    EXPECT_EQ(radio->findGuiClientByClientHandle(wanted), nullptr);
    wanted.clientHandle = "0x00000001";
    EXPECT_EQ(radio->findGuiClientByClientHandle(wanted), nullptr);
}

}  // namespace
}  // namespace vm
