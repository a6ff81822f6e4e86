#pragma once
// A serial port opened for exclusive use, raw, at a given speed with 8 data bits, no parity, one
// stop bit and no flow control, DTR and RTS raised. A reader thread hands what arrives to a
// dispatch queue; writes go straight to the descriptor from any thread. Every step logs its line
// ("openSerialPort:...", "configureSerialPort:...", "closeSerialPort:..."); the lines marked as
// debug output only when `debug` is set.
#include "platform/core/Bytes.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Error.h"
#include "platform/core/ReadableWatcher.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vm {

class SerialPort {
public:
    struct Options {
        int baud = 9600;
        bool debug = false;           // write the debug lines
        bool pseudoTerminal = false;  // only told in the debug log
    };

    // Opens `path` for reading and writing without blocking. nullptr when it cannot be opened or
    // the speed is not one the terminal interface knows; failures of the exclusive claim, the
    // settings or the handshake lines are logged and the port stays open.
    static std::unique_ptr<SerialPort> open(const std::string& path, const Options& options,
                                            Error* error = nullptr);

    ~SerialPort();  // stops the reader and closes the descriptor
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    const std::string& path() const { return path_; }
    int fd() const { return fd_.load(); }

    // What has arrived so far, up to `max` bytes, without waiting; empty when nothing has.
    Bytes readAvailable(std::size_t max);

    // Writes every byte, waiting up to one second at a time for room. False on an error.
    bool write(std::string_view bytes, Error* error = nullptr);

    // Starts the reader thread: each read is handed to `onData` on `queue`, in order; the end of
    // the stream (0) or a read error (its errno) to `onEnd`, once. False when reading already
    // runs or the thread cannot start. Nothing is handed on once stopReading() has returned.
    using DataHandler = std::function<void(const Bytes&)>;
    using EndHandler = std::function<void(int error)>;
    bool startReading(DispatchQueuePtr queue, DataHandler onData, EndHandler onEnd);
    void stopReading();
    bool reading() const { return reader_.running(); }

    // Waits until everything written has gone out. `name` names the device in the log lines.
    bool drain(const std::string& name, bool debug);
    // Stops the reader and closes the descriptor.
    bool close(const std::string& name);

private:
    SerialPort(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
    void configure(int baud);
    void raiseHandshakeLines();

    const std::string path_;
    std::atomic<int> fd_{-1};  // -1 once closed; read by writers on other queues
    ReadableWatcher reader_;
    std::shared_ptr<std::atomic<bool>> delivering_;  // cleared by stopReading()
};

}  // namespace vm
