#pragma once
// The virtual USB camera's capture node: a regular file on a FUSE mount of its own folder
// (libfuse3), whose restricted ioctls (fixed size, no pointers inside: all the
// single-control ioctls are) go to a UvcNodeModel. The requests are served on a thread
// of the node's own.
//
// Detach takes the file away: open descriptors then get ENODEV, as from an unplugged
// camera, also after the next Attach. Hang stops reading requests, as a server that hangs;
// its callers wait until Resume (or until the node is destroyed, which ends the mount).
#include "sim/uvc/UvcNodeModel.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct fuse;

class FuseNode
{
public:
    // Serves path (its folder becomes the mount point; created when missing). Check
    // Mounted(): /dev/fuse may be missing or closed to this user; Error() says why.
    FuseNode(std::string path, UvcProfile profile, UvcNodeModel::TraceSink trace);
    ~FuseNode();  // unmounts
    FuseNode(const FuseNode&) = delete;
    FuseNode& operator=(const FuseNode&) = delete;

    bool Mounted() const { return m_fuse != nullptr; }
    const std::string& Error() const { return m_error; }
    const std::string& Path() const { return m_path; }
    const std::string& MountPoint() const { return m_mountPoint; }

    void Attach();
    void Detach();
    bool Attached() const;
    void Hang();
    void Resume();
    std::string Status();

    // The FUSE callbacks' view (called on the node's thread).
    struct Served;

private:
    void Loop();
    void Wake();

    const std::string m_path;
    std::string m_mountPoint, m_name, m_error;
    std::unique_ptr<Served> m_served;
    struct fuse* m_fuse = nullptr;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_hung{false};
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
};
