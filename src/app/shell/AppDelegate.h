#pragma once
// The application's controller: it starts the program (folders, debug log, single instance,
// windows, queues, listeners), completes the launch (machine report, preferences, discovery) and
// holds the state that every part of the application shell, station control, station memory and
// control panels shares. One object per process, on the main thread. Its methods are spread over
// source files by concern (AppDelegateStartup.cpp, AppDelegateLaunch.cpp...).
#include "app/audio/RemoteAudioHost.h"
#include "app/control/DoroControlHost.h"
#include "app/control/SiblingBridgeHost.h"
#include "app/cwx/CwxHost.h"
#include "app/dorolink/DoroLinkAuthHost.h"
#include "app/dorolink/LoginView.h"
#include "app/memory/BandStackHost.h"
#include "app/memory/FilterPresetHost.h"
#include "app/memory/ProfileHost.h"
#include "app/memory/TransverterHost.h"
#include "app/panels/PanadapterHost.h"
#include "app/panels/RadioControlsHost.h"
#include "app/panels/SlicePanelHost.h"
#include "app/panels/TuningHost.h"
#include "app/shell/AppFolders.h"
#include "app/shell/AppTimersHost.h"
#include "app/shell/LocalRadioTableHost.h"
#include "app/shell/MeterDisplaysHost.h"
#include "app/shell/PreferenceChoicesHost.h"
#include "app/shell/UpdateCheck.h"
#include "app/shell/WindowDelegatesHost.h"
#include "platform/core/ArchiveValue.h"
#include "platform/core/DispatchClock.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/DispatchSource.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Observable.h"
#include "platform/core/SerialPortMonitor.h"
#include "radio/RadioDelegate.h"
#include "radio/RadioFactory.h"
#include "radio/RadioTypes.h"
#include "util/URLParameters.h"

#include <QImage>
#include <QPalette>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QNetworkAccessManager;

