#pragma once
// Beside the library's 19 operations: which camera they reach and what it can do. The
// controller configures the connection from its profile before the first presence check
// and asks the capabilities instead of the camera's name. The controller's tests link a
// double of these as of the 19.
#include "camera/CameraConnection.h"

#include <string>

// The connection the 19 operations use from now on. A link that is open stays open on
// the old connection until CamClose.
void CamConfigure(const CameraConnection& connection);
CameraConnection CamConnection();
CameraCapabilities CamCapabilities();
// True for a network camera: nothing announces its coming and going, so the caller asks
// CamIsPresent every few seconds.
bool CamPollsPresence();

struct CameraProbe
{
    bool ok = false;
    std::string vendor, model, rom;  // hex, from the version inquiry
    std::string error;               // why nothing answered
    bool answered = false;           // the link started, whether or not the version came
};
// Opens connection once and asks its version; the open link is used when it is the same.
CameraProbe CamProbe(const CameraConnection& connection);
// The same on a link of its own, always: it touches none of the library's shared state, so
// it may run on any thread, beside the open link. Takes up to the reply time-out.
CameraProbe CamProbeOnOwnLink(const CameraConnection& connection);
