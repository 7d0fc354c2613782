#include "tests/support/CameraApiDouble.h"

#include "camera/QvtVz1Api.h"
#include "platform/WinMessage.h"

#include <cstring>
#include <string_view>

CameraApiDouble& CamDouble()
{
    static CameraApiDouble d;
    return d;
}

void CameraApiDouble::Reset()
{
    std::lock_guard lock(mutex);
    connection = {};
    capabilities = {};
    pollsPresence = 0;
    probe = {};
    ownLinkAnswers = false;
    holdProbes = false;
    released.notify_all();
    present = 1;
    findPortResult = 1;
    port = "/dev/pts/77";
    openAfterCamOpen = 1;
    pan = {1, 90};
    tilt = {1, 0};
    zoom = {1, 90};
    roll = {1, 90};
    firmwareVersionResult = 1;
    firmwareVersion = "2.03";
    videoFormat = 0;
    firmwareHandle = 42;
    firmwareWriteResult = 1;
    firmwareProgress = {0, 50, 100};
    wnd = nullptr;
    linkMsg = modeMsg = 0;
    open = 0;
    calls.clear();
}

void CameraApiDouble::HoldOwnLinkProbes(bool hold)
{
    std::lock_guard lock(mutex);
    holdProbes = hold;
    released.notify_all();
}

bool CameraApiDouble::OwnLinkProbeHeld() const
{
    std::lock_guard lock(mutex);
    return heldProbes > 0;
}

void CameraApiDouble::Record(std::string call)
{
    std::lock_guard lock(mutex);
    calls.push_back(std::move(call));
}

std::vector<std::string> CameraApiDouble::Commands() const
{
    std::lock_guard lock(mutex);
    std::vector<std::string> out;
    for (const auto& c : calls) {
        const std::string_view v(c);
        if (v.starts_with("CamIsPresent(") || v.starts_with("CamIsOpen(") || v.starts_with("CamFindPort(")
            || v.starts_with("CamCapabilities(") || v.starts_with("CamPollsPresence("))
            continue;
        out.push_back(c);
    }
    return out;
}

std::vector<std::string> CameraApiDouble::TakeCommands()
{
    auto out = Commands();
    std::lock_guard lock(mutex);
    calls.clear();
    return out;
}

namespace {
std::string Args(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values) {
        if (!s.empty())
            s += ',';
        s += std::to_string(v);
    }
    return s;
}

int Get(const char* name, const CameraGetter& g, int* value)
{
    CamDouble().Record(std::string(name) + "()");
    // Like the library: a closed camera answers nothing, so a read-back after the close is lost.
    if (!CamDouble().open)
        return 0;
    if (g.result && value)
        *value = g.value;
    return g.result;
}
} // namespace

