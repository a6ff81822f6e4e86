// The slice's command setters: each stores and announces its property on the calling thread, then
// sends the matching command from the slice's queue. No reply is awaited; the radio's next status
// line for the slice confirms or corrects the value.
#include "objects/Slice.h"

#include "radio/CommandText.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <utility>

namespace vm {

namespace {

int flag(bool on) { return on ? 1 : 0; }

}  // namespace

template <class V>
std::string Slice::sliceSet(std::string_view key, const V& value) const {
    return fmt::format("slice set {} {}={}", thisSliceNumber(), key, value);
}

template <class T>
void Slice::setAndSend(Observed<T>& property, T value, std::string command) {
    property.set(std::move(value));
    queueObjectCommand(sliceRunQueue(), weak_from_this(), radio_, std::move(command));
}

void Slice::setSliceFrequency(const std::string& megahertz) {
    setAndSend(sliceFrequency, Text(megahertz),
               fmt::format("slice tune {} {}", thisSliceNumber(), commandField(megahertz)));
}

void Slice::setSliceFrequency(const std::string& megahertz, int autopan) {
    setAndSend(sliceFrequency, Text(megahertz),
               fmt::format("slice tune {} {} autopan={}", thisSliceNumber(),
                           commandField(megahertz), autopan));
}

// --- Text values, sent through the command-text cleaning.
void Slice::setSliceRxAnt(const std::string& antenna) {
    setAndSend(sliceRxAnt, Text(antenna), sliceSet("rxant", commandField(antenna)));
}
void Slice::setSliceTxAnt(const std::string& antenna) {
    setAndSend(sliceTxAnt, Text(antenna), sliceSet("txant", commandField(antenna)));
}
void Slice::setSliceMode(const std::string& mode) {
    setAndSend(sliceMode, Text(mode), sliceSet("mode", commandField(mode)));
}
void Slice::setFmToneMode(const std::string& toneMode) {
    setAndSend(fmToneMode, Text(toneMode), sliceSet("fm_tone_mode", commandField(toneMode)));
}
void Slice::setRepeaterOffsetDir(const std::string& direction) {
    setAndSend(repeaterOffsetDir, Text(direction),
               sliceSet("repeater_offset_dir", commandField(direction)));
}
// Stored as given, sent in lower case.
void Slice::setSliceAgcMode(const std::string& agcMode) {
    std::string lower = agcMode;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    setAndSend(sliceAgcMode, Text(agcMode), sliceSet("agc_mode", commandField(lower)));
}

// --- Switches, sent as 0 or 1.
void Slice::setSliceXitEnabled(bool on) {
    setAndSend(sliceXitEnabled, Flag(on), sliceSet("xit_on", flag(on)));
}
void Slice::setSliceRitEnabled(bool on) {
    setAndSend(sliceRitEnabled, Flag(on), sliceSet("rit_on", flag(on)));
}
void Slice::setSliceNbEnabled(bool on) {
    setAndSend(sliceNbEnabled, Integer(flag(on)), sliceSet("nb", flag(on)));
}
void Slice::setSliceWnbEnabled(bool on) {
    setAndSend(sliceWnbEnabled, Integer(flag(on)), sliceSet("wnb", flag(on)));
}
void Slice::setFmToneBurstEnabled(bool on) {
    setAndSend(fmToneBurstEnabled, Flag(on), sliceSet("fm_tone_burst", flag(on)));
}
void Slice::setFmPreDeEmphasis(bool on) {
    setAndSend(fmPreDeEmphasis, Flag(on), sliceSet("dfm_pre_de_emphasis", flag(on)));
}
void Slice::setSliceTxEnabled(bool on) {
    setAndSend(sliceTxEnabled, Flag(on), sliceSet("tx", flag(on)));
}
void Slice::setSliceDaxTxEnabled(bool on) {
    setAndSend(sliceDaxTxEnabled, Flag(on), sliceSet("dax_tx", flag(on)));
}
void Slice::setSlicePlaybackEnabled(bool on) {
    setAndSend(slicePlaybackEnabled, Flag(on), sliceSet("play", flag(on)));
}
void Slice::setSliceRecordEnabled(bool on) {
    setAndSend(sliceRecordEnabled, Flag(on), sliceSet("record", flag(on)));
}
void Slice::setSliceDiversityEnabled(bool on) {
    setAndSend(sliceDiversityEnabled, Flag(on), sliceSet("diversity", flag(on)));
}
void Slice::setSquelchEnabled(bool on) {
    setAndSend(squelchEnabled, Flag(on), sliceSet("squelch", flag(on)));
}
void Slice::setPostDemodBypassEnabled(bool on) {
    setAndSend(postDemodBypassEnabled, Flag(on), sliceSet("post_demod_bypass", flag(on)));
}
void Slice::setSliceLocked(bool locked) {
    setAndSend(sliceLocked, Flag(locked),
               fmt::format("slice {} {}", locked ? "lock" : "unlock", thisSliceNumber()));
}
// The only setter that compares: choosing the active slice again sends nothing.
void Slice::setSliceActive(bool active) {
    if (sliceActive().value_or(false) == active) {
        return;
    }
    setAndSend(sliceActive, Flag(active), sliceSet("active", flag(active)));
}
void Slice::setSliceMuteEnabled(bool muted) {
    setAndSend(sliceMuteEnabled, Flag(muted),
               fmt::format("audio client 0 slice {} mute {}", thisSliceNumber(), flag(muted)));
}

// --- Integer values.
void Slice::setSliceXitOffset(std::int64_t hertz) {
    setAndSend(sliceXitOffset, Integer(hertz), sliceSet("xit_freq", hertz));
}
void Slice::setSliceRitOffset(std::int64_t hertz) {
    setAndSend(sliceRitOffset, Integer(hertz), sliceSet("rit_freq", hertz));
}
// A filter command carries both edges: the new one and the other as stored.
void Slice::setSliceFilterLo(std::int64_t hertz) {
    setAndSend(sliceFilterLo, Integer(hertz),
               fmt::format("filt {} {} {}", thisSliceNumber(), hertz, sliceFilterHi().value_or(0)));
}
void Slice::setSliceFilterHi(std::int64_t hertz) {
    setAndSend(sliceFilterHi, Integer(hertz),
               fmt::format("filt {} {} {}", thisSliceNumber(), sliceFilterLo().value_or(0), hertz));
}
void Slice::setSliceNbLevel(std::int64_t level) {
    setAndSend(sliceNbLevel, Integer(level), sliceSet("nb_level", level));
}
void Slice::setSliceWnbLevel(std::int64_t level) {
    setAndSend(sliceWnbLevel, Integer(level), sliceSet("wnb_level", level));
}
void Slice::setSliceNrEnabled(std::int64_t on) {
    setAndSend(sliceNrEnabled, Integer(on), sliceSet("nr", on));
}
void Slice::setSliceNrLevel(std::int64_t level) {
    setAndSend(sliceNrLevel, Integer(level), sliceSet("nr_level", level));
}
void Slice::setSliceNr2Enabled(std::int64_t on) {
    setAndSend(sliceNr2Enabled, Integer(on), sliceSet("nr2", on));
}
void Slice::setSliceAnfEnabled(std::int64_t on) {
    setAndSend(sliceAnfEnabled, Integer(on), sliceSet("anf", on));
}
void Slice::setSliceAnfLevel(std::int64_t level) {
    setAndSend(sliceAnfLevel, Integer(level), sliceSet("anf_level", level));
}
void Slice::setSliceApfEnabled(std::int64_t on) {
    setAndSend(sliceApfEnabled, Integer(on), sliceSet("apf", on));
}
// The level goes out with the filter's switch as stored.
void Slice::setSliceApfLevel(std::int64_t level) {
    const int enabled = flag(sliceApfEnabled().value_or(0) != 0);
    setAndSend(sliceApfLevel, Integer(level),
               fmt::format("slice set {} apf={} apf_level={}", thisSliceNumber(), enabled, level));
}
void Slice::setSliceAgcThreshold(std::int64_t threshold) {
    setAndSend(sliceAgcThreshold, Integer(threshold), sliceSet("agc_threshold", threshold));
}
void Slice::setSliceAgcOffLevel(std::int64_t level) {
    setAndSend(sliceAgcOffLevel, Integer(level), sliceSet("agc_off_level", level));
}
void Slice::setSliceDax(std::int64_t channel) {
    setAndSend(sliceDax, Integer(channel), sliceSet("dax", channel));
}
// Radios with the newer interface take the level as a slice setting.
void Slice::setSliceAudioLevel(std::int64_t level) {
    const auto radio = this->radio();
    const auto instance = radio ? radio->radioRecord() : nullptr;
    std::string command =
        instance && instance->supportsV3_API
            ? sliceSet("audio_level", level)
            : fmt::format("audio client 0 slice {} gain {}", thisSliceNumber(), level);
    setAndSend(sliceAudioLevel, Integer(level), std::move(command));
}
void Slice::setSlicePanControl(std::int64_t pan) {
    setAndSend(slicePanControl, Integer(pan),
               fmt::format("audio client 0 slice {} pan {}", thisSliceNumber(), pan));
}
void Slice::setSquelchLevel(std::int64_t level) {
    setAndSend(squelchLevel, Integer(level), sliceSet("squelch_level", level));
}
void Slice::setFmDeviation(std::int64_t deviation) {
    setAndSend(fmDeviation, Integer(deviation), sliceSet("fm_deviation", deviation));
}
void Slice::setPostDemodLo(std::int64_t hertz) {
    setAndSend(postDemodLo, Integer(hertz), sliceSet("post_demod_low", hertz));
}
void Slice::setPostDemodHi(std::int64_t hertz) {
    setAndSend(postDemodHi, Integer(hertz), sliceSet("post_demod_high", hertz));
}
void Slice::setRttyMark(std::int64_t hertz) {
    setAndSend(rttyMark, Integer(hertz), sliceSet("rtty_mark", hertz));
}
void Slice::setRttyShift(std::int64_t hertz) {
    setAndSend(rttyShift, Integer(hertz), sliceSet("rtty_shift", hertz));
}
void Slice::setDiglOffset(std::int64_t hertz) {
    setAndSend(diglOffset, Integer(hertz), sliceSet("digl_offset", hertz));
}
void Slice::setDiguOffset(std::int64_t hertz) {
    setAndSend(diguOffset, Integer(hertz), sliceSet("digu_offset", hertz));
}
void Slice::setRfGain(std::int64_t gain) {
    setAndSend(rfGain, Integer(gain), sliceSet("rfgain", gain));
}
void Slice::setDetached(std::int64_t value) {
    setAndSend(detached, Integer(value), sliceSet("detached", value));
}

void Slice::setSliceWide(bool on) { sliceWide.set(Flag(on)); }

// --- Fractional values, with the decimals the radio expects.
void Slice::setFmToneFreq(float hertz) {
    setAndSend(fmToneFreq, Float(hertz),
               sliceSet("fm_tone_value", fmt::format("{:.1f}", double{hertz})));
}
void Slice::setFmRepeaterOffset(float megahertz) {
    setAndSend(fmRepeaterOffset, Float(megahertz),
               sliceSet("fm_repeater_offset_freq", fmt::format("{:.3f}", double{megahertz})));
}
void Slice::setTxOffsetFreq(float megahertz) {
    setAndSend(txOffsetFreq, Float(megahertz),
               sliceSet("tx_offset_freq", fmt::format("{:.6f}", double{megahertz})));
}

}  // namespace vm
