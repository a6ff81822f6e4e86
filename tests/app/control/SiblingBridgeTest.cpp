// The sibling-application bridge without the application: a private session bus on which stand-in
// siblings hold their names (the logger with its tuning methods, the tracker), post and hear
// notifications, and a session with the simulated radio whose slices the satellite tuning moves.
#include "app/control/SiblingBridge.h"
#include "app/control/SiblingBridgeHost.h"
#include "app/windows/PrefsTestSupport.h"
#include "attach/RadioObjects.h"
#include "display/PanSpotObject.h"
#include "objects/Slice.h"
#include "platform/core/Defaults.h"
#include "platform/core/NotificationCenter.h"
#include "radio/RadioInstance.h"
#include "support/LogCapture.h"
#include "support/PrivateBus.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimLines.h"

#include "radio/SimSessionFixture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>

#include <ctime>
#include <string>
#include <vector>

namespace vm {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

// The logger's side of the tuning: what it was told, in order.
class StandInLogger : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.velmorasoftware.Tarvelo.Log")
public:
    Strings calls;

public slots:
    void setLogFrequency(const QString& mhz) { calls.push_back("frequency " + mhz.toStdString()); }
    void setLogMode(const QString& mode) { calls.push_back("mode " + mode.toStdString()); }
    void setSplitKhz(const QString& khz) { calls.push_back("split " + khz.toStdString()); }
};

// What lies outside the bridge: the session's slices 0 (A, active) and 1 (B), the choices of the
// preferences, and a record of the panadapter requests.
class BridgeHost : public SiblingBridgeHost {
public:
    std::shared_ptr<Radio> radio;
    std::shared_ptr<Slice> sliceA, sliceB;
    bool remote = true, dragging = false, spotsOn = true, tuneLogger = true, narrowFm = false;
    Date lastTuning = std::chrono::system_clock::now() - 10s;
    Strings told;
    int spotChanges = 0;

    bool debugEnabled() const override { return true; }
    bool radioIsOpen() const override { return radio != nullptr; }
    bool radioConnectedAsGui() const override { return radio != nullptr; }
    bool openRadioIsRemote() const override { return remote; }
    std::shared_ptr<Slice> activeVFO() const override { return sliceA; }
    std::shared_ptr<Slice> transmitVFO() const override { return sliceB; }
    std::shared_ptr<Slice> getSliceA() const override { return sliceA; }
    std::shared_ptr<Slice> getSliceB() const override { return sliceB; }
    bool needDoroVFO(int vfo) override {
        told.push_back("need slice " + std::to_string(vfo));
        return true;
    }
    void centerPan(const std::string& streamId, double mhz) override {
        told.push_back(fmt::format("centre {} on {:g}", streamId, mhz));
    }
    bool panadapterDragging() const override { return dragging; }
    Date timeOfLastTuning() const override { return lastTuning; }
    void spotsChanged() override { ++spotChanges; }
    bool tuneLoggerOn() const override { return tuneLogger; }
    bool loggerSpotsOn() const override { return spotsOn; }
    bool narrowFmForSatellite() const override { return narrowFm; }
};

// Until `done`, with the GUI thread's events (the bus) and the main queue served; 5 s at most.
bool until(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (runMainUntil(done, 10ms)) {
            return true;
        }
    }
    return done();
}

// A spot time as the logger writes it, `ago` before now.
std::string spotTime(std::chrono::seconds ago) {
    const std::time_t when =
        std::chrono::system_clock::to_time_t(std::chrono::system_clock::now() - ago);
    std::tm tm{};
    gmtime_r(&when, &tm);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S +0000", &tm);
    return text;
}

PlistDict spot(const std::string& call, double mhz, std::chrono::seconds ago = 0s,
               double hours = 1.0) {
    return {{"combinedCallsign", call}, {"timestamp", spotTime(ago)},
            {"megahertz", mhz},         {"mode", "CW"},
            {"timeout_hours", hours},   {"dxde", "W1AW"},
            {"comments", "599"},        {"qsx_megahertz", 0.0}};
}

