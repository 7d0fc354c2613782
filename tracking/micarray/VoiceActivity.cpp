#include "tracking/micarray/VoiceActivity.h"

#include <cmath>

namespace {
constexpr double kThreshold = 4.0;         // 6 dB above the floor
constexpr double kRiseDbPerSecond = 1.5;   // so a louder room is learnt in a few seconds
constexpr double kSilentEnergy = 1e-12;    // digital silence is never a voice
constexpr std::size_t kWarmUpFrames = 4;   // the first frames only set the floor
} // namespace

VoiceActivity::VoiceActivity(double hopS)
    : m_rise(std::pow(10.0, kRiseDbPerSecond * hopS / 10.0))
{
}

bool VoiceActivity::Accept(double energy)
{
    ++m_frames;
    if (m_floor < 0 || energy < m_floor)
        m_floor = std::max(energy, kSilentEnergy);
    else
        m_floor *= m_rise;
    return m_frames > kWarmUpFrames && energy > kSilentEnergy && energy > kThreshold * m_floor;
}
