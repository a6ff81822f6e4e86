// The tuning knob's room without the application: a knob simulated on a pseudo-terminal (its path
// offered through "vm_virtual_serial_port"), the knob's page offscreen, and a session with the
// simulated radio whose slices the knob tunes and whose transmitter its "MOX" button keys.
#include "app/control/DoroControlController.h"
#include "app/control/DoroControlHost.h"
#include "app/control/SliceLookups.h"
#include "app/windows/KnobPrefsPage.h"
#include "app/windows/PrefsTestSupport.h"
#include "attach/RadioObjects.h"
#include "objects/Slice.h"
#include "platform/core/Defaults.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Screenshot.h"
#include "support/LogCapture.h"
#include "support/PseudoTerminal.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimLines.h"

#include "radio/SimSessionFixture.h"

#include <fmt/format.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>

#include <chrono>
#include <string>
#include <vector>

namespace vm {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

// What lies outside the knob's page: the session's slices (0 active, 1 alternate), its
// transmitter, and a record of what the knob asked for. Tuning moves the slice on the radio by
// the hertz asked.
class KnobHost : public DoroControlHost {
public:
    std::shared_ptr<Radio> radio;
    std::shared_ptr<Slice> active, alternate;
    Strings told;

    bool debugEnabled() const override { return true; }
    bool isQuitting() const override { return false; }
    bool isSleeping() const override { return false; }
    bool radioIsOpen() const override { return radio != nullptr; }
    std::shared_ptr<Slice> activeVFO() const override { return active; }
    std::shared_ptr<Slice> alternateVFO() const override { return alternate; }
    void fineTuneHz(double hz, const std::shared_ptr<Slice>& slice) override {
        told.push_back(fmt::format("tune {} by {:g} Hz", slice->thisSliceNumber(), hz));
        slice->setSliceFrequency(fmt::format("{:0.6f}", lookups::sliceMegahertz(*slice) + hz / 1e6),
                                 0);
    }
    double getFrequencyKeyModifier() const override { return 100; }
    bool remoteAudioOn() const override { return false; }
    std::optional<double> remoteAudioVolume() const override { return std::nullopt; }
    void setRemoteAudioVolume(double) override {}
    std::optional<double> radioSpeakerVolume() const override { return std::nullopt; }
    void setRadioSpeakerVolume(int) override {}
    std::optional<double> radioHeadsetVolume() const override { return std::nullopt; }
    void setRadioHeadsetVolume(int) override {}
    void pressTransmitButton(bool on) override {
        if (radio && radio->txState().value_or(0) != int(on)) {
            radio->setTxState(on ? 1 : 0);
        }
    }
    void adjustHudTitle() override { told.push_back("hud"); }
    void bringUsFront() override { told.push_back("front"); }
};

class DoroControl : public test::SimSessionFixture {
protected:
    void SetUp() override {
        test::forgetPreferences();
        Defaults& defaults = Defaults::standard();
        attach = attachRadioObjects;
        ASSERT_NO_FATAL_FAILURE(SimSessionFixture::SetUp());
        host->radio = radio;
        sliceCreated_ = NotificationCenter::defaultCenter().addObserver(
            "SliceCreated", [this](const Notification& notification) {
                const auto slice = std::static_pointer_cast<Slice>(notification.object);
                (slice->thisSliceNumber() == 0 ? host->active : host->alternate) = slice;
            });

        ASSERT_FALSE(knob.path().empty());
        ASSERT_TRUE(knob.makeRaw());
        defaults.set("vm_virtual_serial_port", knob.path());
        defaults.set("doro_control_port", knob.path());
        page.reloadSerialPorts();
        page.restoreSerialPort();
        ASSERT_EQ(page.serialPort(), knob.path());
        controller = DoroControlController::create(page, queue, host);
    }
    void TearDown() override {
        controller.reset();
        NotificationCenter::defaultCenter().removeObserver(sliceCreated_);
        SimSessionFixture::TearDown();
    }

