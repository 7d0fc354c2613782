#include "sim/video/SimVideoOutput.h"

#include "sim/video/SimVideoFrame.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kFileSize = QVT_SIM_VIDEO_FILE_SIZE(QVT_SIM_VIDEO_WIDTH, QVT_SIM_VIDEO_HEIGHT);

// The files to remove on a signal, kept as plain strings for an async-signal-safe unlink.
constexpr int kSignalPaths = 4;
char g_signalPaths[kSignalPaths][512];

void RememberForSignal(const std::string& dir)
{
    const char* names[kSignalPaths] = {QVT_SIM_VIDEO_FILE, "sys/class/video4linux/video0/name",
                                       "sys/class/video4linux/video0/index", "dev/video0"};
    for (int i = 0; i < kSignalPaths; ++i)
        std::snprintf(g_signalPaths[i], sizeof g_signalPaths[i], "%s/%s", dir.c_str(), names[i]);
}

void WriteText(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::trunc) << text << '\n';
}

} // namespace

void RemoveSimVideoOnSignal()
{
    for (const char* path : g_signalPaths) {
        if (path[0])
            ::unlink(path);
    }
}

SimVideoOutput::SimVideoOutput(std::string runtimeDir, PoseSource pose)
    : m_dir(std::move(runtimeDir)), m_pose(std::move(pose))
{
    RememberForSignal(m_dir);
    m_thread = std::thread([this] { Run(); });
}

SimVideoOutput::~SimVideoOutput()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    Withdraw();
}

void SimVideoOutput::SetStalled(bool stalled)
{
    m_stalled = stalled;
}

void SimVideoOutput::Run()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        const std::optional<CameraPose> pose = m_pose();
        if (!pose) {
            Withdraw();
        } else if (m_map || Publish()) {
            if (m_drawnPose != pose)
                Draw(*pose);
            auto* header = static_cast<QvtSimVideoHeader*>(m_map);
            __atomic_store_n(&header->stalled, m_stalled ? 1u : 0u, __ATOMIC_RELAXED);
        }
        m_wake.wait_for(lock, std::chrono::milliseconds(1000 / QVT_SIM_VIDEO_FPS), [this] { return m_stop; });
    }
}

bool SimVideoOutput::Publish()
{
    // A new file each time, written in full before it gets its name: a reader never maps a
    // half-made one, and one still holding the last camera's file sees it is gone.
    std::error_code ec;
    fs::create_directories(m_dir, ec);
    const fs::path file = fs::path(m_dir) / QVT_SIM_VIDEO_FILE;
    const fs::path temporary = file.string() + ".new";
    const int fd = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    void* map = ::ftruncate(fd, static_cast<off_t>(kFileSize)) == 0
        ? ::mmap(nullptr, kFileSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
        : MAP_FAILED;
    ::close(fd);
    if (map == MAP_FAILED) {
        fs::remove(temporary, ec);
        return false;
    }
    auto* header = static_cast<QvtSimVideoHeader*>(map);
    header->magic = QVT_SIM_VIDEO_MAGIC;
    header->width = QVT_SIM_VIDEO_WIDTH;
    header->height = QVT_SIM_VIDEO_HEIGHT;
    header->stride = QVT_SIM_VIDEO_WIDTH * 4;
    m_map = map;
    m_drawnPose.reset();
    if (const auto pose = m_pose())
        Draw(*pose);
    fs::rename(temporary, file, ec);

    // The kernel's entry of a capture node: its name and index 0 (sysfs) and the node (dev).
    const fs::path node = fs::path(m_dir) / "sys/class/video4linux/video0";
    fs::create_directories(node, ec);
    fs::create_directories(fs::path(m_dir) / "dev", ec);
    WriteText(node / "name", QVT_SIM_VIDEO_NAME);
    WriteText(node / "index", "0");
    WriteText(fs::path(m_dir) / "dev/video0", "");
    return !ec;
}

void SimVideoOutput::Withdraw()
{
    if (!m_map)
        return;
    std::error_code ec;
    fs::remove(fs::path(m_dir) / QVT_SIM_VIDEO_FILE, ec);
    fs::remove_all(fs::path(m_dir) / "sys", ec);
    fs::remove_all(fs::path(m_dir) / "dev", ec);
    ::munmap(m_map, kFileSize);
    m_map = nullptr;
}

void SimVideoOutput::Draw(const CameraPose& pose)
{
    auto* header = static_cast<QvtSimVideoHeader*>(m_map);
    __atomic_fetch_add(&header->sequence, 1u, __ATOMIC_ACQ_REL);  // odd: being written
    DrawRoom(pose, QVT_SIM_VIDEO_WIDTH, QVT_SIM_VIDEO_HEIGHT, static_cast<std::uint8_t*>(m_map) + sizeof(QvtSimVideoHeader));
    __atomic_fetch_add(&header->sequence, 1u, __ATOMIC_RELEASE);
    m_drawnPose = pose;
}
