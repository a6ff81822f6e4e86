#pragma once
// The radio's own controls: everything radio-wide that the operator sees and sets. The open
// radio's 78 observed keys set the transmit, ATU, interlock, amplifier, CW, audio and profile
// controls (RadioControlsObservers.cpp); the operator's changes of those controls become the
// radio's setters and commands (RadioControlsActions.cpp); the two equalizers are bound once the
// radio reports them and their sliders send their bands (RadioControlsEqualizers.cpp); the
// profile buttons and pop-ups create, delete, save and switch profiles
// (RadioControlsProfiles.cpp).
//
// The application's controller holds one, binds it to each radio it opens and releases it when
// the session ends. Threads: main thread only; the managers call the handlers there, and the
// delayed steps run later on the main queue holding the controller weakly.
#include "app/panels/RadioControls.h"
#include "app/panels/RadioControlsHost.h"
#include "util/KeyTable.h"

#include <QImage>

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace vm {

class Equalizer;
class Radio;
class VMKVOManager;
struct Change;

class RadioControlsController : public std::enable_shared_from_this<RadioControlsController> {
public:
    // The controller of the controls found in `controls`; it connects their actions and shows
    // the controls in their no-radio state.
    static std::shared_ptr<RadioControlsController> create(RadioControls controls,
                                                           std::weak_ptr<RadioControlsHost> host);
    RadioControlsController(const RadioControlsController&) = delete;
    RadioControlsController& operator=(const RadioControlsController&) = delete;
    ~RadioControlsController();

    const RadioControls& controls() const { return controls_; }

    // --- The open radio. `bind` gives the radio a new manager with the radio's key table and
    // pushes every value once; `unbind` cancels it and lets both equalizers' managers go, so the
    // next radio binds afresh. Both adjust the controls that need a radio.
    void bind(const std::shared_ptr<Radio>& radio);
    void unbind();
    std::shared_ptr<Radio> radio() const { return radio_.lock(); }
    const std::shared_ptr<VMKVOManager>& radioKVOManager() const { return radioKVOManager_; }
    static const KeyTable<RadioControlsController, Radio>& radioKeyTable();
    static const KeyTable<RadioControlsController, Equalizer>& equalizerKeyTable();
    // The controls that need an open radio enabled with one, disabled without.
    void adjustRadioControls();
    // With remote audio on, the radio's own audio settings that it does not use are disabled;
    // the microphone level slider and the meters' tips follow whose microphone is in use (the
    // radio's unless the radio takes the computer's, "PC").
    void adjustRemoteAudioControls();

    // --- Flags the handlers keep: an automatic tune runs, the radio is keyed or about to key, a
    // manual tune was started from the tune button.
    bool doroAutoTuning() const { return doroAutoTuning_; }
    bool doroInTransmit() const { return doroInTransmit_; }
    bool doroManualTuneInProgress() const { return doroManualTuneInProgress_; }

    // --- Equalizers: the manager of the receive (0) and transmit (1) equalizer, once bound.
    const std::shared_ptr<VMKVOManager>& equalizerKVOManager(int index) const {
        return index == 0 ? rxEqualizersKVOManager_ : txEqualizersKVOManager_;
    }

    // --- Transmit and tune from the main window and the transmit menu.
    void transmitButtonPressed();
    void tuneButtonPressed();
    void moxMenuSelected();
    void voxMenuItemSelected();
    void tuneMenuSelected();

private:
    struct Private {};
    friend struct RadioControlsRows;

public:
    RadioControlsController(Private, RadioControls controls, std::weak_ptr<RadioControlsHost> host);

private:
    bool debugEnabled() const;
    std::shared_ptr<RadioControlsHost> host() const { return host_.lock(); }

    // Observers (RadioControlsObservers.cpp).
    void radioAtuStatusChanged(const std::shared_ptr<Radio>& radio, const Change* change);
    void radioInterlockStateChanged(const std::shared_ptr<Radio>& radio, const Change* change);
    void amplifierStateChanged(const std::shared_ptr<Radio>& radio, const Change* change);
    void radioMicListChanged(const std::shared_ptr<Radio>& radio, const Change* change);
    void radioMicSelectionChanged(const std::shared_ptr<Radio>& radio, const Change* change);
    void radioMasterSpeakerVolumeChanged(const std::shared_ptr<Radio>& radio, const Change* change);
    void sidetoneChanged(const std::shared_ptr<Radio>& radio, const Change* change);
    void radioTxInhibitChanged(const std::shared_ptr<Radio>& radio, const Change* change);
    void transmitFilterChanged(const std::shared_ptr<Radio>& radio, bool high);
    // A profile list refilled into the kind's pop-up, and the kind's current profile selected.
    void profileListChanged(ProfileKind kind, const std::shared_ptr<Radio>& radio);
    void currentProfileChanged(ProfileKind kind, const std::shared_ptr<Radio>& radio);

    // Actions (RadioControlsActions.cpp).
    void connectActions();
    void connectSettingActions();
    void connectTransmitActions();
    void autoTuneStarted();
    void radioMaxPowerLevelTextChanged();
    void radioFilterStepperChanged(bool high);
    void micListPopupChanged();
    void amplifierInterlockPopupChanged();
    void radioSpeakerVolumeSliderChanged();
    void stationNameTextChanged();
    void tuneModePopupChanged();

    // Equalizers (RadioControlsEqualizers.cpp).
    void radioEqualizersChanged(const std::shared_ptr<Radio>& radio, const Change* change);
    void initEqualizerKVO(int index);
    void loadEqualizerLabels(int index);
    void equalizerEnabledChanged(const std::shared_ptr<Equalizer>& eq, const Change* change);
    void equalizerBandChanged(int band, const std::shared_ptr<Equalizer>& eq);
    void connectEqualizerActions();
    std::shared_ptr<Equalizer> equalizer(int index) const;

    // Profiles (RadioControlsProfiles.cpp).
    void connectProfileActions();
    void newProfileButtonPressed(ProfileKind kind);
    void deleteProfileButtonPressed(ProfileKind kind);
    void saveProfileButtonPressed(ProfileKind kind);
    void profilesPopupChanged(ProfileKind kind);
    // A profile name as the radio's command will carry it, or none (with a word to the user)
    // when the command could not carry it as typed.
    std::optional<std::string> sendableProfileName(const std::string& name) const;

    RadioControls controls_;
    const std::weak_ptr<RadioControlsHost> host_;
    std::weak_ptr<Radio> radio_;
    std::shared_ptr<VMKVOManager> radioKVOManager_;
    std::shared_ptr<VMKVOManager> rxEqualizersKVOManager_, txEqualizersKVOManager_;
    bool doroAutoTuning_ = false;
    bool doroInTransmit_ = false;
    bool doroManualTuneInProgress_ = false;
    const QImage greyBulb_, greenBulb_, redBulb_, red_button_, red_button_dark_;
};

}  // namespace vm
