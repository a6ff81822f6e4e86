#pragma once
// One slice panel (A to D) and the slice it shows (0 to 3): the panel's controls follow the slice
// through the slice's key table (SlicePanelControllerObservers.cpp), the operator's changes of
// the controls become the slice's setters (SlicePanelControllerActions.cpp), and the filter
// pop-up offers the presets of the slice's mode (SlicePanelControllerPresets.cpp). The
// application's controller holds four, routes each slice to the panel of its number, and gives
// them what lies outside the panel through SlicePanelHost.
//
// Threads: main thread only. The slice's manager calls the handlers there; the deferred actions
// run later on the main queue and hold the controller weakly.
#include "app/panels/SlicePanelHost.h"
#include "util/KeyTable.h"

#include <QImage>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace vm {

class PopUpButton;
class PresetDictionary;
class Slice;
class SlicePanel;
class VMKVOManager;
struct Change;
struct NumberFormatter;

class SlicePanelController : public std::enable_shared_from_this<SlicePanelController> {
public:
    using Date = std::chrono::system_clock::time_point;

    // The controller of panel `index` (0 to 3 for A to D), which shows slice `index`. The panel
    // and the presets outlive it; it fills the panel's fixed lists, shows its first images and
    // connects the panel's controls to its actions.
    static std::shared_ptr<SlicePanelController> create(int index, SlicePanel* panel,
                                                        const PresetDictionary& presets,
                                                        std::weak_ptr<SlicePanelHost> host);
    SlicePanelController(const SlicePanelController&) = delete;
    SlicePanelController& operator=(const SlicePanelController&) = delete;
    ~SlicePanelController();

    int index() const { return index_; }
    SlicePanel& panel() const { return *panel_; }

    // --- Start-up: the frequency field's formatter, and the QR transmit box from its preference
    // ("transmit_A_while_recording_playback" for panel A).
    void setFrequencyFormatter(const NumberFormatter& formatter);
    void restorePreferences();

    // --- Observation of the panel's slice. `bind` gives the slice a new manager with the slice
    // table and pushes every value once; the manager it replaces stops observing. `unbind`
    // cancels the manager, which stays (cancelled) as `sliceKVOManager` until the next bind.
    void bind(const std::shared_ptr<Slice>& slice);
    void unbind();
    const std::shared_ptr<VMKVOManager>& sliceKVOManager() const { return sliceKVOManager_; }
    static const KeyTable<SlicePanelController, Slice>& sliceKeyTable();

    // --- The slice handlers: each reads its value from the slice, and writes "<handler>:Error"
    // and changes nothing when the value is missing.
    void sliceFrequencyChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceModeChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceActiveChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceLockedChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void slicePanForSliceChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceAudioLevelChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceMuteEnabledChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceNrLevelChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceNrEnabledChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceNr2EnabledChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceNbLevelChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceNbEnabledChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceAnfLevelChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceAnfEnabledChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceApfLevelChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceApfEnabledChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceWideChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceAgcModeChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceFilterLoChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceFilterHiChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceRxAntChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceTxAntChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceAgcThresholdChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceAgcOffLevelChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void slicePanControlChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void slicePlaybackEnabledChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceRecordEnabledChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceQRlengthChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceWnbEnabledChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceWnbLevelChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceStepListChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceRitEnabledChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceRitOffsetChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceXitEnabledChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceXitOffsetChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceTxEnabledChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceRfGainChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceSquelchEnabledChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceSquelchLevelChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceFmToneModeChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceFmToneFreqChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceFmRepeaterOffsetChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceTxOffsetFreqChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceRepeaterOffsetDirChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceFmToneBurstEnabledChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceDetachedChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceDaxChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceDaxClientsChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void txAntListChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    void sliceDaxTxEnabledChanged(const std::shared_ptr<Slice>& slice, const Change* change);
    // The slice's mode in the mode menus, the filter pop-up refilled for it, and the RIT and XIT
    // steps (1 Hz in CW, RTTY and DIGU, else 10 Hz).
    void updateModeMenus(const std::shared_ptr<Slice>& slice);
    // The band name of the panadapter that shows the slice, with " Ø" when it is detached.
    void slicePanOwnerText(const std::shared_ptr<Slice>& slice);

