#pragma once
// The virtual camera on the network, on 127.0.0.1 only: plain VISCA frames over UDP
// (one datagram per reply frame, sent back to the sender) and over TCP (a stream per
// client), and VISCA over IP (UDP with the 8-byte header; replies carry the sequence
// number of the message they answer; RESET is acknowledged; the delivery confirmation of
// sim/ViscaIpDelivery.h decides what is carried out).
#include "camera/ViscaFrame.h"
#include "camera/ViscaFrameSplitter.h"
#include "sim/ViscaIpDelivery.h"

#include <functional>
#include <memory>
#include <poll.h>
#include <string>
#include <vector>

struct NetworkPorts
{
    int udp = -1;      // -1: not served; 0: any free port
    int tcp = -1;
    int viscaIp = -1;
    bool Any() const { return udp >= 0 || tcp >= 0 || viscaIp >= 0; }
};

class NetworkEndpoints
{
public:
    // The camera's answer to one frame (possibly several frames, possibly none).
    using Handler = std::function<visca::Frame(const visca::Frame&)>;
    using Trace = std::function<void(const std::string&)>;
    // Sends one reply to where its request came from; a slow camera runs it later, on the
    // serving thread. Harmless once the client or the endpoint is gone.
    using Sender = std::function<void()>;
    using Deliver = std::function<void(Sender)>;

    NetworkEndpoints() = default;
    ~NetworkEndpoints() { Close(); }
    NetworkEndpoints(const NetworkEndpoints&) = delete;
    NetworkEndpoints& operator=(const NetworkEndpoints&) = delete;

    // Binds every port asked for; false (nothing open) when one cannot be bound.
    bool Open(const NetworkPorts& ports, std::string& error);
    void Close();
    bool IsOpen() const { return m_udp >= 0 || m_tcp >= 0 || m_ip >= 0; }
    // The bound ports (the real ones where 0 was asked for).
    NetworkPorts Bound() const { return m_bound; }

    // The descriptors to wait on, appended to fds.
    void AddPollFds(std::vector<pollfd>& fds) const;
    // Serves whatever is readable among fds; each reply goes through deliver.
    void Service(const std::vector<pollfd>& fds, const Handler& handle, const Trace& trace, const Deliver& deliver);
    // An unsolicited frame: to every TCP client, through deliver.
    void Broadcast(const visca::Frame& frame, const Deliver& deliver);

private:
    struct Client
    {
        int fd;
        visca::FrameSplitter splitter;
    };
    void ServeUdp(const Handler& handle, const Deliver& deliver);
    void ServeViscaIp(const Handler& handle, const Trace& trace, const Deliver& deliver);
    Sender ToClient(const std::shared_ptr<Client>& client, visca::Frame bytes) const;
    void Accept();

    int m_udp = -1, m_tcp = -1, m_ip = -1;
    NetworkPorts m_bound;
    std::vector<std::shared_ptr<Client>> m_clients;
    ViscaIpDelivery m_delivery;
};
