#pragma once
// The waterfall stream that the radio computes beside each panadapter, as the client sees it: its
// settings from the radio's "display waterfall" status lines as observable properties
// (WaterfallStatus.cpp), the setters that send its "display panafall set" commands
// (WaterfallCommands.cpp), and the intake of the radio's tile packets, each handed to the
// delegate (the waterfall view) as one WaterfallTile (WaterfallStream.cpp).
//
// Threads as for Panafall: status on the session's queue, announced on the main queue; tiles
// arrive on the stream manager's queue and leave, with the setters' commands, from `runQueue`.
#include "display/WaterfallTile.h"
#include "platform/core/BatchHandOff.h"
#include "platform/core/ConstantProperty.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Guarded.h"
#include "platform/core/Observable.h"
#include "platform/core/WeakDelegate.h"
#include "radio/RadioLink.h"
#include "radio/RadioParser.h"
#include "radio/RadioTypes.h"
#include "radio/StatusTable.h"
#include "radio/VitaStreamHandler.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vm {

class Panafall;

class Waterfall : public Observable,
                  public RadioParser,
                  public VitaStreamHandler,
                  public std::enable_shared_from_this<Waterfall> {
public:
    // A waterfall under `streamId` ("0x%08X"), holding `radio` weakly, with its queue
    // "com.velmorasoftware.vmsdr.waterfallQueue-<id>". Sends nothing.
    static std::shared_ptr<Waterfall> create(const std::shared_ptr<RadioLink>& radio,
                                             std::string streamId);

    std::shared_ptr<RadioLink> radio() const { return radio_.lock(); }

    // --- Pairing and the view.
    // Links the panadapter (weakly) and takes its stream id as `panadaptorId`.
    void updatePanafallRef(const std::shared_ptr<Panafall>& panafall);
    std::shared_ptr<Panafall> panafall() const;
    void setDelegate(std::weak_ptr<WaterfallData> delegate);
    std::shared_ptr<WaterfallData> delegate() const;
    void willRemoveStreamProcessor();
    // Stores the pixel width at once and announces it 1 ms later on the main queue.
    void updateXPixelSize(int pixels);

    // --- Status (WaterfallStatus.cpp), read like the panadapter's; unknown keys are logged.
    void statusParserImmediate(Scanner& scan, bool immediate) override;
    void statusParserSelfStatus(Scanner& scan, bool selfStatus) override;
    static const StatusTable<Waterfall>& statusTable();

    // --- Tile packets (WaterfallStream.cpp), on the stream manager's queue. A tile whose
    // timecode is below the highest seen so far is counted in `droppedTiles` and dropped (also
    // without a delegate); an equal one passes (the segments of one line share it). An accepted
    // tile's values are copied, in host order, into the tile that reaches the delegate's
    // waterfallTile() from `runQueue`.
    void streamHandler(const VITA& packet) override;
    std::uint32_t timecode() const { return timecode_.load(); }
    std::uint32_t droppedTiles() const { return droppedTiles_.load(); }
    // Diagnostics: logs the first 36 payload bytes as they came and with each pair swapped.
    static void dumpWFHead(const VITA& packet);

    // --- Command setters (WaterfallCommands.cpp): store and announce on the calling thread, then
    // send from `runQueue` while the waterfall and its session live.
    void setLineDuration(int duration);
    void setAutoBlack(bool on);
    void setColorGain(int gain);
    void setBlackLevel(int level);
    void setGradientIndex(int index);

    // --- Properties, each announced under its own name.
    ConstantProperty<std::string> streamId;
    ConstantProperty<DispatchQueuePtr> runQueue;
    Observed<Text> panadaptorId{this, "panadaptorId"};  // "0x%08X", or empty until known
    Observed<Number> lineDuration{this, "lineDuration"};
    Observed<Number> colorGain{this, "colorGain"};
    Observed<Flag> autoBlack{this, "autoBlack"};
    Observed<Number> blackLevel{this, "blackLevel"};
    Observed<Number> gradientIndex{this, "gradientIndex"};
    Observed<int> xPixels{this, "xPixels", 100};
    // The radio's wide state and its capacity and available numbers: declared, but no status key
    // fills them (the line's "wide", "capacity" and "available" are read and dropped).
    Observed<Flag> wide{this, "wide"};
    Observed<Number> capacity{this, "capacity"};
    Observed<Number> available{this, "available"};

private:
    struct Private {};

public:
    Waterfall(Private, const std::shared_ptr<RadioLink>& radio, std::string id);

private:
    template <class T>
    void setAndSend(Observed<T>& property, T value, const std::string& pairs);

    const std::weak_ptr<RadioLink> radio_;
    Guarded<std::weak_ptr<Panafall>> panafall_;
    WeakDelegate<WaterfallData> delegate_;
    // Written only on the stream manager's queue.
    std::atomic<std::uint32_t> timecode_{0};
    std::atomic<std::uint32_t> droppedTiles_{0};
    // Accepted tiles on their way to the view.
    BatchHandOff<std::vector<std::shared_ptr<WaterfallTile>>> tiles_;
};

}  // namespace vm
