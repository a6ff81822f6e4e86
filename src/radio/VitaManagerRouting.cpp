// The receive path: checks of each datagram, and routing by packet class code and stream id.
#include "platform/core/Log.h"
#include "radio/Radio.h"
#include "radio/VitaManager.h"

#include <string>

namespace vm {

namespace {

std::int16_t signed16At(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(u[0] << 8 | u[1]));
}

}  // namespace

std::string VitaManager::vitaClassCodeToString(std::uint16_t code) {
    switch (code) {
        case kVitaMeter: return "VS_Meter";
        case kVitaPanFft: return "VS_PAN_FFT";
        case kVitaWaterfall: return "VS_Waterfall";
        case kVitaOpus: return "VS_Opus";
        case kVitaDaxAudio: return "VS_DAX_Audio";
        case kVitaDaxIq24: return "DAX_IQ_24Khz";
        case kVitaDaxIq48: return "DAX_IQ_48Khz";
        case kVitaDaxIq96: return "DAX_IQ_96Khz";
        case kVitaDaxIq192: return "DAX_IQ_192KHz";
        case kVitaDiscovery: return "VS_Discovery";
        default: return "Unknown Class Code";
    }
}

void VitaManager::receiveDatagram(const Bytes& data) {
    if (data.size() < kMinimumDatagram) {
        log("VitaManager:didReceiveData:data length short:[{}]", data.size());
        return;
    }
    // Decoded where it lies: a handler that keeps bytes of the packet copies them.
    VITA packet{std::string_view(data)};
    packet.fversion = fversion_;
    if (packet.oui != kVitaOui) {
        log("VitaManager:didReceiveData:not oui:[{:x}]", packet.oui);
        return;
    }
    if (!packet.payload) {
        log("VitaManager:didReceiveData:header does not fit the datagram:[{}]",
            packet.description());
        return;
    }
    if (!vitaPacketReceived_.load()) {
        log("VitaManager:udpSuccessfulRegistration: [{} {} {}]", packet.packetType,
            vitaClassCodeToString(packet.packetClassCode), data.size());
        vitaPacketReceived_.store(true);
    }
    if (packet.packetType == 1) {
        return;
    }
    if (packet.packetType != 3) {
        log("VitaManager:Unrecognized vita packet:[{:x}] val:[{}]", packet.packetType,
            packet.description());
        return;
    }
    routeStreamPacket(packet);
}

void VitaManager::routeStreamPacket(const VITA& packet) {
    if (!tables_) {
        return;
    }
    routes_.update(*tables_);
    switch (packet.packetClassCode) {
        case kVitaMeter: meterStreamHandler(packet); break;
        case kVitaPanFft: callHandler(routes_.panafalls, packet); break;
        case kVitaWaterfall: callHandler(routes_.waterfalls, packet); break;
        case kVitaOpus:
            callHandler(
                supportsV3_ ? routes_.remoteAudioStreamHandlers : routes_.opusAudioStreamHandlers,
                packet);
            break;
        case kVitaDaxAudio:
            if (supportsV3_) {
                callHandler(routes_.remoteAudioStreamHandlers, packet);
            } else {
                // Older radios: the DAX object is fed while its table stays locked.
                tables_->daxAudioStreamToStreamHandler.visit(packet.streamId,
                                                             [&](VitaStreamHandler* handler) {
                                                                 if (handler) {
                                                                     handler->streamHandler(packet);
                                                                 }
                                                             });
            }
            break;
        default:
            log("VitaManager:unrecognized packet:packetClassCode:[{}]", packet.packetClassCode);
    }
}

// Looks the stream up in the router's snapshot of its table, which keeps the handler alive.
void VitaManager::callHandler(const VitaRouteSnapshots::Routes& routes, const VITA& packet) {
    if (auto* handler = VitaStreamRoutes<VitaStreamHandler>::find(*routes, packet.streamId)) {
        handler->streamHandler(packet);
    }
}

// Pairs of big-endian signed 16-bit numbers, meter number then raw value; only whole pairs inside
// the payload are read, all in the router's snapshot of the meter table. The values reach their
// meters on the main queue, one call per value in the packets' order: the values of the packets
// that come before the main queue takes them travel together, carried there by one task.
void VitaManager::meterStreamHandler(const VITA& packet) {
    if (!packet.payload) {
        return;
    }
    const std::uint32_t pairs = packet.payloadLength / 4;
    const bool started = meterValues_->addWith([&](MeterValueBatch& batch) {
        const std::size_t before = batch.values.size();
        for (std::uint32_t i = 0; i < pairs; ++i) {
            const char* pair = packet.payload + std::size_t{i} * 4;
            if (auto* meter = VitaMeterRoutes::find(*routes_.meters, signed16At(pair))) {
                batch.values.emplace_back(meter, signed16At(pair + 2));
            }
        }
        if (batch.values.size() != before) {
            batch.keep(routes_.meters);
        }
    });
    if (started) {
        DispatchQueue::main()->async([values = meterValues_] {
            values->deliverBatch([](const MeterValueBatch& batch) {
                for (const auto& [meter, value] : batch.values) {
                    meter->updateMeter(value);
                }
            });
        });
    }
}

}  // namespace vm
