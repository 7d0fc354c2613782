#include "video/VideoPlugins.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

std::string BundledVideoPluginDir(const std::string& programDir)
{
    return (std::filesystem::path(programDir) / "../lib/qvt-vz1/gstreamer-1.0").lexically_normal().string();
}

void UseVideoPlugins(const std::string& dir)
{
    std::error_code ec;
    if (dir.empty() || !std::filesystem::is_directory(dir, ec))
        return;
    const char* current = std::getenv("GST_PLUGIN_PATH");
    const std::string path = current ? current : "";
    std::istringstream parts(path);
    for (std::string part; std::getline(parts, part, ':');) {
        if (part == dir)
            return;
    }
    ::setenv("GST_PLUGIN_PATH", (path.empty() ? dir : dir + ":" + path).c_str(), 1);
}
