#pragma once
// What the stream router asks of the objects that own streams. Panadapters, waterfalls and the
// audio stream objects each take the packets of their stream; a meter takes its raw values.
namespace vm {

struct VITA;

class VitaStreamHandler {
public:
    virtual ~VitaStreamHandler() = default;
    // One decoded packet of the handler's stream, on the stream manager's queue. The packet and the
    // bytes it points into live for the call only: a handler that keeps bytes copies them.
    virtual void streamHandler(const VITA& packet) = 0;
};

class VitaManagerMeterUpdate {
public:
    virtual ~VitaManagerMeterUpdate() = default;
    // One raw, signed 16-bit meter value, on the main queue.
    virtual void updateMeter(int value) = 0;
};

}  // namespace vm
