#pragma once
// A recording double of the camera library: links in place of the real one, records every
// call with its arguments and returns what the test has set.
#include "camera/CameraConnectionApi.h"
#include "platform/WinTypes.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

struct CameraGetter
{
    int result = 1;  // what the getter returns
    int value = 0;   // stored in *value when result is nonzero
};

struct CameraApiDouble
{
    // What the library answers.
    int present = 1;
    int findPortResult = 1;
    std::string port = "/dev/pts/77";
    int openAfterCamOpen = 1;  // CamIsOpen after CamOpen (until CamClose)
    CameraGetter pan{1, 90}, tilt{1, 0}, zoom{1, 90}, roll{1, 90};
    int firmwareVersionResult = 1;
    std::string firmwareVersion = "2.03";
    int videoFormat = 0;
    int firmwareHandle = 42;
    int firmwareWriteResult = 1;
    std::vector<int> firmwareProgress{0, 50, 100};  // posted during CamFirmwareWrite
    CameraConnection connection;      // the last CamConfigure
    CameraCapabilities capabilities;  // what CamCapabilities answers (the QVT-VZ1's)
    int pollsPresence = 0;            // CamPollsPresence
    CameraProbe probe;                // what CamProbe answers
    // CamProbeOnOwnLink (any thread): whether the camera answers (with probe's version or
    // error), and whether the probe
    // waits, as for a camera that never answers, until released (at most 10 s).
    std::atomic<bool> ownLinkAnswers{false};
    void HoldOwnLinkProbes(bool hold);
    bool OwnLinkProbeHeld() const;

    // What the library was given by the last CamOpen.
    HWND wnd = nullptr;
    UINT linkMsg = 0;
    UINT modeMsg = 0;
    int open = 0;

    // Every call in order, as "CamSetPosition(1,65,75,39,0)".
    std::vector<std::string> calls;

    void Reset();
    void Record(std::string call);
    // All calls but the queries (CamIsPresent, CamIsOpen, CamFindPort, CamCapabilities,
    // CamPollsPresence): what reached the camera.
    std::vector<std::string> Commands() const;
    // Commands() and forget every call so far.
    std::vector<std::string> TakeCommands();

    mutable std::mutex mutex;
    std::condition_variable released;
    bool holdProbes = false;
    int heldProbes = 0;
};

// The one double behind the C functions; reset it in each test's set-up.
CameraApiDouble& CamDouble();
