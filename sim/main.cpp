// qvt-vz1-sim: the virtual camera. Commands come from standard input or a script file;
// see docs/virtual-camera.md.
#include "camera/CameraAnnouncement.h"
#include "camera/model/ViscaModel.h"
#include "sim/CameraCommands.h"
#include "sim/CommandRegistry.h"
#include "sim/SimConsole.h"
#include "sim/VirtualCamera.h"
#include "sim/speakerphones/SpeakerphoneCommands.h"
#include "sim/speakerphones/SpeakerphoneSimulator.h"
#include "sim/uvc/FuseNode.h"
#include "sim/uvc/UvcCommands.h"
#include "sim/video/SimVideoCommands.h"
#include "sim/video/SimVideoOutput.h"

#include <csignal>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>
#include <memory>
#include <optional>
#include <sstream>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* g_announcement = nullptr;
const char* g_uvcMount = nullptr;  // the virtual USB camera's FUSE mount

// Async-signal-safe: a mount left behind would answer "transport endpoint not connected".
void UnmountOnSignal()
{
    if (!g_uvcMount || ::umount2(g_uvcMount, MNT_DETACH) == 0)
        return;
    if (const pid_t child = ::fork(); child == 0) {
        ::execlp("fusermount3", "fusermount3", "-u", "-z", g_uvcMount, static_cast<char*>(nullptr));
        ::_exit(1);
    } else if (child > 0) {
        ::waitpid(child, nullptr, 0);
    }
}

// SIGTERM, SIGINT, SIGHUP: withdraw the announcement and end; the kernel closes the port.
extern "C" void OnSignal(int)
{
    if (g_announcement)
        ::unlink(g_announcement);
    RemoveSpeakerphonePathsOnSignal();
    UnmountOnSignal();
    RemoveSimVideoOnSignal();
    ::_exit(0);
}

void Usage()
{
    std::cout << "usage: qvt-vz1-sim [--script FILE] [--stay] [--trace] [--trace-stamps] [--detached]\n"
                 "                   [--restart-ms MS] [--version TEXT] [--stand NAME]\n"
                 "                   [--model qvt-vz1|generic|evi-d70|evi-d80|brc-h700] [--listen-udp PORT] [--listen-tcp PORT]\n"
                 "                   [--listen-visca-ip PORT] [--no-pty]\n"
                 "                   [--model uvc --v4l2-node PATH [--uvc-profile NAME]]\n"
                 "  --script FILE    read commands from FILE instead of standard input\n"
                 "  --stay           keep running at the end of the input (until a signal)\n"
                 "  --trace          print one line per command the camera receives\n"
                 "  --trace-stamps   start each trace line with the wall-clock time in ms since 1970\n"
                 "  --detached       start unplugged (default: attached)\n"
                 "  --restart-ms MS  how long a firmware restart takes (default 3000)\n"
                 "  --version TEXT   firmware version at start (default 2.03)\n"
                 "  --stand NAME     release|upside|ohp|front at start (default upside)\n"
                 "  --model NAME     qvt-vz1 (default), or a standard VISCA camera of that row of the\n"
                 "                   model table (generic; brc-h700 has a 20-bit pan position)\n"
                 "  --listen-udp PORT, --listen-tcp PORT, --listen-visca-ip PORT\n"
                 "                   also serve the camera on 127.0.0.1 (VISCA frames over UDP\n"
                 "                   or TCP, VISCA over IP); 0 takes any free port\n"
                 "  --no-pty         serve the network ports only (no pseudo-terminal)\n"
                 "  --model uvc      a USB camera: V4L2 controls on the node --v4l2-node PATH,\n"
                 "                   a file on a FUSE mount of its folder\n"
                 "  --uvc-profile NAME  the USB camera's controls: tiny (default), c920, zoom-only\n";
}

