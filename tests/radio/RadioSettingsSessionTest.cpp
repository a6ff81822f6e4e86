// The radio-wide status and settings against the simulated radio: a whole radio's status lines
// checked property by property, every setter's command text as the radio receives it, the direct
// ATU and amplifier commands, and a released session that sends nothing.
#include "radio/Amplifier.h"
#include "radio/Radio.h"
#include "support/LogCapture.h"
#include "support/sim/SimRadio.h"

#include "RadioTestSupport.h"
#include "SimSessionFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <thread>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::LogCapture;
using test::waitFor;

// A property's value as text: "-" for none, numbers in decimal, texts in brackets, lists joined.
std::string describe(const std::any& value) {
    if (const auto* number = std::any_cast<Number>(&value)) {
        return *number ? std::to_string(**number) : "-";
    }
    if (const auto* text = std::any_cast<Text>(&value)) {
        return *text ? "[" + **text + "]" : "-";
    }
    if (const auto* list = std::any_cast<TextList>(&value)) {
        std::string out;
        for (const auto& item : *list) {
            out += "[" + item + "]";
        }
        return out;
    }
    return "?";
}

class RadioSettingsSession : public test::SimSessionFixture {
protected:
    std::string value(const char* name) const {
        const auto found = radio->valueForKey(name);
        return found ? describe(*found) : "no such property";
    }
};

