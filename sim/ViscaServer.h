#pragma once
// The virtual camera's protocol side: one frame in, the camera's replies and a trace line
// out. Answers like a VISCA camera at address 1: ACK and completion on socket 1 for a
// command it carries out, "not executable" (90 61 41 FF) for one it cannot, "syntax
// error" (90 60 02 FF) for a frame it does not know.
//
// As a generic camera (a standard VISCA camera, not the QVT-VZ1) it refuses the QVT-VZ1's
// own frames with a syntax error, keeps 16 memories, answers Home, Reset, the addressed
// interface clear, power on/off and the power inquiry (in standby every other command is
// "not executable") and the relative move, names another vendor in its version, and
// speaks the units and the pan position form (4 or 5 nibbles) of a row of the model table
// ("generic" unless told).
#include "camera/ViscaFrame.h"
#include "camera/model/ViscaModel.h"
#include "sim/CameraModel.h"
#include "sim/FirmwareReceiver.h"

#include <string>
#include <vector>

struct ServerOutput
{
    visca::Frame reply;              // bytes to send back (possibly several frames)
    std::vector<std::string> trace;  // decoded commands, see docs/virtual-camera.md
    bool restart = false;            // a firmware image was accepted: restart the camera
    std::string newVersion;          // its version, reported after the restart
};

class ViscaServer
{
public:
    explicit ViscaServer(CameraModel& model, bool generic = false, const std::string& modelId = "generic");
    bool IsGeneric() const { return m_generic; }

    // nowMs moves the model to the time of the frame before the frame acts.
    ServerOutput Handle(const visca::Frame& frame, long long nowMs);

    // Longest frame the server takes (a firmware block).
    static constexpr std::size_t kMaxFrameLength = 5 + 4 + 2 * visca::kFirmwareBlockBytes + 1;

private:
    void Command(const visca::Frame& f, ServerOutput& out);
    void Inquiry(const visca::Frame& f, ServerOutput& out);
    void Vendor(const visca::Frame& f, ServerOutput& out);
    void Firmware(const visca::Frame& f, ServerOutput& out);
    // A generic camera's own frames; false when f is not one of them.
    bool Generic(const visca::Frame& f, ServerOutput& out);
    // 81 01 06 02|03 VV WW pan tilt FF: the absolute or relative move.
    void PanTiltPosition(const visca::Frame& f, ServerOutput& out);

    struct Memory
    {
        double pan, tilt, zoom;
    };
    static constexpr int kMemories = 16;
    static Memory DefaultMemory(int n);

    CameraModel& m_model;
    bool m_generic;
    UnitMap m_units;
    int m_panNibbles;
    bool m_powerOn = true;
    Memory m_memories[kMemories];
    FirmwareReceiver m_firmware;
};
