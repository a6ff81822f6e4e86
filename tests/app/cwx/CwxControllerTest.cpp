// The CWX room without the application: the window offscreen, a session with the simulated radio
// (its keyer attached), and the test sound system for the side tone. The window is driven as the
// operator drives it: keys typed into the fields, buttons clicked.
#include "app/cwx/CwxController.h"
#include "app/cwx/CwxHost.h"
#include "app/windows/CwxWindow.h"
#include "attach/RadioObjects.h"
#include "platform/audio/TestAudioBackend.h"
#include "platform/core/Defaults.h"
#include "platform/ui/Beep.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/TextField.h"
#include "radio/Radio.h"
#include "support/KeyTableWalk.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"

#include "../../platform/audio/AudioTestSupport.h"
#include "radio/SimSessionFixture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace vm {
namespace {

using namespace std::chrono_literals;

constexpr AudioDeviceID kSpeaker = 1;

class Host : public CwxHost {
public:
    std::shared_ptr<Radio> radio;
    std::string mode = "CW";
    std::optional<OutputChoice> output;
    std::shared_ptr<Radio> sessionRadio() const override { return radio; }
    bool debugEnabled() const override { return true; }
    std::string transmitMode() const override { return mode; }
    std::optional<OutputChoice> outputDeviceChoice() const override { return output; }
    SideToneSettings sideToneSettings() const override { return {600, 20, 100}; }
};

class CwxRoom : public test::SimSessionFixture {
protected:
    CwxRoom() { attach = attachRadioObjects; }
    void SetUp() override {
        SimSessionFixture::SetUp();
        ASSERT_TRUE(radio->cwx());
        backend->setDevices({test::makeDevice(kSpeaker, 0, 2, 48000)}, kAudioObjectUnknown,
                            kSpeaker);
        AudioBackend::setShared(backend);
        host->radio = radio;
        room = CwxController::create(window, DispatchQueue::serial("test_sidetone"), host);
        setBeepHandler([this] { ++beeps; });
    }
    void TearDown() override {
        setBeepHandler({});
        room.reset();
        AudioBackend::setShared(nullptr);
        SimSessionFixture::TearDown();
    }
    // The commands to the keyer after the start-up burst, once everything sent has arrived.
    std::vector<std::string> keyerCommands() {
        radio->cwx()->cwxRunQueue()->sync([] {});
        test::commandBarrier(*radio, *sim);
        std::vector<std::string> out;
        for (const auto& c : received()) {
            if (c.starts_with("cwx")) {
                out.push_back(c);
            }
        }
        return out;
    }
    void key(QWidget* w, Qt::Key k, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
        QCoreApplication::sendEvent(w, &press);
    }
    void type(const std::string& text) {
        for (char c : text) {
            key(window.cwxTextEditField, Qt::Key(QChar(c).toUpper().unicode()), QString(QChar(c)));
        }
    }
    void sideToneBarrier() {
        room->sidetoneQueue()->sync([] {});
        test::mainQueueBarrier();
    }

