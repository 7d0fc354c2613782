#pragma once
// The talker's direction from a microphone array's own audio: steered response power with
// phase transform weighting (SRP-PHAT) over a 1-degree azimuth grid, built from the pairs'
// GCC-PHAT on 32 ms frames in the speech band, only on frames the voice-activity decision
// accepts. A decision every 48 ms sums the frames of the last 320 ms, so that one frame
// never decides alone. Fed blocks of interleaved samples; no device, no clock.
#include "tracking/micarray/ArrayGeometry.h"
#include "tracking/micarray/VoiceActivity.h"

#include <cstddef>
#include <memory>
#include <vector>

struct DoaDecision
{
    double timeS = 0;      // audio time at the end of the decision interval
    bool voiced = false;   // enough speech frames in the window to tell a direction
    double angleDeg = 0;   // 0..360, counterclockwise from the x axis; only when voiced
    double levelDb = -120; // mean level over the interval, dB full scale
};

class DirectionFinder
{
public:
    static constexpr double kSpeedOfSound = 343.0;

    DirectionFinder(const ArrayGeometry& geometry, unsigned sampleRate);
    ~DirectionFinder();
    DirectionFinder(const DirectionFinder&) = delete;
    DirectionFinder& operator=(const DirectionFinder&) = delete;

    // frames samples per channel, interleaved, full scale +-1, as many channels as the
    // geometry has microphones. Appends the decisions that fall due.
    void Feed(const float* interleaved, std::size_t frames, std::vector<DoaDecision>& out);

    std::size_t FrameLength() const { return m_frame; }
    double DecisionIntervalS() const;

private:
    struct Fft;
    void ProcessFrame();
    void Decide(std::vector<DoaDecision>& out);

    ArrayGeometry m_geometry;
    unsigned m_rate;
    int m_channels;
    std::size_t m_frame, m_hop;
    std::size_t m_bandLow, m_bandHigh;    // bins of the speech band
    std::size_t m_upsampled;              // GCC length after zero padding
    int m_gridStart = 0, m_gridSize = 360;
    std::vector<std::pair<int, int>> m_pairs;
    std::vector<float> m_lagIndex;         // [pair][grid] fractional lag in the padded GCC
    std::vector<float> m_window;
    std::vector<std::vector<float>> m_history;  // per channel, last m_frame samples
    std::size_t m_filled = 0, m_sinceHop = 0;
    std::unique_ptr<Fft> m_fft;

    VoiceActivity m_vad;
    std::vector<std::vector<float>> m_maps;  // SRP map of each frame in the window; empty when unvoiced
    std::size_t m_mapNext = 0;
    int m_hopsSinceDecision = 0;
    double m_levelSum = 0;
    int m_levelCount = 0;
    std::size_t m_samples = 0;
};
