#pragma once
// What the sibling-application bridge needs from outside its own state: the open radio and its
// slices, the panadapters (centred on request, and whether one is being dragged), the operator's
// choices of the preferences, and the panadapters redrawn when the logger's spots change. The
// application's controller implements it; tests implement it in a few lines. Called on the main
// thread only, except the slice getters, which the satellite tuning also reads on its queue
// before it starts.
#include <chrono>
#include <memory>
#include <string>

namespace vm {

class Slice;

class SiblingBridgeHost {
public:
    using Date = std::chrono::system_clock::time_point;

    virtual ~SiblingBridgeHost() = default;

    virtual bool debugEnabled() const = 0;
    virtual bool radioIsOpen() const = 0;
    // The open radio is bound as a GUI client (connection state 4).
    virtual bool radioConnectedAsGui() const = 0;
    // The open radio was reached through DoroLink.
    virtual bool openRadioIsRemote() const = 0;

    // The open radio's active and transmit slices and this client's slices 0 (A) and 1 (B).
    virtual std::shared_ptr<Slice> activeVFO() const = 0;
    virtual std::shared_ptr<Slice> transmitVFO() const = 0;
    virtual std::shared_ptr<Slice> getSliceA() const = 0;
    virtual std::shared_ptr<Slice> getSliceB() const = 0;
    // Asks the radio for slice A (0) or B (1) when it is missing.
    virtual bool needDoroVFO(int vfo) = 0;

    // Centres the panadapter of that stream id on a frequency; nothing when no pan has the id.
    virtual void centerPan(const std::string& streamId, double mhz) = 0;
    // One of the panadapter views is being dragged.
    virtual bool panadapterDragging() const = 0;
    // When the operator last tuned.
    virtual Date timeOfLastTuning() const = 0;
    // The panadapters draw the logger's spots anew.
    virtual void spotsChanged() = 0;

    // The operator's choices: tune the logger ("tune_trvl"), show its spots
    // ("display_trvl_spots"), send FM as narrow FM for satellites ("zenithor_narrow_fm").
    virtual bool tuneLoggerOn() const = 0;
    virtual bool loggerSpotsOn() const = 0;
    virtual bool narrowFmForSatellite() const = 0;
};

}  // namespace vm
