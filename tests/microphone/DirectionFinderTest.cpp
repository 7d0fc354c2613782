// The direction finding on synthetic rooms: a talker at a known angle, both geometries, and
// noise alone; then the sector rules and the geometry texts.
#include "sim/room/RoomSimulator.h"
#include "sim/room/SpeechSource.h"
#include "tracking/micarray/DirectionFinder.h"
#include "tracking/micarray/SectorDecision.h"
#include "tracking/micarray/WavFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

constexpr unsigned kRate = 16000;

std::string CacheDir()
{
    const char* dir = std::getenv("QVT_SPEECH_CACHE");
    return dir ? dir : "/tmp/qvt-vz1-speech";
}

double AngleError(double a, double b)
{
    const double d = std::fmod(std::abs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

// The voiced decisions' angles for a talker at angleDeg after 0.4 s of noise.
std::vector<double> HeardAngles(const std::string& geometryText, double angleDeg, double rt60, double snrDb)
{
    const ArrayGeometry geometry = *ParseArrayGeometry(geometryText);
    const Point3 centre{2.9, 2.3, 0.75};
    RoomRenderer room({6.0, 5.0, 3.0, rt60}, geometry, centre, kRate);
    std::vector<float> speech(std::size_t(0.4 * kRate), 0.0f);
    const std::vector<float> words = SpeechUtterance(int(angleDeg) % 6, kRate, CacheDir());
    speech.insert(speech.end(), words.begin(), words.begin() + std::min<std::size_t>(words.size(), 2 * kRate));
    std::vector<float> audio = room.Talker(speech, TalkerAt(centre, angleDeg, 1.3, 1.15));
    NoiseSource(snrDb, 7).AddTo(audio.data(), speech.size(), geometry.Channels());

    DirectionFinder finder(geometry, kRate);
    std::vector<DoaDecision> decisions;
    finder.Feed(audio.data(), speech.size(), decisions);
    std::vector<double> angles;
    for (const DoaDecision& d : decisions)
        if (d.voiced)
            angles.push_back(d.angleDeg);
    return angles;
}

} // namespace

TEST(DirectionFinder, FindsTheTalkerAtOneDegreeResolution)
{
    struct Row { const char* geometry; double angle, rt60, snr, expected, tolerance; };
    const Row rows[] = {
        {"circular:4:0.032", 17, 0.2, 20, 17, 5},
        {"circular:4:0.032", 251, 0.4, 10, 251, 8},
        {"circular:6:0.046", 133, 0.4, 10, 133, 8},
        {"circular:6:0.046", 302, 0.2, 20, 302, 5},
        // A line hears a cone: the floor's reflection, from below, pulls it a few degrees.
        {"linear:4:0.05", 62, 0.2, 20, 62, 8},
        {"linear:4:0.05", 300, 0.2, 20, 60, 8},  // behind the line: its mirror image in front
    };
    for (const Row& row : rows) {
        std::vector<double> angles = HeardAngles(row.geometry, row.angle, row.rt60, row.snr);
        ASSERT_GE(angles.size(), 10u) << row.geometry << " " << row.angle;
        std::vector<double> errors;
        for (double a : angles)
            errors.push_back(AngleError(a, row.expected));
        std::nth_element(errors.begin(), errors.begin() + errors.size() / 2, errors.end());
        EXPECT_LE(errors[errors.size() / 2], row.tolerance) << row.geometry << " " << row.angle;
    }
}

TEST(DirectionFinder, NoiseAloneIsNeverAVoice)
{
    const ArrayGeometry geometry = CircularArray(4, 0.032);
    DirectionFinder finder(geometry, kRate);
    NoiseSource noise(5, 3);
    SectorDecision sectors(0);
    std::vector<float> block(std::size_t(kRate) * 4);
    for (int second = 0; second < 10; ++second) {
        std::fill(block.begin(), block.end(), 0.0f);
        noise.AddTo(block.data(), kRate, 4);
        std::vector<DoaDecision> decisions;
        finder.Feed(block.data(), kRate, decisions);
        for (const DoaDecision& d : decisions) {
            EXPECT_FALSE(d.voiced) << d.timeS;
            EXPECT_EQ(sectors.Next(d), 255);
        }
    }
}

TEST(SectorDecision, SectorsAroundTheAngleOfDirectionZero)
{
    struct Row { double angle, zero; int sector; };
    const Row rows[] = {{0, 0, 0}, {29.9, 0, 0}, {30, 0, 1}, {330, 0, 0}, {329.9, 0, 5}, {180, 0, 3},
                        {90, 90, 0}, {59, 90, 5}, {400, 0, 1}, {-45, 0, 5}, {10, 350, 0}};
    for (const Row& row : rows)
        EXPECT_EQ(SectorOfAngle(row.angle, row.zero), row.sector) << row.angle << " " << row.zero;

    SectorDecision s(0);
    EXPECT_EQ(s.Next({0.0, false, 0, -90}), 255);
    EXPECT_EQ(s.Next({0.1, true, 125, -30}), 2);
    EXPECT_EQ(s.Next({1.5, false, 0, -90}), 2);  // a pause keeps the talker
    EXPECT_EQ(s.Next({1.6, false, 0, -90}), 255);
}

TEST(ArrayGeometry, TextsAndTheirMicrophones)
{
    struct Row { const char* text; int mics; bool linear; double x1, y1; };
    const Row good[] = {{"circular:4:0.032", 4, false, 0, 0.032}, {"linear:3:0.05", 3, true, 0.05, 0},
                        {"custom:0,0;0.1,0.1", 2, true, 0.1, 0.1}, {"custom:0,0;0.1,0;0,0.1", 3, false, 0.1, 0}};
    for (const Row& row : good) {
        const auto g = ParseArrayGeometry(row.text);
        ASSERT_TRUE(g) << row.text;
        EXPECT_EQ(g->Channels(), row.mics) << row.text;
        EXPECT_EQ(g->IsLinear(), row.linear) << row.text;
        EXPECT_NEAR(g->mics[1].x, row.x1, 1e-9) << row.text;
        EXPECT_NEAR(g->mics[1].y, row.y1, 1e-9) << row.text;
    }
    for (const char* bad : {"", "circular", "circular:1:0.03", "circular:17:0.03", "circular:4:0", "circular:4:-1",
                            "circular:4.5:0.03", "linear:4:2", "spiral:4:0.03", "custom:", "custom:0,0;0,0",
                            "custom:0,0;x,1", "circular:4:0.03:1", "circular:4:nan"})
        EXPECT_FALSE(ParseArrayGeometry(bad)) << bad;
}

namespace {
// A WAV file of format/bits with 2 channels and the given sample bytes; extensible puts the
// format into the sub-format field.
std::string WavBytes(int format, int bits, const std::string& data, bool extensible = false)
{
    auto le = [](std::uint32_t v, int n) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += char(v >> (8 * i) & 0xFF);
        return s;
    };
    std::string fmt = le(extensible ? 0xFFFE : format, 2) + le(2, 2) + le(16000, 4) + le(16000 * bits / 4, 4)
                      + le(bits / 4, 2) + le(bits, 2);
    if (extensible)
        fmt += le(22, 2) + le(bits, 2) + le(3, 4) + le(format, 2) + std::string(14, '\0');
    const std::string body = "WAVEfmt " + le(fmt.size(), 4) + fmt + "data" + le(data.size(), 4) + data;
    return "RIFF" + le(body.size(), 4) + body;
}
} // namespace

