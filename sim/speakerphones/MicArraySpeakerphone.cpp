#include "sim/speakerphones/MicArraySpeakerphone.h"

#include "sim/CommandRegistry.h"
#include "sim/room/SpeechSource.h"
#include "tracking/micarray/WavFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>

namespace {

constexpr double kTalkerDistance = 1.3;  // metres from the array, on the table plane
constexpr double kMouthHeight = 1.15;
constexpr double kPauseS = 0.3;          // between two repeats of the utterance
const Point3 kArrayCentre{2.9, 2.3, 0.75};

// Frames per write: a multiple of the reader's 64-frame unit and at most one pipe page
// (4096 bytes), so that every write lands whole or not at all.
std::size_t ChunkFrames(int channels)
{
    return std::max<std::size_t>(64, std::size_t(4096 / (2 * channels)) / 64 * 64);
}

std::string SpeechCacheDir(const std::string& folder)
{
    const char* dir = std::getenv("QVT_SPEECH_CACHE");
    return dir && *dir ? dir : folder + "/speech";
}

} // namespace

MicArraySpeakerphone::MicArraySpeakerphone(std::string folder)
    : m_folder(std::move(folder)), m_geometry(*ParseArrayGeometry(m_geometryText))
{
}

MicArraySpeakerphone::~MicArraySpeakerphone()
{
    Detach();
}

bool MicArraySpeakerphone::SetGeometry(const std::string& text)
{
    const auto geometry = ParseArrayGeometry(text);
    if (!geometry)
        return false;
    m_geometryText = text;
    m_geometry = *geometry;
    return true;
}

bool MicArraySpeakerphone::SetRoom(double rt60, double snrDb)
{
    if (!(rt60 >= 0.05 && rt60 <= 1.0) || !(snrDb >= -10 && snrDb <= 60))
        return false;
    std::lock_guard lock(m_mutex);
    m_room.rt60 = rt60;
    m_snrDb = snrDb;
    m_roomChanged = true;
    return true;
}

bool MicArraySpeakerphone::Attach(std::string* error)
{
    if (IsAttached())
        return true;
    ::mkdir(m_folder.c_str(), 0700);
    ::unlink(FifoPath().c_str());
    if (::mkfifo(FifoPath().c_str(), 0600) != 0) {
        *error = "cannot make " + FifoPath();
        return false;
    }
    // Read and write: the FIFO then always has a writer, so a capture opening it never
    // waits, and a chunk no one reads only fills the (small) pipe.
    m_fifo = ::open(FifoPath().c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (m_fifo < 0) {
        *error = "cannot open " + FifoPath();
        ::unlink(FifoPath().c_str());
        return false;
    }
    ::fcntl(m_fifo, F_SETPIPE_SZ, 16384);  // what a slow reader lags behind, at most
    std::ofstream config(ConfigPath(), std::ios::trunc);
    config << "# The simulator's microphone array (" << m_geometryText << ", " << m_geometry.Channels()
           << " channels, 16-bit, " << kRate << " Hz).\n"
           << "pcm." << kVirtualArrayPcm << " {\n"
           << "  type file\n  slave.pcm { type null }\n  file \"/dev/null\"\n"
           << "  infile \"" << FifoPath() << "\"\n  format raw\n"
           << "  hint { show on description \"QVT-VZ1 virtual microphone array\" }\n}\n";
    config.close();
    {
        std::lock_guard lock(m_mutex);
        m_stop = false;
        m_talker.clear();
    }
    m_thread = std::thread([this] { StreamLoop(); });
    return true;
}

void MicArraySpeakerphone::Detach()
{
    if (!IsAttached())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    ::unlink(ConfigPath().c_str());
    ::unlink(FifoPath().c_str());
    ::close(m_fifo);
    m_fifo = -1;
}

void MicArraySpeakerphone::SetCode(std::uint8_t code)
{
    if (code <= 5)
        Render(code);
    else {
        std::lock_guard lock(m_mutex);
        m_talker.clear();
    }
}

void MicArraySpeakerphone::Render(int sector)
{
    RoomSpec room;
    {
        std::lock_guard lock(m_mutex);
        room = m_room;
    }
    std::vector<float> speech = SpeechUtterance(sector, kRate, SpeechCacheDir(m_folder));
    speech.resize(speech.size() + std::size_t(kPauseS * kRate), 0.0f);
    const RoomRenderer renderer(room, m_geometry, kArrayCentre, kRate);
    std::vector<float> talker =
        renderer.Talker(speech, TalkerAt(kArrayCentre, 60.0 * sector, kTalkerDistance, kMouthHeight));
    std::lock_guard lock(m_mutex);
    m_talker = std::move(talker);
    m_talkerPos = 0;
}

void MicArraySpeakerphone::StreamLoop()
{
    const int channels = m_geometry.Channels();
    const std::size_t frames = ChunkFrames(channels);
    std::vector<float> chunk(frames * channels);
    std::unique_ptr<NoiseSource> noise;
    auto due = std::chrono::steady_clock::now();
    const auto period = std::chrono::microseconds(1000000LL * frames / kRate);
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        if (!noise || m_roomChanged) {
            noise = std::make_unique<NoiseSource>(m_snrDb, 1);
            m_roomChanged = false;
        }
        std::fill(chunk.begin(), chunk.end(), 0.0f);
        if (!m_talker.empty())
            for (std::size_t i = 0; i < chunk.size(); ++i) {
                chunk[i] = m_talker[m_talkerPos];
                m_talkerPos = (m_talkerPos + 1) % m_talker.size();
            }
        noise->AddTo(chunk.data(), frames, channels);
        const std::vector<char> pcm = ToPcm16(chunk.data(), chunk.size());
        // Whole chunks or nothing (a chunk is at most one pipe page): when no one reads
        // and the pipe is full, the chunk is dropped, as a real device drops its overruns.
        ssize_t written;
        do
            written = ::write(m_fifo, pcm.data(), pcm.size());
        while (written < 0 && errno == EINTR);
        due += period;
        m_wake.wait_until(lock, due, [this] { return m_stop; });
    }
}

void RegisterMicArrayCommands(CommandRegistry& registry, MicArraySpeakerphone& array)
{
    registry.Add("room", "RT60 SNR", "the microphone array's room: reverberation time (s) and noise (dB below speech)",
                 [&array](const std::vector<std::string>& args, std::ostream&) {
                     if (args.size() != 2)
                         return false;
                     char* end1 = nullptr;
                     char* end2 = nullptr;
                     const double rt60 = std::strtod(args[0].c_str(), &end1);
                     const double snr = std::strtod(args[1].c_str(), &end2);
                     if (*end1 || *end2 || args[0].empty() || args[1].empty())
                         return false;
                     return array.SetRoom(rt60, snr);
                 });
}
