#include "tracking/TrackingState.h"
#include "tracking/TrackingThreads.h"
#include "tracking/UsbLibraryFilter.h"
#include "tracking/UxLibrary.h"

unsigned UsbLibraryThread(HWND dialog, CClock& clock)
{
    PostTrackingDirection(dialog, 255);
    UxLibrary library;
    if (!library.Load())
        return 0;  // an incomplete installation: nothing to wait for
    UsbLibraryFilter filter;
    // The speakerphone may be away at the start or unplugged later: opened again, once a
    // second while it is missing.
    while (!g_bStopTracking.load()) {
        char version[kUxVersionSize] = {};
        UXHANDLE handle = library.open(0, 0, version);
        if (!handle) {
            clock.SleepUnless(kReopenRetryMs, g_bStopTracking);
            continue;
        }
        // Speakerphones before 1.32 do not report directions.
        if (UsbVersionValue(version) < kUsbMinimumVersion) {
            library.close(handle);
            return 0;
        }
        while (!g_bStopTracking.load()) {
            unsigned char buffer[4] = {kUxDirectionQuery, 0, 0, 0};
            const bool answered = library.request(handle, kUxRequestDirection, buffer) == 0;
            if (answered && filter.Accept(buffer[1], clock.GetTickCount()))
                PostTrackingDirection(dialog, buffer[1]);
            clock.SleepUnless(kUsbLibraryPeriodMs, g_bStopTracking);
            if (!answered)
                break;  // unplugged: the handle is of no use any more
        }
        library.close(handle);
    }
    return 0;
}