TEST_F(RadioSettingsSession, WholeRadioStatusSetsEveryPropertyByName) {
    LogCapture capture;
    const char* const lines[] = {
        "radio slices=4 panadapters=4 lineout_gain=60 lineout_mute=0 headphone_gain=50 "
        "headphone_mute=1 "
        "remote_on_enabled=0 pll_done=0 freq_error_ppb=-12 cal_freq=15.000000 tnf_enabled=1 "
        "snap_tune_enabled=1 binaural_rx=0 full_duplex_enabled=1 band_persistence_enabled=1 "
        "rtty_mark_default=2125 enforce_private_ip_connections=1 auto_level=1 backlight=50 "
        "mute_local_audio_when_remote=1 daxiq_capacity=16 daxiq_available=12 front_speaker_mute=1",
        "radio filter_sharpness VOICE level=2 filter_sharpness CW level=3 filter_sharpness DIGITAL "
        "level=1 "
        "static_net_params ip=10.0.0.5 gateway=10.0.0.1 netmask=255.255.255.0",
        "radio 6300 callsign=K1ABC 6400 callsign=K2ABC 6500 callsign=K3ABC 6600 callsign=K4ABC "
        "6700 callsign=W1AW",
        "radio nickname=Shack Radio",       // a word ends at the space: "Radio" is read as a key
        "radio callsign= lineout_gain=61",  // an empty call sign
        "radio oscillator state=gpsdo setting=auto locked=1 ext_present=0 gpsdo_present=1 "
        "tcxo_present=1 slices=2",
        "radio spot_action=remove panadapters=1",
        "transmit freq=14.074000 lo=100 hi=2900 rfpower=100 tunepower=10 am_carrier_level=48 "
        "mic_level=40 "
        "mic_selection=MIC mic_boost=1 mic_bias=0 mic_acc=0 compander=1 compander_level=70 "
        "speech_processor_enable=1 speech_processor_level=0 noise_gate_level=10 pitch=600 speed=25 "
        "iambic=1 "
        "iambic_mode=1 swap_paddles=0 break_in=1 break_in_delay=30 monitor=0 mon_gain=50 "
        "met_in_rx=0 "
        "vox_enable=0 vox_level=50 vox_delay=20 vox_visible=1 tune=0 hwalc_enabled=0 dax=1 "
        "inhibit=0 "
        "show_tx_in_waterfall=1 sidetone=1 mon_gain_cw=60 mon_pan_cw=50 sb_monitor=0 "
        "mon_gain_sb=40 "
        "mon_pan_sb=50 cwl_enabled=0 raw_iq_enable=0 tx_filter_changes_allowed=1 "
        "tx_rf_power_changes_allowed=1 synccwx=1 mon_available=1 max_power_level=100 "
        "tx_slice_mode=USB "
        "tx_antenna=ANT1",
        "tranmsit am_carrler_level=30 vox=1",
        "transmit band 20 rfpower=50 tunepower=5",
        "interlock tx_allowed=1 tx_client_handle=0x2DE0B1A5 state=TRANSMITTING source=SW reason= "
        "timeout=abc "
        "acc_txreq_enable=1 rca_txreq_enable=0 acc_txreq_polarity=1 rca_txreq_polarity=0 "
        "ptt_delay=50 "
        "tx1_delay=5 tx2_delay=10 tx3_delay=15 acc_tx_delay=20 tx_delay=25 tx1_enabled=1 "
        "tx2_enabled=0 "
        "tx3_enabled=1 acc_tx_enabled=0 amplifier=0x11",
        "interlock band 20 tx1_enabled=0",
        "atu status=TUNE_SUCCESSFUL atu_enabled=1 memories_enabled=1 using_mem=0",
        "amplifier 0x11 model=PGXL serial_num=1234-5678 ant=ANT1 state=STANDBY",
        "profile global list=Default^Contest Setup^",
        "profile tx list=A^B",  // no final "^": the last name is lost
        "profile mic list=",
        "profile global current=Contest Setup",
        "profile mic current=Studio Mic",
        "wan upnp_supported=0 server_connected=1 radio_authenticated=1 public_upnp_tls_port=-1 "
        "public_upnp_udp_port=-1 public_tls_port=4994 public_udp_port=4993 enabled=1",
        "mixer lineout_gain=1",
        "gps lat=1.0",
        "waveform installed_list=",
        "radio backlight=77",  // last: once it is in, every earlier store has run
    };
    for (const char* line : lines) {
        ASSERT_TRUE(sim->sendStatus(line));
    }
    ASSERT_TRUE(waitFor([&] { return radio->backlight() == 77; }));

    const std::pair<const char*, const char*> expected[] = {
        {"availableSlices", "4"},
        {"availablePanadapters", "4"},
        {"masterSpeakerAfGain", "61"},
        {"masterSpeakerMute", "0"},
        {"masterHeadsetAfGain", "50"},
        {"masterHeadsetMute", "1"},
        {"remoteOnEnabled", "0"},
        {"tnfEnabled", "1"},
        {"binauralRx", "0"},
        {"fullDuplexEnabled", "1"},
        {"bandPersistenceEnabled", "1"},
        {"rttyMarkDefault", "2125"},
        {"enforcePrivateIpConnections", "1"},
        {"autoLevel", "1"},
        {"muteLocalAudioWhenRemote", "1"},
        {"daxiqCapacity", "16"},
        {"daxiqAvailable", "12"},
        {"frontSpeakerMute", "1"},
        {"filterSharpnessVOICELevel", "2"},
        {"filterSharpnessCWLevel", "3"},
        {"filterSharpnessDIGITALLevel", "1"},
        {"staticNetParams", "[10.0.0.5]"},
        {"gateway", "[10.0.0.1]"},
        {"netMask", "[255.255.255.0]"},
        {"callSign6300", "[K1ABC]"},
        {"callSign6400", "[K2ABC]"},
        {"callSign6500", "[K3ABC]"},
        {"callSign6600", "[K4ABC]"},
        {"callSign6700", "[W1AW]"},
        {"radioName", "[Shack]"},
        {"radioCallsign", "[]"},
        // Transmit.
        {"transmitFrequency", "[14.074000]"},
        {"transmitFilterLo", "[100]"},
        {"transmitFilterHi", "[2900]"},
        {"rfPowerLevel", "100"},
        {"tunePowerLevel", "10"},
        {"amCarrierLevel", "30"},
        {"micLevel", "40"},
        {"micSelection", "[MIC]"},
        {"micBoost", "1"},
        {"micBias", "0"},
        {"micAccEnabled", "0"},
        {"companderEnabled", "1"},
        {"companderLevel", "70"},
        {"speechProcEnabled", "1"},
        {"speechProcLevel", "0"},
        {"noiseGateLevel", "10"},
        {"cwPitch", "600"},
        {"cwSpeed", "25"},
        {"cwIambicEnabled", "1"},
        {"cwIambicMode", "[B]"},
        {"cwSwapPaddles", "0"},
        {"cwBreakinEnabled", "1"},
        {"cwBreakinDelay", "30"},
        {"metInRxEnabled", "0"},
        {"voxEnabled", "1"},
        {"voxLevel", "50"},
        {"voxDelay", "20"},
        {"voxVisible", "1"},
        {"tuneEnabled", "0"},
        {"hwAlcEnabled", "0"},
        {"txDaxEnabled", "1"},
        {"txInhibit", "0"},
        {"txInWaterfall", "1"},
        {"sidetone", "1"},
        {"sidetoneGain", "60"},
        {"sidetonePan", "50"},
        {"phMonitor", "0"},
        {"monitorPHGain", "40"},
        {"monitorPHPan", "50"},
        {"cwlEnabled", "0"},
        {"rawIQEnabled", "0"},
        {"txFilterChangesAllowed", "1"},
        {"txRfPowerChangesAllowed", "1"},
        {"syncCWX", "1"},
        {"monAvailable", "1"},
        {"maxPowerLevel", "100"},
        {"txSliceMode", "[USB]"},
        {"txAntenna", "[ANT1]"},
        // Interlock.
        {"txAllowed", "1"},
        {"txClientHandle", "[0x2DE0B1A5]"},
        {"interlockState", "5"},
        {"pttSource", "[SW]"},
        {"interlockReason", "[]"},
        {"interlockTimeoutValue", "0"},
        {"accTxReqEnable", "1"},
        {"rcaTxReqEnable", "0"},
        {"accTxReqPolarity", "1"},
        {"rcaTxReqPolarity", "0"},
        {"pttDelay", "50"},
        {"tx1Delay", "5"},
        {"tx2Delay", "10"},
        {"tx3Delay", "15"},
        {"accTxDelay", "20"},
        {"txDelay", "25"},
        {"tx1Enabled", "1"},
        {"tx2Enabled", "0"},
        {"tx3Enabled", "1"},
        {"accTxEnabled", "0"},
        {"amplifierHandles", "[0x11]"},
        // ATU, amplifier, profiles, WAN.
        {"atuStatus", "4"},
        {"atuEnabled", "1"},
        {"atuMemoriesEnabled", "1"},
        {"atuUsingMemories", "0"},
        {"amplifierState", "[STANDBY]"},
        {"globalProfiles", "[Default][Contest Setup]"},
        {"txProfiles", "[A]"},
        {"micProfiles", ""},
        {"currentGlobalProfile", "[Contest Setup]"},
        {"currentMicProfile", "[Studio Mic]"},
        {"currentTxProfile", "-"},
        {"upnp_supported", "0"},
        {"server_connected", "1"},
        {"radio_authenticated", "1"},
        {"public_upnp_tls_port", "-1"},
        {"public_upnp_udp_port", "-1"},
        {"public_tls_port", "4994"},
        {"public_udp_port", "4993"},
        {"wan_enabled", "1"},
    };
    for (const auto& [name, text] : expected) {
        EXPECT_EQ(value(name), text) << name;
    }

    const auto amp = radio->amplifier();
    ASSERT_TRUE(amp);
    EXPECT_EQ(amp->handle(), "0x11");
    EXPECT_EQ(amp->model(), "PGXL");
    EXPECT_EQ(amp->serial_number(), "1234-5678");
    EXPECT_EQ(amp->antenna(), "ANT1");
    EXPECT_EQ(amp->state(), "STANDBY");

    auto logged = test::loggedLines(capture);
    std::erase_if(logged,
                  [](const std::string& l) { return l.find("Unrecognized") == std::string::npos; });
    EXPECT_EQ(logged, (std::vector<std::string>{
                          "Radio:parseRadioToken:Unrecognized token:[Radio] scan:[" +
                              sim->identity().handle + "|radio nickname=Shack Radio]",
                          "Radio:parseOscillatorToken:Unrecognized token:[slices]",
                      }));
}

