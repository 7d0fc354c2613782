#include "tracking/uxapi/UxDeviceLink.h"

#include <cstdlib>
#include <unistd.h>

std::string SpeakerphoneRuntimeDir()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/qvt-vz1";
    return "/tmp/qvt-vz1-" + std::to_string(::getuid());
}

std::string UxDeviceLinkPath()
{
    if (const char* path = std::getenv("QVT_VZ1_90UX_LINK"); path && *path)
        return path;
    return SpeakerphoneRuntimeDir() + "/qvt-90ux";
}
