#include "sim/video/SimVideoCommands.h"

#include "sim/CommandRegistry.h"
#include "sim/video/SimVideoOutput.h"

void RegisterVideoCommands(CommandRegistry& registry, SimVideoOutput& video)
{
    registry.Add("video", "stall|run", "stall: the camera stays plugged in but sends no picture; run: it sends again",
                 [&video](const auto& args, std::ostream&) {
                     if (args.size() != 1 || (args[0] != "stall" && args[0] != "run"))
                         return false;
                     video.SetStalled(args[0] == "stall");
                     return true;
                 });
}
