// The open radio's observed keys and the handlers that show them: each reads its value from the
// radio, and a missing radio or value changes nothing (a line "<handler>:Error" is written, while
// debugging, always, or never, as the key's row says).
#include "app/panels/RadioControlsController.h"

#include "app/windows/MainMenus.h"
#include "objects/Equalizer.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "platform/core/Scanner.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Stepper.h"
#include "platform/ui/TextField.h"
#include "radio/Radio.h"
#include "util/StringAdditions.h"

#include <QLabel>

#include <array>
#include <cctype>
#include <chrono>
#include <cmath>

namespace vm {

namespace {

using namespace std::chrono_literals;
using C = RadioControlsController;
using Row = KeyRow<C, Radio>;
using Handler = Row::Handler;

// When a handler that finds no value writes its error line.
enum class Missing { debugLine, silent, alwaysLine };

// The tool tips of the tune button by ATU status code.
constexpr std::array<const char*, 10> kAtuToolTips{
    "Atu Status:None",    "Atu Status:Started",      "Atu Status:In Progress", "Atu Status:Bypass",
    "Atu Status:Success", "Atu Status:OK",           "Atu Status:Fail Bypass", "Atu Status:Fail",
    "Atu Status:Aborted", "Atu Status:Manual Bypass"};

// Each word with its first letter in upper case and the rest in lower case; words are parted by
// blanks only ("TRANSMIT_A" becomes "Transmit_A").
std::string capitalized(const std::string& text) {
    std::string out = text;
    bool start = true;
    for (char& ch : out) {
        const auto c = static_cast<unsigned char>(ch);
        if (std::isspace(c)) {
            start = true;
            continue;
        }
        ch = static_cast<char>(start ? std::toupper(c) : std::tolower(c));
        start = false;
    }
    return out;
}

}  // namespace

// The rows' helpers: a handler that reads one property of the radio and hands its value to
// `apply` when there is one.
struct RadioControlsRows {
    template <class Property, class Apply>
    static Handler reading(Property RadioState::*property, const char* name, Missing missing,
                           Apply apply) {
        return [property, name, missing, apply](C& c, const std::shared_ptr<Radio>& radio,
                                                const Change* change) {
            using Value = decltype(((*radio).*property)());
            const Value value = radio ? ((*radio).*property)() : Value{};
            if (!value) {
                if (missing == Missing::alwaysLine ||
                    (missing == Missing::debugLine && c.debugEnabled())) {
                    log("{}:Error", name);
                }
                return;
            }
            apply(c, *value, change);
        };
    }
    // A flag in a check box (inverted: checked while the flag is off).
    static Handler box(Observed<Number> RadioState::*property, const char* name,
                       CheckBox* RadioControls::*control, bool inverted = false) {
        return reading(property, name, Missing::debugLine,
                       [control, inverted](C& c, int value, const Change*) {
                           (c.controls_.*control)->setState((value != 0) != inverted);
                       });
    }
    // A level in a slider and its number.
    static Handler level(Observed<Number> RadioState::*property, const char* name,
                         Slider* RadioControls::*slider, TextField* RadioControls::*text) {
        return reading(property, name, Missing::debugLine,
                       [slider, text](C& c, int value, const Change*) {
                           (c.controls_.*slider)->setIntValue(value);
                           (c.controls_.*text)->setIntValue(value);
                       });
    }
    static Handler number(Observed<Number> RadioState::*property, const char* name,
                          TextField* RadioControls::*text) {
        return reading(property, name, Missing::debugLine, [text](C& c, int value, const Change*) {
            (c.controls_.*text)->setIntValue(value);
        });
    }
    static Handler method(void (C::*handler)(const std::shared_ptr<Radio>&, const Change*)) {
        return [handler](C& c, const std::shared_ptr<Radio>& radio, const Change* change) {
            (c.*handler)(radio, change);
        };
    }
    static Handler nothing() {
        return [](C&, const std::shared_ptr<Radio>&, const Change*) {};
    }
    static Handler profileList(ProfileKind kind) {
        return [kind](C& c, const std::shared_ptr<Radio>& radio, const Change*) {
            c.profileListChanged(kind, radio);
        };
    }
    static Handler currentProfile(ProfileKind kind) {
        return [kind](C& c, const std::shared_ptr<Radio>& radio, const Change*) {
            c.currentProfileChanged(kind, radio);
        };
    }
    static Handler transmitFilter(bool high) {
        return [high](C& c, const std::shared_ptr<Radio>& radio, const Change*) {
            c.transmitFilterChanged(radio, high);
        };
    }
    // The number of slices or panadapters the radio has room for, in the debug log; the menu
    // items that add them follow.
    static Handler available(Observed<Number> RadioState::*property, const char* name,
                             const char* what, void (RadioControlsHost::*adjustMenu)()) {
        return reading(property, name, Missing::alwaysLine,
                       [name, what, adjustMenu](C& c, int value, const Change*) {
                           if (c.debugEnabled()) {
                               log("{}:{}:[{}]", name, what, value);
                           }
                           if (const auto h = c.host()) {
                               ((*h).*adjustMenu)();
                           }
                       });
    }

