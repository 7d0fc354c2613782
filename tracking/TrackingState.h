#pragma once
// The two process-wide words the user-interface thread shares with the tracking worker.
#include "platform/WinTypes.h"

#include <atomic>

// 0 before a start; 1 asks the worker to end. Read fresh on every poll.
extern std::atomic<int> g_bStopTracking;

// The source kind of the running worker (copy of the dialog's device kind), read by the
// MZC source to pick the records of its model.
extern std::atomic<int> g_nTrackingDevice;

// Tracking source kinds: the item data of the "Device Name" box.
enum TrackingSourceKind : int {
    kTrackingNone = 0,
    kTrackingQvt40S = 1,       // device file
    kTrackingQvt90UX = 2,      // speakerphone USB library
    kTrackingQvt18TR = 3,      // QVT-18TR shared memory
    kTrackingQvt40SMzc = 4,    // MZC shared memory, QVT-40S records
    kTrackingQvt90XMzc = 5,    // MZC shared memory, QVT-90X records
    kTrackingMicArray = 6,     // a USB microphone array's own audio
};

// Posts WM_TRACKING_DIRECTION with direction to the dialog.
void PostTrackingDirection(HWND dialog, BYTE direction);
