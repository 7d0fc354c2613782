#include "tests/firmware/LocalHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace {

bool SendAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

int Listen(int* port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 8) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(fd);
        return -1;
    }
    *port = ntohs(addr.sin_port);
    return fd;
}

const char* Reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

} // namespace

LocalHttpServer::LocalHttpServer()
{
    m_listen = Listen(&m_port);
    if (m_listen >= 0)
        m_thread = std::thread([this] { Run(); });
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
    const int fd = Listen(&port);
    if (fd >= 0)
        ::close(fd);  // bound and released: nothing listens there now
    return port;
}

void LocalHttpServer::Run()
{
    while (!m_stop) {
        pollfd p{m_listen, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        Serve(fd);
        ::close(fd);
    }
}

void LocalHttpServer::Serve(int fd)
{
    std::string head;
    char buf[1024];
    while (head.find("\r\n\r\n") == std::string::npos && !m_stop) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
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
        const std::string path = head.substr(start, head.find(' ', start) - start);
        if (auto it = m_answers.find(path); it != m_answers.end())
            answer = it->second;
    }
    std::string reply = "HTTP/1.0 " + std::to_string(answer.status) + " " + Reason(answer.status) + "\r\n";
    if (answer.sendLength)
        reply += "Content-Length: " + std::to_string(answer.body.size()) + "\r\n";
    reply += "Connection: close\r\n\r\n";
    if (!SendAll(fd, reply.data(), reply.size()))
        return;
    if (answer.stallAfterBytes >= 0) {
        SendAll(fd, answer.body.data(), std::min<size_t>(answer.body.size(), static_cast<size_t>(answer.stallAfterBytes)));
        m_stalling = true;
        // Hold the connection open and silent until the client gives up or the test ends.
        while (!m_stop) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0 && ::recv(fd, buf, sizeof buf, 0) <= 0)
                break;
        }
        m_stalling = false;
        return;
    }
    SendAll(fd, answer.body.data(), answer.body.size());
}
