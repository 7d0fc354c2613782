#pragma once
// What the camera command layer asks of the window that owns it: the pages and the layout
// follow the camera's stand position, and a communication error is told on the tray icon.
#include "platform/WinTypes.h"

class CameraCommandEvents
{
public:
    virtual ~CameraCommandEvents() = default;
    // The stand position changed (255: no camera); the pages show what fits it.
    virtual void CameraModeChanged(int mode) = 0;
    // The page size may have changed with the camera's state.
    virtual void RecalcLayout() = 0;
    // A balloon on the tray icon with the string of id.
    virtual void ShowTrayMessage(UINT stringId) = 0;
    // Writes the factory Front preset of direction for the chosen speakerphone and
    // placement; false when no speakerphone is chosen.
    virtual bool LoadFactoryFrontPreset(int direction) = 0;
};