extern "C" {

int CamIsPresent(void)
{
    CamDouble().Record("CamIsPresent()");
    return CamDouble().present;
}

int CamFindPort(char buf[20])
{
    auto& d = CamDouble();
    d.Record("CamFindPort()");
    if (d.findPortResult == 1) {
        std::memset(buf, 0, 20);
        std::strncpy(buf, d.port.c_str(), 19);
    }
    return d.findPortResult;
}

int CamOpen(const char* port, HWND wnd, UINT linkMsg, UINT modeMsg)
{
    auto& d = CamDouble();
    d.Record("CamOpen(" + std::string(port ? port : "") + "," + std::to_string(linkMsg) + "," + std::to_string(modeMsg) + ")");
    d.wnd = wnd;
    d.linkMsg = linkMsg;
    d.modeMsg = modeMsg;
    d.open = d.openAfterCamOpen;
    return 1;
}

int CamClose(void)
{
    CamDouble().Record("CamClose()");
    CamDouble().open = 0;
    return 1;
}

int CamIsOpen(void)
{
    CamDouble().Record("CamIsOpen()");
    return CamDouble().open;
}

int CamDrive(int bits)
{
    CamDouble().Record("CamDrive(" + Args({bits}) + ")");
    return 1;
}

int CamSelectView(int view)
{
    CamDouble().Record("CamSelectView(" + Args({view}) + ")");
    return 1;
}

int CamSetPosition(int kind, int pan, int tilt, int zoom, int roll)
{
    CamDouble().Record("CamSetPosition(" + Args({kind, pan, tilt, zoom, roll}) + ")");
    return 1;
}

int CamGetPan(int* value) { return Get("CamGetPan", CamDouble().pan, value); }
int CamGetTilt(int* value) { return Get("CamGetTilt", CamDouble().tilt, value); }
int CamGetZoom(int* value) { return Get("CamGetZoom", CamDouble().zoom, value); }
int CamGetRoll(int* value) { return Get("CamGetRoll", CamDouble().roll, value); }

int CamGetFirmwareVersion(char buf[32])
{
    auto& d = CamDouble();
    d.Record("CamGetFirmwareVersion()");
    if (d.firmwareVersionResult) {
        std::memset(buf, 0, 32);
        std::strncpy(buf, d.firmwareVersion.c_str(), 31);
    }
    return d.firmwareVersionResult;
}

int CamGetVideoFormat(int* format)
{
    CamDouble().Record("CamGetVideoFormat()");
    if (format)
        *format = CamDouble().videoFormat;
    return 1;
}

int CamSetVideoFormat(int format)
{
    CamDouble().Record("CamSetVideoFormat(" + Args({format}) + ")");
    return 1;
}

int CamCommitSettings(void)
{
    CamDouble().Record("CamCommitSettings()");
    return 1;
}

int CamFirmwareOpen(const char* port)
{
    CamDouble().Record("CamFirmwareOpen(" + std::string(port ? port : "") + ")");
    return CamDouble().firmwareHandle;
}

int CamFirmwareWrite(int handle, const unsigned char* image, int size, HWND wnd, UINT msg)
{
    auto& d = CamDouble();
    d.Record("CamFirmwareWrite(" + Args({handle, size}) + ")");
    for (int p : d.firmwareProgress)
        PostMessage(wnd, msg, static_cast<WPARAM>(p), 0);
    return d.firmwareWriteResult;
}

int CamFirmwareClose(int handle)
{
    CamDouble().Record("CamFirmwareClose(" + Args({handle}) + ")");
    return 1;
}

} // extern "C"

void CamConfigure(const CameraConnection& connection)
{
    CamDouble().Record("CamConfigure(" + connection.Describe() + ")");
    std::lock_guard lock(CamDouble().mutex);
    CamDouble().connection = connection;
}

CameraConnection CamConnection()
{
    std::lock_guard lock(CamDouble().mutex);
    return CamDouble().connection;
}

CameraCapabilities CamCapabilities()
{
    CamDouble().Record("CamCapabilities()");
    std::lock_guard lock(CamDouble().mutex);
    return CamDouble().capabilities;
}

bool CamPollsPresence()
{
    CamDouble().Record("CamPollsPresence()");
    return CamDouble().pollsPresence != 0;
}

CameraProbe CamProbe(const CameraConnection& connection)
{
    CamDouble().Record("CamProbe(" + connection.Describe() + ")");
    std::lock_guard lock(CamDouble().mutex);
    return CamDouble().probe;
}

CameraProbe CamProbeOnOwnLink(const CameraConnection& connection)
{
    auto& d = CamDouble();
    d.Record("CamProbeOnOwnLink(" + connection.Describe() + ")");
    std::unique_lock lock(d.mutex);
    ++d.heldProbes;
    d.released.wait_for(lock, std::chrono::seconds(10), [&] { return !d.holdProbes; });
    --d.heldProbes;
    CameraProbe probe;
    probe.ok = probe.answered = d.ownLinkAnswers;
    if (probe.ok) {
        probe.vendor = d.probe.vendor;
        probe.model = d.probe.model;
        probe.rom = d.probe.rom;
    } else {
        probe.error = d.probe.error.empty() ? "no answer" : d.probe.error;
    }
    return probe;
}
