#pragma once
// The camera library: the 19 operations the controller uses to reach the camera.
// C-style functions, callable from the user-interface thread (all but the firmware
// writes) and, for the firmware channel, from the update worker.
//
// The product links the real library (qvt_camera_api: VISCA over the camera's serial
// port); the controller's tests link a recording double with the same functions.
#include "platform/WinTypes.h"

extern "C" {

// Nonzero while a camera is attached: a USB device f1a9:c20e with its serial port, or
// the virtual camera announced in $XDG_RUNTIME_DIR/qvt-vz1/.
int CamIsPresent(void);

// 1 and the port's path (at most 19 characters and a NUL) in buf, or 0 when none.
int CamFindPort(char buf[20]);

// Opens the link on port and starts the library's reader. Afterwards the library posts to
// wnd: linkMsg (WM_USER+3) with 1 when the camera answers and 0 when the link is lost;
// modeMsg (WM_USER+5) with each stand position (0 Release, 1 Upside, 2 OHP, 3 Front)
// the camera reports; WM_USER+4 when communication cannot be established.
int CamOpen(const char* port, HWND wnd, UINT linkMsg, UINT modeMsg);

// Stops the reader and closes the port. Safe when nothing is open.
int CamClose(void);

// Nonzero while the camera is open and usable.
int CamIsOpen(void);

// Starts a continuous motion: 8 up, 4 down, 2 left, 1 right (diagonals are sums),
// 16 and 32 the zoom pair. 0 stops pan, tilt and zoom.
int CamDrive(int bits);

// Recalls a built-in view: 0 or 3.
int CamSelectView(int view);

// Moves to an absolute position in the camera's units (pan 0..360, tilt 0..79,
// zoom 0..180, roll 0..270). kind 1 is an Upside preset, kind 2 any other.
int CamSetPosition(int kind, int pan, int tilt, int zoom, int roll);

// Read the camera's position; nonzero and *value set when the camera answered in time,
// 0 with *value untouched otherwise.
int CamGetPan(int* value);
int CamGetTilt(int* value);
int CamGetZoom(int* value);
int CamGetRoll(int* value);

// Nonzero and the version text (NUL-terminated, at most 31 characters) in buf.
int CamGetFirmwareVersion(char buf[32]);

// 0 NTSC, 1 PAL.
int CamGetVideoFormat(int* format);
int CamSetVideoFormat(int format);

// Makes the camera keep its current settings over a power cycle.
int CamCommitSettings(void);

// Firmware channel on port: a file descriptor that read(2) accepts, or -1.
int CamFirmwareOpen(const char* port);

// Writes size bytes of image through handle, posting msg with wParam 0..100 (percent)
// to wnd as it goes. Returns when the camera has accepted the image: nonzero written.
int CamFirmwareWrite(int handle, const unsigned char* image, int size, HWND wnd, UINT msg);

int CamFirmwareClose(int handle);

} // extern "C"
