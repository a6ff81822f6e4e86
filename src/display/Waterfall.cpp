// The waterfall's creation, its pairing with its panadapter and its view.
#include "display/Waterfall.h"

#include "display/Panafall.h"
#include "display/PayloadDump.h"

#include <chrono>

namespace vm {

Waterfall::Waterfall(Private, const std::shared_ptr<RadioLink>& radio, std::string id)
    : streamId(this, "streamId", std::move(id)),
      runQueue(this, "runQueue",
               DispatchQueue::serial("com.velmorasoftware.vmsdr.waterfallQueue-" + streamId())),
      radio_(radio) {}

std::shared_ptr<Waterfall> Waterfall::create(const std::shared_ptr<RadioLink>& radio,
                                             std::string streamId) {
    return std::make_shared<Waterfall>(Private{}, radio, std::move(streamId));
}

// The session links the pair on its own queue; observers hear of the id on the main queue.
void Waterfall::updatePanafallRef(const std::shared_ptr<Panafall>& panafall) {
    panafall_.with([&](auto& linked) { linked = panafall; });
    panadaptorId.store(panafall ? Text(panafall->streamId()) : Text());
    DispatchQueue::main()->async([self = shared_from_this()] { self->panadaptorId.announce(); });
}

std::shared_ptr<Panafall> Waterfall::panafall() const {
    return panafall_.with([](const auto& linked) { return linked.lock(); });
}

void Waterfall::setDelegate(std::weak_ptr<WaterfallData> delegate) {
    delegate_.set(std::move(delegate));
}

std::shared_ptr<WaterfallData> Waterfall::delegate() const { return delegate_.get(); }

void Waterfall::willRemoveStreamProcessor() { setDelegate({}); }

void Waterfall::updateXPixelSize(int pixels) {
    xPixels.store(pixels);
    DispatchQueue::main()->after(std::chrono::milliseconds(1), [self = shared_from_this(), pixels] {
        self->xPixels.set(pixels);
    });
}

void Waterfall::dumpWFHead(const VITA& packet) { dumpPayloadHead("dumpWFHead", packet, 36); }

}  // namespace vm