    bool checkBoxOn() { return test::control<CheckBox>(page, "doroControlCheckBox").state(); }
    std::string status() {
        return test::control<QLabel>(page, "doroControlStatus").text().toStdString();
    }
    void choose(const char* popup, const char* title) {
        test::control<PopUpButton>(page, popup).selectItemWithTitle(title);
        test::control<PopUpButton>(page, popup).sendAction();
    }
    // The operator ticks or clears "Use the knob"; the knob's queue has then done its part.
    void useKnob(bool on) {
        test::control<CheckBox>(page, "doroControlCheckBox").setState(on);
        test::control<CheckBox>(page, "doroControlCheckBox").sendAction();
        test::queueBarrier(queue);
    }
    // The knob switched on and answering, and the lamp messages of its greeting received.
    void openAnsweringKnob() {
        knob.send("F1.02;");
        useKnob(true);
        ASSERT_EQ(status(), "Reading");
        ASSERT_EQ(fromKnob(5), "I111;");
        test::advanceBarrier(DispatchQueue::main(), 500ms);
        ASSERT_EQ(fromKnob(5), "I000;");
        test::advanceBarrier(DispatchQueue::main(), 500ms);
        ASSERT_EQ(fromKnob(5), "I000;");  // the lamps stored: all dark
    }
    // Slice 0 active at 14.2 MHz, slice 1 at 7.1 MHz.
    void addSlices() {
        ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(
            0, "in_use=1 active=1 RF_frequency=14.200000 mode=USB audio_gain=50")));
        ASSERT_TRUE(sim->sendStatus(
            sim::sliceStatus(1, "in_use=1 active=0 RF_frequency=7.100000 mode=LSB audio_gain=50")));
        ASSERT_TRUE(test::waitFor([&] { return host->active && host->alternate; }));
        test::mainQueueBarrier();
    }
    // What the knob received, `count` bytes, while the main queue runs (the lamps are written
    // from there); what came by 5 s when fewer came.
    std::string fromKnob(std::size_t count) {
        std::string got;
        runMainUntil([&] {
            got += knob.pending();
            return got.size() >= count;
        });
        return got;
    }
    // Until the host was told `count` things.
    bool toldAtLeast(std::size_t count) {
        return runMainUntil([&] { return host->told.size() >= count; });
    }
    // The commands the radio received since the start-up burst, starting with `prefix`.
    Strings radioReceived(const std::string& prefix) {
        test::mainQueueBarrier();
        for (const auto& slice : {host->active, host->alternate}) {
            if (slice) {
                test::queueBarrier(slice->sliceRunQueue());
            }
        }
        test::queueBarrier(radio->radioRunQueue());
        test::commandBarrier(*radio, *sim);
        Strings out;
        for (const auto& text : received()) {
            if (text.starts_with(prefix)) {
                out.push_back(text);
            }
        }
        return out;
    }

    test::PseudoTerminal knob;
    KnobPrefsPage page;
    DispatchQueuePtr queue = DispatchQueue::serial("doro-control-test");
    std::shared_ptr<KnobHost> host = std::make_shared<KnobHost>();
    std::shared_ptr<DoroControlController> controller;

private:
    NotificationCenter::Token sliceCreated_ = 0;
};

TEST_F(DoroControl, AKnobThatAnswersIsGreetedWithItsLampsAndRead) {
    Defaults::standard().set("doro_control_doroAuxButton2", true);
    test::LogCapture log;
    knob.send("F1.02;");
    useKnob(true);
    EXPECT_EQ(Defaults::standard().integerForKey("doro_control"), 1);
    EXPECT_TRUE(log.contains("openCloseDoroControl on " + knob.path()));
    EXPECT_TRUE(log.contains("openSerialPort:try to open:[" + knob.path() +
                             "] baud:[9600] exclusive:[YES] blocking:[NO] pseudoTerminal:[YES]"));
    EXPECT_TRUE(log.contains(fmt::format("startSerialReadChannel DoroControl:serial_fd:[{}]",
                                         controller->doro_control_fd())));
    EXPECT_TRUE(log.contains("doroControl:found:[F1.02;]"));
    EXPECT_EQ(status(), "Reading");
    EXPECT_TRUE(checkBoxOn());
    EXPECT_TRUE(controller->serialReadChannel());

    EXPECT_EQ(fromKnob(5), "I111;");
    test::advanceBarrier(DispatchQueue::main(), 500ms);
    EXPECT_EQ(fromKnob(5), "I000;");
    test::advanceBarrier(DispatchQueue::main(), 500ms);
    EXPECT_EQ(fromKnob(5), "I010;");
    EXPECT_TRUE(log.contains("doroControl:restore:010"));
    EXPECT_TRUE(controller->auxButtons().doroAuxButton2);

    choose("doroControlTaskPopup", "Active Slice VFO");
    choose("doroControlAux2Popup", "MOX");
    QApplication::processEvents();
    const QSize size = page.sizeHint().expandedTo(QSize(520, 300));
    page.resize(size);
    test::saveScreenshot(page, QStringLiteral("app_knob_page_reading.png"),
                         page.palette().window().color());
}

