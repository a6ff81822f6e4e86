#pragma once
// The application's controller: it starts the program (folders, debug log, single instance,
// windows, queues, listeners), completes the launch (machine report, preferences, discovery) and
// holds the state that every part of the application shell, station control, station memory and
// control panels shares. One object per process, on the main thread. Its methods are spread over
// source files by concern (AppDelegateStartup.cpp, AppDelegateLaunch.cpp...).
#include "app/shell/AppFolders.h"
#include "platform/core/ArchiveValue.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/DispatchSource.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/SerialPortMonitor.h"
#include "radio/RadioFactory.h"

#include <QImage>
#include <QPalette>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QNetworkAccessManager;

namespace vm {

class CheckBox;
class CwxWindow;
class HudWindow;
class MainControlsBar;
class MainMenus;
class MemoryPanel;
class MemorySlot;
class Panafall;
class PanAdapterView;
class PanadapterWindow;
class PanControls;
class PanSpotObject;
class PopUpButton;
class PreferencesWindow;
class Radio;
class SingleInstance;
class SleepWatcher;
class Slice;
class SlicePanel;
class SplitWindow;
class TnfPanel;
class UserNotifications;
class VMKVOManager;
class VMMegahertzFormatter;
class VMRemoteAudioHandler;
class Waterfall;
class WaterFallView;
class Window;

using Date = std::chrono::system_clock::time_point;

struct AppOptions {
    std::vector<std::string> arguments;  // the program's arguments after its name
    std::uint16_t discoveryPort = RadioFactory::kDiscoveryPort;
};

class AppDelegate : public std::enable_shared_from_this<AppDelegate> {
public:
    using Options = AppOptions;

    // Start-up answers `run` when the program goes on; any other answer ends it with status 0.
    enum class Start { run, handedOver, alreadyRunning, preferencesReset };

    static std::shared_ptr<AppDelegate> create(Options options = {});
    ~AppDelegate();
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // The controller of the running program (the callbacks of the audio system reach it here).
    static std::shared_ptr<AppDelegate> refToSelf();

    // --- Start-up (before the event loop runs) and launch completion (once it runs) ---
    Start awakeFromNib();
    void applicationDidFinishLaunching();

    // --- Notifications and the DoroLink identity ---
    void showNotificationWithTitle(const std::string& title, const std::string& text,
                                   const QImage& image = {});
    void clientListChangedNotification(const Notification& notification);
    void authProcessComplete(const Notification& notification);
    void displayIdToken(const std::string& json);

    // --- Serial ports, audio devices, sleep and wake, URL events ---
    void portsChanged(bool added);
    void inputDeviceChanged();
    void outputDeviceChanged();
    void audioDeviceListChanged();
    void loadAudioDevicePopups(bool verbose);
    void receiveSleepNote();
    void receiveWakeNote();
    void handleURLEvent(const std::string& url);

    // --- Discovery ---
    bool openDoroSDR();

    // --- Controls filled and restored at start-up ---
    void loadControls();
    void setDbmSliderRanges();
    void restorePreferences();
    void darkWindowsChanged();
    std::string versionTitleString() const;

    // Windows
    Window* window = nullptr;  // the default window: the first panadapter window
    PanadapterWindow* velmoraSDRWindow = nullptr;
    PanadapterWindow* velmoraSDRWindow1 = nullptr;
    PanadapterWindow* velmoraSDRWindow2 = nullptr;
    PanadapterWindow* velmoraSDRWindow3 = nullptr;
    PreferencesWindow* prefsWindow = nullptr;
    std::optional<QPalette> window_appearance;
    CheckBox* darkWindowsCheckBox = nullptr;
    HudWindow* hud = nullptr;
    CwxWindow* cwxWindow = nullptr;
    MemoryPanel* memoryPanel = nullptr;
    TnfPanel* tnfPanel = nullptr;
    SplitWindow* splitWindow = nullptr;
    MainMenus* menus = nullptr;
    MainControlsBar* mainControls = nullptr;  // the operating controls of the first window
    // The repeated control sets: pan 0 to 3 and slice panels A to D.
    std::array<PanControls*, 4> panControls{};
    std::array<SlicePanel*, 4> slicePanels{};

    // Pan views (placed by the display classes into each window's view areas)
    PanAdapterView* panAdapterView = nullptr;
    PanAdapterView* panAdapterView1 = nullptr;
    PanAdapterView* panAdapterView2 = nullptr;
    PanAdapterView* panAdapterView3 = nullptr;
    WaterFallView* waterFallView = nullptr;
    WaterFallView* waterFallView1 = nullptr;
    WaterFallView* waterFallView2 = nullptr;
    WaterFallView* waterFallView3 = nullptr;
    PanAdapterView* lastPanMouseEntered = nullptr;

    // Radio
    std::shared_ptr<RadioFactory> radioFactory;
    std::shared_ptr<Radio> openRadio;
    std::vector<std::shared_ptr<Slice>> doroSlices;
    std::vector<std::shared_ptr<Panafall>> doroPanafalls;
    std::shared_ptr<Panafall> panafall, panafall1, panafall2, panafall3;
    std::shared_ptr<Panafall> hudOverPanafall;
    bool radioStartupComplete = false;
    bool doroInTransmit = false;

