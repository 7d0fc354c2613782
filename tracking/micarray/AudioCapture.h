#pragma once
// Where the microphone array source gets its audio: interleaved blocks from a capture
// device. The worker reads through this seam; ALSA is the real one.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class AudioCapture
{
public:
    virtual ~AudioCapture() = default;
    virtual unsigned Rate() const = 0;
    virtual int Channels() const = 0;
    // Up to frames frames into out (interleaved, full scale +-1). Waits a few tens of
    // milliseconds at most, so a stop request is seen in time: 0 when nothing came yet,
    // -1 when the device is gone or failed.
    virtual long Read(float* out, std::size_t frames) = 0;
};

struct CaptureDevice
{
    std::string name;         // what snd_pcm_open takes, e.g. "hw:CARD=Array,DEV=0"
    std::string description;  // what the user sees
    int channels = 0;         // most input channels it offers
};

// The capture devices with at least 2 input channels, in ALSA's order.
std::vector<CaptureDevice> ListCaptureDevices();

// Opens device for channels channels of 16-bit audio at 16 kHz or the nearest rate the
// device offers. Null with a reason in error when it cannot.
std::unique_ptr<AudioCapture> OpenAlsaCapture(const std::string& device, int channels, std::string* error);
