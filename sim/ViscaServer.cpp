#include "sim/ViscaServer.h"

#include "sim/ServerReplies.h"

#include "camera/ViscaUnits.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

void NotExecutable(ServerOutput& out) { Append(out.reply, visca::ErrorReply(kSocket, visca::kErrorNotExecutable)); }

void SyntaxError(const visca::Frame& f, ServerOutput& out)
{
    Append(out.reply, visca::ErrorReply(0, visca::kErrorSyntax));
    out.trace.push_back("syntax-error frame=" + visca::ToHex(f));
}

int Round(double value) { return static_cast<int>(std::lround(value)); }

std::span<const std::uint8_t> Tail(const visca::Frame& f, size_t from)
{
    return from < f.size() ? std::span(f).subspan(from) : std::span<const std::uint8_t>();
}

void ReplyNibbles(ServerOutput& out, std::initializer_list<std::pair<std::uint32_t, int>> values)
{
    visca::Frame payload;
    for (auto [value, count] : values)
        visca::AppendNibbles(payload, value, count);
    Append(out.reply, visca::InquiryReply(payload));
}

} // namespace

ViscaServer::ViscaServer(CameraModel& model, bool generic, const std::string& modelId)
    : m_model(model)
    , m_generic(generic)
    , m_units(BuiltInModel(generic ? modelId : "qvt-vz1"))
    , m_panNibbles(BuiltInModel(generic ? modelId : "qvt-vz1").panNibbles)
{
    for (int n = 0; n < kMemories; ++n)
        m_memories[n] = DefaultMemory(n);
    m_model.panMin = m_units.PanMin(), m_model.panMax = m_units.PanMax();
    m_model.tiltMin = m_units.TiltMin(), m_model.tiltMax = m_units.TiltMax();
}

ServerOutput ViscaServer::Handle(const visca::Frame& f, long long nowMs)
{
    ServerOutput out;
    m_model.Advance(nowMs);
    if (f.size() < 3 || f.back() != visca::kTerminator)
        return out;
    if (f[0] == visca::kBroadcastHeader) {
        if (f == visca::AddressSet()) {
            out.trace.push_back("address-set");
            Append(out.reply, visca::AddressSetReply(2));
        } else if (f == visca::InterfaceClear()) {
            out.trace.push_back("if-clear");
            Append(out.reply, visca::InterfaceClearReply());
        }
        return out;
    }
    if (f[0] != visca::kCameraHeader)
        return out;  // another address or not a command: not ours
    if (f.size() == 5 && f[1] == 0x01 && f[2] == 0x00 && f[3] == 0x01) {
        // Interface clear sent to this camera alone: a socketless completion, 90 50 FF.
        out.trace.push_back("if-clear");
        m_model.StopAll();
        out.reply = {visca::kReplyHeader, 0x50, visca::kTerminator};
        return out;
    }
    if (m_generic && Generic(f, out))
        return out;
    if (f[1] == 0x01)
        Command(f, out);
    else if (f[1] == 0x09)
        Inquiry(f, out);
    else if ((f[1] & 0xF0) == 0x20 && f.size() == 3) {
        // Cancel: commands finish at once here, so there is never one to cancel.
        out.trace.push_back("cancel");
        Append(out.reply, visca::ErrorReply(f[1] & 0x0F, visca::kErrorNoSocket));
    } else {
        SyntaxError(f, out);
    }
    return out;
}

