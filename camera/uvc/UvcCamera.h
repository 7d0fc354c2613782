#pragma once
// The camera library's second backend: a USB camera whose pan, tilt and zoom are V4L2
// controls of its capture node (uvcvideo, or the virtual camera's node on FUSE). The
// library's operations call it while the configured connection is a USB camera; the
// ranges, and which axes there are, come from the node.
#include "camera/CameraConnection.h"
#include "camera/CameraConnectionApi.h"
#include "camera/uvc/UvcAxes.h"
#include "platform/WinTypes.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

struct UvcTiming
{
    int callTimeoutMs = 400;  // per ioctl: as long as a VISCA camera's reply time-out
    int stepMs = 100;         // the pads' stepping of absolute controls
};

class UvcCamera
{
public:
    explicit UvcCamera(UvcTiming timing = {});
    ~UvcCamera();
    UvcCamera(const UvcCamera&) = delete;
    UvcCamera& operator=(const UvcCamera&) = delete;

    // Opens the node of connection and reads its controls. Posts linkMsg 1 and modeMsg
    // with the framing's stand to wnd on success, WM_CAMERA_COMM_ERROR when the node cannot
    // be opened or has neither pan/tilt nor zoom; linkMsg 0 later when the link is lost.
    bool Open(const CameraConnection& connection, HWND wnd, UINT linkMsg, UINT modeMsg);
    void Close();  // nothing posted before is delivered afterwards
    bool IsOpen() const;
    bool IsUsable() const;  // open and not lost

    // CamDrive's bits: 8 up, 4 down, 2 left, 1 right, 16 tele, 32 wide; 0 stops.
    bool Drive(int bits);
    bool SelectView(int view);  // 0 and 3: poses the controller keeps
    bool SetPosition(int pan, int tilt, int zoom);
    std::optional<int> Pan();
    std::optional<int> Tilt();
    std::optional<int> Zoom();
    // The open node answers VIDIOC_QUERYCAP in time.
    bool Answers();

    // The axes of the node opened last (all, before any).
    CameraCapabilities Capabilities() const;

    // Opens the node of connection on a device of its own, reads its identity and
    // controls, and closes it: safe on any thread, up to a few call time-outs.
    static CameraProbe Probe(const CameraConnection& connection, UvcTiming timing = {});

private:
    struct Stepping;
    void Failed(const UvcCall& call);
    void Post(UINT msg, WPARAM wParam);
    std::optional<int> ReadBack(std::optional<UvcControl> UvcAxes::*axis,
                                std::optional<int> (*from)(int value, const UvcRange& range, bool reversed), bool reversed);
    bool DriveAxis(const std::optional<UvcControl>& absolute, const std::optional<UvcControl>& speed, int direction,
                   int axis);

    const UvcTiming m_timing;
    mutable std::mutex m_mutex;  // the axes, for Capabilities from any thread
    std::unique_ptr<UvcDevice> m_device;
    UvcAxes m_axes;
    CameraConnection m_connection;
    std::shared_ptr<Stepping> m_stepping;
    HWND m_wnd = nullptr;
    UINT m_linkMsg = 0;
    bool m_lostPosted = false;
    int m_driveBits = 0;
    std::shared_ptr<std::atomic<unsigned>> m_generation = std::make_shared<std::atomic<unsigned>>(0);
};
