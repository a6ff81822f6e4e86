#include "app/control/KnobTasks.h"

#include "app/control/DoroControlHost.h"
#include "objects/Slice.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vm {

namespace {

constexpr std::array<const char*, 3> kLampKeys{
    "doro_control_doroAuxButton1", "doro_control_doroAuxButton2", "doro_control_doroAuxButton3"};

// A level moved by the step, truncated to a whole number and kept inside its range.
std::int64_t stepped(double value, double step, double lowest, double highest) {
    return std::int64_t(std::trunc(std::clamp(value + step, lowest, highest)));
}

// A level of the slice moved by the step within 0 to 100. A slice that has not reported the
// level yet is left alone, rather than set from an assumed value.
void stepLevel(const std::shared_ptr<Slice>& slice, Observed<Integer> Slice::*level,
               void (Slice::*setLevel)(std::int64_t), double step) {
    if (!slice) {
        return;
    }
    if (const Integer value = ((*slice).*level)()) {
        ((*slice).*setLevel)(stepped(double(*value), step, 0, 100));
    }
}

// The receiver (RIT) or transmitter (XIT) offset of the active slice moved by ten hertz a step,
// within 10 kHz either way; the offset is switched on first when it is off.
void stepOffset(const std::shared_ptr<Slice>& slice, Observed<Flag> Slice::*enabled,
                void (Slice::*setEnabled)(bool), Observed<Integer> Slice::*offset,
                void (Slice::*setOffset)(std::int64_t), double step) {
    if (!slice) {
        return;
    }
    if (!((*slice).*enabled)().value_or(false)) {
        ((*slice).*setEnabled)(true);
    }
    const double hertz = double(((*slice).*offset)().value_or(0));
    ((*slice).*setOffset)(stepped(hertz, step * 10.0, -10000, 10000));
}

void masterVolume(DoroControlHost& host, double step) {
    if (host.remoteAudioOn()) {
        if (const auto volume = host.remoteAudioVolume()) {
            host.setRemoteAudioVolume(std::clamp(*volume + step, 0.0, 100.0));
        }
        return;
    }
    if (!host.radioIsOpen()) {
        return;
    }
    if (const auto speaker = host.radioSpeakerVolume()) {
        host.setRadioSpeakerVolume(int(stepped(*speaker, step, 0, 100)));
    }
    if (const auto headset = host.radioHeadsetVolume()) {
        host.setRadioHeadsetVolume(int(stepped(*headset, step, 0, 100)));
    }
}

}  // namespace

void switchTasks(DoroControlHost& host, int task, double step) {
    switch (KnobTask(task)) {
        case KnobTask::activeSliceVfo:
        case KnobTask::alternateSliceVfo:
            if (host.radioIsOpen()) {
                const auto slice = KnobTask(task) == KnobTask::activeSliceVfo ? host.activeVFO()
                                                                              : host.alternateVFO();
                if (slice) {
                    host.fineTuneHz(step * host.getFrequencyKeyModifier(), slice);
                }
            }
            break;
        case KnobTask::volumeActiveSlice:
            stepLevel(host.activeVFO(), &Slice::sliceAudioLevel, &Slice::setSliceAudioLevel, step);
            break;
        case KnobTask::volumeAlternateSlice:
            stepLevel(host.alternateVFO(), &Slice::sliceAudioLevel, &Slice::setSliceAudioLevel,
                      step);
            break;
        case KnobTask::masterVolume: masterVolume(host, step); break;
        case KnobTask::activeSliceRitLevel:
            stepOffset(host.activeVFO(), &Slice::sliceRitEnabled, &Slice::setSliceRitEnabled,
                       &Slice::sliceRitOffset, &Slice::setSliceRitOffset, step);
            break;
        case KnobTask::activeSliceXitLevel:
            stepOffset(host.activeVFO(), &Slice::sliceXitEnabled, &Slice::setSliceXitEnabled,
                       &Slice::sliceXitOffset, &Slice::setSliceXitOffset, step);
            break;
        case KnobTask::activeSliceAgcTLevel:
            stepLevel(host.activeVFO(), &Slice::sliceAgcThreshold, &Slice::setSliceAgcThreshold,
                      step);
            break;
        case KnobTask::alternateSliceAgcTLevel:
            stepLevel(host.alternateVFO(), &Slice::sliceAgcThreshold, &Slice::setSliceAgcThreshold,
                      step);
            break;
        case KnobTask::nothing:
        case KnobTask::mox:
        default: break;
    }
}

void KnobButtons::toggle(int n) {
    if (n < 1 || n > 3) {
        return;
    }
    const bool lightUp = !lit(n);
    doroAuxButton1 = n == 1 && lightUp;
    doroAuxButton2 = n == 2 && lightUp;
    doroAuxButton3 = n == 3 && lightUp;
}

bool KnobButtons::lit(int n) const {
    return (n == 1 && doroAuxButton1) || (n == 2 && doroAuxButton2) || (n == 3 && doroAuxButton3);
}

int KnobButtons::selectedTask(int knobTask, const std::array<int, 3>& buttonTasks) const {
    for (int n = 1; n <= 3; ++n) {
        if (lit(n)) {
            return buttonTasks[std::size_t(n - 1)];
        }
    }
    return knobTask;
}

std::string KnobButtons::hudText() const {
    std::string text;
    for (const bool on : lamps()) {
        text += on ? "◉" : "◎";
    }
    return text;
}

void KnobButtons::save() const {
    const knob::Lamps states = lamps();
    log("stopSerialReadChannel:save:{:d}{:d}{:d}", int(states[0]), int(states[1]), int(states[2]));
    for (std::size_t i = 0; i < 3; ++i) {
        Defaults::standard().set(kLampKeys[i], PlistValue(states[i]));
    }
}

void KnobButtons::restore() {
    const auto stored = [](std::size_t i) {
        return Defaults::standard().boolForKey(kLampKeys[i]).value_or(false);
    };
    doroAuxButton1 = stored(0);
    doroAuxButton2 = stored(1);
    doroAuxButton3 = stored(2);
    log("doroControl:restore:{:d}{:d}{:d}", int(doroAuxButton1), int(doroAuxButton2),
        int(doroAuxButton3));
}

void buttonTask(DoroControlHost& host, const KnobButtons& buttons, int n, bool mox) {
    host.pressTransmitButton(false);
    if (n >= 1 && n <= 3 && mox) {
        host.pressTransmitButton(buttons.lit(n));
    }
}

}  // namespace vm