    // Observation
    std::shared_ptr<VMKVOManager> radioKVOManager, cwxKVOManager, rxEqualizersKVOManager,
        txEqualizersKVOManager;
    std::shared_ptr<VMKVOManager> panafallKVOManager, panafallKVOManager1, panafallKVOManager2,
        panafallKVOManager3;
    std::shared_ptr<VMKVOManager> waterfallKVOManager, waterfallKVOManager1, waterfallKVOManager2,
        waterfallKVOManager3;
    std::shared_ptr<VMKVOManager> sliceAKVOManager, sliceBKVOManager, sliceCKVOManager,
        sliceDKVOManager;

    // Times
    Date startupTime{}, sessionStart{}, lastTuningChange{};
    std::optional<Date> connectionStart;

    // Paths
    std::string debugPath, soundFilesPath, dataFilesPath, tmpPath, debugLogFilePath;

    // Audio
    std::shared_ptr<VMRemoteAudioHandler> audioHandler;
    std::vector<std::string> sideToneOutputDevices, monitorOutputDevices;
    double sideToneFrequency = 0, sideToneSampleRate = 0, sideToneAmplitude = 0, sideToneTheta = 0;

    // Memory and spots
    std::vector<std::shared_ptr<MemorySlot>> userMemories;
    std::vector<std::shared_ptr<PanSpotObject>> localSpots;
    ArchiveArray bandLowerEdges, bandUpperEdges;
    bool loadingSpots = false, allSpots = false, loadingBandEdges = false;

    // Flags
    bool isTrvlRunning = false;
    bool debug = false;

    // Queues (serial) and timers
    DispatchQueuePtr kbrx_background_queue, kbrx_dorocontrol_queue, kbrx_zenithor_queue,
        kbrx_sidetone_queue, vmsdr_update_queue, vmsdr_all_profiles_queue, vmsdr_maintenance_queue;
    DispatchSourcePtr heart_beat_timer, meter_timer, one_minute_timer, vmsdr_maintenance_timer;

    // State flags
    std::atomic<bool> startupComplete{false};
    bool doroSDRisRunning = false, quitting = false, was_connected = false,
         doro_control_connected = false, sleeping = false, profilesAreSaved = false,
         doroAutoTuning = false, doroManualTuneInProgress = false, applicationOccluded = false,
         zenithorRunning = false, flashPlayBackA = false, flashPlayBackB = false,
         doroAuxButton1 = false, doroAuxButton2 = false, doroAuxButton3 = false,
         loadingGlobalProfile = false, loadingTransmitProfile = false, loadingMicProfile = false,
         fetchingSpots = false;

    // Connection
    int radioConnectionState = 0;
    PanAdapterView* hudOverPanView = nullptr;

    // Dates
    Date lastPurge{}, lastVoxCheck{}, recordingAStarted{}, recordingBStarted{}, playbackAStarted{},
        playbackBStarted{};

    // Machine
    std::string macAddress, my_ip, osVersionString;
    long majorVersion = 0, minorVersion = 0, patchVersion = 0;

    // Antennas
    std::string lastActiveRXAnt, lastActiveTXAnt, lastAlternateRXAnt, lastAlternateTXAnt;

    // Meters
    std::vector<double> sMeterValues;

    // Editing
    int memoryRowBeingEdited = -1, tnfRowBeingEdited = -1;
    std::string lastSplit, sideToneString, sideToneStatusString;

    // Images
    QImage greenBulb, greyBulb, yellowBulb, redBulb, blueBulb, orangeBulb, red_button,
        red_button_dark, play_button_green, play_button_black, saveButtonDark, addButtonDark,
        deleteButtonDark, goButtonDark, saveButtonLight, addButtonLight, deleteButtonLight,
        goButtonLight;

private:
    explicit AppDelegate(Options options);

    // Start-up steps
    void storeRefToSelf();
    void redirectConsoleLogToDocumentFolder();
    void logMachineFacts();
    void logZombieEnvironment();
    bool claimSingleInstance(Start* refusal);
    void createWindows();
    void prepareControls();
    void loadImages();
    void readOperatingSystemVersion();
    void registerObservers();
    void createQueues();
    bool resetPreferencesAsked() const;
    void resetPreferences();
    void startSerialDeviceNotification();
    void startAudioDeviceListeners();
    void startSleepWatcher();
    // Launch steps
    void logSystemReport();
    void reopenWindows();
    void restoreAutoConnect();

    void showInitialImages();
    void applicationStateChanged(bool active);

    Options options_;
    bool hudHidesOnDeactivate_ = false;
    bool hudHiddenInBackground_ = false;
    std::unique_ptr<SingleInstance> singleInstance_;
    std::unique_ptr<UserNotifications> userNotifications_;
    std::unique_ptr<SleepWatcher> sleepWatcher_;
    std::unique_ptr<SerialPortMonitor> serialPortMonitor_;
    std::unique_ptr<VMMegahertzFormatter> megahertzFormatter_;
    std::uint64_t audioListener_ = 0;
    struct AudioSnapshot;
    std::shared_ptr<AudioSnapshot> audioSnapshot_;
    std::vector<NotificationCenter::Token> observers_;
    std::vector<std::unique_ptr<QWidget>> ownedWindows_;
    std::unique_ptr<MainMenus> ownedMenus_;
    std::unique_ptr<QNetworkAccessManager> network_;
};

}  // namespace vm
