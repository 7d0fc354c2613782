#include "tracking/micarray/DirectionFinder.h"

#include "tracking/micarray/FftwPlanner.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>

namespace {

constexpr double kFrameS = 0.032;
constexpr double kBandLowHz = 200.0;
constexpr double kBandHighHz = 4000.0;
constexpr std::size_t kUpsampling = 4;   // finer lags than one sample
constexpr int kHopsPerDecision = 3;      // 48 ms at 16 kHz
constexpr std::size_t kWindowHops = 20;  // 320 ms of frames per decision
constexpr int kMinVoicedFrames = 3;

std::size_t PowerOfTwoAtLeast(double n)
{
    std::size_t p = 64;
    while (double(p) < n)
        p *= 2;
    return p;
}

double Wrap360(double a)
{
    a = std::fmod(a, 360.0);
    return a < 0 ? a + 360.0 : a;
}

} // namespace

struct DirectionFinder::Fft
{
    Fft(std::size_t n, std::size_t m, int channels)
        : n(n), m(m)
    {
        time = fftwf_alloc_real(n);
        spectra.resize(channels);
        for (auto*& s : spectra)
            s = fftwf_alloc_complex(n / 2 + 1);
        cross = fftwf_alloc_complex(m / 2 + 1);
        gcc = fftwf_alloc_real(m);
        std::lock_guard lock(FftwPlannerMutex());
        forward = fftwf_plan_dft_r2c_1d(int(n), time, spectra[0], FFTW_ESTIMATE);
        inverse = fftwf_plan_dft_c2r_1d(int(m), cross, gcc, FFTW_ESTIMATE);
    }
    ~Fft()
    {
        {
            std::lock_guard lock(FftwPlannerMutex());
            fftwf_destroy_plan(forward);
            fftwf_destroy_plan(inverse);
        }
        fftwf_free(time);
        for (auto* s : spectra)
            fftwf_free(s);
        fftwf_free(cross);
        fftwf_free(gcc);
    }
    std::size_t n, m;
    float* time;
    std::vector<fftwf_complex*> spectra;
    fftwf_complex* cross;
    float* gcc;
    fftwf_plan forward, inverse;
};

DirectionFinder::DirectionFinder(const ArrayGeometry& geometry, unsigned sampleRate)
    : m_geometry(geometry),
      m_rate(sampleRate),
      m_channels(geometry.Channels()),
      m_frame(PowerOfTwoAtLeast(kFrameS * sampleRate)),
      m_hop(m_frame / 2),
      m_vad(double(m_frame / 2) / sampleRate)
{
    m_bandLow = std::max<std::size_t>(1, std::size_t(kBandLowHz * m_frame / m_rate));
    m_bandHigh = std::min<std::size_t>(m_frame / 2, std::size_t(kBandHighHz * m_frame / m_rate));
    m_upsampled = m_frame * kUpsampling;
    m_fft = std::make_unique<Fft>(m_frame, m_upsampled, m_channels);

    m_window.resize(m_frame);
    for (std::size_t i = 0; i < m_frame; ++i)
        m_window[i] = float(0.5 - 0.5 * std::cos(2 * M_PI * i / m_frame));
    m_history.assign(m_channels, std::vector<float>(m_frame, 0.0f));

    // A line of microphones hears the half-plane on one side of its axis only.
    if (m_geometry.IsLinear()) {
        const auto& a = m_geometry.mics.front();
        const auto& b = m_geometry.mics.back();
        m_gridStart = int(std::lround(Wrap360(std::atan2(b.y - a.y, b.x - a.x) * 180 / M_PI))) % 180;
        m_gridSize = 181;
    }
    for (int i = 0; i < m_channels; ++i)
        for (int j = i + 1; j < m_channels; ++j)
            m_pairs.emplace_back(i, j);
    // The lag of the GCC peak of pair (i, j) for a talker at angle a: (p_j - p_i) . u(a) / c.
    m_lagIndex.resize(m_pairs.size() * m_gridSize);
    for (std::size_t p = 0; p < m_pairs.size(); ++p) {
        const MicPosition& pi = m_geometry.mics[m_pairs[p].first];
        const MicPosition& pj = m_geometry.mics[m_pairs[p].second];
        for (int g = 0; g < m_gridSize; ++g) {
            const double a = (m_gridStart + g) * M_PI / 180;
            const double lag = ((pj.x - pi.x) * std::cos(a) + (pj.y - pi.y) * std::sin(a)) / kSpeedOfSound;
            double index = lag * m_rate * kUpsampling;
            if (index < 0)
                index += double(m_upsampled);
            m_lagIndex[p * m_gridSize + g] = float(index);
        }
    }
    m_maps.assign(kWindowHops, {});
}

DirectionFinder::~DirectionFinder() = default;

double DirectionFinder::DecisionIntervalS() const
{
    return double(m_hop * kHopsPerDecision) / m_rate;
}

