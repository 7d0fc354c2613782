#include "sim/room/RoomSimulator.h"

#include "tracking/micarray/FftwPlanner.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSpeedOfSound = 343.0;
constexpr int kSincHalf = 8;        // taps each side of a fractional delay
constexpr double kSincUntilS = 0.03;  // exact delays for the direct sound and early reflections

double Distance(const Point3& a, const Point3& b)
{
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

void AddDelayed(std::vector<float>& h, double delay, double gain, bool exact)
{
    const long centre = long(std::floor(delay));
    const double frac = delay - centre;
    if (!exact) {
        if (centre >= 0 && centre + 1 < long(h.size())) {
            h[centre] += float(gain * (1 - frac));
            h[centre + 1] += float(gain * frac);
        }
        return;
    }
    for (long n = centre - kSincHalf + 1; n <= centre + kSincHalf; ++n) {
        if (n < 0 || n >= long(h.size()))
            continue;
        const double t = double(n) - delay;
        const double sinc = std::abs(t) < 1e-9 ? 1.0 : std::sin(M_PI * t) / (M_PI * t);
        const double window = 0.5 + 0.5 * std::cos(M_PI * t / kSincHalf);
        h[n] += float(gain * sinc * window);
    }
}

// Linear convolution of x with h, cut to x's length, by FFT.
std::vector<float> Convolve(const std::vector<float>& x, const std::vector<float>& h)
{
    std::size_t n = 1;
    while (n < x.size() + h.size())
        n *= 2;
    float* a = fftwf_alloc_real(n);
    float* b = fftwf_alloc_real(n);
    fftwf_complex* A = fftwf_alloc_complex(n / 2 + 1);
    fftwf_complex* B = fftwf_alloc_complex(n / 2 + 1);
    fftwf_plan fa, fb, inverse;
    {
        std::lock_guard lock(FftwPlannerMutex());
        fa = fftwf_plan_dft_r2c_1d(int(n), a, A, FFTW_ESTIMATE);
        fb = fftwf_plan_dft_r2c_1d(int(n), b, B, FFTW_ESTIMATE);
        inverse = fftwf_plan_dft_c2r_1d(int(n), A, a, FFTW_ESTIMATE);
    }
    std::fill(a, a + n, 0.0f);
    std::fill(b, b + n, 0.0f);
    std::copy(x.begin(), x.end(), a);
    std::copy(h.begin(), h.end(), b);
    fftwf_execute(fa);
    fftwf_execute(fb);
    for (std::size_t k = 0; k <= n / 2; ++k) {
        const float re = A[k][0] * B[k][0] - A[k][1] * B[k][1];
        const float im = A[k][0] * B[k][1] + A[k][1] * B[k][0];
        A[k][0] = re / float(n);
        A[k][1] = im / float(n);
    }
    fftwf_execute(inverse);
    std::vector<float> y(a, a + x.size());
    {
        std::lock_guard lock(FftwPlannerMutex());
        fftwf_destroy_plan(fa);
        fftwf_destroy_plan(fb);
        fftwf_destroy_plan(inverse);
    }
    fftwf_free(a);
    fftwf_free(b);
    fftwf_free(A);
    fftwf_free(B);
    return y;
}

} // namespace

Point3 TalkerAt(const Point3& c, double angleDeg, double distance, double height)
{
    const double a = angleDeg * M_PI / 180;
    return {c.x + distance * std::cos(a), c.y + distance * std::sin(a), height};
}

