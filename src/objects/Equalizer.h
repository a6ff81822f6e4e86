#pragma once
// One of the radio's two eight-band audio equalizers, receive ("rx") or transmit ("tx"): its on/off
// state and its eight band gains, kept current from the radio's "eq" status lines
// (EqualizerStatus.cpp) and changed by the equalizer panel through the setters
// (EqualizerCommands.cpp). The session makes the equalizer of a side on that side's first line
// (EqualizerRoutes.cpp).
//
// The equalizer holds its session weakly as a RadioLink. Threads: the first line is read on the
// session's queue, later ones on `eqRunQueue`, which also carries the setters' commands in call
// order. Values from the radio are stored and announced on the main queue, and only when they
// differ from the stored ones; setters store and announce on their caller's thread (the main
// thread).
#include "platform/core/ConstantProperty.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Observable.h"
#include "radio/RadioLink.h"
#include "radio/RadioParser.h"
#include "radio/RadioTypes.h"
#include "radio/StatusTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vm {

class Equalizer : public Observable,
                  public RadioParser,
                  public std::enable_shared_from_this<Equalizer> {
public:
    static constexpr std::size_t kBandCount = 8;

    // `eqType` is "rx" or "tx". Bands start at 0 and the equalizer off; it sends nothing.
    static std::shared_ptr<Equalizer> create(const std::string& eqType,
                                             const std::shared_ptr<RadioLink>& radio);

    ConstantProperty<std::string> eqType;
    ConstantProperty<DispatchQueuePtr> eqRunQueue;
    Observed<Integer> eqBand0Value{this, "eqBand0Value", 0};  // 63 Hz
    Observed<Integer> eqBand1Value{this, "eqBand1Value", 0};
    Observed<Integer> eqBand2Value{this, "eqBand2Value", 0};
    Observed<Integer> eqBand3Value{this, "eqBand3Value", 0};
    Observed<Integer> eqBand4Value{this, "eqBand4Value", 0};
    Observed<Integer> eqBand5Value{this, "eqBand5Value", 0};
    Observed<Integer> eqBand6Value{this, "eqBand6Value", 0};
    Observed<Integer> eqBand7Value{this, "eqBand7Value", 0};  // 8000 Hz
    Observed<Flag> eqEnabled{this, "eqEnabled", false};

    std::shared_ptr<RadioLink> radio() const { return radio_.lock(); }
    // The bands' keys in commands and status lines, "63Hz" to "8000Hz".
    static const std::array<const char*, kBandCount>& bandCmdName();
    // The bands' labels for the panel, "63 Hz" to "8 KHz".
    static const std::array<const char*, kBandCount>& eqBandNames();
    // The eight gains in band order.
    std::array<Integer, kBandCount> eqBandValues() const;

    // --- Setters (EqualizerCommands.cpp). A band setter does nothing when the gain is the one
    // stored; otherwise it stores and announces the gain and sends "eq <type>sc <band>=<gain>".
    // setEqEnabled always stores and sends "eq <type>sc mode=<0|1>".
    void setEqBand0Value(std::int64_t gain);
    void setEqBand1Value(std::int64_t gain);
    void setEqBand2Value(std::int64_t gain);
    void setEqBand3Value(std::int64_t gain);
    void setEqBand4Value(std::int64_t gain);
    void setEqBand5Value(std::int64_t gain);
    void setEqBand6Value(std::int64_t gain);
    void setEqBand7Value(std::int64_t gain);
    void setEqEnabled(bool on);

    // --- Status (EqualizerStatus.cpp). The scanner stands at the type word ("rxsc", "tx"...).
    // The first line of a new equalizer is read with `immediate` (stored at once, announced 1 ms
    // later on the main queue), every later line without.
    void statusParserImmediate(Scanner& scan, bool immediate) override;
    void statusParserSelfStatus(Scanner& scan, bool selfStatus) override;
    static const StatusTable<Equalizer>& statusTable();

private:
    struct Private {};

public:
    Equalizer(Private, const std::string& eqType, const std::shared_ptr<RadioLink>& radio);

private:
    Observed<Integer>& band(std::size_t index);
    void setBand(std::size_t index, std::int64_t gain);

    const std::weak_ptr<RadioLink> radio_;
};

}  // namespace vm
