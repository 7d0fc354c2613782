#pragma once
// The firmware update worker: obtains the file, loads and checks the image, asks the user,
// writes the image to the camera and waits for it to restart, reporting every step to the
// update dialog with WM_FW_DOWNLOADED .. WM_FW_FINISHED.
#include "firmware/FirmwareUpdateServices.h"
#include "platform/Clock.h"
#include "platform/WinTypes.h"

#include <atomic>
#include <string>

// The values the dialog hands to the worker before it starts; the worker only reads them.
struct FirmwareUpdateInputs
{
    std::string strPortName;        // the camera's port
    std::string strDownloadUrl;     // where the firmware file is downloaded from
    std::string strCurrentVersion;  // the camera's firmware version text
    int nSource = 0;                // 0 download from the network, 1 a local file
};

// wParam of WM_FW_FINISHED.
constexpr WPARAM FW_RESULT_FAILED = 0;
constexpr WPARAM FW_RESULT_COMPLETED = 1;
constexpr WPARAM FW_RESULT_CANCELLED = 2;

// Restart wait: polled every 100 ms, progress posted per whole second, done after 11 s.
constexpr DWORD kRestartPollMs = 100;
constexpr DWORD kRestartLastSecond = 10;

// Runs one update and returns 0. Every message goes to wnd with PostMessage; the last one
// is WM_FW_FINISHED. When cancel becomes nonzero the run ends with FW_RESULT_CANCELLED at
// the next step, but never once the image is being written: a write broken off, or a
// camera left alone in its restart, could leave it without working firmware.
DWORD FirmwareUpdateThread(HWND wnd, const FirmwareUpdateInputs& inputs, FirmwareUpdateServices& services,
                           CClock& clock, const std::atomic<int>& cancel);