TEST_F(RadioSettingsSession, RepeatedStatusValuesAnnounceAgainOnTheMainThread) {
    std::vector<std::string> heard;
    for (const char* key : {"availableSlices", "availablePanadapters"}) {
        radio->addObserver(key, [&, key](const Change& change) {
            EXPECT_TRUE(isMainThread());
            heard.push_back(std::string(key) + "=" + describe(change.newValue));
        });
    }
    sim->sendStatus("radio slices=4 panadapters=4");
    sim->sendStatus("radio slices=4 panadapters=4");
    ASSERT_TRUE(waitFor([&] { return heard.size() == 4; }));
    EXPECT_EQ(heard, (std::vector<std::string>{"availableSlices=4", "availablePanadapters=4",
                                               "availableSlices=4", "availablePanadapters=4"}));
}

// Each setter with the command the radio receives, in call order.
TEST_F(RadioSettingsSession, SettersSendTheirCommandTexts) {
    Radio& r = *radio;
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] { r.setTransmitFilterLo(Text("-150")); }, "transmit set filter_low=-150"},
        {[&] { r.setTransmitFilterHi(Text("2900")); }, "transmit set filter_high=2900"},
        {[&] { r.setTransmitFilterHi(Text("wide")); }, "transmit set filter_high=0"},
        {[&] { r.setRfPowerLevel(50); }, "transmit set rfpower=50"},
        {[&] { r.setRfPowerLevel(50); }, "transmit set rfpower=50"},
        {[&] { r.setMaxPowerLevel(100); }, "transmit set max_power_level=100"},
        {[&] { r.setTunePowerLevel(15); }, "transmit set tunepower=15"},
        {[&] { r.setAmCarrierLevel(48); }, "transmit set am_carrier=48"},
        {[&] { r.setTxDaxEnabled(2); }, "transmit set dax=2"},
        {[&] { r.setMicLevel(40); }, "transmit set miclevel=40"},
        {[&] { r.setCompanderEnabled(7); }, "transmit set compander=1"},
        {[&] { r.setCompanderLevel(70); }, "transmit set compander_level=70"},
        {[&] { r.setSpeechProcEnabled(0); }, "transmit set speech_processor_enable=0"},
        {[&] { r.setSpeechProcLevel(2); }, "transmit set speech_processor_level=2"},
        {[&] { r.setVoxEnabled(1); }, "transmit set vox_enable=1"},
        {[&] { r.setVoxLevel(50); }, "transmit set vox_level=50"},
        {[&] { r.setVoxDelay(20); }, "transmit set vox_delay=20"},
        {[&] { r.setSidetoneGain(60); }, "transmit set mon_gain_cw=60"},
        {[&] { r.setSidetonePan(50); }, "transmit set mon_pan_cw=50"},
        {[&] { r.setPhMonitor(1); }, "transmit set mon=1"},
        {[&] { r.setMonitorPHGain(40); }, "transmit set mon_gain_sb=40"},
        {[&] { r.setMonitorPHPan(45); }, "transmit set mon_pan_sb=45"},
        {[&] { r.setTxInWaterfall(1); }, "transmit set show_tx_in_waterfall=1"},
        {[&] { r.setTxInhibit(0); }, "transmit set inhibit=0"},
        {[&] { r.setHwAlcEnabled(1); }, "transmit set hwalc_enabled=1"},
        {[&] { r.setTuneEnabled(1); }, "transmit tune 1"},
        {[&] { r.setTxState(1); }, "xmit 1"},
        {[&] { r.setTxState(Number()); }, "xmit 0"},
        {[&] { r.setMicSelection(Text("ACC")); }, "mic input ACC"},
        {[&] { r.setMicBias(1); }, "mic bias 1"},
        {[&] { r.setMicBoost(0); }, "mic boost 0"},
        {[&] { r.setMicAccEnabled(1); }, "mic acc 1"},
        {[&] { r.setCwPitch(600); }, "cw pitch 600"},
        {[&] { r.setCwSpeed(3); }, "cw wpm 5"},
        {[&] { r.setCwSpeed(-4); }, "cw wpm 5"},
        {[&] { r.setCwSpeed(Number()); }, "cw wpm 5"},
        {[&] { r.setCwSpeed(5); }, "cw wpm 5"},
        {[&] { r.setCwSpeed(30); }, "cw wpm 30"},
        {[&] { r.setCwSwapPaddles(1); }, "cw swap 1"},
        {[&] { r.setCwIambicEnabled(1); }, "cw iambic 1"},
        {[&] { r.setCwIambicMode(Text("B")); }, "cw mode 1"},
        {[&] { r.setCwIambicMode(Text("b")); }, "cw mode 0"},
        {[&] { r.setCwIambicMode(Text("A")); }, "cw mode 0"},
        {[&] { r.setCwBreakinEnabled(1); }, "cw break_in 1"},
        {[&] { r.setCwBreakinDelay(30); }, "cw break_in_delay 30"},
        {[&] { r.setSidetone(0); }, "cw sidetone 0"},
        {[&] { r.setCwlEnabled(1); }, "cw cwl_enabled 1"},
        {[&] { r.setTxDelay(25); }, "interlock tx_delay=25"},
        {[&] { r.setTx1Delay(5); }, "interlock tx1_delay=5"},
        {[&] { r.setTx2Delay(10); }, "interlock tx2_delay=10"},
        {[&] { r.setTx3Delay(15); }, "interlock tx3_delay=15"},
        {[&] { r.setAccTxDelay(20); }, "interlock acc_tx_delay=20"},
        {[&] { r.setTx1Enabled(1); }, "interlock tx1_enabled=1"},
        {[&] { r.setTx2Enabled(9); }, "interlock tx2_enabled=1"},
        {[&] { r.setTx3Enabled(0); }, "interlock tx3_enabled=0"},
        {[&] { r.setAccTxEnabled(1); }, "interlock acc_tx_enabled=1"},
        {[&] { r.setRcaTxReqEnable(1); }, "interlock rca_txreq_enable=1"},
        {[&] { r.setRcaTxReqPolarity(0); }, "interlock rca_txreq_polarity=0"},
        {[&] { r.setAccTxReqEnable(1); }, "interlock acc_txreq_enable=1"},
        {[&] { r.setAccTxReqPolarity(1); }, "interlock acc_txreq_polarity=1"},
        {[&] { r.setInterlockTimeoutValue(120); }, "interlock timeout=120"},
        {[&] { r.setMasterSpeakerAfGain(60); }, "mixer lineout gain 60"},
        {[&] { r.setMasterHeadsetAfGain(50); }, "mixer headphone gain 50"},
        {[&] { r.setMasterSpeakerMute(1); }, "mixer lineout mute 1"},
        {[&] { r.setMasterHeadsetMute(0); }, "mixer headphone mute 0"},
        {[&] { r.setAtuMemoriesEnabled(1); }, "atu set memories_enabled=1"},
        {[&] { r.setRemoteOnEnabled(1); }, "radio set remote_on_enabled=1"},
        {[&] { r.setTnfEnabled(0); }, "radio set tnf_enabled=0"},
        {[&] { r.setBinauralRx(1); }, "radio set binaural_rx=1"},
        {[&] { r.setFullDuplexEnabled(1); }, "radio set full_duplex_enabled=1"},
        {[&] { r.setRadioScreenSaver(Text("name")); }, "radio screensaver name"},
        {[&] { r.setRadioCallsign(Text("K1ABC")); }, "radio callsign K1ABC"},
        {[&] { r.setRadioName(Text("Shack")); }, "radio name Shack"},
        {[&] { r.setCallSign6300(Text("K1ABC")); }, "6300 callsign K1ABC"},
        {[&] { r.setCallSign6400(Text("K2ABC")); }, "6400 callsign K2ABC"},
        {[&] { r.setCallSign6500(Text("K3 ABC")); }, "6500 callsign K3 ABC"},
        {[&] { r.setCallSign6600(Text("K4ABC")); }, "6600 callsign K4ABC"},
        {[&] { r.setCallSign6700(Text("W1AW")); }, "6700 callsign W1AW"},
        {[&] { r.setBandPersistenceEnabled(1); }, "band_persistence_enabled=1"},
        {[&] { r.setRttyMarkDefault(2125); }, "rtty_mark_default=2125"},
        {[&] { r.setEnforcePrivateIpConnections(0); }, "enforce_private_ip_connections=0"},
        {[&] { r.setFilterSharpnessVOICELevel(1); }, "filter_sharpness VOICE level=1"},
        {[&] { r.setFilterSharpnessCWLevel(2); }, "filter_sharpness CW level=2"},
        {[&] { r.setFilterSharpnessDIGITALLevel(3); }, "filter_sharpness DIGITAL level=3"},
        {[&] { r.setStaticNetParams(Text("ip=10.0.0.5 gateway=10.0.0.1 netmask=255.255.255.0")); },
         "static_net_params ip=10.0.0.5 gateway=10.0.0.1 netmask=255.255.255.0"},
        {[&] { r.setGateway(Text("10.0.0.1")); }, "gateway 10.0.0.1"},
        {[&] { r.setNetMask(Text("255.255.255.0")); }, "netmask 255.255.255.0"},
        {[&] { r.setAutoLevel(1); }, "auto_level=1"},
        {[&] { r.setBacklight(40); }, "backlight=40"},
        {[&] { r.setRemoteAudio(0); }, "remote_audio rx_on 0"},
        // User text never carries a line break or NUL into the command line.
        {[&] { r.setRadioName(Text("Shack\r\nRadio")); }, "radio name Shack Radio"},
        {[&] { r.setRadioCallsign(Text(std::string("K1\0AB\nC", 7))); }, "radio callsign K1AB C"},
        {[&] { r.setRadioName(Text()); }, "radio name "},
    };
    std::vector<std::string> expected;
    for (const auto& [set, command] : cases) {
        set();
        expected.emplace_back(command);
    }
    ASSERT_TRUE(waitForReceived(expected.size()));
    radio->radioRunQueue()->sync([] {});
    test::commandBarrier(*radio, *sim);
    EXPECT_EQ(received(), expected);
    EXPECT_EQ(sim->sessionCount(), 1);
}

