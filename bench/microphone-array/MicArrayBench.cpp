// Accuracy, latency and CPU of the microphone array direction finding, on simulated rooms.
// For each array and room, talkers at 60 positions (10 per sector, up to 24 degrees either
// side of its middle, 0.9 to 1.5 m away) speak after 0.5 s of room noise; the audio goes
// through the same chain as the worker (direction finder, sector decision, 500 ms hold,
// on audio time). Prints the share of first posted sectors that are right, the median angle
// error, the time from talk start to the posted direction, the posts in 60 s of noise
// alone, the CPU the chain takes per second of audio, and how long StopTracking blocks with
// the real worker reading the simulator's virtual array through ALSA.
//
//   qvt-bench-microphone-array [speech cache folder]
#include "sim/room/RoomSimulator.h"
#include "sim/speakerphones/MicArraySpeakerphone.h"
#include "sim/room/SpeechSource.h"
#include "tracking/DeviceFileFilter.h"
#include "tracking/TrackingState.h"
#include "tracking/TrackingWorker.h"
#include "tracking/micarray/MicArrayReadout.h"
#include "tracking/micarray/DirectionFinder.h"
#include "tracking/micarray/SectorDecision.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr unsigned kRate = 16000;
constexpr int kPositions = 60;
constexpr double kLeadS = 0.5;
constexpr double kTalkS = 2.5;
const Point3 kCentre{2.9, 2.3, 0.75};

struct Room
{
    double rt60, snr;
    double goalCorrect, goalMedian;
};

struct Outcome
{
    int posted = -1;           // first sector posted after talk start, -1 none
    double latencyS = -1;      // talk start to that post
    double medianErrorDeg = 180;
};