TEST(WavFile, FormatsAreReadAndDamageIsRefused)
{
    const std::string half16("\x00\x40\x00\xC0", 4);                        // +0.5, -0.5
    const std::string half32("\x00\x00\x00\x40\x00\x00\x00\xC0", 8);
    const std::string halfFloat("\x00\x00\x00\x3F\x00\x00\x00\xBF", 8);
    struct Row { std::string bytes; bool ok; };
    const Row rows[] = {{WavBytes(1, 16, half16), true},          {WavBytes(1, 32, half32), true},
                        {WavBytes(3, 32, halfFloat), true},       {WavBytes(3, 32, halfFloat, true), true},
                        {WavBytes(1, 8, "\x80\x80"), false},      {WavBytes(1, 16, half16).substr(0, 36), false},
                        {"RIFF\x04\x00\x00\x00WAVX", false},      {"", false}};
    const std::string path = "/tmp/qvt-vz1-wav-test-" + std::to_string(::getpid()) + ".wav";
    for (const Row& row : rows) {
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(row.bytes.data(), 1, row.bytes.size(), f);
        std::fclose(f);
        WavAudio audio;
        std::string error;
        ASSERT_EQ(ReadWav(path, &audio, &error), row.ok) << row.bytes.size() << " " << error;
        if (row.ok) {
            EXPECT_EQ(audio.channels, 2);
            EXPECT_EQ(audio.rate, 16000u);
            EXPECT_EQ(audio.samples, (std::vector<float>{0.5f, -0.5f}));
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
    std::remove(path.c_str());
}
