#pragma once
// One panadapter that the radio computes, as the client sees it: the pan's settings from the
// radio's "display pan" status lines as observable properties (PanafallStatus.cpp), the setters
// that send "display panafall set" / "display pan set" commands (PanafallCommands.cpp), and the
// intake of the radio's FFT packets, each handed to the delegate (the panadapter view) as one
// PanafallFFTFrame (PanafallStream.cpp). Every panadapter is paired with a Waterfall; the two
// know each other weakly.
//
// The session creates panadapters (DisplayRoutes.cpp), keeps them by stream id and feeds them
// their status lines and packets. A panadapter holds its session as a RadioLink, weakly.
//
// Threads: the first status line is read on the session's queue, later ones too (the session
// hands them over at once); every change of a property reaches observers on the main queue, and
// setters announce on their caller's thread (the main thread). FFT packets arrive on the stream
// manager's queue; frames and the setters' commands leave from `runQueue`, in order.
#include "display/PanafallFFTFrame.h"
#include "display/PanafallFrameBatch.h"
#include "platform/core/BatchHandOff.h"
#include "platform/core/ConstantProperty.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Guarded.h"
#include "platform/core/Observable.h"
#include "platform/core/WeakDelegate.h"
#include "radio/RadioDelegate.h"
#include "radio/RadioLink.h"
#include "radio/RadioParser.h"
#include "radio/RadioTypes.h"
#include "radio/StatusTable.h"
#include "radio/VitaStreamHandler.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace vm {

class Waterfall;

// A pixel size of the panadapter's display.
struct PanSize {
    double width = 0;
    double height = 0;
    bool operator==(const PanSize&) const = default;
};

