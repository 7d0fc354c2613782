#pragma once
// The running virtual camera: its own thread serves the port (a pseudo-terminal) with the
// protocol server, moves the camera while it is driven, reports stand changes, and
// restarts after a firmware write. The console's commands call the methods below from
// another thread.
#include "camera/ViscaFrameSplitter.h"
#include "sim/CameraModel.h"
#include "sim/NetworkEndpoints.h"
#include "sim/PseudoTerminal.h"
#include "sim/ViscaServer.h"

#include <deque>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>

struct VirtualCameraOptions
{
    int restartMs = 3000;          // how long the port is gone after a firmware write
    int restartDelayMs = 200;      // from the accepting reply to the port going away
    std::string version = "2.03";
    int stand = 1;                 // Upside
    bool generic = false;          // a standard VISCA camera instead of the QVT-VZ1
    std::string model = "generic"; // its row of the model table
    bool pty = true;               // serve the pseudo-terminal (and announce it)
    NetworkPorts network;          // and/or these ports on 127.0.0.1
};

class VirtualCamera
{
public:
    // trace gets one line per received command and per event (attached, detached,
    // restarting); it is called on the camera's thread or the caller's.
    using TraceSink = std::function<void(const std::string&)>;

    VirtualCamera(VirtualCameraOptions options, TraceSink trace);
    ~VirtualCamera();  // detaches: the announcement is removed
    VirtualCamera(const VirtualCamera&) = delete;
    VirtualCamera& operator=(const VirtualCamera&) = delete;

    // Opens a new port and announces it; false when no pseudo-terminal or announcement
    // can be made. Attaching while attached keeps the port.
    bool Attach();
    // Removes the announcement and closes the port; cancels a pending restart.
    void Detach();
    bool IsAttached() const;
    std::string PortPath() const;  // empty while detached
    NetworkPorts NetworkBound() const;  // the ports served while attached

    void SetStand(int stand);  // reported to the controller when it changes
    void SetVersion(const std::string& version);
    void SetGarble(bool on);   // replies become noise that never forms a frame
    void SetMute(bool on);     // no replies at all
    // Every reply and report leaves ms later, in order: a slow camera or line. 0 ends it.
    void SetReplyDelay(int ms);

    CameraModel Snapshot() const;

private:
    void Run();
    void Wake();
    void Send(const visca::Frame& bytes);  // under m_mutex
    visca::Frame Noisy(const visca::Frame& bytes);  // under m_mutex: as mute and garble make it
    visca::Frame Serve(const visca::Frame& frame);  // under m_mutex: the reply to one frame
    void ToPty(visca::Frame out);          // under m_mutex: through Deliver
    // Under m_mutex: runs send now, or later while replies are delayed (on every transport).
    void Deliver(NetworkEndpoints::Sender send);
    void SendDue(long long nowMs);         // under m_mutex: the delayed replies due by now
    bool AttachLocked();
    void DetachLocked();
    void Emit(const std::string& line);

    VirtualCameraOptions m_options;
    TraceSink m_trace;
    mutable std::mutex m_mutex;
    CameraModel m_model;
    ViscaServer m_server{m_model, m_options.generic, m_options.model};
    PseudoTerminal m_pty;
    NetworkEndpoints m_net;
    bool m_attached = false;
    visca::FrameSplitter m_splitter{ViscaServer::kMaxFrameLength};
    bool m_garble = false;
    bool m_mute = false;
    int m_replyDelayMs = 0;
    std::deque<std::pair<long long, NetworkEndpoints::Sender>> m_delayed;  // (due, send), oldest first
    long long m_goAwayAtMs = -1;   // firmware accepted: detach then
    long long m_comeBackAtMs = -1; // and attach again then
    std::string m_pendingVersion;
    std::minstd_rand m_noise{20261206};
    bool m_stop = false;
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
};
