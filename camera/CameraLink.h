#pragma once
// One open link to the camera: the port, the reader thread that takes every frame the
// camera sends, and a keeper thread that notices a camera gone silent. Requests from the
// user-interface thread go out one at a time (one writer), and each waits for its own
// reply, matched by kind and socket, at most the reply time-out; frames that match no
// request (noise, late replies) are skipped. Which reply is whose, what is owed after an
// unanswered request and when the barrier goes first: camera/ReplyMatcher.h.
#include "camera/ReplyMatcher.h"
#include "camera/ViscaFrame.h"
#include "camera/ViscaFrameSplitter.h"
#include "camera/transport/CameraTransport.h"
#include "platform/WinTypes.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

struct CameraLinkTiming
{
    int replyTimeoutMs = 400;   // per request: the longest a getter blocks
    int keepAliveMs = 2000;     // quiet time after which the keeper asks the stand position
    int missesForLinkLoss = 2;  // unanswered requests in a row that mean the link is lost
    int openAttempts = 2;       // address set tries at link start
};

// What the link speaks over its transport.
struct CameraLinkProfile
{
    int address = 1;           // 1..7: commands go to 8x, replies come from (x+8)0
    bool vendorFrames = true;  // the QVT-VZ1: stand inquiry and reports
    bool addressSet = true;    // a serial line: address set and interface clear at start
    int framingStand = 1;      // without stand reports: the stand position posted at open
    std::size_t positionReplyLength = 8;  // the pan-tilt position reply's payload (the keep-alive)
};

class CameraLink
{
public:
    explicit CameraLink(CameraLinkTiming timing = {});
    ~CameraLink();
    CameraLink(const CameraLink&) = delete;
    CameraLink& operator=(const CameraLink&) = delete;

    // Opens port and starts the link (address set, interface clear, stand inquiry).
    // Posts linkMsg 1 and modeMsg with the stand to wnd on success, WM_CAMERA_COMM_ERROR
    // when the port cannot be opened or the camera does not answer. Closes first when open.
    bool Open(const std::string& port, HWND wnd, UINT linkMsg, UINT modeMsg);
    // The same over any transport. A camera without vendor frames proves itself by
    // answering the version inquiry, and its stand is profile.framingStand.
    bool Open(std::unique_ptr<CameraTransport> transport, const CameraLinkProfile& profile, HWND wnd,
              UINT linkMsg, UINT modeMsg);
    // Joins the threads and closes the port. Nothing is posted afterwards, and link and
    // stand messages posted before but not yet delivered are dropped on delivery: a
    // camera opened after this close never sees the old link's news.
    void Close();
    // Open and the link not lost.
    bool IsUsable() const;

    enum class Wait { Ack, Completion };
    // Sends a command frame and waits for its ACK (or its completion as well).
    bool Command(const visca::Frame& frame, Wait wait);
    // Sends an inquiry and returns the reply's payload: payloadLength bytes, or, with
    // payloadLength 0, a text of 1..8 printable characters.
    std::optional<std::vector<std::uint8_t>> Inquire(const visca::Frame& frame, std::size_t payloadLength);

    // The version inquiry's answer at open (vendor, model, ROM version, sockets: 7 bytes),
    // empty when the camera was not asked or did not answer; why the last open failed.
    std::vector<std::uint8_t> OpenVersion() const { return m_openVersion; }
    std::string OpenError() const { return m_openError; }

    // The direction bits last driven, for CamDrive's decision which axes to stop.
    std::atomic<int> driveBits{0};

private:
    using Expect = ReplyMatcher::Expect;

    bool Transact(const visca::Frame& frame, Expect expect, std::size_t payloadLength,
                  std::vector<std::uint8_t>* payload);
    // One request and its wait; the caller holds m_requestMutex.
    bool Exchange(const visca::Frame& frame, Expect expect, std::size_t payloadLength,
                  std::vector<std::uint8_t>* payload);
    void ReaderLoop();
    void KeeperLoop();
    // What is left of the keeper's quiet time; 0 or less when it is over.
    long long QuietLeftMs();
    void OnFrame(const visca::Frame& frame);
    void LinkLost();
    void PostStand(int stand);
    // Posts msg to m_wnd, delivered only while this link is still the one it was sent for.
    void PostForThisLink(UINT msg, WPARAM wParam);
    void StopThreads();
    bool StartLink();
    visca::Frame Addressed(const visca::Frame& frame) const;

    const CameraLinkTiming m_timing;
    std::unique_ptr<CameraTransport> m_transport;
    CameraLinkProfile m_profile;
    std::vector<std::uint8_t> m_openVersion;
    std::string m_openError;
    int m_fd = -1;  // the transport's, while open
    int m_wake[2] = {-1, -1};
    std::thread m_reader;
    std::thread m_keeper;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_linkUp{false};
    std::atomic<bool> m_lost{false};

    HWND m_wnd = nullptr;
    UINT m_linkMsg = 0;
    UINT m_modeMsg = 0;
    std::atomic<int> m_lastStand{-1};
    // Counts closes; shared with queued deliveries, which may outlive the link.
    std::shared_ptr<std::atomic<unsigned>> m_generation = std::make_shared<std::atomic<unsigned>>(0);

    std::mutex m_requestMutex;  // one request on the wire at a time
    std::mutex m_stateMutex;    // m_matcher, m_misses
    std::condition_variable m_replied;
    ReplyMatcher m_matcher;
    int m_misses = 0;  // unanswered requests in a row since the link came up

    std::mutex m_stopMutex;
    std::condition_variable m_stopSignal;
};
