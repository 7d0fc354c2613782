#include "tracking/micarray/AudioCapture.h"

#include <alsa/asoundlib.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

constexpr unsigned kWantedRate = 16000;
constexpr int kWaitMs = 20;
// Read in whole multiples of this many frames, so that a capture fed through a pipe (ALSA's
// file plugin) is never cut in the middle of a frame.
constexpr std::size_t kReadUnit = 64;
// A live device cannot run ahead of the wall clock by more than its buffer: one that does
// is replaying a file that has ended, and counts as gone.
constexpr double kMaxLeadS = 2.0;

class AlsaCapture final : public AudioCapture
{
public:
    AlsaCapture(snd_pcm_t* pcm, unsigned rate, int deviceChannels, int channels)
        : m_pcm(pcm), m_rate(rate), m_deviceChannels(deviceChannels), m_channels(channels),
          m_start(std::chrono::steady_clock::now())
    {
    }
    ~AlsaCapture() override { snd_pcm_close(m_pcm); }

    unsigned Rate() const override { return m_rate; }
    int Channels() const override { return m_channels; }

    long Read(float* out, std::size_t frames) override
    {
        frames = frames / kReadUnit * kReadUnit;
        if (frames == 0)
            return 0;
        const int ready = snd_pcm_wait(m_pcm, kWaitMs);
        if (ready < 0 && !Recover(ready))
            return -1;
        m_buffer.resize(frames * m_deviceChannels);
        snd_pcm_sframes_t got = snd_pcm_readi(m_pcm, m_buffer.data(), frames);
        if (got == -EAGAIN || got == 0)
            return 0;
        if (got < 0)
            return Recover(int(got)) ? 0 : -1;
        got = got / long(kReadUnit) * long(kReadUnit);
        for (long f = 0; f < got; ++f)
            for (int c = 0; c < m_channels; ++c)
                out[f * m_channels + c] = float(m_buffer[f * m_deviceChannels + c]) / 32768.0f;
        m_frames += std::size_t(got);
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
        if (double(m_frames) / m_rate > elapsed + kMaxLeadS)
            return -1;
        return got;
    }

private:
    // An overrun (the worker was slow) or a suspend is survived; anything else ends the capture.
    bool Recover(int error)
    {
        if (error != -EPIPE && error != -ESTRPIPE && error != -EINTR)
            return false;
        return snd_pcm_recover(m_pcm, error, 1) >= 0;
    }

    snd_pcm_t* m_pcm;
    unsigned m_rate;
    int m_deviceChannels, m_channels;
    std::vector<std::int16_t> m_buffer;
    std::size_t m_frames = 0;
    std::chrono::steady_clock::time_point m_start;
};

// Most input channels of device, 0 when it cannot be opened for capture.
int MaxInputChannels(const char* device)
{
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, device, SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK) < 0)
        return 0;
    snd_pcm_hw_params_t* params;
    snd_pcm_hw_params_alloca(&params);
    unsigned channels = 0;
    if (snd_pcm_hw_params_any(pcm, params) < 0 || snd_pcm_hw_params_get_channels_max(params, &channels) < 0)
        channels = 0;
    snd_pcm_close(pcm);
    return int(std::min(channels, 64u));
}

} // namespace

std::vector<CaptureDevice> ListCaptureDevices()
{
    std::vector<CaptureDevice> devices;
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) < 0)
        return devices;
    for (void** hint = hints; *hint; ++hint) {
        char* name = snd_device_name_get_hint(*hint, "NAME");
        char* description = snd_device_name_get_hint(*hint, "DESC");
        char* direction = snd_device_name_get_hint(*hint, "IOID");
        // Only plain hardware devices and those defined for capture: the mixing and
        // converting plugins (dmix, surround, ...) offer no microphones of their own.
        const bool input = !direction || std::strcmp(direction, "Input") == 0;
        const bool plain = name && (std::strncmp(name, "hw:", 3) == 0 || !std::strchr(name, ':'));
        if (input && plain && std::strcmp(name, "null") != 0) {
            const int channels = MaxInputChannels(name);
            if (channels >= 2) {
                std::string text = description ? description : name;
                for (char& ch : text)
                    if (ch == '\n')
                        ch = ' ';
                devices.push_back({name, text, channels});
            }
        }
        std::free(name);
        std::free(description);
        std::free(direction);
    }
    snd_device_name_free_hint(hints);
    return devices;
}

std::unique_ptr<AudioCapture> OpenAlsaCapture(const std::string& device, int channels, std::string* error)
{
    snd_pcm_t* pcm = nullptr;
    int result = snd_pcm_open(&pcm, device.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
    if (result < 0) {
        *error = device + ": " + snd_strerror(result);
        return nullptr;
    }
    snd_pcm_hw_params_t* params;
    snd_pcm_hw_params_alloca(&params);
    unsigned rate = kWantedRate, deviceChannels = unsigned(channels);
    snd_pcm_uframes_t period = 256, buffer = 4096;
    result = snd_pcm_hw_params_any(pcm, params);
    if (result >= 0)
        result = snd_pcm_hw_params_set_access(pcm, params, SND_PCM_ACCESS_RW_INTERLEAVED);
    if (result >= 0)
        result = snd_pcm_hw_params_set_format(pcm, params, SND_PCM_FORMAT_S16_LE);
    // A device with more channels than the array names gives its first ones.
    if (result >= 0 && snd_pcm_hw_params_set_channels(pcm, params, deviceChannels) < 0) {
        result = snd_pcm_hw_params_set_channels_near(pcm, params, &deviceChannels);
        if (result >= 0 && deviceChannels < unsigned(channels))
            result = -EINVAL;
    }
    if (result >= 0)
        result = snd_pcm_hw_params_set_rate_near(pcm, params, &rate, nullptr);
    if (result >= 0)
        snd_pcm_hw_params_set_period_size_near(pcm, params, &period, nullptr);
    if (result >= 0)
        snd_pcm_hw_params_set_buffer_size_near(pcm, params, &buffer);
    if (result >= 0)
        result = snd_pcm_hw_params(pcm, params);
    if (result >= 0)
        result = snd_pcm_prepare(pcm);
    if (result >= 0)
        result = snd_pcm_start(pcm);
    if (result < 0 || rate < 8000) {
        *error = device + ": " + (result < 0 ? snd_strerror(result) : "rate below 8 kHz");
        snd_pcm_close(pcm);
        return nullptr;
    }
    return std::make_unique<AlsaCapture>(pcm, rate, int(deviceChannels), channels);
}
