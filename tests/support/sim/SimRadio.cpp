#include "support/sim/SimRadio.h"

#include "support/sim/SimLines.h"

#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>

namespace vm::sim {

namespace {

bool wouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK; }

// The port of "client udpport <n>", when the command is that and names a usable port.
std::optional<uint16_t> udpPortCommand(std::string_view text) {
    constexpr std::string_view kCommand = "client udpport ";
    if (!text.starts_with(kCommand)) {
        return std::nullopt;
    }
    text.remove_prefix(kCommand.size());
    unsigned port = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (ec != std::errc() || end != text.data() + text.size() || port == 0 || port > 65535) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(port);
}

}  // namespace

// One accepted command connection, plain or TLS. The radio closes it in two steps: `closing`
// sends what is queued (and the close alert of a TLS session), then shuts the writing side (the
// client reads the end of the stream) and discards what the client still sends until it closes
// too, so the client never meets a reset.
struct SimRadio::Session {
    int number = 0;
    Fd fd;
    std::unique_ptr<SimTlsStream> tls;
    Endpoint peer;
    std::string in;
    std::string out;
    bool closing = false;
    bool writeShut = false;
    bool live() const { return fd.valid() && !closing && !writeShut; }
    // A TLS session sends nothing before its handshake, which reading drives.
    bool wantsPollOut() const {
        if (writeShut) {
            return false;
        }
        if (tls && tls->wantsWrite()) {
            return true;
        }
        return (!tls || tls->established()) && (!out.empty() || closing);
    }
    ssize_t receive(char* buffer, size_t size) {
        return tls && !writeShut ? tls->receive(buffer, size) : ::recv(fd.get(), buffer, size, 0);
    }
    ssize_t send(const std::string& bytes) {
        return tls ? tls->send(bytes.data(), bytes.size())
                   : ::send(fd.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
};

std::unique_ptr<SimRadio> SimRadio::start(SimRadioOptions options, std::string* error) {
    std::unique_ptr<SimRadio> radio(new SimRadio(std::move(options)));
    if (!radio->options_.tlsIdentityPem.empty()) {
        radio->tls_ = SimTlsContext::server(radio->options_.tlsIdentityPem, error);
        if (!radio->tls_) {
            return nullptr;
        }
    }
    const std::string& address = radio->options_.address;
    radio->listenFd_ = listenTcp({address, radio->options_.commandPort}, error);
    if (!radio->listenFd_.valid()) {
        return nullptr;
    }
    radio->udpFd_ = bindUdp({address, radio->options_.udpPort}, error);
    if (!radio->udpFd_.valid()) {
        return nullptr;
    }
    radio->wakeFd_.reset(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (!radio->wakeFd_.valid()) {
        if (error) {
            *error = "eventfd failed";
        }
        return nullptr;
    }
    radio->commandPort_ = localPort(radio->listenFd_.get());
    radio->udpPort_ = localPort(radio->udpFd_.get());
    radio->thread_ = std::thread([r = radio.get()] { r->run(); });
    return radio;
}

SimRadio::SimRadio(SimRadioOptions options) : options_(std::move(options)) {}

SimRadio::~SimRadio() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    if (thread_.joinable()) {
        wake();
        thread_.join();
    }
}

void SimRadio::wake() {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_.get(), &one, sizeof one);
}

void SimRadio::run() {
    std::vector<pollfd> fds;
    std::vector<Session*> polled;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                return;
            }
            fds.assign({{wakeFd_.get(), POLLIN, 0},
                        {listenFd_.get(), POLLIN, 0},
                        {udpFd_.get(), POLLIN, 0}});
            polled.clear();
            for (const auto& session : sessions_) {
                if (session->fd.valid()) {
                    const short events = POLLIN | (session->wantsPollOut() ? POLLOUT : 0);
                    fds.push_back({session->fd.get(), events, 0});
                    polled.push_back(session.get());
                }
            }
        }
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) {
            return;
        }
        Events events;
        std::function<void(const SimCommand&)> commandObserver;
        std::function<void(const SimDatagram&)> datagramObserver;
        {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                return;
            }
            if (fds[0].revents) {
                uint64_t count = 0;
                [[maybe_unused]] const ssize_t read = ::read(wakeFd_.get(), &count, sizeof count);
            }
            if (fds[1].revents & POLLIN) {
                acceptSessions();
            }
            if (fds[2].revents & POLLIN) {
                readDatagrams(events);
            }
            for (size_t i = 0; i < polled.size(); ++i) {
                if (fds[i + 3].revents & (POLLIN | POLLHUP | POLLERR)) {
                    readSession(*polled[i], events);
                }
            }
            for (const auto& session : sessions_) {
                writeSession(*session);
            }
            commandObserver = commandObserver_;
            datagramObserver = datagramObserver_;
        }
        changed_.notify_all();
        for (const SimCommand& command : events.commands) {
            if (commandObserver) {
                commandObserver(command);
            }
        }
        for (const SimDatagram& datagram : events.datagrams) {
            if (datagramObserver) {
                datagramObserver(datagram);
            }
        }
    }
}

