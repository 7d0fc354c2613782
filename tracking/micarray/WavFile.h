#pragma once
// Multichannel WAV files: 16-bit or 32-bit integer PCM and 32-bit float are read, 16-bit
// PCM is written. Samples are interleaved floats at full scale +-1.
#include <string>
#include <vector>

struct WavAudio
{
    unsigned rate = 0;
    int channels = 0;
    std::vector<float> samples;  // interleaved

    std::size_t Frames() const { return channels ? samples.size() / channels : 0; }
};

// False with a reason in error for a file that cannot be read or is no WAV file we know.
bool ReadWav(const std::string& path, WavAudio* audio, std::string* error);
bool WriteWav(const std::string& path, const WavAudio& audio);

// Interleaved floats to little-endian 16-bit PCM, clipped.
std::vector<char> ToPcm16(const float* samples, std::size_t count);
