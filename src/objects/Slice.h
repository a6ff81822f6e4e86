#pragma once
// One receiver of the radio, numbered 0 to 7: every setting the radio reports for it, as
// observable properties, and its meters. The radio's status lines fill it (SliceStatus.cpp); the
// command setters store what the user chose and send it to the radio (SliceCommands.cpp); the
// frequency and filter texts for the views are in SliceFormats.cpp.
//
// A slice holds its session as a RadioLink: it sends its commands through it and reads the radio's
// record from it. The session's side of the slices (which lines make, feed and drop them) is in
// SliceRoutes.cpp.
//
// Threads: the session creates a slice and parses its first status line on the session's queue;
// later lines are parsed on `sliceRunQueue`, which also carries the setters' commands; every
// change of a property reaches observers on the main queue (setters announce on their caller's
// thread, which is the main thread). Each store replaces the whole value, so a reader on another
// thread sees the old or the new value.
#include "objects/RadioSliceMeter.h"
#include "platform/core/ConstantProperty.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Observable.h"
#include "radio/RadioLink.h"
#include "radio/RadioParser.h"
#include "radio/RadioTypes.h"
#include "radio/StatusTable.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vm {

class Slice : public Observable,
              public RadioParser,
              public RadioSliceMeter,
              public std::enable_shared_from_this<Slice> {
public:
    // Holds `radio` weakly and copies its debug level; sends and announces nothing.
    static std::shared_ptr<Slice> create(const std::shared_ptr<RadioLink>& radio, int sliceNumber);

    // Called when the radio drops the slice (its in-use flag cleared, or the session closing). The
    // slice keeps working for whoever still holds it; there is nothing to release early.
    void youAreBeingDeleted() {}

    // --- Status (SliceStatus.cpp). Reads the key=value pairs of one status line through the
    // slice's status table. With `immediate` (the slice's first line) each value is stored at once
    // and announced 1 ms later on the main queue; otherwise each is stored and announced by one
    // main-queue task per line (StatusPass).
    void statusParserImmediate(Scanner& scan, bool immediate) override;
    void statusParserSelfStatus(Scanner& scan, bool selfStatus) override;
    static const StatusTable<Slice>& statusTable();

    // --- Meters, by short name; a later meter with the same short name replaces the earlier one.
    void addMeter(const std::shared_ptr<Meter>& meter) override;
    void removeMeter(const std::shared_ptr<Meter>& meter) override;

    std::shared_ptr<RadioLink> radio() const { return radio_.lock(); }

    // --- Derived values and texts (SliceFormats.cpp).
    // The slice's letter: the radio's index letter on radios with the newer interface, else
    // "A" to "H" by slice number.
    Text sliceTitle() const;
    bool sliceAgcOff() const;
    // Hertz from decimal megahertz text ("14.074" and "14.074000" give 14074000).
    static std::int64_t freqStringToHertz(std::string_view megahertz);
    std::int64_t formatSliceFrequencyAsNumber() const;
    std::string formatSliceFrequency() const;  // "14.074.000"
    // Megahertz with six decimals, the form of frequency commands ("14.074000").
    static std::string formatFrequencyNumberAsCommandString(std::int64_t hertz);
    static std::string formatFrequencyNumberAsString(std::int64_t hertz);
    std::string formatSliceFilterBandwidth() const;  // "2.7 KHz", "999 Hz"

    // --- Command setters (SliceCommands.cpp): store and announce on the calling thread, then
    // send the command from `sliceRunQueue` while the slice lives.
    void setSliceFrequency(const std::string& megahertz);
    void setSliceFrequency(const std::string& megahertz, int autopan);
    void setSliceRxAnt(const std::string& antenna);
    void setSliceTxAnt(const std::string& antenna);
    void setSliceMode(const std::string& mode);
    void setFmToneMode(const std::string& toneMode);
    void setRepeaterOffsetDir(const std::string& direction);
    void setSliceAgcMode(const std::string& agcMode);
    void setSliceXitEnabled(bool on);
    void setSliceRitEnabled(bool on);
    void setSliceNbEnabled(bool on);
    void setSliceWnbEnabled(bool on);
    void setFmToneBurstEnabled(bool on);
    void setFmPreDeEmphasis(bool on);
    void setSliceTxEnabled(bool on);
    void setSliceLocked(bool locked);
    void setSliceActive(bool active);
    void setSliceMuteEnabled(bool muted);
    void setSliceDaxTxEnabled(bool on);
    void setSlicePlaybackEnabled(bool on);
    void setSliceRecordEnabled(bool on);
    void setSliceDiversityEnabled(bool on);
    void setSquelchEnabled(bool on);
    void setPostDemodBypassEnabled(bool on);
    void setSliceXitOffset(std::int64_t hertz);
    void setSliceRitOffset(std::int64_t hertz);
    void setSliceFilterLo(std::int64_t hertz);
    void setSliceFilterHi(std::int64_t hertz);
    void setSliceNbLevel(std::int64_t level);
    void setSliceWnbLevel(std::int64_t level);
    void setSliceNrEnabled(std::int64_t on);
    void setSliceNrLevel(std::int64_t level);
    void setSliceNr2Enabled(std::int64_t on);
    void setSliceAnfEnabled(std::int64_t on);
    void setSliceAnfLevel(std::int64_t level);
    void setSliceApfEnabled(std::int64_t on);
    void setSliceApfLevel(std::int64_t level);
    void setSliceAgcThreshold(std::int64_t threshold);
    void setSliceAgcOffLevel(std::int64_t level);
    void setSliceDax(std::int64_t channel);
    void setSliceAudioLevel(std::int64_t level);
    void setSlicePanControl(std::int64_t pan);
    void setSquelchLevel(std::int64_t level);
    void setFmDeviation(std::int64_t deviation);
    void setPostDemodLo(std::int64_t hertz);
    void setPostDemodHi(std::int64_t hertz);
    void setRttyMark(std::int64_t hertz);
    void setRttyShift(std::int64_t hertz);
    void setDiglOffset(std::int64_t hertz);
    void setDiguOffset(std::int64_t hertz);
    void setRfGain(std::int64_t gain);
    void setDetached(std::int64_t detached);
    // The wide flag is the radio's to report; the program only keeps what the user chose, and
    // sends nothing.
    void setSliceWide(bool on);
    void setFmToneFreq(float hertz);
    void setFmRepeaterOffset(float megahertz);
    void setTxOffsetFreq(float megahertz);

    // --- Properties, each announced under its own name.
    Observed<int> debugLogLevel{this, "debugLogLevel"};
    ConstantProperty<DispatchQueuePtr> sliceRunQueue;
    ConstantProperty<std::shared_ptr<ObjectsById<Meter>>> meters{
        this, "meters", std::make_shared<ObjectsById<Meter>>()};
    ConstantProperty<int> thisSliceNumber;
    Observed<Flag> sliceInUse{this, "sliceInUse"};
    Observed<Text> sliceFrequency{this, "sliceFrequency"};  // megahertz, as sent or set
    Observed<Text> sliceRxAnt{this, "sliceRxAnt"};
    Observed<Text> sliceTxAnt{this, "sliceTxAnt"};
    Observed<Flag> sliceXitEnabled{this, "sliceXitEnabled"};
    Observed<Integer> sliceXitOffset{this, "sliceXitOffset"};
    Observed<Flag> sliceRitEnabled{this, "sliceRitEnabled"};
    Observed<Integer> sliceRitOffset{this, "sliceRitOffset"};
    Observed<Text> sliceMode{this, "sliceMode"};
    Observed<Flag> sliceWide{this, "sliceWide"};
    Observed<Integer> sliceFilterLo{this, "sliceFilterLo"};  // Hz from the slice frequency
    Observed<Integer> sliceFilterHi{this, "sliceFilterHi"};
    Observed<Integer> sliceNbEnabled{this, "sliceNbEnabled"};
    Observed<Integer> sliceNbLevel{this, "sliceNbLevel"};
    Observed<Integer> sliceWnbEnabled{this, "sliceWnbEnabled"};
    Observed<Integer> sliceWnbLevel{this, "sliceWnbLevel"};
    Observed<Integer> sliceNrEnabled{this, "sliceNrEnabled", 0};
    Observed<Integer> sliceNrLevel{this, "sliceNrLevel"};
    Observed<Integer> sliceNr2Enabled{this, "sliceNr2Enabled", 0};
    Observed<Integer> sliceAnfEnabled{this, "sliceAnfEnabled", 0};
    Observed<Integer> sliceAnfLevel{this, "sliceAnfLevel"};
    Observed<Integer> sliceApfEnabled{this, "sliceApfEnabled", 0};
    Observed<Integer> sliceApfLevel{this, "sliceApfLevel"};
    Observed<Text> sliceAgcMode{this, "sliceAgcMode"};  // "off" means AGC off
    Observed<Text> sliceSampleRate{this, "sliceSampleRate"};
    Observed<Integer> sliceAgcThreshold{this, "sliceAgcThreshold"};
    Observed<Integer> sliceAgcOffLevel{this, "sliceAgcOffLevel"};
    Observed<Flag> sliceTxEnabled{this, "sliceTxEnabled"};
    Observed<Flag> sliceActive{this, "sliceActive"};
    Observed<Flag> sliceLocked{this, "sliceLocked"};
    Observed<Integer> sliceGhostStatus{this, "sliceGhostStatus"};
    Observed<Text> sliceOwner{this, "sliceOwner"};
    Observed<Integer> sliceDax{this, "sliceDax"};
    Observed<Integer> sliceDaxClients{this, "sliceDaxClients"};
    Observed<Flag> sliceDaxTxEnabled{this, "sliceDaxTxEnabled"};
    Observed<Flag> sliceMuteEnabled{this, "sliceMuteEnabled"};
    Observed<Integer> sliceAudioLevel{this, "sliceAudioLevel"};
    Observed<Integer> slicePanControl{this, "slicePanControl"};
    Observed<Flag> slicePlaybackEnabled{this, "slicePlaybackEnabled"};
    Observed<Flag> sliceRecordEnabled{this, "sliceRecordEnabled"};
    Observed<Float> sliceQRlength{this, "sliceQRlength"};
    Observed<Flag> sliceDiversityEnabled{this, "sliceDiversityEnabled"};
    Observed<Integer> sliceDiversityParent{this, "sliceDiversityParent"};
    Observed<Integer> sliceDiversityChild{this, "sliceDiversityChild"};
    Observed<Integer> sliceDiversityIndex{this, "sliceDiversityIndex"};
    Observed<List> stepList{this, "stepList"};
    Observed<List> antList{this, "antList"};
    Observed<List> modeList{this, "modeList"};
    Observed<Flag> squelchEnabled{this, "squelchEnabled"};
    Observed<Integer> squelchLevel{this, "squelchLevel"};
    Observed<Text> fmToneMode{this, "fmToneMode"};
    Observed<Float> fmToneFreq{this, "fmToneFreq"};
    Observed<Float> fmRepeaterOffset{this, "fmRepeaterOffset"};  // MHz
    Observed<Float> txOffsetFreq{this, "txOffsetFreq"};          // MHz
    Observed<Text> repeaterOffsetDir{this, "repeaterOffsetDir"};
    Observed<Flag> fmToneBurstEnabled{this, "fmToneBurstEnabled"};
    Observed<Integer> fmDeviation{this, "fmDeviation"};
    Observed<Flag> fmPreDeEmphasis{this, "fmPreDeEmphasis"};
    Observed<Integer> postDemodLo{this, "postDemodLo"};
    Observed<Integer> postDemodHi{this, "postDemodHi"};
    Observed<Flag> postDemodBypassEnabled{this, "postDemodBypassEnabled"};
    Observed<Integer> rttyMark{this, "rttyMark"};
    Observed<Integer> rttyShift{this, "rttyShift"};
    Observed<Integer> diglOffset{this, "diglOffset"};
    Observed<Integer> diguOffset{this, "diguOffset"};
    Observed<Integer> rfGain{this, "rfGain"};
    Observed<Flag> loopAEnabled{this, "loopAEnabled"};
    Observed<Flag> loopBEnabled{this, "loopBEnabled"};
    Observed<Flag> qskEnabled{this, "qskEnabled"};
    Observed<Text> panForSlice{this, "panForSlice"};  // the panadapter's stream id, as sent
    Observed<Integer> detached{this, "detached"};
    Observed<List> txAntList{this, "txAntList"};
    Observed<Text> clientHandle{this, "clientHandle"};
    Observed<Text> indexLetter{this, "indexLetter"};
    ConstantProperty<const TokenTable*> statusSliceTokens{this, "statusSliceTokens",
                                                          &statusTable().tokens()};

private:
    struct Private {};

public:
    Slice(Private, const std::shared_ptr<RadioLink>& radio, int sliceNumber);

private:
    // The in-use flag: a slice the radio reports out of use is told so before the flag is stored.
    static bool noteInUse(Slice& slice, const StatusValue& value);

    // "slice set <n> <key>=<value>".
    template <class V>
    std::string sliceSet(std::string_view key, const V& value) const;
    // Stores and announces `value`, then queues `command` for the radio on `sliceRunQueue`.
    template <class T>
    void setAndSend(Observed<T>& property, T value, std::string command);

    std::weak_ptr<RadioLink> radio_;
};

}  // namespace vm
