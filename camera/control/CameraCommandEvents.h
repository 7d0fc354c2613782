#pragma once
// What the camera command layer tells the controller session that owns it: the stand
// position and the camera's state changed (the views follow), a balloon for a communication
// error, and the factory Front preset it needs.
#include "platform/WinTypes.h"

class CameraCommandEvents
{
public:
    virtual ~CameraCommandEvents() = default;
    // The stand position changed (255: no camera); the pages show what fits it.
    virtual void CameraModeChanged(int mode) = 0;
    // The link came up or went: what the views show may have changed.
    virtual void CameraStateChanged() = 0;
    // A balloon on the tray icon with the string of id.
    virtual void ShowTrayMessage(UINT stringId) = 0;
    // Writes the factory Front preset of direction for the chosen speakerphone and
    // placement; false when no speakerphone is chosen.
    virtual bool LoadFactoryFrontPreset(int direction) = 0;
};