std::vector<std::vector<float>> RoomImpulseResponses(const RoomSpec& room, const Point3& s,
                                                     const std::vector<Point3>& mics, unsigned rate)
{
    const double volume = room.lx * room.ly * room.lz;
    const double surface = 2 * (room.lx * room.ly + room.lx * room.lz + room.ly * room.lz);
    const double absorption = std::clamp(0.161 * volume / (surface * std::max(room.rt60, 0.01)), 0.0, 1.0);
    const double beta = std::sqrt(1 - absorption);
    const double length = std::min(std::max(room.rt60, 0.05), 1.0);
    const double maxPath = kSpeedOfSound * length;
    std::vector<std::vector<float>> out(mics.size(), std::vector<float>(std::size_t(length * rate) + 2 * kSincHalf));

    const int nx = int(maxPath / (2 * room.lx)) + 1, ny = int(maxPath / (2 * room.ly)) + 1,
              nz = int(maxPath / (2 * room.lz)) + 1;
    for (int ix = -nx; ix <= nx; ++ix)
        for (int iy = -ny; iy <= ny; ++iy)
            for (int iz = -nz; iz <= nz; ++iz)
                for (int p = 0; p < 8; ++p) {
                    const int px = p & 1, py = p >> 1 & 1, pz = p >> 2 & 1;
                    const Point3 image{(1 - 2 * px) * s.x + 2 * ix * room.lx, (1 - 2 * py) * s.y + 2 * iy * room.ly,
                                       (1 - 2 * pz) * s.z + 2 * iz * room.lz};
                    const int reflections = std::abs(ix - px) + std::abs(ix) + std::abs(iy - py) + std::abs(iy)
                                            + std::abs(iz - pz) + std::abs(iz);
                    const double reflectionGain = std::pow(beta, reflections);
                    for (std::size_t m = 0; m < mics.size(); ++m) {
                        const double d = std::max(Distance(image, mics[m]), 0.05);
                        if (d > maxPath)
                            continue;
                        const double delay = d / kSpeedOfSound;
                        AddDelayed(out[m], delay * rate, reflectionGain / (4 * M_PI * d), delay < kSincUntilS);
                    }
                }
    return out;
}

RoomRenderer::RoomRenderer(RoomSpec room, const ArrayGeometry& geometry, Point3 arrayCentre, unsigned rate)
    : m_room(room), m_centre(arrayCentre), m_rate(rate)
{
    for (const MicPosition& mic : geometry.mics)
        m_mics.push_back({arrayCentre.x + mic.x, arrayCentre.y + mic.y, arrayCentre.z});
}

std::vector<float> RoomRenderer::Talker(const std::vector<float>& speech, const Point3& talker) const
{
    const auto responses = RoomImpulseResponses(m_room, talker, m_mics, m_rate);
    const std::size_t channels = m_mics.size();
    std::vector<float> out(speech.size() * channels);
    for (std::size_t m = 0; m < channels; ++m) {
        const std::vector<float> y = Convolve(speech, responses[m]);
        for (std::size_t i = 0; i < y.size(); ++i)
            out[i * channels + m] = y[i];
    }
    // Active level: the mean power of the 20 ms frames within 30 dB of the loudest.
    const std::size_t block = m_rate / 50;
    std::vector<double> powers;
    for (std::size_t start = 0; start + block <= speech.size(); start += block) {
        double sum = 0;
        for (std::size_t i = start * channels; i < (start + block) * channels; ++i)
            sum += double(out[i]) * out[i];
        powers.push_back(sum / double(block * channels));
    }
    const double loudest = powers.empty() ? 0 : *std::max_element(powers.begin(), powers.end());
    double active = 0;
    int count = 0;
    for (double p : powers)
        if (p > loudest * 1e-3) {
            active += p;
            ++count;
        }
    if (count && active > 0) {
        const float scale = float(kSpeechLevel / std::sqrt(active / count));
        for (float& v : out)
            v *= scale;
    }
    return out;
}

NoiseSource::NoiseSource(double snrDb, std::uint32_t seed)
    : m_rms(kSpeechLevel * std::pow(10.0, -snrDb / 20)), m_rng(seed)
{
}

void NoiseSource::AddTo(float* interleaved, std::size_t frames, int channels)
{
    m_state.resize(channels, 0.0f);
    // One-pole low-pass, gain-corrected so that the noise keeps m_rms.
    constexpr float kPole = 0.5f;
    const float gain = float(m_rms * std::sqrt(1 - kPole * kPole));
    for (std::size_t f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c) {
            m_state[c] = kPole * m_state[c] + m_normal(m_rng);
            interleaved[f * channels + c] += gain * m_state[c];
        }
}
