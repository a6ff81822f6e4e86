#pragma once
// A JACK server with its dummy driver, for tests that run the real PortAudio backend without a
// sound card: `jackd -n <name> -d dummy -r 48000 -p <period>` (480 frames, 10 ms, unless the
// test asks for another), started and stopped by the test. The
// server paces callbacks in real time. PortAudio's JACK host API reaches it through
// JACK_DEFAULT_SERVER; JACK_NO_START_SERVER keeps a client from starting a server of its own.
// The programs that use it run in namespaces of their own (private_jack_namespace.sh), so that the
// server's shared-memory registry is theirs alone; every wait on the server is bounded.
#include <sys/types.h>
#include <string>

namespace vm::test {

class JackServer {
public:
    JackServer() = default;
    ~JackServer() { stop(); }
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    // Starts the server under a name of this process and waits (5 s at most) until a client can
    // open it; then points this process's JACK clients at it. False with the reason in error():
    // jackd missing, ended early (its output is quoted) or not answering in time.
    bool start(int periodFrames = 480);
    void stop();
    const std::string& name() const { return name_; }
    const std::string& error() const { return error_; }

private:
    std::string serverLog() const;

    pid_t pid_ = -1;
    std::string name_;
    std::string logPath_;
    std::string error_;
};

}  // namespace vm::test
