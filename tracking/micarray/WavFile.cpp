#include "tracking/micarray/WavFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::uint32_t Le32(const unsigned char* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

std::uint16_t Le16(const unsigned char* p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}

void Put32(std::string& s, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += char(v >> (8 * i) & 0xFF);
}

void Put16(std::string& s, std::uint16_t v)
{
    s += char(v & 0xFF);
    s += char(v >> 8);
}

} // namespace

bool ReadWav(const std::string& path, WavAudio* audio, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot open " + path;
        return false;
    }
    const std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.size() < 12 || std::memcmp(data.data(), "RIFF", 4) != 0 || std::memcmp(data.data() + 8, "WAVE", 4) != 0) {
        *error = "not a WAV file";
        return false;
    }
    int format = 0, bits = 0;
    bool haveFormat = false;
    std::size_t pos = 12;
    while (pos + 8 <= data.size()) {
        const std::uint32_t size = Le32(&data[pos + 4]);
        const unsigned char* body = &data[pos + 8];
        const std::size_t available = std::min<std::size_t>(size, data.size() - pos - 8);
        if (std::memcmp(&data[pos], "fmt ", 4) == 0 && available >= 16) {
            format = Le16(body);
            audio->channels = Le16(body + 2);
            audio->rate = Le32(body + 4);
            bits = Le16(body + 14);
            if (format == 0xFFFE && available >= 26)
                format = Le16(body + 24);  // extensible: the sub-format's first word
            haveFormat = true;
        } else if (std::memcmp(&data[pos], "data", 4) == 0 && haveFormat) {
            const bool pcm16 = format == 1 && bits == 16, pcm32 = format == 1 && bits == 32;
            const bool float32 = format == 3 && bits == 32;
            if (!(pcm16 || pcm32 || float32) || audio->channels < 1 || audio->rate == 0) {
                *error = "unsupported WAV format (16/32-bit PCM or 32-bit float only)";
                return false;
            }
            const std::size_t width = bits / 8;
            const std::size_t count = available / width / audio->channels * audio->channels;
            audio->samples.resize(count);
            for (std::size_t i = 0; i < count; ++i) {
                const unsigned char* p = body + i * width;
                if (pcm16)
                    audio->samples[i] = float(std::int16_t(Le16(p))) / 32768.0f;
                else if (pcm32)
                    audio->samples[i] = float(double(std::int32_t(Le32(p))) / 2147483648.0);
                else {
                    const std::uint32_t bitsValue = Le32(p);
                    float f;
                    std::memcpy(&f, &bitsValue, 4);
                    audio->samples[i] = std::isfinite(f) ? f : 0.0f;
                }
            }
            return true;
        }
        pos += 8 + size + (size & 1);
    }
    *error = haveFormat ? "WAV file without data" : "WAV file without format";
    return false;
}

std::vector<char> ToPcm16(const float* samples, std::size_t count)
{
    std::vector<char> out(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        const long v = std::lround(std::clamp(samples[i], -1.0f, 1.0f) * 32767.0f);
        out[2 * i] = char(v & 0xFF);
        out[2 * i + 1] = char((v >> 8) & 0xFF);
    }
    return out;
}

bool WriteWav(const std::string& path, const WavAudio& audio)
{
    const std::vector<char> pcm = ToPcm16(audio.samples.data(), audio.samples.size());
    std::string header = "RIFF";
    Put32(header, std::uint32_t(36 + pcm.size()));
    header += "WAVEfmt ";
    Put32(header, 16);
    Put16(header, 1);
    Put16(header, std::uint16_t(audio.channels));
    Put32(header, audio.rate);
    Put32(header, audio.rate * audio.channels * 2);
    Put16(header, std::uint16_t(audio.channels * 2));
    Put16(header, 16);
    header += "data";
    Put32(header, std::uint32_t(pcm.size()));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(header.data(), std::streamsize(header.size()));
    out.write(pcm.data(), std::streamsize(pcm.size()));
    return bool(out);
}
