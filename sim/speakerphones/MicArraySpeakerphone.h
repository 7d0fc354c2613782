#pragma once
// A USB microphone array as ALSA shows it, without sound hardware: a capture PCM of ALSA's
// file plugin (null slave, the input read from a FIFO) defined in an asoundrc beside the
// FIFO. While attached, the FIFO is fed in real time with what the array hears: room noise,
// and a talker at the middle of sector D after talk D, through a small room's reflections.
#include "sim/room/RoomSimulator.h"
#include "sim/speakerphones/VirtualSpeakerphone.h"
#include "tracking/micarray/ArrayGeometry.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CommandRegistry;

inline constexpr const char* kVirtualArrayPcm = "qvt_vz1_micarray";

class MicArraySpeakerphone final : public VirtualSpeakerphone
{
public:
    static constexpr unsigned kRate = 16000;

    // folder: where the FIFO and the asoundrc go.
    explicit MicArraySpeakerphone(std::string folder);
    ~MicArraySpeakerphone() override;

    bool Attach(std::string* error) override;
    void Detach() override;
    bool IsAttached() const override { return m_fifo >= 0; }
    // 0..5: a talker at the middle of that sector speaks (repeating) until 255.
    void SetCode(std::uint8_t code) override;

    // Takes effect at the next Attach. False for a text ParseArrayGeometry refuses.
    bool SetGeometry(const std::string& text);
    // Reverberation time (s) and signal-to-noise ratio (dB) of the room from now on.
    bool SetRoom(double rt60, double snrDb);

    std::string ConfigPath() const { return m_folder + "/micarray.asoundrc"; }
    std::string FifoPath() const { return m_folder + "/micarray.fifo"; }

private:
    void StreamLoop();
    void Render(int sector);

    std::string m_folder;
    std::string m_geometryText = "circular:4:0.032";
    ArrayGeometry m_geometry;
    RoomSpec m_room{6.0, 5.0, 3.0, 0.3};
    double m_snrDb = 20;
    int m_fifo = -1;

    std::mutex m_mutex;  // guards the talker and the room below, and m_stop
    std::condition_variable m_wake;
    std::vector<float> m_talker;  // interleaved, looped while talking
    std::size_t m_talkerPos = 0;
    bool m_roomChanged = false;
    bool m_stop = false;
    std::thread m_thread;
};

// "room RT60 SNR" for the virtual array.
void RegisterMicArrayCommands(CommandRegistry& registry, MicArraySpeakerphone& array);
