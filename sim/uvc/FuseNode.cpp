#define FUSE_USE_VERSION 35
#include "sim/uvc/FuseNode.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fuse.h>
#include <fuse_lowlevel.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

struct FuseNode::Served
{
    std::string name;  // "/video0"
    UvcNodeModel model;
    std::mutex mutex;
    UvcNodeModel::TraceSink trace;
    bool attached = false;
    unsigned long generation = 1;  // counts Attach: descriptors of an earlier one are dead

    Served(std::string n, UvcProfile profile, UvcNodeModel::TraceSink t)
        : name(std::move(n)), model(std::move(profile), t), trace(std::move(t))
    {
    }
};

namespace {

long long NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

FuseNode::Served& Self()
{
    return *static_cast<FuseNode::Served*>(fuse_get_context()->private_data);
}

void* Init(fuse_conn_info*, fuse_config* config)
{
    // Nothing cached: an unplugged node is gone at once for every caller.
    config->entry_timeout = 0;
    config->attr_timeout = 0;
    config->negative_timeout = 0;
    config->direct_io = 1;
    return fuse_get_context()->private_data;
}

int GetAttr(const char* path, struct stat* st, fuse_file_info*)
{
    FuseNode::Served& s = Self();
    std::memset(st, 0, sizeof *st);
    if (!std::strcmp(path, "/")) {
        st->st_mode = S_IFDIR | 0755;
        st->st_nlink = 2;
        return 0;
    }
    std::lock_guard lock(s.mutex);
    if (path != s.name || !s.attached)
        return -ENOENT;
    st->st_mode = S_IFREG | 0666;
    st->st_nlink = 1;
    return 0;
}

int ReadDir(const char* path, void* buf, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags)
{
    if (std::strcmp(path, "/"))
        return -ENOENT;
    FuseNode::Served& s = Self();
    fill(buf, ".", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    fill(buf, "..", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    std::lock_guard lock(s.mutex);
    if (s.attached)
        fill(buf, s.name.c_str() + 1, nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    return 0;
}

int Open(const char* path, fuse_file_info* fi)
{
    FuseNode::Served& s = Self();
    std::lock_guard lock(s.mutex);
    if (path != s.name || !s.attached)
        return -ENOENT;
    fi->fh = s.generation;
    fi->direct_io = 1;
    fi->nonseekable = 1;
    return 0;
}

int Read(const char*, char*, size_t, off_t, fuse_file_info*)
{
    return 0;  // no picture: the node serves controls only
}

int Ioctl(const char*, unsigned int cmd, void*, fuse_file_info* fi, unsigned int flags, void* data)
{
    if (flags & FUSE_IOCTL_COMPAT)
        return -ENOSYS;
    FuseNode::Served& s = Self();
    std::lock_guard lock(s.mutex);
    if (!s.attached || fi->fh != s.generation)
        return -ENODEV;
    return s.model.Ioctl(cmd, data, NowMs());
}

fuse_operations Operations()
{
    fuse_operations ops{};
    ops.init = Init;
    ops.getattr = GetAttr;
    ops.readdir = ReadDir;
    ops.open = Open;
    ops.read = Read;
    ops.ioctl = Ioctl;
    return ops;
}

} // namespace

FuseNode::FuseNode(std::string path, UvcProfile profile, UvcNodeModel::TraceSink trace) : m_path(std::move(path))
{
    const auto slash = m_path.rfind('/');
    m_mountPoint = slash == std::string::npos ? "." : slash == 0 ? "/" : m_path.substr(0, slash);
    m_name = m_path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (m_name.empty()) {
        m_error = "no node name in " + m_path;
        return;
    }
    m_served = std::make_unique<Served>("/" + m_name, std::move(profile), std::move(trace));
    const int probe = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
    if (probe < 0) {
        m_error = std::string("/dev/fuse: ") + std::strerror(errno);
        return;
    }
    ::close(probe);
    ::mkdir(m_mountPoint.c_str(), 0755);
    if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_error = std::string("pipe: ") + std::strerror(errno);
        return;
    }
    static const fuse_operations ops = Operations();
    char program[] = "qvt-vz1-sim";
    char* argv[] = {program, nullptr};
    fuse_args args = FUSE_ARGS_INIT(1, argv);
    fuse* f = fuse_new(&args, &ops, sizeof ops, m_served.get());
    fuse_opt_free_args(&args);  // fuse_new may have added to them
    if (!f) {
        m_error = "fuse_new failed";
        return;
    }
    if (fuse_mount(f, m_mountPoint.c_str()) != 0) {
        m_error = m_mountPoint + ": cannot mount";
        fuse_destroy(f);
        return;
    }
    m_fuse = f;
    m_thread = std::thread([this] { Loop(); });
}

FuseNode::~FuseNode()
{
    if (m_fuse) {
        m_stop = true;
        Wake();
        m_thread.join();
        // Unmounting and closing the channel end every request still waiting: callers of
        // a hung node get an error instead of waiting forever.
        fuse_unmount(m_fuse);
        fuse_destroy(m_fuse);
    }
    for (int fd : m_wake)
        if (fd >= 0)
            ::close(fd);
}

void FuseNode::Wake()
{
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(m_wake[1], &byte, 1);
}

void FuseNode::Loop()
{
    fuse_session* session = fuse_get_session(m_fuse);
    const int fd = fuse_session_fd(session);
    fuse_buf buf{};
    while (!m_stop) {
        // A hung node reads no requests: its callers wait in the kernel.
        pollfd fds[2] = {{m_wake[0], POLLIN, 0}, {fd, POLLIN, 0}};
        const int n = ::poll(fds, m_hung ? 1 : 2, -1);
        if (n < 0 && errno != EINTR)
            break;
        if (fds[0].revents & POLLIN) {
            char drain[64];
            while (::read(m_wake[0], drain, sizeof drain) > 0) {
            }
            continue;
        }
        if (m_hung || !(fds[1].revents & (POLLIN | POLLERR | POLLHUP)))
            continue;
        const int got = fuse_session_receive_buf(session, &buf);
        if (got == -EINTR || got == -EAGAIN)
            continue;
        if (got <= 0 || fuse_session_exited(session))
            break;
        fuse_session_process_buf(session, &buf);
    }
    std::free(buf.mem);
}

void FuseNode::Attach()
{
    if (!m_served)
        return;
    std::lock_guard lock(m_served->mutex);
    if (m_served->attached)
        return;
    m_served->attached = true;
    ++m_served->generation;
    if (m_served->trace)
        m_served->trace("attached node=" + m_path);
}

void FuseNode::Detach()
{
    if (!m_served)
        return;
    std::lock_guard lock(m_served->mutex);
    if (!m_served->attached)
        return;
    m_served->attached = false;
    if (m_served->trace)
        m_served->trace("detached");
}

bool FuseNode::Attached() const
{
    if (!m_served)
        return false;
    std::lock_guard lock(m_served->mutex);
    return m_served->attached;
}

void FuseNode::Hang()
{
    m_hung = true;
    Wake();
}

void FuseNode::Resume()
{
    m_hung = false;
    Wake();
}

std::string FuseNode::Status()
{
    if (!m_served)
        return m_error;
    std::lock_guard lock(m_served->mutex);
    return std::string(m_served->attached ? "attached" : "detached") + " node=" + m_path
        + (m_hung ? " hung " : " ") + m_served->model.Status(NowMs());
}
