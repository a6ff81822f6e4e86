// The panadapter's creation, its pairing with its waterfall and its view, and the reply to its
// RF gain question.
#include "display/Panafall.h"

#include "display/PayloadDump.h"
#include "display/Waterfall.h"
#include "platform/core/Log.h"
#include "radio/ReplyLine.h"
#include "radio/VITA.h"
#include "util/TextUnits.h"

namespace vm {

Panafall::Panafall(Private, const std::shared_ptr<RadioLink>& radio, std::string id)
    : streamId(this, "streamId", std::move(id)),
      runQueue(this, "runQueue",
               DispatchQueue::serial("com.velmorasoftware.vmsdr.panafallQueue-" + streamId())),
      radio_(radio) {
    debugLogLevel.store(radio ? radio->logLevel() : 0);
}

std::shared_ptr<Panafall> Panafall::create(const std::shared_ptr<RadioLink>& radio,
                                           std::string streamId) {
    auto pan = std::make_shared<Panafall>(Private{}, radio, std::move(streamId));
    if (radio) {
        radio->commandToRadio("display pan rfgain_info " + pan->streamId(), pan->weak_from_this());
    }
    return pan;
}

// The session links the pair on its own queue; observers hear of the id on the main queue.
void Panafall::updateWaterfallRef(const std::shared_ptr<Waterfall>& waterfall) {
    waterfall_.with([&](auto& linked) { linked = waterfall; });
    waterfallId.store(waterfall ? Text(waterfall->streamId()) : Text());
    DispatchQueue::main()->async([self = shared_from_this()] { self->waterfallId.announce(); });
}

std::shared_ptr<Waterfall> Panafall::waterfall() const {
    return waterfall_.with([](const auto& linked) { return linked.lock(); });
}

void Panafall::setDelegate(std::weak_ptr<PanafallData> delegate) {
    delegate_.set(std::move(delegate));
}

std::shared_ptr<PanafallData> Panafall::delegate() const { return delegate_.get(); }

void Panafall::willRemoveStreamProcessor() { setDelegate({}); }

void Panafall::radioCommandResponse(std::uint32_t /*seqNum*/, const std::string& response) {
    const Reply reply = splitReply(response);
    if (!replySucceeded(reply)) {
        return;
    }
    std::string data = reply.data;
    if (const auto end = data.find('\n'); end != std::string::npos) {
        data.erase(end);
    }
    List steps = data.empty() ? TextList{} : strings::units::split(data, ',');
    DispatchQueue::main()->async(
        [self = shared_from_this(), steps = std::move(steps)] { self->preAmpList.set(steps); });
}

void Panafall::dumpHeader(const VITA& packet) { dumpPayloadHead("dumpHeader", packet, 16); }

}  // namespace vm
