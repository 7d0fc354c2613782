#pragma once
// A talker in a small room as a microphone array hears it: the image-source model of a
// shoebox room (one reflection factor for all walls, from the reverberation time by
// Sabine's formula), fractional delays per microphone, and uncorrelated noise at a level
// relative to the speech. Used by the virtual array and by the benchmark.
#include "tracking/micarray/ArrayGeometry.h"

#include <cstdint>
#include <random>
#include <vector>

struct Point3
{
    double x = 0, y = 0, z = 0;
};

struct RoomSpec
{
    double lx = 6.0, ly = 5.0, lz = 3.0;  // metres
    double rt60 = 0.3;                    // seconds
};

// A seated talker at angleDeg (counterclockwise from the array's x axis), distance metres
// away on the table plane, mouth at height metres.
Point3 TalkerAt(const Point3& arrayCentre, double angleDeg, double distance, double height);

// The impulse response from source to each point, at rate, as long as the reverberation
// takes to fall by 60 dB (at most 1 s).
std::vector<std::vector<float>> RoomImpulseResponses(const RoomSpec& room, const Point3& source,
                                                     const std::vector<Point3>& mics, unsigned rate);

class RoomRenderer
{
public:
    // The array lies flat with its centre at arrayCentre, its x axis along the room's x.
    RoomRenderer(RoomSpec room, const ArrayGeometry& geometry, Point3 arrayCentre, unsigned rate);

    // speech (mono) from talker through the room, interleaved per microphone, as long as
    // speech; scaled so that its active level is kSpeechLevel.
    std::vector<float> Talker(const std::vector<float>& speech, const Point3& talker) const;

    const Point3& ArrayCentre() const { return m_centre; }
    int Channels() const { return static_cast<int>(m_mics.size()); }

private:
    RoomSpec m_room;
    Point3 m_centre;
    std::vector<Point3> m_mics;
    unsigned m_rate;
};

// Active speech level at the microphones, full scale: -26 dB.
constexpr double kSpeechLevel = 0.05;

// Adds independent noise to every channel of interleaved so that speech at kSpeechLevel
// stands snrDb above it. Slightly low-pass (a room's noise is not white).
class NoiseSource
{
public:
    NoiseSource(double snrDb, std::uint32_t seed);
    void AddTo(float* interleaved, std::size_t frames, int channels);

private:
    double m_rms;
    std::mt19937 m_rng;
    std::normal_distribution<float> m_normal{0.0f, 1.0f};
    std::vector<float> m_state;
};
