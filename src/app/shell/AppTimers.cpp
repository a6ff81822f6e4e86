#include "app/shell/AppTimers.h"

#include "app/shell/AppTimersHost.h"
#include "platform/core/Log.h"
#include "platform/ui/ImageButton.h"

#include <fmt/format.h>

#include <chrono>
#include <system_error>

namespace vm {

using namespace std::chrono_literals;

namespace {

constexpr const char* kPinged = "com.velmorasoftware.doro.remote_radio_vita_pinged";
constexpr std::uintmax_t kDebugLogLimit = 10'000'000;

}  // namespace

std::shared_ptr<AppTimers> AppTimers::create(ImageButton& pollButton, ImageButton& transmitButton,
                                             Bulbs bulbs, std::filesystem::path debugLogFilePath,
                                             DispatchQueuePtr vmsdr_maintenance_queue,
                                             std::weak_ptr<AppTimersHost> host) {
    return std::shared_ptr<AppTimers>(
        new AppTimers(pollButton, transmitButton, std::move(bulbs), std::move(debugLogFilePath),
                      std::move(vmsdr_maintenance_queue), std::move(host)));
}

AppTimers::AppTimers(ImageButton& pollButton, ImageButton& transmitButton, Bulbs bulbs,
                     std::filesystem::path debugLogFilePath, DispatchQueuePtr queue,
                     std::weak_ptr<AppTimersHost> host)
    : pollButton_(&pollButton),
      transmitButton_(&transmitButton),
      bulbs_(std::move(bulbs)),
      debugLogFilePath_(std::move(debugLogFilePath)),
      vmsdr_maintenance_queue(std::move(queue)),
      host_(std::move(host)) {}

AppTimers::~AppTimers() {
    for (const auto& timer : {heart_beat_timer, one_minute_timer, vmsdr_maintenance_timer}) {
        if (timer) {
            timer->cancel();
        }
    }
    if (pinged_) {
        NotificationCenter::defaultCenter().removeObserver(*pinged_);
    }
}

DispatchSourcePtr AppTimers::repeat(const DispatchQueuePtr& queue, DispatchClock::duration start,
                                    DispatchClock::duration interval,
                                    DispatchClock::duration leeway, void (AppTimers::*tick)()) {
    DispatchSourcePtr timer = DispatchSource::makeTimer(queue);
    timer->setEventHandler([weak = weak_from_this(), tick] {
        if (const auto self = weak.lock()) {
            ((*self).*tick)();
        }
    });
    timer->setTimer(start, interval, leeway);
    timer->resume();
    return timer;
}

void AppTimers::start() {
    if (heart_beat_timer) {
        return;
    }
    heart_beat_timer = repeat(DispatchQueue::main(), 0s, 1s, 100ms, &AppTimers::heartBeatTimer);
    one_minute_timer = repeat(DispatchQueue::main(), 6s, 60s, 6s, &AppTimers::oneMinuteTimer);
    vmsdr_maintenance_timer =
        repeat(vmsdr_maintenance_queue, 900s, 7200s, 720s, &AppTimers::checkDebugLogSize);
    pinged_ = NotificationCenter::defaultCenter().addObserver(
        kPinged, nullptr, DispatchQueue::main(), [weak = weak_from_this()](const Notification&) {
            if (const auto self = weak.lock()) {
                self->radioPinged();
            }
        });
}

void AppTimers::heartBeatTimer() {
    const auto host = host_.lock();
    if (!host) {
        return;
    }
    host->refreshEachSecond();
    blinkVox();
    const bool connected = host->radioConnected();
    if (connected && host->hasActiveSlice()) {
        host->adjustQuickRecordDisplay();
    } else {
        flashBulb(bulbs_.yellow);
    }
    DispatchQueue::main()->after(330ms, [weak = host_, connected] {
        if (const auto later = weak.lock()) {
            later->panViewsHeartBeat(connected);
        }
    });
}

// Looked at every two seconds: the second heartbeat after a look is due (at two seconds, not
// after them), so the button blinks with a two-second period.
void AppTimers::blinkVox() {
    const DispatchClock::time_point now = DispatchClock::now();
    if (lastVoxCheck && now - *lastVoxCheck < 2s) {
        return;
    }
    lastVoxCheck = now;
    const auto host = host_.lock();
    if (!host || !host->voxEnabled() || !transmitButton_) {
        return;
    }
    transmitButton_->setText(QStringLiteral("VOX"));
    DispatchQueue::main()->after(1s, [button = transmitButton_] {
        if (button) {
            button->setText(QStringLiteral("MOX"));
        }
    });
}

void AppTimers::oneMinuteTimer() {
    if (const auto host = host_.lock()) {
        host->oneMinute();
    }
}

std::optional<AppTimers::Notice> AppTimers::debugLogSizeNotice(std::uintmax_t bytes) {
    if (bytes <= kDebugLogLimit) {
        return std::nullopt;
    }
    return Notice{
        fmt::format("checkDebugLogSize:debug log file {} kb", bytes / 1000), "Debug Log",
        fmt::format("The Debug Log has grown larger than {:0.2f} MB", double(bytes) / 1'000'000.0)};
}

void AppTimers::checkDebugLogSize() {
    std::error_code error;
    const std::uintmax_t bytes = std::filesystem::file_size(debugLogFilePath_, error);
    if (error) {
        return;
    }
    std::optional<Notice> notice = debugLogSizeNotice(bytes);
    if (!notice) {
        return;
    }
    log("{}", notice->logLine);
    DispatchQueue::main()->async([weak = host_, notice = std::move(*notice)] {
        if (const auto host = weak.lock()) {
            host->postUserNotification(notice.title, notice.text);
        }
    });
}

void AppTimers::flashBulb(const QImage& image) {
    std::weak_ptr<AppTimers> weak = weak_from_this();
    DispatchQueue::main()->async([weak, image] {
        const auto self = weak.lock();
        if (!self || !self->pollButton_) {
            return;
        }
        self->pollButton_->setImage(image);
        DispatchQueue::main()->after(250ms, [weak] {
            const auto later = weak.lock();
            if (later && later->pollButton_) {
                later->pollButton_->setImage(later->bulbs_.grey);
            }
        });
    });
}

void AppTimers::radioPinged() {
    const auto host = host_.lock();
    flashBulb(host && host->inTransmit() ? bulbs_.red : bulbs_.green);
}

}  // namespace vm
