#pragma once
// A set of units wired output to input, played by its device I/O units: nodes are added by kind,
// open() makes their units, connections may be made before or after, and start() starts every
// device I/O unit of the graph (which then pull the rest). On initialize() and start(), each
// connected input takes the format of the output feeding it.
#include "platform/audio/AudioUnit.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vm {

using AUNode = std::int32_t;

class AudioGraph {
public:
    AudioGraph() = default;
    ~AudioGraph();
    AudioGraph(const AudioGraph&) = delete;
    AudioGraph& operator=(const AudioGraph&) = delete;

    OSStatus addNode(AudioUnitKind kind, AUNode* node);
    OSStatus open();
    OSStatus close();
    OSStatus nodeInfo(AUNode node, AudioUnit** unit);
    OSStatus connectNodeInput(AUNode source, std::uint32_t sourceOutputBus, AUNode destination,
                              std::uint32_t destinationInputBus);
    OSStatus initialize();
    OSStatus uninitialize();
    OSStatus start();
    OSStatus stop();
    OSStatus isRunning(bool* running) const;
    bool isOpen() const { return open_; }
    bool isInitialized() const { return initialized_; }

private:
    struct Node {
        AudioUnitKind kind;
        std::unique_ptr<AudioUnit> unit;
    };
    struct Connection {
        AUNode source;
        std::uint32_t sourceBus;
        AUNode destination;
        std::uint32_t destinationBus;
    };
    Node* find(AUNode node);
    OSStatus apply(const Connection& connection);
    void propagateFormats();

    std::vector<Node> nodes_;
    std::vector<Connection> connections_;
    bool open_ = false;
    bool initialized_ = false;
};

}  // namespace vm
