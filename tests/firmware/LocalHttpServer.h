#pragma once
// A small HTTP/1.0 server on 127.0.0.1 for the download tests: one thread, one connection
// at a time, answers set per path (404 otherwise), every request head kept.
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
    bool sendLength = true;  // Content-Length, or a body ended by closing
    bool stall = false;      // headers only, then silence until the client gives up
};

class LocalHttpServer
{
public:
    LocalHttpServer();
    ~LocalHttpServer();

    int Port() const { return m_port; }  // 0 when the socket could not be set up
    std::string Url(const std::string& path) const;
    void Answer(const std::string& path, HttpAnswer answer);
    std::vector<std::string> Requests() const;
    bool Stalling() const { return m_stalling; }

    // A port nobody listens on.
    static int DeadPort();

private:
    void Serve(int fd);

    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false}, m_stalling{false};
    mutable std::mutex m_mutex;
    std::map<std::string, HttpAnswer> m_answers;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};