TEST_F(RadioSettingsSession, SettersStoreAndAnnounceOnTheCallingThread) {
    std::vector<std::pair<std::string, std::thread::id>> heard;
    for (const char* key : {"rfPowerLevel", "cwSpeed", "tx2Enabled", "radioName"}) {
        radio->addObserver(key, [&, key](const Change& change) {
            heard.emplace_back(std::string(key) + "=" + describe(change.newValue),
                               std::this_thread::get_id());
        });
    }
    std::thread caller([&] {
        radio->setRfPowerLevel(50);
        radio->setRfPowerLevel(50);
        radio->setCwSpeed(3);
        radio->setTx2Enabled(7);
        radio->setRadioName(Text("Shack\nRadio"));
    });
    const auto callerId = caller.get_id();
    caller.join();
    ASSERT_EQ(heard.size(), 5u);
    for (const auto& entry : heard) {
        EXPECT_EQ(entry.second, callerId) << entry.first;
    }
    EXPECT_EQ(heard[0].first, "rfPowerLevel=50");
    EXPECT_EQ(heard[1].first, "rfPowerLevel=50");
    EXPECT_EQ(heard[2].first, "cwSpeed=5");     // the limited value
    EXPECT_EQ(heard[3].first, "tx2Enabled=7");  // the value given; the command carries 1
    EXPECT_EQ(heard[4].first, "radioName=[Shack\nRadio]");  // as given; only the command is cleaned
    ASSERT_TRUE(waitForReceived(5));
    EXPECT_EQ(received()[4], "radio name Shack Radio");
}