namespace vm {

class AppDisplayController;
class AppStationMemory;
class BandStackController;
class BandStacks;
class CwxController;
class CwxWindow;
class DoroControlController;
class FilterPresetController;
class HudWindow;
class MainControlsBar;
class MainMenus;
class MemoryPanel;
class MemorySlot;
class MenuItem;
class Panafall;
class DoroLinkAuthWebController;
class PanadapterController;
class PanAdapterView;
class PanSpotObject;
class PopUpButton;
class PreferencesWindow;
class ProfileController;
class Radio;
class RadioControlsController;
class RemoteAudioController;
class RemoteRadioServer;
class SingleInstance;
class SleepWatcher;
class Slice;
class SliceMenuActions;
class SlicePanelController;
class SplitWindow;
class StackSortWindow;
class TnfPanel;
class TuningController;
class TransverterEditor;
class TnfWindowController;
class UserMemoryController;
class UserNotifications;
class SiblingBridge;
class PreferenceChoices;
class AppTimers;
class LocalRadioTable;
class MeterDisplays;
class WindowDelegates;
class ViewArea;
class VMKVOManager;
class VMMegahertzFormatter;
class Waterfall;
class Window;

using Date = std::chrono::system_clock::time_point;

struct AppOptions {
    std::vector<std::string> arguments;  // the program's arguments after its name
    std::uint16_t discoveryPort = RadioFactory::kDiscoveryPort;
    // Makes the DoroLink login window; none: the web engine's. Tests give a view of their own.
    std::function<std::unique_ptr<LoginView>()> loginView{};
    // Ends the event loop once a quit is answered yes; none: the application's quit.
    std::function<void()> endEventLoop{};
    // Where the update check reads the latest release number, and the running program's version.
    UpdateCheckOptions updateCheck{};
    // The bus of the login manager that reports sleep and wake; empty: the system bus. Tests
    // give the address of a bus of their own.
    std::string loginManagerBus{};
};

class AppDelegate : public RadioDelegate,
                    public SlicePanelHost,
                    public PanadapterHost,
                    public DoroControlHost,
                    public TransverterHost,
                    public RadioControlsHost,
                    public TuningHost,
                    public DoroLinkAuthHost,
                    public RemoteAudioHost,
                    public CwxHost,
                    public SiblingBridgeHost,
                    public PreferenceChoicesHost,
                    public AppTimersHost,
                    public MeterDisplaysHost,
                    public LocalRadioTableHost,
                    public WindowDelegatesHost,
                    public ProfileHost,
                    public BandStackHost,
                    public FilterPresetHost,
                    public std::enable_shared_from_this<AppDelegate> {
public:
    using Options = AppOptions;

    // Start-up answers `run` when the program goes on; any other answer ends it with status 0.
    enum class Start { run, handedOver, alreadyRunning, preferencesReset };

    static std::shared_ptr<AppDelegate> create(Options options = {});
    ~AppDelegate() override;
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // The controller of the running program (the callbacks of the audio system reach it here).
    static std::shared_ptr<AppDelegate> refToSelf();

    // --- Start-up (before the event loop runs) and launch completion (once it runs) ---
    Start awakeFromNib();
    void applicationDidFinishLaunching();

    // --- The update check, the problem report and the maker's pages: the Help menu's actions
    // (src/app/shell/AppDelegateHelp.cpp, AppDelegateProblemReport.cpp) ---
    void checkForUpdates(bool calledFromMenu);
    void sendDebugLog();
    // Hands a mail to the desktop's mail composer: recipients, subject, body text and the files
    // attached. Its end is only logged.
    void shareEmailTo(const std::vector<std::string>& recipients, const std::string& subject,
                      const std::string& body, const std::vector<std::string>& attachments);
    void showDebugLogFolder();
    void gotoWebsite();
    void gotoOnlineHelp();

    // --- Notifications and the DoroLink identity ---
    void showNotificationWithTitle(const std::string& title, const std::string& text,
                                   const QImage& image = {});
    // Tells the user, once, that the preferences file was put aside at start (it could not be
    // read, or held values that could not).
    void tellPreferencesKeptAside();
    void clientListChangedNotification(const Notification& notification);
    void authProcessComplete(const Notification& notification);
    // A DoroLink radio has its handle: its session opens over TLS at its public address.
    void remoteRadioReady(const Notification& notification);
    void displayIdToken(const std::string& json) override;

    // --- DoroLink: the login room made at launch, the check box and the buttons of the Radio
    // preferences, and what the room needs of the controller
    // (src/app/shell/AppDelegateDoroLink.cpp)
    void startDoroLink();
    void authUseDoroLinkButtonPressed(bool on);
    void authLoginButton_Pressed();
    void authNetButton_Pressed();
    void setDoroLinkServerImage(const QImage& image) override;
    void setDoroLinkServerToolTip(const QString& text) override;
    void uncheckDoroLinkButton() override;
    void setNetworkTestEnabled(bool enabled) override;
    void showWarning(const QString& message, const QString& informative) override;
    void tellUser(const std::string& title, const std::string& text) override;
    void setDoroLinkBusy(bool busy) override;
    void cmdSetRadioName(const std::string& name) override;
    void cmdSetRadioCallSign(const std::string& callsign) override;
    bool closeOpenRadio(const std::string& logPrefix) override;
    std::shared_ptr<RadioInstance> openRadioInstance() const override;
    void wanSetForwardedPorts(bool portForwardingOn, int tcpPort, int udpPort) override;
    std::vector<std::shared_ptr<RadioInstance>> localRadios() const override;
    int selectedLocalRow() const override;
    int selectedRemoteRow() const override;
    bool chooseRadio(const std::shared_ptr<RadioInstance>& radio) override;

    // --- Serial ports, sleep and wake, URL events (the audio devices are `remoteAudio`'s) ---
    void portsChanged(bool added);
    // `sleepLock` holds the system's sleep back until the radio's connection has closed.
    void receiveSleepNote(std::shared_ptr<void> sleepLock = nullptr);
    void receiveWakeNote();
    // True once the login manager's sleep signal is heard.
    bool watchingSleep() const;
    // After a wake: opens the radio that sleep closed when it is listed; true when it did.
    bool reopenRadioAfterWake();
    void handleURLEvent(const std::string& url);
    // Tunes the active slice to the links that arrived before the radio was ready for them, in
    // their order, once a radio is bound as GUI client with an active slice
    // (src/app/shell/AppDelegateUrl.cpp).
    void applyPendingTuneLinks();

    // --- Station control: discovery, the radio chooser and the automatic open of the last radio
    // (src/app/shell/AppDelegateChooser.cpp) ---
    bool openDoroSDR();
    void radioFactoryNotification(const Notification& notification);
    void setPopupFromRadioName(const std::string& name, bool remote);
    std::shared_ptr<RadioInstance> getRadioInstanceFromPopup(const PopUpButton& popup) const;
    std::shared_ptr<RadioInstance> getRadioInstanceFromName(const std::string& name) const;
    // The radio chooser's action: opens the chosen radio, closing the open one first.
    void radioChanged();
    // The same for a radio chosen elsewhere (the radio table) under the chooser's title `title`.
    void radioChosen(const std::shared_ptr<RadioInstance>& radio, const std::string& title);
    void userDisconnect();

    // --- Connecting a radio, its connection states and the end of a session
    // (src/app/shell/AppDelegateConnection.cpp) ---
    bool connectToDoroRadio(const std::shared_ptr<RadioInstance>& radio, const std::string& ip,
                            std::uint16_t port, bool wan);
    void radioConnectionStateChange(const std::shared_ptr<Radio>& radio,
                                    std::uint32_t state) override;
    std::string savedClientId(const Radio& radio) const;
    void userCommandedDisconnect();
    // "1 day, 02:03:04" since `connectionStart`.
    std::string connectTimeString() const;
    // The single end of every session (src/app/shell/AppDelegateTeardown.cpp);
    // `keepUntilDisconnected` is let go once the radio's connection has closed.
    void radioClosed(std::shared_ptr<void> keepUntilDisconnected = nullptr);

    // --- The start-up chain after the GUI bind (src/app/shell/AppDelegateStartupChain.cpp) ---
    void startupRadio(const std::shared_ptr<Radio>& radio);

    // --- Pan and slice lookups (src/app/shell/AppDelegateLookups.cpp) ---
    std::shared_ptr<Slice> sliceWithNumber(int number) const override;
    std::shared_ptr<Slice> getSliceA() const override;
    std::shared_ptr<Slice> getSliceB() const override;
    std::shared_ptr<Slice> getSliceC() const;
    std::shared_ptr<Slice> getSliceD() const;
    std::shared_ptr<Slice> activeVFO() const override;
    std::shared_ptr<Slice> alternateVFO() const override;
    std::shared_ptr<Slice> transmitVFO() const override;
    std::shared_ptr<Slice> lastSlice() const;
    std::shared_ptr<Slice> closestSlice(double mhz) const;
    int activeBandNumeric() const;
    // The panadapter that shows a frequency, and its band name ("20M"); none and "" without one.
    std::shared_ptr<Panafall> panForFrequency(double mhz) const override;
    std::string panNameForPan(const std::shared_ptr<Panafall>& pan) const;
    // Asks the radio for slice A (vfo 0) or B (vfo 1) when it is missing: true when it was
    // missing (or there is no radio), false when it exists.
    bool needDoroVFO(int vfo, const std::shared_ptr<Radio>& radio);
    bool needDoroVFO(int vfo) override { return needDoroVFO(vfo, openRadio); }
    // The tuning room's host (src/app/shell/AppDelegateTuningHost.cpp).
    BandStacks& bandStackStore() override;
    std::shared_ptr<Radio> openedRadio() const override { return openRadio; }
    std::vector<std::shared_ptr<Slice>> clientSlices() const override { return doroSlices; }
    std::string focusedPanBand() const override;
    std::shared_ptr<Panafall> panUnderHud() const override { return hudOverPanafall; }
    std::string panBandForFrequency(double mhz) const override;
    void notifyUser(const std::string& title, const std::string& text) override;
    int panafallCount() const override { return int(doroPanafalls.size()); }
    bool radioSessionUp() const override;

    // --- Keeping groups of controls in line with the slices and panadapters there are
    // (src/app/shell/AppDelegateControlSync.cpp): the menus and pop-ups that name slices, the
    // panels' controls offered for their slices, the antenna pop-ups of a new slice, the slice
    // menu's enabling and marks, the split pop-up and the panadapter menu items.
    void loadSlicePopup();
    void loadAntennas(const std::shared_ptr<Slice>& slice);
    void adjustSliceControls();
    // The slice, pan and tuning controls as the session allows (none without a radio).
    void adjustSessionControls();
    void adjustVFOMenu() override;
    void adjustSplitControls() override;
    void adjustPanafallMenu() override;
    // Each pan's display controls offered while it shows a panafall.
    void adjustPanafallControls();
    // Tunes a slice by a step in Hz (a tenth of it in CW, RTTY and DIGU), unless it is locked;
    // the panadapter that showed it follows when the new frequency leaves it
    // (src/app/shell/AppDelegateTuning.cpp).
    void fineTuneHz(double hz, const std::shared_ptr<Slice>& slice) override;

    // --- Observation wiring: this client's slices and panadapters bound to the controls as the
    // radio reports them and released when it drops them (src/app/shell/AppDelegateKvoWiring.cpp)
    void sliceCreatedNotification(const Notification& notification);
    void sliceDeletedNotification(const Notification& notification);
    void panafallCreatedNotification(const Notification& notification);
    void panafallDeletedNotification(const Notification& notification);
    // A slice numbered 0 to 3 is bound to (or released from) the panel of its number; other
    // slices are observed by nothing.
    void loadKVOSlice(const std::shared_ptr<Slice>& slice);
    void cancelKVOSLice(const std::shared_ptr<Slice>& slice);
    // The panafall bound, shown or let go by the panadapter controller of its pan index (none for
    // a pan index of 4 or more).
    void loadPanafallKVO(const std::shared_ptr<Panafall>& pan);
    void cancelPanafalKVO(const std::shared_ptr<Panafall>& pan);
    // Attaches the panafall to its pan's views and shows the pan's window; returns the area that
    // shows the pan's spectrum (none for a pan index of 4 or more).
    QWidget* loadPanafallWindow(const std::shared_ptr<Panafall>& pan);

    // --- What lies outside the slice panels and follows their slices: the VFO controls, the
    // context mode menus, the heads-up RIT and XIT switches, the memory window's antenna pop-ups,
    // and the mute of the other slices (src/app/shell/AppDelegateSlicePanels.cpp) ---
    std::string panNameForFrequency(double mhz) const override;
    void setTxState(bool transmit) override;
    void sliceTuned(const std::shared_ptr<Slice>& slice) override;
    void showModeMenus(int panel, const std::string& mode, bool active) override;
    void showActiveMode() override;
    void activeSliceChanged(const std::shared_ptr<Slice>& slice) override;
    void showHudRit(bool on) override;
    void showHudXit(bool on) override;
    void showMemoryRxAnt(int panel, const std::string& title) override;
    void showMemoryTxAnt(int panel, const std::string& title) override;
    // Each panel's FM and peak filter controls follow its slice's mode (disabled without one).
    void adjustModeControls();
    // Mutes every slice of this client but the active one, or unmutes all; only the slices whose
    // state changes are sent a mute command.
    void muteAllButActive(bool mute) override;

    // --- What the panadapters show (src/app/shell/AppDelegatePanDisplay.cpp): each check box of
    // the Panadapters preferences stores its state at once ("display_trvl_spots",
    // "display_radio_spots", "zenithor_narrow_fm", "display_memories", booleans) and the
    // panadapters are drawn again. The logger's spots switched on ask the logger for its spots;
    // the radio's spots switched either way empty the open radio's spot list, and switched on
    // subscribe to the radio's spots.
    void trvlSpotsButtonPressed(bool on);
    void radioSpotsButtonPressed(bool on);
    void zenithorNFMButtonPressed(bool on);
    void memoryShowCBPressed(bool on);
    // The meter panel's source, stored by its title ("meter_panel_popup").
    void meterPanelPopUpChanged(const std::string& title);
    void connectPanDisplayChoices();
    void redrawPanadapters();

    // --- The panadapters' host (src/app/shell/AppDelegatePanadapters.cpp) ---
    std::string xvtrNameForXKey(const std::string& band) const override;
    void setPanadapterTabLabel(int pan, const std::string& label) override;

    // --- What the tuning knob drives outside its page (src/app/shell/AppDelegateDoroControl.cpp)
    bool isQuitting() const override { return quitting; }
    bool isSleeping() const override { return sleeping; }
    bool radioIsOpen() const override { return openRadio != nullptr; }
    std::shared_ptr<Radio> sessionRadio() const override { return openRadio; }
    std::string soundFilesFolder() const override { return soundFilesPath; }
    // --- The CWX window's room and the side tone (src/app/shell/AppDelegateCwx.cpp) ---
    void remoteAudioSwitched(bool on, const std::shared_ptr<Radio>& radio) override;
    void openCloseSideTone(bool on) override;
    void sideToneParametersChanged() override;
    std::string transmitMode() const override;
    std::optional<CwxHost::OutputChoice> outputDeviceChoice() const override;
    SideToneSettings sideToneSettings() const override;
    double getFrequencyKeyModifier() const override;
    bool remoteAudioOn() const override;
    std::optional<double> remoteAudioVolume() const override;
    void setRemoteAudioVolume(double volume) override;
    std::optional<double> radioSpeakerVolume() const override;
    void setRadioSpeakerVolume(int volume) override;
    std::optional<double> radioHeadsetVolume() const override;
    void setRadioHeadsetVolume(int volume) override;
    void pressTransmitButton(bool on) override;
    void adjustHudTitle() override;
    void bringUsFront() override;

    // --- The transverter editor's host and its notification
    // (src/app/shell/AppDelegateTransverters.cpp) ---
    std::shared_ptr<Radio> currentRadio() const override { return openRadio; }
    SavedAntennas savedAntennas() const override;
    std::optional<QPalette> alertAppearance() const override { return window_appearance; }
    void xvtrNotification(const Notification& notification);
    // --- What the sibling-application bridge needs (src/app/shell/AppDelegateSiblings.cpp) ---
    bool radioConnectedAsGui() const override;
    bool openRadioIsRemote() const override;
    // Centres the panadapter with that stream id on the frequency (MHz).
    void centerPan(const std::string& streamId, double mhz) override;
    bool panadapterDragging() const override;
    Date timeOfLastTuning() const override { return lastTuningChange; }
    void spotsChanged() override;
    bool tuneLoggerOn() const override;
    bool loggerSpotsOn() const override;
    bool narrowFmForSatellite() const override;

    // --- The end of a session (src/app/shell/AppDelegateTeardown.cpp) ---
    // Asks the radio to remove this client's slices and panadapters; does not wait.
    void removeOurResourcesFromRadio();
    // Once no radio is open, answers a pending quit (when quitting) with yes, on the main queue.
    void closeDoroSDR();
    // The answer to a pending request to quit, called once; none while no quit is pending.
    std::function<void(bool)> replyToApplicationShouldTerminate;

    // --- Quitting (src/app/shell/AppDelegateTermination.cpp) ---
    enum class TerminateReply { now, later };
    // The Quit menu, SIGTERM and the end of the desktop session: asks applicationShouldTerminate
    // and ends the event loop once the answer is yes. A second request while one runs is ignored.
    void quit();
    // Before the launch finished: now. Otherwise the radio is left clean (its non-permanent notch
    // filters and this client's slices and panadapters removed, the profiles saved), the session
    // closed, and `replyToApplicationShouldTerminate` answers; 30 s after the request at the
    // latest.
    TerminateReply applicationShouldTerminate();
    void applicationWillTerminate();
    // The window frames, tabs, open windows, debug setting and band stacks saved; the uptime
    // logged.
    void cleanUpAndGo();
    void saveTabs();
    void saveWindowsOpen();
    void printUpTime();

    // --- The rooms of station memory: the profiles, the band stacks and the filter presets, and
    // what they need of the controller (src/app/shell/AppDelegateStationMemory.cpp) ---
    bool launchComplete() const override { return startupComplete; }
    std::string dataFilesFolder() const override { return dataFilesPath; }
    void showPresetOfSlice(const std::shared_ptr<Slice>& slice) override;
    // The antennas in use, kept for the next session.
    void saveAntennas();
    // The band-stack editor on a band's stack.
    void editBandStack(const std::string& band) override;
    void saveActiveInBandStack() override;

    // --- What the radio's own controls need (src/app/shell/AppDelegateRadioControls.cpp) ---
    std::optional<QPalette> windowAppearance() const override;
    bool profilesKeptByRadio() const override;
    void beginProfileSave(ProfileKind kind) override;
    void waitForProfileSave(ProfileKind kind, std::function<void(bool)> done) override;
    void loadProfileMenus(ProfileKind kind) override;
    void setProfileSubmenuSelections(ProfileKind kind) override;

    // --- Controls filled and restored at start-up ---
    void setDbmSliderRanges();
    void restorePreferences();
    // Stores the dark windows choice and gives its appearance to every window.
    void darkWindowsChanged() override;
    // --- The Radio preferences' check boxes (src/app/shell/AppDelegatePreferences.cpp) ---
    void setDebugLogging(bool on) override;
    void setHudHidesOnDeactivate(bool on) override;

    // --- The periodic timers' host (src/app/shell/AppDelegateTimers.cpp) ---
    bool radioConnected() const override;
    bool hasActiveSlice() const override;
    bool inTransmit() const override;
    bool voxEnabled() const override;
    void refreshEachSecond() override;
    void adjustQuickRecordDisplay() override;
    void panViewsHeartBeat(bool connected) override;
    void oneMinute() override;
    void postUserNotification(const std::string& title, const std::string& text) override;
    // "1 day, 02:03:04" since start-up.
    std::string upTimeString() const;
    // The Slices tab's titles: "Slice A" for each slice of this client, else "Off".
    void adjustSliceTabTitles();
    // The Panadapters tab's titles and the panadapter windows' titles from the band of each pan's
    // centre ("Off" without a pan); the Disconnect item enabled with an open radio.
    void adjustPanTabTitles();
    // The meter displays' host: whether a tune runs, which preferences tab is shown, the
    // remote-audio engine's microphone levels, and the S-meter's bar passed to the satellite
    // tracker.
    bool tuneInProgress() const override;
    bool prefsPanelVisible(int tab) const override;
    std::optional<MicLevels> remoteMicLevels() const override;
    void sMeterBarChanged(int bar) override;
    std::string versionTitleString() const;
    // The window handling's room, made at launch, and its host
    // (src/app/shell/AppDelegateWindows.cpp).
    void startWindowDelegates();
    // Refreshes the radio chooser's tool tip (on the main queue).
    void setRadioTooltp();
    PanAdapterView* panViewUnderHud() const override { return hudOverPanView; }
    bool darkWindowsOn() const override;
    std::vector<std::shared_ptr<RadioInstance>> doroLinkRadios() const override;
    void applicationDidChangeOcclusionState(bool visible) override;

    // Windows
    Window* window = nullptr;  // the default window: the first panadapter window
    PreferencesWindow* prefsWindow = nullptr;
    std::optional<QPalette> window_appearance;
    HudWindow* hud = nullptr;
    CwxWindow* cwxWindow = nullptr;
    MemoryPanel* memoryPanel = nullptr;
    TnfPanel* tnfPanel = nullptr;
    SplitWindow* splitWindow = nullptr;
    MainMenus* menus = nullptr;
    MainControlsBar* mainControls = nullptr;  // the operating controls of the first window
    // The slice panels A to D (slices 0 to 3), each with its controller.
    std::array<std::shared_ptr<SlicePanelController>, 4> slicePanelControllers{};
    // The four panadapters, pan 0 to 3: each its window (the first is the main window), views,
    // panafall, managers and controls.
    std::array<std::shared_ptr<PanadapterController>, 4> panadapters{};
    // The tuning knob: its page, its serial port and its tasks.
    std::shared_ptr<DoroControlController> doroControl;
    // The transverter editor: the Transverters page's tabs and the transverter sub-menu.
    std::shared_ptr<TransverterEditor> transverters;
    // The radio's own controls: transmit, ATU, interlock, amplifier, CW, audio levels,
    // equalizers and profiles, bound to the open radio (its 78 keys and its equalizers).
    std::shared_ptr<RadioControlsController> radioControls;
    // The main window's mode, frequency and split controls.
    std::shared_ptr<TuningController> tuning;
    // The slice menu's swap, copy and remove actions.
    std::shared_ptr<SliceMenuActions> sliceMenu;
    // The station memory's rooms: the user memories with the memory window, the TNF window, the
    // band-stack editor with its window; the controller's side of them.
    std::shared_ptr<UserMemoryController> userMemoryController;
    std::shared_ptr<TnfWindowController> tnfWindowController;
    StackSortWindow* stackSortWindow = nullptr;
    std::shared_ptr<AppStationMemory> stationMemory;
    // The radio's profiles: their waits, saves and menus.
    std::shared_ptr<ProfileController> profileController;
    // The band stacks, their file and their editor (`stackSortController`).
    std::shared_ptr<BandStackController> bandStackController;
    // The filter presets by mode, which the slice panels read.
    std::shared_ptr<FilterPresetController> filterPresetController;
    // Remote audio: the Audio tab's switch and device pop-ups, the sound system and the engine
    // (`remoteAudio->audioHandler`).
    std::shared_ptr<RemoteAudioController> remoteAudio;
    // The CWX window's room: the keyer's text, macros and settings, and the local side tone.
    std::shared_ptr<CwxController> cwxController;
    // The sibling applications: their notifications, spots, band plan, presence and the logger's
    // tuning.
    std::shared_ptr<SiblingBridge> siblingBridge;
    // The Radio preferences' check boxes, each stored when the operator changes it.
    std::shared_ptr<PreferenceChoices> preferenceChoices;
    // The heartbeat, one-minute and debug log size timers, and the activity light.
    std::shared_ptr<AppTimers> appTimers;
    // The meter timer, the heads-up meter and the meter panels of the preferences.
    std::shared_ptr<MeterDisplays> meterDisplays;
    // The Radio preferences' table of the radios on the local network.
    std::shared_ptr<LocalRadioTable> localRadioTable;
    // The windows' close, move and key events, the Window menu and the chooser's tool tip.
    std::shared_ptr<WindowDelegates> windowDelegates;
    // The check for a newer release, made at its first use.
    std::unique_ptr<UpdateCheck> updateCheck;

    PanAdapterView* lastPanMouseEntered = nullptr;

    // Radio
    std::shared_ptr<RadioFactory> radioFactory;
    // The DoroLink login, which owns the DoroLink server client.
    std::shared_ptr<DoroLinkAuthWebController> doroLinkAuthWebController;
    // The DoroLink client's server connection: the remote radios it lists (none until a login).
    std::shared_ptr<RemoteRadioServer> wanServer;
    std::shared_ptr<Radio> openRadio;
    std::vector<std::shared_ptr<Slice>> doroSlices;
    std::vector<std::shared_ptr<Panafall>> doroPanafalls;
    std::shared_ptr<Panafall> hudOverPanafall;
    bool radioStartupComplete = false;

    // Times
    Date startupTime{}, sessionStart{}, lastTuningChange{};
    std::optional<Date> connectionStart;

    // Paths
    std::string debugPath, soundFilesPath, dataFilesPath, tmpPath, debugLogFilePath;

    // Audio
    std::vector<std::string> monitorOutputDevices;

    // Spots
    bool allSpots = false;

    // Flags
    bool debug = false;

    // Queues (serial) and timers
    DispatchQueuePtr kbrx_background_queue, kbrx_dorocontrol_queue, kbrx_zenithor_queue,
        kbrx_sidetone_queue, vmsdr_update_queue, vmsdr_all_profiles_queue, vmsdr_maintenance_queue;
    DispatchSourcePtr heart_beat_timer, meter_timer, one_minute_timer, vmsdr_maintenance_timer;

    // State flags
    std::atomic<bool> startupComplete{false};
    bool doroSDRisRunning = false, quitting = false, was_connected = false,
         doro_control_connected = false, sleeping = false, applicationOccluded = false,
         profilesAutoSaved = false, inhibitAutoConnect = false, fetchingSpots = false;

    // Connection
    int radioConnectionState = 0;
    PanAdapterView* hudOverPanView = nullptr;

    // Dates
    Date lastPurge{}, lastVoxCheck{};

    // Machine
    std::string macAddress, my_ip, osVersionString;
    long majorVersion = 0, minorVersion = 0, patchVersion = 0;

    // Antennas
    std::string lastActiveRXAnt, lastActiveTXAnt, lastAlternateRXAnt, lastAlternateTXAnt;

    // Meters

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
    void connectHelpMenu();
    // The problem report's pictures, one tab in each main-queue turn, then the mail.
    struct ProblemReportDraft;
    void pictureForReport(const std::shared_ptr<ProblemReportDraft>& draft, int tab);

    void showInitialImages();
    void applicationStateChanged(bool active);
    // Quitting: the steps after the profiles are saved, and the end of the event loop.
    void removeResourcesThenClose();
    void pollRemoval(DispatchClock::time_point start);
    void closeForQuitLater();
    void closeForQuit();
    void endEventLoop();

    // Station control
    bool debugEnabled() const override;
    void rebuildRadioChooser();
    void autoOpen(const std::shared_ptr<RadioInstance>& radio, const std::string& name, bool wan);
    void openChosenRadio(const std::shared_ptr<RadioInstance>& radio, const std::string& title,
                         bool afterClose);
    void registerSessionObservers();
    void removeSessionObservers();
    void guiBind(const std::weak_ptr<Radio>& radio);
    void askRadioInUse(const std::shared_ptr<Radio>& radio);
    void sessionEnded(const std::shared_ptr<Radio>& radio, std::uint32_t state);
    std::string chooserTitle() const;
    std::size_t localRadioCount() const;
    void finishStartup(const std::shared_ptr<Radio>& radio);

    // The panadapter of the pan index a stream id gives; none for 4 or more.
    PanadapterController* panadapterFor(const Panafall& pan) const;
    // The panadapter that shows the panafall; none when no pan does.
    PanadapterController* panadapterShowing(const std::shared_ptr<Panafall>& pan) const;
    // The panel of slices 0 to 3; none for another slice.
    SlicePanelController* slicePanelFor(const Slice& slice) const;
    // The four panadapters, their windows and views, and the views' way to the controller.
    void createPanadapters();
    // Every slice and pan binding of the session released (their views detached).
    void releaseSliceAndPanBindings();
    // The views' way to the controller (the views hold it by reference).
    std::unique_ptr<AppDisplayController> displayController_;

    // When the program started, on the dispatch clock (the automatic open's 20 s window).
    DispatchClock::time_point startupClock_{};
    // The notifications of the open session, removed when it closes.
    std::vector<NotificationCenter::Token> sessionObservers_;

    Options options_;
    bool hudHidesOnDeactivate_ = false;
    bool hudHiddenInBackground_ = false;
    std::unique_ptr<SingleInstance> singleInstance_;
    std::unique_ptr<UserNotifications> userNotifications_;
    std::unique_ptr<SleepWatcher> sleepWatcher_;
    std::unique_ptr<SerialPortMonitor> serialPortMonitor_;
    std::unique_ptr<VMMegahertzFormatter> megahertzFormatter_;
    std::vector<NotificationCenter::Token> observers_;
    std::vector<std::unique_ptr<QWidget>> ownedWindows_;
    std::unique_ptr<MainMenus> ownedMenus_;
    std::unique_ptr<QNetworkAccessManager> network_;
    // Links of the program's scheme waiting for a radio with an active slice, oldest first.
    struct PendingTuneLink {
        std::string url;
        url::TuneLink link;
    };
    std::deque<PendingTuneLink> pendingTuneLinks_;
    // A quit was asked for; later requests wait for its answer.
    bool quitRequested_ = false;
    // The radio that sleep closed, reopened once it is listed after the wake ("" when none).
    std::string reopenAfterWake_;
    bool reopenAfterWakeIsRemote_ = false;
};

}  // namespace vm
