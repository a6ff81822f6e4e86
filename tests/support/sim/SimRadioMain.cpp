// simradio: the simulated radio, started by hand. It listens for command sessions on loopback,
// answers the start-up questions and the commands of its equalizers, notch filters and
// transverters, announces itself by discovery to a loopback port once per interval, and prints
// every command and datagram it receives until interrupted.
#include "support/sim/SimRadio.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

volatile std::sig_atomic_t gStop = 0;

void onSignal(int) { gStop = 1; }

void usage() {
    std::fprintf(
        stderr,
        "usage: simradio [--address A] [--port N] [--udp-port N]\n"
        "                [--discovery-address A] [--discovery-port N] [--interval SECONDS]\n"
        "                [--serial S] [--nickname N] [--model M] [--version V] [--callsign C]\n"
        "Every address must be IPv4 loopback (127.0.0.0/8). Defaults: address 127.0.0.1,\n"
        "any free ports, discovery to 127.0.0.1:4992 every second.\n");
}

bool parsePort(const char* text, uint16_t& port) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (*text == '\0' || *end != '\0' || value > 65535) {
        return false;
    }
    port = static_cast<uint16_t>(value);
    return true;
}

// Text as it is when printable, else its length and first bytes in hexadecimal.
std::string printable(const std::string& bytes) {
    bool text = true;
    for (const unsigned char c : bytes) {
        text = text && c >= 0x20 && c < 0x7F;
    }
    if (text) {
        return bytes;
    }
    std::string out = std::to_string(bytes.size()) + " bytes:";
    char hex[4];
    for (size_t i = 0; i < bytes.size() && i < 32; ++i) {
        std::snprintf(hex, sizeof hex, " %02X", static_cast<unsigned char>(bytes[i]));
        out += hex;
    }
    return out + (bytes.size() > 32 ? " ..." : "");
}

}  // namespace

int main(int argc, char** argv) {
    using vm::sim::SimRadio;
    vm::sim::SimRadioOptions options;
    vm::sim::Endpoint discovery{"127.0.0.1", 4992};
    unsigned interval = 1;
    for (int i = 1; i < argc; i += 2) {  // every option takes a value
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = value != nullptr;
        if (option == "--address" && ok) {
            options.address = value;
        } else if (option == "--port" && ok) {
            ok = parsePort(value, options.commandPort);
        } else if (option == "--udp-port" && ok) {
            ok = parsePort(value, options.udpPort);
        } else if (option == "--discovery-address" && ok) {
            discovery.address = value;
        } else if (option == "--discovery-port" && ok) {
            ok = parsePort(value, discovery.port);
        } else if (option == "--interval" && ok) {
            interval = static_cast<unsigned>(std::strtoul(value, nullptr, 10));
            ok = interval > 0;
        } else if (option == "--serial" && ok) {
            options.identity.serial = value;
        } else if (option == "--nickname" && ok) {
            options.identity.nickname = value;
        } else if (option == "--model" && ok) {
            options.identity.model = value;
        } else if (option == "--version" && ok) {
            options.identity.version = value;
        } else if (option == "--callsign" && ok) {
            options.identity.callsign = value;
        } else {
            ok = false;
        }
        if (!ok) {
            usage();
            return 2;
        }
    }
    if (!vm::sim::isLoopback(discovery.address)) {
        std::fprintf(stderr, "simradio: discovery address %s is not loopback\n",
                     discovery.address.c_str());
        return 2;
    }

    std::string error;
    auto radio = SimRadio::start(options, &error);
    if (!radio) {
        std::fprintf(stderr, "simradio: %s\n", error.c_str());
        return 1;
    }
    radio->scriptStartupReplies();
    radio->answerObjectCommands();
    radio->setCommandObserver([](const vm::sim::SimCommand& command) {
        const std::string seq = command.seq ? std::to_string(*command.seq) : "-";
        std::printf("session %d <- c%s|%s\n", command.session, seq.c_str(),
                    printable(command.text).c_str());
        std::fflush(stdout);
    });
    radio->setDatagramObserver([](const vm::sim::SimDatagram& datagram) {
        std::printf("udp %s:%u <- %s\n", datagram.from.address.c_str(), datagram.from.port,
                    printable(datagram.bytes).c_str());
        std::fflush(stdout);
    });

    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::printf(
        "simradio: %s \"%s\" serial %s: commands on %s:%u, streams from %s:%u, "
        "discovery to %s:%u every %u s\n",
        options.identity.model.c_str(), options.identity.nickname.c_str(),
        options.identity.serial.c_str(), radio->address().c_str(), radio->commandPort(),
        radio->address().c_str(), radio->udpPort(), discovery.address.c_str(), discovery.port,
        interval);
    std::fflush(stdout);

    while (!gStop) {
        if (!radio->announce(discovery)) {
            std::fprintf(stderr, "simradio: discovery to %s:%u failed\n", discovery.address.c_str(),
                         discovery.port);
        }
        for (unsigned tick = 0; tick < interval * 10 && !gStop; ++tick) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    std::printf("simradio: stopped\n");
    return 0;
}
