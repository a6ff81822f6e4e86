#pragma once
// The controller's repeating timers and the activity light.
//
// - heartbeat, each second on the main queue from launch: the host's display steps, then the
//   activity light (a yellow blink without a connected radio or without an active slice), then
//   0.33 s later the panadapter views' heartbeat. Every two seconds, while the open radio has VOX
//   on, the transmit button reads "VOX" for one second and "MOX" again for the next; with a
//   radio connected and an active slice, the quick recorder's times are shown;
// - one minute, on the main queue from 6 s after launch;
// - the debug log's size, every two hours on the maintenance queue from 900 s after launch: a
//   log over 10,000,000 bytes is logged and the user told.
//
// The light (`pollButton`) also blinks green on each reply to the radio's keep-alive ping (red
// while transmitting). A blink shows the image at once and puts the grey bulb back 0.25 s later.
// The timers stop when the room is destroyed; each tick holds the room only weakly.
#include "platform/core/DispatchClock.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/DispatchSource.h"
#include "platform/core/NotificationCenter.h"

#include <QImage>
#include <QPointer>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace vm {

class AppTimersHost;
class ImageButton;

class AppTimers : public std::enable_shared_from_this<AppTimers> {
public:
    struct Bulbs {
        QImage green, grey, yellow, red;
    };

    static std::shared_ptr<AppTimers> create(ImageButton& pollButton, ImageButton& transmitButton,
                                             Bulbs bulbs, std::filesystem::path debugLogFilePath,
                                             DispatchQueuePtr vmsdr_maintenance_queue,
                                             std::weak_ptr<AppTimersHost> host);
    ~AppTimers();
    AppTimers(const AppTimers&) = delete;
    AppTimers& operator=(const AppTimers&) = delete;

    // Starts the timers and listens to the radio's pings; a second call does nothing.
    void start();

    void heartBeatTimer();
    void oneMinuteTimer();
    void checkDebugLogSize();
    // Shows the image in the light at once and the grey bulb 0.25 s later; from any thread.
    void flashBulb(const QImage& image);
    void radioPinged();

    // The debug log's notice for a file of this size; none at 10,000,000 bytes or less.
    struct Notice {
        std::string logLine, title, text;
    };
    static std::optional<Notice> debugLogSizeNotice(std::uintmax_t bytes);

private:
    AppTimers(ImageButton& pollButton, ImageButton& transmitButton, Bulbs bulbs,
              std::filesystem::path debugLogFilePath, DispatchQueuePtr queue,
              std::weak_ptr<AppTimersHost> host);
    DispatchSourcePtr repeat(const DispatchQueuePtr& queue, DispatchClock::duration start,
                             DispatchClock::duration interval, DispatchClock::duration leeway,
                             void (AppTimers::*tick)());

    void blinkVox();

    QPointer<ImageButton> pollButton_;
    QPointer<ImageButton> transmitButton_;
    // When the heartbeat last looked at VOX (dispatch time); none before the first look.
    std::optional<DispatchClock::time_point> lastVoxCheck;
    const Bulbs bulbs_;
    const std::filesystem::path debugLogFilePath_;
    const DispatchQueuePtr vmsdr_maintenance_queue;
    std::weak_ptr<AppTimersHost> host_;
    DispatchSourcePtr heart_beat_timer, one_minute_timer, vmsdr_maintenance_timer;
    std::optional<NotificationCenter::Token> pinged_;
};

}  // namespace vm
