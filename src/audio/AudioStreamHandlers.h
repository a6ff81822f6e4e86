#pragma once
// What the consumers of the audio streams implement: each takes the stream's frames, one call per
// received packet, on the stream object's run queue.
#include "radio/StreamFrame.h"

namespace vm {

// The remote-audio engine, for a RemoteAudio stream (radios with the V3 interface).
class RemoteAudioHandler {
public:
    virtual ~RemoteAudioHandler() = default;
    virtual void streamReceive(const StreamFrame& frame) = 0;
};

// The remote-audio engine, for the OpusAudio stream of older radios.
class OpusStreamHandler {
public:
    virtual ~OpusStreamHandler() = default;
    virtual void streamReceive(const StreamFrame& frame) = 0;
};

// A consumer of a DAX stream's audio (none in this program yet).
class DaxAudioStreamHandler {
public:
    virtual ~DaxAudioStreamHandler() = default;
    virtual void streamReceive(const StreamFrame& frame) = 0;
};

}  // namespace vm
