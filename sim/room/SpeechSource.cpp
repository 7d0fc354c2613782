#include "sim/room/SpeechSource.h"

#include "tracking/micarray/WavFile.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <random>

extern char** environ;

namespace {

const char* const kPhrases[] = {
    "Good morning everyone, shall we start with the budget for next year?",
    "I think the second option is better, because it saves us two weeks.",
    "Could you share the slides again, the numbers on page four look wrong.",
    "Thank you. Let us move on to the next item on the agenda.",
    "We tested the prototype last Friday and the results were quite good.",
    "Sorry, I could not hear you. Can you repeat the question please?",
};
const char* const kVoices[] = {"en-us", "en", "en-us+f3", "en+m3", "en-us+f2", "en+m5"};

bool RunEspeak(const std::string& voice, const std::string& text, const std::string& path)
{
    const std::string program = "espeak-ng";
    std::vector<std::string> args = {program, "-v", voice, "-s", "150", "-w", path, text};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Band-limited resampling of mono audio (windowed sinc, cut off below both Nyquists).
std::vector<float> Resample(const std::vector<float>& in, unsigned from, unsigned to)
{
    if (from == to)
        return in;
    const double ratio = double(to) / from;
    const double cutoff = std::min(1.0, ratio) * 0.95;
    constexpr int kHalf = 16;
    std::vector<float> out(std::size_t(in.size() * ratio));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = i / ratio;
        const long centre = long(t);
        double sum = 0;
        for (long n = centre - kHalf + 1; n <= centre + kHalf; ++n) {
            if (n < 0 || n >= long(in.size()))
                continue;
            const double x = (t - n) * cutoff;
            const double sinc = std::abs(x) < 1e-9 ? 1.0 : std::sin(M_PI * x) / (M_PI * x);
            const double window = 0.5 + 0.5 * std::cos(M_PI * (t - n) / kHalf);
            sum += in[n] * cutoff * sinc * window;
        }
        out[i] = float(sum);
    }
    return out;
}

void Normalize(std::vector<float>& x)
{
    float peak = 0;
    for (float v : x)
        peak = std::max(peak, std::abs(v));
    if (peak > 0)
        for (float& v : x)
            v *= 0.5f / peak;
}

} // namespace

std::vector<float> SpeechUtterance(int variant, unsigned rate, const std::string& cacheDir)
{
    constexpr int kCount = sizeof(kPhrases) / sizeof(kPhrases[0]);
    const int v = ((variant % kCount) + kCount) % kCount;
    ::mkdir(cacheDir.c_str(), 0700);
    const std::string path = cacheDir + "/utterance-" + std::to_string(v) + ".wav";
    WavAudio audio;
    std::string error;
    if (!ReadWav(path, &audio, &error)) {
        const std::string partial = path + ".part" + std::to_string(::getpid());
        if (RunEspeak(kVoices[v], kPhrases[v], partial))
            ::rename(partial.c_str(), path.c_str());
        ::unlink(partial.c_str());
        if (!ReadWav(path, &audio, &error) || audio.Frames() == 0)
            return SyntheticSpeech(3.0, rate, unsigned(v));
    }
    std::vector<float> mono(audio.Frames());
    for (std::size_t i = 0; i < mono.size(); ++i)
        mono[i] = audio.samples[i * audio.channels];
    mono = Resample(mono, audio.rate, rate);
    Normalize(mono);
    return mono;
}

std::vector<float> SyntheticSpeech(double seconds, unsigned rate, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    std::vector<float> out(std::size_t(seconds * rate), 0.0f);
    // Syllables of 120..250 ms with short gaps, a longer pause between words.
    std::size_t pos = 0;
    double phase = 0;
    while (pos < out.size()) {
        const std::size_t syllable = std::size_t((0.12 + 0.13 * uniform(rng)) * rate);
        const double f0 = 100 + 80 * uniform(rng);
        const double formants[3] = {300 + 600 * uniform(rng), 900 + 1400 * uniform(rng), 2300 + 800 * uniform(rng)};
        double state[3][2] = {};
        for (std::size_t i = 0; i < syllable && pos + i < out.size(); ++i) {
            const double t = double(i) / syllable;
            const double envelope = std::sin(M_PI * t);
            phase += (f0 * (1 + 0.1 * std::sin(2 * M_PI * t))) / rate;
            double source = phase - std::floor(phase) < 0.1 ? 1.0 : -0.11;  // glottal pulses
            source += 0.05 * (uniform(rng) - 0.5);
            double y = 0;
            for (int k = 0; k < 3; ++k) {
                const double r = 0.97, w = 2 * M_PI * formants[k] / rate;
                const double v = source + 2 * r * std::cos(w) * state[k][0] - r * r * state[k][1];
                state[k][1] = state[k][0];
                state[k][0] = v;
                y += v / (k + 1);
            }
            out[pos + i] = float(envelope * y);
        }
        pos += syllable + std::size_t((uniform(rng) < 0.3 ? 0.15 : 0.03) * rate);
    }
    Normalize(out);
    return out;
}