TEST_F(DoroControl, RotationsTuneByTheirStepsAndEveryMessageOfAReadActs) {
    addSlices();
    openAnsweringKnob();
    choose("doroControlTaskPopup", "Active Slice VFO");
    EXPECT_EQ(Defaults::standard().stringForKey("doro_control_task"), "Active Slice VFO");

    knob.send("U04;");
    ASSERT_TRUE(toldAtLeast(1));
    EXPECT_EQ(host->told, Strings{"tune 0 by 5000 Hz"});  // 50 steps of 100 Hz
    EXPECT_EQ(radioReceived("slice tune"), Strings{"slice tune 0 14.205000 autopan=0"});

    knob.send("U;U;");  // one write, two messages
    ASSERT_TRUE(toldAtLeast(3));
    knob.send("S;D");  // a press, and a rotation whose end comes later
    ASSERT_TRUE(toldAtLeast(4));
    knob.send("02;");
    ASSERT_TRUE(toldAtLeast(5));
    EXPECT_EQ(host->told, (Strings{"tune 0 by 5000 Hz", "tune 0 by 100 Hz", "tune 0 by 100 Hz",
                                   "front", "tune 0 by -500 Hz"}));
    EXPECT_EQ(radioReceived("slice tune"),
              (Strings{"slice tune 0 14.205000 autopan=0", "slice tune 0 14.205100 autopan=0",
                       "slice tune 0 14.205200 autopan=0", "slice tune 0 14.204700 autopan=0"}));
}

TEST_F(DoroControl, AuxiliaryButtonsLightOneAtATimeAndMoxKeysTheTransmitter) {
    addSlices();
    openAnsweringKnob();
    choose("doroControlAux2Popup", "MOX");
    choose("doroControlAux1Popup", "Volume Alternate Slice");
    EXPECT_EQ(Defaults::standard().stringForKey("doro_control_aux2"), "MOX");

    knob.send("X2S;");
    EXPECT_EQ(fromKnob(10), "I000;I010;");
    EXPECT_EQ(radioReceived("xmit"), Strings{"xmit 1"});
    EXPECT_EQ(controller->hudKnobText(), "◎◉◎");

    knob.send("X1S;");  // button 1 while 2 is lit: 1 only, and the transmission ends
    EXPECT_EQ(fromKnob(10), "I000;I100;");
    EXPECT_EQ(radioReceived("xmit"), (Strings{"xmit 1", "xmit 0"}));

    knob.send("U05;");  // the knob now follows button 1's task
    ASSERT_TRUE(test::waitFor([&] { return host->alternate->sliceAudioLevel() == 100; }));
    EXPECT_EQ(radioReceived("audio client 0 slice 1"), Strings{"audio client 0 slice 1 gain 100"});

    knob.send("X2S;X2S;");  // lit and dark again: keyed and unkeyed
    EXPECT_EQ(fromKnob(20), "I000;I000;I010;I000;");
    EXPECT_EQ(radioReceived("xmit"), (Strings{"xmit 1", "xmit 0", "xmit 1", "xmit 0"}));
    EXPECT_EQ(host->told, (Strings{"hud", "hud", "hud", "hud"}));
}