class Panafall : public Observable,
                 public RadioParser,
                 public RadioDelegate,
                 public VitaStreamHandler,
                 public std::enable_shared_from_this<Panafall> {
public:
    // A panadapter under `streamId` ("0x%08X"), holding `radio` weakly, with its queue
    // "com.velmorasoftware.vmsdr.panafallQueue-<id>". It asks the radio at once for its RF gain
    // steps ("display pan rfgain_info <id>"), whose reply fills `preAmpList`.
    static std::shared_ptr<Panafall> create(const std::shared_ptr<RadioLink>& radio,
                                            std::string streamId);

    std::shared_ptr<RadioLink> radio() const { return radio_.lock(); }

    // --- Pairing and the view.
    // Links the waterfall (weakly) and takes its stream id as `waterfallId`.
    void updateWaterfallRef(const std::shared_ptr<Waterfall>& waterfall);
    std::shared_ptr<Waterfall> waterfall() const;
    // The view that takes the frames, held weakly; none: packets are ignored.
    void setDelegate(std::weak_ptr<PanafallData> delegate);
    std::shared_ptr<PanafallData> delegate() const;
    // Called by the session before it drops the panadapter: the view is let go, so later packets
    // are ignored.
    void willRemoveStreamProcessor();

    // --- Status (PanafallStatus.cpp). With `immediate` (the pan's first line) each value is
    // stored at once and announced 1 ms later on the main queue; otherwise each is stored and
    // announced by one main-queue task per line. The waterfall's keys (line_duration,
    // color_gain, auto_black, black_level, gradient_index) go to the linked waterfall as its own
    // status: they are stored and announced there and never sent back as commands.
    void statusParserImmediate(Scanner& scan, bool immediate) override;
    void statusParserSelfStatus(Scanner& scan, bool selfStatus) override;
    static const StatusTable<Panafall>& statusTable();

    // The reply to "display pan rfgain_info": code 0 sets `preAmpList` from its comma-separated
    // data; any other code changes nothing.
    void radioCommandResponse(std::uint32_t seqNum, const std::string& response) override;

    // --- FFT packets (PanafallStream.cpp), on the stream manager's queue: one packet of this
    // pan's stream, in the layout of firmware 3.3 and later or the older one (by the packet's
    // `fversion`). An accepted packet has its bins copied out in host order and reaches the
    // delegate's fftFrames() on `runQueue`, in one call with the packets that waited there with
    // it. A packet whose frame index is below the
    // highest seen so far is counted in `droppedFrames` and dropped; an equal one passes.
    void streamHandler(const VITA& packet) override;
    std::uint32_t lastFFTFrameIndex() const { return lastFFTFrameIndex_.load(); }
    // Diagnostics: logs the first 16 payload bytes as they came and with each pair swapped.
    static void dumpHeader(const VITA& packet);

    // --- Command setters (PanafallCommands.cpp): store and announce on the calling thread, then
    // send the command from `runQueue` while the pan and its session live.
    void setPanDimensions(PanSize size);  // also sets userSetSize
    void setCenter(float megahertz);
    void setBandwidth(float megahertz);  // sends the current autoCenter, then clears it
    void setMinDbm(float dbm);
    void setMaxDbm(float dbm);
    void setFps(int fps);
    void setAverage(int average);
    void setWeightedAverage(bool on);
    void setLoopA(bool on);
    void setLoopB(bool on);
    void setRfGain(int gain);
    void setBand(const std::string& band);
    void setRxAnt(const std::string& antenna);
    void setNb(bool on);
    void setNbLevel(int level);
    void setWnb(bool on);
    void setWnbLevel(int level);
    void setDaxIQ(int channel);
    void setDaxIQRate(std::int64_t rate);

    // --- Properties, each announced under its own name.
    ConstantProperty<std::string> streamId;
    ConstantProperty<DispatchQueuePtr> runQueue;
    Observed<int> debugLogLevel{this, "debugLogLevel"};
    Observed<Text> waterfallId{this, "waterfallId"};  // "0x%08X", or empty until known
    Observed<Float> center{this, "center"};           // MHz
    Observed<Float> bandwidth{this, "bandwidth"};     // MHz
    Observed<bool> autoCenter{this, "autoCenter"};    // sent with centre and bandwidth
    Observed<Float> minDbm{this, "minDbm"};
    Observed<Float> maxDbm{this, "maxDbm"};
    Observed<Number> fps{this, "fps"};
    Observed<Number> average{this, "average"};
    Observed<Flag> weightedAverage{this, "weightedAverage"};
    Observed<Number> rfGain{this, "rfGain"};
    Observed<List> preAmpList{this, "preAmpList"};
    Observed<Text> rxAnt{this, "rxAnt"};
    Observed<List> antList{this, "antList"};
    Observed<Text> band{this, "band", Text("")};
    Observed<Flag> wide{this, "wide"};
    Observed<Flag> loopA{this, "loopA"};
    Observed<Flag> loopB{this, "loopB"};
    Observed<Flag> nb{this, "nb"};
    Observed<Number> nbLevel{this, "nbLevel"};
    Observed<Flag> nbUpdating{this, "nbUpdating"};
    Observed<Flag> wnb{this, "wnb"};
    Observed<Number> wnbLevel{this, "wnbLevel"};
    Observed<Flag> wnbUpdating{this, "wnbUpdating"};
    Observed<Number> daxIQ{this, "daxIQ"};  // status "daxiq" stores 1 or 0
    Observed<Integer> daxIQRate{this, "daxIQRate"};
    Observed<Integer> daxiqChannel{this, "daxiqChannel"};
    Observed<Number> capacity{this, "capacity"};
    Observed<Number> available{this, "available"};
    Observed<Float> minBW{this, "minBW"};  // MHz
    Observed<Float> maxBW{this, "maxBW"};
    Observed<Text> xvtrLabel{this, "xvtrLabel"};
    Observed<Text> preLabel{this, "preLabel"};
    Observed<Integer> bandZoom{this, "bandZoom"};
    Observed<Integer> segmentZoom{this, "segmentZoom"};
    Observed<Text> clientHandle{this, "clientHandle"};
    Observed<PanSize> panDimensions{this, "panDimensions", PanSize{100, 100}};
    Observed<PanSize> userSetSize{this, "userSetSize"};
    // FFT packets dropped for a frame index below the highest seen. Counted on the stream
    // manager's queue; a run of drops is announced once, on the main queue.
    Observed<std::uint32_t> droppedFrames{this, "droppedFrames"};

private:
    struct Private {};

public:
    Panafall(Private, const std::shared_ptr<RadioLink>& radio, std::string id);

private:
    template <class T>
    void setAndSend(Observed<T>& property, T value, std::string command);
    std::string panafallSet(const std::string& pairs) const;
    template <Observed<Text> Panafall::*property>
    static bool keepNow(Panafall& pan, const StatusValue& value);
    // Keeps a real that is finite; a span that is also above zero.
    static bool finite(Panafall& pan, const StatusValue& value);
    static bool positive(Panafall& pan, const StatusValue& value);
    // The waterfall's keys in a pan line, read as the linked waterfall's own status.
    void forwardToWaterfall(const char* key, Scanner& scan);
    void forwardLineDuration(Scanner& scan);
    void forwardColorGain(Scanner& scan);
    void forwardAutoBlack(Scanner& scan);
    void forwardBlackLevel(Scanner& scan);
    void forwardGradientIndex(Scanner& scan);
    void countDroppedFrame();

    const std::weak_ptr<RadioLink> radio_;
    Guarded<std::weak_ptr<Waterfall>> waterfall_;
    WeakDelegate<PanafallData> delegate_;
    // Written only on the stream manager's queue.
    std::atomic<std::uint32_t> lastFFTFrameIndex_{0};
    // A main-queue announcement of droppedFrames is on its way.
    std::atomic<bool> dropsAnnouncing_{false};
    // Accepted frames on their way to the view.
    BatchHandOff<PanafallFrameBatch> frames_;
};

}  // namespace vm
