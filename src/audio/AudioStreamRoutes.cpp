// The session's side of the audio streams. "stream" lines of this client make and feed the
// remote-audio streams of radios with the V3 interface, "opus_stream" lines the one Opus stream of
// older radios; DAX streams are filed by the reply to their create command and fed, or taken away,
// by "audio_stream" and "tx_audio_stream" lines. "mic_audio_stream" and "daxiq" lines are read and
// kept nowhere. The stream router finds all three kinds by stream id.
#include "audio/AudioStreamRoutes.h"
#include "audio/DAXAudio.h"
#include "audio/OpusAudio.h"
#include "audio/RemoteAudio.h"
#include "platform/core/CharacterSet.h"
#include "platform/core/Log.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/TextValues.h"
#include "radio/Radio.h"

#include <algorithm>
#include <initializer_list>
#include <map>

namespace vm {

namespace {

// The stream id at the scanner, as its table key; the scanner stays just after the id.
std::string readStreamId(Scanner& scan) {
    static const CharacterSet blank = CharacterSet::fromString(" ");
    std::string id;
    scan.scanUpToCharactersFromSet(blank, &id);
    return Radio::reformatStreamId(id);
}

// Every "key=value" pair to the end of the line (a value may be empty, a key without "=" reads
// with the empty value). Keys not in `keys` are logged with `unknownKey`.
std::map<std::string, std::string> readPairs(Scanner& scan,
                                             std::initializer_list<std::string_view> keys,
                                             std::string_view unknownKey) {
    static const CharacterSet keyEnd = CharacterSet::fromString("= \n");
    static const CharacterSet valueEnd = CharacterSet::fromString(" \n");
    std::map<std::string, std::string> pairs;
    scan.setCharactersToBeSkipped(std::nullopt);
    scan.scanCharactersFromSet(valueEnd);
    while (!scan.isAtEnd()) {
        std::string key;
        std::string value;
        scan.scanUpToCharactersFromSet(keyEnd, &key);
        if (scan.scanString("=")) {
            scan.scanUpToCharactersFromSet(valueEnd, &value);
        }
        scan.scanCharactersFromSet(valueEnd);
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
            logLine(fmt::format(fmt::runtime(unknownKey), key));
            continue;
        }
        pairs[key] = value;
    }
    return pairs;
}

template <class T>
std::shared_ptr<T> findStream(ObjectsById<T>& table, const std::string& key) {
    return table.with([&](const auto& byId) {
        const auto found = byId.find(key);
        return found == byId.end() ? nullptr : found->second;
    });
}

// The text-keyed collection is what the application reads; the stream router finds the same owner
// by the id's number. The two change together.
template <class T>
void fileStream(ObjectsById<T>& table, VitaStreamRoutes<VitaStreamHandler>& routes,
                const std::string& key, const std::shared_ptr<T>& stream) {
    table.with([&](auto& byId) { byId[key] = stream; });
    routes.insert(Radio::intFromHexString(key), stream);
}

template <class T>
void unfileStream(ObjectsById<T>& table, VitaStreamRoutes<VitaStreamHandler>& routes,
                  const std::string& key) {
    table.with([&](auto& byId) { byId.erase(key); });
    routes.erase(Radio::intFromHexString(key));
}

void postOnMain(std::string name, std::shared_ptr<void> object, std::string sender = {}) {
    DispatchQueue::main()->async(
        [name = std::move(name), object = std::move(object), sender = std::move(sender)] {
            std::map<std::string, std::any> info;
            if (!sender.empty()) {
                info["sender"] = sender;
            }
            NotificationCenter::defaultCenter().post(name, object, std::move(info));
        });
}

void parseStreamToken(Radio& radio, Scanner& scan, bool selfStatus) {
    if (!selfStatus) {
        return;
    }
    const std::string key = readStreamId(scan);
    const auto pairs = readPairs(
        scan, {"type", "compression", "client_handle", "dax_iq", "pan", "rate", "removed", "ip"},
        "Radio:parseStreamToken:Unrecognized token:[{}]");
    const auto table = radio.remoteAudioStreamHandlers();
    if (pairs.contains("removed")) {
        // Whatever else the line says (its type, say): a removed stream is never made again.
        unfileStream(*table, radio.streamTables().remoteAudioStreamHandlers, key);
        return;
    }
    const auto value = [&](const char* name) {
        const auto found = pairs.find(name);
        return found == pairs.end() ? std::string() : found->second;
    };
    const std::string type = value("type");
    if (type != "remote_audio_rx" && type != "remote_audio_tx") {
        return;
    }
    std::shared_ptr<RemoteAudio> stream = findStream(*table, key);
    if (!stream) {
        stream = RemoteAudio::create();
        stream->streamType.store(type);
        stream->ip.store(value("ip"));
        stream->compression.store(value("compression"));
        stream->attachedRadio(radio.shared_from_this(), key);
        log("parseStreamToken:Create the RemoteAudio handler, send stream created "
            "notification:type:{} compression:{} ip:{}",
            type, value("compression"), value("ip"));
        fileStream(*table, radio.streamTables().remoteAudioStreamHandlers, key, stream);
        postOnMain("com.velmorasoftware.doro.remote_audio_stream_created", stream,
                   "Radio:parseStreamToken");
    }
    stream->statusParser(scan, selfStatus);
}

void parseOpusStreamToken(Radio& radio, Scanner& scan, bool selfStatus) {
    if (!selfStatus) {
        return;
    }
    const std::string key = readStreamId(scan);
    const auto table = radio.opusAudioStreamHandlers();
    std::shared_ptr<OpusAudio> stream = findStream(*table, key);
    if (!stream) {
        log("parseOpusStreamToken:Create the OpusAudio handler, send stream created notification");
        stream = OpusAudio::create();
        stream->attachedRadio(radio.shared_from_this(), key);
        fileStream(*table, radio.streamTables().opusAudioStreamHandlers, key, stream);
        postOnMain("com.velmorasoftware.doro.opus_stream_created", stream,
                   "Radio:parseOpusStreamToken");
    }
    stream->statusParser(scan, selfStatus);
}

// Announced before the entry goes, so that an observer still finds the stream's id filed.
void removeDaxStream(Radio& radio, const std::string& key,
                     const std::shared_ptr<DAXAudio>& stream) {
    postOnMain("AudioStreamDeleted", stream);
    bool filed = false;
    radio.daxAudioStreamToStreamHandler()->with([&](auto& byId) {
        const auto found = byId.find(key);
        if (found != byId.end() && found->second == stream) {
            byId.erase(found);
            filed = true;
        }
    });
    if (filed) {
        radio.streamTables().daxAudioStreamToStreamHandler.erase(Radio::intFromHexString(key));
    }
}

void parseAudioStreamToken(Radio& radio, Scanner& scan, bool selfStatus) {
    const std::string key = readStreamId(scan);
    const auto stream = findStream(*radio.daxAudioStreamToStreamHandler(), key);
    if (!stream) {
        return;
    }
    if (scan.string().find("in_use=0") != std::string::npos) {
        removeDaxStream(radio, key, stream);
        return;
    }
    stream->statusParser(scan, selfStatus);
}

void parseTxAudioStreamToken(Radio& radio, Scanner& scan, bool selfStatus) {
    if (!selfStatus) {
        return;
    }
    const std::string key = readStreamId(scan);
    const auto pairs = readPairs(scan, {"in_use", "dax_tx", "ip", "port", "client_handle"},
                                 "Radio:parseTxAudioStreamToken:Unrecognized token:[{}]");
    const auto stream = findStream(*radio.daxAudioStreamToStreamHandler(), key);
    if (!stream) {
        return;
    }
    const auto inUse = pairs.find("in_use");
    if (inUse != pairs.end() && textBoolValue(inUse->second)) {
        stream->statusParser(scan, selfStatus);
    } else {
        removeDaxStream(radio, key, stream);
    }
}

void parseMicAudioStreamToken(Radio& /*radio*/, Scanner& scan, bool selfStatus) {
    if (selfStatus) {
        readStreamId(scan);
        readPairs(scan, {"in_use", "ip", "port"},
                  "Radio:parseMicAudioStreamToken:Unrecognized token:[{}]");
    }
}

void parseDaxIQToken(Radio& /*radio*/, Scanner& scan, bool selfStatus) {
    if (selfStatus) {
        readStreamId(scan);
        readPairs(scan, {"pan", "rate", "capacity", "available"},
                  "Radio:parseDaxIQToken:Unrecognized token:[{}]");
    }
}

// The reply to a DAX stream request: the new stream, filed under its id and announced.
void makeDaxStream(Radio& radio, const std::string& key) {
    const auto stream = DAXAudio::create();
    stream->attachedRadio(radio.shared_from_this(), key);
    fileStream(*radio.daxAudioStreamToStreamHandler(),
               radio.streamTables().daxAudioStreamToStreamHandler, key, stream);
    postOnMain("AudioStreamCreated", stream);
}

}  // namespace

void attachAudioStreams(Radio& radio) {
    radio.routeStatus(kStatusStream, parseStreamToken);
    radio.routeStatus(kStatusOpusStream, parseOpusStreamToken);
    radio.routeStatus(kStatusAudioStream, parseAudioStreamToken);
    radio.routeStatus(kStatusTxAudioStream, parseTxAudioStreamToken);
    radio.routeStatus(kStatusMicAudioStream, parseMicAudioStreamToken);
    radio.routeStatus(kStatusDaxIQ, parseDaxIQToken);
    radio.makeDaxStreamsWith(makeDaxStream);
}

}  // namespace vm