    static const KeyTable<C, Radio>& table();
};

const KeyTable<C, Radio>& RadioControlsRows::table() {
    using R = RadioState;
    using K = RadioControls;
    const auto debug = Missing::debugLine;
    static const KeyTable<C, Radio> rows = {
        // The transmitter, the ATU and the interlock.
        {&R::interlockState, method(&C::radioInterlockStateChanged)},
        {&R::pttSource, reading(&R::pttSource, "radioPttSourceChanged", Missing::silent,
                                [](C& c, const std::string& source, const Change*) {
                                    if (!source.empty()) {
                                        c.controls_.pttSourceTitle->show();
                                        c.controls_.pttSourceText->setText(
                                            QString::fromStdString(source));
                                    }
                                })},
        {&R::txInhibit, method(&C::radioTxInhibitChanged)},
        {&R::txInWaterfall,
         box(&R::txInWaterfall, "radioTxInWaterfallChanged", &K::txInWaterfallCheckBox)},
        {&R::transmitFilterLo, transmitFilter(false)},
        {&R::transmitFilterHi, transmitFilter(true)},
        {&R::atuStatus, method(&C::radioAtuStatusChanged)},
        {&R::atuMemoriesEnabled,
         box(&R::atuMemoriesEnabled, "radioAtuMemoriesEnabledChanged", &K::atuCheckBox)},
        {&R::txState, reading(&R::txState, "radioTxStateChanged", debug,
                              [](C& c, int value, const Change*) {
                                  c.controls_.moxMenuItem->setState(value != 0);
                              })},
        {&R::tuneEnabled, reading(&R::tuneEnabled, "radioTuneEnabledChanged", debug,
                                  [](C& c, int value, const Change*) {
                                      c.controls_.tuneMenuItem->setState(value != 0);
                                  })},
        {&R::rfPowerLevel,
         level(&R::rfPowerLevel, "radioRfPowerLevelChanged", &K::powerSlider, &K::powerLevelText)},
        {&R::tunePowerLevel, reading(&R::tunePowerLevel, "radioTunePowerLevelChanged", debug,
                                     [](C& c, int value, const Change*) {
                                         c.controls_.atuPowerSlider->setIntValue(value);
                                         c.controls_.atuPowerLevelText->setStringValue(
                                             std::to_string(value));
                                     })},
        {&R::amCarrierLevel, level(&R::amCarrierLevel, "radioAmCarrierLevelChanged",
                                   &K::amCarrierSlider, &K::amCarrierLevelText)},
        {&R::maxPowerLevel,
         number(&R::maxPowerLevel, "radioMaxPowerLevelChanged", &K::radioMaxPowerLevelText)},
        {&R::txDaxEnabled,
         box(&R::txDaxEnabled, "radioTxDaxEnabledChanged", &K::txDaxEnabledCheckBox)},
        {&R::fullDuplexEnabled,
         reading(&R::fullDuplexEnabled, "fullDuplexEnabledChanged", debug,
                 [](C& c, int value, const Change*) {
                     if (c.debugEnabled()) {
                         log("fullDuplexEnabledChanged:[{}]", int(value != 0));
                     }
                     c.controls_.fullDuplexEnabledCheckBox->setState(value != 0);
                 })},
        {&R::binauralRx, box(&R::binauralRx, "binauralRxChanged", &K::radioBinauralRxCheckBox)},

        // Voice: VOX, microphone, processor, compander, monitor.
        {&R::voxEnabled, reading(&R::voxEnabled, "radioVoxEnabledChanged", debug,
                                 [](C& c, int value, const Change*) {
                                     c.controls_.radioVoxEnabledCheckBox->setState(value != 0);
                                     c.controls_.voxMenuItem->setState(value != 0);
                                 })},
        {&R::voxLevel, level(&R::voxLevel, "radioVoxLevelChanged", &K::radioVoxLevelSlider,
                             &K::radioVoxLevelText)},
        {&R::voxDelay, level(&R::voxDelay, "radioVoxDelayChanged", &K::radioVoxDelaySlider,
                             &K::radioVoxDelayText)},
        {&R::voxVisible, reading(&R::voxVisible, "radioVoxVisibleChanged", debug,
                                 [](C&, int value, const Change*) {
                                     log("radioVoxVisibleChanged:[{}]", int(value != 0));
                                 })},
        {&R::micLevel, level(&R::micLevel, "radioMicLevelChanged", &K::radioMicLevelSlider,
                             &K::radioMicLevelText)},
        {&R::micBias, box(&R::micBias, "radioMicBiasChanged", &K::radioMicBiasEnabledCheckBox)},
        {&R::micBoost, box(&R::micBoost, "radioMicBoostChanged", &K::radioMicBoostEnabledCheckBox)},
        {&R::micSelection, method(&C::radioMicSelectionChanged)},
        {&R::micList, method(&C::radioMicListChanged)},
        {&R::companderEnabled, box(&R::companderEnabled, "radioCompanderEnabledChanged",
                                   &K::radioCompanderEnabledCheckBox)},
        {&R::companderLevel, level(&R::companderLevel, "radioCompanderLevelChanged",
                                   &K::radioCompanderLevelSlider, &K::radioCompanderLevelText)},
        {&R::speechProcEnabled,
         box(&R::speechProcEnabled, "radioSpeechProcEnabledChanged", &K::radioSpeechProcCheckBox)},
        {&R::speechProcLevel,
         reading(&R::speechProcLevel, "radioSpeechProcLevelChanged", Missing::silent,
                 [](C& c, int value, const Change*) {
                     c.controls_.radioSpeechProcPopup->safeSelectItemAtIndex(value);
                 })},
        {&R::phMonitor, box(&R::phMonitor, "radioPhMonitorChanged", &K::radioPhoneMonitorCheckBox)},
        {&R::monitorPHGain, level(&R::monitorPHGain, "radioMonitorPHGainChanged",
                                  &K::radioPhoneMonitorGainSlider, &K::radioPhoneMonitorGainText)},

        // The radio's speaker and headphones, remote audio, notch filters.
        {&R::masterSpeakerMute, box(&R::masterSpeakerMute, "radioMasterSpeakerMuteChanged",
                                    &K::radioSpeakerMuteCheckBox, true)},
        {&R::masterHeadsetMute, box(&R::masterHeadsetMute, "radioMasterHeadsetMuteChanged",
                                    &K::radioHeadsetMuteCheckBox, true)},
        {&R::masterSpeakerAfGain, method(&C::radioMasterSpeakerVolumeChanged)},
        {&R::masterHeadsetAfGain, level(&R::masterHeadsetAfGain, "radioMasterHeadsetVolumehanged",
                                        &K::radioHeadsetVolumeSlider, &K::radioHeadsetVolumeText)},
        {&R::remoteAudio, box(&R::remoteAudio, "radioRemoteAudioChanged", &K::remoteAudioCheckBox)},
        {&R::tnfEnabled,
         box(&R::tnfEnabled, "radioTnfEnabledChanged", &K::radioTnfEnabledCheckBox)},

        // CW.
        {&R::cwPitch,
         level(&R::cwPitch, "cwPitchChanged", &K::radioCwPitchSlider, &K::radioCwPitchText)},
        {&R::cwSpeed,
         level(&R::cwSpeed, "cwSpeedChanged", &K::radioCwSpeedSlider, &K::radioCwSpeedText)},
        {&R::cwIambicEnabled,
         box(&R::cwIambicEnabled, "cwIambicEnabledChanged", &K::radioCwIambicEnabledCheckBox)},
        {&R::cwIambicMode, reading(&R::cwIambicMode, "cwIambicModeChanged", debug,
                                   [](C& c, const std::string& mode, const Change*) {
                                       c.controls_.radioCwIambicModePopup->selectItemWithTitle(
                                           mode);
                                   })},
        {&R::cwSwapPaddles,
         box(&R::cwSwapPaddles, "cwSwapPaddlesChanged", &K::radioCwSwapPaddlesCheckBox)},
        {&R::cwBreakinEnabled,
         box(&R::cwBreakinEnabled, "cwBreakinEnabledChanged", &K::radioCwBreakInCheckBox)},
        {&R::cwBreakinDelay, level(&R::cwBreakinDelay, "cwBreakinDelayChanged",
                                   &K::radioCwBreakInDelaySlider, &K::radioCwBreakInDelayText)},
        {&R::sidetone, method(&C::sidetoneChanged)},
        {&R::sidetoneGain, level(&R::sidetoneGain, "sidetoneGainChanged",
                                 &K::radioCwSideToneGainSlider, &K::radioCwSideToneGainText)},
        {&R::sidetonePan, reading(&R::sidetonePan, "sidetonePanChanged", debug,
                                  [](C& c, int value, const Change*) {
                                      c.controls_.radioCwSideTonePanSlider->setIntValue(value);
                                  })},
        {&R::syncCWX, box(&R::syncCWX, "syncCWXChanged", &K::radioSyncCWXCheckBox)},

        // The interlock's delays and outputs.
        {&R::accTxDelay, number(&R::accTxDelay, "accTxDelayChanged", &K::radioAccTxDelayText)},
        {&R::accTxEnabled,
         box(&R::accTxEnabled, "accTxEnabledChanged", &K::radioAccTxDelayCheckBox)},
        {&R::txDelay, number(&R::txDelay, "txDelayChanged", &K::radioTxDelayText)},
        {&R::tx1Enabled, reading(&R::tx1Enabled, "tx1EnabledChanged", debug,
                                 [](C& c, int v, const Change*) {
                                     c.controls_.radioTxEnabledCheckBox[0]->setState(v != 0);
                                 })},
        {&R::tx2Enabled, reading(&R::tx2Enabled, "tx2EnabledChanged", debug,
                                 [](C& c, int v, const Change*) {
                                     c.controls_.radioTxEnabledCheckBox[1]->setState(v != 0);
                                 })},
        {&R::tx3Enabled, reading(&R::tx3Enabled, "tx3EnabledChanged", debug,
                                 [](C& c, int v, const Change*) {
                                     c.controls_.radioTxEnabledCheckBox[2]->setState(v != 0);
                                 })},
        {&R::tx1Delay, reading(&R::tx1Delay, "tx1DelayChanged", debug,
                               [](C& c, int v, const Change*) {
                                   c.controls_.radioTxDelayTexts[0]->setIntValue(v);
                               })},
        {&R::tx2Delay, reading(&R::tx2Delay, "tx2DelayChanged", debug,
                               [](C& c, int v, const Change*) {
                                   c.controls_.radioTxDelayTexts[1]->setIntValue(v);
                               })},
        {&R::tx3Delay, reading(&R::tx3Delay, "tx3DelayChanged", debug,
                               [](C& c, int v, const Change*) {
                                   c.controls_.radioTxDelayTexts[2]->setIntValue(v);
                               })},

        // Room for slices and panadapters, the amplifier.
        {&R::availableSlices, available(&R::availableSlices, "availableSlicesChanged", "slices",
                                        &RadioControlsHost::adjustVFOMenu)},
        {&R::availablePanadapters,
         available(&R::availablePanadapters, "availablePanadaptersChanged", "panadapters",
                   &RadioControlsHost::adjustPanafallMenu)},
        {&R::amplifierHandles,
         reading(&R::amplifierHandles, "amplifierHandlesChanged", Missing::alwaysLine,
                 [](C& c, const std::string& handles, const Change*) {
                     if (c.debugEnabled() && !handles.empty()) {
                         log("amplifierHandlesChanged:[{}]", handles);
                     }
                 })},
        {&R::amplifierState, method(&C::amplifierStateChanged)},

        // Profiles.
        {&R::currentGlobalProfile, currentProfile(ProfileKind::global)},
        {&R::currentTxProfile, currentProfile(ProfileKind::transmit)},
        {&R::currentMicProfile, currentProfile(ProfileKind::mic)},
        {&R::globalProfiles, profileList(ProfileKind::global)},
        {&R::txProfiles, profileList(ProfileKind::transmit)},
        {&R::micProfiles, profileList(ProfileKind::mic)},

        // The equalizers, once the radio reports them.
        {&R::equalizers, method(&C::radioEqualizersChanged)},

        // Keys the controls do not show: the screen saver (only its error line), and the
        // DoroLink keys.
        {&R::radioScreenSaver, reading(&R::radioScreenSaver, "radioScreenSaverChanged", debug,
                                       [](C&, const std::string&, const Change*) {})},
        {&R::upnp_supported, nothing()},
        {&R::server_connected, nothing()},
        {&R::radio_authenticated, nothing()},
        {&R::public_upnp_tls_port, nothing()},
        {&R::public_upnp_udp_port, nothing()},
        {&R::wan_enabled, nothing()},
        {&R::public_udp_port, nothing()},
        {&R::public_tls_port, nothing()},
    };
    return rows;
}

const KeyTable<C, Radio>& RadioControlsController::radioKeyTable() {
    return RadioControlsRows::table();
}

// The tune button follows the ATU in automatic tune mode only: its lamp shows how the last tune
// went, and its tool tip the status the change reports.
void RadioControlsController::radioAtuStatusChanged(const std::shared_ptr<Radio>& radio,
                                                    const Change* change) {
    const Number status = radio ? radio->atuStatus() : std::nullopt;
    if (!status) {
        if (debugEnabled()) {
            log("radioAtuStatusChanged:Error");
        }
        return;
    }
    if (controls_.tuneModePopup->title() != "Auto Tune") {
        return;
    }
    const int code = *status;
    std::optional<QImage> bulb;
    if (code == 2) {
        doroAutoTuning_ = true;
    } else if (code == 0 || code == 1 || code == 3 || code == 9) {
        bulb = greyBulb_;
    } else if (code == 4 || code == 5) {
        bulb = greenBulb_;
    } else if (code >= 6 && code <= 8) {
        bulb = redBulb_;
    }
    if (bulb) {
        controls_.tuneButton->setImage(*bulb);
        DispatchQueue::main()->after(100ms, [weak = weak_from_this()] {
            if (const auto self = weak.lock()) {
                self->doroAutoTuning_ = false;
            }
        });
    }
    int reported = 0;
    if (change) {
        if (const auto* value = std::any_cast<Number>(&change->newValue); value && *value) {
            reported = **value;
        }
    }
    if (reported >= 0 && reported < int(kAtuToolTips.size())) {
        controls_.tuneButton->setToolTip(QString::fromUtf8(kAtuToolTips[std::size_t(reported)]));
    }
}

// The transmit button shows whether the radio is keyed (or about to key, or about to unkey).
void RadioControlsController::radioInterlockStateChanged(const std::shared_ptr<Radio>& radio,
                                                         const Change*) {
    const Number state = radio ? radio->interlockState() : std::nullopt;
    if (!state) {
        if (debugEnabled()) {
            log("radioInterlockStateChanged:Error");
        }
        return;
    }
    switch (*state) {
        case 1:
        case 2:
        case 3:
        case 6:
        case 7:
        case 8:
            controls_.transmitButton->setImage(red_button_dark_);
            doroInTransmit_ = false;
            break;
        case 4:
        case 5:
        case 9:
            controls_.transmitButton->setImage(red_button_);
            doroInTransmit_ = true;
            if (const auto host = host_.lock()) {
                host->saveActiveInBandStack();
            }
            break;
        default: break;  // no state yet, or one this program does not know
    }
}

void RadioControlsController::radioTxInhibitChanged(const std::shared_ptr<Radio>& radio,
                                                    const Change*) {
    const Number inhibit = radio ? radio->txInhibit() : std::nullopt;
    if (!inhibit) {
        if (debugEnabled()) {
            log("radioTxInhibitChanged:Error");
        }
        return;
    }
    const bool allowed = *inhibit == 0;
    controls_.txCheckBox->setState(allowed);
    controls_.transmitButton->setEnabled(allowed);
    controls_.tuneButton->setEnabled(allowed);
}

// A transmit filter edge arrives as text. One that does not begin with a finite number ("nan",
// "1e999") leaves the stepper and its text as they were.
void RadioControlsController::transmitFilterChanged(const std::shared_ptr<Radio>& radio,
                                                    bool high) {
    const char* name = high ? "radioTransmitFilterHiChanged" : "radioTransmitFilterLoChanged";
    const Text edge =
        radio ? (high ? radio->transmitFilterHi() : radio->transmitFilterLo()) : std::nullopt;
    if (!edge) {
        if (debugEnabled()) {
            log("{}:Error", name);
        }
        return;
    }
    Scanner scanner(*edge);
    double hz = 0;
    if (!scanner.scanDouble(&hz) || !std::isfinite(hz)) {
        log("{}:not a number:[{}]", name, *edge);
        return;
    }
    (high ? controls_.transmitFilterHiStepper : controls_.transmitFilterLoStepper)
        ->setDoubleValue(hz);
    (high ? controls_.transmitFilterHiText : controls_.transmitFilterLoText)->setStringValue(*edge);
}

// With remote audio on, the speaker level shows the computer's playback volume instead.
void RadioControlsController::radioMasterSpeakerVolumeChanged(const std::shared_ptr<Radio>& radio,
                                                              const Change*) {
    const Number gain = radio ? radio->masterSpeakerAfGain() : std::nullopt;
    if (!gain) {
        if (debugEnabled()) {
            log("radioMasterSpeakerVolumeChanged:Error");
        }
        return;
    }
    if (!controls_.remoteAudioCheckBox->state()) {
        controls_.radioSpeakerVolumeSlider->setIntValue(*gain);
        controls_.radioSpeakerVolumeText->setIntValue(*gain);
    }
}

void RadioControlsController::sidetoneChanged(const std::shared_ptr<Radio>& radio, const Change*) {
    const Number on = radio ? radio->sidetone() : std::nullopt;
    if (!on) {
        if (debugEnabled()) {
            log("sidetoneChanged:Error");
        }
        return;
    }
    if (debugEnabled()) {
        log("sidetoneChanged:[{}]", int(*on != 0));
    }
    controls_.radioCwSideToneEnabledCheckBox->setState(*on != 0);
    if (controls_.remoteAudioCheckBox->state()) {
        if (const auto h = host()) {
            h->openCloseSideTone(*on != 0);
        }
    }
}

void RadioControlsController::radioMicListChanged(const std::shared_ptr<Radio>& radio,
                                                  const Change*) {
    if (!radio) {
        return;
    }
    PopUpButton* popup = controls_.micListPopup;
    popup->clear();
    for (const auto& input : radio->micList()) {
        popup->addItem(QString::fromStdString(input));
    }
    if (const std::string selection = radio->micSelection().value_or(""); !selection.empty()) {
        popup->selectItemWithTitle(selection);
    }
}

void RadioControlsController::radioMicSelectionChanged(const std::shared_ptr<Radio>& radio,
                                                       const Change*) {
    const std::string selection = radio ? radio->micSelection().value_or("") : "";
    if (!selection.empty()) {
        controls_.micListPopup->selectItemWithTitle(selection);
    }
    // The radio may take another microphone than this client chose.
    adjustRemoteAudioControls();
}

// The amplifier's state in words, and the interlock pop-up on "Operate" while it can transmit.
void RadioControlsController::amplifierStateChanged(const std::shared_ptr<Radio>& radio,
                                                    const Change*) {
    const Text state = radio ? radio->amplifierState() : std::nullopt;
    if (!state) {
        log("amplifierStateChanged:Error");
        return;
    }
    if (debugEnabled()) {
        log("amplifierStateChanged:[{}]", *state);
    }
    if (state->empty()) {
        return;
    }
    controls_.amplifierInterlockText->setText(QString::fromStdString(capitalized(*state)));
    const bool operating = *state == "IDLE" || *state == "TRANSMIT_A" || *state == "TRANSMIT_B";
    controls_.amplifierInterlockPopup->selectItemWithTitle(operating ? "Operate" : "Standby");
}

}  // namespace vm