void ViscaServer::Command(const visca::Frame& f, ServerOutput& out)
{
    CameraModel& m = m_model;
    if (f.size() >= 4 && f[2] == visca::kVendor) {
        Vendor(f, out);
        return;
    }
    // 81 01 06 01 VV WW XX YY FF: pan-tilt drive
    if (f.size() == 9 && f[2] == 0x06 && f[3] == 0x01) {
        const int vv = f[4], ww = f[5], xx = f[6], yy = f[7];
        // A still axis's speed means nothing: common controllers send 00 there, and cameras take it.
        const bool panMoves = xx == 1 || xx == 2, tiltMoves = yy == 1 || yy == 2;
        if ((panMoves && (vv < 1 || vv > visca::kMaxPanSpeed)) || (tiltMoves && (ww < 1 || ww > visca::kMaxTiltSpeed))
            || xx < 1 || xx > 3 || yy < 1 || yy > 3) {
            SyntaxError(f, out);
            return;
        }
        if (panMoves)
            m.panSpeed = vv;
        if (tiltMoves)
            m.tiltSpeed = ww;
        m.panDirection = xx == 1 ? -1 : xx == 2 ? 1 : 0;
        m.tiltDirection = yy == 1 ? 1 : yy == 2 ? -1 : 0;
        out.trace.push_back("drive bits=" + std::to_string(m.PanTiltBits()));
        Done(out);
        return;
    }
    // 81 01 06 02 VV WW 0Y 0Y 0Y 0Y (0Y) 0Z 0Z 0Z 0Z FF: absolute pan-tilt (relative: generic only)
    if (f.size() >= 4 && f[2] == 0x06 && (f[3] == 0x02 || (f[3] == 0x03 && m_generic))) {
        PanTiltPosition(f, out);
        return;
    }
    // 81 01 06 04 FF home, 81 01 06 05 FF reset (a real head runs to its ends first):
    // both end at the centre, wire 0/0.
    if (f.size() == 5 && f[2] == 0x06 && (f[3] == 0x04 || f[3] == 0x05)) {
        out.trace.push_back(f[3] == 0x04 ? "pan-tilt-home" : "pan-tilt-reset");
        m.pan = m_units.PanFromWireExact(0);
        m.tilt = m_units.TiltFromWireExact(0);
        m.panDirection = m.tiltDirection = 0;
        Done(out);
        return;
    }
    // 81 01 04 07 0p FF: zoom stop / tele / wide (standard or variable speed)
    if (f.size() == 6 && f[2] == 0x04 && f[3] == 0x07) {
        const int p = f[4];
        if (p == 0x00)
            m.zoomDirection = 0;
        else if (p == 0x02 || (p & 0xF0) == 0x20)
            m.zoomDirection = 1;
        else if (p == 0x03 || (p & 0xF0) == 0x30)
            m.zoomDirection = -1;
        else {
            SyntaxError(f, out);
            return;
        }
        out.trace.push_back("zoom-drive bits=" + std::to_string(m.ZoomBits()));
        Done(out);
        return;
    }
    // 81 01 04 47 0p 0q 0r 0s FF: zoom direct
    if (f.size() == 9 && f[2] == 0x04 && f[3] == 0x47) {
        const auto zoom = visca::ReadNibbles(Tail(f, 4), 4);
        if (!zoom) {
            SyntaxError(f, out);
            return;
        }
        const double z = visca_units::ZoomFromWireExact(static_cast<int>(*zoom));
        out.trace.push_back("zoom-direct zoom=" + std::to_string(Round(z)));
        if (*zoom > static_cast<std::uint32_t>(visca_units::kZoomWireMax)) {
            NotExecutable(out);
            return;
        }
        m.zoom = z;
        m.zoomDirection = 0;
        Done(out);
        return;
    }
    // 81 01 04 3F 0c pp FF: memory reset / set / recall. Only the built-in views 0 and 3
    // can be recalled; they cannot be overwritten.
    if (f.size() == 7 && f[2] == 0x04 && f[3] == 0x3F && f[4] <= 0x02 && f[5] <= 0x7F) {
        if (f[4] != 0x02) {
            out.trace.push_back("memory-" + std::string(f[4] == 0 ? "reset" : "set") + " memory=" + std::to_string(f[5]));
            NotExecutable(out);
            return;
        }
        out.trace.push_back("select-view view=" + std::to_string(f[5]));
        if (f[5] == 0) {  // the whole table: centred, wide
            m.pan = 90, m.tilt = 0, m.zoom = 0, m.roll = 90;
        } else if (f[5] == 3) {  // one participant: centred, raised, closer
            m.pan = 90, m.tilt = 20, m.zoom = 120, m.roll = 90;
        } else {
            NotExecutable(out);
            return;
        }
        m.StopAll();
        Done(out);
        return;
    }
    SyntaxError(f, out);
}

