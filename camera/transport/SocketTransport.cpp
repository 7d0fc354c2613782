#include "camera/transport/SocketTransport.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

int ConnectSocket(const std::string& host, int port, int type, int timeoutMs, std::string& error)
{
    if (host.empty() || port < 1 || port > 65535) {
        error = "no address";
        return -1;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = type;
    addrinfo* found = nullptr;
    if (const int rc = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found); rc != 0) {
        error = host + ": " + ::gai_strerror(rc);
        return -1;
    }
    int fd = -1;
    error = host + ": no address";
    for (addrinfo* a = found; a && fd < 0; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0)
            continue;
        int rc = ::connect(fd, a->ai_addr, a->ai_addrlen);
        if (rc != 0 && errno == EINPROGRESS) {
            pollfd p{fd, POLLOUT, 0};
            rc = ::poll(&p, 1, timeoutMs) == 1 ? 0 : (errno = ETIMEDOUT, -1);
            int soError = 0;
            socklen_t len = sizeof soError;
            if (rc == 0 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len) == 0 && soError != 0)
                rc = (errno = soError, -1);
        }
        if (rc != 0) {
            error = host + ":" + std::to_string(port) + ": " + std::strerror(errno);
            ::close(fd);
            fd = -1;
        }
    }
    ::freeaddrinfo(found);
    return fd;
}

SocketTransport::SocketTransport(Mode mode, std::string host, int port)
    : m_mode(mode), m_host(std::move(host)), m_port(port)
{
}

bool SocketTransport::Open(int timeoutMs)
{
    Close();
    m_splitter.Reset();
    m_fd = ConnectSocket(m_host, m_port, m_mode == Mode::Tcp ? SOCK_STREAM : SOCK_DGRAM, timeoutMs, m_error);
    return m_fd >= 0;
}

void SocketTransport::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool SocketTransport::Send(const visca::Frame& frame, int timeoutMs)
{
    if (m_fd < 0)
        return false;
    if (m_mode == Mode::Udp)
        return ::send(m_fd, frame.data(), frame.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(frame.size());
    // MSG_NOSIGNAL: a camera that closed the connection is an error here, not a SIGPIPE.
    size_t done = 0;
    while (done < frame.size()) {
        const ssize_t n = ::send(m_fd, frame.data() + done, frame.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd p{m_fd, POLLOUT, 0};
        if (::poll(&p, 1, timeoutMs) != 1 || (p.revents & (POLLERR | POLLHUP)))
            return false;
    }
    return true;
}

bool SocketTransport::Receive(const FrameSink& sink)
{
    std::uint8_t buf[1500];
    const ssize_t got = ::recv(m_fd, buf, sizeof buf, 0);
    if (got > 0) {
        if (m_mode == Mode::Udp)
            m_splitter.Reset();  // a datagram holds whole frames; nothing carries over
        m_splitter.Feed({buf, static_cast<size_t>(got)}, sink);
        return true;
    }
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return true;
    return false;  // the stream ended, or the camera's port refused (nobody listens)
}
