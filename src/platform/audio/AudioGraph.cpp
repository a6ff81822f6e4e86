#include "platform/audio/AudioGraph.h"

#include "platform/audio/HALOutputUnit.h"

namespace vm {

AudioGraph::~AudioGraph() {
    stop();
    close();
}

AudioGraph::Node* AudioGraph::find(AUNode node) {
    if (node < 0 || std::size_t(node) >= nodes_.size()) {
        return nullptr;
    }
    return &nodes_[std::size_t(node)];
}

OSStatus AudioGraph::addNode(AudioUnitKind kind, AUNode* node) {
    if (!node) {
        return kAudioParamError;
    }
    Node added{kind, nullptr};
    if (open_) {
        if (OSStatus status = AudioUnit::make(kind, &added.unit)) {
            return status;
        }
    }
    nodes_.push_back(std::move(added));
    *node = AUNode(nodes_.size() - 1);
    return 0;
}

OSStatus AudioGraph::open() {
    if (open_) {
        return 0;
    }
    for (auto& node : nodes_) {
        if (OSStatus status = AudioUnit::make(node.kind, &node.unit)) {
            return status;
        }
    }
    open_ = true;
    for (const auto& connection : connections_) {
        if (OSStatus status = apply(connection)) {
            return status;
        }
    }
    return 0;
}

OSStatus AudioGraph::close() {
    if (!open_) {
        return 0;
    }
    stop();
    uninitialize();
    // Units that others pull from go last.
    for (auto it = nodes_.rbegin(); it != nodes_.rend(); ++it) {
        it->unit.reset();
    }
    open_ = false;
    return 0;
}

OSStatus AudioGraph::nodeInfo(AUNode node, AudioUnit** unit) {
    Node* found = find(node);
    if (!found || !unit) {
        return kAudioBadObjectError;
    }
    if (!found->unit) {
        return kAudioUninitializedError;
    }
    *unit = found->unit.get();
    return 0;
}

OSStatus AudioGraph::apply(const Connection& c) {
    Node* source = find(c.source);
    Node* destination = find(c.destination);
    if (!source || !destination || source == destination) {
        return kAudioBadObjectError;
    }
    return destination->unit->connectInput(c.destinationBus, source->unit.get(), c.sourceBus);
}

OSStatus AudioGraph::connectNodeInput(AUNode source, std::uint32_t sourceOutputBus,
                                      AUNode destination, std::uint32_t destinationInputBus) {
    const Connection connection{source, sourceOutputBus, destination, destinationInputBus};
    if (!find(source) || !find(destination) || source == destination) {
        return kAudioBadObjectError;
    }
    if (open_) {
        if (OSStatus status = apply(connection)) {
            return status;
        }
    }
    connections_.push_back(connection);
    return 0;
}

void AudioGraph::propagateFormats() {
    for (const auto& c : connections_) {
        AudioStreamBasicDescription produced{};
        AudioStreamBasicDescription taken{};
        AudioUnit* source = find(c.source)->unit.get();
        AudioUnit* destination = find(c.destination)->unit.get();
        if (source->getStreamFormat(AudioUnitScope::Output, c.sourceBus, &produced) == 0 &&
            (destination->getStreamFormat(AudioUnitScope::Input, c.destinationBus, &taken) != 0 ||
             !(taken == produced))) {
            destination->setStreamFormat(AudioUnitScope::Input, c.destinationBus, produced);
        }
    }
}

OSStatus AudioGraph::initialize() {
    if (!open_) {
        return kAudioUninitializedError;
    }
    propagateFormats();
    for (auto& node : nodes_) {
        if (OSStatus status = node.unit->initialize()) {
            return status;
        }
    }
    initialized_ = true;
    return 0;
}

OSStatus AudioGraph::uninitialize() {
    if (!open_) {
        return 0;
    }
    for (auto& node : nodes_) {
        node.unit->uninitialize();
    }
    initialized_ = false;
    return 0;
}

OSStatus AudioGraph::start() {
    if (!initialized_) {
        return kAudioUninitializedError;
    }
    propagateFormats();
    for (auto& node : nodes_) {
        if (node.kind == AudioUnitKind::HALOutput) {
            if (OSStatus status = static_cast<HALOutputUnit*>(node.unit.get())->start()) {
                return status;
            }
        }
    }
    return 0;
}

OSStatus AudioGraph::stop() {
    if (!open_) {
        return 0;
    }
    for (auto& node : nodes_) {
        if (node.kind == AudioUnitKind::HALOutput) {
            static_cast<HALOutputUnit*>(node.unit.get())->stop();
        }
    }
    return 0;
}

OSStatus AudioGraph::isRunning(bool* running) const {
    if (!running) {
        return kAudioParamError;
    }
    *running = false;
    if (!open_) {
        return 0;
    }
    for (const auto& node : nodes_) {
        if (node.kind == AudioUnitKind::HALOutput &&
            static_cast<const HALOutputUnit*>(node.unit.get())->isRunning()) {
            *running = true;
        }
    }
    return 0;
}

}  // namespace vm
