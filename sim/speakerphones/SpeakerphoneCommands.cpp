#include "sim/speakerphones/SpeakerphoneCommands.h"

#include "sim/CommandRegistry.h"
#include "sim/speakerphones/MicArraySpeakerphone.h"
#include "sim/speakerphones/SpeakerphoneSimulator.h"

#include <charconv>

namespace {

bool ParseInt(const std::string& text, int low, int high, int* value)
{
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, *value);
    return ec == std::errc() && p == end && *value >= low && *value <= high;
}

}  // namespace

void RegisterSpeakerphoneCommands(CommandRegistry& registry, SpeakerphoneSimulator& s)
{
    registry.Add("speakerphone", "none|40s|90ux|18tr|mzc-40s|mzc-90x|micarray [GEOMETRY]",
                 "attach that speakerphone (silent), detaching the one before; an array's geometry as "
                 "circular:N:RADIUS or linear:N:SPACING (metres)",
                 [&s](const std::vector<std::string>& args, std::ostream& out) {
                     if (args.empty() || args.size() > 2)
                         return false;
                     const auto model = ParseSpeakerphoneModel(args[0]);
                     if (!model || (args.size() == 2 && *model != SpeakerphoneModel::MicArray))
                         return false;
                     if (*model == SpeakerphoneModel::MicArray) {
                         s.Select(SpeakerphoneModel::None, nullptr);  // the geometry changes while detached
                         if (args.size() == 2 && !s.MicArray().SetGeometry(args[1]))
                             return false;
                     }
                     std::string error;
                     if (!s.Select(*model, &error))
                         out << "speakerphone: " << error << "\n";
                     return true;
                 });
    registry.Add("talk", "0..5", "a talker speaks from that direction of the speakerphone",
                 [&s](const std::vector<std::string>& args, std::ostream& out) {
                     int direction = 0;
                     if (args.size() != 1 || !ParseInt(args[0], 0, 5, &direction))
                         return false;
                     if (s.Model() == SpeakerphoneModel::None)
                         out << "talk: no speakerphone attached\n";
                     s.Talk(direction);
                     return true;
                 });
    registry.Add("talk-code", "0..255", "write a raw direction code into the speakerphone's source",
                 [&s](const std::vector<std::string>& args, std::ostream&) {
                     int code = 0;
                     if (args.size() != 1 || !ParseInt(args[0], 0, 255, &code))
                         return false;
                     s.TalkCode(static_cast<std::uint8_t>(code));
                     return true;
                 });
    registry.Add("silence", "", "nobody speaks (direction 255)",
                 [&s](const std::vector<std::string>& args, std::ostream&) {
                     if (!args.empty())
                         return false;
                     s.Silence();
                     return true;
                 });
    registry.Add("speakerphone-version", "TEXT", "the QVT-90UX's version text, e.g. 1.32",
                 [&s](const std::vector<std::string>& args, std::ostream&) {
                     if (args.size() != 1)
                         return false;
                     s.SetVersion(args[0]);
                     return true;
                 });
    RegisterMicArrayCommands(registry, s.MicArray());
}
