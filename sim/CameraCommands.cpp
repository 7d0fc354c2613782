#include "sim/CameraCommands.h"

#include "sim/VirtualCamera.h"

#include <cmath>

namespace {

bool NoArgs(const std::vector<std::string>& args) { return args.empty(); }

} // namespace

void RegisterCameraCommands(CommandRegistry& registry, VirtualCamera& camera)
{
    registry.Add("attach", "", "plug the camera in: open its port and announce it",
                 [&camera](const auto& args, std::ostream& out) {
                     if (!NoArgs(args))
                         return false;
                     if (!camera.Attach())
                         out << "error: cannot open a pseudo-terminal or write the announcement\n";
                     return true;
                 });
    registry.Add("detach", "", "unplug the camera: withdraw the announcement, close the port",
                 [&camera](const auto& args, std::ostream&) {
                     if (!NoArgs(args))
                         return false;
                     camera.Detach();
                     return true;
                 });
    registry.AddAlias("plug", "attach");
    registry.AddAlias("unplug", "detach");
    registry.Add("stand", "release|upside|ohp|front", "set the stand position (reported when it changes)",
                 [&camera](const auto& args, std::ostream&) {
                     const int stand = args.size() == 1 ? StandFromName(args[0]) : -1;
                     if (stand < 0)
                         return false;
                     camera.SetStand(stand);
                     return true;
                 });
    registry.Add("version", "TEXT", "set the firmware version (1 to 8 printable characters)",
                 [&camera](const auto& args, std::ostream&) {
                     if (args.size() != 1 || args[0].size() > 8)
                         return false;
                     camera.SetVersion(args[0]);
                     return true;
                 });
    registry.Add("garble", "", "answer with noise until unmute",
                 [&camera](const auto& args, std::ostream&) {
                     if (!NoArgs(args))
                         return false;
                     camera.SetGarble(true);
                     return true;
                 });
    registry.Add("mute", "", "stop answering until unmute",
                 [&camera](const auto& args, std::ostream&) {
                     if (!NoArgs(args))
                         return false;
                     camera.SetMute(true);
                     return true;
                 });
    registry.Add("delay", "MS", "answer MS milliseconds late, in order (0 ends it)",
                 [&camera](const auto& args, std::ostream&) {
                     int ms = -1;
                     if (args.size() == 1 && !args[0].empty() && args[0].find_first_not_of("0123456789") == std::string::npos
                         && args[0].size() <= 5)
                         ms = std::stoi(args[0]);
                     if (ms < 0 || ms > 60000)
                         return false;
                     camera.SetReplyDelay(ms);
                     return true;
                 });
    registry.Add("unmute", "", "answer normally again (ends mute and garble)",
                 [&camera](const auto& args, std::ostream&) {
                     if (!NoArgs(args))
                         return false;
                     camera.SetMute(false);
                     camera.SetGarble(false);
                     return true;
                 });
    registry.Add("status", "", "print the camera's state",
                 [&camera](const auto& args, std::ostream& out) {
                     if (!NoArgs(args))
                         return false;
                     const CameraModel m = camera.Snapshot();
                     const std::string port = camera.PortPath();
                     out << "camera attached=" << (port.empty() ? 0 : 1) << " port=" << (port.empty() ? "-" : port)
                         << " pan=" << std::lround(m.pan) << " tilt=" << std::lround(m.tilt)
                         << " zoom=" << std::lround(m.zoom) << " roll=" << std::lround(m.roll)
                         << " stand=" << StandName(m.stand) << " version=" << m.version
                         << " format=" << m.videoFormat << "\n";
                     return true;
                 });
}
