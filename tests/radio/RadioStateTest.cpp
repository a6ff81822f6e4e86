// The radio's observable state: every property by name, the values a new session starts with, and
// the announcement rules of the two kinds of writer.
#include "radio/Radio.h"
#include "support/LogCapture.h"

#include "RadioTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace vm {
namespace {

using test::waitFor;

// Every property of the radio's state model, by the name its observers use.
const char* const kPropertyNames[] = {
    // Session and identity.
    "delegate", "radioInstance", "apiProgramName", "debugLogLevel", "radioRunQueue", "pingTimer",
    "lastPingRxtime", "vitaManager", "apiVersion", "apiHandle", "clientHandle", "isGui",
    "radioName", "radioCallsign", "radioModel", "radioScreenSaver", "atuPresent",
    "doroSdrVersion", "psocMbtrxVersion", "psocMbPa100Version", "fpgaMbVersion", "callSign6300",
    "callSign6400", "callSign6500", "callSign6600", "callSign6700",
    // Tables of the protocol.
    "statusTokens", "statusRadioTokens", "statusTransmitTokens", "statusInterlockTokens",
    "statusInterlockStateTokens", "statusInterlockReasonTokens", "statusAtuTokens",
    "statusAtuStatusTokens", "statusXvtrTokens", "statusWanTokens", "clientTokens",
    "responseCallbacks", "notifyList", "filters",
    // Collections.
    "slices", "equalizers", "meters", "metersByShortName", "panafalls", "waterfalls",
    "daxAudioStreamToStreamHandler", "opusAudioStreamHandlers", "remoteAudioStreamHandlers",
    "xvtrs", "tnfs", "guiClients", "radio_spots", "radio_spots_lock", "cwx", "amplifier",
    "usbCable", "rxAntennaPorts", "txAntennaPorts", "antList", "micList",
    // Capacity.
    "availableSlices", "availablePanadapters", "daxiqAvailable", "daxiqCapacity",
    // Interlock.
    "interlockState", "interlockReason", "pttSource", "amplifierHandles", "txClientHandle",
    "txAllowed", "pttDelay", "interlockTimeoutValue", "accTxReqEnable", "rcaTxReqEnable",
    "accTxReqPolarity", "rcaTxReqPolarity", "tx1Delay", "tx2Delay", "tx3Delay", "accTxDelay",
    "txDelay", "tx1Enabled", "tx2Enabled", "tx3Enabled", "accTxEnabled",
    // Transmit.
    "transmitFrequency", "txSliceMode", "txAntenna", "transmitFilterLo", "transmitFilterHi",
    "rfPowerLevel", "maxPowerLevel", "tunePowerLevel", "amCarrierLevel", "txState",
    "tuneEnabled", "txInhibit", "txInWaterfall", "hwAlcEnabled", "txDaxEnabled", "rawIQEnabled",
    "txFilterChangesAllowed", "txRfPowerChangesAllowed", "metInRxEnabled", "syncCWX",
    "monAvailable",
    // Microphone and speech processing.
    "micSelection", "micLevel", "micBoost", "micBias", "micAccEnabled", "companderEnabled",
    "companderLevel", "speechProcEnabled", "speechProcLevel", "noiseGateLevel", "voxEnabled",
    "voxLevel", "voxDelay", "voxVisible",
    // CW and monitor.
    "cwPitch", "cwSpeed", "cwIambicEnabled", "cwSwapPaddles", "cwBreakinEnabled",
    "cwBreakinDelay", "cwlEnabled", "cwIambicMode", "sidetone", "sidetoneGain", "sidetonePan",
    "phMonitor", "monitorPHGain", "monitorPHPan",
    // Audio outputs and receive.
    "masterSpeakerAfGain", "masterHeadsetAfGain", "masterSpeakerMute", "masterHeadsetMute",
    "frontSpeakerMute", "muteLocalAudioWhenRemote", "binauralRx", "fullDuplexEnabled",
    "remoteAudio",
    // ATU and amplifier.
    "atuStatus", "atuEnabled", "atuUsingMemories", "atuMemoriesEnabled", "amplifierState",
    // Radio-wide settings.
    "tnfEnabled", "remoteOnEnabled", "bandPersistenceEnabled", "rttyMarkDefault",
    "enforcePrivateIpConnections", "filterSharpnessVOICELevel", "filterSharpnessCWLevel",
    "filterSharpnessDIGITALLevel", "autoLevel", "backlight", "staticNetParams", "gateway",
    "netMask", "syncActiveSlice",
    // DoroLink.
    "upnp_supported", "server_connected", "radio_authenticated", "wan_enabled",
    "public_upnp_tls_port", "public_upnp_udp_port", "public_tls_port", "public_udp_port",
    // Profiles.
    "currentGlobalProfile", "currentTxProfile", "currentMicProfile", "globalProfiles",
    "txProfiles", "micProfiles",
};

std::shared_ptr<Radio> detachedRadio(const char* model = "DORO-6700") {
    auto instance = std::make_shared<RadioInstance>();
    instance->model = model;
    return Radio::createDetached(instance, {}, "velmoraSDR", 0);
}

TEST(RadioState, EveryPropertyIsObservableByName) {
    const auto radio = detachedRadio();
    const std::vector<std::string> names = radio->propertyNames();
    EXPECT_EQ(std::size(kPropertyNames), 177u);
    EXPECT_EQ(std::set<std::string>(std::begin(kPropertyNames), std::end(kPropertyNames)),
              std::set<std::string>(names.begin(), names.end()));
    EXPECT_EQ(names.size(), 177u) << "a name is declared twice";
    for (const char* name : kPropertyNames) {
        int heard = 0;
        const auto token = radio->addObserver(name, [&](const Change& change) {
            EXPECT_EQ(change.keyPath, name);
            ++heard;
        });
        EXPECT_TRUE(radio->valueForKey(name).has_value()) << name;
        EXPECT_TRUE(radio->announceKey(name)) << name;
        EXPECT_EQ(heard, 1) << name;
        radio->removeObserver(token);
    }
}

TEST(RadioState, NewSessionStartsWithItsTablesAndCollections) {
    const auto radio = detachedRadio();
    EXPECT_EQ(radio->radioConnectionState(), kStateConnecting);
    EXPECT_EQ(radio->tunePowerLevel(), 10);
    EXPECT_EQ(radio->syncActiveSlice(), 1);
    EXPECT_EQ(radio->rfPowerLevel(), std::nullopt);
    EXPECT_EQ(radio->radioName(), std::nullopt);
    EXPECT_EQ(radio->clientHandle(), std::nullopt);
    EXPECT_EQ(radio->apiProgramName(), "velmoraSDR");
    EXPECT_EQ(radio->radioRunQueue()->label(), "com.velmorasoftware.vmsdr.RadioQueue");
    EXPECT_EQ(radio->txAntennaPorts(), (TextList{"ANT1", "ANT2", "XVTR"}));
    radio->slices()->with([](const auto& slots) {
        EXPECT_EQ(slots.size(), 8u);
        EXPECT_TRUE(std::all_of(slots.begin(), slots.end(), [](const auto& s) { return !s; }));
    });
    radio->equalizers()->with([](const auto& slots) { EXPECT_EQ(slots.size(), 2u); });
    EXPECT_TRUE(radio->panafalls()->with([](const auto& m) { return m.empty(); }));
    EXPECT_EQ(radio->radio_spots_lock()->name, "com.velmorasoftware.vmsdr_radio_spots_lock");
    EXPECT_EQ(radio->filters(), &initFilterSpecs());
    EXPECT_EQ(radio->statusTokens()->lookup("slice"), 6);
}

TEST(RadioState, ReceiveAntennasFollowTheModel) {
    const std::pair<const char*, TextList> cases[] = {
        {"DORO-6700", {"ANT1", "ANT2", "RX_A", "RX_B", "XVTR"}},
        {"DORO-6300", {"ANT1", "ANT2", "XVTR"}},
        {"DORO-6500", {"ANT1", "ANT2", "RX_A", "XVTR"}},
        {"", {"ANT1", "ANT2", "RX_A", "XVTR"}},
    };
    for (const auto& [model, antennas] : cases) {
        EXPECT_EQ(detachedRadio(model)->rxAntennaPorts(), antennas) << model;
    }
}

// A value from the radio is stored and announced on the main queue; an observer registered first
// sees the property unset, then each value, once per write even when it repeats.
TEST(RadioState, RadioValuesAreStoredAndAnnouncedOnTheMainQueue) {
    const auto radio = detachedRadio();
    std::vector<Number> heard;
    EXPECT_EQ(radio->rfPowerLevel(), std::nullopt);
    radio->addObserver("rfPowerLevel", [&](const Change& change) {
        EXPECT_TRUE(isMainThread());
        heard.push_back(std::any_cast<Number>(change.newValue));
    });
    std::thread parser([&] {
        radio->storeOnMain(radio->rfPowerLevel, Number(50));
        radio->storeOnMain(radio->rfPowerLevel, Number(50));
    });
    parser.join();
    EXPECT_EQ(radio->rfPowerLevel(), std::nullopt) << "stored before the main queue ran";
    ASSERT_TRUE(waitFor([&] { return heard.size() == 2; }));
    EXPECT_EQ(heard, (std::vector<Number>{50, 50}));
    EXPECT_EQ(radio->rfPowerLevel(), 50);
}

// A command setter announces on the calling thread at once; its command is queued on the session's
// queue (the session tests show it reaching the radio).
TEST(RadioState, CommandSetterAnnouncesOnTheCallingThread) {
    const auto radio = detachedRadio();
    std::vector<Number> heard;
    radio->addObserver("txState", [&](const Change& change) {
        heard.push_back(std::any_cast<Number>(change.newValue));
    });
    radio->setAndSend(radio->txState, Number(1), "xmit 1");
    EXPECT_EQ(heard, (std::vector<Number>{1}));
    EXPECT_EQ(radio->txState(), 1);
}

}  // namespace
}  // namespace vm
