#include "tests/firmware/LocalHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int Listen(int* port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 8) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    *port = ntohs(addr.sin_port);
    return fd;
}

// Waits up to 20 ms for fd to become readable.
bool Readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 20) > 0;
}

} // namespace

LocalHttpServer::LocalHttpServer()
{
    m_listen = Listen(&m_port);
    if (m_listen < 0)
        return;
    m_thread = std::thread([this] {
        while (!m_stop) {
            if (!Readable(m_listen))
                continue;
            if (const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC); fd >= 0) {
                Serve(fd);
                ::close(fd);
            }
        }
    });
}

LocalHttpServer::~LocalHttpServer()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listen >= 0)
        ::close(m_listen);
}

std::string LocalHttpServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

void LocalHttpServer::Answer(const std::string& path, HttpAnswer answer)
{
    std::lock_guard lock(m_mutex);
    m_answers[path] = std::move(answer);
}

std::vector<std::string> LocalHttpServer::Requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

int LocalHttpServer::DeadPort()
{
    int port = 0;
    if (const int fd = Listen(&port); fd >= 0)
        ::close(fd);  // bound and released: nothing listens there now
    return port;
}

void LocalHttpServer::Serve(int fd)
{
    std::string head;
    char buf[1024];
    while (head.find("\r\n\r\n") == std::string::npos && !m_stop) {
        if (!Readable(fd))
            continue;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            return;
        head.append(buf, static_cast<size_t>(n));
    }
    HttpAnswer answer{404, "<html><body>Not Found</body></html>"};
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(head);
        const size_t start = head.find(' ') + 1;
        if (auto it = m_answers.find(head.substr(start, head.find(' ', start) - start)); it != m_answers.end())
            answer = it->second;
    }
    std::string reply = "HTTP/1.0 " + std::to_string(answer.status) + " Status\r\n";
    if (answer.sendLength)
        reply += "Content-Length: " + std::to_string(answer.body.size()) + "\r\n";
    reply += "Connection: close\r\n\r\n";
    if (!answer.stall)
        reply += answer.body;
    for (size_t sent = 0; sent < reply.size();) {
        const ssize_t n = ::send(fd, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<size_t>(n);
    }
    m_stalling = answer.stall;
    while (answer.stall && !m_stop && !(Readable(fd) && ::recv(fd, buf, sizeof buf, 0) <= 0)) {
    }
    m_stalling = false;
}
