// The virtual camera as a standard VISCA camera (qvt-vz1-sim --model generic): the frames
// that differ from the QVT-VZ1's.
#include "sim/ServerReplies.h"

#include <cmath>
#include <cstdio>

namespace {

// Vendor and model of the version inquiry: not the QVT-VZ1's 00 7A / 00 01.
constexpr std::uint8_t kVendorHigh = 0x00, kVendorLow = 0x20, kModelHigh = 0x05, kModelLow = 0x11;

} // namespace

ViscaServer::Memory ViscaServer::DefaultMemory(int n)
{
    if (n == 0)
        return {90, 0, 0};  // the whole table, as the QVT-VZ1's view 0
    if (n == 3)
        return {90, 20, 120};  // one participant, as its view 3
    return {180, 0, 0};  // home
}

bool ViscaServer::Generic(const visca::Frame& f, ServerOutput& out)
{
    CameraModel& m = m_model;
    // The QVT-VZ1's own frames (category 7E) are unknown to a standard camera.
    if (f.size() >= 4 && (f[1] == 0x01 || f[1] == 0x09) && f[2] == visca::kVendor) {
        Append(out.reply, visca::ErrorReply(0, visca::kErrorSyntax));
        out.trace.push_back("syntax-error frame=" + visca::ToHex(f));
        return true;
    }
    // 81 01 04 00 02|03 FF: power on / standby, and 81 09 04 00 FF its inquiry (02 on, 03 standby).
    if (f.size() == 6 && f[1] == 0x01 && f[2] == 0x04 && f[3] == 0x00 && (f[4] == 0x02 || f[4] == 0x03)) {
        m_powerOn = f[4] == 0x02;
        out.trace.push_back(m_powerOn ? "power state=on" : "power state=standby");
        m.StopAll();
        Done(out);
        return true;
    }
    if (f.size() == 5 && f[1] == 0x09 && f[2] == 0x04 && f[3] == 0x00) {
        out.trace.push_back("inquire power");
        const std::uint8_t state = m_powerOn ? 0x02 : 0x03;
        Append(out.reply, visca::InquiryReply(std::span(&state, 1)));
        return true;
    }
    // In standby a camera answers inquiries but carries out no command.
    if (!m_powerOn && f[1] == 0x01) {
        out.trace.push_back("standby-refused frame=" + visca::ToHex(f));
        Append(out.reply, visca::ErrorReply(kSocket, visca::kErrorNotExecutable));
        return true;
    }
    // 81 01 04 3F 0c pp FF: memory reset (0), set (1), recall (2) of memories 0..15.
    if (f.size() == 7 && f[1] == 0x01 && f[2] == 0x04 && f[3] == 0x3F && f[4] <= 0x02 && f[5] <= 0x7F) {
        const int n = f[5];
        static const char* const names[] = {"memory-reset memory=", "memory-set memory=", "select-view view="};
        out.trace.push_back(names[f[4]] + std::to_string(n));
        if (n >= kMemories) {
            Append(out.reply, visca::ErrorReply(kSocket, visca::kErrorNotExecutable));
            return true;
        }
        if (f[4] == 0)
            m_memories[n] = DefaultMemory(n);
        else if (f[4] == 1)
            m_memories[n] = {m.pan, m.tilt, m.zoom};
        else {
            m.StopAll();
            m.pan = m_memories[n].pan, m.tilt = m_memories[n].tilt, m.zoom = m_memories[n].zoom;
        }
        Done(out);
        return true;
    }
    if (f == visca::VersionInquiry()) {
        out.trace.push_back("inquire version");
        unsigned major = 0, minor = 0;
        std::sscanf(m.version.c_str(), "%u.%u", &major, &minor);
        const std::uint8_t payload[] = {kVendorHigh, kVendorLow, kModelHigh, kModelLow,
                                        static_cast<std::uint8_t>(major & 0x7F),
                                        static_cast<std::uint8_t>(minor & 0x7F), 0x02};
        Append(out.reply, visca::InquiryReply(payload));
        return true;
    }
    return false;
}
