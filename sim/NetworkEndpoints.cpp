#include "sim/NetworkEndpoints.h"

#include "camera/transport/ViscaIpPacket.h"
#include "sim/ViscaServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <algorithm>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::size_t kMaxClients = 8;

// A socket bound to 127.0.0.1:port (0: any free port); -1 on failure.
int Bind(int type, int port, int& bound, std::string& error)
{
    const int fd = ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::strerror(errno);
        return -1;
    }
    // A restarted server takes its TCP port back at once; a datagram port is never shared
    // (with the option on both, a second simulator would bind it too and get half the frames).
    const int one = 1;
    if (type == SOCK_STREAM)
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || (type == SOCK_STREAM && ::listen(fd, 4) != 0)
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        error = "port " + std::to_string(port) + ": " + std::strerror(errno);
        ::close(fd);
        return -1;
    }
    bound = ntohs(a.sin_port);
    return fd;
}

// Each frame of bytes (a server's answer may hold several).
std::vector<visca::Frame> Frames(const visca::Frame& bytes)
{
    std::vector<visca::Frame> frames;
    visca::FrameSplitter splitter(ViscaServer::kMaxFrameLength);
    splitter.Feed(bytes, [&](const visca::Frame& f) { frames.push_back(f); });
    if (frames.empty() && !bytes.empty())
        frames.push_back(bytes);  // noise (garble): sent as it is
    return frames;
}

// Tells senders apart: address and port.
std::string SenderName(const sockaddr_storage& from, socklen_t len)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&from);
    return std::string(bytes, bytes + std::min<std::size_t>(len, sizeof from));
}

} // namespace

bool NetworkEndpoints::Open(const NetworkPorts& ports, std::string& error)
{
    Close();
    m_bound = {};
    const auto open = [&](int port, int type, int& fd, int& bound) {
        if (port < 0)
            return true;
        fd = Bind(type, port, bound, error);
        return fd >= 0;
    };
    if (!open(ports.udp, SOCK_DGRAM, m_udp, m_bound.udp) || !open(ports.tcp, SOCK_STREAM, m_tcp, m_bound.tcp)
        || !open(ports.viscaIp, SOCK_DGRAM, m_ip, m_bound.viscaIp)) {
        Close();
        return false;
    }
    return true;
}

void NetworkEndpoints::Close()
{
    for (int* fd : {&m_udp, &m_tcp, &m_ip}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    for (const auto& c : m_clients)
        ::close(c->fd);
    m_clients.clear();
}

void NetworkEndpoints::AddPollFds(std::vector<pollfd>& fds) const
{
    for (int fd : {m_udp, m_tcp, m_ip})
        if (fd >= 0)
            fds.push_back({fd, POLLIN, 0});
    for (const auto& c : m_clients)
        fds.push_back({c->fd, POLLIN, 0});
}

void NetworkEndpoints::Service(const std::vector<pollfd>& fds, const Handler& handle, const Trace& trace,
                               const Deliver& deliver)
{
    std::vector<int> ready;
    for (const pollfd& p : fds)
        if (p.revents & (POLLIN | POLLHUP | POLLERR))
            ready.push_back(p.fd);
    const auto isReady = [&](int fd) { return fd >= 0 && std::find(ready.begin(), ready.end(), fd) != ready.end(); };
    if (isReady(m_udp))
        ServeUdp(handle, deliver);
    if (isReady(m_ip))
        ServeViscaIp(handle, trace, deliver);
    if (isReady(m_tcp))
        Accept();
    for (auto it = m_clients.begin(); it != m_clients.end();) {
        const std::shared_ptr<Client> client = *it;
        Client& c = *client;
        if (!isReady(c.fd)) {
            ++it;
            continue;
        }
        std::uint8_t buf[1024];
        const ssize_t got = ::recv(c.fd, buf, sizeof buf, 0);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
            ::close(c.fd);
            it = m_clients.erase(it);
            continue;
        }
        if (got > 0)
            c.splitter.Feed({buf, static_cast<size_t>(got)}, [&](const visca::Frame& f) {
                visca::Frame reply = handle(f);
                if (!reply.empty())
                    deliver(ToClient(client, std::move(reply)));
            });
        ++it;
    }
}

NetworkEndpoints::Sender NetworkEndpoints::ToClient(const std::shared_ptr<Client>& client, visca::Frame bytes) const
{
    // A client that has gone meanwhile gets nothing; its descriptor may be another's now.
    return [weak = std::weak_ptr<Client>(client), bytes = std::move(bytes)] {
        if (const auto c = weak.lock())
            [[maybe_unused]] ssize_t n = ::send(c->fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    };
}

void NetworkEndpoints::ServeUdp(const Handler& handle, const Deliver& deliver)
{
    std::uint8_t buf[1500];
    sockaddr_storage from{};
    socklen_t len = sizeof from;
    const ssize_t got = ::recvfrom(m_udp, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
    if (got <= 0)
        return;
    visca::FrameSplitter splitter(ViscaServer::kMaxFrameLength);
    splitter.Feed({buf, static_cast<size_t>(got)}, [&](const visca::Frame& f) {
        for (const visca::Frame& r : Frames(handle(f)))
            deliver([this, r, from, len] {
                if (m_udp >= 0)
                    ::sendto(m_udp, r.data(), r.size(), MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&from), len);
            });
    });
}

void NetworkEndpoints::ServeViscaIp(const Handler& handle, const Trace& trace, const Deliver& deliver)
{
    std::uint8_t buf[1500];
    sockaddr_storage from{};
    socklen_t len = sizeof from;
    const ssize_t got = ::recvfrom(m_ip, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
    if (got <= 0)
        return;
    const auto verdict = m_delivery.Take(SenderName(from, len), {buf, static_cast<size_t>(got)});
    const auto send = [&](std::uint16_t type, std::span<const std::uint8_t> payload) {
        deliver([this, d = visca_ip::Encode(type, verdict.sequence, payload), from, len] {
            if (m_ip >= 0)
                ::sendto(m_ip, d.data(), d.size(), MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&from), len);
        });
    };
    using Kind = ViscaIpDelivery::Verdict::Kind;
    switch (verdict.kind) {
    case Kind::Drop:
        return;
    case Kind::Reset: {
        trace("ip-reset sequence=" + std::to_string(verdict.sequence));
        const std::uint8_t ack = visca_ip::kControlAck;
        send(visca_ip::kControlReply, {&ack, 1});
        return;
    }
    case Kind::Error: {
        trace("ip-error sequence=" + std::to_string(verdict.sequence) + " error=0F0" + std::to_string(verdict.error));
        const std::uint8_t error[] = {visca_ip::kError, verdict.error};
        send(visca_ip::kControl, error);
        return;
    }
    case Kind::Execute:
        break;
    }
    visca::FrameSplitter splitter(ViscaServer::kMaxFrameLength);
    splitter.Feed(verdict.frames, [&](const visca::Frame& f) {
        for (const visca::Frame& r : Frames(handle(f)))
            send(visca_ip::kReply, r);
    });
}

void NetworkEndpoints::Accept()
{
    const int fd = ::accept4(m_tcp, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        return;
    if (m_clients.size() >= kMaxClients) {
        ::close(fd);
        return;
    }
    m_clients.push_back(std::make_shared<Client>(Client{fd, visca::FrameSplitter(ViscaServer::kMaxFrameLength)}));
}

void NetworkEndpoints::Broadcast(const visca::Frame& frame, const Deliver& deliver)
{
    for (const auto& c : m_clients)
        deliver(ToClient(c, frame));
}