TEST_F(RadioSettingsSession, SyncActiveSliceIsStoredLaterOnTheMainQueueAndNeverSent) {
    std::vector<std::string> heard;
    radio->addObserver("syncActiveSlice", [&](const Change& change) {
        EXPECT_TRUE(isMainThread());
        heard.push_back(describe(change.newValue));
    });
    radio->setSyncActiveSlice(0);
    EXPECT_EQ(radio->syncActiveSlice(), 1);  // the caller still sees the previous value
    ASSERT_TRUE(waitFor([&] { return heard.size() == 1; }));
    EXPECT_EQ(heard.front(), "0");
    EXPECT_EQ(radio->syncActiveSlice(), 0);
    radio->commandToRadio("probe");
    ASSERT_TRUE(sim->waitForCommand("probe"));
    EXPECT_EQ(received(), std::vector<std::string>{"probe"});
}

TEST_F(RadioSettingsSession, AtuAndAmplifierDirectCommands) {
    LogCapture capture;
    radio->cmdSetAtuTune(0);
    radio->cmdSetAtuTune(Number());
    radio->cmdSetAtuTune(1);
    radio->cmdSetBypass();
    radio->cmdSetAmplifier(true);  // no amplifier reported yet
    EXPECT_TRUE(capture.contains(
        "cmdSetAmplifier:error - handle:[] model:[] serial_number:[] antenna:[] state:[]"));

    sim->sendStatus("amplifier 0x11 model=PGXL");
    ASSERT_TRUE(
        waitFor([&] { return radio->amplifier() && radio->amplifier()->model() == "PGXL"; }));
    radio->cmdSetAmplifier(true);
    radio->cmdSetAmplifier(false);
    ASSERT_TRUE(waitForReceived(6));
    EXPECT_EQ(received(), (std::vector<std::string>{"atu start 0", "atu start 0", "atu start 1",
                                                    "atu bypass 1", "amplifier set 0x11 operate=1",
                                                    "amplifier set 0x11 operate=0"}));
    EXPECT_TRUE(capture.contains("cmdSetAmplifier:[amplifier set 0x11 operate=1]"));
    // The reply goes to the amplifier callback, which logs it.
    ASSERT_TRUE(waitFor([&] { return capture.contains("ampSetCallback:[R"); }));
    EXPECT_FALSE(radio->atuStatus().has_value());  // direct commands store nothing
}

// The setter stores and announces at once; its command waits on the session's queue, which holds
// the Radio only weakly: once the Radio is gone, nothing is sent.
TEST_F(RadioSettingsSession, ReleasedRadioSendsNothing) {
    const DispatchQueuePtr queue = radio->radioRunQueue();
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    queue->async([&] {
        std::unique_lock lock(mutex);
        opened.wait(lock, [&] { return open; });
    });
    radio->setRfPowerLevel(50);
    radio->setRadioName(Text("Gone"));
    EXPECT_EQ(radio->rfPowerLevel(), 50);
    const std::weak_ptr<Radio> weak = release();
    EXPECT_TRUE(waitFor([&] { return weak.expired(); }));
    {
        std::lock_guard lock(mutex);
        open = true;
    }
    opened.notify_all();
    queue->sync([] {});
    // What the session wrote reached the radio before its connection ended.
    ASSERT_TRUE(waitFor([&] { return !sim->sessionOpen(); }));
    EXPECT_EQ(received(), std::vector<std::string>{});
}

}  // namespace
}  // namespace vm
