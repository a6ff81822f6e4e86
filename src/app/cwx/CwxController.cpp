#include "app/cwx/CwxController.h"

#include "app/cwx/CwxHost.h"
#include "app/windows/CwxWindow.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "platform/ui/Beep.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/TextField.h"
#include "radio/Radio.h"
#include "util/StringAdditions.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>

#include <cctype>
#include <deque>
#include <thread>

namespace vm {
namespace {

// Backspace in the text field goes to the room first; it passes on what the room leaves.
class BackspaceFilter : public QObject {
public:
    explicit BackspaceFilter(std::weak_ptr<CwxController> room) : room_(std::move(room)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Backspace &&
            static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
            if (auto room = room_.lock(); room && room->deleteBackward()) {
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::weak_ptr<CwxController> room_;
};

constexpr auto kLiveRestart = std::chrono::milliseconds(5000);

}  // namespace

std::shared_ptr<CwxController> CwxController::create(CwxWindow& window,
                                                     DispatchQueuePtr sidetoneQueue,
                                                     std::weak_ptr<CwxHost> host) {
    auto room = std::shared_ptr<CwxController>(
        new CwxController(window, std::move(sidetoneQueue), std::move(host)));
    room->connectWindow();
    return room;
}

CwxController::CwxController(CwxWindow& window, DispatchQueuePtr sidetoneQueue,
                             std::weak_ptr<CwxHost> host)
    : window_(&window), host_(std::move(host)), kbrx_sidetone_queue(std::move(sidetoneQueue)) {}

CwxController::~CwxController() {
    unbindKeyer();
    sideTone_.cancel();
    cancelSidetone.store(true);
    kbrx_sidetone_queue->sync([] {});
    if (window_ && backspaceFilter_) {
        window_->cwxTextEditField->removeEventFilter(backspaceFilter_.get());
    }
}

void CwxController::connectWindow() {
    CwxWindow& w = *window_;
    const std::weak_ptr<CwxController> weak = weak_from_this();
    auto on = [weak](auto member) {
        return [weak, member] {
            if (auto room = weak.lock()) {
                member(*room);
            }
        };
    };
    QObject::connect(w.sendButton, &QPushButton::clicked, &w,
                     on([](CwxController& c) { c.sendCWButtonPressed(); }));
    QObject::connect(w.cancelButton, &QPushButton::clicked, &w,
                     on([](CwxController& c) { c.cancelCWX(); }));
    QObject::connect(w.cwxTextEditField, &TextField::action, &w,
                     on([](CwxController& c) { c.sendCWButtonPressed(); }));
    QObject::connect(w.cwxTextEditField, &TextField::textDidChange, &w,
                     on([](CwxController& c) { c.cwxTextDidChange(); }));
    QObject::connect(w.cwxTextSpeedEditField, &TextField::action, &w,
                     on([](CwxController& c) { c.cwxTextSpeedEditFieldChanged(); }));
    QObject::connect(w.cwxTextDelayEditField, &TextField::action, &w,
                     on([](CwxController& c) { c.cwxTextDelayEditFieldChanged(); }));
    QObject::connect(w.cwxLiveCheckBox, &CheckBox::action, &w,
                     on([](CwxController& c) { c.cwxLiveCheckBoxChanged(); }));
    for (int n = 1; n <= 6; ++n) {
        QObject::connect(w.macroButtons[n - 1], &QPushButton::clicked, &w,
                         on([n](CwxController& c) { c.cwxMacroButtonPressed(n); }));
        QObject::connect(w.macroFields[n - 1], &TextField::action, &w,
                         on([n](CwxController& c) { c.cwxTextMacroEditFieldChanged(n); }));
    }
    backspaceFilter_ = std::make_unique<BackspaceFilter>(weak);
    w.cwxTextEditField->installEventFilter(backspaceFilter_.get());
}

// The keyer's settings and macro saves leave from its run queue, its text, macro sends and erases
// at once: the queue is emptied first, so that a macro saved and then sent goes out with its new
// text, and text typed after a speed change is keyed at the new speed.
std::shared_ptr<Cwx> CwxController::keyer() const {
    const auto host = host_.lock();
    const auto radio = host ? host->sessionRadio() : nullptr;
    const auto cwx = radio ? radio->cwx() : nullptr;
    if (cwx) {
        cwx->cwxRunQueue()->sync([] {});
    }
    return cwx;
}

bool CwxController::radioSidetoneOn() const {
    const auto host = host_.lock();
    const auto radio = host ? host->sessionRadio() : nullptr;
    const Number on = radio ? radio->sidetone() : std::nullopt;
    return on && *on != 0;
}

bool CwxController::debug() const {
    const auto host = host_.lock();
    return host && host->debugEnabled();
}

// --- The window's actions.

void CwxController::openCWXWindow() {
    const auto host = host_.lock();
    if (!host || !host->sessionRadio()) {
        beep();
        return;
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void CwxController::sendCWButtonPressed() {
    setStatus({});
    sendCwxString(window_->cwxTextEditField->stringValue());
}

void CwxController::sendCwxString(const std::string& text) {
    if (text.empty()) {
        beep();
        return;
    }
    const auto cwx = keyer();
    if (!cwx) {
        return;
    }
    cwx->send(text);
    if (radioSidetoneOn()) {
        cancelSidetone.store(false);
        sendSideTone(text);
    }
}

void CwxController::cancelCWX() {
    if (const auto cwx = keyer()) {
        cwx->clearBuffer();
    }
    {
        std::lock_guard lock(strings_);
        sideToneString_.clear();
    }
    cancelSidetone.store(true);
    sideTone_.cancel();
    setStatus({});
    window_->cwxTextEditField->setStringValue({});
}

void CwxController::cwxMacroButtonPressed(int number) {
    const std::string text = window_->macroFields[std::size_t(number - 1)]->stringValue();
    if (text.empty()) {
        beep();
        return;
    }
    const auto cwx = keyer();
    if (!cwx) {
        return;
    }
    cwx->sendMacro(std::size_t(number - 1));
    if (radioSidetoneOn()) {
        cancelSidetone.store(false);
        setStatus({});
        sendSideTone(text);
    }
}

void CwxController::cwxTextMacroEditFieldChanged(int number) {
    const auto cwx = keyer();
    if (!cwx) {
        return;
    }
    // The field keeps what was typed; the keyer and the stored macro get one line.
    const std::string text =
        strings::removeLineControls(window_->macroFields[std::size_t(number - 1)]->stringValue());
    log("cwxTextMacro{}EditFieldChanged:[{}]", number, text);
    cwx->setMacro(std::size_t(number - 1), text);
    Defaults::standard().set("vmsdr_macro_" + std::to_string(number), text);
}

void CwxController::cwxTextSpeedEditFieldChanged() {
    if (const auto cwx = keyer()) {
        cwx->setSpeed(window_->cwxTextSpeedEditField->intValue());
    }
}

void CwxController::cwxTextDelayEditFieldChanged() {
    if (const auto cwx = keyer()) {
        cwx->setDelay(window_->cwxTextDelayEditField->intValue());
    }
}

void CwxController::cwxLiveCheckBoxChanged() {
    Defaults::standard().set("cwx_live", (long long)(window_->cwxLiveCheckBox->state()));
    setStatus({});
}

bool CwxController::deleteBackward() {
    const auto cwx = keyer();
    if (!cwx) {
        return false;
    }
    TextField& field = *window_->cwxTextEditField;
    QString text = field.text();
    if (text.isEmpty()) {
        beep();
    } else {
        text.chop(1);
        field.setText(text);
    }
    cwx->erase(1);
    return true;
}

void CwxController::cwxTextDidChange() {
    TextField& field = *window_->cwxTextEditField;
    const QString text = field.text();
    if (!window_->cwxLiveCheckBox->state() || text.isEmpty()) {
        return;
    }
    const QString last = text.right(1);
    const auto now = std::chrono::steady_clock::now();
    if (!liveCWXSendDate || now - *liveCWXSendDate > kLiveRestart) {
        field.setText(last);
        setStatus({});
    }
    sendCwxString(last.toStdString());
    liveCWXSendDate = now;
}

// --- The keyer's settings and events.

const KeyTable<CwxController, Cwx>& CwxController::cwxKeyTable() {
    static const KeyTable<CwxController, Cwx> rows = {
        {&Cwx::delay, &CwxController::cwxDelayChanged},
        {&Cwx::macros, &CwxController::cwxMacrosChanged},
        {&Cwx::speed, &CwxController::cwxSpeedChanged},
        {&Cwx::qsk_enabled, &CwxController::cwxQskEnabledChanged},
    };
    return rows;
}

void CwxController::bindKeyer(const std::shared_ptr<Cwx>& cwx) {
    unbindKeyer();
    if (!cwx) {
        return;
    }
    cwxKVOManager = VMKVOManager::create();
    bindKeys(*cwxKVOManager, cwxKeyTable(), cwx, shared_from_this());
    cwx->messageQueuedEventDelegate.set(weak_from_this());
    cwx->charSentEventDelegate.set(weak_from_this());
    cwx->eraseSentEventDelegate.set(weak_from_this());
    boundKeyer_ = cwx;
}

void CwxController::unbindKeyer() {
    if (cwxKVOManager) {
        cwxKVOManager->cancelKVO();
        cwxKVOManager.reset();
    }
    if (const auto cwx = boundKeyer_.lock()) {
        cwx->messageQueuedEventDelegate.set({});
        cwx->charSentEventDelegate.set({});
        cwx->eraseSentEventDelegate.set({});
    }
    boundKeyer_.reset();
}

void CwxController::cwxDelayChanged(const std::shared_ptr<Cwx>& cwx, const Change*) {
    if (!cwx) {
        log("cwxDelayChanged:Error");
        return;
    }
    window_->cwxTextDelayEditField->setIntValue(cwx->delay());
    if (debug()) {
        log("cwxDelayChanged: delay:[{}]", cwx->delay());
    }
}

void CwxController::cwxMacrosChanged(const std::shared_ptr<Cwx>& cwx, const Change*) {
    if (!cwx) {
        log("cwxMacrosChanged:Error");
        return;
    }
    const std::vector<std::string> macros = cwx->macros();
    for (std::size_t i = 0; i < window_->macroFields.size() && i < macros.size(); ++i) {
        if (!macros[i].empty()) {
            window_->macroFields[i]->setStringValue(macros[i]);
        }
    }
}

void CwxController::cwxSpeedChanged(const std::shared_ptr<Cwx>& cwx, const Change*) {
    if (!cwx) {
        log("cwxSpeedChanged:Error");
        return;
    }
    window_->cwxTextSpeedEditField->setIntValue(cwx->speed());
    if (debug()) {
        log("cwxSpeedChanged: speed:[{}]", cwx->speed());
    }
}

void CwxController::cwxQskEnabledChanged(const std::shared_ptr<Cwx>& cwx, const Change*) {
    if (!cwx) {
        log("cwxQskEnabledChanged:Error");
        return;
    }
    if (debug()) {
        log("cwxQskEnabledChanged:qsk_enabled:[{}]", int(cwx->qsk_enabled()));
    }
}

void CwxController::messageQueued(int block, int bufferIndex) {
    if (debug()) {
        log("messageQueuedEventDelegate:block:[{}] bufferIndex:[{}]", block, bufferIndex);
    }
}

void CwxController::charSent(int index) {
    const bool verbose = debug();
    kbrx_sidetone_queue->async([weak = weak_from_this(), index, verbose] {
        if (const auto room = weak.lock()) {
            if (verbose) {
                log("charSentEventDelegate:charSent:[{}]", index);
            }
            room->advanceToNextSidetoneCharacter();
        }
    });
}

void CwxController::eraseSent(int start, int stop) {
    if (debug()) {
        log("eraseSentEventDelegate:start:[{}] stop:[{}]", start, stop);
    }
    deleteSidetoneCharacter();
}

// --- The side tone.

void CwxController::OpenCloseSideTone(bool on) {
    {
        std::lock_guard lock(strings_);
        sideToneString_.clear();
    }
    setStatus({});
    if (debug()) {
        log("OpenCloseSideTone:On:[{}]", int(on));
    }
    if (!on) {
        if (sideTone_.isOpen()) {
            log("OpenCloseSideTone:Off");
            sideTone_.close();
        } else if (debug()) {
            log("OpenCloseSideTone:already Off");
        }
        return;
    }
    if (sideTone_.isOpen()) {
        if (debug()) {
            log("OpenCloseSideTone:device:[{}] already On", sideTone_.device());
        }
        return;
    }
    const auto host = host_.lock();
    const auto choice = host ? host->outputDeviceChoice() : std::nullopt;
    changeSidetoneParameters();
    if (!sideTone_.open(choice ? choice->device : kAudioObjectUnknown)) {
        log("OpenCloseSideTone::Off:No Output Devices");
        return;
    }
    log("OpenCloseSideTone:[{}] On", choice ? choice->title : std::to_string(sideTone_.device()));
}

void CwxController::changeSidetoneParameters() {
    const auto host = host_.lock();
    if (!host) {
        return;
    }
    const CwxHost::SideToneSettings settings = host->sideToneSettings();
    sideTone_.setFrequency(settings.pitch);
    sideTone_.setVolume(float(settings.gain) / 100.0f);
    // The speed slider never goes below 5 wpm; a zero would stop the clock of every element.
    if (settings.wpm > 0) {
        sideTone_.setDitMs(1000.0 / settings.wpm);
    }
}

void CwxController::sendSideTone(const std::string& text) {
    if (text.empty()) {
        return;
    }
    const auto host = host_.lock();
    const std::string mode = host ? host->transmitMode() : std::string();
    const auto weak = weak_from_this();
    if (mode == "CW") {
        {
            std::lock_guard lock(strings_);
            sideToneString_ += text;
        }
        kbrx_sidetone_queue->async([weak] {
            if (const auto room = weak.lock()) {
                room->advanceToNextSidetoneCharacter();
            }
        });
        return;
    }
    log("sendSideTone: Radio not in CW Mode: mode:[{}] cw:[{}]", mode, text);
    kbrx_sidetone_queue->async([weak, text] {
        if (const auto room = weak.lock()) {
            room->soundBackToBack(text);
        }
    });
}

// The whole text is keyed without waiting for the radio; each character reaches the side-tone
// field as its sounding begins.
void CwxController::soundBackToBack(const std::string& text) {
    {
        std::lock_guard lock(strings_);
        sideToneString_ += text;
    }
    std::deque<std::pair<std::uint64_t, char>> sounding;  // character number, character
    auto showStarted = [&] {
        while (!sounding.empty() &&
               (sideTone_.charactersStarted() > sounding.front().first || !sideTone_.isOpen())) {
            appendStatus(char(std::toupper(static_cast<unsigned char>(sounding.front().second))));
            sounding.pop_front();
        }
    };
    char c = 0;
    while (takeNextCharacter(&c)) {
        const std::uint64_t number = sideTone_.charactersQueued();
        sideTone_.queueCharacter(c);
        sounding.emplace_back(number, c);
        showStarted();
    }
    while (!sounding.empty() && !cancelSidetone.load()) {
        showStarted();
        if (!sounding.empty()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

bool CwxController::takeNextCharacter(char* c) {
    if (cancelSidetone.load()) {
        return false;
    }
    {
        std::lock_guard lock(strings_);
        if (sideToneString_.empty()) {
            return false;
        }
        *c = sideToneString_.front();
        sideToneString_.erase(0, 1);
    }
    if (debug()) {
        log("advanceToNextSidetoneCharacter:sounding:[{}]", *c);
    }
    return true;
}

void CwxController::advanceToNextSidetoneCharacter() {
    char c = 0;
    if (!takeNextCharacter(&c)) {
        return;
    }
    appendStatus(char(std::toupper(static_cast<unsigned char>(c))));
    sideTone_.queueCharacter(c);
}

void CwxController::deleteSidetoneCharacter() {
    std::lock_guard lock(strings_);
    if (!sideToneString_.empty()) {
        sideToneString_.pop_back();
    }
}

std::string CwxController::sideToneString() const {
    std::lock_guard lock(strings_);
    return sideToneString_;
}

std::string CwxController::sideToneStatusString() const {
    std::lock_guard lock(strings_);
    return sideToneStatusString_;
}

void CwxController::setStatus(std::string status) {
    {
        std::lock_guard lock(strings_);
        sideToneStatusString_ = status;
    }
    window_->cwxSideToneCharTexField->setStringValue(status);
}

// From the side-tone queue: the field follows on the main thread.
void CwxController::appendStatus(char c) {
    std::string status;
    {
        std::lock_guard lock(strings_);
        sideToneStatusString_ += c;
        status = sideToneStatusString_;
    }
    DispatchQueue::main()->async([weak = weak_from_this(), status = std::move(status)] {
        if (const auto room = weak.lock(); room && room->window_) {
            room->window_->cwxSideToneCharTexField->setStringValue(status);
        }
    });
}

}  // namespace vm
