#pragma once
// One open V4L2 capture node, reached through the single-control ioctls only
// (VIDIOC_QUERYCAP, VIDIOC_QUERYCTRL, VIDIOC_G_CTRL, VIDIOC_S_CTRL): the kind a FUSE node
// can serve, and all uvcvideo needs for pan, tilt and zoom. The node may be a character
// device or a regular file.
//
// Every system call runs on the device's own thread and the caller waits for it at most
// the time-out: a node whose driver or server stops answering holds the caller no longer
// than a silent VISCA camera does. After a call that did not come back in time the device
// counts as lost (every later call fails at once with ETIMEDOUT); its thread is left to
// finish on its own and closes the node then.
#include "camera/uvc/UvcUnits.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct UvcCall
{
    bool ok = false;
    int error = 0;  // errno when not ok; ETIMEDOUT when the node did not answer in time
    int value = 0;
};

struct UvcControl
{
    unsigned id = 0;
    UvcRange range;
};

struct UvcIdentity
{
    std::string driver, card;
    bool capture = false;  // a video capture node
};

class UvcDevice
{
public:
    // Opens path for reading and writing, waiting at most timeoutMs; nullptr and why in
    // *error when it cannot.
    static std::unique_ptr<UvcDevice> Open(const std::string& path, int timeoutMs, std::string* error = nullptr);
    ~UvcDevice();
    UvcDevice(const UvcDevice&) = delete;
    UvcDevice& operator=(const UvcDevice&) = delete;

    std::optional<UvcIdentity> QueryCap();
    // The control id if the node has it and it is an enabled integer control.
    std::optional<UvcControl> QueryControl(unsigned id);
    // Every control id the node lists (VIDIOC_QUERYCTRL with V4L2_CTRL_FLAG_NEXT_CTRL).
    std::optional<std::vector<unsigned>> ListControls();
    UvcCall Get(unsigned id);
    UvcCall Set(unsigned id, int value);

    // Runs tick on the device's thread every periodMs while no call is waiting (the
    // pads' stepping); an empty tick stops it. tick may call Get and Set of its own
    // argument, the node's descriptor.
    using Tick = std::function<void(int fd)>;
    void SetTick(Tick tick, int periodMs);

    // path exists (any kind of file), asked off the caller's thread: a stat on a hung FUSE
    // mount would never return. False also when it did not answer within timeoutMs.
    static bool Exists(const std::string& path, int timeoutMs);

    // The node answered ENODEV, EIO or not at all: unplugged, or its server is gone.
    bool Lost() const;
    static bool IsLinkLoss(int error);

    // The single-control ioctls on a descriptor, for the tick.
    static UvcCall GetOn(int fd, unsigned id);
    static UvcCall SetOn(int fd, unsigned id, int value);

private:
    struct State;
    explicit UvcDevice(std::shared_ptr<State> state, int timeoutMs);
    UvcCall Call(std::function<UvcCall(int fd)> job);

    std::shared_ptr<State> m_state;
    const int m_timeoutMs;
};