bool ParseInt(const char* text, int& value, long max = 3600000)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < 0 || v > max)
        return false;
    value = static_cast<int>(v);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::string script;
    bool stay = false, trace = false, stamps = false, detached = false;
    VirtualCameraOptions options;
    bool uvc = false;
    std::string uvcNodePath;
    const UvcProfile* uvcProfile = &UvcProfiles().front();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--script" && hasValue)
            script = argv[++i];
        else if (arg == "--stay")
            stay = true;
        else if (arg == "--trace")
            trace = true;
        else if (arg == "--trace-stamps")
            trace = stamps = true;
        else if (arg == "--detached")
            detached = true;
        else if (arg == "--restart-ms" && hasValue && ParseInt(argv[i + 1], options.restartMs))
            ++i;
        else if (arg == "--version" && hasValue && std::strlen(argv[i + 1]) <= 8)
            options.version = argv[++i];
        else if (arg == "--stand" && hasValue && StandFromName(argv[i + 1]) >= 0)
            options.stand = StandFromName(argv[++i]);
        else if (arg == "--model" && hasValue && !std::strcmp(argv[i + 1], "uvc") && ++i)
            uvc = true;
        else if (arg == "--v4l2-node" && hasValue)
            uvcNodePath = argv[++i];
        else if (arg == "--uvc-profile" && hasValue && FindUvcProfile(argv[i + 1]))
            uvcProfile = FindUvcProfile(argv[++i]);
        else if (arg == "--model" && hasValue && BuiltInModel(argv[i + 1]).id == argv[i + 1]) {
            options.model = argv[++i];
            options.generic = options.model != "qvt-vz1";
        }
        else if (arg == "--listen-udp" && hasValue && ParseInt(argv[i + 1], options.network.udp, 65535))
            ++i;
        else if (arg == "--listen-tcp" && hasValue && ParseInt(argv[i + 1], options.network.tcp, 65535))
            ++i;
        else if (arg == "--listen-visca-ip" && hasValue && ParseInt(argv[i + 1], options.network.viscaIp, 65535))
            ++i;
        else if (arg == "--no-pty")
            options.pty = false;
        else {
            Usage();
            return arg == "--help" ? 0 : 2;
        }
    }

    if ((!uvc && !options.pty && !options.network.Any()) || uvc != !uvcNodePath.empty()) {
        Usage();
        return 2;
    }

    static const std::string announcement = CameraAnnouncementPath();
    g_announcement = announcement.c_str();
    struct sigaction sa{};
    sa.sa_handler = OnSignal;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    std::mutex outMutex;
    auto sink = [trace, stamps, &outMutex](const std::string& line) {
        if (!trace)
            return;
        std::lock_guard lock(outMutex);
        if (stamps) {
            // Wall-clock time, so that a run's own log can be laid beside the trace.
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            std::fprintf(stdout, "%lld ", static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()));
        }
        std::fputs((line + "\n").c_str(), stdout);
        std::fflush(stdout);
    };
    CommandRegistry registry;
    // The USB camera replaces the VISCA camera: nothing is announced, the node is the camera.
    std::unique_ptr<VirtualCamera> camera;
    std::unique_ptr<FuseNode> uvcNode;
    if (uvc) {
        uvcNode = std::make_unique<FuseNode>(uvcNodePath, *uvcProfile, sink);
        if (!uvcNode->Mounted()) {
            std::cerr << "qvt-vz1-sim: cannot serve " << uvcNodePath << ": " << uvcNode->Error() << "\n";
            return 1;
        }
        static const std::string mountPoint = uvcNode->MountPoint();
        g_uvcMount = mountPoint.c_str();
        RegisterUvcCommands(registry, *uvcNode);
        if (!detached)
            uvcNode->Attach();
    } else {
        camera = std::make_unique<VirtualCamera>(options, sink);
        RegisterCameraCommands(registry, *camera);
    }
    SpeakerphoneSimulator speakerphones;
    RegisterSpeakerphoneCommands(registry, speakerphones);
    // The picture while the VISCA camera is plugged in.
    std::unique_ptr<SimVideoOutput> video;
    if (camera) {
        video = std::make_unique<SimVideoOutput>(CameraRuntimeDir(), [&camera]() -> std::optional<CameraPose> {
            if (!camera->IsAttached())
                return std::nullopt;
            const CameraModel m = camera->Snapshot();
            return CameraPose{m.pan, m.tilt, m.zoom, m.roll, m.stand};
        });
        RegisterVideoCommands(registry, *video);
    }
    if (camera && !detached && !camera->Attach())
        std::cerr << "qvt-vz1-sim: cannot attach the camera\n";

    // Console output goes through the same lock as the trace, a line at a time.
    struct LockedBuf : std::stringbuf
    {
        std::mutex& m;
        explicit LockedBuf(std::mutex& mutex) : m(mutex) {}
        int sync() override
        {
            std::lock_guard lock(m);
            std::fputs(str().c_str(), stdout);
            std::fflush(stdout);
            str({});
            return 0;
        }
    } buf(outMutex);
    std::ostream out(&buf);
    out.setf(std::ios::unitbuf);

    SimConsole console(registry, out);
    bool quit = false;
    if (!script.empty()) {
        std::ifstream in(script);
        if (!in) {
            std::cerr << "qvt-vz1-sim: cannot read " << script << "\n";
            return 2;
        }
        quit = console.Run(in, false);
    } else {
        quit = console.Run(std::cin, ::isatty(STDIN_FILENO));
    }
    if (!quit && stay) {
        for (;;)
            ::pause();  // until a signal ends the program
    }
    return 0;
}
