#pragma once
// Texts that name the camera: the balloons, the Auto page's note and the tooltips. With the
// QVT-VZ1 (no name) they are its own texts, unchanged; with any other camera the same
// sentence names that one (CameraConnection::Name()).
#include "platform/WinTypes.h"

#include <QString>

// The text of id for the camera called name (empty: the QVT-VZ1). Ids that name no camera
// come back as LoadStringRes gives them.
QString LoadCameraText(UINT id, const QString& name);
