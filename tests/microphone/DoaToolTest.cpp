// qvt-vz1-doa on WAV files of the simulator's rooms: the sectors it prints, its line
// format, and its answers to wrong input.
#include "sim/room/RoomSimulator.h"
#include "sim/room/SpeechSource.h"
#include "tests/support/TestEnvironment.h"
#include "tracking/micarray/WavFile.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <map>

namespace {

constexpr unsigned kToolRate = 16000;

struct DoaRun
{
    int exitCode = -1;
    QStringList lines;
};

DoaRun Doa(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(QVT_DOA_PATH), args);
    DoaRun run;
    if (!p.waitForFinished(30000))
        return run;
    run.exitCode = p.exitCode();
    run.lines = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    return run;
}

// A talker at the middle of sector (zero 0) after 0.5 s of noise, as the virtual array hears it.
QString RoomFile(const char* geometryText, int sector, int channelsExtra = 0)
{
    const ArrayGeometry geometry = *ParseArrayGeometry(geometryText);
    const Point3 centre{2.9, 2.3, 0.75};
    std::vector<float> speech(kToolRate / 2, 0.0f);
    const auto words = SpeechUtterance(sector, kToolRate, std::getenv("QVT_SPEECH_CACHE"));
    speech.insert(speech.end(), words.begin(), words.begin() + std::min<std::size_t>(words.size(), 2 * kToolRate));
    std::vector<float> audio = RoomRenderer({6, 5, 3, 0.4}, geometry, centre, kToolRate)
                                   .Talker(speech, TalkerAt(centre, 60.0 * sector, 1.3, 1.15));
    NoiseSource(10, 5).AddTo(audio.data(), speech.size(), geometry.Channels());
    WavAudio wav{kToolRate, geometry.Channels() + channelsExtra, {}};
    for (std::size_t f = 0; f < speech.size(); ++f) {
        for (int c = 0; c < geometry.Channels(); ++c)
            wav.samples.push_back(audio[f * geometry.Channels() + c]);
        wav.samples.insert(wav.samples.end(), channelsExtra, 0.0f);
    }
    const QString path = TestRootDir() + QStringLiteral("/talker-%1-%2.wav").arg(sector).arg(geometry.Channels());
    EXPECT_TRUE(WriteWav(QFile::encodeName(path).toStdString(), wav));
    return path;
}

// The sector printed most often on voiced lines; checks every line's four fields.
int MostPrintedSector(const QStringList& lines)
{
    std::map<int, int> counts;
    for (const QString& line : lines) {
        const QStringList f = line.split(u' ');
        EXPECT_EQ(f.size(), 4) << line.toStdString();
        if (f.size() != 4)
            continue;
        if (f[1] != u'-')
            ++counts[f[2].toInt()];
        else
            EXPECT_EQ(f[2], QStringLiteral("255")) << line.toStdString();
    }
    int best = 255, most = 0;
    for (const auto& [sector, n] : counts)
        if (n > most)
            std::tie(best, most) = std::tie(sector, n);
    return best;
}

} // namespace

TEST(DoaTool, PrintsTheSectorOfTheSimulatorsTalker)
{
    struct Row { const char* geometry; int sector; const char* zero; int extra; int expected; };
    const Row rows[] = {{"circular:4:0.032", 1, "0", 0, 1}, {"circular:6:0.046", 4, "0", 0, 4},
                        {"circular:4:0.032", 3, "120", 1, 1}};  // direction 0 turned; a spare channel left out
    for (const Row& row : rows) {
        const DoaRun run = Doa({QStringLiteral("--geometry"), QString::fromLatin1(row.geometry), QStringLiteral("--zero"),
                             QString::fromLatin1(row.zero), RoomFile(row.geometry, row.sector, row.extra)});
        ASSERT_EQ(run.exitCode, 0) << row.geometry;
        ASSERT_GT(run.lines.size(), 40);
        EXPECT_TRUE(run.lines.first().contains(QStringLiteral(" - 255 "))) << run.lines.first().toStdString();
        EXPECT_EQ(MostPrintedSector(run.lines), row.expected) << row.geometry << " " << row.sector;
    }
}

TEST(DoaTool, WrongInputIsToldAndPrintsNothing)
{
    const QString fourChannels = RoomFile("circular:4:0.032", 0);
    QFile notWav(TestRootDir() + QStringLiteral("/not.wav"));
    ASSERT_TRUE(notWav.open(QIODevice::WriteOnly));
    notWav.write("RIFF....WAVEjunk");
    notWav.close();
    struct Row { QStringList args; int exitCode; };
    const Row rows[] = {
        {{fourChannels}, 2},                                                          // no geometry
        {{QStringLiteral("--geometry"), QStringLiteral("circular:1:0.03"), fourChannels}, 2},
        {{QStringLiteral("--geometry"), QStringLiteral("circular:4:0.03"), QStringLiteral("--zero"),
          QStringLiteral("x"), fourChannels}, 2},
        {{QStringLiteral("--geometry"), QStringLiteral("circular:6:0.046"), fourChannels}, 1},  // too few channels
        {{QStringLiteral("--geometry"), QStringLiteral("circular:4:0.03"), notWav.fileName()}, 1},
        {{QStringLiteral("--geometry"), QStringLiteral("circular:4:0.03"), QStringLiteral("/nonexistent.wav")}, 1},
    };
    for (const Row& row : rows) {
        const DoaRun run = Doa(row.args);
        EXPECT_EQ(run.exitCode, row.exitCode) << row.args.join(u' ').toStdString();
        EXPECT_TRUE(run.lines.isEmpty()) << row.args.join(u' ').toStdString();
    }
}
