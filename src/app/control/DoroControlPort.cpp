// The knob's serial port: opened and probed on the knob's queue, read there, and closed again.
#include "app/control/DoroControlController.h"

#include "app/control/DoroControlHost.h"
#include "app/windows/KnobPrefsPage.h"
#include "app/windows/SerialPortChoice.h"
#include "platform/core/Log.h"
#include "platform/core/SerialPort.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace vm {

namespace {

const std::string kDeviceName = "DoroControl";
constexpr auto kProbeWait = std::chrono::milliseconds(250);
constexpr auto kCloseWait = std::chrono::milliseconds(250);
constexpr auto kGreetingStep = std::chrono::milliseconds(500);
constexpr std::size_t kGreetingSize = 128;

}  // namespace

std::shared_ptr<SerialPort> DoroControlController::port() const {
    std::lock_guard lock(portMutex_);
    return port_;
}

void DoroControlController::setPort(std::shared_ptr<SerialPort> port) {
    std::lock_guard lock(portMutex_);
    port_ = std::move(port);
}

int DoroControlController::doro_control_fd() const {
    const auto open = port();
    return open ? open->fd() : -1;
}

void DoroControlController::writeToKnob(std::string_view message) const {
    if (const auto open = port()) {
        open->write(message);
    }
}

void DoroControlController::open() {
    if (channel_ || !page_) {
        return;
    }
    const std::string path = page_->serialPort();
    log("openCloseDoroControl on {}", path);
    const auto listed = virtualSerialPorts();
    const bool pseudoTerminal = std::find(listed.begin(), listed.end(), path) != listed.end();
    const auto h = host();
    const bool debug = h && h->debugEnabled();
    channel_ = true;
    const unsigned generation = ++generation_;
    std::weak_ptr<DoroControlController> weak = weak_from_this();
    kbrx_dorocontrol_queue->async([weak, path, pseudoTerminal, debug, generation] {
        if (const auto self = weak.lock()) {
            self->openPort(path, pseudoTerminal, debug, generation);
        }
    });
}

void DoroControlController::openPort(const std::string& path, bool pseudoTerminal, bool debug,
                                     unsigned generation) {
    std::shared_ptr<SerialPort> opened =
        SerialPort::open(path, {.baud = 9600, .debug = debug, .pseudoTerminal = pseudoTerminal});
    if (!opened) {
        onMain([path, generation](DoroControlController& self) {
            log("openCloseDoroControl on {} failed", path);
            self.portFailed(generation);
        });
        return;
    }
    setPort(opened);
    if (!startSerialReadChannel(opened)) {
        onMain([generation](DoroControlController& self) { self.portFailed(generation); });
    }
}

void DoroControlController::portFailed(unsigned generation) {
    if (generation != generation_) {
        return;  // opened again since: the newer port decides
    }
    channel_ = false;
    page_->setDoroControl(false);
}

bool DoroControlController::startSerialReadChannel(const std::shared_ptr<SerialPort>& port) {
    log("startSerialReadChannel DoroControl:serial_fd:[{}]", port->fd());
    reader_ = {};
    std::this_thread::sleep_for(kProbeWait);
    const Bytes greeting = port->readAvailable(kGreetingSize);
    bool recognised = false;
    if (!greeting.empty()) {
        // Logged as text: up to the first zero byte.
        log("doroControl:found:[{}]", std::string_view(greeting.c_str()));
        recognised = knob::answersAsKnob(greeting);
        if (recognised) {
            onMain([](DoroControlController& self) {
                self.page_->setStatus("Reading");
                self.flashDoroControlBulb(self.greenBulb);
            });
        }
        greetKnob(port);
    }
    std::weak_ptr<DoroControlController> weak = weak_from_this();
    if (recognised && port->startReading(
                          kbrx_dorocontrol_queue,
                          [weak](const Bytes& bytes) {
                              if (const auto self = weak.lock()) {
                                  self->processSerialReadChannel(bytes);
                              }
                          },
                          [weak](int error) {
                              if (const auto self = weak.lock()) {
                                  self->readEnded(error);
                              }
                          })) {
        return true;
    }
    // Nothing answered as a knob: the port is closed completely, so that switching the knob on
    // again opens it anew.
    onMain([](DoroControlController& self) { self.page_->setStatus("Closed"); });
    port->close(kDeviceName);
    setPort(nullptr);
    return false;
}