void SimRadio::acceptSessions() {
    for (;;) {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        const int fd = ::accept4(listenFd_.get(), reinterpret_cast<sockaddr*>(&peer), &length,
                                 SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        auto session = std::make_unique<Session>();
        session->number = static_cast<int>(sessions_.size()) + 1;
        session->fd.reset(fd);
        if (tls_) {
            session->tls = std::make_unique<SimTlsStream>(*tls_, fd);
        }
        session->peer = endpointOf(peer);
        const RadioIdentity& id = options_.identity;
        session->out = "V" + id.protocolVersion + "\nH" + id.handle + "\n";
        sessions_.push_back(std::move(session));
    }
}

void SimRadio::readDatagrams(Events& events) {
    std::string buffer(65536, '\0');
    for (;;) {
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t n = ::recvfrom(udpFd_.get(), buffer.data(), buffer.size(), 0,
                                     reinterpret_cast<sockaddr*>(&from), &length);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        SimDatagram datagram{endpointOf(from), buffer.substr(0, static_cast<size_t>(n))};
        if (datagram.bytes.starts_with("client udp_register ")) {
            streamDestination_ = datagram.from;
        }
        recordTransmitAudio(datagram.bytes);
        datagrams_.push_back(datagram);
        events.datagrams.push_back(std::move(datagram));
    }
}

void SimRadio::recordTransmitAudio(std::string_view bytes) {
    const auto packet = readStreamPacket(bytes);
    if (!packet || packet->packetClassCode != kClassOpus) {
        return;
    }
    auto& decoder = transmitDecoders_[packet->streamId];
    if (!decoder) {
        decoder = std::make_unique<SimOpusDecoder>();
    }
    const auto pcm = decoder->decode(packet->payload);
    auto& recorded = transmitAudio_[packet->streamId];
    recorded.insert(recorded.end(), pcm.begin(), pcm.end());
}

std::vector<std::int16_t> SimRadio::transmitAudio(uint32_t streamId) const {
    std::lock_guard lock(mutex_);
    const auto found = transmitAudio_.find(streamId);
    return found == transmitAudio_.end() ? std::vector<std::int16_t>() : found->second;
}

void SimRadio::readSession(Session& session, Events& events) {
    char buffer[16384];
    for (;;) {
        const ssize_t n = session.receive(buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && wouldBlock()) {
            return;
        }
        if (n <= 0) {  // the client closed, or the connection failed
            session.fd.reset();
            return;
        }
        if (session.writeShut) {
            continue;  // the radio has hung up: what the client still says is discarded
        }
        session.in.append(buffer, static_cast<size_t>(n));
        size_t start = 0;
        for (size_t lf; (lf = session.in.find('\n', start)) != std::string::npos; start = lf + 1) {
            handleLine(session, std::string_view(session.in).substr(start, lf - start), events);
        }
        session.in.erase(0, start);
        if (session.in.size() > kMaxLine) {
            session.fd.reset();
            return;
        }
    }
}

void SimRadio::writeSession(Session& session) {
    if (!session.fd.valid() || session.writeShut) {
        return;
    }
    if (session.closing && session.tls && !session.tls->established()) {
        session.out.clear();  // hung up during the handshake: nothing can be sent
    }
    while (!session.out.empty()) {
        const ssize_t n = session.send(session.out);
        if (n > 0) {
            session.out.erase(0, static_cast<size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && wouldBlock()) {
            return;
        } else {
            session.fd.reset();
            return;
        }
    }
    if (session.closing) {
        if (session.tls) {
            session.tls->close();
        }
        ::shutdown(session.fd.get(), SHUT_WR);
        session.writeShut = true;
    }
}

void SimRadio::handleLine(Session& session, std::string_view line, Events& events) {
    CommandLine parsed = parseCommandLine(line);
    SimCommand command{session.number, parsed.seq, std::move(parsed.text)};
    if (command.seq) {
        const auto rule = std::find_if(rules_.rbegin(), rules_.rend(), [&](const Rule& r) {
            return r.prefix ? command.text.starts_with(r.pattern) : command.text == r.pattern;
        });
        const SimReply answer = rule == rules_.rend() ? SimReply{} : rule->reply;
        if (!answer.silent) {
            session.out += replyLine(*command.seq, answer.code, answer.data) + "\n";
        }
        if (objects_) {
            for (const std::string& text : objects_->answer(command.text)) {
                session.out += statusLine(options_.identity.handle, text) + "\n";
            }
        }
        if (const auto port = udpPortCommand(command.text)) {
            streamDestination_ = Endpoint{session.peer.address, *port};
        }
    }
    commands_.push_back(command);
    events.commands.push_back(std::move(command));
}

// --- Replies

void SimRadio::reply(const std::string& command, SimReply reply) {
    std::lock_guard lock(mutex_);
    rules_.push_back({command, false, std::move(reply)});
}

void SimRadio::replyPrefix(const std::string& prefix, SimReply reply) {
    std::lock_guard lock(mutex_);
    rules_.push_back({prefix, true, std::move(reply)});
}

void SimRadio::scriptStartupReplies() {
    const RadioIdentity& id = options_.identity;
    reply("info", {"0", infoReplyData(id)});
    reply("version", {"0", versionReplyData(id)});
    reply("ant list", {"0", listReplyData(id.antennas)});
    reply("mic list", {"0", listReplyData(id.microphones)});
    replyPrefix("client gui", {"0", id.clientId});
}

void SimRadio::answerObjectCommands() {
    std::lock_guard lock(mutex_);
    if (!objects_) {
        objects_ = std::make_unique<SimObjects>();
    }
}

void SimRadio::scriptPanafallCreate(uint32_t panafallId, uint32_t waterfallId) {
    replyPrefix("display panafall create",
                {"0", streamIdText(panafallId) + "," + streamIdText(waterfallId)});
}

// --- Transcript

template <typename Predicate>
bool SimRadio::waitUntil(std::chrono::milliseconds timeout, Predicate predicate) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, predicate);
}

