// The engine's creation, the adoption of the radio's streams, stopping and teardown.
#include "audio/VMRemoteAudioHandler.h"

#include "audio/OpusAudio.h"
#include "audio/RemoteAudio.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"

#include <strings.h>

namespace vm {

namespace {

std::string sender(const Notification& notification) {
    const auto found = notification.userInfo.find("sender");
    if (found == notification.userInfo.end()) {
        return {};
    }
    const auto* text = std::any_cast<std::string>(&found->second);
    return text ? *text : std::string();
}

}  // namespace

VMRemoteAudioHandler::VMRemoteAudioHandler(Private, const std::shared_ptr<Radio>& radio,
                                           std::weak_ptr<RemoteAudioApplication> app)
    : radio_(radio),
      app_(std::move(app)),
      originalMicSource_(radio->micSelection()),
      originalRemoteAudio_(radio->remoteAudio()),
      uncompressedAudioQueue_(
          DispatchQueue::serial("com.velmorasoftware.vmsdr_uncompressed_audio_queue")) {}

std::shared_ptr<VMRemoteAudioHandler> VMRemoteAudioHandler::create(
    const std::shared_ptr<Radio>& radio, std::weak_ptr<RemoteAudioApplication> app) {
    if (!radio) {
        return nullptr;
    }
    auto handler = std::make_shared<VMRemoteAudioHandler>(Private{}, radio, std::move(app));
    handler->start();
    return handler;
}

void VMRemoteAudioHandler::start() {
    {
        std::lock_guard lock(route_->mutex);
        route_->v3 = radioSupportsV3();
    }
    transmitter_ = std::make_unique<RemoteAudioTransmitter>(
        [route = route_](const Bytes& packet) { route->send(packet); });
    const auto radio = radio_.lock();
    if (radioSupportsV3()) {
        observe("com.velmorasoftware.doro.remote_audio_stream_created",
                &VMRemoteAudioHandler::remoteAudioStreamCreateNotification);
        radio->cmdNewRemoteAudioRxStream("opus");
        radio->cmdNewRemoteAudioTxStream();
        return;
    }
    // An older radio has one Opus stream per client, announced already.
    std::vector<std::shared_ptr<OpusAudio>> streams;
    radio->opusAudioStreamHandlers()->with([&](const auto& byId) {
        for (const auto& [id, stream] : byId) {
            streams.push_back(stream);
        }
    });
    if (streams.size() == 1) {
        opusStreamCreateNotification(
            {"com.velmorasoftware.doro.opus_stream_created",
             streams.front(),
             {{"sender", std::string("VMRemoteAudioHandle:initWithRadio")}}});
    } else {
        log("VMRemoteAudioHandler:initWithRadio:opusAudioStreamHandlers count = {}",
            streams.size());
    }
    observe("com.velmorasoftware.doro.opus_stream_created",
            &VMRemoteAudioHandler::opusStreamCreateNotification);
}

void VMRemoteAudioHandler::observe(const char* name,
                                   void (VMRemoteAudioHandler::*handler)(const Notification&)) {
    observers_.push_back(NotificationCenter::defaultCenter().addObserver(
        name, [weak = weak_from_this(), handler](const Notification& notification) {
            if (const auto self = weak.lock()) {
                ((*self).*handler)(notification);
            }
        }));
}

VMRemoteAudioHandler::~VMRemoteAudioHandler() {
    log("AudioHandler dealloc");
    stopFiles();
    for (const auto token : observers_) {
        NotificationCenter::defaultCenter().removeObserver(token);
    }
    if (output_) {
        output_->stopPlayback();
    }
    if (microphone_) {
        microphone_->stopFetchingAudio();
    }
}

bool VMRemoteAudioHandler::radioSupportsV3() const {
    const auto radio = radio_.lock();
    const auto record = radio ? radio->radioInstance() : nullptr;
    return record && record->supportsV3_API;
}

void VMRemoteAudioHandler::opusStreamCreateNotification(const Notification& notification) {
    log("opusStreamCreateNotification:userInfo:sender:[{}]", sender(notification));
    if (microphone()) {
        log("opusStreamCreateNotification:microphone Already initialized");
        return;
    }
    const auto stream = std::static_pointer_cast<OpusAudio>(notification.object);
    if (!stream) {
        log("opusStreamCreateNotification:Stream is nill");
        return;
    }
    {
        std::lock_guard lock(mutex_);
        opusStream_ = stream;
    }
    {
        std::lock_guard lock(route_->mutex);
        route_->opusStream = stream;
    }
    stream->setDelegate(std::weak_ptr<OpusStreamHandler>(shared_from_this()));
    setupMicrophone();
    setupOutput(true);
    log("opusStreamCreateNotification:call startPlayback");
    if (const auto out = output()) {
        out->startPlayback();
    }
}

// Every announced stream of a matching type is adopted: a later receive stream replaces the
// output, the decoder and the ring.
void VMRemoteAudioHandler::remoteAudioStreamCreateNotification(const Notification& notification) {
    const auto stream = std::static_pointer_cast<RemoteAudio>(notification.object);
    const std::string type = stream ? stream->streamType().value_or("") : "";
    const std::string compression = stream ? stream->compression().value_or("") : "";
    log("remoteAudioStreamCreateNotification:userInfo:sender:[{}] streamType:[{}] compression:[{}]",
        sender(notification), type, compression);
    if (!stream) {
        log("remoteAudioStreamCreateNotification:Stream is nill");
        return;
    }
    if (type == "remote_audio_rx") {
        {
            std::lock_guard lock(mutex_);
            remoteAudioRxStream_ = stream;
        }
        stream->setDelegate(std::weak_ptr<RemoteAudioHandler>(shared_from_this()));
        setupOutput(strcasecmp(compression.c_str(), "NONE") != 0);
        log("remoteAudioStreamCreateNotification:streamIdRX: {} call startPlayback",
            stream->streamIdRX());
        if (const auto out = output()) {
            out->startPlayback();
        }
    } else if (type == "remote_audio_tx") {
        {
            std::lock_guard lock(mutex_);
            remoteAudioTxStream_ = stream;
        }
        {
            std::lock_guard lock(route_->mutex);
            route_->txStream = stream;
        }
        stream->setDelegate(std::weak_ptr<RemoteAudioHandler>(shared_from_this()));
        if (!microphone()) {
            log("remoteAudioStreamCreateNotification:streamIdTX: {} call setupMicrophone",
                stream->streamIdTX());
            setupMicrophone();
        }
    } else {
        log("remoteAudioStreamCreateNotification:streamType:[{}]", type);
    }
}

void VMRemoteAudioHandler::stopAudioStream() {
    log("stopAudioStream");
    stopFiles();
    const auto radio = radio_.lock();
    if (radio && radioSupportsV3()) {
        const auto rx = remoteAudioRxStream();
        log("stopAudioStreamRX:[{}]", rx ? rx->streamIdRX() : "");
        if (rx) {
            radio->cmdRemoveRemoteAudioStream(rx->streamIdRX());
        }
        const auto tx = remoteAudioTxStream();
        log("stopAudioStreamTX:[{}]", tx ? tx->streamIdTX() : "");
        if (tx) {
            radio->cmdRemoveRemoteAudioStream(tx->streamIdTX());
        }
    }
    if (const auto out = output()) {
        out->stopPlayback();
    }
}

std::shared_ptr<AudioOutput> VMRemoteAudioHandler::output() const {
    std::lock_guard lock(mutex_);
    return output_;
}

std::shared_ptr<Microphone> VMRemoteAudioHandler::microphone() const {
    std::lock_guard lock(mutex_);
    return microphone_;
}

std::shared_ptr<RemoteAudioPlayback> VMRemoteAudioHandler::playback() const {
    std::lock_guard lock(mutex_);
    return playback_;
}

bool VMRemoteAudioHandler::compressedRx() const {
    const auto current = playback();
    return current && current->compressed();
}

std::uint64_t VMRemoteAudioHandler::overRuns() const {
    const auto current = playback();
    return current ? current->overRuns() : 0;
}

std::shared_ptr<OpusAudio> VMRemoteAudioHandler::opusStream() const {
    std::lock_guard lock(mutex_);
    return opusStream_.lock();
}

std::shared_ptr<RemoteAudio> VMRemoteAudioHandler::remoteAudioRxStream() const {
    std::lock_guard lock(mutex_);
    return remoteAudioRxStream_.lock();
}

std::shared_ptr<RemoteAudio> VMRemoteAudioHandler::remoteAudioTxStream() const {
    std::lock_guard lock(mutex_);
    return remoteAudioTxStream_.lock();
}

}  // namespace vm