    std::shared_ptr<TestAudioBackend> backend = std::make_shared<TestAudioBackend>();
    std::shared_ptr<Host> host = std::make_shared<Host>();
    CwxWindow window;
    std::shared_ptr<CwxController> room;
    int beeps = 0;
};

TEST_F(CwxRoom, TypedTextIsSentQuotedAndEmptyTextBeeps) {
    window.sendButton->click();
    EXPECT_EQ(beeps, 1);
    type("CQ");
    window.sendButton->click();
    window.cwxTextEditField->setText(QStringLiteral("say \"73\""));
    window.sendButton->click();
    EXPECT_EQ(keyerCommands(),
              (std::vector<std::string>{"cwx send \"CQ\"", "cwx send \"say '73'\""}));
    EXPECT_EQ(window.cwxTextEditField->text(), QStringLiteral("say \"73\""));
    EXPECT_EQ(beeps, 1);
}

TEST_F(CwxRoom, MacrosAreSavedOnOneLineAndSentByNumber) {
    window.macroFields[0]->setText(QStringLiteral("CQ \"DE\"\r\nK1ABC"));
    emit window.macroFields[0]->action();
    window.macroFields[4]->setText(QStringLiteral("TU 73"));
    emit window.macroFields[4]->action();
    window.macroButtons[4]->click();
    window.macroButtons[1]->click();  // empty
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(keyerCommands(),
              (std::vector<std::string>{"cwx macro save 1 \"CQ 'DE'K1ABC\"",
                                        "cwx macro save 5 \"TU 73\"", "cwx macro send 5"}));
    EXPECT_EQ(Defaults::standard().stringForKey("vmsdr_macro_1"), "CQ \"DE\"K1ABC");
    EXPECT_EQ(Defaults::standard().stringForKey("vmsdr_macro_5"), "TU 73");
    // The field keeps what the operator typed.
    EXPECT_EQ(window.macroFields[0]->text(), QStringLiteral("CQ \"DE\"\r\nK1ABC"));
}

TEST_F(CwxRoom, BackspaceErasesOneCharacterEvenFromAnEmptyField) {
    key(window.cwxTextEditField, Qt::Key_Backspace);
    EXPECT_EQ(beeps, 1);
    window.cwxTextEditField->setText(QStringLiteral("AB"));
    key(window.cwxTextEditField, Qt::Key_Backspace);
    EXPECT_EQ(window.cwxTextEditField->text(), QStringLiteral("A"));
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(keyerCommands(), (std::vector<std::string>{"cwx erase 1", "cwx erase 1"}));
}

TEST_F(CwxRoom, LiveModeSendsEachKeystrokeAndRestartsAfterAPause) {
    window.cwxLiveCheckBox->setState(true);
    emit window.cwxLiveCheckBox->action();
    EXPECT_EQ(Defaults::standard().integerForKey("cwx_live"), 1);
    type("CQ");
    EXPECT_EQ(window.cwxTextEditField->text(), QStringLiteral("CQ"));
    room->liveCWXSendDate = std::chrono::steady_clock::now() - 6s;
    type("K");
    EXPECT_EQ(window.cwxTextEditField->text(), QStringLiteral("K"));
    EXPECT_EQ(keyerCommands(),
              (std::vector<std::string>{"cwx send \"C\"", "cwx send \"Q\"", "cwx send \"K\""}));
}

TEST_F(CwxRoom, KeyerSettingsAreShownOnceBoundAndDelegatesLetGo) {
    test::walkKeyTable(CwxController::cwxKeyTable(), radio->cwx());
    const auto cwx = radio->cwx();
    cwx->setSpeed(27);
    cwx->setDelay(300);
    cwx->setMacro(2, "QRZ?");
    window.macroFields[0]->setText(QStringLiteral("kept"));
    room->bindKeyer(cwx);
    EXPECT_EQ(window.cwxTextSpeedEditField->intValue(), 27);
    EXPECT_EQ(window.cwxTextDelayEditField->intValue(), 300);
    EXPECT_EQ(window.macroFields[2]->text(), QStringLiteral("QRZ?"));
    EXPECT_EQ(window.macroFields[0]->text(), QStringLiteral("kept"));  // empty entry
    EXPECT_FALSE(cwx->charSentEventDelegate().expired());
    window.cwxTextSpeedEditField->setText(QStringLiteral("150"));
    emit window.cwxTextSpeedEditField->action();
    EXPECT_EQ(cwx->speed(), 100);
    room->unbindKeyer();
    EXPECT_TRUE(cwx->charSentEventDelegate().expired());
    EXPECT_TRUE(cwx->eraseSentEventDelegate().expired());
    EXPECT_TRUE(cwx->messageQueuedEventDelegate().expired());
}

TEST_F(CwxRoom, InCwTheSideToneFollowsTheRadiosReports) {
    radio->sidetone.set(1);
    test::LogCapture log;
    room->OpenCloseSideTone(true);
    ASSERT_TRUE(room->sideToneOpen());
    EXPECT_TRUE(log.contains("OpenCloseSideTone:[1] On"));
    room->sendCwxString("abcd");
    sideToneBarrier();
    EXPECT_EQ(room->sideToneStatusString(), "A");
    EXPECT_EQ(room->sideToneString(), "bcd");
    room->eraseSent(3, 3);  // the newest waiting character goes, never the one sounding
    EXPECT_EQ(room->sideToneString(), "bc");
    room->charSent(1);
    sideToneBarrier();
    EXPECT_EQ(room->sideToneStatusString(), "AB");
    EXPECT_EQ(window.cwxSideToneCharTexField->text(), QStringLiteral("AB"));
    room->cancelCWX();
    room->charSent(2);
    sideToneBarrier();
    EXPECT_EQ(room->sideToneStatusString(), "");
    EXPECT_EQ(room->sideToneString(), "");
    const auto commands = keyerCommands();
    EXPECT_EQ(commands.back(), "cwx clear");
}

TEST_F(CwxRoom, InOtherModesTheWholeTextSoundsAtOnce) {
    radio->sidetone.set(1);
    host->mode = "USB";
    room->OpenCloseSideTone(true);
    test::LogCapture log;
    room->sendCwxString("cq k");
    EXPECT_TRUE(log.contains("sendSideTone: Radio not in CW Mode: mode:[USB] cw:[cq k]"));
    // Nothing has sounded yet: the field waits for the audio.
    ASSERT_TRUE(test::waitFor([&] { return room->sideTone().charactersQueued() == 4; }));
    EXPECT_EQ(room->sideToneStatusString(), "");
    // C, Q, the word gap and K at 20 wpm take 46 dits: 2.3 s.
    std::vector<std::vector<float>> out;
    ASSERT_TRUE(backend->render(kSpeaker, 4100, &out));
    EXPECT_TRUE(std::any_of(out[0].begin(), out[0].end(), [](float s) { return s != 0; }));
    ASSERT_TRUE(test::waitFor([&] { return room->sideToneStatusString() == "CQ"; }));
    ASSERT_TRUE(backend->render(kSpeaker, 4100, &out));
    sideToneBarrier();
    EXPECT_EQ(room->sideToneStatusString(), "CQ K");
}

TEST_F(CwxRoom, SideToneOffSoundsNothingAndNoDeviceKeepsItOff) {
    room->sendCwxString("E");  // the radio's side tone is off
    sideToneBarrier();
    EXPECT_EQ(room->sideToneStatusString(), "");
    backend->setDevices({test::makeDevice(2, 2, 0, 48000)}, 2, kAudioObjectUnknown);
    test::LogCapture log;
    room->OpenCloseSideTone(true);
    EXPECT_FALSE(room->sideToneOpen());
    EXPECT_TRUE(log.contains("OpenCloseSideTone::Off:No Output Devices"));
}

TEST_F(CwxRoom, WindowShot) {
    window.cwxTextEditField->setText(QStringLiteral("CQ CQ DE K1ABC"));
    window.show();
    QCoreApplication::processEvents();
    std::filesystem::create_directories(VM_SCREENSHOT_DIR);
    EXPECT_TRUE(window.grab().save(QStringLiteral(VM_SCREENSHOT_DIR "/cwx_window.png")));
}

}  // namespace
}  // namespace vm