TEST_F(DoroControl, APortThatNoKnobAnswersIsClosedCompletelyAndCanBeOpenedAgain) {
    struct Case {
        const char* name;
        const char* greeting;
        const char* written;  // what the port wrote before it closed
    };
    for (const Case& c : {Case{"Silent", "", ""}, Case{"NotAKnob", "hello", "I111;"}}) {
        SCOPED_TRACE(c.name);
        test::LogCapture log;
        knob.send(c.greeting);
        useKnob(true);
        EXPECT_EQ(status(), "Closed");
        EXPECT_FALSE(checkBoxOn());
        EXPECT_FALSE(controller->serialReadChannel());
        EXPECT_EQ(controller->doro_control_fd(), -1);
        EXPECT_EQ(test::openDescriptorsOn(knob.path()), 0);
        EXPECT_TRUE(log.contains("closeSerialPort: DoroControl on fd "));
        test::advanceBarrier(DispatchQueue::main(), 1s);  // the greeting's later lamp messages
        EXPECT_EQ(knob.pending(), c.written);
    }
    openAnsweringKnob();
    EXPECT_TRUE(checkBoxOn());
    EXPECT_EQ(test::openDescriptorsOn(knob.path()), 1);
}

TEST_F(DoroControl, SwitchingOffSavesTheLampsTurnsThemOffAndClosesThePort) {
    openAnsweringKnob();
    knob.send("X3S;");
    ASSERT_EQ(fromKnob(10), "I000;I001;");
    const int fd = controller->doro_control_fd();
    test::LogCapture log;
    test::control<CheckBox>(page, "doroControlCheckBox").setState(false);
    test::control<CheckBox>(page, "doroControlCheckBox").sendAction();
    EXPECT_EQ(status(), "Stopping");
    EXPECT_FALSE(test::control<CheckBox>(page, "doroControlCheckBox").isEnabled());
    EXPECT_EQ(fromKnob(5), "I000;");
    test::queueBarrier(queue);
    EXPECT_EQ(status(), "Stopped");
    EXPECT_TRUE(test::control<CheckBox>(page, "doroControlCheckBox").isEnabled());
    EXPECT_FALSE(checkBoxOn());
    EXPECT_EQ(Defaults::standard().integerForKey("doro_control"), 0);
    EXPECT_EQ(Defaults::standard().boolForKey("doro_control_doroAuxButton3"), true);
    EXPECT_EQ(test::openDescriptorsOn(knob.path()), 0);
    for (const std::string& line :
         Strings{"stopSerialReadChannel:save:001", "stopReadChannel: DoroControl stopped.",
                 "stopSerialReadChannel DoroControl: stopped",
                 fmt::format("Draining Serial Port {}", fd),
                 fmt::format("closeSerialPort: DoroControl on fd {} closed.", fd)}) {
        EXPECT_TRUE(log.contains(line)) << line;
    }

    knob.send("F1.02;");  // on again: the lamps as they were
    useKnob(true);
    EXPECT_EQ(fromKnob(5), "I111;");
    test::advanceBarrier(DispatchQueue::main(), 1s);
    EXPECT_EQ(fromKnob(10), "I000;I001;");
}

TEST_F(DoroControl, AnotherPortClosesTheKnobWithoutOpeningItAndAMissingPortSwitchesItOff) {
    Defaults::standard().set("vm_virtual_serial_port", knob.path() + ",/dev/ttyVM-absent");
    page.reloadSerialPorts();
    page.restoreSerialPort();
    openAnsweringKnob();
    test::LogCapture log;
    choose("serialPortPopup", "/dev/ttyVM-absent");
    test::queueBarrier(queue);
    EXPECT_EQ(Defaults::standard().stringForKey("doro_control_port"), "/dev/ttyVM-absent");
    EXPECT_EQ(status(), "Stopped");
    EXPECT_FALSE(controller->serialReadChannel());
    EXPECT_EQ(test::openDescriptorsOn(knob.path()), 0);

    useKnob(true);
    test::mainQueueBarrier();
    EXPECT_TRUE(log.contains(
        "openSerialPort: Couldn't Open Port:[/dev/ttyVM-absent], Error:[2 - No such file or "
        "directory]"));
    EXPECT_TRUE(log.contains("openCloseDoroControl on /dev/ttyVM-absent failed"));
    EXPECT_FALSE(checkBoxOn());
    EXPECT_FALSE(controller->serialReadChannel());
}

}  // namespace
}  // namespace vm
