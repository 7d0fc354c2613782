#include "sim/speakerphones/SpeakerphoneSimulator.h"

#include "sim/speakerphones/DeviceFileSpeakerphone.h"
#include "sim/speakerphones/MicArraySpeakerphone.h"
#include "sim/speakerphones/SharedRecordSpeakerphone.h"
#include "sim/speakerphones/UsbLinkSpeakerphone.h"
#include "tracking/CompanionFilter.h"
#include "tracking/DeviceReportReader.h"
#include "tracking/SharedRecordSource.h"
#include "tracking/uxapi/UxDeviceLink.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <unistd.h>

std::optional<SpeakerphoneModel> ParseSpeakerphoneModel(const std::string& text)
{
    std::string t = text;
    std::transform(t.begin(), t.end(), t.begin(), [](unsigned char c) { return std::tolower(c); });
    if (t == "none") return SpeakerphoneModel::None;
    if (t == "40s") return SpeakerphoneModel::Qvt40S;
    if (t == "90ux") return SpeakerphoneModel::Qvt90UX;
    if (t == "18tr") return SpeakerphoneModel::Qvt18TR;
    if (t == "mzc-40s") return SpeakerphoneModel::Mzc40S;
    if (t == "mzc-90x") return SpeakerphoneModel::Mzc90X;
    if (t == "micarray") return SpeakerphoneModel::MicArray;
    return std::nullopt;
}

std::uint8_t SpeakerphoneCode(SpeakerphoneModel model, int direction)
{
    if (model == SpeakerphoneModel::Mzc40S) {
        static constexpr std::uint8_t kCode[6] = {0, 2, 3, 5, 6, 7};
        return kCode[direction];
    }
    return static_cast<std::uint8_t>(direction);
}

namespace {
// Paths as plain characters, readable from a signal handler.
char g_devicePath[4096];
char g_linkPath[4096];
char g_arrayConfigPath[4096];

void KeepPath(char (&buffer)[4096], const std::string& path)
{
    const std::size_t n = std::min(path.size(), sizeof buffer - 1);
    std::memcpy(buffer, path.data(), n);
    buffer[n] = '\0';
}
}  // namespace

void RemoveSpeakerphonePathsOnSignal()
{
    if (g_devicePath[0])
        ::unlink(g_devicePath);
    if (g_linkPath[0])
        ::unlink(g_linkPath);
    // Without its asoundrc no one opens the array's FIFO, which would wait for a writer.
    if (g_arrayConfigPath[0])
        ::unlink(g_arrayConfigPath);
}

SpeakerphoneSimulator::SpeakerphoneSimulator()
    : m_40S(std::make_unique<DeviceFileSpeakerphone>(VirtualDevicePath())),
      m_90UX(std::make_unique<UsbLinkSpeakerphone>(UxDeviceLinkPath())),
      m_18TR(std::make_unique<SharedRecordSpeakerphone>(kQvt18TRRecordName, kQvt18TRMutexName, std::nullopt)),
      m_mzc40S(std::make_unique<SharedRecordSpeakerphone>(kMzcRecordName, kMzcMutexName, kCompanionModel40S)),
      m_mzc90X(std::make_unique<SharedRecordSpeakerphone>(kMzcRecordName, kMzcMutexName, kCompanionModel90X)),
      m_micArray(std::make_unique<MicArraySpeakerphone>(SpeakerphoneRuntimeDir()))
{
    KeepPath(g_devicePath, VirtualDevicePath());
    KeepPath(g_linkPath, UxDeviceLinkPath());
    KeepPath(g_arrayConfigPath, m_micArray->ConfigPath());
}

SpeakerphoneSimulator::~SpeakerphoneSimulator()
{
    if (auto* current = Current())
        current->Detach();
}

VirtualSpeakerphone* SpeakerphoneSimulator::For(SpeakerphoneModel model) const
{
    switch (model) {
    case SpeakerphoneModel::Qvt40S: return m_40S.get();
    case SpeakerphoneModel::Qvt90UX: return m_90UX.get();
    case SpeakerphoneModel::Qvt18TR: return m_18TR.get();
    case SpeakerphoneModel::Mzc40S: return m_mzc40S.get();
    case SpeakerphoneModel::Mzc90X: return m_mzc90X.get();
    case SpeakerphoneModel::MicArray: return m_micArray.get();
    case SpeakerphoneModel::None: break;
    }
    return nullptr;
}

VirtualSpeakerphone* SpeakerphoneSimulator::Current() const
{
    return For(m_model);
}

bool SpeakerphoneSimulator::Select(SpeakerphoneModel model, std::string* error)
{
    if (auto* current = Current())
        current->Detach();
    m_model = SpeakerphoneModel::None;
    auto* next = For(model);
    if (next && !next->Attach(error))
        return false;
    m_model = model;
    return true;
}

bool SpeakerphoneSimulator::Talk(int direction)
{
    if (direction < 0 || direction > 5)
        return false;
    TalkCode(SpeakerphoneCode(m_model, direction));
    return true;
}

void SpeakerphoneSimulator::TalkCode(std::uint8_t code)
{
    if (auto* current = Current())
        current->SetCode(code);
}

void SpeakerphoneSimulator::Silence()
{
    TalkCode(255);
}

void SpeakerphoneSimulator::SetVersion(const std::string& version)
{
    m_90UX->SetVersion(version);
}
