#include "camera/uvc/UvcNodeList.h"

#include "camera/uvc/UvcAxes.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <map>

namespace {

std::vector<std::string> Entries(const std::string& dir, const std::string& prefix)
{
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != ".." && name.compare(0, prefix.size(), prefix) == 0)
                names.push_back(name);
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Resolved(const std::string& path)
{
    char buf[PATH_MAX];
    return ::realpath(path.c_str(), buf) ? std::string(buf) : path;
}

} // namespace

std::vector<UvcNodeInfo> ListUvcNodes(const std::string& devDir, int timeoutMs)
{
    // Stable names by the node they point to; a camera's second (metadata) node has one too.
    std::map<std::string, std::string> byId;
    const std::string idDir = devDir + "/v4l/by-id";
    for (const std::string& name : Entries(idDir, ""))
        byId.emplace(Resolved(idDir + "/" + name), idDir + "/" + name);
    std::vector<UvcNodeInfo> nodes;
    for (const std::string& name : Entries(devDir, "video")) {
        const std::string path = devDir + "/" + name;
        auto device = UvcDevice::Open(path, timeoutMs);
        const auto identity = device ? device->QueryCap() : std::nullopt;
        if (!identity || !identity->capture)
            continue;
        const auto axes = ReadUvcAxes(*device);
        if (!axes || !axes->Usable())
            continue;
        const auto stable = byId.find(Resolved(path));
        nodes.push_back({stable != byId.end() ? stable->second : path, identity->card});
    }
    return nodes;
}
