// qvt-vz1-doa: the talker direction a microphone array hears, from a multichannel WAV file
// or a capture device, one line per decision: TIME_S ANGLE_DEG SECTOR LEVEL_DB (the angle
// "-" and the sector 255 when no voice is heard). How a user checks an array.
#include "tracking/micarray/AudioCapture.h"
#include "tracking/micarray/DirectionFinder.h"
#include "tracking/micarray/SectorDecision.h"
#include "tracking/micarray/WavFile.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int)
{
    g_stop = 1;
}

// To standard output for --help, to standard error with status 2 for a wrong command line.
int Usage(bool help = false)
{
    std::fprintf(help ? stdout : stderr,
                 "usage: qvt-vz1-doa --geometry GEOMETRY [--zero DEG] (FILE.wav | --device NAME)\n"
                 "  GEOMETRY  circular:N:RADIUS, linear:N:SPACING or custom:X0,Y0;X1,Y1;... (metres)\n"
                 "  --zero    the angle of direction 0, degrees counterclockwise from microphone 0\n"
                 "  --list    the capture devices with at least 2 input channels\n"
                 "  --help    this text\n"
                 "prints TIME_S ANGLE_DEG SECTOR LEVEL_DB per decision (- and 255: no voice)\n");
    return help ? 0 : 2;
}

void Print(const std::vector<DoaDecision>& decisions, double zero)
{
    for (const DoaDecision& d : decisions) {
        if (d.voiced)
            std::printf("%.3f %.1f %d %.1f\n", d.timeS, d.angleDeg, SectorOfAngle(d.angleDeg, zero), d.levelDb);
        else
            std::printf("%.3f - 255 %.1f\n", d.timeS, d.levelDb);
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    std::string geometryText, device, file;
    double zero = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--geometry" && hasValue)
            geometryText = argv[++i];
        else if (arg == "--device" && hasValue)
            device = argv[++i];
        else if (arg == "--zero" && hasValue) {
            char* end = nullptr;
            zero = std::strtod(argv[++i], &end);
            if (*end || end == argv[i])
                return Usage();
        } else if (arg == "--help") {
            return Usage(true);
        } else if (arg == "--list") {
            for (const CaptureDevice& d : ListCaptureDevices())
                std::printf("%s\t%d channels\t%s\n", d.name.c_str(), d.channels, d.description.c_str());
            return 0;
        } else if (!arg.empty() && arg[0] != '-' && file.empty())
            file = arg;
        else
            return Usage();
    }
    const auto geometry = ParseArrayGeometry(geometryText);
    if (!geometry || file.empty() == device.empty())
        return Usage();
    const int channels = geometry->Channels();

    if (!file.empty()) {
        WavAudio audio;
        std::string error;
        if (!ReadWav(file, &audio, &error)) {
            std::fprintf(stderr, "qvt-vz1-doa: %s: %s\n", file.c_str(), error.c_str());
            return 1;
        }
        if (audio.channels < channels) {
            std::fprintf(stderr, "qvt-vz1-doa: %s has %d channels, the geometry names %d\n", file.c_str(),
                         audio.channels, channels);
            return 1;
        }
        // Extra channels (a speakerphone's reference or mix) are left out.
        std::vector<float> samples(audio.Frames() * channels);
        for (std::size_t f = 0; f < audio.Frames(); ++f)
            std::memcpy(&samples[f * channels], &audio.samples[f * audio.channels], sizeof(float) * channels);
        DirectionFinder finder(*geometry, audio.rate);
        std::vector<DoaDecision> decisions;
        finder.Feed(samples.data(), audio.Frames(), decisions);
        Print(decisions, zero);
        return 0;
    }

    std::string error;
    const auto capture = OpenAlsaCapture(device, channels, &error);
    if (!capture) {
        std::fprintf(stderr, "qvt-vz1-doa: %s\n", error.c_str());
        return 1;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    DirectionFinder finder(*geometry, capture->Rate());
    std::vector<float> block(256 * channels);
    std::vector<DoaDecision> decisions;
    while (!g_stop) {
        const long frames = capture->Read(block.data(), 256);
        if (frames < 0) {
            std::fprintf(stderr, "qvt-vz1-doa: %s: the device is gone\n", device.c_str());
            return 1;
        }
        decisions.clear();
        finder.Feed(block.data(), std::size_t(frames), decisions);
        Print(decisions, zero);
    }
    return 0;
}
