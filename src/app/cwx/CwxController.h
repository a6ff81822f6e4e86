#pragma once
// The CWX window and the local side tone: the operator's text, macros and live typing sent to
// the radio's CW keyer, the keyer's speed, delay and macros shown, and the same text sounded in
// Morse on a local output device, one character per character the radio reports as keyed when
// the transmitter is in CW, else back to back.
//
// Threads: actions, observers and the erase report run on the main thread. Keying runs on the
// serial side-tone queue the room is given, which the character reports feed; the
// characters waiting to be sounded are shared by both under a mutex that the audio thread never
// takes.
#include "app/cwx/SideTone.h"
#include "objects/Cwx.h"
#include "platform/core/DispatchQueue.h"
#include "util/KeyTable.h"
#include "util/VMKVOManager.h"

#include <QObject>
#include <QPointer>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace vm {

class CwxHost;
class CwxWindow;

class CwxController : public CWXMessageEventHandler,
                      public CWXCharSentEventHandler,
                      public CWXEraseSentEventHandler,
                      public std::enable_shared_from_this<CwxController> {
public:
    // The room of the CWX window, which outlives it; it connects the window's signals to its
    // actions.
    static std::shared_ptr<CwxController> create(CwxWindow& window, DispatchQueuePtr sidetoneQueue,
                                                 std::weak_ptr<CwxHost> host);
    ~CwxController() override;
    CwxController(const CwxController&) = delete;
    CwxController& operator=(const CwxController&) = delete;

    // --- The window's actions. Each needs an open radio with a keyer.
    void openCWXWindow();
    void sendCWButtonPressed();
    // Empty text beeps; otherwise "cwx send" with the text, and the side tone sounds it when the
    // radio's side tone is on.
    void sendCwxString(const std::string& text);
    void cancelCWX();
    void cwxMacroButtonPressed(int number);         // 1 to 6
    void cwxTextMacroEditFieldChanged(int number);  // 1 to 6
    void cwxTextSpeedEditFieldChanged();
    void cwxTextDelayEditFieldChanged();
    void cwxLiveCheckBoxChanged();
    // Backspace in the text field: the last character goes (a beep when there is none) and the
    // keyer takes one character back. False, handled by the field itself, without a keyer.
    bool deleteBackward();
    // The text field changed while the operator typed: in live mode the last character is sent.
    void cwxTextDidChange();
    // When the last live character was sent; none before the first.
    std::optional<std::chrono::steady_clock::time_point> liveCWXSendDate;

    // --- The keyer bound while remote audio is on: its four settings observed (each pushed
    // once) and this room its three event delegates. Unbinding lets both go.
    void bindKeyer(const std::shared_ptr<Cwx>& cwx);
    void unbindKeyer();
    void cwxDelayChanged(const std::shared_ptr<Cwx>& cwx, const Change* change);
    void cwxMacrosChanged(const std::shared_ptr<Cwx>& cwx, const Change* change);
    void cwxSpeedChanged(const std::shared_ptr<Cwx>& cwx, const Change* change);
    void cwxQskEnabledChanged(const std::shared_ptr<Cwx>& cwx, const Change* change);
    static const KeyTable<CwxController, Cwx>& cwxKeyTable();

    void messageQueued(int block, int bufferIndex) override;
    void charSent(int index) override;
    void eraseSent(int start, int stop) override;

    // --- The side tone.
    void OpenCloseSideTone(bool on);
    // Pitch, dit length and volume from the host's CW pitch, speed and side-tone gain.
    void changeSidetoneParameters();
    void sendSideTone(const std::string& text);
    bool sideToneOpen() const { return sideTone_.isOpen(); }
    SideTone& sideTone() { return sideTone_; }
    std::string sideToneString() const;
    std::string sideToneStatusString() const;
    // Runs on the side-tone queue.
    void advanceToNextSidetoneCharacter();
    void deleteSidetoneCharacter();
    const DispatchQueuePtr& sidetoneQueue() const { return kbrx_sidetone_queue; }

private:
    CwxController(CwxWindow& window, DispatchQueuePtr sidetoneQueue, std::weak_ptr<CwxHost> host);
    void connectWindow();
    std::shared_ptr<Cwx> keyer() const;
    bool radioSidetoneOn() const;
    bool debug() const;
    // The next waiting character, unless the side tone was cancelled (side-tone queue).
    bool takeNextCharacter(char* c);
    void soundBackToBack(const std::string& text);
    void setStatus(std::string status);
    void appendStatus(char c);

    QPointer<CwxWindow> window_;
    const std::weak_ptr<CwxHost> host_;
    const DispatchQueuePtr kbrx_sidetone_queue;
    std::shared_ptr<VMKVOManager> cwxKVOManager;
    std::weak_ptr<Cwx> boundKeyer_;
    std::unique_ptr<QObject> backspaceFilter_;

    SideTone sideTone_;
    std::atomic<bool> cancelSidetone{false};
    mutable std::mutex strings_;
    std::string sideToneString_;
    std::string sideToneStatusString_;
};

}  // namespace vm