class SiblingBridgeTest : public test::SimSessionFixture {
protected:
    static void SetUpTestSuite() { bus_ = new test::PrivateBus; }
    static void TearDownTestSuite() {
        delete bus_;
        bus_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(bus_->started()) << bus_->failure();
        test::forgetPreferences();
        attach = attachRadioObjects;
        ASSERT_NO_FATAL_FAILURE(SimSessionFixture::SetUp());
        host->radio = radio;
        sliceCreated_ = NotificationCenter::defaultCenter().addObserver(
            "SliceCreated", [this](const Notification& notification) {
                const auto slice = std::static_pointer_cast<Slice>(notification.object);
                (slice->thisSliceNumber() == 0 ? host->sliceA : host->sliceB) = slice;
            });

        loggerBus_ = connect("logger");
        trackerBus_ = connect("tracker");
        ASSERT_TRUE(loggerBus_.registerObject(SiblingBridge::kLoggerPath, &logger,
                                              QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(loggerBus_.registerService(SiblingBridge::kLoggerBusName));
        ASSERT_TRUE(trackerBus_.registerService(SiblingBridge::kTrackerBusName));
        loggerCenter = std::make_unique<DistributedNotificationCenter>(loggerBus_);
        trackerCenter = std::make_unique<DistributedNotificationCenter>(trackerBus_);
        bridgeCenter_ = std::make_unique<DistributedNotificationCenter>(connect("bridge"));
        bridge = SiblingBridge::create(*bridgeCenter_, QDBusConnection(names_.back()), queue, host);
        bridge->registerDistributedNotifications();
        bridge->checkSiblings(false);
    }
    void TearDown() override {
        bridge.reset();
        bridgeCenter_.reset();
        loggerCenter.reset();
        trackerCenter.reset();
        for (const auto& name : names_) {
            QDBusConnection::disconnectFromBus(name);
        }
        NotificationCenter::defaultCenter().removeObserver(sliceCreated_);
        SimSessionFixture::TearDown();
    }

    QDBusConnection connect(const QString& name) {
        const QString unique = name + QString::number(++connections_);
        names_.push_back(unique);
        return QDBusConnection::connectToBus(QString::fromStdString(bus_->address()), unique);
    }

    // Slice 0 at 14.2 MHz in USB, slice 1 at 14.205 MHz in LSB, both offering FM and NFM.
    void addSlices() {
        const std::string modes = " mode_list=LSB,USB,CW,FM,NFM,AM";
        ASSERT_TRUE(sim->sendStatus(
            sim::sliceStatus(0, "in_use=1 active=1 RF_frequency=14.200000 mode=USB tx=0" + modes)));
        ASSERT_TRUE(sim->sendStatus(
            sim::sliceStatus(1, "in_use=1 active=0 RF_frequency=14.205000 mode=LSB tx=1" + modes)));
        ASSERT_TRUE(test::waitFor([&] {
            return host->sliceA && host->sliceB && host->sliceA->modeList() &&
                   host->sliceB->sliceTxEnabled();
        }));
        test::mainQueueBarrier();
    }
    // What the tracker asks, heard by the bridge.
    void track(const PlistDict& payload) {
        const std::size_t before = heardBySatellite_;
        const auto token = bridgeCenter_->addObserver(
            "com.velmorasoftware.tune_doro_satellite",
            [this](const DistributedNotification&) { ++heardBySatellite_; });
        ASSERT_TRUE(trackerCenter->post("com.velmorasoftware.tune_doro_satellite",
                                        SiblingBridge::kObject, payload));
        ASSERT_TRUE(until([&] { return heardBySatellite_ > before; }));
        bridgeCenter_->removeObserver(token);
    }
    // The slice commands the radio received since the start-up burst, for slice B and then for
    // slice A (each slice sends from its own queue, so only each one's order is kept).
    Strings sliceCommands() {
        test::queueBarrier(queue);
        for (const auto& slice : {host->sliceA, host->sliceB}) {
            if (slice) {
                test::queueBarrier(slice->sliceRunQueue());
            }
        }
        test::queueBarrier(radio->radioRunQueue());
        test::commandBarrier(*radio, *sim);
        Strings out;
        for (const char* number : {"1", "0"}) {
            for (const auto& text : received()) {
                for (const char* verb : {"slice tune ", "slice set "}) {
                    if (text.starts_with(std::string(verb) + number + " ")) {
                        out.push_back(text);
                    }
                }
            }
        }
        return out;
    }
    // The logger posts a notification and the bridge has heard it (its observers run first).
    void fromLogger(const std::string& name, const PlistDict& payload) {
        bool heard = false;
        const auto token =
            bridgeCenter_->addObserver(name, [&](const DistributedNotification&) { heard = true; });
        ASSERT_TRUE(loggerCenter->post(name, SiblingBridge::kObject, payload));
        ASSERT_TRUE(until([&] { return heard; }));
        bridgeCenter_->removeObserver(token);
    }
    Strings spotCalls() const {
        Strings calls;
        for (const auto& spot : bridge->localSpots()) {
            calls.push_back(fmt::format("{} {}", spot->combinedCallsign, spot->megahertz));
        }
        return calls;
    }

    DispatchQueuePtr queue = DispatchQueue::serial("zenithor-test");
    std::shared_ptr<BridgeHost> host = std::make_shared<BridgeHost>();
    StandInLogger logger;
    std::unique_ptr<DistributedNotificationCenter> loggerCenter, trackerCenter;
    std::shared_ptr<SiblingBridge> bridge;

    QDBusConnection loggerBus_{QString()}, trackerBus_{QString()};

private:
    static test::PrivateBus* bus_;
    std::unique_ptr<DistributedNotificationCenter> bridgeCenter_;
    std::vector<QString> names_;
    int connections_ = 0;
    std::size_t heardBySatellite_ = 0;
    NotificationCenter::Token sliceCreated_ = 0;
};

test::PrivateBus* SiblingBridgeTest::bus_ = nullptr;

TEST_F(SiblingBridgeTest, TheLoggersSpotsAreKeptReplacedAgedAndReset) {
    fromLogger("com.velmorasoftware.new_dx_spot", spot("K1ABC", 14.074));
    fromLogger("com.velmorasoftware.new_dx_spot", spot("OLD1", 14.010, 3h));
    EXPECT_EQ(spotCalls(), (Strings{"K1ABC 14.074", "OLD1 14.01"}));
    EXPECT_EQ(host->spotChanges, 2);
    const auto first = bridge->localSpots()[0];
    EXPECT_EQ(first->dxde, "W1AW");
    EXPECT_EQ(first->mode, "CW");

    // The same call a few hertz away replaces its spot; the one older than its hour goes.
    fromLogger("com.velmorasoftware.new_dx_spot", spot("K1ABC", 14.07405));
    EXPECT_EQ(spotCalls(), (Strings{"K1ABC 14.07405"}));

    // A spot without a usable frequency, or one carrying text for it, is left out.
    PlistDict bad = spot("BAD1", 0);
    fromLogger("com.velmorasoftware.new_dx_spot", bad);
    bad["megahertz"] = "14.074\nxmit 1";
    fromLogger("com.velmorasoftware.new_dx_spot", bad);
    EXPECT_EQ(spotCalls(), (Strings{"K1ABC 14.07405"}));

    // With the spots switched off nothing is added, but the lifetime still follows the logger,
    // and the next ageing ends a spot older than the new lifetime.
    fromLogger("com.velmorasoftware.new_dx_spot", spot("G4AAA", 3.520, 45min, 2.0));
    host->spotsOn = false;
    fromLogger("com.velmorasoftware.new_dx_spot", spot("W9XYZ", 7.030, 0s, 0.5));
    EXPECT_EQ(spotCalls(), (Strings{"K1ABC 14.07405", "G4AAA 3.52"}));
    EXPECT_EQ(bridge->spot_timeout_hours(), 0.5);
    bridge->ageTRVLSpots();
    EXPECT_EQ(spotCalls(), (Strings{"K1ABC 14.07405"}));

    fromLogger("com.velmorasoftware.reset_dx_spots", {});
    EXPECT_TRUE(spotCalls().empty());
    EXPECT_FALSE(bridge->loadingSpots());
}

TEST_F(SiblingBridgeTest, TheBandPlanIsSortedStoredAndRestored) {
    test::LogCapture log;
    fromLogger("com.velmorasoftware.band_plan", {{"20m Upper Bandedge", 14.35},
                                                 {"20M Lower Bandedge", 14.0},
                                                 {"160m Lower Bandedge", 1.8},
                                                 {"160m Upper Bandedge", 2.0},
                                                 {"comment", "not an edge"},
                                                 {"40m Lower Bandedge", PlistArray{7.0}}});
    EXPECT_TRUE(log.contains("loadBandPlan:2 lower, 2 upper edges loaded"));
    const ArchiveArray lower{1.8, 14.0}, upper{2.0, 14.35};
    EXPECT_EQ(bridge->bandLowerEdges(), lower);
    EXPECT_EQ(bridge->bandUpperEdges(), upper);
    EXPECT_FALSE(bridge->loadingBandEdges());

    const auto again =
        SiblingBridge::create(*loggerCenter, QDBusConnection(QString()), queue, host);
    EXPECT_EQ(again->bandLowerEdges(), lower);
    EXPECT_EQ(again->bandUpperEdges(), upper);
}

TEST_F(SiblingBridgeTest, APanadapterIsCentredOnlyOnAPlainFrequency) {
    fromLogger("com.velmorasoftware.center_pan",
               {{"panForSlice", "0x40000001"}, {"megahertz", 7.1}});
    fromLogger("com.velmorasoftware.center_pan",
               {{"panForSlice", "0x40000001"}, {"megahertz", "7.1 tx=1"}});
    fromLogger("com.velmorasoftware.center_pan",
               {{"panForSlice", "0x40000000"}, {"megahertz", -3}});
    EXPECT_EQ(host->told, Strings{"centre 0x40000001 on 7.1"});
}

TEST_F(SiblingBridgeTest, ASatellitePassTunesBDownAndAUpWithTheTone) {
    addSlices();
    test::LogCapture log;
    track({{"down", 145.8},
           {"downlinkMode", "FM"},
           {"up", 437.8},
           {"uplinkMode", "FM"},
           {"name", "ISS"},
           {"tone", "88.5"},
           {"ctone", ""}});
    EXPECT_TRUE(
        log.contains("satellite:down:145.8 downlinkMode:FM up:437.8 uplinkMode:FM "
                     "name:ISS tone:88.5 ctone: changed:YES"));
    EXPECT_EQ(sliceCommands(),
              (Strings{"slice tune 1 145.8 autopan=1", "slice set 1 tx=0", "slice set 1 mode=FM",
                       "slice tune 0 437.8 autopan=1", "slice set 0 tx=1", "slice set 0 mode=FM",
                       "slice set 0 fm_tone_value=88.5", "slice set 0 fm_tone_mode=ctcss_tx"}));
}

TEST_F(SiblingBridgeTest, ASatelliteUpdateWithoutChangesOnlyRetunes) {
    addSlices();
    track({{"down", 145.81},
           {"downlinkMode", "FM"},
           {"up", 437.79},
           {"uplinkMode", "FM"},
           {"tone", 88.5},
           {"changed", false}});
    EXPECT_EQ(sliceCommands(),
              (Strings{"slice tune 1 145.81 autopan=0", "slice tune 0 437.79 autopan=0"}));
}

TEST_F(SiblingBridgeTest, AnFmUplinkWithoutToneTurnsTheEncoderOffAndNarrowFmIsAsked) {
    addSlices();
    host->narrowFm = true;
    track({{"down", 435.5},
           {"downlinkMode", "FM"},
           {"up", 145.9},
           {"uplinkMode", "FM"},
           {"tone", "0"},
           {"changed", true}});
    EXPECT_EQ(sliceCommands(),
              (Strings{"slice tune 1 435.5 autopan=1", "slice set 1 tx=0", "slice set 1 mode=NFM",
                       "slice tune 0 145.9 autopan=1", "slice set 0 tx=1", "slice set 0 mode=NFM",
                       "slice set 0 fm_tone_value=67.0", "slice set 0 fm_tone_mode=off"}));
}

TEST_F(SiblingBridgeTest, ASatelliteRequestCarryingCommandTextSendsNothing) {
    addSlices();
    test::LogCapture log;
    track({{"down", "145.8\nxmit 1"}, {"downlinkMode", "FM"}, {"up", 437.8}, {"uplinkMode", "FM"}});
    track({{"down", 145.8}, {"downlinkMode", "USB tx=1"}, {"up", 437.8}, {"uplinkMode", "USB"}});
    track({{"down", 145.8}, {"downlinkMode", "DSTAR"}, {"up", 437.8}, {"uplinkMode", "USB"}});
    EXPECT_TRUE(sliceCommands().empty());
    EXPECT_TRUE(log.contains("satellite:mode not offered by slice 1:[USB tx=1]"));
}

TEST_F(SiblingBridgeTest, ASatelliteWithoutSlicesAsksForThemAndWithoutRadioDoesNothing) {
    test::LogCapture log;
    track({{"down", 145.8}, {"downlinkMode", "FM"}, {"up", 437.8}, {"uplinkMode", "FM"}});
    EXPECT_EQ(host->told, (Strings{"need slice 1", "need slice 0"}));
    EXPECT_TRUE(log.contains("satellite:no open available slices"));
    host->radio.reset();
    track({{"down", 145.8}, {"downlinkMode", "FM"}, {"up", 437.8}, {"uplinkMode", "FM"}});
    EXPECT_TRUE(log.contains("satellite:no open radio"));
    EXPECT_EQ(host->told.size(), 2u);
}

TEST_F(SiblingBridgeTest, TheLoggerIsTunedOnChangeOnlyAndNotWhileDragging) {
    addSlices();
    bridge->heartBeat();  // slice 0 active, slice 1 transmits 5 kHz up
    bridge->heartBeat();  // nothing new
    host->dragging = true;
    bridge->tuneTrvlToMhz("14.210000", "USB", "0");
    host->dragging = false;
    host->lastTuning = std::chrono::system_clock::now();
    bridge->tuneTrvlToMhz("14.220000", "USB", "0");  // the operator is still tuning
    host->lastTuning -= 2s;
    bridge->tuneTrvlToMhz("14.200000", "CW", "5");  // the mode alone changed
    bridge->tuneTrvlToMhz("14.230000", "CW", "0");
    ASSERT_TRUE(until([&] { return logger.calls.size() >= 6; }));
    EXPECT_EQ(logger.calls, (Strings{"frequency 14.200000", "mode USB", "split 5",
                                     "frequency 14.230000", "mode CW", "split 0"}));
}

TEST_F(SiblingBridgeTest, TheLoggerIsLeftAloneForALocalRadioOrWhenSwitchedOff) {
    addSlices();
    host->remote = false;
    bridge->heartBeat();
    host->remote = true;
    host->tuneLogger = false;
    bridge->heartBeat();
    host->tuneLogger = true;
    bridge->tuneTrvlToMhz("14.250000", "USB", "0");  // the one that arrives
    ASSERT_TRUE(until([&] { return logger.calls.size() >= 3; }));
    EXPECT_EQ(logger.calls.front(), "frequency 14.250000");
}

TEST_F(SiblingBridgeTest, OutgoingNotificationsGoOnlyToASiblingThatRuns) {
    std::vector<DistributedNotification> heard;
    for (const char* name :
         {"com.velmorasoftware.request_update", "com.velmorasoftware.new_remote_radio",
          "com.velmorasoftware.doro_fine_tune", "com.velmorasoftware.doro_s_meter"}) {
        trackerCenter->addObserver(name,
                                   [&](const DistributedNotification& n) { heard.push_back(n); });
    }
    RadioInstance remote;
    remote.name = "Shack";
    remote.serialNum = "1234-5678";
    remote.status = "";
    bridge->requestUpdateFromTRVL();
    bridge->tellNewRemoteRadio(remote);
    bridge->fineTuned(true, 0.000001);
    bridge->sMeterBarChanged(18);
    ASSERT_TRUE(until([&] { return heard.size() == 4; }));
    EXPECT_EQ(heard[0].name, "com.velmorasoftware.request_update");
    EXPECT_EQ(heard[0].object, "string object");
    EXPECT_TRUE(heard[0].userInfo.empty());
    EXPECT_EQ(PlistValue(heard[1].userInfo),
              PlistValue(PlistDict{{"serialNum", "1234-5678"}, {"name", "Shack"}}));
    EXPECT_EQ(PlistValue(heard[2].userInfo),
              PlistValue(PlistDict{{"active", true}, {"stepMHz", 0.000001}}));
    EXPECT_EQ(PlistValue(heard[3].userInfo), PlistValue(PlistDict{{"newValue", 18}}));

    // The siblings quit: nothing goes out until the tracker is back.
    ASSERT_TRUE(loggerBus_.unregisterService(SiblingBridge::kLoggerBusName));
    ASSERT_TRUE(trackerBus_.unregisterService(SiblingBridge::kTrackerBusName));
    bridge->checkSiblings(false);
    EXPECT_FALSE(bridge->isTrvlRunning());
    EXPECT_FALSE(bridge->zenithorRunning());
    heard.clear();
    bridge->requestUpdateFromTRVL();
    bridge->tellNewRemoteRadio(remote);
    bridge->fineTuned(false, 0.00001);
    bridge->sMeterBarChanged(3);
    ASSERT_TRUE(trackerBus_.registerService(SiblingBridge::kTrackerBusName));
    bridge->checkSiblings(false);
    bridge->sMeterBarChanged(5);  // sent after the others, so it arrives after them
    ASSERT_TRUE(until([&] { return !heard.empty(); }));
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(PlistValue(heard[0].userInfo), PlistValue(PlistDict{{"newValue", 5}}));
}

}  // namespace
}  // namespace vm

#include "SiblingBridgeTest.moc"
