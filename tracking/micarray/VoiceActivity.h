#pragma once
// Whether a frame holds a voice: its speech-band energy stands well above the noise floor,
// which follows the quietest frames (falls at once, rises slowly), so steady room noise of
// any level is never taken for a talker.
#include <cstddef>

class VoiceActivity
{
public:
    // hopS: time between frames, for the floor's rise rate.
    explicit VoiceActivity(double hopS);

    // energy: the frame's speech-band energy (any unit, the same every frame).
    bool Accept(double energy);
    double Floor() const { return m_floor; }

private:
    double m_rise;       // floor factor per frame
    double m_floor = -1; // none yet
    std::size_t m_frames = 0;
};
