// The camera library's operations on one process-wide link (the library's own state, as
// a closed camera library keeps it).
#include "camera/QvtVz1Api.h"

#include "camera/CameraAnnouncement.h"
#include "camera/CameraConnectionApi.h"
#include "camera/CameraLink.h"
#include "camera/CameraPresence.h"
#include "camera/ViscaReply.h"
#include "camera/ViscaUnits.h"
#include "camera/uvc/UvcCamera.h"
#include "platform/WinMessage.h"
#include "platform/WinMessages.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sys/stat.h>

namespace {

CameraLink& Link()
{
    static CameraLink link;
    return link;
}

// The configured connection and its model; set on the user-interface thread, read by the
// operations (the same thread, or the update worker for the firmware channel).
struct Setup
{
    CameraConnection connection;
    ViscaModel model = BuiltInModel("qvt-vz1");
};

std::mutex& SetupMutex()
{
    static std::mutex mutex;
    return mutex;
}

Setup& SetupLocked()
{
    static Setup setup;
    return setup;
}

Setup CurrentSetup()
{
    std::lock_guard lock(SetupMutex());
    return SetupLocked();
}

UvcCamera& Uvc()
{
    static UvcCamera camera;
    return camera;
}

bool IsUvc(const CameraConnection& c) { return c.kind == CameraConnection::Kind::Uvc; }

// The USB camera's node while it is open, or while it is the configured camera.
bool UsesUvc() { return Uvc().IsOpen() || IsUvc(CurrentSetup().connection); }

UnitMap Units() { return UnitMap(CurrentSetup().model); }
CameraCapabilities Caps() { return UsesUvc() ? Uvc().Capabilities() : CurrentSetup().model.Capabilities(); }

CameraLinkProfile LinkProfile(const CameraConnection& c)
{
    CameraLinkProfile p;
    p.address = c.kind == CameraConnection::Kind::Usb ? 1 : c.address;
    p.vendorFrames = c.Model().vendorFrames;
    p.addressSet = c.kind != CameraConnection::Kind::Network;
    p.framingStand = c.FramingStand();
    p.positionReplyLength = c.Model().PanTiltReplyLength();
    return p;
}

bool IsCharDevice(const std::string& path)
{
    struct stat st{};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

// The port of a configured serial camera, short enough for the caller's 20 bytes: a long
// /dev/serial/by-id/ name is given as the node it points to.
std::string SerialPortOf(const CameraConnection& c)
{
    if (!IsCharDevice(c.serialPort))
        return {};
    if (c.serialPort.size() <= 19)
        return c.serialPort;
    char resolved[PATH_MAX];
    return ::realpath(c.serialPort.c_str(), resolved) ? std::string(resolved) : std::string();
}

// The node of a USB camera, while it exists: it need not be a character device (the
// virtual camera's is a file on FUSE). A name too long for the caller's 20 bytes is given
// as "v4l2": the open takes the configured node whatever the port says.
std::string UvcPortOf(const CameraConnection& c)
{
    if (!UvcDevice::Exists(c.uvcDevice, UvcTiming{}.callTimeoutMs))
        return {};
    return c.uvcDevice.size() <= 19 ? c.uvcDevice : std::string("v4l2");
}

std::string PortOf(const CameraConnection& c)
{
    switch (c.kind) {
    case CameraConnection::Kind::Uvc: return UvcPortOf(c);
    case CameraConnection::Kind::Serial: return SerialPortOf(c);
    case CameraConnection::Kind::Network: return "network";
    default: return FindCameraPort();
    }
}

std::string Hex(const std::vector<std::uint8_t>& bytes, size_t from, size_t count)
{
    std::string out;
    char two[3];
    for (size_t i = from; i < from + count && i < bytes.size(); ++i) {
        std::snprintf(two, sizeof two, "%02X", bytes[i]);
        out += two;
    }
    return out;
}

// Bits of CamDrive: 8 up, 4 down, 2 left, 1 right; 16 zoom tele (in), 32 zoom wide (out).
constexpr int kUp = 8, kDown = 4, kLeft = 2, kRight = 1, kTele = 16, kWide = 32;
constexpr int kPanTiltBits = kUp | kDown | kLeft | kRight;
constexpr int kZoomBits = kTele | kWide;

visca::PanMotion PanOf(int bits)
{
    if ((bits & (kLeft | kRight)) == kLeft)
        return visca::PanMotion::Left;
    if ((bits & (kLeft | kRight)) == kRight)
        return visca::PanMotion::Right;
    return visca::PanMotion::Stop;  // none, or both at once
}

visca::TiltMotion TiltOf(int bits)
{
    if ((bits & (kUp | kDown)) == kUp)
        return visca::TiltMotion::Up;
    if ((bits & (kUp | kDown)) == kDown)
        return visca::TiltMotion::Down;
    return visca::TiltMotion::Stop;
}

visca::ZoomMotion ZoomOf(int bits)
{
    if ((bits & kZoomBits) == kTele)
        return visca::ZoomMotion::Tele;
    if ((bits & kZoomBits) == kWide)
        return visca::ZoomMotion::Wide;
    return visca::ZoomMotion::Stop;
}

// Pan and tilt come in one reply: 4 (or the model's 5) nibbles pan, 4 nibbles tilt.
std::optional<visca::PanTiltPosition> PanTiltWire()
{
    const int panNibbles = CurrentSetup().model.panNibbles;
    const auto payload = Link().Inquire(visca::PanTiltInquiry(), static_cast<std::size_t>(panNibbles) + 4);
    return payload ? visca::ReadPanTiltPosition(*payload, panNibbles) : std::nullopt;
}

std::optional<int> NibbleInquiry(const visca::Frame& frame)
{
    const auto payload = Link().Inquire(frame, 4);
    if (!payload)
        return std::nullopt;
    const auto value = visca::ReadNibbles(*payload, 4);
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}

int Store(int* out, std::optional<int> value)
{
    if (!out || !value)
        return 0;
    *out = *value;
    return 1;
}

} // namespace

extern "C" {

int CamIsPresent(void)
{
    const CameraConnection c = CurrentSetup().connection;
    switch (c.kind) {
    case CameraConnection::Kind::Serial:
        return IsCharDevice(c.serialPort) ? 1 : 0;
    case CameraConnection::Kind::Uvc:
        // The node exists and answers; asked on the open node, bounded by its time-out.
        if (Uvc().IsOpen())
            return Uvc().Answers() ? 1 : 0;
        return !UvcPortOf(c).empty() && UvcCamera::Probe(c).ok ? 1 : 0;
    case CameraConnection::Kind::Network:
        // While the link is open its keep-alive watches the camera; otherwise ask it.
        if (Link().IsUsable())
            return 1;
        return CamProbe(c).ok ? 1 : 0;
    default:
        return UsbCameraAttached() || !ReadCameraAnnouncement().empty() ? 1 : 0;
    }
}

int CamFindPort(char buf[20])
{
    if (!buf)
        return 0;
    const std::string port = PortOf(CurrentSetup().connection);
    if (port.empty() || port.size() > 19)
        return 0;
    std::memcpy(buf, port.c_str(), port.size() + 1);
    return 1;
}

int CamOpen(const char* port, HWND wnd, UINT linkMsg, UINT modeMsg)
{
    const CameraConnection c = CurrentSetup().connection;
    if (IsUvc(c)) {
        Link().Close();
        return Uvc().Open(c, wnd, linkMsg, modeMsg) ? 1 : 0;
    }
    Uvc().Close();
    return Link().Open(MakeTransport(c, port ? port : ""), LinkProfile(c), wnd, linkMsg, modeMsg) ? 1 : 0;
}

int CamClose(void)
{
    Link().Close();
    Uvc().Close();
    return 1;
}

int CamIsOpen(void)
{
    return Link().IsUsable() || Uvc().IsUsable() ? 1 : 0;
}

int CamDrive(int bits)
{
    if (UsesUvc())
        return Uvc().Drive(bits) ? 1 : 0;
    CameraLink& link = Link();
    const int last = link.driveBits.exchange(bits);
    // Only the axes that move or moved are sent; 0 stops all, whatever we believe moves.
    bool ok = true;
    if ((bits & kPanTiltBits) || (last & kPanTiltBits) || bits == 0)
        ok = link.Command(visca::PanTiltDrive(PanOf(bits), TiltOf(bits)), CameraLink::Wait::Ack) && ok;
    if ((bits & kZoomBits) || (last & kZoomBits) || bits == 0)
        ok = link.Command(visca::ZoomDrive(ZoomOf(bits)), CameraLink::Wait::Ack) && ok;
    return ok ? 1 : 0;
}

int CamSelectView(int view)
{
    if (UsesUvc())
        return Uvc().SelectView(view) ? 1 : 0;
    if (view < 0 || view > 0x7F)
        return 0;
    return Link().Command(visca::MemoryRecall(view), CameraLink::Wait::Ack) ? 1 : 0;
}

int CamSetPosition(int kind, int pan, int tilt, int zoom, int roll)
{
    if (kind != 1 && kind != 2)
        return 0;
    // A USB camera has no roll: the preset keeps it, unsent.
    if (UsesUvc())
        return Uvc().SetPosition(pan, tilt, zoom) ? 1 : 0;
    const ViscaModel model = CurrentSetup().model;
    const UnitMap units(model);
    CameraLink& link = Link();
    // Moves are acknowledged at once and complete later; waiting for the ACK keeps the
    // caller's wait short however far the camera has to travel.
    const visca::Frame move = visca::PanTiltAbsolute(units.PanToWire(pan), units.TiltToWire(tilt), visca::kMaxPanSpeed,
                                                     visca::kMaxTiltSpeed, model.panNibbles);
    bool ok = link.Command(move, CameraLink::Wait::Ack);
    ok = link.Command(visca::ZoomDirect(units.ZoomToWire(zoom)), CameraLink::Wait::Ack) && ok;
    // A camera without roll keeps the preset's roll unsent.
    if (Caps().roll)
        ok = link.Command(visca::RollDirect(kind, visca_units::RollToWire(roll)), CameraLink::Wait::Ack) && ok;
    return ok ? 1 : 0;
}

int CamGetPan(int* value)
{
    if (UsesUvc())
        return Store(value, Uvc().Pan());
    const auto wire = PanTiltWire();
    return Store(value, wire ? Units().PanFromWire(wire->pan) : std::nullopt);
}

int CamGetTilt(int* value)
{
    if (UsesUvc())
        return Store(value, Uvc().Tilt());
    const auto wire = PanTiltWire();
    return Store(value, wire ? Units().TiltFromWire(wire->tilt) : std::nullopt);
}

int CamGetZoom(int* value)
{
    if (UsesUvc())
        return Store(value, Uvc().Zoom());
    const auto wire = NibbleInquiry(visca::ZoomInquiry());
    return Store(value, wire ? Units().ZoomFromWire(*wire) : std::nullopt);
}

int CamGetRoll(int* value)
{
    if (!Caps().roll)
        return 0;
    const auto wire = NibbleInquiry(visca::VendorInquiry(visca::kItemRoll));
    return Store(value, wire ? visca_units::RollFromWire(*wire) : std::nullopt);
}

int CamGetFirmwareVersion(char buf[32])
{
    if (!buf || !Caps().firmware)
        return 0;
    const auto text = Link().Inquire(visca::VendorInquiry(visca::kItemFirmwareVersion), 0);
    if (!text)
        return 0;
    std::memcpy(buf, text->data(), text->size());  // at most 8 bytes, checked by the link
    buf[text->size()] = '\0';
    return 1;
}

int CamGetVideoFormat(int* format)
{
    if (!Caps().videoFormat)
        return 0;
    const auto payload = Link().Inquire(visca::VendorInquiry(visca::kItemVideoFormat), 1);
    if (!payload || (*payload)[0] > 1)
        return 0;
    return Store(format, (*payload)[0]);
}

int CamSetVideoFormat(int format)
{
    if ((format != 0 && format != 1) || !Caps().videoFormat)
        return 0;
    return Link().Command(visca::VideoFormatSet(format), CameraLink::Wait::Completion) ? 1 : 0;
}

int CamCommitSettings(void)
{
    if (!Caps().videoFormat)
        return 0;
    return Link().Command(visca::CommitSettings(), CameraLink::Wait::Completion) ? 1 : 0;
}

} // extern "C"

void CamConfigure(const CameraConnection& connection)
{
    std::lock_guard lock(SetupMutex());
    SetupLocked().connection = connection;
    SetupLocked().model = connection.Model();
}

CameraConnection CamConnection() { return CurrentSetup().connection; }

CameraCapabilities CamCapabilities() { return Caps(); }

// A USB camera's node is asked too: the virtual camera's node on FUSE sends no udev events.
bool CamPollsPresence()
{
    const CameraConnection::Kind kind = CurrentSetup().connection.kind;
    return kind == CameraConnection::Kind::Network || kind == CameraConnection::Kind::Uvc;
}

namespace {

// Fills probe from the version inquiry's answer (vendor, model, ROM version, sockets).
CameraProbe Probed(const std::vector<std::uint8_t>& version)
{
    CameraProbe probe;
    probe.ok = probe.answered = true;
    probe.vendor = Hex(version, 0, 2);
    probe.model = Hex(version, 2, 2);
    probe.rom = Hex(version, 4, 2);
    return probe;
}

} // namespace

CameraProbe CamProbeOnOwnLink(const CameraConnection& connection)
{
    if (IsUvc(connection))
        return UvcCamera::Probe(connection);
    CameraProbe probe;
    // One try of each step: an absent camera is asked again every few seconds anyway.
    CameraLinkTiming once;
    once.openAttempts = 1;
    CameraLink own(once);
    const std::string port = PortOf(connection);
    if (connection.kind != CameraConnection::Kind::Network && port.empty()) {
        probe.error = connection.kind == CameraConnection::Kind::Usb ? "no camera" : connection.serialPort + ": no such port";
        return probe;
    }
    if (!own.Open(MakeTransport(connection, port), LinkProfile(connection), nullptr, 0, 0)) {
        probe.error = own.OpenError();
        return probe;
    }
    probe.answered = true;
    std::vector<std::uint8_t> version = own.OpenVersion();
    if (version.size() != 7) {
        const auto answer = own.Inquire(visca::VersionInquiry(), 7);
        if (!answer) {
            probe.error = "no answer to the version inquiry";
            return probe;
        }
        version = *answer;
    }
    return Probed(version);
}

CameraProbe CamProbe(const CameraConnection& connection)
{
    if (!(connection == CurrentSetup().connection && Link().IsUsable()))
        return CamProbeOnOwnLink(connection);
    const auto answer = Link().Inquire(visca::VersionInquiry(), 7);
    if (!answer) {
        CameraProbe probe;
        probe.answered = true;  // the open link is up
        probe.error = "no answer to the version inquiry";
        return probe;
    }
    return Probed(*answer);
}
