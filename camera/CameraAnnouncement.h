#pragma once
// Where the virtual camera announces its port, shared by the library (which looks for it)
// and the simulator (which writes it): the file "camera" in $XDG_RUNTIME_DIR/qvt-vz1/
// (or /tmp/qvt-vz1-<uid>/ without XDG_RUNTIME_DIR), whose first line is the pseudo-terminal
// path that serves as the camera's port. The tray frame watches the folder.
#include <string>

// The folder, without a trailing slash. Not created.
std::string CameraRuntimeDir();

// Creates the folder (mode 0700) when missing, so that it can be watched before the
// virtual camera first appears. False when it cannot be made or is not this user's
// private directory.
bool EnsureCameraRuntimeDir();

// The announcement file inside it.
std::string CameraAnnouncementPath();

// Creates the folder (mode 0700) when missing and writes the file atomically (temporary
// file and rename). False when the folder or file cannot be written.
bool WriteCameraAnnouncement(const std::string& portPath);

// Removes the file; quiet when it is already gone.
void RemoveCameraAnnouncement();

// The announced port: the first line of the file when it names an existing character
// device, else empty (a stale or hand-edited file announces nothing).
std::string ReadCameraAnnouncement();