    // --- Which controls the panel offers (SlicePanelControllerSync.cpp): all of them while its
    // slice exists, none without it; the FM controls only in an FM mode and the peak filter
    // only in a CW mode.
    void adjustSliceControls();
    void adjustModeControls();
    // The panel's receive antennas, and its transmit antennas (the receive ones when the slice
    // names none), from the slice.
    void loadAntennas(const std::shared_ptr<Slice>& slice);

    // --- Filter presets: the pop-up refilled with the mode's presets and "Other" (nothing for
    // an empty mode), and the entry equal to the slice's filter selected, or "Other" (a mode
    // without presets leaves the pop-up as it is).
    void loadPresetFiltersForVFO(const std::string& mode);
    void setPresetPopupBasedOnFilter(const std::shared_ptr<Slice>& slice);

    // --- The actions of the panel's controls. Without the panel's slice an action does nothing
    // at all, also no preference write.
    void sliceMuteCheckBoxChanged();
    void volumeSliderChanged();
    void nrCheckBoxChanged();
    void nrSliderChanged();
    void nbCheckBoxChanged();
    void nbSliderChanged();
    void anfCheckBoxChanged();
    void anfSliderChanged();
    void apfCheckBoxChanged();
    void apfSliderChanged();
    void agcPopupChanged();
    void agctSliderChanged();
    void panSliderChanged();
    void wideBoxChanged();
    void filterHiStepperChanged();
    void filterLoStepperChanged();
    void rxPopupChanged();
    void txPopupChanged();
    void recordEnabledButtonChanged();
    void playBackEnabledButtonChanged();
    void qrTransmitButtonChanged();
    void filterPresetPopupChanged();
    void ritButtonChanged();
    void ritStepperChanged();
    void xitButtonChanged();
    void xitStepperChanged();
    void sliceLockedCheckBoxChanged();
    void squelchCheckBoxChanged();
    void squelchSliderChanged();
    void fmToneBurstEnabledCheckBoxChanged();
    void fmToneModePopupChanged();
    void fmToneFreqPopupChanged();
    void repeaterOffsetDirPopupChanged();
    void fmRepeaterOffsetTextChanged();
    void daxPopupChanged();
    // The end of an edit of the panel's frequency field: the slice is tuned to what was typed.
    void freqTextChanged();

    // --- The quick recorder: the slice plays its recording, and when the panel last started a
    // recording and a playback.
    bool flashPlayBack() const { return flashPlayBack_; }
    Date recordingStarted() const { return recordingStarted_; }
    Date playbackStarted() const { return playbackStarted_; }

private:
    struct Private {};

public:
    SlicePanelController(Private, int index, SlicePanel* panel, const PresetDictionary& presets,
                         std::weak_ptr<SlicePanelHost> host);

private:
    using Apply = std::function<void(SlicePanel&, Slice&)>;
    struct OffsetControls;
    static const OffsetControls kRit, kXit;

    void loadControls();
    const char* qrTransmitKey() const;
    void showInitialImages();
    void connectActions();
    // The panel's slice now (the host's slice of the panel's number).
    std::shared_ptr<Slice> panelSlice() const;
    bool debugEnabled() const;
    // Calls `apply` with the panel's slice now; nothing without it.
    void atOnce(const Apply& apply);
    // Looks the slice up now and calls `apply` with it on the main queue, where it reads the
    // control as it is then; nothing without the slice, or once the controller is gone.
    void deferred(Apply apply);
    void sendLowerTitle(PopUpButton* SlicePanel::*popup, void (Slice::*setter)(const std::string&));
    void offsetButtonChanged(const OffsetControls& controls);
    void offsetStepperChanged(const OffsetControls& controls);
    void showFilterWidth();
    void writeTransmitOffset(Slice& slice);

    const int index_;
    SlicePanel* const panel_;
    const PresetDictionary& presets_;
    const std::weak_ptr<SlicePanelHost> host_;
    std::shared_ptr<VMKVOManager> sliceKVOManager_;
    bool flashPlayBack_ = false;
    Date recordingStarted_;
    Date playbackStarted_;
    // The panel's lamps and play button.
    const QImage greyBulb_, redBulb_, play_button_green_, play_button_black_;
};

}  // namespace vm