double AngleError(double a, double b)
{
    const double d = std::fmod(std::abs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 180;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// The first 20 ms block of the utterance within 30 dB of its loudest: when talk starts.
double SpeechOnsetS(const std::vector<float>& speech)
{
    const std::size_t block = kRate / 50;
    std::vector<double> power;
    for (std::size_t s = 0; s + block <= speech.size(); s += block) {
        double sum = 0;
        for (std::size_t i = s; i < s + block; ++i)
            sum += double(speech[i]) * speech[i];
        power.push_back(sum);
    }
    const double loudest = *std::max_element(power.begin(), power.end());
    for (std::size_t i = 0; i < power.size(); ++i)
        if (power[i] > loudest * 1e-3)
            return double(i * block) / kRate;
    return 0;
}

double g_cpuS = 0, g_audioS = 0;  // the chain's CPU time and the audio it was given

// The worker's chain on audio, returning the posts (time, sector) and the voiced angles.
void RunChain(const ArrayGeometry& geometry, const std::vector<float>& audio, std::vector<std::pair<double, int>>* posts,
              std::vector<DoaDecision>* decisions)
{
    DirectionFinder finder(geometry, kRate);
    SectorDecision sectors(0);
    DeviceFileFilter hold;
    const int channels = geometry.Channels();
    const std::size_t frames = audio.size() / channels;
    std::vector<DoaDecision> out;
    const double before = CpuSeconds();
    for (std::size_t f = 0; f < frames; f += 256) {
        out.clear();
        finder.Feed(&audio[f * channels], std::min<std::size_t>(256, frames - f), out);
        for (const DoaDecision& d : out) {
            const int sector = sectors.Next(d);
            if (hold.Accept(BYTE(sector), DWORD(d.timeS * 1000)))
                posts->emplace_back(d.timeS, sector);
            if (decisions)
                decisions->push_back(d);
        }
    }
    g_cpuS += CpuSeconds() - before;
    g_audioS += double(frames) / kRate;
}

Outcome RunPosition(const ArrayGeometry& geometry, const Room& room, int index, const std::string& cache)
{
    const int sector = index % 6;
    const double angle = 60.0 * sector - 24.0 + 48.0 * (index / 6) / 9.0;
    const double distance = 0.9 + 0.1 * (index % 7);
    const double height = 1.1 + 0.05 * (index % 4);

    std::vector<float> words = SpeechUtterance(index, kRate, cache);
    words.resize(std::min<std::size_t>(words.size(), std::size_t(kTalkS * kRate)));
    std::vector<float> dry(std::size_t(kLeadS * kRate), 0.0f);
    const double onsetS = kLeadS + SpeechOnsetS(words);
    dry.insert(dry.end(), words.begin(), words.end());

    const RoomRenderer renderer({6.0, 5.0, 3.0, room.rt60}, geometry, kCentre, kRate);
    std::vector<float> audio = renderer.Talker(dry, TalkerAt(kCentre, angle, distance, height));
    NoiseSource(room.snr, 1000u + unsigned(index)).AddTo(audio.data(), dry.size(), geometry.Channels());

    std::vector<std::pair<double, int>> posts;
    std::vector<DoaDecision> decisions;
    RunChain(geometry, audio, &posts, &decisions);
    Outcome o;
    for (const auto& [t, s] : posts)
        if (s != 255 && t >= onsetS) {
            o.posted = s;
            o.latencyS = t - onsetS;
            break;
        }
    std::vector<double> errors;
    for (const DoaDecision& d : decisions)
        if (d.voiced && d.timeS >= onsetS)
            errors.push_back(AngleError(d.angleDeg, std::fmod(angle + 360.0, 360.0)));
    o.medianErrorDeg = Median(errors);
    return o;
}

// StopTracking with the worker reading the virtual array (talking), at random points.
void StopTimes(const std::string& cache)
{
    char folder[] = "/tmp/qvt-bench-array-XXXXXX";
    if (!::mkdtemp(folder))
        return;
    ::setenv("QVT_SPEECH_CACHE", cache.c_str(), 1);
    MicArraySpeakerphone array(folder);
    ::setenv("ALSA_CONFIG_PATH", ("/usr/share/alsa/alsa.conf:" + array.ConfigPath()).c_str(), 1);
    std::string error;
    if (!array.Attach(&error)) {
        std::printf("stop time: %s\n", error.c_str());
        return;
    }
    array.SetCode(1);
    MicArrayReadout readout;
    TrackingContext context{{}, &readout};
    context.micArray.device = kVirtualArrayPcm;
    double worst = 0, sum = 0;
    constexpr int kRounds = 20;
    for (int round = 0; round < kRounds; ++round) {
        CTrackingWorker worker;
        worker.Start(kTrackingMicArray, nullptr, SystemClock(), context);
        // Running and deciding, then stopped at some point of a read.
        while (true) {
            const std::optional<DoaDecision> d = readout.Latest();
            if ((d && d->timeS > 0.3) || worker.HasEnded())
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(7 * round % 23));
        const auto before = std::chrono::steady_clock::now();
        worker.Stop();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - before).count();
        worst = std::max(worst, ms);
        sum += ms;
    }
    array.Detach();
    ::rmdir((std::string(folder) + "/speech").c_str());
    ::rmdir(folder);
    std::printf("%-35s StopTracking blocks: mean %.1f ms, max %.1f ms over %d stops (goal: 50 ms)\n",
                "worker on the virtual array", sum / kRounds, worst, kRounds);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string cache = argc > 1 ? argv[1] : "/tmp/qvt-vz1-speech";
    const char* arrays[] = {"circular:4:0.032", "circular:6:0.046"};
    const Room rooms[] = {{0.2, 20, 97, 5}, {0.4, 10, 93, 8}, {0.6, 5, 85, 12}};
    StopTimes(cache);

    std::printf("%-18s %-16s %9s %6s %9s %6s %12s %12s\n", "array", "room", "correct", "goal", "median", "goal",
                "latency p50", "latency max");
    for (const char* text : arrays) {
        const ArrayGeometry geometry = *ParseArrayGeometry(text);
        g_cpuS = g_audioS = 0;
        for (const Room& room : rooms) {
            int correct = 0;
            std::vector<double> errors, latencies;
            for (int i = 0; i < kPositions; ++i) {
                const Outcome o = RunPosition(geometry, room, i, cache);
                correct += o.posted == i % 6;
                errors.push_back(o.medianErrorDeg);
                if (o.latencyS >= 0)
                    latencies.push_back(o.latencyS);
            }
            char label[40];
            std::snprintf(label, sizeof label, "RT60 %.1f s, %2.0f dB", room.rt60, room.snr);
            const double share = 100.0 * correct / kPositions;
            const double median = Median(errors);
            std::printf("%-18s %-16s %8.1f%% %5.0f%% %8.1f° %5.0f° %10.0f ms %10.0f ms %s\n", text, label, share,
                        room.goalCorrect, median, room.goalMedian, Median(latencies) * 1000,
                        latencies.empty() ? 0.0 : *std::max_element(latencies.begin(), latencies.end()) * 1000,
                        share >= room.goalCorrect && median <= room.goalMedian ? "met" : "MISSED");
            std::fflush(stdout);
        }
        std::printf("%-18s %-16s %.2f %% of one core at 16 kHz, %d channels, over %.0f s of talk (goal: 5 %%)\n",
                    text, "CPU, talk", g_cpuS / g_audioS * 100, geometry.Channels(), g_audioS);
        // Noise alone, at the lowest signal-to-noise ratio's level, for 60 s.
        std::vector<float> noise(std::size_t(60 * kRate) * geometry.Channels(), 0.0f);
        NoiseSource(5, 99).AddTo(noise.data(), 60 * kRate, geometry.Channels());
        std::vector<std::pair<double, int>> posts;
        g_cpuS = g_audioS = 0;
        RunChain(geometry, noise, &posts, nullptr);
        int directions = 0;
        for (const auto& post : posts)
            directions += post.second != 255;
        std::printf("%-18s %-16s %d directions posted in 60 s (goal: none)\n", text, "noise only", directions);
        std::printf("%-18s %-16s %.2f %% of one core over the noise\n", text, "CPU, noise", g_cpuS / g_audioS * 100);
    }
    return 0;
}
