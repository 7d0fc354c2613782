#pragma once
// A small HTTP/1.0 server on 127.0.0.1 for the download tests: one thread, one connection
// at a time, answers chosen per path, every request kept for inspection.
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct HttpAnswer
{
    int status = 200;
    std::string body;
    bool sendLength = true;      // Content-Length header, or a body ended by closing
    long stallAfterBytes = -1;   // send this much of the body, then nothing until stopped
};

class LocalHttpServer
{
public:
    LocalHttpServer();
    ~LocalHttpServer();

    // Listening once the constructor returns; 0 when the socket could not be set up.
    int Port() const { return m_port; }
    std::string Url(const std::string& path) const;

    void Answer(const std::string& path, HttpAnswer answer);
    std::vector<std::string> Requests() const;  // the raw request heads, in order
    bool Stalling() const { return m_stalling.load(); }

    // A port nobody listens on.
    static int DeadPort();

private:
    void Run();
    void Serve(int fd);

    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_stalling{false};
    mutable std::mutex m_mutex;
    std::map<std::string, HttpAnswer> m_answers;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};
