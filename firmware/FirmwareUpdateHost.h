#pragma once
// What the firmware update procedure needs from the controller: the values it hands to the
// update dialog, and the camera, borrowed for the update (tracking stopped, the camera
// closed, everything that watches it quiet) and given back afterwards.
#include <QString>

class QWidget;

class FirmwareUpdateHost
{
public:
    virtual ~FirmwareUpdateHost() = default;

    // The update dialog's parent: the controller dialog.
    virtual QWidget* DialogParent() = 0;
    // The camera's port and the firmware download address.
    virtual QString CameraPort() const = 0;
    virtual QString FirmwareUrl() const = 0;

    // Before the update: the video window closed, the tray icon gone, tracking stopped and
    // the camera closed; nothing reopens it until it is given back.
    virtual void BorrowCamera() = 0;
    // After it: a forced presence check (which brings the tray icon back), the camera
    // looked up and opened again, tracking resumed.
    virtual void ReturnCamera() = 0;
};