void ViscaServer::PanTiltPosition(const visca::Frame& f, ServerOutput& out)
{
    CameraModel& m = m_model;
    const bool relative = f[3] == 0x03;
    const std::size_t tiltAt = 6 + static_cast<std::size_t>(m_panNibbles);
    const auto pan = visca::ReadNibbles(Tail(f, 6), m_panNibbles);
    const auto tilt = visca::ReadNibbles(Tail(f, tiltAt), 4);
    if (f.size() != tiltAt + 5 || !pan || !tilt || f[4] < 1 || f[4] > visca::kMaxPanSpeed || f[5] < 1
        || f[5] > visca::kMaxTiltSpeed) {
        SyntaxError(f, out);
        return;
    }
    int panWire = visca::SignExtendNibbles(*pan, m_panNibbles);
    int tiltWire = visca::SignExtend16(*tilt);
    if (relative) {  // a step from where the camera is, in its own units
        panWire += m_units.PanToWire(m.pan);
        tiltWire += m_units.TiltToWire(m.tilt);
    }
    const double p = m_units.PanFromWireExact(panWire);
    const double t = m_units.TiltFromWireExact(tiltWire);
    out.trace.push_back(std::string(relative ? "pan-tilt-relative" : "pan-tilt-absolute") + " pan=" + std::to_string(Round(p))
                        + " tilt=" + std::to_string(Round(t)));
    if (p < m.panMin || p > m.panMax || t < m.tiltMin || t > m.tiltMax) {
        NotExecutable(out);
        return;
    }
    // Moves arrive at once: the preset is where the camera is when the command completes,
    // which is what a read-back right after expects.
    m.pan = p;
    m.tilt = t;
    m.panDirection = m.tiltDirection = 0;
    Done(out);
}

void ViscaServer::Vendor(const visca::Frame& f, ServerOutput& out)
{
    CameraModel& m = m_model;
    if (f.size() >= 5 && f[3] == 0x02) {
        Firmware(f, out);
        return;
    }
    // 81 01 7E 01 10 0k 0p 0q 0r 0s FF: roll, alone (k 0) or completing a preset of kind k
    if (f.size() == 11 && f[3] == 0x01 && f[4] == visca::kItemRoll && f[5] <= 2) {
        const auto roll = visca::ReadNibbles(Tail(f, 6), 4);
        if (!roll) {
            SyntaxError(f, out);
            return;
        }
        const double r = visca_units::RollFromWireExact(static_cast<int>(*roll));
        if (f[5] == 0)
            out.trace.push_back("roll-direct roll=" + std::to_string(Round(r)));
        else
            out.trace.push_back("set-position kind=" + std::to_string(f[5]) + " pan=" + std::to_string(Round(m.pan))
                                + " tilt=" + std::to_string(Round(m.tilt)) + " zoom=" + std::to_string(Round(m.zoom))
                                + " roll=" + std::to_string(Round(r)));
        if (r > visca_units::kRollMax) {
            NotExecutable(out);
            return;
        }
        m.roll = r;
        Done(out);
        return;
    }
    // 81 01 7E 01 30 0p FF: video format
    if (f.size() == 7 && f[3] == 0x01 && f[4] == visca::kItemVideoFormat && f[5] <= 0x0F) {
        out.trace.push_back("video-format format=" + std::to_string(f[5]));
        if (f[5] > 1) {
            NotExecutable(out);
            return;
        }
        m.videoFormat = f[5];
        Done(out);
        return;
    }
    // 81 01 7E 01 40 FF: keep the settings over a power cycle
    if (f.size() == 6 && f[3] == 0x01 && f[4] == visca::kItemCommit) {
        out.trace.push_back("commit");
        m.committedVideoFormat = m.videoFormat;
        Done(out);
        return;
    }
    SyntaxError(f, out);
}

void ViscaServer::Firmware(const visca::Frame& f, ServerOutput& out)
{
    const std::uint8_t item = f[4];
    if (item == visca::kFirmwareStart && f.size() == 14) {
        const auto size = visca::ReadNibbles(Tail(f, 5), 8);
        if (!size) {
            SyntaxError(f, out);
            return;
        }
        out.trace.push_back("firmware-write bytes=" + std::to_string(*size));
        if (m_firmware.Start(*size))
            Done(out);
        else
            NotExecutable(out);
        return;
    }
    if (item == visca::kFirmwareBlock && f.size() >= 12 && f.size() % 2 == 0) {
        const auto sequence = visca::ReadNibbles(Tail(f, 5), 4);
        std::vector<std::uint8_t> data;
        data.reserve((f.size() - 10) / 2);
        bool valid = sequence.has_value();
        for (size_t i = 9; valid && i + 1 < f.size() - 1; i += 2) {
            const auto byte = visca::ReadNibbles(Tail(f, i), 2);
            valid = byte.has_value();
            if (valid)
                data.push_back(static_cast<std::uint8_t>(*byte));
        }
        if (!valid) {
            SyntaxError(f, out);
            return;
        }
        if (m_firmware.Block(static_cast<std::uint16_t>(*sequence), data) == FirmwareReceiver::BlockResult::Refused)
            NotExecutable(out);
        else
            Done(out);
        return;
    }
    if (item == visca::kFirmwareEnd && f.size() == 10) {
        const auto checksum = visca::ReadNibbles(Tail(f, 5), 4);
        if (!checksum) {
            SyntaxError(f, out);
            return;
        }
        const auto version = m_firmware.Finish(static_cast<std::uint16_t>(*checksum));
        if (!version) {
            out.trace.push_back("firmware-end result=refused");
            NotExecutable(out);
            return;
        }
        out.trace.push_back("firmware-end result=accepted version=" + *version);
        out.restart = true;
        out.newVersion = *version;
        Done(out);
        return;
    }
    SyntaxError(f, out);
}