// The greeting's answer: every lamp on, a moment later every lamp off, and then the lamps as
// they were when the knob was last closed. Each write goes to this port only, while it is open.
void DoroControlController::greetKnob(const std::shared_ptr<SerialPort>& port) {
    port->write(knob::kAllLampsOn);
    std::weak_ptr<SerialPort> greeted = port;
    onMain(
        [greeted](DoroControlController& self) {
            const auto lampsOff = greeted.lock();
            if (!lampsOff) {
                return;
            }
            lampsOff->write(knob::kAllLampsOff);
            self.onMain(
                [greeted](DoroControlController& later) {
                    if (const auto restored = greeted.lock()) {
                        later.auxButtons_.restore();
                        restored->write(knob::lampMessage(later.auxButtons_.lamps()));
                    }
                },
                kGreetingStep);
        },
        kGreetingStep);
}

void DoroControlController::processSerialReadChannel(const Bytes& bytes) {
    if (bytes.empty()) {
        return;
    }
    flashDoroControlBulb(greenBulb);
    std::vector<knob::KnobEvent> events = reader_.receive(bytes);
    if (events.empty()) {
        return;
    }
    onMain([events = std::move(events)](DoroControlController& self) {
        for (const auto& event : events) {
            self.knobEvent(event);
        }
    });
}

void DoroControlController::readEnded(int error) {
    if (error != 0) {
        log("processSerialReadChannel DoroControl: error:[{}]", std::strerror(error));
    } else {
        logLine("processSerialReadChannel DoroControl: done");
    }
}

void DoroControlController::close() {
    if (!isMainThread()) {
        onMain([](DoroControlController& self) { self.close(); });
        return;
    }
    if (!channel_ || !page_) {
        return;
    }
    channel_ = false;
    auxButtons_.save();
    page_->setStatus("Stopping");
    page_->setDoroControlEnabled(false);
    writeToKnob(knob::kAllLampsOff);
    const auto h = host();
    const bool quittingAwake = h && h->isQuitting() && !h->isSleeping();
    const bool debug = h && h->debugEnabled();
    std::weak_ptr<DoroControlController> weak = weak_from_this();
    kbrx_dorocontrol_queue->async([weak, quittingAwake, debug] {
        if (const auto self = weak.lock()) {
            self->stopReadChannel(quittingAwake, debug);
        }
    });
}

void DoroControlController::stopReadChannel(bool quittingAwake, bool debug) {
    const std::shared_ptr<SerialPort> closing = port();
    setPort(nullptr);
    if (closing) {
        closing->stopReading();
        log("stopReadChannel: {} stopped.", kDeviceName);
    } else {
        log("stopReadChannel: {} no channel to stop.", kDeviceName);
    }
    if (quittingAwake) {
        // The program is ending: the port closes without waiting for the lamps' message.
        if (closing) {
            closing->close(kDeviceName);
        }
        return;
    }
    onMain([](DoroControlController& self) {
        self.page_->setDoroControlEnabled(true);
        if (!self.channel_) {  // unless opened again since
            self.page_->setDoroControl(false);
            self.page_->setStatus("Stopped");
        }
        logLine("stopSerialReadChannel DoroControl: stopped");
    });
    if (!closing) {
        return;
    }
    closing->drain(kDeviceName, debug);
    std::this_thread::sleep_for(kCloseWait);
    closing->close(kDeviceName);
}

}  // namespace vm