std::vector<SimCommand> SimRadio::commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
}

std::vector<std::string> SimRadio::commandTexts() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> texts;
    for (const SimCommand& command : commands_) {
        texts.push_back(command.text);
    }
    return texts;
}

std::optional<SimCommand> SimRadio::waitForCommand(const std::string& text,
                                                   std::chrono::milliseconds timeout) {
    std::optional<SimCommand> found;
    waitUntil(timeout, [&] {
        const auto it = std::find_if(commands_.begin(), commands_.end(),
                                     [&](const SimCommand& c) { return c.text == text; });
        if (it != commands_.end()) {
            found = *it;
        }
        return found.has_value();
    });
    return found;
}

bool SimRadio::waitForCommandCount(size_t count, std::chrono::milliseconds timeout) {
    return waitUntil(timeout, [&] { return commands_.size() >= count; });
}

int SimRadio::sessionCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(sessions_.size());
}

bool SimRadio::waitForSessions(int count, std::chrono::milliseconds timeout) {
    return waitUntil(timeout, [&] { return static_cast<int>(sessions_.size()) >= count; });
}

int SimRadio::liveSessionCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(sessions_.begin(), sessions_.end(),
                                          [](const auto& session) { return session->live(); }));
}

bool SimRadio::sessionOpen() const {
    std::lock_guard lock(mutex_);
    return !sessions_.empty() && sessions_.back()->live();
}

// --- Lines

SimRadio::Session* SimRadio::latestOpenSession() {
    const auto it = std::find_if(sessions_.rbegin(), sessions_.rend(),
                                 [](const auto& session) { return session->live(); });
    return it == sessions_.rend() ? nullptr : it->get();
}

bool SimRadio::queueToLatest(std::string bytes) {
    {
        std::lock_guard lock(mutex_);
        Session* session = latestOpenSession();
        if (!session) {
            return false;
        }
        session->out += bytes;
    }
    wake();
    return true;
}

bool SimRadio::sendLine(std::string_view line) { return queueToLatest(std::string(line) + "\n"); }

bool SimRadio::sendRaw(std::string_view bytes) { return queueToLatest(std::string(bytes)); }

bool SimRadio::sendStatus(std::string_view text) {
    return sendStatusFrom(options_.identity.handle, text);
}

bool SimRadio::sendStatusFrom(std::string_view handle, std::string_view text) {
    return sendLine(statusLine(handle, text));
}

bool SimRadio::sendMessage(std::string_view code, std::string_view text) {
    return sendLine(messageLine(code, text));
}

bool SimRadio::closeSession() {
    {
        std::lock_guard lock(mutex_);
        Session* session = latestOpenSession();
        if (!session) {
            return false;
        }
        session->closing = true;
    }
    wake();
    return true;
}

// --- Discovery

DiscoveryFields SimRadio::discoveryFields() const {
    return vm::sim::discoveryFields(options_.identity, options_.address, commandPort_);
}

