#pragma once
// The virtual camera's picture for the system: while the camera is plugged in, a frame
// file in the runtime folder (SimVideoFrame.h, read by the GStreamer plugin) redrawn when
// the camera moves, and a video4linux entry under the folder's sys/ and dev/ that names it,
// as the kernel lists a USB camera. Unplugging removes both. A thread of its own keeps
// them; it never waits for a reader.
#include "sim/video/RoomPicture.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

class SimVideoOutput
{
public:
    // pose is asked 30 times a second: the camera's position, or nothing while unplugged.
    using PoseSource = std::function<std::optional<CameraPose>()>;

    SimVideoOutput(std::string runtimeDir, PoseSource pose);
    ~SimVideoOutput();  // removes the frame file and the entry
    SimVideoOutput(const SimVideoOutput&) = delete;
    SimVideoOutput& operator=(const SimVideoOutput&) = delete;

    // A stalled camera keeps its device but sends no frames.
    void SetStalled(bool stalled);

private:
    void Run();
    bool Publish();  // maps a new frame file and writes the entry
    void Withdraw();
    void Draw(const CameraPose& pose);

    std::string m_dir;
    PoseSource m_pose;
    void* m_map = nullptr;
    std::optional<CameraPose> m_drawnPose;
    std::atomic<bool> m_stalled{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};

// From a signal handler: removes the frame file and the entry's files (the last output's).
void RemoveSimVideoOnSignal();
