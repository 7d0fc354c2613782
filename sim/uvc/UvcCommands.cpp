#include "sim/uvc/UvcCommands.h"

#include "sim/uvc/FuseNode.h"

void RegisterUvcCommands(CommandRegistry& registry, FuseNode& node)
{
    const auto simple = [&registry](const char* name, const char* help, std::function<void()> run) {
        registry.Add(name, "", help, [run = std::move(run)](const auto& args, std::ostream&) {
            if (!args.empty())
                return false;
            run();
            return true;
        });
    };
    simple("attach", "plug the camera in: the node appears", [&node] { node.Attach(); });
    simple("detach", "unplug the camera: the node goes, open descriptors get ENODEV", [&node] { node.Detach(); });
    registry.AddAlias("plug", "attach");
    registry.AddAlias("unplug", "detach");
    simple("hang", "the node's server stops answering (callers wait)", [&node] { node.Hang(); });
    simple("resume", "the node's server answers again", [&node] { node.Resume(); });
    registry.Add("status", "", "print the camera's state", [&node](const auto& args, std::ostream& out) {
        if (!args.empty())
            return false;
        out << node.Status() << "\n";
        return true;
    });
}