bool SimRadio::announce(const Endpoint& to) { return announce(to, discoveryFields()); }

bool SimRadio::announce(const Endpoint& to, const DiscoveryFields& fields) {
    return sendTo(to, discoveryPacket(fields));
}

bool SimRadio::announceLegacy(const Endpoint& to) {
    const RadioIdentity& id = options_.identity;
    return sendTo(to, legacyDiscoveryPacket(id.model, id.serial, id.nickname));
}

// --- Streams

std::optional<Endpoint> SimRadio::streamDestination() const {
    std::lock_guard lock(mutex_);
    return streamDestination_;
}

bool SimRadio::setStreamDestination(const Endpoint& to) {
    if (!isLoopback(to.address)) {
        return false;
    }
    {
        std::lock_guard lock(mutex_);
        streamDestination_ = to;
    }
    changed_.notify_all();
    return true;
}

bool SimRadio::waitForStreamDestination(std::chrono::milliseconds timeout) {
    return waitUntil(timeout, [&] { return streamDestination_.has_value(); });
}

bool SimRadio::sendMeters(const std::vector<MeterValue>& values, uint32_t streamId) {
    return sendStream(kClassMeter, streamId, meterPayload(values));
}

bool SimRadio::sendFft(uint32_t streamId, const FftFrame& frame) {
    return sendStream(kClassPanFft, streamId, fftPayload(frame));
}

bool SimRadio::sendWaterfall(uint32_t streamId, const WaterfallTile& tile) {
    return sendStream(kClassWaterfall, streamId, waterfallPayload(tile));
}

bool SimRadio::sendFftFrame(uint32_t streamId, const std::vector<uint16_t>& bins,
                            uint32_t frameIndex, size_t packets, bool olderLayout) {
    for (const std::string& payload : fftFramePayloads(bins, frameIndex, packets, olderLayout)) {
        if (!sendStream(kClassPanFft, streamId, payload)) {
            return false;
        }
    }
    return true;
}

bool SimRadio::sendWaterfallLine(uint32_t streamId, const WaterfallTile& line, size_t segments) {
    for (const std::string& payload : waterfallLinePayloads(line, segments)) {
        if (!sendStream(kClassWaterfall, streamId, payload)) {
            return false;
        }
    }
    return true;
}

bool SimRadio::sendOpus(uint32_t streamId, std::string_view bytes) {
    return sendStream(kClassOpus, streamId, bytes);
}

bool SimRadio::sendDax(uint32_t streamId, std::string_view bytes) {
    return sendStream(kClassDaxAudio, streamId, bytes);
}

bool SimRadio::sendStream(uint16_t classCode, uint32_t streamId, std::string_view payload) {
    Endpoint to;
    uint8_t count = 0;
    {
        std::lock_guard lock(mutex_);
        if (!streamDestination_) {
            return false;
        }
        to = *streamDestination_;
        uint8_t& next = packetCounts_[streamId];
        count = next;
        next = (next + 1) & 0xF;
    }
    return sendTo(to, encodeVita(streamHeader(classCode, streamId, count), payload));
}

bool SimRadio::sendPacket(const VitaHeader& header, std::string_view payload) {
    return sendDatagram(encodeVita(header, payload));
}

bool SimRadio::sendMalformed(Malformation kind, uint16_t classCode, uint32_t streamId) {
    return sendDatagram(malformedPacket(kind, classCode, streamId));
}

bool SimRadio::sendDatagram(std::string_view bytes) {
    const std::optional<Endpoint> to = streamDestination();
    return to && sendTo(*to, bytes);
}

bool SimRadio::sendTo(const Endpoint& to, std::string_view bytes) {
    sockaddr_in address{};
    if (!loopbackSockaddr(to, address, nullptr)) {
        return false;
    }
    const ssize_t n = ::sendto(udpFd_.get(), bytes.data(), bytes.size(), 0,
                               reinterpret_cast<const sockaddr*>(&address), sizeof address);
    return n == static_cast<ssize_t>(bytes.size());
}

std::vector<SimDatagram> SimRadio::datagrams() const {
    std::lock_guard lock(mutex_);
    return datagrams_;
}

bool SimRadio::waitForDatagramCount(size_t count, std::chrono::milliseconds timeout) {
    return waitUntil(timeout, [&] { return datagrams_.size() >= count; });
}

void SimRadio::setCommandObserver(std::function<void(const SimCommand&)> observer) {
    std::lock_guard lock(mutex_);
    commandObserver_ = std::move(observer);
}

void SimRadio::setDatagramObserver(std::function<void(const SimDatagram&)> observer) {
    std::lock_guard lock(mutex_);
    datagramObserver_ = std::move(observer);
}

}  // namespace vm::sim