void DirectionFinder::Feed(const float* interleaved, std::size_t frames, std::vector<DoaDecision>& out)
{
    for (std::size_t f = 0; f < frames; ++f) {
        const float* sample = interleaved + f * m_channels;
        double square = 0;
        for (int c = 0; c < m_channels; ++c) {
            auto& h = m_history[c];
            // A shift per sample would cost m_frame; the history is a plain array rotated per hop.
            h[m_filled] = sample[c];
            square += double(sample[c]) * sample[c];
        }
        m_levelSum += square / m_channels;
        ++m_levelCount;
        ++m_samples;
        if (++m_filled < m_frame)
            continue;
        ProcessFrame();
        for (auto& h : m_history)
            std::copy(h.begin() + m_hop, h.end(), h.begin());
        m_filled = m_frame - m_hop;
        if (++m_hopsSinceDecision >= kHopsPerDecision) {
            m_hopsSinceDecision = 0;
            Decide(out);
        }
    }
}

void DirectionFinder::ProcessFrame()
{
    Fft& fft = *m_fft;
    double energy = 0;
    for (int c = 0; c < m_channels; ++c) {
        for (std::size_t i = 0; i < m_frame; ++i)
            fft.time[i] = m_history[c][i] * m_window[i];
        fftwf_execute_dft_r2c(fft.forward, fft.time, fft.spectra[c]);
        for (std::size_t k = m_bandLow; k <= m_bandHigh; ++k)
            energy += double(fft.spectra[c][k][0]) * fft.spectra[c][k][0]
                      + double(fft.spectra[c][k][1]) * fft.spectra[c][k][1];
    }
    std::vector<float>& map = m_maps[m_mapNext];
    m_mapNext = (m_mapNext + 1) % m_maps.size();
    map.clear();
    if (!m_vad.Accept(energy / m_channels))
        return;

    map.assign(m_gridSize, 0.0f);
    for (std::size_t p = 0; p < m_pairs.size(); ++p) {
        // The inverse transform overwrites its input: clear it for every pair.
        std::fill(&fft.cross[0][0], &fft.cross[0][0] + 2 * (m_upsampled / 2 + 1), 0.0f);
        const fftwf_complex* a = fft.spectra[m_pairs[p].first];
        const fftwf_complex* b = fft.spectra[m_pairs[p].second];
        for (std::size_t k = m_bandLow; k <= m_bandHigh; ++k) {
            // X_i conj(X_j), phase only.
            const float re = a[k][0] * b[k][0] + a[k][1] * b[k][1];
            const float im = a[k][1] * b[k][0] - a[k][0] * b[k][1];
            const float mag = std::sqrt(re * re + im * im);
            const float scale = mag > 1e-20f ? 1.0f / mag : 0.0f;
            fft.cross[k][0] = re * scale;
            fft.cross[k][1] = im * scale;
        }
        fftwf_execute_dft_c2r(fft.inverse, fft.cross, fft.gcc);
        const float* lags = &m_lagIndex[p * m_gridSize];
        for (int g = 0; g < m_gridSize; ++g) {
            const std::size_t i0 = std::size_t(lags[g]);
            const float frac = lags[g] - float(i0);
            const std::size_t i1 = (i0 + 1) % m_upsampled;
            map[g] += fft.gcc[i0 % m_upsampled] * (1 - frac) + fft.gcc[i1] * frac;
        }
    }
}

void DirectionFinder::Decide(std::vector<DoaDecision>& out)
{
    DoaDecision d;
    d.timeS = double(m_samples) / m_rate;
    const double level = m_levelCount ? m_levelSum / m_levelCount : 0;
    d.levelDb = level > 1e-12 ? 10 * std::log10(level) : -120;
    m_levelSum = 0;
    m_levelCount = 0;

    int voiced = 0;
    std::vector<float> sum(m_gridSize, 0.0f);
    for (const auto& map : m_maps) {
        if (map.empty())
            continue;
        ++voiced;
        for (int g = 0; g < m_gridSize; ++g)
            sum[g] += map[g];
    }
    if (voiced >= kMinVoicedFrames) {
        const int best = int(std::max_element(sum.begin(), sum.end()) - sum.begin());
        // The peak between grid points: a parabola through it and its neighbours.
        const bool circular = m_gridSize == 360;
        double offset = 0;
        if (circular || (best > 0 && best < m_gridSize - 1)) {
            const double l = sum[(best + m_gridSize - 1) % m_gridSize];
            const double c = sum[best];
            const double r = sum[(best + 1) % m_gridSize];
            const double denominator = l - 2 * c + r;
            if (denominator < 0)
                offset = std::clamp(0.5 * (l - r) / denominator, -0.5, 0.5);
        }
        d.voiced = true;
        d.angleDeg = Wrap360(m_gridStart + best + offset);
    }
    out.push_back(d);
}
