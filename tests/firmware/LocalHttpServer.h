#pragma once
// HTTP/1.0 on 127.0.0.1 for the download tests: one connection at a time, answers set per
// path (404 otherwise), every request head kept.
#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct HttpAnswer
{
    int status = 200;
    std::string body;
    bool sendLength = true;  // else the body ends with the connection
    bool stall = false;      // headers only, then silence until the client gives up
};

class LocalHttpServer
{
public:
    LocalHttpServer()
    {
        if ((m_listen = Listen(&m_port)) >= 0)
            m_thread = std::thread([this] {
                while (!m_stop)
                    if (int fd; Readable(m_listen) && (fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC)) >= 0)
                        Serve(fd), ::close(fd);
            });
    }
    ~LocalHttpServer()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_listen);
    }
    int Port() const { return m_port; }  // 0 when the socket could not be set up
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }
    void Answer(const std::string& path, HttpAnswer a) { std::lock_guard l(m_mutex); m_answers[path] = std::move(a); }
    std::vector<std::string> Requests() const { std::lock_guard l(m_mutex); return m_requests; }
    bool Stalling() const { return m_stalling; }
    static int DeadPort()  // bound and released: nothing listens there now
    {
        int port = 0;
        ::close(Listen(&port));
        return port;
    }

private:
    static int Listen(int* port)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), len) || ::listen(fd, 8) ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len))
            return fd >= 0 ? (::close(fd), -1) : -1;
        *port = ntohs(a.sin_port);
        return fd;
    }
    static bool Readable(int fd)  // within 20 ms
    {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, 20) > 0;
    }
    void Serve(int fd)
    {
        std::string head;
        char buf[1024];
        while (head.find("\r\n\r\n") == std::string::npos && !m_stop) {
            const ssize_t n = Readable(fd) ? ::recv(fd, buf, sizeof buf, 0) : -2;
            if (n == -1 || n == 0)
                return;
            head.append(buf, n > 0 ? static_cast<size_t>(n) : 0);
        }
        HttpAnswer a{404, "<html><body>Not Found</body></html>"};
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(head);
            const size_t start = head.find(' ') + 1;
            if (auto it = m_answers.find(head.substr(start, head.find(' ', start) - start)); it != m_answers.end())
                a = it->second;
        }
        std::string reply = "HTTP/1.0 " + std::to_string(a.status) + " Status\r\n";
        if (a.sendLength)
            reply += "Content-Length: " + std::to_string(a.body.size()) + "\r\n";
        reply += "Connection: close\r\n\r\n" + (a.stall ? std::string() : a.body);
        for (ssize_t sent = 0, n = 0; sent < static_cast<ssize_t>(reply.size()); sent += n)
            if ((n = ::send(fd, reply.data() + sent, reply.size() - static_cast<size_t>(sent), MSG_NOSIGNAL)) <= 0)
                return;
        for (m_stalling = a.stall; a.stall && !m_stop && !(Readable(fd) && ::recv(fd, buf, sizeof buf, 0) <= 0);) {
        }
        m_stalling = false;
    }

    int m_listen = -1, m_port = 0;
    std::atomic<bool> m_stop{false}, m_stalling{false};
    mutable std::mutex m_mutex;
    std::map<std::string, HttpAnswer> m_answers;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};
