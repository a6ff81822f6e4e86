#pragma once
// The two sibling applications of the station: the logger Tarvelo and the satellite tracker
// Zenithor, which run beside the program on the same desktop. They talk with it through
// distributed notifications (a name, the object "string object" and a dictionary), the logger's
// entry is tuned through typed D-Bus method calls, and each is running while it holds its name on
// the session bus.
//
// In: the logger's DX spots (kept in `localSpots` and drawn on the panadapters) and its band plan,
// the tracker's satellite tuning (slice B to the downlink, slice A to the uplink with its tone)
// and a request to centre a panadapter. Out: a request for the logger's spots, DoroLink radios
// for the logger, and the tracker's fine-tuning steps and S-meter bars. Every number and mode
// from another program is checked before it reaches a slice (SiblingValues.h).
//
// Threads: everything runs on the main thread except the satellite tuning, which runs on its own
// serial queue (`kbrx_zenithor_queue`). Work queued for later holds the bridge weakly.
#include "app/control/SiblingBridgeHost.h"
#include "platform/core/ArchiveValue.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/DispatchSource.h"
#include "platform/core/PlistValue.h"
#include "platform/ui/DistributedNotificationCenter.h"

#include <QDBusConnection>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vm {

class PanSpotObject;
struct RadioInstance;

class SiblingBridge : public std::enable_shared_from_this<SiblingBridge> {
public:
    using Date = SiblingBridgeHost::Date;

    // The names the siblings hold on the session bus while they run.
    static constexpr const char* kLoggerBusName = "com.velmorasoftware.Tarvelo";
    static constexpr const char* kTrackerBusName = "com.velmorasoftware.Zenithor";
    // Where the logger takes the tuning: three methods of one string each, "setLogFrequency"
    // (MHz), "setLogMode" and "setSplitKhz".
    static constexpr const char* kLoggerPath = "/com/velmorasoftware/Tarvelo";
    static constexpr const char* kLoggerInterface = "com.velmorasoftware.Tarvelo.Log";
    // The object text every notification of ours carries.
    static constexpr const char* kObject = "string object";
    // The most logger spots kept; a newer spot pushes the oldest out.
    static constexpr std::size_t kMaxSpots = 2000;

    // The bridge over a notification centre and the bus the siblings are on. It restores the
    // band plan that the logger last sent ("trvl_band_lower_edge_array",
    // "trvl_band_upper_edge_array") and listens to nothing until registered.
    static std::shared_ptr<SiblingBridge> create(DistributedNotificationCenter& center,
                                                 QDBusConnection bus,
                                                 DispatchQueuePtr kbrx_zenithor_queue,
                                                 std::weak_ptr<SiblingBridgeHost> host);
    ~SiblingBridge();  // stops listening
    SiblingBridge(const SiblingBridge&) = delete;
    SiblingBridge& operator=(const SiblingBridge&) = delete;

    // Listens to the five incoming notifications, from whoever sends them.
    void registerDistributedNotifications();
    // At launch: looks for the siblings, logging the ones running. The controller's timers then
    // call `heartBeat` each second and `checkSiblings` each minute.
    void start();
    // The bridge's part of each heartbeat: the logger's spots aged once a minute while they are
    // shown, and the logger tuned to the active slice (a DoroLink radio bound as GUI client,
    // "tune_trvl" on).
    void heartBeat();
    // Whether each sibling holds its bus name now.
    void checkSiblings(bool log);

    // --- The logger's spots and band plan (main thread).
    void addSpot(const std::shared_ptr<PanSpotObject>& spot);
    void ageTRVLSpots();
    void resetSpots();
    void loadBandPlan(const PlistDict& plan);
    const std::vector<std::shared_ptr<PanSpotObject>>& localSpots() const { return localSpots_; }
    bool loadingSpots() const { return loadingSpots_; }
    const ArchiveArray& bandLowerEdges() const { return bandLowerEdges_; }
    const ArchiveArray& bandUpperEdges() const { return bandUpperEdges_; }
    bool loadingBandEdges() const { return loadingBandEdges_; }
    double spot_timeout_hours() const { return spot_timeout_hours_; }

    // --- The tracker's satellite tuning: the dictionary of "tune_doro_satellite" (main thread;
    // the slices are tuned on the tracker's queue).
    void satellite(const PlistDict& payload);

    // --- Out (main thread). Each is sent only while its sibling runs.
    void requestUpdateFromTRVL();
    void tuneTrvlToMhz(const std::string& mhz, const std::string& mode, const std::string& split);
    void tellNewRemoteRadio(const RadioInstance& radio);
    void fineTuned(bool active, double stepMHz);
    void sMeterBarChanged(int bar);

    bool isTrvlRunning() const { return isTrvlRunning_; }
    bool zenithorRunning() const { return zenithorRunning_; }

private:
    SiblingBridge(DistributedNotificationCenter& center, QDBusConnection bus,
                  DispatchQueuePtr queue, std::weak_ptr<SiblingBridgeHost> host);
    void restoreBandPlan();
    void newSpotNotification(const PlistDict& payload);
    void centerPanNotification(const PlistDict& payload);
    // Removes the spots `drop` picks, with `loadingSpots` set while the list changes.
    template <class Drop>
    std::size_t removeSpots(Drop drop, const std::shared_ptr<PanSpotObject>& append = nullptr);
    // Older than the lifetime at `now` (seconds since 2001).
    bool expired(const PanSpotObject& spot, double now) const;
    void post(const std::string& name, const PlistDict& userInfo);
    void callLogger(const char* method, const std::string& value);

    DistributedNotificationCenter& center_;
    QDBusConnection bus_;
    DispatchQueuePtr kbrx_zenithor_queue_;
    std::weak_ptr<SiblingBridgeHost> host_;
    std::vector<DistributedNotificationCenter::Token> observers_;

    std::vector<std::shared_ptr<PanSpotObject>> localSpots_;
    bool loadingSpots_ = false;
    double spot_timeout_hours_ = 1.0;
    Date lastPurge_;
    ArchiveArray bandLowerEdges_, bandUpperEdges_;
    bool loadingBandEdges_ = false;
    std::optional<double> lastTarveloFrequency_;
    std::string lastSplit_;
    bool isTrvlRunning_ = false;
    bool zenithorRunning_ = false;
};

}  // namespace vm
