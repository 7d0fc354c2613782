#include "camera/CameraConnection.h"

#include <cctype>

ViscaModel CameraConnection::Model() const
{
    if (kind == Kind::Usb)
        return BuiltInModel("qvt-vz1");
    if (modelId == "custom") {
        ViscaModel m = customModel;
        m.id = "custom";
        m.vendorFrames = false;
        return m.IsValid() ? m : BuiltInModel("generic");
    }
    const ViscaModel& m = BuiltInModel(modelId);
    return m.vendorFrames ? BuiltInModel("generic") : m;
}

int CameraConnection::DefaultPort(Net net)
{
    switch (net) {
    case Net::Tcp: return 5678;
    case Net::Udp: return 1259;
    default: return 52381;
    }
}

std::string CameraConnection::Describe() const
{
    switch (kind) {
    case Kind::Serial:
        return serialPort;
    case Kind::Uvc:
        return uvcDevice;
    case Kind::Network: {
        const char* scheme = net == Net::ViscaIp ? "visca-ip " : net == Net::Tcp ? "tcp " : "udp ";
        const bool v6 = host.find(':') != std::string::npos;
        return scheme + (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
    }
    default:
        return "usb";
    }
}

std::string CameraConnection::Name() const
{
    if (kind == Kind::Usb)
        return {};
    // A camera of a named row of the model table is called by its product name (the same
    // in every language), and where it is.
    const ViscaModel m = Model();
    const bool named = (kind == Kind::Serial || kind == Kind::Network) && m.id != "generic" && m.id != "custom";
    return named ? m.name + " (" + Describe() + ")" : Describe();
}

bool CameraConnection::ValidVideoStream(const std::string& text)
{
    if (text.empty())
        return true;
    const auto colon = text.find("://");
    if (colon == std::string::npos || colon + 3 == text.size())
        return false;
    std::string scheme = text.substr(0, colon);
    for (char& ch : scheme)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    const bool blank = text.find_first_of(" \t\r\n") != std::string::npos;
    return !blank && (scheme == "rtsp" || scheme == "http" || scheme == "udp");
}