void ViscaServer::Inquiry(const visca::Frame& f, ServerOutput& out)
{
    const CameraModel& m = m_model;
    const auto wire16 = [](int value) { return static_cast<std::uint32_t>(value) & 0xFFFF; };
    // The trace names what the reply tells a reader in the controller's units, so that a
    // run can match what the controller stored against what it was told.
    const auto told = [](std::optional<int> value) { return value ? std::to_string(*value) : std::string("?"); };
    if (f == visca::PanTiltInquiry()) {
        const int panWire = m_generic ? m_units.PanToWire(m.pan) : Round((m.pan - 180) * 10);
        const int tiltWire = m_generic ? m_units.TiltToWire(m.tilt) : Round(m.tilt * 10);
        out.trace.push_back("inquire pan-tilt pan="
                            + told(m_generic ? m_units.PanFromWire(panWire) : visca_units::PanFromWire(panWire))
                            + " tilt="
                            + told(m_generic ? m_units.TiltFromWire(tiltWire) : visca_units::TiltFromWire(tiltWire)));
        ReplyNibbles(out, {{static_cast<std::uint32_t>(panWire), m_panNibbles}, {wire16(tiltWire), 4}});
    } else if (f == visca::ZoomInquiry()) {
        const int zoomWire = Round(m.zoom * visca_units::kZoomWireMax / visca_units::kZoomMax);
        out.trace.push_back("inquire zoom zoom="
                            + told(m_generic ? m_units.ZoomFromWire(zoomWire) : visca_units::ZoomFromWire(zoomWire)));
        ReplyNibbles(out, {{wire16(zoomWire), 4}});
    } else if (f == visca::VendorInquiry(visca::kItemRoll)) {
        const int rollWire = Round(m.roll * 10);
        out.trace.push_back("inquire roll roll=" + told(visca_units::RollFromWire(rollWire)));
        ReplyNibbles(out, {{wire16(rollWire), 4}});
    } else if (f == visca::VendorInquiry(visca::kItemStand)) {
        out.trace.push_back("inquire stand");
        const std::uint8_t stand = static_cast<std::uint8_t>(m.stand);
        Append(out.reply, visca::InquiryReply(std::span(&stand, 1)));
    } else if (f == visca::VendorInquiry(visca::kItemVideoFormat)) {
        out.trace.push_back("inquire video-format");
        const std::uint8_t format = static_cast<std::uint8_t>(m.videoFormat);
        Append(out.reply, visca::InquiryReply(std::span(&format, 1)));
    } else if (f == visca::VendorInquiry(visca::kItemFirmwareVersion)) {
        out.trace.push_back("inquire firmware-version");
        visca::Frame text;
        for (char c : m.version.substr(0, 8))
            text.push_back(c >= 0x20 && c <= 0x7E ? static_cast<std::uint8_t>(c) : '?');
        if (text.empty())
            text.push_back('?');
        Append(out.reply, visca::InquiryReply(text));
    } else if (f == visca::VersionInquiry()) {
        // 90 50 GG GG HH HH JJ JJ KK FF: vendor, model, ROM version (major, minor), sockets.
        out.trace.push_back("inquire version");
        unsigned major = 0, minor = 0;
        std::sscanf(m.version.c_str(), "%u.%u", &major, &minor);
        const std::uint8_t payload[] = {0x00, 0x7A, 0x00, 0x01, static_cast<std::uint8_t>(major & 0x7F),
                                        static_cast<std::uint8_t>(minor & 0x7F), 0x02};
        Append(out.reply, visca::InquiryReply(payload));
    } else {
        SyntaxError(f, out);
    }
}
